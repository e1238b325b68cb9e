// The bookmark store: record bytes, loading, saving, keys, numbering, edit
// marks and damaged or unwritable files.

#include "bookmarks/book.h"
#include "common/bookmarktools.h"
#include "common/filetools.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <limits>
#include <optional>
#include <sys/stat.h>

using namespace orv;

namespace {

QByteArray le16(int v)
{
    return QByteArray(1, char(v & 0xFF)) + char((v >> 8) & 0xFF);
}

QByteArray le32(qint32 v)
{
    const auto u = quint32(v);
    QByteArray b;
    for (int i = 0; i < 4; ++i)
        b += char((u >> (8 * i)) & 0xFF);
    return b;
}

QByteArray field(const QByteArray& text, int width)
{
    return text.left(width) + QByteArray(qMax(0, width - int(text.size())), ' ');
}

// A folder-file record made by hand, independent of the code under test.
QByteArray rawBookmark(int nr, const QByteArray& titel, const QByteArray& url,
                       const QByteArray& info, int adress = -1, int toolbar = 0)
{
    return le16(nr) + field(titel, 255) + field(url, 2083) + field(info, 1024) + le16(adress) +
           le16(toolbar);
}

QByteArray rawThema(qint32 sequenz, qint32 nr, const QByteArray& name, const QByteArray& file)
{
    return le32(sequenz) + le32(nr) + field(name, 200) + field(file, 2083);
}

// Shown with both bars.
Bookmark makeBookmark(const QString& titel, const QString& url, const QString& info = {})
{
    return MakeBookmark(titel, url, info, true, true);
}

Thema makeThema(qint32 key, const QString& name)
{
    Thema t;
    t.setNr(key);
    t.setSequenz(key);
    t.setDirName(name);
    t.setFileName(QString::number(key) + QStringLiteral(".bkm"));
    return t;
}

} // namespace

class TestBookStore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir.emplace();
        QVERIFY(m_dir->isValid());
    }

    void bookmarkRecordLayout()
    {
        Bookmark b = makeBookmark(QStringLiteral("<FEED />Nachrichten"),
                                  QStringLiteral("http://example.org/"), QStringLiteral("a\r\nb"));
        b.Toolbar = false;
        QByteArray rec;
        AppendBookmarkRecord(rec, b, 513);
        QCOMPARE(rec.size(), 3368);
        QCOMPARE(rec.mid(0, 2), QByteArray("\x01\x02", 2));
        QCOMPARE(rec.mid(2, 255), field("<FEED />Nachrichten", 255));
        QCOMPARE(rec.mid(257, 2083), field("http://example.org/", 2083));
        QCOMPARE(rec.mid(2340, 1024), field("a\r\nb", 1024));
        QCOMPARE(rec.mid(3364, 2), QByteArray("\xFF\xFF", 2));
        QCOMPARE(rec.mid(3366, 2), QByteArray("\x00\x00", 2));
    }

    void themaRecordLayout()
    {
        Thema t = makeThema(-2, QStringLiteral("Nachrichten"));
        QByteArray rec;
        AppendThemaRecord(rec, t, 70000);
        QCOMPARE(rec.size(), 2291);
        QCOMPARE(rec, rawThema(-2, 70000, "Nachrichten", "-2.bkm"));
    }

    void textFields_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("title cut") << QString(300, u'x') << 255 << QByteArray(255, 'x');
        QTest::newRow("address whole") << QString(2083, u'u') << 2083 << QByteArray(2083, 'u');
        QTest::newRow("euro and umlaut") << QStringLiteral("€ä") << 5 << QByteArray("\x80\xE4   ");
        QTest::newRow("outside code page") << QStringLiteral("日x😀") << 4 << QByteArray("?x? ");
        QTest::newRow("non-ascii cut") << (QStringLiteral("ä") + QString(300, u'y')) << 255
                                       << (QByteArray("\xE4") + QByteArray(254, 'y'));
        QTest::newRow("nul kept") << QString::fromUtf16(u"a\0b", 3) << 4 << QByteArray("a\0b ", 4);
    }
    void textFields()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(QByteArray, stored);
        Bookmark b;
        b.Titel = text;
        b.URL = text;
        QByteArray rec;
        AppendBookmarkRecord(rec, b, 1);
        const int offset = width == 2083 ? 257 : 2;
        QCOMPARE(rec.mid(offset, stored.size()), stored);
    }

    void readFields_data()
    {
        QTest::addColumn<QByteArray>("info");
        QTest::addColumn<QString>("expected");
        QTest::newRow("blank before break") << QByteArray("a \r\nb") << QStringLiteral("a\r\nb");
        QTest::newRow("each blank once")
            << QByteArray("a  \r\nb \r\n") << QStringLiteral("a \r\nb\r\n");
        QTest::newRow("surrounding blanks") << QByteArray("  a b  ") << QStringLiteral("a b");
        QTest::newRow("lone CR kept") << QByteArray("a \rb") << QStringLiteral("a \rb");
        QTest::newRow("nul inside") << QByteArray("a\0b", 3) << QString::fromUtf16(u"a\0b", 3);
        QTest::newRow("unassigned bytes")
            << QByteArray("\x81\x8D\x9D") << QString::fromUtf16(u"\u0081\u008D\u009D");
        QTest::newRow("cp1252 high")
            << QByteArray("\x80\x9F\xFF") << QString::fromUtf16(u"\u20AC\u0178\u00FF");
    }
    void readFields()
    {
        QFETCH(QByteArray, info);
        QFETCH(QString, expected);
        const Bookmark b = ReadBookmarkRecord(rawBookmark(9, info, " " + info, info));
        QCOMPARE(b.Info, expected);
        QCOMPARE(b.Nr, qint16(9));
        QVERIFY(b.Adresszeile);
        QVERIFY(!b.Toolbar);
    }

    void roundTripAndFiles()
    {
        const QString dir = m_dir->path();
        {
            Book book(dir);
            ThemaList& list = book.ensureColThema();
            Thema filled = makeThema(1, QStringLiteral("Gefüllt"));
            filled.ensureColBookmark().append(makeBookmark(
                QStringLiteral("A"), QStringLiteral("http://a/"), QStringLiteral("x \r\ny")));
            filled.ensureColBookmark().append(
                makeBookmark(QStringLiteral("B"), QStringLiteral("http://b/")));
            list.append(std::move(filled));
            Thema emptied = makeThema(2, QStringLiteral("Geleert"));
            emptied.ensureColBookmark();
            list.append(std::move(emptied));
            list.append(makeThema(3, QStringLiteral("Neu")));
            QVERIFY(book.SaveAllThema().ok);
            QVERIFY(!book.IsModified());
        }
        QCOMPARE(ReadBytes(dir + "/2.bkm").size(), 0);
        QVERIFY(QFileInfo::exists(dir + "/2.bkm"));
        QVERIFY(!QFileInfo::exists(dir + "/3.bkm"));
        QCOMPARE(ReadBytes(dir + "/Book.bkm").size(), 3 * 2291);
        QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::Hidden).size(), 3); // no temporaries

        Book book(dir);
        QVERIFY(book.LoadAllThema());
        QVERIFY(book.LoadAllBookmarks().ok);
        QCOMPARE(book.ItCounter(), qint16(3));
        const ThemaList& list = *book.colThema();
        QCOMPARE(list.at(0).DirName(), QStringLiteral("Gefüllt"));
        QVERIFY(!list.at(0).IsEdit());
        QCOMPARE(list.at(0).ItCounter(), qint16(2));
        const Bookmark& a = list.at(0).colBookmark()->at(0);
        QCOMPARE(a, (Bookmark{1, QStringLiteral("A"), QStringLiteral("http://a/"),
                              QStringLiteral("x\r\ny"), true, true}));
        QCOMPARE(list.at(0).colBookmark()->at(1).Nr, qint16(2));
        // Both empty folders load as folders without bookmarks.
        QVERIFY(!list.at(1).hasColBookmark());
        QVERIFY(!list.at(2).hasColBookmark());
        QCOMPARE(list.at(2).ItCounter(), qint16(0));
        // Loading created the missing file empty.
        QCOMPARE(ReadBytes(dir + "/3.bkm").size(), 0);
        QVERIFY(QFileInfo::exists(dir + "/3.bkm"));
    }

    void resaveIsByteExact()
    {
        const QString dir = m_dir->path();
        const QByteArray folder =
            rawBookmark(1, QByteArray("\x80\x81 T\0x", 6), "u\xFF", "i\r\nj", -1, -1) +
            rawBookmark(2, "zwei", "http://z/", "", 0, -1);
        const QByteArray index = rawThema(40, 1, "\xE4rger", "40.bkm");
        WriteBytes(dir + "/40.bkm", folder);
        WriteBytes(dir + "/Book.bkm", index);
        Book book(dir);
        QVERIFY(book.LoadAllThema());
        QVERIFY(book.LoadAllBookmarks().ok);
        book.colThema()->at(0).setIsEdit(true);
        QVERIFY(book.SaveAllThema().ok);
        QCOMPARE(ReadBytes(dir + "/40.bkm"), folder);
        QCOMPARE(ReadBytes(dir + "/Book.bkm"), index);
    }

    void keysAndPositions()
    {
        const QString dir = m_dir->path();
        WriteBytes(dir + "/Book.bkm",
                   rawThema(7, -9, "Eins", "7.bkm") + rawThema(3, 99, "Zwei", "3.bkm"));
        WriteBytes(dir + "/3.bkm",
                   rawBookmark(-5, "a", "u", "") + rawBookmark(32767, "b", "v", ""));
        Book book(dir);
        QVERIFY(book.LoadAllThema());
        QVERIFY(book.LoadAllBookmarks().ok);
        ThemaList& list = *book.colThema();
        // Numbers are positions, whatever the records say.
        QCOMPARE(list.at(0).Nr(), 1);
        QCOMPARE(list.find(QStringLiteral(">2")), &list.at(1));
        QCOMPARE(list.keyAt(0), QStringLiteral(">1"));
        QVERIFY(!list.find(QStringLiteral(">99")));
        BookmarkList& bookmarks = *list.at(1).colBookmark();
        QCOMPARE(bookmarks.at(1).Nr, qint16(2));
        QCOMPARE(bookmarks.find(QStringLiteral(">2|2"))->Titel, QStringLiteral("b"));
        QCOMPARE(list.at(1).GetNewKey(), qint16(3));

        // Objects added later go in by position and carry no key.
        Bookmark& added =
            bookmarks.insert(1, makeBookmark(QStringLiteral("neu"), QStringLiteral("n")));
        QCOMPARE(bookmarks.indexOf(&added), 1);
        QCOMPARE(bookmarks.keyAt(1), QString());
        QCOMPARE(bookmarks.indexOfKey(QStringLiteral(">2|2")), 2);
        // A key given twice stays with its first object.
        bookmarks.append(makeBookmark(QStringLiteral("dup"), QStringLiteral("d")),
                         QStringLiteral(">2|1"));
        QCOMPARE(bookmarks.find(QStringLiteral(">2|1"))->Titel, QStringLiteral("a"));
        QCOMPARE(bookmarks.keyAt(3), QString());
        bookmarks.removeAt(3);
        bookmarks.removeAt(2);
        QVERIFY(!bookmarks.find(QStringLiteral(">2|2")));
        QCOMPARE(bookmarks.count(), 2);
    }

    void sequenzMax()
    {
        const QString dir = m_dir->path();
        WriteBytes(dir + "/Book.bkm", rawThema(5, 1, "a", "5.bkm") + rawThema(-3, 2, "b", "x.bkm") +
                                          rawThema(17, 3, "c", "17.bkm"));
        Book book(dir);
        QCOMPARE(book.SequenzMax(), 0);
        QVERIFY(book.LoadAllThema());
        QCOMPARE(book.SequenzMax(), 17);
        // Deleting the folder with the highest key does not free the key.
        QVERIFY(book.DeleteThema(3).ok);
        QCOMPARE(book.GetNewKey(), 18);
        QVERIFY(book.LoadAllThema());
        QCOMPARE(book.SequenzMax(), 18); // never lowered by a load
        // After a restart the next key is one above the highest stored one.
        Book restarted(dir);
        restarted.LoadAllThema();
        QCOMPARE(restarted.GetNewKey(), 6);
    }

    void keysExhausted()
    {
        Book book(m_dir->path());
        ThemaList& list = book.ensureColThema();
        list.append(makeThema(1, QStringLiteral("a")));
        list.append(makeThema(2, QStringLiteral("b")));
        list.append(makeThema(std::numeric_limits<qint32>::max(), QStringLiteral("c")));
        book.setSequenzMax(std::numeric_limits<qint32>::max());
        QCOMPARE(book.GetNewKey(), 3);
        QCOMPARE(book.SequenzMax(), std::numeric_limits<qint32>::max());

        Thema t;
        BookmarkList& bookmarks = t.ensureColBookmark();
        for (int nr : {1, 3})
            bookmarks.append(Bookmark{qint16(nr), {}, {}, {}, false, false});
        t.setItCounter(32766);
        QCOMPARE(t.GetNewKey(), qint16(32767));
        QCOMPARE(t.GetNewKey(), qint16(2));
    }

    void editMarks()
    {
        Thema t;
        QVERIFY(!t.IsEdit());
        t.setDirName(QStringLiteral("x"));
        QVERIFY(t.IsEdit());
        t.setColBookmark(BookmarkList());
        t.setIsEdit(false);
        t.ensureColBookmark().append(Bookmark{});
        QVERIFY(!t.IsEdit()); // only the caller marks edits

        Book book(m_dir->path());
        book.setIsEdit(true);
        QVERIFY(!book.IsModified()); // no folder list, nothing to save
        book.ensureColThema().append(std::move(t));
        book.setIsEdit(false);
        book.colThema()->at(0).setIsEdit(true);
        QVERIFY(book.IsModified());
        book.setIsEdit(true);
        book.ClearModified();
        QVERIFY(!book.IsModified());
        QVERIFY(!QFileInfo::exists(book.indexPath())); // clearing writes nothing

        // Only folders marked edited are written.
        book.colThema()->at(0).setFileName(QStringLiteral("9.bkm"));
        QVERIFY(book.SaveAllThema().ok);
        QVERIFY(!QFileInfo::exists(m_dir->path() + "/9.bkm"));
        book.colThema()->at(0).setIsEdit(true);
        book.setIsEdit(true);
        QVERIFY(book.SaveAllThema().ok);
        QCOMPARE(ReadBytes(m_dir->path() + "/9.bkm").size(), 3368);
        QVERIFY(!book.IsEdit());
        QVERIFY(!book.colThema()->at(0).IsEdit());
    }

    void deleteThema()
    {
        const QString dir = m_dir->path();
        WriteBytes(dir + "/Book.bkm", rawThema(4, 1, "a", "4.bkm") + rawThema(8, 2, "b", "8.bkm") +
                                          rawThema(6, 3, "c", "6.bkm"));
        for (const char* name : {"4.bkm", "8.bkm", "6.bkm"})
            WriteBytes(dir + "/" + name, rawBookmark(1, name, "u", ""));
        Book book(dir);
        QVERIFY(book.LoadAllThema());
        QVERIFY(book.LoadAllBookmarks().ok);
        QVERIFY(!book.DeleteThema(0).ok);
        QVERIFY(!book.DeleteThema(4).ok);
        QCOMPARE(book.themaCount(), 3);

        QVERIFY(book.DeleteThema(1).ok);
        QVERIFY(!QFileInfo::exists(dir + "/4.bkm"));
        QCOMPARE(ReadBytes(dir + "/Book.bkm"),
                 rawThema(8, 1, "b", "8.bkm") + rawThema(6, 2, "c", "6.bkm"));
        QCOMPARE(ReadBytes(dir + "/8.bkm"), rawBookmark(1, "8.bkm", "u", ""));
        // A folder whose file is already gone deletes without error.
        QFile::remove(dir + "/6.bkm");
        QVERIFY(book.DeleteThema(2).ok);
        QCOMPARE(ReadBytes(dir + "/Book.bkm").size(), 2291);
    }

    // Deleting a folder never deletes a file another folder of the index
    // still reads its bookmarks from, whichever of the other folders that is
    // (the rest have files of their own).
    void deleteKeepsSharedFile_data()
    {
        QTest::addColumn<QString>("otherFile");
        QTest::addColumn<bool>("linked");   // otherFile is a link to a.bkm
        QTest::addColumn<bool>("ownFirst"); // the folder with a file of its own comes first
        QTest::addColumn<bool>("kept");
        QTest::newRow("same name") << QStringLiteral("a.bkm") << false << false << true;
        QTest::newRow("same name, after another")
            << QStringLiteral("a.bkm") << false << true << true;
        QTest::newRow("a link to the file") << QStringLiteral("b.bkm") << true << false << true;
        QTest::newRow("a link, after another") << QStringLiteral("b.bkm") << true << true << true;
        QTest::newRow("a file of its own") << QStringLiteral("b.bkm") << false << false << false;
    }
    void deleteKeepsSharedFile()
    {
        QFETCH(QString, otherFile);
        QFETCH(bool, linked);
        QFETCH(bool, ownFirst);
        QFETCH(bool, kept);
        const QString dir = m_dir->path();
        const QByteArray sharer = rawThema(2, 2, "bleibt", otherFile.toLatin1());
        const QByteArray own = rawThema(3, 3, "eigen", "c.bkm");
        WriteBytes(dir + "/Book.bkm",
                   rawThema(1, 1, "weg", "a.bkm") + (ownFirst ? own + sharer : sharer + own));
        const QByteArray marks = rawBookmark(1, "t", "u", "");
        WriteBytes(dir + "/a.bkm", marks);
        WriteBytes(dir + "/c.bkm", marks);
        if (linked)
            QVERIFY(QFile::link(dir + "/a.bkm", dir + "/" + otherFile));
        else if (otherFile != u"a.bkm")
            WriteBytes(dir + "/" + otherFile, marks);
        Book book(dir);
        QVERIFY(book.LoadAllThema());
        QVERIFY(book.LoadAllBookmarks().ok);
        QVERIFY(book.DeleteThema(1).ok);
        QCOMPARE(QFileInfo::exists(dir + "/a.bkm"), kept);

        Book reloaded(dir);
        QVERIFY(reloaded.LoadAllThema());
        QVERIFY(reloaded.LoadAllBookmarks().ok);
        QCOMPARE(reloaded.themaCount(), 2);
        for (const Thema& thema : *reloaded.colThema())
            QCOMPARE(thema.bookmarkCount(), 1);
    }

    void damagedIndex_data()
    {
        QTest::addColumn<int>("extraBytes");
        QTest::addColumn<int>("records");
        QTest::newRow("whole") << 0 << 2;
        QTest::newRow("partial tail") << 100 << 2;
        QTest::newRow("one byte short of three") << 2290 << 2;
    }
    void damagedIndex()
    {
        QFETCH(int, extraBytes);
        QFETCH(int, records);
        const QString dir = m_dir->path();
        WriteBytes(dir + "/Book.bkm", rawThema(1, 1, "a", "1.bkm") + rawThema(2, 2, "b", "2.bkm") +
                                          QByteArray(extraBytes, 'z'));
        WriteBytes(dir + "/1.bkm", rawBookmark(1, "t", "u", "") + QByteArray(3367, 'q'));
        Book book(dir);
        QVERIFY(book.LoadAllThema());
        QCOMPARE(book.themaCount(), records);
        QCOMPARE(book.ItCounter(), qint16(records));
        QVERIFY(book.LoadAllBookmarks().ok);
        QCOMPARE(book.colThema()->at(0).bookmarkCount(), 1);
    }

    // An index that exists but cannot be read is reported, and no save of
    // that book (edit, delete, import) writes over it until a load reads it.
    void unreadableIndexNeverSavedOver()
    {
        const QString dir = m_dir->path();
        QVERIFY(QDir().mkpath(dir + "/Book.bkm"));
        Book book(dir);
        FileResult read;
        QVERIFY(!book.LoadAllThema(&read));
        QVERIFY(!read.ok);
        QVERIFY(!book.unreadIndex().ok);
        book.ensureColThema().append(makeThema(1, QStringLiteral("neu")), Thema::KeyFor(1));
        book.setIsEdit(true);
        QVERIFY(!book.SaveAllThema().ok);
        QVERIFY(!book.DeleteThema(1).ok);
        QVERIFY(QFileInfo(dir + "/Book.bkm").isDir());
        QVERIFY(!QFile::exists(dir + "/1.bkm"));
        // Once readable again, saving works.
        QVERIFY(QDir(dir).rmdir("Book.bkm"));
        WriteBytes(dir + "/Book.bkm", rawThema(1, 1, "a", "1.bkm"));
        QVERIFY(book.LoadAllThema());
        book.setIsEdit(true);
        QVERIFY(book.SaveAllThema().ok);
    }

    // A folder file that cannot be read is reported; the folders after it
    // still load.
    void unreadableFolderReported()
    {
        const QString dir = m_dir->path();
        WriteBytes(dir + "/Book.bkm", rawThema(1, 1, "a", "1.bkm") + rawThema(2, 2, "b", "2.bkm"));
        QVERIFY(QDir().mkpath(dir + "/1.bkm"));
        WriteBytes(dir + "/2.bkm", rawBookmark(1, "t", "u", ""));
        Book book(dir);
        QVERIFY(book.LoadAllThema());
        const FileResult loaded = book.LoadAllBookmarks();
        QVERIFY(!loaded.ok);
        QVERIFY2(loaded.error.contains(QLatin1String("1.bkm")), qPrintable(loaded.error));
        QCOMPARE(book.colThema()->at(1).bookmarkCount(), 1);
    }

    // A folder file is read only as a regular file inside the data folder,
    // by the store and by the start-up's reader alike: a link leading out, a
    // device, a FIFO or a file too large is never opened.
    void hostileFolderFiles_data()
    {
        QTest::addColumn<QString>("make");
        QTest::newRow("link out of the folder") << "link";
        QTest::newRow("link to a device") << "device";
        QTest::newRow("FIFO") << "fifo";
        QTest::newRow("too large") << "large";
    }
    void hostileFolderFiles()
    {
        QFETCH(QString, make);
        const QString data = m_dir->path() + "/data";
        QVERIFY(QDir().mkpath(data));
        const QString victim = m_dir->path() + "/victim.bkm";
        WriteBytes(victim, rawBookmark(1, "geheim", "http://geheim/", ""));
        const QString path = data + "/1.bkm";
        if (make == u"link") {
            QVERIFY(QFile::link(victim, path));
        } else if (make == u"device") {
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
        } else if (make == u"fifo") {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else {
            QFile large(path); // sparse
            QVERIFY(large.open(QIODevice::WriteOnly));
            QVERIFY(large.resize(MaxFolderFileBytes + BookmarkRecordLength));
        }
        Thema thema = makeThema(1, QStringLiteral("a"));
        const FileResult loaded = thema.LoadBookmarks(data);
        QVERIFY(!loaded.ok);
        QVERIFY2(loaded.error.contains(path), qPrintable(loaded.error));
        QVERIFY(!thema.hasColBookmark());
        QCOMPARE(thema.ItCounter(), qint16(0));

        QByteArray content("stale");
        QVERIFY(!ReadFolderFile(data, QStringLiteral("1.bkm"), content).ok);
        QVERIFY(content.isEmpty());
    }

    // The start-up's reader takes plain names of the data folder only; a
    // missing file reads as empty.
    void readFolderFileNames_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("bytes");
        QTest::newRow("plain name") << QStringLiteral("1.bkm") << true << 3368;
        QTest::newRow("missing") << QStringLiteral("2.bkm") << true << 0;
        QTest::newRow("parent folder") << QStringLiteral("../victim.bkm") << false << 0;
        QTest::newRow("absolute") << QStringLiteral("<victim>") << false << 0;
        QTest::newRow("the index") << QStringLiteral("Book.bkm") << false << 0;
    }
    void readFolderFileNames()
    {
        QFETCH(QString, fileName);
        QFETCH(bool, ok);
        QFETCH(int, bytes);
        const QString data = m_dir->path() + "/data";
        QVERIFY(QDir().mkpath(data));
        WriteBytes(m_dir->path() + "/victim.bkm", rawBookmark(1, "geheim", "u", ""));
        WriteBytes(data + "/1.bkm", rawBookmark(1, "t", "u", ""));
        WriteBytes(data + "/Book.bkm", rawThema(1, 1, "a", "1.bkm"));
        fileName.replace(QStringLiteral("<victim>"), m_dir->path() + "/victim.bkm");
        QByteArray content;
        QCOMPARE(ReadFolderFile(data, fileName, content).ok, ok);
        QCOMPARE(content.size(), bytes);
    }

    void emptyIndexKeepsList()
    {
        const QString dir = m_dir->path();
        Book book(dir);
        QVERIFY(!book.LoadAllThema()); // missing: created empty
        QVERIFY(!book.hasColThema());
        QCOMPARE(ReadBytes(book.indexPath()).size(), 0);
        QVERIFY(QFileInfo::exists(book.indexPath()));
        book.ensureColThema().append(makeThema(1, QStringLiteral("a")));
        QVERIFY(!book.LoadAllThema());
        QCOMPARE(book.themaCount(), 1);
        QCOMPARE(book.ItCounter(), qint16(0));
    }

    void unsafeFileNames_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::newRow("parent") << QStringLiteral("../out.bkm");
        QTest::newRow("absolute") << QStringLiteral("/tmp/out.bkm");
        QTest::newRow("backslash") << QStringLiteral("..\\out.bkm");
        QTest::newRow("index") << QStringLiteral("book.BKM");
        QTest::newRow("temporary") << QStringLiteral("Book.bkm.new");
        QTest::newRow("empty") << QString();
    }
    void unsafeFileNames()
    {
        QFETCH(QString, fileName);
        const QString dir = m_dir->path() + "/data";
        QVERIFY(QDir().mkpath(dir));
        Thema t = makeThema(1, QStringLiteral("x"));
        t.setFileName(fileName);
        QVERIFY(!t.LoadBookmarks(dir).ok);
        QVERIFY(!t.hasColBookmark());
        t.ensureColBookmark().append(makeBookmark(QStringLiteral("t"), QStringLiteral("u")));
        QVERIFY(!t.SaveBookmarks(dir).ok);
        QVERIFY(t.IsEdit());
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files).size(), 0);
        QCOMPARE(QDir(dir).entryList(QDir::Files).size(), 0);
    }

    void unwritableFolder()
    {
        // The parent is a regular file, so nothing can be written even as root.
        const QString blocker = m_dir->path() + "/blocker";
        WriteBytes(blocker, "x");
        Book book(blocker + "/data");
        QVERIFY(!book.LoadAllThema());
        Thema t = makeThema(1, QStringLiteral("a"));
        t.ensureColBookmark().append(makeBookmark(QStringLiteral("t"), QStringLiteral("u")));
        book.ensureColThema().append(std::move(t));
        book.setIsEdit(true);
        const FileResult result = book.SaveAllThema();
        QVERIFY(!result.ok);
        QVERIFY(!result.error.isEmpty());
        QVERIFY(book.IsEdit());
        QVERIFY(book.colThema()->at(0).IsEdit());
        QVERIFY(!book.DeleteThema(1).ok);
        QCOMPARE(ReadBytes(blocker), QByteArray("x"));
    }

    // A save replaces the index and the folder files with new files that
    // carry the old files' permission bits (an archive kept private stays
    // private).
    void saveKeepsPermissions_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("owner only") << 0600;
        QTest::newRow("group reads") << 0640;
        QTest::newRow("others read, group not") << 0604;
        QTest::newRow("read-only") << 0400;
    }
    void saveKeepsPermissions()
    {
        QFETCH(int, mode);
        const QString dir = m_dir->path();
        WriteBytes(dir + "/Book.bkm", rawThema(1, 1, "a", "1.bkm") + rawThema(2, 2, "b", "2.bkm"));
        WriteBytes(dir + "/1.bkm", rawBookmark(1, "t", "u", ""));
        WriteBytes(dir + "/2.bkm", {});
        const QStringList files{dir + "/Book.bkm", dir + "/1.bkm", dir + "/2.bkm"};
        for (const QString& file : files)
            QCOMPARE(::chmod(QFile::encodeName(file).constData(), mode_t(mode)), 0);

        Book book(dir);
        QVERIFY(book.LoadAllThema());
        QVERIFY(book.LoadAllBookmarks().ok);
        for (Thema& thema : *book.colThema()) {
            thema.ensureColBookmark().append(
                makeBookmark(QStringLiteral("n"), QStringLiteral("v")));
            thema.setIsEdit(true);
        }
        book.colThema()->at(0).setDirName(QStringLiteral("umbenannt"));
        book.setIsEdit(true);
        QVERIFY(book.SaveAllThema().ok);
        for (const QString& file : files) {
            struct stat st {};
            QCOMPARE(::stat(QFile::encodeName(file).constData(), &st), 0);
            QCOMPARE(int(st.st_mode & 07777), mode);
        }
        QCOMPARE(ReadBytes(dir + "/2.bkm").size(), 3368);
    }

    void failedSaveKeepsOldFiles()
    {
        const QString dir = m_dir->path();
        const QByteArray index = rawThema(1, 1, "a", "1.bkm") + rawThema(2, 2, "b", "2.bkm");
        const QByteArray one = rawBookmark(1, "alt", "u", "");
        WriteBytes(dir + "/Book.bkm", index);
        WriteBytes(dir + "/1.bkm", one);
        Book book(dir);
        QVERIFY(book.LoadAllThema());
        QVERIFY(book.LoadAllBookmarks().ok);
        // Temporaries that cannot be replaced block the index and folder 1.
        QVERIFY(QDir().mkpath(dir + "/Book.bkm.new/x"));
        QVERIFY(QDir().mkpath(dir + "/1.bkm.new/x"));
        Thema& first = book.colThema()->at(0);
        first.colBookmark()->at(0).Titel = QStringLiteral("neu");
        first.setIsEdit(true);
        Thema& second = book.colThema()->at(1);
        second.ensureColBookmark().append(makeBookmark(QStringLiteral("b"), QStringLiteral("v")));
        second.setIsEdit(true);
        book.colThema()->at(0).setDirName(QStringLiteral("umbenannt"));
        book.setIsEdit(true);

        const FileResult result = book.SaveAllThema();
        QVERIFY(!result.ok);
        QCOMPARE(ReadBytes(dir + "/Book.bkm"), index);
        QCOMPARE(ReadBytes(dir + "/1.bkm"), one);
        // The step after the failure still ran.
        QCOMPARE(ReadBytes(dir + "/2.bkm"), rawBookmark(1, "b", "v", "", -1, -1));
        QVERIFY(!second.IsEdit());
        QVERIFY(first.IsEdit());
        QVERIFY(book.IsEdit());
        // The folder file stays while the index still names it.
        QVERIFY(!book.DeleteThema(1).ok);
        QCOMPARE(ReadBytes(dir + "/1.bkm"), one);
    }

private:
    std::optional<QTemporaryDir> m_dir;
};

QTEST_GUILESS_MAIN(TestBookStore)
#include "tst_bookstore.moc"
