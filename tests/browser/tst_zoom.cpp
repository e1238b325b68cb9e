// Page zoom and text size: the zoom script on HTML pages only, kept across
// navigations; the text size as the page's default font size, moved one
// step at a time; the View menu's submenus follow the active window.

#include "browser/zoom.h"
#include "browserfixture.h"
#include "mainwin/menuitems.h"

#include <QMdiArea>
#include <QMenu>
#include <QSignalSpy>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <QWheelEvent>

using namespace orv;

namespace {

// A 1x1 PNG picture.
const QByteArray kPng = QByteArray::fromBase64("iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUl"
                                               "EQVR42mNk+M9QDwADhgGAWjR9awAAAABJRU5ErkJggg==");

} // namespace

class TstZoom : public QObject {
    Q_OBJECT

    BrowserFixture f;

    // The result of a script in the window's page.
    static QVariant evaluate(frmBrowser* w, const QString& script)
    {
        QVariant result;
        bool done = false;
        w->page()->runJavaScript(script, [&](const QVariant& value) {
            result = value;
            done = true;
        });
        if (!WaitFor([&] { return done; }, kWait))
            return QStringLiteral("no answer");
        return result;
    }
    static QString bodyZoom(frmBrowser* w)
    {
        return evaluate(w, QStringLiteral("document.body.style.zoom")).toString();
    }
    // Sets the zoom and waits until the window has decided.
    static bool zoom(frmBrowser* w, int percent)
    {
        bool applied = false;
        bool done = false;
        w->SetZoomFactor(percent, [&](bool ok) {
            applied = ok;
            done = true;
        });
        if (!WaitFor([&] { return done; }, kWait))
            return false;
        return applied;
    }
    QStringList checkedIn(const char* menuName)
    {
        QMenu* menu = f.main->findChild<QMenu*>(QString::fromLatin1(menuName));
        if (!menu)
            return {QStringLiteral("no menu")};
        Q_EMIT menu->aboutToShow();
        QStringList checked;
        for (QAction* a : menu->actions())
            if (a->isChecked())
                checked << a->objectName();
        return checked;
    }

private Q_SLOTS:
    void initTestCase()
    {
        f.server.serve("/a", "text/html", HtmlPage("A", "<p>Text</p><a href='/b'>b</a>"));
        f.server.serve("/b", "text/html", HtmlPage("B", "<p>Mehr</p>"));
        f.server.serve("/pic.png", "image/png", kPng);
        f.server.serve("/text", "text/plain", "nur Text");
        f.server.serve("/frames", "text/html",
                       "<html><head><title>F</title></head><frameset cols='50%,50%'>"
                       "<frame src='/a'><frame src='/b'></frameset></html>");
    }
    void init() { f.start(); }
    void cleanup() { f.stop(); }

    void zoomScriptAndKeptAcrossNavigation()
    {
        frmBrowser* w = f.open(f.server.url(QStringLiteral("/a")));
        QVERIFY(w);
        QVERIFY(zoom(w, 150));
        QCOMPARE(w->Zoom(), 150);
        QTRY_COMPARE_WITH_TIMEOUT(bodyZoom(w), QStringLiteral("150%"), kWait);
        // The next page settles with the same zoom.
        QSignalSpy settled(w, &frmBrowser::settled);
        QVERIFY(BrowserFixture::WaitLoad(w, [&] { w->Navigate(f.server.url("/b").toString()); }));
        QTRY_COMPARE_WITH_TIMEOUT(bodyZoom(w), QStringLiteral("150%"), kWait);
        QVERIFY(zoom(w, 100));
        QTRY_COMPARE_WITH_TIMEOUT(bodyZoom(w), QStringLiteral("100%"), kWait);
        QCOMPARE(w->Zoom(), 100);
    }

    void documentsThatAreNoPageKeepTheirZoom_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("picture") << "/pic.png";
        QTest::newRow("text file") << "/text";
    }
    void documentsThatAreNoPageKeepTheirZoom()
    {
        QFETCH(QString, path);
        frmBrowser* w = f.open(f.server.url(QStringLiteral("/a")));
        QVERIFY(w);
        QVERIFY(zoom(w, 125));
        QVERIFY(BrowserFixture::WaitLoad(w, [&] { w->Navigate(f.server.url(path).toString()); }));
        WaitSettled(w);
        QVERIFY(!zoom(w, 150));
        QCOMPARE(w->Zoom(), 125);
        QCOMPARE(w->page()->zoomFactor(), 1.0);
        w->activateWindow();
        f.main->mdiArea()->setActiveSubWindow(w);
        QCOMPARE(checkedIn("mn_Zoom"), QStringList{QStringLiteral("mn_Z125")});
    }

    void framesetZoomsThroughTheEngine()
    {
        frmBrowser* w = f.open(f.server.url(QStringLiteral("/frames")));
        QVERIFY(w);
        QVERIFY(zoom(w, 200));
        QCOMPARE(w->page()->zoomFactor(), 2.0);
        QVERIFY(BrowserFixture::WaitLoad(w, [&] { w->Navigate(f.server.url("/a").toString()); }));
        // A page with a body is zoomed by the script again, not twice.
        QTRY_COMPARE_WITH_TIMEOUT(bodyZoom(w), QStringLiteral("200%"), kWait);
        QTRY_COMPARE_WITH_TIMEOUT(w->page()->zoomFactor(), 1.0, kWait);
    }

    void textSizeStepsOneAtATime_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QList<int>>("steps");
        QTest::newRow("0 to 4") << 0 << 4 << QList<int>{1, 2, 3, 4};
        QTest::newRow("3 to 1") << 3 << 1 << QList<int>{2, 1};
        QTest::newRow("same") << 2 << 2 << QList<int>{};
    }
    void textSizeStepsOneAtATime()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QList<int>, steps);
        frmBrowser* w = f.open(f.server.url(QStringLiteral("/a")));
        QVERIFY(w);
        w->SetTextSize(from);
        QSignalSpy commands(w, &frmBrowser::textSizeSet);
        StepTextSize(*w, to);
        QList<int> sent;
        for (const QList<QVariant>& command : commands)
            sent << command.constFirst().toInt();
        QCOMPARE(sent, steps);
        QCOMPARE(w->TextSize(), to);
        // The page's text follows.
        const QString expected = QStringLiteral("%1px").arg(FontSizeOfTextSize(to));
        QTRY_COMPARE_WITH_TIMEOUT(
            evaluate(w, QStringLiteral("getComputedStyle(document.body).fontSize")).toString(),
            expected, kWait);
    }

    void menusFollowTheActiveWindow()
    {
        frmBrowser* first = f.open(f.server.url(QStringLiteral("/a")));
        QVERIFY(first);
        QVERIFY(zoom(first, 250));
        first->SetTextSize(4);
        frmBrowser* second = f.open(f.server.url(QStringLiteral("/b")));
        QVERIFY(second);
        f.main->mdiArea()->setActiveSubWindow(second);
        QCOMPARE(checkedIn("mn_Zoom"), QStringList{QStringLiteral("mn_Z100")});
        QCOMPARE(checkedIn("mn_Textsize"), QStringList{QStringLiteral("mn_TextNormal")});
        f.main->mdiArea()->setActiveSubWindow(first);
        QCOMPARE(checkedIn("mn_Zoom"), QStringList{QStringLiteral("mn_Z250")});
        QCOMPARE(checkedIn("mn_Textsize"), QStringList{QStringLiteral("mn_TextMax")});
        // A level that is no menu entry checks none.
        first->SetZoomFactor(110);
        QTRY_COMPARE_WITH_TIMEOUT(first->Zoom(), 110, kWait);
        QCOMPARE(checkedIn("mn_Zoom"), QStringList{});
        // The entries act on the active window.
        f.main->menuItems().Item(QStringLiteral("mn_TextSmall"))->trigger();
        QCOMPARE(first->TextSize(), 1);
        QCOMPARE(second->TextSize(), 2);
        f.main->menuItems().Item(QStringLiteral("mn_Z175"))->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(first->Zoom(), 175, kWait);
        QCOMPARE(second->Zoom(), 100);
    }

    void zoomSteps_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("direction");
        QTest::addColumn<int>("to");
        QTest::newRow("between steps, up") << 225 << 1 << 250;
        QTest::newRow("between steps, down") << 225 << -1 << 200;
        QTest::newRow("top stays") << 400 << 1 << 400;
        QTest::newRow("bottom stays") << 50 << -1 << 50;
        QTest::newRow("back to 100") << 67 << 0 << 100;
    }
    void zoomSteps()
    {
        QFETCH(int, from);
        QFETCH(int, direction);
        QFETCH(int, to);
        QCOMPARE(NextZoomStep(from, direction), to);
    }

    // Ctrl+Plus/Minus/0 and Ctrl+wheel over the page step the window's zoom;
    // the View menu checks a step that is one of its entries.
    void keysAndWheelStepTheZoom()
    {
        frmBrowser* w = f.open(f.server.url(QStringLiteral("/a")));
        QVERIFY(w);
        f.main->mdiArea()->setActiveSubWindow(w);
        QWidget* page = w->brwWebBrowser()->focusProxy();
        QVERIFY(page);
        page->setFocus();
        QTRY_VERIFY_WITH_TIMEOUT(page->hasFocus(), kWait);
        const auto wheel = [page](int notches) {
            QWheelEvent event(QPointF(10, 10), page->mapToGlobal(QPointF(10, 10)), {},
                              QPoint(0, notches * kWheelNotch), Qt::NoButton, Qt::ControlModifier,
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(page, &event);
        };
        QTest::keyClick(page, Qt::Key_Plus, Qt::ControlModifier);
        QTRY_COMPARE_WITH_TIMEOUT(bodyZoom(w), QStringLiteral("110%"), kWait);
        QTest::keyClick(page, Qt::Key_Minus, Qt::ControlModifier);
        QTest::keyClick(page, Qt::Key_Minus, Qt::ControlModifier);
        QTRY_COMPARE_WITH_TIMEOUT(w->Zoom(), 90, kWait);
        wheel(3);
        QTRY_COMPARE_WITH_TIMEOUT(w->Zoom(), 125, kWait);
        QCOMPARE(checkedIn("mn_Zoom"), QStringList{QStringLiteral("mn_Z125")});
        QVERIFY(BrowserFixture::WaitLoad(w, [&] { w->Navigate(f.server.url("/b").toString()); }));
        QTRY_COMPARE_WITH_TIMEOUT(bodyZoom(w), QStringLiteral("125%"), kWait);
        page = w->brwWebBrowser()->focusProxy();
        page->setFocus();
        QTRY_VERIFY_WITH_TIMEOUT(page->hasFocus(), kWait);
        QTest::keyClick(page, Qt::Key_0, Qt::ControlModifier);
        QTRY_COMPARE_WITH_TIMEOUT(bodyZoom(w), QStringLiteral("100%"), kWait);
        QCOMPARE(w->Zoom(), 100);
    }

    void textSizeReadBackAfterLoad()
    {
        frmBrowser* w = f.open(f.server.url(QStringLiteral("/a")));
        QVERIFY(w);
        w->SetTextSize(0);
        w->page()->settings()->setFontSize(QWebEngineSettings::DefaultFontSize, 20);
        QVERIFY(BrowserFixture::WaitLoad(w, [&] { w->Navigate(f.server.url("/b").toString()); }));
        QTRY_COMPARE_WITH_TIMEOUT(w->TextSize(), 3, kWait);
    }
};

ORV_GUI_TEST_MAIN(TstZoom)
#include "tst_zoom.moc"
