#include "bookmarks/export.h"
#include "bookmarks/import.h"
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
    void jsonRoundTrip();
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
    std::vector<DocNode> many(size_t(MaxImportedBookmarks + 1), dt(anchor("a", "http://a/")));
    QTest::newRow("one folder, one bookmark too many")
        << body({el("DL", {folder("Viele", std::move(many))})});
    QTest::newRow("3000 nested folders") << nestedFolders(3000);
}

void TestImport::oversizedImportRefused()
{
    QFETCH(DocNode, tree);
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

    const FileResult result = ImportBookmarkDocument(book, tree);
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

void TestImport::jsonRoundTrip()
{
    DocNode doc = body({el("DL", {folder("F", {dt(anchor("T", "http://x/"))})})});
    doc.children[0].children[0].children[0].attributes.insert(QStringLiteral("a"),
                                                              QStringLiteral("b"));
    const QByteArray json = QJsonDocument(doc.toJson()).toJson();
    const DocNode back = DocNode::fromJson(QJsonDocument::fromJson(json).object());
    QCOMPARE(summary(BuildImportedFolders(back)), summary(BuildImportedFolders(doc)));
    QCOMPARE(back.findFirst(u"H3")->attribute(u"A"), QStringLiteral("b"));
    QCOMPARE(back.all().size(), doc.all().size());
}

QTEST_GUILESS_MAIN(TestImport)
#include "tst_import.moc"
