#include "app/catalogue.h"

namespace pit {
namespace {

struct Row {
  const char* code;
  int pages;
  int variant;
  bool multi;
  int kind;
};

constexpr Row kRows[kFormTypeCount + 1] = {
    {"", 0, 0, false, 0},
    {"PIT-36", 6, 20, false, 0},      {"PIT-37", 4, 20, false, 0},   {"PIT-36L", 3, 10, false, 0},
    {"PIT-38", 2, 10, false, 0},      {"PIT-28", 4, 18, false, 0},   {"PIT/O", 3, 20, true, 1},
    {"PIT/D", 2, 24, false, 1},       {"PIT/2K", 1, 8, false, 1},    {"PIT/M", 1, 6, false, 1},
    {"PIT/B", 2, 13, true, 1},        {"PIT/Z", 2, 5, false, 1},     {"PIT/ZG", 1, 5, true, 1},
    {"SSE-R", 4, 4, false, 1},        {"SSE/A", 2, 1, true, 1},      {"SSE-R/A", 2, 2, true, 1},
    {"NIP-1", 4, 0, false, 1},        {"NIP-3", 2, 0, false, 1},     {"PIT-28/A", 1, 15, false, 1},
    {"PIT-28/B", 2, 13, true, 1},     {"PIT-39", 2, 6, false, 0},    {"PIT-40", 3, 20, false, 0},
    {"PIT-11", 2, 21, false, 0},      {"PIT-R", 2, 17, false, 1},    {"NIP-7", 4, 3, false, 1},
    {"NIP-B", 2, 5, true, 1},         {"NIP-C", 2, 5, true, 1},      {"ZAP-3", 2, 3, false, 1},
    {"UPKD ORD-ZU", 1, 2, false, 1},  {"UPKD", 1, 2, false, 1},      {"PIT-16A", 1, 8, false, 1},
    {"UPKD", 1, 2, false, 1},         {"PIT/UZ", 1, 1, false, 2},
};

}  // namespace

FormCatalogue::FormCatalogue() {
  for (int i = 0; i <= kFormTypeCount; ++i) {
    FormTypeInfo& r = rows_[i];
    r.Code = kRows[i].code;
    r.PageCount = kRows[i].pages;
    r.Variant = kRows[i].variant;
    r.MultiCopy = kRows[i].multi;
    r.Kind = kRows[i].kind;
    r.LastPage = 1;
    if (i == kUpkdOrdZu || i == kUpkd || i == kUpkdPayer) {
      r.Description = "Uzasadnienie Przyczyn Korekty Deklaracji";
    }
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
