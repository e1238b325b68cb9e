// The band bar's rows: the activity image never takes a row of its own.

#include "browser/bandbar.h"

#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QTest>

namespace orv {

class TestBandBar : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void activityImageJoinsAVisibleRow_data()
    {
        QTest::addColumn<bool>("adress");
        QTest::addColumn<bool>("toolbar");
        QTest::addColumn<QString>("rowOf"); // the band the image shares its row with
        QTest::newRow("both") << true << true << "Toolbar";
        QTest::newRow("toolbar only") << false << true << "Toolbar";
        QTest::newRow("address only") << true << false << "Adress";
    }
    void activityImageJoinsAVisibleRow()
    {
        QFETCH(bool, adress);
        QFETCH(bool, toolbar);
        QFETCH(QString, rowOf);
        BandBar bar;
        for (const char* key : {"Toolbar", "Anim", "Adress"}) {
            auto* band = new QLabel(QString::fromLatin1(key));
            band->setMinimumHeight(20);
            bar.addBand(QString::fromLatin1(key), band);
        }
        bar.resize(600, 100);
        bar.show();
        bar.setBars(adress, toolbar);
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        bar.layout()->activate();
        const QWidget* anim = bar.band(QStringLiteral("Anim"));
        const QWidget* partner = bar.band(rowOf);
        QVERIFY(anim->isVisible());
        const int rows = int(adress) + int(toolbar);
        // One row per visible bar: the image adds none.
        QVERIFY(bar.barHeight() < (rows + 1) * 20 + 4);
        QVERIFY(qAbs(anim->geometry().center().y() - partner->geometry().center().y()) <= 2);
        QVERIFY(anim->x() > partner->x());
    }
};

} // namespace orv

QTEST_MAIN(orv::TestBandBar)
#include "tst_bandbar.moc"
