#include "app/catalogue.h"

#include "forms/catalogue_rows.h"

namespace pit {

// The rows come from the forms' sources (code, variant, pages, copies, kind,
// description); the numbers by name are IdPit.
static_assert(sizeof(kCatalogueRows) / sizeof(kCatalogueRows[0]) == kFormTypeCount + 1);

FormCatalogue::FormCatalogue() {
  for (int i = 0; i <= kFormTypeCount; ++i) {
    FormTypeInfo& r = rows_[i];
    r.Code = kCatalogueRows[i].code;
    r.PageCount = kCatalogueRows[i].pages;
    r.Variant = kCatalogueRows[i].variant;
    r.MultiCopy = kCatalogueRows[i].multi;
    r.Kind = kCatalogueRows[i].kind;
    r.Description = kCatalogueRows[i].description;
    r.LastPage = 1;
  }
}

const FormTypeInfo& FormCatalogue::operator[](int idPit) const {
  return IsValid(idPit) ? rows_[idPit] : rows_[0];
}

FormTypeInfo& FormCatalogue::Row(int idPit) { return IsValid(idPit) ? rows_[idPit] : rows_[0]; }

int FormCatalogue::FindCode(const std::string& code, bool payerKind) const {
  if (code == "UPKD") return payerKind ? kUpkdPayer : kUpkd;
  for (int i = 1; i <= kFormTypeCount; ++i) {
    if (rows_[i].Code == code) return i;
  }
  return 0;
}

}  // namespace pit
