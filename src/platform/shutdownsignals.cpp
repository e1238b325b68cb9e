#include "platform/shutdownsignals.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QPointer>
#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace orv {
namespace {

constexpr std::array<int, 2> HandledSignals = {SIGTERM, SIGINT};

// The self-pipe: the handler writes to [1], the event loop reads from [0].
// A signal handler can reach nothing else, hence this file-level state.
int g_pipe[2] = {-1, -1};
struct sigaction g_previous[HandledSignals.size()];

extern "C" void onShutdownSignal(int signalNumber)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    // A full pipe already holds enough requests: the byte may be dropped.
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    errno = savedErrno;
}

} // namespace

ShutdownSignals::ShutdownSignals(QObject* parent) : QObject(parent)
{
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(app, &QGuiApplication::commitDataRequest, this, &ShutdownSignals::sessionEnding);

    if (g_pipe[0] >= 0) {
        qWarning("ShutdownSignals: the signals are handled already");
        return;
    }
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        qWarning("ShutdownSignals: no pipe for signals (errno %d)", errno);
        g_pipe[0] = g_pipe[1] = -1;
        return;
    }
    m_notifier = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &ShutdownSignals::readSignals);

    struct sigaction action = {};
    action.sa_handler = onShutdownSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < HandledSignals.size(); ++i)
        ::sigaction(HandledSignals[i], &action, &g_previous[i]);
    m_active = true;
}

ShutdownSignals::~ShutdownSignals()
{
    if (!m_active)
        return;
    for (std::size_t i = 0; i < HandledSignals.size(); ++i)
        ::sigaction(HandledSignals[i], &g_previous[i], nullptr);
    m_notifier.reset();
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void ShutdownSignals::readSignals()
{
    // Everything is read first: a receiver may end this object.
    QByteArray received;
    char bytes[16];
    ssize_t count;
    while ((count = ::read(g_pipe[0], bytes, sizeof bytes)) > 0)
        received.append(bytes, count);
    const QPointer<ShutdownSignals> alive(this);
    for (const char byte : std::as_const(received)) {
        if (!alive)
            return;
        Q_EMIT terminationRequested(static_cast<unsigned char>(byte));
    }
}

} // namespace orv
