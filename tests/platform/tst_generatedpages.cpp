#include "app/appinit.h"
#include "common/enginetest.h"
#include "common/testhttpserver.h"
#include "platform/engine.h"
#include "platform/generatedpages.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineProfile>

using namespace orv;

namespace {

QByteArray pngBytes(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return buffer.data();
}

} // namespace

class TestGeneratedPages : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void addresses_data();
    void addresses();
    void policyPlacement_data();
    void policyPlacement();
    void publishAndRelease();
    void oldestPagesGoPastTheCap();
    void largePageLoadsWhole();
    void reloadAndDiscardKeepContent();
    void originIsItsOwn();
    void documentTypeKeepsStandardsMode();
    void remoteAndLocalPicturesShow();
    void fileContentsStayUnreadable();
    void webPagesCannotReadGeneratedPages();
    void webPagesCannotShowGeneratedPages_data();
    void webPagesCannotShowGeneratedPages();
    void unknownAddressesFail();

private:
    QTemporaryDir m_data;
    TestHttpServer m_server;
};

void TestGeneratedPages::initTestCase()
{
    QVERIFY(m_data.isValid());
    SetDataFolder(m_data.path());
    QVERIFY(m_server.isListening());
    QVERIFY(GeneratedPages::Shared());
    QCOMPARE(GeneratedPages::Shared(), GeneratedPages::Of(BrowserProfile()));
}

void TestGeneratedPages::addresses_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("generated");
    const QString token = QStringLiteral("0123456789abcdef0123456789abcdef");
    QTest::newRow("token") << "orvane://gen/" + token << true;
    QTest::newRow("fragment") << "orvane://gen/" + token + "#d3" << true;
    QTest::newRow("number") << "orvane://gen/1" << false;
    QTest::newRow("short") << "orvane://gen/" + token.chopped(1) << false;
    QTest::newRow("long") << "orvane://gen/" + token + "0" << false;
    QTest::newRow("upper case") << "orvane://gen/" + token.toUpper() << false;
    QTest::newRow("not hexadecimal") << "orvane://gen/" + token.chopped(1) + "g" << false;
    QTest::newRow("no token") << "orvane://gen/" << false;
    QTest::newRow("sub path") << "orvane://gen/" + token + "/8" << false;
    QTest::newRow("other host") << "orvane://other/" + token << false;
    QTest::newRow("port") << "orvane://gen:80/" + token << false;
    QTest::newRow("web") << "http://gen/" + token << false;
}

void TestGeneratedPages::addresses()
{
    QFETCH(QString, url);
    QFETCH(bool, generated);
    QCOMPARE(GeneratedPages::IsGeneratedUrl(QUrl(url)), generated);
}

void TestGeneratedPages::policyPlacement_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QByteArray>("head");
    QTest::newRow("plain") << QByteArray("<HTML><body>x") << QByteArray("");
    QTest::newRow("empty") << QByteArray() << QByteArray("");
    QTest::newRow("doctype") << QByteArray("<!DOCTYPE html><p>x") << QByteArray("<!DOCTYPE html>");
    QTest::newRow("doctype after blanks") << QByteArray(" \r\n<!doctype HTML PUBLIC \"x\"><p>x")
                                          << QByteArray(" \r\n<!doctype HTML PUBLIC \"x\">");
    QTest::newRow("byte order mark")
        << QByteArray("\xEF\xBB\xBF<!DOCTYPE html>x") << QByteArray("\xEF\xBB\xBF<!DOCTYPE html>");
    QTest::newRow("unclosed doctype") << QByteArray("<!DOCTYPE") << QByteArray("");
}

void TestGeneratedPages::policyPlacement()
{
    QFETCH(QByteArray, page);
    QFETCH(QByteArray, head);
    const QByteArray meta = QByteArray("<meta http-equiv=\"Content-Security-Policy\" content=\"") +
                            GeneratedPages::Policy + "\">";
    const QByteArray served = head + meta + page.mid(head.size());
    QCOMPARE(GeneratedPages::WithPolicy(page), served);
    // The engine reads the same bytes in pieces of its own size.
    QObject owner;
    QIODevice* device = GeneratedPages::OpenServedPage(page, &owner);
    QCOMPARE(device->size(), served.size());
    QByteArray read;
    while (!device->atEnd())
        read += device->read(7);
    QCOMPARE(read, served);
}

void TestGeneratedPages::publishAndRelease()
{
    GeneratedPages* pages = GeneratedPages::Shared();
    const qint64 bytesBefore = pages->totalBytes();
    const QUrl first = pages->publish(QStringLiteral("<p>Grüße</p>"));
    const QUrl second = pages->publish(QByteArray("<p>b</p>"));
    QCOMPARE(first.scheme(), QStringLiteral("orvane"));
    QCOMPARE(first.host(), QStringLiteral("gen"));
    QVERIFY(first != second);
    QVERIFY(pages->contains(first));
    QCOMPARE(pages->content(first), QStringLiteral("<p>Grüße</p>").toUtf8());
    QCOMPARE(pages->totalBytes(), bytesBefore + 14 + 8);
    pages->release(first);
    QVERIFY(!pages->contains(first));
    QVERIFY(pages->content(first).isEmpty());
    pages->release(first); // twice is harmless
    QVERIFY(pages->contains(second));
    pages->release(second);
    QCOMPARE(pages->totalBytes(), bytesBefore);
}

void TestGeneratedPages::oldestPagesGoPastTheCap()
{
    GeneratedPages* pages = GeneratedPages::Shared();
    const QUrl oldest = pages->publish(QByteArray("oldest"));
    QList<QUrl> published;
    for (qsizetype i = 0; i < GeneratedPages::MaxPages; ++i)
        published << pages->publish(QByteArray("x"));
    QCOMPARE(pages->pageCount(), GeneratedPages::MaxPages);
    QVERIFY(!pages->contains(oldest));
    QVERIFY(pages->contains(published.constLast()));
    // Every address is a page of its own.
    QCOMPARE(QSet<QUrl>(published.cbegin(), published.cend()).size(), published.size());
    for (const QUrl& url : std::as_const(published))
        pages->release(url);
    QCOMPARE(pages->pageCount(), 0);
    QCOMPARE(pages->totalBytes(), 0);
}

void TestGeneratedPages::largePageLoadsWhole()
{
    // Over 2 MB, with non-ASCII text and a head that claims another charset:
    // the page is read as the UTF-8 it is.
    QByteArray html = "<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
                      "charset=iso-8859-1\"><title>Grüße €</title></HEAD><body>";
    const int paragraphs = 40000;
    for (int i = 0; i < paragraphs; ++i)
        html += "<p>Absatz " + QByteArray::number(i) + " äöü ............................</p>\n";
    html += "<div id=end>Ende</div></body></HTML>";
    QVERIFY(html.size() > 2 * 1024 * 1024);

    const QUrl url = GeneratedPages::Shared()->publish(html);
    QWebEnginePage page(BrowserProfile());
    QVERIFY(LoadAndWait(page, url));
    QCOMPARE(page.url(), url);
    QCOMPARE(EvalJs(page, QStringLiteral("document.title")).toString(), QStringLiteral("Grüße €"));
    QCOMPARE(EvalJs(page, QStringLiteral("document.getElementsByTagName('p').length")).toInt(),
             paragraphs);
    QCOMPARE(EvalJs(page, QStringLiteral("document.getElementById('end').textContent")).toString(),
             QStringLiteral("Ende"));
    QCOMPARE(EvalJs(page, QStringLiteral("document.contentType")).toString(),
             QStringLiteral("text/html"));
    QCOMPARE(EvalJs(page, QStringLiteral("document.characterSet")).toString(),
             QStringLiteral("UTF-8"));
    GeneratedPages::Shared()->release(url);
}

void TestGeneratedPages::reloadAndDiscardKeepContent()
{
    const QUrl url = GeneratedPages::Shared()->publish(
        QStringLiteral("<html><body><p id=p>Inhalt</p></body></html>"));
    QWebEnginePage page(BrowserProfile());
    QVERIFY(LoadAndWait(page, url));
    // Marks the live document, so that a reload shows as a fresh one.
    EvalJs(page, QStringLiteral("document.getElementById('p').textContent = 'geändert'"));

    QSignalSpy finished(&page, &QWebEnginePage::loadFinished);
    page.triggerAction(QWebEnginePage::Reload);
    QVERIFY(finished.wait(kEngineWaitMs));
    QVERIFY(finished.constLast().constFirst().toBool());
    QCOMPARE(EvalJs(page, QStringLiteral("document.getElementById('p').textContent")).toString(),
             QStringLiteral("Inhalt"));

    // A discarded page loses its renderer and loads its address again when
    // it becomes active.
    page.setLifecycleState(QWebEnginePage::LifecycleState::Discarded);
    QCOMPARE(page.lifecycleState(), QWebEnginePage::LifecycleState::Discarded);
    finished.clear();
    page.setLifecycleState(QWebEnginePage::LifecycleState::Active);
    QVERIFY(finished.wait(kEngineWaitMs));
    QVERIFY(finished.constLast().constFirst().toBool());
    QCOMPARE(page.url(), url);
    QCOMPARE(EvalJs(page, QStringLiteral("document.getElementById('p').textContent")).toString(),
             QStringLiteral("Inhalt"));
    GeneratedPages::Shared()->release(url);
}

void TestGeneratedPages::originIsItsOwn()
{
    const QUrl url = GeneratedPages::Shared()->publish(QByteArray("<p>x</p>"));
    QWebEnginePage page(BrowserProfile());
    QVERIFY(LoadAndWait(page, url));
    QCOMPARE(EvalJs(page, QStringLiteral("self.origin")).toString(),
             QStringLiteral("orvane://gen"));
    QCOMPARE(EvalJs(page, QStringLiteral("location.protocol")).toString(),
             QStringLiteral("orvane:"));
    QCOMPARE(EvalJs(page, QStringLiteral("location.href")).toString(), url.toString());
    GeneratedPages::Shared()->release(url);
}

void TestGeneratedPages::documentTypeKeepsStandardsMode()
{
    const QUrl url = GeneratedPages::Shared()->publish(QByteArray("<!DOCTYPE html><p>x</p>"));
    QWebEnginePage page(BrowserProfile());
    QVERIFY(LoadAndWait(page, url));
    QCOMPARE(EvalJs(page, QStringLiteral("document.compatMode")).toString(),
             QStringLiteral("CSS1Compat"));
    GeneratedPages::Shared()->release(url);
}

void TestGeneratedPages::remoteAndLocalPicturesShow()
{
    m_server.serve("/remote.png", "image/png", pngBytes(7, 5));
    const QString localPath = m_data.filePath(QStringLiteral("local.png"));
    QFile local(localPath);
    QVERIFY(local.open(QIODevice::WriteOnly));
    local.write(pngBytes(11, 3));
    local.close();

    const QString html = QStringLiteral("<html><body><img id=remote src='%1'><img id=local "
                                        "src='%2'></body></html>")
                             .arg(m_server.url(QStringLiteral("/remote.png")).toString(),
                                  QUrl::fromLocalFile(localPath).toString());
    const QUrl url = GeneratedPages::Shared()->publish(html);
    QWebEnginePage page(BrowserProfile());
    QVERIFY(LoadAndWait(page, url));
    // Each picture settles (loads or fails); then both must have a size.
    const QString widths = AwaitJs(
        page, QStringLiteral("(function () { var r = document.getElementById('remote'),"
                             "l = document.getElementById('local');"
                             "function settled(i) { return i.complete ? 0 : new Promise("
                             "function (done) { i.onload = i.onerror = done; }); }"
                             "return Promise.all([settled(r), settled(l)]).then(function () {"
                             "return r.naturalWidth + ',' + l.naturalWidth; }); })()"));
    QCOMPARE(widths, QStringLiteral("ok:7,11"));
    GeneratedPages::Shared()->release(url);
}

void TestGeneratedPages::fileContentsStayUnreadable()
{
    const QString secretPath = m_data.filePath(QStringLiteral("secret.txt"));
    QFile secret(secretPath);
    QVERIFY(secret.open(QIODevice::WriteOnly));
    secret.write("geheim");
    secret.close();
    const QString fileUrl = QUrl::fromLocalFile(secretPath).toString();

    const QUrl url = GeneratedPages::Shared()->publish(QByteArray("<p>x</p>"));
    QWebEnginePage page(BrowserProfile());
    QVERIFY(LoadAndWait(page, url));
    // The file shows in a picture or a frame, but no script reads it: not
    // through fetch, XMLHttpRequest or the frame's document.
    QCOMPARE(
        AwaitJs(page,
                QStringLiteral("fetch('%1').then(function (r) { return r.text(); })").arg(fileUrl)),
        QStringLiteral("failed"));
    QCOMPARE(AwaitJs(page, QStringLiteral("(function () { var x = new XMLHttpRequest();"
                                          "x.open('GET', '%1', false); x.send();"
                                          "return x.responseText; })()")
                               .arg(fileUrl)),
             QStringLiteral("failed"));
    QCOMPARE(AwaitJs(page, QStringLiteral("new Promise(function (ok, no) {"
                                          "var f = document.createElement('iframe');"
                                          "f.onload = function () { try {"
                                          "ok(f.contentDocument.body.textContent); }"
                                          "catch (e) { no(e); } };"
                                          "f.src = '%1'; document.body.appendChild(f); })")
                               .arg(fileUrl)),
             QStringLiteral("failed"));
    GeneratedPages::Shared()->release(url);
}

void TestGeneratedPages::webPagesCannotReadGeneratedPages()
{
    const QUrl generated = GeneratedPages::Shared()->publish(QByteArray("<p>intern</p>"));
    m_server.serve("/reader.html", "text/html", "<html><body>web</body></html>");
    QWebEnginePage page(BrowserProfile());
    QVERIFY(LoadAndWait(page, m_server.url(QStringLiteral("/reader.html"))));
    QCOMPARE(AwaitJs(page, QStringLiteral("fetch('%1').then(function (r) { return r.text(); })")
                               .arg(generated.toString())),
             QStringLiteral("failed"));
    // The script itself works: it reads a page of its own origin.
    QCOMPARE(AwaitJs(page, QStringLiteral("fetch('/reader.html').then(function (r) { return "
                                          "r.text(); })")),
             QStringLiteral("ok:<html><body>web</body></html>"));
    GeneratedPages::Shared()->release(generated);
}

void TestGeneratedPages::webPagesCannotShowGeneratedPages_data()
{
    QTest::addColumn<QString>("script");
    // %1: the generated page's address.
    QTest::newRow("frame") << "new Promise(function (done) { var f = "
                              "document.createElement('iframe'); f.onload = done; f.src = '%1';"
                              "document.body.appendChild(f); })";
    QTest::newRow("navigation") << "location.href = '%1'";
}

void TestGeneratedPages::webPagesCannotShowGeneratedPages()
{
    QFETCH(QString, script);
    // The generated page asks for a picture of the server once it shows.
    const QUrl generated = GeneratedPages::Shared()->publish(
        QStringLiteral("<p>intern</p><img src='%1'>")
            .arg(m_server.url(QStringLiteral("/shown.png")).toString()));
    m_server.serve("/shown.png", "image/png", pngBytes(1, 1));
    m_server.serve("/attack.html", "text/html", "<html><body>web</body></html>");
    const qsizetype shown = m_server.requestCount("/shown.png");
    QWebEnginePage page(BrowserProfile());
    QVERIFY(LoadAndWait(page, m_server.url(QStringLiteral("/attack.html"))));
    QSignalSpy finished(&page, &QWebEnginePage::loadFinished);
    // A frame has loaded once its load event ran; a navigation ends with
    // its own loadFinished.
    if (script.startsWith(QLatin1String("location"))) {
        EvalJs(page, script.arg(generated.toString()));
        QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty(), kEngineWaitMs);
    } else {
        QCOMPARE(AwaitJs(page, script.arg(generated.toString())).left(3), QStringLiteral("ok:"));
    }
    QCOMPARE(m_server.requestCount("/shown.png"), shown);
    if (!finished.isEmpty())
        QVERIFY(!finished.constLast().constFirst().toBool());
    // The program itself still shows it.
    QVERIFY(LoadAndWait(page, generated));
    QTRY_COMPARE_WITH_TIMEOUT(m_server.requestCount("/shown.png"), shown + 1, kEngineWaitMs);
    GeneratedPages::Shared()->release(generated);
}

void TestGeneratedPages::unknownAddressesFail()
{
    QWebEnginePage page(BrowserProfile());
    QVERIFY(!LoadAndWait(page, QUrl(QStringLiteral("orvane://gen/%1").arg(QString(32, u'a')))));
    const QUrl released = GeneratedPages::Shared()->publish(QByteArray("<p>weg</p>"));
    GeneratedPages::Shared()->release(released);
    QVERIFY(!LoadAndWait(page, released));
    QVERIFY(!LoadAndWait(page, QUrl(QStringLiteral("orvane://gen/abc"))));
}

int main(int argc, char** argv)
{
    PrepareWebEngine();
    QApplication app(argc, argv);
    TestGeneratedPages test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_generatedpages.moc"
