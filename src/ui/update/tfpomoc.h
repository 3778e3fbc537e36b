#pragma once
// The help window "Pomocne informacje": topic links on the left, the help
// pages of the folder "Pomoc" on the right, with back, home, forward and
// print. Created once by the main window; closing only hides it. Every
// showing starts on the page about choosing NIP or PESEL.
#include <QUrl>
#include <QWidget>
#include <QString>
#include <functional>
#include <vector>

class QLabel;
class QPrinter;
class QTextBrowser;
class QToolBar;
class QAction;
class QWidget;

namespace pit::ui {

class TFPomoc : public QWidget {
  Q_OBJECT

 public:
  static constexpr const char* kStartPage = "ncp.html";

  // `helpFolder`: the program folder + "/Pomoc".
  explicit TFPomoc(const QString& helpFolder, QWidget* parent = nullptr);

  // The help commands: shows the window (at the start page), or only brings
  // it forward when it is already open.
  void ShowHelp();
  // Shows the window at `page` whether or not it was open: the identifier
  // pictures of the selection screen and of the wizard open it this way on
  // the start page, and a caller may name another page. Works also from
  // inside a modal window, whose input it does not block.
  void OpenAt(const QString& page = QString::fromLatin1(kStartPage));

  // The page file shown ("ncp.html"); empty when none.
  QString CurrentPage() const;
  // The address of a page of the help folder.
  QUrl PageUrl(const QString& page) const;

  // How "Drukuj" asks for the printer; by default the print dialog. False:
  // the user cancelled and nothing is printed.
  std::function<bool(QPrinter&)> askPrinter;

  // --- controls -----------------------------------------------------------------
  QToolBar* ToolBar1 = nullptr;
  QWidget* TBLeft = nullptr;
  QAction* TBPrev = nullptr;
  QAction* TBHome = nullptr;
  QAction* TBNext = nullptr;
  QAction* TBPrint = nullptr;
  QWidget* PanelLeft = nullptr;
  QWidget* PRight = nullptr;
  QTextBrowser* WBHelp = nullptr;

  struct Topic {
    const char* name;
    const char* caption;
    const char* page;
  };
  // The topics from top to bottom; the last one is not shown.
  static const std::vector<Topic>& Topics();
  // The label of a topic by its name; nullptr for an unknown name.
  QLabel* TopicLabel(const QString& name) const;

 public slots:
  void TBPrevClick();
  void TBHomeClick();
  void TBNextClick();
  void TBPrintClick();
  void WyborIdentyfikatoraPodatkowegoClick();
  void KosztyUzyskaniaPrzychodowClick();
  void DlakogoijakiekosztyClick();
  void SkalaPodatkowaClick();
  void OdliczeniaOdDochoduClick();
  void OdliczeniaOdPodatkuClick();
  void UlganadzieciwrozliczeniachClick();
  void WyborSposobuRozliczaniaClick();
  void RozliczenieWPolsceDochodowZagranicznychClick();
  void AktualizowanieDanychPodatkowychClick();
  void JakZlozycZeznaniePrzezInternetClick();

 protected:
  void showEvent(QShowEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Navigate(const QString& page);
  void TopicClick(int index);
  // Lets the window take input while a modal window is open.
  void FollowModalWindow();

  QString folder_;
  std::vector<QLabel*> topicLabels_;
};

}  // namespace pit::ui
