// The structure view and the picture list of the active window, from the
// View menu: enabled by the document, each shown in a new window.

#include "browser/bandbar.h"
#include "browser/browsertoolbar.h"
#include "browser/frmbrowser.h"
#include "browser/refreshdialog.h"
#include "common/corpus.h"
#include "common/guitest.h"
#include "common/mainwindowfixture.h"
#include "mainwin/mdiform.h"
#include "pages/feedpage.h"

#include <QAction>
#include <QMdiArea>
#include <QMenu>
#include <QPointer>
#include <QScopeGuard>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThreadPool>
#include <QTimer>

#include <memory>
#include <vector>

namespace orv {

// Answers every request with the head of a feed and then one byte of it
// every kDripMs, without end.
class DrippingServer {
public:
    static constexpr int kDripMs = 100;

    DrippingServer()
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\n"
                              "Content-Length: 1000000\r\n\r\n<rss>");
                auto* drip = new QTimer(socket);
                QObject::connect(drip, &QTimer::timeout, socket, [socket] { socket->write(" "); });
                drip->start(kDripMs);
            }
        });
        m_server.listen(QHostAddress::LocalHost, 0);
    }
    QUrl url() const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(m_server.serverPort()));
    }

private:
    QTcpServer m_server;
};

class TestViewPages : public QObject, private MainWindowFixture<> {
    Q_OBJECT

    QRect areaRect() const { return m_main->mdiArea()->viewport()->rect(); }

    // The text the window's page shows, asked again while the page that is
    // on its way has no body yet, or until it holds `expected` (the
    // structure view lays out its sections as they come into sight, a
    // moment after its load); the last answer when it never does.
    static QString shownText(frmBrowser* window, const QString& expected = {})
    {
        struct Answer {
            QVariant text;
            bool asking = false;
        };
        const auto answer = std::make_shared<Answer>();
        const auto shown = [window, answer, expected] {
            const bool holds = answer->text.isValid() && answer->text.toString().contains(expected);
            if (!answer->asking && !holds) {
                answer->asking = true;
                window->page()->runJavaScript(
                    QStringLiteral("document.body ? document.body.innerText : null"),
                    [answer](const QVariant& v) {
                        answer->asking = false;
                        if (!v.isNull())
                            answer->text = v;
                    });
            }
            return holds;
        };
        if (!WaitFor(shown, kWait))
            qWarning("shownText: the page never showed the text asked for");
        return answer->text.toString();
    }

    QMenu* viewMenu() const { return m_main->findChild<QMenu*>(QStringLiteral("mn_Ansicht")); }
    bool enabled(const char* name) const
    {
        return m_main->menuItems().Item(QString::fromLatin1(name))->isEnabled();
    }

private Q_SLOTS:
    void initTestCase()
    {
        InstallDialogs(&m_dialogs);
        m_server.serve("/doc", "text/html",
                       HtmlPage("Dokument", "<p id='a'>Absatz &lt;b&gt;</p><img src='/bild.gif'>"));
        m_server.serve("/bild.gif", "image/gif", QByteArray("GIF89a"));
        m_server.serve("/feed.xml", "text/xml",
                       "<?xml version='1.0' encoding='ISO-8859-1'?><rss version='2.0'><channel>"
                       "<title>Nachrichten</title><item><title>Erste \xe4nderung</title>"
                       "<link>http://127.0.0.1/1</link><description>Text</description></item>"
                       "</channel></rss>");
        m_server.serve("/broken.xml", "text/xml", "<rss><channel><title>x</title>");
        m_server.serve("/nolink.xml", "text/xml",
                       "<rss><channel><title>x</title><item><title>a</title></item>"
                       "</channel></rss>");
        // A frame from another origin (another host name for the same server).
        QUrl foreign = m_server.url(QStringLiteral("/doc"));
        foreign.setHost(QStringLiteral("localhost"));
        m_server.serve("/framed", "text/html",
                       HtmlPage("Rahmen", "<iframe id='f' src='" + foreign.toEncoded() +
                                              "'></iframe><img src='/bild.gif'>"));
        m_server.serve("/announcing", "text/html",
                       "<html><head><title>Mit Feed</title><link rel='alternate' "
                       "type='application/rss+xml' title='Neues' href='/feed.xml'></head>"
                       "<body>Seite</body></html>");
    }
    void init() { openMainWindow(); }
    void cleanup() { closeMainWindow(); }

    void enablingFollowsTheDocument_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("pages");
        QTest::newRow("a web page") << "/doc" << true;
        QTest::newRow("about:blank") << "about:blank" << false;
    }
    void enablingFollowsTheDocument()
    {
        QFETCH(QString, address);
        QFETCH(bool, pages);
        QVERIFY(openAndWait(address.startsWith(u'/') ? m_server.url(address) : QUrl(address)));
        Q_EMIT viewMenu()->aboutToShow();
        QVERIFY(!enabled("mn_DocStruct"));
        QTRY_COMPARE_WITH_TIMEOUT(enabled("mn_DocStruct"), pages, kWait);
        QTRY_COMPARE_WITH_TIMEOUT(enabled("mn_PictureList"), pages, kWait);
        QTRY_COMPARE_WITH_TIMEOUT(enabled("mn_HTMLCode"), pages, kWait);
    }

    // The source view: the page's own window shows its source.
    void sourceOfTheActivePage()
    {
        frmBrowser* w = openAndWait(QStringLiteral("/doc"));
        QVERIFY(w);
        m_main->menuItems().Item(QStringLiteral("mn_HTMLCode"))->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(w->LocationURL(),
                                  QStringLiteral("view-source:") + m_server.url("/doc").toString(),
                                  kWait);
        QCOMPARE(m_main->Browser().size(), 1);
    }

    // A feed opens in a narrow window without bars, rendered, captioned with
    // its title and type; a broken one shows the parser's complaint.
    void feedWindow_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("shows");
        QTest::newRow("RSS") << "/feed.xml"
                             << "Nachrichten [RSS]" << QStringLiteral("Erste änderung");
        QTest::newRow("malformed") << "/broken.xml"
                                   << ""
                                   << "Die XML Seite kann nicht angezeigt werden.";
        QTest::newRow("not found")
            << "/missing.xml"
            << ""
            << "Der Server meldet den Status 404: Die Datei wurde nicht gefunden.";
        QTest::newRow("item without link")
            << "/nolink.xml"
            << "" << QStringLiteral("Dem Eintrag 1 fehlt das Element \u201Elink\u201C.");
    }
    void feedWindow()
    {
        QFETCH(QString, path);
        QFETCH(QString, caption);
        QFETCH(QString, shows);
        QSignalSpy added(m_main.get(), &MDIForm1::browserAdded);
        m_main->OpenXmlFeedBkm(m_server.url(path).toString());
        QCOMPARE(added.size(), 1);
        auto* window = added.constFirst().constFirst().value<frmBrowser*>();
        QVERIFY(window->CoolBar1()->isHidden());
        QCOMPARE(window->width(), 5530 / 15);
        QTRY_VERIFY_WITH_TIMEOUT(window->LocationURL().startsWith(QLatin1String("orvane:")), kWait);
        WaitSettled(window);
        QCOMPARE(window->windowTitle(), caption);
        const QString text = shownText(window);
        QVERIFY2(text.contains(shows), qPrintable(text));
        // The rendered feed is not loaded again when it settles.
        QCOMPARE(m_server.requestCount(path.toUtf8()), 1);
    }

    // A server that sends a byte now and then never keeps a feed window
    // busy beyond the bound of the whole load.
    void feedLoadIsBounded()
    {
        const ActivityTimings before = ActivityTimings::Current();
        ActivityTimings bounded = before;
        bounded.feedLoadMs = 2000;
        ActivityTimings::Set(bounded);
        const auto restore = qScopeGuard([before] { ActivityTimings::Set(before); });
        DrippingServer dripping;
        QSignalSpy added(m_main.get(), &MDIForm1::browserAdded);
        m_main->OpenXmlFeedBkm(dripping.url().toString());
        auto* window = added.constFirst().constFirst().value<frmBrowser*>();
        QTRY_VERIFY_WITH_TIMEOUT(window->FeedLoading(), kWait);
        QTRY_VERIFY_WITH_TIMEOUT(!window->FeedLoading(), kWait);
        QTRY_VERIFY_WITH_TIMEOUT(window->LocationURL().startsWith(QLatin1String("orvane:")), kWait);
        QVERIFY(!window->TabAnimationRunning());
        const QString text = shownText(window);
        QVERIFY2(text.contains(QStringLiteral(
                     "Der Feed wurde nicht innerhalb von 2 Sekunden vollständig geladen.")),
                 qPrintable(text));
    }

    // A large feed is rendered off the main thread: meanwhile the window is
    // still loading its feed and shows the hourglass; closed then, it goes
    // quietly and the finished page is thrown away.
    void feedWindowClosedWhileRendering()
    {
        constexpr int kManyItems = 200000;
        QByteArray feed = "<rss version='2.0'><channel><title>Viele</title>";
        for (int i = 1; i <= kManyItems; ++i)
            feed += "<item><title>M" + QByteArray::number(i) + "</title><link>http://127.0.0.1/" +
                    QByteArray::number(i) + "</link></item>";
        m_server.serve("/many.xml", "text/xml", feed + "</channel></rss>");
        QSignalSpy added(m_main.get(), &MDIForm1::browserAdded);
        m_main->OpenXmlFeedBkm(m_server.url("/many.xml").toString());
        QPointer<frmBrowser> window = added.constFirst().constFirst().value<frmBrowser*>();
        QThreadPool* workers = QThreadPool::globalInstance();
        // Caught while its page is made (no event runs between this and the close).
        QTRY_VERIFY_WITH_TIMEOUT(workers->activeThreadCount() > 0 && window->FeedLoading(), kWait);
        QCOMPARE(window->cursor().shape(), Qt::WaitCursor);
        window->close();
        QTRY_VERIFY_WITH_TIMEOUT(!window, kWait);
        QTRY_COMPARE_WITH_TIMEOUT(workers->activeThreadCount(), 0, kWait);
        QVERIFY(m_main->Browser().isEmpty());
    }

    // Whatever state the active window is in, a feed window opens in the
    // normal state with room for its page, inside the window area.
    void feedWindowHasRoom_data()
    {
        QTest::addColumn<int>("activeState");
        QTest::newRow("normal") << 0;
        QTest::newRow("minimised") << 1;
        QTest::newRow("maximised") << 2;
    }
    void feedWindowHasRoom()
    {
        QFETCH(int, activeState);
        frmBrowser* active = openAndWait(QStringLiteral("/doc"));
        QVERIFY(active);
        active->SetWindowState(activeState);
        QSignalSpy added(m_main.get(), &MDIForm1::browserAdded);
        m_main->OpenXmlFeedBkm(m_server.url("/feed.xml").toString());
        auto* window = added.constFirst().constFirst().value<frmBrowser*>();
        QCOMPARE(window->WindowState(), 0);
        QCOMPARE(window->width(), 5530 / 15);
        QVERIFY2(window->height() >= WindowRegistry::kMinWindowHeight,
                 qPrintable(QString::number(window->height())));
        QVERIFY(areaRect().contains(window->geometry()));
    }

    // A feed start page: every way to a new start-page window opens a feed
    // window, "Home" renders it in the window itself, cloning a feed window
    // clones the feed; a title of just the marker is a feed only for "Home".
    void feedStartPage_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("homeTitle");
        QTest::addColumn<bool>("feed");
        const QString feedTitle = QStringLiteral("<FEED />Nachrichten");
        const QString marker = QStringLiteral("<FEED />");
        QTest::newRow("menu") << "menu" << feedTitle << true;
        QTest::newRow("menu, only the marker") << "menu" << marker << false;
        QTest::newRow("Clone") << "Clone" << feedTitle << true;
        QTest::newRow("Startit") << "Startit" << feedTitle << true;
        QTest::newRow("Startit, only the marker") << "Startit" << marker << false;
        QTest::newRow("Home") << "Home" << marker << true;
        QTest::newRow("Home, no title") << "Home" << QString() << false;
        QTest::newRow("clone a feed window") << "CloneActive" << QString() << true;
    }
    void feedStartPage()
    {
        QFETCH(QString, entry);
        QFETCH(QString, homeTitle);
        QFETCH(bool, feed);
        const QString feedUrl = m_server.url("/feed.xml").toString();
        m_prefer->setHomeUrl(QStringLiteral(" ") + feedUrl + QStringLiteral(" "));
        m_prefer->setHomeTitle(homeTitle);
        frmBrowser* page = openAndWait(QStringLiteral("/doc"));
        QVERIFY(page);
        QSignalSpy added(m_main.get(), &MDIForm1::browserAdded);
        if (entry == QLatin1String("menu")) {
            m_main->menuItems().Item(QStringLiteral("mn_HomeBrowser"))->trigger();
        } else if (entry == QLatin1String("Clone") || entry == QLatin1String("Home")) {
            page->tbToolBar()->ButtonClick(entry);
        } else if (entry == QLatin1String("Startit")) {
            page->tbToolBar()->ButtonMenuClick(page->tbToolBar()->Entry(entry));
        } else {
            m_main->OpenXmlFeedBkm(feedUrl);
            QTRY_COMPARE_WITH_TIMEOUT(added.size(), 1, kWait);
            WaitSettled(added.constFirst().constFirst().value<frmBrowser*>());
            m_main->CloneActive();
        }
        frmBrowser* target = page;
        if (entry != QLatin1String("Home")) {
            QTRY_VERIFY_WITH_TIMEOUT(!added.isEmpty(), kWait);
            target = added.constLast().constFirst().value<frmBrowser*>();
        }
        if (feed) {
            QTRY_COMPARE_WITH_TIMEOUT(target->windowTitle(), QStringLiteral("Nachrichten [RSS]"),
                                      kWait);
            QCOMPARE(target->FeedAddress(), feedUrl);
        } else {
            QTRY_COMPARE_WITH_TIMEOUT(target->LocationURL(), feedUrl, kWait);
            QVERIFY(target->FeedAddress().isEmpty());
        }
    }

    // Every real-world feed of the corpus, opened in a feed window at once:
    // the window shows what the feed page generator makes of the file's
    // bytes, and nothing of the feed runs as script.
    void corpusFeedsInWindows()
    {
        const QDir corpus(QStringLiteral(ORVANE_TEST_CORPUS "/feeds"));
        const QStringList files = corpus.entryList({QStringLiteral("*.xml")}, QDir::Files);
        if (files.isEmpty())
            ORV_CORPUS_MISSING("ORVANE_TEST_CORPUS/feeds");
        QSignalSpy added(m_main.get(), &MDIForm1::browserAdded);
        std::vector<std::unique_ptr<QSignalSpy>> settled;
        for (const QString& file : files) {
            m_main->OpenXmlFeedBkm(QUrl::fromLocalFile(corpus.filePath(file)).toString());
            auto* window = added.constLast().constFirst().value<frmBrowser*>();
            settled.push_back(std::make_unique<QSignalSpy>(window, &frmBrowser::settled));
        }
        QCOMPARE(added.size(), files.size());
        for (int i = 0; i < files.size(); ++i) {
            auto* window = added.at(i).constFirst().value<frmBrowser*>();
            const QString& file = files.at(i);
            QFile in(corpus.filePath(file));
            QVERIFY(in.open(QIODevice::ReadOnly));
            const FeedPage expected =
                RenderFeed(in.readAll(), QUrl::fromLocalFile(in.fileName()).toString());
            // Loaded: the window settled once and its tab is calm again.
            QTRY_VERIFY2_WITH_TIMEOUT(!settled.at(i)->isEmpty() && !window->TabAnimationRunning(),
                                      qPrintable(file), kWait);
            QTRY_VERIFY2_WITH_TIMEOUT(settled.at(i)->size() >= 2 && !window->Busy(),
                                      qPrintable(file), kWait);
            QCOMPARE(window->windowTitle(), expected.caption);
            QVariant shown;
            window->page()->runJavaScript(
                QStringLiteral("[document.scripts.length, "
                               "document.querySelectorAll('.itemborder').length]"),
                [&](const QVariant& v) { shown = v; });
            QTRY_VERIFY_WITH_TIMEOUT(shown.isValid(), kWait);
            const QVariantList counts = shown.toList();
            QVERIFY2(counts.size() == 2 &&
                         counts.at(0).toInt() == 1 && // the page's own toggle script
                         counts.at(1).toInt() == expected.itemCount,
                     qPrintable(file + QStringLiteral(": ") +
                                QVariant(counts).toStringList().join(u' ')));
        }
    }

    // The feeds a page announces are offered in "&News Feeds"; an entry
    // opens its feed window.
    void announcedFeedsInTheMenu()
    {
        QVERIFY(openAndWait(QStringLiteral("/announcing")));
        Q_EMIT viewMenu()->aboutToShow();
        QTRY_VERIFY_WITH_TIMEOUT(enabled("mn_Newsfeeds"), kWait);
        QMenu* feeds = m_main->findChild<QMenu*>(QStringLiteral("mn_Newsfeeds"));
        QCOMPARE(feeds->actions().size(), 1);
        QCOMPARE(feeds->actions().constFirst()->text(), QStringLiteral("Neues"));
        QSignalSpy added(m_main.get(), &MDIForm1::browserAdded);
        feeds->actions().constFirst()->trigger();
        QCOMPARE(added.size(), 1);
        auto* window = added.constFirst().constFirst().value<frmBrowser*>();
        QCOMPARE(window->FeedAddress(), m_server.url("/feed.xml").toString());
        QTRY_COMPARE_WITH_TIMEOUT(window->windowTitle(), QStringLiteral("Nachrichten [RSS]"),
                                  kWait);
    }

    // With the focus in a frame of another origin, the structure view and
    // the picture list say that access was refused, naming the frame.
    void crossDomainFrame_data()
    {
        QTest::addColumn<QString>("item");
        QTest::newRow("structure") << "mn_DocStruct";
        QTest::newRow("pictures") << "mn_PictureList";
    }
    void crossDomainFrame()
    {
        QFETCH(QString, item);
        frmBrowser* source = openAndWait(QStringLiteral("/framed"));
        QVERIFY(source);
        QVariant focused;
        source->page()->runJavaScript(
            QStringLiteral("document.getElementById('f').focus(); document.activeElement.id"),
            [&](const QVariant& v) { focused = v; });
        QTRY_COMPARE_WITH_TIMEOUT(focused.toString(), QStringLiteral("f"), kWait);
        QSignalSpy added(m_main.get(), &MDIForm1::browserAdded);
        m_main->menuItems().Item(item)->trigger();
        QCOMPARE(added.size(), 1);
        auto* view = added.constFirst().constFirst().value<frmBrowser*>();
        QTRY_COMPARE_WITH_TIMEOUT(view->windowTitle(), QStringLiteral("Cross-Domain Referenz"),
                                  kWait);
        QVariant text;
        view->page()->runJavaScript(QStringLiteral("document.body.innerText"),
                                    [&](const QVariant& v) { text = v; });
        QTRY_VERIFY_WITH_TIMEOUT(text.isValid(), kWait);
        QVERIFY2(text.toString().contains(QStringLiteral("localhost")),
                 qPrintable(text.toString()));
    }

    void pagesOpenInANewWindow_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("shows");
        QTest::newRow("structure") << "mn_DocStruct"
                                   << "HTML Dokumentstruktur"
                                   << "<P ID='a'/>";
        QTest::newRow("pictures") << "mn_PictureList"
                                  << "Bilderliste"
                                  << "bild.gif";
    }
    void pagesOpenInANewWindow()
    {
        QFETCH(QString, item);
        QFETCH(QString, caption);
        QFETCH(QString, shows);
        frmBrowser* source = openAndWait(QStringLiteral("/doc"));
        QVERIFY(source);
        QSignalSpy added(m_main.get(), &MDIForm1::browserAdded);
        m_main->menuItems().Item(item)->trigger();
        QCOMPARE(added.size(), 1);
        auto* view = added.constFirst().constFirst().value<frmBrowser*>();
        // Its tab is busy until the page is made.
        QVERIFY(view->TabAnimationRunning());
        QTRY_COMPARE_WITH_TIMEOUT(view->windowTitle(), caption, kWait);
        QVERIFY(!view->TabAnimationRunning());
        const QString text = shownText(view, shows);
        QVERIFY2(text.contains(shows), qPrintable(text));
        // The window shows a page of its own: it cannot be cloned (the
        // toolbar follows once the page has finished loading).
        QVERIFY(!view->IsCloneable());
        QTRY_VERIFY_WITH_TIMEOUT(!view->tbToolBar()->Entry(QStringLiteral("Cloneit"))->isEnabled(),
                                 kWait);
        QVERIFY(view->CoolBar1()->isHidden());
        // It opens whole inside the window area, at a size that shows the page.
        QVERIFY2(areaRect().contains(view->geometry()), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                       .arg(view->x())
                                                                       .arg(view->y())
                                                                       .arg(view->width())
                                                                       .arg(view->height())));
        QVERIFY(view->width() >= WindowRegistry::kMinWindowWidth);
    }
};

} // namespace orv

ORV_GUI_TEST_MAIN(orv::TestViewPages)
#include "tst_viewpages.moc"
