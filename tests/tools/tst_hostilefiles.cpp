// Hostile files met as plain data: feeds that declare entities (exponential
// or quadratic expansion, external files) and a bookmark file right at and
// above the import's record limit, deeply nested (imported by
// "orvane-data import", which reads it with the web engine). Nothing is
// expanded, nothing outside is read, and time and memory stay small.

#include "app/markupescape.h"
#include "bookmarks/book.h"
#include "bookmarks/import.h"
#include "common/bookmarktools.h"
#include "common/datatoolrun.h"
#include "common/filetools.h"
#include "pages/feedpage.h"

#include <QDir>
#include <QElapsedTimer>
#include <QHash>
#include <QTemporaryDir>
#include <QTest>

using namespace orv;

namespace {

// A hostile feed is answered at once; this is far above what an answer
// takes and far below what an expansion would.
constexpr qint64 kFeedBudgetMs = 2000;
// What a refused feed's page may weigh at most.
constexpr qsizetype kSmallPage = 64 * 1024;
// The import of a file right at the limit may take this long (the engine
// reads its 100,000 links in tens of seconds on a loaded machine).
constexpr qint64 kImportBudgetMs = 120000;
constexpr int kNesting = 20;
// The text that a file outside holds and no page may show.
const QByteArray kSecret = "geheimer-inhalt-7f3a91";

const QByteArray kItems = "<item><title>Eintrag</title><link>http://feed.example/1</link>"
                          "<description>Text</description></item>";

QByteArray rss(const QByteArray& doctype, const QByteArray& title)
{
    return "<?xml version=\"1.0\"?>\n" + doctype + "\n<rss version=\"2.0\"><channel><title>" +
           title + "</title><link>http://feed.example/</link><description>d</description>" +
           kItems + "</channel></rss>";
}

// A bookmark file: `top` links in the outer folder, then a chain of
// kNesting - 1 folders inside it, the innermost holding `innermost` links.
QByteArray bookmarkFile(int top, int innermost)
{
    QByteArray html = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<TITLE>Bookmarks</TITLE>\n<DL><p>\n";
    html += "<DT><H3>Ebene 1</H3>\n<DL><p>\n";
    for (int i = 0; i < top; ++i)
        html += "<DT><A HREF=\"http://a.example/" + QByteArray::number(i) + "\">Link " +
                QByteArray::number(i) + "</A>\n";
    for (int level = 2; level <= kNesting; ++level)
        html += "<DT><H3>Ebene " + QByteArray::number(level) + "</H3>\n<DL><p>\n";
    for (int i = 0; i < innermost; ++i)
        html += "<DT><A HREF=\"http://tief.example/" + QByteArray::number(i) + "\">Tief</A>\n";
    for (int level = 1; level <= kNesting; ++level)
        html += "</DL><p>\n";
    html += "</DL><p>\n";
    return html;
}

ToolRun importFile(const QString& folder, const QString& path)
{
    return RunDataTool({QStringLiteral("import"), QStringLiteral("--data-folder"), folder, path},
                       {}, int(2 * kImportBudgetMs));
}

QHash<QString, QByteArray> snapshot(const QString& folder)
{
    QHash<QString, QByteArray> files;
    for (const QFileInfo& entry : QDir(folder).entryInfoList(QDir::Files))
        files.insert(entry.fileName(), ReadBytes(entry.filePath()));
    return files;
}

} // namespace

class TestHostileFiles : public QObject {
    Q_OBJECT

    QTemporaryDir m_tmp;
    QString m_secretUrl;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_tmp.isValid());
        const QString secret = m_tmp.filePath(QStringLiteral("secret.txt"));
        QVERIFY(PutBytes(secret, kSecret + "\n"));
        m_secretUrl = QUrl::fromLocalFile(secret).toString();
    }

    // Feeds whose entities would expand without end, or name a file: the
    // page shows neither the expansion nor the file, and it is there at
    // once. An expansion that outgrows the document ends the read with a
    // German reason.
    void entityFeeds_data()
    {
        const QByteArray secret = m_secretUrl.toUtf8();
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QByteArray>("forbidden");
        QTest::addColumn<bool>("refused");
        QByteArray laughs = "<!DOCTYPE rss [\n<!ENTITY lol \"lol\">\n";
        laughs += "<!ENTITY lol1 \"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">\n";
        for (int i = 2; i <= 9; ++i) {
            const QByteArray prev = "&lol" + QByteArray::number(i - 1) + ";";
            laughs += "<!ENTITY lol" + QByteArray::number(i) + " \"" + prev.repeated(10) + "\">\n";
        }
        laughs += "]>";
        QTest::newRow("billion laughs")
            << rss(laughs, "&lol9;") << QByteArray("lollollollol") << true;
        // Each expansion is small, but there are very many of them.
        const QByteArray quadratic =
            "<!DOCTYPE rss [<!ENTITY a \"" + QByteArray(4000, 'a') + "\">]>";
        QTest::newRow("quadratic blowup")
            << rss(quadratic, QByteArray("&a;").repeated(50000)) << QByteArray(200, 'a') << true;
        {
            // The same in UTF-16, where every second byte is a zero.
            const QString text =
                QString::fromLatin1(rss(quadratic, QByteArray("&a;").repeated(50000)));
            QByteArray utf16("\xFF\xFE", 2);
            utf16.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
            QTest::newRow("quadratic blowup, UTF-16") << utf16 << QByteArray(200, 'a') << true;
        }
        QTest::newRow("quadratic blowup in attributes")
            << rss(quadratic, "<x " + QByteArray("a=\"&a;&a;&a;&a;\" ").repeated(1) +
                                  QByteArray("/><x b=\"&a;\"").repeated(20000) + "/>T")
            << QByteArray(200, 'a') << true;
        QTest::newRow("external entity")
            << rss("<!DOCTYPE rss [<!ENTITY xxe SYSTEM \"" + secret + "\">]>", "&xxe;") << kSecret
            << false;
        QTest::newRow("external parameter entity")
            << rss("<!DOCTYPE rss [<!ENTITY % p SYSTEM \"" + secret + "\"> %p;]>", "T") << kSecret
            << false;
        QTest::newRow("external entity in an attribute")
            << rss("<!DOCTYPE rss [<!ENTITY xxe SYSTEM \"" + secret + "\">]>",
                   "<x a=\"&xxe;\">T</x>")
            << kSecret << true;
        QTest::newRow("password file")
            << rss("<!DOCTYPE rss [<!ENTITY xxe SYSTEM \"file:///etc/passwd\">]>", "&xxe;")
            << QByteArray("root:x:0") << false;
    }
    void entityFeeds()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QByteArray, forbidden);
        QFETCH(bool, refused);
        QElapsedTimer timer;
        timer.start();
        const FeedPage page = RenderFeed(xml, QStringLiteral("http://feed.example/rss"));
        QVERIFY2(timer.elapsed() < kFeedBudgetMs, QByteArray::number(timer.elapsed()));
        QVERIFY(page.html.size() < kSmallPage);
        QVERIFY(!page.html.contains(forbidden));
        QVERIFY(!page.title.contains(QString::fromUtf8(forbidden)));
        QCOMPARE(page.outcome == FeedOutcome::LoadError, refused);
        if (refused)
            QVERIFY(page.html.contains(EscapeAttribute(page.errorReason).toUtf8()));
    }

    // A small expansion is read as before; one that outgrows the document
    // by far ends with the German reason.
    void expansionLimit_data()
    {
        QTest::addColumn<int>("uses");
        QTest::addColumn<bool>("refused");
        QTest::newRow("a few uses") << 10 << false;
        QTest::newRow("within the allowance") << 200 << false;
        QTest::newRow("far beyond") << 2000 << true;
    }
    void expansionLimit()
    {
        QFETCH(int, uses);
        QFETCH(bool, refused);
        const QByteArray doctype = "<!DOCTYPE rss [<!ENTITY k \"" + QByteArray(1000, 'k') + "\">]>";
        const FeedPage page =
            RenderFeed(rss(doctype, "Titel &k;" + QByteArray("&k;").repeated(uses - 1)),
                       QStringLiteral("http://f/"));
        QCOMPARE(page.outcome == FeedOutcome::LoadError, refused);
        if (refused)
            QVERIFY2(page.errorReason.contains(QStringLiteral("Entitäten")),
                     qPrintable(page.errorReason));
        else
            QCOMPARE(page.title.size(), 6 + 1000 * uses);
    }

    // A document type without entity declarations (a feed naming the DTD of
    // its format) still renders; the named DTD is never fetched.
    void doctypeWithoutEntities_data()
    {
        QTest::addColumn<QByteArray>("doctype");
        QTest::newRow("public DTD")
            << QByteArray("<!DOCTYPE rss PUBLIC \"-//Netscape Communications//DTD RSS 0.91//EN\" "
                          "\"http://my.netscape.com/publish/formats/rss-0.91.dtd\">");
        QTest::newRow("DTD as a local file")
            << QByteArray("<!DOCTYPE rss SYSTEM \"") + m_secretUrl.toUtf8() + "\">";
        QTest::newRow("element declarations only")
            << QByteArray("<!DOCTYPE rss [<!ELEMENT rss ANY>]>");
    }
    void doctypeWithoutEntities()
    {
        QFETCH(QByteArray, doctype);
        const FeedPage page = RenderFeed(rss(doctype, "Kanal"), QStringLiteral("http://f/"));
        QCOMPARE(page.outcome, FeedOutcome::Page);
        QCOMPARE(page.title, QStringLiteral("Kanal"));
        QCOMPARE(page.itemCount, 1);
        QVERIFY(!page.html.contains(kSecret));
    }

    // Right at the limit: 100,000 records, the outer folder of 20 nested
    // ones holding them all. Imported whole, and read back whole.
    void importAtLimit()
    {
        const QString folder = m_tmp.filePath(QStringLiteral("atlimit"));
        QVERIFY(QDir().mkpath(folder));
        const QString path = m_tmp.filePath(QStringLiteral("atlimit.html"));
        QVERIFY(PutBytes(path, bookmarkFile(int(MaxImportedBookmarks), 0)));
        QElapsedTimer timer;
        timer.start();
        const ToolRun imported = importFile(folder, path);
        QVERIFY2(imported.code == 0, imported.err.constData());

        Book loaded(folder);
        QVERIFY(loaded.LoadAllThema());
        QCOMPARE(loaded.themaCount(), kNesting);
        QVERIFY(loaded.LoadAllBookmarks().ok);
        const Thema& outer = loaded.colThema()->at(0);
        QCOMPARE(outer.bookmarkCount(), MaxImportedBookmarks);
        QCOMPARE(outer.colBookmark()->at(MaxImportedBookmarks - 1).URL,
                 QStringLiteral("http://a.example/%1").arg(MaxImportedBookmarks - 1));
        QVERIFY2(timer.elapsed() < kImportBudgetMs, QByteArray::number(timer.elapsed()));
        QDir(folder).removeRecursively();
    }

    // Above the limit the import is refused before anything is written: the
    // archive stays as it was.
    void importAboveLimit_data()
    {
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("innermost");
        // One link in the innermost folder counts once in each of the 20.
        QTest::newRow("nested links past the limit")
            << 0 << int(MaxImportedBookmarks) / kNesting + 1;
        QTest::newRow("one record too many") << int(MaxImportedBookmarks) - kNesting + 1 << 1;
    }
    void importAboveLimit()
    {
        QFETCH(int, top);
        QFETCH(int, innermost);
        const QString folder = m_tmp.filePath(QStringLiteral("above"));
        QDir(folder).removeRecursively();
        QVERIFY(QDir().mkpath(folder));
        Book before(folder);
        Thema kept;
        kept.setDirName(QStringLiteral("Alt"));
        kept.setFileName(QStringLiteral("1.bkm"));
        kept.ensureColBookmark().append(
            MakeBookmark(QStringLiteral("Alt"), QStringLiteral("http://alt.example/")));
        before.ensureColThema().append(std::move(kept));
        QVERIFY(before.SaveAllThema().ok);
        const auto files = snapshot(folder);

        const QString path = m_tmp.filePath(QStringLiteral("above.html"));
        QVERIFY(PutBytes(path, bookmarkFile(top, innermost)));
        QElapsedTimer timer;
        timer.start();
        const ToolRun imported = importFile(folder, path);
        QCOMPARE(imported.code, 2);
        QVERIFY2(imported.err.contains("Der Import wurde abgebrochen"), imported.err.constData());
        QVERIFY2(timer.elapsed() < kImportBudgetMs, QByteArray::number(timer.elapsed()));
        QCOMPARE(snapshot(folder), files);
    }
};

QTEST_GUILESS_MAIN(TestHostileFiles)
#include "tst_hostilefiles.moc"
