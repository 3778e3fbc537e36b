#pragma once
// The on-line update check and its window "Aktualizacja on-line programu PIT":
// the descriptor "update.ini" is fetched from the update server into a
// folder of the user's own, its version compared with the program's, and on
// the user's consent the installer is downloaded into the same folder with
// its progress shown here, checked against the descriptor's SHA256 (a
// descriptor without one offers nothing) and opened.
#include <QDialog>
#include <functional>

class QCheckBox;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace pit::platform {
class HttpGet;
}

namespace pit::ui {

struct AppContext;

class TAktualizacja : public QDialog {
  Q_OBJECT

 public:
  explicit TAktualizacja(AppContext& ctx, QWidget* parent = nullptr);
  ~TAktualizacja() override;

  // "Aktualizacja" and "Sprawdź, czy jest nowsza wersja programu" (interactive)
  // and the check at start-up (not interactive: only an offered update is
  // shown, never a failure or "the newest version").
  void CheckForUpdate(bool interactive);
  // The start-up check, when the configuration's "AutoUpdate" is true.
  void StartUpCheck();

  // The steps of a check, for the handlers above.
  bool FetchDescriptor(bool interactive);
  void Check(bool interactive);

  // The folder of the user's own the update check works in, and in it
  // "update.ini" and the installer under a name of the program's choosing.
  QString UpdateFolder() const;
  QString DescriptorPath() const;
  QString InstallerPath(const std::string& descriptorFile) const;

  // The largest descriptor and installer taken from the server.
  static constexpr qint64 kMaxDescriptorBytes = 64 * 1024;
  qint64 maxInstallerBytes = 256LL * 1024 * 1024;
  // When a transfer counts as stalled (see HttpGet::SetStallRule).
  void SetStallRule(int periodMs, qint64 minBytes);

  // Whether the machine is connected; by default what the system reports.
  std::function<bool()> isConnected;
  // Opens the downloaded installer; by default with the desktop's handler.
  std::function<bool(const QString& path)> openInstaller;
  // Ends the program after the installer was opened; by default closes the
  // main window, which asks about unsaved changes first.
  std::function<void()> endApplication;

  // --- controls -------------------------------------------------------------------
  QListWidget* ListBox1 = nullptr;
  QProgressBar* ProgressHTTP = nullptr;
  QCheckBox* AutoInstall = nullptr;
  QPushButton* Instaluj = nullptr;
  QPushButton* Anuluj = nullptr;

 public slots:
  void InstalujClick();
  void AnulujClick();

 protected:
  void reject() override;

 private:
  void Download(const QString& url, const QString& target, const QString& sha256);
  void Install(const QString& target);
  void Tell(const QString& text, bool warning = false);

  AppContext& ctx_;
  platform::HttpGet* http_ = nullptr;
  bool busy_ = false;
};

}  // namespace pit::ui
