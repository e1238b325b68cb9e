// "orvane-data import": a bookmark file replaces the archive of a data
// folder; failures leave the folder as it was.

#include "bookmarks/book.h"
#include "common/datatoolrun.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace orv;

namespace {

using Run = ToolRun;

Run runTool(const QStringList& args, const QProcessEnvironment& env = {})
{
    return RunDataTool(args, env);
}

// Every file of a folder with a hash of its content.
QStringList contentOf(const QString& folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::Files);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            entries << QFileInfo(path).fileName() + QLatin1Char('=') +
                           QString::fromLatin1(
                               QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1)
                                   .toHex());
    }
    entries.sort();
    return entries;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// An archive of `count` folders named "Alt 1", "Alt 2", ...
void writeOldArchive(const QString& folder, int count)
{
    Book book(folder);
    ThemaList list;
    for (int i = 1; i <= count; ++i) {
        Thema thema;
        thema.setNr(i);
        thema.setSequenz(i);
        thema.setFileName(QString::number(i) + QStringLiteral(".bkm"));
        thema.setDirName(QStringLiteral("Alt %1").arg(i));
        thema.ensureColBookmark().append(
            Bookmark{1, QStringLiteral("x"), QStringLiteral("u"), {}, true, true});
        list.append(std::move(thema));
    }
    book.setColThema(std::move(list));
    book.setIsEdit(true);
    QVERIFY(book.SaveAllThema().ok);
}

QByteArray folderMarkup(const QByteArray& name, int links)
{
    QByteArray markup = "<DT><H3>" + name + "</H3>\n<DL><p>\n";
    for (int i = 0; i < links; ++i)
        markup += "<DT><A HREF=\"http://" + name + ".test/" + QByteArray::number(i) + "\">" + name +
                  QByteArray::number(i) + "</A>\n";
    return markup + "</DL><p>\n";
}

} // namespace

class TestDataToolImport : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void replacesTheArchive()
    {
        QTemporaryDir data;
        writeOldArchive(data.path(), 3);
        const QString file = data.filePath(
            QStringLiteral("../import-%1.html").arg(QCoreApplication::applicationPid()));
        writeFile(file, "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n" + folderMarkup("eins", 3) +
                            folderMarkup("zwei", 2) + "</DL>\n");
        const Run run =
            runTool({QStringLiteral("import"), QStringLiteral("--data-folder"), data.path(), file});
        QCOMPARE(run.code, 0);
        QCOMPARE(run.out, QByteArray("2 Ordner mit 5 Bookmarks importiert.\n"));
        Book book(data.path());
        QVERIFY(book.LoadAllThema());
        QCOMPARE(book.themaCount(), 2);
        QCOMPARE(book.colThema()->at(0).DirName(), QStringLiteral("eins"));
        QCOMPARE(book.colThema()->at(1).FileName(), QStringLiteral("2.bkm"));
        QVERIFY(book.colThema()->at(1).LoadBookmarks(data.path()).ok);
        QCOMPARE(book.colThema()->at(1).bookmarkCount(), 2);
        // The old archive's third folder file is no longer named: it goes.
        QVERIFY(!QFile::exists(data.filePath(QStringLiteral("3.bkm"))));
        QVERIFY(run.err.isEmpty());
    }

    // Names the folder files cannot keep are named once on standard error.
    void namesUnstorableNames()
    {
        QTemporaryDir data;
        const QString file =
            data.filePath(QStringLiteral("../zh-%1.html")).arg(QCoreApplication::applicationPid());
        writeFile(file, "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
                        "<DL><p>\n" +
                            folderMarkup("Bücher", 1) + folderMarkup("书签栏", 2) +
                            folderMarkup("漢字", 1) + "</DL>\n");
        const Run run =
            runTool({QStringLiteral("import"), QStringLiteral("--data-folder"), data.path(), file});
        QFile::remove(file);
        QCOMPARE(run.code, 0);
        QCOMPARE(run.err.count('\n'), 1);
        QVERIFY2(run.err.contains("5 Einträge enthalten Zeichen"), run.err.constData());
        QVERIFY2(run.err.contains("\"书签栏\""), run.err.constData());
    }

    // Character references decode as the browser decodes them, named ones
    // beyond Latin-1 included. The first name the folder files cannot keep
    // is named in the warning; one they can keep is read back.
    void referencesDecoded_data()
    {
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QByteArray>("warning");
        QTest::newRow("named, beyond Latin-1")
            << QByteArray("&alpha; &rarr; &Omega; &sum;") << QStringLiteral("? ? ? ?")
            << QByteArray("\"\xCE\xB1 \xE2\x86\x92 \xCE\xA9 \xE2\x88\x91\"");
        QTest::newRow("Latin-1 and numbers") << QByteArray("&auml;&copy; &#8364;&#x41; &amp;")
                                             << QStringLiteral("ä© €A &") << QByteArray();
    }
    void referencesDecoded()
    {
        QFETCH(QByteArray, written);
        QFETCH(QString, stored);
        QFETCH(QByteArray, warning);
        QTemporaryDir data;
        QTemporaryDir input;
        const QString file = input.filePath(QStringLiteral("r.html"));
        writeFile(file, "<DL><p><DT><H3>" + written +
                            "</H3><DL><p><DT><A HREF=\"http://r.test/\">r</A></DL></DL>");
        const Run run =
            runTool({QStringLiteral("import"), QStringLiteral("--data-folder"), data.path(), file});
        QCOMPARE(run.code, 0);
        QVERIFY2(warning.isEmpty() ? run.err.isEmpty() : run.err.contains(warning),
                 run.err.constData());
        Book book(data.path());
        QVERIFY(book.LoadAllThema());
        QCOMPARE(book.themaCount(), 1);
        QCOMPARE(book.colThema()->at(0).DirName(), stored);
    }

    // Without a display every command runs: the import on the offscreen
    // platform it chooses itself, the others without starting the engine.
    void withoutDisplay_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("import") << QStringLiteral("import");
        QTest::newRow("dump") << QStringLiteral("dump");
    }
    void withoutDisplay()
    {
        QFETCH(QString, command);
        QTemporaryDir data;
        writeOldArchive(data.path(), 1);
        const QString file = data.filePath(QStringLiteral("b.html"));
        writeFile(file, "<DL><p>" + folderMarkup("eins", 1) + "</DL>");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QLatin1String(name));
        const QStringList args =
            command == QLatin1String("import")
                ? QStringList{command, QStringLiteral("--data-folder"), data.path(), file}
                : QStringList{command, data.filePath(QStringLiteral("Book.bkm"))};
        const Run run = runTool(args, env);
        QVERIFY2(run.code == 0, run.err.constData());
        QVERIFY(!run.out.isEmpty());
    }

    void failuresLeaveTheFolder_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("too many") << QStringLiteral("nested")
                                  << QByteArray("Der Import wurde abgebrochen");
        QTest::newRow("missing file")
            << QStringLiteral("missing") << QByteArray("Die Datei gibt es nicht");
        QTest::newRow("no data folder")
            << QStringLiteral("nofolder") << QByteArray("Der Datenordner existiert nicht");
        QTest::newRow("two files")
            << QStringLiteral("two") << QByteArray("genau eine Bookmark-Datei");
    }
    void failuresLeaveTheFolder()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, message);
        QTemporaryDir data;
        QTemporaryDir input;
        writeOldArchive(data.path(), 2);
        const QStringList before = contentOf(data.path());
        const QString file = input.filePath(QStringLiteral("b.html"));
        // Twenty nested folders around 5001 links: every link counts once
        // for each folder it lies in, 100020 records in all.
        QByteArray nested = "<DL><p>\n";
        for (int i = 0; i < 20; ++i)
            nested += "<DT><H3>F" + QByteArray::number(i) + "</H3>\n<DL><p>\n";
        for (int i = 0; i < 5001; ++i)
            nested += "<DT><A HREF=\"http://n.test/" + QByteArray::number(i) + "\">n</A>\n";
        writeFile(file, nested);
        QStringList args{QStringLiteral("import"), QStringLiteral("--data-folder"), data.path(),
                         file};
        if (kind == QLatin1String("missing"))
            args.last() = input.filePath(QStringLiteral("none.html"));
        else if (kind == QLatin1String("nofolder"))
            args[2] = data.filePath(QStringLiteral("none"));
        else if (kind == QLatin1String("two"))
            args << file;
        const Run run = runTool(args);
        QCOMPARE(run.code, 2);
        QVERIFY2(run.err.contains(message), run.err.constData());
        QVERIFY(run.out.isEmpty());
        QCOMPARE(contentOf(data.path()), before);
    }
};

QTEST_GUILESS_MAIN(TestDataToolImport)
#include "tst_datatoolimport.moc"
