#include "ui/app/message_boxes.h"

#include <QAbstractButton>
#include <utility>

#include "ui/app/ttools.h"

namespace pit::ui {

int AskUser(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
            QMessageBox::StandardButtons buttons) {
  QMessageBox box(icon, title, text, buttons, parent);
  const std::pair<QMessageBox::StandardButton, const char*> labels[] = {
      {QMessageBox::Yes, "&Tak"}, {QMessageBox::No, "&Nie"}, {QMessageBox::Cancel, "Anuluj"}, {QMessageBox::Ok, "OK"}};
  for (const auto& [button, label] : labels) {
    if (QAbstractButton* b = box.button(button)) b->setText(QString::fromUtf8(label));
  }
  return box.exec();
}

void TellUser(QWidget* parent, const QString& text, QMessageBox::Icon icon) {
  AskUser(parent, icon, QString::fromUtf8(kApplicationTitle), text, QMessageBox::Ok);
}

}  // namespace pit::ui
