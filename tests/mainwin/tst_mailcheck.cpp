#include "app/appinit.h"
#include "common/pop3testserver.h"
#include "common/pop3tls.h"
#include "mainwin/mailcheck.h"
#include "mainwin/mainflags.h"
#include "mainwin/mainstatusbar.h"
#include "mainwin/menuitems.h"
#include "platform/soundplayer.h"
#include "platform/trustedcerts.h"
#include "prefs/prefer.h"

#include <QLabel>
#include <QMainWindow>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace orv;

namespace {

const QString kSearching = QStringLiteral("Server wird nach E-Mail durchsucht...");
const QString kProblem = QStringLiteral("Es gab Probleme beim Durchsuchen von E-Mail !");
const QString kYouHaveMail = QStringLiteral("Sie haben E-Mail !");
constexpr int kWaitMs = 15000;

// What one account's mailbox holds for a test: "off" (disabled), "refused"
// (nothing listens), "silent" (never greets), "untrusted" (STLS with a
// certificate nobody trusts), "trusted" (the same certificate, trusted by
// the user for this server), "changed" (the user trusts another one for
// it), otherwise the message count.
using Mailboxes = QStringList;

// A main window with its status bar and a mail check over the preferences.
struct Fixture {
    Fixture()
    {
        SetDataFolder(dataDir.path());
        status = std::make_unique<MainStatusBar>(window, items, flags, prefer);
        mail = std::make_unique<MailCheck>(prefer, *status);
        mail->setNotifier([this] { ++sounds; });
        mail->setAccountTimeLimit(std::chrono::milliseconds(400));
    }

    // Sets the accounts up as `boxes` says, one scripted server each.
    void setUp(const Mailboxes& boxes)
    {
        for (int i = 1; i <= boxes.size(); ++i) {
            const QString box = boxes.at(i - 1);
            auto server = std::make_unique<Pop3TestServer>();
            QString entry = server->address();
            if (box == QLatin1String("refused")) {
                entry = QStringLiteral("127.0.0.1:%1").arg(server->serverPort());
                server.reset();
            } else if (box == QLatin1String("silent")) {
                server->greeting.clear();
            } else if (QStringList{"untrusted", "trusted", "changed"}.contains(box)) {
                server->certificate = tlsIdentity.certificate;
                server->key = tlsIdentity.key;
                server->replies.insert("CAPA", {"+OK\r\nSTLS\r\n.\r\n"});
                const QByteArray own = TrustedCertificates::Fingerprint(tlsIdentity.certificate);
                if (box != QLatin1String("untrusted"))
                    trusted.trust(QStringLiteral("127.0.0.1"), server->serverPort(),
                                  box == QLatin1String("trusted") ? own
                                                                  : QByteArray(own.size(), 'x'));
            } else if (box != QLatin1String("off")) {
                server->replies.insert(
                    "LIST", {QStringLiteral("+OK %1 messages\r\n.\r\n").arg(box).toLatin1()});
            }
            prefer.setMailSrv(i, entry);
            prefer.setUser(i, QStringLiteral("user%1").arg(i));
            prefer.setPwd(i, QStringLiteral("pw%1").arg(i));
            prefer.setEnableMailCheck(i, box != QLatin1String("off"));
            servers.push_back(std::move(server));
        }
        QVERIFY(trusted.save(TrustedCertificates::DefaultPath()).ok);
    }

    QLabel* panel() const { return status->StatusPanel(QStringLiteral("email")); }

    QTemporaryDir dataDir;
    TrustedCertificates trusted;
    QMainWindow window;
    MenuItems items{nullptr};
    MainFlags flags;
    Prefer prefer;
    std::unique_ptr<MainStatusBar> status;
    std::unique_ptr<MailCheck> mail;
    std::vector<std::unique_ptr<Pop3TestServer>> servers;
    int sounds = 0;
    static inline TestTlsIdentity tlsIdentity;
};

} // namespace

class TestMailCheck : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { Fixture::tlsIdentity = MakeTestTlsIdentity(); }
    void anyAccountEnabled_data();
    void anyAccountEnabled();
    void pollInterval_data();
    void pollInterval();
    void sequence_data();
    void sequence();
    void panelShownBeforeMakesNoSound();
    void statusTextWhileChecking();
    void timerStartsSequences();
    void shutdownDropsConnection();
    void clientMadeAtFirstCheck();
    void problemInToolTip_data();
    void problemInToolTip();
    void soundFallsBackToBeep_data();
    void soundFallsBackToBeep();
    void soundModuleLoads();
};

void TestMailCheck::anyAccountEnabled_data()
{
    QTest::addColumn<QList<bool>>("enabled");
    QTest::addColumn<bool>("any");
    QTest::newRow("none") << QList<bool>{false, false, false, false} << false;
    QTest::newRow("first") << QList<bool>{true, false, false, false} << true;
    QTest::newRow("last") << QList<bool>{false, false, false, true} << true;
}

void TestMailCheck::anyAccountEnabled()
{
    QFETCH(QList<bool>, enabled);
    QFETCH(bool, any);
    Prefer prefer;
    for (int i = 1; i <= enabled.size(); ++i)
        prefer.setEnableMailCheck(i, enabled.at(i - 1));
    QCOMPARE(MailCheck::AnyAccountEnabled(prefer), any);
}

void TestMailCheck::pollInterval_data()
{
    QTest::addColumn<int>("minutes");
    QTest::addColumn<int>("seconds");
    QTest::newRow("below one") << 0 << 60;
    QTest::newRow("negative") << -3 << 60;
    QTest::newRow("one") << 1 << 60;
    QTest::newRow("fifteen") << 15 << 900;
    // Beyond what a 16-bit count of seconds held.
    QTest::newRow("600") << 600 << 36000;
}

void TestMailCheck::pollInterval()
{
    QFETCH(int, minutes);
    QFETCH(int, seconds);
    QCOMPARE(int(MailCheck::PollInterval(minutes).count()), seconds);
}

void TestMailCheck::sequence_data()
{
    QTest::addColumn<Mailboxes>("boxes");
    QTest::addColumn<bool>("panel");
    QTest::addColumn<int>("sounds");
    QTest::addColumn<int>("tipAccount"); // the account the tool tip names, 0: none
    QTest::addColumn<QString>("statusAfter");
    QTest::addColumn<QList<int>>("checked"); // the accounts in the order they ended

    QTest::newRow("no mail") << Mailboxes{"0"} << false << 0 << 0 << QString() << QList<int>{1};
    QTest::newRow("twelve messages")
        << Mailboxes{"12"} << true << 1 << 1 << QString() << QList<int>{1};
    QTest::newRow("two with mail: one sound, last named")
        << Mailboxes{"3", "0", "7"} << true << 1 << 3 << QString() << QList<int>{1, 2, 3};
    QTest::newRow("disabled account skipped")
        << Mailboxes{"0", "off", "0", "off"} << false << 0 << 0 << QString() << QList<int>{1, 3};
    QTest::newRow("refused, then mail")
        << Mailboxes{"refused", "2"} << true << 1 << 2 << QString() << QList<int>{1, 2};
    QTest::newRow("mail, then refused")
        << Mailboxes{"1", "refused"} << true << 1 << 1 << kProblem << QList<int>{1, 2};
    QTest::newRow("silent server, then mail")
        << Mailboxes{"silent", "4"} << true << 1 << 2 << QString() << QList<int>{1, 2};
    QTest::newRow("all disabled") << Mailboxes{"off", "off"} << false << 0 << 0 << QString()
                                  << QList<int>{};
}

void TestMailCheck::sequence()
{
    QFETCH(Mailboxes, boxes);
    QFETCH(bool, panel);
    QFETCH(int, sounds);
    QFETCH(int, tipAccount);
    QFETCH(QString, statusAfter);
    QFETCH(QList<int>, checked);

    Fixture f;
    f.setUp(boxes);
    f.mail->InitForPOP3(true);
    QSignalSpy accounts(f.mail.get(), &MailCheck::accountChecked);
    QSignalSpy done(f.mail.get(), &MailCheck::sequenceFinished);
    f.mail->StartPollSequence();
    QTRY_COMPARE_WITH_TIMEOUT(done.size(), 1, kWaitMs);

    QList<int> order;
    for (const QList<QVariant>& call : accounts)
        order << call.first().toInt();
    QCOMPARE(order, checked);
    QCOMPARE(!f.panel()->isHidden(), panel);
    QCOMPARE(f.sounds, sounds);
    if (tipAccount > 0)
        QCOMPARE(f.panel()->toolTip(), kYouHaveMail + " (" + f.prefer.MailSrv(tipAccount) + ")");
    else
        QCOMPARE(f.panel()->toolTip(), kYouHaveMail);
    QCOMPARE(f.status->StatusText(), statusAfter);
    QVERIFY(!f.mail->IsPolling());
    // A disabled account's server is never contacted.
    for (int i = 0; i < boxes.size(); ++i) {
        if (boxes.at(i) == QLatin1String("off"))
            QCOMPARE(f.servers.at(size_t(i))->connections, 0);
    }
}

void TestMailCheck::panelShownBeforeMakesNoSound()
{
    Fixture f;
    f.setUp({"5"});
    f.mail->InitForPOP3(true);
    f.mail->SetMailPanelVisible(true);
    QSignalSpy done(f.mail.get(), &MailCheck::sequenceFinished);
    f.mail->StartPollSequence();
    QTRY_COMPARE_WITH_TIMEOUT(done.size(), 1, kWaitMs);
    QCOMPARE(f.sounds, 0);
    QCOMPARE(f.panel()->toolTip(), kYouHaveMail + " (" + f.prefer.MailSrv(1) + ")");

    // Hidden again (the user looked), the next mail sounds again.
    f.mail->SetMailPanelVisible(false);
    f.mail->StartPollSequence();
    QTRY_COMPARE_WITH_TIMEOUT(done.size(), 2, kWaitMs);
    QCOMPARE(f.sounds, 1);
    QVERIFY(!f.panel()->isHidden());
}

void TestMailCheck::statusTextWhileChecking()
{
    Fixture f;
    f.mail->setAccountTimeLimit(std::chrono::milliseconds(1000));
    f.setUp({"off", "silent"});
    f.mail->InitForPOP3(true);
    QSignalSpy done(f.mail.get(), &MailCheck::sequenceFinished);
    f.mail->StartPollSequence();
    QCOMPARE(f.mail->AccountIndex(), 2);
    QCOMPARE(f.status->StatusText(), f.prefer.MailSrv(2) + " " + kSearching);
    QVERIFY(f.status->StatusPictureShown());
    // A second start while one runs changes nothing.
    f.mail->StartPollSequence();
    QCOMPARE(f.mail->AccountIndex(), 2);
    QTRY_COMPARE_WITH_TIMEOUT(done.size(), 1, kWaitMs);
    QCOMPARE(f.servers.at(1)->connections, 1);
    QCOMPARE(f.status->StatusText(), QString());
    QVERIFY(!f.status->StatusPictureShown());
}

void TestMailCheck::timerStartsSequences()
{
    Fixture f;
    f.setUp({"0"});
    f.mail->setPollIntervalOverride(std::chrono::milliseconds(100));
    QSignalSpy done(f.mail.get(), &MailCheck::sequenceFinished);
    f.mail->InitForPOP3(true);
    QVERIFY(done.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(done.size() >= 2, kWaitMs);
    QVERIFY(f.servers.at(0)->connections >= 2);
}

void TestMailCheck::shutdownDropsConnection()
{
    Fixture f;
    f.mail->setAccountTimeLimit(std::chrono::milliseconds(10000));
    f.setUp({"silent", "3"});
    f.mail->InitForPOP3(true);
    f.mail->StartPollSequence();
    QTRY_COMPARE(f.servers.at(0)->connections, 1);
    f.mail->Shutdown();
    QTRY_COMPARE(f.servers.at(0)->disconnections, 1);
    QVERIFY(!f.mail->IsPolling());
    QVERIFY(!f.mail->IsEnabled());
    QCOMPARE(f.servers.at(1)->connections, 0);
}

// Start-up does not set up TLS: the client comes with the first check.
void TestMailCheck::clientMadeAtFirstCheck()
{
    Fixture f;
    f.setUp({"2"});
    MailCheck mail(f.prefer, *f.status);
    mail.InitForPOP3(true);
    QVERIFY(mail.findChildren<Pop3Client*>().isEmpty());
    mail.StartPollSequence();
    QTRY_VERIFY_WITH_TIMEOUT(!mail.IsPolling(), kWaitMs);
    QCOMPARE(f.servers.at(0)->connections, 1);
    QCOMPARE(mail.findChildren<Pop3Client*>().size(), 1);
}

void TestMailCheck::problemInToolTip_data()
{
    QTest::addColumn<Mailboxes>("boxes");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QStringList>("tipHolds"); // empty: the usual tool tip
    QTest::newRow("certificate not trusted")
        << Mailboxes{"untrusted"} << kProblem
        << QStringList{"Zertifikat", "selbst signiert", "Passwort wurde nicht gesendet"};
    QTest::newRow("nothing listens")
        << Mailboxes{"refused"} << kProblem << QStringList{"nimmt keine Verbindung an"};
    QTest::newRow("failure, then a good check")
        << Mailboxes{"untrusted", "0"} << QString() << QStringList{};
    QTest::newRow("self-signed, trusted") << Mailboxes{"trusted"} << QString() << QStringList{};
    QTest::newRow("trusted certificate changed")
        << Mailboxes{"changed"} << kProblem
        << QStringList{"hat sich geändert", "Passwort wurde nicht gesendet"};
}

void TestMailCheck::problemInToolTip()
{
    QFETCH(Mailboxes, boxes);
    QFETCH(QString, status);
    QFETCH(QStringList, tipHolds);
    if (!boxes.filter(QRegularExpression("trusted|changed")).isEmpty() &&
        (Fixture::tlsIdentity.isNull() || !QSslSocket::supportsSsl()))
        QSKIP("openssl or the TLS backend is not available for a test certificate");
    Fixture f;
    f.mail->setAccountTimeLimit(std::chrono::milliseconds(kWaitMs / 2));
    f.setUp(boxes);
    f.mail->InitForPOP3(true);
    QSignalSpy done(f.mail.get(), &MailCheck::sequenceFinished);
    f.mail->StartPollSequence();
    QTRY_COMPARE_WITH_TIMEOUT(done.size(), 1, kWaitMs);
    QCOMPARE(f.status->StatusText(), status);
    const QString tip = f.status->StatusPanel(QStringLiteral("status"))->toolTip();
    if (tipHolds.isEmpty())
        QCOMPARE(tip, QStringLiteral("Status"));
    for (const QString& part : tipHolds)
        QVERIFY2(tip.contains(part), qPrintable(tip));
    // A page's status brings the usual tip back.
    f.status->SetStatusText(QStringLiteral("Fertig"));
    QCOMPARE(f.status->StatusPanel(QStringLiteral("status"))->toolTip(), QStringLiteral("Status"));
}

void TestMailCheck::soundFallsBackToBeep_data()
{
    QTest::addColumn<QByteArray>("notifyWav"); // empty: no file
    QTest::newRow("no sound file") << QByteArray();
    QTest::newRow("not a sound") << QByteArray("RIFF\x04\0\0\0WAVEjunk", 16);
}

void TestMailCheck::soundFallsBackToBeep()
{
    QFETCH(QByteArray, notifyWav);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    if (!notifyWav.isEmpty()) {
        QFile file(folder.filePath(QStringLiteral("notify.wav")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(notifyWav);
    }
    const QString before = AppFolder();
    SetAppFolder(folder.path());
    Fixture f;
    int beeps = 0;
    f.mail->setBeeper([&beeps] { ++beeps; });
    f.mail->PlayNotifySound();
    // Where there is no audio output at all the beep comes at once.
    QTRY_COMPARE_WITH_TIMEOUT(beeps, 1, kWaitMs);
    SetAppFolder(before);
}

// The sound output comes as a module the program loads at the first sound.
void TestMailCheck::soundModuleLoads()
{
    QObject owner;
    SoundPlayer* player = LoadSoundPlayer(&owner);
    QVERIFY(player);
    QCOMPARE(owner.children().size(), 1);
}

QTEST_MAIN(TestMailCheck)
#include "tst_mailcheck.moc"
