// The program's side of the window benchmarks, started by them as a child
// process. It goes through the program's own start-up and window code:
//
//   probe_program startup <url>
//       start-up as the program's entry does it (engine, application, data
//       folder, texts, dialogs, single copy, preferences, main window with
//       the first window for <url>); prints the clock when that window's
//       document is complete.
//   probe_program windows <base-urls> <count>
//   probe_program memory <base-urls> <count>
//       the main window as at start-up (no start window), then a bookmark
//       folder of <count> pages (1 .., PageUrl) opened as the program opens
//       a folder; prints the time until every window's document is
//       complete. "memory" also prints the memory of the process tree before
//       the first window and, after a short settle, with all windows open.
//
// The data folder follows $HOME (the benchmark gives each probe its own).

#include "app/appinit.h"
#include "app/dialogseam.h"
#include "app/texts.h"
#include "browser/frmbrowser.h"
#include "mainwin/mdiform.h"
#include "mainwin/startup.h"
#include "mainwin/startupphases.h"
#include "platform/engine.h"
#include "platform/icons.h"
#include "platform/shutdownsignals.h"
#include "platform/singlecopy.h"
#include "platform/widgetdialogs.h"
#include "prefs/prefer.h"

#include "benchsupport.h"
#include "startfolder.h"

#include <QApplication>

#include <optional>

using namespace orv;

namespace {

const char kFolderFile[] = "BenchOpen.bkm";

// The program's start as its entry begins it: the engine's switches, the
// application with its icon, the data folder, the texts and the dialogs.
class ProgramStart {
    // The engine's switches are set before the application is made.
    struct EngineSwitches {
        EngineSwitches()
        {
            startupphases::StartClock();
            PrepareWebEngine();
        }
    } m_engine;

public:
    ProgramStart(int& argc, char** argv) : app(argc, argv)
    {
        startupphases::Mark("application");
        QApplication::setApplicationName(QStringLiteral("Orvane"));
        QApplication::setWindowIcon(ProgramIcon());
        startupphases::Mark("program-icon");
        if (const FileResult folder = EnsureDataFolder(); !folder.ok)
            qFatal("%s", qPrintable(folder.error));
        LoadTexts(AppFolder());
        InstallDialogs(&dialogs);
        startupphases::Mark("data-folder-texts");
    }
    ~ProgramStart() { InstallDialogs(nullptr); }
    ProgramStart(const ProgramStart&) = delete;
    ProgramStart& operator=(const ProgramStart&) = delete;

    QApplication app;
    WidgetDialogs dialogs;
    // As the program: once it is the copy that runs.
    std::optional<StartupWarmUp> warmUp;
};

int startup(int argc, char** argv)
{
    const QString argument = QString::fromLocal8Bit(argv[2]);
    ProgramStart start(argc, argv);
    QApplication& app = start.app;
    if (SingleCopy::handOver(argument)) {
        std::fprintf(stderr, "probe_program: another copy runs\n");
        return 3;
    }
    SingleCopy singleCopy;
    singleCopy.listen();
    start.warmUp.emplace();
    DrawStartPicturesAhead();
    startupphases::Mark("single-copy");

    Prefer prefer;
    if (prefer.LoadPref().outcome == Prefer::LoadOutcome::OldFormat)
        return 1;
    startupphases::Mark("preferences");
    std::unique_ptr<MDIForm1> main = StartMainWindow(prefer, argument);
    ShutdownSignals shutdown;
    QObject::connect(&app, &QApplication::lastWindowClosed, &app, &QApplication::quit);

    frmBrowser* first = main->Browser().value(0);
    if (!first) {
        std::fprintf(stderr, "probe_program: no first window\n");
        return 2;
    }
    bench::StartupProbe probe;
    QObject::connect(first, &frmBrowser::documentComplete, &app,
                     [&](bool ok) { probe.loadFinished(ok); });

    const int code = app.exec();
    singleCopy.close();
    main.reset();
    return probe.answered() ? code : 4;
}

int windows(int argc, char** argv, bool memory)
{
    const QString baseUrls = QString::fromLocal8Bit(argv[2]);
    const int count = QByteArray(argv[3]).toInt();
    ProgramStart start(argc, argv);
    QApplication& app = start.app;
    start.warmUp.emplace();
    DrawStartPicturesAhead();

    Prefer prefer;
    if (prefer.LoadPref().outcome == Prefer::LoadOutcome::OldFormat)
        return 1;
    prefer.setStartBrowser(false);
    prefer.setLoadOption(1);
    if (!bench::WriteStartFolder(baseUrls, kFolderFile, count))
        return 1;
    std::unique_ptr<MDIForm1> main = StartMainWindow(prefer, QString());

    bench::WindowsProbe probe(memory, count, [&] { return main->Browser().size(); });
    QObject::connect(main.get(), &MDIForm1::browserAdded, &app, [&](frmBrowser* window) {
        QObject::connect(window, &frmBrowser::documentComplete, &app,
                         [&, window](bool ok) { probe.loadFinished(window, ok); });
    });
    probe.start([&] { OpenBookmarkFolderAtStart(*main, QString::fromLatin1(kFolderFile)); });

    const int code = app.exec();
    main.reset();
    return code;
}

} // namespace

int main(int argc, char** argv)
{
    return bench::ProbeMain(argc, argv, "probe_program", startup, windows);
}
