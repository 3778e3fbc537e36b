#pragma once
// The commands that draw (render, print, the HTML copy of export) run Qt on
// its offscreen platform whatever the environment says: no display is
// needed to draw.
#include <QGuiApplication>
#include <memory>

namespace pit::cli {

inline std::unique_ptr<QGuiApplication> StartOffscreenDrawing() {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // The application keeps these for as long as it lives.
  static int argc = 1;
  static char name[] = "pit2014cli";
  static char* argv[] = {name, nullptr};
  return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace pit::cli
