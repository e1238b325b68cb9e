// A page the program made shows only in the window it was made for: a web
// page can neither frame it nor lead to it (script, link, form, redirect),
// no other window loads it, while its own window reloads it, steps back to
// it and shows its source.

#include "browser/browserpage.h"
#include "browserfixture.h"
#include "common/enginetest.h"
#include "platform/generatedpages.h"

using namespace orv;

namespace {

QByteArray pixel()
{
    // The smallest GIF: one transparent pixel.
    return QByteArray::fromBase64("R0lGODlhAQABAIAAAAAAAP///yH5BAEAAAAALAAAAAABAAEAAAIBRAA7");
}

// A structure view's section: its opening line, then the block it opens.
constexpr char kSections[] =
    "<div class=knoten>&lt;DIV&gt;</div><div id='d1'><div class=knoten>&lt;P/&gt;</div></div>";

} // namespace

class TstGeneratedAccess : public QObject {
    Q_OBJECT

    BrowserFixture f;

    // How often the generated page has shown: it asks for a picture each time.
    qsizetype shown() const { return f.server.requestCount("/shown.gif"); }
    // A window that shows a generated page (shown once so far); `shownOnce`
    // takes the count of pictures then.
    frmBrowser* owner(qsizetype& shownOnce)
    {
        frmBrowser* window = f.main->CreateBrowser(QStringLiteral("test"), false);
        if (!window)
            return nullptr;
        const qsizetype before = shown();
        if (!BrowserFixture::WaitLoad(window, [&] {
                window->ShowGeneratedPage(QStringLiteral("<p>intern</p><img src='%1'>")
                                              .arg(f.server.url("/shown.gif").toString()));
            }))
            return nullptr;
        shownOnce = shown();
        return shownOnce == before + 1 ? window : nullptr;
    }

private Q_SLOTS:
    void initTestCase()
    {
        f.server.serve("/shown.gif", "image/gif", pixel());
        f.server.serve("/attack.html", "text/html", HtmlPage("Angriff"));
        f.server.serve("/sections.html", "text/html", kSections);
    }
    void init() { f.start(); }
    void cleanup() { f.stop(); }

    void webPagesCannotReachIt_data()
    {
        QTest::addColumn<QString>("script"); // %1: the generated page's address
        QTest::newRow("frame") << "var f = document.createElement('iframe'); f.src = '%1';"
                                  "document.body.appendChild(f);";
        QTest::newRow("script") << "location.href = '%1';";
        QTest::newRow("link") << "var a = document.createElement('a'); a.href = '%1';"
                                 "document.body.appendChild(a); a.click();";
        QTest::newRow("form") << "var f = document.createElement('form'); f.action = '%1';"
                                 "document.body.appendChild(f); f.submit();";
        QTest::newRow("redirect") << "location.href = '/redirect';";
    }
    void webPagesCannotReachIt()
    {
        QFETCH(QString, script);
        qsizetype once = 0;
        frmBrowser* window = owner(once);
        QVERIFY(window);
        const QUrl generated = window->page()->url();
        QVERIFY(GeneratedPages::IsGeneratedUrl(generated));
        TestResource redirect;
        redirect.status = 302;
        redirect.extraHeaders = "Location: " + generated.toEncoded() + "\r\n";
        f.server.serve("/redirect", redirect);

        frmBrowser* attacker = f.open(f.server.url(QStringLiteral("/attack.html")));
        QVERIFY(attacker);
        QSignalSpy refused(attacker->page(), &BrowserPage::generatedPageRefused);
        QSignalSpy finished(attacker->page(), &QWebEnginePage::loadFinished);
        attacker->page()->runJavaScript(script.arg(generated.toString()));
        // Decided: refused here or by the engine, or shown.
        QTRY_VERIFY_WITH_TIMEOUT(!refused.isEmpty() || !finished.isEmpty() || shown() > once,
                                 kWait);
        QCOMPARE(shown(), once);
        QVERIFY(attacker->page()->url() != generated);
    }

    void otherWindowsCannotLoadIt()
    {
        qsizetype once = 0;
        frmBrowser* window = owner(once);
        QVERIFY(window);
        const QUrl generated = window->page()->url();
        // Opening all links of a page, a pop-up's address: another window
        // is asked to load it.
        frmBrowser* other = f.open(f.server.url(QStringLiteral("/attack.html")));
        QVERIFY(other);
        QSignalSpy refused(other->page(), &BrowserPage::generatedPageRefused);
        other->Navigate(generated.toString());
        QTRY_VERIFY_WITH_TIMEOUT(!refused.isEmpty() || shown() > once, kWait);
        QCOMPARE(shown(), once);
    }

    // The program's own view lays out sections only as they come into
    // sight; a web page with the same markup is shown as it is.
    void sectionsWaitForSightOnlyInTheProgramsPages_data()
    {
        QTest::addColumn<bool>("generated");
        QTest::addColumn<QString>("visibility");
        QTest::newRow("program's page") << true << "auto";
        QTest::newRow("web page") << false << "visible";
    }
    void sectionsWaitForSightOnlyInTheProgramsPages()
    {
        QFETCH(bool, generated);
        QFETCH(QString, visibility);
        frmBrowser* window = f.main->CreateBrowser(QStringLiteral("test"), false);
        QVERIFY(window);
        QVERIFY(BrowserFixture::WaitLoad(window, [&] {
            if (generated)
                window->ShowGeneratedPage(QString::fromLatin1(kSections));
            else
                window->Navigate(f.server.url(QStringLiteral("/sections.html")).toString());
        }));
        QCOMPARE(
            EvalJs(*window->page(), QStringLiteral("getComputedStyle(document.getElementById('d1'))"
                                                   ".contentVisibility"))
                .toString(),
            visibility);
    }

    void ownWindowReloadsAndStepsBack()
    {
        qsizetype once = 0;
        frmBrowser* window = owner(once);
        QVERIFY(window);
        const QUrl generated = window->page()->url();
        QVERIFY(BrowserFixture::WaitLoad(window, [&] { window->Refresh(); }));
        QTRY_COMPARE_WITH_TIMEOUT(shown(), once + 1, kWait);
        QVERIFY(BrowserFixture::WaitLoad(
            window, [&] { window->Navigate(f.server.url("/attack.html").toString()); }));
        QVERIFY(BrowserFixture::WaitLoad(window, [&] { window->GoBack(); }));
        QCOMPARE(window->page()->url(), generated);
        // Back on its page (the engine may take it from its cache).
        QTRY_COMPARE_WITH_TIMEOUT(
            EvalJs(*window->page(), QStringLiteral("document.body.innerText")).toString().trimmed(),
            QStringLiteral("intern"), kWait);
        // Its source shows (the page itself, not its address joined to itself).
        QVERIFY(
            BrowserFixture::WaitLoad(window, [&] { window->ViewSource(generated.toString()); }));
        QCOMPARE(window->page()->url().toString(),
                 QStringLiteral("view-source:") + generated.toString());
    }
};

ORV_GUI_TEST_MAIN(TstGeneratedAccess)
#include "tst_generatedaccess.moc"
