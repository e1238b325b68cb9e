#include "platform/singlecopy.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
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
constexpr int PeerUntrusted = 5;

// One started second copy; finished() is caught from the start.
struct Peer {
    std::unique_ptr<QProcess> process = std::make_unique<QProcess>();
    std::unique_ptr<QSignalSpy> finished;
    QElapsedTimer clock;
};

std::unique_ptr<Peer> startPeer(const QStringList& arguments,
                                const QString& workingFolder = QString())
{
    auto peer = std::make_unique<Peer>();
    peer->finished = std::make_unique<QSignalSpy>(peer->process.get(), &QProcess::finished);
    peer->process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    if (!workingFolder.isEmpty())
        peer->process->setWorkingDirectory(workingFolder);
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

// Sets (or with a null value removes) an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name))
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

mode_t modeOf(const QString& path)
{
    struct stat info = {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return 0;
    return info.st_mode;
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

    void defaultNameLiesInAPrivateFolder_data()
    {
        QTest::addColumn<bool>("withRuntime");
        QTest::newRow("session runtime folder") << true;
        QTest::newRow("no runtime folder") << false;
    }
    void defaultNameLiesInAPrivateFolder()
    {
        QFETCH(bool, withRuntime);
        const QString base = m_dir.filePath(QStringLiteral("default%1").arg(++m_names));
        QVERIFY(QDir().mkpath(base));
        ::chmod(QFile::encodeName(base).constData(), 0700);
        const QString uid = QString::number(::getuid());
        const ScopedEnv runtime("XDG_RUNTIME_DIR",
                                withRuntime ? QFile::encodeName(base) : QByteArray());
        // Without a runtime folder the name must not land in the shared
        // temporary folder itself, where another user could take it first.
        const ScopedEnv temp("TMPDIR", QFile::encodeName(base));
        const QString folder =
            base + (withRuntime ? QStringLiteral("/orvane") : QStringLiteral("/orvane-") + uid);
        QCOMPARE(SingleCopy::DefaultServerName(), folder + QStringLiteral("/orvane-8.0-") + uid);

        SingleCopy first;
        QVERIFY2(first.listen(), qPrintable(first.errorString()));
        QVERIFY(S_ISDIR(modeOf(folder)));
        QCOMPARE(modeOf(folder) & 0777, mode_t(0700));
        QVERIFY(S_ISSOCK(modeOf(first.serverName())));
    }

    void untrustedFolderIsNeverUsed_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("readable by the group") << QStringLiteral("mode 0750");
        QTest::newRow("open to everybody") << QStringLiteral("mode 0777");
        QTest::newRow("sticky and open, as the temporary folder") << QStringLiteral("mode 1777");
        QTest::newRow("symbolic link to a private folder") << QStringLiteral("link");
        QTest::newRow("a file in its place") << QStringLiteral("file");
        QTest::newRow("owned by another user") << QStringLiteral("owner");
    }
    void untrustedFolderIsNeverUsed()
    {
        QFETCH(QString, kind);
        const QString folder = m_dir.filePath(QStringLiteral("folder%1").arg(++m_names));
        const QByteArray path = QFile::encodeName(folder);
        if (kind.startsWith(QLatin1String("mode"))) {
            QCOMPARE(::mkdir(path.constData(), 0700), 0);
            QCOMPARE(::chmod(path.constData(), kind.mid(5).toUInt(nullptr, 8)), 0);
        } else if (kind == QLatin1String("link")) {
            const QString target = folder + QStringLiteral("-target");
            QCOMPARE(::mkdir(QFile::encodeName(target).constData(), 0700), 0);
            QVERIFY(QFile::link(target, folder));
        } else if (kind == QLatin1String("file")) {
            QFile file(folder);
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else {
            if (::geteuid() != 0)
                QSKIP("only root can give a folder to another user");
            QCOMPARE(::mkdir(path.constData(), 0700), 0);
            QCOMPARE(::chown(path.constData(), ::getuid() + 1, ::getgid()), 0);
        }
        QVERIFY(!SingleCopy::IsPrivateFolder(folder, true));
        const QString name = folder + QStringLiteral("/copy");

        SingleCopy first(name);
        QVERIFY(!first.listen());
        QVERIFY(!first.isListening());
        QVERIFY(!first.errorString().isEmpty());
        QVERIFY(!QFileInfo::exists(name));
        QCOMPARE(runPeer({name, QStringLiteral("x")}), PeerUntrusted);
        // The program then starts on its own.
        QVERIFY(!SingleCopy::handOver(QStringLiteral("x"), 1000, name));
    }

    void foreignListenerGetsNothing()
    {
        // A listener whose user is not the expected one stands for another
        // user's process holding the name.
        QLocalServer listener;
        QVERIFY(listener.listen(freshName()));
        const uint otherUid = SingleCopy::CurrentUid() + 1;
        QCOMPARE(SingleCopy::tryHandOver(QStringLiteral("/geheim/adresse.html"), 1000,
                                         listener.fullServerName(), otherUid),
                 SingleCopy::HandOverResult::Untrusted);
        QTRY_VERIFY_WITH_TIMEOUT(listener.hasPendingConnections(), 2000);
        QLocalSocket* accepted = listener.nextPendingConnection();
        QTRY_COMPARE_WITH_TIMEOUT(accepted->state(), QLocalSocket::UnconnectedState, 2000);
        QCOMPARE(accepted->readAll(), QByteArray());

        // Nor is its name taken over: the copy starts without it.
        SingleCopy second(listener.fullServerName());
        second.setExpectedUid(otherUid);
        QVERIFY(!second.listen());
        QVERIFY(listener.isListening());
        QVERIFY(S_ISSOCK(modeOf(listener.fullServerName())));
    }

    void staleSocketInTheDefaultFolderIsTakenOver()
    {
        const QString base = m_dir.filePath(QStringLiteral("stale%1").arg(++m_names));
        QVERIFY(QDir().mkpath(base));
        const ScopedEnv runtime("XDG_RUNTIME_DIR", QByteArray());
        const ScopedEnv temp("TMPDIR", QFile::encodeName(base));
        const QString name = SingleCopy::DefaultServerName();
        const auto crashed = startPeer({QStringLiteral("--crash"), name});
        QVERIFY(crashed->finished->wait(5000));
        QCOMPARE(crashed->process->exitStatus(), QProcess::CrashExit);
        QVERIFY(S_ISSOCK(modeOf(name)));

        QCOMPARE(SingleCopy::tryHandOver(QStringLiteral("a"), 1000, name),
                 SingleCopy::HandOverResult::NoCopy);
        SingleCopy first;
        QCOMPARE(first.serverName(), name);
        QVERIFY2(first.listen(), qPrintable(first.errorString()));
        QSignalSpy opened(&first, &SingleCopy::openRequested);
        QCOMPARE(runPeer({name, QStringLiteral("b")}), PeerDelivered);
        QCOMPARE(texts(opened), QStringList{QStringLiteral("b")});
    }

    void relativePathIsMadeAbsolute_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("expected"); // relative to the peer's working folder
        QTest::addColumn<bool>("local");
        QTest::newRow("file beside")
            << QStringLiteral("seite.html") << QStringLiteral("seite.html") << true;
        QTest::newRow("with dots")
            << QStringLiteral("./unter/../seite.html") << QStringLiteral("seite.html") << true;
        QTest::newRow("folder") << QStringLiteral("unter") << QStringLiteral("unter") << true;
        QTest::newRow("blank in the name") << QStringLiteral("unter/Meine Seite.html")
                                           << QStringLiteral("unter/Meine Seite.html") << true;
        QTest::newRow("missing file stays")
            << QStringLiteral("fehlt.html") << QStringLiteral("fehlt.html") << false;
        QTest::newRow("host name stays")
            << QStringLiteral("www.example.org") << QStringLiteral("www.example.org") << false;
        QTest::newRow("host and port stay") << QStringLiteral("127.0.0.1:8731/p1.html")
                                            << QStringLiteral("127.0.0.1:8731/p1.html") << false;
    }
    void relativePathIsMadeAbsolute()
    {
        QFETCH(QString, argument);
        QFETCH(QString, expected);
        QFETCH(bool, local);
        const QString work = m_dir.filePath(QStringLiteral("work%1").arg(++m_names));
        QVERIFY(QDir().mkpath(work + QStringLiteral("/unter")));
        for (const char* file : {"/seite.html", "/unter/Meine Seite.html"}) {
            QFile page(work + QLatin1String(file));
            QVERIFY(page.open(QIODevice::WriteOnly));
        }
        SingleCopy first(freshName());
        QVERIFY(first.listen());
        QSignalSpy opened(&first, &SingleCopy::openRequested);
        QCOMPARE(finish(*startPeer({first.serverName(), argument}, work)), PeerDelivered);
        QCOMPARE(texts(opened), QStringList{local ? work + u'/' + expected : expected});
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
        // The copy keeps a piece in its socket until the message is whole, so
        // the bytes waiting there show that it has seen each piece.
        QPointer<QLocalSocket> served;
        QTRY_VERIFY_WITH_TIMEOUT((served = first.findChild<QLocalSocket*>()), 2000);
        qint64 sent = 0;
        const auto send = [&](const QByteArray& piece) {
            client.write(piece);
            client.flush();
            sent += piece.size();
        };
        send(message.left(2));
        QTRY_COMPARE_WITH_TIMEOUT(served->bytesAvailable(), sent, 2000);
        QCOMPARE(opened.count(), 0);
        send(message.mid(2, 5));
        QTRY_COMPARE_WITH_TIMEOUT(served->bytesAvailable(), sent, 2000);
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
