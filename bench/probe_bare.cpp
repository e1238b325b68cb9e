// The floor of the window benchmarks: the bare web engine, with nothing of
// the program, started by them as a child process. Modes and answers match
// probe_program:
//
//   probe_bare startup <url>
//       application, one persistent profile under $HOME, one view of the
//       program's main window size loading <url>; prints the clock when the
//       load finished.
//   probe_bare show <url>
//       the same view; its window title follows the page's title, as a
//       browser's does (the start-up benchmark from outside watches it); runs
//       until ended.
//   probe_bare windows|memory <base-urls> <count>
//       a main window with a window area; <count> sub-windows, each holding
//       one view (shown maximised, as the program shows a folder's windows)
//       loading page 1 .. (PageUrl); the engine keeps its default process
//       model; prints the time until every load finished
//       ("memory": and the memory of the process tree as probe_program does).

#include "benchsupport.h"

#include <QApplication>
#include <QDir>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QStandardPaths>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <memory>
#include <optional>

#include <unistd.h>

namespace {

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

// One view of the program's main window size loading argv[2]. "startup":
// prints the clock when the load finished and quits. "show": the window's
// title follows the page's, as a browser's does; runs until it is closed or
// ended.
int onePage(int argc, char** argv, bool probeLoad)
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
    std::optional<orv::bench::StartupProbe> probe;
    if (probeLoad) {
        probe.emplace();
        QObject::connect(page, &QWebEnginePage::loadFinished, &app,
                         [&](bool ok) { probe->loadFinished(ok); });
    } else {
        QObject::connect(page, &QWebEnginePage::titleChanged, view.get(), &QWidget::setWindowTitle);
    }
    page->load(url);
    const int code = app.exec();
    view.reset();
    return !probe || probe->answered() ? code : 4;
}

int startup(int argc, char** argv)
{
    return onePage(argc, argv, true);
}

int windows(int argc, char** argv, bool memory)
{
    const QString baseUrls = QString::fromLocal8Bit(argv[2]);
    const int count = QByteArray(argv[3]).toInt();
    prepareEngine();
    QApplication app(argc, argv);
    QPointer<QWebEngineProfile> profile;
    auto main = std::make_unique<QMainWindow>();
    auto* area = new QMdiArea(main.get());
    main->setCentralWidget(area);
    main->resize(orv::bench::kWindowWidth, orv::bench::kWindowHeight);
    main->show();

    orv::bench::WindowsProbe probe(memory, count, [&] { return area->subWindowList().size(); });
    probe.start([&] {
        profile = makeProfile(&app);
        for (int i = 1; i <= count; ++i) {
            auto* window = new QMdiSubWindow;
            window->setAttribute(Qt::WA_DeleteOnClose);
            auto* view = new QWebEngineView(window);
            auto* page = new QWebEnginePage(profile, view);
            view->setPage(page);
            window->setWidget(view);
            QObject::connect(page, &QWebEnginePage::loadFinished, &app,
                             [&, page](bool ok) { probe.loadFinished(page, ok); });
            area->addSubWindow(window);
            window->show();
            page->load(QUrl(orv::bench::PageUrl(baseUrls, i)));
            window->showMaximized();
        }
    });

    const int code = app.exec();
    // Every view and page goes before the profile.
    main.reset();
    return code;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && QByteArray(argv[1]) == "show")
        return onePage(argc, argv, false);
    return orv::bench::ProbeMain(argc, argv, "probe_bare", startup, windows);
}
