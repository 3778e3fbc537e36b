#pragma once
// Windows-1250 <-> UTF-8. The program keeps UTF-8 everywhere inside; every
// file that the format says is Windows-1250 goes through these two calls.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pit {

// Characters outside the code page become "?"; invalid UTF-8 bytes too.
std::string Utf8ToCp1250(std::string_view utf8);
std::string Cp1250ToUtf8(std::string_view cp1250);

// Number of Windows-1250 bytes the UTF-8 text takes (one per code point).
std::size_t Cp1250Length(std::string_view utf8);

// Cuts a UTF-8 text so that it fits a zero-terminated field of `width`
// bytes of Windows-1250, i.e. keeps at most width-1 characters.
std::string FitWidth(std::string_view utf8, std::size_t width);

// Fixed-width zero-terminated text fields inside records. Reading stops at
// the first zero or at the field's end (a field without its zero is cut at
// the width); writing zero-fills the rest of the field.
std::string ReadFixedText(const std::uint8_t* field, std::size_t width);
void WriteFixedText(std::uint8_t* field, std::size_t width, std::string_view utf8);

// The text without control characters (C0, DEL, C1), which no value of a
// form holds: from a file or a command line they could only break the
// field or fake lines and colours on a terminal. Invalid UTF-8 is kept as
// it is (it becomes "?" on the way to Windows-1250).
std::string WithoutControls(std::string_view utf8);

// Whether every character of the text has a Windows-1250 byte, so that it
// is stored as typed and not as "?".
bool FitsCp1250(std::string_view utf8);

// Upper/lower case of UTF-8 text with Polish letters (ASCII and the
// Windows-1250 letters); other characters are kept.
std::string UpperPl(std::string_view utf8);

}  // namespace pit
