// The link round trip: the links of a page, of its active frame or the
// entries of a bookmark folder are visited one after another in the same
// window, each after the previous one settled; at the end the window goes
// back to its start page or feed. Timings are shortened, never slept.

#include "app/appinit.h"
#include "app/recordio.h"
#include "bookmarks/bookmark.h"
#include "browser/browsertoolbar.h"
#include "browser/refreshdialog.h"
#include "browser/roundtrip.h"
#include "browserfixture.h"
#include "common/bookmarktools.h"
#include "common/filetools.h"
#include "pages/linkcollect.h"
#include "platform/generatedpages.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWebEngineLoadingInfo>

using namespace orv;

class TstRoundtrip : public QObject {
    Q_OBJECT

    BrowserFixture f;

    QByteArray url(const char* path) const
    {
        return f.server.url(QString::fromLatin1(path)).toEncoded();
    }
    // The pages a window begins to load from its creation on, as paths, in
    // order: what the trip shows, not what else the engine asks the server.
    class Visits : public QObject {
    public:
        explicit Visits(frmBrowser* w)
        {
            connect(w->page(), &QWebEnginePage::loadingChanged, this,
                    [this](const QWebEngineLoadingInfo& load) {
                        if (load.status() == QWebEngineLoadingInfo::LoadStartedStatus)
                            paths << load.url().path().toUtf8();
                    });
        }
        QList<QByteArray> paths;
    };
    // Focuses frame `index` of the window's frameset from the page itself.
    static void focusFrame(frmBrowser* w, int index)
    {
        bool done = false;
        w->page()->runJavaScript(
            QStringLiteral("document.getElementsByTagName('frame')[%1].focus();"
                           "document.activeElement.nodeName")
                .arg(index),
            [&](const QVariant&) { done = true; });
        QTRY_VERIFY_WITH_TIMEOUT(done, kWait);
    }
    void writeFolder(const QString& name, const QList<Bookmark>& bookmarks)
    {
        QByteArray records;
        for (int i = 0; i < bookmarks.size(); ++i)
            AppendBookmarkRecord(records, bookmarks.at(i), i + 1);
        QFile file(DataFolder() + QLatin1Char('/') + name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(records);
    }

private Q_SLOTS:
    void initTestCase()
    {
        // A quick pace; pages are given up only in the test of that, so
        // that a loaded machine does not cut a trip short.
        ActivityTimings fast;
        fast.stepMs = 50;
        fast.giveUpMs = kWait;
        ActivityTimings::Set(fast);
        f.server.serve("/trip/start.html", "text/html",
                       HtmlPage("Start", "<a href='a.html#x'>a</a><a href='a.html#y'>a</a>"
                                         "<a href='mailto:x@example.org'>m</a>"
                                         "<a href='javascript:void(0)'>j</a>"
                                         "<a href='/trip/b.html'>b</a>"));
        f.server.serve("/trip/a.html", "text/html", HtmlPage("A"));
        f.server.serve("/trip/b.html", "text/html", HtmlPage("B"));
        f.server.serve("/trip/c.html", "text/html", HtmlPage("C"));
        f.server.serve("/trip/none.html", "text/html", HtmlPage("Ohne", "<p>kein Link</p>"));
        f.server.serve("/trip/slow.html", "text/html", HtmlPage("Langsam"), 8000);
        f.server.serve(
            "/trip/slowstart.html", "text/html",
            HtmlPage("S", "<a href='/trip/slow.html'>s</a><a href='/trip/c.html'>c</a>"));
        f.server.serve("/frames/left.html", "text/html",
                       HtmlPage("L", "<a href='/trip/a.html'>a</a>"));
        f.server.serve("/frames/right.html", "text/html",
                       HtmlPage("R", "<a href='/trip/b.html'>b</a><a href='/trip/c.html'>c</a>"));
        f.server.serve("/frames/set.html", "text/html",
                       "<html><head><title>F</title></head><frameset cols='50%,50%'>"
                       "<frame src='/frames/left.html'><frame src='/frames/right.html'>"
                       "</frameset></html>");
        // A frame of another origin ("localhost" is not "127.0.0.1").
        f.server.serve("/frames/foreign.html", "text/html",
                       "<html><head><title>X</title></head><frameset cols='50%,50%'>"
                       "<frame src='/frames/left.html'><frame src='http://localhost:" +
                           QByteArray::number(f.server.port()) +
                           "/frames/right.html'></frameset></html>");
        f.server.serve("/feed.xml", "text/xml",
                       "<?xml version='1.0'?><rss version='2.0'><channel><title>Nachrichten</title>"
                       "<item><title>Eins</title><link>" +
                           url("/trip/a.html") + "</link></item><item><title>Zwei</title><link>" +
                           url("/trip/b.html") + "</link></item></channel></rss>");
    }
    void init() { f.start(); }
    void cleanup() { f.stop(); }

    void linksVisitedInOrderThenBackToStart()
    {
        frmBrowser* w = f.open(f.server.url(QStringLiteral("/trip/start.html")));
        QVERIFY(w);
        const Visits visits(w);
        QSignalSpy prepared(&w->roundtrip(), &Roundtrip::prepared);
        QSignalSpy finished(&w->roundtrip(), &Roundtrip::finished);
        w->tbToolBar()->Entry(QStringLiteral("Roundtrip"))->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!prepared.isEmpty(), kWait);
        QCOMPARE(prepared.constFirst().constFirst().toInt(), 2);
        QVERIFY(w->roundtrip().Running());
        QCOMPARE(w->roundtrip().RoundtripStart(), f.server.url("/trip/start.html").toString());
        QCOMPARE(w->roundtrip().RoundtripBase(), f.server.url("/trip/").toString());
        QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty(), kWait);
        QTRY_COMPARE_WITH_TIMEOUT(w->LocationURL(), f.server.url("/trip/start.html").toString(),
                                  kWait);
        QTRY_COMPARE_WITH_TIMEOUT(
            visits.paths, (QList<QByteArray>{"/trip/a.html", "/trip/b.html", "/trip/start.html"}),
            kWait);
        QVERIFY(!w->roundtrip().Running());
        QVERIFY(w->roundtrip().Addresses().isEmpty());
    }

    void pageWithoutLinksStartsNothing()
    {
        frmBrowser* w = f.open(f.server.url(QStringLiteral("/trip/none.html")));
        QVERIFY(w);
        QSignalSpy prepared(&w->roundtrip(), &Roundtrip::prepared);
        w->StartRoundtrip();
        QTRY_VERIFY_WITH_TIMEOUT(!prepared.isEmpty(), kWait);
        QCOMPARE(prepared.constFirst().constFirst().toInt(), 0);
        QVERIFY(!w->roundtrip().Running());
    }

    // Of the links of a page, the trip takes web addresses, and local files
    // only when it starts on a local page; data, script and other schemes
    // never.
    void onlyWebAddressesAndLocalFilesFromALocalPage_data()
    {
        QTest::addColumn<bool>("local");
        QTest::addColumn<QStringList>("taken"); // "./": the page's folder
        const QString web = QStringLiteral("http://127.0.0.1:9/w.html");
        const QString secure = QStringLiteral("https://127.0.0.1:9/s.html");
        QTest::newRow("web page") << false << QStringList{web, "./near.html", secure};
        QTest::newRow("local page")
            << true << QStringList{web, "file:///etc/passwd", "./near.html", secure};
    }
    void onlyWebAddressesAndLocalFilesFromALocalPage()
    {
        QFETCH(bool, local);
        QFETCH(QStringList, taken);
        const QByteArray page =
            HtmlPage("Mix", "<a href='data:text/html,<script>document.title=1</script>'>d</a>"
                            "<a href='http://127.0.0.1:9/w.html'>w</a>"
                            "<a href='file:///etc/passwd'>f</a>"
                            "<a href='ftp://127.0.0.1:9/x'>x</a>"
                            "<a href='near.html'>n</a>"
                            "<a href='https://127.0.0.1:9/s.html'>s</a>"
                            "<a href='about:blank'>b</a>");
        QTemporaryDir folder;
        QUrl url = f.server.url(QStringLiteral("/trip/mix.html"));
        if (local) {
            url = QUrl::fromLocalFile(folder.filePath(QStringLiteral("mix.html")));
            WriteBytes(url.toLocalFile(), page);
        } else {
            f.server.serve("/trip/mix.html", "text/html", page);
        }
        frmBrowser* w = f.open(url);
        QVERIFY(w);
        QSignalSpy prepared(&w->roundtrip(), &Roundtrip::prepared);
        w->StartRoundtrip();
        QTRY_VERIFY_WITH_TIMEOUT(!prepared.isEmpty(), kWait);
        w->StopAll();
        taken.replaceInStrings(QStringLiteral("./"), UrlFolder(url.toString()));
        QCOMPARE(w->roundtrip().Addresses(), taken);
    }

    void eachStepWaitsForTheLastPageToSettle()
    {
        const ActivityTimings slow = ActivityTimings::Current();
        frmBrowser* w = f.open(f.server.url(QStringLiteral("/trip/slowstart.html")));
        QVERIFY(w);
        QSignalSpy stepped(&w->roundtrip(), &Roundtrip::stepped);
        w->StartRoundtrip();
        QTRY_VERIFY_WITH_TIMEOUT(!stepped.isEmpty(), kWait);
        // The slow page keeps the trip waiting for many steps of its pace.
        QVERIFY(!stepped.wait(10 * slow.stepMs));
        QCOMPARE(stepped.size(), 1);
        QCOMPARE(f.server.requestCount("/trip/c.html"), 0);
        // Stop ends the trip where it stands, lists kept.
        w->StopAll();
        QVERIFY(!w->roundtrip().Running());
        QCOMPARE(w->roundtrip().Addresses().size(), 2);
        QCOMPARE(w->roundtrip().RoundtripIndex(), 2);
    }

    void pageThatNeverSettlesIsGivenUp()
    {
        const ActivityTimings usual = ActivityTimings::Current();
        ActivityTimings impatient = usual;
        impatient.giveUpMs = 600;
        ActivityTimings::Set(impatient);
        const auto restore = qScopeGuard([&] { ActivityTimings::Set(usual); });
        frmBrowser* w = f.open(f.server.url(QStringLiteral("/trip/slowstart.html")));
        QVERIFY(w);
        const qsizetype before = f.server.requestCount("/trip/c.html");
        QSignalSpy finished(&w->roundtrip(), &Roundtrip::finished);
        w->StartRoundtrip();
        // Long before the slow page answers, the next one is loaded.
        QTRY_COMPARE_WITH_TIMEOUT(f.server.requestCount("/trip/c.html"), before + 1, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty(), kWait);
    }

    void frameRoundtrip_data()
    {
        QTest::addColumn<int>("focus"); // -1: no frame focused
        QTest::addColumn<QList<QByteArray>>("visited");
        QTest::newRow("whole frameset: its frames")
            << -1 << QList<QByteArray>{"/frames/left.html", "/frames/right.html"};
        QTest::newRow("focused frame: its links")
            << 1 << QList<QByteArray>{"/trip/b.html", "/trip/c.html"};
    }
    void frameRoundtrip()
    {
        QFETCH(int, focus);
        QFETCH(QList<QByteArray>, visited);
        frmBrowser* w = f.open(f.server.url(QStringLiteral("/frames/set.html")));
        QVERIFY(w);
        QTRY_VERIFY_WITH_TIMEOUT(f.server.requestCount("/frames/right.html") >= 1, kWait);
        if (focus >= 0)
            focusFrame(w, focus);
        QSignalSpy prepared(&w->roundtrip(), &Roundtrip::prepared);
        QSignalSpy stepped(&w->roundtrip(), &Roundtrip::stepped);
        w->tbToolBar()->Entry(QStringLiteral("RoundtripFrame"))->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!prepared.isEmpty(), kWait);
        QCOMPARE(prepared.constFirst().constFirst().toInt(), visited.size());
        QList<QByteArray> expected;
        for (const QByteArray& path : visited)
            expected << f.server.url(QString::fromLatin1(path)).toEncoded();
        QStringList addresses = w->roundtrip().Addresses();
        QCOMPARE(addresses.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i)
            QCOMPARE(addresses.at(i).toUtf8(), expected.at(i));
        w->StopAll();
    }

    void foreignFrameIsRefused()
    {
        frmBrowser* w = f.open(f.server.url(QStringLiteral("/frames/foreign.html")));
        QVERIFY(w);
        QTRY_VERIFY_WITH_TIMEOUT(f.server.requestCount("/frames/right.html") >= 1, kWait);
        focusFrame(w, 1);
        QSignalSpy prepared(&w->roundtrip(), &Roundtrip::prepared);
        w->StartFrameRoundtrip();
        QTRY_VERIFY_WITH_TIMEOUT(!prepared.isEmpty(), kWait);
        QCOMPARE(prepared.constFirst().constFirst().toInt(), 0);
        QVERIFY(!w->roundtrip().Running());
        QCOMPARE(f.dialogs.messages.size(), 1);
        QCOMPARE(f.dialogs.messages.constFirst().title, QStringLiteral("Fehlerbehandlung"));
        QCOMPARE(f.dialogs.messages.constFirst().text,
                 QStringLiteral("Cross-Domain Referenz\nDOM-Zugriff verweigert !"));
        QCOMPARE(f.dialogs.messages.constFirst().icon, MsgIcon::Warning);
    }

    void bookmarkFolderVisitedAndBackToTheFirst()
    {
        writeFolder(
            QStringLiteral("reise.bkm"),
            {MakeBookmark(QStringLiteral("Eins"), f.server.url("/trip/b.html").toString()),
             MakeBookmark(QStringLiteral("Zwei"), f.server.url("/trip/c.html").toString())});
        frmBrowser* w = f.open(QUrl(QStringLiteral("about:blank")));
        QVERIFY(w);
        const Visits visits(w);
        QSignalSpy finished(&w->roundtrip(), &Roundtrip::finished);
        w->StartBookmarkRoundtrip(QStringLiteral("  reise.bkm "));
        QCOMPARE(w->roundtrip().Titles(), (QStringList{"Eins", "Zwei"}));
        QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty(), kWait);
        QTRY_COMPARE_WITH_TIMEOUT(
            visits.paths, (QList<QByteArray>{"/trip/b.html", "/trip/c.html", "/trip/b.html"}),
            kWait);
    }

    // A folder file that cannot be read is told, not taken for an empty one.
    void unreadableBookmarkFileIsTold()
    {
        const QString name = QStringLiteral("kaputt.bkm");
        QVERIFY(QDir(DataFolder()).mkdir(name)); // no regular file
        frmBrowser* w = f.open(QUrl(QStringLiteral("about:blank")));
        QVERIFY(w);
        QSignalSpy prepared(&w->roundtrip(), &Roundtrip::prepared);
        w->StartBookmarkRoundtrip(name);
        QVERIFY(QDir(DataFolder()).rmdir(name));
        QCOMPARE(prepared.size(), 1);
        QCOMPARE(prepared.constFirst().constFirst().toInt(), 0);
        QVERIFY(!w->roundtrip().Running());
        QCOMPARE(f.dialogs.messages.size(), 1);
        QCOMPARE(f.dialogs.messages.constFirst().title, QStringLiteral("Fehlerbehandlung"));
        QVERIFY2(f.dialogs.messages.constFirst().text.contains(name),
                 qPrintable(f.dialogs.messages.constFirst().text));
    }

    void feedFolderEndsOnTheRenderedFeed()
    {
        const QString feed = f.server.url("/feed.xml").toString();
        writeFolder(
            QStringLiteral("feeds.bkm"),
            {MakeBookmark(QStringLiteral("<FEED />Nachrichten"), feed),
             MakeBookmark(QStringLiteral("Seite"), f.server.url("/trip/c.html").toString())});
        frmBrowser* w = f.open(QUrl(QStringLiteral("about:blank")));
        QVERIFY(w);
        const qsizetype pages = f.server.requestCount("/trip/c.html");
        const qsizetype feeds = f.server.requestCount("/feed.xml");
        QSignalSpy finished(&w->roundtrip(), &Roundtrip::finished);
        w->StartBookmarkRoundtrip(QStringLiteral("feeds.bkm"));
        QCOMPARE(w->roundtrip().RoundtripFeed(), feed);
        QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty(), kWait);
        QCOMPARE(f.server.requestCount("/trip/c.html"), pages + 1);
        QCOMPARE(w->FeedAddress(), feed);
        // The feed was shown as the first stop and again at the end.
        QTRY_COMPARE_WITH_TIMEOUT(f.server.requestCount("/feed.xml"), feeds + 2, kWait);
        QTRY_VERIFY_WITH_TIMEOUT(GeneratedPages::IsGeneratedUrl(w->page()->url()), kWait);
    }

    void linkTripFromAFeedReturnsToTheFeed()
    {
        const QString feed = f.server.url("/feed.xml").toString();
        const qsizetype a = f.server.requestCount("/trip/a.html");
        const qsizetype b = f.server.requestCount("/trip/b.html");
        const qsizetype feeds = f.server.requestCount("/feed.xml");
        QSignalSpy added(f.main.get(), &MDIForm1::browserAdded);
        f.main->OpenXmlFeedBkm(feed);
        QCOMPARE(added.size(), 1);
        auto* w = added.constFirst().constFirst().value<frmBrowser*>();
        QTRY_VERIFY_WITH_TIMEOUT(GeneratedPages::IsGeneratedUrl(w->page()->url()), kWait);
        QTRY_VERIFY_WITH_TIMEOUT(!w->Busy() && !w->ActivityTimerActive(), kWait);
        QSignalSpy finished(&w->roundtrip(), &Roundtrip::finished);
        w->StartRoundtrip();
        QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty(), kWait);
        QCOMPARE(f.server.requestCount("/trip/a.html"), a + 1);
        QCOMPARE(f.server.requestCount("/trip/b.html"), b + 1);
        QCOMPARE(w->FeedAddress(), feed);
        // The feed is loaded and rendered again.
        QTRY_COMPARE_WITH_TIMEOUT(f.server.requestCount("/feed.xml"), feeds + 2, kWait);
        QTRY_VERIFY_WITH_TIMEOUT(GeneratedPages::IsGeneratedUrl(w->page()->url()), kWait);
    }
};

ORV_GUI_TEST_MAIN(TstRoundtrip)
#include "tst_roundtrip.moc"
