#include "mainwin/startupphases.h"

#include <QElapsedTimer>
#include <QtGlobal>

#include <cstdio>

namespace orv::startupphases {

namespace {

constexpr char kVariable[] = "ORVANE_STARTUP_PHASES";

struct Clock {
    QElapsedTimer timer;
    qint64 lastNs = 0;
};

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
    std::fprintf(stderr, "phase %s %.1f\n", name, double(now - c.lastNs) / 1e6);
    std::fflush(stderr);
    c.lastNs = now;
}

} // namespace orv::startupphases
