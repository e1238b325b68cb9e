// A helper program for the data-safety tests: it starts on a data folder as
// the program does (stale temporaries removed, everything loaded) and saves
// the known contents A and B (see saveversions.h).
//
//   savepeer loop FOLDER A|B   after loading, writes "r" to standard output
//                              and saves A and B in turn, beginning with the
//                              one named, until it is killed
//   savepeer once FOLDER A|B   saves the version once; prints every failure
//                              text on its own line; exit code 0 when all
//                              saves succeeded, 1 otherwise
//   savepeer tmpfs FOLDER      in a mount namespace of its own: a small
//                              tmpfs over FOLDER, version A saved into it,
//                              the rest of it filled, then B saved; checks
//                              itself that every save failed and the folder
//                              holds A as it was. Exit code 0 when so, 1 with
//                              the reason on standard output, 77 when no
//                              file system can be mounted here.
//
// A load that finds the folder inconsistent ends with exit code 3 and the
// reason on standard output.

#include "crash/saveversions.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <time.h>
#include <unistd.h>

using namespace orv;
using namespace orv::saveversions;

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitInconsistent = 3;
// A loop that nobody kills ends by itself after this many saves.
constexpr int kMaxLoopSaves = 100000;
// The tmpfs of the full-disk case.
constexpr const char* kTmpfsOptions = "size=1m,mode=0755";

void say(const QString& text)
{
    std::fputs(qUtf8Printable(text + u'\n'), stdout);
    std::fflush(stdout);
}

// Loads the folder as the program does at start; empty when every store
// loads without a failure, else the reason.
QString loadFolder(const QString& folder)
{
    const FileResult cleaned = RemoveStaleTemporaries(folder);
    if (!cleaned.ok)
        return cleaned.error;
    if (!QFileInfo::exists(folder + QStringLiteral("/Pref.orp")))
        return {}; // a fresh folder
    Prefer prefs;
    prefs.setFolder(folder);
    const Prefer::LoadResult loaded = prefs.LoadPref();
    if (loaded.outcome != Prefer::LoadOutcome::Loaded)
        return QStringLiteral("the preferences did not load");
    Book book(folder);
    FileResult error;
    if (!book.LoadAllThema(&error) || !error.ok)
        return QStringLiteral("the bookmark index did not load: ") + error.error;
    for (const Thema& t : *book.colThema())
        if (!QFileInfo::exists(t.filePath(folder)))
            return QStringLiteral("the index names a missing folder file: ") + t.FileName();
    const FileResult bookmarks = book.LoadAllBookmarks();
    if (!bookmarks.ok)
        return bookmarks.error;
    LayoutBook layouts(folder);
    if (!layouts.LoadAllLayouts(&error) || !error.ok)
        return QStringLiteral("the layout archive did not load: ") + error.error;
    for (const LayoutItem& item : layouts.colLayout())
        if (!QFileInfo::exists(item.FilePath()))
            return QStringLiteral("the layout index names a missing file: ") + item.FileName();
    return {};
}

// The save of every store, each failure told on a line of its own.
int saveOnce(const QString& folder, Version v)
{
    const FileResult results[] = {MakePrefs(folder, v).SavePref(), SaveBook(folder, v),
                                  SaveLayouts(folder, v), SaveArrangement(folder, v)};
    int failed = 0;
    for (const FileResult& r : results) {
        if (!r.ok) {
            say(r.error);
            ++failed;
        }
    }
    return failed == 0 ? 0 : kExitFailed;
}

QHash<QString, QByteArray> snapshot(const QString& folder)
{
    QHash<QString, QByteArray> files;
    for (const QFileInfo& entry : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden)) {
        QFile file(entry.filePath());
        if (file.open(QIODevice::ReadOnly))
            files.insert(entry.fileName(), file.readAll());
    }
    return files;
}

int fullTmpfs(const QString& folder)
{
    // The mount stays inside this process's own mount namespace.
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("orvane-test", QFile::encodeName(folder).constData(), "tmpfs", 0, kTmpfsOptions) !=
            0) {
        say(QStringLiteral("cannot mount a tmpfs: ") +
            QString::fromLocal8Bit(std::strerror(errno)));
        return kExitCannotMount;
    }
    const FileResult a = SaveAll(folder, Version::A);
    if (!a.ok) {
        say(QStringLiteral("version A did not fit: ") + a.error);
        return kExitFailed;
    }
    const QHash<QString, QByteArray> before = snapshot(folder);
    // The rest of the file system is filled up.
    const QString fillerName = folder + QStringLiteral("/filler");
    {
        QFile filler(fillerName);
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return kExitFailed;
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size()) {
        }
        while (filler.write(block.constData(), 1) == 1) {
        }
    }
    const int saved = saveOnce(folder, Version::B);
    QHash<QString, QByteArray> after = snapshot(folder);
    after.remove(QStringLiteral("filler"));
    if (saved == 0) {
        say(QStringLiteral("a save into the full file system succeeded"));
        return kExitFailed;
    }
    if (after.keys().size() != before.keys().size()) {
        QStringList names = after.keys();
        names.sort();
        say(QStringLiteral("the folder holds other files now: ") + names.join(u' '));
        return kExitFailed;
    }
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        if (after.value(it.key()) != it.value()) {
            say(QStringLiteral("changed by the failed save: ") + it.key());
            return kExitFailed;
        }
    return 0;
}

// Sends SIGKILL to this process after `delayUs` microseconds (a zero delay
// still fires: a zero timer value would disarm the timer).
bool armKill(long long delayUs)
{
    sigevent event{};
    event.sigev_notify = SIGEV_SIGNAL;
    event.sigev_signo = SIGKILL;
    timer_t timer{};
    if (::timer_create(CLOCK_MONOTONIC, &event, &timer) != 0)
        return false;
    itimerspec when{};
    when.it_value.tv_sec = time_t(delayUs / 1000000);
    when.it_value.tv_nsec = std::max(1L, long(delayUs % 1000000) * 1000);
    return ::timer_settime(timer, 0, &when, nullptr) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    // The helper never outlives the test that started it.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (argc < 3)
        return kExitUsage;
    const QByteArray mode = argv[1];
    if (mode == "tmpfs") // before any thread exists: the namespace is per process
        return fullTmpfs(QFile::decodeName(argv[2]));
    QCoreApplication app(argc, argv);
    const QString folder = QFile::decodeName(argv[2]);
    const Version first = (argc > 3 && QByteArray(argv[3]) == "B") ? Version::B : Version::A;

    if (mode == "once")
        return saveOnce(folder, first);
    if (mode != "loop")
        return kExitUsage;
    const QString problem = loadFolder(folder);
    if (!problem.isEmpty()) {
        say(problem);
        return kExitInconsistent;
    }
    std::fputs("r", stdout);
    std::fflush(stdout);
    // "loop FOLDER VERSION MICROSECONDS": the process is killed by its own
    // timer that many microseconds after it reported ready, wherever the
    // saves are then.
    if (argc > 4 && !armKill(std::strtoll(argv[4], nullptr, 10)))
        return kExitUsage;
    Version v = first;
    for (int n = 0; n < kMaxLoopSaves; ++n) {
        static_cast<void>(SaveAll(folder, v));
        v = v == Version::A ? Version::B : Version::A;
    }
    return 0;
}
