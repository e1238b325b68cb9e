#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSslConfiguration>
#include <QSslError>
#include <QSslSocket>
#include <QString>
#include <QTimer>

#include <chrono>
#include <optional>

namespace orv {

// --- reply parsing (no sockets) ---------------------------------------------------------

// Where a mail server entry points: "host" (port 110), "host:port",
// "pop3s://host[:port]" (TLS from the start, port 995) or "pop3://host[:port]".
// Port 995 means TLS from the start however it is written.
struct Pop3Endpoint {
    QString host;
    quint16 port = 0;
    bool implicitTls = false;
    bool valid() const { return !host.isEmpty() && port != 0; }
};

inline constexpr quint16 kPop3Port = 110;
inline constexpr quint16 kPop3sPort = 995;

Pop3Endpoint ParsePop3Server(const QString& server);

// A reply line is positive when it begins with "+OK" (exact case).
bool IsPositiveReply(QByteArrayView line);
// The message count of a positive LIST status line ("+OK 12 messages"), or
// nothing when the line holds no count.
std::optional<int> ListMessageCount(QByteArrayView line);
// Whether the lines of a CAPA listing name the STLS capability.
bool CapaOffersStls(const QList<QByteArray>& capabilities);

// Cuts a server's byte stream into lines (up to CR LF, or LF alone) as it
// arrives in pieces. It remembers how far it has looked for a line end, so
// a long stream is searched once. A line may be `MaxLineLength` bytes long
// (replies have up to 512; longer ones are tolerated up to the bound); a
// longer one makes the reader overflow and keep nothing more. Taking the
// lines after each piece keeps it at one line and one piece.
class Pop3LineReader {
public:
    static constexpr qsizetype MaxLineLength = 8192;

    void append(QByteArrayView bytes);
    // The next complete line without its line end; nothing while no line is
    // complete or after an overflow.
    std::optional<QByteArray> next();
    // Forgets everything, the overflow included.
    void clear();
    bool overflowed() const { return m_overflowed; }
    // The bytes held that are not yet taken as a line.
    qsizetype pending() const { return m_buffer.size() - m_start; }

private:
    QByteArray m_buffer;
    qsizetype m_start = 0;   // the first byte not yet taken
    qsizetype m_scanned = 0; // bytes from m_start searched without a line end
    bool m_overflowed = false;

    void overflow();
};

// --- one exchange with one mailbox -----------------------------------------------------

struct Pop3Account {
    QString server;
    QString user;
    QString password;
};

enum class Pop3Outcome {
    Checked,  // the message list was read (see messageCount)
    Rejected, // the server answered a command negatively
    Closed,   // the server closed the connection before the list was read
    Failed,   // network or TLS error, or a server that offered TLS and then failed it
    TimedOut, // no end within the time limit
};

// Why an exchange failed (outcome Failed).
enum class Pop3Problem {
    None,
    InvalidEntry,       // the server entry names no host and port
    LineBreak,          // a line break in the user or password
    HostNotFound,       // the host name does not resolve
    Refused,            // nothing listens at the port
    Network,            // another network error
    TlsRefused,         // the server offered STLS and refused it
    TlsFailed,          // the TLS handshake failed without a certificate error
    Certificate,        // the server's certificate was not accepted (see certificateErrors)
    CertificateChanged, // the server shows another certificate than the one trusted for it
    OversizedReply,     // a reply line or capability listing beyond its bound
};

struct Pop3Result {
    Pop3Outcome outcome = Pop3Outcome::Failed;
    int messageCount = 0;
    bool encrypted = false;
    QString error;
    Pop3Problem problem = Pop3Problem::None;
    QList<QSslError::SslError> certificateErrors;
    // The SHA-256 fingerprint of the server's certificate (empty without TLS).
    QByteArray fingerprint;
    // The chain did not verify, but the certificate is the one the user trusts.
    bool trustedByUser = false;
    bool hasMail() const { return outcome == Pop3Outcome::Checked && messageCount > 0; }
};

// Logs into one POP3 mailbox, asks for the message list and says goodbye,
// all driven by socket events. The password goes out only over TLS when the
// server offers it (TLS from the start, or STLS after CAPA); a server that
// offers TLS and then fails it gets no password at all.
class Pop3Client : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds DefaultTimeLimit{15000};
    // CAPA lists a dozen lines or so; a listing beyond this bound is refused.
    static constexpr qsizetype MaxCapabilityLines = 200;
    // The socket holds at most this much unread; the rest waits in the system.
    static constexpr qint64 ReadChunk = 64 * 1024;

    explicit Pop3Client(QObject* parent = nullptr);
    ~Pop3Client() override;

    // Starts an exchange; a running one is abandoned first.
    void start(const Pop3Account& account);
    // Connects as start() does, but only as far as TLS: the exchange ends as
    // Checked once the connection is encrypted or the server offers no TLS,
    // before USER. Tells whether and why the certificate is refused.
    void probe(const QString& server);
    // Ends a running exchange without a result.
    void abort();
    bool isBusy() const { return m_state != State::Idle; }

    void setTimeLimit(std::chrono::milliseconds limit) { m_timeLimit = limit; }
    // TLS settings (for instance trusted certificates) of later exchanges.
    void setSslConfiguration(const QSslConfiguration& config) { m_sslConfig = config; }
    // The file of certificates the user trusts (TrustedCertificates), read at
    // every start; empty: none.
    void setTrustFile(const QString& path) { m_trustFile = path; }

Q_SIGNALS:
    void finished(const orv::Pop3Result& result);

private:
    enum class State {
        Idle,
        Connecting,
        Greeting,
        Capa,
        CapaList,
        Stls,
        Handshake,
        User,
        Pass,
        List,
        Quit
    };

    void onConnected();
    void onEncrypted();
    void onReadyRead();
    void onError(QAbstractSocket::SocketError error);
    void handleLine(const QByteArray& line);
    void sendLine(const QByteArray& line);
    void sendUser();
    void onSslErrors(const QList<QSslError>& errors);
    void finish(Pop3Outcome outcome, const QString& error = {},
                Pop3Problem problem = Pop3Problem::None);

    QSslSocket m_socket;
    QTimer m_limit;
    QSslConfiguration m_sslConfig;
    std::chrono::milliseconds m_timeLimit = DefaultTimeLimit;
    Pop3Account m_account;
    Pop3Endpoint m_endpoint;
    State m_state = State::Idle;
    Pop3LineReader m_reader;
    QList<QByteArray> m_capabilities;
    QList<QSslError::SslError> m_certificateErrors;
    QString m_trustFile;
    QByteArray m_trusted; // the fingerprint trusted for this server
    bool m_certificateChanged = false;
    bool m_probeOnly = false;
    bool m_tlsOffered = false;
    Pop3Result m_result;
};

} // namespace orv

Q_DECLARE_METATYPE(orv::Pop3Result)
