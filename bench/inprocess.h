#pragma once

// Pieces of the benchmarks that run the program's windows and the bare
// engine in one process, one after the other: the program's start as its
// entry makes it (engine switches, application, data folder, texts, a
// dialog seam that answers nothing), waiting for a signal, and a monitor of
// how long the main thread went without answering.

#include "app/appinit.h"
#include "app/dialogseam.h"
#include "app/texts.h"
#include "browser/frmbrowser.h"
#include "mainwin/mdiform.h"
#include "platform/engine.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <QWebEngineView>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace orv::bench {

class QuietDialogs final : public DialogSeam {
public:
    MsgAnswer message(const MessageRequest& request) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(request.text));
        return request.defaultAnswer;
    }
    QString fileDialog(const FileDialogRequest&) override { return {}; }
};

class InProcessBench {
    // Headless unless the caller chose a platform, with the engine's
    // headless switches unless the caller gave some (as the probes run);
    // then the program's own switches.
    struct EngineSwitches {
        EngineSwitches()
        {
            if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
            if (!qEnvironmentVariableIsSet("QTWEBENGINE_CHROMIUM_FLAGS"))
                qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
                        "--disable-gpu --disable-background-networking "
                        "--disable-component-update");
            PrepareWebEngine();
        }
    } m_engine;

public:
    InProcessBench(int& argc, char** argv) : app(argc, argv)
    {
        if (home.isValid())
            SetDataFolder(home.path());
        LoadTexts(AppFolder());
        InstallDialogs(&dialogs);
    }
    ~InProcessBench() { InstallDialogs(nullptr); }
    InProcessBench(const InProcessBench&) = delete;
    InProcessBench& operator=(const InProcessBench&) = delete;

    QApplication app;
    QTemporaryDir home;
    QuietDialogs dialogs;
};

// Runs the event loop until `sender` emits `signal` (true) or `timeoutMs`
// passed (false).
template <typename Sender, typename Signal>
bool WaitForSignal(const Sender* sender, Signal signal, int timeoutMs)
{
    QEventLoop loop;
    bool fired = false;
    QObject::connect(sender, signal, &loop, [&] {
        fired = true;
        loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return fired;
}

// Runs the event loop until `done()` holds, looking every 5 ms, or
// `timeoutMs` passed.
template <typename Done> bool WaitUntil(Done done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer look;
    look.setInterval(5);
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        if (done() || clock.elapsed() > timeoutMs)
            loop.quit();
    });
    look.start();
    if (!done())
        loop.exec();
    return done();
}

// The longest stretch in which the main thread's event loop did not come
// round, measured by a timer that wants to run every 5 ms. BENCH_STALLS=1
// lists every stretch over 50 ms on stderr with its end (milliseconds since
// start()), to tell which step of a measure stalls.
class StallMonitor {
public:
    StallMonitor()
    {
        m_tick.setInterval(5);
        QObject::connect(&m_tick, &QTimer::timeout, [this] {
            const qint64 stall = m_since.elapsed();
            m_longestMs = std::max(m_longestMs, stall);
            if (m_list && stall > kListedMs)
                std::fprintf(stderr, "stall %lld ms ending at %lld ms\n",
                             static_cast<long long>(stall),
                             static_cast<long long>(m_started.elapsed()));
            m_since.restart();
        });
    }
    void start()
    {
        m_longestMs = 0;
        m_since.start();
        m_started.start();
        m_tick.start();
    }
    qint64 stop()
    {
        m_tick.stop();
        return std::max(m_longestMs, m_since.elapsed());
    }

private:
    static constexpr qint64 kListedMs = 50;
    const bool m_list = qEnvironmentVariableIntValue("BENCH_STALLS") == 1;
    QTimer m_tick;
    QElapsedTimer m_since;
    QElapsedTimer m_started;
    qint64 m_longestMs = 0;
};

// Waits until `test` (a script that answers true or false) holds in the page
// of `view()`, asking every 20 ms; true when it did within `timeoutMs`.
// `view()` may answer nullptr while there is no page to ask yet.
template <typename ViewOf> bool WaitForScript(ViewOf view, const QString& test, int timeoutMs)
{
    bool holds = false;
    QTimer ask;
    ask.setInterval(20);
    QObject::connect(&ask, &QTimer::timeout, [&] {
        if (auto* page = view())
            page->runJavaScript(
                test, [&holds](const QVariant& answer) { holds = holds || answer.toBool(); });
    });
    ask.start();
    return WaitUntil([&] { return holds; }, timeoutMs);
}

// One load of `url` in the bare engine's view, started from a blank page:
// the milliseconds until it finished, or -1 when it did not within
// `timeoutMs`.
inline double BareLoadMs(QWebEngineView& bare, const QUrl& url, int timeoutMs)
{
    bare.setUrl(QUrl(QStringLiteral("about:blank")));
    WaitForSignal(&bare, &QWebEngineView::loadFinished, timeoutMs);
    QElapsedTimer clock;
    clock.start();
    bare.load(url);
    if (!WaitForSignal(&bare, &QWebEngineView::loadFinished, timeoutMs))
        return -1;
    return double(clock.nsecsElapsed()) / 1e6;
}

inline double MedianOf(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Opens `url` in a new window of `main` and waits until the window shows it
// and no load is under way; nullptr when that did not happen in `timeoutMs`.
inline frmBrowser* OpenLoaded(MDIForm1& main, const QUrl& url, int timeoutMs)
{
    frmBrowser* window = main.OpenNewBrowser(url.toString());
    if (!window ||
        !WaitUntil([&] { return window->LocationURL() == url.toString() && !window->Busy(); },
                   timeoutMs))
        return nullptr;
    return window;
}

} // namespace orv::bench
