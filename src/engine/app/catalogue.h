#pragma once
#include <array>
#include <string>

// The forms' numbers by name (enum IdPit: kPit37 ...) and kFormTypeCount,
// made from the `form:` and `constant:` keys of the sources.
#include "forms/form_numbers.h"

namespace pit {

// What kind of document a form type is.
enum FormKind : int { kKindReturn = 0, kKindAttachment = 1, kKindForm = 2 };

struct FormTypeInfo {
  std::string Code;
  std::string Description;
  int PageCount = 0;
  int Variant = 0;
  bool MultiCopy = false;
  int Kind = 0;
  int LastPage = 1;
};

// The 33 fixed rows; row 0 is empty. LastPage is the only mutable column:
// the page last shown for a form type.
class FormCatalogue {
 public:
  FormCatalogue();
  const FormTypeInfo& operator[](int idPit) const;
  FormTypeInfo& Row(int idPit);
  static bool IsValid(int idPit) { return idPit >= 1 && idPit <= kFormTypeCount; }
  // IdPit of a form code; "UPKD" is 29, or 31 when `payerKind`. 0 when unknown.
  int FindCode(const std::string& code, bool payerKind = false) const;

 private:
  std::array<FormTypeInfo, kFormTypeCount + 1> rows_;
};

}  // namespace pit
