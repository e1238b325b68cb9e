// Memory per open window: the proportional set size (PSS) of the whole
// process tree (the program's process and every engine process below it)
// with 100 windows on 100 distinct local pages from 10 sites (a server on
// each of 127.0.0.1 .. 127.0.0.10), after a short settle, minus the same
// measure right after start with no window open, divided by 100. The
// program's side (probe_program) opens the pages as a bookmark folder, each
// a full browser window, with the program's process model; the floor
// (probe_bare) holds 100 bare views in sub-windows of a window area, with
// the engine's default process model. Each side runs in its own child
// process, in turn, with the same switches given from outside; the median
// of each counts.

#include "benchsupport.h"

#include <QCoreApplication>

#include <cstdio>
#include <vector>

namespace {

constexpr int kWindows = 100;
// The pages come from this many sites (loopback addresses), ten windows on
// each, as when browsing: the engine's processes follow the sites.
constexpr int kSites = 10;
constexpr int kRounds = 2;
constexpr int kProbeTimeoutMs = 150000;

} // namespace

int main(int argc, char** argv)
{
    using orv::bench::ProbeBench;
    QCoreApplication app(argc, argv);
    ProbeBench bench("bench_windows_memory");
    const QString baseUrls = bench.servePages(kWindows, kSites);
    if (!bench.ready())
        return 1;

    std::vector<double> kbPerWindow[2];
    std::vector<double> processes[2];
    if (!bench.windowRounds(QStringLiteral("memory"), baseUrls, kWindows, kRounds, kProbeTimeoutMs,
                            [&](int side, const orv::bench::ProbeRun& run) {
                                kbPerWindow[side].push_back(
                                    (run.number(QStringLiteral("pss_kb")) -
                                     run.number(QStringLiteral("base_kb"))) /
                                    kWindows);
                                processes[side].push_back(run.number(QStringLiteral("procs")));
                            }))
        return 1;

    const double program = orv::bench::Median(kbPerWindow[ProbeBench::kProgram]);
    const double bare = orv::bench::Median(kbPerWindow[ProbeBench::kBare]);
    std::printf("windows-memory: windows=%d runs=%d program_kb_per_window=%.0f "
                "(processes %.0f) bare_kb_per_window=%.0f (processes %.0f) ratio=%.2f\n",
                kWindows, kRounds, program, orv::bench::Median(processes[ProbeBench::kProgram]),
                bare, orv::bench::Median(processes[ProbeBench::kBare]), program / bare);
    return 0;
}
