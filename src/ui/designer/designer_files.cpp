// The designer's file commands: a new definition, opening one by its `.dcd`,
// saving it under another name and adding a printed page, plus the scale
// slider. A definition is a name and a folder; its files are <name>.dcs,
// <name>.dcd and <name>_<page>.dcg (with <name>_<page>b.dcg) there.
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QStatusBar>

#include "forms/definition_files.h"
#include "page_painter.h"
#include "ui/designer/form_designer.h"

namespace pit::ui {

namespace {

const QString kScratchName = QStringLiteral("tmp");

// The files of definition `name` in `dir`: the name followed by "." or "_".
QStringList DefinitionFiles(const QString& dir, const QString& name) {
  QStringList out;
  const QRegularExpression own(QStringLiteral("^%1[._]").arg(QRegularExpression::escape(name)));
  for (const QString& f : QDir(dir).entryList(QDir::Files, QDir::Name)) {
    if (own.match(f).hasMatch()) out << f;
  }
  return out;
}

}  // namespace

void FormDesigner::Message(const QString& text) {
  lastMessage_ = text;
  Status(text);
  auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Formularz"), text, QMessageBox::Ok, this);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->open();
}

bool FormDesigner::WriteDescription() {
  if (!QDir().mkpath(defDir_)) {
    Message(QStringLiteral("Tworzenie folderu [%1] nie powiodło się!").arg(defDir_));
    return false;
  }
  FormDescription d;
  d.Path = QDir::toNativeSeparators(QFileInfo(DcdFile()).absoluteFilePath()).toStdString();
  d.PageCount = pageCount_;
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    d.ScreenWidth = screen->size().width();
    d.ScreenHeight = screen->size().height();
  }
  d.PageHeight = pageHeight_;
  d.PageWidth = 800;
  if (!SaveFormDescription(DcdFile().toStdString(), d)) {
    Message(QStringLiteral("Zapis pliku %1 nie powiódł się.").arg(DcdFile()));
    return false;
  }
  // The stored page size becomes the working size.
  workSize_ = QSize(d.PageWidth, d.PageHeight);
  ShowSizes();
  return true;
}

void FormDesigner::NewDefinition() {
  defDir_ = QDir(dcDir_).filePath(kScratchName);
  defName_ = kScratchName;
  idPit_ = 0;
  pageCount_ = 0;
  workSize_ = QSize();
  ShowDefinition(1);
}

bool FormDesigner::OpenDefinition(const QString& dcdPath) {
  const QFileInfo info(dcdPath);
  const auto d = LoadFormDescription(dcdPath.toStdString());
  if (!d) {
    Message(QStringLiteral("Nie można odczytać opisu formularza: %1").arg(QDir::toNativeSeparators(dcdPath)));
    return false;
  }
  defDir_ = info.absolutePath();
  defName_ = info.fileName().chopped(4);
  bool number = false;
  idPit_ = defName_.toInt(&number);
  if (!number) idPit_ = 0;
  pageCount_ = std::max(0, d->PageCount);
  workSize_ = QSize(d->PageWidth, d->PageHeight);
  ShowDefinition(1);
  return true;
}

bool FormDesigner::SaveDefinitionAs(const QString& name) {
  if (name.isEmpty() || name.contains('/') || name.contains('\\') || name.startsWith('.')) {
    Message(QStringLiteral("Nazwa formularza [%1] nie może być nazwą pliku.").arg(name));
    return false;
  }
  if (!QDir().mkpath(dcDir_)) {
    Message(QStringLiteral("Tworzenie glownego folderu  dokumentow [%1] nie powiodło się.").arg(dcDir_));
    return false;
  }
  const QString target = QDir(dcDir_).filePath(name);
  if (!QDir().mkpath(target)) {
    Message(QStringLiteral("Tworzenie folderu [%1] nie powiodło się!").arg(target));
    return false;
  }
  // Every file of the definition goes along, the fields included, so the
  // saved definition is whole; a file already in the new folder is kept.
  QStringList kept, failed;
  for (const QString& f : DefinitionFiles(defDir_, defName_)) {
    const QString to = QDir(target).filePath(name + f.mid(defName_.size()));
    if (QFile::exists(to)) {
      kept << QFileInfo(to).fileName();
    } else if (!QFile::copy(QDir(defDir_).filePath(f), to)) {
      failed << QFileInfo(to).fileName();
    }
  }
  defDir_ = target;
  defName_ = name;
  bool number = false;
  idPit_ = name.toInt(&number);
  if (!number) idPit_ = 0;
  const bool written = WriteDescription();
  ShowDefinition(std::max(1, page_));
  if (!failed.isEmpty()) {
    Message(QStringLiteral("Nie udało się skopiować plików: %1").arg(failed.join(QStringLiteral(", "))));
    return false;
  }
  if (!kept.isEmpty()) Status(QStringLiteral("Pozostawiono istniejące pliki: %1").arg(kept.join(QStringLiteral(", "))));
  return written;
}

bool FormDesigner::AddPrintPage(const QString& picturePath) {
  render::PagePicture probe;
  if (!probe.Load(picturePath.toStdString())) {
    Message(QStringLiteral("Plik [%1] nie jest obrazem strony (EMF albo WMF).").arg(QDir::toNativeSeparators(picturePath)));
    return false;
  }
  if (!QDir().mkpath(dcDir_)) {
    Message(QStringLiteral("Tworzenie folderu [%1] nie powiodło się.").arg(dcDir_));
    return false;
  }
  if (!QDir().mkpath(defDir_)) {
    Message(QStringLiteral("Tworzenie folderu [%1] nie powiodło się!").arg(defDir_));
    return false;
  }
  const int page = pageCount_ + 1;
  const QString to = PictureFile(page);
  // An existing picture of that page is not replaced: the page is not added.
  if (QFile::exists(to)) {
    Message(QStringLiteral("Plik [%1] już istnieje; strona nie została dodana.").arg(QDir::toNativeSeparators(to)));
    return false;
  }
  if (!QFile::copy(picturePath, to)) {
    Message(QStringLiteral("Kopiowanie obrazu strony do [%1] nie powiodło się.").arg(QDir::toNativeSeparators(to)));
    return false;
  }
  pageCount_ = page;
  ShowDefinition(page);
  scroll_->verticalScrollBar()->setValue(0);
  return WriteDescription();
}

void FormDesigner::SetScale(int position) {
  scale_ = std::clamp(position, 0, 100) / 10 * 10;
  Redraw();
  const QSize layer = LayerSize();
  Status(QStringLiteral("Obraz strony: %1x%2   warstwa pól: %3x%4   skala: %5")
             .arg(nativeSize_.width())
             .arg(nativeSize_.height())
             .arg(layer.width())
             .arg(layer.height())
             .arg(scale_));
}

void FormDesigner::ChooseDefinition() {
  const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Otwórz formularz"), dcDir_,
                                                    QStringLiteral("Opis formularza (*.dcd)"));
  if (!path.isEmpty()) OpenDefinition(path);
}

void FormDesigner::ChooseSaveName() {
  const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Zapisz formularz jako"), dcDir_,
                                                    QStringLiteral("Opis formularza (*.dcd)"));
  if (path.isEmpty()) return;
  QString name = QFileInfo(path).fileName();
  if (name.endsWith(QStringLiteral(".dcd"), Qt::CaseInsensitive)) name.chop(4);
  SaveDefinitionAs(name);
}

void FormDesigner::ChoosePagePicture() {
  const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Dodaj stronę druku"), QString(),
                                                    QStringLiteral("Obraz strony (*.dcg *.emf *.wmf);;Wszystkie pliki (*)"));
  if (!path.isEmpty()) AddPrintPage(path);
}

}  // namespace pit::ui
