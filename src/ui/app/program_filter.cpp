#include "ui/app/program_filter.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QTextBrowser>
#include <QToolTip>
#include <QWidget>

namespace pit::ui {

int HintTimingStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                               QStyleHintReturn* returnData) const {
  if (hint == SH_ToolTip_WakeUpDelay) return 100;
  if (hint == SH_ToolTip_FallAsleepDelay) return 1000;
  return QProxyStyle::styleHint(hint, option, widget, returnData);
}

bool IsInBrowser(const QObject* o) {
  for (; o != nullptr; o = o->parent()) {
    if (qobject_cast<const QTextBrowser*>(o)) return true;
  }
  return false;
}

bool ProgramEventFilter::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::ToolTip: {
      auto* w = qobject_cast<QWidget*>(watched);
      if (w == nullptr || w->toolTip().isEmpty()) break;
      const auto* help = static_cast<QHelpEvent*>(event);
      QToolTip::showText(help->globalPos(), w->toolTip(), w, QRect(), kHintShowMs);
      return true;
    }
    case QEvent::Enter:
      if (IsInBrowser(watched)) emit mouseOverBrowser();
      break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
      if (static_cast<QMouseEvent*>(event)->button() == Qt::RightButton && IsInBrowser(watched)) return true;
      break;
    case QEvent::ContextMenu:
      if (IsInBrowser(watched)) return true;
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace pit::ui
