// viewmenu: the View menu opened over a window with a page of 8 MB (many
// sections of headings, paragraphs, links, lists and tables, and a feed
// announced in its head), from the menu's opening until its items are
// enabled as the document says (limit 50 ms), against the floor of one
// script round trip that reads a single value of the same page. Rounds
// alternate; prints the medians and "ratio=". The menu is not drawn (the
// headless platform has no screen for it): only its opening is announced,
// as a click on the menu bar announces it.

#include "browser/frmbrowser.h"
#include "mainwin/mdiform.h"
#include "mainwin/menuitems.h"
#include "mainwin/startup.h"
#include "prefs/prefer.h"

#include "common/testhttpserver.h"
#include "inprocess.h"

#include <QAction>
#include <QMenu>
#include <QWebEnginePage>

#include <functional>

using namespace orv;
using namespace orv::bench;

namespace {

constexpr int kRounds = 10;
constexpr int kTimeoutMs = 180000;
constexpr qsizetype kPageBytes = qsizetype(8) * 1024 * 1024;

// A page of at least kPageBytes.
QByteArray LargePage()
{
    QByteArray page = "<!DOCTYPE html><html><head><meta charset='utf-8'><title>Gross</title>"
                      "<link rel='alternate' type='application/rss+xml' title='Neues' "
                      "href='/feed.xml'></head><body>\n";
    page.reserve(kPageBytes + 4096);
    for (int s = 1; page.size() < kPageBytes; ++s) {
        const QByteArray n = QByteArray::number(s);
        page += "<section id='s" + n + "'><h2 class='head'>Abschnitt " + n +
                "</h2><p>Text mit <a href='#s" + n + "' title='Anker'>Verweis</a>, <b>fett</b> " +
                "und <code>code()</code>.</p><ul><li>Eins</li><li>Zwei</li></ul>"
                "<table><tr><td>Zelle</td><td>" +
                n + "</td></tr></table></section>\n";
    }
    return page + "</body></html>";
}

using Finish = std::function<void()>;

// Milliseconds from `start(finish)` until `finish` is called; -1 when it
// was not within kTimeoutMs.
double MsUntilFinished(const std::function<void(const Finish& finish)>& start)
{
    QEventLoop loop;
    bool finished = false;
    const Finish finish = [&] {
        finished = true;
        loop.quit();
    };
    QTimer::singleShot(kTimeoutMs, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    clock.start();
    start(finish);
    if (!finished)
        loop.exec();
    return finished ? double(clock.nsecsElapsed()) / 1e6 : -1;
}

} // namespace

int main(int argc, char** argv)
{
    InProcessBench bench(argc, argv);
    TestHttpServer server;
    const QByteArray page = LargePage();
    server.serve("/page.html", "text/html; charset=utf-8", page);
    const QUrl url = server.url(QStringLiteral("/page.html"));

    Prefer prefer;
    prefer.LoadPref();
    prefer.setStartBrowser(false);
    std::unique_ptr<MDIForm1> main = StartMainWindow(prefer, QString());
    frmBrowser* window = OpenLoaded(*main, url, kTimeoutMs);
    if (!window) {
        std::fprintf(stderr, "viewmenu: the page did not load in the program\n");
        return 1;
    }
    auto* view = main->findChild<QMenu*>(QStringLiteral("mn_Ansicht"));
    QAction* structure = main->menuItems().Item(QStringLiteral("mn_DocStruct"));
    QAction* feeds = main->menuItems().Item(QStringLiteral("mn_Newsfeeds"));
    if (!view || !structure || !feeds) {
        std::fprintf(stderr, "viewmenu: the View menu is missing\n");
        return 1;
    }

    std::vector<double> programMs;
    std::vector<double> floorMs;
    for (int round = 0; round < 2 * kRounds; ++round) {
        if (round % 2 == 0) {
            // Opened: the page's views and its feed are offered.
            QMetaObject::Connection enabled;
            const double ms = MsUntilFinished([&](const Finish& finish) {
                enabled = QObject::connect(structure, &QAction::enabledChanged, structure, [&] {
                    if (structure->isEnabled() && feeds->isEnabled())
                        finish();
                });
                Q_EMIT view->aboutToShow();
            });
            QObject::disconnect(enabled);
            if (ms < 0) {
                std::fprintf(stderr, "viewmenu: the View menu's items were not enabled\n");
                return 1;
            }
            programMs.push_back(ms);
        } else {
            const double ms = MsUntilFinished([&](const Finish& finish) {
                window->page()->runJavaScript(QStringLiteral("document.readyState"),
                                              [finish](const QVariant&) { finish(); });
            });
            if (ms < 0) {
                std::fprintf(stderr, "viewmenu: the page did not answer a script\n");
                return 1;
            }
            floorMs.push_back(ms);
        }
    }
    const double program = MedianOf(programMs);
    const double floor = MedianOf(floorMs);
    std::printf("viewmenu: page_kb=%lld runs=%d open_ms=%.1f script_ms=%.1f ratio=%.2f\n",
                static_cast<long long>(page.size() / 1024), kRounds, program, floor,
                floor > 0 ? program / floor : 0.0);
    main.reset();
    return 0;
}
