// A window whose renderer process ends (a crash, or the system ends it for
// lack of memory) tells so in place of the page and loads the page again on
// request; the other windows go on.

#include "browserfixture.h"

#include <QLabel>
#include <QPushButton>

#include <csignal>

using namespace orv;

class TstRendererGone : public QObject {
    Q_OBJECT

    BrowserFixture f;

private Q_SLOTS:
    void initTestCase() { f.server.serve("/page", "text/html", HtmlPage("Seite")); }
    void init() { f.start(); }
    void cleanup() { f.stop(); }

    void killedRendererIsToldAndReloaded()
    {
        frmBrowser* other = f.open(QUrl(QStringLiteral("data:text/html,<title>Anderes</title>")));
        const QUrl address = f.server.url(QStringLiteral("/page"));
        frmBrowser* w = f.open(address);
        QVERIFY(w && other);
        const qint64 pid = w->page()->renderProcessPid();
        QVERIFY(pid > 0);
        QVERIFY(pid != other->page()->renderProcessPid());
        QVERIFY(!w->RendererGone());

        ::kill(pid_t(pid), SIGKILL);
        QTRY_VERIFY_WITH_TIMEOUT(w->RendererGone(), kWait);
        QStringList texts;
        for (const QLabel* label : w->findChildren<QLabel*>())
            texts << label->text();
        QVERIFY2(texts.join(u' ').contains(QStringLiteral("wurde beendet")),
                 qPrintable(texts.join(u'|')));
        // The window keeps its address (an arrangement saved now keeps it).
        QCOMPARE(w->LocationURL(), address.toString());

        // The other window goes on.
        QVERIFY(!other->RendererGone());
        QVERIFY(BrowserFixture::WaitLoad(other, [&] {
            other->Navigate(QStringLiteral("data:text/html,<title>Weiter</title>"));
        }));

        const qsizetype before = f.server.requestCount("/page");
        auto* reload = w->findChild<QPushButton*>(QStringLiteral("rendererGoneReload"));
        QVERIFY(reload);
        QVERIFY(BrowserFixture::WaitLoad(w, [reload] { reload->click(); }));
        QVERIFY(!w->RendererGone());
        QCOMPARE(f.server.requestCount("/page"), before + 1);
        QCOMPARE(w->LocationURL(), address.toString());
    }
};

ORV_GUI_TEST_MAIN(TstRendererGone)
#include "tst_renderergone.moc"
