// recovery: the main thread's part of one save of the recovery file with 250
// open windows (collecting every window's address, title, geometry, state
// and bars, and handing them to the writer; the write itself runs on a
// worker), against the floor of listing the 250 windows' addresses. Goal:
// under 5 ms. Rounds alternate; prints the medians and "ratio=".

#include "browser/frmbrowser.h"
#include "mainwin/mdiform.h"
#include "mainwin/recoveryfile.h"
#include "mainwin/startup.h"
#include "prefs/prefer.h"

#include "common/testhttpserver.h"
#include "inprocess.h"

#include <functional>

using namespace orv;
using namespace orv::bench;

namespace {

constexpr int kRounds = 20;
constexpr int kWindows = 250;
constexpr int kTimeoutMs = 600000;

double MsOf(const std::function<void()>& action)
{
    QElapsedTimer clock;
    clock.start();
    action();
    return double(clock.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    InProcessBench bench(argc, argv);
    TestHttpServer server;
    server.serve("/page.html", "text/html; charset=utf-8",
                 "<!DOCTYPE html><title>Seite</title><p>Inhalt</p>");

    Prefer prefer;
    prefer.LoadPref();
    prefer.setStartBrowser(false);
    std::unique_ptr<MDIForm1> main = StartMainWindow(prefer, QString());
    QStringList addresses;
    for (int i = 0; i < kWindows; ++i) {
        addresses << server.url(QStringLiteral("/page.html?n=%1").arg(i)).toString();
        main->OpenNewBrowser(addresses.constLast());
    }
    const auto allShown = [&] {
        const QList<frmBrowser*>& windows = main->Browser();
        if (windows.size() != kWindows)
            return false;
        for (int i = 0; i < kWindows; ++i)
            if (windows.at(i)->LocationURL() != addresses.at(i) || windows.at(i)->Busy())
                return false;
        return true;
    };
    if (!WaitUntil(allShown, kTimeoutMs)) {
        std::fprintf(stderr, "recovery: the %d windows did not load\n", kWindows);
        return 1;
    }
    RecoveryFile& recovery = main->recovery();
    recovery.Start(bench.home.path());
    recovery.WaitForWrites();

    std::vector<double> saveMs;
    std::vector<double> floorMs;
    qsizetype listed = 0;
    for (int round = 0; round < 2 * kRounds; ++round) {
        if (round % 2 == 0) {
            saveMs.push_back(MsOf([&] { recovery.SaveNow(); }));
            recovery.WaitForWrites();
        } else {
            floorMs.push_back(MsOf([&] {
                QStringList urls;
                for (const frmBrowser* w : main->Browser())
                    urls << w->LocationURL();
                listed += urls.size();
            }));
        }
    }
    QList<LayoutWindowRecord> written;
    if (!readLayoutFile(RecoveryFile::FilePath(bench.home.path()), written).ok ||
        written.size() != kWindows || listed != qsizetype(kRounds) * kWindows) {
        std::fprintf(stderr, "recovery: the recovery file does not hold the %d windows\n",
                     kWindows);
        return 1;
    }
    const double save = MedianOf(saveMs);
    const double floor = MedianOf(floorMs);
    std::printf("recovery: windows=%d runs=%d save_ms=%.2f goal_ms=5 list_ms=%.2f ratio=%.2f\n",
                kWindows, kRounds, save, floor, floor > 0 ? save / floor : 0.0);
    main.reset();
    return 0;
}
