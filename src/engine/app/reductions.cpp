#include "app/reductions.h"

#include "calc/amounts.h"
#include "calc/framework.h"
#include "forms/pit37_fields.h"
#include "forms/pit_o_fields.h"
#include "forms/values.h"
#include "app/catalogue.h"

namespace pit {

namespace {

std::string Shown(std::string_view value, const FieldObject& def) {
  return AmountAsShown(value.empty() ? std::string_view("0,00") : value, def.Typ, def.Option);
}

}  // namespace

namespace {

// Amounts a return carries from an attachment and cuts to the tax.
struct Carried {
  int idPit;
  int field;
  int fromIdPit;
  int fromField;
};
constexpr Carried kCarried[] = {
    // poz. 120: the taxpayer's deductions from tax, the child relief among them
    {kPit37, pit37::taxpayer_pit_o_tax_deductions, kPitO, pit_o::taxpayer_tax_deductions_total},
    // poz. 121: the spouse's
    {kPit37, pit37::spouse_pit_o_tax_deductions, kPitO, pit_o::spouse_tax_deductions_total},
};

// What the attachment gives for a carried amount; empty when `field` of
// entry `entry` is not one.
std::optional<std::string> CarriedFrom(const Settlement& s, int entry, int field) {
  if (!s.Has(entry)) return std::nullopt;
  const FormEntry& e = s.Entry(entry);
  for (const Carried& c : kCarried) {
    if (c.idPit != e.IdPit || c.field != field) continue;
    const int from = s.FindByTypeAndParent(c.fromIdPit, entry);
    if (from <= 0 || !s.Has(from)) return std::nullopt;
    return s.Entry(from).Slots()[static_cast<std::size_t>(c.fromField)].Value;
  }
  return std::nullopt;
}

}  // namespace

std::vector<CutAmount> ReducedAmounts(const CommitStep& step, const std::string& given,
                                      const FieldRecordsOf& recordsOf, const Settlement& s) {
  std::vector<CutAmount> cuts;
  for (const SlotChange& c : step.changes) {
    const std::vector<FieldObject>* records = recordsOf ? recordsOf(c.entry) : nullptr;
    if (records == nullptr || c.field >= static_cast<int>(records->size())) continue;
    const FieldObject& def = (*records)[static_cast<std::size_t>(c.field)];
    if ((def.Typ != kLiczba && def.Typ != kJedenProcent) || !def.Visible) continue;
    std::optional<std::string> source;
    if (def.ReadOnly) {
      // Only what the user gives: a computed amount that falls with the
      // income is a result, not a cut. One carried from an attachment is
      // the user's, and measured against what the attachment gives.
      source = CarriedFrom(s, c.entry, c.field);
      if (!source) continue;
    }
    const bool committed = c.entry == step.entry && c.field == step.field;
    const std::string_view before = source      ? std::string_view(*source)
                                    : committed ? std::string_view(given)
                                                : c.before.Value;
    const std::optional<Amount> was = ParseAmount(before);
    const std::optional<Amount> now = ParseAmount(c.after.Value);
    if (!was || !now || !(*now < *was)) continue;
    const std::string where = def.Poz > 0 ? "poz. " + std::to_string(def.Poz) : "pole " + std::to_string(c.field);
    cuts.push_back({c.entry, c.field, where + ": " + Shown(before, def) + " → " + Shown(c.after.Value, def),
                    std::string(c.after.Value)});
  }
  return cuts;
}

std::vector<CutAmount> StandingCuts(const std::vector<CutAmount>& before, const std::vector<CutAmount>& added,
                                    const Settlement& s) {
  std::vector<CutAmount> standing;
  const auto same = [](const CutAmount& a, const CutAmount& b) { return a.entry == b.entry && a.field == b.field; };
  for (const CutAmount& c : before) {
    if (!s.Has(c.entry) || c.field < 0 || c.field >= static_cast<int>(kSlotCount)) continue;
    if (s.Entry(c.entry).Slots()[static_cast<std::size_t>(c.field)].Value != c.after) continue;
    bool again = false;
    for (const CutAmount& a : added) again = again || same(a, c);
    if (!again) standing.push_back(c);
  }
  standing.insert(standing.end(), added.begin(), added.end());
  return standing;
}

bool NoticeShown(const ShownResult& r, int idPit) {
  const std::string notice = ReductionNotice(idPit);
  return !notice.empty() && r.Showing(notice);
}

}  // namespace pit
