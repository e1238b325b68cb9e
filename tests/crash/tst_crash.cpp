// Kills during saves: a helper program saves the preferences, a bookmark
// archive of many folders, a layout archive and an arrangement file in a
// loop, alternating between two known contents, and is killed at random
// moments. After every kill each file must be byte for byte one of the two
// versions, the indexes must name only files that are there, and the next
// start (stale temporaries removed, everything loaded) must find a whole
// archive. The random delays are seeded; a failure names seed, run and delay.

#include "crash/saveversions.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <random>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

using namespace orv;
using namespace orv::saveversions;

namespace {

constexpr int kKills = 1000;
// The random kill moment lies within this many save cycles after the helper
// has loaded the folder.
constexpr double kDelayCycles = 1.5;
// The delays never exceed this, whatever a cycle costs on a slow machine.
constexpr qint64 kMaxDelayUs = 60000;
// How long the helper may take to load the folder.
constexpr int kReadyTimeoutMs = 10000;
// The loader check on a copy of the folder runs after this many kills.
constexpr int kLoaderCheckEvery = 100;
constexpr unsigned kDefaultSeed = 20261207;
// A kill ends the process, not the machine: what the file system keeps is
// its page cache either way, so a memory file system serves as well as a
// disk and makes the forced writes of a save cost nothing.
const QString kMemoryFolder = QStringLiteral("/dev/shm");

QString scratchTemplate()
{
    const QFileInfo memory(kMemoryFolder);
    if (memory.isDir() && memory.isWritable())
        return kMemoryFolder + QStringLiteral("/orvane-crash-XXXXXX");
    return QDir::tempPath() + QStringLiteral("/orvane-crash-XXXXXX");
}

// What an interrupted save may leave: "<data file>.new" or
// "<data file>.XXXXXX".
bool isTemporary(const QString& name)
{
    static const QRegularExpression pattern(
        QStringLiteral("^.+\\.(orp|bkm|nlt|wlt)\\.(new|[A-Za-z0-9]{6})$"),
        QRegularExpression::CaseInsensitiveOption);
    return pattern.match(name).hasMatch();
}

int modeOf(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return -1;
    return int(st.st_mode & 0777);
}

template <typename Record, typename Decode>
QStringList namedFiles(const QByteArray& index, int recordLength, Decode decode)
{
    QStringList names;
    for (QByteArrayView record : splitRecords(index, recordLength)) {
        const Record r = decode(record);
        names.append(r.FileName);
    }
    return names;
}

} // namespace

class TestCrash : public QObject {
    Q_OBJECT

    QTemporaryDir m_tmp{scratchTemplate()};
    // The files of each state a save can leave complete: A, B, and B with
    // the extra folder and layout not yet deleted.
    QList<Files> m_versions;
    unsigned m_seed = kDefaultSeed;

    QString makeFolder(const QString& name)
    {
        const QString path = m_tmp.filePath(name);
        QDir(path).removeRecursively();
        QDir().mkpath(path);
        return path;
    }

    // Empty when the folder after a kill is sound, else what is wrong.
    QString checkFolder(const QString& folder) const
    {
        const Files files = snapshot(folder);
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            const QString& name = it.key();
            if (isTemporary(name)) {
                // The preferences' temporary file is the owner's only, even
                // half written.
                if (name.startsWith(QStringLiteral("Pref.orp.")) &&
                    (modeOf(folder + u'/' + name) & 077) != 0)
                    return name + QStringLiteral(" is open to others: ") +
                           QString::number(modeOf(folder + u'/' + name), 8);
                continue;
            }
            bool known = false;
            for (const Files& version : m_versions)
                known = known || (version.contains(name) && version.value(name) == it.value());
            if (!known)
                return name + QStringLiteral(" is neither version (") +
                       QString::number(it.value().size()) + QStringLiteral(" bytes)");
        }
        for (const QString& required : {QStringLiteral("Pref.orp"), Book::IndexFileName(),
                                        LayoutBook::BookFileName(), ArrangementName()})
            if (!files.contains(required))
                return required + QStringLiteral(" is missing");
        const QStringList folders = namedFiles<ThemaRecord>(
            files.value(Book::IndexFileName()), ThemaRecordLength, [](QByteArrayView r) {
                ThemaRecord t;
                ReadFields<ThemaFields>(r, t);
                return t;
            });
        const QStringList layouts =
            namedFiles<LayoutBookRecord>(files.value(LayoutBook::BookFileName()),
                                         LayoutBookFormat::RecordLength, decodeLayoutBookRecord);
        for (const QString& name : folders + layouts)
            if (!files.contains(name))
                return QStringLiteral("an index names the missing file ") + name;
        return {};
    }

    // Empty when a start on a copy of the folder finds a whole archive.
    QString checkLoader(const QString& folder)
    {
        const QString copy = makeFolder(QStringLiteral("loader"));
        for (const QFileInfo& entry : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden))
            QFile::copy(entry.filePath(), copy + u'/' + entry.fileName());
        if (!RemoveStaleTemporaries(copy).ok)
            return QStringLiteral("stale temporaries stay");
        for (const QString& name : QDir(copy).entryList(QDir::Files | QDir::Hidden))
            if (isTemporary(name))
                return name + QStringLiteral(" stays after the start");
        Prefer prefs;
        prefs.setFolder(copy);
        if (prefs.LoadPref().outcome != Prefer::LoadOutcome::Loaded ||
            (prefs.HomeUrl() != MakePrefs(copy, Version::A).HomeUrl() &&
             prefs.HomeUrl() != MakePrefs(copy, Version::B).HomeUrl()))
            return QStringLiteral("the preferences did not load as saved");
        Book book(copy);
        FileResult error;
        if (!book.LoadAllThema(&error) || !error.ok || !book.LoadAllBookmarks().ok)
            return QStringLiteral("the bookmark archive did not load");
        for (const Thema& t : *book.colThema()) {
            const int k = t.FileName().section(u'.', 0, 0).toInt();
            if (t.bookmarkCount() != BookmarkCount(k, Version::A) &&
                t.bookmarkCount() != BookmarkCount(k, Version::B))
                return QStringLiteral("folder ") + t.FileName() + QStringLiteral(" is cut");
        }
        LayoutBook layouts(copy);
        if (!layouts.LoadAllLayouts(&error) || !error.ok)
            return QStringLiteral("the layout archive did not load");
        for (const LayoutItem& item : layouts.colLayout())
            if (item.colFensterInfo().size() != kWindowsPerLayout &&
                item.colFensterInfo().size() != kWindowsPerLayout + 1)
                return QStringLiteral("layout ") + item.FileName() + QStringLiteral(" is cut");
        int opened = 0;
        if (!Layout::LoadLayout(copy + u'/' + ArrangementName(),
                                [&opened](const LayoutOpenArgs&) { ++opened; })
                 .ok ||
            opened < kWindowsPerLayout)
            return QStringLiteral("the arrangement did not load");
        return {};
    }

    // Starts the helper on `folder`; its pid, and the pipe end it reports on.
    static pid_t spawnPeer(const QString& folder, Version first, qint64 killDelayUs, int& readEnd)
    {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0)
            return -1;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        const QByteArray program = ORVANE_SAVEPEER;
        const QByteArray path = QFile::encodeName(folder);
        const QByteArray version = first == Version::A ? "A" : "B";
        const QByteArray delay = QByteArray::number(killDelayUs);
        char* argv[] = {const_cast<char*>(program.constData()), const_cast<char*>("loop"),
                        const_cast<char*>(path.constData()), const_cast<char*>(version.constData()),
                        const_cast<char*>(delay.constData()), nullptr};
        pid_t pid = -1;
        if (::posix_spawn(&pid, program.constData(), &actions, nullptr, argv, environ) != 0)
            pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        readEnd = fds[0];
        return pid;
    }

    // Reads what the helper wrote until it closes its output.
    static QByteArray drain(int fd)
    {
        QByteArray out;
        char buffer[512];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            out.append(buffer, n);
        }
        return out;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_tmp.isValid());
        if (const char* seed = std::getenv("ORVANE_CRASH_SEED"))
            m_seed = unsigned(std::strtoul(seed, nullptr, 10));
        for (const auto& [v, stage] :
             {std::pair{Version::A, Stage::Whole}, std::pair{Version::B, Stage::Whole},
              std::pair{Version::B, Stage::BeforeDeletion}}) {
            const QString folder = makeFolder(QStringLiteral("reference"));
            QVERIFY(SaveAll(folder, v, stage).ok);
            m_versions.append(snapshot(folder));
        }
        // The versions really differ in every file they share.
        for (auto it = m_versions[0].cbegin(); it != m_versions[0].cend(); ++it)
            if (m_versions[1].contains(it.key()))
                QVERIFY2(m_versions[1].value(it.key()) != it.value(), qPrintable(it.key()));
    }

    void killDuringSave()
    {
        const QString folder = makeFolder(QStringLiteral("data"));
        QVERIFY(SaveAll(folder, Version::A).ok);
        // One save cycle (A and B) as this machine does it, for the range
        // of the kill moments.
        QElapsedTimer timer;
        timer.start();
        QVERIFY(SaveAll(makeFolder(QStringLiteral("timing")), Version::B).ok);
        QVERIFY(SaveAll(m_tmp.filePath(QStringLiteral("timing")), Version::A).ok);
        const qint64 cycleUs = std::max<qint64>(1000, timer.nsecsElapsed() / 1000);
        const qint64 maxDelayUs = std::min<qint64>(kMaxDelayUs, qint64(cycleUs * kDelayCycles));

        std::mt19937 random(m_seed);
        std::uniform_int_distribution<qint64> delays(0, maxDelayUs);
        int killedWhileSaving = 0;
        for (int run = 0; run < kKills; ++run) {
            const qint64 delayUs = delays(random);
            const QByteArray where = "seed " + QByteArray::number(m_seed) + ", run " +
                                     QByteArray::number(run) + ", delay " +
                                     QByteArray::number(delayUs) + " us: ";
            int readEnd = -1;
            const pid_t pid =
                spawnPeer(folder, run % 2 == 0 ? Version::B : Version::A, delayUs, readEnd);
            QVERIFY2(pid > 0, where + "the helper did not start");
            pollfd ready{readEnd, POLLIN, 0};
            const int polled = ::poll(&ready, 1, kReadyTimeoutMs);
            char first = 0;
            const bool loaded = polled == 1 && ::read(readEnd, &first, 1) == 1 && first == 'r';
            // A ready helper kills itself by its own timer (the moment this
            // test varies); one that is not ready is ended here.
            if (!loaded)
                ::kill(pid, SIGKILL);
            int status = 0;
            ::waitpid(pid, &status, 0);
            const QByteArray said = (loaded ? QByteArray() : QByteArray(1, first)) + drain(readEnd);
            ::close(readEnd);
            QVERIFY2(loaded, where + "the helper found the folder inconsistent: " + said);
            if (WIFSIGNALED(status))
                ++killedWhileSaving;
            const QString problem = checkFolder(folder);
            QVERIFY2(problem.isEmpty(), where + problem.toUtf8());
            if ((run + 1) % kLoaderCheckEvery == 0) {
                const QString loader = checkLoader(folder);
                QVERIFY2(loader.isEmpty(), where + loader.toUtf8());
            }
        }
        QCOMPARE(killedWhileSaving, kKills);
        // The next start cleans up and finds a whole archive.
        const QString loader = checkLoader(folder);
        QVERIFY2(loader.isEmpty(), loader.toUtf8());
    }
};

QTEST_GUILESS_MAIN(TestCrash)
#include "tst_crash.moc"
