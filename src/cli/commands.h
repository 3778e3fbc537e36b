#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace pit::cli {

enum Exit : int { kDone = 0, kUsage = 2, kFileError = 3, kRefused = 4 };

int Main(std::vector<std::string> args, const std::string& argv0);

// A whole number of at most `maxChars` characters, an optional "-" and
// digits; nothing else is taken.
bool ParseInt(const std::string& s, int& out, std::size_t maxChars = 9);
// An entry or page number: digits only (six at most), above 0.
bool ParsePositive(const std::string& s, int& out);

// The folder holding the data folders (dc, bib, icon ...): beside the
// executable in the build tree, <prefix>/share/pit2014 once installed.
std::string DataFolder(const std::string& argv0);

// `render`: a page drawn as the form window draws it (render_command.cpp).
int CmdRender(const std::vector<std::string>& args, const std::string& argv0);
// `print`: forms printed into a PDF file as the print window prints them (print_command.cpp).
int CmdPrint(const std::vector<std::string>& args, const std::string& argv0);

// `import`: last year's identification data (import_command.cpp).
int CmdImport(const std::vector<std::string>& args, const std::string& argv0);

// `validate` and `export`: the required-field check and the e-filing export
// (output_commands.cpp).
int CmdValidate(const std::vector<std::string>& args, const std::string& argv0);
int CmdExport(const std::vector<std::string>& args, const std::string& argv0);

// `compare`: the methods of taxation compared on copies (compare_command.cpp).
int CmdCompare(const std::vector<std::string>& args, const std::string& argv0);

}  // namespace pit::cli
