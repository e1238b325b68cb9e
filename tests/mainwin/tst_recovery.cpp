#include "common/testhttpserver.h"
#include "layouts/layout.h"
#include "layouts/layoutrecords.h"
#include "mainwin/recoveryfile.h"
#include "prefs/prefer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <memory>

using namespace orv;

// The open windows of a run that was killed come back at the next start, as
// a user sees it: the real program in its own processes, its message boxes
// written to a file and answered from the environment.
// Waits until `count` windows have loaded in the test's program.
#define REQUIRE_LOADED(count)                                                                      \
    QTRY_VERIFY2_WITH_TIMEOUT(allLoaded(readRecords(recoveryPath()), count),                       \
                              qPrintable(diagnosis()), kStartMs)

class TstRecovery : public QObject {
    Q_OBJECT

    static constexpr int kWindows = 20;
    static constexpr int kStartMs = 90000;

    TestHttpServer m_server;
    QTemporaryDir m_home;

    QString dataFolder() const
    {
        return m_home.path() + QStringLiteral("/Documents/OrvaneData-8.0.4");
    }
    QString recoveryPath() const { return RecoveryFile::FilePath(dataFolder()); }
    QString dialogLog() const { return m_home.path() + QStringLiteral("/boxes.txt"); }
    QStringList boxes() const
    {
        QFile log(dialogLog());
        if (!log.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(log.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

    std::unique_ptr<QProcess> launch(const QString& answer, const QStringList& args = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), m_home.path());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_home.path());
        env.remove(QStringLiteral("XDG_DOCUMENTS_DIR"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("ORVANE_TEST_DIALOGS"), dialogLog());
        env.insert(QStringLiteral("ORVANE_TEST_ANSWER"), answer);
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(env);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(QStringLiteral(ORVANE_PROGRAM), args);
        return process;
    }

    // The program's preferences: the start arrangement `layout` (or none)
    // and no start page.
    void setPreferences(const QString& layout)
    {
        Prefer prefer;
        prefer.setFolder(dataFolder());
        prefer.setStartBrowser(false);
        prefer.setLoadOption(layout.isEmpty() ? 0 : 2);
        prefer.setLayout(layout);
        QVERIFY(prefer.SavePref().ok);
    }

    static QList<LayoutWindowRecord> readRecords(const QString& path)
    {
        QList<LayoutWindowRecord> records;
        if (!readLayoutFile(path, records).ok)
            records.clear();
        return records;
    }

    // Every window of the file shows its page (the loads are done).
    static bool allLoaded(const QList<LayoutWindowRecord>& records, int count)
    {
        if (records.size() != count)
            return false;
        for (const LayoutWindowRecord& r : records)
            if (!r.URL.startsWith(QLatin1String("http://127.0.0.1")) || r.Titel.isEmpty())
                return false;
        return true;
    }

    // What a user sees of a window: address, place and size, state, bars,
    // and whether it is a feed window.
    static QString shown(const LayoutWindowRecord& r)
    {
        return QStringLiteral("%1 %2,%3 %4x%5 state %6 bars %7%8 feed %9")
            .arg(r.URL)
            .arg(r.Left)
            .arg(r.Top)
            .arg(r.Width)
            .arg(r.Height)
            .arg(r.WindowState)
            .arg(int(r.ToolbarVisible))
            .arg(int(r.AdressbarVisible))
            .arg(int(r.Titel.startsWith(LayoutOpenArgs::FeedMarker())));
    }
    static QStringList shown(const QList<LayoutWindowRecord>& records)
    {
        QStringList lines;
        for (const LayoutWindowRecord& r : records)
            lines << shown(r);
        return lines;
    }

    // The recovery file as read and the pages asked for so far.
    QString diagnosis() const
    {
        return shown(readRecords(recoveryPath())).join(u'\n') +
               QStringLiteral("\nrequests: %1").arg(m_server.requests().size());
    }

    static void end(QProcess& process, int signal)
    {
        ::kill(pid_t(process.processId()), signal);
        QVERIFY(process.waitForFinished(30000));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        for (int i = 0; i < kWindows; ++i)
            m_server.serve("/seite" + QByteArray::number(i), "text/html",
                           "<title>Seite " + QByteArray::number(i) + "</title><p>Inhalt");
        m_server.serve("/feed.xml", "application/rss+xml",
                       "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>Kanal</title>"
                       "<item><title>Eins</title><link>http://127.0.0.1/</link></item>"
                       "</channel></rss>");
        QVERIFY(QDir().mkpath(dataFolder()));
    }

    // Each case starts as a first run would, whatever an earlier case that
    // was skipped or failed half-way left behind.
    void init()
    {
        QFile::remove(recoveryPath());
        QFile::remove(RecoveryFile::BackupPath(dataFolder()));
        QFile::remove(dialogLog());
    }

    // 20 windows of different pages and states, one a feed window, some
    // without bars; killed; the next start asks once and "Ja" brings every
    // window back at its address, place and state, in its order.
    void killedWindowsComeBack()
    {
        QList<LayoutWindowRecord> start;
        for (int i = 0; i < kWindows; ++i) {
            LayoutWindowRecord r;
            r.Left = qint16(300 * i);
            r.Top = qint16(150 * i);
            r.Width = qint16(5000 + 100 * i);
            r.Height = qint16(3500 + 50 * i);
            r.URL = m_server.url(QStringLiteral("/seite%1").arg(i)).toString();
            r.ToolbarVisible = i % 2 == 0;
            r.AdressbarVisible = i % 3 != 0;
            // Minimised ones among normal ones; the last one maximised.
            r.WindowState = qint16(i == kWindows - 1 ? 2 : (i % 4 == 1 ? 1 : 0));
            if (i == kWindows - 2) {
                r.URL = m_server.url(QStringLiteral("/feed.xml")).toString();
                r.Titel = LayoutOpenArgs::FeedMarker() + QStringLiteral("Kanal");
            }
            start.append(r);
        }
        const QString layout = dataFolder() + QStringLiteral("/start.wlt");
        QVERIFY(writeLayoutFile(layout, start).ok);
        setPreferences(layout);

        auto first = launch(QStringLiteral("ja"));
        QVERIFY(first->waitForStarted(10000));
        REQUIRE_LOADED(kWindows);
        end(*first, SIGKILL);
        const QList<LayoutWindowRecord> killed = readRecords(recoveryPath());
        QVERIFY(allLoaded(killed, kWindows));
        const QStringList before = shown(killed);
        for (int state = 0; state <= 2; ++state)
            QVERIFY2(std::any_of(killed.begin(), killed.end(),
                                 [state](const auto& r) { return r.WindowState == state; }),
                     qPrintable(before.join(u'\n')));
        QVERIFY(boxes().isEmpty());

        // Whatever the start arrangement says, the recovered windows open
        // instead of it.
        auto second = launch(QStringLiteral("ja"));
        QVERIFY(second->waitForStarted(10000));
        // Asked, and the file set aside before this run saves its own.
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(RecoveryFile::BackupPath(dataFolder())), kStartMs);
        QCOMPARE(boxes().size(), 1);
        QVERIFY(boxes().first().contains(QStringLiteral("nicht ordnungsgemäß beendet")));
        REQUIRE_LOADED(kWindows);
        QTRY_COMPARE_WITH_TIMEOUT(shown(readRecords(recoveryPath())), before, 20000);

        // An orderly end leaves nothing to recover: the next start asks nothing.
        end(*second, SIGTERM);
        QCOMPARE(second->exitCode(), 0);
        QVERIFY(!QFile::exists(recoveryPath()));
    }

    // "Nein" starts as usual and keeps the file once as the backup; what an
    // interrupted save left beside it is not taken for the file.
    void declinedIsKeptAsBackup()
    {
        setPreferences({});
        auto run = launch(QStringLiteral("nein"), {m_server.url("/seite1").toString()});
        QVERIFY(run->waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(allLoaded(readRecords(recoveryPath()), 1), kStartMs);
        QVERIFY(boxes().isEmpty());
        end(*run, SIGKILL);
        QByteArray whole;
        {
            QFile file(recoveryPath());
            QVERIFY(file.open(QIODevice::ReadOnly));
            whole = file.readAll();
            // A save killed half-way: its temporary beside the whole file.
            QFile half(recoveryPath() + QStringLiteral(".Ab12Cd"));
            QVERIFY(half.open(QIODevice::WriteOnly));
            half.write(whole.left(100));
        }

        QFile::remove(RecoveryFile::BackupPath(dataFolder()));
        auto next = launch(QStringLiteral("nein"), {m_server.url("/seite2").toString()});
        QVERIFY(next->waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(RecoveryFile::BackupPath(dataFolder())), kStartMs);
        QTRY_VERIFY_WITH_TIMEOUT(allLoaded(readRecords(recoveryPath()), 1), kStartMs);
        QCOMPARE(readRecords(recoveryPath()).first().URL, m_server.url("/seite2").toString());
        QCOMPARE(boxes().size(), 1);
        QFile backup(RecoveryFile::BackupPath(dataFolder()));
        QVERIFY(backup.open(QIODevice::ReadOnly));
        QCOMPARE(backup.readAll(), whole);
        QVERIFY(!QFile::exists(recoveryPath() + QStringLiteral(".Ab12Cd")));
        end(*next, SIGTERM);
        QCOMPARE(next->exitCode(), 0);
    }

    // A damaged file is told and ignored; the program runs on.
    void damagedFileIsIgnored()
    {
        setPreferences({});
        {
            QFile file(recoveryPath());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(LayoutFileFormat::RecordLength + 7, '\xff'));
        }
        auto run = launch(QStringLiteral("ja"), {m_server.url("/seite3").toString()});
        QVERIFY(run->waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(allLoaded(readRecords(recoveryPath()), 1), kStartMs);
        QCOMPARE(boxes().size(), 1);
        QVERIFY(boxes().first().contains(QStringLiteral("beschädigt")));
        end(*run, SIGTERM);
        QCOMPARE(run->exitStatus(), QProcess::NormalExit);
        QCOMPARE(run->exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TstRecovery)
#include "tst_recovery.moc"
