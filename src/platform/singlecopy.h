#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

namespace orv {

// Only one copy of the program runs per user. The first copy listens on a
// local socket whose name is made from the user id and the application title;
// the socket file lies in a folder of that user alone (mode 0700, owned by
// the user, a real folder and no symbolic link): a folder that fails this
// check is never used, neither to listen nor to connect. A second copy
// connects, checks that the listening process runs as the same user
// (SO_PEERCRED) before it sends anything, hands over its start argument and
// ends.
//
// Messages: a 4-byte big-endian length, then that many bytes of UTF-8 text
// (at most MaxMessageBytes); one message per connection. The first copy
// answers a complete message with the byte 'K' and a refused one with 'E'.
// An empty text asks the first copy only to come to the front.
//
// Start-up of the program:
//     if (SingleCopy::handOver(argument))   // a copy runs: it has the argument
//         return 0;
//     SingleCopy single;
//     if (!single.listen() && SingleCopy::handOver(argument))
//         return 0;                         // a copy came up at the same time
// When the folder or the listener is not the user's, both calls say so on
// stderr and return false: the program then starts on its own.
class SingleCopy : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype MaxMessageBytes = 64 * 1024;
    static constexpr int DefaultIdleTimeoutMs = 3000;

    enum class HandOverResult {
        Delivered,    // the running copy confirmed the argument
        NoCopy,       // no copy listens (also a socket file left by a crashed copy)
        NotDelivered, // a copy is there but did not confirm (busy, refused, too long)
        Untrusted,    // the folder or the listening process is not this user's: nothing sent
    };

    // The name the first copy listens on: "<title>-<uid>" (for example
    // "orvane-8.0-1000") inside the folder "orvane" of the user's runtime
    // folder when the session has one, else inside "orvane-<uid>" in the
    // temporary folder.
    static QString DefaultServerName();

    // The user id of this process: the one the listening copy must have.
    static uint CurrentUid();

    // Whether `folder` may hold the socket: a real folder (no symbolic link)
    // owned by this user that nobody else may read, write or enter. With
    // `create` a missing folder is made (mode 0700) first; its parent must
    // exist.
    static bool IsPrivateFolder(const QString& folder, bool create);

    // The argument as a second copy hands it over: a relative path that
    // exists under workingFolder becomes absolute (the running copy has
    // another working folder); anything else stays as it is.
    static QString AbsoluteArgument(const QString& argument, const QString& workingFolder);

    // The second copy's side: hands the argument to the copy listening on
    // serverName and waits at most timeoutMs in all for its confirmation.
    // An argument longer than MaxMessageBytes in UTF-8 is not sent; the
    // running copy is then only asked to come to the front (NotDelivered).
    // The argument goes through AbsoluteArgument with this process's working
    // folder. Nothing is sent unless the listener runs as expectedUid.
    static HandOverResult tryHandOver(const QString& argument, int timeoutMs,
                                      const QString& serverName, uint expectedUid = CurrentUid());
    // true when another copy of this user runs (whether or not it confirmed
    // in time): this copy must end. false when no copy listens, or when the
    // socket is not to be trusted.
    static bool handOver(const QString& argument, int timeoutMs = 1000,
                         const QString& serverName = DefaultServerName());

    explicit SingleCopy(QObject* parent = nullptr);
    explicit SingleCopy(const QString& serverName, QObject* parent = nullptr);
    ~SingleCopy() override;

    // The first copy's side: starts listening. A socket file left by a crashed
    // copy is replaced; a live copy's socket is never taken (false), and
    // neither is one in a folder that is not private or one whose listener
    // is not expectedUid.
    bool listen();
    bool isListening() const;
    // Stops listening and removes the socket file (the destructor does too).
    void close();

    const QString& serverName() const { return m_serverName; }
    QString errorString() const { return m_error; }

    // A connection that has not completed its message after this time is
    // dropped, so that a silent client holds nothing up.
    int idleTimeout() const { return m_idleTimeoutMs; }
    void setIdleTimeout(int ms) { m_idleTimeoutMs = ms; }

    // The user a copy already listening on the name must run as.
    uint expectedUid() const { return m_expectedUid; }
    void setExpectedUid(uint uid) { m_expectedUid = uid; }

Q_SIGNALS:
    // For every message, in arrival order: first raiseRequested() (restore and
    // raise the main window), then, when the message holds a text,
    // openRequested() with it.
    void raiseRequested();
    void openRequested(const QString& argument);

private:
    void acceptConnections();
    void readMessage(QLocalSocket* socket);
    bool copyIsListening();

    QString m_serverName;
    QString m_error;
    QLocalServer* m_server = nullptr;
    int m_idleTimeoutMs = DefaultIdleTimeoutMs;
    uint m_expectedUid = CurrentUid();
};

} // namespace orv
