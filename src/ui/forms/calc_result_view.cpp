#include "ui/forms/calc_result_view.h"

#include <QListWidget>

namespace pit::ui {

CalcResultView::CalcResultView(Hooks hooks) : hooks_(std::move(hooks)) {}

void CalcResultView::SetMessageList(QListWidget* list) {
  list_ = list;
  if (list != nullptr && list->height() > 0) normalHeight_ = list->height();
}

void CalcResultView::RenderMessages(const MessageList& m) {
  if (list_ == nullptr) return;
  if (m.replaced) list_->clear();
  for (const std::string& line : m.lines) list_->addItem(QString::fromStdString(line));
  if (m.height) list_->setFixedHeight(*m.height == MessageListHeight::Normal ? normalHeight_ : 0);
  // Growing keeps what an earlier calculation grew when this one did not
  // set the height again.
  if (m.extraLines != 0) list_->setFixedHeight(list_->maximumHeight() + m.extraLines * kLinePixels);
}

void CalcResultView::Render(const ShownResult& r) {
  RenderMessages(r.messages);
  if (r.donationLabel && hooks_.donationLabel) hooks_.donationLabel(*r.donationLabel);
  for (const ShownWindow& w : r.windows) {
    switch (w.kind) {
      case ShownWindow::Kind::Reminder:
        if (hooks_.message) hooks_.message(w.text, false);
        break;
      case ShownWindow::Kind::Warning:
      case ShownWindow::Kind::Error:
        if (hooks_.message) hooks_.message(w.text, true);
        break;
      case ShownWindow::Kind::CorrectionInfo:
        if (hooks_.correctionInfo) hooks_.correctionInfo(w.text, w.page);
        break;
    }
  }
  if (r.showEntry && hooks_.showEntry) hooks_.showEntry(r.showEntry->entry, r.showEntry->idPit);
}

}  // namespace pit::ui
