// Automatic reload: the interval dialog sets the window's interval through
// the dialog seam, the reload timer reloads the page at that pace, and
// "Stop" or a window without a document ends it.

#include "browser/browsertoolbar.h"
#include "browser/refreshdialog.h"
#include "browserfixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QToolButton>

using namespace orv;

class TstReload : public QObject {
    Q_OBJECT

    BrowserFixture f;

    // What the dialog showed when it opened.
    struct Shown {
        bool ticked = false;
        QString value;
        int height = 0;
        QString title;
    };

    // Answers the interval dialog: records it, then ticks or clears the
    // box and picks `value` (empty: leaves the list alone).
    void answerWith(Shown& shown, bool tick, const QString& value, int answer = 1)
    {
        f.dialogs.fillDialog = [&shown, tick, value, answer](QObject& object) {
            auto* dialog = qobject_cast<frmRefresh*>(&object);
            if (!dialog)
                return 0;
            shown = {dialog->reloadEnabled->isChecked(), dialog->secondsChoice->currentText(),
                     dialog->height(), dialog->windowTitle()};
            dialog->reloadEnabled->setChecked(tick);
            if (!value.isEmpty())
                dialog->secondsChoice->setCurrentText(value);
            return answer;
        };
    }

private Q_SLOTS:
    void initTestCase()
    {
        f.server.serve("/page", "text/html", HtmlPage("Seite"));
        ActivityTimings fast;
        fast.secondMs = 100;
        ActivityTimings::Set(fast);
    }
    void init() { f.start(); }
    void cleanup() { f.stop(); }

    void dialogOpensWithTheWindowsInterval_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("height");
        QTest::newRow("off: 3 offered") << 0 << false << "3" << 60;
        QTest::newRow("one second") << 1 << true << "1" << 100;
        QTest::newRow("largest") << 65 << true << "65" << 100;
    }
    void dialogOpensWithTheWindowsInterval()
    {
        QFETCH(int, seconds);
        QFETCH(bool, ticked);
        QFETCH(QString, value);
        QFETCH(int, height);
        frmBrowser* w = f.open(f.server.url(QStringLiteral("/page")));
        QVERIFY(w);
        w->SetRefresh(seconds);
        Shown shown;
        answerWith(shown, ticked, QString(), 0);
        w->SetRefreshInterval();
        QCOMPARE(f.dialogs.dialogsShown, QStringList{QStringLiteral("frmRefresh")});
        QCOMPARE(shown.title, QStringLiteral("Refresh-Intervall"));
        QCOMPARE(shown.ticked, ticked);
        QCOMPARE(shown.value, value);
        QCOMPARE(shown.height, height);
    }

    void closingTheDialogApplies_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<bool>("tick");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("after");
        QTest::newRow("switched on") << 0 << true << "5" << 1 << 5;
        QTest::newRow("interval changed") << 7 << true << "2" << 1 << 2;
        QTest::newRow("cleared box stops") << 7 << false << "9" << 1 << 0;
        QTest::newRow("not shown: unchanged") << 4 << false << "9" << 0 << 4;
    }
    void closingTheDialogApplies()
    {
        QFETCH(int, before);
        QFETCH(bool, tick);
        QFETCH(QString, value);
        QFETCH(int, answer);
        QFETCH(int, after);
        frmBrowser* w = f.open(f.server.url(QStringLiteral("/page")));
        QVERIFY(w);
        w->SetRefresh(before);
        Shown shown;
        answerWith(shown, tick, value, answer);
        w->tbToolBar()->Entry(QStringLiteral("Refresh"))->trigger();
        QCOMPARE(w->RefreshSeconds(), after);
        QCOMPARE(w->RefreshActive(), after > 0);
        w->StopAll();
    }

    void dialogGrowsWithItsBoxAndEscKeepsIt()
    {
        QWidget parent;
        QPointer<frmRefresh> dialog = new frmRefresh(&parent);
        dialog->Form_Load(0);
        dialog->show();
        QVERIFY(!dialog->secondsChoice->isVisible());
        QCOMPARE(dialog->secondsChoice->count(), 65);
        dialog->reloadEnabled->setChecked(true);
        QCOMPARE(dialog->height(), 100);
        QVERIFY(dialog->secondsChoice->isVisible());
        dialog->secondsChoice->setCurrentIndex(11);
        QTest::keyClick(dialog, Qt::Key_Escape);
        QVERIFY(dialog->isHidden());
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(dialog->ChosenSeconds(), 12);
        dialog->reloadEnabled->setChecked(false);
        QCOMPARE(dialog->height(), 60);
        QCOMPARE(dialog->ChosenSeconds(), 0);
    }

    void reloadsAtItsPaceUntilStopped()
    {
        frmBrowser* w = f.open(f.server.url(QStringLiteral("/page")));
        QVERIFY(w);
        const qsizetype before = f.server.requestCount("/page");
        w->SetRefresh(2);
        QVERIFY(w->RefreshActive());
        QTRY_VERIFY_WITH_TIMEOUT(f.server.requestCount("/page") >= before + 2, kWait);
        // The reload keeps running across navigations.
        QVERIFY(w->RefreshActive());
        QTest::mouseClick(w->tbToolBar()->Button(QStringLiteral("Stop")), Qt::LeftButton);
        QVERIFY(!w->RefreshActive());
        QCOMPARE(w->RefreshSeconds(), 0);
    }

    void windowWithoutDocumentEndsReloadSilently()
    {
        frmBrowser* w = f.main->CreateBrowser(QStringLiteral("test"), false);
        QVERIFY(w);
        QVERIFY(!w->HasDocument());
        w->SetRefresh(1);
        QTRY_VERIFY_WITH_TIMEOUT(!w->RefreshActive(), kWait);
        QVERIFY(f.dialogs.messages.isEmpty());
    }
};

ORV_GUI_TEST_MAIN(TstReload)
#include "tst_reload.moc"
