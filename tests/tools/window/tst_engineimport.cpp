// Every bookmark file of the shared corpus imports into the same archive,
// byte for byte, whether the web engine or the fallback parser reads it, and
// every folder of the file arrives with every link of its list.

#include "bookmarks/import.h"
#include "bookmarks/netscapeparser.h"
#include "common/bookmarkcorpus.h"
#include "common/corpus.h"
#include "common/guitest.h"
#include "platform/bookmarkloader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

using namespace orv;

namespace {

constexpr int kWait = 30000;

QString CorpusFolder()
{
    return QStringLiteral(ORVANE_TEST_CORPUS) + QStringLiteral("/bookmarks");
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

} // namespace

class TestEngineImport : public QObject {
    Q_OBJECT

    BookmarkFileLoader* m_loader = nullptr;
    // The archive the engine's document gave in the last comparison.
    QString m_engineFolder;
    std::unique_ptr<QTemporaryDir> m_engineDir;

    // The document of `path` as the engine parses it.
    std::optional<DocSnapshot> loadWithEngine(const QString& path)
    {
        std::optional<DocSnapshot> result;
        const QMetaObject::Connection connection =
            connect(m_loader, &BookmarkFileLoader::loaded, this,
                    [&result](const DocSnapshot& document) { result = document; });
        m_loader->load(path);
        static_cast<void>(QTest::qWaitFor([&result] { return result.has_value(); }, kWait));
        disconnect(connection);
        return result;
    }

private Q_SLOTS:
    void initTestCase() { m_loader = new BookmarkFileLoader(this); }
    void cleanupTestCase() { delete m_loader; }

    void sameArchive_data()
    {
        QTest::addColumn<QString>("path");
        const QDir corpus(CorpusFolder());
        if (!corpus.exists())
            QTest::newRow("absent") << QString();
        for (const QString& name : corpus.entryList(QDir::Files, QDir::Name))
            QTest::newRow(qPrintable(name)) << corpus.filePath(name);
    }
    void sameArchive()
    {
        QFETCH(QString, path);
        if (path.isEmpty())
            ORV_CORPUS_MISSING("ORVANE_TEST_CORPUS/bookmarks");
        compare(path);
        if (QTest::currentTestFailed())
            return;
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        Book archive(m_engineFolder);
        archive.LoadAllThema();
        QVERIFY(archive.LoadAllBookmarks().ok);
        QCOMPARE(LinksPerFolderInArchive(archive), LinksPerFolderInMarkup(file.readAll()));
    }

    // The program's own sample file, imported into every empty archive.
    void sampleFile()
    {
        const QString path = QDir(AppFolder()).filePath(QStringLiteral("orvbooksamples.html"));
        QVERIFY(QFile::exists(path));
        compare(path);
    }

private:
    void compare(const QString& path)
    {
        const std::optional<DocSnapshot> document = loadWithEngine(path);
        QVERIFY(document.has_value());
        QVERIFY2(document->valid, qPrintable(document->error));
        const DocNode* body = document->body();
        QVERIFY(body);

        m_engineDir = std::make_unique<QTemporaryDir>();
        m_engineFolder = m_engineDir->path();
        const QTemporaryDir& engineDir = *m_engineDir;
        Book engineBook(engineDir.path());
        const FileResult engineResult = ImportBookmarkDocument(engineBook, *body);
        QTemporaryDir parserDir;
        Book parserBook(parserDir.path());
        const FileResult parserResult = ImportBookmarkFile(parserBook, path);
        QCOMPARE(parserResult.ok, engineResult.ok);
        QCOMPARE(parserResult.error, engineResult.error);

        const QMap<QString, QByteArray> engineFiles = ArchiveFiles(engineDir.path());
        const QMap<QString, QByteArray> parserFiles = ArchiveFiles(parserDir.path());
        QCOMPARE(parserFiles.keys(), engineFiles.keys());
        for (auto it = engineFiles.cbegin(); it != engineFiles.cend(); ++it)
            QVERIFY2(parserFiles.value(it.key()) == it.value(), qPrintable(it.key()));
    }
};

ORV_GUI_TEST_MAIN(TestEngineImport)
#include "tst_engineimport.moc"
