#include "ui/selection/tkreator.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

#include "selection/identifiers.h"
#include "ui/app/app_context.h"
#include "ui/app/screen_fit.h"
#include "ui/selection/selection_widgets.h"

namespace pit::ui {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

constexpr QSize kClientSize(876, 482);
constexpr int kNavigationHeight = 45;  // the browser ends this far above the bottom
constexpr int kAnswerColumnWidth = 236;
constexpr int kProgressHeight = 3;



QPushButton* NavigationButton(const QString& text, const char* name, QWidget* parent) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(QLatin1String(name));
  b->setAutoDefault(false);
  b->setMinimumWidth(104);
  return b;
}

}  // namespace

TKreator::TKreator(AppContext& ctx, std::function<void()> settlementChanged, std::function<void()> openHelp,
                   QWidget* parent)
    : QDialog(parent),
      ctx_(ctx),
      wizard_(ctx.settlement),
      settlementChanged_(std::move(settlementChanged)),
      openHelp_(std::move(openHelp)) {
  setObjectName(QStringLiteral("TKreator"));
  setWindowTitle(QString::fromUtf8(Wizard::kCaption));
  // A stay-on-top dialog without border icons: it is left through its buttons.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint);
  setFixedSize(FitOnScreen(this, kClientSize));

  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(0, 0, 0, 0);
  root->setSpacing(0);

  Postep = new QProgressBar(this);
  Postep->setObjectName(QStringLiteral("Postep"));
  Postep->setToolTip(QStringLiteral("Postęp doboru formularzy"));
  Postep->setFixedHeight(kProgressHeight);
  Postep->setTextVisible(false);
  Postep->setStyleSheet(QStringLiteral("QProgressBar { border: none; background: #dde3ec; }"
                                       "QProgressBar::chunk { background: #2e8b57; }"));
  root->addWidget(Postep);

  auto* pageArea = new QWidget(this);
  pageArea->setObjectName(QStringLiteral("PStrona"));
  auto* pageRow = new QHBoxLayout(pageArea);
  pageRow->setContentsMargins(0, 0, 0, 0);
  pageRow->setSpacing(0);
  BuildStartPage(pageArea);
  pageRow->addWidget(PTypAlgorytm, 1);
  WBPytanie = new QTextBrowser(pageArea);
  WBPytanie->setObjectName(QStringLiteral("WBPytanie"));
  WBPytanie->setOpenLinks(false);
  WBPytanie->setFrameShape(QFrame::NoFrame);
  WBPytanie->document()->setDocumentMargin(12);
  pageRow->addWidget(WBPytanie, 1);
  BuildAnswerColumn(pageArea);
  pageRow->addWidget(PAnswers);
  root->addWidget(pageArea, 1);

  auto* navigation = new QWidget(this);
  navigation->setObjectName(QStringLiteral("PNawigacja"));
  navigation->setFixedHeight(kNavigationHeight);
  navigation->setAutoFillBackground(true);
  auto* navRow = new QHBoxLayout(navigation);
  navRow->setContentsMargins(10, 6, 10, 8);
  navRow->setSpacing(8);
  auto* line = new QFrame(this);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  root->addWidget(line);
  Wstecz = NavigationButton(QStringLiteral("<< wstecz"), "Wstecz", navigation);
  Dalej = NavigationButton(QStringLiteral("dalej >>"), "Dalej", navigation);
  Zakoncz = NavigationButton(QStringLiteral("zakończ"), "Zakoncz", navigation);
  Anuluj = NavigationButton(QStringLiteral("anuluj"), "Anuluj", navigation);
  Zakoncz->setEnabled(false);
  navRow->addStretch(1);
  navRow->addWidget(Wstecz);
  navRow->addWidget(Dalej);
  navRow->addSpacing(16);
  navRow->addWidget(Zakoncz);
  navRow->addWidget(Anuluj);
  root->addWidget(navigation);

  connect(Dalej, &QPushButton::clicked, this, &TKreator::DalejClick);
  connect(SDalej, &QToolButton::clicked, this, &TKreator::DalejClick);
  connect(Wstecz, &QPushButton::clicked, this, &TKreator::WsteczClick);
  connect(SWstecz, &QToolButton::clicked, this, &TKreator::WsteczClick);
  connect(Zakoncz, &QPushButton::clicked, this, &TKreator::ZakonczClick);
  connect(Anuluj, &QPushButton::clicked, this, &TKreator::AnulujClick);
}

void TKreator::BuildStartPage(QWidget* parent) {
  PTypAlgorytm = new QWidget(parent);
  PTypAlgorytm->setObjectName(QStringLiteral("PTypAlgorytm"));
  auto* row = new QHBoxLayout(PTypAlgorytm);
  row->setContentsMargins(12, 10, 12, 6);
  row->setSpacing(14);
  auto* steps = new QVBoxLayout;
  steps->setSpacing(8);
  row->addLayout(steps, 1);

  TypAlgorytm = new QGroupBox(QStringLiteral(" KROK 1. Czy chcesz rozliczyć się: "), PTypAlgorytm);
  TypAlgorytm->setObjectName(QStringLiteral("TypAlgorytm"));
  auto* kinds = new QVBoxLayout(TypAlgorytm);
  kinds->setSpacing(2);
  kindButtons_ = new QButtonGroup(this);
  const QString items[3] = {QStringLiteral("indywidualnie"), QStringLiteral("wspólnie z małżonkiem"),
                            QStringLiteral("osoba samotnie wychowująca dziecko")};
  for (int i = 0; i < 3; ++i) TypAlgorytmItems[i] = AddRadio(kindButtons_, i, items[i], TypAlgorytm, kinds);
  steps->addWidget(TypAlgorytm);

  // The question is longer than a group box's title can be on a small
  // screen: it stands inside the box, wrapped to the box's width.
  GBPytanie = new QGroupBox(QStringLiteral(" KROK 2. "), PTypAlgorytm);
  GBPytanie->setObjectName(QStringLiteral("GBPytanie"));
  auto* questionBox = new QVBoxLayout(GBPytanie);
  auto* questionText = new QLabel(
      QStringLiteral("Czy w drukach PIT/O, PIT/D, PIT/2K, PIT/UZ będziesz podawał dane małżonka?"), GBPytanie);
  questionText->setObjectName(QStringLiteral("LPytanie"));
  questionText->setWordWrap(true);
  questionBox->addWidget(questionText);
  auto* question = new QHBoxLayout;
  questionBox->addLayout(question);
  question->setSpacing(12);
  spouseQuestion_ = new QButtonGroup(this);
  RBTAK = AddRadio(spouseQuestion_, kAnswerYes, QStringLiteral("TAK"), GBPytanie, question);
  RBTAK->setObjectName(QStringLiteral("RBTAK"));
  RBNIE = AddRadio(spouseQuestion_, kAnswerNo, QStringLiteral("NIE"), GBPytanie, question);
  RBNIE->setObjectName(QStringLiteral("RBNIE"));
  PDruki = new QWidget(GBPytanie);
  PDruki->setObjectName(QStringLiteral("PDruki"));
  auto* forms = new QHBoxLayout(PDruki);
  forms->setContentsMargins(16, 0, 0, 0);
  const auto dataBoxes = AddSpouseDataBoxes(PDruki, forms);
  sCBPitO = dataBoxes[0].box;
  sCBPitD = dataBoxes[1].box;
  sCBPit2K = dataBoxes[2].box;
  sCBPitUZ = dataBoxes[3].box;
  for (const auto& [box, idPit] : dataBoxes) {
    connect(box, &QCheckBox::clicked, this, [this, idPit = idPit](bool checked) {
      wizard_.SetSpouseDataBox(idPit, checked);
      SyncStart();
    });
  }
  question->addWidget(PDruki);
  question->addStretch(1);
  steps->addWidget(GBPytanie);

  GIdPodatkowy = new QGroupBox(QStringLiteral(" KROK 3. Wybierz identyfikator podatkowy: "), PTypAlgorytm);
  GIdPodatkowy->setObjectName(QStringLiteral("GIdPodatkowy"));
  auto* ids = new QHBoxLayout(GIdPodatkowy);
  ids->setSpacing(10);
  RGPodatnika = new QGroupBox(QStringLiteral(" Podatnika "), GIdPodatkowy);
  RGPodatnika->setObjectName(QStringLiteral("RGPodatnika"));
  auto* taxpayer = new QHBoxLayout(RGPodatnika);
  taxpayerButtons_ = new QButtonGroup(this);
  RGPodatnikaItems[0] = AddRadio(taxpayerButtons_, kIdNip, QStringLiteral("NIP"), RGPodatnika, taxpayer);
  RGPodatnikaItems[1] = AddRadio(taxpayerButtons_, kIdPesel, QStringLiteral("PESEL"), RGPodatnika, taxpayer);
  ids->addWidget(RGPodatnika);
  RGMalzonka = new QGroupBox(QStringLiteral(" Małżonka "), GIdPodatkowy);
  RGMalzonka->setObjectName(QStringLiteral("RGMalzonka"));
  auto* spouse = new QHBoxLayout(RGMalzonka);
  spouseButtons_ = new QButtonGroup(this);
  RGMalzonkaItems[0] = AddRadio(spouseButtons_, kIdNip, QStringLiteral("NIP"), RGMalzonka, spouse);
  RGMalzonkaItems[1] = AddRadio(spouseButtons_, kIdPesel, QStringLiteral("PESEL"), RGMalzonka, spouse);
  ids->addWidget(RGMalzonka);
  INipCzyPesel = MakeIdHelpButton(GIdPodatkowy, static_cast<bool>(openHelp_));
  ids->addWidget(INipCzyPesel, 0, Qt::AlignVCenter);
  ids->addStretch(1);
  steps->addWidget(GIdPodatkowy);
  steps->addStretch(1);

  // Beside the steps, what the wizard will do.
  auto* about = new QLabel(PTypAlgorytm);
  about->setObjectName(QStringLiteral("LOpis"));
  about->setWordWrap(true);
  about->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  about->setFixedWidth(250);
  about->setTextFormat(Qt::RichText);
  about->setStyleSheet(QStringLiteral("QLabel#LOpis { background: #f2f6fb; border: 1px solid #c9d6e8;"
                                      " padding: 10px; color: #202840; }"));
  about->setText(QStringLiteral(
      "<p style='font-size:11pt; font-weight:bold; color:#1f4e8c;'>Kreator doboru formularzy</p>"
      "<p>Kreator zapyta kolejno o każdy druk, który może być Ci potrzebny. Odpowiadasz <b>TAK</b> albo "
      "<b>NIE</b>, a przy załącznikach wskazujesz zeznanie, do którego go dołączyć.</p>"
      "<p>Pytania, które Ciebie nie dotyczą, kreator pominie sam. Przyciskiem <b>&lt;&lt; wstecz</b> "
      "możesz wrócić i zmienić odpowiedź.</p>"
      "<p>Na końcu naciśnij <b>zakończ</b> – program otworzy pierwszy z wybranych druków.</p>"));
  row->addWidget(about);

  connect(kindButtons_, &QButtonGroup::idClicked, this, &TKreator::TypAlgorytmClick);
  connect(spouseQuestion_, &QButtonGroup::idClicked, this, &TKreator::RBTAKClick);
  connect(taxpayerButtons_, &QButtonGroup::idClicked, this, &TKreator::RGPodatnikaClick);
  connect(spouseButtons_, &QButtonGroup::idClicked, this, &TKreator::RGPodatnikaClick);
  connect(INipCzyPesel, &QToolButton::clicked, this, &TKreator::INipCzyPeselClick);
}

void TKreator::BuildAnswerColumn(QWidget* parent) {
  PAnswers = new QWidget(parent);
  PAnswers->setObjectName(QStringLiteral("PAnswers"));
  PAnswers->setFixedWidth(kAnswerColumnWidth);
  PAnswers->setAutoFillBackground(true);
  PAnswers->setStyleSheet(QStringLiteral("QWidget#PAnswers { background: #f2f6fb; border-left: 1px solid #c9d6e8; }"));
  auto* column = new QVBoxLayout(PAnswers);
  column->setContentsMargins(8, 6, 8, 6);
  column->setSpacing(6);

  auto* head = new QHBoxLayout;
  SWstecz = new QToolButton(PAnswers);
  SWstecz->setObjectName(QStringLiteral("SWstecz"));
  SWstecz->setText(QStringLiteral("<< "));
  SWstecz->setToolTip(QStringLiteral("wstecz"));
  SDalej = new QToolButton(PAnswers);
  SDalej->setObjectName(QStringLiteral("SDalej"));
  SDalej->setText(QStringLiteral(">>"));
  SDalej->setToolTip(QStringLiteral("dalej"));
  header_ = new QLabel(QStringLiteral("ODPOWIEDZI"), PAnswers);
  QFont bold = header_->font();
  bold.setBold(true);
  header_->setFont(bold);
  header_->setAlignment(Qt::AlignCenter);
  head->addWidget(SWstecz);
  head->addWidget(header_, 1);
  head->addWidget(SDalej);
  column->addLayout(head);

  const QString titles[kWizardGroupCount] = {QStringLiteral("    Podatnik "), QStringLiteral("   Małżonek "),
                                             QString()};
  const char* panelNames[kWizardGroupCount] = {"PPodatnik", "PMalzonek", "POgolnie"};
  const char* groupNames[kWizardGroupCount] = {"Podatnik", "Malzonek", "Odpowiedz"};
  const char* labelNames[kWizardGroupCount] = {"TextP", "TextM", "TextO"};
  const char* boxPrefix[kWizardGroupCount] = {"PZ", "MZ", "OZ"};
  for (int g = 0; g < kWizardGroupCount; ++g) {
    auto* panel = new QWidget(PAnswers);
    panel->setObjectName(QLatin1String(panelNames[g]));
    auto* panelColumn = new QVBoxLayout(panel);
    panelColumn->setContentsMargins(0, 0, 0, 4);
    panelColumn->setSpacing(2);
    auto* group = new QGroupBox(titles[g], panel);
    group->setObjectName(QLatin1String(groupNames[g]));
    auto* answers = new QHBoxLayout(group);
    answers->setContentsMargins(10, g == kGroupGeneral ? 6 : 4, 10, 4);
    answerButtons_[g] = new QButtonGroup(this);
    Yes[g] = AddRadio(answerButtons_[g], kAnswerYes, QStringLiteral("TAK"), group, answers);
    No[g] = AddRadio(answerButtons_[g], kAnswerNo, QStringLiteral("NIE"), group, answers);
    answers->addStretch(1);
    panelColumn->addWidget(group);
    Labels[g] = new QLabel(QStringLiteral(" dołącz do druku:"), panel);
    Labels[g]->setObjectName(QLatin1String(labelNames[g]));
    panelColumn->addWidget(Labels[g]);
    for (int b = 0; b < kWizardBoxesPerGroup[g]; ++b) {
      auto* box = new QCheckBox(panel);
      box->setObjectName(QStringLiteral("%1%2").arg(QLatin1String(boxPrefix[g])).arg(b + 1));
      box->setContentsMargins(12, 0, 0, 0);
      panelColumn->addWidget(box);
      Boxes[g][b] = box;
      connect(box, &QCheckBox::clicked, this, [this, g, b](bool checked) { BoxClicked(g, b + 1, checked); });
    }
    Panels[g] = panel;
    connect(answerButtons_[g], &QButtonGroup::idClicked, this, [this, g](int id) { AnswerClicked(g, id); });
  }
  // The spouse's panel under the taxpayer's, the general one alone.
  column->addWidget(Panels[kGroupTaxpayer]);
  column->addWidget(Panels[kGroupSpouse]);
  column->addWidget(Panels[kGroupGeneral]);
  column->addStretch(1);
}

// --- showing ---------------------------------------------------------------------------

void TKreator::showEvent(QShowEvent* e) {
  // A window system's own showing (after being covered or restored) is no
  // new start and must not throw the answers away.
  if (e->spontaneous()) {
    QDialog::showEvent(e);
    return;
  }
  left_ = false;
  outcome_ = SelectionOutcome{};
  wizard_.Show();
  SyncStart();
  ShowPage();
  const QScreen* screen = this->screen();
  if (screen != nullptr && screen->geometry().width() <= 800) {
    move(screen->geometry().topLeft());
  } else if (parentWidget() != nullptr) {
    move(parentWidget()->window()->geometry().center() - rect().center());
  } else if (screen != nullptr) {
    move(screen->availableGeometry().center() - rect().center());
  }
  QDialog::showEvent(e);
}

void TKreator::SyncStart() {
  const WizardStartPage& st = wizard_.Start();
  SetGroupIndex(kindButtons_, st.Kind);
  GBPytanie->setVisible(st.SpouseQuestionVisible);
  SetGroupIndex(spouseQuestion_, st.SpouseQuestion);
  PDruki->setEnabled(st.SpouseDataEnabled);
  sCBPitO->setChecked(st.SpouseData.PitO);
  sCBPitD->setChecked(st.SpouseData.PitD);
  sCBPit2K->setChecked(st.SpouseData.Pit2K);
  sCBPitUZ->setChecked(st.SpouseData.PitUZ);
  GIdPodatkowy->setTitle(Q(st.IdentifierCaption));
  SetGroupIndex(taxpayerButtons_, st.Taxpayer);
  SetGroupIndex(spouseButtons_, st.Spouse);
  RGMalzonka->setEnabled(st.SpouseEnabled);
  if (wizard_.Page() == 0) Dalej->setEnabled(wizard_.PageView().ForwardEnabled);
}

void TKreator::ShowPage() {
  const WizardPageView v = wizard_.PageView();
  setWindowTitle(Q(v.Caption));
  Wstecz->setEnabled(v.BackEnabled);
  SWstecz->setEnabled(v.BackEnabled);
  Dalej->setEnabled(v.ForwardEnabled);
  SDalej->setEnabled(v.ForwardEnabled);
  Zakoncz->setEnabled(v.FinishEnabled);
  SWstecz->setVisible(v.SmallButtonsVisible);
  SDalej->setVisible(v.SmallButtonsVisible);
  Postep->setMaximum(v.ProgressMax);
  Postep->setValue(v.ProgressPosition);
  // Hidden, the bar keeps its place so that the page does not jump.
  Postep->setStyleSheet(v.ProgressVisible ? QStringLiteral("QProgressBar { border: none; background: #dde3ec; }"
                                                           "QProgressBar::chunk { background: #2e8b57; }")
                                          : QStringLiteral("QProgressBar { border: none; background: transparent; }"
                                                           "QProgressBar::chunk { background: transparent; }"));
  PTypAlgorytm->setVisible(v.StartPage);
  WBPytanie->setVisible(!v.StartPage);
  PAnswers->setVisible(v.AnswersVisible);
  if (!v.File.empty()) LoadHelpPage(WBPytanie, Q(ctx_.Folder("alg")), Q(v.File));
  for (int g = 0; g < kWizardGroupCount; ++g) {
    const WizardGroupView& gv = v.Groups[g];
    Panels[g]->setVisible(gv.Visible);
    SetGroupIndex(answerButtons_[g], gv.Answer);
    Labels[g]->setVisible(gv.LabelVisible);
    for (int b = 0; b < kWizardBoxesPerGroup[g]; ++b) {
      const WizardBoxView& bv = gv.Boxes[static_cast<std::size_t>(b)];
      QCheckBox* box = Boxes[g][b];
      box->setVisible(bv.Visible);
      box->setText(Q(bv.Caption));
      box->setEnabled(bv.Enabled);
      box->setChecked(bv.Checked);
    }
  }
}

void TKreator::Changed() {
  if (settlementChanged_) settlementChanged_();
}

// --- the start page's events -------------------------------------------------------------

void TKreator::TypAlgorytmClick(int index) {
  wizard_.ChooseKind(index);
  SyncStart();
}

void TKreator::RBTAKClick() {
  wizard_.AnswerSpouseQuestion(RBTAK->isChecked());
  SyncStart();
}

void TKreator::RGPodatnikaClick() {
  wizard_.SetTaxpayerId(taxpayerButtons_->checkedId());
  if (spouseButtons_->checkedId() >= 0) wizard_.SetSpouseId(spouseButtons_->checkedId());
  SyncStart();
}

void TKreator::INipCzyPeselClick() {
  // Until the help window is part of the program the picture does nothing.
  if (openHelp_) openHelp_();
}

// --- answers ---------------------------------------------------------------------------

void TKreator::AnswerClicked(int group, int answer) {
  wizard_.Answer(group, answer);
  ShowPage();
}

void TKreator::BoxClicked(int group, int box, bool checked) {
  wizard_.PressBox(group, box, checked);
  ShowPage();
}

// --- moving ----------------------------------------------------------------------------

void TKreator::DalejClick() {
  const std::string message = wizard_.Forward();
  if (!message.empty()) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("UWAGA"), Q(message), QMessageBox::Ok, this);
    box.exec();
    return;
  }
  ShowPage();
  Changed();
}

void TKreator::WsteczClick() {
  wizard_.Back();
  if (wizard_.Page() == 0) SyncStart();
  ShowPage();
  Changed();
}

void TKreator::ZakonczClick() {
  if (!wizard_.CanFinish() || left_) return;
  if (ctx_.defs == nullptr) ctx_.defs = std::make_unique<DefinitionLibrary>(ctx_.Folder("dc"));
  const WizardFinish f = wizard_.Finish(*ctx_.defs);
  left_ = true;
  outcome_.confirmed = true;
  outcome_.kind = ctx_.settlement.Kind;
  outcome_.firstEntry = f.FirstEntry;
  outcome_.eFilingVisible = f.EFilingVisible;
  outcome_.eFilingEnabled = f.EFilingEnabled;
  outcome_.eFilingSeparatorVisible = f.ToolbarExtrasVisible;
  accept();
}

void TKreator::AnulujClick() {
  if (left_) return;
  left_ = true;
  wizard_.Cancel();
  outcome_.confirmed = false;
  outcome_.backToIdle = true;
  outcome_.eFilingEnabled = false;
  QDialog::reject();
}

void TKreator::reject() { AnulujClick(); }

// --- the path from the method window ------------------------------------------------------

bool RunWizard(AppContext& ctx, QWidget* parent, SelectionOutcome* outcome, std::function<void()> settlementChanged,
               std::function<void()> openHelp) {
  Settlement& s = ctx.settlement;
  ctx.ids.Clear();
  s.Kind = kIndividual;
  ApplyIdentifierDefaults(s, kIndividual);
  s.Clear();
  s.DocumentPath.clear();
  TKreator wizard(ctx, std::move(settlementChanged), std::move(openHelp), parent);
  wizard.exec();
  s.DocumentPath.clear();
  if (outcome != nullptr) *outcome = wizard.Outcome();
  return wizard.Outcome().confirmed;
}

}  // namespace pit::ui
