#include "common/testhttpserver.h"
#include "prefs/prefer.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/stat.h>

using namespace orv;

// The real program in its own processes: the hand-over from a second copy
// and the orderly shutdown.
class TstProgram : public QObject {
    Q_OBJECT

    TestHttpServer m_server;
    QTemporaryDir m_home;

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), m_home.path());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_home.path());
        env.remove(QStringLiteral("XDG_DOCUMENTS_DIR"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"),
                   QStringLiteral("--disable-gpu --disable-background-networking "
                                  "--disable-component-update"));
        return env;
    }

    std::unique_ptr<QProcess> launch(const QStringList& args)
    {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment());
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(QStringLiteral(ORVANE_PROGRAM), args);
        return process;
    }

    QString prefPath() const
    {
        return m_home.path() + QStringLiteral("/Documents/OrvaneData-8.0.4/Pref.orp");
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        for (const char* p : {"/first", "/second", "/third"})
            m_server.serve(p, "text/html", QByteArray("<title>") + p + "</title>");
    }

    void handOverAndShutdown()
    {
        auto first = launch({m_server.url("/first").toString()});
        QVERIFY(first->waitForStarted(5000));
        QTRY_VERIFY_WITH_TIMEOUT(m_server.requestCount("/first") > 0, 30000);
        // The preferences exist from the start (defaults written at once).
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(prefPath()), 5000);

        // A second start with an address hands it over and ends at once.
        QElapsedTimer clock;
        clock.start();
        auto second = launch({m_server.url("/second").toString()});
        QVERIFY(second->waitForFinished(10000));
        const qint64 handOverMs = clock.elapsed();
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        QVERIFY2(handOverMs < 1500, qPrintable(QString::number(handOverMs)));
        QTRY_VERIFY_WITH_TIMEOUT(m_server.requestCount("/second") > 0, 15000);
        QVERIFY(first->state() == QProcess::Running);

        // Without an argument the second copy only raises the first.
        const qsizetype before = m_server.requests().size();
        auto third = launch({});
        QVERIFY(third->waitForFinished(10000));
        QCOMPARE(third->exitCode(), 0);
        // A later hand-over is opened after whatever the third one caused:
        // once it arrives, nothing else has been requested.
        auto fourth = launch({m_server.url("/second").toString() + QStringLiteral("?marke")});
        QVERIFY(fourth->waitForFinished(10000));
        QTRY_VERIFY_WITH_TIMEOUT(m_server.requestCount("/second") == 2, 15000);
        for (qsizetype i = before; i < m_server.requests().size(); ++i)
            QVERIFY2(m_server.requests().at(i) == "/second" ||
                         m_server.requests().at(i).contains("favicon"),
                     m_server.requests().at(i).constData());

        // SIGTERM: the preferences are saved once and the program ends
        // without a crash.
        QFile::remove(prefPath());
        ::kill(pid_t(first->processId()), SIGTERM);
        QVERIFY(first->waitForFinished(20000));
        QCOMPARE(first->exitStatus(), QProcess::NormalExit);
        QCOMPARE(first->exitCode(), 0);
        QVERIFY(QFile::exists(prefPath()));
        Prefer saved;
        saved.setFolder(QFileInfo(prefPath()).path());
        QCOMPARE(saved.LoadPref().outcome, Prefer::LoadOutcome::Loaded);
        QVERIFY(saved.MdiWidth() > 0);
        QVERIFY(saved.MdiHeight() > 0);
    }

    // SIGTERM while start-up waits in a message box (the start arrangement
    // cannot be read): the box ends and the program ends in order, saving
    // its preferences.
    void shutdownWhileBoxOpen()
    {
        const QString data = QFileInfo(prefPath()).path();
        QVERIFY(QDir().mkpath(data + QStringLiteral("/kaputt.wlt"))); // a folder
        Prefer stored;
        stored.setFolder(data);
        stored.setLoadOption(2);
        stored.setLayout(data + QStringLiteral("/kaputt.wlt"));
        QVERIFY(stored.SavePref().ok);
        const QDateTime written = QFileInfo(prefPath()).lastModified();
        const auto inode = [this] {
            struct stat st {};
            return ::stat(QFile::encodeName(prefPath()).constData(), &st) == 0 ? st.st_ino : 0;
        };
        const auto before = inode();

        // The first window's page is asked for from the box's event loop.
        auto program = launch({m_server.url("/third").toString()});
        QVERIFY(program->waitForStarted(5000));
        QTRY_VERIFY_WITH_TIMEOUT(m_server.requestCount("/third") > 0, 30000);
        ::kill(pid_t(program->processId()), SIGTERM);
        QVERIFY(program->waitForFinished(20000));
        QCOMPARE(program->exitStatus(), QProcess::NormalExit);
        QCOMPARE(program->exitCode(), 0);
        QVERIFY(inode() != before || QFileInfo(prefPath()).lastModified() != written);
        Prefer saved;
        saved.setFolder(data);
        QCOMPARE(saved.LoadPref().outcome, Prefer::LoadOutcome::Loaded);
        QCOMPARE(saved.LoadOption(), 2);
    }

    // "--help" and "--version" answer on standard output and end at once,
    // without a window.
    void helpAndVersion_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("says");
        QTest::newRow("help") << "--help"
                              << "Aufruf: orvane [ADRESSE | DATEI]";
        QTest::newRow("short help") << "-h"
                                    << "OrvaneData-8.0.4";
        QTest::newRow("version") << "--version"
                                 << "Orvane 8.0.4\n";
    }
    void helpAndVersion()
    {
        QFETCH(QString, argument);
        QFETCH(QString, says);
        auto process = launch({argument});
        QVERIFY(process->waitForFinished(10000));
        QCOMPARE(process->exitCode(), 0);
        QVERIFY(QString::fromLocal8Bit(process->readAllStandardOutput()).contains(says));
    }

    // ORVANE_STARTUP_PHASES=1 logs start-up's phases on standard error up to
    // the first page; without it start-up says nothing of them.
    void startupPhases_data()
    {
        QTest::addColumn<bool>("logged");
        QTest::newRow("asked for") << true;
        QTest::newRow("not asked for") << false;
    }
    void startupPhases()
    {
        QFETCH(bool, logged);
        QTemporaryDir home;
        QProcessEnvironment env = environment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
        if (logged)
            env.insert(QStringLiteral("ORVANE_STARTUP_PHASES"), QStringLiteral("1"));
        else
            env.remove(QStringLiteral("ORVANE_STARTUP_PHASES"));
        const qsizetype asked = m_server.requestCount("/first");
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(ORVANE_PROGRAM), {m_server.url("/first").toString()});
        QVERIFY(program.waitForStarted(5000));
        QByteArray err;
        const auto readErr = [&]() -> const QByteArray& {
            err += program.readAllStandardError();
            return err;
        };
        if (logged)
            QTRY_VERIFY_WITH_TIMEOUT(readErr().contains("phase first-page "), 30000);
        else
            QTRY_VERIFY_WITH_TIMEOUT(m_server.requestCount("/first") > asked, 30000);
        ::kill(pid_t(program.processId()), SIGTERM);
        QVERIFY(program.waitForFinished(20000));
        const QRegularExpression phase(
            QStringLiteral("^phase [a-z-]+ [0-9]+\\.[0-9] cpu [0-9]+\\.[0-9]$"));
        qsizetype phases = 0;
        for (const QByteArray& l : readErr().split('\n')) {
            if (!l.startsWith("phase "))
                continue;
            ++phases;
            QVERIFY2(phase.match(QString::fromLatin1(l)).hasMatch(), l.constData());
        }
        QCOMPARE(phases > 0, logged);
    }
};

QTEST_GUILESS_MAIN(TstProgram)
#include "tst_program.moc"
