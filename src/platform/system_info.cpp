#include "platform/system_info.h"

#include <QGuiApplication>
#include <QScreen>

namespace pit::platform {

QString VersionText() {
#ifdef PIT_VERSION
  return QStringLiteral(PIT_VERSION);
#else
  return {};
#endif
}

QSize ScreenSize() {
  const QScreen* s = QGuiApplication::primaryScreen();
  return s ? s->geometry().size() : QSize();
}

}  // namespace pit::platform
