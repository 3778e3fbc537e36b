#pragma once
// One HTTP(S) download for the update check, run while the user interface
// goes on processing events. Requests carry the user agent and accept header
// the update server expects; redirects stay on the server asked and never
// lead from https to http; a body has a size limit and a transfer that
// stalls is given up. Every failure comes back as a Polish sentence for the
// user.
#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <functional>

class QIODevice;
class QNetworkAccessManager;
class QNetworkReply;

namespace pit::platform {

// The connection state as the system reports it; without a way to tell,
// the machine counts as connected.
bool InternetConnected();

struct HttpResult {
  bool ok = false;
  int status = 0;   // HTTP status, 0 without an answer
  QString message;  // for the user when !ok
};

class HttpGet : public QObject {
  Q_OBJECT

 public:
  struct Events {
    std::function<void()> connected;                            // the server answered
    std::function<void(qint64 expected)> started;               // the body begins (-1: size unknown)
    std::function<void(qint64 received, qint64 total)> block;   // a block arrived
    std::function<void()> disconnected;                         // the connection ended, whatever the result
  };

  explicit HttpGet(QObject* parent = nullptr);
  ~HttpGet() override;

  // Fetches `url` into `sink` (an open device) or, without one, into
  // Body(); returns when done, failed or aborted. A body announced or grown
  // larger than `maxBytes` is cut off with a message, and so is a redirect
  // to another host or from https to http.
  HttpResult Run(const QUrl& url, QIODevice* sink = nullptr, const Events& events = {},
                 qint64 maxBytes = kNoLimit);
  // Stops a running download; Run then returns "Pobieranie przerwano.".
  void Abort();
  bool Running() const { return !reply_.isNull(); }
  const QByteArray& Body() const { return body_; }

  static constexpr qint64 kNoLimit = -1;
  // A transfer that brings less than `minBytes` in `periodMs` has stalled
  // (a server that sends a byte now and then keeps any plain timeout from
  // running out) and is given up with a message.
  void SetStallRule(int periodMs, qint64 minBytes) {
    stallPeriodMs_ = periodMs;
    stallMinBytes_ = minBytes;
  }
  static constexpr int kStallPeriodMs = 30000;
  static constexpr qint64 kStallMinBytes = 1024;

 private:
  QNetworkAccessManager* manager_;
  QPointer<QNetworkReply> reply_;
  QByteArray body_;
  bool aborted_ = false;
  int stallPeriodMs_ = kStallPeriodMs;
  qint64 stallMinBytes_ = kStallMinBytes;
};

}  // namespace pit::platform
