#include "ui/update/taktualizacja.h"

#include "ui/app/message_boxes.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCryptographicHash>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QRegularExpression>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>
#include <climits>

#include "platform/config.h"
#include "platform/folders.h"
#include "platform/http_get.h"
#include "platform/launch.h"
#include "ui/app/app_context.h"
#include "update/update_descriptor.h"

namespace pit::ui {

namespace {

const QString kTitle = QStringLiteral("Aktualizacja on-line");

QString Q(const std::string& s) { return QString::fromStdString(s); }

int Box(QWidget* parent, QMessageBox::Icon icon, const QString& text, QMessageBox::StandardButtons buttons) {
  QMessageBox box(icon, kTitle, text, buttons, parent);
  box.setWindowFlag(Qt::WindowStaysOnTopHint);
  const std::pair<QMessageBox::StandardButton, const char*> labels[] = {
      {QMessageBox::Yes, "&Tak"}, {QMessageBox::No, "&Nie"}, {QMessageBox::Ok, "OK"}};
  for (const auto& [button, label] : labels)
    if (QAbstractButton* b = box.button(button)) b->setText(QString::fromUtf8(label));
  KeepLines(box);
  return box.exec();
}

}  // namespace

TAktualizacja::TAktualizacja(AppContext& ctx, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      ctx_(ctx),
      http_(new platform::HttpGet(this)) {
  setObjectName(QStringLiteral("Aktualizacja"));
  setWindowTitle(QStringLiteral("Aktualizacja on-line programu PIT"));
  auto* column = new QVBoxLayout(this);
  ListBox1 = new QListWidget(this);
  ListBox1->setObjectName(QStringLiteral("ListBox1"));
  ProgressHTTP = new QProgressBar(this);
  ProgressHTTP->setObjectName(QStringLiteral("ProgressHTTP"));
  ProgressHTTP->setTextVisible(false);
  AutoInstall = new QCheckBox(QStringLiteral("Uruchom aktualizacje automatycznie"), this);
  AutoInstall->setObjectName(QStringLiteral("AutoInstall"));
  AutoInstall->setChecked(true);
  Instaluj = new QPushButton(QStringLiteral("Instaluj"), this);
  Instaluj->setObjectName(QStringLiteral("Instaluj"));
  Instaluj->setEnabled(false);
  Anuluj = new QPushButton(QStringLiteral("Anuluj"), this);
  Anuluj->setObjectName(QStringLiteral("Anuluj"));
  column->addWidget(ListBox1, 1);
  column->addWidget(ProgressHTTP);
  auto* buttons = new QHBoxLayout();
  buttons->addWidget(AutoInstall);
  buttons->addStretch(1);
  buttons->addWidget(Instaluj);
  buttons->addWidget(Anuluj);
  column->addLayout(buttons);
  resize(420, 260);
  connect(Instaluj, &QPushButton::clicked, this, &TAktualizacja::InstalujClick);
  connect(Anuluj, &QPushButton::clicked, this, &TAktualizacja::AnulujClick);

  isConnected = [] { return platform::InternetConnected(); };
  openInstaller = [](const QString& path) { return platform::OpenAddress(path); };
  endApplication = [this] {
    if (QWidget* main = parentWidget()) main->window()->close();
  };
}

TAktualizacja::~TAktualizacja() = default;

QString TAktualizacja::UpdateFolder() const {
  return ctx_.updateFolder.empty() ? platform::UpdateDownloadFolder() : Q(ctx_.updateFolder);
}

QString TAktualizacja::DescriptorPath() const {
  return UpdateFolder() + QLatin1Char('/') + QLatin1String(kUpdateDescriptorName);
}

QString TAktualizacja::InstallerPath(const std::string& descriptorFile) const {
  // The server's name only lends its extension, which tells the desktop how
  // to open the file; whatever it says, nothing else is written over.
  const QString suffix = QFileInfo(Q(descriptorFile)).suffix();
  static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9]{1,8}$"));
  QString name = QStringLiteral("pit2014_aktualizacja");
  if (plain.match(suffix).hasMatch() && suffix.compare(QLatin1String("ini"), Qt::CaseInsensitive) != 0)
    name += QLatin1Char('.') + suffix;
  return UpdateFolder() + QLatin1Char('/') + name;
}

void TAktualizacja::SetStallRule(int periodMs, qint64 minBytes) { http_->SetStallRule(periodMs, minBytes); }

void TAktualizacja::Tell(const QString& text, bool warning) {
  Box(isVisible() ? static_cast<QWidget*>(this) : parentWidget(), warning ? QMessageBox::Warning
                                                                          : QMessageBox::Information,
      text, QMessageBox::Ok);
}

void TAktualizacja::StartUpCheck() {
  if (platform::Config(Q(ctx_.configPath)).AutoUpdate()) CheckForUpdate(false);
}

void TAktualizacja::CheckForUpdate(bool interactive) {
  // A second request while one runs (a click during the start-up check).
  if (busy_) return;
  busy_ = true;
  if (FetchDescriptor(interactive)) Check(interactive);
  busy_ = false;
}

bool TAktualizacja::FetchDescriptor(bool interactive) {
  if (!isConnected()) {
    if (interactive) Tell(QStringLiteral("Brak połączenia z siecią Internet."), true);
    return false;
  }
  const QString setting = platform::Config(Q(ctx_.configPath)).UpdateServer();
  const auto base = UpdateServerBase(setting.toStdString());
  if (!base) {
    if (interactive) {
      Tell(QStringLiteral("Adres serwera aktualizacji „%1” w pliku pit2014.ini jest nieprawidłowy. Dozwolony jest "
                          "adres https:// albo, wpisany wprost, http://.")
               .arg(setting),
           true);
    }
    return false;
  }
  if (!platform::MakePrivateFolder(UpdateFolder())) {
    if (interactive)
      Tell(QStringLiteral("Nie można utworzyć folderu %1 na pobierane aktualizacje (albo należy on do innego "
                          "użytkownika).")
               .arg(UpdateFolder()),
           true);
    return false;
  }
  const QString url = Q(*base) + QLatin1String(kUpdateFolderPath) + QLatin1String(kUpdateDescriptorName);
  const platform::HttpResult r = http_->Run(QUrl(url), nullptr, {}, kMaxDescriptorBytes);
  if (!r.ok) {
    // The previous copy stays as it was; it is not compared against either,
    // so a failure is never reported as "the newest version".
    if (interactive) Tell(r.message, true);
    return false;
  }
  QSaveFile copy(DescriptorPath());
  if (!copy.open(QIODevice::WriteOnly) || copy.write(http_->Body()) != http_->Body().size() || !copy.commit()) {
    if (interactive)
      Tell(QStringLiteral("Nie można zapisać pliku %1.").arg(DescriptorPath()), true);
    return false;
  }
  return true;
}

void TAktualizacja::Check(bool interactive) {
  QByteArray text;
  QFile f(DescriptorPath());
  if (platform::OwnedByUser(DescriptorPath()) && f.open(QIODevice::ReadOnly)) text = f.read(kMaxDescriptorBytes);
  const UpdateDescriptor d = ParseUpdateDescriptor(text.toStdString());
  const bool connected = isConnected();
  if (IsNewerVersion(ctx_.version, d.Ver) && connected) {
    if (!IsSafeInstallerName(d.File) || (!d.Sha256.empty() && !IsSha256Text(d.Sha256))) {
      if (interactive)
        Tell(QStringLiteral("Opis aktualizacji na serwerze jest nieprawidłowy. Aktualizacja nie zostanie pobrana."),
             true);
      return;
    }
    // Without the checksum nothing shows that the file is the maker's.
    if (d.Sha256.empty()) {
      if (interactive)
        Tell(QStringLiteral("Opis aktualizacji na serwerze nie podaje sumy kontrolnej SHA256 programu "
                            "instalacyjnego, więc nie można sprawdzić, czy pobrany plik jest prawdziwy. Aktualizacja "
                            "nie zostanie pobrana."),
             true);
      return;
    }
    const int answer = Box(parentWidget(), QMessageBox::Warning,
                           QStringLiteral("Aktualizacja nr ") + Q(d.Ver) +
                               QStringLiteral(" jest dostępna. Czy rozpocząć aktualizację programu?"),
                           QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes) return;
    const auto base = UpdateServerBase(platform::Config(Q(ctx_.configPath)).UpdateServer().toStdString());
    if (!base) return;
    const QString target = InstallerPath(d.File);
    Download(Q(*base) + QLatin1String(kUpdateFolderPath) + QString::fromUtf8(QUrl::toPercentEncoding(Q(d.File))),
             target, Q(d.Sha256));
  } else if (connected && interactive) {
    Box(parentWidget(), QMessageBox::Warning,
        QStringLiteral("Wersja ") + Q(ctx_.version) + QStringLiteral(" jest najnowszą wersją programu."),
        QMessageBox::Ok);
  }
}

void TAktualizacja::Download(const QString& url, const QString& target, const QString& sha256) {
  QFile::remove(target);
  ListBox1->clear();
  ProgressHTTP->setRange(0, 100);
  ProgressHTTP->setValue(0);
  Instaluj->setEnabled(false);
  setWindowModality(Qt::ApplicationModal);
  show();

  QFile out(target);
  if (!platform::MakePrivateFolder(UpdateFolder()) || !out.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
    hide();
    Tell(QStringLiteral("Nie można utworzyć pliku %1.").arg(target), true);
    return;
  }
  out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  // Sizes above what the bar holds are shown in kilobytes.
  qint64 scale = 1;
  bool connected = false;
  platform::HttpGet::Events ev;
  ev.connected = [&] {
    connected = true;
    ListBox1->addItem(QStringLiteral("Połączono z serwerem."));
  };
  ev.started = [&](qint64 expected) {
    ListBox1->addItem(QStringLiteral("Trwa pobieranie aktualizacji ..."));
    if (expected < 0) {
      ProgressHTTP->setRange(0, 0);
      return;
    }
    scale = expected > INT_MAX ? 1024 : 1;
    ProgressHTTP->setRange(0, static_cast<int>(expected / scale));
  };
  ev.block = [&](qint64 received, qint64) {
    if (ProgressHTTP->maximum() > 0) ProgressHTTP->setValue(static_cast<int>(received / scale));
  };
  const platform::HttpResult r = http_->Run(QUrl(url), &out, ev, maxInstallerBytes);
  out.close();

  QString failure = r.ok ? QString() : r.message;
  if (r.ok) {
    QFile check(target);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!check.open(QIODevice::ReadOnly) || !hash.addData(&check) ||
        QString::fromLatin1(hash.result().toHex()) != sha256.toLower()) {
      failure = QStringLiteral(
          "Pobrany plik aktualizacji jest niezgodny z opisem aktualizacji na serwerze (suma kontrolna SHA256 się nie "
          "zgadza). Plik został usunięty i aktualizacja nie zostanie uruchomiona. Spróbuj ponownie później.");
    }
  }
  if (!failure.isEmpty()) {
    QFile::remove(target);
    if (connected) ListBox1->addItem(QStringLiteral("Połączenie z serwerem zakończone."));
    // Cancelled by the user: he knows.
    if (isVisible()) {
      ListBox1->addItem(failure);
      Tell(failure, true);
    }
    hide();
    return;
  }
  ProgressHTTP->setRange(0, 1);
  ProgressHTTP->setValue(1);
  ListBox1->addItem(QStringLiteral("Pobieranie aktualizacji zakończone"));
  Tell(QStringLiteral("Pobieranie aktualizacji zakończone"));
  ListBox1->addItem(QStringLiteral("Połączenie z serwerem zakończone."));

  if (AutoInstall->isChecked()) {
    hide();
    Install(target);
    return;
  }
  // The user starts the installer himself, or leaves it for later.
  Instaluj->setEnabled(true);
  Instaluj->setProperty("target", target);
  if (isVisible()) {
    QEventLoop wait;
    connect(this, &QDialog::finished, &wait, &QEventLoop::quit);
    wait.exec();
  }
}

void TAktualizacja::Install(const QString& target) {
  if (!QFileInfo::exists(target)) return;
  if (!openInstaller || !openInstaller(target)) {
    Tell(QStringLiteral("Nie udało się uruchomić programu instalacyjnego %1.").arg(target), true);
    return;
  }
  if (QWidget* main = parentWidget()) main->window()->setWindowTitle(QStringLiteral("Restart ... "));
  if (endApplication) endApplication();
}

void TAktualizacja::InstalujClick() {
  const QString target = Instaluj->property("target").toString();
  Instaluj->setEnabled(false);
  done(QDialog::Accepted);
  if (!target.isEmpty()) Install(target);
}

void TAktualizacja::AnulujClick() { reject(); }

void TAktualizacja::reject() {
  // Cancelling a running download stops it; its partial file goes.
  http_->Abort();
  QDialog::reject();
}

}  // namespace pit::ui
