#include "tools/structurepage.h"

#include <QRegularExpression>
#include <QTest>

using namespace orv;

Q_DECLARE_METATYPE(orv::DocNode)

namespace {

using Attrs = QList<QPair<QString, QString>>;

DocNode el(const QString& tag, const Attrs& attrs = {}, std::vector<DocNode> children = {})
{
    DocNode node;
    node.nodeName = tag;
    for (const auto& [name, value] : attrs)
        node.attributes.insert(name, value);
    // The test pages use absolute addresses, so resolved and written agree.
    node.src = node.attribute(u"src");
    node.children = std::move(children);
    return node;
}

DocSnapshot page(const QString& url, std::vector<DocNode> body)
{
    DocSnapshot snapshot;
    snapshot.valid = true;
    snapshot.htmlDocument = true;
    snapshot.url = url;
    snapshot.contentType = QStringLiteral("text/html");
    snapshot.root =
        el(QStringLiteral("HTML"), {},
           {el(QStringLiteral("HEAD")), el(QStringLiteral("BODY"), {}, std::move(body))});
    return snapshot;
}

// The page head as the structure view writes it.
const QString kHead = QStringLiteral(
    "<HTML><HEAD><TITLE>HTML Dokumentstruktur</TITLE><meta http-equiv='Content-Type' "
    "content='text/html; charset=utf-8'>\r\n"
    "<script language='JavaScript'>function togglediv(oDiv, oDest){if(oDest.style.display == "
    "'none'){oDiv.innerText = '-'; eval(\"oDest.style.display = 'inline'\")} else {oDiv.innerText "
    "= '+'; eval(\"oDest.style.display = 'none'\")} }function toggleValue(it){if "
    "(it.children.item(1).style.display == 'none') {it.children.item(0).style.display ='none'; "
    "it.children.item(1).style.display = 'inline';} else {it.children.item(0).style.display = "
    "'inline'; it.children.item(1).style.display = 'none';}}</script>\r\n"
    "<style><!--\r\n"
    "body,td,font,.p,a{font-family: Verdana; color: #000000; FONT-SIZE: 8pt}\r\n"
    "a,a:link{color:#3183FF; FONT-WEIGHT: bold; FONT-SIZE: 8pt}\r\n"
    "a:visited{color:#3183FF; FONT-WEIGHT: bold; FONT-SIZE: 8pt}\r\n"
    "a:active{color:#3183FF; FONT-WEIGHT: bold; FONT-SIZE: 8pt}\r\n"
    "a:hover{color: black; FONT-WEIGHT: bold; FONT-SIZE: 8pt}\r\n"
    "body{background-color: #FFFFFF; scrollbar-DarkShadow-Color: #C1C1C1;scrollbar-Track-Color: "
    "#FFFFFF;scrollbar-Face-Color:#FFFFFF;scrollbar-Shadow-Color: "
    "#000000;scrollbar-Highlight-Color:#FFFFFF;scrollbar-3dLight-Color:#C1C1C1}.klam{color:blue;"
    "font-family: Verdana ;font-weight:bold}\r\n"
    ".pm{color:red;font-family: Courier "
    ";font-weight:bold;text-decoration:none}.knoten{font-family: "
    "Courier; color:#990099; font-weight:normal; FONT-SIZE: 10pt}.tx{font-family: "
    "Verdana;font-weight:bold; color:#000000;}.val{font-family: Verdana;font-weight:bold; "
    "color:red;}//--></style>\r\n"
    "</HEAD><BODY>\r\n");

const QString kNbsp3 = QStringLiteral(
    "<span class=klam>&nbsp;</span><span class=klam>&nbsp;</span><span class=klam>&nbsp;</span>");

QString shown(const QString& label, const QString& value)
{
    return " <span class=tx>" + label +
           "=</span><span style='cursor:hand' onclick='javascript: toggleValue(this);'><span "
           "class=val style='display:none'>*</span><span class=val style='display:inline'>'" +
           value + "'</span></span>";
}

QString starred(const QString& label, const QString& value)
{
    return " <span class=tx>" + label +
           "=</span><span style='cursor:hand' onclick='javascript: toggleValue(this);'><span "
           "class=val>*</span><span class=val style='display:none'>'" +
           value + "'</span></span>";
}

QString leafLine(int indent, const QString& tagAndAttrs)
{
    return "<div class=knoten style='text-indent: " + QString::number(indent) + "em'>" + kNbsp3 +
           "<span class=klam>&lt;</span>" + tagAndAttrs + "/<span class=klam>&gt;</span></div>\r\n";
}

// Section numbers in the order the opening lines appear.
QList<int> sectionsShown(const QString& html)
{
    static const QRegularExpression section(QStringLiteral("togglediv\\(this, d(\\d+)\\)"));
    QList<int> numbers;
    for (const auto& match : section.globalMatch(html))
        numbers << match.captured(1).toInt();
    return numbers;
}

} // namespace

class TstStructurePage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void oneParagraphPage()
    {
        StructureCounter counter;
        const QString url = QStringLiteral("http://host/p.html");
        const QString html =
            CreateHtmlStruct(page(url, {el(QStringLiteral("P"), {}, {})}), counter);
        const QString expected =
            kHead +
            "<b>URL: </b><a href=\"http://host/p.html\" "
            "target='_top'>http://host/p.html</a><br><br>\r\n\r\n"
            "<div class=knoten style='text-indent: 0em'><span class=pm "
            "onmouseover=\"this.style.cursor='hand'\" onclick=\"javascript: togglediv(this, d0);\" "
            ">-</span><span class=klam>&nbsp;</span><span class=klam>&lt;</span>HTML<span "
            "class=klam>&gt;</span></div>\r\n<div id='d0'>" +
            leafLine(2, "HEAD") +
            "<div class=knoten style='text-indent: 2em'><span class=pm "
            "onmouseover=\"this.style.cursor='hand'\" onclick=\"javascript: togglediv(this, d1);\" "
            ">-</span><span class=klam>&nbsp;</span><span class=klam>&lt;</span>BODY<span "
            "class=klam>&gt;</span></div>\r\n<div id='d1'><div class=knoten style='text-indent: "
            "2em'>" +
            leafLine(4, "P") + "</div><div class=knoten style='text-indent: 2em'>" + kNbsp3 +
            "<span class=klam>&lt;</span>/BODY<span class=klam>&gt;</span></div>\r\n</div>"
            "<div class=knoten style='text-indent: 0em'><span class=pm>&nbsp;</span><span "
            "class=klam>&nbsp;</span><span class=klam>&lt;</span>/HTML<span "
            "class=klam>&gt;</span></div></div>\r\n</BODY></HTML>";
        QCOMPARE(html, expected);
        QCOMPARE(counter.Value(), 1);

        // The next view goes on counting.
        const QString second = CreateHtmlStruct(page(url, {el(QStringLiteral("P"))}), counter);
        QCOMPARE(sectionsShown(second), (QList<int>{0, 2}));
    }

    void attributes_data()
    {
        QTest::addColumn<DocNode>("element");
        QTest::addColumn<QString>("expected");

        QTest::newRow("order ID NAME TITLE REL HREF SRC TYPE CLASS")
            << el("LINK", {{"class", "c"},
                           {"type", "text/css"},
                           {"src", "http://h/s"},
                           {"href", "http://h/x.css"},
                           {"rel", "stylesheet"},
                           {"title", "T"},
                           {"name", "n"},
                           {"id", "i"}})
            << leafLine(6, "LINK" + shown("ID", "i") + shown("NAME", "n") + shown("TITLE", "T") +
                               starred("REL", "stylesheet") + starred("HREF", "http://h/x.css") +
                               starred("SRC", "http://h/s") + starred("TYPE", "text/css") +
                               starred("CLASS", "c"));
        QTest::newRow("quotes and markup shown as text")
            << el("A", {{"title", "say \"hi\" <b>it's</b> & go"}, {"href", "http://h/?a=1&b='2'"}})
            << leafLine(6, "A" +
                               shown("TITLE", "say &quot;hi&quot; &lt;b&gt;it&#39;s&lt;/b&gt; "
                                              "&amp; go") +
                               starred("HREF", "http://h/?a=1&amp;b=&#39;2&#39;"));
        QTest::newRow("blank values left out, others kept as written")
            << el("DIV", {{"id", "   "}, {"name", ""}, {"class", " x "}})
            << leafLine(6, "DIV" + starred("CLASS", " x "));
        QTest::newRow("IMG shows no HREF")
            << el("IMG", {{"href", "http://h/"}, {"src", "http://h/a.gif"}, {"name", "n"}})
            << leafLine(6, "IMG" + shown("NAME", "n") + starred("SRC", "http://h/a.gif"));
        QTest::newRow("IFRAME shows no TYPE")
            << el("IFRAME", {{"type", "text/html"}, {"src", "http://h/f.html"}})
            << leafLine(6, "IFRAME" + starred("SRC", "http://h/f.html"));
        QTest::newRow("INPUT shows TYPE")
            << el("INPUT", {{"type", "text"}}) << leafLine(6, "INPUT" + starred("TYPE", "text"));
    }
    void attributes()
    {
        QFETCH(DocNode, element);
        QFETCH(QString, expected);
        StructureCounter counter;
        QCOMPARE(RenderElement(element, 6, counter), expected);
        QCOMPARE(counter.Value(), 0);
    }

    void sectionsInPostOrder()
    {
        // DIV(UL(LI, LI(B)), P(I)) with the counter at 5: LI 6, UL 7, P 8, DIV 9.
        const DocNode tree = el(
            "DIV", {}, {el("UL", {}, {el("LI"), el("LI", {}, {el("B")})}), el("P", {}, {el("I")})});
        StructureCounter counter;
        counter.SetValue(5);
        const QString html = RenderElement(tree, 2, counter);
        QCOMPARE(sectionsShown(html), (QList<int>{9, 7, 6, 8}));
        QCOMPARE(counter.Value(), 9);
        QVERIFY(html.contains("<div id='d6'><div class=knoten style='text-indent: 6em'>" +
                              leafLine(8, "B") + "</div>"));
    }

    void focusedFrame()
    {
        DocSnapshot top = page(QStringLiteral("http://host/top.html"),
                               {el("IFRAME", {{"src", "http://host/f.html"}})});
        auto inner = std::make_shared<DocSnapshot>(
            page(QStringLiteral("http://host/f.html"), {el("H1"), el("P")}));
        top.frames.push_back({3, false, inner});
        top.activeIndex = 3;
        StructureCounter counter;
        StructureCounter alone;
        QCOMPARE(CreateHtmlStruct(top, counter), CreateHtmlStruct(*inner, alone));
        QVERIFY(
            CreateHtmlStruct(top, counter)
                .contains("<a href=\"http://host/f.html\" target='_top'>http://host/f.html</a>"));
    }

    void refusedFrame_data()
    {
        QTest::addColumn<QString>("src");
        QTest::addColumn<QString>("shownAddress");
        QTest::newRow("own address") << "https://other.example/f.html"
                                     << "https://other.example/f.html";
        QTest::newRow("no scheme: the document's server before it")
            << "/f?a=1&b=<2>"
            << "http://host/f?a=1&amp;b=&lt;2&gt;";
        QTest::newRow("quote cannot leave the attribute") << "http://other/'onmouseover='x"
                                                          << "http://other/&#39;onmouseover=&#39;x";
    }
    void refusedFrame()
    {
        QFETCH(QString, src);
        QFETCH(QString, shownAddress);
        DocSnapshot top =
            page(QStringLiteral("http://host/a/top.html"), {el("IFRAME", {{"src", src}})});
        top.frames.push_back({3, true, nullptr});
        top.activeIndex = 3;
        const QString expected =
            "<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
            "charset=iso-8859-1\"><title>Cross-Domain Referenz</title>\r\n"
            "<style><!--\r\n"
            "body,td,font,.p,a{font-family: Verdana; color: #000000; FONT-SIZE: 8pt}\r\n"
            "a,a:link{color:#3183FF; FONT-WEIGHT: bold; FONT-SIZE: 8pt}\r\n"
            "a:visited{color:#3183FF; FONT-WEIGHT: bold; FONT-SIZE: 8pt}\r\n"
            "a:active{color:#3183FF; FONT-WEIGHT: bold; FONT-SIZE: 8pt}\r\n"
            "a:hover{color: black; FONT-WEIGHT: bold; FONT-SIZE: 8pt}\r\n"
            "//--></style>\r\n</HEAD>\r\n<body>\r\n"
            "<p><table border=0><tr><td nowrap=true><B>URL: </B></td><td nowrap=true "
            "align=left><a href='" +
            shownAddress + "'>" + shownAddress +
            "</a></td></tr>\r\n"
            "<tr><td colspan=2><B>DOM-Zugriff verweigert !</B></td></tr></table>\r\n"
            "</body></HTML>";
        StructureCounter counter;
        QCOMPARE(CreateHtmlStruct(top, counter), expected);
        QCOMPARE(counter.Value(), 0);
    }

    void unreadable()
    {
        DocSnapshot broken;
        broken.error = QStringLiteral("page gone");
        StructureCounter counter;
        QString error;
        QVERIFY(CreateHtmlStruct(broken, counter, &error).isEmpty());
        QCOMPARE(error, QStringLiteral("page gone"));

        // A frame nested too deep to be read is no refusal.
        DocSnapshot top = page(QStringLiteral("http://host/"), {el("FRAME")});
        top.frames.push_back({3, false, nullptr});
        top.activeIndex = 3;
        error.clear();
        QVERIFY(CreateHtmlStruct(top, counter, &error).isEmpty());
        QVERIFY(!error.isEmpty());
    }

    // Enabled entries as letters: C code, S text size, Z zoom, P pictures,
    // D structure, F feeds.
    void viewMenu_data()
    {
        QTest::addColumn<bool>("window");
        QTest::addColumn<bool>("html");
        QTest::addColumn<bool>("busy");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("type");
        QTest::addColumn<bool>("embed");
        QTest::addColumn<int>("feeds");
        QTest::addColumn<QString>("enabled");
        const QString web = QStringLiteral("http://h/p.html");
        QTest::newRow("no window")
            << false << true << false << web << "text/html" << false << 1 << "";
        QTest::newRow("busy") << true << true << true << web << "text/html" << false << 1 << "";
        QTest::newRow("XML document")
            << true << false << false << web << "text/xml" << false << 1 << "";
        QTest::newRow("HTML page")
            << true << true << false << web << "text/html" << false << 0 << "CSZPD";
        QTest::newRow("HTML page with feeds")
            << true << true << false << web << "text/html" << false << 2 << "CSZPDF";
        QTest::newRow("about:blank") << true << true << false << "about:blank"
                                     << "text/html" << false << 0 << "Z";
        QTest::newRow("ABOUT:BLANK with feeds") << true << true << false << "ABOUT:BLANK"
                                                << "text/html" << false << 1 << "ZF";
        QTest::newRow("about:") << true << true << false << "about:"
                                << "text/html" << false << 0 << "Z";
        QTest::newRow("http:///") << true << true << false << "http:///"
                                  << "text/html" << false << 0 << "Z";
        QTest::newRow("PDF") << true << true << false << web << "application/pdf" << true << 0
                             << "C";
        QTest::newRow("GIF") << true << true << false << web << "image/gif" << false << 0 << "CZPD";
        QTest::newRow("JPEG") << true << true << false << web << "image/jpeg" << false << 0
                              << "CZPD";
        QTest::newRow("PNG") << true << true << false << web << "image/png" << false << 0 << "CZPD";
        QTest::newRow("PNG with EMBED")
            << true << true << false << web << "image/png" << true << 0 << "CPD";
        QTest::newRow("HTML with EMBED")
            << true << true << false << web << "text/html" << true << 0 << "CSZPD";
        QTest::newRow("QuickTime")
            << true << true << false << web << "video/quicktime" << false << 0 << "CPD";
    }
    void viewMenu()
    {
        QFETCH(bool, window);
        QFETCH(bool, html);
        QFETCH(bool, busy);
        QFETCH(QString, url);
        QFETCH(QString, type);
        QFETCH(bool, embed);
        QFETCH(int, feeds);
        QFETCH(QString, enabled);
        DocSnapshot document = page(url, {});
        document.htmlDocument = html;
        document.contentType = type;
        if (embed)
            document.root.children[1].children.push_back(el("DIV", {}, {el("EMBED")}));
        const ViewMenuItems items = ViewMenuEnabling(window ? &document : nullptr, busy, feeds);
        QString letters;
        const std::pair<bool, QChar> flags[] = {{items.htmlCode, u'C'},  {items.textSize, u'S'},
                                                {items.zoom, u'Z'},      {items.pictureList, u'P'},
                                                {items.docStruct, u'D'}, {items.newsFeeds, u'F'}};
        for (const auto& [on, letter] : flags)
            if (on)
                letters += letter;
        QCOMPARE(letters, enabled);
    }
};

QTEST_GUILESS_MAIN(TstStructurePage)
#include "tst_structurepage.moc"
