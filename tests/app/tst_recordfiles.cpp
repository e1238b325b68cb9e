// The file side of the record primitives: files named by stored data,
// permissions of replaced files and what interrupted saves leave behind.

#include "app/recordio.h"
#include "common/filetools.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/types.h>

using namespace orv;

namespace {

// What a name in the data folder is.
constexpr int kFile = 0;
constexpr int kFolder = 1;
constexpr int kLink = 2;

// The permission bits of a file; -1 when there is none.
int modeOf(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return -1;
    return int(st.st_mode & 07777);
}

} // namespace

class TestRecordFiles : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Only the temporaries our own saves name are removed: "<data file>.new"
    // and "<data file>.XXXXXX", as regular files directly in the folder.
    void staleTemporaries_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("removed");
        QTest::newRow("index, unsynced") << QStringLiteral("Book.bkm.new") << kFile << true;
        QTest::newRow("folder file, unsynced") << QStringLiteral("17.bkm.new") << kFile << true;
        QTest::newRow("preferences, save file")
            << QStringLiteral("Pref.orp.Ab12Cd") << kFile << true;
        QTest::newRow("layout book, save file")
            << QStringLiteral("WLBook.orp.QwErTy") << kFile << true;
        QTest::newRow("layout windows, save file")
            << QStringLiteral("WL3.nlt.zZ09aa") << kFile << true;
        QTest::newRow("layout windows, killed save")
            << QStringLiteral("WL6.nlt.pEF7TV") << kFile << true;
        QTest::newRow("arrangement, unsynced") << QStringLiteral("abend.wlt.new") << kFile << true;
        QTest::newRow("the data file itself") << QStringLiteral("Pref.orp") << kFile << false;
        QTest::newRow("not a data file") << QStringLiteral("notes.txt.new") << kFile << false;
        QTest::newRow("no name before the extension")
            << QStringLiteral(".bkm.new") << kFile << false;
        QTest::newRow("suffix too short") << QStringLiteral("Pref.orp.bak") << kFile << false;
        QTest::newRow("suffix too long") << QStringLiteral("Pref.orp.Ab12Cde") << kFile << false;
        QTest::newRow("suffix not alphanumeric")
            << QStringLiteral("Pref.orp.Ab-2Cd") << kFile << false;
        QTest::newRow("a folder of that name")
            << QStringLiteral("Book.bkm.new") << kFolder << false;
        QTest::newRow("a link of that name") << QStringLiteral("1.bkm.new") << kLink << false;
    }
    void staleTemporaries()
    {
        QFETCH(QString, name);
        QFETCH(int, kind);
        QFETCH(bool, removed);
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QString data = root.filePath(QStringLiteral("data"));
        QVERIFY(QDir().mkpath(data + QStringLiteral("/sub")));
        const QString path = data + u'/' + name;
        const QString outside = root.filePath(QStringLiteral("outside.bkm"));
        QVERIFY(PutBytes(outside, "keep"));
        if (kind == kFolder)
            QVERIFY(QDir().mkpath(path));
        else if (kind == kLink)
            QVERIFY(QFile::link(outside, path));
        else
            QVERIFY(PutBytes(path, "x"));
        // The same name one folder down always stays.
        QVERIFY(PutBytes(data + QStringLiteral("/sub/") + name, "x"));

        QVERIFY(RemoveStaleTemporaries(data).ok);
        QCOMPARE(!QFileInfo(path).exists() && !QFileInfo(path).isSymLink(), removed);
        QVERIFY(QFileInfo::exists(data + QStringLiteral("/sub/") + name));
        QCOMPARE(ReadBytes(outside), QByteArray("keep"));
    }

    // The new file is never open to more users than the old one, not even
    // while it is written; a new file gets the usual bits.
    void replaceKeepsPermissions_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("owner only") << 0600;
        QTest::newRow("read-only") << 0400;
        QTest::newRow("group and others read") << 0644;
        QTest::newRow("executable") << 0750;
        QTest::newRow("no file yet") << -1;
    }
    void replaceKeepsPermissions()
    {
        QFETCH(int, mode);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("1.bkm"));
        const mode_t mask = ::umask(022);
        if (mode >= 0) {
            QVERIFY(PutBytes(path, "old"));
            QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode_t(mode)), 0);
        }
        int whileWriting = -2;
        const FileResult result = replaceFileUnsynced(path, [&](QFile& file) {
            whileWriting = modeOf(path + QStringLiteral(".new"));
            return file.write("new") == 3;
        });
        ::umask(mask);
        QVERIFY(result.ok);
        const int expected = mode >= 0 ? mode : 0644;
        QCOMPARE(whileWriting, expected);
        QCOMPARE(modeOf(path), expected);
        QCOMPARE(ReadBytes(path), QByteArray("new"));
    }

    // A file named by stored data is read only when it is a regular file
    // inside the allowed folder and not too large; a device or a FIFO is
    // never opened (opening the FIFO would wait for a writer for ever).
    void storedFiles_data()
    {
        QTest::addColumn<QString>("name"); // inside the data folder unless absolute
        QTest::addColumn<int>("maxBytes");
        QTest::addColumn<bool>("ok");
        QTest::newRow("regular file") << QStringLiteral("a.bkm") << 100 << true;
        QTest::newRow("exactly the limit") << QStringLiteral("a.bkm") << 5 << true;
        QTest::newRow("one byte too large") << QStringLiteral("a.bkm") << 4 << false;
        QTest::newRow("link inside the folder") << QStringLiteral("inside-link") << 100 << true;
        QTest::newRow("link out of the folder") << QStringLiteral("outside-link") << 100 << false;
        QTest::newRow("link to a device") << QStringLiteral("zero-link") << 1000000 << false;
        QTest::newRow("dangling link") << QStringLiteral("dangling-link") << 100 << false;
        QTest::newRow("parent folder") << QStringLiteral("../outside.bkm") << 100 << false;
        QTest::newRow("through a subfolder and back")
            << QStringLiteral("sub/../a.bkm") << 100 << true;
        QTest::newRow("absolute path outside")
            << QStringLiteral("/etc/hostname") << 100000 << false;
        QTest::newRow("device") << QStringLiteral("/dev/zero") << 1000000 << false;
        QTest::newRow("FIFO") << QStringLiteral("fifo") << 100 << false;
        QTest::newRow("folder") << QStringLiteral("sub") << 100 << false;
        QTest::newRow("missing") << QStringLiteral("none.bkm") << 100 << false;
    }
    void storedFiles()
    {
        QFETCH(QString, name);
        QFETCH(int, maxBytes);
        QFETCH(bool, ok);
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QString data = root.filePath(QStringLiteral("data"));
        QVERIFY(QDir().mkpath(data + QStringLiteral("/sub")));
        QVERIFY(PutBytes(data + QStringLiteral("/a.bkm"), "12345"));
        QVERIFY(PutBytes(root.filePath(QStringLiteral("outside.bkm")), "secret"));
        QVERIFY(
            QFile::link(data + QStringLiteral("/a.bkm"), data + QStringLiteral("/inside-link")));
        QVERIFY(QFile::link(root.filePath(QStringLiteral("outside.bkm")),
                            data + QStringLiteral("/outside-link")));
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), data + QStringLiteral("/zero-link")));
        QVERIFY(
            QFile::link(data + QStringLiteral("/gone"), data + QStringLiteral("/dangling-link")));
        QCOMPARE(::mkfifo(QFile::encodeName(data + QStringLiteral("/fifo")).constData(), 0600), 0);
        const QString path = name.startsWith(u'/') ? name : data + u'/' + name;

        QByteArray content("stale");
        const FileResult result = readStoredFile(path, data, maxBytes, content);
        QCOMPARE(result.ok, ok);
        QCOMPARE(content, ok ? QByteArray("12345") : QByteArray());
        if (!ok)
            QVERIFY2(result.error.contains(path), qPrintable(result.error));

        QFile file;
        QCOMPARE(openStoredFile(path, data, maxBytes, file).ok, ok);
        QCOMPARE(file.isOpen(), ok);
    }

    // Without a folder (a path the user chose) only the type and the size
    // are checked; a missing file may count as empty.
    void storedFilesAnyFolder()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString file = dir.filePath(QStringLiteral("x.wlt"));
        QVERIFY(PutBytes(file, "abc"));
        QByteArray content;
        QVERIFY(readStoredFile(file, {}, 3, content).ok);
        QCOMPARE(content, QByteArray("abc"));
        QVERIFY(!readStoredFile(QStringLiteral("/dev/zero"), {}, 1 << 20, content).ok);
        QVERIFY(!readStoredFile(dir.path(), {}, 1 << 20, content).ok);
        QVERIFY(readStoredFile(dir.filePath(QStringLiteral("none")), {}, 3, content, true).ok);
        QVERIFY(content.isEmpty());
    }

    // After an interrupted save the next save of the same file still works
    // and the leftover is gone.
    void saveAfterLeftover()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString index = dir.filePath(QStringLiteral("Book.bkm"));
        QVERIFY(PutBytes(index + QStringLiteral(".new"), "half"));
        QVERIFY(PutBytes(index + QStringLiteral(".k3Jd9Q"), "half"));
        QVERIFY(RemoveStaleTemporaries(dir.path()).ok);
        QVERIFY(replaceFileUnsynced(index, QByteArrayView("whole")).ok);
        QCOMPARE(ReadBytes(index), QByteArray("whole"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Book.bkm")});
    }

    // A killed save of a linked data file left its temporary beside the
    // file the link leads to: start-up removes that one and nothing else.
    void staleTemporariesBesideLinkTarget()
    {
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QString data = root.filePath(QStringLiteral("data"));
        const QString synced = root.filePath(QStringLiteral("synced"));
        QVERIFY(QDir().mkpath(data) && QDir().mkpath(synced));
        QVERIFY(
            QFile::link(QStringLiteral("../synced/Pref.orp"), data + QStringLiteral("/Pref.orp")));
        QVERIFY(
            QFile::link(synced + QStringLiteral("/Book.bkm"), data + QStringLiteral("/Book.bkm")));
        const QStringList kept = {QStringLiteral("Book.bkm"), QStringLiteral("Pref.orp"),
                                  QStringLiteral("Pref.orp.bak"), QStringLiteral("notes.txt.new"),
                                  QStringLiteral("Other.orp.Ab12Cd")};
        for (const QString& name :
             kept + QStringList{QStringLiteral("Pref.orp.pEF7TV"), QStringLiteral("Book.bkm.new")})
            QVERIFY(PutBytes(synced + u'/' + name, "x"));

        QVERIFY(RemoveStaleTemporaries(data).ok);
        QStringList left = QDir(synced).entryList(QDir::Files);
        QStringList expected = kept;
        left.sort();
        expected.sort();
        QCOMPARE(left, expected);
    }

    // A data file the user linked elsewhere (a synced folder) stays a link:
    // both kinds of save write the file it leads to, and nothing is left
    // beside it.
    void saveThroughLink_data()
    {
        QTest::addColumn<QString>("target"); // "@" is the test's folder
        QTest::addColumn<QString>("file");   // the file in "synced" it leads to
        QTest::addColumn<bool>("durable");
        QTest::addColumn<bool>("exists");
        QTest::newRow("absolute link, durable save")
            << QStringLiteral("@/synced/Pref.orp") << QStringLiteral("Pref.orp") << true << true;
        QTest::newRow("relative link, durable save")
            << QStringLiteral("../synced/Pref.orp") << QStringLiteral("Pref.orp") << true << true;
        QTest::newRow("relative link, quick save")
            << QStringLiteral("../synced/Book.bkm") << QStringLiteral("Book.bkm") << false << true;
        QTest::newRow("link to a link")
            << QStringLiteral("chain.bkm") << QStringLiteral("Book.bkm") << false << true;
        QTest::newRow("link to no file yet")
            << QStringLiteral("../synced/new.bkm") << QStringLiteral("new.bkm") << true << false;
    }
    void saveThroughLink()
    {
        QFETCH(QString, target);
        QFETCH(QString, file);
        QFETCH(bool, durable);
        QFETCH(bool, exists);
        QTemporaryDir root;
        QVERIFY(root.isValid());
        QVERIFY(QDir().mkpath(root.filePath(QStringLiteral("data"))));
        QVERIFY(QDir().mkpath(root.filePath(QStringLiteral("synced"))));
        const QString real = root.filePath(QStringLiteral("synced/") + file);
        if (exists)
            QVERIFY(PutBytes(real, "old"));
        const QString link = root.filePath(QStringLiteral("data/linked"));
        QVERIFY(QFile::link(target.replace(u'@', root.path()), link));
        QVERIFY(QFile::link(QStringLiteral("../synced/Book.bkm"),
                            root.filePath(QStringLiteral("data/chain.bkm"))));

        const FileResult saved = durable ? writeFileAtomic(link, QByteArrayView("new"))
                                         : replaceFileUnsynced(link, QByteArrayView("new"));
        QVERIFY2(saved.ok, qPrintable(saved.error));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(ReadBytes(real), QByteArray("new"));
        QCOMPARE(QDir(root.filePath(QStringLiteral("synced"))).entryList(QDir::Files),
                 QStringList{file});
        QCOMPARE(QDir(root.filePath(QStringLiteral("data"))).entryList(QDir::Files | QDir::System),
                 (QStringList{QStringLiteral("chain.bkm"), QStringLiteral("linked")}));
    }
};

QTEST_GUILESS_MAIN(TestRecordFiles)
#include "tst_recordfiles.moc"
