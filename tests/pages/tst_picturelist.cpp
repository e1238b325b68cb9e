#include "pages/picturelist.h"

#include <QRegularExpression>
#include <QTest>

using namespace orv;

namespace {

DocNode el(const QString& tag, const QString& attribute = {}, const QString& value = {})
{
    DocNode node;
    node.nodeName = tag;
    if (!attribute.isEmpty())
        node.attributes.insert(attribute, value);
    node.src = node.attribute(u"src"); // absolute in these pages
    return node;
}

DocSnapshot page(const QString& url, std::vector<DocNode> body, const QString& pathname = {})
{
    DocSnapshot snapshot;
    snapshot.valid = snapshot.htmlDocument = true;
    snapshot.url = url;
    snapshot.protocol = url.left(url.indexOf(u':') + 1);
    snapshot.pathname = pathname;
    snapshot.root.nodeName = QStringLiteral("HTML");
    snapshot.root.children = {el("HEAD"), el("BODY")};
    snapshot.root.children[1].children = std::move(body);
    return snapshot;
}

const QString kRules =
    QStringLiteral("<style><!--\r\n"
                   "body,td,font,.p,a{font-family: Verdana; color: #000000; FONT-SIZE: 8pt}\r\n"
                   "a,a:link{color:#3183FF; FONT-WEIGHT: bold; FONT-SIZE: 8pt}\r\n"
                   "a:visited{color:#3183FF; FONT-WEIGHT: bold; FONT-SIZE: 8pt}\r\n"
                   "a:active{color:#3183FF; FONT-WEIGHT: bold; FONT-SIZE: 8pt}\r\n"
                   "a:hover{color: black; FONT-WEIGHT: bold; FONT-SIZE: 8pt}\r\n");

QString head(const QString& title, const QString& moreRules)
{
    return "<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
           "charset=iso-8859-1\"><title>" +
           title + "</title>\r\n" + kRules + moreRules + "//--></style>\r\n</HEAD>\r\n<body>\r\n";
}

// The picture list's head, its address row and its count row.
QString listStart(const QString& address, int count)
{
    return head("Bilderliste",
                "body{background-color: #FFFFFF; scrollbar-DarkShadow-Color: "
                "#C1C1C1;scrollbar-Track-Color: #FFFFFF;scrollbar-Face-Color:#FFFFFF;scrollbar-"
                "Shadow-Color: #000000;scrollbar-Highlight-Color:#FFFFFF;scrollbar-3dLight-Color:#"
                "C1C1C1}img{border-color:#3183FF}") +
           "<p><table border=0><tr><td nowrap=true><B>URL: </B></td><td nowrap=true "
           "align=left><a href='" +
           address + "'>" + address +
           "</a></td></tr>\r\n<tr><td nowrap=true><B>Anzahl Bilder:</B></td><td nowrap=true "
           "align=left>" +
           QString::number(count) + "</td></tr></table>\r\n";
}

const QString kNumbered = QStringLiteral(
    "<table border=0>\r\n<tr><td align='top'><B>Bilderliste:</B></td></tr>\r\n<tr><td "
    "nowrap=true><ol type='1'>\r\n");
const QString kSorted =
    QStringLiteral("</ol></td></tr>\r\n</table><table border=0><tr><td align='top'><B>Sortierte "
                   "URL-Liste:</B></td></tr>\r\n<tr><td nowrap=true><ul>");
const QString kEnd = QStringLiteral("</ul></td></tr></table></body></HTML>");

// "target address" of every link of the page, in order.
QStringList links(const QString& html)
{
    static const QRegularExpression link(QStringLiteral("<a target='(\\w+)' href='([^']*)'"));
    QStringList found;
    for (const auto& match : link.globalMatch(html))
        found << match.captured(1) + u' ' + match.captured(2);
    return found;
}

} // namespace

class TstPictureList : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sameImageThreeTimes()
    {
        const QString gif = QStringLiteral("http://host/a.gif");
        QCOMPARE(CollectPicSrc(
                     page("http://host/p.html", {el("IMG", "src", gif), el("P"),
                                                 el("IMG", "src", gif), el("IMG", "src", gif)})),
                 listStart("http://host/p.html", 1) + kNumbered +
                     "<li><a target='newform1' href='http://host/a.gif'><img align=absMiddle "
                     "src='http://host/a.gif'></a><br>\r\n<B>SRC</B> = \"http://host/a.gif\" "
                     "<br><br>\r\n" +
                     kSorted +
                     "<li><a target='newfrm1' href='http://host/a.gif'>http://host/a.gif</a>\r\n" +
                     kEnd);
    }

    void noPictures_data()
    {
        QTest::addColumn<QStringList>("sources");
        QTest::addColumn<bool>("html");
        QTest::newRow("text only") << QStringList{} << true;
        QTest::newRow("empty, blank, ending with /")
            << QStringList{"", "  ", "http://host/", "http://host/pics/ "} << true;
        QTest::newRow("not an HTML document") << QStringList{"http://host/a.gif"} << false;
    }
    void noPictures()
    {
        QFETCH(QStringList, sources);
        QFETCH(bool, html);
        DocSnapshot document = page("http://host/p.html", {el("IMG"), el("TD", "background", " ")});
        for (const QString& source : sources)
            document.root.children[1].children.push_back(el("IMG", "src", source));
        document.htmlDocument = html;
        const QString sorted = kSorted.mid(kSorted.indexOf(u"<table"));
        QCOMPARE(CollectPicSrc(document), listStart("http://host/p.html", 0) + sorted + kEnd);
    }

    // One picture: the numbered list's item and the sorted list's item.
    void onePicture_data()
    {
        QTest::addColumn<QString>("url"); // a local page is "/home/u/site/index.html"
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("address");    // as written into href and src
        QTest::addColumn<QString>("shownValue"); // in the entry text and the sorted list
        const QString web = QStringLiteral("http://host/a/p.html");
        const QString local = QStringLiteral("file:///home/u/site/index.html");
        // clang-format off
        QTest::newRow("bg.gif on http://host") << "http://host" << "TD" << "bg.gif" << "http://host/bg.gif" << "bg.gif";
        QTest::newRow("rooted") << web << "BODY" << "/i/bg.gif" << "http://host/i/bg.gif" << "/i/bg.gif";
        QTest::newRow("own server") << web << "TABLE" << "https://cdn/x.gif" << "https://cdn/x.gif" << "https://cdn/x.gif";
        QTest::newRow("blanks") << web << "TH" << " bg.gif " << "http://host/bg.gif" << " bg.gif ";
        QTest::newRow("local path kept") << local << "TD" << "/pics/a.gif" << "file:///pics/a.gif" << "/pics/a.gif";
        QTest::newRow("local, page's folder") << local << "BODY" << "i\\bg.gif" << "file:///home/u/site/i/bg.gif" << "i\\bg.gif";
        QTest::newRow("local file address") << local << "TD" << "file:///x/c.gif" << "file:///home/u/site/c.gif" << "file:///x/c.gif";
        QTest::newRow("markup") << web << "TD" << "x.gif?a&'<i>'" << "http://host/x.gif?a&amp;&#39;&lt;i&gt;&#39;" << "x.gif?a&amp;&#39;&lt;i&gt;&#39;";
        QTest::newRow("source markup") << web << "IMG" << "http://h/\"<b>\"" << "http://h/&quot;&lt;b&gt;&quot;" << "http://h/&quot;&lt;b&gt;&quot;";
        // clang-format on
    }
    void onePicture()
    {
        QFETCH(QString, url);
        QFETCH(QString, tag);
        QFETCH(QString, value);
        QFETCH(QString, address);
        QFETCH(QString, shownValue);
        DocSnapshot document = page(url, {}, QStringLiteral("/home/u/site/index.html"));
        const bool image = tag == "IMG";
        if (tag == "BODY")
            document.root.children[1].attributes.insert("background", value);
        else
            document.root.children[1].children.push_back(
                el(tag, image ? "src" : "background", value));
        QCOMPARE(CollectPicSrc(document),
                 listStart(url, 1) + kNumbered + "<li><a target='newform1' href='" + address +
                     "'><img align=absMiddle src='" + address + "'></a><br>\r\n" +
                     (image ? "<B>SRC</B> = \"" : "<B>BACKGROUND</B> = \"") + shownValue +
                     "\" <br><br>\r\n" + kSorted + "<li><a target='newfrm1' href='" + address +
                     "'>" + shownValue + "</a>\r\n" + kEnd);
    }

    void orderOfTheLists()
    {
        DocSnapshot document =
            page("http://host/p.html",
                 {el("IMG", "src", "http://host/c.gif"), el("TABLE", "background", "t.gif"),
                  el("IMG", "src", "http://host/b.gif"), el("IMG", "src", "http://HOST/C.GIF")});
        document.root.children[1].attributes.insert("background", "z.gif");
        // Numbered as found; sorted by entry text, backgrounds ("<B>B") first.
        QCOMPARE(links(CollectPicSrc(document)),
                 (QStringList{"newform1 http://host/z.gif", "newform2 http://host/c.gif",
                              "newform3 http://host/t.gif", "newform4 http://host/b.gif",
                              "newfrm1 http://host/t.gif", "newfrm2 http://host/z.gif",
                              "newfrm3 http://host/b.gif", "newfrm4 http://host/c.gif"}));
    }

    void frames()
    {
        DocSnapshot top = page("http://host/top.html", {el("FRAME", "src", "http://a<b>/f")});
        top.activeIndex = 3;
        top.frames = {{3, false,
                       std::make_shared<DocSnapshot>(
                           page("http://host/f.html", {el("IMG", "src", "http://host/in.gif")}))}};
        QVERIFY(CollectPicSrc(top).startsWith(listStart("http://host/f.html", 1)));

        top.frames = {{3, false, nullptr}}; // too deep to be read
        QString error;
        QVERIFY(CollectPicSrc(top, &error).isEmpty() && !error.isEmpty());

        top.frames = {{3, true, nullptr}};
        QCOMPARE(
            CollectPicSrc(top),
            head("Cross-Domain Referenz", {}) +
                "<p><table border=0><tr><td nowrap=true><B>URL: </B></td><td nowrap=true "
                "align=left><a href='http://a&lt;b&gt;/f'>http://a&lt;b&gt;/f</a></td></"
                "tr>\r\n<tr><td nowrap=true><B>Cross-Domain Referenz:</B></td><td "
                "nowrap=true align=left>http://host -> http://a&lt;b&gt;</td></tr><tr><td "
                "colspan=2><B>DOM-Zugriff verweigert !</B></td></tr></table>\r\n</body></HTML>");
    }
};

QTEST_GUILESS_MAIN(TstPictureList)
#include "tst_picturelist.moc"
