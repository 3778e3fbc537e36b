#include "app/document.h"

#include <cctype>
#include <cstring>
#include <filesystem>
#include <map>

#include "app/file_io.h"
#include "forms/definition_library.h"
#include "forms/pit_o_fields.h"
#include "text/bytes.h"
#include "text/cp1250.h"

namespace pit {
namespace {

namespace hdr {
constexpr std::size_t TreeNode = 0, Id = 4, IdPit = 8, IdParent = 12, PM = 16, Kind = 20, CopyNo = 24,
                      TaxYear = 28, ReturnGuid = 32, TaxpayerIdKind = 84, SpouseIdKind = 88,
                      SpouseDataFlag = 92, Checked = 96, SlotsLoaded = 97;
}
namespace slot {
constexpr std::size_t Option = 0, Typ = 4, Name = 8, FormNo = 24, Page = 28, ID = 32, Value = 36,
                      Spare = 291, OfficeCode = 546, CheckValue = 606, CheckState = 656, XMLNode = 657;
}

void EncodeSlot(const ValueSlot& v, std::uint8_t* p) {
  PutI32(p + slot::Option, v.Option);
  PutI32(p + slot::Typ, v.Typ);
  WriteFixedText(p + slot::Name, slotw::Name, v.Name);
  PutI32(p + slot::FormNo, v.FormNo);
  PutI32(p + slot::Page, v.Page);
  PutI32(p + slot::ID, v.ID);
  WriteFixedText(p + slot::Value, slotw::Value, v.Value);
  WriteFixedText(p + slot::Spare, slotw::Spare, v.Spare);
  WriteFixedText(p + slot::OfficeCode, slotw::OfficeCode, v.OfficeCode);
  WriteFixedText(p + slot::CheckValue, slotw::CheckValue, v.CheckValue);
  p[slot::CheckState] = v.CheckState ? 1 : 0;
  WriteFixedText(p + slot::XMLNode, slotw::XMLNode, v.XMLNode);
}

// Texts read from a file lose control characters: no field holds them, and
// a damaged or hostile file must not carry them into a form or a terminal.
std::string ReadValueText(const std::uint8_t* p, std::size_t width) { return WithoutControls(ReadFixedText(p, width)); }

void DecodeSlot(const std::uint8_t* p, ValueSlot& v) {
  v.Option = GetI32(p + slot::Option);
  v.Typ = GetI32(p + slot::Typ);
  v.Name = ReadValueText(p + slot::Name, slotw::Name);
  v.FormNo = GetI32(p + slot::FormNo);
  v.Page = GetI32(p + slot::Page);
  v.ID = GetI32(p + slot::ID);
  v.Value = ReadValueText(p + slot::Value, slotw::Value);
  v.Spare = ReadValueText(p + slot::Spare, slotw::Spare);
  v.OfficeCode = ReadValueText(p + slot::OfficeCode, slotw::OfficeCode);
  v.CheckValue = ReadValueText(p + slot::CheckValue, slotw::CheckValue);
  v.CheckState = p[slot::CheckState] != 0;
  v.XMLNode = ReadValueText(p + slot::XMLNode, slotw::XMLNode);
}

}  // namespace

void EncodeEntry(const FormEntry& e, std::uint8_t* r) {
  std::memset(r, 0, kEntryRecordSize);
  PutI32(r + hdr::TreeNode, e.TreeNode);
  PutI32(r + hdr::Id, e.Id);
  PutI32(r + hdr::IdPit, e.IdPit);
  PutI32(r + hdr::IdParent, e.IdParent);
  PutI32(r + hdr::PM, e.PM);
  PutI32(r + hdr::Kind, e.Kind);
  PutI32(r + hdr::CopyNo, e.CopyNo);
  PutI32(r + hdr::TaxYear, e.TaxYear);
  WriteFixedText(r + hdr::ReturnGuid, slotw::ReturnGuid, e.ReturnGuid);
  PutI32(r + hdr::TaxpayerIdKind, e.TaxpayerIdKind);
  PutI32(r + hdr::SpouseIdKind, e.SpouseIdKind);
  PutI32(r + hdr::SpouseDataFlag, e.SpouseDataFlag);
  r[hdr::Checked] = e.Checked ? 1 : 0;
  r[hdr::SlotsLoaded] = e.SlotsLoaded ? 1 : 0;
  for (std::size_t k = 0; k < static_cast<std::size_t>(kSlotCount); ++k) {
    EncodeSlot(e.Slots()[k], r + kEntryHeaderSize + k * kSlotSize);
  }
}

void DecodeEntry(const std::uint8_t* r, FormEntry& e) {
  e.TreeNode = GetI32(r + hdr::TreeNode);
  e.Id = GetI32(r + hdr::Id);
  e.IdPit = GetI32(r + hdr::IdPit);
  e.IdParent = GetI32(r + hdr::IdParent);
  e.PM = GetI32(r + hdr::PM);
  e.Kind = GetI32(r + hdr::Kind);
  e.CopyNo = GetI32(r + hdr::CopyNo);
  e.TaxYear = GetI32(r + hdr::TaxYear);
  e.ReturnGuid = ReadValueText(r + hdr::ReturnGuid, slotw::ReturnGuid);
  e.TaxpayerIdKind = GetI32(r + hdr::TaxpayerIdKind);
  e.SpouseIdKind = GetI32(r + hdr::SpouseIdKind);
  e.SpouseDataFlag = GetI32(r + hdr::SpouseDataFlag);
  e.Checked = r[hdr::Checked] != 0;
  e.SlotsLoaded = r[hdr::SlotsLoaded] != 0;
  for (std::size_t k = 0; k < static_cast<std::size_t>(kSlotCount); ++k) {
    DecodeSlot(r + kEntryHeaderSize + k * kSlotSize, e.Unlisted()[k]);
  }
}

std::vector<std::uint8_t> EncodeSettlement(const Settlement& s) {
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(s.Count()) * kEntryRecordSize);
  for (int i = 1; i <= s.Count(); ++i) {
    EncodeEntry(s.Entry(i), bytes.data() + static_cast<std::size_t>(i - 1) * kEntryRecordSize);
  }
  return bytes;
}

bool HasUsableEntry(const std::vector<std::uint8_t>& bytes) {
  // A main form of a known type is always kept by the decoder, and every
  // attachment it keeps hangs under one.
  for (std::size_t at = 0; at + kEntryRecordSize <= bytes.size(); at += kEntryRecordSize) {
    const int idPit = GetI32(bytes.data() + at + hdr::IdPit);
    if (GetI32(bytes.data() + at + hdr::IdParent) == 0 && idPit >= 1 && idPit <= kFormTypeCount) return true;
  }
  return false;
}

bool MayHangUnder(int idPit, const FormEntry& parent) {
  if (parent.IdParent == 0) return true;
  return (idPit == kSseA || idPit == kSseRA) && parent.IdPit == kSseR;
}

DecodeReport DecodeSettlement(const std::vector<std::uint8_t>& bytes, Settlement& s) {
  DecodeReport rep;
  s.Clear();
  s.Open();
  // What a first record with a damaged kind falls back on.
  s.Kind = kIndividual;
  s.TaxpayerIdKind = kIdNip;
  s.SpouseIdKind = kIdNone;
  rep.records = static_cast<int>(bytes.size() / kEntryRecordSize);
  rep.trailingBytes = static_cast<int>(bytes.size() % kEntryRecordSize);
  // Old record number -> new entry number, for renumbering parents after a skip.
  std::map<int, int> kept;
  for (int i = 1; i <= rep.records; ++i) {
    auto e = std::make_unique<FormEntry>();
    DecodeEntry(bytes.data() + static_cast<std::size_t>(i - 1) * kEntryRecordSize, *e);
    if (e->IdPit > kFormTypeCount) {
      ++rep.skipped;
      continue;
    }
    if (e->IdParent != 0) {
      auto parent = kept.find(e->IdParent);
      if (e->IdParent < 0 || e->IdParent >= i || parent == kept.end() ||
          !MayHangUnder(e->IdPit, s.Entry(parent->second))) {
        ++rep.skipped;
        continue;
      }
      e->IdParent = parent->second;
    }
    // Kept as they were read, but they are no form the program can show.
    if (e->IdPit <= 0) {
      ++rep.unusable;
    } else {
      ++rep.usable;
    }
    // A kind no settlement has would be taken for PESEL or a joint return
    // and change what the forms show; the settlement's kinds stay as the
    // records before it gave them and the file counts as damaged.
    const bool kindOk = e->Kind >= kIndividual && e->Kind <= kRegistrationForms;
    const bool taxpayerOk = e->TaxpayerIdKind == kIdNip || e->TaxpayerIdKind == kIdPesel;
    const bool spouseOk = e->SpouseIdKind >= kIdNone && e->SpouseIdKind <= kIdPesel;
    if (!kindOk || !taxpayerOk || !spouseOk) {
      ++rep.badKinds;
      if (!kindOk) e->Kind = s.Kind;
      if (!taxpayerOk) e->TaxpayerIdKind = s.TaxpayerIdKind;
      if (!spouseOk) e->SpouseIdKind = s.SpouseIdKind;
    }
    s.TakeStateFrom(*e);
    s.AppendLoaded(std::move(e));
    kept[i] = s.Count();
    s.Entry(s.Count()).Id = s.Count();
  }
  return rep;
}

std::string SaveFailureMessage(const std::string& path, WriteError e) {
  if (e == WriteError::ReadOnly) {
    return "Plik jest tylko do odczytu i nie został zmieniony: " + path + "\nZapisz rozliczenie pod inną nazwą.";
  }
  std::string message = "Brak dostępu do pliku: " + path;
  const std::string cause = WriteErrorCause(e);
  if (!cause.empty()) message += "\n" + cause;
  return message;
}

FileResult SaveSettlement(Settlement& s, const std::string& path) {
  FileResult r;
  s.StampEntries();
  const std::vector<std::uint8_t> bytes = EncodeSettlement(s);
  const WriteError e = WriteFileReplacing(path, bytes, NewFileAccess::OwnerOnly);
  if (e != WriteError::None) {
    r.message = SaveFailureMessage(path, e);
    return r;
  }
  s.DocumentPath = path;
  s.DocumentName = FileNamePart(path);
  s.DocumentModified = false;
  r.ok = true;
  r.content = ContentFingerprint(bytes);
  return r;
}

bool HasSettlementExtension(const std::string& path) {
  static const std::string ext = ".dc2014";
  if (path.size() <= ext.size()) return false;
  for (std::size_t i = 0; i < ext.size(); ++i) {
    const char c = path[path.size() - ext.size() + i];
    if (std::tolower(static_cast<unsigned char>(c)) != ext[i]) return false;
  }
  return true;
}

FileResult LoadSettlement(const std::string& path, Settlement& s, DefinitionLibrary& defs) {
  FileResult r;
  if (!FileExists(path)) {
    r.message = "Nie ma pliku rozliczeniowego.";
    return r;
  }
  // No real settlement comes near a thousand forms; a larger file is not
  // one of ours and is refused before it is read into memory.
  constexpr std::uint64_t kLargestDocument = kMaxDocumentEntries * kEntryRecordSize;
  auto bytes = ReadFileBytes(path, kLargestDocument + kEntryRecordSize - 1);
  if (!bytes) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(std::filesystem::u8path(path), ec);
    r.message = (!ec && size > kLargestDocument) ? "Plik nie jest rozliczeniem programu (zbyt duży): " + path
                                                 : "Brak dostępu do pliku: " + path;
    return r;
  }
  // Looked at before anything is replaced: a file that is not a settlement
  // must not take the place of the one the user has open.
  if (!HasUsableEntry(*bytes)) {
    r.message = "Plik nie jest rozliczeniem programu: " + path;
    return r;
  }
  const DecodeReport rep = DecodeSettlement(*bytes, s);
  s.RebuildTree(defs);
  s.DocumentPath = path;
  s.DocumentName = FileNamePart(path);
  s.DocumentModified = false;
  RefreshFromDefinitions(s, defs);
  // Reading a file is no edit of what it holds.
  s.TakeJournal();
  r.ok = true;
  r.content = ContentFingerprint(*bytes);
  r.damaged = rep.skipped > 0 || rep.unusable > 0 || rep.trailingBytes > 0 || rep.badKinds > 0;
  if (rep.skipped + rep.unusable > 0) {
    r.message = "Plik rozliczenia zawiera uszkodzone pozycje, które pominięto (" +
                std::to_string(rep.skipped + rep.unusable) + ").";
  }
  if (rep.badKinds > 0) {
    if (!r.message.empty()) r.message += "\n";
    r.message += "Plik rozliczenia zawiera formularze z uszkodzonym rodzajem rozliczenia lub identyfikatora "
                 "(NIP/PESEL) (" + std::to_string(rep.badKinds) + "); przyjęto ustawienia pozostałych formularzy.";
  }
  if (rep.trailingBytes > 0) {
    if (!r.message.empty()) r.message += "\n";
    r.message += "Plik rozliczenia ma na końcu niepełny zapis (" + std::to_string(rep.trailingBytes) +
                 " B), który pominięto.";
  }
  if (r.damaged) {
    r.message += "\nAby nie stracić danych pliku, zmiany trzeba zapisać pod inną nazwą.";
  }
  return r;
}

void RefreshFromDefinitions(Settlement& s, DefinitionLibrary& defs) {
  for (int i = 1; i <= s.Count(); ++i) {
    const FormEntry& e = s.Entry(i);
    if (e.IdPit == kPitO) {
      using namespace pit_o;
      for (int k : {taxpayer_married_all_year, taxpayer_single_parent, spouse_married_all_year, spouse_single_parent}) {
        if (e.Slot(k).CheckState) s.Write(i, k, "1");
      }
    }
    if (e.IdPit <= 0) continue;
    const std::vector<FieldObject>* recs = defs.Fields(e.IdPit);
    if (!recs) continue;
    const int n = static_cast<int>(std::min<std::size_t>(recs->size(), kSlotCount));
    for (int k = 0; k < n; ++k) {
      ValueSlot slot = e.Slot(k);
      slot.XMLNode = FitWidth((*recs)[static_cast<std::size_t>(k)].XMLNode, slotw::XMLNode);
      slot.Name = FitWidth((*recs)[static_cast<std::size_t>(k)].Name, slotw::Name);
      s.WriteSlot(i, k, slot);
    }
  }
}

}  // namespace pit
