// The program's side of the window benchmarks, started by them as a child
// process. It goes through the program's own start-up and window code:
//
//   probe_program startup <url>
//       start-up as the program's entry does it (engine, application, data
//       folder, texts, dialogs, single copy, preferences, main window with
//       the first window for <url>); prints the clock when that window's
//       document is complete.
//   probe_program windows <base-url> <count>
//   probe_program memory <base-url> <count>
//       the main window as at start-up (no start window), then a bookmark
//       folder of <count> pages (<base-url>1 ..) opened as the program opens
//       a folder; prints the time until every window's document is
//       complete. "memory" also prints the memory of the process tree before
//       the first window and, after a short settle, with all windows open.
//
// The data folder follows $HOME (the benchmark gives each probe its own).

#include "app/appinit.h"
#include "app/dialogseam.h"
#include "app/recordio.h"
#include "app/texts.h"
#include "bookmarks/bookmark.h"
#include "browser/frmbrowser.h"
#include "mainwin/mdiform.h"
#include "mainwin/startup.h"
#include "platform/engine.h"
#include "platform/shutdownsignals.h"
#include "platform/singlecopy.h"
#include "platform/widgetdialogs.h"
#include "prefs/prefer.h"

#include "benchsupport.h"

#include <QApplication>
#include <QDir>
#include <QSet>
#include <QTimer>

#include <unistd.h>

using namespace orv;

namespace {

constexpr int kIdleBeforeOpenMs = 1000;
constexpr int kSettleMs = 3000;
constexpr int kGiveUpMs = 100000;
const char kFolderFile[] = "BenchOpen.bkm";

int startup(int argc, char** argv)
{
    const QString argument = QString::fromLocal8Bit(argv[2]);
    PrepareWebEngine();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvane"));
    EnsureDataFolder();
    LoadTexts(AppFolder());
    WidgetDialogs dialogs;
    InstallDialogs(&dialogs);
    if (SingleCopy::handOver(argument)) {
        std::fprintf(stderr, "probe_program: another copy runs\n");
        return 3;
    }
    SingleCopy singleCopy;
    singleCopy.listen();

    Prefer prefer;
    if (prefer.LoadPref().outcome == Prefer::LoadOutcome::OldFormat)
        return 1;
    std::unique_ptr<MDIForm1> main = StartMainWindow(prefer, argument);
    ShutdownSignals shutdown;
    QObject::connect(&app, &QApplication::lastWindowClosed, &app, &QApplication::quit);

    frmBrowser* first = main->Browser().value(0);
    if (!first) {
        std::fprintf(stderr, "probe_program: no first window\n");
        return 2;
    }
    bool done = false;
    QObject::connect(first, &frmBrowser::documentComplete, &app, [&](bool ok) {
        if (done)
            return;
        done = true;
        bench::PrintResult(QStringLiteral("loaded_ns=%1 ok=%2 pid=%3 age_ms=%4")
                               .arg(bench::MonotonicNs())
                               .arg(ok ? 1 : 0)
                               .arg(::getpid())
                               .arg(bench::ProcessAgeMs(), 0, 'f', 0));
        QTimer::singleShot(0, &app, &QApplication::quit);
    });
    QTimer::singleShot(kGiveUpMs, &app, &QApplication::quit);

    const int code = app.exec();
    singleCopy.close();
    main.reset();
    InstallDialogs(nullptr);
    return done ? code : 4;
}

// The folder file with `count` bookmarks, each shown with address bar and
// toolbar (as new bookmarks are).
bool writeFolder(const QString& baseUrl, int count)
{
    QByteArray records;
    for (int i = 1; i <= count; ++i) {
        Bookmark bookmark;
        bookmark.Titel = QStringLiteral("Seite %1").arg(i);
        bookmark.URL = baseUrl + QString::number(i);
        bookmark.Adresszeile = true;
        bookmark.Toolbar = true;
        AppendBookmarkRecord(records, bookmark, i);
    }
    return writeFileAtomic(QDir(DataFolder()).filePath(QString::fromLatin1(kFolderFile)), records)
        .ok;
}

int windows(int argc, char** argv, bool memory)
{
    const QString baseUrl = QString::fromLocal8Bit(argv[2]);
    const int count = QByteArray(argv[3]).toInt();
    PrepareWebEngine();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvane"));
    EnsureDataFolder();
    LoadTexts(AppFolder());
    WidgetDialogs dialogs;
    InstallDialogs(&dialogs);

    Prefer prefer;
    if (prefer.LoadPref().outcome == Prefer::LoadOutcome::OldFormat)
        return 1;
    prefer.setStartBrowser(false);
    prefer.setLoadOption(1);
    if (!writeFolder(baseUrl, count))
        return 1;
    std::unique_ptr<MDIForm1> main = StartMainWindow(prefer, QString());

    QSet<frmBrowser*> complete;
    int failed = 0;
    qint64 startNs = 0;
    qint64 openedNs = 0;
    qint64 startCpuNs = 0;
    bench::TreeMemory baseline;
    bool finished = false;

    auto report = [&] {
        if (finished)
            return;
        finished = true;
        QString fields = QStringLiteral("open_ms=%1 loaded=%2 failed=%3 windows=%4")
                             .arg((bench::MonotonicNs() - startNs) / 1e6, 0, 'f', 1)
                             .arg(complete.size())
                             .arg(failed)
                             .arg(main->Browser().size());
        fields += QStringLiteral(" create_ms=%1 main_cpu_ms=%2")
                      .arg((openedNs - startNs) / 1e6, 0, 'f', 1)
                      .arg((bench::ThreadCpuNs() - startCpuNs) / 1e6, 0, 'f', 1);
        if (!memory) {
            bench::PrintResult(fields);
            QTimer::singleShot(0, &app, &QApplication::quit);
            return;
        }
        QTimer::singleShot(kSettleMs, &app, [&, fields] {
            const bench::TreeMemory after = bench::TreePss(int(::getpid()));
            bench::PrintResult(fields + QStringLiteral(" base_kb=%1 base_procs=%2 pss_kb=%3 "
                                                       "procs=%4")
                                            .arg(baseline.pssKb)
                                            .arg(baseline.processes)
                                            .arg(after.pssKb)
                                            .arg(after.processes));
            QApplication::quit();
        });
    };

    QObject::connect(main.get(), &MDIForm1::browserAdded, &app, [&](frmBrowser* window) {
        QObject::connect(window, &frmBrowser::documentComplete, &app, [&, window](bool ok) {
            if (complete.contains(window))
                return;
            complete.insert(window);
            if (!ok)
                ++failed;
            if (complete.size() == count)
                report();
        });
    });
    QTimer::singleShot(kIdleBeforeOpenMs, &app, [&] {
        if (memory)
            baseline = bench::TreePss(int(::getpid()));
        startNs = bench::MonotonicNs();
        startCpuNs = bench::ThreadCpuNs();
        OpenBookmarkFolderAtStart(*main, QString::fromLatin1(kFolderFile));
        openedNs = bench::MonotonicNs();
    });
    QTimer::singleShot(kGiveUpMs, &app, [&] { report(); });

    const int code = app.exec();
    main.reset();
    InstallDialogs(nullptr);
    return code;
}

} // namespace

int main(int argc, char** argv)
{
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    if (mode == "startup" && argc == 3)
        return startup(argc, argv);
    if ((mode == "windows" || mode == "memory") && argc == 4)
        return windows(argc, argv, mode == "memory");
    std::fprintf(stderr,
                 "usage: probe_program startup <url> | windows|memory <base-url> <count>\n");
    return 2;
}
