#include "ui/forms/form_rules.h"

#include <algorithm>

#include "app/catalogue.h"
#include "forms/pit28_fields.h"
#include "forms/pit36_fields.h"
#include "forms/pit36l_fields.h"
#include "forms/pit37_fields.h"
#include "forms/pit38_fields.h"
#include "forms/pit39_fields.h"
#include "forms/pit40_fields.h"
#include "text/collation.h"
#include "text/cp1250.h"

namespace pit::ui {
namespace {

const char* const kHintOneReturn =
    "Jeżeli podatnik składa więcej niż jedno zeznanie, w którym możliwe jest rozliczenie podatku \nz "
    "odpłatnego zbycia nieruchomości i praw majątkowych, pole to wypełnia tylko w jednym z nich.";

// The two printed positions whose sum the flat costs limit (the numbers the
// paper form shows, not object indexes).
std::string FlatCostHint(int first, int second) {
  return "Suma pozycji " + std::to_string(first) + " i " + std::to_string(second) +
         " przy zastosowaniu kosztów zryczałtowanych nie może przekroczyć kwoty 42.764 zł";
}

}  // namespace

std::string EntryHint(int idPit, int k, const std::string& slotValue) {
  if (idPit == kPit40) {
    return k == pit40::cooperative_revenue ? "W wierszu 5 należy uwzględnić kwoty wykazane w informacji PIT-R"
                                           : std::string();
  }
  if (slotValue != "0,00") return std::string();
  switch (idPit) {
    case kPit36:
      if (k == pit36::taxpayer_property_sale_income || k == pit36::spouse_property_sale_income)
        return kHintOneReturn;
      if (k == pit36::taxpayer_employment_extra_costs || k == pit36::taxpayer_rights_extra_costs)
        return FlatCostHint(49, 80);
      if (k == pit36::spouse_employment_extra_costs || k == pit36::spouse_rights_extra_costs)
        return FlatCostHint(96, 127);
      break;
    case kPit37:
      if (k == pit37::taxpayer_employment_extra_costs || k == pit37::taxpayer_rights_extra_costs)
        return FlatCostHint(43, 58);
      if (k == pit37::spouse_employment_extra_costs || k == pit37::spouse_rights_extra_costs)
        return FlatCostHint(74, 89);
      break;
    case kPit36L:
      if (k == pit36l::property_sale_income) return kHintOneReturn;
      break;
    case kPit38:
      if (k == pit38::property_sale_tax) return kHintOneReturn;
      break;
    default:
      break;
  }
  return std::string();
}

int KrsFieldOf(int idPit) {
  switch (idPit) {
    case kPit36: return pit36::krs;
    case kPit37: return pit37::krs;
    case kPit36L: return pit36l::krs;
    case kPit38: return pit38::krs;
    case kPit28: return pit28::krs;
    case kPit39: return pit39::krs;
    default: return -1;
  }
}

int NextFieldIndex(const std::vector<FieldObject>& defs, int left) {
  if (left < 0 || left >= static_cast<int>(defs.size())) return left;
  const int leftTab = defs[static_cast<std::size_t>(left)].Tab;
  int best = -1;
  for (int k = 1; k < static_cast<int>(defs.size()); ++k) {
    const FieldObject& d = defs[static_cast<std::size_t>(k)];
    // A strike-through line has no editor: going there would leave the
    // user with nothing to type into and no key to move on with.
    if (d.Tab <= leftTab || d.ReadOnly || !d.Visible || d.Typ == kKreska) continue;
    if (best < 0 || d.Tab < defs[static_cast<std::size_t>(best)].Tab) best = k;
  }
  return best < 0 ? left : best;
}

int PreviousFieldIndex(const std::vector<FieldObject>& defs, int left) {
  if (left < 0 || left >= static_cast<int>(defs.size())) return left;
  const int leftTab = defs[static_cast<std::size_t>(left)].Tab;
  int best = -1;
  for (int k = 1; k < static_cast<int>(defs.size()); ++k) {
    const FieldObject& d = defs[static_cast<std::size_t>(k)];
    // Fields out of the tab order (Tab 0) are not reached going forwards
    // either.
    if (d.Tab >= leftTab || d.Tab <= 0 || d.ReadOnly || !d.Visible || d.Typ == kKreska) continue;
    if (best < 0 || d.Tab > defs[static_cast<std::size_t>(best)].Tab) best = k;
  }
  return best < 0 ? left : best;
}

std::string PageQuestion(int page, const std::string& formCode) {
  return "Czy przejść na " + std::to_string(page) + " stronę druku " + formCode + "?";
}

std::vector<TaxOffice> OfficesByTown(const std::vector<TaxOffice>& records) {
  std::vector<TaxOffice> out;
  for (const TaxOffice& o : records)
    if (!o.Name.empty() || !o.Code.empty()) out.push_back(o);
  std::stable_sort(out.begin(), out.end(), [](const TaxOffice& a, const TaxOffice& b) {
    return PolishLess(a.Town, b.Town);
  });
  return out;
}

std::vector<Country> CountriesByName(const std::vector<Country>& records) {
  std::vector<Country> out;
  for (const Country& c : records)
    if (!c.Name.empty() || !c.Code.empty()) out.push_back(c);
  std::stable_sort(out.begin(), out.end(), [](const Country& a, const Country& b) {
    return PolishLess(a.Name, b.Name);
  });
  return out;
}

bool BeginsWithUpper(const std::string& text, const std::string& prefix) {
  const std::string p = UpperPl(prefix);
  return text.compare(0, p.size(), p) == 0;
}

}  // namespace pit::ui
