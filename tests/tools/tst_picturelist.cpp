#include "tools/picturelist.h"

#include <QRegularExpression>
#include <QTest>

using namespace orv;

Q_DECLARE_METATYPE(orv::DocSnapshot)

namespace {

DocNode el(const QString& tag, const QString& attribute = {}, const QString& value = {})
{
    DocNode node;
    node.nodeName = tag;
    if (!attribute.isEmpty())
        node.attributes.insert(attribute, value);
    // The test pages use absolute sources, so resolved and written agree.
    node.src = node.attribute(u"src");
    return node;
}

DocSnapshot page(const QString& url, std::vector<DocNode> body, const QString& pathname = {})
{
    DocSnapshot snapshot;
    snapshot.valid = true;
    snapshot.htmlDocument = true;
    snapshot.url = url;
    snapshot.contentType = QStringLiteral("text/html");
    snapshot.protocol = url.left(url.indexOf(u':') + 1);
    snapshot.pathname = pathname;
    DocNode body_ = el(QStringLiteral("BODY"));
    body_.children = std::move(body);
    snapshot.root = el(QStringLiteral("HTML"));
    snapshot.root.children = {el(QStringLiteral("HEAD")), std::move(body_)};
    return snapshot;
}

const QString kRules =
    QStringLiteral("<style><!--\r\n"
                   "body,td,font,.p,a{font-family: Verdana; color: #000000; FONT-SIZE: 8pt}\r\n"
                   "a,a:link{color:#3183FF; FONT-WEIGHT: bold; FONT-SIZE: 8pt}\r\n"
                   "a:visited{color:#3183FF; FONT-WEIGHT: bold; FONT-SIZE: 8pt}\r\n"
                   "a:active{color:#3183FF; FONT-WEIGHT: bold; FONT-SIZE: 8pt}\r\n"
                   "a:hover{color: black; FONT-WEIGHT: bold; FONT-SIZE: 8pt}\r\n");

const QString kHead =
    "<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
    "charset=iso-8859-1\"><title>Bilderliste</title>\r\n" +
    kRules +
    "body{background-color: #FFFFFF; scrollbar-DarkShadow-Color: #C1C1C1;scrollbar-Track-Color: "
    "#FFFFFF;scrollbar-Face-Color:#FFFFFF;scrollbar-Shadow-Color: "
    "#000000;scrollbar-Highlight-Color:#FFFFFF;scrollbar-3dLight-Color:#C1C1C1}img{border-color:#"
    "3183FF}//--></style>\r\n</HEAD>\r\n<body>\r\n";

QString addressRow(const QString& address)
{
    return "<p><table border=0><tr><td nowrap=true><B>URL: </B></td><td nowrap=true "
           "align=left><a href='" +
           address + "'>" + address + "</a></td></tr>\r\n";
}

QString countRow(int count)
{
    return "<tr><td nowrap=true><B>Anzahl Bilder:</B></td><td nowrap=true align=left>" +
           QString::number(count) + "</td></tr></table>\r\n";
}

const QString kSortedStart =
    QStringLiteral("<table border=0><tr><td align='top'><B>Sortierte URL-Liste:</B></td></tr>\r\n"
                   "<tr><td nowrap=true><ul>");
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
        const QString html = CollectPicSrc(
            page(QStringLiteral("http://host/p.html"),
                 {el("IMG", "src", gif), el("P"), el("IMG", "src", gif), el("IMG", "src", gif)}));
        const QString expected =
            kHead + addressRow("http://host/p.html") + countRow(1) +
            "<table border=0>\r\n<tr><td align='top'><B>Bilderliste:</B></td></tr>\r\n<tr><td "
            "nowrap=true><ol type='1'>\r\n"
            "<li><a target='newform1' href='http://host/a.gif'><img align=absMiddle "
            "src='http://host/a.gif'></a><br>\r\n<B>SRC</B> = \"http://host/a.gif\" <br><br>\r\n"
            "</ol></td></tr>\r\n</table>" +
            kSortedStart +
            "<li><a target='newfrm1' href='http://host/a.gif'>http://host/a.gif</a>\r\n" + kEnd;
        QCOMPARE(html, expected);
    }

    void noPictures_data()
    {
        QTest::addColumn<DocSnapshot>("document");
        const QString url = QStringLiteral("http://host/p.html");
        QTest::newRow("text only") << page(url, {el("P"), el("TABLE")});
        QTest::newRow("only sources that do not count")
            << page(url, {el("IMG", "src", ""), el("IMG", "src", "http://host/dir/"),
                          el("TD", "background", "  ")});
        DocSnapshot xml = page(url, {el("IMG", "src", "http://host/a.gif")});
        xml.htmlDocument = false;
        QTest::newRow("not an HTML document") << xml;
    }
    void noPictures()
    {
        QFETCH(DocSnapshot, document);
        QCOMPARE(CollectPicSrc(document),
                 kHead + addressRow("http://host/p.html") + countRow(0) + kSortedStart + kEnd);
    }

    void sourcesSkipped_data()
    {
        QTest::addColumn<QStringList>("sources");
        QTest::addColumn<QStringList>("entries");
        const QString b = QStringLiteral("<B>SRC</B> = \"http://host/b.png\"");
        QTest::newRow("empty") << QStringList{"", "http://host/b.png"} << QStringList{b};
        QTest::newRow("blank") << QStringList{"http://host/b.png", "   "} << QStringList{b};
        QTest::newRow("ends with /")
            << QStringList{"http://host/", "http://host/pics/", "http://host/b.png"}
            << QStringList{b};
        QTest::newRow("ends with / and a blank")
            << QStringList{"http://host/pics/ ", "http://host/b.png"} << QStringList{b};
        QTest::newRow("letter case does not count")
            << QStringList{"http://host/b.png", "HTTP://HOST/B.PNG"} << QStringList{b};
    }
    void sourcesSkipped()
    {
        QFETCH(QStringList, sources);
        QFETCH(QStringList, entries);
        std::vector<DocNode> body;
        for (const QString& source : sources)
            body.push_back(el("IMG", "src", source));
        body.push_back(el("IMG"));
        QCOMPARE(CollectPictureEntries(page(QStringLiteral("http://host/"), std::move(body)))
                     .StrCollection(),
                 entries);
    }

    // One picture on a page: the numbered list's item and the sorted list's
    // item it gives.
    void onePicture_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("pathname");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("address");    // as written into href and src
        QTest::addColumn<QString>("shownValue"); // inside the entry text
        QTest::addColumn<QString>("linkText");   // of the sorted list

        const QString web = QStringLiteral("http://host/a/p.html");
        const QString local = QStringLiteral("file:///home/u/site/index.html");
        const QString path = QStringLiteral("/home/u/site/index.html");
        QTest::newRow("bg.gif on http://host") << "http://host"
                                               << ""
                                               << "TD"
                                               << "bg.gif"
                                               << "http://host/bg.gif"
                                               << "bg.gif"
                                               << "bg.gif";
        QTest::newRow("rooted background") << web << ""
                                           << "BODY"
                                           << "/img/bg.gif"
                                           << "http://host/img/bg.gif"
                                           << "/img/bg.gif"
                                           << "/img/bg.gif";
        QTest::newRow("background with its own server") << web << ""
                                                        << "TABLE"
                                                        << "https://cdn.example/x.gif"
                                                        << "https://cdn.example/x.gif"
                                                        << "https://cdn.example/x.gif"
                                                        << "https://cdn.example/x.gif";
        QTest::newRow("background with blanks") << web << ""
                                                << "TH"
                                                << " bg.gif "
                                                << "http://host/bg.gif"
                                                << " bg.gif "
                                                << " bg.gif ";
        QTest::newRow("local path keeps its path") << local << path << "TD"
                                                   << "/pics/a.gif"
                                                   << "file:///pics/a.gif"
                                                   << "/pics/a.gif"
                                                   << "/pics/a.gif";
        QTest::newRow("local, in the page's folder") << local << path << "BODY"
                                                     << "img\\bg.gif"
                                                     << "file:///home/u/site/img/bg.gif"
                                                     << "img\\bg.gif"
                                                     << "img\\bg.gif";
        QTest::newRow("local file address: its name in the page's folder")
            << local << path << "TD"
            << "file:///other/c.gif"
            << "file:///home/u/site/c.gif"
            << "file:///other/c.gif"
            << "file:///other/c.gif";
        QTest::newRow("background with markup") << web << ""
                                                << "TD"
                                                << "x.gif?a=1&b='<i>'"
                                                << "http://host/x.gif?a=1&amp;b=&#39;&lt;i&gt;&#39;"
                                                << "x.gif?a=1&amp;b=&#39;&lt;i&gt;&#39;"
                                                << "x.gif?a=1&amp;b=&#39;&lt;i&gt;&#39;";
        QTest::newRow("source with markup")
            << web << ""
            << "IMG"
            << "http://host/a.gif?x='1'&y=\"<b>\""
            << "http://host/a.gif?x=&#39;1&#39;&amp;y=&quot;&lt;b&gt;&quot;"
            << "http://host/a.gif?x=&#39;1&#39;&amp;y=&quot;&lt;b&gt;&quot;"
            << "http://host/a.gif?x=&#39;1&#39;&amp;y=&quot;&lt;b&gt;&quot;";
    }
    void onePicture()
    {
        QFETCH(QString, url);
        QFETCH(QString, pathname);
        QFETCH(QString, tag);
        QFETCH(QString, value);
        QFETCH(QString, address);
        QFETCH(QString, shownValue);
        QFETCH(QString, linkText);
        DocSnapshot document = page(url, {}, pathname);
        const QString attribute = tag == "IMG" ? "src" : "background";
        if (tag == "BODY")
            document.root.children[1].attributes.insert(attribute, value);
        else
            document.root.children[1].children.push_back(el(tag, attribute, value));
        const QString prefix = tag == "IMG" ? "<B>SRC</B> = \"" : "<B>BACKGROUND</B> = \"";

        const QString html = CollectPicSrc(document);
        QVERIFY(html.contains(countRow(1)));
        QVERIFY2(html.contains("<li><a target='newform1' href='" + address +
                               "'><img align=absMiddle src='" + address + "'></a><br>\r\n" +
                               prefix + shownValue + "\" <br><br>\r\n"),
                 qPrintable(html));
        QVERIFY2(html.contains(kSortedStart + "<li><a target='newfrm1' href='" + address + "'>" +
                               linkText + "</a>\r\n" + kEnd),
                 qPrintable(html));
    }

    void orderOfTheLists()
    {
        DocSnapshot document =
            page(QStringLiteral("http://host/p.html"),
                 {el("IMG", "src", "http://host/c.gif"), el("TABLE", "background", "t.gif"),
                  el("IMG", "src", "http://host/b.gif"), el("IMG", "src", "http://host/c.gif")});
        document.root.children[1].attributes.insert("background", "z.gif");
        const QString html = CollectPicSrc(document);
        QVERIFY(html.contains(countRow(4)));
        // Numbered in document order; sorted by entry text, so backgrounds
        // ("<B>B...") come before sources ("<B>S...").
        QCOMPARE(links(html), (QStringList{
                                  "newform1 http://host/z.gif",
                                  "newform2 http://host/c.gif",
                                  "newform3 http://host/t.gif",
                                  "newform4 http://host/b.gif",
                                  "newfrm1 http://host/t.gif",
                                  "newfrm2 http://host/z.gif",
                                  "newfrm3 http://host/b.gif",
                                  "newfrm4 http://host/c.gif",
                              }));
    }

    void focusedFrame()
    {
        DocSnapshot top = page(
            QStringLiteral("http://host/top.html"),
            {el("IMG", "src", "http://host/top.gif"), el("FRAME", "src", "http://host/f.html")});
        top.frames.push_back(
            {4, false,
             std::make_shared<DocSnapshot>(page(QStringLiteral("http://host/f.html"),
                                                {el("IMG", "src", "http://host/in.gif")}))});
        top.activeIndex = 4;
        const QString html = CollectPicSrc(top);
        QVERIFY(html.contains(addressRow("http://host/f.html") + countRow(1)));
        QCOMPARE(links(html),
                 (QStringList{"newform1 http://host/in.gif", "newfrm1 http://host/in.gif"}));
    }

    void refusedFrame_data()
    {
        QTest::addColumn<QString>("src");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("frameServer");
        QTest::newRow("own address") << "https://other.example/f.html?a=1&b=2"
                                     << "https://other.example/f.html?a=1&amp;b=2"
                                     << "https://other.example";
        QTest::newRow("no scheme") << "/f.html"
                                   << "http://host/f.html"
                                   << "";
        QTest::newRow("markup in the host") << "http://a<b>/f.html"
                                            << "http://a&lt;b&gt;/f.html"
                                            << "http://a&lt;b&gt;";
    }
    void refusedFrame()
    {
        QFETCH(QString, src);
        QFETCH(QString, address);
        QFETCH(QString, frameServer);
        DocSnapshot top =
            page(QStringLiteral("http://host/a/top.html"), {el("IFRAME", "src", src)});
        top.frames.push_back({3, true, nullptr});
        top.activeIndex = 3;
        const QString expected =
            "<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
            "charset=iso-8859-1\"><title>Cross-Domain Referenz</title>\r\n" +
            kRules + "//--></style>\r\n</HEAD>\r\n<body>\r\n" + addressRow(address) +
            "<tr><td nowrap=true><B>Cross-Domain Referenz:</B></td><td nowrap=true "
            "align=left>http://host -> " +
            frameServer +
            "</td></tr><tr><td colspan=2><B>DOM-Zugriff verweigert !</B></td></tr></table>\r\n"
            "</body></HTML>";
        QCOMPARE(CollectPicSrc(top), expected);
    }

    void unreadable()
    {
        DocSnapshot broken;
        broken.error = QStringLiteral("page gone");
        QString error;
        QVERIFY(CollectPicSrc(broken, &error).isEmpty());
        QCOMPARE(error, QStringLiteral("page gone"));
    }
};

QTEST_GUILESS_MAIN(TstPictureList)
#include "tst_picturelist.moc"
