#include "ui/app/recovery.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThreadPool>

#include "app/document.h"
#include "app/file_io.h"
#include "ui/app/app_context.h"

namespace pit::ui {

namespace {

const QString kCopyName = QStringLiteral("odzysk.dc2014");
const QString kInfoName = QStringLiteral("odzysk.txt");
// The description is three short lines; anything larger is not ours.
constexpr qint64 kLongestInfo = 64 * 1024;

std::vector<std::uint8_t> Bytes(const QByteArray& a) { return std::vector<std::uint8_t>(a.begin(), a.end()); }

// The folder exists, is a folder (not a link to one) of this user, and only
// this user may enter it.
bool PrivateFolder(const QString& path) {
  const QByteArray p = QFile::encodeName(path);
  struct stat st {};
  if (::lstat(p.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) return false;
  if ((st.st_mode & 0777) != 0700 && ::chmod(p.constData(), 0700) != 0) return false;
  return true;
}

}  // namespace

RecoveryCopy::RecoveryCopy(AppContext& ctx, QString folder, QObject* parent)
    : QObject(parent),
      ctx_(ctx),
      folder_(folder.isEmpty() ? DefaultFolder() : std::move(folder)),
      writer_(std::make_unique<QThreadPool>()),
      fileMutex_(std::make_shared<std::mutex>()),
      generation_(std::make_shared<std::uint64_t>(0)) {
  writer_->setMaxThreadCount(1);
  pause_.setSingleShot(true);
  pause_.setInterval(kBurstPauseMs);
  longest_.setSingleShot(true);
  longest_.setInterval(kLongestWaitMs);
  connect(&pause_, &QTimer::timeout, this, &RecoveryCopy::Write);
  connect(&longest_, &QTimer::timeout, this, &RecoveryCopy::Write);
}

RecoveryCopy::~RecoveryCopy() { writer_->waitForDone(); }

QString RecoveryCopy::DefaultFolder() {
  QString base = qEnvironmentVariable("XDG_STATE_HOME");
  if (!base.startsWith(QLatin1Char('/'))) base = QDir::homePath() + QStringLiteral("/.local/state");
  return base + QStringLiteral("/pit2014");
}

QString RecoveryCopy::CopyPath() const { return folder_ + QLatin1Char('/') + kCopyName; }
QString RecoveryCopy::InfoPath() const { return folder_ + QLatin1Char('/') + kInfoName; }

bool RecoveryCopy::PrepareFolder() const {
  // Made owner-only from the start: the copy holds the user's tax data.
  const mode_t before = ::umask(077);
  QDir().mkpath(folder_);
  ::umask(before);
  return PrivateFolder(folder_);
}

void RecoveryCopy::Changed() {
  pause_.start();
  if (!longest_.isActive()) longest_.start();
}

void RecoveryCopy::WriteNow() {
  Write();
  writer_->waitForDone();
}

void RecoveryCopy::Write() {
  pause_.stop();
  longest_.stop();
  const Settlement& s = ctx_.settlement;
  if (!s.IsOpen() || !s.DocumentModified) {
    Discard();
    return;
  }
  if (CopyIsOpen()) return;
  // Taken here, at once, as the settlement stands; only the writing goes
  // to the background.
  const QDateTime taken = QDateTime::currentDateTimeUtc();
  QByteArray info;
  info += "plik=" + QString::fromStdString(s.DocumentPath).toUtf8() + '\n';
  info += "nazwa=" + QString::fromStdString(s.DocumentName).toUtf8() + '\n';
  info += "czas=" + taken.toString(Qt::ISODate).toUtf8() + '\n';
  auto bytes = std::make_shared<std::vector<std::uint8_t>>(EncodeSettlement(s));
  if (!PrepareFolder()) return;
  std::uint64_t generation = 0;
  {
    const std::lock_guard<std::mutex> hold(*fileMutex_);
    generation = ++*generation_;
  }
  const std::string copyPath = CopyPath().toStdString();
  const std::string infoPath = InfoPath().toStdString();
  writer_->start([mutex = fileMutex_, current = generation_, generation, bytes, info, copyPath, infoPath] {
    const std::lock_guard<std::mutex> hold(*mutex);
    // A later copy or a removal came after this one was taken.
    if (*current != generation) return;
    // The description last: a copy is offered only once it is whole.
    if (WriteFileReplacing(copyPath, *bytes, NewFileAccess::OwnerOnly) != WriteError::None) return;
    WriteFileReplacing(infoPath, Bytes(info), NewFileAccess::OwnerOnly);
  });
}

bool RecoveryCopy::CopyIsOpen() const {
  const QString open = QFileInfo(QString::fromStdString(ctx_.settlement.DocumentPath)).canonicalFilePath();
  return !open.isEmpty() && open == QFileInfo(CopyPath()).canonicalFilePath();
}

void RecoveryCopy::Discard() {
  pause_.stop();
  longest_.stop();
  // The copy opened as a document is the user's file now: neither written
  // over nor removed.
  if (CopyIsOpen()) return;
  const std::lock_guard<std::mutex> hold(*fileMutex_);
  ++*generation_;
  QFile::remove(InfoPath());
  QFile::remove(CopyPath());
}

std::optional<RecoveryCopy::Found> RecoveryCopy::Find() const {
  if (!PrivateFolder(folder_)) return std::nullopt;
  QFile info(InfoPath());
  if (!QFileInfo(CopyPath()).isFile() || !info.open(QIODevice::ReadOnly) || info.size() > kLongestInfo) {
    return std::nullopt;
  }
  Found f;
  f.copyPath = CopyPath();
  for (const QByteArray& line : info.readAll().split('\n')) {
    const int eq = line.indexOf('=');
    if (eq < 0) continue;
    const QByteArray key = line.left(eq);
    const QString value = QString::fromUtf8(line.mid(eq + 1));
    if (key == "plik") f.documentPath = value;
    if (key == "nazwa") f.documentName = value;
    if (key == "czas") f.taken = QDateTime::fromString(value, Qt::ISODate).toLocalTime();
  }
  if (!f.taken.isValid()) return std::nullopt;
  if (f.documentName.isEmpty()) f.documentName = QString::fromUtf8(kNewDocumentName);
  return f;
}

}  // namespace pit::ui
