#include "platform/singlecopy.h"

#include "app/appinit.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>
#include <QtEndian>

#include <unistd.h>

namespace orv {
namespace {

constexpr qsizetype HeaderBytes = 4;
constexpr char AckByte = 'K';
constexpr char RefuseByte = 'E';
// How long listen() waits for another starting copy and for a probe.
constexpr int LockWaitMs = 1000;
constexpr int ProbeWaitMs = 500;

QByteArray frame(const QByteArray& payload)
{
    QByteArray bytes(HeaderBytes, '\0');
    qToBigEndian(static_cast<quint32>(payload.size()), bytes.data());
    return bytes + payload;
}

// The socket file's path as QLocalServer and QLocalSocket resolve the name.
QString socketPath(const QString& serverName)
{
    if (serverName.startsWith(u'/'))
        return serverName;
    return QDir::cleanPath(QDir::tempPath()) + u'/' + serverName;
}

int remainingMs(const QDeadlineTimer& deadline)
{
    return static_cast<int>(qMax<qint64>(0, deadline.remainingTime()));
}

// Errors that mean nobody listens on the name (no file, or a file that a
// crashed copy left behind, or one that is not ours to use).
bool meansNoCopy(QLocalSocket::LocalSocketError error)
{
    return error == QLocalSocket::ServerNotFoundError ||
           error == QLocalSocket::ConnectionRefusedError ||
           error == QLocalSocket::SocketAccessError;
}

} // namespace

QString SingleCopy::DefaultServerName()
{
    QString base;
    for (const QChar c : AppTitle().toLower())
        base += (c.isLetterOrNumber() && c.unicode() < 128) || c == u'.' ? c : QChar(u'-');
    base += u'-' + QString::number(::getuid());
    // The runtime folder belongs to the user alone; without a session there
    // is none, and the name goes to the temporary folder.
    if (qEnvironmentVariableIsSet("XDG_RUNTIME_DIR")) {
        const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (!runtime.isEmpty())
            return runtime + u'/' + base;
    }
    return base;
}

SingleCopy::HandOverResult SingleCopy::tryHandOver(const QString& argument, int timeoutMs,
                                                   const QString& serverName)
{
    const QDeadlineTimer deadline(qMax(0, timeoutMs));
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(remainingMs(deadline)))
        return meansNoCopy(socket.error()) ? HandOverResult::NoCopy : HandOverResult::NotDelivered;

    QByteArray payload = argument.toUtf8();
    const bool tooLong = payload.size() > MaxMessageBytes;
    if (tooLong)
        payload.clear(); // still bring the running copy to the front
    socket.write(frame(payload));
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(remainingMs(deadline)))
            return HandOverResult::NotDelivered;
    }
    if (socket.bytesAvailable() < 1 && !socket.waitForReadyRead(remainingMs(deadline)))
        return HandOverResult::NotDelivered;
    char answer = 0;
    const bool confirmed = socket.getChar(&answer) && answer == AckByte;
    socket.disconnectFromServer();
    return confirmed && !tooLong ? HandOverResult::Delivered : HandOverResult::NotDelivered;
}

bool SingleCopy::handOver(const QString& argument, int timeoutMs, const QString& serverName)
{
    return tryHandOver(argument, timeoutMs, serverName) != HandOverResult::NoCopy;
}

SingleCopy::SingleCopy(QObject* parent) : SingleCopy(DefaultServerName(), parent) {}

SingleCopy::SingleCopy(const QString& serverName, QObject* parent)
    : QObject(parent), m_serverName(serverName), m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleCopy::acceptConnections);
}

SingleCopy::~SingleCopy()
{
    close();
}

bool SingleCopy::isListening() const
{
    return m_server->isListening();
}

void SingleCopy::close()
{
    m_server->close();
}

bool SingleCopy::copyIsListening() const
{
    QLocalSocket probe;
    probe.connectToServer(m_serverName);
    if (probe.waitForConnected(ProbeWaitMs)) {
        probe.abort();
        return true;
    }
    // A timeout means a copy that is too busy to accept: still alive.
    return !meansNoCopy(probe.error());
}

bool SingleCopy::listen()
{
    if (m_server->isListening())
        return true;
    m_error.clear();
    // Two copies starting at once must not both decide to be the first: the
    // check and the listen happen under a lock. A lock left by a crashed
    // process is taken over by QLockFile; without the lock (no permission)
    // the check still runs.
    QLockFile lock(socketPath(m_serverName) + QStringLiteral(".lock"));
    lock.tryLock(LockWaitMs);
    if (copyIsListening()) {
        m_error = QStringLiteral("another copy is listening on %1").arg(m_serverName);
        return false;
    }
    QLocalServer::removeServer(m_serverName);
    if (!m_server->listen(m_serverName)) {
        m_error = m_server->errorString();
        return false;
    }
    return true;
}

void SingleCopy::acceptConnections()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        // The socket belongs to the server and goes when it ends or closes.
        socket->setReadBufferSize(HeaderBytes + MaxMessageBytes);
        auto* idle = new QTimer(socket);
        idle->setSingleShot(true);
        connect(idle, &QTimer::timeout, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readMessage(socket); });
        idle->start(m_idleTimeoutMs);
        if (socket->bytesAvailable() > 0)
            readMessage(socket);
    }
}

void SingleCopy::readMessage(QLocalSocket* socket)
{
    if (socket->bytesAvailable() < HeaderBytes)
        return;
    const QByteArray header = socket->peek(HeaderBytes);
    const quint32 length = qFromBigEndian<quint32>(header.constData());
    if (length > static_cast<quint32>(MaxMessageBytes)) {
        disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
        socket->write(&RefuseByte, 1);
        socket->disconnectFromServer();
        return;
    }
    if (socket->bytesAvailable() < HeaderBytes + length)
        return; // the rest is still on its way
    socket->skip(HeaderBytes);
    const QString argument = QString::fromUtf8(socket->read(length));
    disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
    socket->write(&AckByte, 1);
    socket->disconnectFromServer();

    const QPointer<SingleCopy> alive(this); // a receiver may end this object
    Q_EMIT raiseRequested();
    if (alive && !argument.isEmpty())
        Q_EMIT openRequested(argument);
}

} // namespace orv
