// Opening a field named from outside the page (the result bar's amounts).
#include <QScrollArea>
#include <QScrollBar>
#include <algorithm>

#include "ui/forms/tfimage.h"

namespace pit::ui {

void TFImage::OpenField(int k) {
  if (!IsField(k) || !PictureLoaded()) return;
  if (edited_ >= 0 && edited_ != k) {
    CommitOpenEditor();
    Redraw();
  }
  const FieldObject& d = fields_[static_cast<std::size_t>(k)];
  const QRect r = SurfaceRect(QRect(d.Left, d.Top, std::max(1, d.Right - d.Left), std::max(1, d.Bottom - d.Top)));
  QScrollBar* bar = scroll_->verticalScrollBar();
  const int height = scroll_->viewport()->height();
  constexpr int kMargin = 40;
  if (r.top() < bar->value() || r.bottom() > bar->value() + height) bar->setValue(std::max(0, r.top() - kMargin));
  ShowSideways(d);
  edited_ = k;
  if (!d.ReadOnly) OpenEditor(k);
}

}  // namespace pit::ui
