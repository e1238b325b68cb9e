#include "bookmarks/export.h"
#include "bookmarks/import.h"
#include "bookmarks/netscapeparser.h"
#include "common/bookmarkcorpus.h"
#include "common/corpus.h"
#include "common/filetools.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using namespace orv;

Q_DECLARE_METATYPE(orv::DocNode)

namespace {

// Hand-built trees as a browser's document snapshot gives them.
DocNode el(const QString& name, std::vector<DocNode> children = {}, const QString& text = {},
           const QString& href = {})
{
    DocNode node;
    node.nodeName = name;
    node.children = std::move(children);
    node.href = href;
    node.innerText = text;
    if (text.isEmpty())
        for (const DocNode& child : node.children)
            node.innerText += child.innerText;
    node.firstChildName = !node.children.empty() ? node.children.front().nodeName
                          : text.isEmpty()       ? QString()
                                                 : QStringLiteral("#text");
    return node;
}

DocNode anchor(const QString& title, const QString& url)
{
    return el("A", {}, title, url);
}
DocNode dt(DocNode child)
{
    return el("DT", {std::move(child)});
}
DocNode dd(const QString& text)
{
    return el("DD", {}, text);
}
DocNode folder(const QString& name, std::vector<DocNode> items)
{
    return el("DT", {el("H3", {}, name), el("DL", std::move(items))});
}
DocNode body(std::vector<DocNode> children)
{
    return el("BODY", std::move(children));
}

// "name file sequenz: title|url|info|nr; ..." per folder.
QStringList summary(const ThemaList& folders)
{
    QStringList out;
    for (const Thema& t : folders) {
        QString line =
            t.DirName() + u' ' + t.FileName() + u' ' + QString::number(t.Sequenz()) + u':';
        if (!t.hasColBookmark()) {
            out << line + QLatin1String("(no bookmark list)");
            continue;
        }
        for (const Bookmark& b : *t.colBookmark()) {
            line +=
                u' ' + b.Titel + u'|' + b.URL + u'|' + b.Info + u'|' + QString::number(b.Nr) + u';';
            if (!b.Toolbar || !b.Adresszeile)
                line += QLatin1String("(options off)");
        }
        if (t.Nr() != 1)
            line += QLatin1String("(Nr not 1)");
        out << line;
    }
    return out;
}

// Folders nested `depth` deep, each holding one bookmark before the next
// folder, built without the texts el() sums up.
DocNode nestedFolders(int depth)
{
    const auto node = [](const char* name, std::vector<DocNode> children) {
        DocNode n;
        n.nodeName = QLatin1String(name);
        n.firstChildName = children.empty() ? QString() : children.front().nodeName;
        n.children = std::move(children);
        return n;
    };
    DocNode link = node("A", {});
    link.href = QStringLiteral("http://x/");
    link.innerText = QStringLiteral("x");
    link.firstChildName = QStringLiteral("#text");
    DocNode heading = node("H3", {});
    heading.innerText = QStringLiteral("F");
    heading.firstChildName = QStringLiteral("#text");
    DocNode inner;
    for (int level = 0; level < depth; ++level) {
        std::vector<DocNode> items{node("DT", {link})};
        if (level > 0)
            items.push_back(std::move(inner));
        inner = node("DT", {heading, node("DL", std::move(items))});
    }
    return node("BODY", {node("DL", {std::move(inner)})});
}

// The same as a bookmark file.
QByteArray nestedFoldersFile(int depth)
{
    QByteArray html = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n";
    for (int level = 0; level < depth; ++level)
        html += "<DT><H3>F</H3>\n<DL><p>\n<DT><A HREF=\"http://x/\">x</A>\n";
    for (int level = 0; level < depth; ++level)
        html += "</DL><p>\n";
    return html + "</DL>\n";
}

// The shared corpus of real bookmark files, which not every checkout has.
const QString kCorpus = QStringLiteral(ORVANE_TEST_CORPUS "/bookmarks");

bool corpusPresent()
{
    return QFileInfo(kCorpus).isDir();
}

QString corpusFile(const char* name)
{
    return kCorpus + u'/' + QLatin1String(name);
}

qint64 fileSize(const QString& path)
{
    return QFileInfo(path).size();
}

} // namespace

class TestImport : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void folders_data();
    void folders();
    void importReplacesArchive();
    void importWithoutFolders();
    void keysAfterImport_data();
    void keysAfterImport();
    void importedRecordCount_data();
    void importedRecordCount();
    void oversizedImportRefused_data();
    void oversizedImportRefused();
    void netscapeRoundTrip();
    void parserTreeShape();
    void parserFeedMarker();
    void parserTextAndReferences();
    void parserBadInput();
    void decoding();
    void jsonRoundTrip();
    void corpusImports();
    void corpusSpotChecks();
    void corpusLinksArriveInTheirFolders_data();
    void corpusLinksArriveInTheirFolders();
    void folderWithDescription_data();
    void folderWithDescription();
    void addressesAsWritten();
};

void TestImport::folders_data()
{
    QTest::addColumn<DocNode>("tree");
    QTest::addColumn<QStringList>("expected");

    const DocNode a1 = anchor("a1", "http://1/");
    const DocNode a2 = anchor("a2", "http://2/");
    const DocNode a3 = anchor("a3", "http://3/");

    QTest::newRow("anchors without folder")
        << body({el("H1", {}, "B"), el("DL", {dt(a1), dd("x"), dt(a2)})}) << QStringList();

    // body.all: H1 0, DL 1, P 2, DT 3 (Eins), H3 4, DL 5, DT 6, A 7, DT 8, A 9,
    // DT 10, A 11, DT 12 (Zwei) ...; inside a folder: H3 0, DL 1, DT 2, A 3 ...
    QTest::newRow("two folders of 3 and 2")
        << body({el("H1", {}, "B"), el("DL", {el("P"), folder("Eins", {dt(a1), dt(a2), dt(a3)}),
                                              folder("Zwei", {dt(a2), dt(a3)})})})
        << QStringList{"Eins 1.bkm 4: a1|http://1/||4; a2|http://2/||6; a3|http://3/||8;",
                       "Zwei 2.bkm 13: a2|http://2/||4; a3|http://3/||6;"};

    // A nested folder is a folder of its own, and its bookmarks also belong
    // to the enclosing folder.
    QTest::newRow("nested folders")
        << body({el("DL", {folder("Aussen", {dt(a1), folder("Innen", {dt(a2), dt(a3)})})})})
        << QStringList{"Aussen 1.bkm 2: a1|http://1/||4; a2|http://2/||9; a3|http://3/||11;",
                       "Innen 2.bkm 7: a2|http://2/||4; a3|http://3/||6;"};

    QTest::newRow("anchors beside folders are left out")
        << body({el("DL", {dt(a1), folder("F", {dt(a2)}), dt(a3)})})
        << QStringList{"F 1.bkm 4: a2|http://2/||4;"};

    // DD right after the anchor, none, a DD before an anchor, and the DD that
    // is the last element of the folder; line breaks become CR LF.
    QTest::newRow("descriptions")
        << body({folder("D", {dt(a1), dd("eins"), dt(a2), dd("vor"), dt(a3), dd("zwei\nzeilen")}),
                 dd("draussen")})
        << QStringList{"D 1.bkm 1: a1|http://1/|eins|4; a2|http://2/|vor|7; "
                       "a3|http://3/|zwei\r\nzeilen|10;"};

    QTest::newRow("no DD after the anchor")
        << body({folder("D", {dt(a1), dt(a2), el("P"), dd("weiter weg")})})
        << QStringList{"D 1.bkm 1: a1|http://1/||4; a2|http://2/||6;"};

    QTest::newRow("DD after an anchor with markup inside")
        << body({folder("D", {dt(el("A", {el("B", {}, "fett")}, "fett", "http://b/")), dd("d")})})
        << QStringList{"D 1.bkm 1: fett|http://b/|d|4;"};

    // The feed marker parses into an element FEED holding the title.
    const DocNode feed = el("A", {el("FEED", {}, "Nachrichten")}, "Nachrichten", "http://n/rss");
    const DocNode markerOnly = el("A", {el("FEED")}, "", "http://m/");
    DocNode textFirst = el("A", {el("FEED", {}, "x")}, "x", "http://t/");
    textFirst.firstChildName = QStringLiteral("#text");
    QTest::newRow("feeds") << body({folder(
                                  "F", {dt(feed), dd("mit Text"), dt(markerOnly), dt(textFirst)})})
                           << QStringList{"F 1.bkm 1: <FEED />Nachrichten|http://n/rss|mit Text|4; "
                                          "|http://m/||8; x|http://t/||11;"};

    QTest::newRow("empty folders")
        << body({el("DL", {folder("Leer", {}), el("DT", {el("H3", {}, "Ohne Liste")})})})
        << QStringList{"Leer 1.bkm 2:", "Ohne Liste 2.bkm 5:"};

    DocNode notFirst = el("DT", {el("H3", {}, "X"), el("DL", {dt(a1)})});
    notFirst.firstChildName = QStringLiteral("#text");
    QTest::newRow("H3 not the first child node") << body({notFirst}) << QStringList();

    QTest::newRow("shell namespace address")
        << body({folder("S", {dt(anchor("Arbeitsplatz", "file:///::{20D04FE0}/a/b"))})})
        << QStringList{"S 1.bkm 1: Arbeitsplatz|::{20D04FE0}\\a\\b||4;"};
}

void TestImport::folders()
{
    QFETCH(DocNode, tree);
    QFETCH(QStringList, expected);
    QCOMPARE(summary(BuildImportedFolders(tree)), expected);
}

void TestImport::importReplacesArchive()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    Book book(dir.path());
    ThemaList& old = book.ensureColThema();
    for (const char* file : {"1.bkm", "7.bkm", "9.bkm"}) {
        Thema t;
        t.setDirName(QLatin1String("alt ") + QLatin1String(file));
        t.setFileName(QLatin1String(file));
        t.setSequenz(40);
        t.ensureColBookmark().append(Bookmark{});
        old.append(std::move(t));
    }
    book.setSequenzMax(40);
    QVERIFY(book.SaveAllThema().ok);
    QCOMPARE(fileSize(dir.filePath("7.bkm")), qint64(3368));
    // A folder of the archive held in memory only, and a file of no folder.
    Thema unsaved;
    unsaved.setFileName(QStringLiteral("8.bkm"));
    book.colThema()->append(std::move(unsaved));
    QVERIFY(PutBytes(dir.filePath("8.bkm"), "x"));
    QVERIFY(PutBytes(dir.filePath("notes.bkm"), "x"));

    const DocNode a = anchor("Seite", "http://s/");
    const DocNode tree = body({el("DL", {folder("Eins", {dt(a), dd("d"), dt(a), dt(a)}),
                                         folder("Zwei", {dt(a), dt(a)}), folder("Leer", {})})});
    QVERIFY(ImportBookmarkDocument(book, tree).ok);

    QCOMPARE(book.themaCount(), 3);
    QVERIFY(!book.IsModified());
    QVERIFY(book.SequenzMax() >= 40); // never lowered
    QCOMPARE(fileSize(dir.filePath("Book.bkm")), qint64(3 * 2291));
    QCOMPARE(fileSize(dir.filePath("1.bkm")), qint64(3 * 3368));
    QCOMPARE(fileSize(dir.filePath("2.bkm")), qint64(2 * 3368));
    QVERIFY(QFile::exists(dir.filePath("3.bkm")));
    QCOMPARE(fileSize(dir.filePath("3.bkm")), qint64(0));
    // The old archive's files that the new index does not name are gone.
    QVERIFY(!QFile::exists(dir.filePath("7.bkm")));
    QVERIFY(!QFile::exists(dir.filePath("8.bkm")));
    QVERIFY(!QFile::exists(dir.filePath("9.bkm")));
    QVERIFY(QFile::exists(dir.filePath("notes.bkm")));

    Book reloaded(dir.path());
    QVERIFY(reloaded.LoadAllThema());
    QVERIFY(reloaded.LoadAllBookmarks().ok);
    const ThemaList& list = *reloaded.colThema();
    QCOMPARE(list.count(), 3);
    QCOMPARE(list.at(0).DirName(), QStringLiteral("Eins"));
    QCOMPARE(list.at(0).FileName(), QStringLiteral("1.bkm"));
    QCOMPARE(list.at(1).FileName(), QStringLiteral("2.bkm"));
    QCOMPARE(list.at(0).Sequenz(), 2);
    const Bookmark& first = list.at(0).colBookmark()->at(0);
    QCOMPARE(first.Titel, QStringLiteral("Seite"));
    QCOMPARE(first.Info, QStringLiteral("d"));
    QVERIFY(first.Toolbar && first.Adresszeile);
    QCOMPARE(list.at(1).bookmarkCount(), 2);
    QCOMPARE(list.at(2).bookmarkCount(), 0);
}

// New folders and bookmarks added after an import get keys and file names
// no imported folder or bookmark has, in the same session and after a
// restart.
void TestImport::keysAfterImport_data()
{
    QTest::addColumn<DocNode>("tree");
    QTest::addColumn<int>("keyBefore");
    const DocNode a = anchor("Seite", "http://s/");
    const DocNode flat = body({el("DL", {folder("Eins", {dt(a), dd("d"), dt(a)}),
                                         folder("Zwei", {dt(a)}), folder("Drei", {})})});
    const DocNode nested =
        body({el("H1", {}, "B"),
              el("DL", {el("P"), folder("Außen", {dt(a), folder("Innen", {dt(a), dt(a)}), dt(a)}),
                        folder("Danach", {dt(a)})})});
    QTest::newRow("flat, new archive") << flat << 0;
    QTest::newRow("nested, new archive") << nested << 0;
    QTest::newRow("nested, archive with higher keys") << nested << 500;
}

void TestImport::keysAfterImport()
{
    QFETCH(DocNode, tree);
    QFETCH(int, keyBefore);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    Book book(dir.path());
    book.setSequenzMax(keyBefore);
    QVERIFY(ImportBookmarkDocument(book, tree).ok);
    QVERIFY(book.themaCount() >= 3);

    QSet<qint32> keys;
    QSet<QString> files;
    for (Thema& thema : *book.colThema()) {
        keys.insert(thema.Sequenz());
        files.insert(thema.FileName());
        qint16 highest = 0;
        if (thema.colBookmark())
            for (const Bookmark& b : *thema.colBookmark())
                highest = std::max(highest, b.Nr);
        QVERIFY(thema.GetNewKey() > highest);
    }
    const qint32 highestKey = *std::max_element(keys.begin(), keys.end());
    const qint32 key = book.GetNewKey();
    QVERIFY(key > highestKey && key > keyBefore);
    QVERIFY(!files.contains(QString::number(key) + QStringLiteral(".bkm")));

    Book restarted(dir.path());
    QVERIFY(restarted.LoadAllThema());
    const qint32 afterRestart = restarted.GetNewKey();
    QVERIFY(afterRestart > highestKey);
    QVERIFY(!files.contains(QString::number(afterRestart) + QStringLiteral(".bkm")));
}

// Every anchor counts once for each folder it lies in, as the import
// writes it.
void TestImport::importedRecordCount_data()
{
    QTest::addColumn<DocNode>("tree");
    QTest::addColumn<int>("records");
    const DocNode a = anchor("a", "http://a/");
    QTest::newRow("no folder") << body({el("DL", {dt(a), dt(a)})}) << 0;
    QTest::newRow("flat") << body({el("DL", {folder("Eins", {dt(a), dd("d"), dt(a)}),
                                             folder("Leer", {})})})
                          << 2;
    QTest::newRow("nested")
        << body({el("DL", {folder("Außen", {dt(a), folder("Innen", {dt(a), dt(a)}), dt(a)})})})
        << 6;
    QTest::newRow("ten levels") << nestedFolders(10) << 55;
}

void TestImport::importedRecordCount()
{
    QFETCH(DocNode, tree);
    QFETCH(int, records);
    QCOMPARE(CountImportedBookmarks(tree), qsizetype(records));
    qsizetype built = 0;
    for (const Thema& thema : BuildImportedFolders(tree))
        built += thema.bookmarkCount();
    QCOMPARE(built, qsizetype(records));
}

// An import that would write more than 100000 bookmark records stops before
// it writes anything: the archive on disk and in memory stays as it was.
void TestImport::oversizedImportRefused_data()
{
    QTest::addColumn<DocNode>("tree");
    QTest::addColumn<QByteArray>("file"); // imported through the parser when set
    std::vector<DocNode> many(size_t(MaxImportedBookmarks + 1), dt(anchor("a", "http://a/")));
    QTest::newRow("one folder, one bookmark too many")
        << body({el("DL", {folder("Viele", std::move(many))})}) << QByteArray();
    QTest::newRow("3000 nested folders") << nestedFolders(3000) << QByteArray();
    QTest::newRow("bookmark file of 3000 nested folders") << DocNode() << nestedFoldersFile(3000);
}

void TestImport::oversizedImportRefused()
{
    QFETCH(DocNode, tree);
    QFETCH(QByteArray, file);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    Book book(dir.path());
    Thema old;
    old.setDirName(QStringLiteral("Alt"));
    old.setFileName(QStringLiteral("1.bkm"));
    old.setSequenz(7);
    old.ensureColBookmark().append(Bookmark{});
    book.ensureColThema().append(std::move(old));
    QVERIFY(book.SaveAllThema().ok);
    const QStringList files = QDir(dir.path()).entryList(QDir::Files);
    const QByteArray index = ReadBytes(dir.filePath(QStringLiteral("Book.bkm")));
    const QByteArray folderFile = ReadBytes(dir.filePath(QStringLiteral("1.bkm")));

    FileResult result;
    if (file.isEmpty()) {
        result = ImportBookmarkDocument(book, tree);
    } else {
        const QString path = dir.filePath(QStringLiteral("verschachtelt.html"));
        QVERIFY(PutBytes(path, file));
        QVERIFY(file.size() < 200 * 1024);
        result = ImportBookmarkFile(book, path);
        QFile::remove(path);
    }
    QVERIFY(!result.ok);
    QCOMPARE(result.error, QStringLiteral("Der Import wurde abgebrochen: die Datei ergäbe mehr "
                                          "als 100000 Lesezeichen. Das Archiv bleibt "
                                          "unverändert."));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), files);
    QCOMPARE(ReadBytes(dir.filePath(QStringLiteral("Book.bkm"))), index);
    QCOMPARE(ReadBytes(dir.filePath(QStringLiteral("1.bkm"))), folderFile);
    QCOMPARE(book.themaCount(), 1);
    QCOMPARE(book.colThema()->at(0).DirName(), QStringLiteral("Alt"));
    QVERIFY(!book.IsModified());
}

void TestImport::importWithoutFolders()
{
    QTemporaryDir dir;
    Book book(dir.path());
    Thema t;
    t.setDirName(QStringLiteral("alt"));
    t.setFileName(QStringLiteral("1.bkm"));
    book.ensureColThema().append(std::move(t));
    QVERIFY(book.SaveAllThema().ok);

    QVERIFY(ImportBookmarkDocument(book, body({el("DL", {dt(anchor("a", "http://a/"))})})).ok);
    QVERIFY(book.hasColThema());
    QCOMPARE(book.themaCount(), 0);
    QCOMPARE(fileSize(dir.filePath("Book.bkm")), qint64(0));
}

void TestImport::netscapeRoundTrip()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    Book source(QDir(dir.path()).filePath("none"));
    Thema cities;
    cities.setDirName(QStringLiteral("Städte & <Orte>"));
    BookmarkList marks;
    Bookmark plain;
    plain.Titel = QStringLiteral("Bahn <neu> & alt");
    plain.URL = QStringLiteral("http://bahn.de/?a=1&b=\"2\"");
    marks.append(plain);
    Bookmark feed;
    feed.Titel = QStringLiteral("<FEED />Nachrichten");
    feed.URL = QStringLiteral("http://n.de/rss");
    feed.Info = QStringLiteral("a\r\nb\r\n");
    marks.append(feed);
    cities.setColBookmark(std::move(marks));
    source.ensureColThema().append(std::move(cities));
    Thema empty;
    empty.setDirName(QStringLiteral("Leer"));
    source.ensureColThema().append(std::move(empty));

    const QString file = dir.filePath("export.htm");
    const QByteArray bytes =
        ExportNetscape(ExportSource::Archive(source), QDateTime::currentDateTime());
    QVERIFY(WriteExportFile(file, bytes).ok);

    Book target(dir.path());
    QVERIFY(ImportBookmarkFile(target, file).ok);
    QCOMPARE(summary(*target.colThema()),
             (QStringList{"Städte & <Orte> 1.bkm 3: Bahn <neu> & alt|http://bahn.de/"
                          "?a=1&b=\"2\"||5; <FEED />Nachrichten|http://n.de/rss|a\r\nb|7;",
                          "Leer 2.bkm 15:"}));
    QVERIFY(!ImportBookmarkFile(target, dir.filePath("missing.htm")).ok);
    QCOMPARE(target.themaCount(), 2); // a file that cannot be read changes nothing
}

void TestImport::parserTreeShape()
{
    const DocNode doc = ParseHtmlDocument(QStringLiteral(
        "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<META CONTENT=\"x\">\n<TITLE>Bookmarks</TITLE>\n"
        "<H1>Bookmarks</H1>\n<DL><p>\n<DT><H3 FOLDED>Ordner</H3>\n<DL><p>\n"
        "<DT><A HREF=\"a.html\">Eins</A>\n<DD>Text\n</DL><p>\n</DL><p>\n"));
    QCOMPARE(doc.nodeName, QStringLiteral("HTML"));
    QCOMPARE(doc.children.size(), size_t(2));
    QCOMPARE(doc.children[0].children[0].nodeName, QStringLiteral("META"));
    QCOMPARE(doc.children[0].children[1].innerText, QStringLiteral("Bookmarks"));
    const DocNode& b = DocumentBody(doc);
    QCOMPARE(b.nodeName, QStringLiteral("BODY"));
    QCOMPARE(b.children.size(), size_t(3)); // H1, DL and the P of the last "</DL><p>"
    const DocNode& outer = b.children[1];
    QCOMPARE(outer.children[0].nodeName, QStringLiteral("P"));
    const DocNode& folderDt = outer.children[1];
    QCOMPARE(folderDt.nodeName, QStringLiteral("DT"));
    QCOMPARE(folderDt.firstChildName, QStringLiteral("H3"));
    QCOMPARE(folderDt.children[0].attribute(u"FOLDED"), QString());
    QVERIFY(folderDt.children[0].hasAttribute(u"folded"));
    QCOMPARE(folderDt.children[1].nodeName, QStringLiteral("DL")); // the list lies inside the DT
    const DocNode& inner = folderDt.children[1];
    QCOMPARE(inner.children.size(), size_t(3)); // P, DT, DD
    QCOMPARE(inner.children[1].children[0].nodeName, QStringLiteral("A"));
    QCOMPARE(inner.children[1].children[0].href, QStringLiteral("a.html"));
    QCOMPARE(inner.children[2].nodeName, QStringLiteral("DD"));
    QCOMPARE(inner.children[2].innerText, QStringLiteral("Text"));
    QCOMPARE(folderDt.children[2].nodeName, QStringLiteral("P")); // "</DL><p>"
}

void TestImport::parserFeedMarker()
{
    const DocNode doc = ParseHtmlDocument(
        QStringLiteral("<DL><DT><A HREF=\"http://f/\"><FEED />Titel <b>x</b></A><DD>d</DL>"));
    const DocNode* a = doc.findFirst(u"A");
    QVERIFY(a);
    QCOMPARE(a->firstChildName, QStringLiteral("FEED"));
    QCOMPARE(a->children[0].innerText, QStringLiteral("Titel x"));
    QCOMPARE(a->innerText, QStringLiteral("Titel x"));
    QCOMPARE(a->descendantCount(), 2);
    QCOMPARE(doc.findFirst(u"DD")->innerText, QStringLiteral("d"));
}

void TestImport::parserTextAndReferences()
{
    const DocNode doc = ParseHtmlDocument(
        QStringLiteral("<DT><A HREF=\" ?a=1&amp;b=2&copy=3 \">Tom &amp; Jerry &lt;3 &copy &#8364;"
                       "&#x41;&#150;&bogus; &amp</A>\n<DD>a<BR>\n  b   c\r\n<BR>\r\nd </DD>"),
        QUrl(QStringLiteral("file:///tmp/x.html")));
    const DocNode* a = doc.findFirst(u"A");
    QCOMPARE(a->href, QStringLiteral("file:///tmp/x.html?a=1&b=2&copy=3"));
    QCOMPARE(a->innerText, QStringLiteral("Tom & Jerry <3 © €A–&bogus; &"));
    QCOMPARE(doc.findFirst(u"DD")->innerText, QStringLiteral("a\nb c\nd"));
}

void TestImport::parserBadInput()
{
    // Cut-off tags, stray markup, NUL characters and very deep nesting.
    const QString inputs[] = {
        QString(),
        QStringLiteral("<"),
        QStringLiteral("</"),
        QStringLiteral("<DT><A HREF=\"http://a"),
        QStringLiteral("<!-- never closed <DT><H3>x</H3>"),
        QStringLiteral("<DT><H3>a") + QChar(0) +
            QStringLiteral("b</H3><DL><DT><A HREF='x'>y</A></DL></DT></H3></A></P>"),
        QStringLiteral("<script>if (a < b) { '<DT><H3>' }</script><DT><H3>S</H3>"),
        QString(QStringLiteral("<DL><DT><H3>f</H3>")).repeated(3000),
    };
    for (const QString& input : inputs) {
        const DocNode doc = ParseHtmlDocument(input);
        const DocNode& b = DocumentBody(doc);
        // The tree is never deeper than browsers keep it.
        int depth = 0;
        for (const DocNode* node = &b; !node->children.empty(); node = &node->children.back())
            ++depth;
        QVERIFY(depth <= DocNode::MaxDepth);
        BuildImportedFolders(b);
    }
    const DocNode scripted = ParseHtmlDocument(inputs[6]);
    QCOMPARE(summary(BuildImportedFolders(DocumentBody(scripted))), QStringList{"S 1.bkm 1:"});
}

void TestImport::decoding()
{
    QCOMPARE(DecodeHtmlBytes("St\xE4"
                             "dte \x80"),
             QStringLiteral("Städte €"));
    QCOMPARE(DecodeHtmlBytes("St\xC3\xA4"
                             "dte"),
             QStringLiteral("Städte"));
    QCOMPARE(DecodeHtmlBytes("\xEF\xBB\xBF<A>\xC3\xA4</A>"), QStringLiteral("<A>ä</A>"));
    QCOMPARE(DecodeHtmlBytes("<meta charset=\"windows-1252\">\xC3\xA4"),
             QStringLiteral("<meta charset=\"windows-1252\">Ã¤"));
    QCOMPARE(DecodeHtmlBytes(QByteArray("\xFF\xFE<\0A\0", 6)), QStringLiteral("<A"));
}

void TestImport::jsonRoundTrip()
{
    const DocNode doc =
        ParseHtmlDocument(QStringLiteral("<DL><DT><H3 a=b>F</H3><DL><DT><A HREF='http://x/'>T</A>"
                                         "</DL></DL>"));
    const QByteArray json = QJsonDocument(doc.toJson()).toJson();
    const DocNode back = DocNode::fromJson(QJsonDocument::fromJson(json).object());
    QCOMPARE(summary(BuildImportedFolders(DocumentBody(back))),
             summary(BuildImportedFolders(DocumentBody(doc))));
    QCOMPARE(back.findFirst(u"H3")->attribute(u"A"), QStringLiteral("b"));
    QCOMPARE(back.all().size(), doc.all().size());
}

void TestImport::corpusImports()
{
    if (!corpusPresent())
        ORV_CORPUS_MISSING("ORVANE_TEST_CORPUS/bookmarks");
    const QDir corpus(kCorpus);
    const QStringList files = corpus.entryList({QStringLiteral("*.html")}, QDir::Files);
    QVERIFY(files.size() >= 20);
    for (const QString& name : files) {
        QTemporaryDir dir;
        Book book(dir.path());
        const FileResult result = ImportBookmarkFile(book, corpus.filePath(name));
        QVERIFY2(result.ok, qPrintable(name + u' ' + result.error));
        QCOMPARE(fileSize(dir.filePath("Book.bkm")), qint64(book.themaCount()) * 2291);
        for (const Thema& t : *book.colThema())
            QCOMPARE(fileSize(dir.filePath(t.FileName())), qint64(t.bookmarkCount()) * 3368);
    }
}

void TestImport::corpusSpotChecks()
{
    if (!corpusPresent())
        ORV_CORPUS_MISSING("ORVANE_TEST_CORPUS/bookmarks");
    const auto folders = [](const char* name) {
        QFile file(corpusFile(name));
        if (!file.open(QIODevice::ReadOnly))
            return QStringList{QStringLiteral("unreadable")};
        const ThemaList list = BuildImportedFolders(
            DocumentBody(ParseHtmlFile(file.readAll(), QUrl::fromLocalFile(file.fileName()))));
        QStringList out;
        for (const Thema& t : list)
            out << t.DirName() + u' ' + QString::number(t.bookmarkCount());
        return out;
    };
    // Folders directly under the heading, an empty folder and a nested one.
    QCOMPARE(folders("safari-folded-french-no-outer-dl.html"),
             (QStringList{"Favoris 1", "Menu Signets 0", "Github - Shaarli 1", "Autre Divers 1",
                          "doc 1"}));
    QCOMPARE(folders("google-bookmarks-no-doctype-usec-dates.html"), QStringList{"Unlabeled 6"});
    // Three levels: every folder holds the bookmarks of its subfolders;
    // the links outside any folder are left out.
    QCOMPARE(folders("chrome-cyrillic-empty-folder.html"),
             (QStringList{"Bookmarks bar 5", "First level bookmark bar folder 3",
                          "Second level bookmark bar folder 2",
                          "Third level bookmark bar folder empty 0", "folder on other 1"}));
    QCOMPARE(folders("shaarli-legacy-missing-dl.html"), QStringList());
    QCOMPARE(folders("empty-zero-bytes.html"), QStringList());
    QCOMPARE(folders("not-a-bookmark-file.html"), QStringList());

    QFile file(corpusFile("chrome-cyrillic-empty-folder.html"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const ThemaList list = BuildImportedFolders(DocumentBody(ParseHtmlFile(file.readAll())));
    const Bookmark& habr = list.at(0).colBookmark()->at(0);
    QCOMPARE(habr.Titel, QStringLiteral("Лучшие публикации за сутки / Хабр"));
    QCOMPARE(habr.URL, QStringLiteral("https://habr.com/"));
    QVERIFY(list.at(0).colBookmark()->at(1).Titel.contains(QLatin1String("Designers & Creative")));
}

void TestImport::corpusLinksArriveInTheirFolders_data()
{
    QTest::addColumn<QString>("path");
    if (!corpusPresent()) {
        QTest::newRow("absent") << QString();
        return;
    }
    const QDir corpus(kCorpus);
    for (const QString& name : corpus.entryList({QStringLiteral("*.html")}, QDir::Files))
        QTest::newRow(qPrintable(name)) << corpus.filePath(name);
}

// Every folder of the file arrives with every link of its list.
void TestImport::corpusLinksArriveInTheirFolders()
{
    QFETCH(QString, path);
    if (path.isEmpty())
        ORV_CORPUS_MISSING("ORVANE_TEST_CORPUS/bookmarks");
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<qsizetype> expected = LinksPerFolderInMarkup(file.readAll());
    QTemporaryDir dir;
    Book book(dir.path());
    QVERIFY(ImportBookmarkFile(book, path).ok);
    Book reloaded(dir.path());
    reloaded.LoadAllThema();
    QVERIFY(reloaded.LoadAllBookmarks().ok);
    QCOMPARE(LinksPerFolderInArchive(reloaded), expected);
}

// A heading followed by a description: the list lies inside the DD, or
// after it when the DD was closed.
void TestImport::folderWithDescription_data()
{
    QTest::addColumn<QByteArray>("markup");
    QTest::addColumn<QStringList>("expected");
    const QByteArray head = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n";
    const QByteArray links = "<DT><A HREF=\"http://a/\">a</A>\n<DD>da\n"
                             "<DT><A HREF=\"http://b/\">b</A>\n";
    QTest::newRow("list in the description")
        << head + "<DT><H3>F</H3>\n<DD>Text\n<DL><p>\n" + links + "</DL><p>\n</DL>\n"
        << QStringList{"F 1.bkm 3: a|http://a/|da|6; b|http://b/||9;"};
    QTest::newRow("description closed")
        << head + "<DT><H3>F</H3><DD>Text</DD><DL><p>\n" + links + "</DL><p>\n</DL>\n"
        << QStringList{"F 1.bkm 3: a|http://a/|da|6; b|http://b/||9;"};
    QTest::newRow("nested, empty description")
        << head + "<DT><H3>F</H3>\n<DD>\n<DL><p>\n<DT><H3>G</H3>\n<DD>g\n<DL><p>\n" + links +
               "</DL><p>\n</DL><p>\n<DT><A HREF=\"http://c/\">c</A>\n</DL>\n"
        << QStringList{"F 1.bkm 3: a|http://a/|da|11; b|http://b/||14;",
                       "G 2.bkm 8: a|http://a/|da|6; b|http://b/||9;"};
}

void TestImport::folderWithDescription()
{
    QFETCH(QByteArray, markup);
    QFETCH(QStringList, expected);
    const DocNode document = ParseHtmlFile(markup);
    QCOMPARE(summary(BuildImportedFolders(DocumentBody(document))), expected);
    qsizetype records = 0;
    for (const Thema& thema : BuildImportedFolders(DocumentBody(document)))
        records += thema.bookmarkCount();
    QCOMPARE(CountImportedBookmarks(DocumentBody(document)), records);
}

// Addresses keep the characters the file wrote; only relative ones are
// resolved against the file.
void TestImport::addressesAsWritten()
{
    const QByteArray markup =
        "<DL><p><DT><H3>F</H3><DL><p>\n"
        "<DT><A HREF=\"file:///::{20D04FE0-3AEA-1069-A2D8-08002B30309D}/x\">a</A>\n"
        "<DT><A HREF=\" http://q.test/?a=1&amp;b=&quot;2&quot;&lt;x&gt; \">b</A>\n"
        "<DT><A HREF=\"http://h.test/ü?q=€ x\">c</A>\n"
        "<DT><A HREF=\"?rel\">d</A>\n</DL><p></DL>\n";
    const ThemaList folders = BuildImportedFolders(DocumentBody(
        ParseHtmlDocument(QString::fromUtf8(markup), QUrl(QStringLiteral("file:///tmp/b.html")))));
    QStringList addresses;
    for (const Bookmark& bookmark : *folders.at(0).colBookmark())
        addresses << bookmark.URL;
    QCOMPARE(addresses, (QStringList{"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\x",
                                     "http://q.test/?a=1&b=\"2\"<x>", "http://h.test/ü?q=€ x",
                                     "file:///tmp/b.html?rel"}));
}

QTEST_GUILESS_MAIN(TestImport)
#include "tst_import.moc"
