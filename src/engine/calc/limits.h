#pragma once
// Statutory amount limits, each defined once in grosze; the number the
// calculations compare with and the text written into a capped field both
// come from it.
#include <cstdint>
#include <string>

#include "calc/amounts.h"

namespace pit {

struct StatutoryLimit {
  std::int64_t grosze;
  Amount Value() const { return Amount::FromGrosze(grosze); }
  std::string Text() const { return FormatAmount(Value()); }
};

namespace limits2014 {
// Internet use, per person.
constexpr StatutoryLimit kInternet{76000};
// Contributions to an individual retirement security account (IKZE).
constexpr StatutoryLimit kIkzeContributions{449520};
// Housing savings relief of the PIT/D, section C.
constexpr StatutoryLimit kHousingSavings{1134000};
}  // namespace limits2014

// The child relief of a year for `children` children (truncated to a whole
// number; none below one): the amounts of the first to the last child added.
Amount ChildReliefLimit(Amount children);

}  // namespace pit
