// Opening all links of a page: one new window per address, the notice
// before many windows open (with its "always show" switch), and the window
// limit that ends the loop.

#include "browser/browsertoolbar.h"
#include "browser/linkopening.h"
#include "browserfixture.h"
#include "mainwin/menuitems.h"
#include "pages/searchforms.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

using namespace orv;

class TstOpenLinks : public QObject {
    Q_OBJECT

    BrowserFixture f;

    // A page with `count` links to distinct small pages.
    QByteArray linkPage(int count) const
    {
        QByteArray body;
        for (int i = 0; i < count; ++i)
            body += "<a href='/t?" + QByteArray::number(i) + "'>" + QByteArray::number(i) + "</a>";
        return HtmlPage("Links", body);
    }
    // The addresses the windows after the first `from` started with.
    QStringList startedSince(int from) const
    {
        QStringList addresses;
        for (int i = from; i < f.main->Browser().size(); ++i)
            addresses << f.main->Browser().at(i)->StartingAddress();
        return addresses;
    }
    // Answers the notice: records its text, sets the box, OK or Abbruch.
    void answerNotice(QString* text, bool keepAsking, bool ok)
    {
        f.dialogs.fillDialog = [text, keepAsking, ok](QObject& object) {
            auto* notice = qobject_cast<frmHinweis*>(&object);
            if (!notice)
                return 0;
            if (text)
                *text = notice->noticeLabel->text();
            notice->alwaysShowBox->setChecked(keepAsking);
            (ok ? notice->okButton : notice->cancelButton)->click();
            return notice->result();
        };
    }

private Q_SLOTS:
    void initTestCase()
    {
        f.server.serve("/t", "text/html", HtmlPage("Ziel"));
        f.server.serve("/suche", "text/html", HtmlPage("Treffer"));
        f.server.serve("/mixed", "text/html",
                       HtmlPage("Gemischt", "<a href='/t#eins'>1</a><a href='/t#zwei'>2</a>"
                                            "<a href='mailto:a@example.org'>m</a>"
                                            "<a href='javascript:void(0)'>j</a>"
                                            "<a href='sub/x'>x</a>"));
        f.server.serve("/ten", "text/html", linkPage(10));
        f.server.serve("/twenty", "text/html", linkPage(20));
        f.server.serve("/five", "text/html", linkPage(5));
    }
    void init() { f.start(); }
    void cleanup() { f.stop(); }

    void eachAddressOnce()
    {
        frmBrowser* w = f.open(f.server.url(QStringLiteral("/mixed")));
        QVERIFY(w);
        w->tbToolBar()->Entry(QStringLiteral("OpenallA"))->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(f.main->Browser().size(), 3, kWait);
        QCOMPARE(startedSince(1),
                 (QStringList{f.server.url("/t").toString(), f.server.url("/sub/x").toString()}));
        QVERIFY(f.dialogs.dialogsShown.isEmpty());
    }

    void noticeWhenMoreThanFifteen_data()
    {
        QTest::addColumn<int>("windows");
        QTest::addColumn<bool>("notice");
        QTest::newRow("16: notice") << 6 << true;
        QTest::newRow("15: none") << 5 << false;
    }
    void noticeWhenMoreThanFifteen()
    {
        QFETCH(int, windows);
        QFETCH(bool, notice);
        frmBrowser* w = f.open(f.server.url(QStringLiteral("/ten")));
        QVERIFY(w);
        while (f.main->Browser().size() < windows)
            QVERIFY(f.main->CreateBrowser(QStringLiteral("test"), false));
        answerNotice(nullptr, true, false);
        OpenAllAnchors(*w);
        if (notice) {
            QTRY_COMPARE_WITH_TIMEOUT(f.dialogs.dialogsShown, QStringList{"frmHinweis"}, kWait);
            QCOMPARE(f.main->Browser().size(), windows);
        } else {
            QTRY_COMPARE_WITH_TIMEOUT(f.main->Browser().size(), windows + 10, kWait);
            QVERIFY(f.dialogs.dialogsShown.isEmpty());
        }
    }

    void noticeTextAndItsSwitch()
    {
        frmBrowser* w = f.open(f.server.url(QStringLiteral("/twenty")));
        QVERIFY(w);
        QString text;
        // Abbruch with the box ticked: nothing opens, and the notice asks again.
        answerNotice(&text, true, false);
        OpenAllAnchors(*w);
        QTRY_COMPARE_WITH_TIMEOUT(f.dialogs.dialogsShown.size(), 1, kWait);
        QCOMPARE(text, QString::fromUtf8("Es werden 20 Links geöffnet. Das Öffnen von zu vielen "
                                         "Browser-Fenstern kann Probleme mit Systemresourcen "
                                         "verursachen. Alle Links jetzt öffnen ?"));
        QCOMPARE(f.main->Browser().size(), 1);
        QVERIFY(f.main->flags().bWarnUser);
        OpenAllAnchors(*w);
        QTRY_COMPARE_WITH_TIMEOUT(f.dialogs.dialogsShown.size(), 2, kWait);
        QCOMPARE(f.main->Browser().size(), 1);
        // OK with the box cleared: all open, and no notice from then on.
        answerNotice(nullptr, false, true);
        OpenAllAnchors(*w);
        QTRY_COMPARE_WITH_TIMEOUT(f.main->Browser().size(), 21, kWait);
        QVERIFY(!f.main->flags().bWarnUser);
        f.main->flags().bWarnUser = true;
    }

    void windowLimitEndsTheLoop()
    {
        frmBrowser* w = f.open(f.server.url(QStringLiteral("/five")));
        QVERIFY(w);
        f.main->registry().setMaxBrowser(3);
        f.main->menuItems().Item(QStringLiteral("mn_OpenAllLinks"))->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(f.dialogs.messages.size(), 1, kWait);
        QCOMPARE(f.main->Browser().size(), 3);
        // The limit is told once, not once per remaining link.
        QCOMPARE(f.dialogs.messages.size(), 1);
        f.main->registry().setMaxBrowser(WindowRegistry::kMaxBrowser);
    }

    void searchFormSubmittedInANewWindow_data()
    {
        QTest::addColumn<QString>("method");
        QTest::newRow("get") << "get";
        QTest::newRow("post") << "post";
    }
    void searchFormSubmittedInANewWindow()
    {
        QFETCH(QString, method);
        const QString form = QStringLiteral("<HTML><HEAD><title>3</title></HEAD><body>"
                                            "<form action=\"%1\" method=\"%2\">"
                                            "<input name=\"q\" value=\"Wort\"></form>"
                                            "<form action=\"/falsch\"></form></body></HTML>")
                                 .arg(f.server.url("/suche").toString(), method);
        const qsizetype before = f.server.requestCount("/suche");
        f.main->SubmitSearch(form);
        QCOMPARE(f.main->Browser().size(), 1);
        frmBrowser* w = f.main->Browser().constFirst();
        const QString expected =
            f.server.url("/suche").toString() +
            (method == QLatin1String("get") ? QStringLiteral("?q=Wort") : QString());
        QTRY_COMPARE_WITH_TIMEOUT(w->LocationURL(), expected, kWait);
        // Submitted once: the page it leads to does not submit again.
        WaitSettled(w);
        QCOMPARE(f.server.requestCount("/suche"), before + 1);
        QCOMPARE(f.server.requestCount("/falsch"), 0);
    }

    // A search form's page runs nothing of the search form file: neither
    // its scripts nor its event handlers (each would ask for "/ran").
    void searchFormPageRunsNothingOfTheFile()
    {
        const QString ran = QStringLiteral("var i = document.createElement('img'); i.src = '%1';"
                                           "document.body.appendChild(i);")
                                .arg(f.server.url("/ran").toString());
        const QString form = QStringLiteral("<form action=\"/x\"><input name=\"q\" "
                                            "value=\"%Orvane%\"><img src=\"x\" onerror=\"%1\">"
                                            "<script>%1</script></form>")
                                 .arg(ran);
        f.main->SubmitSearch(SearchFormPage(form, QStringLiteral("Wort"), f.server.url("/suche")));
        frmBrowser* w = f.main->Browser().constFirst();
        QTRY_COMPARE_WITH_TIMEOUT(w->LocationURL(), f.server.url("/suche?q=Wort").toString(),
                                  kWait);
        QCOMPARE(f.server.requestCount("/ran"), 0);
    }
};

ORV_GUI_TEST_MAIN(TstOpenLinks)
#include "tst_openlinks.moc"
