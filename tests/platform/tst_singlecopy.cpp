#include "platform/singlecopy.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using orv::SingleCopy;

namespace {

constexpr int PeerDelivered = 0;
constexpr int PeerNoCopy = 1;
constexpr int PeerNotDelivered = 2;

// One started second copy; finished() is caught from the start.
struct Peer {
    std::unique_ptr<QProcess> process = std::make_unique<QProcess>();
    std::unique_ptr<QSignalSpy> finished;
    QElapsedTimer clock;
};

std::unique_ptr<Peer> startPeer(const QStringList& arguments)
{
    auto peer = std::make_unique<Peer>();
    peer->finished = std::make_unique<QSignalSpy>(peer->process.get(), &QProcess::finished);
    peer->process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    peer->clock.start();
    peer->process->start(QStringLiteral(ORVANE_SINGLECOPY_PEER), arguments);
    return peer;
}

// Waits on the event loop (the first copy answers meanwhile); the exit code,
// or -1 when the peer did not end normally within 5 s.
int finish(Peer& peer, qint64* elapsedMs = nullptr)
{
    if (peer.finished->isEmpty() && !peer.finished->wait(5000))
        return -1;
    if (elapsedMs)
        *elapsedMs = peer.clock.elapsed();
    if (peer.process->exitStatus() != QProcess::NormalExit)
        return -1;
    return peer.process->exitCode();
}

int runPeer(const QStringList& arguments, qint64* elapsedMs = nullptr)
{
    const auto peer = startPeer(arguments);
    return finish(*peer, elapsedMs);
}

QStringList texts(const QSignalSpy& spy)
{
    QStringList result;
    for (const QList<QVariant>& call : spy)
        result.append(call.at(0).toString());
    return result;
}

QByteArray header(quint32 length)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(length, bytes.data());
    return bytes;
}

} // namespace

class TestSingleCopy : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_names = 0;
    // A fresh socket name inside the test's own folder for every case.
    QString freshName() { return m_dir.filePath(QStringLiteral("copy%1").arg(++m_names)); }

private Q_SLOTS:
    void defaultNameHoldsUserAndTitle()
    {
        const QString name = SingleCopy::DefaultServerName();
        QVERIFY(name.endsWith(QStringLiteral("orvane-8.0-%1").arg(::getuid())));
        QVERIFY(!name.contains(u' '));
    }

    void argumentArrives_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::newRow("web address") << QStringLiteral("http://example.org:8080/a?b=c");
        QTest::newRow("path with blanks") << QStringLiteral("/home/u/Meine Seite.html");
        QTest::newRow("umlauts and quotes")
            << QStringLiteral("\"/tmp/Grüße\" und so: weiter \\\\server");
        QTest::newRow("line break") << QStringLiteral("zeile1\nzeile2");
    }
    void argumentArrives()
    {
        QFETCH(QString, argument);
        SingleCopy first(freshName());
        QVERIFY2(first.listen(), qPrintable(first.errorString()));
        QSignalSpy raised(&first, &SingleCopy::raiseRequested);
        QSignalSpy opened(&first, &SingleCopy::openRequested);

        qint64 elapsed = 0;
        QCOMPARE(runPeer({first.serverName(), argument}, &elapsed), PeerDelivered);
        QVERIFY2(elapsed < 1000, qPrintable(QString::number(elapsed)));
        QCOMPARE(raised.count(), 1);
        QCOMPARE(opened.count(), 1);
        QCOMPARE(opened.at(0).at(0).toString(), argument);
    }

    void peersOneAfterAnotherKeepOrder()
    {
        SingleCopy first(freshName());
        QVERIFY(first.listen());
        QSignalSpy opened(&first, &SingleCopy::openRequested);
        const QStringList arguments = {QStringLiteral("eins"), QStringLiteral("zwei"),
                                       QStringLiteral("drei"), QStringLiteral("vier")};
        for (const QString& argument : arguments)
            QCOMPARE(runPeer({first.serverName(), argument}), PeerDelivered);
        QCOMPARE(texts(opened), arguments);
    }

    void manyPeersAtOnceAllArrive()
    {
        SingleCopy first(freshName());
        QVERIFY(first.listen());
        QSignalSpy opened(&first, &SingleCopy::openRequested);
        std::vector<std::unique_ptr<Peer>> peers;
        QStringList sent;
        for (int i = 0; i < 12; ++i) {
            sent.append(QStringLiteral("/tmp/seite%1.html").arg(i));
            peers.push_back(startPeer({first.serverName(), sent.last()}));
        }
        for (auto& peer : peers)
            QCOMPARE(finish(*peer), PeerDelivered);
        QStringList received = texts(opened);
        received.sort();
        sent.sort();
        QCOMPARE(received, sent);
    }

    void withoutArgumentOnlyRaises()
    {
        SingleCopy first(freshName());
        QVERIFY(first.listen());
        QSignalSpy raised(&first, &SingleCopy::raiseRequested);
        QSignalSpy opened(&first, &SingleCopy::openRequested);
        QCOMPARE(runPeer({first.serverName()}), PeerDelivered);
        QCOMPARE(raised.count(), 1);
        QCOMPARE(opened.count(), 0);
    }

    void noFirstCopy()
    {
        qint64 elapsed = 0;
        QCOMPARE(runPeer({freshName(), QStringLiteral("x")}, &elapsed), PeerNoCopy);
        QVERIFY2(elapsed < 1000, qPrintable(QString::number(elapsed)));
    }

    void unresponsiveFirstCopyDoesNotHoldThePeer()
    {
        // A copy that accepts but never answers: the peer gives up in time.
        QLocalServer hung;
        QVERIFY(hung.listen(freshName()));
        qint64 elapsed = 0;
        QCOMPARE(runPeer({hung.fullServerName(), QStringLiteral("a")}, &elapsed), PeerNotDelivered);
        QVERIFY2(elapsed < 2000, qPrintable(QString::number(elapsed)));
    }

    void staleSocketIsTakenOver()
    {
        const QString name = freshName();
        const auto crashed = startPeer({QStringLiteral("--crash"), name});
        QVERIFY(crashed->finished->wait(5000));
        QCOMPARE(crashed->process->exitStatus(), QProcess::CrashExit);
        QVERIFY(crashed->process->readAllStandardOutput().startsWith("listening"));
        QVERIFY2(QFileInfo::exists(name), "the crashed copy left no socket file");

        QCOMPARE(runPeer({name, QStringLiteral("a")}), PeerNoCopy);
        SingleCopy first(name);
        QVERIFY2(first.listen(), qPrintable(first.errorString()));
        QSignalSpy opened(&first, &SingleCopy::openRequested);
        QCOMPARE(runPeer({name, QStringLiteral("b")}), PeerDelivered);
        QCOMPARE(opened.count(), 1);
    }

    void liveSocketIsNotTaken()
    {
        SingleCopy first(freshName());
        QVERIFY(first.listen());
        SingleCopy second(first.serverName());
        QVERIFY(!second.listen());
        QVERIFY(!second.isListening());
        QSignalSpy opened(&first, &SingleCopy::openRequested);
        QCOMPARE(runPeer({first.serverName(), QStringLiteral("noch da")}), PeerDelivered);
        QCOMPARE(opened.count(), 1);
    }

    void socketOnlyForTheUserAndRemovedOnClose()
    {
        SingleCopy first(freshName());
        QVERIFY(first.listen());
        struct stat info = {};
        QCOMPARE(::stat(QFile::encodeName(first.serverName()).constData(), &info), 0);
        QVERIFY(S_ISSOCK(info.st_mode));
        QCOMPARE(info.st_mode & 077, 0u);
        first.close();
        QVERIFY(!QFileInfo::exists(first.serverName()));
    }

    void silentClientDoesNotBlockOthers()
    {
        SingleCopy first(freshName());
        first.setIdleTimeout(300);
        QVERIFY(first.listen());
        QSignalSpy opened(&first, &SingleCopy::openRequested);
        QLocalSocket silent;
        silent.connectToServer(first.serverName());
        QVERIFY(silent.waitForConnected(1000));

        QCOMPARE(runPeer({first.serverName(), QStringLiteral("trotzdem")}), PeerDelivered);
        QCOMPARE(opened.count(), 1);
        // The silent one is dropped after the idle time, without a message.
        QTRY_COMPARE_WITH_TIMEOUT(silent.state(), QLocalSocket::UnconnectedState, 2000);
        QCOMPARE(opened.count(), 1);
    }

    void messageInPieces()
    {
        SingleCopy first(freshName());
        QVERIFY(first.listen());
        QSignalSpy opened(&first, &SingleCopy::openRequested);
        const QByteArray text = QStringLiteral("/tmp/Stück für Stück.html").toUtf8();
        const QByteArray message = header(text.size()) + text;
        QLocalSocket client;
        client.connectToServer(first.serverName());
        QVERIFY(client.waitForConnected(1000));
        // The header split in two, the text split in two: nothing before the end.
        const auto send = [&client](const QByteArray& piece) {
            client.write(piece);
            client.flush();
            QTest::qWait(50);
        };
        send(message.left(2));
        QCOMPARE(opened.count(), 0);
        send(message.mid(2, 5));
        QCOMPARE(opened.count(), 0);
        send(message.mid(7));
        QTRY_COMPARE_WITH_TIMEOUT(opened.count(), 1, 2000);
        QCOMPARE(opened.at(0).at(0).toString(), QString::fromUtf8(text));
        QTRY_VERIFY_WITH_TIMEOUT(client.bytesAvailable() > 0, 2000);
        QCOMPARE(client.read(1), QByteArray("K"));
    }

    void messageSizeLimit_data()
    {
        QTest::addColumn<qsizetype>("length");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("at the limit") << SingleCopy::MaxMessageBytes << true;
        QTest::newRow("one byte over") << SingleCopy::MaxMessageBytes + 1 << false;
        QTest::newRow("huge length") << qsizetype(0xFFFFFFFFu) << false;
    }
    void messageSizeLimit()
    {
        QFETCH(qsizetype, length);
        QFETCH(bool, accepted);
        SingleCopy first(freshName());
        QVERIFY(first.listen());
        QSignalSpy raised(&first, &SingleCopy::raiseRequested);
        QSignalSpy opened(&first, &SingleCopy::openRequested);
        QLocalSocket client;
        client.connectToServer(first.serverName());
        QVERIFY(client.waitForConnected(1000));
        client.write(header(static_cast<quint32>(length)));
        if (accepted)
            client.write(QByteArray(length, 'a'));
        QTRY_VERIFY_WITH_TIMEOUT(client.bytesAvailable() > 0, 2000);
        QCOMPARE(client.read(1), accepted ? QByteArray("K") : QByteArray("E"));
        QTRY_COMPARE_WITH_TIMEOUT(client.state(), QLocalSocket::UnconnectedState, 2000);
        QCOMPARE(raised.count(), accepted ? 1 : 0);
        QCOMPARE(opened.count(), accepted ? 1 : 0);
        if (accepted)
            QCOMPARE(opened.at(0).at(0).toString().size(), length);
    }

    void overlongArgumentOnlyRaises()
    {
        SingleCopy first(freshName());
        QVERIFY(first.listen());
        QSignalSpy raised(&first, &SingleCopy::raiseRequested);
        QSignalSpy opened(&first, &SingleCopy::openRequested);
        const QString argument(SingleCopy::MaxMessageBytes + 10, u'x');
        QCOMPARE(runPeer({first.serverName(), argument}), PeerNotDelivered);
        QCOMPARE(raised.count(), 1);
        QCOMPARE(opened.count(), 0);
    }
};

QTEST_GUILESS_MAIN(TestSingleCopy)
#include "tst_singlecopy.moc"
