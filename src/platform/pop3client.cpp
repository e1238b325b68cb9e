#include "platform/pop3client.h"

#include "platform/trustedcerts.h"

#include <QUrl>

// One POP3 exchange: greeting, (CAPA, STLS,) USER, PASS, LIST, QUIT.

namespace orv {

namespace {

const QLatin1String kSecureScheme("pop3s://");
const QLatin1String kPlainScheme("pop3://");

// "host", "host:port", "[v6]" or "[v6]:port"; a port that is no number
// from 1 to 65535 makes the endpoint invalid.
void splitHostPort(QString rest, Pop3Endpoint& endpoint)
{
    const qsizetype slash = rest.indexOf(QLatin1Char('/'));
    if (slash >= 0)
        rest.truncate(slash);
    QString portText;
    if (rest.startsWith(QLatin1Char('['))) {
        const qsizetype close = rest.indexOf(QLatin1Char(']'));
        if (close < 0)
            return;
        endpoint.host = rest.mid(1, close - 1);
        const QString after = rest.mid(close + 1);
        if (after.startsWith(QLatin1Char(':')))
            portText = after.mid(1);
        else if (!after.isEmpty())
            endpoint.port = 0;
    } else if (rest.count(QLatin1Char(':')) == 1) {
        const qsizetype colon = rest.indexOf(QLatin1Char(':'));
        endpoint.host = rest.left(colon);
        portText = rest.mid(colon + 1);
    } else {
        // A bare IPv6 address carries no port.
        endpoint.host = rest;
    }
    if (portText.isNull())
        return;
    bool ok = false;
    const uint port = portText.toUInt(&ok);
    endpoint.port = ok && port > 0 && port <= 0xFFFF ? quint16(port) : quint16(0);
}

} // namespace

Pop3Endpoint ParsePop3Server(const QString& server)
{
    Pop3Endpoint endpoint;
    QString rest = server.trimmed();
    if (rest.startsWith(kSecureScheme, Qt::CaseInsensitive)) {
        endpoint.implicitTls = true;
        endpoint.port = kPop3sPort;
        rest = rest.mid(kSecureScheme.size());
    } else if (rest.startsWith(kPlainScheme, Qt::CaseInsensitive)) {
        endpoint.port = kPop3Port;
        rest = rest.mid(kPlainScheme.size());
    } else {
        endpoint.port = kPop3Port;
    }
    splitHostPort(rest, endpoint);
    if (endpoint.port == kPop3sPort)
        endpoint.implicitTls = true;
    return endpoint;
}

bool IsPositiveReply(QByteArrayView line)
{
    return line.startsWith("+OK");
}

std::optional<int> ListMessageCount(QByteArrayView line)
{
    if (!line.startsWith("+OK "))
        return std::nullopt;
    qsizetype end = 4;
    while (end < line.size() && line[end] >= '0' && line[end] <= '9')
        ++end;
    if (end == 4)
        return std::nullopt;
    bool ok = false;
    const int count = line.sliced(4, end - 4).toInt(&ok);
    return ok ? std::optional<int>(count) : std::nullopt;
}

bool CapaOffersStls(const QList<QByteArray>& capabilities)
{
    for (const QByteArray& line : capabilities) {
        if (line.trimmed().split(' ').value(0).compare("STLS", Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

void Pop3LineReader::append(QByteArrayView bytes)
{
    if (m_overflowed)
        return;
    // What was taken goes once it is the larger part of the buffer.
    if (m_start > 0 && m_start >= m_buffer.size() / 2) {
        m_buffer.remove(0, m_start);
        m_start = 0;
    }
    m_buffer.append(bytes);
}

std::optional<QByteArray> Pop3LineReader::next()
{
    if (m_overflowed)
        return std::nullopt;
    const qsizetype lf = m_buffer.indexOf('\n', m_start + m_scanned);
    // A line may end in CR LF: the CR waits for its LF.
    if (lf < 0) {
        m_scanned = pending();
        if (m_scanned > MaxLineLength + 1)
            overflow();
        return std::nullopt;
    }
    qsizetype length = lf - m_start;
    if (length > 0 && m_buffer.at(lf - 1) == '\r')
        --length;
    if (length > MaxLineLength) {
        overflow();
        return std::nullopt;
    }
    QByteArray line = m_buffer.sliced(m_start, length);
    m_start = lf + 1;
    m_scanned = 0;
    if (m_start == m_buffer.size())
        clear();
    return line;
}

void Pop3LineReader::clear()
{
    m_buffer.clear();
    m_start = 0;
    m_scanned = 0;
    m_overflowed = false;
}

void Pop3LineReader::overflow()
{
    clear();
    m_overflowed = true;
}

// --- Pop3Client ------------------------------------------------------------------------

Pop3Client::Pop3Client(QObject* parent)
    : QObject(parent), m_socket(this), m_limit(this),
      m_sslConfig(QSslConfiguration::defaultConfiguration())
{
    qRegisterMetaType<orv::Pop3Result>();
    m_limit.setSingleShot(true);
    connect(&m_limit, &QTimer::timeout, this, [this] {
        if (m_state != State::Idle)
            finish(Pop3Outcome::TimedOut, QStringLiteral("no answer in time"));
    });
    connect(&m_socket, &QSslSocket::connected, this, &Pop3Client::onConnected);
    connect(&m_socket, &QSslSocket::encrypted, this, &Pop3Client::onEncrypted);
    connect(&m_socket, &QSslSocket::readyRead, this, &Pop3Client::onReadyRead);
    connect(&m_socket, &QSslSocket::errorOccurred, this, &Pop3Client::onError);
    connect(&m_socket, &QSslSocket::sslErrors, this, &Pop3Client::onSslErrors);
    m_socket.setReadBufferSize(ReadChunk);
}

Pop3Client::~Pop3Client()
{
    m_state = State::Idle;
    m_socket.abort();
}

void Pop3Client::probe(const QString& server)
{
    start({server, {}, {}});
    m_probeOnly = true;
}

void Pop3Client::start(const Pop3Account& account)
{
    abort();
    m_probeOnly = false;
    m_certificateChanged = false;
    m_trusted.clear();
    m_account = account;
    m_endpoint = ParsePop3Server(account.server);
    m_reader.clear();
    m_capabilities.clear();
    m_certificateErrors.clear();
    m_tlsOffered = false;
    m_result = {};
    m_state = State::Connecting;
    m_limit.start(m_timeLimit);
    // A line break in the user or password would smuggle in commands.
    const auto breaksLine = [](const QString& text) {
        return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
    };
    QString invalid;
    Pop3Problem problem = Pop3Problem::None;
    if (!m_endpoint.valid()) {
        invalid = QStringLiteral("invalid server entry");
        problem = Pop3Problem::InvalidEntry;
    } else if (breaksLine(account.user) || breaksLine(account.password)) {
        invalid = QStringLiteral("line break in the user or password");
        problem = Pop3Problem::LineBreak;
    }
    if (!invalid.isEmpty()) {
        // Reported from the event loop like every other end.
        QTimer::singleShot(0, this, [this, invalid, problem] {
            if (m_state == State::Connecting)
                finish(Pop3Outcome::Failed, invalid, problem);
        });
        return;
    }
    if (!m_trustFile.isEmpty()) {
        TrustedCertificates store;
        // An unreadable store trusts nothing beyond the usual chain.
        if (store.load(m_trustFile).ok)
            m_trusted = store.fingerprint(m_endpoint.host, m_endpoint.port);
    }
    m_socket.setSslConfiguration(m_sslConfig);
    m_socket.setPeerVerifyName(m_endpoint.host);
    if (m_endpoint.implicitTls)
        m_socket.connectToHostEncrypted(m_endpoint.host, m_endpoint.port);
    else
        m_socket.connectToHost(m_endpoint.host, m_endpoint.port);
}

void Pop3Client::abort()
{
    m_state = State::Idle;
    m_limit.stop();
    m_socket.abort();
}

void Pop3Client::onConnected()
{
    // With TLS from the start the greeting comes after the handshake.
    if (m_state == State::Connecting && !m_endpoint.implicitTls)
        m_state = State::Greeting;
}

void Pop3Client::onEncrypted()
{
    m_result.encrypted = true;
    if (m_state == State::Connecting) {
        m_state = State::Greeting;
        onReadyRead();
    } else if (m_state == State::Handshake) {
        sendUser();
    }
}

void Pop3Client::onReadyRead()
{
    if (m_state == State::Idle || m_state == State::Connecting)
        return;
    m_reader.append(m_socket.readAll());
    // A reply may come in pieces or several at once: it is one line.
    while (m_state != State::Idle && m_state != State::Handshake) {
        std::optional<QByteArray> line = m_reader.next();
        if (!line)
            break;
        handleLine(*line);
    }
    if (m_state != State::Idle && m_reader.overflowed())
        finish(Pop3Outcome::Failed, QStringLiteral("reply line too long"),
               Pop3Problem::OversizedReply);
}

void Pop3Client::onError(QAbstractSocket::SocketError error)
{
    if (m_state == State::Idle)
        return;
    if (error == QAbstractSocket::RemoteHostClosedError) {
        // After QUIT the list has been read; before it the server gave up.
        finish(m_state == State::Quit ? Pop3Outcome::Checked : Pop3Outcome::Closed);
        return;
    }
    Pop3Problem problem = Pop3Problem::Network;
    switch (error) {
    case QAbstractSocket::HostNotFoundError:
        problem = Pop3Problem::HostNotFound;
        break;
    case QAbstractSocket::ConnectionRefusedError:
        problem = Pop3Problem::Refused;
        break;
    case QAbstractSocket::SslHandshakeFailedError:
        problem = m_certificateChanged            ? Pop3Problem::CertificateChanged
                  : m_certificateErrors.isEmpty() ? Pop3Problem::TlsFailed
                                                  : Pop3Problem::Certificate;
        break;
    default:
        break;
    }
    finish(Pop3Outcome::Failed, m_socket.errorString(), problem);
}

void Pop3Client::handleLine(const QByteArray& line)
{
    const bool positive = IsPositiveReply(line);
    switch (m_state) {
    case State::Greeting:
        if (!positive)
            finish(Pop3Outcome::Rejected, QString::fromLatin1(line));
        else if (m_socket.isEncrypted())
            sendUser();
        else {
            m_state = State::Capa;
            sendLine("CAPA");
        }
        break;
    case State::Capa:
        // A server without CAPA offers no TLS either.
        if (positive)
            m_state = State::CapaList;
        else
            sendUser();
        break;
    case State::CapaList:
        if (line == ".") {
            m_tlsOffered = CapaOffersStls(m_capabilities);
            if (m_tlsOffered) {
                m_state = State::Stls;
                sendLine("STLS");
            } else {
                sendUser();
            }
        } else if (m_capabilities.size() >= MaxCapabilityLines) {
            finish(Pop3Outcome::Failed, QStringLiteral("capability listing too long"),
                   Pop3Problem::OversizedReply);
        } else {
            m_capabilities.append(line.startsWith('.') ? line.mid(1) : line);
        }
        break;
    case State::Stls:
        if (!positive) {
            finish(Pop3Outcome::Failed, QStringLiteral("the server offered TLS and refused it"),
                   Pop3Problem::TlsRefused);
            break;
        }
        // Nothing the server sent before the handshake counts afterwards.
        m_reader.clear();
        m_state = State::Handshake;
        m_socket.startClientEncryption();
        break;
    case State::User:
        if (!positive)
            finish(Pop3Outcome::Rejected, QString::fromLatin1(line));
        else {
            m_state = State::Pass;
            sendLine("PASS " + m_account.password.toUtf8());
        }
        break;
    case State::Pass:
        if (!positive)
            finish(Pop3Outcome::Rejected, QString::fromLatin1(line));
        else {
            m_state = State::List;
            sendLine("LIST");
        }
        break;
    case State::List:
        if (!positive) {
            finish(Pop3Outcome::Rejected, QString::fromLatin1(line));
            break;
        }
        m_result.messageCount = ListMessageCount(line).value_or(0);
        m_state = State::Quit;
        sendLine("QUIT");
        break;
    case State::Quit:
        // The listing's lines go by; the answer to QUIT ends the exchange.
        if (line.startsWith('+') || line.startsWith('-'))
            finish(Pop3Outcome::Checked);
        break;
    case State::Idle:
    case State::Connecting:
    case State::Handshake:
        break;
    }
}

void Pop3Client::sendLine(const QByteArray& line)
{
    m_socket.write(line + "\r\n");
}

void Pop3Client::onSslErrors(const QList<QSslError>& errors)
{
    const QSslCertificate peer = m_socket.peerCertificate();
    m_result.fingerprint = TrustedCertificates::Fingerprint(peer);
    // The certificate the user trusts for this server passes although its
    // chain does not verify: exactly its own errors are ignored, nothing
    // about another certificate and no revocation.
    QList<QSslError> ignorable;
    if (!m_trusted.isEmpty() && m_result.fingerprint == m_trusted) {
        for (const QSslError& error : errors) {
            const bool own = error.certificate().isNull() || error.certificate() == peer;
            if (own && error.error() != QSslError::CertificateRevoked &&
                error.error() != QSslError::CertificateBlacklisted)
                ignorable.append(error);
        }
    }
    if (!errors.isEmpty() && ignorable.size() == errors.size()) {
        m_socket.ignoreSslErrors(ignorable);
        m_result.trustedByUser = true;
        return;
    }
    m_certificateChanged = !m_trusted.isEmpty() && m_result.fingerprint != m_trusted;
    for (const QSslError& error : errors)
        m_certificateErrors.append(error.error());
}

void Pop3Client::sendUser()
{
    if (m_probeOnly) {
        finish(Pop3Outcome::Checked);
        return;
    }
    m_state = State::User;
    sendLine("USER " + m_account.user.toUtf8());
}

void Pop3Client::finish(Pop3Outcome outcome, const QString& error, Pop3Problem problem)
{
    m_result.outcome = outcome;
    m_result.error = error;
    m_result.problem = problem;
    m_result.certificateErrors = m_certificateErrors;
    m_result.encrypted = m_result.encrypted || m_socket.isEncrypted();
    if (m_result.fingerprint.isEmpty())
        m_result.fingerprint = TrustedCertificates::Fingerprint(m_socket.peerCertificate());
    m_state = State::Idle;
    m_limit.stop();
    m_socket.abort();
    const Pop3Result result = m_result;
    Q_EMIT finished(result);
}

} // namespace orv
