#include "mainwin/startupphases.h"

#include <QElapsedTimer>
#include <QtGlobal>

#include <cstdio>
#include <ctime>

namespace orv::startupphases {

namespace {

constexpr char kVariable[] = "ORVANE_STARTUP_PHASES";

struct Clock {
    QElapsedTimer timer;
    qint64 lastNs = 0;
    qint64 lastCpuNs = 0;
};

// The processor time this thread has used.
qint64 ThreadCpuNs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

Clock& clock()
{
    static Clock clock;
    return clock;
}

} // namespace

bool Enabled()
{
    static const bool enabled = qEnvironmentVariableIntValue(kVariable) == 1;
    return enabled;
}

void StartClock()
{
    if (!Enabled())
        return;
    Clock& c = clock();
    if (!c.timer.isValid())
        c.timer.start();
}

void Mark(const char* name)
{
    if (!Enabled())
        return;
    StartClock();
    Clock& c = clock();
    const qint64 now = c.timer.nsecsElapsed();
    const qint64 cpu = ThreadCpuNs();
    std::fprintf(stderr, "phase %s %.1f cpu %.1f\n", name, double(now - c.lastNs) / 1e6,
                 double(cpu - c.lastCpuNs) / 1e6);
    std::fflush(stderr);
    c.lastNs = now;
    c.lastCpuNs = cpu;
}

} // namespace orv::startupphases
