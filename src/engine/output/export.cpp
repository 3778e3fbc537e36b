#include "output/export.h"

#include <filesystem>
#include <fstream>

#include "app/catalogue.h"
#include "app/file_io.h"
#include "app/settlement.h"
#include "forms/definition_library.h"
#include "forms/pit28b_fields.h"
#include "forms/pit_b_fields.h"
#include "forms/pit_o_fields.h"
#include "forms/pit_zg_fields.h"
#include "forms/sse_a_fields.h"
#include "forms/sse_r_a_fields.h"
#include "forms/values.h"
#include "text/cp1250.h"

namespace fs = std::filesystem;

namespace pit {
namespace {

bool In(int idPit, std::initializer_list<int> set) {
  for (int v : set)
    if (v == idPit) return true;
  return false;
}

// Single-copy types named by their reduced code with a copy counter.
bool CountedType(int idPit) {
  return In(idPit, {kPit36, kPit37, kPit36L, kPit38, kPit28, kPitD, kPit2K, kPitM, kPitZ, kSseR, kPit28A, kPit39,
                    kPit40, kPit11, kPitR, kPit16A, kPitUZ});
}

const char* const kIconNames[] = {"Pit.gif", "PitP.gif", "PitM.gif"};

struct SharedPair {
  int primary;
  int alternative;
  std::string element;
};

std::vector<SharedPair> SharedPairsOf(int idPit) {
  std::vector<SharedPair> pairs;
  if (idPit == kPitB) {
    using namespace pit_b;
    pairs = {
        {partner1_revenue_share, partner1_revenue_own, "P_27"}, {partner1_costs_share, partner1_costs_own, "P_29"},
        {partner2_revenue_share, partner2_revenue_own, "P_40"}, {partner2_costs_share, partner2_costs_own, "P_42"},
        {partner3_revenue_share, partner3_revenue_own, "P_53"}, {partner3_costs_share, partner3_costs_own, "P_55"}};
  } else if (idPit == kPit28B) {
    // Each partnership's twelve rate rows, printed from positions 24 and 53.
    using namespace pit28b;
    for (int i = 0; i < 12; ++i) {
      pairs.push_back({partnership1_3pct_share + i, partnership1_3pct_typed + i, "P_" + std::to_string(24 + i)});
      pairs.push_back({partnership2_3pct_share + i, partnership2_3pct_typed + i, "P_" + std::to_string(53 + i)});
    }
  }
  return pairs;
}

bool WriteFile(const fs::path& path, const std::string& bytes) {
  return WriteFileReplacing(path.u8string(), std::vector<std::uint8_t>(bytes.begin(), bytes.end()),
                            NewFileAccess::OwnerOnly) == WriteError::None;
}

}  // namespace

std::string ReducedCode(std::string_view code) {
  std::string out(code);
  if (const auto d = out.find('-'); d != std::string::npos) out.erase(d, 1);
  if (const auto s = out.find('/'); s != std::string::npos) out.erase(s, 1);
  return out;
}

std::string TypeIdentifiers::Next(const FormCatalogue& cat, int idPit, int pm) {
  if (!FormCatalogue::IsValid(idPit)) return {};
  const FormTypeInfo& t = cat[idPit];
  const std::string suffix = "." + std::to_string(pm);
  if (idPit == kUpkdOrdZu) return "ORDZU_" + std::to_string(++counters_[idPit]) + suffix;
  if (CountedType(idPit) || t.MultiCopy)
    return ReducedCode(t.Code) + "_" + std::to_string(++counters_[idPit]) + suffix;
  return ReducedCode(t.Code);
}

std::string PageCaption(const FormEntry& e) {
  auto slot = [&](int k) { return e.Slots()[static_cast<std::size_t>(k)].Value; };
  if (CountedType(e.IdPit) || e.IdPit == kUpkdOrdZu) return "1";
  switch (e.IdPit) {
    case kPitO: return slot(pit_o::copy_number);
    case kPitB: return slot(pit_b::copy_number);
    case kPitZG: return slot(pit_zg::copy_number);
    case kSseA: return slot(sse_a::sheet_number);
    case kSseRA: return slot(sse_r_a::sheet_number);
    case kPit28B: return slot(pit28b::copy_number);
    default: return {};
  }
}

void ApplySharedXmlNames(Settlement& s, int entry) {
  if (!s.Has(entry)) return;
  for (const SharedPair& p : SharedPairsOf(s.Entry(entry).IdPit)) {
    ValueSlot primary = s.Entry(entry).Slot(p.primary);
    ValueSlot alternative = s.Entry(entry).Slot(p.alternative);
    primary.XMLNode = p.element;
    alternative.XMLNode = p.element;
    // An empty or unreadable alternative counts as zero: the primary slot
    // carries the element then. The entry holds the grosze of its texts;
    // only a text of more decimals is read again.
    const std::optional<std::int64_t> grosze = s.Entry(entry).Grosze(p.alternative);
    const std::optional<Amount> amount = grosze ? Amount::FromGrosze(*grosze) : AmountValue(alternative.Value);
    if (amount && *amount != 0) {
      primary.XMLNode.clear();
    } else {
      alternative.XMLNode.clear();
    }
    s.WriteSlot(entry, p.primary, primary);
    s.WriteSlot(entry, p.alternative, alternative);
  }
}

std::string ExportNumberText(std::string value, int option) {
  if (const auto comma = value.find(','); comma != std::string::npos) value[comma] = '.';
  if (option == 2 || option == 12) {
    const auto point = value.find('.');
    if (point != std::string::npos && point > 0) value.erase(point);
  }
  return value;
}

std::string IdentifierElement(const Settlement& s, const FormEntry& e, const std::string& node) {
  // The person: the filer of the form (the spouse on a spouse's own form),
  // or the spouse of a joint return.
  int kind = kIdNone;
  std::string person;
  if (node.rfind("Podmiot1.", 0) == 0) {
    kind = e.PM == kPmSpouse ? s.SpouseIdKind : s.TaxpayerIdKind;
    person = "Podmiot1.";
  } else if (node.rfind("Podmiot2.", 0) == 0) {
    kind = s.SpouseIdKind;
    person = "Podmiot2.";
  }
  const std::string rest = person.empty() ? std::string() : node.substr(person.size());
  if ((rest != "NIP" && rest != "PESEL") || (kind != kIdNip && kind != kIdPesel)) return node;
  return person + (kind == kIdPesel ? "PESEL" : "NIP");
}

std::string TextFileValue(std::string value) {
  for (char& c : value) {
    if (c == ';') c = ',';
    if (c == '\r' || c == '\n') c = ' ';
  }
  return value;
}

std::string EscapeXmlText(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (char c : value) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '&') {
      out += "&amp;";
    } else if (c == '<') {
      out += "&lt;";
    } else if (c == '>') {
      out += "&gt;";
    } else if (u < 0x20 && c != '\t' && c != '\n' && c != '\r') {
      continue;  // not allowed in an XML document at all
    } else {
      out += c;
    }
  }
  return out;
}

std::string HandOffRefusal(const Settlement& s, const std::string& returnGuid) {
  const std::string head = "Niemożliwe jest wysłanie drogą elektroniczną ";
  if (s.CountInReturn(kUpkd, returnGuid) > 0) {
    return head +
           "druku UPKD.\nJeżeli korekta deklaracji ma być wysłana elektronicznie, należy załączyć druk UPKD ORD-ZU" +
           ".";
  }
  const bool manyPitO = s.CountInReturn(kPitO, returnGuid) > 1;
  const bool manySseR = s.CountInReturn(kSseR, returnGuid) > 1;
  if (!manyPitO && !manySseR) return {};
  std::string m = head + "więcej niż jednego załącznika:";
  if (manyPitO) m += " PIT-O";
  if (manyPitO && manySseR) m += ",";
  if (manySseR) m += " SSE-R";
  return m + ".";
}

ExportDocument BuildExport(Settlement& s, DefinitionLibrary& defs, const std::string& returnGuid,
                           const ExportHooks& hooks) {
  ExportDocument doc;
  doc.xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ROZICZENIE>\n";
  TypeIdentifiers ids;
  for (const int number : s.TreeOrder()) {
    if (!s.Has(number)) continue;
    if (s.Entry(number).ReturnGuid != returnGuid || !FormCatalogue::IsValid(s.Entry(number).IdPit)) continue;
    FormEntry& e = s.Entry(number);
    const FormTypeInfo& type = s.Catalogue()[e.IdPit];
    const std::vector<FieldObject>* recs = defs.Fields(e.IdPit);
    const std::size_t n = recs ? std::min<std::size_t>(recs->size(), kSlotCount) : 0;

    ApplySharedXmlNames(s, number);
    ExportedEntry exported{number, ids.Next(s.Catalogue(), e.IdPit, e.PM), PageCaption(e)};
    if (hooks.entryExported) hooks.entryExported(exported);
    const std::string& id = exported.typeId;

    doc.xml += "<DOCUMENT>\n";
    doc.xml += "<Naglowek.KodFormularza>" + EscapeXmlText(type.Code) + "</Naglowek.KodFormularza>\n";
    doc.xml += "<Naglowek.TypFormularza>" + id + "</Naglowek.TypFormularza>\n";
    doc.xml += "<" + id + ".Naglowek.WariantFormularza>" + std::to_string(type.Variant) + "</" + id +
               ".Naglowek.WariantFormularza>\n";
    for (std::size_t k = 0; k < n; ++k) {
      const ValueSlot& slot = e.Slots()[k];
      std::string value = slot.Value;
      // The 1% amount is an amount like any other: with a decimal point.
      if (slot.Typ == kLiczba || slot.Typ == kJedenProcent) value = ExportNumberText(value, slot.Option);
      if (value.empty() || slot.Name.empty() || slot.XMLNode.empty() || slot.XMLNode == "P_") continue;
      const std::string node = IdentifierElement(s, e, slot.XMLNode);
      if (slot.Typ == kUrzadSkarbowy) {
        value = slot.OfficeCode;
      } else if (slot.Typ == kKraj) {
        value = hooks.countryCode ? hooks.countryCode(value) : std::string();
      }
      const std::string element = id + "." + node;
      doc.xml += "<" + element + ">" + EscapeXmlText(value) + "</" + element + ">\n";
      // The text file is not XML: an entity reference would only bring its
      // ";" into the line and shift the columns after it.
      const bool positional = node.find("P_") != std::string::npos;
      doc.text += (positional ? node.substr(2) : std::string("0")) + ";" + node + ";" + TextFileValue(value) + ";" +
                  type.Code + ";" + slot.Name + "\n";
    }
    doc.xml += "</DOCUMENT>\n";
    doc.entries.push_back(std::move(exported));
  }
  doc.xml += "</ROZICZENIE>\n";
  return doc;
}

std::string WithCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

std::string ExportXmlName(const std::string& id) { return "P_" + id + ".xml"; }
std::string ExportTextName(const std::string& id) { return "P_" + id + ".txt"; }

std::string FolderFailedMessage(const std::string& path) {
  return "Utowrzenie katalogu: " + path + " nie powiodło się.";
}

bool PrepareExportFolder(const std::string& folder, const std::string& iconDir, std::vector<std::string>& messages) {
  std::error_code ec;
  const fs::path f = fs::u8path(folder);
  if (fs::is_directory(f, ec)) return true;
  bool ok = true;
  if (!MakePrivateFolders(folder)) {
    messages.push_back(FolderFailedMessage(folder));
    ok = false;
  }
  const fs::path ico = f / "ico";
  if (!MakePrivateFolders(ico.u8string())) {
    messages.push_back(FolderFailedMessage(ico.u8string()));
    return false;
  }
  for (const char* name : kIconNames) {
    const fs::path target = ico / name;
    if (fs::exists(target, ec)) continue;
    // A missing icon only leaves the menu plainer.
    const auto icon = ReadFileBytes((fs::u8path(iconDir) / name).u8string(), 1u << 20);
    if (icon && WriteFileReplacing(target.u8string(), *icon, NewFileAccess::OwnerOnly) != WriteError::None) ok = false;
  }
  return ok;
}

bool WriteExportFiles(const std::string& folder, const std::string& id, const ExportDocument& doc) {
  const fs::path f = fs::u8path(folder);
  const bool text = WriteFile(f / ExportTextName(id), WithCrLf(Utf8ToCp1250(doc.text)));
  const bool xml = WriteFile(f / ExportXmlName(id), WithCrLf(doc.xml));
  return text && xml;
}

}  // namespace pit
