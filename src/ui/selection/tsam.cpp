#include "ui/selection/tsam.h"

#include <algorithm>

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTextBrowser>
#include <QToolButton>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

#include "calc/framework.h"
#include "calc/identification.h"
#include "ui/app/app_context.h"
#include "ui/app/icons.h"
#include "ui/app/screen_fit.h"
#include "ui/selection/selection_widgets.h"

namespace pit::ui {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The screen's sizes on its paths (client width x height).
constexpr QSize kNewManualSize(900, 600);
constexpr QSize kPayerSize(700, 400);
constexpr QSize kReopenSize(900, 600);
constexpr QSize kIdentifiersOnlySize(648, 150);
constexpr int kHelpPaneWidth = 290;
constexpr int kSpouseGroupNarrow = 136;  // NIP and PESEL only
constexpr int kSpouseGroupWide = 405;    // with the four spouse-data boxes beside them
constexpr int kTaxpayerGroupWidth = 136;

// Exposes the item delegate's own layout of an item, so that a click can be
// told to be on the check box exactly where the box is drawn.
class CheckDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QRect CheckRect(const QStyleOptionViewItem& base, const QModelIndex& index, const QWidget* view) const {
    QStyleOptionViewItem opt = base;
    initStyleOption(&opt, index);
    return view->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, view);
  }
};

SelectionHooks HooksFor(AppContext& ctx) {
  SelectionHooks h;
  h.ClearAttachmentTransfers = [](Settlement& workingCopy, int node) { ClearAttachmentTransfers(workingCopy, node); };
  h.ClearPersonIdentifiers = [&ctx](int pm) {
    IdentificationRecord& r = pm == kPmSpouse ? ctx.ids.Spouse : ctx.ids.Taxpayer;
    r.NIP.clear();
    r.PESEL.clear();
  };
  h.ClearIdentificationRecords = [&ctx](bool withPayer) {
    ctx.ids.Taxpayer = IdentificationRecord{};
    ctx.ids.PayerForm = PayerFormFields{};
    ctx.ids.Spouse = IdentificationRecord{};
    if (withPayer) ctx.ids.Payer = PayerRecord{};
  };
  h.DistributeIdentification = [&ctx] {
    if (ctx.settlement.IsOpen()) DistributeIdentification(ctx.settlement, ctx.ids);
  };
  return h;
}



}  // namespace

// --- the tree view -----------------------------------------------------------------

SelectionTreeView::SelectionTreeView(QWidget* parent) : QTreeWidget(parent) {
  setObjectName(QStringLiteral("STV"));
  setHeaderHidden(true);
  setColumnCount(1);
  // Long names (the UPKD ones) scroll rather than being cut short.
  header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  header()->setStretchLastSection(false);
  setIndentation(22);
  setExpandsOnDoubleClick(false);
  setItemDelegate(new CheckDelegate(this));
  setFrameShape(QFrame::StyledPanel);
}

int SelectionTreeView::NodeOf(const QTreeWidgetItem* item) {
  return item == nullptr ? 0 : item->data(0, Qt::UserRole).toInt();
}

QTreeWidgetItem* SelectionTreeView::ItemOf(int node) const {
  for (QTreeWidgetItemIterator it(const_cast<SelectionTreeView*>(this)); *it; ++it) {
    if (NodeOf(*it) == node) return *it;
  }
  return nullptr;
}

QRect SelectionTreeView::CheckRect(QTreeWidgetItem* item) const {
  const QModelIndex index = indexFromItem(item);
  if (!index.isValid()) return QRect();
  QStyleOptionViewItem opt;
  initViewItemOption(&opt);
  opt.rect = visualRect(index);
  return static_cast<CheckDelegate*>(itemDelegate())->CheckRect(opt, index, this);
}

void SelectionTreeView::mousePressEvent(QMouseEvent* e) {
  QTreeWidgetItem* item = itemAt(e->position().toPoint());
  if (e->button() == Qt::LeftButton && item != nullptr && CheckRect(item).contains(e->position().toPoint())) {
    setCurrentItem(item);
    emit nodeClicked(NodeOf(item));
    return;
  }
  QTreeWidget::mousePressEvent(e);
}

void SelectionTreeView::mouseDoubleClickEvent(QMouseEvent* e) {
  QTreeWidgetItem* item = itemAt(e->position().toPoint());
  // A double click on the box is the box's second click.
  if (e->button() == Qt::LeftButton && item != nullptr && visualItemRect(item).contains(e->position().toPoint())) {
    emit nodeClicked(NodeOf(item));
    return;
  }
  QTreeWidget::mouseDoubleClickEvent(e);
}

void SelectionTreeView::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Space && currentItem() != nullptr) {
    emit nodeClicked(NodeOf(currentItem()));
    return;
  }
  QTreeWidget::keyPressEvent(e);
}

// --- the screen ----------------------------------------------------------------------

TSam::TSam(AppContext& ctx, std::function<void()> openHelp, QWidget* parent)
    : QDialog(parent), ctx_(ctx), sel_(ctx.settlement, HooksFor(ctx)), openHelp_(std::move(openHelp)) {
  setObjectName(QStringLiteral("TSam"));
  // Closed only through its buttons.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint);
  BuildControls();
  setFixedSize(FitOnScreen(this, kNewManualSize));
}

void TSam::BuildControls() {
  auto* root = new QHBoxLayout(this);
  root->setContentsMargins(6, 6, 6, 6);
  root->setSpacing(6);

  auto* left = new QVBoxLayout;
  left->setSpacing(4);
  root->addLayout(left, 1);

  // Step 1: the kind of settlement.
  PRodzRozl = new QWidget(this);
  PRodzRozl->setObjectName(QStringLiteral("PRodzRozl"));
  auto* kindPanel = new QVBoxLayout(PRodzRozl);
  kindPanel->setContentsMargins(0, 0, 0, 0);
  RodzRozl = new QGroupBox(QStringLiteral(" KROK 1. Wybierz sposób rozliczenia "), PRodzRozl);
  RodzRozl->setObjectName(QStringLiteral("RodzRozl"));
  auto* kindRow = new QHBoxLayout(RodzRozl);
  kindButtons_ = new QButtonGroup(this);
  const QString kinds[3] = {QStringLiteral("indywidualnie  "), QStringLiteral("wspólnie z małżonkiem  "),
                            QStringLiteral("osoba samotnie wychowująca dziecko  ")};
  for (int i = 0; i < 3; ++i) RodzRozlItems[i] = AddRadio(kindButtons_, i, kinds[i], RodzRozl, kindRow);
  kindRow->addStretch(1);
  kindPanel->addWidget(RodzRozl);
  left->addWidget(PRodzRozl);

  // Step 2: the tax identifiers.
  GIdPodatkowy = new QGroupBox(QStringLiteral(" KROK 2. Wybierz identyfikator podatkowy "), this);
  GIdPodatkowy->setObjectName(QStringLiteral("GIdPodatkowy"));
  auto* idRow = new QHBoxLayout(GIdPodatkowy);
  idRow->setSpacing(8);

  RGPodatnika = new QGroupBox(QStringLiteral(" Podatnika "), GIdPodatkowy);
  RGPodatnika->setObjectName(QStringLiteral("RGPodatnika"));
  RGPodatnika->setFixedWidth(kTaxpayerGroupWidth);
  auto* taxpayerRow = new QHBoxLayout(RGPodatnika);
  taxpayerButtons_ = new QButtonGroup(this);
  RGPodatnikaItems[0] = AddRadio(taxpayerButtons_, kIdNip, QStringLiteral("NIP"), RGPodatnika, taxpayerRow);
  RGPodatnikaItems[1] = AddRadio(taxpayerButtons_, kIdPesel, QStringLiteral("PESEL"), RGPodatnika, taxpayerRow);
  idRow->addWidget(RGPodatnika);

  RGMalzonka = new QGroupBox(QStringLiteral(" Małżonka "), GIdPodatkowy);
  RGMalzonka->setObjectName(QStringLiteral("RGMalzonka"));
  RGMalzonka->setFixedWidth(kSpouseGroupNarrow);
  auto* spouseRow = new QHBoxLayout(RGMalzonka);
  spouseButtons_ = new QButtonGroup(this);
  RGMalzonkaItems[0] = AddRadio(spouseButtons_, kIdNip, QStringLiteral("NIP"), RGMalzonka, spouseRow);
  RGMalzonkaItems[1] = AddRadio(spouseButtons_, kIdPesel, QStringLiteral("PESEL"), RGMalzonka, spouseRow);
  PDruki = new QWidget(RGMalzonka);
  PDruki->setObjectName(QStringLiteral("PDruki"));
  auto* dataRow = new QHBoxLayout(PDruki);
  dataRow->setContentsMargins(0, 0, 0, 0);
  const auto dataBoxes = AddSpouseDataBoxes(PDruki, dataRow);
  sCBPitO = dataBoxes[0].box;
  sCBPitD = dataBoxes[1].box;
  sCBPit2K = dataBoxes[2].box;
  sCBPitUZ = dataBoxes[3].box;
  for (const auto& [box, idPit] : dataBoxes) {
    box->setProperty("idPit", idPit);
    connect(box, &QCheckBox::clicked, this, &TSam::sCBPitOMouseUp);
  }
  spouseRow->addWidget(PDruki, 1);
  idRow->addWidget(RGMalzonka);

  // Lies over the spouse group's caption (PlaceSpouseBox).
  CBMalzonek = new QCheckBox(QStringLiteral(" Małżonka "), GIdPodatkowy);
  CBMalzonek->setObjectName(QStringLiteral("CBMalzonek"));
  CBMalzonek->setAutoFillBackground(true);
  RGMalzonka->installEventFilter(this);

  // Without help to open there is nothing to ask, so the button is hidden.
  INipCzyPesel = MakeIdHelpButton(GIdPodatkowy, true);
  INipCzyPesel->setVisible(static_cast<bool>(openHelp_));
  idRow->addWidget(INipCzyPesel, 0, Qt::AlignVCenter);
  idRow->addStretch(1);
  left->addWidget(GIdPodatkowy);

  // Step 3: the forms.
  GBDf = new QGroupBox(QStringLiteral(" KROK 3. Dobierz formularze "), this);
  GBDf->setObjectName(QStringLiteral("GBDf"));
  auto* treeColumn = new QVBoxLayout(GBDf);
  STV = new SelectionTreeView(GBDf);
  treeColumn->addWidget(STV, 1);

  PKomunikat = new QFrame(GBDf);
  PKomunikat->setObjectName(QStringLiteral("PKomunikat"));
  PKomunikat->setFrameShape(QFrame::Box);
  PKomunikat->setStyleSheet(QStringLiteral("#PKomunikat { background-color: #fff8d0; border: 1px solid #c8a000; }"));
  auto* hint = new QGridLayout(PKomunikat);
  hint->setContentsMargins(8, 4, 4, 6);
  hint->setVerticalSpacing(0);
  auto* hintTitle = new QLabel(QStringLiteral("Informacja"), PKomunikat);
  QFont bold = hintTitle->font();
  bold.setBold(true);
  hintTitle->setFont(bold);
  auto* hintClose = new QToolButton(PKomunikat);
  hintClose->setObjectName(QStringLiteral("IZamknijKomunikat"));
  hintClose->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
  hintClose->setAutoRaise(true);
  hint->addWidget(hintTitle, 0, 0);
  hint->addWidget(hintClose, 0, 1, Qt::AlignRight);
  hint->addWidget(new QLabel(QStringLiteral("Zaznacz opcję Małżonka, jeżeli w drukach  "), PKomunikat), 1, 0, 1, 2);
  hint->addWidget(new QLabel(QStringLiteral("PIT/O i/lub PIT/D i/lub PIT/2K i/lub PIT/UZ "), PKomunikat), 2, 0, 1, 2);
  hint->addWidget(new QLabel(QStringLiteral("będziesz podawał dane Małżonka"), PKomunikat), 3, 0, 1, 2);
  WylaczKomunikat = new QPushButton(QStringLiteral("wyłącz komunikat"), PKomunikat);
  WylaczKomunikat->setObjectName(QStringLiteral("WylaczKomunikat"));
  hint->addWidget(WylaczKomunikat, 4, 1, Qt::AlignRight);
  PKomunikat->hide();
  treeColumn->addWidget(PKomunikat);
  left->addWidget(GBDf, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  Zatwierdzam = new QPushButton(QStringLiteral("Zatwierdzam wybór"), this);
  Zatwierdzam->setObjectName(QStringLiteral("Zatwierdzam"));
  Zatwierdzam->setEnabled(false);
  Zatwierdzam->setAutoDefault(false);
  Rezygnuje = new QPushButton(QStringLiteral("Rezygnuję "), this);
  Rezygnuje->setObjectName(QStringLiteral("Rezygnuje"));
  Rezygnuje->setAutoDefault(false);
  buttons->addWidget(Zatwierdzam);
  buttons->addWidget(Rezygnuje);
  left->addLayout(buttons);

  WBPomoc = new QTextBrowser(this);
  WBPomoc->setObjectName(QStringLiteral("WBPomoc"));
  WBPomoc->setOpenLinks(false);
  WBPomoc->setFixedWidth(kHelpPaneWidth);
  WBPomoc->hide();  // shown once a page has loaded
  root->addWidget(WBPomoc);

  connect(kindButtons_, &QButtonGroup::idClicked, this, &TSam::RodzRozlClick);
  connect(taxpayerButtons_, &QButtonGroup::idClicked, this, &TSam::RGPodatnikaClick);
  connect(spouseButtons_, &QButtonGroup::idClicked, this, &TSam::RGMalzonkaClick);
  connect(CBMalzonek, &QCheckBox::clicked, this, &TSam::CBMalzonekMouseUp);
  connect(STV, &SelectionTreeView::nodeClicked, this, &TSam::STVClick);
  connect(WylaczKomunikat, &QPushButton::clicked, this, &TSam::WylaczKomunikatClick);
  connect(hintClose, &QToolButton::clicked, this, &TSam::WylaczKomunikatClick);
  connect(INipCzyPesel, &QToolButton::clicked, this, &TSam::INipCzyPeselClick);
  connect(Zatwierdzam, &QPushButton::clicked, this, &TSam::ZatwierdzamClick);
  connect(Rezygnuje, &QPushButton::clicked, this, &TSam::RezygnujeClick);
}

// --- opening ---------------------------------------------------------------------------

void TSam::SetCaptions(int kind) {
  switch (kind) {
    case kPayerForms:
      setWindowTitle(QStringLiteral("Płatnicy sporządzający PIT-11, PIT-40 - samodzielny dobór formularzy "));
      GIdPodatkowy->setTitle(QStringLiteral(" KROK 1. Wybierz identyfikator podatkowy "));
      GBDf->setTitle(QStringLiteral(" KROK 2. Dobierz formularze "));
      break;
    case kRegistrationForms:
      setWindowTitle(QStringLiteral(" Podatnicy składający zgłoszenia NIP-7, ZAP-3 - samodzielny dobór formularzy "));
      GBDf->setTitle(QStringLiteral(" KROK 1. Dobierz formularze "));
      break;
    default:
      setWindowTitle(QStringLiteral("Podatnicy składający zeznanie podatkowe - samodzielny dobór formularzy"));
      GIdPodatkowy->setTitle(QStringLiteral(" KROK 2. Wybierz identyfikator podatkowy "));
      GBDf->setTitle(QStringLiteral(" KROK 3. Dobierz formularze "));
      break;
  }
}

void TSam::PrepareNew(int kind) {
  identifiersOnly_ = false;
  reopening_ = false;
  left_ = false;
  outcome_ = SelectionOutcome{};
  SetCaptions(kind);
  FitSize(kind == kIndividual ? kNewManualSize : kPayerSize);
  GBDf->show();
  sel_.Show();
  LayOutIdentifiers(kind);
  SyncIdentifiers();
  LoadKindHelp(kind);
  PKomunikat->hide();
  DisplayTree();
  SyncButtons();
}

void TSam::PrepareReopen(bool identifiersOnly) {
  identifiersOnly_ = identifiersOnly;
  reopening_ = true;
  left_ = false;
  outcome_ = SelectionOutcome{};
  sel_.Reopen(identifiersOnly);
  const int kind = sel_.Kind();
  SetCaptions(kind);
  FitSize(kReopenSize);
  GBDf->show();
  LayOutIdentifiers(kind);
  GIdPodatkowy->setTitle(QStringLiteral(" Krok 2: Wybierz identyfikator podatkowy  "));
  if (kind == kPayerForms || kind == kRegistrationForms) {
    GIdPodatkowy->setTitle(QStringLiteral(" KROK 1. Wybierz identyfikator podatkowy "));
    GBDf->setTitle(QStringLiteral(" KROK 2. Dobierz formularze "));
  } else {
    GBDf->setTitle(QStringLiteral(" KROK 3. Dobierz formularze "));
  }
  SyncIdentifiers();
  LoadKindHelp(kind);
  PKomunikat->hide();
  DisplayTree();
  SyncButtons();
  if (identifiersOnly) {
    // Only the identifier step remains; the tree keeps the settlement's forms.
    GIdPodatkowy->setTitle(QStringLiteral(" Zmień identyfikator podatkowy "));
    PRodzRozl->hide();
    WBPomoc->hide();
    GBDf->hide();
    FitSize(kIdentifiersOnlySize);
  }
}

void TSam::FitSize(QSize design) {
  const QSize size = FitOnScreen(this, design);
  constexpr int kNarrowestHelp = 180;
  WBPomoc->setFixedWidth(std::max(kNarrowestHelp, kHelpPaneWidth - (design.width() - size.width())));
  setFixedSize(size);
}

void TSam::LayOutIdentifiers(int kind) {
  IdentifierStepParts parts = IdentifierStepFor(kind);
  // Reopened for a settlement of registration forms, the screen offers the
  // taxpayer's identifier as it does for payers.
  if (kind == kRegistrationForms && reopening_) parts = IdentifierStepFor(kPayerForms);
  PRodzRozl->setVisible(parts.KindGroup && !identifiersOnly_);
  GIdPodatkowy->setVisible(parts.Step);
  RGPodatnika->setVisible(parts.Taxpayer);
  RGMalzonka->setVisible(parts.Spouse);
  CBMalzonek->setVisible(parts.SpouseBox);
  PDruki->setVisible(parts.SpouseData);
  RGMalzonka->setFixedWidth(parts.SpouseData ? kSpouseGroupWide : kSpouseGroupNarrow);
  PlaceSpouseBox();
}

void TSam::LoadKindHelp(int kind) {
  if (LoadHelpPage(WBPomoc, QString::fromStdString(ctx_.Folder("pomoc/inf")), Q(SelectionHelpPage(kind))))
    WBPomoc->setVisible(!identifiersOnly_);
}

void TSam::DisplayTree() {
  const SelectionTree& tree = sel_.Tree();
  STV->clear();
  QFont bold = STV->font();
  bold.setBold(true);
  std::function<void(int, QTreeWidgetItem*)> add = [&](int parent, QTreeWidgetItem* parentItem) {
    for (int id : tree.Children(parent)) {
      auto* item = parentItem == nullptr ? new QTreeWidgetItem(STV) : new QTreeWidgetItem(parentItem);
      item->setText(0, Q(tree.Label(id)));
      item->setData(0, Qt::UserRole, id);
      item->setIcon(0, FormIcon(tree.Node(id).PM));
      // Ticks change only through the rules, never by the view itself.
      item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
      item->setCheckState(0, tree.Node(id).Checked ? Qt::Checked : Qt::Unchecked);
      if (parentItem == nullptr) item->setFont(0, bold);
      add(id, item);
    }
  };
  add(0, nullptr);
  for (QTreeWidgetItemIterator it(STV); *it; ++it) {
    if ((*it)->childCount() > 0) (*it)->setExpanded(true);
  }
  if (STV->topLevelItemCount() > 0) STV->setCurrentItem(STV->topLevelItem(0));
}

// --- keeping the controls in step with the selection ------------------------------

void TSam::SyncTicks() {
  const SelectionTree& tree = sel_.Tree();
  for (QTreeWidgetItemIterator it(STV); *it; ++it) {
    const int id = SelectionTreeView::NodeOf(*it);
    const bool ticked = tree.Has(id) && tree.Node(id).Checked;
    (*it)->setCheckState(0, ticked ? Qt::Checked : Qt::Unchecked);
  }
}

void TSam::SyncIdentifiers() {
  const IdentifierControls& ids = sel_.Identifiers();
  SetGroupIndex(taxpayerButtons_, ids.Taxpayer);
  SetGroupIndex(spouseButtons_, ids.Spouse);
  CBMalzonek->setChecked(ids.SpouseBox);
  const bool individual = sel_.Kind() == kIndividual;
  RGMalzonka->setEnabled(individual ? ids.SpouseRadioEnabled : true);
  PDruki->setEnabled(ids.SpouseDataEnabled);
  const std::pair<QCheckBox*, int> dataBoxes[] = {{sCBPitO, kPitO}, {sCBPitD, kPitD}, {sCBPit2K, kPit2K},
                                                  {sCBPitUZ, kPitUZ}};
  for (const auto& [box, idPit] : dataBoxes) box->setChecked(ids.SpouseData.Get(idPit));
  if (sel_.Kind() <= kSingleParent) SetGroupIndex(kindButtons_, sel_.Kind());
}

void TSam::SyncButtons() {
  RodzRozl->setEnabled(sel_.KindGroupEnabled());
  Zatwierdzam->setEnabled(sel_.ConfirmEnabled());
  PKomunikat->setVisible(sel_.Kind() == kIndividual && sel_.SpouseHintVisible() && GBDf->isVisibleTo(this));
}

void TSam::PlaceSpouseBox() {
  if (!CBMalzonek->isVisibleTo(this)) return;
  // Over the caption, where the group draws its title.
  QStyleOptionGroupBox opt;
  opt.initFrom(RGMalzonka);
  opt.text = RGMalzonka->title();
  opt.lineWidth = 1;
  opt.midLineWidth = 0;
  opt.textAlignment = RGMalzonka->alignment();
  opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
  const QRect label = RGMalzonka->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel,
                                                          RGMalzonka);
  const QSize hint = CBMalzonek->sizeHint();
  const QPoint at = RGMalzonka->pos() + QPoint(label.left() - 2, label.center().y() - hint.height() / 2);
  CBMalzonek->setGeometry(QRect(at, hint));
  CBMalzonek->raise();
}

bool TSam::eventFilter(QObject* watched, QEvent* event) {
  if (watched == RGMalzonka && (event->type() == QEvent::Move || event->type() == QEvent::Resize ||
                                event->type() == QEvent::Show)) {
    PlaceSpouseBox();
  }
  return QDialog::eventFilter(watched, event);
}

void TSam::showEvent(QShowEvent* e) {
  if (parentWidget() != nullptr) {
    const QRect owner = parentWidget()->window()->geometry();
    move(owner.center() - rect().center());
  }
  QDialog::showEvent(e);
  PlaceSpouseBox();
}

// --- events --------------------------------------------------------------------------

void TSam::RodzRozlClick(int index) {
  if (index == sel_.Kind()) return;
  if (!sel_.ChangeKind(index)) {
    SetGroupIndex(kindButtons_, sel_.Kind());
    return;
  }
  LayOutIdentifiers(index);
  SyncIdentifiers();
  LoadKindHelp(index);
  PKomunikat->hide();
  DisplayTree();
  SyncButtons();
}

void TSam::STVClick(int node) {
  const ClickResult r = sel_.Click(node);
  if (!r.Handled) return;
  SyncTicks();
  SyncButtons();
  // A refusal ("UWAGA! Nie można załączyć…") is a warning; an attachment
  // added along with the chosen form is only news.
  for (const std::string& m : r.Messages)
    InformationBox(this, Q(m), m.rfind("UWAGA", 0) == 0 ? QMessageBox::Warning : QMessageBox::Information);
}

void TSam::RGPodatnikaClick(int index) {
  if (index == sel_.Identifiers().Taxpayer) return;
  const IdentifierQuestion q = sel_.TaxpayerIdClicked(index);
  if (q.Needed()) sel_.AnswerTaxpayerQuestion(q, WarningQuestion(this, Q(q.Caption), Q(q.Text)));
  SyncIdentifiers();
  SyncTicks();
  SyncButtons();
}

void TSam::RGMalzonkaClick(int index) {
  if (index == sel_.Identifiers().Spouse) return;
  const IdentifierQuestion q = sel_.SpouseIdClicked(index);
  if (q.Needed()) sel_.AnswerSpouseQuestion(q, WarningQuestion(this, Q(q.Caption), Q(q.Text)));
  SyncIdentifiers();
  SyncTicks();
  SyncButtons();
}

void TSam::CBMalzonekMouseUp(bool checked) {
  sel_.SpouseBoxReleased(checked);
  SyncIdentifiers();
  SyncTicks();
  SyncButtons();
}

void TSam::sCBPitOMouseUp() {
  auto* box = qobject_cast<QCheckBox*>(sender());
  if (box == nullptr) return;
  sel_.SpouseDataBoxReleased(box->property("idPit").toInt(), box->isChecked());
  SyncButtons();
}

void TSam::WylaczKomunikatClick() {
  sel_.HideSpouseHint();
  PKomunikat->hide();
}

void TSam::INipCzyPeselClick() {
  if (openHelp_) openHelp_();
}

void TSam::ZatwierdzamClick() {
  if (ctx_.defs == nullptr) ctx_.defs = std::make_unique<DefinitionLibrary>(ctx_.Folder("dc"));
  const ConfirmResult r = sel_.Confirm(*ctx_.defs);
  outcome_.confirmed = true;
  outcome_.kind = ctx_.settlement.Kind;
  outcome_.firstEntry = r.FirstEntry;
  outcome_.eFilingVisible = r.EFilingVisible;
  outcome_.eFilingEnabled = r.EFilingEnabled;
  outcome_.eFilingSeparatorVisible = r.ToolbarExtrasVisible;
  left_ = true;
  accept();
}

void TSam::Leave(bool cancelButton) {
  if (left_) return;
  left_ = true;
  outcome_.confirmed = false;
  outcome_.kind = ctx_.settlement.Kind;
  outcome_.backToIdle = sel_.Cancel();
  if (outcome_.backToIdle && cancelButton) {
    Zatwierdzam->setEnabled(false);
    outcome_.eFilingEnabled = false;
  }
  QDialog::reject();
}

void TSam::RezygnujeClick() { Leave(true); }

void TSam::reject() { Leave(false); }

}  // namespace pit::ui
