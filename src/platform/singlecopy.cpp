#include "platform/singlecopy.h"

#include "app/appinit.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <QtEndian>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orv {
namespace {

constexpr qsizetype HeaderBytes = 4;
constexpr char AckByte = 'K';
constexpr char RefuseByte = 'E';
// How long listen() waits for a probe.
constexpr int ProbeWaitMs = 500;
// The socket file's mode: the user's alone (the folder is already).
constexpr mode_t SocketMode = 0600;

// An exclusive lock on a file in the private folder, held while it lives.
// The system drops it when its holder ends, so a crashed copy leaves none.
// A holder keeps it only across a bounded check and the listen.
class FolderLock {
public:
    explicit FolderLock(const QString& path)
        : m_fd(::open(QFile::encodeName(path).constData(),
                      O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600))
    {
        if (m_fd >= 0)
            while (::flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
            }
    }
    ~FolderLock()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int m_fd;
};

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

QString socketFolder(const QString& serverName)
{
    return QFileInfo(socketPath(serverName)).path();
}

// Errors that mean nobody listens on the name (no file, or a file that a
// crashed copy left behind, or one that is not ours to use).
bool meansNoCopy(QLocalSocket::LocalSocketError error)
{
    return error == QLocalSocket::ServerNotFoundError ||
           error == QLocalSocket::ConnectionRefusedError ||
           error == QLocalSocket::SocketAccessError;
}

enum class Listener {
    None,    // nobody listens (no socket file, or one left by a crashed copy)
    Ours,    // a copy of this user accepted the connection
    Busy,    // somebody listens but did not accept in time
    Foreign, // the accepting process runs as another user
};

// Connects `socket` to the name and checks whom it reached. On Foreign the
// connection is already dropped, before a byte went out.
Listener connectChecked(QLocalSocket& socket, const QString& serverName, int timeoutMs,
                        uint expectedUid)
{
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(timeoutMs))
        return meansNoCopy(socket.error()) ? Listener::None : Listener::Busy;
    ucred peer = {};
    socklen_t size = sizeof peer;
    if (::getsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 ||
        size != sizeof peer || peer.uid != expectedUid) {
        socket.abort();
        return Listener::Foreign;
    }
    return Listener::Ours;
}

// Each of these lines goes to stderr once per process (a start asks up to
// three times).
void warnOnce(const QString& line)
{
    static QSet<QString> told;
    if (told.contains(line))
        return;
    told.insert(line);
    std::fprintf(stderr, "%s\n", line.toUtf8().constData());
}

QString untrustedFolderText(const QString& folder)
{
    return QStringLiteral("Orvane: Der Ordner %1 gehört nicht allein diesem Benutzer (Besitzer, "
                          "Rechte oder Verknüpfung falsch); das Programm startet ohne Verbindung "
                          "zu einer laufenden Kopie.")
        .arg(folder);
}

QString foreignListenerText(const QString& serverName)
{
    return QStringLiteral("Orvane: An %1 wartet ein Prozess eines anderen Benutzers; ihm wird "
                          "nichts übergeben, das Programm startet eigenständig.")
        .arg(serverName);
}

} // namespace

QString SingleCopy::DefaultServerName()
{
    QString base;
    for (const QChar c : AppTitle().toLower())
        base += (c.isLetterOrNumber() && c.unicode() < 128) || c == u'.' ? c : QChar(u'-');
    const QString uid = QString::number(CurrentUid());
    base += u'-' + uid;
    // The runtime folder belongs to the user alone; without a session there
    // is none, and a folder of our own in the temporary folder takes its
    // place (listen() makes it and checks that it is ours alone).
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString folder =
        !runtime.isEmpty() && QDir::isAbsolutePath(runtime)
            ? QDir::cleanPath(runtime) + QStringLiteral("/orvane")
            : QDir::cleanPath(QDir::tempPath()) + QStringLiteral("/orvane-") + uid;
    return folder + u'/' + base;
}

uint SingleCopy::CurrentUid()
{
    return ::geteuid();
}

bool SingleCopy::IsPrivateFolder(const QString& folder, bool create)
{
    const QByteArray path = QFile::encodeName(folder);
    struct stat info = {};
    if (::lstat(path.constData(), &info) != 0) {
        if (errno != ENOENT || !create)
            return false;
        // Another copy may make it at the same moment: then check that one.
        if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
            return false;
        if (::lstat(path.constData(), &info) != 0)
            return false;
    }
    return S_ISDIR(info.st_mode) && info.st_uid == CurrentUid() && (info.st_mode & 077) == 0;
}

QString SingleCopy::AbsoluteArgument(const QString& argument, const QString& workingFolder)
{
    if (argument.isEmpty() || QDir::isAbsolutePath(argument))
        return argument;
    const QFileInfo local(QDir(workingFolder), argument);
    return local.exists() ? QDir::cleanPath(local.absoluteFilePath()) : argument;
}

SingleCopy::HandOverResult SingleCopy::tryHandOver(const QString& argument, int timeoutMs,
                                                   const QString& serverName, uint expectedUid)
{
    const QString folder = socketFolder(serverName);
    if (!QFileInfo::exists(folder))
        return HandOverResult::NoCopy;
    if (!IsPrivateFolder(folder, false)) {
        warnOnce(untrustedFolderText(folder));
        return HandOverResult::Untrusted;
    }
    const QDeadlineTimer deadline(qMax(0, timeoutMs));
    QLocalSocket socket;
    switch (connectChecked(socket, serverName, remainingMs(deadline), expectedUid)) {
    case Listener::None:
        return HandOverResult::NoCopy;
    case Listener::Busy:
        return HandOverResult::NotDelivered;
    case Listener::Foreign:
        warnOnce(foreignListenerText(serverName));
        return HandOverResult::Untrusted;
    case Listener::Ours:
        break;
    }

    QByteArray payload = AbsoluteArgument(argument, QDir::currentPath()).toUtf8();
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
    const HandOverResult result = tryHandOver(argument, timeoutMs, serverName);
    return result == HandOverResult::Delivered || result == HandOverResult::NotDelivered;
}

SingleCopy::SingleCopy(QObject* parent) : SingleCopy(DefaultServerName(), parent) {}

SingleCopy::SingleCopy(const QString& serverName, QObject* parent)
    : QObject(parent), m_serverName(serverName), m_server(new QLocalServer(this))
{
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

bool SingleCopy::copyIsListening()
{
    QLocalSocket probe;
    switch (connectChecked(probe, m_serverName, ProbeWaitMs, m_expectedUid)) {
    case Listener::None:
        return false;
    case Listener::Ours:
        probe.abort();
        m_error = QStringLiteral("another copy is listening on %1").arg(m_serverName);
        return true;
    case Listener::Busy: // too busy to accept: still alive
        m_error = QStringLiteral("another copy is listening on %1").arg(m_serverName);
        return true;
    case Listener::Foreign: // never taken over: it is not ours to remove
        m_error = foreignListenerText(m_serverName);
        warnOnce(m_error);
        return true;
    }
    return true;
}

bool SingleCopy::listen()
{
    if (m_server->isListening())
        return true;
    m_error.clear();
    const QString folder = socketFolder(m_serverName);
    if (!IsPrivateFolder(folder, true)) {
        m_error = untrustedFolderText(folder);
        warnOnce(m_error);
        return false;
    }
    // Two copies starting at once must not both decide to be the first: the
    // check and the listen happen under a lock (without it, for want of
    // permission, the check still runs).
    const FolderLock lock(socketPath(m_serverName) + QStringLiteral(".lock"));
    if (copyIsListening())
        return false;
    QLocalServer::removeServer(m_serverName);
    if (!m_server->listen(m_serverName)) {
        m_error = m_server->errorString();
        return false;
    }
    ::chmod(QFile::encodeName(m_server->fullServerName()).constData(), SocketMode);
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
