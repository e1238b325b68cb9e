#include "app/texthelpers.h"
#include "browser/browsercommands.h"
#include "browser/browsertoolbar.h"
#include "browserfixture.h"
#include "common/filetools.h"
#include "platform/drives.h"

#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMenu>
#include <QTemporaryDir>
#include <QToolButton>
#include <QWebEngineHistory>
#include <QWebEngineView>

using namespace orv;

Q_DECLARE_METATYPE(QList<orv::MountedVolume>)

class TstToolbar : public QObject {
    Q_OBJECT

    BrowserFixture f;

    static void click(BrowserToolbar* bar, const char* key)
    {
        QToolButton* button = bar->Button(QString::fromLatin1(key));
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
    }
    static void choose(BrowserToolbar* bar, const char* key)
    {
        QAction* entry = bar->Entry(QString::fromLatin1(key));
        QVERIFY(entry);
        entry->trigger();
    }

private Q_SLOTS:
    void initTestCase()
    {
        f.server.serve("/a", "text/html", HtmlPage("Seite A"));
        f.server.serve("/b", "text/html", HtmlPage("Seite B"));
        f.server.serve("/home", "text/html", HtmlPage("Start"));
        f.server.serve("/slow", "text/html", HtmlPage("Langsam"), 4000);
        f.server.serve("/opener", "text/html",
                       HtmlPage("Opener", "<script>function go(){window.open('/b');}</script>"));
    }
    void init() { f.start(); }
    void cleanup() { f.stop(); }

    void buttonsInOrderWithTheirTips()
    {
        f.prefer->setHomeUrl(QStringLiteral("http://127.0.0.1:1/start"));
        f.prefer->setSearchEngine(QStringLiteral("http://127.0.0.1:1/suche"));
        frmBrowser* w = f.main->CreateBrowser(QStringLiteral("test"), false);
        BrowserToolbar* bar = w->tbToolBar();
        const QList<std::pair<QString, QString>> expected = {
            {"Back", "Zurück"},
            {"Forward", "Vorwärst"},
            {"Stop", "Abbruch"},
            {"Refresh", "Aktualisieren"},
            {"Home", "http://127.0.0.1:1/start"},
            {"Search", "http://127.0.0.1:1/suche"},
            {"Clone", "Neuer Browser - Startseite"},
            {"Drive", "Alle Laufwerke"},
            {"Mail", "E-Mail"},
            {"history", "Historie"},
            {"Bookm", "Bookmark Archiv"},
            {"Save", "Webseite speichern..."},
            {"Print", "Drucken..."}};
        QList<QToolButton*> buttons;
        for (QAction* action : bar->actions())
            if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action)))
                buttons.append(button);
        QCOMPARE(buttons.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i) {
            QCOMPARE(buttons[i]->objectName(), expected[i].first);
            QCOMPARE(buttons[i]->toolTip(), expected[i].second);
            QVERIFY(!buttons[i]->accessibleName().isEmpty());
        }
        QCOMPARE(bar->Button(QStringLiteral("Refresh"))->popupMode(), QToolButton::MenuButtonPopup);
        QCOMPARE(bar->Button(QStringLiteral("Mail"))->popupMode(), QToolButton::MenuButtonPopup);
    }

    void entryCaptions_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QStringList>("captions");
        QTest::newRow("Refresh") << "Refresh"
                                 << QStringList{"Refresh", "Roundtrip", "RoundtripFrame"}
                                 << QStringList{"Refresh-&Intervall...",
                                                "Alle Links der Seite &durchlaufen...",
                                                "Alle Links des aktiven &Frames durchlaufen..."};
        QTest::newRow("Home") << "Home" << QStringList{"GetHome"}
                              << QStringList{"Als &Startadresse übernehmen..."};
        QTest::newRow("Search") << "Search" << QStringList{"BrowserSearch", "DocSearch"}
                                << QStringList{"&Orvane Suche", "Suche im Dokument"};
        QTest::newRow("Clone") << "Clone" << QStringList{"Startit",    "StartBlank",  "Cloneit",
                                                         "OpenallA",   "ClosePopups", "CloseOthers",
                                                         "CloseallWin"}
                               << QStringList{"&Neuer Browser - Startseite",
                                              "Neuer &Browser - Blank",
                                              "Browser &klonen...",
                                              "Alle &Links der Seite öffnen...",
                                              "Alle &Popup-Fenster schließen...",
                                              "Alle Fenster im &Hintergrund schließen...",
                                              "Alle Fens&ter schließen..."};
        QTest::newRow("Mail") << "Mail" << QStringList{"mailer", "sendurl"}
                              << QStringList{"E-Mail", "Link per E-Mail versenden..."};
        QTest::newRow("Print") << "Print" << QStringList{"ppreview", "print"}
                               << QStringList{"Druckvorschau...", "Drucken..."};
    }
    void entryCaptions()
    {
        QFETCH(QString, button);
        QFETCH(QStringList, entries);
        QFETCH(QStringList, captions);
        frmBrowser* w = f.main->CreateBrowser(QStringLiteral("test"), false);
        QMenu* menu = w->tbToolBar()->Button(button)->menu();
        QVERIFY(menu);
        QStringList keys;
        QStringList texts;
        for (QAction* entry : menu->actions()) {
            keys << entry->objectName();
            texts << entry->text();
        }
        QCOMPARE(keys, entries);
        QCOMPARE(texts, captions);
    }

    void backWithoutHistoryDoesNothing()
    {
        frmBrowser* blank = f.main->CreateBrowser(QStringLiteral("test"), false);
        click(blank->tbToolBar(), "Back");
        QVERIFY(ActivityTimings::Current().skipNewWindow);
        QVERIFY(blank->LocationURL().isEmpty());

        frmBrowser* w = f.open(f.server.url("/a"));
        QVERIFY(w);
        QVERIFY(!w->page()->history()->canGoBack());
        QSignalSpy started(w->page(), &QWebEnginePage::loadStarted);
        click(w->tbToolBar(), "Back");
        QVERIFY(!started.wait(500));
        QCOMPARE(w->LocationURL(), f.server.url("/a").toString());
        QVERIFY(f.dialogs.messages.isEmpty());
    }

    void backAndForwardAfterTwoLoads()
    {
        frmBrowser* w = f.open(f.server.url("/a"));
        QVERIFY(w);
        QVERIFY(BrowserFixture::WaitLoad(w, [&] { w->Navigate(f.server.url("/b").toString()); }));
        QVERIFY(BrowserFixture::WaitLoad(w, [&] { click(w->tbToolBar(), "Back"); }));
        QCOMPARE(w->LocationURL(), f.server.url("/a").toString());
        QVERIFY(BrowserFixture::WaitLoad(w, [&] { click(w->tbToolBar(), "Forward"); }));
        QCOMPARE(w->LocationURL(), f.server.url("/b").toString());
        QVERIFY(f.dialogs.messages.isEmpty());
    }

    void stopEndsTheLoadAndKeepsNewWindowsAllowed()
    {
        frmBrowser* w = f.main->CreateBrowser(QStringLiteral("test"), false);
        w->Navigate(f.server.url("/slow").toString());
        QVERIFY(w->Busy());
        ActivityTimings::SkipNewWindow(true);
        click(w->tbToolBar(), "Stop");
        QVERIFY(!ActivityTimings::Current().skipNewWindow);
        QVERIFY(!w->Busy());
        QVERIFY(!w->ActivityTimerActive());
        QCOMPARE(w->windowTitle(), w->LocationURL());
    }

    void refreshReloads()
    {
        frmBrowser* w = f.open(f.server.url("/a"));
        QVERIFY(w);
        const qsizetype before = f.server.requestCount("/a");
        QVERIFY(BrowserFixture::WaitLoad(w, [&] { click(w->tbToolBar(), "Refresh"); }));
        QCOMPARE(f.server.requestCount("/a"), before + 1);
        QVERIFY(ActivityTimings::Current().skipNewWindow);
    }

    void homeAndSearchNavigate_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("homeTitle");
        QTest::newRow("home") << "Home" << QString();
        QTest::newRow("search") << "Search" << QString();
    }
    void homeAndSearchNavigate()
    {
        QFETCH(QString, key);
        QFETCH(QString, homeTitle);
        f.prefer->setHomeUrl(f.server.url("/home").toString());
        f.prefer->setHomeTitle(homeTitle);
        f.prefer->setSearchEngine(f.server.url("/b").toString());
        frmBrowser* w = f.open(f.server.url("/a"));
        QVERIFY(w);
        w->BecomeFeedWindow(QStringLiteral("http://127.0.0.1:1/feed"));
        QVERIFY(BrowserFixture::WaitLoad(w, [&] { w->tbToolBar()->ButtonClick(key); }));
        QCOMPARE(w->LocationURL(), f.server.url(key == "Home" ? "/home" : "/b").toString());
        QVERIFY(w->FeedAddress().isEmpty());
        QVERIFY(ActivityTimings::Current().skipNewWindow);
    }

    void setHomepageStoresAndSaves()
    {
        frmBrowser* w = f.open(f.server.url("/a"));
        QVERIFY(w);
        f.prefer->setHomeTitle(QStringLiteral("<FEED />alt"));
        QFile::remove(f.prefer->FilePath());
        choose(w->tbToolBar(), "GetHome");
        const QString url = f.server.url("/a").toString();
        QCOMPARE(f.prefer->HomeUrl(), url);
        QVERIFY(f.prefer->HomeTitle().isEmpty());
        QCOMPARE(w->tbToolBar()->Button(QStringLiteral("Home"))->toolTip(), url);
        Prefer stored;
        QCOMPARE(stored.LoadPref().outcome, Prefer::LoadOutcome::Loaded);
        QCOMPARE(stored.HomeUrl(), url);
        QVERIFY(f.dialogs.messages.isEmpty());

        // A folder view stores the folder's path.
        QTemporaryDir folder;
        QVERIFY(BrowserFixture::WaitLoad(
            w, [&] { w->Navigate(QUrl::fromLocalFile(folder.path()).toString()); }));
        SetHomepage(*w);
        QCOMPARE(f.prefer->HomeUrl(), folder.path());
    }

    void setHomepageReportsAFailedSave()
    {
        frmBrowser* w = f.open(f.server.url("/a"));
        QVERIFY(w);
        QTemporaryDir dir;
        QVERIFY(PutBytes(dir.filePath(QStringLiteral("datei")), {}));
        // A folder below a plain file cannot be written, not even by root.
        f.prefer->setFolder(dir.filePath(QStringLiteral("datei/unter")));
        SetHomepage(*w);
        QCOMPARE(f.dialogs.messages.size(), 1);
        QCOMPARE(f.dialogs.messages.constFirst().title, QStringLiteral("Fehlerbehandlung"));
        QVERIFY(f.dialogs.messages.constFirst().text.endsWith(QStringLiteral(" - SetHomepage()")));
        f.prefer->setFolder(QString());
    }

    void cloneEntriesFollowTheWindowCounts()
    {
        frmBrowser* w = f.main->CreateBrowser(QStringLiteral("test"), false);
        BrowserToolbar* bar = w->tbToolBar();
        auto enabled = [bar](const char* key) {
            return bar->Entry(QString::fromLatin1(key))->isEnabled();
        };
        QTest::mouseClick(bar->Button(QStringLiteral("Stop")), Qt::LeftButton);
        QVERIFY(!enabled("ClosePopups"));
        QVERIFY(!enabled("CloseOthers"));
        QVERIFY(enabled("CloseallWin"));

        // Only the left button updates the entries.
        f.main->registry().setPopupCount(1);
        QTest::mouseClick(bar->Button(QStringLiteral("Stop")), Qt::RightButton);
        QVERIFY(!enabled("ClosePopups"));
        QTest::mouseClick(bar->Button(QStringLiteral("Stop")), Qt::LeftButton);
        QVERIFY(enabled("ClosePopups"));

        f.main->CreateBrowser(QStringLiteral("test"), false);
        QTest::mouseClick(bar->Button(QStringLiteral("Stop")), Qt::LeftButton);
        QVERIFY(enabled("CloseOthers"));
        f.main->registry().setPopupCount(0);
    }

    void cloneEntriesAct()
    {
        f.prefer->setHomeUrl(f.server.url("/home").toString());
        frmBrowser* w = f.open(f.server.url("/a"));
        QVERIFY(w);
        QSignalSpy added(f.main.get(), &MDIForm1::browserAdded);
        choose(w->tbToolBar(), "StartBlank");
        QCOMPARE(added.size(), 1);
        auto* blank = added.constLast().constFirst().value<frmBrowser*>();
        QTRY_COMPARE_WITH_TIMEOUT(blank->LocationURL(), QStringLiteral("about:blank"), kWait);

        f.main->mdiArea()->setActiveSubWindow(w);
        choose(w->tbToolBar(), "Cloneit");
        QCOMPARE(added.size(), 2);
        auto* clone = added.constLast().constFirst().value<frmBrowser*>();
        QTRY_COMPARE_WITH_TIMEOUT(clone->LocationURL(), f.server.url("/a").toString(), kWait);

        // The "Clone" button and "Startit" open the start page; a title of
        // just the feed marker is no feed for them.
        f.prefer->setHomeTitle(QStringLiteral("<FEED />"));
        click(w->tbToolBar(), "Clone");
        QCOMPARE(added.size(), 3);
        auto* home = added.constLast().constFirst().value<frmBrowser*>();
        QTRY_COMPARE_WITH_TIMEOUT(home->LocationURL(), f.server.url("/home").toString(), kWait);
        choose(w->tbToolBar(), "Startit");
        QCOMPARE(added.size(), 4);
        QVERIFY(!IsFeedTitle(QStringLiteral("<FEED />")));
        QVERIFY(IsFeedTitle(QStringLiteral("<FEED />Nachrichten")));

        choose(w->tbToolBar(), "CloseOthers");
        QTRY_COMPARE_WITH_TIMEOUT(f.main->Browser().size(), 1, kWait);
        QCOMPARE(f.main->Browser().constFirst(), w);
        QCOMPARE(f.main->registry().counter(), 1);
    }

    void closeAllWindowsClosesThisOneLast()
    {
        frmBrowser* w = f.main->CreateBrowser(QStringLiteral("test"), false);
        f.main->CreateBrowser(QStringLiteral("test"), false);
        f.main->CreateBrowser(QStringLiteral("test"), false);
        QList<int> removed;
        connect(f.main.get(), &MDIForm1::browserRemoved, this, [&](int id) { removed << id; });
        const int own = w->ID();
        choose(w->tbToolBar(), "CloseallWin");
        QTRY_COMPARE_WITH_TIMEOUT(f.main->Browser().size(), 0, kWait);
        QCOMPARE(removed.size(), 3);
        QCOMPARE(removed.constLast(), own);
        QCOMPARE(f.main->registry().counter(), 0);
    }

    void clickRefusesTheNextNewWindowOnce()
    {
        f.main->flags().bPopup = true;
        frmBrowser* opener = f.open(f.server.url("/opener"));
        QVERIFY(opener);
        click(opener->tbToolBar(), "Back");
        QVERIFY(ActivityTimings::Current().skipNewWindow);
        opener->page()->runJavaScript(QStringLiteral("go()"));
        QTRY_VERIFY_WITH_TIMEOUT(!ActivityTimings::Current().skipNewWindow, kWait);
        QCOMPARE(f.main->Browser().size(), 1);
        opener->page()->runJavaScript(QStringLiteral("go()"));
        QTRY_COMPARE_WITH_TIMEOUT(f.main->Browser().size(), 2, kWait);

        // An entry click refuses too.
        ActivityTimings::SkipNewWindow(false);
        choose(opener->tbToolBar(), "DocSearch");
        QVERIFY(ActivityTimings::Current().skipNewWindow);
    }

    void selectDrives_data()
    {
        QTest::addColumn<QList<MountedVolume>>("volumes");
        QTest::addColumn<QStringList>("paths");
        const MountedVolume root{"/", "overlay", "overlay", true, true};
        const MountedVolume home{"/home", "/dev/sda2", "ext4", true, true};
        QTest::newRow("root of a container and a disk")
            << QList<MountedVolume>{home, root} << QStringList{"/", "/home"};
        QTest::newRow("pseudo file systems left out")
            << QList<MountedVolume>{root,
                                    {"/proc", "proc", "proc", true, true},
                                    {"/dev/shm", "tmpfs", "tmpfs", true, true},
                                    {"/run/user/0", "tmpfs", "tmpfs", true, true}}
            << QStringList{"/"};
        QTest::newRow("not ready, invalid, image mounts")
            << QList<MountedVolume>{{"/media/cd", "/dev/sr0", "iso9660", true, false},
                                    {"/media/x", "/dev/sdb1", "vfat", false, true},
                                    {"/snap/core/1", "/dev/loop3", "squashfs", true, true}}
            << QStringList{};
        QTest::newRow("each path once")
            << QList<MountedVolume>{home, home, {"/home", "/dev/sdc1", "ext4", true, true}}
            << QStringList{"/home"};
        QTest::newRow("unreadable and single files left out")
            << QList<MountedVolume>{{"/geheim", "/dev/sdd1", "ext4", true, true},
                                    {"/etc/hosts", "/dev/vda", "ext4", true, true}}
            << QStringList{};
    }
    void selectDrives()
    {
        QFETCH(QList<MountedVolume>, volumes);
        QFETCH(QStringList, paths);
        const auto readable = [](const QString& path) {
            return path != QLatin1String("/geheim") && path != QLatin1String("/etc/hosts");
        };
        QStringList got;
        for (const DriveEntry& drive : SelectDrives(volumes, readable)) {
            QCOMPARE(drive.caption, drive.path);
            got << drive.path;
        }
        QCOMPARE(got, paths);
    }

    void driveMenuNavigates()
    {
        frmBrowser* w = f.open(f.server.url("/a"));
        QVERIFY(w);
        QMenu* drives = w->tbToolBar()->DriveMenu();
        // Filled as it opens.
        Q_EMIT drives->aboutToShow();
        QAction* rootEntry = nullptr;
        for (QAction* entry : drives->actions())
            if (entry->text() == QLatin1String("/"))
                rootEntry = entry;
        QVERIFY(rootEntry);
        QCOMPARE(drives->actions().constLast()->objectName(), QStringLiteral("Browse"));
        QCOMPARE(drives->actions().constLast()->text(), QStringLiteral("Ordner auswählen..."));
        QVERIFY(BrowserFixture::WaitLoad(w, [&] { rootEntry->trigger(); }));
        QCOMPARE(w->page()->url(), QUrl::fromLocalFile(QStringLiteral("/")));
        QVERIFY(w->IsFolder());

        // The button shows all file systems from the top.
        QVERIFY(BrowserFixture::WaitLoad(w, [&] { w->Navigate(f.server.url("/a").toString()); }));
        QVERIFY(BrowserFixture::WaitLoad(w, [&] { click(w->tbToolBar(), "Drive"); }));
        QCOMPARE(w->LocationURL(), QStringLiteral("file:///"));
    }

    void browseOpensThePickedFolder()
    {
        frmBrowser* w = f.open(f.server.url("/a"));
        QVERIFY(w);
        // Cancelled: nothing happens.
        choose(w->tbToolBar(), "Browse");
        QCOMPARE(f.dialogs.fileDialogs.size(), 1);
        QCOMPARE(f.dialogs.fileDialogs.constFirst().mode, FileDialogRequest::Mode::Folder);
        QCOMPARE(f.dialogs.fileDialogs.constFirst().title, QStringLiteral("Ordner auswählen..."));
        QVERIFY(!w->Busy());

        QTemporaryDir folder;
        f.dialogs.nextPath = folder.path();
        QVERIFY(BrowserFixture::WaitLoad(w, [&] { choose(w->tbToolBar(), "Browse"); }));
        QVERIFY(w->IsFolder());
        QCOMPARE(QDir(w->GetFolderUrl()), QDir(folder.path()));
    }
};

ORV_GUI_TEST_MAIN(TstToolbar)

#include "tst_toolbar.moc"
