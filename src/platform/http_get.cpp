#include "platform/http_get.h"

#include <QEventLoop>
#include <QIODevice>
#include <QNetworkAccessManager>
#include <QNetworkInformation>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace pit::platform {

bool InternetConnected() {
  if (!QNetworkInformation::instance() && !QNetworkInformation::loadDefaultBackend()) return true;
  QNetworkInformation* info = QNetworkInformation::instance();
  if (info == nullptr || !info->supports(QNetworkInformation::Feature::Reachability)) return true;
  const QNetworkInformation::Reachability r = info->reachability();
  return r != QNetworkInformation::Reachability::Disconnected;
}

namespace {

QString FailureText(QNetworkReply* reply, int status) {
  const QUrl url = reply->request().url();
  const QString host = url.host() + (url.port() > 0 ? QStringLiteral(":%1").arg(url.port()) : QString());
  const QString file = url.fileName();
  if (status == 404 || reply->error() == QNetworkReply::ContentNotFoundError)
    return QStringLiteral("Na serwerze aktualizacji nie ma pliku „%1”. Spróbuj ponownie później.").arg(file);
  if (status >= 400)
    return QStringLiteral("Serwer aktualizacji odpowiedział błędem %1 (%2). Spróbuj ponownie później.")
        .arg(status)
        .arg(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
  switch (reply->error()) {
    case QNetworkReply::OperationCanceledError:
      return QStringLiteral("Pobieranie przerwano.");
    case QNetworkReply::SslHandshakeFailedError:
      return QStringLiteral("Nie udało się nawiązać bezpiecznego połączenia z serwerem aktualizacji %1.").arg(host);
    case QNetworkReply::InsecureRedirectError:
    case QNetworkReply::TooManyRedirectsError:
      return QStringLiteral("Serwer aktualizacji skierował pobieranie pod niezabezpieczony lub nieprawidłowy adres. "
                            "Pobieranie przerwano.");
    case QNetworkReply::TimeoutError:
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::UnknownNetworkError:
      return QStringLiteral("Nie udało się połączyć z serwerem aktualizacji %1. Sprawdź połączenie z Internetem "
                            "i spróbuj ponownie później.")
          .arg(host);
    default:
      return QStringLiteral("Pobieranie z serwera aktualizacji %1 nie powiodło się. Spróbuj ponownie później.")
          .arg(host);
  }
}

}  // namespace

HttpGet::HttpGet(QObject* parent) : QObject(parent), manager_(new QNetworkAccessManager(this)) {}

HttpGet::~HttpGet() { Abort(); }

void HttpGet::Abort() {
  if (reply_) {
    aborted_ = true;
    reply_->abort();
  }
}

HttpResult HttpGet::Run(const QUrl& url, QIODevice* sink, const Events& events) {
  body_.clear();
  aborted_ = false;
  QNetworkRequest request(url);
  request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Mozilla/3.0 (compatible; Indy Library)"));
  request.setRawHeader("Accept", "text/html, */*");
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
  request.setTransferTimeout(kTransferTimeoutMs);

  QNetworkReply* reply = manager_->get(request);
  reply_ = reply;
  bool answered = false;
  bool writeFailed = false;
  QEventLoop loop;
  auto answer = [&] {
    if (answered) return;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 300 && status < 400) return;  // a redirect: the real answer follows
    answered = true;
    if (events.connected) events.connected();
    if (status < 400 && events.started) events.started(reply->header(QNetworkRequest::ContentLengthHeader).isValid()
                                                           ? reply->header(QNetworkRequest::ContentLengthHeader).toLongLong()
                                                           : -1);
  };
  connect(reply, &QNetworkReply::metaDataChanged, &loop, answer);
  // Progress follows the data as it is read: Qt's own progress signal is
  // thinned out to a few a second.
  qint64 received = 0;
  connect(reply, &QNetworkReply::readyRead, &loop, [&] {
    answer();
    const QByteArray chunk = reply->readAll();
    if (reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() >= 400) return;
    if (sink) {
      if (sink->write(chunk) != chunk.size()) {
        writeFailed = true;
        reply->abort();
        return;
      }
    } else {
      body_ += chunk;
    }
    received += chunk.size();
    if (events.block) {
      const QVariant total = reply->header(QNetworkRequest::ContentLengthHeader);
      events.block(received, total.isValid() ? total.toLongLong() : -1);
    }
  });
  connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
  if (!reply->isFinished()) loop.exec();

  HttpResult r;
  r.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  if (writeFailed) {
    r.message = QStringLiteral("Nie można zapisać pobieranego pliku na dysku. Sprawdź, czy jest na nim miejsce.");
  } else if (aborted_) {
    r.message = QStringLiteral("Pobieranie przerwano.");
  } else if (reply->error() == QNetworkReply::NoError && r.status < 400) {
    const QByteArray rest = reply->readAll();
    if (sink) {
      if (sink->write(rest) != rest.size())
        r.message = QStringLiteral("Nie można zapisać pobieranego pliku na dysku. Sprawdź, czy jest na nim miejsce.");
      else
        r.ok = true;
    } else {
      body_ += rest;
      r.ok = true;
    }
  } else {
    r.message = FailureText(reply, r.status);
  }
  if (answered && events.disconnected) events.disconnected();
  reply->deleteLater();
  reply_.clear();
  return r;
}

}  // namespace pit::platform
