// Bookmark files as the web engine reads them for the import (the tools
// window's and the data tool's): every file of the shared corpus arrives
// with every link of its list in its folder, the data tool writes the same
// archive byte for byte, and the markup shapes of real files give the
// folders expected of them.

#include "bookmarks/export.h"
#include "bookmarks/import.h"
#include "common/bookmarkcorpus.h"
#include "common/corpus.h"
#include "common/datatoolrun.h"
#include "common/guitest.h"
#include "platform/bookmarkloader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <optional>

using namespace orv;

namespace {

constexpr int kWait = 60000;

QString CorpusFolder()
{
    return QStringLiteral(ORVANE_TEST_CORPUS) + QStringLiteral("/bookmarks");
}

QString SampleFile()
{
    return QDir(AppFolder()).filePath(QStringLiteral("orvbooksamples.html"));
}

// The files of an archive folder with their bytes.
QMap<QString, QByteArray> ArchiveFiles(const QString& folder)
{
    QMap<QString, QByteArray> files;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files)) {
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            files.insert(name, file.readAll());
    }
    return files;
}

// "name: title|url|info|nr; ..." per folder.
QStringList Summary(const ThemaList& folders)
{
    QStringList out;
    for (const Thema& thema : folders) {
        QString line = thema.DirName() + u':';
        if (const BookmarkList* bookmarks = thema.colBookmark())
            for (const Bookmark& b : *bookmarks)
                line += u' ' + b.Titel + u'|' + b.URL + u'|' + b.Info + u'|' +
                        QString::number(b.Nr) + u';';
        out << line;
    }
    return out;
}

} // namespace

class TestEngineImport : public QObject {
    Q_OBJECT

    // One page reads every file, as in the tools window.
    BookmarkFileLoader* m_loader = nullptr;
    QTemporaryDir m_scratch;

    // The document of `path` as the engine parses it. The wait runs a real
    // event loop: the engine's many round trips per load would each wait for
    // a polling step otherwise.
    std::optional<DocSnapshot> load(const QString& path)
    {
        QSignalSpy loaded(m_loader, &BookmarkFileLoader::loaded);
        m_loader->load(path);
        if (loaded.isEmpty() && !loaded.wait(kWait))
            return std::nullopt;
        return loaded.constFirst().constFirst().value<DocSnapshot>();
    }

    // Imports `path` into the archive in `folder` as the tools window does.
    FileResult importFile(const QString& folder, const QString& path)
    {
        const std::optional<DocSnapshot> document = load(path);
        if (!document || !document->valid || !document->body())
            return FileResult::failure(QStringLiteral("no document: ") + path);
        Book book(folder);
        book.LoadAllThema();
        return ImportBookmarkDocument(book, *document->body());
    }

    // The folders an import of `path` builds (none when it cannot be read).
    ThemaList foldersOf(const QString& path)
    {
        const std::optional<DocSnapshot> document = load(path);
        const DocNode* body = document && document->valid ? document->body() : nullptr;
        return body ? BuildImportedFolders(*body) : ThemaList();
    }

    QString writeMarkup(const QByteArray& markup)
    {
        const QString path = m_scratch.filePath(QStringLiteral("b.html"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(markup) < 0)
            return QString();
        return path;
    }

private Q_SLOTS:
    void initTestCase() { m_loader = new BookmarkFileLoader(this); }
    void cleanupTestCase() { delete m_loader; }

    void corpusFile_data()
    {
        QTest::addColumn<QString>("path");
        const QDir corpus(CorpusFolder());
        if (!corpus.exists())
            QTest::newRow("absent") << QString();
        for (const QString& name : corpus.entryList(QDir::Files, QDir::Name))
            QTest::newRow(qPrintable(name)) << corpus.filePath(name);
    }
    // Every folder of the file arrives with every link of its list, and the
    // archive's files hold whole records.
    void corpusFile()
    {
        QFETCH(QString, path);
        if (path.isEmpty())
            ORV_CORPUS_MISSING("ORVANE_TEST_CORPUS/bookmarks");
        QTemporaryDir dir;
        const FileResult result = importFile(dir.path(), path);
        QVERIFY2(result.ok, qPrintable(result.error));
        Book archive(dir.path());
        archive.LoadAllThema();
        QVERIFY(archive.LoadAllBookmarks().ok);
        QCOMPARE(QFileInfo(archive.indexPath()).size(), qint64(archive.themaCount()) * 2291);
        const ThemaList none;
        for (const Thema& thema : archive.colThema() ? *archive.colThema() : none)
            QCOMPARE(QFileInfo(dir.filePath(thema.FileName())).size(),
                     qint64(thema.bookmarkCount()) * 3368);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(LinksPerFolderInArchive(archive), LinksPerFolderInMarkup(file.readAll()));
    }

    void corpusSpotChecks()
    {
        if (!QFileInfo(CorpusFolder()).isDir())
            ORV_CORPUS_MISSING("ORVANE_TEST_CORPUS/bookmarks");
        const auto folders = [this](const char* name) {
            QStringList out;
            for (const Thema& t : foldersOf(CorpusFolder() + u'/' + QLatin1String(name)))
                out << t.DirName() + u' ' + QString::number(t.bookmarkCount());
            return out;
        };
        // Folders directly under the heading, an empty folder and a nested one.
        QCOMPARE(folders("safari-folded-french-no-outer-dl.html"),
                 (QStringList{"Favoris 1", "Menu Signets 0", "Github - Shaarli 1", "Autre Divers 1",
                              "doc 1"}));
        QCOMPARE(folders("google-bookmarks-no-doctype-usec-dates.html"),
                 QStringList{"Unlabeled 6"});
        // Three levels: every folder holds the bookmarks of its subfolders;
        // the links outside any folder are left out.
        QCOMPARE(folders("chrome-cyrillic-empty-folder.html"),
                 (QStringList{"Bookmarks bar 5", "First level bookmark bar folder 3",
                              "Second level bookmark bar folder 2",
                              "Third level bookmark bar folder empty 0", "folder on other 1"}));
        QCOMPARE(folders("shaarli-legacy-missing-dl.html"), QStringList());
        QCOMPARE(folders("empty-zero-bytes.html"), QStringList());
        QCOMPARE(folders("not-a-bookmark-file.html"), QStringList());

        const ThemaList list =
            foldersOf(CorpusFolder() + QStringLiteral("/chrome-cyrillic-empty-folder.html"));
        QVERIFY(!list.isEmpty() && list.at(0).bookmarkCount() >= 2);
        const Bookmark& habr = list.at(0).colBookmark()->at(0);
        QCOMPARE(habr.Titel, QStringLiteral("Лучшие публикации за сутки / Хабр"));
        QCOMPARE(habr.URL, QStringLiteral("https://habr.com/"));
        QVERIFY(
            list.at(0).colBookmark()->at(1).Titel.contains(QLatin1String("Designers & Creative")));
    }

    void toolGivesTheSameArchive_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("sample file") << SampleFile();
        const QDir corpus(CorpusFolder());
        for (const char* name : {"firefox-tags-folder-dd-large-icons.html",
                                 "chrome-zh-cn-nested-utf8.html", "delicious-raw-html-in-dd.html"})
            QTest::newRow(name) << (corpus.exists() ? corpus.filePath(QLatin1String(name))
                                                    : QString());
    }
    // "orvane-data import" writes the archive the tools window's import
    // writes, byte for byte.
    void toolGivesTheSameArchive()
    {
        QFETCH(QString, path);
        if (path.isEmpty())
            ORV_CORPUS_MISSING("ORVANE_TEST_CORPUS/bookmarks");
        QVERIFY(QFile::exists(path));
        QTemporaryDir window;
        const FileResult imported = importFile(window.path(), path);
        QVERIFY2(imported.ok, qPrintable(imported.error));
        QTemporaryDir tool;
        const ToolRun run = RunDataTool(
            {QStringLiteral("import"), QStringLiteral("--data-folder"), tool.path(), path}, {},
            kWait);
        QVERIFY2(run.code == 0, run.err.constData());
        const QMap<QString, QByteArray> expected = ArchiveFiles(window.path());
        const QMap<QString, QByteArray> written = ArchiveFiles(tool.path());
        QCOMPARE(written.keys(), expected.keys());
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QVERIFY2(written.value(it.key()) == it.value(), qPrintable(it.key()));
    }

    // A heading followed by a description: the list lies inside the DD, or
    // after it when the DD was closed.
    void folderWithDescription_data()
    {
        QTest::addColumn<QByteArray>("markup");
        QTest::addColumn<QStringList>("expected");
        const QByteArray head = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n";
        const QByteArray links = "<DT><A HREF=\"http://a/\">a</A>\n<DD>da\n"
                                 "<DT><A HREF=\"http://b/\">b</A>\n";
        QTest::newRow("list in the description")
            << head + "<DT><H3>F</H3>\n<DD>Text\n<DL><p>\n" + links + "</DL><p>\n</DL>\n"
            << QStringList{"F: a|http://a/|da|6; b|http://b/||9;"};
        QTest::newRow("description closed")
            << head + "<DT><H3>F</H3><DD>Text</DD><DL><p>\n" + links + "</DL><p>\n</DL>\n"
            << QStringList{"F: a|http://a/|da|6; b|http://b/||9;"};
        QTest::newRow("nested, empty description")
            << head + "<DT><H3>F</H3>\n<DD>\n<DL><p>\n<DT><H3>G</H3>\n<DD>g\n<DL><p>\n" + links +
                   "</DL><p>\n</DL><p>\n<DT><A HREF=\"http://c/\">c</A>\n</DL>\n"
            << QStringList{"F: a|http://a/|da|11; b|http://b/||14;",
                           "G: a|http://a/|da|6; b|http://b/||9;"};
    }
    void folderWithDescription()
    {
        QFETCH(QByteArray, markup);
        QFETCH(QStringList, expected);
        const std::optional<DocSnapshot> document = load(writeMarkup(markup));
        QVERIFY(document && document->valid && document->body());
        const DocNode& body = *document->body();
        const ThemaList folders = BuildImportedFolders(body);
        QCOMPARE(Summary(folders), expected);
        qsizetype records = 0;
        for (const Thema& thema : folders)
            records += thema.bookmarkCount();
        QCOMPARE(CountImportedBookmarks(body), records);
    }

    // Addresses keep the characters the file wrote; only relative ones are
    // resolved against the file.
    void addressesAsWritten()
    {
        const QString path =
            writeMarkup("<meta charset=\"utf-8\"><DL><p><DT><H3>F</H3><DL><p>\n"
                        "<DT><A HREF=\"file:///::{20D04FE0-3AEA-1069-A2D8-08002B30309D}/x\">a</A>\n"
                        "<DT><A HREF=\" http://q.test/?a=1&amp;b=&quot;2&quot;&lt;x&gt; \">b</A>\n"
                        "<DT><A HREF=\"http://h.test/\xC3\xBC?q=\xE2\x82\xAC x\">c</A>\n"
                        "<DT><A HREF=\"?rel\">d</A>\n</DL><p></DL>\n");
        const ThemaList folders = foldersOf(path);
        QCOMPARE(folders.size(), 1);
        QStringList addresses;
        for (const Bookmark& bookmark : *folders.at(0).colBookmark())
            addresses << bookmark.URL;
        QCOMPARE(addresses, (QStringList{"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\x",
                                         "http://q.test/?a=1&b=\"2\"<x>", "http://h.test/ü?q=€ x",
                                         QUrl::fromLocalFile(path).toString() + "?rel"}));
    }

    // What the export writes comes back through the import.
    void netscapeRoundTrip()
    {
        Book source(m_scratch.filePath(QStringLiteral("none")));
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

        const QString file = m_scratch.filePath(QStringLiteral("export.htm"));
        QVERIFY(WriteExportFile(file, ExportNetscape(ExportSource::Archive(source),
                                                     QDateTime::currentDateTime()))
                    .ok);
        QCOMPARE(Summary(foldersOf(file)),
                 (QStringList{"Städte & <Orte>: Bahn <neu> & alt|http://bahn.de/"
                              "?a=1&b=\"2\"||5; <FEED />Nachrichten|http://n.de/rss|a\r\nb|7;",
                              "Leer:"}));
    }
};

ORV_GUI_TEST_MAIN(TestEngineImport)
#include "tst_engineimport.moc"
