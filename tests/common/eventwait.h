#pragma once

// Waiting in tests without sleeping. QTest's own waits process the pending
// events and then sleep 10 ms, over and over. The engine's browser side runs
// its work on this thread as posted events, one small step after another, so
// every step of a page load waits out such a sleep: a local page takes
// seconds to show. The wait below blocks in the event loop instead and wakes
// as soon as anything arrives; a short timer makes it look at its condition
// at least every few milliseconds. The QTRY_* macros of every test that
// includes this header wait the same way.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

namespace orv {

// How often the condition is looked at when nothing else wakes the loop.
inline constexpr int kWaitTickMs = 5;

// Runs the event loop until `done()` holds or `timeoutMs` have passed;
// returns the milliseconds waited. Objects deleted later are deleted on the
// way, as QTest's waits do.
template <typename Done> int WaitUntil(Done&& done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    if (done())
        return 0;
    const QDeadlineTimer deadline(timeoutMs);
    QTimer tick;
    tick.start(kWaitTickMs);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (done())
            break;
    }
    return static_cast<int>(clock.elapsed());
}

// Whether `done()` came to hold within `timeoutMs`.
template <typename Done> bool WaitFor(Done&& done, int timeoutMs)
{
    WaitUntil(done, timeoutMs);
    return done();
}

} // namespace orv

// QTRY_* on the wait above; the loop counter keeps its name for the timeout
// message of QTRY_TIMEOUT_DEBUG_IMPL.
#undef QTRY_LOOP_IMPL
#define QTRY_LOOP_IMPL(expr, timeoutValue, step)                                                   \
    [[maybe_unused]] const int qt_test_i = ::orv::WaitUntil(                                       \
        [&] { return (QTest::runningTest() && QTest::currentTestFailed()) || bool(expr); },        \
        timeoutValue);                                                                             \
    static_cast<void>(step);
