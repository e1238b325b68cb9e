// Saves that fail: a full disk and a read-only data folder leave every old
// file byte for byte and no temporary file behind; the preferences stay the
// owner's only, also while they are written. The saves run in a helper
// program (tests/crash/savepeer) so that the failures can be real ones: a
// file size limit, an unprivileged user, a full tmpfs.

#include "common/filetools.h"
#include "crash/saveversions.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace orv;
using namespace orv::saveversions;

namespace {

// The user and group "nobody".
constexpr uid_t kNobody = 65534;
constexpr int kPeerTimeoutMs = 60000;
// The savers of one save: preferences, bookmarks, layouts, arrangement.
constexpr int kSavers = 4;

enum class Failure { FullDisk, ReadOnlyFolder, FullTmpfs };

int modeOf(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return -1;
    return int(st.st_mode & 0777);
}

// The name of the file open in `file` (a temporary file of a save).
QString nameOf(const QFile& file)
{
    return QFileInfo(QStringLiteral("/proc/self/fd/") + QString::number(file.handle()))
        .symLinkTarget();
}

// Whether a user who neither owns nor shares the group of the folders on
// the way may pass through every one of them to `folder`.
bool reachableByOthers(const QString& folder)
{
    for (QDir dir(folder);; dir.cdUp()) {
        struct stat st {};
        if (::stat(QFile::encodeName(dir.absolutePath()).constData(), &st) != 0 ||
            (st.st_mode & S_IXOTH) == 0)
            return false;
        if (dir.isRoot())
            return true;
    }
}

bool chownAll(const QString& folder, uid_t user)
{
    bool ok = ::chown(QFile::encodeName(folder).constData(), user, user) == 0;
    for (const QFileInfo& entry : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden))
        ok = ::chown(QFile::encodeName(entry.filePath()).constData(), user, user) == 0 && ok;
    return ok;
}

} // namespace

class TestDataSafety : public QObject {
    Q_OBJECT

    QTemporaryDir m_tmp;
    QString m_dir;
    // The helper, copied out of the build folder: a clone may lie in a
    // folder only its owner enters, and one case runs the helper as "nobody".
    QString m_peer;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_tmp.isValid());
        // An unprivileged helper must reach its folder inside.
        QVERIFY(QFile::setPermissions(m_tmp.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                        QFile::ExeOwner | QFile::ExeGroup |
                                                        QFile::ExeOther));
        m_peer = m_tmp.filePath(QStringLiteral("savepeer"));
        QVERIFY(QFile::copy(QStringLiteral(ORVANE_SAVEPEER), m_peer));
        QVERIFY(QFile::setPermissions(
            m_peer, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                        QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
    }
    void init()
    {
        static int n = 0;
        m_dir = m_tmp.filePath(QString::number(++n));
        QVERIFY(QDir().mkpath(m_dir));
    }
    void cleanup()
    {
        QFile::setPermissions(m_dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // Every saver fails as a whole: the old files stay byte for byte, no
    // temporary file is left, and each failure is told in German.
    void failedSaveKeepsOldFiles_data()
    {
        QTest::addColumn<Failure>("failure");
        QTest::newRow("full disk (file size limit)") << Failure::FullDisk;
        QTest::newRow("read-only data folder") << Failure::ReadOnlyFolder;
        QTest::newRow("full tmpfs") << Failure::FullTmpfs;
    }
    void failedSaveKeepsOldFiles()
    {
        QFETCH(Failure, failure);
        QProcess peer;
        peer.setProgram(m_peer);
        if (failure == Failure::FullTmpfs) {
            // The helper mounts, fills and checks inside a namespace of its
            // own; the mount is gone with it.
            peer.setArguments({QStringLiteral("tmpfs"), m_dir});
            peer.start();
            QVERIFY(peer.waitForFinished(kPeerTimeoutMs));
            const QByteArray said = peer.readAllStandardOutput();
            if (peer.exitCode() == kExitCannotMount)
                QSKIP(qPrintable(QStringLiteral("no tmpfs can be mounted here: ") +
                                 QString::fromUtf8(said).trimmed()));
            QVERIFY2(peer.exitCode() == 0, said.constData());
            QCOMPARE(QDir(m_dir).entryList(QDir::Files | QDir::Hidden), QStringList());
            return;
        }

        QVERIFY(SaveAll(m_dir, Version::A).ok);
        const Files before = snapshot(m_dir);
        if (failure == Failure::ReadOnlyFolder) {
            if (!reachableByOthers(m_tmp.path()))
                QSKIP(qPrintable(QStringLiteral("other users cannot reach ") + m_tmp.path() +
                                 QStringLiteral(" (a folder on the way is closed to them)")));
            // Root passes every permission bit: the save runs as "nobody",
            // who owns the files but may not change the folder.
            QVERIFY(chownAll(m_dir, kNobody));
            QVERIFY(QFile::setPermissions(m_dir, QFile::ReadOwner | QFile::ExeOwner |
                                                     QFile::ReadGroup | QFile::ExeGroup |
                                                     QFile::ReadOther | QFile::ExeOther));
            peer.setChildProcessModifier([] {
                if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 ||
                    ::setuid(kNobody) != 0)
                    ::_exit(126);
            });
        } else {
            // Every write past the first byte fails with EFBIG, as on a disk
            // that is full; the signal would end the helper instead.
            peer.setChildProcessModifier([] {
                rlimit limit{};
                ::getrlimit(RLIMIT_FSIZE, &limit);
                limit.rlim_cur = 0;
                ::signal(SIGXFSZ, SIG_IGN);
                if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
                    ::_exit(126);
            });
        }
        peer.setArguments({QStringLiteral("once"), m_dir, QStringLiteral("B")});
        peer.start();
        QVERIFY(peer.waitForFinished(kPeerTimeoutMs));
        QCOMPARE(peer.exitCode(), 1);
        const QStringList told =
            QString::fromUtf8(peer.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(told.size(), kSavers);
        for (const QString& line : told)
            QVERIFY2(line.startsWith(QStringLiteral("Datei kann nicht geschrieben werden: ") +
                                     m_dir + u'/'),
                     qPrintable(line));

        QCOMPARE(snapshot(m_dir), before);
        // Nothing is left for the next start to clean up either.
        QVERIFY(RemoveStaleTemporaries(m_dir).ok);
        QCOMPARE(snapshot(m_dir), before);
    }

    // The preferences are the owner's only after every save, whatever bits
    // an older file had and whatever the umask is.
    void preferencesOwnerOnly_data()
    {
        QTest::addColumn<int>("before"); // -1: no file yet
        QTest::addColumn<int>("umask");
        QTest::newRow("new file, umask 022") << -1 << 022;
        QTest::newRow("new file, umask 000") << -1 << 0;
        QTest::newRow("new file, umask 077") << -1 << 077;
        QTest::newRow("was 0644") << 0644 << 022;
        QTest::newRow("was 0666, umask 000") << 0666 << 0;
        QTest::newRow("was 0604") << 0604 << 022;
        QTest::newRow("was 0755") << 0755 << 022;
        QTest::newRow("was 0400") << 0400 << 022;
        QTest::newRow("was 0600") << 0600 << 022;
    }
    void preferencesOwnerOnly()
    {
        QFETCH(int, before);
        QFETCH(int, umask);
        const QString path = m_dir + QStringLiteral("/Pref.orp");
        if (before >= 0) {
            QVERIFY(MakePrefs(m_dir, Version::A).SavePref().ok);
            QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode_t(before)), 0);
        }
        const mode_t oldMask = ::umask(mode_t(umask));
        const FileResult first = MakePrefs(m_dir, Version::B).SavePref();
        const FileResult second = MakePrefs(m_dir, Version::A).SavePref();
        ::umask(oldMask);
        QVERIFY(first.ok && second.ok);
        QCOMPARE(modeOf(path), 0600);
        QCOMPARE(QDir(m_dir).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("Pref.orp")});
    }

    // The temporary file of an owner-only save is never open to others,
    // from its creation to its rename: looked at while it is written.
    void ownerOnlyTemporary_data() { preferencesOwnerOnly_data(); }
    void ownerOnlyTemporary()
    {
        QFETCH(int, before);
        QFETCH(int, umask);
        const QString path = m_dir + QStringLiteral("/Pref.orp");
        if (before >= 0) {
            QVERIFY(PutBytes(path, "old"));
            QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode_t(before)), 0);
        }
        int byName = -2;
        int byHandle = -2;
        QString tempName;
        const mode_t oldMask = ::umask(mode_t(umask));
        const FileResult saved = writeFileAtomicFrom(
            path,
            [&](QFile& file) {
                tempName = nameOf(file);
                byName = modeOf(tempName);
                struct stat st {};
                byHandle = ::fstat(file.handle(), &st) == 0 ? int(st.st_mode & 0777) : -1;
                return file.write("new") == 3;
            },
            QFile::ReadOwner | QFile::WriteOwner);
        ::umask(oldMask);
        QVERIFY(saved.ok);
        QVERIFY2(tempName.startsWith(path + u'.') && tempName != path, qPrintable(tempName));
        QCOMPARE(byName & 077, 0);
        QCOMPARE(byHandle & 077, 0);
        QCOMPARE(modeOf(path), 0600);
        QVERIFY(!QFileInfo::exists(tempName));
    }

    // A file of other data keeps its bits through a save, and the temporary
    // file never has more.
    void otherFilesKeepTheirBits_data()
    {
        QTest::addColumn<int>("before");
        QTest::newRow("0600") << 0600;
        QTest::newRow("0640") << 0640;
        QTest::newRow("0644") << 0644;
    }
    void otherFilesKeepTheirBits()
    {
        QFETCH(int, before);
        const QString path = m_dir + QStringLiteral("/WLBook.orp");
        QVERIFY(PutBytes(path, "old"));
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode_t(before)), 0);
        int whileWriting = -2;
        QVERIFY(writeFileAtomicFrom(path, [&](QFile& file) {
                    whileWriting = modeOf(nameOf(file));
                    return file.write("new") == 3;
                }).ok);
        QCOMPARE(whileWriting, before);
        QCOMPARE(modeOf(path), before);
        QCOMPARE(ReadBytes(path), QByteArray("new"));
    }
};

QTEST_GUILESS_MAIN(TestDataSafety)
#include "tst_datasafety.moc"
