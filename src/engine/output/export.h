#pragma once
// The export of one return (a main form with its attachments) for the
// e-filing program: the XML document and the semicolon-separated text file
// written into a fresh export folder. The export folder also receives the
// HTML copy (html_copy.h), drawn page by page through a hook.
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pit {

class Settlement;
class DefinitionLibrary;
class FormCatalogue;
struct FormEntry;
struct ValueSlot;

// "PIT-28/A" -> "PIT28A": the code without its first "-" and first "/".
std::string ReducedCode(std::string_view code);

// Form type identifiers ("PIT37_1.0", "PITO_1.1", "ORDZU_1.0", "NIP7") with
// one copy counter per form type, all from 0 for each export.
class TypeIdentifiers {
 public:
  std::string Next(const FormCatalogue& cat, int idPit, int pm);

 private:
  std::array<int, 33> counters_{};
};

// The copy caption of an entry that the HTML copy shows: "1" for the
// single-copy returns and attachments, the copy number for the forms that
// come in copies, empty for the rest.
std::string PageCaption(const FormEntry& e);

// PIT/B and PIT-28/B: two slots may carry one element; the alternative slot
// is used when it holds a non-zero amount. Gives both slots of each pair the
// element name, then empties the one not used.
void ApplySharedXmlNames(Settlement& s, int entry);

// The XML name of a person's identifier by the person's identifier kind:
// "Podmiot1.NIP" becomes "Podmiot1.PESEL" for a person on PESEL and the
// reverse. Podmiot1 is the one who files the form (the spouse on the
// spouse's own form), Podmiot2 the spouse of a joint return. Any other
// name is returned as it is.
std::string IdentifierElement(const Settlement& s, const FormEntry& e, const std::string& node);

// A value in the semicolon-separated text file: a ";" in it becomes ","
// and a line break a blank, so that every line keeps its five columns.
std::string TextFileValue(std::string value);

// The value as the XML carries it: amounts with a decimal point (whole
// numbers cut at it); "&", "<" and ">" as entity references; control
// characters that XML cannot hold dropped.
std::string ExportNumberText(std::string value, int option);
std::string EscapeXmlText(std::string_view value);

// The reasons a return is not handed to the e-filing program: a UPKD, more
// than one PIT/O or SSE-R. Empty when there is none.
std::string HandOffRefusal(const Settlement& s, const std::string& returnGuid);

struct ExportedEntry {
  int entry = 0;
  std::string typeId;
  std::string caption;
};

struct ExportHooks {
  // Country code for a country name; empty when not found.
  std::function<std::string(const std::string& name)> countryCode;
  // Called for each exported entry in order, after its identifier is made
  // and before its fields are read (the HTML copy's pages).
  std::function<void(const ExportedEntry&)> entryExported;
};

struct ExportDocument {
  std::string xml;   // UTF-8, "\n" line ends
  std::string text;  // UTF-8, "\n" line ends
  std::vector<ExportedEntry> entries;
};

// Walks the tree of forms in display order and exports every entry of the
// return `returnGuid` with the values it holds: the caller has brought the
// settlement up to date (SettlementSession::PrepareForOutput).
ExportDocument BuildExport(Settlement& s, DefinitionLibrary& defs, const std::string& returnGuid,
                           const ExportHooks& hooks);

// "\n" -> "\r\n".
std::string WithCrLf(std::string_view text);

// Names of the files in the export folder of export `id`.
std::string ExportXmlName(const std::string& id);   // "P_" + id + ".xml"
std::string ExportTextName(const std::string& id);  // "P_" + id + ".txt"

// The message when a folder of an export cannot be made.
std::string FolderFailedMessage(const std::string& path);

// Makes the export folder with "ico" and the three icons copied from
// `iconDir` (an existing icon is kept), all owner-only. Failures add
// messages and the export goes on; false when something could not be
// written (a missing icon of the program is no failure).
bool PrepareExportFolder(const std::string& folder, const std::string& iconDir, std::vector<std::string>& messages);

// Writes the text file (Windows-1250) and then the XML file (UTF-8 without
// a byte-order mark), both with CR LF and owner-only. False when a file
// could not be written.
bool WriteExportFiles(const std::string& folder, const std::string& id, const ExportDocument& doc);

}  // namespace pit
