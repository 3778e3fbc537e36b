#include "ui/app/method_commands.h"

#include <QAction>
#include <QFileDialog>
#include <QFrame>
#include <QMenu>
#include <QMessageBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/document.h"
#include "app/session.h"
#include "compare/outcome.h"
#include "ui/app/app_context.h"
#include "ui/app/compare_window.h"
#include "ui/app/document_controller.h"
#include "ui/app/message_boxes.h"
#include "ui/app/result_bar.h"
#include "ui/app/ttools.h"
#include "ui/forms/tfimage.h"

namespace pit::ui {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

}  // namespace

MethodCommands::MethodCommands(TTools& window, AppContext& ctx) : QObject(&window), w_(window), ctx_(ctx) {
  setObjectName(QStringLiteral("MethodCommands"));

  // The bar lies right under the page bar.
  bar_ = new ResultBar(&w_);
  if (auto* cool = w_.findChild<QFrame*>(QStringLiteral("CoolBar"))) {
    if (auto* column = qobject_cast<QVBoxLayout*>(cool->parentWidget()->layout())) {
      bar_->setParent(cool->parentWidget());
      column->insertWidget(column->indexOf(cool) + 1, bar_);
    }
  }
  bar_->hide();
  connect(bar_, &ResultBar::fieldRequested, this, &MethodCommands::OpenField);

  // The menu item goes with the other commands on the settlement, before
  // the end of the program.
  compare_ = new QAction(QStringLiteral("Porównaj sposoby rozliczenia…"), this);
  compare_->setObjectName(QStringLiteral("PorownajSposoby1"));
  if (auto* menu = qobject_cast<QMenu*>(w_.MenuImport->parent())) {
    const QList<QAction*> items = menu->actions();
    const int at = items.indexOf(w_.MenuImport);
    menu->insertAction(at + 1 < items.size() ? items[at + 1] : nullptr, compare_);
  }
  connect(compare_, &QAction::triggered, this, &MethodCommands::ShowComparison);

  // Whatever changes the values or the form shown: commits, undo and redo,
  // another form or page, values brought up to date behind the form (for
  // printing or export), the settlement opened or closed.
  if (TFImage* form = w_.Form()) {
    connect(form, &TFImage::modified, this, &MethodCommands::RefreshBar);
    connect(form, &TFImage::pageShown, this, &MethodCommands::RefreshBar);
    connect(form, &TFImage::valuesDrawn, this, &MethodCommands::RefreshBar);
  }
  for (const char* name : {"Cofnij1", "Ponow1"})
    if (auto* a = w_.findChild<QAction*>(QLatin1String(name))) connect(a, &QAction::triggered, this, &MethodCommands::RefreshBar);
  if (auto* documents = w_.findChild<DocumentController*>())
    connect(documents, &DocumentController::modifiedChanged, this, &MethodCommands::RefreshBar);
  connect(w_.TV, &QTreeWidget::itemSelectionChanged, this, &MethodCommands::RefreshBar);
  connect(w_.MenuClose, &QAction::triggered, this, &MethodCommands::RefreshBar);
}

void MethodCommands::RefreshBar() {
  const Settlement& s = ctx_.settlement;
  const bool enable = s.IsOpen() && s.Count() > 0 && MethodOfKind(s.Kind).has_value();
  compare_->setEnabled(enable);
  if (!s.IsOpen() || !s.Has(s.Current.Number)) {
    bar_->hide();
    return;
  }
  bar_->ShowOutcome(s, s.Current.Number);
}

void MethodCommands::OpenField(int entry, int field) {
  Settlement& s = ctx_.settlement;
  if (!s.Has(entry) || field < 0 || field >= kSlotCount) return;
  w_.CommitTypedValue();
  const int page = s.Entry(entry).Slots()[static_cast<std::size_t>(field)].Page;
  const int idPit = s.Entry(entry).IdPit;
  TFImage* form = w_.Form();
  if (s.Current.Number != entry || s.Current.Page != page || form == nullptr || !form->PictureLoaded()) {
    // As a click in the tree shows a form, at the page of the field.
    if (FormCatalogue::IsValid(idPit) && page > 0) s.Catalogue().Row(idPit).LastPage = page;
    w_.SelectEntry(entry);
  }
  if (form != nullptr && s.Current.Number == entry) form->OpenField(field);
}

void MethodCommands::ShowComparison() {
  w_.CommitTypedValue();
  const Settlement& s = ctx_.settlement;
  if (!s.IsOpen() || !MethodOfKind(s.Kind)) {
    TellUser(&w_, QStringLiteral("Sposoby rozliczenia porównuje się tylko w zeznaniach podatników."));
    return;
  }
  if (window_ == nullptr) {
    window_ = new TPorownanie(&w_);
    connect(window_, &TPorownanie::applyRequested, this, [this](TaxMethod m) {
      if (Apply(m)) ShowComparison();
    });
  }
  window_->SetComparison(
      CompareMethods(s, ctx_.ids, [this](const std::string& name) { return ctx_.countries.CodeByName(name); }));
  window_->show();
  window_->raise();
  window_->activateWindow();
}

bool MethodCommands::Apply(TaxMethod m) {
  Settlement& s = ctx_.settlement;
  const auto current = MethodOfKind(s.Kind);
  if (!s.IsOpen() || !current || *current == m) return false;
  const std::string why = ExclusionOf(s, m);
  if (!why.empty()) {
    TellUser(window_ ? static_cast<QWidget*>(window_) : &w_, Q(why));
    return false;
  }
  w_.CommitTypedValue();
  if (*current == TaxMethod::Joint) return SplitJoint();

  // The same forms under another method: one step the history can take back.
  const int shown = s.Current.Number;
  if (ctx_.Session().ChangeKind(KindOf(m)) == nullptr) return false;
  w_.SetModified();
  if (s.Has(shown)) w_.SelectEntry(shown);
  RefreshBar();
  return true;
}

QString MethodCommands::AskSpouseFileName() {
  if (spouseFile_) return spouseFile_();
  QFileDialog d(window_ ? static_cast<QWidget*>(window_) : &w_, QStringLiteral("Zapisz rozliczenie małżonka"),
                Q(ctx_.documentsFolder), QStringLiteral("Rozliczenie PIT 2014 (*.dc2014)"));
  d.setAcceptMode(QFileDialog::AcceptSave);
  d.setFileMode(QFileDialog::AnyFile);
  d.setDefaultSuffix(QStringLiteral("dc2014"));
  d.selectFile(QStringLiteral("rozliczenie małżonka"));
  if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return {};
  return d.selectedFiles().first();
}

// Filing separately takes the spouse's forms out of the settlement: the
// history cannot hold that, so the user is asked first, and the spouse's
// own settlement is written to a file of its own before anything changes.
bool MethodCommands::SplitJoint() {
  QWidget* parent = window_ ? static_cast<QWidget*>(window_) : &w_;
  const int answer = AskUser(
      parent, QMessageBox::Question, QStringLiteral("Rozliczenie indywidualne"),
      QStringLiteral("Przy rozliczeniu indywidualnym każdy z małżonków składa własne zeznanie.\n"
                     "W tym rozliczeniu zostaną druki podatnika, a druki małżonka zostaną zapisane "
                     "w osobnym pliku, który teraz wskażesz.\n"
                     "Tej zmiany nie można cofnąć poleceniem „Cofnij”.\n\nCzy rozdzielić rozliczenie ?"),
      QMessageBox::Yes | QMessageBox::No);
  if (answer != QMessageBox::Yes) return false;
  QString path = AskSpouseFileName();
  if (path.isEmpty()) return false;
  if (!HasSettlementExtension(S(path))) path += QStringLiteral(".dc2014");
  if (!ctx_.settlement.DocumentPath.empty() && S(path) == ctx_.settlement.DocumentPath) {
    TellUser(parent, QStringLiteral("Rozliczenie małżonka trzeba zapisać w innym pliku niż to rozliczenie."));
    return false;
  }

  Settlement& s = ctx_.settlement;
  const CountryCodeLookup countries = [this](const std::string& name) { return ctx_.countries.CodeByName(name); };
  PersonSettlement spouse = SeparateSettlement(s, ctx_.ids, kPmSpouse, countries);
  const FileResult saved = SaveSettlement(*spouse.settlement, S(path));
  if (!saved.ok) {
    TellUser(parent, Q(saved.message));
    return false;  // nothing changed here
  }
  PersonSettlement mine = SeparateSettlement(s, ctx_.ids, kPmTaxpayer, countries);
  s.Open();
  for (int i = 1; i <= mine.settlement->Count(); ++i)
    s.AppendLoaded(std::make_unique<FormEntry>(mine.settlement->Entry(i)));
  s.Kind = kIndividual;
  s.TaxpayerIdKind = mine.settlement->TaxpayerIdKind;
  s.SpouseIdKind = kIdNone;
  s.SpouseData = SpouseDataFlags{};
  ctx_.ids = mine.ids;
  w_.RebuildTree();
  ctx_.Session().History().Follow(s, ctx_.ids);
  w_.SetModified();
  int first = 1;
  for (int i = 1; i <= s.Count(); ++i)
    if (s.Entry(i).IdParent == 0 && ReturnFieldsOf(s.Entry(i).IdPit)) {
      first = i;
      break;
    }
  if (s.Has(first)) w_.SelectEntry(first);
  RefreshBar();
  TellUser(parent, QStringLiteral("Rozliczenie małżonka zapisano w pliku:\n") + path);
  return true;
}

}  // namespace pit::ui
