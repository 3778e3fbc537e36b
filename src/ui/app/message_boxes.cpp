#include "ui/app/message_boxes.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QLabel>
#include <algorithm>
#include <utility>

#include "ui/app/screen_fit.h"

#include "ui/app/app_texts.h"

namespace pit::ui {

int AskUser(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
            QMessageBox::StandardButtons buttons) {
  QMessageBox box(icon, title, text, buttons, parent);
  const std::pair<QMessageBox::StandardButton, const char*> labels[] = {
      {QMessageBox::Yes, "&Tak"}, {QMessageBox::No, "&Nie"}, {QMessageBox::Cancel, "Anuluj"}, {QMessageBox::Ok, "OK"}};
  for (const auto& [button, label] : labels) {
    if (QAbstractButton* b = box.button(button)) b->setText(QString::fromUtf8(label));
  }
  KeepLines(box);
  return box.exec();
}

void TellUser(QWidget* parent, const QString& text, QMessageBox::Icon icon) {
  AskUser(parent, icon, QString::fromUtf8(kApplicationTitle), text, QMessageBox::Ok);
}

void KeepLines(QMessageBox& box) {
  auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
  if (label == nullptr || !box.text().contains(QLatin1Char('\n'))) return;
  const QFontMetrics metrics(label->font());
  int longest = 0;
  for (const QString& line : box.text().split(QLatin1Char('\n')))
    longest = std::max(longest, metrics.horizontalAdvance(line));
  // Room for the icon, the margins and the frame beside the text.
  constexpr int kBeside = 120;
  const int room = ScreenRoom(&box).width() - kBeside;
  label->setMinimumWidth(std::min(longest + 2 * label->margin() + 2, room));
}

}  // namespace pit::ui
