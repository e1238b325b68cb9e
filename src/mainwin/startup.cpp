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
#include "browser/pageahead.h"
#include "layouts/layout.h"
#include "mainwin/mdiform.h"
#include "mainwin/recoveryfile.h"
#include "mainwin/scripteddialogs.h"
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
#include <QElapsedTimer>
#include <QLibraryInfo>
#include <QMdiArea>
#include <QPointer>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <functional>
#include <utility>

namespace orv {

std::unique_ptr<MDIForm1> StartMainWindow(Prefer& prefer, QString argument,
                                          const QString& recovered)
{
    // With a first window to show, the engine starts (tens of milliseconds
    // on this thread, most of it waiting for its helper process) while the
    // start-up worker does its work ahead.
    const bool firstWindow = (prefer.StartBrowser() && recovered.isEmpty()) || !argument.isEmpty();
    // A feed start page opens in a feed window.
    const bool feedWindow = IsFeedTitle(prefer.HomeTitle()) && argument.isEmpty();
    const int argCount = CountOccurrences(argument, QStringLiteral(":")) +
                         CountOccurrences(argument, QStringLiteral("\\\\"));
    if (argCount > 1)
        argument = FirstArgument(argument);
    if (firstWindow || !recovered.isEmpty()) {
        BrowserProfile();
        startupphases::Mark("engine-profile");
    }
    // The first window's page loads while the windows around it are made.
    if (firstWindow && !feedWindow) {
        pageahead::Start(TrimChars(argument.isEmpty() ? prefer.HomeUrl() : argument));
        startupphases::Mark("first-page-started");
    }
    auto main = std::make_unique<MDIForm1>(prefer);
    startupphases::Mark("main-window");
    MDIForm1& w = *main;

    w.setWindowTitle(AppTitle());
    // Twips in the preferences, 15 to the pixel.
    w.resize(prefer.MdiWidth() / 15, prefer.MdiHeight() / 15);
    if (prefer.MdiState() == 2)
        w.setWindowState(w.windowState() | Qt::WindowMaximized);

    if (firstWindow) {
        if (feedWindow)
            w.OpenXmlFeedBkm(prefer.HomeUrl().trimmed());
        else
            w.OpenNewBrowser(argument);
        pageahead::Drop();
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

    if (!recovered.isEmpty())
        w.RestoreRecovery(recovered);
    switch (recovered.isEmpty() ? prefer.LoadOption() : 0) {
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

namespace {

// A start-up folder opens window by window from the event loop: each turn
// opens windows until kFolderStepMs have passed (at least one), so the
// main window, its menus and tabs answer between them however many
// bookmarks the folder holds. At most kLoadingAtOnce of its pages load at
// a time: the next window opens once one has loaded, or has been loading
// for kLoadingWaitMs (a page that never ends holds nothing up for long).
// The windows open in the folder's order. Owned by the main window: it
// ends with it, and when the main window is no longer shown (the program
// closes) nothing more opens.
class FolderOpening : public QObject {
public:
    // Each window leaves about as much work again to the event loop (its
    // page area, tab and caption), on top of a turn's own time.
    static constexpr qint64 kFolderStepMs = 10;
    static constexpr qsizetype kLoadingAtOnce = 6;
    static constexpr qint64 kLoadingWaitMs = 3000;
    static constexpr int kLookAgainMs = 20;

    FolderOpening(MDIForm1& main, QList<Bookmark> bookmarks)
        : QObject(&main), m_main(main), m_bookmarks(std::move(bookmarks))
    {
        m_main.setCursor(Qt::WaitCursor);
        m_age.start();
    }

    void step()
    {
        QElapsedTimer clock;
        clock.start();
        do {
            if (m_next >= m_bookmarks.size() || !m_main.isVisible()) {
                finish();
                return;
            }
            if (loadingCount() >= kLoadingAtOnce) {
                QTimer::singleShot(kLookAgainMs, this, &FolderOpening::step);
                return;
            }
            const bool last = m_main.Browser().size() + 1 > m_main.registry().MaxBrowser();
            const Bookmark& bookmark = m_bookmarks.at(m_next++);
            const qsizetype before = m_main.Browser().size();
            // The window in front steps back to its normal state and the next
            // one opens maximised in its place. Were the one in front still
            // maximised, the area would restore it while activating the new
            // window, with the painting of every window switched off and on
            // again: a cost that grows with each window open.
            const bool fill = !m_main.flags().bFeedOpened;
            frmBrowser* front = m_main.ActiveBrowser();
            const bool restore = fill && front && front->isMaximized();
            if (restore)
                front->showNormal();
            m_main.registry().setOpenMaximised(restore);
            if (bookmark.isFeed())
                m_main.OpenXmlFeedBkm(bookmark.URL.trimmed());
            else
                m_main.VisitUrl(bookmark.URL, bookmark.Adresszeile, bookmark.Toolbar);
            m_main.registry().setOpenMaximised(false);
            if (m_main.Browser().size() > before)
                m_loading.append({m_main.Browser().constLast(), m_age.elapsed()});
            // Pages fill the area until a feed window (narrow) has been opened.
            if (frmBrowser* active = m_main.ActiveBrowser(); active && !m_main.flags().bFeedOpened)
                active->showMaximized();
            if (last || m_main.flags().bExitloop) {
                finish();
                return;
            }
        } while (clock.elapsed() < kFolderStepMs);
        QTimer::singleShot(0, this, &FolderOpening::step);
    }

private:
    struct Loading {
        QPointer<frmBrowser> window;
        qint64 sinceMs = 0;
    };

    // The windows of this folder whose pages are still loading.
    qsizetype loadingCount()
    {
        const qint64 now = m_age.elapsed();
        m_loading.removeIf([now](const Loading& l) {
            return !l.window || !l.window->Busy() || now - l.sinceMs >= kLoadingWaitMs;
        });
        return m_loading.size();
    }

    void finish()
    {
        m_main.unsetCursor();
        deleteLater();
    }

    MDIForm1& m_main;
    const QList<Bookmark> m_bookmarks;
    qsizetype m_next = 0;
    QList<Loading> m_loading;
    QElapsedTimer m_age;
};

} // namespace

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
    QList<Bookmark> bookmarks;
    for (QByteArrayView record : splitRecords(content, BookmarkRecordLength))
        bookmarks.append(ReadBookmarkRecord(record));
    if (!bookmarks.isEmpty())
        (new FolderOpening(main, std::move(bookmarks)))->step();
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
    const std::unique_ptr<DialogSeam> scripted = ScriptedDialogsFromEnvironment();
    InstallDialogs(scripted ? scripted.get() : &dialogs);
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
    // This copy runs: the fonts and the image plugins are read, and the
    // first pictures drawn, on the start-up worker while the preferences
    // load and the engine starts.
    const StartupWarmUp warmUp;
    DrawStartPicturesAhead();
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

    // After an end that was not orderly: the windows of then, if wanted.
    const QString recovered = AskForRecovery(DataFolder());
    main = StartMainWindow(prefer, argument, recovered);
    main->recovery().Start(DataFolder());
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
