// Page dialogs (alert, confirm, prompt) go through the dialog seam, and a
// window is never deleted under its running dialog, however it is closed.

#include "browser/frmbrowser.h"
#include "common/guitest.h"
#include "common/mainwindowfixture.h"

#include <QEventLoop>
#include <QTimer>

#include <functional>

namespace orv {

// Answers page dialogs the way real ones run: inside an event loop of their
// own, until answered or ended from outside.
class LoopingDialogs final : public DialogSeam {
public:
    QList<MessageRequest> messages;
    QList<PageDialogRequest> requests;
    int cancelled = 0;
    PageDialogAnswer answer{true, QStringLiteral("Antwort")};
    // Runs inside the dialog's loop; the answer comes when the loop ends.
    std::function<void()> whileOpen;

    MsgAnswer message(const MessageRequest&) override { return MsgAnswer::Ok; }
    QString fileDialog(const FileDialogRequest&) override { return {}; }
    PageDialogAnswer pageDialog(const PageDialogRequest& request) override
    {
        requests << request;
        QEventLoop loop;
        m_loop = &loop;
        if (whileOpen)
            QTimer::singleShot(0, std::exchange(whileOpen, {}));
        else
            QTimer::singleShot(0, &loop, &QEventLoop::quit);
        const bool ended = loop.exec() != 0;
        m_loop = nullptr;
        return ended ? PageDialogAnswer{} : answer;
    }
    void cancelPageDialogs(const void*) override
    {
        ++cancelled;
        if (m_loop)
            m_loop->exit(1);
    }

private:
    QEventLoop* m_loop = nullptr;
};

class TestPageDialogs : public QObject, public MainWindowFixture<LoopingDialogs> {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        InstallDialogs(&m_dialogs);
        m_server.serve("/p", "text/html", HtmlPage("Seite"));
    }
    void init()
    {
        m_dialogs.requests.clear();
        m_dialogs.cancelled = 0;
        openMainWindow();
    }
    void cleanup() { closeMainWindow(); }

    void answersReachThePage_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("result");
        QTest::newRow("alert") << "alert('Hallo'); 'fertig'" << int(PageDialogRequest::Kind::Alert)
                               << "fertig";
        QTest::newRow("confirm") << "String(confirm('Hallo'))"
                                 << int(PageDialogRequest::Kind::Confirm) << "true";
        QTest::newRow("prompt") << "prompt('Hallo', 'vorschlag')"
                                << int(PageDialogRequest::Kind::Prompt) << "Antwort";
    }
    void answersReachThePage()
    {
        QFETCH(QString, script);
        QFETCH(int, kind);
        QFETCH(QString, result);
        frmBrowser* w = openAndWait(QStringLiteral("/p"));
        QVERIFY(w);
        QVariant got;
        w->page()->runJavaScript(script, [&](const QVariant& v) { got = v; });
        QTRY_VERIFY_WITH_TIMEOUT(got.isValid(), kWait);
        QCOMPARE(got.toString(), result);
        QCOMPARE(m_dialogs.requests.size(), 1);
        QCOMPARE(int(m_dialogs.requests.constFirst().kind), kind);
        QCOMPARE(m_dialogs.requests.constFirst().text, QStringLiteral("Hallo"));
    }

    // Closing while the dialog runs: the dialog ends, the window goes after
    // it has returned, nothing is deleted twice.
    void closingUnderARunningDialog_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("the window itself") << 0;
        QTest::newRow("close all") << 1;
        QTest::newRow("the main window (termination)") << 2;
    }
    void closingUnderARunningDialog()
    {
        QFETCH(int, how);
        frmBrowser* w = openAndWait(QStringLiteral("/p"));
        QVERIFY(w);
        const QPointer<frmBrowser> window(w);
        m_dialogs.whileOpen = [&] {
            if (how == 0)
                window->close();
            else if (how == 1)
                m_main->CloseAllBrowser();
            else
                m_main->close();
        };
        w->page()->runJavaScript(QStringLiteral("alert('offen')"));
        QTRY_COMPARE_WITH_TIMEOUT(m_dialogs.cancelled, 1, kWait);
        QTRY_VERIFY_WITH_TIMEOUT(!window, kWait);
        QCOMPARE(m_main->Browser().size(), 0);
    }
};

} // namespace orv

ORV_GUI_TEST_MAIN(orv::TestPageDialogs)
#include "tst_pagedialogs.moc"
