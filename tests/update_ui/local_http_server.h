#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for the update check's tests: fixed
// answers by path, optionally sent slowly in pieces, every request recorded.
#include <QByteArray>
#include <QHostAddress>
#include <QMap>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace pit::ui::test {

class LocalHttpServer : public QObject {
 public:
  struct Route {
    int status = 200;
    QByteArray body;
    int pieceSize = 0;  // >0: the body goes out in pieces of this size...
    int pieceDelayMs = 0;  // ...this far apart
    QByteArray location;      // for a redirect (3xx): where to
    qint64 claimedLength = -1;  // >=0: the Content-Length announced instead of the body's
  };

  QMap<QString, Route> routes;
  QList<QByteArray> requests;  // request heads as received

  bool Start() {
    connect(&server_, &QTcpServer::newConnection, this, [this] {
      while (QTcpSocket* s = server_.nextPendingConnection()) Serve(s);
    });
    return server_.listen(QHostAddress::LocalHost, 0);
  }
  QString Base() const { return QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort()); }

 private:
  void Serve(QTcpSocket* s) {
    auto* head = new QByteArray;
    connect(s, &QTcpSocket::disconnected, s, [s, head] {
      delete head;
      s->deleteLater();
    });
    connect(s, &QTcpSocket::readyRead, this, [this, s, head] {
      head->append(s->readAll());
      const int end = head->indexOf("\r\n\r\n");
      if (end < 0) return;
      requests.push_back(head->left(end));
      const QList<QByteArray> first = head->left(head->indexOf("\r\n")).split(' ');
      const QString path = first.size() > 1 ? QString::fromLatin1(first[1]) : QString();
      head->clear();
      Route r = routes.value(path, Route{404, QByteArrayLiteral("Not Found"), 0, 0});
      QByteArray answer = "HTTP/1.1 " + QByteArray::number(r.status) + " " +
                          (r.status == 200   ? "OK"
                           : r.status == 302 ? "Found"
                           : r.status == 404 ? "Not Found"
                                             : "Internal Server Error") +
                          "\r\nContent-Type: application/octet-stream\r\nContent-Length: " +
                          QByteArray::number(r.claimedLength >= 0 ? r.claimedLength : r.body.size()) +
                          (r.location.isEmpty() ? QByteArray() : "\r\nLocation: " + r.location) +
                          "\r\nConnection: close\r\n\r\n";
      if (r.pieceSize <= 0) {
        s->write(answer + r.body);
        s->disconnectFromHost();
        return;
      }
      s->write(answer);
      auto* timer = new QTimer(s);
      auto sent = std::make_shared<int>(0);
      QPointer<QTcpSocket> socket(s);
      connect(timer, &QTimer::timeout, s, [socket, timer, sent, r] {
        if (!socket) return;
        socket->write(r.body.mid(*sent, r.pieceSize));
        *sent += r.pieceSize;
        if (*sent >= r.body.size()) {
          timer->stop();
          socket->disconnectFromHost();
        }
      });
      timer->start(r.pieceDelayMs);
    });
  }

  QTcpServer server_;
};

}  // namespace pit::ui::test
