#include "bookmarks/bookmark.h"
#include "browser/bandbar.h"
#include "browser/frmbrowser.h"
#include "common/guitest.h"
#include "common/testhttpserver.h"
#include "layouts/layoutrecords.h"
#include "mainwin/mdiform.h"
#include "mainwin/startup.h"
#include "prefs/prefer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QPointer>
#include <QSignalSpy>
#include <QTabBar>
#include <QToolBar>

#include <sys/stat.h>

using namespace orv;

namespace {

constexpr int kWait = 20000;

} // namespace

// Start-up with prepared preferences and data files: which windows open.
class TstStartup : public QObject {
    Q_OBJECT

    TestHttpServer m_server;
    RecordingDialogs m_dialogs;
    std::unique_ptr<Prefer> m_prefer;
    std::unique_ptr<MDIForm1> m_main;

    void start(const QString& argument) { m_main = StartMainWindow(*m_prefer, argument); }

    // A start folder of 30 pages; their addresses.
    QStringList writeLargeFolder()
    {
        constexpr int kPages = 30;
        QByteArray records;
        QStringList urls;
        for (int i = 1; i <= kPages; ++i) {
            Bookmark b;
            b.Titel = QStringLiteral("Seite %1").arg(i);
            b.URL = m_server.url(QStringLiteral("/a?%1").arg(i)).toString();
            AppendBookmarkRecord(records, b, i);
            urls << b.URL;
        }
        const QString name = QStringLiteral("gross.bkm");
        if (!writeFileAtomic(QDir(DataFolder()).filePath(name), records).ok)
            return {};
        m_prefer->setStartBrowser(false);
        m_prefer->setLoadOption(3);
        m_prefer->setGroupFile(name);
        return urls;
    }

    QStringList addresses()
    {
        QStringList list;
        for (frmBrowser* w : m_main->Browser())
            list << w->StartingAddress();
        return list;
    }

private Q_SLOTS:
    void initTestCase()
    {
        InstallDialogs(&m_dialogs);
        for (const char* p : {"/a", "/b", "/c"})
            m_server.serve(p, "text/html", QByteArray("<title>") + p + "</title>");
        m_server.serve("/still", "text/html", "<title>still</title>", 60000);
        m_server.serve("/feed.xml", "text/xml",
                       "<rss><channel><title>Nachrichten</title><item><title>Eins</title>"
                       "<link>http://127.0.0.1/1</link></item></channel></rss>");
    }

    void init()
    {
        m_dialogs.clear();
        QFile::remove(QDir(DataFolder()).filePath(QStringLiteral("Pref.orp")));
        m_prefer = std::make_unique<Prefer>();
        m_prefer->LoadPref();
    }

    void cleanup()
    {
        if (m_main) {
            m_main->CloseAllBrowser();
            QTRY_COMPARE_WITH_TIMEOUT(m_main->Browser().size(), 0, kWait);
        }
        m_main.reset();
        m_prefer.reset();
    }

    void noWindowWhenStartBrowserIsOff()
    {
        m_prefer->setStartBrowser(false);
        start(QString());
        QVERIFY(m_main->Browser().isEmpty());
        QVERIFY(m_main->isVisible());
        QVERIFY(m_main->tabStrip().TabStrip1()->isHidden());
    }

    void startPageWhenStartBrowserIsOn()
    {
        start(QString());
        QCOMPARE(addresses(), QStringList{m_prefer->HomeUrl()});
        QVERIFY(m_main->ActiveBrowser()->isMaximized());
    }

    void startArgument_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("opened");
        const QString a = m_server.url("/a").toString();
        QTest::newRow("address with a port number") << a << a;
        QTest::newRow("quoted argument line")
            << QStringLiteral("\"%1\" --weitere Angaben").arg(a) << a;
        QTest::newRow("path with blanks") << QStringLiteral("/tmp/ein Ordner/seite.html")
                                          << QStringLiteral("/tmp/ein Ordner/seite.html");
    }
    void startArgument()
    {
        QFETCH(QString, argument);
        QFETCH(QString, opened);
        // An argument opens a window even when the start page is off.
        m_prefer->setStartBrowser(false);
        start(argument);
        QCOMPARE(addresses(), QStringList{opened});
    }

    void startFolderOpensEveryBookmark()
    {
        QByteArray records;
        int position = 1;
        for (const char* p : {"/a", "/b", "/c"}) {
            Bookmark b;
            b.Titel = QString::fromLatin1(p);
            b.URL = m_server.url(QString::fromLatin1(p)).toString();
            b.Adresszeile = position != 2;
            b.Toolbar = true;
            AppendBookmarkRecord(records, b, position++);
        }
        QFile folder(QDir(DataFolder()).filePath(QStringLiteral("17.bkm")));
        QVERIFY(folder.open(QIODevice::WriteOnly));
        folder.write(records);
        folder.close();
        m_prefer->setStartBrowser(false);
        m_prefer->setLoadOption(3);
        m_prefer->setGroupFile(QStringLiteral("17.bkm   "));
        start(QString());
        QTRY_COMPARE_WITH_TIMEOUT(m_main->Browser().size(), 3, kWait);
        QCOMPARE(addresses(),
                 (QStringList{m_server.url("/a").toString(), m_server.url("/b").toString(),
                              m_server.url("/c").toString()}));
        // Each bookmark's bars.
        QVERIFY(!m_main->Browser().at(1)->CoolBar1()->bandVisible(QStringLiteral("Adress")));
        QVERIFY(m_main->Browser().at(2)->CoolBar1()->bandVisible(QStringLiteral("Adress")));
        QVERIFY(m_main->ActiveBrowser()->isMaximized());
        QVERIFY(!m_main->tabStrip().TabStrip1()->isHidden());
        for (frmBrowser* w : m_main->Browser())
            QTRY_VERIFY_WITH_TIMEOUT(!w->Busy() && !w->LocationURL().isEmpty(), kWait);
    }

    // A large folder opens a few windows at a time: start-up returns to the
    // event loop before all are open, and they come in the folder's order,
    // each with its tab.
    void largeFolderOpensInSteps()
    {
        const QStringList urls = writeLargeFolder();
        start(QString());
        QVERIFY(m_main->Browser().size() < urls.size());
        QTRY_COMPARE_WITH_TIMEOUT(m_main->Browser().size(), urls.size(), kWait);
        QCOMPARE(addresses(), urls);
        const QTabBar* tabs = m_main->tabStrip().TabStrip1();
        QStringList tabKeys;
        QStringList windowKeys;
        for (int i = 0; i < tabs->count(); ++i)
            tabKeys << tabs->tabData(i).toString();
        for (const frmBrowser* w : m_main->Browser())
            windowKeys << w->WindowKey();
        QCOMPARE(tabKeys, windowKeys);
        QTRY_VERIFY_WITH_TIMEOUT(m_main->cursor().shape() != Qt::WaitCursor, kWait);
        // The last window is in front and fills the area, its tab selected
        // and its caption in the main window's title; the ones behind it
        // are back in their normal state.
        frmBrowser* last = m_main->Browser().constLast();
        QCOMPARE(m_main->ActiveBrowser(), last);
        QCOMPARE(tabs->currentIndex(), tabs->count() - 1);
        for (frmBrowser* w : m_main->Browser())
            QCOMPARE(w->isMaximized(), w == last);
        QTRY_VERIFY_WITH_TIMEOUT(!last->Busy() && !last->windowTitle().isEmpty(), kWait);
        QTRY_VERIFY_WITH_TIMEOUT(m_main->windowTitle().contains(last->windowTitle()), kWait);
    }

    // Pages that do not answer hold up the folder only for a while: six
    // load at a time, the seventh window opens once the first has waited.
    void pagesThatDoNotAnswerOpenSixAtATime()
    {
        constexpr int kPages = 8;
        QByteArray records;
        for (int i = 1; i <= kPages; ++i) {
            Bookmark b;
            b.URL = m_server.url(QStringLiteral("/still?%1").arg(i)).toString();
            AppendBookmarkRecord(records, b, i);
        }
        const QString name = QStringLiteral("still.bkm");
        QVERIFY(writeFileAtomic(QDir(DataFolder()).filePath(name), records).ok);
        m_prefer->setStartBrowser(false);
        start(QString());
        QElapsedTimer clock;
        clock.start();
        QList<qint64> addedMs;
        const QMetaObject::Connection added = connect(m_main.get(), &MDIForm1::browserAdded, this,
                                                      [&] { addedMs << clock.elapsed(); });
        OpenBookmarkFolderAtStart(*m_main, name);
        QTRY_COMPARE_WITH_TIMEOUT(addedMs.size(), kPages, kWait);
        disconnect(added);
        QVERIFY(addedMs.at(6) - addedMs.at(0) >= 3000);
    }

    // The program closing while a folder still opens: nothing more opens,
    // nothing is left behind.
    void closingWhileTheFolderOpens_data()
    {
        QTest::addColumn<bool>("destroyed");
        QTest::newRow("main window closed") << false;
        QTest::newRow("main window destroyed") << true;
    }
    void closingWhileTheFolderOpens()
    {
        QFETCH(bool, destroyed);
        const QStringList urls = writeLargeFolder();
        start(QString());
        QVERIFY(m_main->Browser().size() < urls.size());
        if (destroyed) {
            QPointer<QWidget> tab = m_main->tabStrip().TabStrip1();
            m_main.reset();
            QTRY_VERIFY_WITH_TIMEOUT(tab.isNull(), kWait);
            return;
        }
        m_main->close();
        QTRY_VERIFY_WITH_TIMEOUT(m_main->cursor().shape() != Qt::WaitCursor, kWait);
        QTRY_VERIFY_WITH_TIMEOUT(m_main->Browser().isEmpty(), kWait);
    }

    // A feed start page and the feed bookmarks of the start folder open in
    // feed windows, the rest as pages.
    void feedsAtStart()
    {
        const QString feed = m_server.url("/feed.xml").toString();
        QByteArray records;
        int position = 1;
        for (const QString& title : {QStringLiteral("/a"), QStringLiteral("<FEED />Neues"),
                                     QStringLiteral("<FEED />"), QStringLiteral("/b")}) {
            Bookmark b;
            b.Titel = title;
            b.URL = title.startsWith(u'/') ? m_server.url(title).toString() : feed;
            AppendBookmarkRecord(records, b, position++);
        }
        QFile folder(QDir(DataFolder()).filePath(QStringLiteral("18.bkm")));
        QVERIFY(folder.open(QIODevice::WriteOnly));
        folder.write(records);
        folder.close();
        m_prefer->setHomeTitle(QStringLiteral("<FEED />Nachrichten"));
        m_prefer->setHomeUrl(feed + QStringLiteral("  "));
        m_prefer->setLoadOption(3);
        m_prefer->setGroupFile(QStringLiteral("18.bkm"));
        start(QString());
        QTRY_COMPARE_WITH_TIMEOUT(m_main->Browser().size(), 5, kWait);
        QStringList feeds;
        for (frmBrowser* w : m_main->Browser())
            feeds << w->FeedAddress();
        // The bookmark titled only with the marker is a page.
        QCOMPARE(feeds, (QStringList{feed, QString(), feed, QString(), QString()}));
        QTRY_COMPARE_WITH_TIMEOUT(m_main->Browser().constFirst()->windowTitle(),
                                  QStringLiteral("Nachrichten [RSS]"), kWait);
        for (frmBrowser* w : m_main->Browser())
            QTRY_VERIFY_WITH_TIMEOUT(!w->Busy() && !w->LocationURL().isEmpty(), kWait);
    }

    void startArrangementFile()
    {
        const QString path = QDir(DataFolder()).filePath(QStringLiteral("start.wlt"));
        LayoutWindowRecord normal;
        normal.Left = 150;
        normal.Top = 300;
        normal.Width = 6000;
        normal.Height = 4500;
        normal.URL = m_server.url("/a").toString();
        normal.ToolbarVisible = true;
        normal.AdressbarVisible = true;
        normal.Titel = QStringLiteral("A");
        LayoutWindowRecord bare = normal;
        bare.URL = m_server.url("/b").toString();
        bare.ToolbarVisible = false;
        bare.AdressbarVisible = false;
        LayoutWindowRecord minimised = normal;
        minimised.URL = m_server.url("/c").toString();
        minimised.WindowState = 1;
        LayoutWindowRecord noGeometry = normal;
        noGeometry.Width = 0;
        noGeometry.Titel = QStringLiteral("<FEED />");
        QVERIFY(writeLayoutFile(path, {normal, bare, minimised, noGeometry}).ok);

        m_prefer->setStartBrowser(false);
        m_prefer->setLoadOption(2);
        m_prefer->setLayout(path);
        start(QString());
        QCOMPARE(m_main->Browser().size(), 4);
        frmBrowser* first = m_main->Browser().at(0);
        QCOMPARE(first->geometry(), QRect(10, 20, 400, 300));
        QVERIFY(!first->CoolBar1()->isHidden());
        frmBrowser* second = m_main->Browser().at(1);
        QVERIFY(second->CoolBar1()->isHidden());
        QVERIFY(!second->CoolBar1()->bandVisible(QStringLiteral("Anim")));
        QCOMPARE(m_main->Browser().at(2)->WindowState(), 1);
        // A title of exactly the feed marker opens as an ordinary page.
        frmBrowser* fourth = m_main->Browser().at(3);
        QCOMPARE(fourth->StartingAddress(), m_server.url("/a").toString());
        QVERIFY(fourth->FeedAddress().isEmpty());
    }

    // Stored names of start files that are no regular file of their place
    // (a device, a pipe, a way out of the data folder) open nothing and
    // never block the start.
    void hostileStartFiles_data()
    {
        QTest::addColumn<int>("option");
        QTest::addColumn<QString>("name");
        QTest::newRow("arrangement from a device") << 2 << "/dev/zero";
        QTest::newRow("arrangement from a pipe") << 2 << "pipe";
        QTest::newRow("folder from a pipe") << 3 << "pipe";
        QTest::newRow("folder outside the data folder") << 3 << "../outside.bkm";
        QTest::newRow("folder by absolute name") << 3 << "absolute";
    }
    void hostileStartFiles()
    {
        QFETCH(int, option);
        QFETCH(QString, name);
        const QDir data(DataFolder());
        const QString pipe = data.filePath(QStringLiteral("pipe"));
        QFile::remove(pipe);
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        // A readable bookmark record outside the data folder.
        const QString outside = data.absoluteFilePath(QStringLiteral("../outside.bkm"));
        QVERIFY(writeFileAtomic(outside, QByteArray(4096, 'x')).ok);
        if (name == QLatin1String("pipe") && option == 2)
            name = pipe;
        else if (name == QLatin1String("absolute"))
            name = outside;
        m_prefer->setStartBrowser(false);
        m_prefer->setLoadOption(option);
        if (option == 2)
            m_prefer->setLayout(name);
        else
            m_prefer->setGroupFile(name);
        start(QString());
        QVERIFY(m_main->Browser().isEmpty());
        QFile::remove(pipe);
        QFile::remove(outside);
    }

    // Closing keeps the normal size for the next start, also when the main
    // window is maximised at that moment.
    void closingKeepsTheNormalSize_data()
    {
        QTest::addColumn<bool>("maximised");
        QTest::newRow("normal") << false;
        QTest::newRow("maximised") << true;
    }
    void closingKeepsTheNormalSize()
    {
        QFETCH(bool, maximised);
        m_prefer->setStartBrowser(false);
        start(QString());
        m_main->showNormal();
        m_main->resize(720, 510);
        QTRY_COMPARE(m_main->size(), QSize(720, 510));
        if (maximised) {
            m_main->showMaximized();
            QTRY_VERIFY(m_main->isMaximized() && m_main->width() != 720);
        }
        m_main->close();
        Prefer stored;
        stored.LoadPref();
        QCOMPARE(stored.MdiWidth(), 720 * 15);
        QCOMPARE(stored.MdiHeight(), 510 * 15);
        QCOMPARE(stored.MdiState(), maximised ? 2 : 0);
    }

    void missingStartFilesOpenNothingMore()
    {
        m_prefer->setStartBrowser(false);
        m_prefer->setLoadOption(2);
        m_prefer->setLayout(QStringLiteral("/nicht/vorhanden.wlt"));
        start(QString());
        QVERIFY(m_main->Browser().isEmpty());
        m_main.reset();
        m_prefer->setLoadOption(3);
        m_prefer->setGroupFile(QStringLiteral("fehlt.bkm"));
        start(QString());
        QVERIFY(m_main->Browser().isEmpty());
        QVERIFY(m_dialogs.messages.isEmpty());
    }
};

ORV_GUI_TEST_MAIN(TstStartup)
#include "tst_startup.moc"
