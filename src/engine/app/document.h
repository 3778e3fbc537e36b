#pragma once
// The .dc2014 settlement document: one 259100-byte record per form entry,
// no header. This is the only code that knows the record's byte layout.
#include <cstdint>
#include <string>
#include <vector>

#include "app/settlement.h"

namespace pit {

class DefinitionLibrary;

constexpr std::size_t kEntryHeaderSize = 100;
constexpr std::size_t kSlotSize = 740;
constexpr std::size_t kEntryRecordSize = kEntryHeaderSize + kSlotCount * kSlotSize;  // 259100

void EncodeEntry(const FormEntry& e, std::uint8_t* record);
void DecodeEntry(const std::uint8_t* record, FormEntry& e);

// Bytes of the whole settlement as it stands (no stamping).
std::vector<std::uint8_t> EncodeSettlement(const Settlement& s);

struct DecodeReport {
  int records = 0;        // whole records in the file
  int skipped = 0;        // records dropped as unusable (form type unknown, parent missing)
  int usable = 0;         // entries kept whose form type is in the catalogue
  int unusable = 0;       // entries kept with a form type of 0 or less, which show nowhere
  int badKinds = 0;       // entries kept whose settlement or identifier kind was out of range
  int trailingBytes = 0;  // bytes after the last whole record
};

// The most forms a settlement may have: the loader refuses larger files.
constexpr std::uint64_t kMaxDocumentEntries = 1000;

// The document name test of both programs: ends with ".dc2014", in any case.
bool HasSettlementExtension(const std::string& path);
// Whether a form of type `idPit` may be an attachment of `parent`: an
// attachment hangs under a main form, except the zone sheets (SSE/A,
// SSE-R/A), which hang under their SSE-R.
bool MayHangUnder(int idPit, const FormEntry& parent);
// Replaces the list of `s` by the records of `bytes` and takes the settlement
// state from each record (the last one wins). A tail shorter than one record
// is ignored. Records whose form type is above the catalogue, and attachments
// whose main form is not an earlier entry, are dropped; later parents are
// renumbered to match.
DecodeReport DecodeSettlement(const std::vector<std::uint8_t>& bytes, Settlement& s);
// Whether the decoder would keep at least one entry of a known form type.
bool HasUsableEntry(const std::vector<std::uint8_t>& bytes);

struct FileResult {
  bool ok = false;
  std::string message;  // Polish text for the user when !ok (or a warning)
  // Loaded, but something of the file was skipped or cut: writing the
  // settlement back over it would lose that for good.
  bool damaged = false;
  // ContentFingerprint of the bytes read or written.
  std::uint64_t content = 0;
};

// Stamps every entry and writes the document; the previous file at `path`
// stays intact when anything fails. On success the document state becomes
// saved (path, name, not modified).
FileResult SaveSettlement(Settlement& s, const std::string& path);

// A file with no entry of a known form (an empty file, one shorter than a
// record, a text file) is refused with a message and `s` is left as it was.
// Loading steps: missing file message; clear; read every record; rebuild
// the tree; document state; refresh names from the current definitions.
// (Collecting the identification data is the calculations' part.)
FileResult LoadSettlement(const std::string& path, Settlement& s, DefinitionLibrary& defs);

// Step 9 of loading: PIT/O boxes 225..228 that are ticked get the value "1";
// XMLNode and Name of every slot come from the current field records.
void RefreshFromDefinitions(Settlement& s, DefinitionLibrary& defs);

}  // namespace pit
