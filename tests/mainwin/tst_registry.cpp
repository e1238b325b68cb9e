#include "browser/bandbar.h"
#include "browser/frmbrowser.h"
#include "browser/refreshdialog.h"
#include "common/mainwindowfixture.h"
#include "mainwin/mdiform.h"
#include "prefs/prefer.h"

#include <QComboBox>
#include <QDir>
#include <QMdiArea>
#include <QSignalSpy>
#include <QTabBar>
#include <QWebEngineView>

#include <cstdlib>
#include <cstring>
#include <vector>

#include <unistd.h>

using namespace orv;

namespace {

qint64 ResidentKb()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    return statm.readAll().split(' ').value(1).toLongLong() * ::sysconf(_SC_PAGESIZE) / 1024;
}

} // namespace

class TstRegistry : public QObject, private MainWindowFixture<> {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        InstallDialogs(&m_dialogs);
        m_server.serve("/a", "text/html", HtmlPage("Seite A"));
        m_server.serve("/b", "text/html", HtmlPage("Seite B"));
        m_server.serve("/storm", "text/html",
                       HtmlPage("Sturm", "<script>function storm(n){ for (var i = 0; i < n; ++i)"
                                         " window.open('/b'); }</script>"));
        m_server.serve("/amp", "text/html", HtmlPage("Tom &amp; Jerry"));
        m_server.serve("/opener", "text/html",
                       HtmlPage("Opener", "<script>function go(){window.open('/b');}</script>"));
        m_server.serve("/closer", "text/html",
                       HtmlPage("Closer", "<script>function bye(){window.close();}</script>"));
        m_server.serve("/resizer", "text/html",
                       HtmlPage("Resizer", "<script>function size(){window.resizeTo(400,300);}"
                                           "</script>"));
    }

    void init() { openMainWindow(); }
    void cleanup() { closeMainWindow(); }

    // Heap the program freed while windows were open goes back to the
    // system once they have closed: the C library would keep it resident.
    void freedMemoryGoesBackAfterClosing()
    {
        frmBrowser* window = m_main->CreateBrowser(QStringLiteral("test"), false);
        constexpr int kBlocks = 3000;
        constexpr std::size_t kBlockBytes = 64 * 1024;
        constexpr qint64 kReturnedKb = 100 * 1024;
        std::vector<void*> blocks;
        for (int i = 0; i < kBlocks; ++i) {
            blocks.push_back(std::malloc(kBlockBytes));
            std::memset(blocks.back(), 1, kBlockBytes);
        }
        // The last block stays, so the freed ones lie inside the heap.
        for (int i = 0; i < kBlocks - 1; ++i)
            std::free(blocks[std::size_t(i)]);
        const qint64 heldKb = ResidentKb();
        window->close();
        QTRY_VERIFY_WITH_TIMEOUT(ResidentKb() < heldKb - kReturnedKb, 20000);
        std::free(blocks.back());
    }

    void numbersAreNeverReused()
    {
        frmBrowser* a = m_main->CreateBrowser(QStringLiteral("test"), false);
        frmBrowser* b = m_main->CreateBrowser(QStringLiteral("test"), false);
        frmBrowser* c = m_main->CreateBrowser(QStringLiteral("test"), false);
        QCOMPARE(a->WindowKey(), QStringLiteral("[1]"));
        QCOMPARE(b->WindowKey(), QStringLiteral("[2]"));
        QCOMPARE(c->WindowKey(), QStringLiteral("[3]"));
        QCOMPARE(m_main->registry().counter(), 3);
        QCOMPARE(m_main->registry().FrontWindowKey(), QStringLiteral("[3]"));
        c->close();
        QTRY_COMPARE(m_main->Browser().size(), 2);
        QCOMPARE(m_main->registry().counter(), 2);
        frmBrowser* d = m_main->CreateBrowser(QStringLiteral("test"), false);
        QCOMPARE(d->WindowKey(), QStringLiteral("[4]"));
        QCOMPARE(m_main->BrowserByKey(QStringLiteral("[4]")), d);
        QVERIFY(!m_main->BrowserByKey(QStringLiteral("[3]")));
        QCOMPARE(m_main->tabStrip().TabStrip1()->count(), 3);
    }

    void visitUrlWithEmptyAddressOpensNothing()
    {
        m_main->flags().AdressView = false;
        m_main->flags().ToolbarView = true;
        m_main->VisitUrl(QString(), true, false);
        QCOMPARE(m_main->Browser().size(), 0);
        QCOMPARE(m_main->flags().AdressView, false);
        QCOMPARE(m_main->flags().ToolbarView, true);
    }

    void barsOfNewWindows_data()
    {
        QTest::addColumn<bool>("noToolbar");
        QTest::addColumn<bool>("adress");
        QTest::addColumn<bool>("toolbar");
        QTest::addColumn<bool>("barShown");
        QTest::addColumn<bool>("animShown");
        QTest::newRow("both") << false << true << true << true << true;
        QTest::newRow("address only") << false << true << false << true << true;
        QTest::newRow("toolbar only") << false << false << true << true << true;
        QTest::newRow("none") << false << false << false << false << false;
        QTest::newRow("forced off") << true << true << true << false << false;
    }
    void barsOfNewWindows()
    {
        QFETCH(bool, noToolbar);
        QFETCH(bool, adress);
        QFETCH(bool, toolbar);
        QFETCH(bool, barShown);
        QFETCH(bool, animShown);
        m_main->flags().AdressView = adress;
        m_main->flags().ToolbarView = toolbar;
        frmBrowser* w = m_main->CreateBrowser(QStringLiteral("test"), noToolbar);
        QVERIFY(w);
        QCOMPARE(!w->CoolBar1()->isHidden(), barShown);
        QCOMPARE(w->CoolBar1()->bandVisible(QStringLiteral("Anim")), animShown);
        QCOMPARE(w->CoolBar1()->bandVisible(QStringLiteral("Adress")), adress && !noToolbar);
        QCOMPARE(w->CoolBar1()->bandVisible(QStringLiteral("Toolbar")), toolbar && !noToolbar);
    }

    void startingAddressAndBlankWindow()
    {
        frmBrowser* home = m_main->CreateBrowser(QStringLiteral("test"), false);
        QCOMPARE(home->StartingAddress(), m_prefer->HomeUrl());
        QCOMPARE(home->cboAddress()->currentText(), m_prefer->HomeUrl());
        QVERIFY(home->ActivityTimerActive());

        frmBrowser* quoted = m_main->registry().CreateBrowser(
            QStringLiteral("\"%1\"").arg(m_server.url("/a").toString()), false);
        // The enclosing quotes go at the window's load.
        QCOMPARE(quoted->StartingAddress(), m_server.url("/a").toString());

        m_prefer->setHomeUrl(QString());
        frmBrowser* blank = m_main->CreateBrowser(QStringLiteral("test"), false);
        QVERIFY(!blank->ActivityTimerActive());
    }

    void limitMessageAndExitLoop()
    {
        m_main->registry().setMaxBrowser(3);
        for (int i = 0; i < 3; ++i)
            QVERIFY(m_main->CreateBrowser(QStringLiteral("test"), false));
        QVERIFY(!m_main->flags().bExitloop);
        QVERIFY(!m_main->CreateBrowser(QStringLiteral("test"), false));
        QVERIFY(m_main->flags().bExitloop);
        QCOMPARE(m_dialogs.messages.size(), 1);
        QCOMPARE(m_dialogs.messages[0].title, QStringLiteral("Meldung"));
        QCOMPARE(m_dialogs.messages[0].text,
                 QStringLiteral("Es sind nur maximal 3 gleichzeitig geöffnete Browser möglich !"));
        QCOMPARE(m_dialogs.messages[0].icon, MsgIcon::Information);
        // Removing a window clears the stop request.
        m_main->Browser().constFirst()->close();
        QTRY_VERIFY(!m_main->flags().bExitloop);
    }

    // A page opening windows in a loop, or a pile of handed-over addresses,
    // meets the limit with one message; the queue stops at the limit.
    void oneLimitMessagePerBurst_data()
    {
        QTest::addColumn<bool>("fromPage");
        QTest::newRow("page opens windows in a loop") << true;
        QTest::newRow("handed-over addresses") << false;
    }
    void oneLimitMessagePerBurst()
    {
        QFETCH(bool, fromPage);
        m_main->registry().setMaxBrowser(4);
        if (fromPage) {
            frmBrowser* opener = openAndWait(QStringLiteral("/storm"));
            QVERIFY(opener);
            opener->page()->runJavaScript(QStringLiteral("storm(60)"));
            QTRY_VERIFY_WITH_TIMEOUT(m_main->flags().bExitloop, kWait);
        } else {
            QStringList addresses;
            for (int i = 0; i < 30; ++i)
                addresses << m_server.url(QStringLiteral("/a")).toString();
            Q_EMIT m_main->openQueue().openEntries(addresses);
        }
        QCOMPARE(m_main->Browser().size(), 4);
        // Whatever else of the burst arrives stays quiet.
        QTRY_VERIFY_WITH_TIMEOUT(!m_main->registry().CreateBrowser(QString(), false) &&
                                     m_dialogs.messages.size() == 1,
                                 kWait);
        QCOMPARE(m_main->Browser().size(), 4);
    }

    // Without an arrangement a new window still shows a page area.
    void newWindowsHaveAPageArea()
    {
        frmBrowser* w = m_main->CreateBrowser(QStringLiteral("test"), false);
        QVERIFY(!w->isMaximized());
        QTRY_VERIFY(w->brwWebBrowser()->height() >= 150);
        QVERIFY(w->brwWebBrowser()->width() >= 300);
    }

    // A page sizes the window it opens while pages may size their windows,
    // also from a maximised opener; otherwise nothing moves.
    void pagesSizeTheirPopups_data()
    {
        QTest::addColumn<bool>("mayResize");
        QTest::addColumn<bool>("reference");
        QTest::newRow("may size, no reference") << true << false;
        QTest::newRow("may size, reference") << true << true;
        QTest::newRow("may not size") << false << false;
    }
    void pagesSizeTheirPopups()
    {
        QFETCH(bool, mayResize);
        QFETCH(bool, reference);
        m_main->flags().bPopupResize = mayResize;
        m_main->flags().bPopupReferenz = reference;
        m_server.serve("/sized", "text/html",
                       HtmlPage("Opener", "<script>function go(){window.open('/b', '',"
                                          " 'width=320,height=200');}</script>"));
        frmBrowser* opener = openAndWait(QStringLiteral("/sized"));
        QVERIFY(opener);
        opener->showMaximized();
        QSignalSpy added(m_main.get(), &MDIForm1::browserAdded);
        opener->page()->runJavaScript(QStringLiteral("go()"));
        QTRY_COMPARE_WITH_TIMEOUT(added.size(), 1, kWait);
        auto* popup = added.constFirst().constFirst().value<frmBrowser*>();
        if (mayResize) {
            QTRY_VERIFY_WITH_TIMEOUT(!popup->isMaximized(), kWait);
            QTRY_VERIFY_WITH_TIMEOUT(popup->width() < 600, kWait);
        } else {
            WaitSettled(popup);
            QVERIFY(popup->isMaximized());
        }
    }

    void the250thWindowAndThe251stRequest()
    {
        QCOMPARE(m_main->registry().MaxBrowser(), 250);
        m_prefer->setHomeUrl(QString());
        for (int i = 0; i < 250; ++i)
            QVERIFY2(m_main->CreateBrowser(QStringLiteral("test"), true),
                     qPrintable(QString::number(i)));
        QCOMPARE(m_main->registry().counter(), 250);
        QVERIFY(m_dialogs.messages.isEmpty());
        QVERIFY(!m_main->CreateBrowser(QStringLiteral("test"), true));
        QCOMPARE(m_dialogs.messages.size(), 1);
        QVERIFY(m_dialogs.messages[0].text.contains(QStringLiteral(" 250 ")));
    }

    void loadSettlesCaptionTabAndAddressList()
    {
        frmBrowser* w = openAndWait(m_server.url("/amp"));
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QStringLiteral("Tom & Jerry"));
        const int tab = m_main->tabStrip().TabIndexOfKey(w->WindowKey());
        QCOMPARE(m_main->tabStrip().TabStrip1()->tabText(tab), QStringLiteral("Tom && Jerry"));
        QCOMPARE(w->AddressList(), QStringList{m_server.url("/amp").toString()});
        QVERIFY(!w->ActivityTimerActive());
        QCOMPARE(m_main->History().Count(), 1);

        // A typed address already in the list moves to the top, never twice.
        QSignalSpy settled(w, &frmBrowser::settled);
        w->cboAddress()->setEditText(m_server.url("/a").toString());
        w->NavigateToAddress();
        QVERIFY(settled.wait(kWait));
        w->cboAddress()->setEditText(m_server.url("/amp").toString());
        w->NavigateToAddress();
        QVERIFY(settled.wait(kWait));
        QCOMPARE(w->AddressList(),
                 (QStringList{m_server.url("/amp").toString(), m_server.url("/a").toString()}));
    }

    void maximisedChildNamesTheMainWindow()
    {
        frmBrowser* w = openAndWait(m_server.url("/a"));
        w->showMaximized();
        QTRY_COMPARE(m_main->windowTitle(), QStringLiteral("Orvane 8.0 - [Seite A]"));
        // While the active child is maximised, a new one opens maximised.
        frmBrowser* next = m_main->CreateBrowser(QStringLiteral("test"), false);
        QVERIFY(next->isMaximized());
        next->showNormal();
        w->showNormal();
        QTRY_COMPARE(m_main->windowTitle(), QStringLiteral("Orvane 8.0"));
    }

    void popupPolicy_data()
    {
        QTest::addColumn<bool>("allowed");
        QTest::addColumn<bool>("background");
        QTest::addColumn<bool>("skip");
        QTest::addColumn<int>("windows");
        QTest::newRow("refused") << false << false << false << 1;
        QTest::newRow("allowed") << true << false << false << 2;
        QTest::newRow("background") << true << true << false << 2;
        QTest::newRow("after a toolbar command") << true << false << true << 1;
    }
    void popupPolicy()
    {
        QFETCH(bool, allowed);
        QFETCH(bool, background);
        QFETCH(bool, skip);
        QFETCH(int, windows);
        m_main->flags().bPopup = allowed;
        m_main->flags().bPopupBackgrnd = background;
        frmBrowser* opener = openAndWait(m_server.url("/opener"));
        QVERIFY(opener);
        ActivityTimings::SkipNewWindow(skip);
        // A request the window refuses goes on to the page's own handler.
        QSignalSpy passedOn(opener->page(), &QWebEnginePage::newWindowRequested);
        opener->page()->runJavaScript(QStringLiteral("go()"));
        if (windows == 1) {
            QTRY_COMPARE_WITH_TIMEOUT(passedOn.count(), 1, kWait);
            QCOMPARE(m_main->Browser().size(), 1);
            QCOMPARE(m_main->registry().popupCount(), 0);
            QVERIFY(!ActivityTimings::Current().skipNewWindow);
            if (skip) {
                // The next request succeeds.
                opener->page()->runJavaScript(QStringLiteral("go()"));
                QTRY_COMPARE_WITH_TIMEOUT(m_main->Browser().size(), 2, kWait);
            }
            return;
        }
        QTRY_COMPARE_WITH_TIMEOUT(m_main->Browser().size(), 2, kWait);
        frmBrowser* popup = m_main->Browser().constLast();
        QVERIFY(popup->IsPopup());
        QCOMPARE(m_main->registry().popupCount(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(popup->LocationURL(), m_server.url("/b").toString(), kWait);
        QCOMPARE(m_main->ActiveBrowser(), background ? opener : popup);

        // Closing a pop-up lowers the count by one, never below zero.
        popup->close();
        QTRY_COMPARE(m_main->Browser().size(), 1);
        QCOMPARE(m_main->registry().popupCount(), 0);
    }

    void openerReference_data()
    {
        QTest::addColumn<bool>("reference");
        QTest::newRow("with reference") << true;
        QTest::newRow("without reference") << false;
    }
    void openerReference()
    {
        QFETCH(bool, reference);
        m_main->flags().bPopup = true;
        m_main->flags().bPopupReferenz = reference;
        m_server.serve("/keeper", "text/html",
                       HtmlPage("Keeper", "<script>var child = null;"
                                          "function go(){ child = window.open('/b'); }</script>"));
        frmBrowser* opener = openAndWait(m_server.url("/keeper"));
        opener->page()->runJavaScript(QStringLiteral("go()"));
        QTRY_COMPARE_WITH_TIMEOUT(m_main->Browser().size(), 2, kWait);
        frmBrowser* popup = m_main->Browser().constLast();
        QVERIFY(popup->IsPopup());
        QTRY_COMPARE_WITH_TIMEOUT(popup->LocationURL(), m_server.url("/b").toString(), kWait);
        QVariant hasOpener;
        bool answered = false;
        popup->page()->runJavaScript(QStringLiteral("window.opener !== null"),
                                     [&](const QVariant& v) {
                                         hasOpener = v;
                                         answered = true;
                                     });
        QTRY_VERIFY_WITH_TIMEOUT(answered, kWait);
        QCOMPARE(hasOpener.toBool(), reference);
    }

    void framesAreOfferedToTheHistory()
    {
        m_server.serve("/inner", "text/html", HtmlPage("Innen"));
        m_server.serve("/outer", "text/html", HtmlPage("Aussen", "<iframe src='/inner'></iframe>"));
        frmBrowser* w = openAndWait(m_server.url("/outer"));
        QVERIFY(w);
        auto has = [this](const QString& url) {
            for (const HistoryItem& item : m_main->History().Items())
                if (item.URL() == url)
                    return true;
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(has(m_server.url("/inner").toString()), kWait);
        QVERIFY(has(m_server.url("/outer").toString()));
        // A page cannot forge the frame report.
        // A frame added after it reports later: once it is in, the forgery was read.
        m_server.serve("/later", "text/html", HtmlPage("Danach"));
        w->page()->runJavaScript(
            QStringLiteral("console.log('orvane-frame-0:[\"http://x/\",\"x\"]');"
                           "var f = document.createElement('iframe'); f.src = '/later';"
                           "document.body.appendChild(f);"));
        QTRY_VERIFY_WITH_TIMEOUT(has(m_server.url("/later").toString()), kWait);
        QVERIFY(!has(QStringLiteral("http://x/")));
    }

    void closePopupsKeepsPolicy_data()
    {
        QTest::addColumn<bool>("policy");
        QTest::newRow("allowed") << true;
        QTest::newRow("refused") << false;
    }
    void closePopupsKeepsPolicy()
    {
        QFETCH(bool, policy);
        m_main->flags().bPopup = true;
        frmBrowser* opener = openAndWait(m_server.url("/opener"));
        opener->page()->runJavaScript(QStringLiteral("go()"));
        QTRY_COMPARE_WITH_TIMEOUT(m_main->Browser().size(), 2, kWait);
        m_main->flags().bPopup = policy;
        m_main->ClosePopups();
        QTRY_COMPARE(m_main->Browser().size(), 1);
        QCOMPARE(m_main->Browser().constFirst(), opener);
        QCOMPARE(m_main->flags().bPopup, policy);
        QCOMPARE(m_main->registry().popupCount(), 0);
    }

    void pageClosesItsWindow()
    {
        m_main->flags().bPopup = true;
        m_server.serve(
            "/opencloser", "text/html",
            HtmlPage("Opener", "<script>function go(){window.open('/closer');}</script>"));
        frmBrowser* opener = openAndWait(m_server.url("/opencloser"));
        opener->page()->runJavaScript(QStringLiteral("go()"));
        QTRY_COMPARE_WITH_TIMEOUT(m_main->Browser().size(), 2, kWait);
        frmBrowser* popup = m_main->Browser().constLast();
        QTRY_COMPARE_WITH_TIMEOUT(popup->page()->title(), QStringLiteral("Closer"), kWait);
        popup->page()->runJavaScript(QStringLiteral("bye()"));
        QTRY_COMPARE_WITH_TIMEOUT(m_main->Browser().size(), 1, kWait);
        QCOMPARE(m_main->registry().popupCount(), 0);
    }

    void scriptResize_data()
    {
        QTest::addColumn<bool>("bars");
        QTest::newRow("with band bar") << true;
        QTest::newRow("without band bar") << false;
    }
    void scriptResize()
    {
        QFETCH(bool, bars);
        m_main->flags().bPopup = true;
        m_main->flags().bPopupResize = true;
        // The engine lets a page size only the windows it holds a reference to.
        m_main->flags().bPopupReferenz = true;
        m_server.serve(
            "/openresizer", "text/html",
            HtmlPage("Opener", "<script>function go(){window.open('/resizer');}</script>"));
        frmBrowser* opener = openAndWait(m_server.url("/openresizer"));
        opener->page()->runJavaScript(QStringLiteral("go()"));
        QTRY_COMPARE_WITH_TIMEOUT(m_main->Browser().size(), 2, kWait);
        frmBrowser* popup = m_main->Browser().constLast();
        QTRY_COMPARE_WITH_TIMEOUT(popup->page()->title(), QStringLiteral("Resizer"), kWait);
        if (!bars) {
            for (const char* band : {"Adress", "Toolbar", "Anim"})
                popup->CoolBar1()->setBandVisible(QString::fromLatin1(band), false);
            popup->CoolBar1()->setVisible(false);
        }
        popup->showNormal();
        const QSize outer = popup->size();
        const QSize inner = popup->widget()->size();
        const int barHeight = popup->CoolBar1()->barHeight();
        QCOMPARE(barHeight == 0, !bars);
        popup->page()->runJavaScript(QStringLiteral("size()"));
        QTRY_VERIFY_WITH_TIMEOUT(popup->ResizedByScript() || popup->size() != outer, kWait);
        QTRY_COMPARE_WITH_TIMEOUT(popup->size().width(),
                                  int((outer.width() - inner.width()) * 1.5 + 400), kWait);
        // The engine asks for the outer size it knows; allow its frame.
        QVERIFY(popup->size().height() >= barHeight + 300);
    }

    void cloneActiveOnLocalFolder()
    {
        QTemporaryDir dir;
        frmBrowser* w = openAndWait(QUrl::fromLocalFile(dir.path()));
        QVERIFY(w->IsFolder());
        QCOMPARE(w->GetFolderUrl(), dir.path());
        m_main->mdiArea()->setActiveSubWindow(w);
        m_main->CloneActive();
        QCOMPARE(m_main->Browser().size(), 2);
        frmBrowser* clone = m_main->Browser().constLast();
        QCOMPARE(clone->StartingAddress(), dir.path());
        QSignalSpy settled(clone, &frmBrowser::settled);
        QVERIFY(settled.wait(kWait));
        QCOMPARE(clone->GetFolderUrl(), dir.path());
        QVERIFY(clone->IsFolder());
    }

    void closeOthersAndAll()
    {
        for (int i = 0; i < 3; ++i)
            m_main->CreateBrowser(QStringLiteral("test"), false);
        frmBrowser* keep = m_main->Browser().at(1);
        m_main->CloseOtherBrowsers(keep);
        QTRY_COMPARE(m_main->Browser().size(), 1);
        QCOMPARE(m_main->Browser().constFirst(), keep);
        m_main->CloseAllBrowser();
        QTRY_COMPARE(m_main->Browser().size(), 0);
        QCOMPARE(m_main->registry().counter(), 0);
        QVERIFY(m_main->tabStrip().TabStrip1()->isHidden());
    }

    void closingOneByOne()
    {
        for (int i = 0; i < 3; ++i)
            m_main->CreateBrowser(QStringLiteral("test"), false);
        bool done = false;
        m_main->CloseAllOneByOne([&done] { done = true; });
        QCOMPARE(m_main->Browser().size(), 3);
        QTRY_VERIFY_WITH_TIMEOUT(done, 5000);
        QCOMPARE(m_main->Browser().size(), 0);
    }

    void waitMethodReplacesThePendingOne()
    {
        m_main->CreateBrowser(QStringLiteral("test"), false);
        m_main->CreateBrowser(QStringLiteral("test"), false);
        QSignalSpy due(&m_main->steps(), &DeferredSteps::due);
        m_main->StartWaitMethod(DeferredStep::CloseOtherWindows, 50);
        m_main->StartWaitMethod(DeferredStep::UpdateStepping, 50);
        QVERIFY(due.wait(kWait));
        QCOMPARE(due.size(), 1);
        QCOMPARE(due.constFirst().constFirst().value<DeferredStep>(), DeferredStep::UpdateStepping);
        QVERIFY(!m_main->steps().IsWaiting());
        QCOMPARE(m_main->Browser().size(), 2);
    }
};

ORV_GUI_TEST_MAIN(TstRegistry)
#include "tst_registry.moc"
