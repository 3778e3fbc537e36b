#include "output/validation.h"

#include <algorithm>

#include "app/settlement.h"
#include "calc/business_rows.h"
#include "forms/catalogue_rows.h"
#include "forms/definition_library.h"

namespace pit {
namespace {

bool Contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

bool IsExempt(int idPit, const std::string& xmlNode) {
  return Contains(ExemptXmlNames(idPit), xmlNode + ",");
}

// Payer forms, PIT-R and UPKD ORD-ZU name their fields by the hint text.
bool LabelledByHint(int idPit) {
  return idPit == kPit40 || idPit == kPit11 || idPit == kPitR || idPit == kUpkdOrdZu;
}

std::string PersonMark(int pm) {
  if (pm == kPmTaxpayer) return "(Podatnika) ";
  if (pm == kPmSpouse) return "(Małżonka) ";
  return {};
}

// The XML element name the format gives a field ("P_25" at its printed
// position, "Podmiot1.ImiePierwsze"), with the entry's person where the
// form has none of its own: the text duplicates are recognised by.
std::string XmlLabel(int idPit, int pm, const FieldObject& def, const std::string& xmlNode, bool* position) {
  std::string label = xmlNode;
  *position = false;
  if (LabelledByHint(idPit) && !def.Hint.empty()) {
    label = def.Hint;
  } else if (const auto p = xmlNode.find("P_"); p != std::string::npos) {
    label = xmlNode.substr(p + 2);
    *position = true;
  }
  struct Prefix {
    const char* text;
    const char* person;  // for an entry of no person
  };
  for (const Prefix& pre : {Prefix{"Podmiot1.", "Podatnik - "}, Prefix{"Podmiot2.", "Małżonek - "},
                            Prefix{"Naglowek.", ""}}) {
    const std::string_view tag = pre.text;
    const auto at = label.find(tag);
    if (at == std::string::npos) continue;
    label = label.substr(at + tag.size());
    if (pm == kPmNone) label = pre.person + label;
    break;
  }
  return label;
}

// An XML element name means nothing to the user: the field is named as the
// page names it, by its label and printed position, and an identifier by
// the kind chosen for its person (a PESEL is not a "NIP").
std::string ReadableLabel(const Settlement& s, const FormEntry& e, const FieldObject& def,
                          const std::string& xmlNode) {
  bool position = false;
  const std::string xml = XmlLabel(e.IdPit, e.PM, def, xmlNode, &position);
  if (position) return xml;
  const bool spouse = xmlNode.find("Podmiot2.") != std::string::npos ||
                      (xmlNode.find("Podmiot1.") == std::string::npos && e.PM == kPmSpouse);
  std::string person;
  if (e.PM == kPmNone && xmlNode.find("Podmiot1.") != std::string::npos) person = "Podatnik - ";
  if (e.PM == kPmNone && xmlNode.find("Podmiot2.") != std::string::npos) person = "Małżonek - ";
  std::string what;
  const auto dot = xmlNode.rfind('.');
  const std::string element = dot == std::string::npos ? xmlNode : xmlNode.substr(dot + 1);
  if (element == "NIP" || element == "PESEL") {
    what = (spouse ? s.SpouseIdKind : s.TaxpayerIdKind) == kIdPesel ? "PESEL" : "NIP";
  } else if (LabelledByHint(e.IdPit) || def.Hint.empty()) {
    what = xml.substr(xml.rfind(person, 0) == 0 ? person.size() : 0);
  } else {
    what = def.Hint;
  }
  std::string label = person + what;
  if (def.Poz > 0) label += " (poz. " + std::to_string(def.Poz) + ")";
  return label;
}

// A tick box is filled when a box of its group carries a value; a box
// without a group name is a group of its own.
bool GroupFilled(const FormEntry& e, std::size_t k, std::size_t n) {
  const ValueSlot& own = e.Slots()[k];
  if (own.Name.empty()) return !own.Value.empty();
  for (std::size_t j = 0; j < n; ++j)
    if (e.Slots()[j].Name == own.Name && !e.Slots()[j].Value.empty()) return true;
  return false;
}

}  // namespace

std::string_view ExemptXmlNames(int idPit) {
  return FormCatalogue::IsValid(idPit) ? kCatalogueRows[idPit].exempt : std::string_view();
}

ValidationResult ValidateSettlement(const Settlement& s, DefinitionLibrary& defs) {
  ValidationResult r;
  const int count = s.IsOpen() ? s.Count() : 0;

  auto recordsOf = [&](const FormEntry& e) -> const std::vector<FieldObject>* {
    if (!FormCatalogue::IsValid(e.IdPit)) return nullptr;
    return defs.Fields(e.IdPit);
  };
  auto slotCount = [](const std::vector<FieldObject>& recs) {
    return std::min<std::size_t>(recs.size(), kSlotCount);
  };

  // Required fields that are filled, by entry and XML name: another field
  // of the same name covers an empty one (one of two places for a value).
  std::vector<std::string> filled;
  for (int i = 1; i <= count; ++i) {
    const FormEntry& e = s.Entry(i);
    const auto* recs = recordsOf(e);
    if (recs == nullptr) continue;
    for (std::size_t k = 0; k < slotCount(*recs); ++k) {
      if (!(*recs)[k].MustBe || e.Slots()[k].Value.empty()) continue;
      if (filled.size() < static_cast<std::size_t>(kFilledListCapacity))
        filled.push_back(std::to_string(i) + "." + e.Slots()[k].XMLNode);
    }
  }

  const bool joint = s.Kind == kJoint;
  std::vector<std::string> keys;  // each line's XML element, for duplicates
  for (int i = 1; i <= count; ++i) {
    const FormEntry& e = s.Entry(i);
    const auto* recs = recordsOf(e);
    if (recs == nullptr) continue;
    const std::string& code = s.Catalogue()[e.IdPit].Code;
    const std::size_t n = slotCount(*recs);
    // What a PIT/B's page shows required by the rows typed into.
    std::vector<bool> rowRequired;
    if (e.IdPit == kPitB)
      rowRequired = PitBRowsRequired([&e](int k) -> const std::string& { return e.Slots()[static_cast<std::size_t>(k)].Value; });
    for (std::size_t k = 0; k < n; ++k) {
      const FieldObject& def = (*recs)[k];
      const ValueSlot& slot = e.Slots()[k];
      const bool required = def.MustBe || (k < rowRequired.size() && rowRequired[k]);
      if (!required || slot.XMLNode.empty()) continue;

      bool unfilled;
      if (slot.Typ == kCheckbox) {
        unfilled = !GroupFilled(e, k, n);
      } else {
        const std::string key = std::to_string(i) + "." + slot.XMLNode;
        const bool covered =
            e.IdPit != kPit11 && ((!joint && Contains(key, "Podmiot2")) ||
                                  std::find(filled.begin(), filled.end(), key) != filled.end());
        unfilled = slot.Value.empty() && !covered;
      }
      if (!unfilled) continue;

      // Duplicates are one XML element reported twice, whatever the lines say.
      const std::string head = code + PersonMark(e.PM) + " pole: ";
      bool position = false;
      const std::string key = head + XmlLabel(e.IdPit, e.PM, def, slot.XMLNode, &position);
      const auto window = keys.begin() + std::min<std::ptrdiff_t>(keys.size(), kDuplicateWindow);
      if (std::find(keys.begin(), window, key) != window) continue;
      if (IsExempt(e.IdPit, slot.XMLNode)) continue;
      if (static_cast<int>(r.lines.size()) >= kProblemLimit) continue;
      keys.push_back(key);
      r.lines.push_back(head + ReadableLabel(s, e, def, slot.XMLNode));
      r.places.push_back({i, static_cast<int>(k)});
      ++r.count;
    }
  }
  return r;
}

std::string ValidationMessage(const ValidationResult& r, bool showAllFilled) {
  if (r.count <= 0) return showAllFilled ? "Wszystkie wymagane pola zostały wypełnione" : std::string();
  std::string m = " ILOŚĆ NIEWYPEŁNIONYCH PÓL: " + std::to_string(r.count) + "\n" +
                  "------------------------------------------------------------------\n";
  if (r.count > kShownProblemLines) m += " Ograniczono wyświetlanie komunikatów do 10-ciu\n\n";
  for (int i = 0; i < kShownProblemLines && i < static_cast<int>(r.lines.size()); ++i)
    m += "   " + std::to_string(i + 1) + ". " + r.lines[static_cast<std::size_t>(i)] + "\n";
  return m;
}

}  // namespace pit
