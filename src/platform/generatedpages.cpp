#include "platform/generatedpages.h"

#include "platform/engine.h"

#include <QIODevice>
#include <QRandomGenerator>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>

#include <algorithm>
#include <cstring>

namespace orv {

namespace {

constexpr char kHost[] = "gen";
// A page's token: this many random 64-bit words in hexadecimal digits.
constexpr int kTokenWords = 2;
constexpr qsizetype kTokenLength = kTokenWords * 16;

} // namespace

GeneratedPages::GeneratedPages(QObject* parent) : QWebEngineUrlSchemeHandler(parent) {}

GeneratedPages* GeneratedPages::Of(QWebEngineProfile* profile)
{
    const QByteArray scheme(kGeneratedScheme);
    auto* handler = qobject_cast<GeneratedPages*>(
        const_cast<QWebEngineUrlSchemeHandler*>(profile->urlSchemeHandler(scheme)));
    if (!handler) {
        handler = new GeneratedPages(profile);
        profile->installUrlSchemeHandler(scheme, handler);
    }
    return handler;
}

GeneratedPages* GeneratedPages::Shared()
{
    return Of(BrowserProfile());
}

QUrl GeneratedPages::publish(const QString& html)
{
    return publish(html.toUtf8());
}

QUrl GeneratedPages::publish(const QByteArray& utf8)
{
    QString token;
    do {
        token.clear();
        for (int i = 0; i < kTokenWords; ++i)
            token += QStringLiteral("%1").arg(QRandomGenerator::system()->generate64(), 16, 16,
                                              QLatin1Char('0'));
    } while (m_numbers.contains(token));
    const quint64 number = m_next++;
    m_pages.emplace(number, Page{token, utf8});
    m_numbers.insert(token, number);
    m_bytes += utf8.size();
    trim();
    QUrl url;
    url.setScheme(QString::fromLatin1(kGeneratedScheme));
    url.setHost(QString::fromLatin1(kHost));
    url.setPath(QLatin1Char('/') + token);
    return url;
}

void GeneratedPages::release(const QUrl& url)
{
    const auto it = m_pages.find(numberOf(url));
    if (it == m_pages.end())
        return;
    m_bytes -= it->second.content.size();
    m_numbers.remove(it->second.token);
    m_pages.erase(it);
}

bool GeneratedPages::contains(const QUrl& url) const
{
    return m_pages.count(numberOf(url)) != 0;
}

QByteArray GeneratedPages::content(const QUrl& url) const
{
    const auto it = m_pages.find(numberOf(url));
    return it == m_pages.end() ? QByteArray() : it->second.content;
}

bool GeneratedPages::IsGeneratedUrl(const QUrl& url)
{
    return !tokenOf(url).isEmpty();
}

bool GeneratedPages::MayRequest(const QUrl& initiator)
{
    return initiator.isEmpty() || initiator.scheme() == QLatin1String(kGeneratedScheme);
}

QString GeneratedPages::tokenOf(const QUrl& url)
{
    if (url.scheme() != QLatin1String(kGeneratedScheme) || url.host() != QLatin1String(kHost) ||
        url.port() != -1 || !url.userInfo().isEmpty())
        return {};
    const QString path = url.path();
    if (path.size() != 1 + kTokenLength || path.at(0) != QLatin1Char('/'))
        return {};
    // Lower-case hexadecimal digits only (one address per page).
    const QString token = path.mid(1);
    for (const QChar c : token)
        if (!(c >= QLatin1Char('0') && c <= QLatin1Char('9')) &&
            !(c >= QLatin1Char('a') && c <= QLatin1Char('f')))
            return {};
    return token;
}

quint64 GeneratedPages::numberOf(const QUrl& url) const
{
    const QString token = tokenOf(url);
    return token.isEmpty() ? 0 : m_numbers.value(token, 0);
}

void GeneratedPages::trim()
{
    // The newest page always stays, however large it is.
    while (m_pages.size() > 1 && (qsizetype(m_pages.size()) > MaxPages || m_bytes > MaxBytes)) {
        const auto oldest = m_pages.begin();
        m_bytes -= oldest->second.content.size();
        m_numbers.remove(oldest->second.token);
        m_pages.erase(oldest);
    }
}

namespace {

const QByteArray& PolicyMeta()
{
    static const QByteArray meta = QByteArray("<meta http-equiv=\"Content-Security-Policy\" "
                                              "content=\"") +
                                   GeneratedPages::Policy + "\">";
    return meta;
}

// Where the policy's META element goes: behind a leading document type
// (after a byte order mark and blanks), so that the page keeps its rendering
// mode; else in front.
qsizetype PolicyPlace(const QByteArray& page)
{
    qsizetype at = page.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (at < page.size() && QChar::isSpace(uchar(page.at(at))))
        ++at;
    if (page.mid(at, 9).compare("<!doctype", Qt::CaseInsensitive) == 0) {
        const qsizetype end = page.indexOf('>', at);
        if (end >= 0)
            return end + 1;
    }
    return 0;
}

// Serves a page with the policy put in at its place, without copying the
// page (generated pages run to tens of megabytes).
class PolicyPageDevice final : public QIODevice {
public:
    PolicyPageDevice(QByteArray page, QObject* parent)
        : QIODevice(parent), m_page(std::move(page)), m_place(PolicyPlace(m_page))
    {
    }
    qint64 size() const override { return m_page.size() + PolicyMeta().size(); }
    bool isSequential() const override { return false; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const QByteArray& meta = PolicyMeta();
        qint64 done = 0;
        while (done < maxSize && pos() + done < size()) {
            const qint64 at = pos() + done;
            QByteArrayView from;
            if (at < m_place)
                from = QByteArrayView(m_page).sliced(at, m_place - at);
            else if (at < m_place + meta.size())
                from = QByteArrayView(meta).sliced(at - m_place);
            else
                from = QByteArrayView(m_page).sliced(at - meta.size());
            const qint64 n = std::min<qint64>(from.size(), maxSize - done);
            std::memcpy(data + done, from.data(), size_t(n));
            done += n;
        }
        return done;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    const QByteArray m_page;
    const qsizetype m_place;
};

} // namespace

QIODevice* GeneratedPages::OpenServedPage(const QByteArray& page, QObject* parent)
{
    auto* device = new PolicyPageDevice(page, parent);
    device->open(QIODevice::ReadOnly);
    return device;
}

QByteArray GeneratedPages::WithPolicy(const QByteArray& page)
{
    const qsizetype place = PolicyPlace(page);
    return page.left(place) + PolicyMeta() + page.mid(place);
}

void GeneratedPages::requestStarted(QWebEngineUrlRequestJob* job)
{
    if (job->requestMethod() != "GET" || !MayRequest(job->initiator())) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    const auto it = m_pages.find(numberOf(job->requestUrl()));
    if (it == m_pages.end()) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    // The device lives as long as the job, even if the page is released
    // meanwhile.
    job->reply(QByteArray(ContentType), OpenServedPage(it->second.content, job));
}

} // namespace orv
