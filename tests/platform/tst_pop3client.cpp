#include "common/pop3testserver.h"
#include "common/pop3tls.h"
#include "platform/pop3client.h"
#include "platform/trustedcerts.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace orv;

namespace {

using Replies = QHash<QByteArray, QList<QByteArray>>;
using Verbs = QList<QByteArray>;

constexpr int kWaitMs = 10000;

// Runs one exchange against `server` and returns its result.
Pop3Result runExchange(Pop3Client& client, const QString& serverEntry)
{
    QSignalSpy spy(&client, &Pop3Client::finished);
    client.start({serverEntry, QStringLiteral("anna"), QStringLiteral("geheim")});
    if (!spy.wait(kWaitMs) && spy.isEmpty())
        return {};
    return spy.first().first().value<Pop3Result>();
}

} // namespace

class TestPop3Client : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { m_identity = MakeTestTlsIdentity(); }

    void parseServer_data();
    void parseServer();
    void helpPageEntriesParse();
    void listCount_data();
    void listCount();
    void capaStls_data();
    void capaStls();
    void lineReader_data();
    void lineReader();

    void exchange_data();
    void exchange();
    void lineBreakNeverSent_data();
    void lineBreakNeverSent();
    void oversizedReplies_data();
    void oversizedReplies();
    void clearBytesBehindStlsDropped();
    void trustedCertificate_data();
    void trustedCertificate();
    void realServer_data();
    void realServer();

private:
    QSslConfiguration trusting() const
    {
        QSslConfiguration config = QSslConfiguration::defaultConfiguration();
        config.setCaCertificates({m_identity.certificate});
        return config;
    }
    TestTlsIdentity m_identity;
};

void TestPop3Client::parseServer_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<bool>("tls");
    QTest::newRow("bare host") << "pop.example.org"
                               << "pop.example.org" << 110 << false;
    QTest::newRow("blanks around") << "  pop.example.org "
                                   << "pop.example.org" << 110 << false;
    QTest::newRow("own port") << "pop.example.org:2110"
                              << "pop.example.org" << 2110 << false;
    QTest::newRow("port 995 is TLS") << "pop.example.org:995"
                                     << "pop.example.org" << 995 << true;
    QTest::newRow("pop3s scheme") << "pop3s://pop.example.org"
                                  << "pop.example.org" << 995 << true;
    QTest::newRow("pop3s own port") << "POP3S://pop.example.org:1995/"
                                    << "pop.example.org" << 1995 << true;
    QTest::newRow("pop3 scheme") << "pop3://pop.example.org"
                                 << "pop.example.org" << 110 << false;
    QTest::newRow("bare IPv6") << "::1"
                               << "::1" << 110 << false;
    QTest::newRow("IPv6 with port") << "[::1]:995"
                                    << "::1" << 995 << true;
    QTest::newRow("port no number") << "pop.example.org:pop"
                                    << "pop.example.org" << 0 << false;
    QTest::newRow("port too large") << "pop.example.org:70000"
                                    << "pop.example.org" << 0 << false;
    QTest::newRow("empty") << ""
                           << "" << 110 << false;
}

void TestPop3Client::parseServer()
{
    QFETCH(QString, entry);
    QFETCH(QString, host);
    QFETCH(int, port);
    QFETCH(bool, tls);
    const Pop3Endpoint endpoint = ParsePop3Server(entry);
    QCOMPARE(endpoint.host, host);
    QCOMPARE(int(endpoint.port), port);
    QCOMPARE(endpoint.implicitTls, tls);
    QCOMPARE(endpoint.valid(), !host.isEmpty() && port != 0);
}

// The server entries the help page shows are ones the check takes, with
// TLS from the start where the page says so.
void TestPop3Client::helpPageEntriesParse()
{
    QFile page(QStringLiteral(ORVANE_SOURCE_RESOURCES "/help/index.html"));
    QVERIFY(page.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(page.readAll());
    const qsizetype from = html.indexOf(QStringLiteral("<dt>Server</dt>"));
    QVERIFY(from >= 0);
    const QString entries = html.mid(from, html.indexOf(QStringLiteral("</dd>"), from) - from);
    static const QRegularExpression code(QStringLiteral("<code>([^<]*)</code>"));
    int count = 0;
    for (const QRegularExpressionMatch& match : code.globalMatch(entries)) {
        const QString entry = match.captured(1);
        const Pop3Endpoint endpoint = ParsePop3Server(entry);
        QVERIFY2(endpoint.valid(), qPrintable(entry));
        QCOMPARE(endpoint.implicitTls, entry.startsWith(QLatin1String("pop3s://")) ||
                                           entry.endsWith(QLatin1String(":995")));
        ++count;
    }
    QVERIFY(count > 0);
}

void TestPop3Client::listCount_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("count"); // -1: no count
    QTest::newRow("none") << QByteArray("+OK 0 messages") << 0;
    QTest::newRow("twelve") << QByteArray("+OK 12 messages (4711 octets)") << 12;
    QTest::newRow("count only") << QByteArray("+OK 3") << 3;
    QTest::newRow("count with colon") << QByteArray("+OK 7 messages:") << 7;
    QTest::newRow("negative") << QByteArray("-ERR 5 nope") << -1;
    QTest::newRow("no count") << QByteArray("+OK scan listing follows") << -1;
    QTest::newRow("lower case") << QByteArray("+ok 4") << -1;
}

void TestPop3Client::listCount()
{
    QFETCH(QByteArray, line);
    QFETCH(int, count);
    QCOMPARE(ListMessageCount(line).value_or(-1), count);
}

void TestPop3Client::capaStls_data()
{
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::addColumn<bool>("offered");
    QTest::newRow("with STLS") << QList<QByteArray>{"TOP", "STLS", "USER"} << true;
    QTest::newRow("lower case") << QList<QByteArray>{"stls"} << true;
    QTest::newRow("without") << QList<QByteArray>{"TOP", "USER", "SASL PLAIN"} << false;
    QTest::newRow("only a SASL word") << QList<QByteArray>{"SASL STLS"} << false;
    QTest::newRow("empty") << QList<QByteArray>{} << false;
}

void TestPop3Client::capaStls()
{
    QFETCH(QList<QByteArray>, lines);
    QFETCH(bool, offered);
    QCOMPARE(CapaOffersStls(lines), offered);
}

void TestPop3Client::lineReader_data()
{
    QTest::addColumn<QList<QByteArray>>("pieces");
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::addColumn<bool>("overflow");
    const qsizetype max = Pop3LineReader::MaxLineLength;
    const QByteArray longest(max, 'x');
    QTest::newRow("pieces and line ends")
        << QList<QByteArray>{"+OK 1", "2 messages\r", "\n1 20\n", "."}
        << QList<QByteArray>{"+OK 12 messages", "1 20"} << false;
    QTest::newRow("empty lines") << QList<QByteArray>{"\r\n\n"} << QList<QByteArray>{"", ""}
                                 << false;
    QTest::newRow("longest line, CR waiting")
        << QList<QByteArray>{longest + '\r', "\n"} << QList<QByteArray>{longest} << false;
    QTest::newRow("one byte more")
        << QList<QByteArray>{longest + "x\r\nnext\r\n"} << QList<QByteArray>{} << true;
    QTest::newRow("no line end in many pieces")
        << QList<QByteArray>(4, QByteArray(max / 3, 'y')) << QList<QByteArray>{} << true;
    QTest::newRow("lines before an endless one")
        << QList<QByteArray>{"+OK\r\n" + QByteArray(max + 2, 'z'), "\r\n+OK\r\n"}
        << QList<QByteArray>{"+OK"} << true;
}

void TestPop3Client::lineReader()
{
    QFETCH(QList<QByteArray>, pieces);
    QFETCH(QList<QByteArray>, lines);
    QFETCH(bool, overflow);
    Pop3LineReader reader;
    QList<QByteArray> taken;
    for (const QByteArray& piece : pieces) {
        reader.append(piece);
        while (const std::optional<QByteArray> line = reader.next())
            taken << *line;
        QVERIFY(reader.pending() <= Pop3LineReader::MaxLineLength + 1);
    }
    QCOMPARE(taken, lines);
    QCOMPARE(reader.overflowed(), overflow);
    reader.clear();
    reader.append("+OK\n");
    QCOMPARE(reader.next().value_or("?"), QByteArray("+OK"));
}

namespace {

enum class Tls { None, Stls, FromStart };
enum class Reach { Normal, Silent, Refused, Invalid };

// How the scripted server behaves for one exchange.
struct Script {
    Script(Replies r = {}, QByteArray g = "+OK ready\r\n", QByteArray close = {}, Tls t = Tls::None,
           bool trust = true, Reach how = Reach::Normal)
        : replies(std::move(r)), greeting(std::move(g)), closeOn(std::move(close)), tls(t),
          trusted(trust), reach(how)
    {
    }
    Replies replies;
    QByteArray greeting;
    QByteArray closeOn;
    Tls tls;
    bool trusted;
    Reach reach;
};

} // namespace

Q_DECLARE_METATYPE(Script)

void TestPop3Client::exchange_data()
{
    QTest::addColumn<Script>("script");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<int>("count");
    QTest::addColumn<Verbs>("verbs");
    QTest::addColumn<bool>("encrypted");

    const Verbs full{"CAPA", "USER", "PASS", "LIST", "QUIT"};
    const int checked = int(Pop3Outcome::Checked);
    const int rejected = int(Pop3Outcome::Rejected);
    const int failed = int(Pop3Outcome::Failed);
    const QList<QByteArray> capaStls{"+OK\r\nSTLS\r\nUSER\r\n.\r\n"};
    QTest::newRow("no mail") << Script{} << checked << 0 << full << false;
    QTest::newRow("twelve messages")
        << Script{{{"LIST", {"+OK 12 messages\r\n1 100\r\n2 200\r\n.\r\n"}}}} << checked << 12
        << full << false;
    QTest::newRow("list in two pieces")
        << Script{{{"LIST", {"+OK 1", "2 messages\r\n.\r\n"}}}} << checked << 12 << full << false;
    QTest::newRow("status and listing apart")
        << Script{{{"LIST", {"+OK 2 messages\r\n", "1 9\r\n2 9\r\n.\r\n"}}}} << checked << 2 << full
        << false;
    QTest::newRow("greeting refused")
        << Script{{}, "-ERR too busy\r\n"} << rejected << 0 << Verbs{} << false;
    QTest::newRow("user refused") << Script{{{"USER", {"-ERR who?\r\n"}}}} << rejected << 0
                                  << Verbs{"CAPA", "USER"} << false;
    QTest::newRow("password refused") << Script{{{"PASS", {"-ERR wrong\r\n"}}}} << rejected << 0
                                      << Verbs{"CAPA", "USER", "PASS"} << false;
    QTest::newRow("list refused") << Script{{{"LIST", {"-ERR locked\r\n"}}}} << rejected << 0
                                  << Verbs{"CAPA", "USER", "PASS", "LIST"} << false;
    QTest::newRow("no CAPA, plain login")
        << Script{{{"CAPA", {"-ERR unknown\r\n"}}}} << checked << 0 << full << false;
    QTest::newRow("closed after user") << Script{{}, "+OK\r\n", "USER"} << int(Pop3Outcome::Closed)
                                       << 0 << Verbs{"CAPA", "USER"} << false;
    QTest::newRow("closed without answering quit")
        << Script{{{"LIST", {"+OK 3 messages\r\n.\r\n"}}}, "+OK\r\n", "QUIT"} << checked << 3
        << full << false;
    QTest::newRow("silent server")
        << Script{{}, {}} << int(Pop3Outcome::TimedOut) << 0 << Verbs{} << false;
    QTest::newRow("refused connection")
        << Script({}, {}, {}, Tls::None, true, Reach::Refused) << failed << 0 << Verbs{} << false;
    QTest::newRow("invalid entry")
        << Script({}, {}, {}, Tls::None, true, Reach::Invalid) << failed << 0 << Verbs{} << false;
    // TLS offered: the password never goes out in clear.
    QTest::newRow("STLS refused") << Script{{{"CAPA", capaStls}, {"STLS", {"-ERR not today\r\n"}}}}
                                  << failed << 0 << Verbs{"CAPA", "STLS"} << false;
    QTest::newRow("STLS upgrade") << Script{{{"CAPA", capaStls},
                                             {"LIST", {"+OK 5 messages\r\n.\r\n"}}},
                                            "+OK\r\n",
                                            {},
                                            Tls::Stls}
                                  << checked << 5
                                  << Verbs{"CAPA", "STLS", "USER", "PASS", "LIST", "QUIT"} << true;
    QTest::newRow("STLS, certificate not trusted")
        << Script{{{"CAPA", capaStls}}, "+OK\r\n", {}, Tls::Stls, false} << failed << 0
        << Verbs{"CAPA", "STLS"} << false;
    QTest::newRow("TLS from the start")
        << Script{{{"LIST", {"+OK 1 messages\r\n.\r\n"}}}, "+OK\r\n", {}, Tls::FromStart} << checked
        << 1 << Verbs{"USER", "PASS", "LIST", "QUIT"} << true;
}

void TestPop3Client::exchange()
{
    QFETCH(Script, script);
    QFETCH(int, outcome);
    QFETCH(int, count);
    QFETCH(Verbs, verbs);
    QFETCH(bool, encrypted);
    if (script.tls != Tls::None && (m_identity.isNull() || !QSslSocket::supportsSsl()))
        QSKIP("openssl or the TLS backend is not available for a test certificate");

    Pop3TestServer server;
    QVERIFY(server.isListening());
    server.greeting = script.greeting;
    for (auto it = script.replies.cbegin(); it != script.replies.cend(); ++it)
        server.replies.insert(it.key(), it.value());
    server.closeOn = script.closeOn;
    if (script.tls != Tls::None) {
        server.certificate = m_identity.certificate;
        server.key = m_identity.key;
        server.implicitTls = script.tls == Tls::FromStart;
    }
    QString entry = server.address();
    if (script.tls == Tls::FromStart)
        entry = QStringLiteral("pop3s://") + entry;
    if (script.reach == Reach::Invalid)
        entry = QStringLiteral("127.0.0.1:notaport");
    if (script.reach == Reach::Refused)
        server.close();

    Pop3Client client;
    client.setTimeLimit(std::chrono::milliseconds(2000));
    if (script.trusted)
        client.setSslConfiguration(trusting());
    const Pop3Result result = runExchange(client, entry);
    QCOMPARE(int(result.outcome), outcome);
    QCOMPARE(result.messageCount, count);
    QCOMPARE(result.hasMail(), outcome == int(Pop3Outcome::Checked) && count > 0);
    QCOMPARE(server.verbs(), verbs);
    QCOMPARE(result.encrypted, encrypted);
    QVERIFY(!server.receivedInClear("PASS") || script.tls == Tls::None);
    QVERIFY(!client.isBusy());
    // The connection is ended either way.
    QTRY_COMPARE(server.disconnections, server.connections);
}

void TestPop3Client::trustedCertificate_data()
{
    QTest::addColumn<QString>("trust"); // "server", "other" certificate, "other port"
    QTest::addColumn<bool>("probe");
    QTest::addColumn<int>("problem");
    QTest::addColumn<Verbs>("verbs");
    const Verbs all{"CAPA", "STLS", "USER", "PASS", "LIST", "QUIT"};
    const int none = int(Pop3Problem::None);
    QTest::newRow("trusted") << "server" << false << none << all;
    QTest::newRow("probe ends before USER") << "server" << true << none << Verbs{"CAPA", "STLS"};
    QTest::newRow("certificate changed")
        << "other" << false << int(Pop3Problem::CertificateChanged) << Verbs{"CAPA", "STLS"};
    QTest::newRow("trusted for another port")
        << "other port" << false << int(Pop3Problem::Certificate) << Verbs{"CAPA", "STLS"};
}

// A self-signed certificate passes where the store names it for this server.
void TestPop3Client::trustedCertificate()
{
    QFETCH(QString, trust);
    QFETCH(bool, probe);
    QFETCH(int, problem);
    QFETCH(Verbs, verbs);
    if (m_identity.isNull() || !QSslSocket::supportsSsl())
        QSKIP("openssl or the TLS backend is not available for a test certificate");
    Pop3TestServer server;
    server.certificate = m_identity.certificate;
    server.key = m_identity.key;
    server.replies.insert("CAPA", {"+OK\r\nSTLS\r\n.\r\n"});
    const QByteArray own = TrustedCertificates::Fingerprint(m_identity.certificate);
    TrustedCertificates store;
    store.trust(QStringLiteral("127.0.0.1"),
                server.serverPort() + quint16(trust == QLatin1String("other port") ? 1 : 0),
                trust == QLatin1String("other") ? QByteArray(own.size(), 'x') : own);
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("TrustedCerts.txt"));
    QVERIFY(store.save(file).ok);

    Pop3Client client;
    client.setTrustFile(file);
    QSignalSpy spy(&client, &Pop3Client::finished);
    if (probe)
        client.probe(server.address());
    else
        client.start({server.address(), QStringLiteral("anna"), QStringLiteral("geheim")});
    QTRY_COMPARE_WITH_TIMEOUT(spy.size(), 1, kWaitMs);
    const auto result = spy.first().first().value<Pop3Result>();
    QCOMPARE(int(result.problem), problem);
    QCOMPARE(result.outcome == Pop3Outcome::Checked, problem == int(Pop3Problem::None));
    QCOMPARE(result.trustedByUser, problem == int(Pop3Problem::None));
    QCOMPARE(result.fingerprint, own);
    QCOMPARE(server.verbs(), verbs);
}

void TestPop3Client::lineBreakNeverSent_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::newRow("in the password") << "anna"
                                     << "x\r\nDELE 1";
    QTest::newRow("in the user") << "anna\nDELE 1"
                                 << "geheim";
}

void TestPop3Client::lineBreakNeverSent()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    Pop3TestServer server;
    Pop3Client client;
    QSignalSpy spy(&client, &Pop3Client::finished);
    client.start({server.address(), user, password});
    QVERIFY(spy.wait(kWaitMs));
    QCOMPARE(int(spy.first().first().value<Pop3Result>().outcome), int(Pop3Outcome::Failed));
    QVERIFY(!server.verbs().contains("DELE"));
    QCOMPARE(server.connections, 0);
}

void TestPop3Client::oversizedReplies_data()
{
    QTest::addColumn<QByteArray>("greeting");
    QTest::addColumn<QByteArray>("capa");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<Verbs>("verbs");
    const QByteArray line(200, 'C');
    const QByteArray manyLines = "+OK\r\n" + (line + "\r\n").repeated(1000) + ".\r\n";
    const int failed = int(Pop3Outcome::Failed);
    QTest::newRow("greeting without line end")
        << QByteArray(4 << 20, 'x') << QByteArray() << failed << Verbs{};
    QTest::newRow("capability lines without number")
        << QByteArray("+OK\r\n") << manyLines << failed << Verbs{"CAPA"};
    // Longer than a reply may be, yet within the bound.
    QTest::newRow("long greeting") << "+OK " + QByteArray(2000, 'g') + "\r\n"
                                   << QByteArray() << int(Pop3Outcome::Checked)
                                   << Verbs{"CAPA", "USER", "PASS", "LIST", "QUIT"};
}

void TestPop3Client::oversizedReplies()
{
    QFETCH(QByteArray, greeting);
    QFETCH(QByteArray, capa);
    QFETCH(int, outcome);
    QFETCH(Verbs, verbs);
    Pop3TestServer server;
    server.greeting = greeting;
    if (!capa.isEmpty())
        server.replies.insert("CAPA", {capa});
    Pop3Client client;
    // Long enough for a loaded machine: an unbounded wait ends only here.
    client.setTimeLimit(std::chrono::milliseconds(kWaitMs - 1000));
    const Pop3Result result = runExchange(client, server.address());
    QCOMPARE(int(result.outcome), outcome);
    QCOMPARE(result.problem,
             outcome == int(Pop3Outcome::Failed) ? Pop3Problem::OversizedReply : Pop3Problem::None);
    QCOMPARE(server.verbs(), verbs);
}

void TestPop3Client::clearBytesBehindStlsDropped()
{
    if (m_identity.isNull() || !QSslSocket::supportsSsl())
        QSKIP("openssl or the TLS backend is not available for a test certificate");
    Pop3TestServer server;
    server.certificate = m_identity.certificate;
    server.key = m_identity.key;
    server.replies.insert("CAPA", {"+OK\r\nSTLS\r\n.\r\n"});
    server.replies.insert("LIST", {"+OK 5 messages\r\n.\r\n"});
    // Taken as the answers over TLS, these would report 99 messages.
    server.afterStls = "+OK\r\n+OK\r\n+OK 99 messages\r\n.\r\n+OK\r\n";
    Pop3Client client;
    client.setSslConfiguration(trusting());
    const Pop3Result result = runExchange(client, server.address());
    QCOMPARE(int(result.outcome), int(Pop3Outcome::Checked));
    QCOMPARE(result.messageCount, 5);
    QVERIFY(result.encrypted);
    QCOMPARE(server.verbs(), (Verbs{"CAPA", "STLS", "USER", "PASS", "LIST", "QUIT"}));
}

namespace {

// A free port on 127.0.0.1 (free a moment ago).
quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

bool writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// A real POP3 server (dovecot) on loopback with a temporary configuration,
// a passwd file with one user and a mailbox of two messages. Plain logins
// are allowed only over TLS when `tlsOnly` is set.
class RealServer {
public:
    ~RealServer()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            m_process.waitForFinished(kStopMs);
        }
    }

    // Empty when started, otherwise why not.
    QString start(const TestTlsIdentity& identity, bool tlsOnly)
    {
        const QString dovecot = QStandardPaths::findExecutable(
            QStringLiteral("dovecot"), {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")});
        if (dovecot.isEmpty())
            return QStringLiteral("dovecot is not installed");
        if (::geteuid() != 0)
            return QStringLiteral(
                "dovecot runs its mail processes under another user only as root");
        const QString root = m_dir.path();
        QFile::setPermissions(root, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                        QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                        QFile::ExeOther);
        const QString box = root + QStringLiteral("/mail/anna");
        for (const char* sub : {"cur", "new", "tmp", "../../run", "../../state"})
            QDir().mkpath(box + QLatin1Char('/') + QLatin1String(sub));
        const QByteArray message = "From: a@example.org\r\nSubject: x\r\n\r\nhello\r\n";
        if (!writeFile(box + QStringLiteral("/new/1.test"), message) ||
            !writeFile(box + QStringLiteral("/new/2.test"), message) ||
            !writeFile(root + QStringLiteral("/users"), "anna:{PLAIN}geheim\n") ||
            !writeFile(root + QStringLiteral("/cert.pem"), identity.certificate.toPem()) ||
            !writeFile(root + QStringLiteral("/key.pem"), identity.key.toPem()))
            return QStringLiteral("cannot write the server's files");
        // The mail processes run as nobody.
        QProcess::execute(QStringLiteral("chown"),
                          {QStringLiteral("-R"), QStringLiteral("nobody:nogroup"),
                           root + QStringLiteral("/mail")});
        plainPort = freePort();
        tlsPort = freePort();
        const QString config =
            QStringLiteral(R"(base_dir = %1/run
state_dir = %1/state
log_path = %1/dovecot.log
protocols = pop3
listen = 127.0.0.1
ssl = %2
ssl_cert = <%1/cert.pem
ssl_key = <%1/key.pem
disable_plaintext_auth = %3
first_valid_uid = 1
mail_location = maildir:%1/mail/%u
passdb {
  driver = passwd-file
  args = scheme=PLAIN username_format=%u %1/users
}
userdb {
  driver = static
  args = uid=nobody gid=nogroup home=%1/mail/%u
}
service pop3-login {
  inet_listener pop3 {
    address = 127.0.0.1
    port = %4
  }
  inet_listener pop3s {
    address = 127.0.0.1
    port = %5
    ssl = yes
  }
}
)")
                .arg(root, QLatin1String("yes"), QLatin1String(tlsOnly ? "yes" : "no"))
                .arg(plainPort)
                .arg(tlsPort);
        if (!writeFile(root + QStringLiteral("/dovecot.conf"), config.toUtf8()))
            return QStringLiteral("cannot write the configuration");
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(dovecot, {QStringLiteral("-F"), QStringLiteral("-c"),
                                  root + QStringLiteral("/dovecot.conf")});
        if (!m_process.waitForStarted(kStopMs))
            return QStringLiteral("dovecot did not start");
        return {};
    }

    QString log() const
    {
        QFile file(m_dir.filePath(QStringLiteral("dovecot.log")));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    quint16 plainPort = 0;
    quint16 tlsPort = 0;

private:
    static constexpr int kStopMs = 10000;
    QTemporaryDir m_dir;
    QProcess m_process;
};

} // namespace

void TestPop3Client::realServer_data()
{
    QTest::addColumn<bool>("tlsOnly");
    QTest::addColumn<bool>("fromStart");
    QTest::newRow("plain login allowed, STLS offered") << false << false;
    QTest::newRow("login only over TLS, STLS") << true << false;
    QTest::newRow("TLS from the start") << true << true;
}

void TestPop3Client::realServer()
{
    QFETCH(bool, tlsOnly);
    QFETCH(bool, fromStart);
    if (m_identity.isNull() || !QSslSocket::supportsSsl())
        QSKIP("openssl or the TLS backend is not available for a test certificate");
    RealServer server;
    const QString why = server.start(m_identity, tlsOnly);
    if (!why.isEmpty())
        QSKIP(qPrintable(why));
    const QString entry = fromStart ? QStringLiteral("pop3s://127.0.0.1:%1").arg(server.tlsPort)
                                    : QStringLiteral("127.0.0.1:%1").arg(server.plainPort);
    Pop3Client client;
    client.setSslConfiguration(trusting());
    // The server needs a moment before it listens: until then the
    // connection is refused.
    Pop3Result result;
    QTRY_VERIFY2_WITH_TIMEOUT((result = runExchange(client, entry)).outcome != Pop3Outcome::Failed,
                              qPrintable(result.error + QLatin1Char('\n') + server.log()), 20000);
    QCOMPARE(int(result.outcome), int(Pop3Outcome::Checked));
    QCOMPARE(result.messageCount, 2);
    QVERIFY(result.encrypted);
}

QTEST_GUILESS_MAIN(TestPop3Client)
#include "tst_pop3client.moc"
