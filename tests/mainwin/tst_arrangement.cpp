#include "layouts/layout.h"
#include "mainwin/arrangement.h"

#include <QTest>

using namespace orv;

namespace {

qint64 areaOf(const QRect& r)
{
    return qint64(r.width()) * r.height();
}

} // namespace

class TstArrangement : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void tilesFillTheAreaWithoutOverlap_data()
    {
        QTest::addColumn<int>("arrangement");
        QTest::addColumn<QRect>("area");
        QTest::addColumn<int>("count");
        const QList<QRect> areas = {QRect(0, 0, 1000, 700), QRect(5, 7, 997, 613),
                                    QRect(0, 0, 13, 11)};
        for (int a : {1, 2})
            for (const QRect& area : areas)
                for (int n = 1; n <= 12; ++n)
                    QTest::addRow("%s %dx%d n=%d", a == 1 ? "below" : "beside", area.width(),
                                  area.height(), n)
                        << a << area << n;
    }
    void tilesFillTheAreaWithoutOverlap()
    {
        QFETCH(int, arrangement);
        QFETCH(QRect, area);
        QFETCH(int, count);
        const QList<QRect> tiles = tileRects(area, count, Arrangement(arrangement));
        QCOMPARE(tiles.size(), count);
        qint64 covered = 0;
        for (int i = 0; i < tiles.size(); ++i) {
            QVERIFY2(area.contains(tiles[i]), qPrintable(QString::number(i)));
            QVERIFY(!tiles[i].isEmpty());
            covered += areaOf(tiles[i]);
            for (int j = i + 1; j < tiles.size(); ++j)
                QVERIFY2(!tiles[i].intersects(tiles[j]),
                         qPrintable(QStringLiteral("%1/%2").arg(i).arg(j)));
        }
        // Disjoint tiles inside the area whose sizes add up to it cover it.
        QCOMPARE(covered, areaOf(area));
    }

    void gridShapes_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("columns");
        QTest::newRow("1") << 1 << 1 << 1;
        QTest::newRow("2") << 2 << 1 << 2;
        QTest::newRow("3") << 3 << 1 << 3;
        QTest::newRow("4") << 4 << 2 << 2;
        QTest::newRow("5") << 5 << 2 << 2;
        QTest::newRow("6") << 6 << 2 << 3;
        QTest::newRow("8") << 8 << 2 << 4;
        QTest::newRow("9") << 9 << 3 << 3;
        QTest::newRow("12") << 12 << 3 << 4;
        QTest::newRow("250") << 250 << 15 << 16;
    }
    void gridShapes()
    {
        QFETCH(int, count);
        QFETCH(int, rows);
        QFETCH(int, columns);
        QCOMPARE(tileGrid(count, Arrangement::SideBySide), (TileGrid{rows, columns}));
        // One below the other is the same grid turned.
        QCOMPARE(tileGrid(count, Arrangement::OneBelowOther), (TileGrid{columns, rows}));
    }

    void fewWindowsStandInOneLine()
    {
        const QRect area(0, 0, 900, 600);
        const QList<QRect> below = tileRects(area, 3, Arrangement::OneBelowOther);
        QCOMPARE(below, (QList<QRect>{QRect(0, 0, 900, 200), QRect(0, 200, 900, 200),
                                      QRect(0, 400, 900, 200)}));
        const QList<QRect> beside = tileRects(area, 2, Arrangement::SideBySide);
        QCOMPARE(beside, (QList<QRect>{QRect(0, 0, 450, 600), QRect(450, 0, 450, 600)}));
    }

    void lastLineTakesTheRest()
    {
        // Five side by side: two columns, the second holds three windows.
        const QList<QRect> beside = tileRects(QRect(0, 0, 600, 600), 5, Arrangement::SideBySide);
        QCOMPARE(beside[0], QRect(0, 0, 300, 300));
        QCOMPARE(beside[1], QRect(0, 300, 300, 300));
        QCOMPARE(beside[2], QRect(300, 0, 300, 200));
        QCOMPARE(beside[4], QRect(300, 400, 300, 200));
        // Five one below the other: two rows, the second holds three.
        const QList<QRect> below = tileRects(QRect(0, 0, 600, 600), 5, Arrangement::OneBelowOther);
        QCOMPARE(below[1], QRect(300, 0, 300, 300));
        QCOMPARE(below[2], QRect(0, 300, 200, 300));
        QCOMPARE(below[4], QRect(400, 300, 200, 300));
    }

    void noWindowsNoTiles()
    {
        QVERIFY(tileRects(QRect(0, 0, 100, 100), 0, Arrangement::SideBySide).isEmpty());
        QVERIFY(cascadeRects(QRect(0, 0, 100, 100), 0, 20).isEmpty());
        QCOMPARE(tileGrid(0, Arrangement::OneBelowOther), TileGrid{});
    }

    // Positions worked out by hand: windows of three quarters of the area,
    // one step further per window, back to the corner once the next step
    // would leave the area.
    void cascadeStepsAndWraps_data()
    {
        QTest::addColumn<QRect>("area");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("index");
        QTest::addColumn<QRect>("expected");
        const QRect usual(0, 0, 1000, 700); // 750 x 525, 175 free: 8 places
        QTest::newRow("first") << usual << 24 << 0 << QRect(0, 0, 750, 525);
        QTest::newRow("second") << usual << 24 << 1 << QRect(24, 24, 750, 525);
        QTest::newRow("last place") << usual << 24 << 7 << QRect(168, 168, 750, 525);
        QTest::newRow("wraps") << usual << 24 << 8 << QRect(0, 0, 750, 525);
        QTest::newRow("after the wrap") << usual << 24 << 11 << QRect(72, 72, 750, 525);
        const QRect offset(10, 20, 800, 400); // 600 x 300, 100 free: 4 places
        QTest::newRow("offset last") << offset << 30 << 3 << QRect(100, 110, 600, 300);
        QTest::newRow("offset wraps") << offset << 30 << 4 << QRect(10, 20, 600, 300);
        const QRect small(0, 0, 100, 100); // 75 x 75, 25 free: one place
        QTest::newRow("step larger than the room") << small << 60 << 5 << QRect(0, 0, 75, 75);
    }
    void cascadeStepsAndWraps()
    {
        QFETCH(QRect, area);
        QFETCH(int, step);
        QFETCH(int, index);
        QFETCH(QRect, expected);
        const QList<QRect> rects = cascadeRects(area, 12, step);
        QCOMPARE(rects.size(), 12);
        QCOMPARE(rects[index], expected);
    }

    void cascadeWithoutStepStaysInTheCorner()
    {
        const QList<QRect> rects = cascadeRects(QRect(0, 0, 400, 400), 3, 0);
        for (const QRect& r : rects)
            QCOMPARE(r, QRect(0, 0, 300, 300));
    }

    void minimisedWindowsKeepTheirRow()
    {
        const QRect area(0, 0, 1000, 700);
        QCOMPARE(areaAboveIcons(area, {}), area);
        const QList<QRect> icons = {QRect(0, 670, 160, 30), QRect(160, 640, 160, 30)};
        QCOMPARE(areaAboveIcons(area, icons), QRect(0, 0, 1000, 640));
        // Icons outside the area, or so high that less than half would be
        // left, do not shrink it.
        QCOMPARE(areaAboveIcons(area, {QRect(0, 800, 100, 30)}), area);
        QCOMPARE(areaAboveIcons(area, {QRect(0, 300, 100, 30)}), area);
    }

    void twipsAndPixels()
    {
        QCOMPARE(twipsToPixels(150, 300, 6000, 4500), QRect(10, 20, 400, 300));
        QCOMPARE(twipsToPixels(-150, 7, 8, 0), QRect(-10, 0, 1, 0));
        QCOMPARE(pixelsToTwips(QRect(10, 20, 400, 300)), QRectF(150, 300, 6000, 4500));
        const QRect r(33, -4, 517, 289);
        const QRectF t = pixelsToTwips(r);
        QCOMPARE(twipsToPixels(int(t.x()), int(t.y()), int(t.width()), int(t.height())), r);
    }

    void recordsThatCannotBeApplied_data()
    {
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("usable");
        QTest::newRow("normal") << 4500 << 0 << true;
        QTest::newRow("minimised") << 4500 << 1 << true;
        QTest::newRow("maximised") << 4500 << 2 << true;
        QTest::newRow("height 0") << 0 << 0 << true;
        QTest::newRow("negative height") << -15 << 0 << false;
        QTest::newRow("state 3") << 4500 << 3 << false;
        QTest::newRow("state -1") << 4500 << -1 << false;
    }
    void recordsThatCannotBeApplied()
    {
        QFETCH(int, height);
        QFETCH(int, state);
        QFETCH(bool, usable);
        LayoutOpenArgs args;
        args.nWidth = 6000;
        args.nHeight = height;
        args.nState = state;
        QCOMPARE(recordGeometryUsable(args), usable);
    }
};

QTEST_GUILESS_MAIN(TstArrangement)
#include "tst_arrangement.moc"
