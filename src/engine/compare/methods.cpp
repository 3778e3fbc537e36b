#include "compare/methods.h"

#include <algorithm>
#include <map>
#include <utility>

#include "calc/calculation.h"
#include "calc/display.h"
#include "compare/outcome.h"
#include "text/guid.h"

namespace pit {
namespace {

// A taxpayer's column and the spouse's column of the same line.
struct Columns {
  int taxpayer;
  int spouse;
};

void AddRun(std::vector<Columns>& out, int taxpayer, int spouse, int count) {
  for (int i = 0; i < count; ++i) out.push_back({taxpayer + i, spouse + i});
}

const std::vector<Columns>& Pit37Columns() {
  static const std::vector<Columns> cols = [] {
    std::vector<Columns> c;
    AddRun(c, 36, 63, 27);   // incomes, rows 1 to 6
    AddRun(c, 148, 152, 4);  // rows 1a and 4a
    for (Columns p : {Columns{90, 91}, {136, 137}, {92, 93}, {94, 95}, {105, 106}, {142, 143}, {107, 108}})
      c.push_back(p);
    return c;
  }();
  return cols;
}

const std::vector<Columns>& Pit36Columns() {
  static const std::vector<Columns> cols = [] {
    std::vector<Columns> c;
    AddRun(c, 45, 88, 43);  // incomes, rows 1 to 9
    for (Columns p : {Columns{320, 183}, {344, 184}, {338, 310}, {339, 346}, {35, 37}, {36, 38}, {39, 40},
                      {41, 42}, {43, 44}, {131, 132}, {133, 134}, {140, 141}, {329, 330}, {138, 139}, {137, 345},
                      {135, 136}, {142, 143}, {144, 145}, {147, 148}, {152, 153}, {156, 157}, {158, 159},
                      {160, 161}, {154, 155}, {162, 163}, {167, 168}, {172, 173}, {175, 176}, {331, 332},
                      {177, 178}, {190, 191}, {192, 193}, {194, 195}, {196, 197}, {198, 199}, {200, 201},
                      {202, 203}, {164, 165}})
      c.push_back(p);
    // The months of the advances paid, four sources.
    for (int row : {206, 230, 254, 278}) AddRun(c, row, row + 12, 12);
    return c;
  }();
  return cols;
}

const std::vector<Columns>& PitOColumns() {
  static const std::vector<Columns> cols = {
      {12, 13},   {229, 230}, {231, 232}, {14, 15},   {16, 17},   {18, 19},   {20, 21},   {22, 23},
      {223, 224}, {26, 27},   {28, 29},   {30, 31},   {32, 33},   {35, 36},   {39, 40},   {65, 66},
      {41, 42},   {241, 242}, {233, 234}, {235, 236}, {237, 239}, {238, 240}, {243, 244}, {245, 246},
      {52, 53},   {63, 64}};
  return cols;
}

const std::vector<Columns>& PitUZColumns() {
  static const std::vector<Columns> cols = {{12, 15}, {16, 17}};
  return cols;
}

// The tick boxes among the columns: they move with their tick.
bool IsBox(int idPit, int field) { return idPit == kPit36 && field >= 39 && field <= 42; }

ValueSlot& SlotOf(FormEntry& e, int k) { return e.Slots[static_cast<std::size_t>(k)]; }

bool HasAmount(const FormEntry& e, int k) {
  const auto a = ParseAmount(e.Slots[static_cast<std::size_t>(k)].Value);
  return a && *a != 0;
}

// Leaves the columns of `person` in the taxpayer's columns and empties the
// spouse's. Returns whether the person had anything in them.
bool KeepColumnsOf(FormEntry& e, const std::vector<Columns>& cols, int person) {
  bool any = false;
  for (const Columns& c : cols) {
    ValueSlot& t = SlotOf(e, c.taxpayer);
    ValueSlot& s = SlotOf(e, c.spouse);
    const bool box = IsBox(e.IdPit, c.taxpayer);
    if (person == kPmSpouse) {
      t.Value = s.Value;
      if (box) t.CheckState = s.CheckState;
    }
    s.Value.clear();
    if (box) s.CheckState = false;
    any = any || (!t.Value.empty() && (box || HasAmount(e, c.taxpayer)));
  }
  return any;
}

// The PIT/D sections: the amounts typed, the PIT-28 part and the PIT-36/37
// part, each as its total and the two persons' shares.
struct HousingSection {
  std::vector<int> amounts;
  int part28, part28T, part28S;
  int part37, part37T, part37S;
};
const std::array<HousingSection, 3>& HousingSections() {
  static const std::array<HousingSection, 3> sections = {{
      {{29}, 30, 32, 33, 31, 34, 35},
      {{38, 39}, 41, 43, 44, 42, 45, 46},
      {{47, 48}, 50, 52, 53, 51, 54, 55},
  }};
  return sections;
}

std::string AmountText(std::int64_t grosze) { return FormatAmount(static_cast<Amount>(grosze) / 100.0L); }

// A person's share of each PIT/D section: the shares typed for the persons,
// or, when none is, the whole section for the taxpayer. Returns whether the
// person keeps anything.
bool KeepHousingOf(FormEntry& e, int person) {
  bool any = false;
  for (const HousingSection& h : HousingSections()) {
    const bool split = HasAmount(e, h.part28T) || HasAmount(e, h.part28S) || HasAmount(e, h.part37T) ||
                       HasAmount(e, h.part37S);
    auto clearSection = [&] {
      for (int k : h.amounts) SlotOf(e, k).Value.clear();
      for (int k : {h.part28, h.part28T, h.part28S, h.part37, h.part37T, h.part37S}) SlotOf(e, k).Value.clear();
    };
    if (!split) {
      if (person == kPmSpouse) clearSection();
      any = any || (person != kPmSpouse && std::any_of(h.amounts.begin(), h.amounts.end(),
                                                        [&](int k) { return HasAmount(e, k); }));
      continue;
    }
    const int own28 = person == kPmSpouse ? h.part28S : h.part28T;
    const int own37 = person == kPmSpouse ? h.part37S : h.part37T;
    const std::string share28 = SlotOf(e, own28).Value, share37 = SlotOf(e, own37).Value;
    const bool has28 = HasAmount(e, own28), has37 = HasAmount(e, own37);
    if (!has28 && !has37) {
      clearSection();
      continue;
    }
    any = true;
    // Only the person's own parts are left: the section shrinks to the
    // part for PIT-28 when nothing goes to PIT-36/37, and that part is
    // emptied when nothing goes to PIT-28.
    if (!has37) {
      const std::string p28 = SlotOf(e, h.part28).Value;
      for (int k : h.amounts) SlotOf(e, k).Value.clear();
      SlotOf(e, h.amounts.back()).Value = p28;
    }
    if (!has28) SlotOf(e, h.part28).Value.clear();
    SlotOf(e, h.part28T).Value = has28 ? share28 : std::string();
    SlotOf(e, h.part37T).Value = has37 ? share37 : std::string();
    SlotOf(e, h.part28S).Value.clear();
    SlotOf(e, h.part37S).Value.clear();
  }
  return any;
}

bool IsJointReturn(const FormEntry& e) { return e.IdParent == 0 && e.PM == kPmNone && (e.IdPit == kPit36 || e.IdPit == kPit37); }

// Fields typed for both persons together in a PIT-36: the advances paid.
// They stay with the taxpayer unless the months of the advances, filled in
// to the same total, say whose they are.
void SplitPaidAdvances(FormEntry& e, const FormEntry& joint, int person) {
  constexpr int kPaid = 189;
  auto monthsOf = [&](int first) {
    std::int64_t sum = 0;
    for (int row : {first, first + 24, first + 48, first + 72})
      for (int k = row; k < row + 12; ++k) {
        const auto a = ParseAmount(joint.Slots[static_cast<std::size_t>(k)].Value);
        if (a) sum += RoundGroszeCents(*a);
      }
    return sum;
  };
  const std::int64_t t = monthsOf(206), s = monthsOf(218);
  const auto paid = ParseAmount(joint.Slots[kPaid].Value);
  const std::int64_t total = paid ? RoundGroszeCents(*paid) : 0;
  if (total != 0 && t + s == total)
    SlotOf(e, kPaid).Value = AmountText(person == kPmSpouse ? s : t);
  else if (person == kPmSpouse)
    SlotOf(e, kPaid).Value.clear();
}

// What belongs to one return only: the 1% and the amounts added to the tax
// go with the taxpayer.
void ClearTaxpayerOnly(FormEntry& e) {
  if (e.IdPit == kPit37)
    for (int k : {103, 131, 132, 133}) SlotOf(e, k).Value.clear();
  if (e.IdPit == kPit36)
    for (int k : {171, 321, 322, 323}) SlotOf(e, k).Value.clear();
}

// A PIT-28 with revenue from business, as opposed to the lump sum on
// rental alone: rows 1 and 2 of the return, or the business rows of its
// PIT-28/A (rows 1 and 3), or a partnership's PIT-28/B.
bool LumpSumBusiness(const Settlement& s, int entry) {
  const FormEntry& e = s.Entry(entry);
  for (int k = 19; k <= 31; ++k)
    if (k != 25 && HasAmount(e, k)) return true;
  for (int i = 1; i <= s.Count(); ++i) {
    const FormEntry& a = s.Entry(i);
    if (a.IdParent != entry) continue;
    if (a.IdPit == kPit28B) return true;
    if (a.IdPit == kPit28A)
      for (int k : {15, 16, 17, 18, 19, 20, 23, 24, 25, 26, 27, 28})
        if (HasAmount(a, k)) return true;
  }
  return false;
}

// Whose a main form is: its person mark; unmarked forms are the taxpayer's.
int PersonOf(const FormEntry& e) { return e.PM == kPmSpouse ? kPmSpouse : kPmTaxpayer; }

// The reason the persons' other taxation rules out joint filing or the
// single parent's method, for `person` (0: either).
std::string OtherTaxationOf(const Settlement& s, int person, bool joint) {
  const char* who = joint ? "choćby jeden z małżonków" : "podatnik";
  for (int i = 1; i <= s.Count(); ++i) {
    const FormEntry& e = s.Entry(i);
    if (e.IdParent != 0 || (person != 0 && PersonOf(e) != person)) continue;
    if (e.IdPit == kPit36L)
      return std::string("Niedostępne, gdy ") + who +
             " płacił w 2014 r. podatek liniowy 19% od działalności gospodarczej (PIT-36L).";
    if (e.IdPit == kPit28 && LumpSumBusiness(s, i))
      return std::string("Niedostępne, gdy ") + who +
             " płacił w 2014 r. ryczałt od przychodów z działalności gospodarczej (PIT-28); "
             "ryczałt od najmu tego nie wyklucza.";
    if (e.IdPit == kPit16A)
      return std::string("Niedostępne, gdy ") + who + " płacił w 2014 r. podatek w formie karty podatkowej.";
  }
  return {};
}

struct Tally {
  std::int64_t taxpayer = 0, spouse = 0, joint = 0, toPay = 0, overpayment = 0, paidBack = 0;
};

// Adds the outcomes of the returns of a calculated settlement; `person` is
// whose the settlement is when it is one person's.
void Count(const Settlement& s, Tally& t, int person) {
  for (int i = 1; i <= s.Count(); ++i) {
    const FormEntry& e = s.Entry(i);
    if (e.IdParent != 0) continue;
    const auto o = OutcomeOf(s, i);
    if (!o) continue;
    if (o->joint)
      t.joint += o->taxDue.grosze;
    else if ((person ? person : PersonOf(e)) == kPmSpouse)
      t.spouse += o->taxDue.grosze;
    else
      t.taxpayer += o->taxDue.grosze;
    t.toPay += o->toPay.grosze;
    t.overpayment += o->overpayment.grosze;
    if (o->childReliefPaidBack) t.paidBack += o->childReliefPaidBack->grosze;
  }
}

void Fill(MethodOption& o, const Tally& t) {
  o.taxpayerTax = t.taxpayer;
  o.spouseTax = t.spouse;
  o.jointTax = t.joint;
  o.tax = t.taxpayer + t.spouse + t.joint;
  o.toPay = t.toPay;
  o.overpayment = t.overpayment;
  o.childReliefPaidBack = t.paidBack;
}

}  // namespace

int KindOf(TaxMethod m) {
  switch (m) {
    case TaxMethod::Joint: return kJoint;
    case TaxMethod::SingleParent: return kSingleParent;
    default: return kIndividual;
  }
}

std::optional<TaxMethod> MethodOfKind(int kind) {
  switch (kind) {
    case kIndividual: return TaxMethod::Individual;
    case kJoint: return TaxMethod::Joint;
    case kSingleParent: return TaxMethod::SingleParent;
    default: return std::nullopt;
  }
}

const char* MethodKey(TaxMethod m) {
  switch (m) {
    case TaxMethod::Joint: return "joint";
    case TaxMethod::SingleParent: return "single_parent";
    default: return "individual";
  }
}

const char* MethodCaption(TaxMethod m) {
  switch (m) {
    case TaxMethod::Joint: return "wspólnie z małżonkiem";
    case TaxMethod::SingleParent: return "osoba samotnie wychowująca dziecko";
    default: return "indywidualnie";
  }
}

std::unique_ptr<Settlement> CopySettlement(const Settlement& s) {
  auto out = std::make_unique<Settlement>();
  out->Open();
  for (int i = 1; i <= s.Count(); ++i) out->AppendLoaded(std::make_unique<FormEntry>(s.Entry(i)));
  out->Kind = s.Kind;
  out->TaxpayerIdKind = s.TaxpayerIdKind;
  out->SpouseIdKind = s.SpouseIdKind;
  out->SpouseData = s.SpouseData;
  return out;
}

void CalculateCopy(Settlement& s, IdentificationRecords& ids, const CountryCodeLookup& countryCodeOf) {
  HeadlessDisplay display;
  CalcContext ctx(s, ids, display);
  ctx.countryCodeOf = countryCodeOf;
  // A field that does not hold a number stops only its own form, as on
  // opening the file; the figures are those the forms then show.
  RunOpeningPass(ctx);
}

PersonSettlement SeparateSettlement(const Settlement& joint, const IdentificationRecords& ids, int person,
                                    const CountryCodeLookup& countryCodeOf) {
  PersonSettlement out;
  out.settlement = std::make_unique<Settlement>();
  Settlement& s = *out.settlement;
  s.Open();
  s.Kind = kIndividual;
  s.TaxpayerIdKind = person == kPmSpouse ? (joint.SpouseIdKind == kIdNone ? kIdNip : joint.SpouseIdKind)
                                         : joint.TaxpayerIdKind;
  s.SpouseIdKind = kIdNone;
  out.ids = ids;
  if (person == kPmSpouse) out.ids.Taxpayer = ids.Spouse;
  out.ids.Spouse = IdentificationRecord{};

  std::map<int, int> number;  // entry of the joint settlement -> entry here
  std::map<std::string, std::string> guids;  // the spouse's returns are new returns
  for (int i = 1; i <= joint.Count(); ++i) {
    const FormEntry& e = joint.Entry(i);
    if (e.IdParent != 0 && number.count(e.IdParent) == 0) continue;  // its return is not this person's
    const int main = MainFormOf(joint, i);
    if (main == 0) continue;
    const FormEntry& m = joint.Entry(main);
    const bool shared = IsJointReturn(m);
    if (e.PM != kPmNone ? e.PM != person : (!shared && PersonOf(m) != person)) continue;

    auto copy = std::make_unique<FormEntry>(e);
    copy->PM = kPmNone;
    copy->Kind = kIndividual;
    copy->IdParent = e.IdParent == 0 ? 0 : number[e.IdParent];
    copy->Id = s.Count() + 1;
    if (person == kPmSpouse && shared) {
      auto g = guids.find(e.ReturnGuid);
      if (g == guids.end()) g = guids.emplace(e.ReturnGuid, NewGuidText()).first;
      copy->ReturnGuid = g->second;
    }
    if (shared && e.PM == kPmNone) {
      bool keep = true;
      switch (e.IdPit) {
        case kPit37:
          KeepColumnsOf(*copy, Pit37Columns(), person);
          if (person == kPmSpouse) ClearTaxpayerOnly(*copy);
          break;
        case kPit36:
          KeepColumnsOf(*copy, Pit36Columns(), person);
          SplitPaidAdvances(*copy, e, person);
          if (person == kPmSpouse) ClearTaxpayerOnly(*copy);
          break;
        case kPitO: keep = KeepColumnsOf(*copy, PitOColumns(), person); break;
        case kPitD: keep = KeepHousingOf(*copy, person); break;
        case kPitUZ: keep = KeepColumnsOf(*copy, PitUZColumns(), person); break;
        case kPit2K: keep = person == kPmTaxpayer; break;
        default: break;
      }
      if (!keep) continue;
    }
    number[i] = copy->Id;
    s.AppendLoaded(std::move(copy));
  }
  // The statement for the housing relief goes where the PIT/D went.
  if (person == kPmSpouse) {
    for (int i = 1; i <= s.Count(); ++i) {
      const FormEntry& e = s.Entry(i);
      if (e.IdPit == kPit37 || e.IdPit == kPit36) {
        if (s.FindByTypeAndParent(kPitD, i) > 0 && s.FindByTypeAndParent(kPit2K, i) < 0) {
          const int jointMain = [&] {
            for (const auto& [from, to] : number)
              if (to == i) return from;
            return 0;
          }();
          const int k = joint.FindByTypeAndParent(kPit2K, jointMain);
          if (k > 0) {
            auto copy = std::make_unique<FormEntry>(joint.Entry(k));
            copy->PM = kPmNone;
            copy->Kind = kIndividual;
            copy->IdParent = i;
            copy->Id = s.Count() + 1;
            copy->ReturnGuid = e.ReturnGuid;
            s.AppendLoaded(std::move(copy));
          }
        }
      }
    }
  }
  s.StampEntries();
  DistributeIdentification(s, out.ids);
  CalculateCopy(s, out.ids, countryCodeOf);
  return out;
}

std::string ExclusionOf(const Settlement& s, TaxMethod m) {
  switch (m) {
    case TaxMethod::Individual: return {};
    case TaxMethod::Joint:
      if (s.Kind != kJoint)
        return "Rozliczenie nie zawiera dochodów małżonka: wspólne rozliczenie wymaga zeznania obojga małżonków.";
      return OtherTaxationOf(s, 0, true);
    case TaxMethod::SingleParent:
      if (s.Kind == kJoint)
        return "Niedostępne dla małżonków: osoba samotnie wychowująca dziecko to osoba samotna albo ta, "
               "której małżonek został pozbawiony władzy rodzicielskiej lub odbywa karę pozbawienia wolności.";
      return OtherTaxationOf(s, kPmTaxpayer, false);
  }
  return {};
}

MethodComparison CompareMethods(const Settlement& s, const IdentificationRecords& ids,
                                const CountryCodeLookup& countryCodeOf) {
  MethodComparison c;
  const auto current = MethodOfKind(s.Kind);
  if (!s.IsOpen() || !current) return c;
  c.applicable = true;
  c.current = *current;

  for (TaxMethod m : kTaxMethods) {
    MethodOption& o = c.options[static_cast<std::size_t>(m)];
    o.method = m;
    o.current = m == c.current;
    o.reason = ExclusionOf(s, m);
    o.available = o.reason.empty();
    // The current method is worked out even when the law excludes it, so
    // that what the forms hold can be compared.
    if (!o.available && !o.current) continue;
    Tally t;
    if (m == TaxMethod::Individual && s.Kind == kJoint) {
      for (int person : {kPmTaxpayer, kPmSpouse}) {
        PersonSettlement p = SeparateSettlement(s, ids, person, countryCodeOf);
        Count(*p.settlement, t, person);
      }
    } else {
      auto copy = CopySettlement(s);
      IdentificationRecords copyIds = ids;
      copy->Kind = KindOf(m);
      copy->StampEntries();
      CalculateCopy(*copy, copyIds, countryCodeOf);
      Count(*copy, t, 0);
    }
    Fill(o, t);
  }

  for (TaxMethod m : kTaxMethods) {
    const MethodOption& o = c.Of(m);
    if (!o.available) continue;
    // An equal cost keeps the current choice.
    if (!c.best || o.Cost() < c.Of(*c.best).Cost() ||
        (o.Cost() == c.Of(*c.best).Cost() && o.current))
      c.best = m;
  }
  return c;
}

}  // namespace pit
