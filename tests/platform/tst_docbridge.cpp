#include "app/appinit.h"
#include "app/docsnapshot.h"
#include "common/enginetest.h"
#include "common/testhttpserver.h"
#include "pages/feeddiscovery.h"
#include "pages/structurepage.h"
#include "platform/docbridge.h"
#include "platform/engine.h"
#include "platform/generatedpages.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineProfile>

#include <optional>

using namespace orv;

namespace {

// The main fixture. The page's own script tries to falsify what a snapshot
// reads; the snapshot runs in a world of its own and must not notice.
const QByteArray kIndex = R"(<html><head><title>Testseite</title>
<link rel="alternate" type="application/rss+xml" title="Neuigkeiten" href="feed.xml">
<script>
JSON.stringify = function () { return '{}'; };
Object.defineProperty(document, 'title', {get: function () { return 'falsch'; }});
var pageVar = 42;
</script></head>
<body class="haupt" background="bg.gif">
<h3 id="ordner">Ordner <b>eins</b></h3>
<dl><dt><a href="seite.html#x" id="erster">Erster</a><dd>Beschreibung eins</dl>
<a href="/abs/pfad.html">Zweiter</a>
<a href=x><FEED />Kanal</a>
<img src="bild.png" id="bild"><img src="" id="leer">
<table background="tbg.gif"><tr><td background="zelle.gif">Zelle</td></tr></table>
<form action="/suche" method="get"><input name="q" value="%Orvane%"></form>
<P CLASS="gross" ID="absatz">Nur Text</P>
<div id="k"><!-- Kommentar --><span>s</span></div>
</body></html>)";

QByteArray pngBytes()
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return buffer.data();
}

const DocNode* byId(const DocSnapshot& snapshot, const QString& id)
{
    for (const DocNode* node : snapshot.elements())
        if (node->attribute(u"id") == id)
            return node;
    return nullptr;
}

QStringList namesOf(const QList<const DocNode*>& nodes)
{
    QStringList names;
    for (const DocNode* node : nodes)
        names.append(node->nodeName);
    return names;
}

} // namespace

class TestDocBridge : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void documentAndElements();
    void isolatedFromThePage();
    void sameOriginAndForeignFrames_data();
    void sameOriginAndForeignFrames();
    void focusInsideAFrame_data();
    void focusInsideAFrame();
    void otherDocumentTypes_data();
    void otherDocumentTypes();
    void generatedPage();
    void deepNestingIsCut();
    void bigPageComplete();
    void answersAreNeverSynchronous();
    void goneContextGetsNoAnswer();
    void pageGoneMeanwhile();
    void execScriptSeesPageVariables();
    void outlineTellsWhatTheSnapshotTells_data();
    void outlineTellsWhatTheSnapshotTells();

private:
    DocSnapshot snapshotOf(QWebEnginePage& page, qint64* elapsedMs = nullptr);
    QString urlA(const QString& path) const { return m_a.url(path).toString(); }

    QTemporaryDir m_data;
    TestHttpServer m_a; // the pages' own server
    TestHttpServer m_b; // another origin (another port)
    std::optional<QWebEnginePage> m_page;
};

DocSnapshot TestDocBridge::snapshotOf(QWebEnginePage& page, qint64* elapsedMs)
{
    QObject context;
    std::optional<DocSnapshot> result;
    QElapsedTimer timer;
    timer.start();
    TakeDocSnapshot(&page, &context, [&](const DocSnapshot& snapshot) {
        result = snapshot;
        if (elapsedMs)
            *elapsedMs = timer.elapsed();
    });
    if (!WaitFor([&] { return result.has_value(); }, kEngineWaitMs))
        return DocSnapshot();
    return result.value_or(DocSnapshot());
}

void TestDocBridge::initTestCase()
{
    QVERIFY(m_data.isValid());
    SetDataFolder(m_data.path());
    QVERIFY(m_a.isListening() && m_b.isListening());
    QVERIFY(m_a.port() != m_b.port());

    m_a.serve("/index.html", "text/html; charset=utf-8", kIndex);
    m_a.serve("/bild.png", "image/png", pngBytes());
    m_a.serve("/links.html", "text/html",
              "<html><head><title>Links</title></head><body><a href='l1.html'>L1</a>"
              "<input id=feld></body></html>");
    m_b.serve("/fremd.html", "text/html", "<html><body><input id=feld>fremd</body></html>");
    const QByteArray foreign = m_b.url(QStringLiteral("/fremd.html")).toString().toUtf8();
    m_a.serve("/rahmen.html", "text/html",
              "<html><head><title>Rahmen</title></head><frameset cols='50%,50%'>"
              "<frame name=links src='links.html'><frame name=fremd src='" +
                  foreign + "'></frameset></html>");
    m_a.serve("/iframes.html", "text/html",
              "<html><body><p>oben</p><iframe name=links src='links.html'></iframe>"
              "<iframe name=fremd src='" +
                  foreign + "'></iframe></body></html>");
    m_page.emplace(BrowserProfile());
}

void TestDocBridge::cleanupTestCase()
{
    m_page.reset(); // pages go before the profile
}

void TestDocBridge::documentAndElements()
{
    QVERIFY(LoadAndWait(*m_page, m_a.url(QStringLiteral("/index.html"))));
    const DocSnapshot s = snapshotOf(*m_page);
    QVERIFY2(s.valid, qPrintable(s.error));
    QCOMPARE(s.url, urlA(QStringLiteral("/index.html")));
    QCOMPARE(s.title, QStringLiteral("Testseite"));
    QCOMPARE(s.contentType, QStringLiteral("text/html"));
    QVERIFY(s.htmlDocument);
    QCOMPARE(s.protocol, QStringLiteral("http:"));
    QCOMPARE(s.pathname, QStringLiteral("/index.html"));

    QCOMPARE(s.root.nodeName, QStringLiteral("HTML"));
    QCOMPARE(s.root.firstChildName, QStringLiteral("HEAD"));
    QVERIFY(s.body());
    QCOMPARE(s.body()->nodeName, QStringLiteral("BODY"));
    QCOMPARE(s.body()->attribute(u"class"), QStringLiteral("haupt"));
    QCOMPARE(s.body()->attribute(u"background"), QStringLiteral("bg.gif"));
    QCOMPARE(s.body()->firstChildName, QStringLiteral("#text"));
    QCOMPARE(
        namesOf(s.body()->all()),
        QStringList({"H3",  "B",     "DL",    "DT", "A",  "DD",   "A",     "A", "FEED", "IMG",
                     "IMG", "TABLE", "TBODY", "TR", "TD", "FORM", "INPUT", "P", "DIV",  "SPAN"}));
    QCOMPARE(s.elementCount(), s.elements().size());
    QCOMPARE(s.element(0), &s.root);
    QVERIFY(!s.element(s.elementCount()));
    QVERIFY(!s.element(-1));

    const DocNode* link = s.root.findFirst(u"LINK");
    QVERIFY(link);
    QCOMPARE(link->attribute(u"type"), QStringLiteral("application/rss+xml"));
    QCOMPARE(link->attribute(u"title"), QStringLiteral("Neuigkeiten"));
    QCOMPARE(link->attribute(u"href"), QStringLiteral("feed.xml"));
    QCOMPARE(link->href, urlA(QStringLiteral("/feed.xml")));

    const DocNode* h3 = byId(s, QStringLiteral("ordner"));
    QVERIFY(h3);
    QCOMPARE(h3->innerText, QStringLiteral("Ordner eins"));
    QCOMPARE(h3->firstChildName, QStringLiteral("#text"));
    QCOMPARE(s.root.findFirst(u"DD")->innerText, QStringLiteral("Beschreibung eins"));
    QCOMPARE(s.root.findFirst(u"TD")->attribute(u"background"), QStringLiteral("zelle.gif"));
    QCOMPARE(s.root.findFirst(u"TABLE")->firstChildName, QStringLiteral("TBODY"));

    const QList<const DocNode*> all = s.body()->all();
    const DocNode* first = all.at(4);
    QCOMPARE(first->innerText, QStringLiteral("Erster"));
    QCOMPARE(first->attribute(u"href"), QStringLiteral("seite.html#x"));
    QCOMPARE(first->href, urlA(QStringLiteral("/seite.html#x")));
    QCOMPARE(all.at(6)->href, urlA(QStringLiteral("/abs/pfad.html")));
    const DocNode* feed = all.at(7);
    QCOMPARE(feed->firstChildName, QStringLiteral("FEED"));
    QCOMPARE(feed->href, urlA(QStringLiteral("/x")));
    QCOMPARE(feed->innerText, QStringLiteral("Kanal"));
    QVERIFY(h3->src.isEmpty() && h3->href.isEmpty());

    QCOMPARE(byId(s, QStringLiteral("bild"))->src, urlA(QStringLiteral("/bild.png")));
    QCOMPARE(byId(s, QStringLiteral("bild"))->attribute(u"src"), QStringLiteral("bild.png"));
    QVERIFY(byId(s, QStringLiteral("bild"))->firstChildName.isEmpty());
    QVERIFY(byId(s, QStringLiteral("leer"))->hasAttribute(u"src"));

    const DocNode* p = byId(s, QStringLiteral("absatz"));
    QVERIFY(p);
    QCOMPARE(p->attribute(u"class"), QStringLiteral("gross"));
    QCOMPARE(p->innerText, QStringLiteral("Nur Text"));
    QCOMPARE(byId(s, QStringLiteral("k"))->firstChildName, QStringLiteral("#comment"));
    QVERIFY(byId(s, QStringLiteral("k"))->innerText.isEmpty()); // DIV is no text tag

    QCOMPARE(s.forms.size(), 1);
    QVERIFY(s.forms.at(0).startsWith(QStringLiteral("<form")));
    QVERIFY(s.forms.at(0).contains(QStringLiteral("action=\"/suche\"")));
    QVERIFY(s.forms.at(0).contains(QStringLiteral("value=\"%Orvane%\"")));
    QVERIFY(s.frames.empty());
    // Nothing focused: the body is the active element.
    QCOMPARE(s.activeElement(), s.body());
    QVERIFY(!s.activeFrame());
}

void TestDocBridge::isolatedFromThePage()
{
    QVERIFY(LoadAndWait(*m_page, m_a.url(QStringLiteral("/index.html"))));
    QCOMPARE(EvalJs(*m_page, QStringLiteral("document.title")).toString(),
             QStringLiteral("falsch"));
    const DocSnapshot s = snapshotOf(*m_page);
    QVERIFY(s.valid);
    QCOMPARE(s.title, QStringLiteral("Testseite"));
    QVERIFY(s.elementCount() > 20);
}

void TestDocBridge::sameOriginAndForeignFrames_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("frameTag");
    QTest::newRow("frameset") << "/rahmen.html"
                              << "FRAME";
    QTest::newRow("iframes") << "/iframes.html"
                             << "IFRAME";
}

void TestDocBridge::sameOriginAndForeignFrames()
{
    QFETCH(QString, path);
    QFETCH(QString, frameTag);
    QVERIFY(LoadAndWait(*m_page, m_a.url(path)));
    const DocSnapshot s = snapshotOf(*m_page);
    QVERIFY2(s.valid, qPrintable(s.error));
    QCOMPARE(s.frames.size(), size_t(2));

    const FrameSnapshot& own = s.frames.at(0);
    const DocNode* ownElement = s.element(own.elementIndex);
    QVERIFY(ownElement);
    QCOMPARE(ownElement->nodeName, frameTag);
    QCOMPARE(ownElement->attribute(u"name"), QStringLiteral("links"));
    QCOMPARE(ownElement->src, urlA(QStringLiteral("/links.html")));
    QCOMPARE(s.frameAt(own.elementIndex), &own);
    QVERIFY(!own.refused);
    QVERIFY(own.document);
    QVERIFY(own.document->valid);
    QCOMPARE(own.document->url, urlA(QStringLiteral("/links.html")));
    QCOMPARE(own.document->title, QStringLiteral("Links"));
    QCOMPARE(own.document->pathname, QStringLiteral("/links.html"));
    QCOMPARE(own.document->root.findFirst(u"A")->href, urlA(QStringLiteral("/l1.html")));
    QCOMPARE(own.document->root.findFirst(u"A")->innerText, QStringLiteral("L1"));

    const FrameSnapshot& foreign = s.frames.at(1);
    QCOMPARE(s.element(foreign.elementIndex)->nodeName, frameTag);
    QCOMPARE(s.element(foreign.elementIndex)->src,
             m_b.url(QStringLiteral("/fremd.html")).toString());
    QVERIFY(foreign.refused);
    QVERIFY(!foreign.document);
    QVERIFY(own.elementIndex < foreign.elementIndex);
}

void TestDocBridge::focusInsideAFrame_data()
{
    sameOriginAndForeignFrames_data();
}

void TestDocBridge::focusInsideAFrame()
{
    QFETCH(QString, path);
    QFETCH(QString, frameTag);
    QVERIFY(LoadAndWait(*m_page, m_a.url(path)));
    EvalJs(*m_page, QStringLiteral("frames[0].document.getElementById('feld').focus()"));
    const DocSnapshot s = snapshotOf(*m_page);
    QVERIFY(s.valid);
    QVERIFY(s.activeElement());
    QCOMPARE(s.activeElement()->nodeName, frameTag);
    QCOMPARE(s.activeElement()->attribute(u"name"), QStringLiteral("links"));
    const FrameSnapshot* frame = s.activeFrame();
    QVERIFY(frame);
    QVERIFY(frame->document);
    QCOMPARE(frame->document->activeElement()->nodeName, QStringLiteral("INPUT"));
    QCOMPARE(frame->document->activeElement()->attribute(u"id"), QStringLiteral("feld"));
}

void TestDocBridge::otherDocumentTypes_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("html");
    QTest::newRow("text") << QByteArray("/text.txt") << QByteArray("text/plain")
                          << QByteArray("nur <b>Text</b>") << true;
    QTest::newRow("picture") << QByteArray("/bild2.png") << QByteArray("image/png") << pngBytes()
                             << true;
    QTest::newRow("xml") << QByteArray("/daten.xml") << QByteArray("application/xml")
                         << QByteArray("<?xml version='1.0'?><daten><satz/></daten>") << false;
}

void TestDocBridge::otherDocumentTypes()
{
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, type);
    QFETCH(QByteArray, body);
    QFETCH(bool, html);
    m_a.serve(path, type, body);
    QVERIFY(LoadAndWait(*m_page, m_a.url(QString::fromLatin1(path))));
    const DocSnapshot s = snapshotOf(*m_page);
    QVERIFY2(s.valid, qPrintable(s.error));
    QCOMPARE(s.contentType, QString::fromLatin1(type));
    QCOMPARE(s.htmlDocument, html);
    QCOMPARE(s.pathname, QString::fromLatin1(path));
    QVERIFY(!s.root.nodeName.isEmpty());
}

void TestDocBridge::generatedPage()
{
    const QUrl url = GeneratedPages::Shared()->publish(
        QStringLiteral("<HTML><HEAD><title>Bilderliste</title></HEAD><body>Ä</body></HTML>"));
    QVERIFY(LoadAndWait(*m_page, url));
    const DocSnapshot s = snapshotOf(*m_page);
    QVERIFY(s.valid);
    QCOMPARE(s.url, url.toString());
    QCOMPARE(s.protocol, QStringLiteral("orvane:"));
    QCOMPARE(s.pathname, url.path());
    QCOMPARE(s.title, QStringLiteral("Bilderliste"));
    GeneratedPages::Shared()->release(url);
}

void TestDocBridge::deepNestingIsCut()
{
    m_a.serve("/tief.html", "text/html",
              "<html><head><script>addEventListener('DOMContentLoaded',function(){"
              "var e=document.body;for(var i=0;i<600;++i){var d=document.createElement('div');"
              "e.appendChild(d);e=d;}});</script></head><body></body></html>");
    QVERIFY(LoadAndWait(*m_page, m_a.url(QStringLiteral("/tief.html"))));
    const DocSnapshot s = snapshotOf(*m_page);
    QVERIFY2(s.valid, qPrintable(s.error));
    // HTML (depth 0), HEAD, SCRIPT, BODY (depth 1), DIVs down to depth 512.
    QCOMPARE(s.elementCount(), 4 + DocNode::MaxDepth - 1);
    QCOMPARE(s.body()->descendantCount(), DocNode::MaxDepth - 1);
}

void TestDocBridge::bigPageComplete()
{
    QByteArray html = "<html><head><title>Gross</title></head><body>";
    for (int i = 0; i < 1250; ++i) // four elements each: 5,000 in all
        html += "<div class=z><a href='s" + QByteArray::number(i) + ".html'>Verweis " +
                QByteArray::number(i) + "</a><span>Text <b>fett</b></span></div>\n";
    html += "</body></html>";
    m_a.serve("/gross.html", "text/html", html);
    QVERIFY(LoadAndWait(*m_page, m_a.url(QStringLiteral("/gross.html"))));
    qint64 first = -1; // the first snapshot also lays the page out
    QVERIFY(snapshotOf(*m_page, &first).valid);
    qint64 elapsed = -1;
    const DocSnapshot s = snapshotOf(*m_page, &elapsed);
    QVERIFY(s.valid);
    QCOMPARE(s.elementCount(), 5000 + 4);
    QCOMPARE(s.body()->all().at(4 * 1249 + 1)->href, urlA(QStringLiteral("/s1249.html")));
    QCOMPARE(s.body()->all().at(4 * 1249 + 2)->innerText, QStringLiteral("Text fett"));
    qInfo("snapshot of %d elements: first %lld ms, again %lld ms", s.elementCount(), first,
          elapsed);
    // How fast it is, is the benchmarks' business (bench/structure).
}

void TestDocBridge::answersAreNeverSynchronous()
{
    QObject context;
    int calls = 0;
    DocSnapshot got;
    TakeDocSnapshot(nullptr, &context, [&](const DocSnapshot& s) {
        ++calls;
        got = s;
    });
    QCOMPARE(calls, 0);
    QTRY_COMPARE_WITH_TIMEOUT(calls, 1, kEngineWaitMs);
    QVERIFY(!got.valid);
    QVERIFY(!got.error.isEmpty());

    // A discarded page has no renderer: the engine answers at once, the
    // bridge still answers later.
    QWebEnginePage page(BrowserProfile());
    QVERIFY(LoadAndWait(page, m_a.url(QStringLiteral("/links.html"))));
    page.setLifecycleState(QWebEnginePage::LifecycleState::Discarded);
    calls = 0;
    TakeDocSnapshot(&page, &context, [&](const DocSnapshot& s) {
        ++calls;
        got = s;
    });
    QCOMPARE(calls, 0);
    QTRY_COMPARE_WITH_TIMEOUT(calls, 1, kEngineWaitMs);
    QVERIFY(!got.valid);
    // A later snapshot comes back after any second answer would have.
    snapshotOf(*m_page);
    QCOMPARE(calls, 1);
}

void TestDocBridge::goneContextGetsNoAnswer()
{
    QVERIFY(LoadAndWait(*m_page, m_a.url(QStringLiteral("/links.html"))));
    int calls = 0;
    {
        QObject context;
        TakeDocSnapshot(&*m_page, &context, [&](const DocSnapshot&) { ++calls; });
    }
    // A later snapshot has surely come back after the earlier one.
    QVERIFY(snapshotOf(*m_page).valid);
    QCOMPARE(calls, 0);
}

void TestDocBridge::pageGoneMeanwhile()
{
    auto page = std::make_unique<QWebEnginePage>(BrowserProfile());
    QVERIFY(LoadAndWait(*page, m_a.url(QStringLiteral("/links.html"))));
    QObject context;
    int calls = 0;
    DocSnapshot got;
    got.valid = true;
    TakeDocSnapshot(page.get(), &context, [&](const DocSnapshot& s) {
        ++calls;
        got = s;
    });
    page.reset(); // the engine answers inside the destructor; the bridge later
    QCOMPARE(calls, 0);
    QTRY_COMPARE_WITH_TIMEOUT(calls, 1, kEngineWaitMs);
    QVERIFY(!got.valid);
}

void TestDocBridge::execScriptSeesPageVariables()
{
    QVERIFY(LoadAndWait(*m_page, m_a.url(QStringLiteral("/index.html"))));
    QObject context;
    std::optional<QVariant> result;
    ExecScript(&*m_page, QStringLiteral("pageVar + 1"), &context,
               [&](const QVariant& value) { result = value; });
    QVERIFY(!result);
    QTRY_VERIFY_WITH_TIMEOUT(result.has_value(), kEngineWaitMs);
    QCOMPARE(result->toInt(), 43);
    // Without a callback the script just runs.
    ExecScript(&*m_page, QStringLiteral("document.body.style.zoom = '150%'"));
    QTRY_COMPARE_WITH_TIMEOUT(
        EvalJs(*m_page, QStringLiteral("document.body.style.zoom")).toString(),
        QStringLiteral("150%"), kEngineWaitMs);
}

// The outline that enables the View menu tells of the document what the
// full snapshot tells: the same items enabled, the same feeds offered.
void TestDocBridge::outlineTellsWhatTheSnapshotTells_data()
{
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("page falsifying its scripts") << QByteArray("text/html") << kIndex;
    QTest::newRow("feeds in head and body, embedded object")
        << QByteArray("text/html")
        << QByteArray("<html><head><LINK TYPE='Application/Atom+XML' href='//h/a' title=A>"
                      "<link type='text/css' href='s.css'></head><body><div><p>"
                      "<link type=text/xml href='./x.xml' title='B &amp; C'>"
                      "<embed src='e.swf'></p></div><link type='application/rss+xml'></body>"
                      "</html>");
    QTest::newRow("frameset") << QByteArray("text/html")
                              << QByteArray("<html><frameset><frame src='about:blank'>"
                                            "</frameset></html>");
    QTest::newRow("text") << QByteArray("text/plain") << QByteArray("nur <b>Text</b>");
    QTest::newRow("picture") << QByteArray("image/png") << pngBytes();
    QTest::newRow("xml") << QByteArray("application/xml")
                         << QByteArray("<?xml version='1.0'?><daten><link type='text/xml' "
                                       "href='f.xml'/></daten>");
}

void TestDocBridge::outlineTellsWhatTheSnapshotTells()
{
    QFETCH(QByteArray, type);
    QFETCH(QByteArray, body);
    const QByteArray path = "/outline/" + QByteArray(QTest::currentDataTag()).toPercentEncoding();
    m_a.serve(path, type, body);
    QVERIFY(LoadAndWait(*m_page, m_a.url(QString::fromLatin1(path))));
    const DocSnapshot full = snapshotOf(*m_page);
    QVERIFY2(full.valid, qPrintable(full.error));
    QObject context;
    std::optional<DocSnapshot> outline;
    TakeDocOutline(&*m_page, &context, [&](const DocSnapshot& s) { outline = s; });
    QTRY_VERIFY_WITH_TIMEOUT(outline.has_value(), kEngineWaitMs);
    QVERIFY2(outline->valid, qPrintable(outline->error));
    QCOMPARE(outline->url, full.url);
    QCOMPARE(outline->contentType, full.contentType);
    QCOMPARE(outline->htmlDocument, full.htmlDocument);
    QCOMPARE(FindFeeds(*outline), FindFeeds(full));
    const int feeds = int(FindFeeds(full).size());
    QCOMPARE(ViewMenuEnabling(&*outline, false, feeds), ViewMenuEnabling(&full, false, feeds));
    // A png whose body embeds something keeps its zoom off in both.
    DocSnapshot asPicture = *outline;
    asPicture.contentType = QStringLiteral("image/png");
    DocSnapshot fullAsPicture = full;
    fullAsPicture.contentType = asPicture.contentType;
    QCOMPARE(ViewMenuEnabling(&asPicture, false, feeds),
             ViewMenuEnabling(&fullAsPicture, false, feeds));
}

int main(int argc, char** argv)
{
    PrepareWebEngine();
    QApplication app(argc, argv);
    TestDocBridge test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_docbridge.moc"
