// Every form of the catalogue ships with its definition: the field records,
// the description with the catalogue's page count, and both pictures (with
// and without the background) of each page. A form without them cannot be
// shown, filled or printed.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/catalogue.h"
#include "forms/definition_files.h"

namespace pit {
namespace {

TEST(ShippedForms, EveryCatalogueFormHasItsDefinitionAndPictures) {
  const std::string dc = std::string(PIT_BIN_DIR) + "/dc";
  const FormCatalogue catalogue;
  for (int idPit = 1; idPit <= kFormTypeCount; ++idPit) {
    const FormTypeInfo& form = catalogue[idPit];
    SCOPED_TRACE(std::to_string(idPit) + " " + form.Code);
    EXPECT_GT(CountFieldRecords(DcsPath(dc, idPit)), 0);
    const auto description = LoadFormDescription(DcdPath(dc, idPit));
    if (!description) {
      ADD_FAILURE() << "no " << DcdPath(dc, idPit);
      continue;
    }
    EXPECT_EQ(description->PageCount, form.PageCount);
    for (int page = 1; page <= form.PageCount; ++page) {
      for (bool withoutBackground : {false, true}) {
        const std::string picture = DcgPath(dc, idPit, page, withoutBackground);
        EXPECT_TRUE(std::filesystem::is_regular_file(picture)) << picture;
      }
    }
  }
}

}  // namespace
}  // namespace pit
