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
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

namespace {

constexpr int kRounds = 20;
constexpr int kProbeTimeoutMs = 60000;

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    orv::TestHttpServer server;
    server.serve("/start", "text/html; charset=utf-8", orv::bench::BenchPage(1));
    const QString url = server.url(QStringLiteral("/start")).toString();

    QTemporaryDir root;
    if (!root.isValid() || !server.isListening()) {
        std::fprintf(stderr, "bench_startup: no temporary folder or no local server\n");
        return 1;
    }
    struct Side {
        const char* name;
        QString program;
        QProcessEnvironment env;
        std::vector<double> ms;
    };
    Side sides[2] = {
        {"program",
         QStringLiteral(ORVANE_PROBE_PROGRAM),
         orv::bench::ProbeEnvironment(root.filePath(QStringLiteral("program"))),
         {}},
        {"bare",
         QStringLiteral(ORVANE_PROBE_BARE),
         orv::bench::ProbeEnvironment(root.filePath(QStringLiteral("bare"))),
         {}},
    };

    auto runOnce = [&](Side& side) -> double {
        const orv::bench::ProbeRun run = orv::bench::RunProbe(
            side.program, {QStringLiteral("startup"), url}, side.env, kProbeTimeoutMs);
        if (!run.ok || run.number(QStringLiteral("ok")) != 1) {
            std::fprintf(stderr, "bench_startup: %s side failed: %s\n", side.name,
                         qPrintable(run.error));
            return -1;
        }
        if (qEnvironmentVariableIsSet("BENCH_VERBOSE"))
            std::fprintf(stderr, "%s: %.0f ms (age %s ms)\n", side.name,
                         (run.number(QStringLiteral("loaded_ns")) - double(run.startNs)) / 1e6,
                         qPrintable(run.fields.value(QStringLiteral("age_ms"))));
        return (run.number(QStringLiteral("loaded_ns")) - double(run.startNs)) / 1e6;
    };

    for (Side& side : sides)
        if (runOnce(side) < 0)
            return 1;
    for (int round = 0; round < kRounds; ++round) {
        for (int k = 0; k < 2; ++k) {
            Side& side = sides[(round + k) % 2];
            const double ms = runOnce(side);
            if (ms < 0)
                return 1;
            side.ms.push_back(ms);
        }
    }

    const double program = orv::bench::Median(sides[0].ms);
    const double bare = orv::bench::Median(sides[1].ms);
    auto spread = [](const std::vector<double>& v) {
        const auto [lo, hi] = std::minmax_element(v.begin(), v.end());
        return QStringLiteral("%1-%2").arg(*lo, 0, 'f', 0).arg(*hi, 0, 'f', 0);
    };
    std::printf("startup: runs=%d program_ms=%.0f (%s) bare_ms=%.0f (%s) ratio=%.2f\n", kRounds,
                program, qPrintable(spread(sides[0].ms)), bare, qPrintable(spread(sides[1].ms)),
                program / bare);
    return 0;
}
