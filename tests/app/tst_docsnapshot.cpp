#include "app/docsnapshot.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

using namespace orv;

namespace {

QJsonObject node(int depth, const QString& name, const QJsonObject& extra = {})
{
    QJsonObject object = extra;
    object.insert(QStringLiteral("d"), depth);
    object.insert(QStringLiteral("n"), name);
    return object;
}

// HTML > (HEAD > TITLE), (BODY > A, IFRAME, FRAME)
QJsonObject sampleObject()
{
    QJsonArray nodes;
    nodes.append(node(0, QStringLiteral("html"), {{QStringLiteral("f"), QStringLiteral("HEAD")}}));
    nodes.append(node(1, QStringLiteral("HEAD")));
    nodes.append(node(2, QStringLiteral("TITLE"), {{QStringLiteral("t"), QStringLiteral("T")}}));
    nodes.append(
        node(1, QStringLiteral("BODY"), {{QStringLiteral("a"), QJsonObject{{"CLASS", "x"}}}}));
    nodes.append(node(2, QStringLiteral("A"),
                      {{QStringLiteral("h"), QStringLiteral("http://h/a")},
                       {QStringLiteral("t"), QStringLiteral("Text")},
                       {QStringLiteral("f"), QStringLiteral("FEED")}}));
    nodes.append(
        node(2, QStringLiteral("IFRAME"), {{QStringLiteral("s"), QStringLiteral("http://o/")}}));
    nodes.append(
        node(2, QStringLiteral("FRAME"), {{QStringLiteral("s"), QStringLiteral("http://h/f")}}));

    QJsonObject inner{{"url", "http://h/f"},
                      {"title", "Innen"},
                      {"type", "text/html"},
                      {"html", true},
                      {"active", 0},
                      {"forms", QJsonArray()},
                      {"nodes", QJsonArray{node(0, QStringLiteral("HTML"))}}};
    QJsonArray frames;
    frames.append(QJsonObject{{"i", 5}, {"refused", true}});
    frames.append(QJsonObject{{"i", 6}, {"doc", inner}});
    frames.append(QJsonObject{{"i", 99}, {"refused", true}}); // no such element: dropped

    return QJsonObject{{"url", "http://h/"},  {"title", "Seite"},
                       {"type", "text/html"}, {"html", true},
                       {"protocol", "http:"}, {"pathname", "/"},
                       {"active", 6},         {"forms", QJsonArray{"<form></form>"}},
                       {"nodes", nodes},      {"frames", frames}};
}

} // namespace

class TestDocSnapshot : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsTheBridgeFormat();
    void roundTrip();
    void badInput_data();
    void badInput();
    void nodesOutOfOrderAreCut();
    void textTags();
};

void TestDocSnapshot::readsTheBridgeFormat()
{
    const DocSnapshot s = DocSnapshot::fromJson(sampleObject());
    QVERIFY(s.valid);
    QCOMPARE(s.url, QStringLiteral("http://h/"));
    QCOMPARE(s.protocol, QStringLiteral("http:"));
    QCOMPARE(s.root.nodeName, QStringLiteral("HTML")); // upper case whatever came
    QCOMPARE(s.elementCount(), 7);
    QCOMPARE(s.body()->attribute(u"class"), QStringLiteral("x")); // names in lower case
    QCOMPARE(s.element(4)->href, QStringLiteral("http://h/a"));
    QCOMPARE(s.element(4)->firstChildName, QStringLiteral("FEED"));
    QCOMPARE(s.element(5)->src, QStringLiteral("http://o/"));
    QCOMPARE(s.element(2)->innerText, QStringLiteral("T"));
    QCOMPARE(s.forms, QStringList{QStringLiteral("<form></form>")});

    QCOMPARE(s.frames.size(), size_t(2));
    QVERIFY(s.frameAt(5)->refused);
    QVERIFY(!s.frameAt(5)->document);
    QVERIFY(!s.frameAt(4));
    QCOMPARE(s.activeElement()->nodeName, QStringLiteral("FRAME"));
    QCOMPARE(s.activeFrame(), s.frameAt(6));
    QCOMPARE(s.activeFrame()->document->title, QStringLiteral("Innen"));
    QCOMPARE(s.activeFrame()->document->activeElement(), &s.activeFrame()->document->root);
}

void TestDocSnapshot::roundTrip()
{
    const DocSnapshot s = DocSnapshot::fromJson(sampleObject());
    const QByteArray json = QJsonDocument(s.toJson()).toJson(QJsonDocument::Compact);
    const DocSnapshot t = DocSnapshot::fromJson(json);
    QVERIFY(t.valid);
    QCOMPARE(QJsonDocument(t.toJson()).toJson(QJsonDocument::Compact), json);
    QCOMPARE(t.root.toJson(), s.root.toJson());
    QCOMPARE(t.activeIndex, 6);
    QCOMPARE(t.frames.size(), size_t(2));

    // A tree deeper than the JSON parser's own nesting limit survives: nodes
    // travel as a flat list.
    DocSnapshot deep;
    deep.valid = true;
    deep.root.nodeName = QStringLiteral("HTML");
    DocNode* at = &deep.root;
    for (int i = 0; i < DocNode::MaxDepth + 20; ++i) {
        at->children.emplace_back();
        at = &at->children.back();
        at->nodeName = QStringLiteral("DIV");
    }
    const DocSnapshot back =
        DocSnapshot::fromJson(QJsonDocument(deep.toJson()).toJson(QJsonDocument::Compact));
    QVERIFY(back.valid);
    QCOMPARE(back.elementCount(), DocNode::MaxDepth + 1);
}

void TestDocSnapshot::badInput_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("not json") << QByteArray("<html>");
    QTest::newRow("truncated") << QByteArray("{\"url\":\"x\",\"nodes\":[{\"d\":0,");
    QTest::newRow("array") << QByteArray("[1,2]");
    QTest::newRow("no nodes") << QByteArray("{\"url\":\"x\"}");
    QTest::newRow("script error") << QByteArray("{\"error\":\"TypeError: x\"}");
    QTest::newRow("nul") << QByteArray("{\"url\":\"\0\"}", 12);
}

void TestDocSnapshot::badInput()
{
    QFETCH(QByteArray, json);
    const DocSnapshot s = DocSnapshot::fromJson(json);
    QVERIFY(!s.valid);
    QVERIFY(!s.error.isEmpty());
    QCOMPARE(s.elementCount(), 0);
    QVERIFY(!s.body());
    QVERIFY(!s.activeElement());
    QVERIFY(s.toJson().contains(QStringLiteral("error")));
}

void TestDocSnapshot::nodesOutOfOrderAreCut()
{
    QJsonObject object = sampleObject();
    QJsonArray nodes = object.value(QStringLiteral("nodes")).toArray();
    nodes.insert(4, node(4, QStringLiteral("SKIP"))); // jumps two levels
    object.insert(QStringLiteral("nodes"), nodes);
    const DocSnapshot s = DocSnapshot::fromJson(object);
    QVERIFY(s.valid);
    QCOMPARE(s.elementCount(), 4);
    QCOMPARE(s.activeIndex, -1); // the active element was cut off
    QVERIFY(s.frames.empty());

    QJsonObject second = sampleObject();
    QJsonArray rootless = second.value(QStringLiteral("nodes")).toArray();
    rootless.removeFirst();
    second.insert(QStringLiteral("nodes"), rootless);
    const DocSnapshot none = DocSnapshot::fromJson(second);
    QVERIFY(none.valid);
    QCOMPARE(none.elementCount(), 0);
    QVERIFY(none.elements().isEmpty());

    // A root without a name is no element, so nothing can point at it, and
    // the snapshot reads back from its own JSON unchanged.
    QJsonObject third = sampleObject();
    QJsonArray nameless = third.value(QStringLiteral("nodes")).toArray();
    QJsonObject root = nameless.first().toObject();
    root.remove(QStringLiteral("n"));
    nameless.replace(0, root);
    third.insert(QStringLiteral("nodes"), nameless);
    third.insert(QStringLiteral("active"), 0);
    third.insert(QStringLiteral("frames"), QJsonArray{QJsonObject{{"i", 0}, {"refused", true}}});
    const DocSnapshot nameless0 = DocSnapshot::fromJson(third);
    QVERIFY(nameless0.valid);
    QCOMPARE(nameless0.elementCount(), 0);
    QCOMPARE(nameless0.activeIndex, -1);
    QVERIFY(nameless0.frames.empty());
    QCOMPARE(DocSnapshot::fromJson(nameless0.toJson()).toJson(), nameless0.toJson());
}

void TestDocSnapshot::textTags()
{
    QVERIFY(DocSnapshot::KeepsText(u"A"));
    QVERIFY(DocSnapshot::KeepsText(u"H3"));
    QVERIFY(DocSnapshot::KeepsText(u"DD"));
    QVERIFY(!DocSnapshot::KeepsText(u"DIV"));
    QVERIFY(!DocSnapshot::KeepsText(u"BODY"));
    QVERIFY(!DocSnapshot::KeepsText(u"a")); // tags are upper case
}

QTEST_APPLESS_MAIN(TestDocSnapshot)

#include "tst_docsnapshot.moc"
