// feed: a news feed of 10,000 items from a local server, opened in a feed
// window of the program until it is shown (loaded, rendered, its first item
// in the window's document; the engine reads the rest while the user looks),
// against the bare engine loading the same rendered page from the same
// server. Rounds alternate; prints the medians, the time until the engine
// has read the whole feed page (once) and "ratio=" (limit 3).
//
// On the same line, the longest stretch in which the main window did not
// answer (limit 100 ms each): "big_stall_ms=" while a feed of 300,000 items
// loads and renders until its window shows it, and "four_stall_ms=" while
// four feeds of 20 MB each do so at once; beside each the floor of bare
// engine views loading the same rendered pages at once from the same server
// until they show them ("big_floor_ms=", "four_floor_ms="); these pages come
// from a server on a thread of its own. The stall is
// counted once the windows are made; making the four windows in one go is
// "four_windows_ms=". The engine's reading of the rest of such a page
// (minutes, in its own process) is not waited for.

#include "browser/frmbrowser.h"
#include "mainwin/mdiform.h"
#include "mainwin/startup.h"
#include "pages/feedpage.h"
#include "prefs/prefer.h"

#include "common/testhttpserver.h"
#include "inprocess.h"

#include <QPointer>
#include <QSet>
#include <QThread>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <algorithm>
#include <functional>
#include <memory>

using namespace orv;
using namespace orv::bench;

namespace {

constexpr int kItems = 10000;
constexpr int kRounds = 5;
constexpr int kTimeoutMs = 120000;
// The large feeds: one of many short items, and several of many megabytes
// opened at once (as a layout of feed windows restores them).
constexpr int kBigItems = 300000;
constexpr int kLargeFeeds = 4;
constexpr qsizetype kLargeFeedBytes = qsizetype(20) * 1024 * 1024;
constexpr int kLargeTimeoutMs = 600000;

// A page server on a thread of its own: sending the large feeds and pages
// is not the main thread's work, so it does not count as its stall.
class ServerThread {
public:
    ServerThread()
    {
        m_thread.start();
        m_context.moveToThread(&m_thread);
        run([this] {
            m_server = std::make_unique<TestHttpServer>();
            m_base = m_server->url(QString());
        });
    }
    ~ServerThread()
    {
        run([this] { m_server.reset(); });
        m_thread.quit();
        m_thread.wait();
    }
    ServerThread(const ServerThread&) = delete;
    ServerThread& operator=(const ServerThread&) = delete;

    void serve(const QByteArray& path, const QByteArray& contentType, const QByteArray& body)
    {
        run([&] { m_server->serve(path, contentType, body); });
    }
    QUrl url(const QString& path) const { return QUrl(m_base.toString() + path); }

private:
    void run(const std::function<void()>& step)
    {
        QMetaObject::invokeMethod(&m_context, step, Qt::BlockingQueuedConnection);
    }

    QThread m_thread;
    QObject m_context;
    std::unique_ptr<TestHttpServer> m_server;
    QUrl m_base;
};

QByteArray FeedHead(const QByteArray& title)
{
    return "<?xml version='1.0' encoding='UTF-8'?><rss version='2.0'><channel><title>" + title +
           "</title><link>http://127.0.0.1/</link><description>Messfeed</description>";
}

QByteArray BigFeed()
{
    QByteArray xml = FeedHead("Viele Nachrichten");
    for (int i = 1; i <= kItems; ++i) {
        const QByteArray n = QByteArray::number(i);
        xml += "<item><title>Meldung " + n + " &amp; mehr</title><link>http://127.0.0.1/n/" + n +
               "</link><description>Zusammenfassung der Meldung " + n +
               ": Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod "
               "tempor.</description></item>\n";
    }
    return xml + "</channel></rss>";
}

// Many short items.
QByteArray ManyItemsFeed(int items)
{
    QByteArray xml = FeedHead("Sehr viele Nachrichten");
    xml.reserve(qsizetype(items) * 72);
    for (int i = 1; i <= items; ++i) {
        const QByteArray n = QByteArray::number(i);
        xml += "<item><title>Meldung " + n + "</title><link>http://h/" + n + "</link></item>\n";
    }
    return xml + "</channel></rss>";
}

// A feed of at least `bytes`, its texts told apart by `number`.
QByteArray LargeFeed(int number, qsizetype bytes)
{
    const QByteArray tag = QByteArray::number(number);
    QByteArray xml = FeedHead("Grosser Feed " + tag);
    xml.reserve(bytes + 1024);
    for (int i = 1; xml.size() < bytes; ++i) {
        const QByteArray n = QByteArray::number(i);
        xml += "<item><title>Feed " + tag + ", Meldung " + n +
               " &amp; mehr</title><link>http://127.0.0.1/" + tag + "/" + n +
               "</link><description>Zusammenfassung der Meldung " + n +
               ": Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod "
               "tempor.</description></item>\n";
    }
    return xml + "</channel></rss>";
}

// Whether every page shows its first item; asks each page every 20 ms.
class FirstItemsShown {
public:
    explicit FirstItemsShown(std::function<QList<QWebEnginePage*>()> pages)
        : m_pages(std::move(pages))
    {
        m_ask.setInterval(20);
        QObject::connect(&m_ask, &QTimer::timeout, [this] {
            const QList<QWebEnginePage*> pages = m_pages();
            for (QWebEnginePage* page : pages)
                if (page && !m_shown->contains(page))
                    page->runJavaScript(QStringLiteral("document.querySelector('.itemborder') "
                                                       "!== null"),
                                        [shown = m_shown, page](const QVariant& answer) {
                                            if (answer.toBool())
                                                shown->insert(page);
                                        });
        });
        m_ask.start();
    }
    bool all(qsizetype count) const { return m_shown->size() == count; }

private:
    std::function<QList<QWebEnginePage*>()> m_pages;
    // Shared with the answers, which may come after this object is gone.
    std::shared_ptr<QSet<QWebEnginePage*>> m_shown = std::make_shared<QSet<QWebEnginePage*>>();
    QTimer m_ask;
};

// The longest stall while the program loads and renders a feed in a new
// window on each of `feedUrls` at once, until every window shows it; -1
// when they did not. `createMs` is the time taken to make the windows.
qint64 ProgramStallMs(MDIForm1& main, const QStringList& feedUrls, StallMonitor& stalls,
                      qint64* createMs)
{
    std::vector<QPointer<frmBrowser>> windows;
    const QMetaObject::Connection added = QObject::connect(
        &main, &MDIForm1::browserAdded, &main, [&](frmBrowser* w) { windows.emplace_back(w); });
    // The windows are made first, in one go (as a layout makes them); the
    // loads go on without the main thread waiting for them.
    QElapsedTimer creating;
    creating.start();
    for (const QString& url : feedUrls)
        main.OpenXmlFeedBkm(url);
    *createMs = creating.elapsed();
    stalls.start();
    bool shown = false;
    {
        const FirstItemsShown items([&] {
            QList<QWebEnginePage*> pages;
            for (const QPointer<frmBrowser>& w : windows)
                if (w && w->LocationURL().startsWith(QLatin1String("orvane:")))
                    pages << w->page();
            return pages;
        });
        shown = WaitUntil([&] { return items.all(feedUrls.size()); }, kLargeTimeoutMs);
    }
    const qint64 stallMs = stalls.stop();
    QObject::disconnect(added);
    for (const QPointer<frmBrowser>& w : windows)
        if (w)
            w->close();
    WaitUntil([&] { return main.Browser().isEmpty(); }, kTimeoutMs);
    return shown ? stallMs : -1;
}

// The longest stall while bare views load `pages` at once until each shows
// its first item; -1 when one did not.
qint64 BareStallMs(const QList<QUrl>& pages, QSize size, StallMonitor& stalls)
{
    std::vector<std::unique_ptr<QWebEngineView>> views;
    for (qsizetype i = 0; i < pages.size(); ++i) {
        views.push_back(std::make_unique<QWebEngineView>());
        views.back()->resize(size);
        views.back()->show();
    }
    stalls.start();
    for (qsizetype i = 0; i < pages.size(); ++i)
        views[std::size_t(i)]->load(pages.at(i));
    bool shown = false;
    {
        const FirstItemsShown items([&] {
            QList<QWebEnginePage*> list;
            for (const auto& view : views)
                list << view->page();
            return list;
        });
        shown = WaitUntil([&] { return items.all(pages.size()); }, kLargeTimeoutMs);
    }
    const qint64 stallMs = stalls.stop();
    return shown ? stallMs : -1;
}

} // namespace

int main(int argc, char** argv)
{
    InProcessBench bench(argc, argv);
    TestHttpServer server;
    const QByteArray feed = BigFeed();
    server.serve("/feed.xml", "application/rss+xml", feed);
    const QString feedUrl = server.url(QStringLiteral("/feed.xml")).toString();
    const FeedPage rendered = RenderFeed(feed, feedUrl);
    server.serve("/rendered.html", "text/html; charset=utf-8", rendered.html);

    Prefer prefer;
    prefer.LoadPref();
    prefer.setStartBrowser(false);
    std::unique_ptr<MDIForm1> main = StartMainWindow(prefer, QString());
    QWebEngineView bare;
    bare.resize(main->size());
    bare.show();

    double completeMs = 0;
    std::vector<double> programMs;
    std::vector<double> bareMs;
    for (int round = 0; round < 2 * kRounds; ++round) {
        QElapsedTimer clock;
        if (round % 2 == 0) {
            frmBrowser* window = nullptr;
            QObject::connect(
                main.get(), &MDIForm1::browserAdded, &bench.app, [&](frmBrowser* w) { window = w; },
                Qt::SingleShotConnection);
            clock.start();
            main->OpenXmlFeedBkm(feedUrl);
            // Shown: the first item is in the window's document (the engine
            // paints a page while it goes on reading it).
            const bool shown = WaitForScript(
                [&]() -> QWebEnginePage* {
                    return window && window->LocationURL().startsWith(QLatin1String("orvane:"))
                               ? window->page()
                               : nullptr;
                },
                QStringLiteral("document.querySelector('.itemborder') !== null"), kTimeoutMs);
            const double shownMs = double(clock.nsecsElapsed()) / 1e6;
            if (!shown || window->windowTitle() != rendered.caption) {
                std::fprintf(stderr, "feed: the program's feed window was not shown\n");
                return 1;
            }
            programMs.push_back(shownMs);
            // Once: how long the engine takes to read the whole page.
            if (round == 0 && WaitUntil([&] { return !window->Busy(); }, kTimeoutMs))
                completeMs = double(clock.nsecsElapsed()) / 1e6;
            window->close();
            WaitUntil([&] { return main->Browser().isEmpty(); }, kTimeoutMs);
        } else {
            const double ms =
                BareLoadMs(bare, server.url(QStringLiteral("/rendered.html")), kTimeoutMs);
            if (ms < 0) {
                std::fprintf(stderr, "feed: the bare engine did not load the page\n");
                return 1;
            }
            bareMs.push_back(ms);
        }
    }
    const double program = MedianOf(programMs);
    const double floor = MedianOf(bareMs);

    // The large feeds, served as feeds and as their rendered pages.
    StallMonitor stalls;
    ServerThread large;
    const QByteArray many = ManyItemsFeed(kBigItems);
    large.serve("/many.xml", "application/rss+xml", many);
    const QString manyUrl = large.url(QStringLiteral("/many.xml")).toString();
    large.serve("/many.html", "text/html; charset=utf-8", RenderFeed(many, manyUrl).html);
    QStringList largeUrls;
    QList<QUrl> largePages;
    for (int f = 1; f <= kLargeFeeds; ++f) {
        const QByteArray path = "/large" + QByteArray::number(f);
        const QByteArray xml = LargeFeed(f, kLargeFeedBytes);
        large.serve(path + ".xml", "application/rss+xml", xml);
        largeUrls << large.url(QString::fromLatin1(path + ".xml")).toString();
        large.serve(path + ".html", "text/html; charset=utf-8",
                    RenderFeed(xml, largeUrls.constLast()).html);
        largePages << large.url(QString::fromLatin1(path + ".html"));
    }
    bare.close();
    qint64 bigCreate = 0;
    qint64 fourCreate = 0;
    const qint64 bigStall = ProgramStallMs(*main, {manyUrl}, stalls, &bigCreate);
    const qint64 bigFloor =
        BareStallMs({large.url(QStringLiteral("/many.html"))}, main->size(), stalls);
    const qint64 fourStall = ProgramStallMs(*main, largeUrls, stalls, &fourCreate);
    const qint64 fourFloor = BareStallMs(largePages, main->size(), stalls);
    if (bigStall < 0 || fourStall < 0 || bigFloor < 0 || fourFloor < 0) {
        std::fprintf(stderr,
                     "feed: a large feed was not shown (program %lld %lld, bare %lld %lld)\n",
                     static_cast<long long>(bigStall), static_cast<long long>(fourStall),
                     static_cast<long long>(bigFloor), static_cast<long long>(fourFloor));
        return 1;
    }

    std::printf("feed: items=%d page_kb=%lld runs=%d shown_ms=%.0f complete_ms=%.0f bare_ms=%.0f "
                "big_items=%d big_feed_kb=%lld big_stall_ms=%lld big_floor_ms=%lld "
                "four_feed_kb=%lld four_stall_ms=%lld four_floor_ms=%lld four_windows_ms=%lld "
                "ratio=%.2f\n",
                kItems, static_cast<long long>(rendered.html.size() / 1024), kRounds, program,
                completeMs, floor, kBigItems, static_cast<long long>(many.size() / 1024),
                static_cast<long long>(bigStall), static_cast<long long>(bigFloor),
                static_cast<long long>(kLargeFeedBytes / 1024), static_cast<long long>(fourStall),
                static_cast<long long>(fourFloor), static_cast<long long>(fourCreate),
                floor > 0 ? program / floor : 0.0);
    main.reset();
    return 0;
}
