#include "pages/structurepage.h"

#include <QRegularExpression>
#include <QTest>

using namespace orv;

Q_DECLARE_METATYPE(orv::DocNode)

namespace {

using Attrs = QList<QPair<QString, QString>>;

DocNode el(const QString& tag, const Attrs& attrs = {}, std::vector<DocNode> children = {})
{
    DocNode node{tag, {}, {}, {}, {}, {}, std::move(children)};
    for (const auto& [name, value] : attrs)
        node.attributes.insert(name, value);
    node.src = node.attribute(u"src"); // absolute in these pages
    return node;
}

DocSnapshot page(const QString& url, std::vector<DocNode> body)
{
    DocSnapshot snapshot;
    snapshot.valid = snapshot.htmlDocument = true;
    snapshot.url = url;
    snapshot.contentType = QStringLiteral("text/html");
    snapshot.root = el("HTML", {}, {el("HEAD"), el("BODY", {}, std::move(body))});
    return snapshot;
}

const QString kNbsp3 = QStringLiteral(
    "<span class=klam>&nbsp;</span><span class=klam>&nbsp;</span><span class=klam>&nbsp;</span>");

QString attr(const QString& label, const QString& value, bool shown)
{
    return " <span class=tx>" + label +
           "=</span><span style='cursor:hand' onclick='javascript: toggleValue(this);'>" +
           (shown ? "<span class=val style='display:none'>*</span><span class=val "
                    "style='display:inline'>'"
                  : "<span class=val>*</span><span class=val style='display:none'>'") +
           value + "'</span></span>";
}

QString leafLine(int indent, const QString& tagAndAttrs)
{
    return "<div class=knoten style='text-indent: " + QString::number(indent) + "em'>" + kNbsp3 +
           "<span class=klam>&lt;</span>" + tagAndAttrs + "/<span class=klam>&gt;</span></div>\r\n";
}

// Section numbers in the order their opening lines appear.
QList<int> sections(const QString& html)
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
        const QString expected = QStringLiteral(
            "<HTML><HEAD><TITLE>HTML Dokumentstruktur</TITLE><meta http-equiv='Content-Type' "
            "content='text/html; charset=utf-8'>\r\n<script language='JavaScript'>function "
            "togglediv(oDiv, oDest){if(oDest.style.display == 'none'){oDiv.innerText = '-'; "
            "eval(\"oDest.style.display = 'inline'\")} else {oDiv.innerText = '+'; "
            "eval(\"oDest.style.display = 'none'\")} }function toggleValue(it){if "
            "(it.children.item(1).style.display == 'none') {it.children.item(0).style.display "
            "='none'; it.children.item(1).style.display = 'inline';} else "
            "{it.children.item(0).style.display = 'inline'; it.children.item(1).style.display = "
            "'none';}}</script>\r\n<style><!--\r\n"
            "body,td,font,.p,a{font-family: Verdana; color: #000000; FONT-SIZE: 8pt}\r\n"
            "a,a:link{color:#3183FF; FONT-WEIGHT: bold; FONT-SIZE: 8pt}\r\n"
            "a:visited{color:#3183FF; FONT-WEIGHT: bold; FONT-SIZE: 8pt}\r\n"
            "a:active{color:#3183FF; FONT-WEIGHT: bold; FONT-SIZE: 8pt}\r\n"
            "a:hover{color: black; FONT-WEIGHT: bold; FONT-SIZE: 8pt}\r\n"
            "body{background-color: #FFFFFF; scrollbar-DarkShadow-Color: "
            "#C1C1C1;scrollbar-Track-Color: #FFFFFF;scrollbar-Face-Color:#FFFFFF;scrollbar-Shadow-"
            "Color: #000000;scrollbar-Highlight-Color:#FFFFFF;scrollbar-3dLight-Color:#C1C1C1}."
            "klam{color:blue;font-family: Verdana ;font-weight:bold}\r\n.pm{color:red;font-family: "
            "Courier ;font-weight:bold;text-decoration:none}.knoten{font-family: Courier; "
            "color:#990099; font-weight:normal; FONT-SIZE: 10pt}.tx{font-family: "
            "Verdana;font-weight:bold; color:#000000;}.val{font-family: Verdana;font-weight:bold; "
            "color:red;}//--></style>\r\n</HEAD><BODY>\r\n<b>URL: </b><a "
            "href=\"http://h/?a&amp;b\" "
            "target='_top'>http://h/?a&amp;b</a><br><br>\r\n\r\n"
            "<div class=knoten style='text-indent: 0em'><span class=pm "
            "onmouseover=\"this.style.cursor='hand'\" onclick=\"javascript: togglediv(this, d0);\" "
            ">-</span><span class=klam>&nbsp;</span><span class=klam>&lt;</span>HTML<span "
            "class=klam>&gt;</span></div>\r\n<div id='d0'>%1"
            "<div class=knoten style='text-indent: 2em'><span class=pm "
            "onmouseover=\"this.style.cursor='hand'\" onclick=\"javascript: togglediv(this, d1);\" "
            ">-</span><span class=klam>&nbsp;</span><span class=klam>&lt;</span>BODY<span "
            "class=klam>&gt;</span></div>\r\n<div id='d1'><div class=knoten style='text-indent: "
            "2em'>%2</div><div class=knoten style='text-indent: 2em'>%3<span "
            "class=klam>&lt;</span>/BODY<span class=klam>&gt;</span></div>\r\n</div><div "
            "class=knoten style='text-indent: 0em'><span class=pm>&nbsp;</span><span "
            "class=klam>&nbsp;</span><span class=klam>&lt;</span>/HTML<span "
            "class=klam>&gt;</span></div></div>\r\n</BODY></HTML>");
        StructureCounter counter;
        const DocSnapshot document = page(QStringLiteral("http://h/?a&b"), {el("P")});
        QCOMPARE(CreateHtmlStruct(document, counter),
                 expected.arg(leafLine(2, "HEAD"), leafLine(4, "P"), kNbsp3));
        // The next view goes on counting.
        QCOMPARE(sections(CreateHtmlStruct(document, counter)), (QList<int>{0, 2}));
    }

    void attributes_data()
    {
        QTest::addColumn<DocNode>("element");
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::newRow("order") << el("LINK", {{"class", "c"}, {"type", "t"}, {"src", "s"}, {"href", "h"}, {"rel", "r"}, {"title", "T"}, {"name", "n"}, {"id", "i"}, {"lang", "de"}})
            << "LINK" + attr("ID", "i", true) + attr("NAME", "n", true) + attr("TITLE", "T", true) + attr("REL", "r", false) + attr("HREF", "h", false) + attr("SRC", "s", false) + attr("TYPE", "t", false) + attr("CLASS", "c", false);
        QTest::newRow("markup and quotes as text") << el("A", {{"title", "\"x\" <b>it's</b> &"}, {"href", " "}})
            << "A" + attr("TITLE", "&quot;x&quot; &lt;b&gt;it&#39;s&lt;/b&gt; &amp;", true);
        QTest::newRow("IMG: no HREF") << el("IMG", {{"href", "h"}, {"src", "s"}}) << "IMG" + attr("SRC", "s", false);
        QTest::newRow("IFRAME: no TYPE") << el("IFRAME", {{"type", "t"}, {"id", " i "}}) << "IFRAME" + attr("ID", " i ", true);
        // clang-format on
    }
    void attributes()
    {
        QFETCH(DocNode, element);
        QFETCH(QString, expected);
        StructureCounter counter;
        QCOMPARE(RenderElement(element, 6, counter), leafLine(6, expected));
    }

    void sectionsInPostOrder()
    {
        const DocNode tree = el(
            "DIV", {}, {el("UL", {}, {el("LI"), el("LI", {}, {el("B")})}), el("P", {}, {el("I")})});
        StructureCounter counter;
        counter.SetValue(5);
        // LI 6, UL 7, P 8, DIV 9, shown parents first.
        QCOMPARE(sections(RenderElement(tree, 2, counter)), (QList<int>{9, 7, 6, 8}));
        QCOMPARE(counter.Value(), 9);
    }

    void frames()
    {
        DocSnapshot top = page(QStringLiteral("http://host/a/top.html"), {el("IFRAME")});
        top.activeIndex = 3;
        auto inner = std::make_shared<DocSnapshot>(page(QStringLiteral("http://host/f"), {}));
        top.frames = {{3, false, inner}};
        StructureCounter counter;
        QCOMPARE(CreateHtmlStruct(top, counter), CreateHtmlStruct(*inner, counter));

        top.frames = {{3, true, nullptr}};
        top.root.children[1].children[0].src = QStringLiteral("/f?a=1&b='<2>'");
        QCOMPARE(CreateHtmlStruct(top, counter),
                 QStringLiteral(
                     "<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
                     "charset=iso-8859-1\"><title>Cross-Domain Referenz</title>\r\n<style><!--\r\n"
                     "body,td,font,.p,a{font-family: Verdana; color: #000000; FONT-SIZE: 8pt}\r\n"
                     "a,a:link{color:#3183FF; FONT-WEIGHT: bold; FONT-SIZE: 8pt}\r\n"
                     "a:visited{color:#3183FF; FONT-WEIGHT: bold; FONT-SIZE: 8pt}\r\n"
                     "a:active{color:#3183FF; FONT-WEIGHT: bold; FONT-SIZE: 8pt}\r\n"
                     "a:hover{color: black; FONT-WEIGHT: bold; FONT-SIZE: 8pt}\r\n"
                     "//--></style>\r\n</HEAD>\r\n<body>\r\n<p><table border=0><tr><td "
                     "nowrap=true><B>URL: </B></td><td nowrap=true align=left><a "
                     "href='http://host/f?a=1&amp;b=&#39;&lt;2&gt;&#39;'>http://host/"
                     "f?a=1&amp;b=&#39;&lt;2&gt;&#39;</a></td></tr>\r\n<tr><td colspan=2><B>DOM-"
                     "Zugriff verweigert !</B></td></tr></table>\r\n</body></HTML>"));
    }

    // The document is "url content-type [embed|busy|xml]", or empty for no
    // window; enabled entries as letters: C code, S text size, Z zoom,
    // P pictures, D structure, F feeds.
    // The source view's address: the page, or its focused frame with the
    // server or the page's folder put in front of a relative src.
    void sourceViewAddress_data()
    {
        QTest::addColumn<QString>("frameSrc"); // empty: no frame is active
        QTest::addColumn<QString>("expected");
        QTest::newRow("the page") << QString() << "http://host/dir/page.html";
        QTest::newRow("frame from the root") << "/f.html"
                                             << "http://host/f.html";
        QTest::newRow("frame in the folder") << "sub/f.html"
                                             << "http://host/dir/sub/f.html";
        QTest::newRow("frame elsewhere") << "HTTPS://other/x"
                                         << "HTTPS://other/x";
        QTest::newRow("local frame") << "file:///tmp/a.html"
                                     << "file:///tmp/a.html";
    }
    void sourceViewAddress()
    {
        QFETCH(QString, frameSrc);
        QFETCH(QString, expected);
        const QString url = QStringLiteral("http://host/dir/page.html");
        DocSnapshot document = page(url, {el("IFRAME", {{"src", frameSrc}})});
        if (!frameSrc.isEmpty())
            document.activeIndex = 3; // HTML, HEAD, BODY, IFRAME
        QCOMPARE(SourceViewAddress(document, url), expected);
    }
    // A page on a scheme of its own (a page the program made) is its own
    // source address.
    void sourceViewAddressOfOtherSchemes_data()
    {
        QTest::addColumn<QString>("url");
        QTest::newRow("page the program made") << "orvane://gen/0123456789abcdef";
        QTest::newRow("ftp") << "ftp://host/dir/page.html";
    }
    void sourceViewAddressOfOtherSchemes()
    {
        QFETCH(QString, url);
        QCOMPARE(SourceViewAddress(page(url, {}), url), url);
    }

    void viewMenu_data()
    {
        QTest::addColumn<QString>("document");
        QTest::addColumn<int>("feeds");
        QTest::addColumn<QString>("enabled");
        // clang-format off
        QTest::newRow("no window") << "" << 1 << "";
        QTest::newRow("busy") << "http://h/ text/html busy" << 1 << "";
        QTest::newRow("XML") << "http://h/ text/xml xml" << 1 << "";
        QTest::newRow("HTML") << "http://h/ text/html" << 0 << "CSZPD";
        QTest::newRow("HTML, feeds") << "http://h/ text/html" << 2 << "CSZPDF";
        QTest::newRow("about:blank") << "about:blank text/html" << 0 << "Z";
        QTest::newRow("ABOUT:BLANK, feeds") << "ABOUT:BLANK text/html" << 1 << "ZF";
        QTest::newRow("http:///") << "http:/// text/html" << 0 << "Z";
        QTest::newRow("PDF") << "http://h/ application/pdf embed" << 0 << "C";
        QTest::newRow("JPEG") << "http://h/ image/jpeg" << 0 << "CZPD";
        QTest::newRow("PNG, EMBED") << "http://h/ image/png embed" << 0 << "CPD";
        QTest::newRow("HTML, EMBED") << "http://h/ text/html embed" << 0 << "CSZPD";
        QTest::newRow("QuickTime") << "http://h/ video/quicktime" << 0 << "CPD";
        // clang-format on
    }
    void viewMenu()
    {
        QFETCH(QString, document);
        QFETCH(int, feeds);
        QFETCH(QString, enabled);
        const QStringList words = document.split(u' ');
        DocSnapshot snapshot = page(words[0], {});
        snapshot.contentType = words.value(1);
        snapshot.htmlDocument = !words.contains("xml");
        if (words.contains("embed"))
            snapshot.root.children[1].children.push_back(el("DIV", {}, {el("EMBED")}));
        const ViewMenuItems items = ViewMenuEnabling(document.isEmpty() ? nullptr : &snapshot,
                                                     words.contains("busy"), feeds);
        const bool on[] = {items.htmlCode,    items.textSize,  items.zoom,
                           items.pictureList, items.docStruct, items.newsFeeds};
        QString letters;
        for (int i = 0; i < 6; ++i)
            letters += on[i] ? QString(QChar::fromLatin1("CSZPDF"[i])) : QString();
        QCOMPARE(letters, enabled);
    }
};

QTEST_GUILESS_MAIN(TstStructurePage)
#include "tst_structurepage.moc"
