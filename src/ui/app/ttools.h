#pragma once
// The main window: menus and tool bars with the document commands, the tree
// of forms, the bar with the current form's name and page buttons, the form
// window, the message list and, while no settlement is open, the welcome
// area. It owns the settlement (through AppContext) and the document state,
// and runs the program's start-up and end.
#include <QMainWindow>
#include <QStringList>
#include <memory>

#include "platform/regional.h"
#include "platform/single_instance.h"
#include "ui/app/app_texts.h"

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QMenuBar;
class QSplitter;
class QStackedWidget;
class QTextBrowser;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace pit::ui {

struct AppContext;
class TFImage;
class TFOPP;
class TFPomoc;
class TAktualizacja;
class TWydruk;
class DocumentController;
class RecoveryCopy;
class FormDesigner;
class WelcomePanel;
struct MainWindowHooks;
struct SelectionOutcome;

class TTools : public QMainWindow {
  Q_OBJECT

 public:
  // The creation handler: single-instance guard, captions, workspace
  // folders, dictionaries. `lockPath` empty means the user's default guard.
  explicit TTools(AppContext& ctx, const QString& lockPath = QString(), QWidget* parent = nullptr);
  ~TTools() override;

  // Another copy was running: the program ends without showing this window.
  bool Refused() const { return refused_; }
  // The show handler (after the window is shown): screen check, first start,
  // the file named on the command line, regional settings. False when the
  // program has to end.
  bool AfterShow(const QStringList& arguments);
  // `pit2014 --designer [DIR]`: ToolDesigner is shown and switches to designer
  // mode over the definition folder DIR (designer_mode.cpp).
  void EnableDesignerMode(const QString& dcDir, const QString& tmpDir);
  FormDesigner* Designer() const { return designer_; }
  // The layer that reads and writes the separators (before AfterShow): the
  // process's own by default, whose writes always succeed.
  void UseRegionalSettings(std::unique_ptr<platform::RegionalSettings> layer) { regional_ = std::move(layer); }

  // --- the document, for other windows (DocumentController does the work) -----
  // Saves to `path`, asking for a name when it is empty or the file is gone.
  // False when the user cancelled or the file could not be written.
  bool SaveDocument(const QString& path);
  // Replaces the settlement by the file's; false (with the message) when the
  // file is missing or unreadable.
  bool LoadDocument(const QString& path);
  // A file that a second start of the program handed over.
  void OpenHandedOver(const QString& path);
  // A copy of unsaved changes left by a run that did not end cleanly is
  // offered back ("Przywróć" / "Odrzuć"); called once the window is up.
  void OfferRecovery();
  RecoveryCopy* Recovery() const { return recovery_; }
  // The list of amounts the calculations cut, put away until the next cut.
  void DismissCutAmounts();
  // A passing note in the status bar (shown for the note).
  void ShowStatusNote(const QString& text);
  // The save question when the settlement is modified. True: go on (saved,
  // or the user chose not to save). False: stop (Cancel, or the save asked
  // for did not happen; "Anuluj" and Esc).
  bool AskToSave();
  // Commits the field being edited, if any, and shows the result.
  void CommitTypedValue();
  // After the settlement was brought up to date for an output: the form
  // shown with the values that changed behind it, its calculation run
  // again when every calculation went through (else only drawn again, so
  // that a failure is told once).
  void ShowPreparedValues(bool calculated);
  // Rebuilds the settlement's tree and the tree view from it.
  void RebuildTree();
  // Makes entry `number` current and shows its page, as a click in the tree.
  void SelectEntry(int number);
  // The entry's form shown at the page of field `field`, the field opened.
  void GoToField(int entry, int field);
  // A field edit, a change of forms or an added copy.
  void SetModified();
  // What "Cofnij" and "Ponów" can do now (UndoCommands follows the history).
  void SetHistoryCommands(bool canUndo, bool canRedo);
  // Empties the settlement and the screen (no settlement open).
  void ClearSettlement();
  QString CaptionTail() const { return captionTail_; }
  // The settlement came from the command line (the selection screen then
  // starts on its first entry).
  bool OpenedFromCommandLine() const { return openedFromCommandLine_; }
  AppContext& Context() { return ctx_; }
  TFImage* Form() const { return FImage; }

  // --- controls (names as the users' manual calls them) ----------------------
  QMenuBar* MenuKlienta = nullptr;
  QToolBar* ToolBarKlienta = nullptr;
  QToolBar* CoolBar = nullptr;
  QTreeWidget* TV = nullptr;
  QListWidget* ListError = nullptr;
  WelcomePanel* RozpocznijPrace = nullptr;
  QWidget* PWB = nullptr;
  QTextBrowser* WBWelcome = nullptr;
  TFImage* FImage = nullptr;
  TFOPP* FOPP = nullptr;
  TFPomoc* FPomoc = nullptr;  // help window, made once
  TAktualizacja* FAktualizacja = nullptr;  // update check and its window
  TWydruk* Wydruk = nullptr;  // "Parametry wydruku"

  // Menu items.
  QAction* MenuNew = nullptr;
  QAction* MenuOpen = nullptr;
  QAction* MenuClose = nullptr;
  QAction* MenuSave = nullptr;
  QAction* MenuSaveAs = nullptr;
  QAction* MenuPrint = nullptr;
  QAction* MenuImport = nullptr;
  QAction* MenuQuit = nullptr;
  QAction* MenuOrganisations = nullptr;  // "Wykaz OPP"
  QAction* MenuHelp = nullptr;
  QAction* MenuCalculator = nullptr;
  QAction* MenuUpdateCheck = nullptr;  // "Aktualizacja"
  QAction* MenuAbout = nullptr;
  QAction* MenuForum = nullptr;
  QAction* MenuProductPage = nullptr;
  QAction* MenuUndo = nullptr;  // "Edycja" > "Cofnij", made by UndoCommands
  QAction* MenuRedo = nullptr;  // "Edycja" > "Ponów"

  // Tool bar buttons.
  QAction* ToolNew = nullptr;
  QAction* ToolOpen = nullptr;
  QAction* ToolSave = nullptr;
  QAction* ToolPrint = nullptr;
  QAction* ToolImport = nullptr;
  QAction* ToolCheck = nullptr;
  QAction* EFilingSeparator = nullptr;
  QAction* ToolSend = nullptr;
  QAction* ToolOpenVeltra = nullptr;
  QAction* ToolHelp = nullptr;
  QAction* ToolCalculator = nullptr;
  QAction* ToolUpdateCheck = nullptr;
  QAction* ToolDesigner = nullptr;  // designer switch, never shown to users

  // The bar under the tool bar.
  QToolButton* Zmiana = nullptr;
  QToolButton* SBZmienIdentyfikator = nullptr;
  QToolButton* ZalAdd = nullptr;
  QLabel* InfoPit = nullptr;
  QLabel* Strona = nullptr;
  QToolButton* PitPrevPageEnd = nullptr;
  QToolButton* PitPrevPage = nullptr;
  QLabel* InfoPage = nullptr;
  // The page's zoom in percent of its printed width (800 pixels).
  QLabel* Powiekszenie = nullptr;
  QToolButton* PitNextPage = nullptr;
  QToolButton* PitNextPageEnd = nullptr;
  QLabel* ProcentPodatku = nullptr;

 public slots:
  void Nowe1Click();
  void ZmianaClick();
  void SBZmienIdentyfikatorClick();
  void Otw1Click();
  void ToolButton2Click();
  void Zapisz1Click();
  void Zapiszjako1Click();
  void Zamknij1Click();
  void Zamknijprogram1Click();
  void Kalkulator1Click();
  void N8Click();
  void BWydrukClick();
  void Drukuj2Click();
  void Informacjaoprogramie2Click();
  void ZalAddClick();
  void PrzeniesDaneMenuClick();  // "Pobierz dane identyfikacyjne"
  void PitPrevPageEndClick();
  void PitPrevPageClick();
  void PitNextPageClick();
  void PitNextPageEndClick();
  void TVChange();

 protected:
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  friend class DocumentController;
  void BuildMenus();
  void BuildToolBars();
  void BuildCentralArea();
  void PrepareWorkspace();
  void LoadDictionaries();
  bool CheckRegionalSettings();

  // Showing the current entry's page: the main window's half of it (the
  // form window draws), with the enabling of the commands around it.
  void ShowPage(int idPit, int page, bool refresh);
  // The page buttons: page `page` of the current entry.
  void TurnPage(int page);
  void SelectItem(QTreeWidgetItem* item);
  QTreeWidgetItem* ItemOfEntry(int number) const;
  // What the enabled and shown state of the commands is made from besides
  // the settlement itself (its kind, whether it is open or modified). The
  // window's notifications change it; UpdateCommands is the one place that
  // puts it on the menus, tool bar and page bar.
  struct CommandState {
    bool formShown = false;  // an entry is selected: the document commands
    bool pageShown = false;  // its page is drawn: printing and the import
    bool multiCopy = false;  // the form shown takes further copies
    int page = 0;
    int pageCount = 0;
    // The e-filing buttons, as the kind of the settlement and the forms in
    // it allow them.
    bool eFilingVisible = true;
    bool sendEnabled = false;
    bool openVeltraEnabled = true;
    bool eFilingSeparatorVisible = true;
    // "Cofnij" and "Ponów": the history, and typing not committed yet
    // (which "Cofnij" gives up first).
    bool canUndo = false;
    bool canRedo = false;
  };
  void UpdateCommands();
  void SetDocumentCommands(bool on);
  void SetPageCommands(bool on);
  // The e-filing buttons after a settlement was opened or shown again.
  void SetEFilingCommands(bool visible, bool enabled);
  void ShowWelcome(bool on);
  // No settlement: the state right after start-up.
  void ReturnToIdle();
  // What the selection windows need from this window, and what it does
  // with their outcome.
  MainWindowHooks SelectionHooks();
  void ApplySelection(bool confirmed, const SelectionOutcome& outcome);
  void CollapseMessages();
  void UpdateCaption();
  void UpdatePageButtons(int page, int pageCount);

  AppContext& ctx_;
  platform::SingleInstance instance_;
  std::unique_ptr<platform::RegionalSettings> regional_;
  platform::Separators startSeparators_;
  bool regionalChanged_ = false;
  bool refused_ = false;
  bool rebuilding_ = false;
  bool openedFromCommandLine_ = false;
  int screenWidth_ = 0;
  QString captionTail_;
  CommandState commands_;

  QSplitter* splitter_ = nullptr;
  QStackedWidget* rightArea_ = nullptr;
  QWidget* formArea_ = nullptr;
  DocumentController* documents_ = nullptr;
  RecoveryCopy* recovery_ = nullptr;
  // Designer mode, only with --designer.
  void EnterDesignerMode();
  void LeaveDesignerMode();
  FormDesigner* designer_ = nullptr;
  QWidget* beforeDesigner_ = nullptr;
  QString designerDir_, designerTmp_;
};

}  // namespace pit::ui
