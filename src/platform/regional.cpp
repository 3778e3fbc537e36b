#include "platform/regional.h"

namespace pit::platform {

QChar DateSeparatorOf(const QLocale& locale) {
  const QString format = locale.dateFormat(QLocale::ShortFormat);
  for (QChar c : format) {
    if (!c.isLetter() && c != QLatin1Char('\'')) return c;
  }
  return QChar('-');
}

RegionalSettings::RegionalSettings() : original_(QLocale()) {
  const QString dp = original_.decimalPoint();
  decimal_ = dp.isEmpty() ? QChar('.') : dp.at(0);
  date_ = DateSeparatorOf(original_);
}

Separators RegionalSettings::Read() const { return {decimal_, date_}; }

bool RegionalSettings::WriteDecimal(QChar c) {
  // Qt's own widgets (spin boxes, validators) follow the default locale; a
  // Polish one has the decimal comma. Any other character means going back
  // to the locale the process started with.
  QLocale::setDefault(c == kDecimal ? QLocale(QLocale::Polish, QLocale::Poland) : original_);
  decimal_ = c;
  return true;
}

bool RegionalSettings::WriteDate(QChar c) {
  date_ = c;
  return true;
}

}  // namespace pit::platform
