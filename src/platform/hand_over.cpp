#include "platform/hand_over.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <utility>

#include "platform/file_lock.h"

namespace pit::platform {

namespace {

// One file name and its line end; anything longer is no file name of ours.
constexpr qint64 kLongestMessage = 8192;
const QByteArray kTaken = QByteArrayLiteral("ok\n");

}  // namespace

HandOverServer::HandOverServer(QString socketPath, QObject* parent)
    : QObject(parent), path_(std::move(socketPath)) {}

HandOverServer::~HandOverServer() {
  if (server_ != nullptr) server_->close();
}

QString HandOverServer::DefaultSocketPath() {
  return QString::fromStdString(PrivateRuntimeFolder()) + QStringLiteral("/KorvanPit2014.socket");
}

bool HandOverServer::Listen() {
  if (server_ != nullptr && server_->isListening()) return true;
  if (server_ == nullptr) {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &HandOverServer::Accept);
  }
  QLocalServer::removeServer(path_);
  return server_->listen(path_);
}

void HandOverServer::Accept() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > kLongestMessage) socket->abort();
        return;
      }
      const QByteArray raw = socket->readLine(kLongestMessage + 1);
      if (!raw.endsWith('\n')) {
        socket->abort();
        return;
      }
      const QByteArray line = raw.trimmed();
      socket->write(kTaken);
      socket->flush();
      socket->disconnectFromServer();
      const QString path = QString::fromUtf8(line);
      if (!path.isEmpty()) emit fileHandedOver(path);
    });
  }
}

bool HandOverFile(const QString& socketPath, const QString& path, int timeoutMs) {
  const QByteArray message = QFileInfo(path).absoluteFilePath().toUtf8();
  // One line carries one name: a name with a line break cannot be sent.
  if (message.contains('\n')) return false;
  QLocalSocket socket;
  socket.connectToServer(socketPath);
  if (!socket.waitForConnected(timeoutMs)) return false;
  socket.write(message + '\n');
  if (!socket.waitForBytesWritten(timeoutMs)) return false;
  QByteArray answer;
  while (!answer.contains('\n') && socket.waitForReadyRead(timeoutMs)) answer += socket.readAll();
  return answer.startsWith(kTaken.trimmed());
}

}  // namespace pit::platform
