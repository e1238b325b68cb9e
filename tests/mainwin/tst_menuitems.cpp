// The named menu items and their copies, without a main window.

#include "mainwin/menuitems.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QMenu>
#include <QTest>

namespace orv {

class TestMenuItems : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A state set by name reaches the item and every copy, whichever of
    // them is triggered; the handler alone decides the check mark.
    void statesReachEveryCopyAndHandlersDecideMarks_data()
    {
        QTest::addColumn<int>("trigger"); // 0 the item, 1 and 2 its copies
        QTest::newRow("item") << 0;
        QTest::newRow("first copy") << 1;
        QTest::newRow("second copy") << 2;
    }
    void statesReachEveryCopyAndHandlersDecideMarks()
    {
        QFETCH(int, trigger);
        MenuItems items(nullptr);
        QMenu menu, context;
        int runs = 0;
        bool flag = false;
        QAction* item = items.AddItem(&menu, QStringLiteral("mn_X"), QStringLiteral("&X"), [&] {
            ++runs;
            flag = !flag;
            items.SetItemChecked(QStringLiteral("mn_X"), flag);
        });
        item->setCheckable(true);
        items.AddCopy(&context, QStringLiteral("mn_ctxtX"), QStringLiteral("mn_X"));
        items.AddCopy(&context, QStringLiteral("mn_ctxtXT"), QStringLiteral("mn_X"));
        const QList<QAction*> all = items.ItemWithCopies(QStringLiteral("mn_X"));
        QCOMPARE(all.size(), 3);
        QCOMPARE(all.at(1)->text(), QStringLiteral("&X"));

        all.at(trigger)->trigger();
        QCOMPARE(runs, 1);
        for (const QAction* a : all)
            QVERIFY(a->isChecked());
        // A handler that leaves the mark alone: a click does not turn it.
        items.AddItem(&menu, QStringLiteral("mn_Y"), QStringLiteral("Y"), [] {})
            ->setCheckable(true);
        items.Item(QStringLiteral("mn_Y"))->trigger();
        QVERIFY(!items.ItemChecked(QStringLiteral("mn_Y")));

        items.SetItemEnabled(QStringLiteral("mn_X"), false);
        items.SetItemVisible(QStringLiteral("mn_X"), false);
        for (const QAction* a : all)
            QVERIFY(!a->isEnabled() && !a->isVisible());
        // A copy runs the handler while the item itself is disabled (the
        // context menu keeps its own states).
        all.at(2)->setEnabled(true);
        all.at(2)->trigger();
        QCOMPARE(runs, 2);
        QVERIFY(!items.ItemChecked(QStringLiteral("mn_X")));
    }

    void unknownNamesAreHarmless()
    {
        MenuItems items(nullptr);
        QVERIFY(!items.Item(QStringLiteral("mn_None")));
        QVERIFY(!items.ItemChecked(QStringLiteral("mn_None")));
        items.SetItemChecked(QStringLiteral("mn_None"), true);
        QMenu menu;
        // A copy of an unknown item runs nothing and shows an empty caption.
        QAction* copy =
            items.AddCopy(&menu, QStringLiteral("mn_ctxtNone"), QStringLiteral("mn_None"));
        copy->trigger();
        QVERIFY(copy->text().isEmpty());
    }
};

} // namespace orv

QTEST_MAIN(orv::TestMenuItems)
#include "tst_menuitems.moc"
