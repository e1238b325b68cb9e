// Start-up: time from starting the process to the first page loaded, for the
// program's start-up (probe_program: the entry's steps, first window for the
// page given as argument) and, as the floor, a bare engine program showing one
// view of the same size (probe_bare). The page comes from a local server in
// this process. Each side has its own home folder (data folder and engine
// profile), warmed by one untimed start; then the sides start in turn,
// alternating which goes first, and the median of each counts.
//
// Time = the child's monotonic clock when the load finished minus this
// process's clock right before the child was started (both sides alike).
// BENCH_VERBOSE=1 lists every start on stderr, with the child's own count of
// its age (from /proc/self/stat) beside it as a check.

#include "benchsupport.h"
#include "common/testhttpserver.h"

#include <QCoreApplication>

#include <cstdio>
#include <vector>

namespace {

constexpr int kRounds = 40;
constexpr int kProbeTimeoutMs = 60000;

} // namespace

int main(int argc, char** argv)
{
    using orv::bench::ProbeBench;
    QCoreApplication app(argc, argv);
    ProbeBench bench("bench_startup");
    bench.server().serve("/start", "text/html; charset=utf-8", orv::bench::BenchPage(1));
    const QString url = bench.server().url(QStringLiteral("/start")).toString();
    if (!bench.ready())
        return 1;

    auto runOnce = [&](int side) {
        return bench.startupMs(side, url, kProbeTimeoutMs, /*freshHome=*/false);
    };
    for (int side : {ProbeBench::kProgram, ProbeBench::kBare})
        if (runOnce(side) < 0)
            return 1;
    std::vector<double> ms[2];
    const bool measured = bench.alternate(kRounds, [&](int side) {
        const double one = runOnce(side);
        if (one < 0)
            return false;
        ms[side].push_back(one);
        return true;
    });
    if (!measured)
        return 1;

    const std::vector<double>& programMs = ms[ProbeBench::kProgram];
    const std::vector<double>& bareMs = ms[ProbeBench::kBare];
    const double program = orv::bench::Median(programMs);
    const double bare = orv::bench::Median(bareMs);
    std::printf("startup: runs=%d program_ms=%.0f (%s) bare_ms=%.0f (%s) ratio=%.2f\n", kRounds,
                program, qPrintable(orv::bench::Spread(programMs)), bare,
                qPrintable(orv::bench::Spread(bareMs)), program / bare);
    return 0;
}
