#pragma once

// Pieces shared by the window benchmarks and the probe programs they start:
// a clock that both processes read alike, the memory of a process tree,
// the pages the probes load, the probes' modes and answers, running one
// probe as a child process and running both sides in alternating rounds.

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHash>
#include <QList>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace orv::bench {

// The size every probe gives its main window or view (the program's
// default main window size: 10485 x 7470 twips).
inline constexpr int kWindowWidth = 699;
inline constexpr int kWindowHeight = 498;

// Nanoseconds on the monotonic clock: the same clock in every process of the
// machine, so a child's reading can be set against the parent's.
inline qint64 MonotonicNs()
{
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// Milliseconds since this process started, as the system counts it (in
// clock ticks, so only to 10 ms): a check on the parent's measure.
inline double ProcessAgeMs()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // Field 22 (starttime) is the 20th after "pid (comm)".
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 20)
        return -1;
    timespec ts{};
    ::clock_gettime(CLOCK_BOOTTIME, &ts);
    const double startedMs = fields.at(19).toDouble() * 1000.0 / double(::sysconf(_SC_CLK_TCK));
    return double(ts.tv_sec) * 1000.0 + double(ts.tv_nsec) / 1e6 - startedMs;
}

// CPU time of the calling thread in nanoseconds.
inline qint64 ThreadCpuNs()
{
    timespec ts{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// The process `root` and all its descendants (children of children too).
inline QList<int> ProcessTree(int root)
{
    QHash<int, QList<int>> children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        bool numeric = false;
        const int pid = entry.toInt(&numeric);
        if (!numeric)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        // "pid (comm) state ppid ...": comm may hold blanks and brackets.
        const qsizetype close = line.lastIndexOf(')');
        if (close < 0)
            continue;
        const QList<QByteArray> fields = line.mid(close + 2).split(' ');
        if (fields.size() < 2)
            continue;
        children[fields.at(1).toInt()].append(pid);
    }
    QList<int> tree{root};
    for (qsizetype i = 0; i < tree.size(); ++i)
        tree += children.value(tree.at(i));
    return tree;
}

// Proportional set size of one process in KiB (0 when it is gone).
inline qint64 PssKb(int pid)
{
    QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!rollup.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> lines = rollup.readAll().split('\n');
    for (const QByteArray& line : lines)
        if (line.startsWith("Pss:"))
            return line.mid(4).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

struct TreeMemory {
    qint64 pssKb = 0;
    int processes = 0;
};

// PSS of the process tree under `root`, summed.
inline TreeMemory TreePss(int root)
{
    TreeMemory memory;
    for (int pid : ProcessTree(root)) {
        memory.pssKb += PssKb(pid);
        ++memory.processes;
    }
    return memory;
}

// The address of page `number` when the pages are spread over several
// sites: `bases` lists the sites' page addresses, comma-separated
// ("http://127.0.0.1:<port>/p,http://127.0.0.2:<port>/p"); page n comes from
// site (n - 1) mod count, as "<base>n".
inline QString PageUrl(const QString& bases, int number)
{
    const QStringList sites = bases.split(u',', Qt::SkipEmptyParts);
    if (sites.isEmpty())
        return QString();
    return sites.at((number - 1) % sites.size()) + QString::number(number);
}

// One of the pages the window benchmarks open: a title, a style sheet and a
// few paragraphs of text, different for each number.
// The title of BenchPage(number).
inline QByteArray BenchPageTitle(int number)
{
    return "Seite " + QByteArray::number(number);
}

inline QByteArray BenchPage(int number)
{
    QByteArray body;
    for (int p = 1; p <= 8; ++p)
        body += "<p>Absatz " + QByteArray::number(p) + " der Seite " + QByteArray::number(number) +
                ": Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod "
                "tempor incididunt ut labore et dolore magna aliqua. Ut enim ad minim veniam, "
                "quis nostrud exercitation ullamco laboris nisi ut aliquip ex ea commodo "
                "consequat. <a href=\"/p" +
                QByteArray::number(number % 100 + 1) + "\">Weiter</a></p>\n";
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>" + BenchPageTitle(number) +
           "</title><style>body{font-family:sans-serif;margin:2em;line-height:1.4}"
           "h1{color:#246}p{max-width:40em}</style></head><body><h1>Seite " +
           QByteArray::number(number) + "</h1>\n" + body + "</body></html>";
}

// Prints the probe's answer: one line "RESULT key=value ...".
inline void PrintResult(const QString& fields)
{
    std::printf("RESULT %s\n", qPrintable(fields));
    std::fflush(stdout);
}

// --- the benchmark side ---------------------------------------------------------------

// A child's answer: the fields of its RESULT line.
struct ProbeRun {
    bool ok = false;
    qint64 startNs = 0; // monotonic clock right before the child was started
    QHash<QString, QString> fields;
    QString error;

    double number(const QString& key) const { return fields.value(key).toDouble(); }
};

// The environment of a probe: headless, the engine's switches as the caller
// gave them (or the headless defaults), and `home` as the home folder so the
// data folder, the engine's profile and the single-copy socket are the
// probe's own.
inline QProcessEnvironment ProbeEnvironment(const QString& home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")))
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    if (!env.contains(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS")))
        env.insert(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"),
                   QStringLiteral("--disable-gpu --disable-background-networking "
                                  "--disable-component-update"));
    QDir().mkpath(home + QStringLiteral("/run"));
    ::chmod(QFile::encodeName(home + QStringLiteral("/run")).constData(), 0700);
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + QStringLiteral("/run"));
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        env.remove(QString::fromLatin1(name));
    return env;
}

// Runs a probe and waits (with a running event loop, so that a server of the
// caller keeps answering) for it to end, at most timeoutMs.
inline ProbeRun RunProbe(const QString& program, const QStringList& arguments,
                         const QProcessEnvironment& env, int timeoutMs)
{
    ProbeRun run;
    QProcess process;
    process.setProcessEnvironment(env);
    process.setProgram(program);
    process.setArguments(arguments);
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(timeoutMs);
    run.startNs = MonotonicNs();
    process.start();
    if (process.waitForStarted(10000))
        loop.exec();
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(5000);
        run.error = QStringLiteral("probe did not end in time");
    }
    const QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
    for (const QString& line : out.split(u'\n')) {
        if (!line.startsWith(QLatin1String("RESULT ")))
            continue;
        for (const QString& field : line.mid(7).split(u' ', Qt::SkipEmptyParts)) {
            const qsizetype eq = field.indexOf(u'=');
            if (eq > 0)
                run.fields.insert(field.left(eq), field.mid(eq + 1));
        }
        run.ok = run.error.isEmpty();
    }
    if (!run.ok && run.error.isEmpty())
        run.error = QStringLiteral("no result (%1, exit code %2): %3")
                        .arg(process.exitStatus() == QProcess::CrashExit ? process.errorString()
                                                                         : QStringLiteral("ended"))
                        .arg(process.exitCode())
                        .arg(QString::fromLocal8Bit(process.readAllStandardError().right(600)));
    return run;
}

inline double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// --- the probe side ------------------------------------------------------------------

// How long a probe stays idle before it opens the windows, how long the
// windows settle before the memory is taken, and when a probe gives up.
inline constexpr int kIdleBeforeOpenMs = 1000;
inline constexpr int kSettleMs = 3000;
inline constexpr int kGiveUpMs = 100000;

// A probe's entry: "startup <url>" or "windows|memory <base-urls> <count>"
// (base-urls as PageUrl reads them);
// anything else prints the usage of `probe` and returns 2.
// The monotonic clock when the probe's main began (after the loader and the
// static initialisers of every library).
inline qint64 g_probeMainNs = 0;

inline int ProbeMain(int argc, char** argv, const char* probe, int (*startup)(int, char**),
                     int (*windows)(int, char**, bool memory))
{
    g_probeMainNs = MonotonicNs();
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    if (mode == "startup" && argc == 3)
        return startup(argc, argv);
    if ((mode == "windows" || mode == "memory") && argc == 4)
        return windows(argc, argv, mode == "memory");
    std::fprintf(stderr, "usage: %s startup <url> | windows|memory <base-urls> <count>\n", probe);
    return 2;
}

// The startup mode's answer: the clock when the first load finished, printed
// once, after which the probe quits. Without a load the probe quits after
// kGiveUpMs (counted from construction) with no answer.
class StartupProbe {
public:
    StartupProbe()
    {
        QTimer::singleShot(kGiveUpMs, QCoreApplication::instance(), &QCoreApplication::quit);
    }

    void loadFinished(bool ok)
    {
        if (m_answered)
            return;
        m_answered = true;
        PrintResult(QStringLiteral("loaded_ns=%1 ok=%2 pid=%3 age_ms=%4 main_cpu_ms=%5 "
                                   "main_ns=%6")
                        .arg(MonotonicNs())
                        .arg(ok ? 1 : 0)
                        .arg(::getpid())
                        .arg(ProcessAgeMs(), 0, 'f', 0)
                        .arg(double(ThreadCpuNs()) / 1e6, 0, 'f', 1)
                        .arg(g_probeMainNs));
        QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
    }

    bool answered() const { return m_answered; }

private:
    bool m_answered = false;
};

// The windows and memory modes' measure. After kIdleBeforeOpenMs the windows
// are opened; from then on count the time until every page has loaded, the
// time to create the windows and the main thread's CPU time. In memory mode
// also the PSS of the process tree right before the windows and, kSettleMs
// after the last load, with them. The answer is printed once: when the
// `count`-th page has loaded, or after kGiveUpMs; then the probe quits.
class WindowsProbe {
public:
    // `windowCount` tells how many windows are open when the answer is given.
    WindowsProbe(bool memory, int count, std::function<qsizetype()> windowCount)
        : m_memory(memory), m_count(count), m_windowCount(std::move(windowCount))
    {
    }

    // Starts the timers; `open` creates the windows and starts their loads.
    void start(std::function<void()> open)
    {
        QObject* app = QCoreApplication::instance();
        QTimer::singleShot(kIdleBeforeOpenMs, app, [this, open = std::move(open)] {
            if (m_memory)
                m_baseline = TreePss(int(::getpid()));
            m_startNs = MonotonicNs();
            m_startCpuNs = ThreadCpuNs();
            open();
            m_openedNs = MonotonicNs();
        });
        QTimer::singleShot(kGiveUpMs, app, [this] { report(); });
    }

    // A window's page finished loading; only the first time per window counts.
    void loadFinished(const void* window, bool ok)
    {
        if (m_complete.contains(window))
            return;
        m_complete.insert(window);
        if (!ok)
            ++m_failed;
        if (m_complete.size() == m_count)
            report();
    }

private:
    void report()
    {
        if (m_finished)
            return;
        m_finished = true;
        QString fields = QStringLiteral("open_ms=%1 loaded=%2 failed=%3 windows=%4")
                             .arg((MonotonicNs() - m_startNs) / 1e6, 0, 'f', 1)
                             .arg(m_complete.size())
                             .arg(m_failed)
                             .arg(m_windowCount());
        fields += QStringLiteral(" create_ms=%1 main_cpu_ms=%2")
                      .arg((m_openedNs - m_startNs) / 1e6, 0, 'f', 1)
                      .arg((ThreadCpuNs() - m_startCpuNs) / 1e6, 0, 'f', 1);
        QObject* app = QCoreApplication::instance();
        if (!m_memory) {
            PrintResult(fields);
            QTimer::singleShot(0, app, &QCoreApplication::quit);
            return;
        }
        QTimer::singleShot(kSettleMs, app, [this, fields] {
            const TreeMemory after = TreePss(int(::getpid()));
            PrintResult(fields + QStringLiteral(" base_kb=%1 base_procs=%2 pss_kb=%3 procs=%4")
                                     .arg(m_baseline.pssKb)
                                     .arg(m_baseline.processes)
                                     .arg(after.pssKb)
                                     .arg(after.processes));
            QCoreApplication::quit();
        });
    }

    const bool m_memory;
    const int m_count;
    const std::function<qsizetype()> m_windowCount;
    QSet<const void*> m_complete;
    int m_failed = 0;
    qint64 m_startNs = 0;
    qint64 m_openedNs = 0;
    qint64 m_startCpuNs = 0;
    TreeMemory m_baseline;
    bool m_finished = false;
};

} // namespace orv::bench

class QTcpServer;
class QTcpSocket;

namespace orv {
class TestHttpServer;
} // namespace orv

namespace orv::bench {

// --- the benchmarks' rounds (benchsupport.cpp, linked into the window benchmarks) ----------

// One side of a window benchmark: its probe program and the probe's
// environment, with a home folder (data folder, engine profile) of its own.
struct ProbeSide {
    const char* name = "";
    QString program;
    QProcessEnvironment env;
};

// What a window benchmark sets up: local page servers in this process and a
// temporary folder with a home folder for each side. Side 0 is the program's
// probe (probe_program), side 1 the floor (probe_bare).
class ProbeBench {
public:
    static constexpr int kProgram = 0;
    static constexpr int kBare = 1;

    // `bench` names the benchmark in what it says on stderr.
    explicit ProbeBench(const char* bench);
    ~ProbeBench();
    ProbeBench(const ProbeBench&) = delete;
    ProbeBench& operator=(const ProbeBench&) = delete;

    TestHttpServer& server() { return *m_server; }
    // Serves BenchPage(1) .. BenchPage(count) at /p1 .. /p<count> from
    // `sites` sites: a server on each loopback address 127.0.0.1 ..
    // 127.0.0.<sites>, each a site of its own to the engine. Returns the
    // sites' page addresses as PageUrl reads them.
    QString servePages(int count, int sites);
    // False (and says so on stderr) when the temporary folder or a server is
    // missing.
    bool ready() const;

    const ProbeSide& side(int index) const { return m_sides[index]; }
    ProbeRun run(int index, const QStringList& arguments, int timeoutMs) const;
    // As run, but with a new, empty home folder, removed afterwards: a first
    // start that has to make its data folder and the engine's profile.
    ProbeRun runInFreshHome(int index, const QStringList& arguments, int timeoutMs) const;

    // One "startup <url>" run of a side: the milliseconds from starting the
    // probe to its first page loaded, or -1 (reported) when it failed.
    // BENCH_VERBOSE=1 lists every start on stderr.
    double startupMs(int index, const QString& url, int timeoutMs, bool freshHome) const;
    // "<bench>: <side> side failed: <detail>" on stderr.
    void reportFailure(int index, const QString& detail) const;

    // Calls `runOnce(side)` for both sides `rounds` times, in turn; round r
    // starts with side r % 2. Stops at the first run that returns false, and
    // then returns false.
    bool alternate(int rounds, const std::function<bool(int side)>& runOnce) const;

    // The window modes ("windows", "memory") in alternating rounds: each run
    // opens `count` windows on pages 1 .. count of baseUrls (PageUrl), and counts only when
    // every page loaded; `take(side, run)` keeps what it measured. A run that
    // does not count is reported and ends the rounds (false).
    bool windowRounds(const QString& mode, const QString& baseUrls, int count, int rounds,
                      int timeoutMs,
                      const std::function<void(int side, const ProbeRun& run)>& take) const;

private:
    void answer(QTcpSocket* socket, QByteArray& head) const;

    const char* m_bench;
    std::unique_ptr<TestHttpServer> m_server;
    std::vector<std::unique_ptr<QTcpServer>> m_sites;
    QHash<QByteArray, QByteArray> m_pages;
    QTemporaryDir m_root;
    ProbeSide m_sides[2];
};

// "<lowest>-<highest>" of the values, rounded to whole numbers.
QString Spread(const std::vector<double>& values);

// The rounds of a start-up benchmark: `startOnce(side)` (ProbeBench::kProgram
// or kBare) times one start in milliseconds, or answers -1 when it failed
// (and said so). Without `freshHome` each side starts once before counting;
// then the sides start alternately, `rounds` times each. Prints "<name>: ...
// ratio=" of the medians. The exit code.
int MeasureStartups(const char* name, int rounds, bool freshHome,
                    const std::function<double(int side)>& startOnce);

// A start-up benchmark: the program and the bare engine start on one page,
// alternately, `rounds` times each (with a fresh home folder every time when
// `freshHome`); prints "<name>: ... ratio=" of the medians. The exit code.
int RunStartupBench(const char* name, int rounds, bool freshHome);

} // namespace orv::bench
