#include "common/testhttpserver.h"

#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTest>

using namespace orv;

namespace {

// Sends `parts` one after another (with a pause between them) and returns
// everything the server answers until it closes the connection.
QByteArray exchange(const TestHttpServer& server, const QList<QByteArray>& parts)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, server.port());
    if (!socket.waitForConnected(5000))
        return "no connection";
    // Each part arrives on its own: the next is sent once the server has
    // taken this one (it answers or waits for more).
    for (const QByteArray& part : parts) {
        socket.write(part);
        socket.flush();
        if (!QTest::qWaitFor([&] { return socket.bytesToWrite() == 0; }, 5000))
            return "not sent";
        QCoreApplication::processEvents();
    }
    QByteArray answer;
    const bool closed = QTest::qWaitFor(
        [&] {
            answer += socket.readAll();
            return socket.state() != QAbstractSocket::ConnectedState;
        },
        10000);
    return closed ? answer + socket.readAll() : "no close";
}

} // namespace

class TestTestHttpServer : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void answers_data();
    void answers();
    void headInPieces();
    void delay();
    void oversizedHead();

private:
    TestHttpServer m_server;
};

void TestTestHttpServer::initTestCase()
{
    QVERIFY(m_server.isListening());
    QVERIFY(m_server.port() != 0);
    QCOMPARE(m_server.url(QStringLiteral("/a")).host(), QStringLiteral("127.0.0.1"));
    m_server.serve("/a.html", "text/html", "<p>A</p>");
}

void TestTestHttpServer::answers_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("get") << QByteArray("GET /a.html HTTP/1.1\r\nHost: x\r\n\r\n")
                         << QByteArray("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n"
                                       "Content-Length: 8\r\nCache-Control: no-store\r\n"
                                       "Connection: close\r\n\r\n<p>A</p>");
    QTest::newRow("query") << QByteArray("GET /a.html?x=1 HTTP/1.1\r\n\r\n")
                           << QByteArray("HTTP/1.1 200 OK");
    QTest::newRow("bare line ends")
        << QByteArray("GET /a.html HTTP/1.0\n\n") << QByteArray("HTTP/1.1 200 OK");
    QTest::newRow("head") << QByteArray("HEAD /a.html HTTP/1.1\r\n\r\n")
                          << QByteArray("HTTP/1.1 200 OK");
    QTest::newRow("unknown") << QByteArray("GET /b.html HTTP/1.1\r\n\r\n")
                             << QByteArray("HTTP/1.1 404 Not Found");
    QTest::newRow("post") << QByteArray("POST /a.html HTTP/1.1\r\n\r\n")
                          << QByteArray("HTTP/1.1 405 Method Not Allowed");
    QTest::newRow("garbage") << QByteArray("hello\r\n\r\n")
                             << QByteArray("HTTP/1.1 400 Bad Request");
}

void TestTestHttpServer::answers()
{
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, expected);
    const QByteArray answer = exchange(m_server, {request});
    QVERIFY2(answer.startsWith(expected), answer.constData());
    if (request.startsWith("HEAD"))
        QVERIFY(answer.endsWith("\r\n\r\n"));
}

void TestTestHttpServer::headInPieces()
{
    const qsizetype before = m_server.requestCount("/a.html");
    const QByteArray answer =
        exchange(m_server, {"GE", "T /a.h", "tml HTTP/1.1\r\nHost: x\r", "\n\r", "\n"});
    QVERIFY(answer.startsWith("HTTP/1.1 200 OK"));
    QVERIFY(answer.endsWith("<p>A</p>"));
    QCOMPARE(m_server.requestCount("/a.html"), before + 1);
    QCOMPARE(m_server.requests().constLast(), QByteArray("/a.html"));
}

void TestTestHttpServer::delay()
{
    m_server.serve("/slow.txt", "text/plain", "langsam", 300);
    QElapsedTimer timer;
    timer.start();
    const QByteArray answer = exchange(m_server, {"GET /slow.txt HTTP/1.1\r\n\r\n"});
    QVERIFY(timer.elapsed() >= 300);
    QVERIFY(answer.endsWith("langsam"));
}

void TestTestHttpServer::oversizedHead()
{
    const QByteArray answer =
        exchange(m_server, {"GET /a.html HTTP/1.1\r\nX: " +
                            QByteArray(TestHttpServer::MaxHeadSize + 10, 'x')});
    QVERIFY2(answer.startsWith("HTTP/1.1 431"), answer.left(40).constData());
}

QTEST_GUILESS_MAIN(TestTestHttpServer)

#include "tst_testhttpserver.moc"
