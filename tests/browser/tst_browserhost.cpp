// A browser window alone, on a host of the test's own: everything the window
// needs from outside goes through BrowserHost, everything it reports comes
// out as signals.

#include "browser/browserhost.h"
#include "browser/frmbrowser.h"
#include "browser/pageahead.h"
#include "common/guitest.h"
#include "common/mainwindowfixture.h"
#include "common/testhttpserver.h"
#include "prefs/prefer.h"

#include <QMdiArea>
#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <optional>
#include <vector>

namespace orv {

// A window area with room for a page, shown.
class ShownArea : public QMdiArea {
public:
    ShownArea()
    {
        resize(800, 600);
        show();
    }
};

class FakeHost final : public BrowserHost {
public:
    explicit FakeHost(QMdiArea& area) : m_area(area) {}
    PopupPolicy policy;
    QStringList visits;
    QList<int> closings;
    QList<QWebEnginePage::WebWindowType> popupTypes;
    std::vector<frmBrowser*> popups;
    mutable Prefer prefer;

    // A window of this host in the area, as the main window opens one.
    frmBrowser* open()
    {
        auto* window = new frmBrowser(*this);
        m_area.addSubWindow(window);
        window->Form_Load();
        window->show();
        return window;
    }

    PopupPolicy popupPolicy() const override { return policy; }
    frmBrowser* openPopup(frmBrowser&, QWebEnginePage::WebWindowType type) override
    {
        popupTypes << type;
        popups.push_back(open());
        return popups.back();
    }
    void addToHistory(const QString& url, const QString&) override { visits << url; }
    int historyCount() const override { return int(visits.size()); }
    Prefer& prefs() const override { return prefer; }
    int windowCount() const override { return 1 + int(popups.size()); }
    int popupCount() const override { return int(popups.size()); }
    void runCommand(HostCommand, frmBrowser&) override {}
    void windowClosing(frmBrowser&, int state) override { closings << state; }

private:
    QMdiArea& m_area;
};

class TestBrowserHost : public QObject {
    Q_OBJECT
    TestHttpServer m_server;
    RecordingDialogs m_dialogs;

private Q_SLOTS:
    void initTestCase()
    {
        InstallDialogs(&m_dialogs);
        m_server.serve("/opener", "text/html",
                       HtmlPage("Opener",
                                "<script>function go(){ return window.open('/child') !== null; }"
                                "</script><iframe src='/frame'></iframe>"));
        m_server.serve("/child", "text/html", HtmlPage("Child"));
        m_server.serve("/frame", "text/html", HtmlPage("Frame"));
        m_server.serve("/ahead", "text/html", HtmlPage("Ahead"));
    }

    // The host's pop-up policy decides; the window reports caption, address
    // and visits, and tells the host once when it closes.
    void policyVisitsReportsAndClosing_data()
    {
        QTest::addColumn<bool>("allow");
        QTest::newRow("pop-ups allowed") << true;
        QTest::newRow("pop-ups refused") << false;
    }
    void policyVisitsReportsAndClosing()
    {
        QFETCH(bool, allow);
        ShownArea area;
        FakeHost host(area);
        host.policy.allow = allow;
        auto* window = new frmBrowser(host);
        window->AssignID(7);
        QSignalSpy captions(window, &frmBrowser::tabCaptionChanged);
        QSignalSpy addresses(window, &frmBrowser::addressChanged);
        area.addSubWindow(window);
        window->Form_Load();
        window->show();
        window->Navigate(m_server.url(QStringLiteral("/opener")).toString());
        WaitSettled(window);
        QTRY_VERIFY_WITH_TIMEOUT(!captions.isEmpty() && captions.constLast().at(1).toString() ==
                                                            QStringLiteral("Opener"),
                                 kWait);
        QCOMPARE(captions.constLast().at(0).toInt(), 7);
        QVERIFY(!addresses.isEmpty());
        // The page and its frame are offered to the history.
        QTRY_VERIFY_WITH_TIMEOUT(
            host.visits.contains(m_server.url(QStringLiteral("/frame")).toString()), kWait);
        QVERIFY(host.visits.contains(m_server.url(QStringLiteral("/opener")).toString()));

        QVariant opened;
        window->page()->runJavaScript(QStringLiteral("go()"),
                                      [&](const QVariant& v) { opened = v; });
        QTRY_VERIFY_WITH_TIMEOUT(opened.isValid(), kWait);
        // The request reached the host (or not) while the script ran.
        QCOMPARE(host.popupTypes.size(), allow ? 1 : 0);
        if (allow)
            QTRY_COMPARE_WITH_TIMEOUT(host.popups.front()->LocationURL(),
                                      m_server.url(QStringLiteral("/child")).toString(), kWait);

        window->close();
        QCOMPARE(host.closings, QList<int>{0});
        for (frmBrowser* popup : host.popups)
            popup->close();
        QCOMPARE(host.closings.size(), 1 + int(host.popups.size()));
    }

    // Caption and tab name the page as soon as its load is over: the window
    // settles before anything queued after the load's report runs, not at a
    // later tick of its activity timer.
    void settlesAsSoonAsTheLoadIsOver()
    {
        ShownArea area;
        FakeHost host(area);
        frmBrowser* window = host.open();
        QSignalSpy settled(window, &frmBrowser::settled);
        std::optional<bool> settledAtOnce;
        connect(
            window, &frmBrowser::documentComplete, this,
            [&] { QTimer::singleShot(0, this, [&] { settledAtOnce = !settled.isEmpty(); }); },
            Qt::SingleShotConnection);
        window->Navigate(m_server.url(QStringLiteral("/child")).toString());
        QTRY_VERIFY_WITH_TIMEOUT(settledAtOnce.has_value(), kWait);
        QVERIFY(*settledAtOnce);
        QCOMPARE(window->windowTitle(), QStringLiteral("Child"));
        window->close();
    }

    // The page start-up began loading: the first window takes it over and
    // does not load its address again; a window with another address loads
    // that; a page whose load was reported before a window took it is
    // replaced, so the window hears all of its own load.
    void takesOverThePageStartedAhead_data()
    {
        QTest::addColumn<QString>("navigated");
        QTest::addColumn<bool>("reportedFirst");
        QTest::addColumn<qsizetype>("aheadRequests");
        QTest::addColumn<QString>("title");
        QTest::newRow("same address") << "/ahead" << false << qsizetype(1) << "Ahead";
        QTest::newRow("other address") << "/child" << false << qsizetype(-1) << "Child";
        QTest::newRow("reported before") << "/ahead" << true << qsizetype(2) << "Ahead";
    }

    void takesOverThePageStartedAhead()
    {
        QFETCH(QString, navigated);
        QFETCH(bool, reportedFirst);
        QFETCH(qsizetype, aheadRequests);
        QFETCH(QString, title);
        const qsizetype before = m_server.requestCount("/ahead");
        pageahead::Start(m_server.url(QStringLiteral("/ahead")).toString());
        if (reportedFirst) {
            auto* ahead = qApp->findChild<BrowserPage*>(QString(), Qt::FindDirectChildrenOnly);
            QVERIFY(ahead);
            QSignalSpy loaded(ahead, &QWebEnginePage::loadFinished);
            QVERIFY(loaded.wait(kWait));
        }
        ShownArea area;
        FakeHost host(area);
        frmBrowser* window = host.open();
        QSignalSpy settled(window, &frmBrowser::settled);
        window->Navigate(m_server.url(navigated).toString());
        QTRY_VERIFY_WITH_TIMEOUT(!settled.isEmpty(), kWait);
        QCOMPARE(window->windowTitle(), title);
        QCOMPARE(window->page()->parent(), window);
        QCOMPARE(host.visits.constLast(), m_server.url(navigated).toString());
        if (aheadRequests >= 0)
            QCOMPARE(m_server.requestCount("/ahead") - before, aheadRequests);
        QVERIFY(!pageahead::Take(nullptr, nullptr, nullptr));
        window->close();
    }
};

} // namespace orv

ORV_GUI_TEST_MAIN(orv::TestBrowserHost)
#include "tst_browserhost.moc"
