#pragma once
// The number and date conventions the program relies on: "," before the
// decimals and "-" between the parts of a date. Amounts and dates are
// formatted by the program itself; what is read and written here are the
// conventions of this process (Qt's default locale and the separators kept
// beside it), so writing always succeeds and nothing outside the program
// changes. The start-up check and the restore at exit work on this object.
#include <QChar>
#include <QLocale>

namespace pit::platform {

struct Separators {
  QChar decimal;
  QChar date;
  bool operator==(const Separators& o) const { return decimal == o.decimal && date == o.date; }
};

class RegionalSettings {
 public:
  RegionalSettings();
  virtual ~RegionalSettings() = default;

  // The separators in force now.
  virtual Separators Read() const;
  // Each returns whether the write took effect.
  virtual bool WriteDecimal(QChar c);
  virtual bool WriteDate(QChar c);

  static constexpr QChar kDecimal = QChar(',');
  static constexpr QChar kDate = QChar('-');

 private:
  QLocale original_;
  QChar decimal_;
  QChar date_;
};

// The first character of a locale's short date format that is not part of a
// day, month or year field.
QChar DateSeparatorOf(const QLocale& locale);

}  // namespace pit::platform
