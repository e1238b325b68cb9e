#include "browser/feedload.h"

#include "app/texthelpers.h"
#include "browser/refreshdialog.h"

#include <QDir>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QtConcurrent/QtConcurrentRun>

#include <utility>

namespace orv {

namespace {

using namespace Qt::Literals::StringLiterals;

constexpr int kMsPerSecond = 1000;
// Why the program itself ended a load (a reply property).
constexpr char kEndedBy[] = "orvaneFeedEndedBy";
constexpr int kEndedTooLarge = 1;
constexpr int kEndedTooLong = 2;
// What the network thread may hold of a feed before this thread has taken
// it: a server faster than a busy window is held back at this much.
constexpr qint64 kReadPieceBytes = 1024 * 1024;

QString seconds(int ms)
{
    return QString::number((ms + kMsPerSecond - 1) / kMsPerSecond);
}

QString httpReason(int status)
{
    QString text = u"Der Server meldet den Status %1"_s.arg(status);
    switch (status) {
    case 401:
        return text + u": Eine Anmeldung ist erforderlich."_s;
    case 403:
        return text + u": Der Zugriff wurde verweigert."_s;
    case 404:
        return text + u": Die Datei wurde nicht gefunden."_s;
    case 410:
        return text + u": Die Datei gibt es nicht mehr."_s;
    default:
        return text + (status >= 500 ? u": Fehler auf dem Server."_s : u"."_s);
    }
}

} // namespace

QString FeedLoadReason(QNetworkReply::NetworkError error, int httpStatus, const QString& host)
{
    if (httpStatus >= 400)
        return httpReason(httpStatus);
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
        return u"Der Server \u201E%1\u201C hat die Verbindung abgelehnt."_s.arg(host);
    case QNetworkReply::RemoteHostClosedError:
        return u"Der Server \u201E%1\u201C hat die Verbindung vorzeitig beendet."_s.arg(host);
    case QNetworkReply::HostNotFoundError:
        return u"Der Server \u201E%1\u201C wurde nicht gefunden."_s.arg(host);
    case QNetworkReply::TimeoutError:
    case QNetworkReply::OperationCanceledError:
        return u"Der Server hat %1 Sekunden lang nichts gesendet."_s.arg(
            seconds(ActivityTimings::Current().feedSilenceMs));
    case QNetworkReply::SslHandshakeFailedError:
    case QNetworkReply::InsecureRedirectError:
        return u"Eine sichere Verbindung zum Server \u201E%1\u201C kam nicht zustande."_s.arg(host);
    case QNetworkReply::TooManyRedirectsError:
        return u"Der Server leitet zu oft weiter."_s;
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::BackgroundRequestNotAllowedError:
        return u"Das Netzwerk ist nicht erreichbar."_s;
    case QNetworkReply::ProxyConnectionRefusedError:
    case QNetworkReply::ProxyConnectionClosedError:
    case QNetworkReply::ProxyNotFoundError:
    case QNetworkReply::ProxyTimeoutError:
    case QNetworkReply::ProxyAuthenticationRequiredError:
        return u"Der Proxy-Server ist nicht erreichbar."_s;
    case QNetworkReply::ContentAccessDenied:
    case QNetworkReply::AuthenticationRequiredError:
        return u"Der Zugriff wurde verweigert."_s;
    case QNetworkReply::ContentNotFoundError:
        return u"Die Datei wurde nicht gefunden."_s;
    case QNetworkReply::ProtocolUnknownError:
    case QNetworkReply::ProtocolInvalidOperationError:
        return u"Diese Art von Adresse kann nicht geladen werden."_s;
    default:
        return u"Der Feed konnte nicht geladen werden (Netzwerkfehler %1)."_s.arg(int(error));
    }
}

FeedLoad::FeedLoad(QObject* parent) : QObject(parent)
{
    m_wholeLoad.setSingleShot(true);
    connect(&m_wholeLoad, &QTimer::timeout, this, [this] {
        if (m_reply) {
            m_reply->setProperty(kEndedBy, kEndedTooLong);
            m_reply->abort();
        }
    });
}

void FeedLoad::Start(const QString& address, Done done)
{
    // A load that is replaced reports nothing.
    drop();
    if (!m_network)
        m_network = new QNetworkAccessManager(this);
    m_done = std::move(done);
    const ActivityTimings& timings = ActivityTimings::Current();
    QNetworkRequest request(UrlFromUserInput(address, QDir::currentPath()));
    request.setTransferTimeout(timings.feedSilenceMs);
    QNetworkReply* reply = m_network->get(request);
    m_reply = reply;
    m_wholeLoad.start(timings.feedLoadMs);
    // The feed is taken piece by piece: a feed announced or found larger
    // than the bound ends at once, and no more than one piece beyond the
    // bound is ever read, however busy this thread is.
    reply->setReadBufferSize(kReadPieceBytes);
    const auto tooLarge = [reply] {
        reply->setProperty(kEndedBy, kEndedTooLarge);
        reply->abort();
    };
    connect(reply, &QNetworkReply::metaDataChanged, this, [reply, tooLarge] {
        if (reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() > kMaxFeedBytes)
            tooLarge();
    });
    connect(reply, &QNetworkReply::readyRead, this, [this, reply, tooLarge] {
        if (m_reply != reply)
            return;
        m_received += reply->read(kMaxFeedBytes + 1 - m_received.size());
        if (m_received.size() > kMaxFeedBytes)
            tooLarge();
    });
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, address] { finish(reply, address); });
}

void FeedLoad::finish(QNetworkReply* reply, const QString& address)
{
    reply->deleteLater();
    if (m_reply != reply)
        return;
    m_reply = nullptr;
    m_wholeLoad.stop();
    FeedPage page;
    QByteArray xml = std::exchange(m_received, {});
    const int endedBy = reply->property(kEndedBy).toInt();
    if (endedBy == kEndedTooLarge) {
        page = RenderFeedError(FeedTooLargeReason(), address, 0);
    } else if (endedBy == kEndedTooLong) {
        page = RenderFeedError(u"Der Feed wurde nicht innerhalb von %1 Sekunden vollständig "
                               u"geladen."_s.arg(seconds(ActivityTimings::Current().feedLoadMs)),
                               address, 0);
    } else if (reply->error() != QNetworkReply::NoError) {
        page = RenderFeedError(
            FeedLoadReason(reply->error(),
                           reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
                           reply->url().host()),
            address, 0);
    } else {
        xml += reply->read(kMaxFeedBytes + 1 - xml.size());
        if (xml.size() <= kMaxFeedBytes) {
            render(std::move(xml), address);
            return;
        }
        page = RenderFeedError(FeedTooLargeReason(), address, 0);
    }
    deliver(page);
}

void FeedLoad::render(QByteArray xml, const QString& address)
{
    // RenderFeed is plain code over its arguments; of the program's state it
    // reads only the text table, which is fixed once the program has started.
    auto* watcher = new QFutureWatcher<FeedPage>(this);
    m_rendering = watcher;
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
        watcher->deleteLater();
        if (m_rendering != watcher)
            return;
        m_rendering = nullptr;
        deliver(watcher->result());
    });
    watcher->setFuture(
        QtConcurrent::run([xml = std::move(xml), address] { return RenderFeed(xml, address); }));
}

void FeedLoad::deliver(const FeedPage& page)
{
    // The caller may start the next load from here.
    const Done done = std::exchange(m_done, {});
    if (done)
        done(page);
}

void FeedLoad::drop()
{
    if (QNetworkReply* old = m_reply) {
        m_reply = nullptr;
        old->abort();
    }
    m_received.clear();
    // A page still being made is thrown away when it is done.
    if (QFutureWatcher<FeedPage>* old = std::exchange(m_rendering, nullptr)) {
        old->disconnect(this);
        old->deleteLater();
    }
}

} // namespace orv
