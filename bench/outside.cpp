#include "outside.h"

#include "benchsupport.h"
#include "common/testhttpserver.h"

#include <QEventLoop>
#include <QFile>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QThread>

#include <xcb/xcb.h>

#include <array>
#include <cstdlib>

namespace orv::bench {

namespace {

// Display numbers tried for the benchmark's own server, clear of the ones
// desktops and test runners usually take.
constexpr int kFirstDisplay = 140;
constexpr int kLastDisplay = 180;
constexpr int kServerReadyMs = 10000;
constexpr int kReadyPollMs = 20;
constexpr char kScreen[] = "1280x1024x24";
// Titles longer than this are cut when read; the expected text is short.
constexpr quint32 kTitleWords = 256;
constexpr int kStartTimeoutMs = 60000;
// How long a side may take to end when asked, before it is killed.
constexpr int kEndTimeoutMs = 15000;

bool displayTaken(int number)
{
    return QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number)) ||
           QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number));
}

// True once a client can connect to `display`, false when the server ended
// or did not answer within kServerReadyMs.
bool waitForServer(const QString& display, QProcess& server)
{
    const QByteArray name = display.toLocal8Bit();
    for (int waited = 0; waited < kServerReadyMs; waited += kReadyPollMs) {
        if (server.state() == QProcess::NotRunning)
            return false;
        xcb_connection_t* probe = xcb_connect(name.constData(), nullptr);
        const bool up = xcb_connection_has_error(probe) == 0;
        xcb_disconnect(probe);
        if (up)
            return true;
        QThread::msleep(kReadyPollMs);
    }
    return false;
}

} // namespace

BenchDisplay::BenchDisplay()
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty()) {
        m_name = qEnvironmentVariable("DISPLAY");
        if (m_name.isEmpty())
            m_error = QStringLiteral("needs an X server: install xvfb (apt install xvfb) "
                                     "or set DISPLAY");
        return;
    }
    for (int number = kFirstDisplay; number <= kLastDisplay; ++number) {
        if (displayTaken(number))
            continue;
        const QString display = QStringLiteral(":%1").arg(number);
        m_server.setProgram(xvfb);
        m_server.setArguments({display, QStringLiteral("-screen"), QStringLiteral("0"),
                               QString::fromLatin1(kScreen), QStringLiteral("-nolisten"),
                               QStringLiteral("tcp")});
        m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_server.setStandardOutputFile(QProcess::nullDevice());
        m_server.start();
        if (m_server.waitForStarted() && waitForServer(display, m_server)) {
            m_name = display;
            return;
        }
        // Another server took the number meanwhile: the next one.
        m_server.kill();
        m_server.waitForFinished();
    }
    m_error = QStringLiteral("the X server (Xvfb) did not start");
}

BenchDisplay::~BenchDisplay()
{
    if (m_server.state() == QProcess::NotRunning)
        return;
    m_server.terminate();
    if (!m_server.waitForFinished())
        m_server.kill();
}

XTitleWatch::XTitleWatch(const QString& display, QObject* parent) : QObject(parent)
{
    xcb_connection_t* connection = xcb_connect(display.toLocal8Bit().constData(), nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return;
    }
    m_connection = connection;
    m_wmName = atom("WM_NAME");
    m_netWmName = atom("_NET_WM_NAME");
    // New top-level windows are the root window's new children.
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    const quint32 mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_connection, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(m_connection);
    m_notifier = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(m_connection),
                                                   QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &XTitleWatch::readEvents);
}

XTitleWatch::~XTitleWatch()
{
    m_notifier.reset();
    if (m_connection)
        xcb_disconnect(m_connection);
}

void XTitleWatch::expect(const QString& text)
{
    m_expected = text;
    m_reported = false;
}

quint32 XTitleWatch::atom(const char* name) const
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(m_connection, 0, quint16(qstrlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(m_connection, cookie, nullptr);
    const quint32 value = reply ? reply->atom : 0;
    std::free(reply);
    return value;
}

void XTitleWatch::readEvents()
{
    // Reading a title may queue further events: the loop takes those too.
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
        switch (event->response_type & ~0x80) {
        case XCB_CREATE_NOTIFY:
            watchWindow(reinterpret_cast<xcb_create_notify_event_t*>(event)->window);
            break;
        case XCB_PROPERTY_NOTIFY: {
            const auto* change = reinterpret_cast<xcb_property_notify_event_t*>(event);
            if (change->atom == m_wmName || change->atom == m_netWmName)
                checkTitle(change->window);
            break;
        }
        default:
            break;
        }
        std::free(event);
    }
}

void XTitleWatch::watchWindow(quint32 window)
{
    const quint32 mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(m_connection, window, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(m_connection);
    // A title set before the watch began counts as well.
    checkTitle(window);
}

void XTitleWatch::checkTitle(quint32 window)
{
    if (m_reported)
        return;
    for (const quint32 property : {m_netWmName, m_wmName}) {
        const xcb_get_property_cookie_t cookie = xcb_get_property(
            m_connection, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, kTitleWords);
        xcb_get_property_reply_t* reply = xcb_get_property_reply(m_connection, cookie, nullptr);
        if (!reply)
            continue;
        const QString title =
            QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(reply)),
                              xcb_get_property_value_length(reply));
        std::free(reply);
        if (title.contains(m_expected)) {
            m_reported = true;
            Q_EMIT seen(MonotonicNs());
            return;
        }
    }
}

namespace {

struct OutsideSide {
    const char* name;
    QString program;
    QStringList arguments;
};

// The environment of one start: the probes' own, on the benchmark's display.
QProcessEnvironment OutsideEnvironment(const QString& home, const QString& display)
{
    QProcessEnvironment env = ProbeEnvironment(home);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("DISPLAY"), display);
    return env;
}

// One start of a side: milliseconds from launching it to the title, or -1
// (reported on stderr).
double StartOnce(const char* bench, const OutsideSide& side, const QProcessEnvironment& env,
                 XTitleWatch& watch, const QString& title)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.setProgram(side.program);
    process.setArguments(side.arguments);
    process.setStandardOutputFile(QProcess::nullDevice());
    // BENCH_VERBOSE=1: what the sides print (ORVANE_STARTUP_PHASES=1: the
    // program's phases) goes to the benchmark's stderr.
    const bool verbose = qEnvironmentVariableIsSet("BENCH_VERBOSE");
    if (verbose)
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QEventLoop loop;
    qint64 seenNs = 0;
    const QMetaObject::Connection seen =
        QObject::connect(&watch, &XTitleWatch::seen, &loop, [&](qint64 ns) {
            seenNs = ns;
            loop.quit();
        });
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(kStartTimeoutMs, &loop, &QEventLoop::quit);
    watch.expect(title);
    const qint64 startNs = MonotonicNs();
    process.start();
    if (process.waitForStarted())
        loop.exec();
    QObject::disconnect(seen);
    if (process.state() != QProcess::NotRunning) {
        process.terminate();
        if (!process.waitForFinished(kEndTimeoutMs)) {
            process.kill();
            process.waitForFinished();
        }
    }
    if (seenNs == 0) {
        std::fprintf(stderr, "%s: %s side showed no window titled \"%s\": %s\n", bench, side.name,
                     qPrintable(title),
                     qPrintable(QString::fromLocal8Bit(process.readAllStandardError().right(600))));
        return -1;
    }
    const double ms = double(seenNs - startNs) / 1e6;
    if (verbose)
        std::fprintf(stderr, "%s: %s %.0f ms\n", bench, side.name, ms);
    return ms;
}

} // namespace

int RunOutsideStartupBench(const char* name, int rounds, bool freshHome)
{
    const BenchDisplay display;
    if (display.name().isEmpty()) {
        std::fprintf(stderr, "%s: %s\n", name, qPrintable(display.error()));
        return 1;
    }
    XTitleWatch watch(display.name());
    TestHttpServer server;
    server.serve("/start", "text/html; charset=utf-8", BenchPage(1));
    const QTemporaryDir root;
    if (!watch.connected() || !server.isListening() || !root.isValid()) {
        std::fprintf(stderr, "%s: no connection to %s, no local server or no temporary folder\n",
                     name, qPrintable(display.name()));
        return 1;
    }
    const QString url = server.url(QStringLiteral("/start")).toString();
    const QString title = QString::fromUtf8(BenchPageTitle(1));
    // The sides in the order of ProbeBench::kProgram and kBare.
    const std::array<OutsideSide, 2> sides{{
        {"program", QStringLiteral(ORVANE_PROGRAM), {url}},
        {"bare", QStringLiteral(ORVANE_PROBE_BARE), {QStringLiteral("show"), url}},
    }};
    return MeasureStartups(name, rounds, freshHome, [&](int side) {
        if (!freshHome) {
            const QString home = root.filePath(QString::fromLatin1(sides[side].name));
            return StartOnce(name, sides[side], OutsideEnvironment(home, display.name()), watch,
                             title);
        }
        const QTemporaryDir home(root.filePath(QStringLiteral("fresh-XXXXXX")));
        return StartOnce(name, sides[side], OutsideEnvironment(home.path(), display.name()), watch,
                         title);
    });
}

} // namespace orv::bench
