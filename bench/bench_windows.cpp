// Many windows: time to open 100 windows on 100 distinct local pages until
// every page has loaded. The program's side (probe_program) opens them as a
// bookmark folder through the registry, each a full browser window (band
// bar, address box, toolbar, tab); the floor (probe_bare) puts 100 bare
// views into sub-windows of a window area, shown maximised alike. Both load
// /p1 .. /p100 from a local server in this process, with the same engine
// switches. The sides run in turn, alternating which goes first; the
// median of each counts.

#include "benchsupport.h"
#include "common/testhttpserver.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

namespace {

constexpr int kWindows = 100;
constexpr int kRounds = 5;
constexpr int kProbeTimeoutMs = 150000;

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    orv::TestHttpServer server;
    for (int i = 1; i <= kWindows; ++i)
        server.serve("/p" + QByteArray::number(i), "text/html; charset=utf-8",
                     orv::bench::BenchPage(i));
    const QString baseUrl = server.url(QStringLiteral("/p")).toString();

    QTemporaryDir root;
    if (!root.isValid() || !server.isListening()) {
        std::fprintf(stderr, "bench_windows: no temporary folder or no local server\n");
        return 1;
    }
    struct Side {
        const char* name;
        QString program;
        QProcessEnvironment env;
        std::vector<double> ms;
        std::vector<double> mainCpuMs;
    };
    Side sides[2] = {
        {"program",
         QStringLiteral(ORVANE_PROBE_PROGRAM),
         orv::bench::ProbeEnvironment(root.filePath(QStringLiteral("program"))),
         {},
         {}},
        {"bare",
         QStringLiteral(ORVANE_PROBE_BARE),
         orv::bench::ProbeEnvironment(root.filePath(QStringLiteral("bare"))),
         {},
         {}},
    };

    for (int round = 0; round < kRounds; ++round) {
        for (int k = 0; k < 2; ++k) {
            Side& side = sides[(round + k) % 2];
            const orv::bench::ProbeRun run = orv::bench::RunProbe(
                side.program, {QStringLiteral("windows"), baseUrl, QString::number(kWindows)},
                side.env, kProbeTimeoutMs);
            if (!run.ok || run.number(QStringLiteral("loaded")) != kWindows) {
                std::fprintf(stderr, "bench_windows: %s side failed: %s loaded=%s\n", side.name,
                             qPrintable(run.error),
                             qPrintable(run.fields.value(QStringLiteral("loaded"))));
                return 1;
            }
            side.ms.push_back(run.number(QStringLiteral("open_ms")));
            side.mainCpuMs.push_back(run.number(QStringLiteral("main_cpu_ms")));
        }
    }

    const double program = orv::bench::Median(sides[0].ms);
    const double bare = orv::bench::Median(sides[1].ms);
    // The main thread's CPU time is a detail: the engine's own work for the
    // windows runs on that thread too, so what the windows add there delays
    // every page.
    std::printf("windows: windows=%d runs=%d container=QMdiSubWindow program_ms=%.0f "
                "(main thread cpu %.0f) bare_ms=%.0f (main thread cpu %.0f) ratio=%.2f\n",
                kWindows, kRounds, program, orv::bench::Median(sides[0].mainCpuMs), bare,
                orv::bench::Median(sides[1].mainCpuMs), program / bare);
    return 0;
}
