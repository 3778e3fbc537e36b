#pragma once
// Windows designed at a fixed size still fit a small screen (800x600): the
// size a window takes is its design size, never more than the screen's
// working area less the frame and title bar a window manager adds.
#include <QGuiApplication>
#include <QScreen>
#include <QSize>
#include <QWidget>

namespace pit::ui {

// What a window manager adds around a window's client area, at most.
constexpr QSize kWindowFrame(16, 48);

inline QSize ScreenRoom(const QWidget* w) {
  const QScreen* screen = w != nullptr && w->screen() != nullptr ? w->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  return screen->availableGeometry().size() - kWindowFrame;
}

inline QSize FitOnScreen(const QWidget* w, QSize design) { return design.boundedTo(ScreenRoom(w)); }

}  // namespace pit::ui
