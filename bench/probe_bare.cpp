// The floor of the window benchmarks: the bare web engine, with nothing of
// the program, started by them as a child process. Modes and answers match
// probe_program:
//
//   probe_bare startup <url>
//       application, one persistent profile under $HOME, one view of the
//       program's main window size loading <url>; prints the clock when the
//       load finished.
//   probe_bare windows|memory <base-url> <count>
//       a main window with a window area; <count> sub-windows, each holding
//       one view (shown maximised, as the program shows a folder's windows)
//       loading <base-url>1 ..; prints the time until every load finished
//       ("memory": and the memory of the process tree as probe_program does).

#include "benchsupport.h"

#include <QApplication>
#include <QDir>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QSet>
#include <QStandardPaths>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <memory>

#include <unistd.h>

namespace {

constexpr int kIdleBeforeOpenMs = 1000;
constexpr int kSettleMs = 3000;
constexpr int kGiveUpMs = 100000;

void prepareEngine()
{
    // The engine refuses to start as root with its sandbox.
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

// A persistent profile as a browser keeps one, under the home folder.
QWebEngineProfile* makeProfile(QObject* owner)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) +
                           QStringLiteral("/BareData/Engine");
    QDir().mkpath(folder);
    auto* profile = new QWebEngineProfile(QStringLiteral("Bare"), owner);
    profile->setPersistentStoragePath(folder);
    profile->setCachePath(folder + QStringLiteral("/Cache"));
    return profile;
}

int startup(int argc, char** argv)
{
    const QUrl url(QString::fromLocal8Bit(argv[2]));
    prepareEngine();
    QApplication app(argc, argv);
    QWebEngineProfile* profile = makeProfile(&app);
    auto view = std::make_unique<QWebEngineView>();
    auto* page = new QWebEnginePage(profile, view.get());
    view->setPage(page);
    view->resize(orv::bench::kWindowWidth, orv::bench::kWindowHeight);
    view->show();
    bool done = false;
    QObject::connect(page, &QWebEnginePage::loadFinished, &app, [&](bool ok) {
        if (done)
            return;
        done = true;
        orv::bench::PrintResult(QStringLiteral("loaded_ns=%1 ok=%2 pid=%3 age_ms=%4")
                                    .arg(orv::bench::MonotonicNs())
                                    .arg(ok ? 1 : 0)
                                    .arg(::getpid())
                                    .arg(orv::bench::ProcessAgeMs(), 0, 'f', 0));
        QTimer::singleShot(0, &app, &QApplication::quit);
    });
    QTimer::singleShot(kGiveUpMs, &app, &QApplication::quit);
    page->load(url);
    const int code = app.exec();
    view.reset();
    return done ? code : 4;
}

int windows(int argc, char** argv, bool memory)
{
    const QString baseUrl = QString::fromLocal8Bit(argv[2]);
    const int count = QByteArray(argv[3]).toInt();
    prepareEngine();
    QApplication app(argc, argv);
    QPointer<QWebEngineProfile> profile;
    auto main = std::make_unique<QMainWindow>();
    auto* area = new QMdiArea(main.get());
    main->setCentralWidget(area);
    main->resize(orv::bench::kWindowWidth, orv::bench::kWindowHeight);
    main->show();

    QSet<QWebEnginePage*> complete;
    int failed = 0;
    qint64 startNs = 0;
    qint64 openedNs = 0;
    qint64 startCpuNs = 0;
    orv::bench::TreeMemory baseline;
    bool finished = false;

    auto report = [&] {
        if (finished)
            return;
        finished = true;
        QString fields = QStringLiteral("open_ms=%1 loaded=%2 failed=%3 windows=%4")
                             .arg((orv::bench::MonotonicNs() - startNs) / 1e6, 0, 'f', 1)
                             .arg(complete.size())
                             .arg(failed)
                             .arg(area->subWindowList().size());
        fields += QStringLiteral(" create_ms=%1 main_cpu_ms=%2")
                      .arg((openedNs - startNs) / 1e6, 0, 'f', 1)
                      .arg((orv::bench::ThreadCpuNs() - startCpuNs) / 1e6, 0, 'f', 1);
        if (!memory) {
            orv::bench::PrintResult(fields);
            QTimer::singleShot(0, &app, &QApplication::quit);
            return;
        }
        QTimer::singleShot(kSettleMs, &app, [&, fields] {
            const orv::bench::TreeMemory after = orv::bench::TreePss(int(::getpid()));
            orv::bench::PrintResult(fields +
                                    QStringLiteral(" base_kb=%1 base_procs=%2 pss_kb=%3 procs=%4")
                                        .arg(baseline.pssKb)
                                        .arg(baseline.processes)
                                        .arg(after.pssKb)
                                        .arg(after.processes));
            QApplication::quit();
        });
    };

    QTimer::singleShot(kIdleBeforeOpenMs, &app, [&] {
        if (memory)
            baseline = orv::bench::TreePss(int(::getpid()));
        startNs = orv::bench::MonotonicNs();
        startCpuNs = orv::bench::ThreadCpuNs();
        profile = makeProfile(&app);
        for (int i = 1; i <= count; ++i) {
            auto* window = new QMdiSubWindow;
            window->setAttribute(Qt::WA_DeleteOnClose);
            auto* view = new QWebEngineView(window);
            auto* page = new QWebEnginePage(profile, view);
            view->setPage(page);
            window->setWidget(view);
            QObject::connect(page, &QWebEnginePage::loadFinished, &app, [&, page](bool ok) {
                if (complete.contains(page))
                    return;
                complete.insert(page);
                if (!ok)
                    ++failed;
                if (complete.size() == count)
                    report();
            });
            area->addSubWindow(window);
            window->show();
            page->load(QUrl(baseUrl + QString::number(i)));
            window->showMaximized();
        }
        openedNs = orv::bench::MonotonicNs();
    });
    QTimer::singleShot(kGiveUpMs, &app, [&] { report(); });

    const int code = app.exec();
    // Every view and page goes before the profile.
    main.reset();
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
    std::fprintf(stderr, "usage: probe_bare startup <url> | windows|memory <base-url> <count>\n");
    return 2;
}
