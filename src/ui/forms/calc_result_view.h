#pragma once
// What the calculations ask to show, put on the form window: the message
// list under the page, the 1% panel's label, and the boxes and windows in
// the order they were asked for; a request for another entry goes last,
// after the user has read why. The flags are not its business: the session
// puts them into the open definition of the entry they belong to before the
// result comes here.
#include <functional>
#include <string>

#include "calc/shown.h"

class QListWidget;

namespace pit::ui {

class CalcResultView {
 public:
  struct Hooks {
    std::function<void(const std::string& text, bool warning)> message;
    std::function<void(const std::string& caption, int page)> correctionInfo;
    std::function<void(const std::string& text)> donationLabel;
    std::function<void(int entry, int idPit)> showEntry;
  };
  // A line of the message list, in pixels: its normal height holds three.
  static constexpr int kLinePixels = 20;

  explicit CalcResultView(Hooks hooks);

  // The list under the page; its height then is its normal height.
  void SetMessageList(QListWidget* list);
  void Render(const ShownResult& r);

 private:
  void RenderMessages(const MessageList& m);

  Hooks hooks_;
  QListWidget* list_ = nullptr;
  int normalHeight_ = 3 * kLinePixels;
};

}  // namespace pit::ui
