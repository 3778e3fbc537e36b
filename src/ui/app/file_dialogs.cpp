#include "ui/app/file_dialogs.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTreeView>
#include <algorithm>

namespace pit::ui {

void UsePolishDateFormats() { qputenv("LC_TIME", "pl_PL.UTF-8"); }

void PrepareFileDialog(QFileDialog& d) {
  d.setOption(QFileDialog::DontUseNativeDialog);
  QSize size(820, 480);
  if (const QScreen* screen = d.screen() ? d.screen() : QGuiApplication::primaryScreen()) {
    // Room for the window's frame and title bar.
    const QSize room = screen->availableGeometry().size() - QSize(40, 80);
    size = size.boundedTo(room);
  }
  d.resize(size);
  // The name takes what is left once size, type and date show whole.
  if (auto* tree = d.findChild<QTreeView*>()) {
    QHeaderView* head = tree->header();
    head->setStretchLastSection(false);
    head->setSectionResizeMode(QHeaderView::ResizeToContents);
    head->setSectionResizeMode(0, QHeaderView::Stretch);
  }
}

QString AskOpenFile(QWidget* parent, const QString& caption, const QString& folder, const QString& filter) {
  QFileDialog d(parent, caption, folder, filter);
  d.setAcceptMode(QFileDialog::AcceptOpen);
  d.setFileMode(QFileDialog::ExistingFile);
  PrepareFileDialog(d);
  if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return {};
  return d.selectedFiles().first();
}

QString AskSaveFile(QWidget* parent, const QString& caption, const QString& fileOrFolder, const QString& filter) {
  QFileDialog d(parent, caption, fileOrFolder, filter);
  d.setAcceptMode(QFileDialog::AcceptSave);
  d.setFileMode(QFileDialog::AnyFile);
  PrepareFileDialog(d);
  if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return {};
  return d.selectedFiles().first();
}

}  // namespace pit::ui
