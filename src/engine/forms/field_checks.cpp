#include "forms/field_checks.h"

#include <array>

#include "forms/values.h"

namespace pit {
namespace {

constexpr int kFirstBirthYear = 1900;
constexpr int kLastBirthYear = 2014;  // the tax year
constexpr int kFirstYear = 1900;
constexpr int kLastYear = 2099;

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

bool EndsWith(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

bool AllDigits(std::string_view s) {
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

int Digit(std::string_view s, std::size_t i) { return s[i] - '0'; }

int Number(std::string_view s) {
  int n = 0;
  for (char c : s) n = n * 10 + (c - '0');
  return n;
}

std::string NipProblem(std::string_view digits) {
  if (digits.size() != 10) return "NIP ma 10 cyfr, a wpisano " + std::to_string(digits.size()) + ".";
  if (!NipValid(digits)) return "NIP " + std::string(digits) + " jest błędny: nie zgadza się cyfra kontrolna.";
  return {};
}

std::string PeselProblem(std::string_view digits) {
  if (digits.size() != 11) return "Numer PESEL ma 11 cyfr, a wpisano " + std::to_string(digits.size()) + ".";
  if (!PeselValid(digits)) {
    return "Numer PESEL " + std::string(digits) +
           " jest błędny: nie zgadza się cyfra kontrolna albo zapisana w nim data urodzenia.";
  }
  return {};
}

std::string DateProblem(std::string_view text, bool birth) {
  const std::string masked = MaskDate(text);  // "dd-mm-yyyy", blanks as spaces
  const std::string digits = DigitsOf(masked);
  if (digits.empty()) return {};
  if (digits.size() != 8) {
    // The blanks as the date box shows them: a space would read as a gap.
    std::string shown = masked;
    for (char& c : shown)
      if (c == ' ') c = '_';
    return "Data " + shown + " jest niepełna: wpisz dzień, miesiąc i rok (dd-mm-rrrr).";
  }
  const int day = Number(masked.substr(0, 2));
  const int month = Number(masked.substr(3, 2));
  const int year = Number(masked.substr(6, 4));
  const int first = birth ? kFirstBirthYear : kFirstYear;
  const int last = birth ? kLastBirthYear : kLastYear;
  if (year < first || year > last) {
    return std::string(birth ? "Rok urodzenia" : "Rok daty") + " musi leżeć między " + std::to_string(first) + " a " +
           std::to_string(last) + ", a wpisano " + masked + ".";
  }
  if (!RealDate(day, month, year)) return "Data " + masked + " nie istnieje w kalendarzu.";
  return {};
}

}  // namespace

FieldRole RoleOf(const FieldObject& def) {
  switch (def.Typ) {
    case kNip:
      return FieldRole::Nip;
    case kData:
      return StartsWith(def.Hint, "Data urodzenia") ? FieldRole::BirthDate : FieldRole::Date;
    case kTekst:
      if (EndsWith(def.Name, "NIP") || StartsWith(def.Hint, "NIP lub PESEL")) return FieldRole::Identifier;
      if (StartsWith(def.Hint, "Numer PESEL")) return FieldRole::Pesel;
      if (StartsWith(def.Hint, "Kod pocztowy")) return FieldRole::PostalCode;
      return FieldRole::None;
    default:
      return FieldRole::None;
  }
}

bool NipValid(std::string_view d) {
  static constexpr std::array<int, 9> kWeights{6, 5, 7, 2, 3, 4, 5, 6, 7};
  if (d.size() != 10 || !AllDigits(d)) return false;
  int sum = 0;
  for (std::size_t i = 0; i < kWeights.size(); ++i) sum += kWeights[i] * Digit(d, i);
  // A remainder of 10 is never a check digit: such numbers are not issued.
  return sum % 11 == Digit(d, 9);
}

bool RealDate(int day, int month, int year) {
  static constexpr std::array<int, 12> kDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12 || day < 1) return false;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  const int days = kDays[static_cast<std::size_t>(month - 1)] + (month == 2 && leap ? 1 : 0);
  return day <= days;
}

bool PeselValid(std::string_view d) {
  static constexpr std::array<int, 10> kWeights{1, 3, 7, 9, 1, 3, 7, 9, 1, 3};
  if (d.size() != 11 || !AllDigits(d)) return false;
  int sum = 0;
  for (std::size_t i = 0; i < kWeights.size(); ++i) sum += kWeights[i] * Digit(d, i);
  if ((10 - sum % 10) % 10 != Digit(d, 10)) return false;
  // The month carries the century: +80 for the 1800s, +0 for the 1900s,
  // +20, +40, +60 for the 2000s, 2100s, 2200s.
  const int yy = Number(d.substr(0, 2));
  int month = Number(d.substr(2, 2));
  const int day = Number(d.substr(4, 2));
  static constexpr std::array<int, 5> kCenturies{1900, 2000, 2100, 2200, 1800};
  const int century = kCenturies[static_cast<std::size_t>(month / 20)];
  month %= 20;
  return RealDate(day, month, century + yy);
}

std::string PeselBirthDate(std::string_view d) {
  if (!PeselValid(d)) return {};
  static constexpr std::array<int, 5> kCenturies{1900, 2000, 2100, 2200, 1800};
  const int month = Number(d.substr(2, 2));
  const int year = kCenturies[static_cast<std::size_t>(month / 20)] + Number(d.substr(0, 2));
  const auto two = [](int n) { return std::string(1, static_cast<char>('0' + n / 10)) + static_cast<char>('0' + n % 10); };
  return std::string(d.substr(4, 2)) + "-" + two(month % 20) + "-" + std::to_string(year);
}

std::string FieldValueProblem(FieldRole role, std::string_view text, bool polishAddress) {
  switch (role) {
    case FieldRole::None:
      return {};
    case FieldRole::Nip: {
      const std::string digits = DigitsOf(text);
      return digits.empty() ? std::string() : NipProblem(digits);
    }
    case FieldRole::Identifier:
    case FieldRole::Pesel: {
      if (text.empty()) return {};
      if (!AllDigits(text)) {
        return role == FieldRole::Pesel ? "Numer PESEL wpisuje się samymi cyframi."
                                        : "NIP albo PESEL wpisuje się samymi cyframi, bez kresek i spacji.";
      }
      if (role == FieldRole::Pesel) return PeselProblem(text);
      if (text.size() == 10) return NipProblem(text);
      if (text.size() == 11) return PeselProblem(text);
      return "Identyfikator ma 10 cyfr (NIP) albo 11 cyfr (PESEL), a wpisano " + std::to_string(text.size()) + ".";
    }
    case FieldRole::Date:
    case FieldRole::BirthDate:
      return DateProblem(text, role == FieldRole::BirthDate);
    case FieldRole::PostalCode: {
      if (text.empty() || !polishAddress) return {};
      const bool ok = text.size() == 6 && text[2] == '-' && AllDigits(text.substr(0, 2)) && AllDigits(text.substr(3));
      if (!ok) return "Kod pocztowy \"" + std::string(text) + "\" jest błędny: w Polsce ma postać NN-NNN, np. 00-950.";
      return {};
    }
  }
  return {};
}

}  // namespace pit
