// closed-windows: the memory the program's own process keeps after many
// windows were closed. The program starts on a start page (a local page);
// once it has loaded and settled, the resident memory of the process is
// the base ("base_mb="). Then a bookmark folder of 249 pages from 10 local
// sites opens as at start-up, up to the limit of 250 windows ("open_mb="
// once all loaded and settled), and
// "Alle Fenster schließen..." closes them all; after a settle the resident
// memory again ("closed_mb=", limit 1.5 x base). "ratio=" is closed over
// base. Beside it what the heap holds in use ("heap_used_mb=") and keeps
// unused ("heap_free_mb=") and the engine views still alive ("views=").

#include "browser/frmbrowser.h"
#include "mainwin/mdiform.h"
#include "mainwin/startup.h"
#include "prefs/prefer.h"

#include "inprocess.h"
#include "pagethread.h"
#include "startfolder.h"

#include <QDir>
#include <QWebEngineView>

#include <malloc.h>

#include <memory>

using namespace orv;
using namespace orv::bench;

namespace {

constexpr int kWindows = 250;
constexpr int kSites = 10;
constexpr int kSettleMs = 5000;
// The engine frees closed pages over several seconds (longer on a busy
// machine).
constexpr int kClosedSettleMs = 12000;
constexpr int kTimeoutMs = 300000;
const char kFolderFile[] = "BenchMany.bkm";

// Resident memory of this process in MiB.
double RssMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

double UsedMb()
{
    return double(::mallinfo2().uordblks) / 1048576.0;
}

int LiveViews()
{
    int views = 0;
    for (QWidget* w : QApplication::allWidgets())
        views += qobject_cast<QWebEngineView*>(w) ? 1 : 0;
    return views;
}

void Settle()
{
    WaitUntil([] { return false; }, kSettleMs);
}

} // namespace

int main(int argc, char** argv)
{
    InProcessBench bench(argc, argv);
    PageThread pages(kWindows, kSites);
    const QString bases = pages.bases();
    if (bases.isEmpty() || !WriteStartFolder(bases, kFolderFile, kWindows - 1)) {
        std::fprintf(stderr, "closed-windows: no page servers or no folder file\n");
        return 1;
    }
    Prefer prefer;
    prefer.LoadPref();
    prefer.setStartBrowser(true);
    prefer.setHomeUrl(PageUrl(bases, kWindows));
    std::unique_ptr<MDIForm1> main = StartMainWindow(prefer, QString());
    if (!WaitUntil([&] { return AllLoaded(*main, 1); }, kTimeoutMs)) {
        std::fprintf(stderr, "closed-windows: the start page did not load\n");
        return 1;
    }
    Settle();
    const double base = RssMb();
    const double baseUsed = UsedMb();

    OpenBookmarkFolderAtStart(*main, QString::fromLatin1(kFolderFile));
    if (!WaitUntil([&] { return AllLoaded(*main, kWindows); }, kTimeoutMs)) {
        std::fprintf(stderr, "closed-windows: not every page loaded\n");
        return 1;
    }
    Settle();
    const double open = RssMb();
    const double openUsed = UsedMb();

    main->CloseAllBrowser();
    WaitUntil([&] { return main->Browser().isEmpty(); }, kTimeoutMs);
    WaitUntil([] { return false; }, kClosedSettleMs);
    const double closed = RssMb();
    const struct mallinfo2 heap = ::mallinfo2();
    // BENCH_VERBOSE=1: what the heap held in use before and with the windows.
    if (qEnvironmentVariableIntValue("BENCH_VERBOSE"))
        std::fprintf(stderr, "heap in use: base %.0f MB, windows open %.0f MB\n", baseUsed,
                     openUsed);
    std::printf("closed-windows: windows=%d sites=%d base_mb=%.0f open_mb=%.0f closed_mb=%.0f "
                "heap_used_mb=%.0f heap_free_mb=%.0f views=%d ratio=%.2f\n",
                kWindows, kSites, base, open, closed, double(heap.uordblks) / 1048576.0,
                double(heap.fordblks) / 1048576.0, LiveViews(), base > 0 ? closed / base : 0.0);
    main.reset();
    return 0;
}
