#include "app/appinit.h"
#include "bookmarks/export.h"
#include "common/bookmarktools.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

using namespace orv;

namespace {

const QDateTime kNow(QDate(2024, 3, 5), QTime(14, 3, 9, 500));
const QByteArray kStamp = "1709647389"; // 2024-03-05 14:03:09 counted as UTC

// A book of the one folder `name` holding `marks`.
Book oneFolderBook(const QString& name, const QList<Bookmark>& marks)
{
    Book book(QStringLiteral("/nonexistent"));
    Thema folder;
    folder.setDirName(name);
    BookmarkList list;
    for (const Bookmark& b : marks)
        list.append(b);
    folder.setColBookmark(std::move(list));
    book.ensureColThema().append(std::move(folder));
    return book;
}

// Folder "Städte" with a plain and a feed bookmark, folder "Leer" without a
// bookmark list.
Book sampleBook()
{
    Book book = oneFolderBook(
        QStringLiteral("Städte"),
        {MakeBookmark(QStringLiteral("Bahn"), QStringLiteral("http://bahn.de/?a=1&b=2")),
         MakeBookmark(QStringLiteral("<FEED />Nachrichten"), QStringLiteral("http://n.de/rss"),
                      QStringLiteral("a\r\nb\r\n"))});
    Thema empty;
    empty.setDirName(QStringLiteral("Leer"));
    book.ensureColThema().append(std::move(empty));
    return book;
}

QByteArray xmlProlog()
{
    return "<?xml version=\"1.0\"?>\r\n<!--" + AppTitle().toUtf8() +
           "-->\r\n<!--Ein Programm des Orvane-Projekts-->\r\n"
           "<!--https://orvane.example.org/-->\r\n";
}

RssChannel sampleChannel(bool withImage)
{
    RssChannel c;
    c.title = QStringLiteral("Meine Links");
    c.link = QStringLiteral("http://x.de/");
    c.description = QStringLiteral("Alles & mehr");
    if (withImage) {
        c.imageUrl = QStringLiteral("http://x.de/i.png");
        c.imageTitle = QStringLiteral("Bild");
        c.imageLink = QStringLiteral("http://x.de/");
    }
    return c;
}

} // namespace

class TestExport : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void exactBytes_data();
    void exactBytes();
    void escapesOutsideText();
    void emptyArchive();
    void xmlIsWellFormedAndDropsControlCharacters();
    void dates_data();
    void dates();
    void rssCheck_data();
    void rssCheck();
    void writeFile();
};

void TestExport::exactBytes_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<bool>("archive");
    QTest::addColumn<bool>("image");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray textFolder =
        "Thema: St\xE4"
        "dte\r\n\r\n"
        "Name: Bahn\r\nURL:  http://bahn.de/?a=1&b=2\r\nBeschreibung: \r\n"
        "\r\n"
        "Name: Nachrichten\r\nURL:  http://n.de/rss\r\n"
        "Beschreibung: a\r\nb\r\n\r\n"
        "\r\n\r\n";
    QTest::newRow("text archive") << int(ExportFormat::Text) << true << false
                                  << textFolder + "Thema: Leer\r\n\r\n\r\n\r\n";
    QTest::newRow("text folder") << int(ExportFormat::Text) << false << false << textFolder;

    const QByteArray htmlLines = "<H1>St\xE4"
                                 "dte</H1>\r\n"
                                 "<A HREF='http://bahn.de/?a=1&amp;b=2'>Bahn</A><BR>\r\n"
                                 "<A HREF='http://n.de/rss'>Nachrichten</A><BR>a\r\nb\r\n<BR>\r\n";
    QTest::newRow("html archive") << int(ExportFormat::HtmlList) << true << false
                                  << "<HTML><TITLE></TITLE><BODY>\r\n" + htmlLines +
                                         "<H1>Leer</H1>\r\n</BODY></HTML>\r\n";
    QTest::newRow("html folder") << int(ExportFormat::HtmlList) << false << false
                                 << "<HTML><BODY>\r\n" + htmlLines + "</BODY></HTML>\r\n";

    const QByteArray head = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n"
                            "<!--This is an automatically generated file.It will be read and "
                            "overwritten. Do Not Edit! -->\r\n"
                            "<Title>Bookmarks</Title>\r\n"
                            "<H1>Bookmarks (5. Mrz 2024, 14:03:09)</H1>";
    const QByteArray dated = "\" ADD_DATE=\"" + kStamp + "\" LAST_VISIT=\"" + kStamp +
                             "\" LAST_MODIFIED=\"" + kStamp + "\">";
    const QByteArray folder = "<DT><H3 FOLDED ADD_DATE=\"" + kStamp +
                              "\">St\xE4"
                              "dte</H3><DL><P>\r\n"
                              "<DT><A HREF=\"http://bahn.de/?a=1&amp;b=2" +
                              dated + "Bahn</A>\r\n<DT><A HREF=\"http://n.de/rss" + dated +
                              "<FEED />Nachrichten</A>\r\n<DD>a\r<BR>\r\nb\r\r\n"
                              "</DL><P>\r\n";
    QTest::newRow("netscape archive")
        << int(ExportFormat::Netscape) << true << false
        << head + "<DL>\r\n" + folder + "<DT><H3 FOLDED ADD_DATE=\"" + kStamp +
               "\">Leer</H3><DL><P>\r\n</DL><P>\r\n</DL>\r\n";
    QTest::newRow("netscape folder")
        << int(ExportFormat::Netscape) << false << false << head + "\r\n" + folder;

    const QByteArray items = "<item><title>Bahn</title><link>http://bahn.de/?a=1&amp;b=2</link>"
                             "<description/></item>"
                             "<item><title>Nachrichten</title><link>http://n.de/rss</link>"
                             "<description>a\r\nb\r\n</description></item>";
    const QByteArray xmlFolder = "<folder name=\"St\xC3\xA4"
                                 "dte\">" +
                                 items + "</folder>";
    QTest::newRow("xml archive") << int(ExportFormat::Xml) << true << false
                                 << xmlProlog() + "<bookmarks>" + xmlFolder +
                                        "<folder name=\"Leer\"/></bookmarks>\r\n";
    QTest::newRow("xml folder") << int(ExportFormat::Xml) << false << false
                                << xmlProlog() + xmlFolder + "\r\n";

    const QByteArray channel =
        "<rss version=\"2.0\"><channel><title>Meine Links</title>"
        "<link>http://x.de/</link><description>Alles &amp; mehr</description>"
        "<lastBuildDate>05 Mar  2024 14:03:09 GMT</lastBuildDate>"
        "<generator>" +
        AppTitle().toUtf8() + "</generator>";
    QTest::newRow("rss archive with image")
        << int(ExportFormat::Rss) << true << true
        << xmlProlog() + channel +
               "<image><url>http://x.de/i.png</url><title>Bild</title><link>http://x.de/</link>"
               "</image>" +
               items + "</channel></rss>\r\n";
    QTest::newRow("rss folder without image")
        << int(ExportFormat::Rss) << false << false
        << xmlProlog() + channel + items + "</channel></rss>\r\n";
}

void TestExport::exactBytes()
{
    QFETCH(int, format);
    QFETCH(bool, archive);
    QFETCH(bool, image);
    QFETCH(QByteArray, expected);
    const Book book = sampleBook();
    const ExportSource source =
        archive ? ExportSource::Archive(book) : ExportSource::Folder(book.colThema()->at(0));
    const QByteArray bytes = ExportBytes(ExportFormat(format), source, kNow, sampleChannel(image));
    QCOMPARE(bytes, expected);
}

void TestExport::escapesOutsideText()
{
    const Book book = oneFolderBook(
        QStringLiteral("A<b>&c"),
        {MakeBookmark(QStringLiteral("x<y"), QStringLiteral("http://a/?q='1'&r=\"2\""),
                      QStringLiteral("<i>")),
         MakeBookmark(QStringLiteral("<FEED />"), QStringLiteral("http://f/"))});
    const ExportSource source = ExportSource::Archive(book);

    const QByteArray html = ExportHtmlList(source);
    QVERIFY(html.contains("\r\n<H1>A&lt;b&gt;&amp;c</H1>\r\n"));
    QVERIFY(html.contains(
        "\r\n<A HREF='http://a/?q=&#39;1&#39;&amp;r=\"2\"'>x&lt;y</A><BR>&lt;i&gt;<BR>\r\n"));

    const QByteArray netscape = ExportNetscape(source, kNow);
    QVERIFY(netscape.contains("\">A&lt;b&gt;&amp;c</H3><DL><P>\r\n"));
    QVERIFY(netscape.contains("<DT><A HREF=\"http://a/?q='1'&amp;r=&quot;2&quot;\" ADD_DATE="));
    QVERIFY(netscape.contains("\">x&lt;y</A>\r\n<DD>&lt;i&gt;\r\n"));
    // A title that is only the marker is no feed: it shows as written.
    QVERIFY(netscape.contains("\">&lt;FEED /&gt;</A>\r\n"));

    // The plain text list is not markup: nothing is escaped there.
    const QByteArray text = ExportText(source);
    QVERIFY(text.startsWith("Thema: A<b>&c\r\n\r\nName: x<y\r\nURL:  http://a/?q='1'&r=\"2\"\r\n"));
    QVERIFY(text.contains("Name: <FEED />\r\n"));
}

void TestExport::emptyArchive()
{
    const Book book(QStringLiteral("/nonexistent")); // no folder list at all
    const ExportSource source = ExportSource::Archive(book);
    QCOMPARE(ExportText(source), QByteArray());
    QCOMPARE(ExportHtmlList(source),
             QByteArray("<HTML><TITLE></TITLE><BODY>\r\n</BODY></HTML>\r\n"));
    QVERIFY(ExportNetscape(source, kNow).endsWith(")</H1><DL>\r\n</DL>\r\n"));
    QCOMPARE(ExportXml(source), xmlProlog() + "<bookmarks/>\r\n");
}

void TestExport::xmlIsWellFormedAndDropsControlCharacters()
{
    const Book book =
        oneFolderBook(QStringLiteral("F\"<&>\x01"),
                      {MakeBookmark(QStringLiteral("T\x02<]]>&\x1F"),
                                    QStringLiteral("http://a/?b&c"), QStringLiteral("z\x7F\x0B"))});

    for (const bool rss : {false, true}) {
        const QByteArray bytes =
            rss ? ExportRss(ExportSource::Archive(book), sampleChannel(false), kNow)
                : ExportXml(ExportSource::Archive(book));
        QXmlStreamReader reader(bytes);
        QStringList texts;
        QString folderName;
        while (!reader.atEnd()) {
            reader.readNext();
            if (reader.isStartElement() && reader.name() == QLatin1String("folder"))
                folderName = reader.attributes().value(QLatin1String("name")).toString();
            if (reader.isCharacters())
                texts << reader.text().toString();
        }
        QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
        if (!rss)
            QCOMPARE(folderName, QStringLiteral("F\"<&>"));
        QVERIFY(texts.contains(QStringLiteral("T<]]>&")));
        QVERIFY(texts.contains(QStringLiteral("http://a/?b&c")));
        QVERIFY(texts.contains(QStringLiteral("z\x7F")));
    }
}

void TestExport::dates_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("rssDate");
    QTest::addColumn<QString>("netscapeDate");
    QTest::addColumn<QString>("netscapeTime");
    QTest::addColumn<qint64>("stamp");
    QTest::newRow("5 March") << kNow << "05 Mar  2024 14:03:09 GMT"
                             << "5. Mrz 2024"
                             << "14:03:09" << qint64(1709647389);
    QTest::newRow("epoch") << QDateTime(QDate(1970, 1, 1), QTime(0, 0))
                           << "01 Jan  1970 00:00:00 GMT"
                           << "1. Jan 1970"
                           << "00:00:00" << qint64(0);
    QTest::newRow("end of year") << QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59, 999))
                                 << "31 Dec  1999 23:59:59 GMT"
                                 << "31. Dez 1999"
                                 << "23:59:59" << qint64(946684799);
    QTest::newRow("May morning") << QDateTime(QDate(2031, 5, 9), QTime(7, 5, 3))
                                 << "09 May  2031 07:05:03 GMT"
                                 << "9. Mai 2031"
                                 << "07:05:03" << qint64(1936076703);
}

void TestExport::dates()
{
    QFETCH(QDateTime, now);
    QFETCH(QString, rssDate);
    QFETCH(QString, netscapeDate);
    QFETCH(QString, netscapeTime);
    QFETCH(qint64, stamp);
    QCOMPARE(RssLastBuildDate(now), rssDate);
    QCOMPARE(NetscapeDateText(now), netscapeDate);
    QCOMPARE(NetscapeTimeText(now), netscapeTime);
    QCOMPARE(NetscapeTimestamp(now), stamp);
}

void TestExport::rssCheck_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("link");
    QTest::addColumn<bool>("withImage");
    QTest::addColumn<QString>("imageUrl");
    QTest::addColumn<QString>("imageTitle");
    QTest::addColumn<QString>("imageLink");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("message");

    const QString ok;
    const QString title = QStringLiteral("Feld \"<title>\" ist ungültig oder leer.");
    const QString link = QStringLiteral("Feld \"<link>\" ist ungültig oder leer.");
    const QString url = QStringLiteral("Feld \"<url>\" ist ungültig oder leer.");
    const auto row = [](const char* name) -> QTestData& { return QTest::newRow(name); };
    row("plain") << "T"
                 << "http://x" << false << ""
                 << ""
                 << "" << int(RssField::None) << ok;
    row("empty title") << ""
                       << "http://x" << false << ""
                       << ""
                       << "" << int(RssField::Title) << title;
    row("title first") << ""
                       << "bad" << false << ""
                       << ""
                       << "" << int(RssField::Title) << title;
    row("capital scheme") << "T"
                          << "HTTP://x" << false << ""
                          << ""
                          << "" << int(RssField::Link) << link;
    row("prefix alone") << "T"
                        << "http://" << false << ""
                        << ""
                        << "" << int(RssField::Link) << link;
    row("prefix and blanks") << "T"
                             << "http://   " << false << ""
                             << ""
                             << "" << int(RssField::Link) << link;
    row("leading blank") << "T"
                         << " http://x" << false << ""
                         << ""
                         << "" << int(RssField::Link) << link;
    row("ftp one more") << "T"
                        << "ftp://a" << false << ""
                        << ""
                        << "" << int(RssField::None) << ok;
    row("https alone") << "T"
                       << "https://" << false << ""
                       << ""
                       << "" << int(RssField::Link) << link;
    row("https") << "T"
                 << "https://a" << false << ""
                 << ""
                 << "" << int(RssField::None) << ok;
    row("mailto") << "T"
                  << "mailto:a@b" << false << ""
                  << ""
                  << "" << int(RssField::None) << ok;
    row("news alone") << "T"
                      << "news://" << false << ""
                      << ""
                      << "" << int(RssField::Link) << link;
    row("no image, empty image fields") << "T"
                                        << "http://x" << false << ""
                                        << ""
                                        << "" << int(RssField::None) << ok;
    row("image ok") << "T"
                    << "http://x" << true << "http://i/p.png"
                    << "Bild"
                    << "http://x" << int(RssField::None) << ok;
    row("image address alone") << "T"
                               << "http://x" << true << "http://"
                               << "Bild"
                               << "http://x" << int(RssField::ImageUrl) << url;
    row("image title empty") << "T"
                             << "http://x" << true << "http://i"
                             << ""
                             << "http://x" << int(RssField::ImageTitle) << title;
    row("image link bad") << "T"
                          << "http://x" << true << "http://i"
                          << "Bild"
                          << "www.x.de" << int(RssField::ImageLink) << link;
}

void TestExport::rssCheck()
{
    QFETCH(QString, title);
    QFETCH(QString, link);
    QFETCH(bool, withImage);
    QFETCH(QString, imageUrl);
    QFETCH(QString, imageTitle);
    QFETCH(QString, imageLink);
    QFETCH(int, field);
    QFETCH(QString, message);
    RssChannel channel;
    channel.title = title;
    channel.link = link;
    channel.imageUrl = imageUrl;
    channel.imageTitle = imageTitle;
    channel.imageLink = imageLink;
    const RssCheck check = CheckRssChannel(channel, withImage);
    QCOMPARE(int(check.field), field);
    QCOMPARE(check.message, message);
    QCOMPARE(check.ok(), field == int(RssField::None));
}

void TestExport::writeFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("out.htm"));
    const Book book = sampleBook();
    const QByteArray bytes = ExportNetscape(ExportSource::Archive(book), kNow);

    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(100000, 'x')); // a longer file is replaced whole
    old.close();
    QVERIFY(WriteExportFile(path, bytes).ok);
    QFile back(path);
    QVERIFY(back.open(QIODevice::ReadOnly));
    QCOMPARE(back.readAll(), bytes);

    const FileResult failed =
        WriteExportFile(dir.filePath(QStringLiteral("no/such/out.htm")), bytes);
    QVERIFY(!failed.ok);
    QVERIFY(!failed.error.isEmpty());
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("no"))));
}

QTEST_GUILESS_MAIN(TestExport)
#include "tst_export.moc"
