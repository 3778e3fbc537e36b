#pragma once
// What the calculations ask to show, put on the form window: the flags into
// the open definition, the message list under the page, the 1% panel's
// label, and the boxes and windows in the order they were asked for; a
// request for another entry goes last, after the user has read why.
#include <functional>
#include <string>
#include <vector>

#include "calc/shown.h"
#include "forms/field_object.h"

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

  CalcResultView(std::vector<FieldObject>& fields, Hooks hooks);

  // The list under the page; its height then is its normal height.
  void SetMessageList(QListWidget* list);
  void Render(const ShownResult& r);

 private:
  void RenderMessages(const MessageList& m);

  std::vector<FieldObject>& fields_;
  Hooks hooks_;
  QListWidget* list_ = nullptr;
  int normalHeight_ = 3 * kLinePixels;
};

}  // namespace pit::ui
