#include "platform/http_get.h"

#include <QEventLoop>
#include <QIODevice>
#include <QNetworkAccessManager>
#include <QNetworkInformation>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

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

HttpResult HttpGet::Run(const QUrl& url, QIODevice* sink, const Events& events, qint64 maxBytes) {
  body_.clear();
  aborted_ = false;
  QNetworkRequest request(url);
  request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Mozilla/3.0 (compatible; Indy Library)"));
  request.setRawHeader("Accept", "text/html, */*");
  // Every redirect is looked at here: it may stay on the server asked for.
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
  request.setMaximumRedirectsAllowed(5);
  // Qt's own timeout only as a backstop behind the stall rule below, which
  // says why it stopped.
  request.setTransferTimeout(stallPeriodMs_ + stallPeriodMs_ / 2);

  QNetworkReply* reply = manager_->get(request);
  reply_ = reply;
  bool answered = false;
  bool writeFailed = false;
  QString cutOff;  // why the transfer was stopped here, for the user
  const QString host = url.host() + (url.port() > 0 ? QStringLiteral(":%1").arg(url.port()) : QString());
  auto stop = [&](const QString& why) {
    if (!cutOff.isEmpty()) return;
    cutOff = why;
    reply->abort();
  };
  auto tooLarge = [&] {
    stop(QStringLiteral("Plik „%1” na serwerze aktualizacji %2 jest większy, niż może być (%3 KB). Pobieranie "
                        "przerwano.")
             .arg(url.fileName(), host)
             .arg(maxBytes / 1024));
  };
  QEventLoop loop;
  connect(reply, &QNetworkReply::redirected, &loop, [&](const QUrl& target) {
    const QUrl to = url.resolved(target);
    const bool sameHost = to.host().compare(url.host(), Qt::CaseInsensitive) == 0;
    const bool safer = to.scheme() == url.scheme() || (url.scheme() == QLatin1String("http") &&
                                                       to.scheme() == QLatin1String("https"));
    if (sameHost && safer) {
      emit reply->redirectAllowed();
      return;
    }
    stop(QStringLiteral("Serwer aktualizacji %1 skierował pobieranie pod inny adres (%2). Ze względów "
                        "bezpieczeństwa pobieranie przerwano.")
             .arg(host, to.toDisplayString(QUrl::RemoveUserInfo | QUrl::RemoveQuery)));
  });
  auto answer = [&] {
    if (answered) return;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 300 && status < 400) return;  // a redirect: the real answer follows
    answered = true;
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    if (status < 400 && maxBytes >= 0 && length.isValid() && length.toLongLong() > maxBytes) {
      tooLarge();
      return;
    }
    if (events.connected) events.connected();
    if (status < 400 && events.started) events.started(length.isValid() ? length.toLongLong() : -1);
  };
  connect(reply, &QNetworkReply::metaDataChanged, &loop, answer);
  // Progress follows the data as it is read: Qt's own progress signal is
  // thinned out to a few a second.
  qint64 received = 0;
  connect(reply, &QNetworkReply::readyRead, &loop, [&] {
    answer();
    if (!cutOff.isEmpty()) return;
    const QByteArray chunk = reply->readAll();
    if (reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() >= 400) return;
    if (maxBytes >= 0 && received + chunk.size() > maxBytes) {
      tooLarge();
      return;
    }
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
  // A server that sends a byte now and then never lets the transfer
  // timeout run out: what arrived in each period is counted instead.
  QTimer stall;
  qint64 receivedAtLastLook = 0;
  connect(&stall, &QTimer::timeout, &loop, [&] {
    if (received - receivedAtLastLook < stallMinBytes_)
      stop(QStringLiteral("Serwer aktualizacji %1 przestał przesyłać dane (przez %2 s nadeszło mniej niż %3 B). "
                          "Pobieranie przerwano. Spróbuj ponownie później.")
               .arg(host)
               .arg(stallPeriodMs_ / 1000.0, 0, 'g', 3)
               .arg(stallMinBytes_));
    receivedAtLastLook = received;
  });
  stall.start(stallPeriodMs_);
  connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
  if (!reply->isFinished()) loop.exec();
  stall.stop();

  HttpResult r;
  r.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  if (!cutOff.isEmpty()) {
    r.message = cutOff;
    body_.clear();
  } else if (writeFailed) {
    r.message = QStringLiteral("Nie można zapisać pobieranego pliku na dysku. Sprawdź, czy jest na nim miejsce.");
  } else if (aborted_) {
    r.message = QStringLiteral("Pobieranie przerwano.");
  } else if (reply->error() == QNetworkReply::NoError && r.status < 400) {
    const QByteArray rest = reply->readAll();
    if (maxBytes >= 0 && received + rest.size() > maxBytes) {
      tooLarge();
      r.message = cutOff;
      body_.clear();
    } else if (sink) {
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
