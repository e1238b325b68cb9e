// feed: a news feed of 10,000 items from a local server, opened in a feed
// window of the program until it is shown (loaded, rendered, its first item
// in the window's document; the engine reads the rest while the user looks),
// against the bare engine loading the same rendered page from the same
// server. Rounds alternate; prints the medians, the time until the engine
// has read the whole feed page (once) and "ratio=" (limit 3).

#include "browser/frmbrowser.h"
#include "mainwin/mdiform.h"
#include "mainwin/startup.h"
#include "prefs/prefer.h"
#include "tools/feedpage.h"

#include "common/testhttpserver.h"
#include "inprocess.h"

#include <QWebEnginePage>
#include <QWebEngineView>

using namespace orv;
using namespace orv::bench;

namespace {

constexpr int kItems = 10000;
constexpr int kRounds = 5;
constexpr int kTimeoutMs = 120000;

QByteArray BigFeed()
{
    QByteArray xml = "<?xml version='1.0' encoding='UTF-8'?><rss version='2.0'><channel>"
                     "<title>Viele Nachrichten</title><link>http://127.0.0.1/</link>"
                     "<description>Messfeed</description>";
    for (int i = 1; i <= kItems; ++i) {
        const QByteArray n = QByteArray::number(i);
        xml += "<item><title>Meldung " + n + " &amp; mehr</title><link>http://127.0.0.1/n/" + n +
               "</link><description>Zusammenfassung der Meldung " + n +
               ": Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod "
               "tempor.</description></item>\n";
    }
    return xml + "</channel></rss>";
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
    std::printf("feed: items=%d page_kb=%lld runs=%d shown_ms=%.0f complete_ms=%.0f bare_ms=%.0f "
                "ratio=%.2f\n",
                kItems, static_cast<long long>(rendered.html.size() / 1024), kRounds, program,
                completeMs, floor, floor > 0 ? program / floor : 0.0);
    main.reset();
    return 0;
}
