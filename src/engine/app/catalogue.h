#pragma once
#include <array>
#include <string>

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

constexpr int kFormTypeCount = 32;

// IdPit numbers used by name across the program.
enum IdPit : int {
  kPit36 = 1, kPit37 = 2, kPit36L = 3, kPit38 = 4, kPit28 = 5, kPitO = 6, kPitD = 7, kPit2K = 8,
  kPitM = 9, kPitB = 10, kPitZ = 11, kPitZG = 12, kSseR = 13, kSseA = 14, kSseRA = 15, kNip1 = 16,
  kNip3 = 17, kPit28A = 18, kPit28B = 19, kPit39 = 20, kPit40 = 21, kPit11 = 22, kPitR = 23,
  kNip7 = 24, kNipB = 25, kNipC = 26, kZap3 = 27, kUpkdOrdZu = 28, kUpkd = 29, kPit16A = 30,
  kUpkdPayer = 31, kPitUZ = 32,
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
