#pragma once
// What the program does to every event before the windows see it: hints
// appear after 100 ms and stay 5 s, neighbouring hints follow each other
// within a second, and the embedded browsers show no context menu.
#include <QObject>
#include <QProxyStyle>

namespace pit::ui {

class HintTimingStyle : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
                QStyleHintReturn* returnData = nullptr) const override;
};

class ProgramEventFilter : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;
  static constexpr int kHintShowMs = 5000;

 signals:
  // The mouse went over an embedded browser; hover pictures hide.
  void mouseOverBrowser();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

// True when `o` is an embedded browser or lies inside one.
bool IsInBrowser(const QObject* o);

}  // namespace pit::ui
