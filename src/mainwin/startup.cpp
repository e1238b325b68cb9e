#include "mainwin/startup.h"

#include "app/appinit.h"
#include "app/commandline.h"
#include "app/dialogseam.h"
#include "app/probes.h"
#include "app/recordio.h"
#include "app/texthelpers.h"
#include "app/texts.h"
#include "bookmarks/bookmark.h"
#include "bookmarks/thema.h"
#include "browser/browsercommands.h"
#include "browser/frmbrowser.h"
#include "layouts/layout.h"
#include "mainwin/mdiform.h"
#include "mainwin/startupphases.h"
#include "platform/engine.h"
#include "platform/icons.h"
#include "platform/shutdownsignals.h"
#include "platform/singlecopy.h"
#include "platform/widgetdialogs.h"
#include "prefs/prefer.h"

#include <QApplication>
#include <QDebug>
#include <QDir>
#include <QLibraryInfo>
#include <QMdiArea>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <functional>

namespace orv {

std::unique_ptr<MDIForm1> StartMainWindow(Prefer& prefer, QString argument)
{
    auto main = std::make_unique<MDIForm1>(prefer);
    startupphases::Mark("main-window");
    MDIForm1& w = *main;
    const int argCount = CountOccurrences(argument, QStringLiteral(":")) +
                         CountOccurrences(argument, QStringLiteral("\\\\"));

    w.setWindowTitle(AppTitle());
    // Twips in the preferences, 15 to the pixel.
    w.resize(prefer.MdiWidth() / 15, prefer.MdiHeight() / 15);
    if (prefer.MdiState() == 2)
        w.setWindowState(w.windowState() | Qt::WindowMaximized);

    if (prefer.StartBrowser() || !argument.isEmpty()) {
        if (startupphases::Enabled()) {
            BrowserProfile();
            startupphases::Mark("engine-profile");
        }
        if (argCount > 1)
            argument = FirstArgument(argument);
        // A feed start page opens in a feed window.
        if (IsFeedTitle(prefer.HomeTitle()) && argument.isEmpty())
            w.OpenXmlFeedBkm(prefer.HomeUrl().trimmed());
        else
            w.OpenNewBrowser(argument);
        if (frmBrowser* first = w.ActiveBrowser()) {
            first->showMaximized();
            if (startupphases::Enabled())
                QObject::connect(
                    first, &frmBrowser::documentComplete, first,
                    [] { startupphases::Mark("first-page"); }, Qt::SingleShotConnection);
        }
        startupphases::Mark("first-window");
    }
    w.show();
    w.ActivateStatus();
    w.InitForPOP3(MailCheck::AnyAccountEnabled(prefer));

    switch (prefer.LoadOption()) {
    case 3:
        OpenBookmarkFolderAtStart(w, prefer.GroupFile());
        break;
    case 2: {
        // A file that cannot be read was reported by the loader.
        const FileResult loaded =
            Layout::LoadLayout(prefer.Layout().trimmed(),
                               [&w](const LayoutOpenArgs& args) { w.OpenLayoutItem(args); });
        Q_UNUSED(loaded);
        break;
    }
    default:
        break;
    }

    w.ApplyTabSettings();
    w.ApplyStatusSettings();
    startupphases::Mark("shown");
    return main;
}

void OpenBookmarkFolderAtStart(MDIForm1& main, const QString& fileName)
{
    const QString name = fileName.trimmed();
    if (name.isEmpty())
        return;
    // Only a regular file inside the data folder is read: a stored name can
    // never reach a device, a pipe or another folder.
    QByteArray content;
    if (const FileResult read = ReadFolderFile(DataFolder(), name, content); !read.ok) {
        ShowMessage(Txt(1129), read.error, MsgIcon::Warning);
        return;
    }
    main.setCursor(Qt::WaitCursor);
    for (QByteArrayView record : splitRecords(content, BookmarkRecordLength)) {
        const bool last = main.Browser().size() + 1 > main.registry().MaxBrowser();
        const Bookmark bookmark = ReadBookmarkRecord(record);
        if (bookmark.isFeed())
            main.OpenXmlFeedBkm(bookmark.URL.trimmed());
        else
            main.VisitUrl(bookmark.URL, bookmark.Adresszeile, bookmark.Toolbar);
        // Pages fill the area until a feed window (narrow) has been opened.
        if (frmBrowser* active = main.ActiveBrowser(); active && !main.flags().bFeedOpened)
            active->showMaximized();
        if (last || main.flags().bExitloop)
            break;
    }
    main.unsetCursor();
}

int Main(int argc, char** argv)
{
    // "--help" and "--version" answer without starting the engine.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (const CommandLineRequest request = ReadCommandLine(arguments);
        request != CommandLineRequest::Start) {
        const QString text =
            request == CommandLineRequest::Help ? UsageText(DataFolder()) : VersionLine() + u'\n';
        std::fputs(text.toLocal8Bit().constData(), stdout);
        return 0;
    }
    startupphases::StartClock();
    PrepareWebEngine();
    QApplication app(argc, argv);
    startupphases::Mark("application");
    QApplication::setApplicationName(QStringLiteral("Orvane"));
    QApplication::setWindowIcon(ProgramIcon());
    startupphases::Mark("program-icon");
    Probes();
    const FileResult dataFolder = EnsureDataFolder();
    LoadTexts(AppFolder());
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    WidgetDialogs dialogs;
    InstallDialogs(&dialogs);
    startupphases::Mark("data-folder-texts");

    const QString argument = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();

    // A copy runs already: it takes the argument (or only comes to the
    // front) and this copy ends without touching the preferences.
    if (SingleCopy::handOver(argument))
        return 0;
    SingleCopy singleCopy;
    // Two copies started at the same moment: the one that lost the race
    // hands over to the other.
    if (!singleCopy.listen() && SingleCopy::handOver(argument))
        return 0;
    startupphases::Mark("single-copy");

    // Orderly shutdown on SIGTERM, SIGINT and at the end of the session, from
    // here on: also while start-up waits in a message box. A request ends
    // every box and dialog (nested ones too) and refuses new ones; the main
    // window closes once no dialog is left on the stack, and only once.
    ShutdownSignals shutdown;
    std::unique_ptr<MDIForm1> main;
    bool endRequested = false;
    bool closing = false;
    std::function<void()> closeWhenIdle = [&] {
        if (!main || closing)
            return;
        if (dialogs.runningCount() > 0) {
            QTimer::singleShot(0, main.get(), closeWhenIdle);
            return;
        }
        closing = true;
        main->close();
    };
    QObject::connect(&shutdown, &ShutdownSignals::terminationRequested, &app, [&] {
        endRequested = true;
        dialogs.endAll();
        QTimer::singleShot(0, &app, closeWhenIdle);
    });

    // Told once this copy is the one that runs; the saves then fail with
    // their own messages.
    if (!dataFolder.ok)
        ShowMessage(Txt(1129), dataFolder.error, MsgIcon::Critical);

    // What interrupted saves of an earlier run left behind (only this copy
    // runs now, so no save is under way).
    const FileResult cleaned = RemoveStaleTemporaries(DataFolder());
    if (!cleaned.ok)
        qWarning().noquote() << cleaned.error;

    Prefer prefer;
    const Prefer::LoadResult loaded = prefer.LoadPref();
    if (loaded.outcome == Prefer::LoadOutcome::OldFormat)
        return 1;
    // Settings that cannot be read are told (they are then never saved
    // over); defaults that cannot be written are told too.
    if (!loaded.file.ok)
        ShowMessage(Txt(1129), loaded.file.error, MsgIcon::Warning);
    startupphases::Mark("preferences");

    main = StartMainWindow(prefer, argument);
    if (endRequested)
        QTimer::singleShot(0, &app, closeWhenIdle);
    dialogs.setSuspendHook([w = main.get()](bool suspend) { w->SuspendExternalOpen(suspend); });
    QObject::connect(&singleCopy, &SingleCopy::openRequested, main.get(),
                     &MDIForm1::ReceiveOpenRequest);
    QObject::connect(&singleCopy, &SingleCopy::raiseRequested, main.get(),
                     &MDIForm1::RaiseForOtherCopy);

    QObject::connect(&shutdown, &ShutdownSignals::sessionEnding, main.get(),
                     [w = main.get()] { w->SavePreferencesOnce(); });
    QObject::connect(&app, &QApplication::aboutToQuit, main.get(),
                     [w = main.get()] { w->SavePreferencesOnce(); });

    const int code = app.exec();
    singleCopy.close();
    // Every window and page goes before the engine profile.
    main.reset();
    InstallDialogs(nullptr);
    return code;
}

} // namespace orv
