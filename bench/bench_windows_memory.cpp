// Memory per open window: the proportional set size (PSS) of the whole
// process tree (the program's process and every engine process below it)
// with 100 windows on 100 distinct local pages, after a short settle, minus
// the same measure right after start with no window open, divided by 100.
// The program's side (probe_program) opens the pages as a bookmark folder,
// each a full browser window; the floor (probe_bare) holds 100 bare views in
// sub-windows of a window area. Each side runs in its own child process, in
// turn, with the same engine switches; the median of each counts.

#include "benchsupport.h"
#include "common/testhttpserver.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

namespace {

constexpr int kWindows = 100;
constexpr int kRounds = 2;
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
        std::fprintf(stderr, "bench_windows_memory: no temporary folder or no local server\n");
        return 1;
    }
    struct Side {
        const char* name;
        QString program;
        QProcessEnvironment env;
        std::vector<double> kbPerWindow;
        std::vector<double> processes;
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
                side.program, {QStringLiteral("memory"), baseUrl, QString::number(kWindows)},
                side.env, kProbeTimeoutMs);
            if (!run.ok || run.number(QStringLiteral("loaded")) != kWindows) {
                std::fprintf(stderr, "bench_windows_memory: %s side failed: %s loaded=%s\n",
                             side.name, qPrintable(run.error),
                             qPrintable(run.fields.value(QStringLiteral("loaded"))));
                return 1;
            }
            side.kbPerWindow.push_back(
                (run.number(QStringLiteral("pss_kb")) - run.number(QStringLiteral("base_kb"))) /
                kWindows);
            side.processes.push_back(run.number(QStringLiteral("procs")));
        }
    }

    const double program = orv::bench::Median(sides[0].kbPerWindow);
    const double bare = orv::bench::Median(sides[1].kbPerWindow);
    std::printf("windows-memory: windows=%d runs=%d program_kb_per_window=%.0f "
                "(processes %.0f) bare_kb_per_window=%.0f (processes %.0f) ratio=%.2f\n",
                kWindows, kRounds, program, orv::bench::Median(sides[0].processes), bare,
                orv::bench::Median(sides[1].processes), program / bare);
    return 0;
}
