#pragma once
// The built-in list of suggested public-benefit organisations for the 1%
// picker. Entry 0 stands for "no row chosen" (its grid row hides behind the
// edit strip); entry 1 is the visible row for typing the KRS of any other
// organisation.
#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace pit {

struct PublicBenefitOrganisation {
  std::string Name;  // at most 254 bytes of Windows-1250
  std::string Krs;   // empty for the own-entry rows
};

constexpr std::size_t kOrganisationCount = 12;
// Rows the open list shows at once.
constexpr std::size_t kOrganisationRowsShown = 12;
constexpr int kOwnEntryRow = 1;

const std::array<PublicBenefitOrganisation, kOrganisationCount>& OrganisationList();

// The grid's row texts, one per entry: the own-entry row shows its name
// alone, every other row "KRS:<krs> - <name>".
std::vector<std::string> OrganisationGridRows();

}  // namespace pit
