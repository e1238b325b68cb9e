// First start: time from starting the process to the first page loaded when
// the home folder is new and empty, so the start has to make everything it
// keeps: the program (probe_program) its data folder with its files and the
// engine's profile, the floor (probe_bare, the bare engine with one view)
// its engine profile. Every start gets a home folder of its own, removed
// afterwards. The sides start in turn, alternating which goes first; the
// median of each counts. BENCH_VERBOSE=1 lists every start on stderr.

#include "benchsupport.h"
#include "common/testhttpserver.h"

#include <QCoreApplication>

#include <cstdio>
#include <vector>

namespace {

constexpr int kRounds = 24;
constexpr int kProbeTimeoutMs = 60000;

} // namespace

int main(int argc, char** argv)
{
    using orv::bench::ProbeBench;
    QCoreApplication app(argc, argv);
    ProbeBench bench("bench_startup_cold");
    bench.server().serve("/start", "text/html; charset=utf-8", orv::bench::BenchPage(1));
    const QString url = bench.server().url(QStringLiteral("/start")).toString();
    if (!bench.ready())
        return 1;

    std::vector<double> ms[2];
    const bool measured = bench.alternate(kRounds, [&](int side) {
        const double one = bench.startupMs(side, url, kProbeTimeoutMs, /*freshHome=*/true);
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
    std::printf("startup-cold: runs=%d program_ms=%.0f (%s) bare_ms=%.0f (%s) ratio=%.2f\n",
                kRounds, program, qPrintable(orv::bench::Spread(programMs)), bare,
                qPrintable(orv::bench::Spread(bareMs)), program / bare);
    return 0;
}
