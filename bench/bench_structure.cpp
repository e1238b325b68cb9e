// structure: the structure view of a large real page (the Node.js API page
// when the machine has it, else the largest HTML page under /usr/share/doc,
// else a generated one; prints which), from the View menu until the engine
// has read and shown the whole view (the view's load has finished), against
// the bare engine loading that page, both from one local server. Rounds
// alternate; prints the medians: the time until the view's first section is
// in its document ("shown_ms"), until the whole view is loaded
// ("complete_ms"), the bare load, "ratio=" (whole view over the bare load,
// limit 3) and "stall_ms=", the longest stretch in which the main window did
// not answer from the menu command until the whole view was loaded (limit
// 100; "bare_stall_ms=" the same while the bare engine loads the page, for
// a machine that is busy with other work).

#include "browser/frmbrowser.h"
#include "mainwin/mdiform.h"
#include "mainwin/menuitems.h"
#include "mainwin/startup.h"
#include "prefs/prefer.h"

#include "common/testhttpserver.h"
#include "inprocess.h"

#include <QAction>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QWebEnginePage>
#include <QWebEngineView>

using namespace orv;
using namespace orv::bench;

namespace {

// Rounds of each side; BENCH_ROUNDS=<n> asks for others (a whole view of the
// Node.js page takes minutes on a busy machine).
constexpr int kRounds = 3;
constexpr int kTimeoutMs = 600000;

QString LargestPage()
{
    const QString preferred = QStringLiteral("/usr/share/doc/nodejs/api/all.html");
    if (QFileInfo(preferred).isFile())
        return preferred;
    QString largest;
    qint64 size = 0;
    QDirIterator it(QStringLiteral("/usr/share/doc"), {QStringLiteral("*.html")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        if (info.size() > size) {
            size = info.size();
            largest = info.filePath();
        }
    }
    return largest;
}

// A page of many sections with headings, paragraphs, links and lists.
QByteArray GeneratedPage()
{
    QByteArray body;
    for (int s = 1; s <= 2000; ++s) {
        const QByteArray n = QByteArray::number(s);
        body += "<section id='s" + n + "'><h2 class='head'>Abschnitt " + n +
                "</h2><p>Text <a href='#s" + n +
                "' title='Anker'>Verweis</a> und mehr.</p>"
                "<ul><li>Eins</li><li>Zwei</li><li><code>drei()</code></li></ul></section>\n";
    }
    return "<!DOCTYPE html><html><head><title>Gross</title></head><body>" + body + "</body></html>";
}

} // namespace

int main(int argc, char** argv)
{
    InProcessBench bench(argc, argv);
    TestHttpServer server;
    const QString path = LargestPage();
    QByteArray page;
    if (QFile file(path); !path.isEmpty() && file.open(QIODevice::ReadOnly))
        page = file.readAll();
    const bool generated = page.isEmpty();
    if (generated)
        page = GeneratedPage();
    server.serve("/page.html", "text/html; charset=utf-8", page);
    const QUrl url = server.url(QStringLiteral("/page.html"));

    Prefer prefer;
    prefer.LoadPref();
    prefer.setStartBrowser(false);
    std::unique_ptr<MDIForm1> main = StartMainWindow(prefer, QString());
    frmBrowser* source = OpenLoaded(*main, url, kTimeoutMs);
    if (!source) {
        std::fprintf(stderr, "structure: the page did not load in the program\n");
        return 1;
    }
    QWebEngineView bare;
    bare.resize(main->size());
    bare.show();

    StallMonitor stalls;
    qint64 stallMs = 0;
    qint64 bareStallMs = 0;
    std::vector<double> shownMs;
    std::vector<double> completeMs;
    std::vector<double> bareMs;
    const int rounds = qEnvironmentVariableIntValue("BENCH_ROUNDS") > 0
                           ? qEnvironmentVariableIntValue("BENCH_ROUNDS")
                           : kRounds;
    for (int round = 0; round < 2 * rounds; ++round) {
        QElapsedTimer clock;
        if (round % 2 == 0) {
            main->mdiArea()->setActiveSubWindow(source);
            frmBrowser* view = nullptr;
            QObject::connect(
                main.get(), &MDIForm1::browserAdded, &bench.app, [&](frmBrowser* w) { view = w; },
                Qt::SingleShotConnection);
            stalls.start();
            clock.start();
            main->menuItems().Item(QStringLiteral("mn_DocStruct"))->trigger();
            // Shown: the view's first section is in its document (the engine
            // paints a page while it goes on reading it).
            const bool isShown = WaitForScript(
                [&]() -> QWebEnginePage* {
                    return view && view->LocationURL().startsWith(QLatin1String("orvane:"))
                               ? view->page()
                               : nullptr;
                },
                QStringLiteral("document.getElementById('d0') !== null"), kTimeoutMs);
            const double shown = double(clock.nsecsElapsed()) / 1e6;
            // Complete: the engine has read the whole view and its load
            // has finished.
            const bool isComplete = isShown && WaitUntil([&] { return !view->Busy(); }, kTimeoutMs);
            const double complete = double(clock.nsecsElapsed()) / 1e6;
            stallMs = std::max(stallMs, stalls.stop());
            if (!isComplete) {
                std::fprintf(stderr, "structure: the structure view was not %s\n",
                             isShown ? "loaded completely" : "shown");
                return 1;
            }
            std::fprintf(stderr, "structure: round %d shown_ms=%.0f complete_ms=%.0f\n",
                         round / 2 + 1, shown, complete);
            shownMs.push_back(shown);
            completeMs.push_back(complete);
            view->close();
            WaitUntil([&] { return main->Browser().size() == 1; }, kTimeoutMs);
        } else {
            stalls.start();
            const double ms = BareLoadMs(bare, url, kTimeoutMs);
            bareStallMs = std::max(bareStallMs, stalls.stop());
            if (ms < 0) {
                std::fprintf(stderr, "structure: the bare engine did not load the page\n");
                return 1;
            }
            bareMs.push_back(ms);
        }
    }
    const double program = MedianOf(completeMs);
    const double floor = MedianOf(bareMs);
    std::printf("structure: page=%s page_kb=%lld runs=%d shown_ms=%.0f complete_ms=%.0f "
                "bare_ms=%.0f stall_ms=%lld bare_stall_ms=%lld ratio=%.2f\n",
                generated ? "generated" : qPrintable(path),
                static_cast<long long>(page.size() / 1024), rounds, MedianOf(shownMs), program,
                floor, static_cast<long long>(stallMs), static_cast<long long>(bareStallMs),
                floor > 0 ? program / floor : 0.0);
    main.reset();
    return 0;
}
