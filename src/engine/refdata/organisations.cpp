#include "refdata/organisations.h"

namespace pit {

const std::array<PublicBenefitOrganisation, kOrganisationCount>& OrganisationList() {
  static const std::array<PublicBenefitOrganisation, kOrganisationCount> list = {{
      {"Samodzielnie wpiszę KRS innej OPP", ""},
      {"Samodzielnie wpiszę KRS innej OPP", ""},
      {"Fundacja Radia ZET", "0000127204"},
      {"Fundacja Serce Dziecka", "0000266644"},
      {"Dzieci Niepełnosprawne Intelektualnie Oczekują Twojej Pomocy", "0000085133"},
      {"Fundacja Domowe Hospicjum dla Dzieci w Opolu", "0000245423"},
      {"Stowarzyszenie SOS Wioski Dziecięce w Polsce", "0000056901"},
      {"Centrum Rozwoju Lokalnego", "0000332814"},
      {"Pomoc Dzieciom Fundacja Miki Centrum", "0000050483"},
      {"Polska Akcja Humanitarna", "0000136833"},
      {"Fundacja Warszawskie Hospicjum dla Dzieci", "0000097123"},
      {"Fundacja Dzieciom \"Zdążyć z Pomocą\"", "0000037904"},
  }};
  return list;
}

std::vector<std::string> OrganisationGridRows() {
  const auto& list = OrganisationList();
  std::vector<std::string> rows;
  rows.reserve(list.size());
  for (std::size_t r = 0; r < list.size(); ++r) {
    if (static_cast<int>(r) == kOwnEntryRow) {
      rows.push_back(list[r].Name);
    } else {
      rows.push_back("KRS:" + list[r].Krs + " - " + list[r].Name);
    }
  }
  return rows;
}

}  // namespace pit
