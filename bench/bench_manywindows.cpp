// many-windows: the program starts with a start-up folder of 250 bookmarks
// (pages 1 .. 250 from 10 local sites, served from a thread of its own).
// Prints the longest stretch in which the main window did not answer
// ("stall_ms=", limit 100 ms), counted from the moment the main window is
// up ("start_ms=" after its start) until every window has loaded its page, beside the floor: the
// bare engine opening 250 views in a window area, one per turn of the event loop, each loading the
// same page, until every one has ("floor_ms="), and the same meter while nothing happens
// ("idle_ms="). Also the time until all windows are open ("open_ms=") and loaded ("loaded_ms=").
// "ratio=" is the stall over the bare engine's.

#include "browser/frmbrowser.h"
#include "mainwin/mdiform.h"
#include "mainwin/startup.h"
#include "prefs/prefer.h"

#include "inprocess.h"
#include "pagethread.h"
#include "startfolder.h"

#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QWebEngineView>

#include <memory>
#include <vector>

using namespace orv;
using namespace orv::bench;

namespace {

constexpr int kWindows = 250;
constexpr int kSites = 10;
constexpr int kIdleMs = 1000;
constexpr qint64 kLimitMs = 100;
constexpr int kTimeoutMs = 300000;
const char kFolderFile[] = "BenchStart.bkm";

// The bare engine: a window area, one view more each turn of the event
// loop, every view loading its page; the longest stall until all loaded
// (-1 when they did not).
qint64 BareStallMs(const QString& bases, QSize size, StallMonitor& stalls)
{
    QMdiArea area;
    area.resize(size);
    area.show();
    std::vector<QPointer<QWebEngineView>> views;
    int loaded = 0;
    QTimer next;
    next.setInterval(0);
    QObject::connect(&next, &QTimer::timeout, &area, [&] {
        auto* view = new QWebEngineView;
        QObject::connect(view, &QWebEngineView::loadFinished, &area, [&] { ++loaded; });
        area.addSubWindow(view)->showMaximized();
        views.emplace_back(view);
        view->load(QUrl(PageUrl(bases, int(views.size()))));
        if (views.size() == kWindows)
            next.stop();
    });
    stalls.start();
    next.start();
    const bool done = WaitUntil([&] { return loaded >= kWindows; }, kTimeoutMs);
    const qint64 stall = stalls.stop();
    area.closeAllSubWindows();
    WaitUntil([&] { return area.subWindowList().isEmpty(); }, kTimeoutMs);
    return done ? stall : -1;
}

} // namespace

int main(int argc, char** argv)
{
    InProcessBench bench(argc, argv);
    PageThread pages(kWindows, kSites);
    const QString bases = pages.bases();
    if (bases.isEmpty() || !WriteStartFolder(bases, kFolderFile, kWindows)) {
        std::fprintf(stderr, "many-windows: no page servers or no folder file\n");
        return 1;
    }
    StallMonitor stalls;
    stalls.start();
    WaitUntil([] { return false; }, kIdleMs);
    const qint64 idle = stalls.stop();

    // The engine starts before either side is measured.
    {
        QWebEngineView warm;
        warm.show();
        warm.load(QUrl(PageUrl(bases, 1)));
        WaitForSignal(&warm, &QWebEngineView::loadFinished, kTimeoutMs);
    }
    const qint64 floor = BareStallMs(bases, QSize(kWindowWidth, kWindowHeight), stalls);
    // The bare engine's views are gone before the program is measured: left
    // to the event loop, their deletion falls into the program's first turns.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    Prefer prefer;
    prefer.LoadPref();
    prefer.setStartBrowser(false);
    prefer.setLoadOption(3);
    prefer.setGroupFile(QString::fromLatin1(kFolderFile));
    QElapsedTimer clock;
    clock.start();
    std::unique_ptr<MDIForm1> main = StartMainWindow(prefer, QString());
    const qint64 startMs = clock.elapsed();
    stalls.start();
    // BENCH_VERBOSE=1 lists every stall above the limit on stderr.
    QTimer gaps;
    QElapsedTimer since;
    if (qEnvironmentVariableIntValue("BENCH_VERBOSE")) {
        gaps.setInterval(5);
        QObject::connect(&gaps, &QTimer::timeout, [&] {
            if (since.elapsed() > kLimitMs)
                std::fprintf(stderr, "stall %lld ms at %lld ms, %lld windows\n",
                             static_cast<long long>(since.elapsed()),
                             static_cast<long long>(clock.elapsed()),
                             static_cast<long long>(main->Browser().size()));
            since.restart();
        });
        since.start();
        gaps.start();
    }
    WaitUntil([&] { return main->Browser().size() == kWindows; }, kTimeoutMs);
    const qint64 openMs = clock.elapsed();
    const bool loaded = WaitUntil([&] { return AllLoaded(*main, kWindows); }, kTimeoutMs);
    const qint64 loadedMs = clock.elapsed();
    const qint64 stall = stalls.stop();
    if (!loaded || floor < 0) {
        std::fprintf(stderr, "many-windows: not every page loaded (program %lld of %d, bare %s)\n",
                     static_cast<long long>(main->Browser().size()), kWindows,
                     floor < 0 ? "failed" : "ok");
        return 1;
    }
    std::printf("many-windows: windows=%d sites=%d stall_ms=%lld floor_ms=%lld idle_ms=%lld "
                "start_ms=%lld open_ms=%lld loaded_ms=%lld ratio=%.2f\n",
                kWindows, kSites, static_cast<long long>(stall), static_cast<long long>(floor),
                static_cast<long long>(idle), static_cast<long long>(startMs),
                static_cast<long long>(openMs), static_cast<long long>(loadedMs),
                floor > 0 ? double(stall) / double(floor) : 0.0);
    main->CloseAllBrowser();
    WaitUntil([&] { return main->Browser().isEmpty(); }, kTimeoutMs);
    main.reset();
    return 0;
}
