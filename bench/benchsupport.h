#pragma once

// Pieces shared by the window benchmarks and the probe programs they start:
// a clock that both processes read alike, the memory of a process tree,
// the pages the probes load, and running one probe as a child process.

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHash>
#include <QList>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
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

// One of the pages the window benchmarks open: a title, a style sheet and a
// few paragraphs of text, different for each number.
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
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Seite " +
           QByteArray::number(number) +
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

} // namespace orv::bench
