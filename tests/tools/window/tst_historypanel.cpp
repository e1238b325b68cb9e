// The history tab: rows with address, title and time, the check boxes and
// their buttons, opening entries, sorting by the shown texts.

#include "common/guitest.h"
#include "tools/window/fakehost.h"
#include "tools/window/historypanel.h"

#include <QHeaderView>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace orv;

namespace {

const QDateTime kWhen(QDate(2005, 1, 2), QTime(8, 5, 9));

QStringList Column(const QTreeWidget* list, int column)
{
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(column);
    return texts;
}

} // namespace

class TestHistoryPanel : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> m_window;
    std::unique_ptr<HistoryPanel> m_panel;
    FakeToolsHost m_host;
    RecordingDialogs m_dialogs;

    void visit(const QString& url, const QString& title = {}, int rows = 100,
               const QDateTime& when = kWhen)
    {
        m_host.visits.AddToHistory(url, title, rows, when);
    }
    QToolButton* button(const char* key) { return m_panel->Button(QString::fromLatin1(key)); }
    CheckedReportList* list() { return m_panel->ListView1(); }
    void setChecked(int row, bool on)
    {
        list()->topLevelItem(row)->setCheckState(0, on ? Qt::Checked : Qt::Unchecked);
    }

private Q_SLOTS:
    void init()
    {
        m_window = std::make_unique<QWidget>();
        m_window->show();
        m_host = FakeToolsHost();
        m_dialogs.clear();
        InstallDialogs(&m_dialogs);
        m_panel = std::make_unique<HistoryPanel>(m_host, m_window.get());
    }
    void cleanup()
    {
        InstallDialogs(nullptr);
        m_panel.reset();
        m_window.reset();
    }

    void rowsShowAddressTitleAndTime()
    {
        visit(QStringLiteral("http://a.test/"), QStringLiteral("Eins"));
        visit(QStringLiteral("http://b.test/"), QStringLiteral("Zwei"), 100,
              QDateTime(QDate(2004, 12, 15), QTime(23, 59, 0)));
        m_panel->OpenTab(600);
        QCOMPARE(m_panel->HistoryCount, 2);
        QCOMPARE(Column(list(), 0), (QStringList{" ", " "}));
        QCOMPARE(Column(list(), 1), (QStringList{"http://a.test/", "http://b.test/"}));
        QCOMPARE(Column(list(), 2), (QStringList{"Eins", "Zwei"}));
        QCOMPARE(Column(list(), 3),
                 (QStringList{"02.01.2005 - 08:05:09", "15.12.2004 - 23:59:00"}));
        QCOMPARE(list()->topLevelItem(1)->data(0, CheckedReportList::TagRole).toString(),
                 QStringLiteral("2"));
    }

    void visitsGiveRows_data()
    {
        QTest::addColumn<QStringList>("visits");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QStringList>("addresses");
        QTest::addColumn<QStringList>("titles");
        QTest::newRow("revisit keeps the place, takes the title")
            << QStringList{"http://a/|1", "http://b/|2", "http://a/|3"} << 10
            << QStringList{"http://a/", "http://b/"} << QStringList{"3", "2"};
        QTest::newRow("limit drops the oldest")
            << QStringList{"http://a/|1", "http://b/|2", "http://c/|3", "http://d/|4"} << 3
            << QStringList{"http://b/", "http://c/", "http://d/"} << QStringList{"2", "3", "4"};
        QTest::newRow("letter case makes two entries")
            << QStringList{"http://a/X|1", "http://a/x|2"} << 10
            << QStringList{"http://a/X", "http://a/x"} << QStringList{"1", "2"};
    }
    void visitsGiveRows()
    {
        QFETCH(QStringList, visits);
        QFETCH(int, rows);
        QFETCH(QStringList, addresses);
        QFETCH(QStringList, titles);
        for (const QString& v : visits)
            visit(v.section(QLatin1Char('|'), 0, 0), v.section(QLatin1Char('|'), 1), rows);
        m_panel->OpenTab(600);
        QCOMPARE(Column(list(), 1), addresses);
        QCOMPARE(Column(list(), 2), titles);
    }

    void headerSortsByShownText()
    {
        visit(QStringLiteral("http://b/"), QString(), 10,
              QDateTime(QDate(2004, 12, 15), QTime(10, 0, 0)));
        visit(QStringLiteral("http://a/"), QString(), 10,
              QDateTime(QDate(2005, 1, 2), QTime(10, 0, 0)));
        m_panel->OpenTab(600);
        Q_EMIT list()->header()->sectionClicked(3);
        QCOMPARE(Column(list(), 3),
                 (QStringList{"02.01.2005 - 10:00:00", "15.12.2004 - 10:00:00"}));
        Q_EMIT list()->header()->sectionClicked(3);
        QCOMPARE(Column(list(), 1), (QStringList{"http://b/", "http://a/"}));
        Q_EMIT list()->header()->sectionClicked(1);
        QCOMPARE(Column(list(), 1), (QStringList{"http://a/", "http://b/"}));
        // Opening follows the list order; the tags still name the entries.
        setChecked(0, true);
        setChecked(1, true);
        m_panel->OpenCheckedHistory();
        QCOMPARE(m_host.visited, (QStringList{"http://a/|00", "http://b/|00"}));
    }

    void emptyHistoryDisablesTheButtons()
    {
        m_panel->OpenTab(600);
        QVERIFY(!button("refresh")->isEnabled());
        QVERIFY(!button("check")->isEnabled());
        QVERIFY(!button("start")->isEnabled());
        m_panel->OpenCheckedHistory();
        QVERIFY(m_host.visited.isEmpty());
        visit(QStringLiteral("http://a/"));
        m_panel->OpenTab(600);
        QVERIFY(button("refresh")->isEnabled());
        QVERIFY(button("check")->isEnabled());
    }

    void checkBoxesDriveTheButtons_data()
    {
        QTest::addColumn<QList<int>>("steps"); // row + 1 checks, -(row + 1) unchecks
        QTest::addColumn<bool>("start");
        QTest::addColumn<bool>("check");
        QTest::addColumn<QString>("status");
        QTest::newRow("one checked") << QList<int>{2} << true << false << "http://b/";
        QTest::newRow("all checked") << QList<int>{1, 2, 3} << true << true << "http://c/";
        QTest::newRow("all, then one off")
            << QList<int>{1, 2, 3, -2} << true << false << "http://b/";
        QTest::newRow("on and off again") << QList<int>{1, -1} << false << false << "http://a/";
    }
    void checkBoxesDriveTheButtons()
    {
        QFETCH(QList<int>, steps);
        QFETCH(bool, start);
        QFETCH(bool, check);
        QFETCH(QString, status);
        QString shown;
        const QObject listening;
        connect(m_panel.get(), &HistoryPanel::statusText, &listening,
                [&shown](const QString& text) { shown = text; });
        for (const char* url : {"http://a/", "http://b/", "http://c/"})
            visit(QString::fromLatin1(url));
        m_panel->OpenTab(600);
        for (int step : steps)
            setChecked(qAbs(step) - 1, step > 0);
        QCOMPARE(button("start")->isEnabled(), start);
        QCOMPARE(button("check")->isChecked(), check);
        QCOMPARE(shown, status);
        QCOMPARE(list()->currentItem()->text(1), status);
    }

    void checkAll_data()
    {
        QTest::addColumn<QList<int>>("checkedRows");
        QTest::addColumn<bool>("pressed");
        QTest::addColumn<int>("checkedAfter");
        QTest::newRow("none, pressed") << QList<int>{} << true << 3;
        QTest::newRow("some, released: left alone") << QList<int>{1} << false << 1;
        QTest::newRow("some, pressed") << QList<int>{1} << true << 3;
        QTest::newRow("all, released") << QList<int>{0, 1, 2} << false << 0;
    }
    void checkAll()
    {
        QFETCH(QList<int>, checkedRows);
        QFETCH(bool, pressed);
        QFETCH(int, checkedAfter);
        for (const char* url : {"http://a/", "http://b/", "http://c/"})
            visit(QString::fromLatin1(url));
        m_panel->OpenTab(600);
        for (int row : checkedRows)
            setChecked(row, true);
        button("check")->setChecked(pressed);
        m_panel->CheckAllHistory();
        QCOMPARE(list()->checkedCount(), checkedAfter);
        QCOMPARE(button("start")->isEnabled(), pressed);
    }

    void refreshTakesNewVisitsAndReleasesCheck()
    {
        visit(QStringLiteral("http://a/"));
        m_panel->OpenTab(600);
        setChecked(0, true);
        QVERIFY(button("check")->isChecked());
        visit(QStringLiteral("http://b/"));
        QCOMPARE(list()->topLevelItemCount(), 1);
        m_panel->Refresh();
        QCOMPARE(list()->topLevelItemCount(), 2);
        QVERIFY(!button("check")->isChecked());
        QVERIFY(!button("start")->isEnabled());
    }

    void enterAndDoubleClickOpenWithoutBars()
    {
        visit(QStringLiteral("http://a/"));
        visit(QStringLiteral("http://b/"));
        m_panel->OpenTab(600);
        list()->setCurrentItem(list()->topLevelItem(1));
        QTest::keyClick(list(), Qt::Key_Return);
        Q_EMIT list()->itemDoubleClicked(list()->topLevelItem(0), 1);
        QCOMPARE(m_host.visited, (QStringList{"http://b/|00", "http://a/|00"}));
    }
};

ORV_GUI_TEST_MAIN(TestHistoryPanel)
#include "tst_historypanel.moc"
