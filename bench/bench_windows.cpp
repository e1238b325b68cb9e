// Many windows: time to open 100 windows on 100 distinct local pages until
// every page has loaded. The program's side (probe_program) opens them as a
// bookmark folder through the registry, each a full browser window (band
// bar, address box, toolbar, tab); the floor (probe_bare) puts 100 bare
// views into sub-windows of a window area, shown maximised alike. Both load
// /p1 .. /p100 from 10 local sites in this process (servers on 127.0.0.1 ..
// 127.0.0.10), with the same switches given from outside (the program adds
// its process model, the floor keeps the engine's default). The sides run
// in turn, alternating which goes first; the median of each counts.

#include "benchsupport.h"

#include <QCoreApplication>

#include <cstdio>
#include <vector>

namespace {

constexpr int kWindows = 100;
// The pages come from this many sites (loopback addresses), ten windows on
// each, as when browsing: the engine's processes follow the sites.
constexpr int kSites = 10;
constexpr int kRounds = 5;
constexpr int kProbeTimeoutMs = 150000;

} // namespace

int main(int argc, char** argv)
{
    using orv::bench::ProbeBench;
    QCoreApplication app(argc, argv);
    ProbeBench bench("bench_windows");
    const QString baseUrls = bench.servePages(kWindows, kSites);
    if (!bench.ready())
        return 1;

    std::vector<double> ms[2];
    std::vector<double> mainCpuMs[2];
    if (!bench.windowRounds(QStringLiteral("windows"), baseUrls, kWindows, kRounds, kProbeTimeoutMs,
                            [&](int side, const orv::bench::ProbeRun& run) {
                                ms[side].push_back(run.number(QStringLiteral("open_ms")));
                                mainCpuMs[side].push_back(
                                    run.number(QStringLiteral("main_cpu_ms")));
                            }))
        return 1;

    const double program = orv::bench::Median(ms[ProbeBench::kProgram]);
    const double bare = orv::bench::Median(ms[ProbeBench::kBare]);
    // The main thread's CPU time is a detail: the engine's own work for the
    // windows runs on that thread too, so what the windows add there delays
    // every page.
    std::printf("windows: windows=%d runs=%d container=QMdiSubWindow program_ms=%.0f "
                "(main thread cpu %.0f) bare_ms=%.0f (main thread cpu %.0f) ratio=%.2f\n",
                kWindows, kRounds, program, orv::bench::Median(mainCpuMs[ProbeBench::kProgram]),
                bare, orv::bench::Median(mainCpuMs[ProbeBench::kBare]), program / bare);
    return 0;
}
