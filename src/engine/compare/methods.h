#pragma once
// Which method of taxation costs least: the same incomes, deductions and
// reliefs taxed individually, jointly with the spouse and as a single
// parent, each worked out on a copy of the settlement with the program's own
// calculations. The settlement itself is not touched.
//
// Separately, each spouse files alone: the taxpayer's columns of the joint
// returns (PIT-36, PIT-37) and of their PIT/O, PIT/D and PIT/UZ stay with
// the taxpayer, the spouse's move into a return of the spouse's own, and the
// forms marked as one person's go with that person. Returns that no method
// changes (PIT-36L, PIT-38, PIT-39, PIT-28) stay as they are and count in
// every option.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/settlement.h"
#include "calc/identification.h"

namespace pit {

enum class TaxMethod : int { Individual = 0, Joint = 1, SingleParent = 2 };
constexpr std::array<TaxMethod, 3> kTaxMethods = {TaxMethod::Individual, TaxMethod::Joint, TaxMethod::SingleParent};

// The settlement kind of a method and back.
int KindOf(TaxMethod m);
std::optional<TaxMethod> MethodOfKind(int kind);
// "individual", "joint", "single_parent".
const char* MethodKey(TaxMethod m);
// The method as the selection screen names it ("indywidualnie", ...).
const char* MethodCaption(TaxMethod m);

struct MethodOption {
  TaxMethod method = TaxMethod::Individual;
  bool available = false;
  std::string reason;  // why not, when not available
  bool current = false;
  // Grosze. Tax due of each person's own returns; in the joint option the
  // joint return's tax is `jointTax`, apart from either person's.
  std::int64_t taxpayerTax = 0;
  std::int64_t spouseTax = 0;
  std::int64_t jointTax = 0;
  std::int64_t tax = 0;  // all of it, both persons
  std::int64_t toPay = 0;
  std::int64_t overpayment = 0;
  std::int64_t childReliefPaidBack = 0;
  // What the option costs: the tax less the child relief paid back.
  std::int64_t Cost() const { return tax - childReliefPaidBack; }
};

struct MethodComparison {
  bool applicable = false;  // a taxpayer's settlement (kinds 0 to 2)
  TaxMethod current = TaxMethod::Individual;
  std::array<MethodOption, 3> options;  // in the order of kTaxMethods
  std::optional<TaxMethod> best;        // the cheapest available option
  const MethodOption& Of(TaxMethod m) const { return options[static_cast<std::size_t>(m)]; }
  // Cost of an option less the cost of the current one (grosze).
  std::int64_t DifferenceToCurrent(TaxMethod m) const { return Of(m).Cost() - Of(current).Cost(); }
};

// Country name -> code, for the calculations that derive country codes.
using CountryCodeLookup = std::function<std::string(const std::string&)>;

MethodComparison CompareMethods(const Settlement& s, const IdentificationRecords& ids,
                                const CountryCodeLookup& countryCodeOf = {});

// A settlement copied entry by entry, with its kind and persons; not
// modified, no file.
std::unique_ptr<Settlement> CopySettlement(const Settlement& s);

// One person's settlement cut from a joint one: that person's forms and
// columns, as an individual settlement of that person's own (the spouse's
// columns moved into the taxpayer's). Calculated.
struct PersonSettlement {
  std::unique_ptr<Settlement> settlement;
  IdentificationRecords ids;
};
PersonSettlement SeparateSettlement(const Settlement& joint, const IdentificationRecords& ids, int person,
                                    const CountryCodeLookup& countryCodeOf = {});

// Why the law excludes a method for this settlement's persons; empty when
// it does not.
std::string ExclusionOf(const Settlement& s, TaxMethod m);

// Every entry calculated as after opening the file (attachments first).
void CalculateCopy(Settlement& s, IdentificationRecords& ids, const CountryCodeLookup& countryCodeOf);

}  // namespace pit
