#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QUrl>
#include <QWebEngineUrlSchemeHandler>

#include <map>

class QIODevice;
class QWebEngineProfile;

namespace orv {

// The pages the program writes itself (feed view, structure view, picture
// list, notices, search pages) are kept in memory and served to the engine
// under the program's own scheme: "orvane://gen/<token>", a token of 32
// random hexadecimal digits, so that no page can guess another window's
// page. Loading them through a
// URL instead of setHtml() has no size limit, lets a reload or a discarded
// page come back intact, and gives them an origin of their own
// ("orvane://gen") that has no rights on web or local pages beyond showing
// their pictures. The engine lets pages of the scheme read local files (it
// must load their pictures), so every page is served with a content security
// policy that forbids all script connections (fetch, XMLHttpRequest, sockets):
// a script in a generated page cannot read file contents. (The policy comes
// as a META element in front of the page, so the served document's HEAD
// begins with it.)
//
// A generated page belongs to the window the program shows it in: a request
// for it that a web page starts (a frame, a fetch, a link) is refused here
// by its initiator, and the window's page refuses every navigation to it
// that the program did not start (BrowserPage).
//
// A page stays published until its owner releases it (when the window that
// shows it closes) or until the store grows past MaxPages or MaxBytes, in
// which case the oldest pages go first.
class GeneratedPages : public QWebEngineUrlSchemeHandler {
    Q_OBJECT
public:
    // The handler of `profile`, installed on first use (owned by the
    // profile); install it before the profile's first page loads, since
    // installing renews the engine's loaders and stalls the loads under way.
    // Shared(): the handler of BrowserProfile(), which comes with it.
    static GeneratedPages* Of(QWebEngineProfile* profile);
    static GeneratedPages* Shared();

    // Keeps `html` and returns the address that serves it.
    QUrl publish(const QString& html);
    // The same for text that is already UTF-8.
    QUrl publish(const QByteArray& utf8);
    // Forgets a page; its address answers "not found" from then on.
    void release(const QUrl& url);

    // Whether `url` is one of the published pages.
    bool contains(const QUrl& url) const;
    // The UTF-8 content of a published page (empty when unknown).
    QByteArray content(const QUrl& url) const;
    // Number of pages and their total size in bytes.
    qsizetype pageCount() const { return qsizetype(m_pages.size()); }
    qint64 totalBytes() const { return m_bytes; }

    // Whether `url` names a generated page (any token, published or not).
    static bool IsGeneratedUrl(const QUrl& url);
    // Whether a request that `initiator` started may get a generated page:
    // only the program (no initiator) and generated pages themselves.
    static bool MayRequest(const QUrl& initiator);

    static constexpr qsizetype MaxPages = 1000;
    static constexpr qint64 MaxBytes = qint64(512) * 1024 * 1024;
    // Content type of every generated page.
    static constexpr char ContentType[] = "text/html; charset=utf-8";
    // The policy that every generated page is served with.
    static constexpr char Policy[] = "connect-src 'none'";
    // The bytes served for `page`: the page with the policy's META element
    // put in front (behind a leading document type, so that it keeps its
    // rendering mode).
    static QByteArray WithPolicy(const QByteArray& page);
    // The same bytes as a device open for reading, without a copy of the
    // page (generated pages run to tens of megabytes); owned by `parent`.
    static QIODevice* OpenServedPage(const QByteArray& page, QObject* parent);

    void requestStarted(QWebEngineUrlRequestJob* job) override;

private:
    explicit GeneratedPages(QObject* parent);
    // The token of `url`, or an empty string when it is no generated-page
    // address.
    static QString tokenOf(const QUrl& url);
    // The publishing number of the page `url` names, or 0 when unknown.
    quint64 numberOf(const QUrl& url) const;
    void trim();

    struct Page {
        QString token;
        QByteArray content;
    };
    // Publishing number -> page; numbers grow with publishing, so the first
    // entry is the oldest page.
    std::map<quint64, Page> m_pages;
    // Token -> publishing number.
    QHash<QString, quint64> m_numbers;
    quint64 m_next = 1;
    qint64 m_bytes = 0;
};

} // namespace orv
