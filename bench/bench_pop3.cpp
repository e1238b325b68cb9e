// pop3: a hostile mail server on 127.0.0.1 (on a thread of its own, so its
// sending is not the main thread's work) offers up to 1 GB as fast as it
// can within the client's time limit of 15 s. "noline": the greeting is
// one line that never ends; "lines": the server logs in and then lists
// short lines without end. Prints the longest stretch in which the main
// thread did not answer during each exchange ("noline_stall_ms=",
// "lines_stall_ms=", limit 100 ms) beside the same meter while nothing
// happens ("idle_ms="), what the server got out before the client
// dropped it ("noline_sent_kb=", "lines_sent_kb=") and how long the
// exchanges took. "ratio=" is the longer stall over the idle floor.

#include "platform/pop3client.h"

#include "inprocess.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>

using namespace orv;
using namespace orv::bench;

namespace {

constexpr qint64 kFlood = qint64(1024) * 1024 * 1024;
constexpr qint64 kPiece = 64 * 1024;
// The server keeps at most this much waiting in its own buffer.
constexpr qint64 kQueued = 1024 * 1024;
constexpr int kIdleMs = 1000;
constexpr int kTimeoutMs = 60000;

enum class Flood { NoLine, Lines };

// The hostile server, on a thread of its own.
class FloodServer {
public:
    explicit FloodServer(Flood kind) : m_kind(kind)
    {
        m_thread.start();
        m_context.moveToThread(&m_thread);
        run([this] {
            m_server = std::make_unique<QTcpServer>();
            m_server->listen(QHostAddress::LocalHost, 0);
            m_port = m_server->serverPort();
            QObject::connect(m_server.get(), &QTcpServer::newConnection, m_server.get(), [this] {
                while (QTcpSocket* socket = m_server->nextPendingConnection())
                    serve(socket);
            });
        });
    }
    ~FloodServer()
    {
        run([this] { m_server.reset(); });
        m_thread.quit();
        m_thread.wait();
    }
    FloodServer(const FloodServer&) = delete;
    FloodServer& operator=(const FloodServer&) = delete;

    quint16 port() const { return m_port; }
    qint64 sent() const { return m_sent.load(); }

private:
    void run(const std::function<void()>& step)
    {
        QMetaObject::invokeMethod(&m_context, step, Qt::BlockingQueuedConnection);
    }

    void serve(QTcpSocket* socket)
    {
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        auto flooding = std::make_shared<bool>(false);
        const QByteArray piece = m_kind == Flood::NoLine
                                     ? QByteArray(kPiece, 'x')
                                     : QByteArray("1 100\r\n").repeated(int(kPiece / 7));
        auto feed = [this, socket, piece, flooding] {
            if (!*flooding)
                return;
            while (socket->state() == QAbstractSocket::ConnectedState &&
                   socket->bytesToWrite() < kQueued && m_sent.load() < kFlood) {
                socket->write(piece);
                m_sent += piece.size();
            }
        };
        QObject::connect(socket, &QTcpSocket::bytesWritten, socket, feed);
        if (m_kind == Flood::NoLine) {
            socket->write("+OK ");
            *flooding = true;
            feed();
            return;
        }
        socket->write("+OK bereit\r\n");
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, flooding, feed] {
            while (socket->canReadLine()) {
                const QByteArray command = socket->readLine().trimmed().toUpper();
                if (command == "CAPA")
                    socket->write("-ERR\r\n");
                else if (command.startsWith("USER") || command.startsWith("PASS"))
                    socket->write("+OK\r\n");
                else if (command == "LIST") {
                    socket->write("+OK 5 messages\r\n");
                    *flooding = true;
                    feed();
                }
            }
        });
    }

    const Flood m_kind;
    QThread m_thread;
    QObject m_context;
    std::unique_ptr<QTcpServer> m_server;
    quint16 m_port = 0;
    std::atomic<qint64> m_sent{0};
};

struct Exchange {
    qint64 stallMs = -1;
    qint64 sentKb = 0;
    qint64 tookMs = 0;
    Pop3Outcome outcome = Pop3Outcome::Failed;
};

Exchange RunExchange(Flood kind, StallMonitor& stalls)
{
    FloodServer server(kind);
    Pop3Client client;
    bool done = false;
    Exchange exchange;
    QObject::connect(&client, &Pop3Client::finished, [&](const Pop3Result& result) {
        exchange.outcome = result.outcome;
        done = true;
    });
    QElapsedTimer clock;
    stalls.start();
    clock.start();
    client.start({QStringLiteral("127.0.0.1:%1").arg(server.port()), QStringLiteral("nutzer"),
                  QStringLiteral("geheim")});
    const bool ended = WaitUntil([&] { return done; }, kTimeoutMs);
    exchange.tookMs = clock.elapsed();
    const qint64 stall = stalls.stop();
    exchange.stallMs = ended ? stall : -1;
    exchange.sentKb = server.sent() / 1024;
    return exchange;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    StallMonitor stalls;
    stalls.start();
    WaitUntil([] { return false; }, kIdleMs);
    const qint64 idle = stalls.stop();
    const Exchange noLine = RunExchange(Flood::NoLine, stalls);
    const Exchange lines = RunExchange(Flood::Lines, stalls);
    if (noLine.stallMs < 0 || lines.stallMs < 0) {
        std::fprintf(stderr, "pop3: an exchange did not end\n");
        return 1;
    }
    std::printf("pop3: noline_stall_ms=%lld noline_sent_kb=%lld noline_ms=%lld "
                "lines_stall_ms=%lld lines_sent_kb=%lld lines_ms=%lld idle_ms=%lld ratio=%.2f\n",
                static_cast<long long>(noLine.stallMs), static_cast<long long>(noLine.sentKb),
                static_cast<long long>(noLine.tookMs), static_cast<long long>(lines.stallMs),
                static_cast<long long>(lines.sentKb), static_cast<long long>(lines.tookMs),
                static_cast<long long>(idle),
                idle > 0 ? double(std::max(noLine.stallMs, lines.stallMs)) / double(idle) : 0.0);
    return 0;
}
