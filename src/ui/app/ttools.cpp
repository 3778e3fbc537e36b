#include "ui/app/ttools.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>
#include <functional>

#include "app/document.h"
#include "app/install_paths.h"
#include "calc/calculation.h"
#include "calc/identification.h"
#include "platform/config.h"
#include "platform/folders.h"
#include "platform/launch.h"
#include "platform/processes.h"
#include "platform/system_info.h"
#include "ui/app/app_context.h"
#include "ui/app/document_controller.h"
#include "ui/app/icons.h"
#include "ui/app/message_boxes.h"
#include "ui/app/method_commands.h"
#include "ui/app/recovery.h"
#include "ui/app/undo_commands.h"
#include "ui/app/zoom_commands.h"
#include "ui/app/welcome_panel.h"
#include "ui/forms/tfimage.h"
#include "ui/import/tfimportdane.h"
#include "ui/output/efiling.h"
#include "ui/output/twydruk.h"
#include "ui/refdata/tfopp.h"
#include "ui/selection/start_work.h"
#include "ui/update/taktualizacja.h"
#include "ui/update/tfpomoc.h"
#include "ui/update/tinfo.h"

namespace pit::ui {

const char* const kApplicationTitle = "Roczne rozliczenie podatku dochodowego - PIT Korvan 2014  -  Korvan";
const char* const kNoCaptionDocument = "Roczne rozliczenie podatku dochodowego";

namespace {

const QString kCaptionTailHead = QStringLiteral(" - PIT Korvan 2014 Korvan - wersja: ");
const QString kAlreadyRunning = QStringLiteral("Program PIT Korvan jest już uruchomiony.");
const QString kNoLockFile =
    QStringLiteral("Nie można utworzyć pliku blokady programu:\n%1\nSprawdź uprawnienia do tego folderu.");
const QString kNotOurFile = QStringLiteral("Podany plik nie jest plikiem programu PIT Korvan 2014.\n");

// The maker's pages (forum and product page).
const QString kForumAddress = QStringLiteral("http://forum.korvan.pl");
const QString kProductAddress = QStringLiteral("http://www.korvan.pl/pit2014");

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

QToolButton* BarButton(const QString& name, const QString& text, QWidget* parent) {
  auto* b = new QToolButton(parent);
  b->setObjectName(name);
  b->setText(text);
  b->setToolTip(text);
  b->setAutoRaise(true);
  b->setToolButtonStyle(Qt::ToolButtonTextOnly);
  return b;
}

QToolButton* PageButton(const QString& name, ToolIcon icon, const QString& hint, QWidget* parent) {
  auto* b = new QToolButton(parent);
  b->setObjectName(name);
  b->setIcon(ToolBarIcon(icon));
  b->setToolTip(hint);
  b->setAutoRaise(true);
  return b;
}

// A label drawn only when all of it fits: a cut banner reads as noise.
class Banner : public QLabel {
 public:
  using QLabel::QLabel;

 protected:
  void paintEvent(QPaintEvent* e) override {
    if (width() >= sizeHint().width()) QLabel::paintEvent(e);
  }
};

}  // namespace

// --- creation ------------------------------------------------------------------

TTools::TTools(AppContext& ctx, const QString& lockPath, QWidget* parent)
    : QMainWindow(parent),
      ctx_(ctx),
      instance_(lockPath.isEmpty() ? platform::SingleInstance::DefaultLockPath() : lockPath) {
  setObjectName(QStringLiteral("Tools"));
  Settlement& s = ctx_.settlement;
  ctx_.taxYear = 2014;
  ctx_.veltraExecutable = "Veltra2014.exe";
  s.Current.ReturnGuid.clear();

  if (!instance_.TryAcquire()) {
    refused_ = true;
    setWindowState(Qt::WindowMinimized);
    TellUser(nullptr, instance_.OtherHolds() ? kAlreadyRunning : kNoLockFile.arg(instance_.Path()), QMessageBox::Warning);
    return;
  }

  ctx_.version = S(platform::VersionText());
  captionTail_ = kCaptionTailHead + Q(ctx_.version);
  s.TaxpayerIdKind = kIdNip;
  s.SpouseIdKind = kIdNone;
  s.Kind = kIndividual;

  screenWidth_ = platform::ScreenSize().width();
  if (ctx_.programFolder.empty()) ctx_.programFolder = S(platform::DataFolder());
  FPomoc = new TFPomoc(Q(ctx_.Folder("Pomoc")), this);
  BuildMenus();
  BuildToolBars();
  // The form window's pick lists are made from the dictionaries.
  LoadDictionaries();
  BuildCentralArea();
  PrepareWorkspace();

  ctx_.tempFolder = S(platform::TempFolder());
  ctx_.configPath = S(platform::Config::DefaultPath());
  FAktualizacja = new TAktualizacja(ctx_, this);
  if (!ctx_.defs) ctx_.defs = std::make_unique<DefinitionLibrary>(ctx_.Folder("dc"));
  documents_ = new DocumentController(*this, ctx_);
  auto* undo = new UndoCommands(*this, ctx_);
  MenuUndo = undo->UndoAction();
  MenuRedo = undo->RedoAction();
  new ZoomCommands(*this);
  new MethodCommands(*this, ctx_);
  // "Zapisz" follows the settlement's modified flag, whoever changes it.
  connect(documents_, &DocumentController::modifiedChanged, this, &TTools::UpdateCommands);
  // Unsaved changes are copied aside as they are made, and the copy goes
  // once they are saved or given up.
  recovery_ = new RecoveryCopy(ctx_, QString(), this);
  connect(documents_, &DocumentController::modifiedChanged, recovery_, [this](bool on) {
    if (on) {
      recovery_->Changed();
    } else {
      recovery_->Discard();
    }
  });
  connect(undo, &UndoCommands::historyChanged, recovery_, [this] {
    if (ctx_.settlement.DocumentModified) recovery_->Changed();
  });
  s.DocumentPath.clear();
  ctx_.Session().SetModified(false);
  UpdateCaption();

  const QString welcome = Q(ctx_.Folder("alg")) + QStringLiteral("/welcome.html");
  if (QFileInfo::exists(welcome)) WBWelcome->setSource(QUrl::fromLocalFile(welcome));

  statusBar()->hide();
  ShowWelcome(true);
  CollapseMessages();
  ToolDesigner->setVisible(false);
  UpdateCommands();

  ctx_.veltraFolder = ctx_.Folder("Veltra");
  regional_ = std::make_unique<platform::RegionalSettings>();
}

TTools::~TTools() = default;

void TTools::BuildMenus() {
  MenuKlienta = menuBar();
  MenuKlienta->setObjectName(QStringLiteral("MenuKlienta"));

  auto item = [this](QMenu* menu, const char* name, const QString& text, const QKeySequence& key = {}) {
    QAction* a = menu->addAction(text);
    a->setObjectName(QLatin1String(name));
    if (!key.isEmpty()) a->setShortcut(key);
    return a;
  };

  QMenu* rozliczenie = MenuKlienta->addMenu(QStringLiteral("Rozliczenie"));
  rozliczenie->setToolTipsVisible(true);
  MenuNew = item(rozliczenie, "Nowe1", QStringLiteral("Nowe"), QKeySequence(QStringLiteral("Ctrl+N")));
  MenuOpen = item(rozliczenie, "Otw1", QStringLiteral("Otwórz"), QKeySequence(QStringLiteral("Ctrl+O")));
  MenuClose = item(rozliczenie, "Zamknij1", QStringLiteral("Zamknij"));
  rozliczenie->addSeparator();
  MenuSave = item(rozliczenie, "Zapisz1", QStringLiteral("Zapisz"), QKeySequence(QStringLiteral("Ctrl+S")));
  MenuSaveAs = item(rozliczenie, "Zapiszjako1", QStringLiteral("Zapisz jako ..."));
  rozliczenie->addSeparator();
  MenuPrint = item(rozliczenie, "Drukuj2", QStringLiteral("Drukuj"), QKeySequence(QStringLiteral("Ctrl+P")));
  MenuImport = item(rozliczenie, "PrzeniesDaneMenu", QStringLiteral("Pobierz dane identyfikacyjne"));
  rozliczenie->addSeparator();
  MenuQuit = item(rozliczenie, "Zamknijprogram1", QStringLiteral("Zamknij program"));

  MenuOrganisations = MenuKlienta->addAction(QStringLiteral("Wykaz OPP"));
  MenuOrganisations->setObjectName(QStringLiteral("N8"));

  QMenu* pomoc = MenuKlienta->addMenu(QStringLiteral("Pomoc"));
  MenuHelp = item(pomoc, "Pomocneinformacje1", QStringLiteral("Pomocne informacje"));
  MenuCalculator = item(pomoc, "Kalkulator1", QStringLiteral("Kalkulator"));
  pomoc->addSeparator();
  MenuUpdateCheck = item(pomoc, "gg1", QStringLiteral("Aktualizacja"));
  MenuAbout = item(pomoc, "Informacjaoprogramie2", QStringLiteral("Informacja o programie"));
  pomoc->addSeparator();
  MenuForum = item(pomoc, "Forum1", kForumAddress);
  MenuProductPage = item(pomoc, "StronaProgramu1", kProductAddress);

  connect(MenuNew, &QAction::triggered, this, &TTools::Nowe1Click);
  connect(MenuOpen, &QAction::triggered, this, &TTools::Otw1Click);
  connect(MenuClose, &QAction::triggered, this, &TTools::Zamknij1Click);
  connect(MenuSave, &QAction::triggered, this, &TTools::Zapisz1Click);
  connect(MenuSaveAs, &QAction::triggered, this, &TTools::Zapiszjako1Click);
  connect(MenuPrint, &QAction::triggered, this, &TTools::Drukuj2Click);
  connect(MenuImport, &QAction::triggered, this, &TTools::PrzeniesDaneMenuClick);
  connect(MenuQuit, &QAction::triggered, this, &TTools::Zamknijprogram1Click);
  connect(MenuOrganisations, &QAction::triggered, this, &TTools::N8Click);
  connect(MenuHelp, &QAction::triggered, this, [this] { FPomoc->ShowHelp(); });
  connect(MenuCalculator, &QAction::triggered, this, &TTools::Kalkulator1Click);
  connect(MenuUpdateCheck, &QAction::triggered, this, [this] { FAktualizacja->CheckForUpdate(true); });
  connect(MenuAbout, &QAction::triggered, this, &TTools::Informacjaoprogramie2Click);
  connect(MenuForum, &QAction::triggered, this, [] { platform::OpenAddress(kForumAddress); });
  connect(MenuProductPage, &QAction::triggered, this, [] { platform::OpenAddress(kProductAddress); });
}

void TTools::BuildToolBars() {
  ToolBarKlienta = addToolBar(QStringLiteral("ToolBarKlienta"));
  ToolBarKlienta->setObjectName(QStringLiteral("ToolBarKlienta"));
  ToolBarKlienta->setMovable(false);
  ToolBarKlienta->setFloatable(false);
  ToolBarKlienta->setIconSize(QSize(24, 24));
  ToolBarKlienta->setContextMenuPolicy(Qt::PreventContextMenu);
  ToolBarKlienta->toggleViewAction()->setVisible(false);

  auto button = [this](const char* name, ToolIcon icon, const QString& text) {
    QAction* a = ToolBarKlienta->addAction(ToolBarIcon(icon), text);
    a->setObjectName(QLatin1String(name));
    a->setToolTip(text);
    return a;
  };
  ToolNew = button("ToolButton1", ToolIcon::New, QStringLiteral("Nowe rozliczenie"));
  ToolOpen = button("ToolButton2", ToolIcon::Open, QStringLiteral("Otwórz istniejące rozliczenie"));
  ToolSave = button("ToolButtonSave", ToolIcon::Save, QStringLiteral("Zapisz rozliczenie"));
  ToolBarKlienta->addSeparator();
  ToolPrint = button("BWydruk", ToolIcon::Print, QStringLiteral("Drukuj"));
  ToolImport = button("TB_Import", ToolIcon::Import, QStringLiteral("Pobierz dane identyfikacyjne"));
  ToolBarKlienta->addSeparator();
  ToolCheck = button("TbCheck", ToolIcon::Check, QStringLiteral("Weryfikacja wypełnienia wymaganych pól formularzy"));
  EFilingSeparator = ToolBarKlienta->addSeparator();
  EFilingSeparator->setObjectName(QStringLiteral("Belka5"));
  ToolSend = button("TBSendXML", ToolIcon::Send, QStringLiteral("Wyślij rozliczenie do programu Veltra"));
  ToolOpenVeltra = button("TBOpenXML", ToolIcon::OpenVeltra, QStringLiteral("Otwórz program Veltra"));
  ToolBarKlienta->addSeparator();
  ToolHelp = button("ToolButton3", ToolIcon::Help, QStringLiteral("Pomocne informacje"));
  ToolCalculator = button("ToolButton13", ToolIcon::Calculator, QStringLiteral("Kalkulator"));
  ToolUpdateCheck = button("ToolButton10", ToolIcon::Update, QStringLiteral("Sprawdź, czy jest nowsza wersja programu"));
  ToolDesigner = ToolBarKlienta->addAction(QString());
  ToolDesigner->setObjectName(QStringLiteral("ToolButton6"));
  ToolDesigner->setVisible(false);

  connect(ToolNew, &QAction::triggered, this, &TTools::Nowe1Click);
  connect(ToolOpen, &QAction::triggered, this, &TTools::ToolButton2Click);
  connect(ToolSave, &QAction::triggered, this, &TTools::Zapisz1Click);
  connect(ToolPrint, &QAction::triggered, this, &TTools::BWydrukClick);
  connect(ToolImport, &QAction::triggered, this, &TTools::PrzeniesDaneMenuClick);
  EFiling::MainWindowCalls calls;
  calls.commitTyping = [this] { CommitTypedValue(); };
  calls.save = [this](const QString& path) { return SaveDocument(path); };
  calls.showPrepared = [this](bool calculated) { ShowPreparedValues(calculated); };
  calls.goToField = [this](int entry, int field) { GoToField(entry, field); };
  auto* efiling = new EFiling(ctx_, std::move(calls), this);
  connect(ToolCheck, &QAction::triggered, efiling, &EFiling::TbCheckClick);
  connect(ToolSend, &QAction::triggered, efiling, &EFiling::TBSendXMLClick);
  connect(ToolOpenVeltra, &QAction::triggered, efiling, &EFiling::TBOpenXMLClick);
  connect(ToolHelp, &QAction::triggered, this, [this] { FPomoc->ShowHelp(); });
  connect(ToolCalculator, &QAction::triggered, this, &TTools::Kalkulator1Click);
  connect(ToolUpdateCheck, &QAction::triggered, this, [this] { FAktualizacja->CheckForUpdate(true); });
}

void TTools::BuildCentralArea() {
  auto* central = new QWidget(this);
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  // The bar with the current form's name and page buttons.
  auto* cool = new QFrame(central);
  cool->setObjectName(QStringLiteral("CoolBar"));
  cool->setFrameShape(QFrame::StyledPanel);
  auto* bar = new QHBoxLayout(cool);
  bar->setContentsMargins(4, 2, 4, 2);
  // Keeps its height while empty, so the page does not jump when a form is shown.
  cool->setMinimumHeight(30);
  bar->setSpacing(4);
  Zmiana = BarButton(QStringLiteral("Zmiana"), QStringLiteral("dodaj/usuń druk"), cool);
  SBZmienIdentyfikator = BarButton(QStringLiteral("SBZmienIdentyfikator"), QStringLiteral("zmień NIP-PESEL"), cool);
  ZalAdd = BarButton(QStringLiteral("ZalAdd"), QStringLiteral("dodaj egzemplarz"), cool);
  InfoPit = new QLabel(QStringLiteral("DRUK:"), cool);
  InfoPit->setObjectName(QStringLiteral("InfoPit"));
  QFont bold = InfoPit->font();
  bold.setBold(true);
  InfoPit->setFont(bold);
  Strona = new QLabel(QStringLiteral("strona:"), cool);
  Strona->setObjectName(QStringLiteral("Strona"));
  PitPrevPageEnd = PageButton(QStringLiteral("PitPrevPageEnd"), ToolIcon::First, QStringLiteral("pierwsza strona"), cool);
  PitPrevPage = PageButton(QStringLiteral("PitPrevPage"), ToolIcon::Previous, QStringLiteral("poprzednia strona"), cool);
  InfoPage = new QLabel(QStringLiteral("0 z 0"), cool);
  InfoPage->setObjectName(QStringLiteral("InfoPage"));
  InfoPage->setAlignment(Qt::AlignCenter);
  InfoPage->setMinimumWidth(44);
  PitNextPage = PageButton(QStringLiteral("PitNextPage"), ToolIcon::Next, QStringLiteral("następna strona"), cool);
  PitNextPageEnd = PageButton(QStringLiteral("PitNextPageEnd"), ToolIcon::Last, QStringLiteral("ostatnia strona"), cool);
  Powiekszenie = new QLabel(cool);
  Powiekszenie->setObjectName(QStringLiteral("Powiekszenie"));
  Powiekszenie->setToolTip(QStringLiteral("Widok: Powiększ (Ctrl+=), Pomniejsz (Ctrl+-), "
                                          "Dopasuj do szerokości (Ctrl+0)"));
  ProcentPodatku = new Banner(QStringLiteral("Podziel się 1% podatku !"), cool);
  ProcentPodatku->setObjectName(QStringLiteral("ProcentPodatku"));
  ProcentPodatku->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold; padding: 0 6px;"));
  ProcentPodatku->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  // The banner takes what the bar has left, so a narrow screen cuts it
  // rather than widening the window past the screen.
  ProcentPodatku->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  bar->addWidget(Zmiana);
  bar->addWidget(SBZmienIdentyfikator);
  bar->addWidget(ZalAdd);
  bar->addSpacing(12);
  bar->addWidget(InfoPit);
  bar->addSpacing(12);
  bar->addWidget(Strona);
  bar->addWidget(PitPrevPageEnd);
  bar->addWidget(PitPrevPage);
  bar->addWidget(InfoPage);
  bar->addWidget(PitNextPage);
  bar->addWidget(PitNextPageEnd);
  bar->addSpacing(12);
  bar->addWidget(Powiekszenie);
  bar->addWidget(ProcentPodatku, 1);
  // Without the banner (payer and registration forms) the room left over
  // stays at the end instead of pulling the labels away from their buttons.
  bar->addStretch();
  column->addWidget(cool);
  column->addSpacing(4);

  splitter_ = new QSplitter(Qt::Horizontal, central);
  splitter_->setHandleWidth(4);
  splitter_->setChildrenCollapsible(false);

  TV = new QTreeWidget(splitter_);
  TV->setObjectName(QStringLiteral("TV"));
  TV->setHeaderHidden(true);
  TV->setColumnCount(1);
  TV->setEditTriggers(QAbstractItemView::NoEditTriggers);
  TV->setSelectionMode(QAbstractItemView::SingleSelection);
  TV->setFont(QFont(QStringLiteral("Tahoma"), 9));
  TV->setMinimumWidth(1);
  // A long name (the payer's UPKD) scrolls sideways instead of being cut.
  TV->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  TV->header()->setStretchLastSection(false);
  QPalette treePalette = TV->palette();
  treePalette.setColor(QPalette::Base, QColor(255, 255, 204));
  TV->setPalette(treePalette);

  rightArea_ = new QStackedWidget(splitter_);
  PWB = new QWidget(rightArea_);
  PWB->setObjectName(QStringLiteral("PWB"));
  auto* pwbLayout = new QVBoxLayout(PWB);
  pwbLayout->setContentsMargins(0, 0, 0, 0);
  WBWelcome = new QTextBrowser(PWB);
  WBWelcome->setObjectName(QStringLiteral("WBWelcome"));
  WBWelcome->setOpenExternalLinks(true);
  WBWelcome->setContextMenuPolicy(Qt::NoContextMenu);
  pwbLayout->addWidget(WBWelcome);
  rightArea_->addWidget(PWB);

  formArea_ = new QWidget(rightArea_);
  auto* formLayout = new QVBoxLayout(formArea_);
  formLayout->setContentsMargins(0, 0, 0, 0);
  formLayout->setSpacing(0);
  FImage = new TFImage(ctx_, formArea_);
  FImage->setObjectName(QStringLiteral("FImage"));
  ListError = new QListWidget(formArea_);
  ListError->setObjectName(QStringLiteral("ListError"));
  // The cut amounts stay listed until given again; the user may put the
  // list away (right click, or Delete in the list).
  auto* dismissCuts = new QAction(QStringLiteral("Ukryj listę obniżonych kwot"), ListError);
  dismissCuts->setObjectName(QStringLiteral("UkryjObnizone"));
  dismissCuts->setShortcut(QKeySequence::Delete);
  dismissCuts->setShortcutContext(Qt::WidgetShortcut);
  ListError->addAction(dismissCuts);
  connect(dismissCuts, &QAction::triggered, this, &TTools::DismissCutAmounts);
  ListError->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(ListError, &QWidget::customContextMenuRequested, this, [this, dismissCuts](const QPoint& at) {
    if (ctx_.Session().Cuts().empty()) return;
    QMenu menu(ListError);
    menu.addAction(dismissCuts);
    menu.exec(ListError->viewport()->mapToGlobal(at));
  });
  ListError->setFont(QFont(QStringLiteral("Tahoma"), 9));
  QPalette listPalette = ListError->palette();
  listPalette.setColor(QPalette::Base, QColor(128, 0, 0));
  listPalette.setColor(QPalette::Text, Qt::white);
  ListError->setPalette(listPalette);
  ListError->setFixedHeight(0);
  formLayout->addWidget(FImage, 1);
  formLayout->addWidget(ListError);
  rightArea_->addWidget(formArea_);
  FImage->SetMessageList(ListError);
  FImage->SetEFilingQuery([this] { return ToolSend->isVisible(); });

  splitter_->addWidget(TV);
  splitter_->addWidget(rightArea_);
  splitter_->setStretchFactor(0, 0);
  splitter_->setStretchFactor(1, 1);
  splitter_->setSizes({209, 800});
  column->addWidget(splitter_, 1);

  RozpocznijPrace = new WelcomePanel(central);
  column->addWidget(RozpocznijPrace);
  setCentralWidget(central);

  connect(RozpocznijPrace, &WelcomePanel::openExistingClicked, this, &TTools::Otw1Click);
  connect(RozpocznijPrace, &WelcomePanel::startWorkClicked, this, &TTools::Nowe1Click);
  WBWelcome->viewport()->installEventFilter(this);

  FOPP = new TFOPP(this);
  PrintHooks printHooks;
  printHooks.commitTyping = [this] { CommitTypedValue(); };
  printHooks.showPrepared = [this](bool calculated) { ShowPreparedValues(calculated); };
  Wydruk = new TWydruk(ctx_, std::move(printHooks), this);

  connect(TV, &QTreeWidget::currentItemChanged, this, &TTools::TVChange);
  connect(Zmiana, &QToolButton::clicked, this, &TTools::ZmianaClick);
  connect(SBZmienIdentyfikator, &QToolButton::clicked, this, &TTools::SBZmienIdentyfikatorClick);
  connect(ZalAdd, &QToolButton::clicked, this, &TTools::ZalAddClick);
  connect(PitPrevPageEnd, &QToolButton::clicked, this, &TTools::PitPrevPageEndClick);
  connect(PitPrevPage, &QToolButton::clicked, this, &TTools::PitPrevPageClick);
  connect(PitNextPage, &QToolButton::clicked, this, &TTools::PitNextPageClick);
  connect(PitNextPageEnd, &QToolButton::clicked, this, &TTools::PitNextPageEndClick);

  connect(FImage, &TFImage::modified, this, &TTools::SetModified);
  connect(FImage, &TFImage::pageShown, this, [this](int page, int pageCount) {
    ctx_.settlement.Current.Page = page;
    UpdatePageButtons(page, pageCount);
  });
  connect(FImage, &TFImage::selectEntryRequested, this, &TTools::SelectEntry);
  connect(FImage, &TFImage::pageChangeRequested, this,
          [this](int page) { ShowPage(ctx_.settlement.Current.IdPit, page, false); });

  // On a narrow screen the tree gives way to the page while the mouse is
  // over the page, and comes back when the mouse returns to it.
  if (screenWidth_ > 0 && screenWidth_ <= 800) {
    TV->installEventFilter(this);
    // A 1-pixel tree is hard to hit; its splitter handle brings it back too.
    splitter_->handle(1)->installEventFilter(this);
    FImage->installEventFilter(this);
  }
}

void TTools::PrepareWorkspace() {
  const platform::Workspace w = platform::WorkspaceIn(platform::DocumentsFolder(), ctx_.taxYear);
  const QString failed = QStringLiteral("Utworzenie folderu: %1 nie powiodło się.");
  if (!platform::FolderExists(w.root) && !platform::CreateFolder(w.root)) TellUser(this, failed.arg(w.root), QMessageBox::Critical);
  if (platform::FolderExists(w.documents) || platform::CreateFolder(w.documents)) {
    ctx_.documentsFolder = S(w.documents);
  } else {
    TellUser(this, failed.arg(w.documents), QMessageBox::Critical);
  }
  if (!platform::FolderExists(w.eDeclarations) && !platform::CreateFolder(w.eDeclarations)) {
    TellUser(this, failed.arg(w.eDeclarations), QMessageBox::Critical);
  }
  ctx_.eDeclarationsFolder = S(w.eDeclarations);
}

void TTools::LoadDictionaries() {
  const std::string bib = ctx_.Folder("bib");
  // Caches in the user's cache folder: an installed program's folder is not the user's.
  const std::string cache = DictionaryCacheFolder(bib);
  TaxOfficeLoad offices = LoadTaxOffices(bib, cache);
  if (!offices.Message.empty()) TellUser(this, Q(offices.Message), QMessageBox::Warning);
  ctx_.offices = std::move(offices.Table);
  CountryLoad countries = LoadCountries(bib, cache);
  if (!countries.Message.empty()) TellUser(this, Q(countries.Message), QMessageBox::Warning);
  ctx_.countries = std::move(countries.Table);
}

// --- show and close ----------------------------------------------------------------

bool TTools::AfterShow(const QStringList& arguments) {
  if (refused_) return false;
  if (platform::ScreenSize().width() < 800) {
    AskUser(this, QMessageBox::Warning, QStringLiteral("Nie można uruchomić programu."),
        QStringLiteral("Rozdzielczość ekranu nie odpowiada wymaganiom programu.\n Minimalna wymagana "
                       "rozdzielczosc 800x600."),
        QMessageBox::Ok);
    showMinimized();
    return false;
  }

  platform::Config(Q(ctx_.configPath)).WriteFirstStartKeys(Q(ctx_.programFolder), Q(ctx_.version));

  const QString file = arguments.value(0);
  if (!file.isEmpty()) {
    // A name that merely contains the extension ("notes.dc2014.txt") is no settlement.
    if (HasSettlementExtension(S(file))) {
      openedFromCommandLine_ = true;
      documents_->OpenFromCommandLine(file);
    } else {
      ctx_.Session().SetModified(false);
      TellUser(this, kNotOurFile + file, QMessageBox::Warning);
      showMinimized();
      return false;
    }
  }
  return CheckRegionalSettings();
}

bool TTools::CheckRegionalSettings() {
  const QChar comma = platform::RegionalSettings::kDecimal;
  const QChar dash = platform::RegionalSettings::kDate;
  startSeparators_ = regional_->Read();
  if (startSeparators_.decimal == comma && startSeparators_.date == dash) return true;
  const bool decimalWritten = regional_->WriteDecimal(comma);
  const bool dateWritten = regional_->WriteDate(dash);
  if (decimalWritten || dateWritten) {
    regionalChanged_ = true;
    return true;
  }
  const platform::Separators now = regional_->Read();
  QString lines;
  if (now.decimal != comma) {
    lines += QStringLiteral(
        "\n - ustawienie separatora dziesiętnego: konieczne jest ustawienie separatora na symbol: ',' (0,00), ");
  }
  if (now.date != dash) {
    lines += QStringLiteral(
        "\n - ustawienie separatora daty: konieczne jest ustawienie separatora na symbol: '-' (0000-00-00), ");
  }
  const QString question =
      QStringLiteral("Program wykrył nieprawidłowe ustawienia regionalne.\n\n Do prawidłowego działania programu "
                     "niezbędna jest zmiana następujących ustawień regionalnych: \n") +
      lines + QStringLiteral("\n\n Możliwa jest automatyczna zmiana tych ustawień. Czy chcesz wprowadzić je teraz?");
  if (AskUser(this, QMessageBox::Warning, QStringLiteral("Nieprawidłowe ustawienia regionalne!"), question,
          QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes) {
    const bool a = regional_->WriteDecimal(comma);
    const bool b = regional_->WriteDate(dash);
    TellUser(this, (a || b) ? QStringLiteral(" Zmiany zakończyły się sukcesem.\n Proszę ponownie uruchomić program.")
                               : QStringLiteral(" Nie można zmienić ustawień - brak uprawnień.\n Zmiana ustawień "
                                                "wymaga uprawnień administratora.\n Proszę skontaktować się z "
                                                "administratorem komputera."),
             (a || b) ? QMessageBox::Information : QMessageBox::Warning);
  }
  return false;
}

void TTools::closeEvent(QCloseEvent* e) {
  if (refused_) {
    e->accept();
    return;
  }
  if (!AskToSave()) {
    e->ignore();
    return;
  }
  if (regionalChanged_) {
    regional_->WriteDecimal(startSeparators_.decimal);
    regional_->WriteDate(startSeparators_.date);
    regionalChanged_ = false;
  }
  FImage->CloseForm();
  platform::TerminateProcessesNamed(Q(ctx_.veltraExecutable));
  // A clean end: what was not saved was given up on purpose.
  recovery_->Discard();
  e->accept();
}

bool TTools::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Enter) {
    if (watched == WBWelcome->viewport()) {
      RozpocznijPrace->HideTwins();
    } else if (watched == TV || watched == splitter_->handle(1)) {
      splitter_->setSizes({135, splitter_->width() - 135});
    } else if (watched == FImage) {
      splitter_->setSizes({1, splitter_->width() - 1});
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

// --- the tree and the page ------------------------------------------------------------

void TTools::RebuildTree() {
  Settlement& s = ctx_.settlement;
  rebuilding_ = true;
  {
    const QSignalBlocker block(TV);
    TV->clear();
    if (s.IsOpen()) s.RebuildTree(*ctx_.defs);
    std::vector<QTreeWidgetItem*> expand;
    std::function<QTreeWidgetItem*(const TreeNode&)> make = [&](const TreeNode& node) {
      auto* item = new QTreeWidgetItem(QStringList(Q(node.Text)));
      item->setData(0, Qt::UserRole, node.Entry);
      item->setIcon(0, FormIcon(node.Image));
      if (node.Bold) {
        QFont f = TV->font();
        f.setBold(true);
        item->setFont(0, f);
      }
      for (const TreeNode& child : node.Children) item->addChild(make(child));
      if (node.Expanded || !node.Children.empty()) expand.push_back(item);
      return item;
    };
    for (const TreeNode& node : s.Tree()) TV->addTopLevelItem(make(node));
    for (QTreeWidgetItem* item : expand) item->setExpanded(true);
  }
  rebuilding_ = false;
  UpdateCommands();
}

QTreeWidgetItem* TTools::ItemOfEntry(int number) const {
  for (QTreeWidgetItemIterator it(TV); *it; ++it) {
    if ((*it)->data(0, Qt::UserRole).toInt() == number) return *it;
  }
  return nullptr;
}

void TTools::TVChange() { SelectItem(TV->currentItem()); }

void TTools::SelectEntry(int number) {
  QTreeWidgetItem* item = ItemOfEntry(number);
  {
    const QSignalBlocker block(TV);
    TV->setCurrentItem(item);
  }
  SelectItem(item);
}

void TTools::GoToField(int entry, int field) {
  Settlement& s = ctx_.settlement;
  if (!s.Has(entry) || !FormCatalogue::IsValid(s.Entry(entry).IdPit)) return;
  const std::vector<FieldObject>* fields = ctx_.defs->Fields(s.Entry(entry).IdPit);
  if (fields == nullptr || field < 0 || field >= static_cast<int>(fields->size())) return;
  FImage->CommitOpenEditor();
  if (s.Current.Number != entry) SelectEntry(entry);
  if (s.Current.Number != entry) return;
  const int page = (*fields)[static_cast<std::size_t>(field)].Page;
  if (s.Current.Page != page) TurnPage(page);
  FImage->OpenField(field);
}

void TTools::SelectItem(QTreeWidgetItem* item) {
  CollapseMessages();
  if (rebuilding_) return;
  Settlement& s = ctx_.settlement;
  CurrentEntryState& c = s.Current;
  const int number = item ? item->data(0, Qt::UserRole).toInt() : 0;
  if (!s.Has(number) || !FormCatalogue::IsValid(s.Entry(number).IdPit)) {
    c = CurrentEntryState{};
    return;
  }
  const FormEntry& e = s.Entry(number);
  const FormTypeInfo& type = s.Catalogue()[e.IdPit];
  ctx_.Session().MakeCurrent(number, type.LastPage);
  commands_.multiCopy = type.MultiCopy;
  QString caption = QStringLiteral("Druk: ") + Q(type.Code);
  if (e.PM == kPmTaxpayer) caption += QStringLiteral(" (Podatnika)");
  if (e.PM == kPmSpouse) caption += QStringLiteral(" (Małżonka)");
  InfoPit->setText(caption);
  UpdatePageButtons(c.Page, c.PageCount);
  ShowPage(e.IdPit, type.LastPage, false);
}

void TTools::ShowPage(int idPit, int page, bool refresh) {
  Settlement& s = ctx_.settlement;
  CurrentEntryState& c = s.Current;
  if (!FormCatalogue::IsValid(idPit)) return;
  const int pageCount = ctx_.Session().PageCountOf(idPit);
  c.PageCount = pageCount;
  bool shown = false;
  if (pageCount <= 0) {
    FImage->CloseForm();
    rightArea_->setCurrentWidget(formArea_);
  } else if (ctx_.defs->HasPage(idPit, page)) {
    c.Page = page;
    rightArea_->setCurrentWidget(formArea_);
    if (s.Count() > 0) s.Kind = s.Entry(1).Kind;
    c.Kind = s.Kind;
    commands_.eFilingSeparatorVisible = s.Kind < kRegistrationForms;
    FImage->ShowPage(idPit, page, refresh);
    UpdatePageButtons(page, pageCount);
    shown = true;
  } else {
    // The entry stays in the tree; only its display is empty.
    FImage->CloseForm();
    rightArea_->setCurrentWidget(formArea_);
    TellUser(this, QStringLiteral("Brak wymaganych plików: \n") + Q(ctx_.defs->DcsPath(idPit)) + QStringLiteral("\n") +
                 Q(ctx_.defs->DcgPath(idPit, page)),
             QMessageBox::Critical);
  }
  SetDocumentCommands(true);
  SetPageCommands(shown);
  if (page > 0) s.Catalogue().Row(idPit).LastPage = page;
}

void TTools::UpdatePageButtons(int page, int pageCount) {
  commands_.page = page;
  commands_.pageCount = pageCount;
  UpdateCommands();
}

void TTools::TurnPage(int page) {
  // A value typed on the page that goes away is kept: the open editor is
  // committed as a click beside the fields would commit it.
  FImage->CommitOpenEditor();
  ShowPage(ctx_.settlement.Current.IdPit, page, false);
}

void TTools::PitNextPageClick() {
  const CurrentEntryState& c = ctx_.settlement.Current;
  if (FImage->PictureLoaded() && c.Page < c.PageCount) TurnPage(c.Page + 1);
}

void TTools::PitPrevPageClick() {
  const CurrentEntryState& c = ctx_.settlement.Current;
  if (FImage->PictureLoaded() && c.Page > 1) TurnPage(c.Page - 1);
}

void TTools::PitPrevPageEndClick() {
  const CurrentEntryState& c = ctx_.settlement.Current;
  if (c.Number > 0) TurnPage(1);
}

void TTools::PitNextPageEndClick() {
  const CurrentEntryState& c = ctx_.settlement.Current;
  if (c.Number > 0) TurnPage(c.PageCount);
}

void TTools::UpdateCommands() {
  const Settlement& s = ctx_.settlement;
  const CommandState& c = commands_;
  // The document commands: on while a form is shown. Printing and the
  // import need its page; until the page is drawn the shown form's commands
  // print nothing.
  MenuSave->setEnabled(c.formShown);
  MenuSaveAs->setEnabled(c.formShown);
  ToolPrint->setEnabled(c.formShown && c.pageShown);
  MenuPrint->setEnabled(c.formShown && c.pageShown);
  MenuImport->setEnabled(c.pageShown);
  ToolImport->setEnabled(c.pageShown);
  ToolSave->setEnabled(s.DocumentModified);

  ToolCheck->setVisible(c.eFilingVisible);
  ToolCheck->setEnabled(c.formShown);
  ToolSend->setVisible(c.eFilingVisible);
  ToolSend->setEnabled(c.sendEnabled);
  ToolOpenVeltra->setEnabled(c.openVeltraEnabled);
  EFilingSeparator->setVisible(c.eFilingSeparatorVisible);
  if (MenuUndo != nullptr) MenuUndo->setEnabled(c.canUndo);
  if (MenuRedo != nullptr) MenuRedo->setEnabled(c.canRedo);

  Zmiana->setVisible(s.IsOpen());
  SBZmienIdentyfikator->setVisible(s.IsOpen());
  ZalAdd->setVisible(c.multiCopy);
  Strona->setVisible(c.formShown);
  InfoPit->setVisible(c.formShown);
  Powiekszenie->setVisible(c.formShown);
  for (QToolButton* b : {PitPrevPageEnd, PitPrevPage, PitNextPage, PitNextPageEnd}) b->setVisible(c.formShown);
  PitNextPage->setEnabled(c.page < c.pageCount);
  PitNextPageEnd->setEnabled(c.page < c.pageCount);
  PitPrevPage->setEnabled(c.page > 1);
  PitPrevPageEnd->setEnabled(c.page > 1);
  if (c.formShown || c.pageCount > 0) {
    InfoPage->setText(QStringLiteral("%1 z %2").arg(c.page).arg(c.pageCount));
  } else {
    InfoPage->clear();
  }
  ProcentPodatku->setVisible(c.formShown && s.Kind < kPayerForms);
}

void TTools::SetDocumentCommands(bool on) {
  commands_.formShown = on;
  if (!on) {
    commands_.page = 0;
    commands_.pageCount = 0;
  }
  UpdateCommands();
}

void TTools::SetPageCommands(bool on) {
  commands_.pageShown = on;
  UpdateCommands();
}

void TTools::SetHistoryCommands(bool canUndo, bool canRedo) {
  commands_.canUndo = canUndo;
  commands_.canRedo = canRedo;
  UpdateCommands();
}

void TTools::SetEFilingCommands(bool visible, bool enabled) {
  commands_.eFilingVisible = visible;
  commands_.sendEnabled = enabled;
  commands_.openVeltraEnabled = enabled;
  UpdateCommands();
}

void TTools::ShowWelcome(bool on) {
  RozpocznijPrace->setVisible(on);
  rightArea_->setCurrentWidget(on ? PWB : formArea_);
}

void TTools::CollapseMessages() { FImage->SetMessageListHeight(MessageListHeight::Hidden); }

void TTools::UpdateCaption() {
  const Settlement& s = ctx_.settlement;
  setWindowTitle((s.IsOpen() ? Q(s.DocumentName) : QString::fromUtf8(kNoCaptionDocument)) + captionTail_);
}

// --- the settlement ---------------------------------------------------------------------

void TTools::SetModified() {
  ctx_.Session().SetModified(true);
  if (recovery_ != nullptr) recovery_->Changed();
}

void TTools::ClearSettlement() {
  {
    const QSignalBlocker block(TV);
    TV->clear();
  }
  FImage->CloseForm();
  ctx_.settlement.Clear();
  commands_.multiCopy = false;
  UpdateCommands();
}

void TTools::ZalAddClick() {
  Settlement& s = ctx_.settlement;
  const int current = s.Current.Number;
  if (current <= 0 || !s.Has(current) || s.Entry(current).Id <= 0) return;
  const int added = s.AddCopy(current, *ctx_.defs);
  if (added < 0) return;
  RebuildTree();
  DistributeIdentificationTo(s, ctx_.ids, added);
  SelectEntry(added);
  SetModified();
}

void TTools::CommitTypedValue() {
  if (FImage == nullptr || FImage->EditedObject() < 0) return;
  FImage->CommitOpenEditor();
  FImage->Recalculate();
}

void TTools::ShowPreparedValues(bool calculated) {
  if (FImage == nullptr || !FImage->PictureLoaded()) return;
  if (calculated) {
    FImage->Recalculate();
  } else {
    FImage->DrawValues();
  }
}

bool TTools::AskToSave() { return documents_->AskToSave(); }

bool TTools::SaveDocument(const QString& path) { return documents_->Save(path); }

bool TTools::LoadDocument(const QString& path) { return documents_->Load(path); }

void TTools::OpenHandedOver(const QString& path) { documents_->OpenHandedOver(path); }

void TTools::DismissCutAmounts() {
  if (ctx_.Session().Cuts().empty()) return;
  ctx_.Session().DismissCuts();
  // The list made again as the calculation makes it: the notice without the lines.
  if (FImage->PictureLoaded()) FImage->Recalculate();
}

void TTools::OfferRecovery() { documents_->OfferRecovery(*recovery_); }

void TTools::ShowStatusNote(const QString& text) {
  statusBar()->show();
  statusBar()->showMessage(text);
}

// --- commands -----------------------------------------------------------------------------

MainWindowHooks TTools::SelectionHooks() {
  MainWindowHooks hooks;
  hooks.askToSave = [this] { return AskToSave(); };
  hooks.openHelp = [this] { FPomoc->OpenAt(); };
  hooks.settlementChanged = [this] { RebuildTree(); };
  hooks.resetForNew = [this](int kind) {
    setWindowTitle(QString::fromUtf8(kNoCaptionDocument) + captionTail_);
    FImage->CloseForm();
    CollapseMessages();
    {
      const QSignalBlocker block(TV);
      TV->clear();
    }
    RozpocznijPrace->hide();
    rightArea_->setCurrentWidget(formArea_);
    if (kind == kIndividual || kind == kRegistrationForms) commands_.sendEnabled = false;
    if (kind == kRegistrationForms) commands_.openVeltraEnabled = false;
    commands_.pageShown = false;
    SetDocumentCommands(false);
  };
  return hooks;
}

void TTools::ApplySelection(bool confirmed, const SelectionOutcome& outcome) {
  if (confirmed) {
    RebuildTree();
    SetModified();
    SetEFilingCommands(outcome.eFilingVisible, outcome.eFilingEnabled);
    UpdateCaption();
    if (outcome.firstEntry != 0) SelectEntry(outcome.firstEntry);
    commands_.eFilingSeparatorVisible = outcome.eFilingSeparatorVisible;
    UpdateCommands();
  } else if (outcome.keptOpen) {
    documents_->ShowAgain();
  } else if (outcome.backToIdle) {
    ReturnToIdle();
  }
}

void TTools::ReturnToIdle() {
  ctx_.Session().SetModified(false);
  ClearSettlement();
  UpdateCaption();
  CollapseMessages();
  ShowWelcome(true);
  commands_.pageShown = false;
  commands_.sendEnabled = false;
  commands_.openVeltraEnabled = true;
  SetDocumentCommands(false);
}

void TTools::Nowe1Click() {
  SelectionOutcome outcome;
  const bool confirmed = StartNewSettlement(ctx_, this, &outcome, SelectionHooks());
  ApplySelection(confirmed, outcome);
}

void TTools::ZmianaClick() {
  SelectionOutcome outcome;
  const bool confirmed = ReopenSelection(ctx_, this, false, &outcome, SelectionHooks());
  ApplySelection(confirmed, outcome);
}

void TTools::SBZmienIdentyfikatorClick() {
  SelectionOutcome outcome;
  const bool confirmed = ReopenSelection(ctx_, this, true, &outcome, SelectionHooks());
  ApplySelection(confirmed, outcome);
}

void TTools::Otw1Click() { documents_->Open(false); }

void TTools::ToolButton2Click() { documents_->Open(true); }

void TTools::Zapisz1Click() { SaveDocument(Q(ctx_.settlement.DocumentPath)); }

void TTools::Zapiszjako1Click() { SaveDocument(QString()); }

void TTools::Zamknij1Click() { documents_->Close(); }

void TTools::Zamknijprogram1Click() {
  // The persons' data go only once the close is certain: Cancel in the save
  // question keeps the settlement, and the next calculation needs them.
  if (close()) ctx_.ids.Clear();
}

void TTools::Kalkulator1Click() {
  if (!platform::StartCalculator()) {
    TellUser(this, QStringLiteral("Nie znaleziono kalkulatora. Zainstaluj np. program gnome-calculator, "
                                     "galculator lub xcalc."),
             QMessageBox::Warning);
  }
}

void TTools::N8Click() { FOPP->exec(); }

void TTools::BWydrukClick() { Wydruk->exec(); }

void TTools::Drukuj2Click() {
  if (ToolPrint->isEnabled()) BWydrukClick();
}

void TTools::PrzeniesDaneMenuClick() {
  TFImportDane window(ctx_, this);
  window.changeIdentifiers = [this] {
    SelectionOutcome outcome;
    const bool confirmed = ReopenSelection(ctx_, this, false, &outcome, SelectionHooks());
    ApplySelection(confirmed, outcome);
    return confirmed;
  };
  window.imported = [this] {
    SetModified();
    const CurrentEntryState& c = ctx_.settlement.Current;
    if (ctx_.settlement.Has(c.Number)) ShowPage(c.IdPit, c.Page, false);
  };
  window.exec();
}

void TTools::Informacjaoprogramie2Click() {
  TInfo info(Q(ctx_.configPath), Q(ctx_.version), this);
  info.exec();
}

}  // namespace pit::ui
