#include "platform/shutdownsignals.h"

#include <QSignalSpy>
#include <QTest>

#include <csignal>
#include <unistd.h>

using orv::ShutdownSignals;

namespace {

// The handler now installed for a signal.
void (*currentHandler(int signalNumber))(int)
{
    struct sigaction action = {};
    ::sigaction(signalNumber, nullptr, &action);
    return action.sa_handler;
}

} // namespace

class TestShutdownSignals : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        previousTerm = currentHandler(SIGTERM);
        previousInt = currentHandler(SIGINT);
    }

    void signalReachesTheEventLoop_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
    }
    void signalReachesTheEventLoop()
    {
        QFETCH(int, signalNumber);
        ShutdownSignals shutdown;
        QVERIFY(shutdown.isActive());
        QSignalSpy requested(&shutdown, &ShutdownSignals::terminationRequested);
        QCOMPARE(::kill(::getpid(), signalNumber), 0);
        // Nothing happens inside the handler: the request comes on the loop.
        QCOMPARE(requested.count(), 0);
        QVERIFY(requested.wait(2000));
        QCOMPARE(requested.count(), 1);
        QCOMPARE(requested.at(0).at(0).toInt(), signalNumber);
    }

    void everyRequestArrives()
    {
        ShutdownSignals shutdown;
        QSignalSpy requested(&shutdown, &ShutdownSignals::terminationRequested);
        ::kill(::getpid(), SIGINT);
        ::kill(::getpid(), SIGTERM);
        QTRY_COMPARE_WITH_TIMEOUT(requested.count(), 2, 2000);
        QCOMPARE(requested.at(0).at(0).toInt(), SIGINT);
        QCOMPARE(requested.at(1).at(0).toInt(), SIGTERM);
    }

    void receiverMayEndTheObject()
    {
        auto* shutdown = new ShutdownSignals;
        QSignalSpy destroyed(shutdown, &QObject::destroyed);
        connect(shutdown, &ShutdownSignals::terminationRequested, shutdown,
                [shutdown] { delete shutdown; });
        ::kill(::getpid(), SIGTERM);
        ::kill(::getpid(), SIGTERM);
        QVERIFY(destroyed.wait(2000));
        QVERIFY(currentHandler(SIGTERM) == previousTerm);
    }

    void previousHandlersComeBack()
    {
        {
            ShutdownSignals shutdown;
            QVERIFY(currentHandler(SIGTERM) != previousTerm);
            QVERIFY(currentHandler(SIGINT) != previousInt);
            QTest::ignoreMessage(QtWarningMsg, "ShutdownSignals: the signals are handled already");
            ShutdownSignals another;
            QVERIFY(!another.isActive());
        }
        QVERIFY(currentHandler(SIGTERM) == previousTerm);
        QVERIFY(currentHandler(SIGINT) == previousInt);
    }

private:
    void (*previousTerm)(int) = nullptr;
    void (*previousInt)(int) = nullptr;
};

QTEST_GUILESS_MAIN(TestShutdownSignals)
#include "tst_shutdownsignals.moc"
