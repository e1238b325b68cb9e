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

QTEST_GUILESS_MAIN(TestPop3Client)
#include "tst_pop3client.moc"
