#include "common/pop3testserver.h"
#include "common/pop3tls.h"
#include "platform/pop3client.h"

#include <QSignalSpy>
#include <QTest>

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
    void listCount_data();
    void listCount();
    void capaStls_data();
    void capaStls();
    void takeLine();

    void exchange_data();
    void exchange();
    void silentServerTimesOut();
    void refusedConnection();
    void invalidEntryFails();
    void stlsRefusedSendsNoPassword();
    void stlsUpgradesBeforeLogin();
    void untrustedCertificateSendsNoPassword();
    void tlsFromTheStart();

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

void TestPop3Client::takeLine()
{
    QByteArray buffer("+OK 1");
    QVERIFY(!TakeLine(buffer));
    buffer += "2 messages\r\n1 20\n.";
    QCOMPARE(TakeLine(buffer).value_or("?"), QByteArray("+OK 12 messages"));
    QCOMPARE(TakeLine(buffer).value_or("?"), QByteArray("1 20"));
    QVERIFY(!TakeLine(buffer));
    QCOMPARE(buffer, QByteArray("."));
}

void TestPop3Client::exchange_data()
{
    QTest::addColumn<QByteArray>("greeting");
    QTest::addColumn<Replies>("replies");
    QTest::addColumn<QByteArray>("closeOn");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<int>("count");
    QTest::addColumn<Verbs>("verbs");

    const Verbs full{"CAPA", "USER", "PASS", "LIST", "QUIT"};
    const int checked = int(Pop3Outcome::Checked);
    const int rejected = int(Pop3Outcome::Rejected);
    QTest::newRow("no mail") << QByteArray("+OK ready\r\n") << Replies{} << QByteArray() << checked
                             << 0 << full;
    QTest::newRow("twelve messages")
        << QByteArray("+OK ready\r\n")
        << Replies{{"LIST", {"+OK 12 messages\r\n1 100\r\n2 200\r\n.\r\n"}}} << QByteArray()
        << checked << 12 << full;
    QTest::newRow("list in two pieces")
        << QByteArray("+OK ready\r\n") << Replies{{"LIST", {"+OK 1", "2 messages\r\n.\r\n"}}}
        << QByteArray() << checked << 12 << full;
    QTest::newRow("status and listing apart")
        << QByteArray("+OK ready\r\n")
        << Replies{{"LIST", {"+OK 2 messages\r\n", "1 9\r\n2 9\r\n.\r\n"}}} << QByteArray()
        << checked << 2 << full;
    QTest::newRow("greeting refused")
        << QByteArray("-ERR too busy\r\n") << Replies{} << QByteArray() << rejected << 0 << Verbs{};
    QTest::newRow("user refused") << QByteArray("+OK ready\r\n")
                                  << Replies{{"USER", {"-ERR who?\r\n"}}} << QByteArray()
                                  << rejected << 0 << Verbs{"CAPA", "USER"};
    QTest::newRow("password refused")
        << QByteArray("+OK ready\r\n") << Replies{{"PASS", {"-ERR wrong\r\n"}}} << QByteArray()
        << rejected << 0 << Verbs{"CAPA", "USER", "PASS"};
    QTest::newRow("list refused") << QByteArray("+OK ready\r\n")
                                  << Replies{{"LIST", {"-ERR locked\r\n"}}} << QByteArray()
                                  << rejected << 0 << Verbs{"CAPA", "USER", "PASS", "LIST"};
    QTest::newRow("no CAPA, plain login")
        << QByteArray("+OK ready\r\n") << Replies{{"CAPA", {"-ERR unknown\r\n"}}} << QByteArray()
        << checked << 0 << full;
    QTest::newRow("closed after user")
        << QByteArray("+OK ready\r\n") << Replies{} << QByteArray("USER")
        << int(Pop3Outcome::Closed) << 0 << Verbs{"CAPA", "USER"};
    QTest::newRow("closed without answering quit")
        << QByteArray("+OK ready\r\n") << Replies{{"LIST", {"+OK 3 messages\r\n.\r\n"}}}
        << QByteArray("QUIT") << checked << 3 << full;
}

void TestPop3Client::exchange()
{
    QFETCH(QByteArray, greeting);
    QFETCH(Replies, replies);
    QFETCH(QByteArray, closeOn);
    QFETCH(int, outcome);
    QFETCH(int, count);
    QFETCH(Verbs, verbs);

    Pop3TestServer server;
    QVERIFY(server.isListening());
    server.greeting = greeting;
    for (auto it = replies.cbegin(); it != replies.cend(); ++it)
        server.replies.insert(it.key(), it.value());
    server.closeOn = closeOn;

    Pop3Client client;
    const Pop3Result result = runExchange(client, server.address());
    QCOMPARE(int(result.outcome), outcome);
    QCOMPARE(result.messageCount, count);
    QCOMPARE(result.hasMail(), outcome == int(Pop3Outcome::Checked) && count > 0);
    QCOMPARE(server.verbs(), verbs);
    QVERIFY(!result.encrypted);
    QVERIFY(!client.isBusy());
    // The connection is ended either way.
    QTRY_COMPARE(server.disconnections, 1);
}

void TestPop3Client::silentServerTimesOut()
{
    Pop3TestServer server;
    server.greeting.clear();
    Pop3Client client;
    client.setTimeLimit(std::chrono::milliseconds(300));
    const Pop3Result result = runExchange(client, server.address());
    QCOMPARE(int(result.outcome), int(Pop3Outcome::TimedOut));
    QVERIFY(server.received.isEmpty());
    QTRY_COMPARE(server.disconnections, 1);
}

void TestPop3Client::refusedConnection()
{
    quint16 port = 0;
    {
        Pop3TestServer closed;
        port = closed.serverPort();
    }
    Pop3Client client;
    const Pop3Result result = runExchange(client, QStringLiteral("127.0.0.1:%1").arg(port));
    QCOMPARE(int(result.outcome), int(Pop3Outcome::Failed));
    QVERIFY(!result.error.isEmpty());
}

void TestPop3Client::invalidEntryFails()
{
    Pop3Client client;
    const Pop3Result result = runExchange(client, QStringLiteral("127.0.0.1:notaport"));
    QCOMPARE(int(result.outcome), int(Pop3Outcome::Failed));
}

void TestPop3Client::stlsRefusedSendsNoPassword()
{
    Pop3TestServer server;
    server.replies.insert("CAPA", {"+OK\r\nUSER\r\nSTLS\r\n.\r\n"});
    server.replies.insert("STLS", {"-ERR not today\r\n"});
    Pop3Client client;
    const Pop3Result result = runExchange(client, server.address());
    QCOMPARE(int(result.outcome), int(Pop3Outcome::Failed));
    QCOMPARE(server.verbs(), (Verbs{"CAPA", "STLS"}));
}

void TestPop3Client::stlsUpgradesBeforeLogin()
{
    if (m_identity.isNull())
        QSKIP("openssl is not available to make a test certificate");
    if (!QSslSocket::supportsSsl())
        QSKIP("no TLS backend");
    Pop3TestServer server;
    server.certificate = m_identity.certificate;
    server.key = m_identity.key;
    server.replies.insert("CAPA", {"+OK\r\nSTLS\r\nUSER\r\n.\r\n"});
    server.replies.insert("LIST", {"+OK 5 messages\r\n.\r\n"});
    Pop3Client client;
    client.setSslConfiguration(trusting());
    const Pop3Result result = runExchange(client, server.address());
    QCOMPARE(int(result.outcome), int(Pop3Outcome::Checked));
    QCOMPARE(result.messageCount, 5);
    QVERIFY(result.encrypted);
    QCOMPARE(server.verbs(), (Verbs{"CAPA", "STLS", "USER", "PASS", "LIST", "QUIT"}));
    QVERIFY(!server.receivedInClear("USER"));
    QVERIFY(!server.receivedInClear("PASS"));
}

void TestPop3Client::untrustedCertificateSendsNoPassword()
{
    if (m_identity.isNull())
        QSKIP("openssl is not available to make a test certificate");
    if (!QSslSocket::supportsSsl())
        QSKIP("no TLS backend");
    Pop3TestServer server;
    server.certificate = m_identity.certificate;
    server.key = m_identity.key;
    server.replies.insert("CAPA", {"+OK\r\nSTLS\r\n.\r\n"});
    Pop3Client client; // trusts only the system's authorities
    const Pop3Result result = runExchange(client, server.address());
    QCOMPARE(int(result.outcome), int(Pop3Outcome::Failed));
    QVERIFY(!result.encrypted);
    QCOMPARE(server.verbs(), (Verbs{"CAPA", "STLS"}));
}

void TestPop3Client::tlsFromTheStart()
{
    if (m_identity.isNull())
        QSKIP("openssl is not available to make a test certificate");
    if (!QSslSocket::supportsSsl())
        QSKIP("no TLS backend");
    Pop3TestServer server;
    server.certificate = m_identity.certificate;
    server.key = m_identity.key;
    server.implicitTls = true;
    server.replies.insert("LIST", {"+OK 1 messages\r\n.\r\n"});
    Pop3Client client;
    client.setSslConfiguration(trusting());
    const Pop3Result result =
        runExchange(client, QStringLiteral("pop3s://127.0.0.1:%1").arg(server.serverPort()));
    QCOMPARE(int(result.outcome), int(Pop3Outcome::Checked));
    QVERIFY(result.hasMail());
    QVERIFY(result.encrypted);
    // Already encrypted: no capability talk, straight to the login.
    QCOMPARE(server.verbs(), (Verbs{"USER", "PASS", "LIST", "QUIT"}));
    QVERIFY(!server.receivedInClear("PASS"));
}

QTEST_GUILESS_MAIN(TestPop3Client)
#include "tst_pop3client.moc"
