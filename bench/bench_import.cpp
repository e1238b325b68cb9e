// import: "orvane-data import" of the largest bookmark file of the shared
// corpus (../shared/corpus/bookmarks; skipped with the reason when absent),
// from starting the tool until it has ended, against the floor of the bare
// engine (probe_bare) started on the same file until its load finished.
// Each run imports into an empty data folder; rounds alternate after one
// start of each side. Prints the medians, the tool's start without the
// engine (a dump of the imported index) and "ratio=" of import to floor.

#include "benchsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace orv::bench;

namespace {

constexpr int kRounds = 5;
constexpr int kTimeoutMs = 120000;

QString LargestBookmarkFile()
{
    const QDir corpus(QStringLiteral(ORVANE_BENCH_CORPUS) + QStringLiteral("/bookmarks"));
    const QFileInfoList files = corpus.entryInfoList(QDir::Files, QDir::Size);
    return files.isEmpty() ? QString() : files.constFirst().filePath();
}

// Milliseconds from starting the tool until it ended with exit code 0; -1
// (reported) otherwise.
double ToolMs(const QStringList& arguments, const QProcessEnvironment& env)
{
    QProcess tool;
    tool.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    tool.start(QStringLiteral(ORVANE_DATA_TOOL), arguments);
    const bool ended = tool.waitForFinished(kTimeoutMs);
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    if (ended && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0)
        return ms;
    if (!ended)
        tool.kill();
    std::fprintf(stderr, "bench_import: orvane-data %s failed: %s\n",
                 qPrintable(arguments.join(u' ')),
                 tool.readAllStandardError().right(600).constData());
    return -1;
}

// "<lowest>-<highest>" of the values in whole milliseconds.
QString Range(const std::vector<double>& values)
{
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    return QStringLiteral("%1-%2").arg(*low, 0, 'f', 0).arg(*high, 0, 'f', 0);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString file = LargestBookmarkFile();
    if (file.isEmpty()) {
        std::printf("import: skipped: the shared corpus (%s/bookmarks) is not here\n",
                    ORVANE_BENCH_CORPUS);
        return 0;
    }
    QTemporaryDir root;
    if (!root.isValid())
        return 1;
    const QProcessEnvironment env = ProbeEnvironment(root.filePath(QStringLiteral("home")));
    int run = 0;
    const auto importMs = [&] {
        const QString data = root.filePath(QStringLiteral("data%1").arg(++run));
        QDir().mkpath(data);
        return ToolMs({QStringLiteral("import"), QStringLiteral("--data-folder"), data, file}, env);
    };
    const QString url = QUrl::fromLocalFile(file).toString();
    const auto bareMs = [&] {
        const ProbeRun probe = RunProbe(QStringLiteral(ORVANE_PROBE_BARE),
                                        {QStringLiteral("startup"), url}, env, kTimeoutMs);
        if (!probe.ok) {
            std::fprintf(stderr, "bench_import: bare engine failed: %s\n", qPrintable(probe.error));
            return -1.0;
        }
        return (probe.number(QStringLiteral("loaded_ns")) - double(probe.startNs)) / 1e6;
    };
    // One start of each side before counting: the caches of a warm start.
    if (importMs() < 0 || bareMs() < 0)
        return 1;
    std::vector<double> tool;
    std::vector<double> bare;
    std::vector<double> start;
    for (int round = 0; round < kRounds; ++round) {
        const bool toolFirst = round % 2 == 0;
        const double first = toolFirst ? importMs() : bareMs();
        const double second = toolFirst ? bareMs() : importMs();
        const double dump = ToolMs(
            {QStringLiteral("dump"), root.filePath(QStringLiteral("data%1/Book.bkm")).arg(run)},
            env);
        if (first < 0 || second < 0 || dump < 0)
            return 1;
        tool.push_back(toolFirst ? first : second);
        bare.push_back(toolFirst ? second : first);
        start.push_back(dump);
    }
    const double toolMedian = Median(tool);
    const double bareMedian = Median(bare);
    std::printf("import: file=%s kb=%lld runs=%d import_ms=%.0f (%s) bare_ms=%.0f (%s) "
                "start_ms=%.0f ratio=%.2f\n",
                qPrintable(QFileInfo(file).fileName()), QFileInfo(file).size() / 1024, kRounds,
                toolMedian, qPrintable(Range(tool)), bareMedian, qPrintable(Range(bare)),
                Median(start), toolMedian / bareMedian);
    return 0;
}
