#include "browser/frmbrowser.h"
#include "common/mainwindowfixture.h"
#include "mainwin/arrangement.h"
#include "mainwin/mdiform.h"

#include <QMdiArea>
#include <QMenu>
#include <QMouseEvent>
#include <QTabBar>

using namespace orv;

namespace {

// Every tile inside the area, none over another, all together covering it.
bool fillsWithoutGaps(const QList<QRect>& tiles, const QRect& area)
{
    qint64 covered = 0;
    for (int i = 0; i < tiles.size(); ++i) {
        if (!area.contains(tiles[i]))
            return false;
        for (int j = i + 1; j < tiles.size(); ++j)
            if (tiles[i].intersects(tiles[j]))
                return false;
        covered += qint64(tiles[i].width()) * tiles[i].height();
    }
    return covered == qint64(area.width()) * area.height();
}

} // namespace

class TstTiling : public QObject, private MainWindowFixture<> {
    Q_OBJECT

    QTabBar* tabs() const { return m_main->tabStrip().TabStrip1(); }
    QAction* item(const QString& name) const { return m_main->menuItems().Item(name); }
    frmBrowser* open() { return m_main->CreateBrowser(QStringLiteral("test"), false); }
    QRect area() const { return m_main->mdiArea()->viewport()->rect(); }
    void ctrlClick(int tab)
    {
        const QPoint at = tabs()->tabRect(tab).center();
        QTest::mouseClick(tabs(), Qt::LeftButton, Qt::ControlModifier, at);
    }
    QList<QRect> geometries() const
    {
        QList<QRect> rects;
        for (const frmBrowser* w : m_main->Browser())
            rects << w->geometry();
        return rects;
    }
    // Drags `window`'s frame at `at` (its own coordinates) by `by`; the
    // pointer's way is fixed in the area, however the window changes.
    static void drag(QWidget* window, QPoint at, QPoint by)
    {
        const QPoint start = window->mapToParent(at);
        const auto to = [window, start](QPoint offset) {
            return window->mapFromParent(start + offset);
        };
        // The frame learns from the pointer over it which edge it sizes,
        // once it has measured its edges after its last change of size.
        const auto hoverSizes = [window, at] {
            QMouseEvent hover(QEvent::MouseMove, at, window->mapToGlobal(at), Qt::NoButton,
                              Qt::NoButton, {});
            QApplication::sendEvent(window, &hover);
            return window->cursor().shape() != Qt::ArrowCursor;
        };
        QTRY_VERIFY_WITH_TIMEOUT(hoverSizes(), kWait);
        QTest::mousePress(window, Qt::LeftButton, {}, at);
        QTest::mouseMove(window, to(by / 2));
        QTest::mouseMove(window, to(by));
        QTest::mouseRelease(window, Qt::LeftButton, {}, to(by));
    }

private Q_SLOTS:
    void initTestCase()
    {
        InstallDialogs(&m_dialogs);
        m_server.serve("/p", "text/html", HtmlPage("Seite", "Inhalt"));
        m_server.serve("/probe", "text/html", HtmlPage("Probe"));
    }
    void init()
    {
        openMainWindow([](Prefer& prefer) { prefer.setHomeUrl(QString()); });
    }
    void cleanup() { closeMainWindow(); }

    void ctrlClickChoosesWindows()
    {
        for (int i = 0; i < 3; ++i)
            open();
        frmBrowser* active = m_main->ActiveBrowser();
        const QStringList items = {"mn_AuswahlNebeneinander", "mn_AuswahlUntereinander",
                                   "mn_ctxtAuswahlNebeneinander", "mn_ctxtAuswahlNebeneinanderT",
                                   "mn_ctxtAuswahlUntereinanderT"};
        for (const QString& name : items)
            QVERIFY2(!item(name)->isEnabled(), qPrintable(name));

        ctrlClick(0);
        ctrlClick(2);
        QCOMPARE(
            m_main->tabStrip().SelectedKeys(),
            (QStringList{m_main->Browser()[0]->WindowKey(), m_main->Browser()[2]->WindowKey()}));
        QVERIFY(tabs()->tabTextColor(0).isValid());
        QVERIFY(!tabs()->tabTextColor(1).isValid());
        QCOMPARE(m_main->ActiveBrowser(), active);
        for (const QString& name : items)
            QVERIFY2(item(name)->isEnabled(), qPrintable(name));

        // A second Ctrl+click lets go; a plain click ends the choice.
        ctrlClick(0);
        QCOMPARE(m_main->tabStrip().SelectedKeys().size(), 1);
        QTest::mouseClick(tabs(), Qt::LeftButton, {}, tabs()->tabRect(1).center());
        QVERIFY(m_main->tabStrip().SelectedKeys().isEmpty());
        QVERIFY(!tabs()->tabTextColor(2).isValid());
        QVERIFY(!item("mn_AuswahlUntereinander")->isEnabled());
    }

    void selectionTiledInFrontOfTheOthers_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("arrangement");
        QTest::newRow("side by side") << "mn_AuswahlNebeneinander" << int(Arrangement::SideBySide);
        QTest::newRow("one below the other")
            << "mn_ctxtAuswahlUntereinanderT" << int(Arrangement::OneBelowOther);
    }
    void selectionTiledInFrontOfTheOthers()
    {
        QFETCH(QString, command);
        QFETCH(int, arrangement);
        for (int i = 0; i < 5; ++i)
            open();
        m_main->windowMenu().mn_Kaskadiert_Click();
        const QList<QRect> before = geometries();
        for (const int tab : {1, 3, 4})
            ctrlClick(tab);
        item(command)->trigger();

        const QList<QRect> tiles = tileRects(area(), 3, Arrangement(arrangement));
        const QList<frmBrowser*> windows = m_main->Browser();
        QCOMPARE(
            (QList<QRect>{windows[1]->geometry(), windows[3]->geometry(), windows[4]->geometry()}),
            tiles);
        QCOMPARE(windows[0]->geometry(), before[0]);
        QCOMPARE(windows[2]->geometry(), before[2]);
        const QList<QMdiSubWindow*> stack =
            m_main->mdiArea()->subWindowList(QMdiArea::StackingOrder);
        for (const int behind : {0, 2})
            for (const int front : {1, 3, 4})
                QVERIFY(stack.indexOf(windows[behind]) < stack.indexOf(windows[front]));
        // The whole arrangement is no longer the checked one.
        QVERIFY(!item("mn_Kaskadiert")->isChecked());
    }

    void draggedEdgeMovesItsLine_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("window"); // the one whose frame is dragged
        QTest::addColumn<int>("edge");   // Qt::Edge
        QTest::addColumn<QPoint>("by");
        QTest::addColumn<int>("changed"); // windows whose geometry changes
        // Four windows side by side stand 2 x 2: 0 and 1 in the left column.
        QTest::newRow("shared column edge")
            << "mn_Nebeneinander" << 0 << int(Qt::RightEdge) << QPoint(60, 0) << 4;
        QTest::newRow("shared row edge, both columns")
            << "mn_Nebeneinander" << 3 << int(Qt::TopEdge) << QPoint(0, -50) << 4;
        QTest::newRow("row edge one below the other")
            << "mn_Untereinander" << 0 << int(Qt::BottomEdge) << QPoint(0, 40) << 4;
        QTest::newRow("border of the area")
            << "mn_Nebeneinander" << 2 << int(Qt::RightEdge) << QPoint(-70, 0) << 1;
    }
    void draggedEdgeMovesItsLine()
    {
        QFETCH(QString, command);
        QFETCH(int, window);
        QFETCH(int, edge);
        QFETCH(QPoint, by);
        QFETCH(int, changed);
        for (int i = 0; i < 4; ++i)
            open();
        m_main->MenuFenster();
        item(command)->trigger();
        QVERIFY(m_main->linkedTiles().IsActive());
        const QList<QRect> before = geometries();
        QVERIFY(fillsWithoutGaps(before, area()));

        frmBrowser* w = m_main->Browser().at(window);
        const QRect r = w->rect();
        const QPoint at = edge == Qt::RightEdge ? QPoint(r.right() - 1, r.center().y())
                          : edge == Qt::TopEdge ? QPoint(r.center().x(), 1)
                                                : QPoint(r.center().x(), r.bottom() - 1);
        drag(w, at, by);
        const QList<QRect> after = geometries();
        int differ = 0;
        for (int i = 0; i < after.size(); ++i)
            differ += after[i] != before[i] ? 1 : 0;
        QCOMPARE(differ, changed);
        QCOMPARE(after[window].size() - before[window].size(),
                 QSize(edge == Qt::RightEdge ? by.x() : 0,
                       edge == Qt::TopEdge ? -by.y() : (edge == Qt::BottomEdge ? by.y() : 0)));
        if (changed > 1)
            QVERIFY(fillsWithoutGaps(after, area()));
    }

    void tilingForgotten_data()
    {
        QTest::addColumn<int>("step");
        QTest::newRow("window moved") << 0;
        QTest::newRow("window opened") << 1;
        QTest::newRow("window closed") << 2;
        QTest::newRow("cascaded") << 3;
        QTest::newRow("maximised") << 4;
    }
    void tilingForgotten()
    {
        QFETCH(int, step);
        for (int i = 0; i < 3; ++i)
            open();
        m_main->windowMenu().mn_Untereinander_Click();
        QVERIFY(m_main->linkedTiles().IsActive());
        frmBrowser* first = m_main->Browser().constFirst();
        switch (step) {
        case 0:
            first->move(first->pos() + QPoint(5, 5));
            break;
        case 1:
            // (Without a checked arrangement, which would tile it in anew.)
            m_main->menuItems().SetItemChecked(QStringLiteral("mn_Untereinander"), false);
            open();
            break;
        case 2:
            first->close();
            break;
        case 3:
            m_main->windowMenu().mn_Kaskadiert_Click();
            break;
        case 4:
            first->showMaximized();
            break;
        }
        QTRY_VERIFY_WITH_TIMEOUT(!m_main->linkedTiles().IsActive(), kWait);
    }

    // Arranging moves windows, never reloads them.
    void fiftyWindowsArrangedWithoutARequest()
    {
        constexpr int kWindows = 50;
        for (int i = 0; i < kWindows; ++i)
            QVERIFY(m_main->OpenNewBrowser(m_server.url("/p").toString()));
        QTRY_COMPARE_WITH_TIMEOUT(m_server.requestCount("/p"), kWindows, 5 * kWait);
        for (frmBrowser* w : m_main->Browser())
            QTRY_COMPARE_WITH_TIMEOUT(w->page()->title(), QStringLiteral("Seite"), kWait);

        WindowMenu& menu = m_main->windowMenu();
        menu.mn_Nebeneinander_Click();
        menu.mn_Untereinander_Click();
        menu.mn_Kaskadiert_Click();
        for (int i = 0; i < kWindows; ++i)
            menu.mn_nextwindow_Click();
        menu.mn_lastwindow_Click();
        menu.mn_firstwindow_Click();
        for (const int tab : {0, 2, 4})
            ctrlClick(tab);
        menu.TileSelection(2);
        menu.mn_Nebeneinander_Click();

        // A reload would have asked before a page opened afterwards.
        QVERIFY(m_main->OpenNewBrowser(m_server.url("/probe").toString()));
        QTRY_COMPARE_WITH_TIMEOUT(m_server.requestCount("/probe"), 1, kWait);
        QCOMPARE(m_server.requestCount("/p"), kWindows);
    }
};

ORV_GUI_TEST_MAIN(TstTiling)
#include "tst_tiling.moc"
