#pragma once
// One HTTP(S) download for the update check, run while the user interface
// goes on processing events. Requests carry the user agent and accept header
// the update server expects; redirects never lead from https to http. Every
// failure comes back as a Polish sentence for the user.
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
  // Body(); returns when done, failed or aborted.
  HttpResult Run(const QUrl& url, QIODevice* sink = nullptr, const Events& events = {});
  // Stops a running download; Run then returns "Pobieranie przerwano.".
  void Abort();
  bool Running() const { return !reply_.isNull(); }
  const QByteArray& Body() const { return body_; }

  // Seconds without any data after which a download gives up.
  static constexpr int kTransferTimeoutMs = 30000;

 private:
  QNetworkAccessManager* manager_;
  QPointer<QNetworkReply> reply_;
  QByteArray body_;
  bool aborted_ = false;
};

}  // namespace pit::platform
