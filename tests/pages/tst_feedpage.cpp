#include "pages/feedpage.h"

#include "common/corpus.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTest>
#include <QUrl>

using namespace orv;

Q_DECLARE_METATYPE(orv::FeedOutcome)

namespace {

const QString kCorpus = QStringLiteral(ORVANE_TEST_CORPUS "/feeds");
const QString kSource = QStringLiteral("http://127.0.0.1/feed.xml");

// The page around a body, as laid out (line breaks are CRLF).
QString page(const QString& title, const QString& body)
{
    static const char head[] = R"(<html>
<head><title>%1</title>
<meta http-equiv='Content-Type' content='text/html; charset=utf-8'><style><!--
body,b,td,font,p,a{font-family: Verdana,Arial,Helvetica,sans-serif,'MS sans serif'; color: #000000; FONT-SIZE: 8pt}a,a:link{color:#3183FF; text-Decoration: none; FONT-WEIGHT: bold; FONT-SIZE: 8pt}
a:visited{color:#3183FF; text-Decoration: none; FONT-WEIGHT: bold; FONT-SIZE: 8pt}
a:active{color:#3183FF; text-Decoration: none; FONT-WEIGHT: bold; FONT-SIZE: 8pt}
a:hover{color: black; text-Decoration: none; FONT-WEIGHT: bold; FONT-SIZE: 8pt}
body{font-family: Verdana,Arial,Helvetica,sans-serif,'MS sans serif'; background-color: #FFFFFF}
h1{MARGIN-TOP: 0px; MARGIN-BOTTOM: 5px; font-family: Verdana,Arial,Helvetica,sans-serif,'MS sans serif'; color: #000000; FONT-WEIGHT: bold; FONT-SIZE: 11pt}
h2{MARGIN-TOP: 0px; MARGIN-BOTTOM: 5px; font-family: Verdana,Arial,Helvetica,sans-serif,'MS sans serif'; color: #000000; FONT-WEIGHT: bold; FONT-SIZE: 9pt}
h3{MARGIN-TOP: 0px; MARGIN-BOTTOM: 5px; font-family: Verdana,Arial,Helvetica,sans-serif,'MS sans serif'; color: #000000; FONT-WEIGHT: bold; FONT-SIZE: 10pt}
h4{MARGIN-TOP: 0px; MARGIN-BOTTOM: 5px; font-family: Verdana,Arial,Helvetica,sans-serif,'MS sans serif'; color: #000000; FONT-WEIGHT: bold; FONT-SIZE: 8pt}
.toggle{TEXT-DECORATION: none; align: center;border-left-color: #C1C1C1; border-top-color: #C1C1C1; border-style: solid; border-width: 1px; font-family: 'Courier New'; color: #000000; background-color:white; FONT-WEIGHT: bold; FONT-SIZE: 12px}
.itemborder{border-left-color: #C1C1C1; border-top-color: #C1C1C1; width:318px;margin-height: 3px; background-color: white; border-bottom-color: black; border-right-color: black; border-width: 1px; border-style: none}
.hdborder{width:318px;border-width:1px;border-style:solid;border-left-color: #C1C1C1; border-top-color: #C1C1C1;border-bottom-color: black; border-right-color: black}
.smallbr{margin-height: 3px}
.dfont{font-size:9pt}body{margin-left: 10px;margin-right: 10px;margin-bottom: 16px;margin-top: 16px;background-color: #FFFFFF; scrollbar-DarkShadow-Color: #C1C1C1;scrollbar-Track-Color: #FFFFFF;scrollbar-Face-Color:#FFFFFF;scrollbar-Shadow-Color:#000000;scrollbar-Highlight-Color:#FFFFFF;scrollbar-3dLight-Color:#C1C1C1}//--></style>
<script language='JavaScript'>
function togglediv(oDiv, oDest, oT){if(oDiv.innerText == '-'){oDiv.innerText = '+'; eval("oDest.style.display = 'none'")} else {oDiv.innerText = '-'; eval("oDest.style.display = 'inline'")} }</script></head><body>)";
    return QString::fromLatin1(head).replace(u'\n', QStringLiteral("\r\n")).arg(title) + body +
           "</body></html>";
}

const QString kSpacer = QStringLiteral("<table style='visibility: none; border-style: none' "
                                       "border=1 cellspacing='2px' cellpadding='2px'><tr><td>"
                                       "</td></tr></table>");

QString header(const QString& h1, const QString& imageCell)
{
    return "<div class='hdborder'><table border='0' width='318px' cellspacing='0px' "
           "cellpadding='5px'><tr><td><h1>" +
           h1 + "</h1></td><td valign=top align=right>" + imageCell + "</td></tr></table></div>" +
           kSpacer;
}

QString item(int n, const QString& h3, const QString& descriptionAndBlank, const QString& href)
{
    const QString k = QString::number(n);
    return "<div class='itemborder'><table border=0 width='318px' cellspacing='0px' "
           "cellpadding='5px'><tr><td align=left width='283px'><h3>" +
           h3 +
           "</h3></td><td align=center valign=top width='15px'><div "
           "onmouseover=\"{this.style.cursor='hand'}\" onclick =\"javascript: togglediv(this, dr" +
           k + ", 't" + k + "');\" class='toggle'>-</div></td></tr><tr id='dr" + k +
           "'><td class='dfont' width='298' colspan=2>" + descriptionAndBlank +
           "\r\n<a class='lnk' href=\"" + href + "\" target=\"frm" + k +
           "\">\u2022\u2022\u2022</a></td></tr></table></div>" + kSpacer;
}

QByteArray rss(const QByteArray& channelBody)
{
    return "<?xml version=\"1.0\"?>\n<rss version=\"2.0\"><channel>" + channelBody +
           "</channel></rss>";
}

} // namespace

class TstFeedPage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void renders_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("expected");

        QTest::newRow("RSS, image, item without description after one with")
            << rss("\n  <title>\n   News &amp; more\n  </title>\n"
                   "  <image><url>http://h/logo.png</url></image>\n"
                   "  <item><title>First &lt;b&gt;bold&lt;/b&gt;</title>"
                   "<description><![CDATA[Text <i>a</i> & b]]></description>"
                   "<link>http://h/1</link></item>\n"
                   "  <item><link> http://h/2 </link><title>Second</title></item>\n")
            << "RSS"
            << "News & more [RSS]"
            << page("News &amp; more", "<center>" +
                                           header("News & more", "<img src='http://h/logo.png'>") +
                                           item(1, "First &lt;b&gt;bold&lt;/b&gt;",
                                                "Text &lt;i&gt;a&lt;/i&gt; & b ", "http://h/1") +
                                           item(2, "Second", "", "http://h/2") + "</center>");

        QTest::newRow("RSS without items or image")
            << rss("<title>Leer</title><image><title>no url</title></image>") << "RSS"
            << "Leer [RSS]" << page("Leer", "<center>" + header("Leer", "&nbsp;") + "</center>");

        QTest::newRow("RDF: items beside the channel, image by resource")
            << QByteArray(
                   "<?xml version=\"1.0\"?>\n"
                   "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" "
                   "xmlns=\"http://purl.org/rss/1.0/\">\n"
                   "<channel><title>Eins</title><image rdf:resource=\"http://h/i.gif\"/>"
                   "<item><title>inside channel</title><link>x</link></item></channel>\n"
                   "<image rdf:about=\"http://h/i.gif\"><url>http://h/other.gif</url></image>\n"
                   "<item><title>A</title><link>http://h/a?x=1&amp;y=2</link>"
                   "<description>d</description></item>\n"
                   "</rdf:RDF>")
            << "RDF"
            << "Eins [RDF]"
            << page("Eins", "<center>" + header("Eins", "<img src='http://h/i.gif'>") +
                                item(1, "A", "d ", "http://h/a?x=1&amp;y=2") + "</center>");

        QTest::newRow("Atom: content, not summary; link href")
            << QByteArray("<feed xmlns=\"http://www.w3.org/2005/Atom\"><title>Blog</title>"
                          "<entry><title>E1</title><summary>s</summary>"
                          "<link rel=\"alternate\" href=\"http://h/e1\"/>"
                          "<link href=\"http://h/second\"/></entry>"
                          "<entry><title type=\"html\">&lt;em&gt;E2&lt;/em&gt;</title>"
                          "<content type=\"xhtml\"><div>c <b>2</b></div></content>"
                          "<link href=\"http://h/e2\"/></entry></feed>")
            << "ATOM"
            << "Blog [ATOM]"
            << page("Blog",
                    "<center>" + header("Blog", "&nbsp;") + item(1, "E1", "", "http://h/e1") +
                        item(2, "&lt;em&gt;E2&lt;/em&gt;", "c 2 ", "http://h/e2") + "</center>");
    }
    void renders()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QString, type);
        QFETCH(QString, caption);
        QFETCH(QString, expected);
        const FeedPage result = RenderFeed(xml, kSource);
        QCOMPARE(result.outcome, FeedOutcome::Page);
        QVERIFY(result.SetsCaption());
        QCOMPARE(result.type, type);
        QCOMPARE(result.caption, caption);
        QCOMPARE(QString::fromUtf8(result.html), expected);
    }

    // Outside text never turns into markup, and reads back as it stands.
    void escapesOutsideText_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("present");
        QTest::addColumn<QString>("absent");

        QTest::newRow("title leaving <title>")
            << rss("<title>&lt;/title&gt;&lt;script&gt;x()&lt;/script&gt;</title>")
            << "<title>&lt;/title&gt;&lt;script&gt;x()&lt;/script&gt;</title>"
            << "<script>x()";
        QTest::newRow("ampersand in <title>")
            << rss("<title>&amp;lt;A&amp;amp;B</title>") << "<title>&amp;lt;A&amp;amp;B</title>"
            << "<h1>&amp;lt;";
        QTest::newRow("quote in a link") << rss("<title>t</title><item><title>i</title>"
                                                "<link>http://h/\" onclick=\"x()</link></item>")
                                         << "href=\"http://h/&quot; onclick=&quot;x()\""
                                         << "onclick=\"x()";
        QTest::newRow("script link")
            << rss("<title>t</title><item><title>i</title><link> JavaScript:x()</link></item>")
            << "href=\"about:blank\""
            << "x()";
        QTest::newRow("quote in the image address")
            << rss("<title>t</title><image><url>http://h/i.png' onerror='x()</url></image>")
            << "<img src='http://h/i.png&#39; onerror=&#39;x()'>"
            << "onerror='x()";
    }
    void escapesOutsideText()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QString, present);
        QFETCH(QString, absent);
        const QString html = QString::fromUtf8(RenderFeed(xml, kSource).html);
        QVERIFY2(html.contains(present), qPrintable(html));
        QVERIFY(!html.contains(absent));
    }

    void unknownRoot()
    {
        const FeedPage result =
            RenderFeed("<?xml version=\"1.0\"?><html><title>x</title></html>", kSource);
        QCOMPARE(result.outcome, FeedOutcome::UnknownType);
        QVERIFY(result.SetsCaption());
        QCOMPARE(result.caption, QStringLiteral(" "));
        QCOMPARE(result.type, QString());
        QCOMPARE(QString::fromUtf8(result.html),
                 page(QString(), "<p style='font-family: Verdana; FONT-SIZE: 8pt'><b>"
                                 "Feed-Type unbekannt.</b></p>"));
    }

    // No item is shown; the error appendix names what is missing where.
    void missingRequiredElement_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<qint64>("line");
        QTest::newRow("item without link")
            << rss("<title>t</title><item><title>a</title><link>l</link></item>\n"
                   "<item><title>b</title><guid>l</guid></item>")
            << "RSS" << QStringLiteral("Dem Eintrag 2 fehlt das Element \u201Elink\u201C.")
            << qint64(3);
        QTest::newRow("item without title")
            << rss("<title>t</title><item><link>l</link></item>") << "RSS"
            << QStringLiteral("Dem Eintrag 1 fehlt das Element \u201Etitle\u201C.") << qint64(2);
        QTest::newRow("channel without title")
            << rss("<item><title>a</title></item>") << "RSS"
            << QStringLiteral("Dem Kanal fehlt das Element \u201Etitle\u201C.") << qint64(2);
        QTest::newRow("RDF item without link")
            << QByteArray("<rdf:RDF xmlns:rdf=\"urn:r\"><channel><title>t</title></channel>"
                          "<item><title>a</title></item></rdf:RDF>")
            << "RDF" << QStringLiteral("Dem Eintrag 1 fehlt das Element \u201Elink\u201C.")
            << qint64(1);
        QTest::newRow("Atom link without href")
            << QByteArray("<feed><title>t</title><entry><title>a</title><link rel=\"x\"/>"
                          "</entry></feed>")
            << "ATOM"
            << QStringLiteral("Dem Element \u201Elink\u201C des Eintrags 1 fehlt das Attribut "
                              "\u201Ehref\u201C.")
            << qint64(1);
    }
    void missingRequiredElement()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QString, type);
        QFETCH(QString, reason);
        QFETCH(qint64, line);
        const FeedPage result = RenderFeed(xml, kSource);
        QCOMPARE(result.outcome, FeedOutcome::MissingElement);
        QVERIFY(!result.SetsCaption());
        QCOMPARE(result.type, type);
        QVERIFY(result.caption.isEmpty());
        QCOMPARE(result.itemCount, 0);
        QCOMPARE(QString::fromUtf8(result.html),
                 page(QString(), QString()) +
                     "<h1>Die XML Seite kann nicht angezeigt werden.</h1><b>Fehler:</b> " + reason +
                     "<br><br><b>Quelle:</b> " + kSource + "<br><br><b>Zeile:</b> " +
                     QString::number(line) + "</body></html>");
    }

    void malformed_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<qint64>("line");
        QTest::newRow("undeclared entity")
            << rss("\n<title>a&nbsp;b</title>\n<item></item>") << qint64(3);
        QTest::newRow("cut off") << QByteArray("<rss>\n<channel><title>x</title>\n") << qint64(3);
        QTest::newRow("empty") << QByteArray() << qint64(1);
        QTest::newRow("bare ampersand")
            << QByteArray("<rss><channel>\n<link>a&b=1</link></channel></rss>") << qint64(2);
    }
    void malformed()
    {
        QFETCH(QByteArray, xml);
        QFETCH(qint64, line);
        const QString source = QStringLiteral("http://h/feed.xml?a=1&b=<2>");
        const FeedPage result = RenderFeed(xml, source);
        QCOMPARE(result.outcome, FeedOutcome::LoadError);
        QVERIFY(!result.SetsCaption());
        QVERIFY(result.caption.isEmpty());
        QCOMPARE(result.errorLine, line);
        QVERIFY(!result.errorReason.isEmpty());
        QCOMPARE(QString::fromUtf8(result.html),
                 page(QString(), QString()) +
                     "<h1>Die XML Seite kann nicht angezeigt werden.</h1><b>Fehler:</b> " +
                     result.errorReason.toHtmlEscaped().replace(u'\'', "&#39;") +
                     "<br><br><b>Quelle:</b> http://h/feed.xml?a=1&amp;b=&lt;2&gt;<br><br>"
                     "<b>Zeile:</b> " +
                     QString::number(line) + "</body></html>");
    }

    void tooLarge()
    {
        QByteArray xml = rss("<title>t</title>");
        xml.append(QByteArray(kMaxFeedBytes + 1 - xml.size(), ' '));
        const FeedPage result = RenderFeed(xml, kSource);
        QCOMPARE(result.outcome, FeedOutcome::LoadError);
        QCOMPARE(result.errorLine, qint64(0));
        QVERIFY(QString::fromUtf8(result.html).endsWith("<b>Zeile:</b> 0</body></html>"));
        xml.chop(1);
        QCOMPARE(RenderFeed(xml, kSource).outcome, FeedOutcome::Page);
    }

    void encodings_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("title");
        const QString text = QStringLiteral("Gr\u00fc\u00dfe \u20ac");
        const QByteArray body = "<rss><channel><title>%1</title></channel></rss>";
        QTest::newRow("ISO-8859-1")
            << QByteArray("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>" +
                          QByteArray(body).replace("%1", "Gr\xfc\xdf"
                                                         "e &#8364;"))
            << text;
        QTest::newRow("windows-1252")
            << QByteArray("<?xml version=\"1.0\" encoding=\"windows-1252\"?>" +
                          QByteArray(body).replace("%1", "Gr\xfc\xdf"
                                                         "e \x80"))
            << text;
        QStringEncoder le(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
        QTest::newRow("UTF-16LE with BOM")
            << QByteArray(le.encode("<?xml version=\"1.0\" encoding=\"UTF-16\"?>" +
                                    QString::fromLatin1(body).arg(text)))
            << text;
        QStringEncoder be(QStringEncoder::Utf16BE);
        QTest::newRow("UTF-16BE without BOM")
            << QByteArray(be.encode("<?xml version=\"1.0\" encoding=\"UTF-16BE\"?>" +
                                    QString::fromLatin1(body).arg(text)))
            << text;
    }
    void encodings()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QString, title);
        const FeedPage result = RenderFeed(xml, kSource);
        QCOMPARE(result.outcome, FeedOutcome::Page);
        QCOMPARE(result.title, title);
        QVERIFY(QString::fromUtf8(result.html).contains("<h1>" + title + "</h1>"));
    }

    void corpus_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<FeedOutcome>("outcome");
        QTest::addColumn<QString>("type");
        // Not well-formed, other roots, and feeds that lack a required element; every other
        // file is a page of the type its name starts with.
        const QStringList errors{
            "atom10-whitespace-before-xmldecl",     "rss20-bare-ampersand-in-link",
            "rss20-dbengines-undefined-nbsp",       "rss20-incomplete-cdata",
            "rss20-leading-newline-before-xmldecl", "rss20-reuters-truncated",
            "rss20-undeclared-namespace-prefix",    "rss20-uol-latin1-no-xml-declaration"};
        const QStringList unknown{"atom10-prefixed-a-namespace", "atom10-wrapped-in-xhtml-doctype"};
        const QStringList blank{"rss-utf16le-bom-decl",
                                "rss092-userland-enclosures-no-titles",
                                "rss10-doctype-parameter-entity",
                                "rss10-prefixed-no-default-ns",
                                "rss20-dotnet-a10-utf8-bom",
                                "rss20-internal-dtd-entity",
                                "rss20-items-without-description",
                                "rss20-spec-sample-entity-html"};
        const QStringList files = QDir(kCorpus).entryList({"*.xml"}, QDir::Files);
        if (files.isEmpty())
            QTest::newRow("absent") << QString() << FeedOutcome::Page << QString();
        for (const QString& file : files) {
            const QString name = file.chopped(4);
            const QString type = name.startsWith("atom")    ? "ATOM"
                                 : name.startsWith("rss10") ? "RDF"
                                                            : "RSS";
            if (errors.contains(name) || unknown.contains(name))
                QTest::newRow(qPrintable(name))
                    << file
                    << (errors.contains(name) ? FeedOutcome::LoadError : FeedOutcome::UnknownType)
                    << QString();
            else
                QTest::newRow(qPrintable(name))
                    << file
                    << (blank.contains(name) ? FeedOutcome::MissingElement : FeedOutcome::Page)
                    << type;
        }
    }
    void corpus()
    {
        QFETCH(QString, file);
        if (file.isEmpty())
            ORV_CORPUS_MISSING("ORVANE_TEST_CORPUS/feeds");
        QFETCH(FeedOutcome, outcome);
        QFETCH(QString, type);
        QFile in(kCorpus + u'/' + file);
        QVERIFY(in.open(QIODevice::ReadOnly));
        const FeedPage result =
            RenderFeed(in.readAll(), QUrl::fromLocalFile(in.fileName()).toString());
        QCOMPARE(result.outcome, outcome);
        QCOMPARE(result.type, type);
        if (outcome == FeedOutcome::Page) {
            // One box per item, and no outside text slipped into markup.
            QCOMPARE(QString::fromUtf8(result.html).count(u"<h3>"), result.itemCount);
            QCOMPARE(QString::fromUtf8(result.html).count(u"<script"), 1);
        }
    }
};

QTEST_GUILESS_MAIN(TstFeedPage)
#include "tst_feedpage.moc"
