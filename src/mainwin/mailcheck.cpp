#include "mainwin/mailcheck.h"

#include "app/appinit.h"
#include "app/textids.h"
#include "app/texts.h"
#include "mainwin/mainstatusbar.h"
#include "platform/soundplayer.h"
#include "platform/trustedcerts.h"
#include "prefs/prefer.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QUrl>

// The mail check runs one account's exchange at a time; the end of one
// starts the next, so nothing waits inside an event loop of its own.

namespace orv {

namespace {

QString certificateReason(QSslError::SslError error)
{
    switch (error) {
    case QSslError::SelfSignedCertificate:
    case QSslError::SelfSignedCertificateInChain:
        return QStringLiteral("es ist selbst signiert und nicht als vertrauenswürdig bekannt");
    case QSslError::CertificateExpired:
        return QStringLiteral("es ist abgelaufen");
    case QSslError::CertificateNotYetValid:
        return QStringLiteral("es ist noch nicht gültig");
    case QSslError::HostNameMismatch:
        return QStringLiteral("es gilt nicht für diesen Servernamen");
    case QSslError::CertificateRevoked:
        return QStringLiteral("es wurde widerrufen");
    case QSslError::UnableToGetIssuerCertificate:
    case QSslError::UnableToGetLocalIssuerCertificate:
    case QSslError::UnableToVerifyFirstCertificate:
    case QSslError::CertificateUntrusted:
        return QStringLiteral("sein Aussteller ist nicht vertrauenswürdig");
    default:
        return QStringLiteral("es ist ungültig");
    }
}

} // namespace

QString MailCheck::ProblemText(const Pop3Result& result, const QString& server)
{
    switch (result.problem) {
    case Pop3Problem::InvalidEntry:
        return QStringLiteral("Der Mail-Server „%1“ ist kein gültiger Eintrag (Name, Name:Port "
                              "oder pop3s://Name).")
            .arg(server);
    case Pop3Problem::LineBreak:
        return QStringLiteral("Benutzername oder Passwort enthält einen Zeilenumbruch.");
    case Pop3Problem::HostNotFound:
        return QStringLiteral("Der Mail-Server „%1“ wurde nicht gefunden.").arg(server);
    case Pop3Problem::Refused:
        return QStringLiteral("Der Mail-Server „%1“ nimmt keine Verbindung an.").arg(server);
    case Pop3Problem::TlsRefused:
        return QStringLiteral("Der Mail-Server bietet TLS an, hat es dann aber abgelehnt; das "
                              "Passwort wurde nicht gesendet.");
    case Pop3Problem::TlsFailed:
        return QStringLiteral("Die verschlüsselte Verbindung (TLS) zum Mail-Server kam nicht "
                              "zustande; das Passwort wurde nicht gesendet.");
    case Pop3Problem::Certificate: {
        QStringList reasons;
        for (const QSslError::SslError error : result.certificateErrors) {
            const QString reason = certificateReason(error);
            if (!reasons.contains(reason))
                reasons << reason;
        }
        return QStringLiteral("Das Zertifikat des Mail-Servers wurde nicht angenommen: %1. Das "
                              "Passwort wurde nicht gesendet. Unter Einstellungen, E-Mail, "
                              "„Zertifikat prüfen...“ kann ihm vertraut werden.")
            .arg(reasons.join(QStringLiteral("; ")));
    }
    case Pop3Problem::CertificateChanged:
        return QStringLiteral("Das Zertifikat des Mail-Servers „%1“ hat sich geändert: es ist "
                              "nicht mehr das, dem vertraut wurde (SHA-256 jetzt %2). Das "
                              "Passwort wurde nicht gesendet.")
            .arg(server, TrustedCertificates::DisplayFingerprint(result.fingerprint));
    case Pop3Problem::OversizedReply:
        return QStringLiteral("Der Mail-Server sendet übermäßig lange Antworten.");
    case Pop3Problem::Network:
    case Pop3Problem::None:
        break;
    }
    return QStringLiteral("Die Verbindung zum Mail-Server „%1“ ist gestört.").arg(server);
}

void MailCheck::PlayNotifySound()
{
    const QString path = QDir(AppFolder()).filePath(QStringLiteral("notify.wav"));
    if (QFileInfo::exists(path) && !m_sound)
        m_sound = LoadSoundPlayer(this);
    if (!QFileInfo::exists(path) || !m_sound) {
        m_beep();
        return;
    }
    m_sound->Play(path, [this] { m_beep(); });
}

MailCheck::MailCheck(Prefer& prefer, MainStatusBar& status, QObject* parent)
    : QObject(parent), m_prefer(prefer), m_status(status), m_timer(this),
      m_notify([this] { PlayNotifySound(); }), m_beep([] { QApplication::beep(); })
{
    m_timer.setInterval(TickInterval);
    connect(&m_timer, &QTimer::timeout, this, &MailCheck::onTick);
    m_lastPoll.start();
}

Pop3Client& MailCheck::client()
{
    if (!m_client) {
        m_client = new Pop3Client(this);
        m_client->setTrustFile(m_trustFile);
        // Queued: an exchange that ends at once never starts the next one
        // from inside its own start.
        connect(m_client, &Pop3Client::finished, this, &MailCheck::onAccountFinished,
                Qt::QueuedConnection);
    }
    return *m_client;
}

MailCheck::~MailCheck() = default;

bool MailCheck::AnyAccountEnabled(const Prefer& prefer)
{
    for (int i = 1; i <= AccountCount; ++i) {
        if (prefer.EnableMailCheck(i))
            return true;
    }
    return false;
}

std::chrono::seconds MailCheck::PollInterval(int checkIntervall)
{
    return std::chrono::minutes(std::max(1, checkIntervall));
}

void MailCheck::setPollIntervalOverride(std::chrono::milliseconds interval)
{
    m_intervalOverride = interval;
    if (interval.count() > 0)
        m_interval = interval;
}

void MailCheck::InitForPOP3(bool bSt)
{
    m_interval = m_intervalOverride.count() > 0
                     ? m_intervalOverride
                     : std::chrono::milliseconds(PollInterval(m_prefer.CheckIntervall()));
    m_lastPoll.restart();
    // Certificates the user trusts are read again at every connection.
    m_trustFile = TrustedCertificates::DefaultPath();
    if (m_client)
        m_client->setTrustFile(m_trustFile);
    if (bSt)
        m_timer.start();
    else
        m_timer.stop();
    if (!m_polling)
        m_index = 0;
    for (int i = 1; i <= AccountCount; ++i) {
        Account& account = m_accounts[size_t(i - 1)];
        account.server = m_prefer.MailSrv(i);
        account.user = m_prefer.User(i);
        account.password = m_prefer.Pwd(i);
        account.enabled = m_prefer.EnableMailCheck(i);
    }
}

void MailCheck::onTick()
{
    if (!m_polling && std::chrono::milliseconds(m_lastPoll.elapsed()) > m_interval)
        StartPollSequence();
}

void MailCheck::StartPollSequence()
{
    if (m_polling)
        return;
    m_polling = true;
    m_lastPoll.restart();
    m_index = 0;
    nextAccount();
}

void MailCheck::nextAccount()
{
    ++m_index;
    while (m_index <= AccountCount && !m_accounts[size_t(m_index - 1)].enabled)
        ++m_index;
    if (m_index > AccountCount) {
        m_index = 0;
        m_polling = false;
        Q_EMIT sequenceFinished();
        return;
    }
    const Account& account = m_accounts[size_t(m_index - 1)];
    m_status.SetStatusPicture(true);
    m_status.SetStatusText(account.server + QLatin1Char(' ') + Txt(kTextSearchingMail));
    client().start({account.server, account.user, account.password});
}

void MailCheck::onAccountFinished(const Pop3Result& result)
{
    if (!m_polling || m_index < 1)
        return;
    const Account& account = m_accounts[size_t(m_index - 1)];
    if (result.hasMail()) {
        // The sound only when the panel comes up: once however many
        // accounts have mail; the tool tip names the last one.
        if (!m_status.MailIndicatorVisible() && m_notify)
            m_notify();
        if (QLabel* panel = m_status.StatusPanel(QStringLiteral("email"))) {
            panel->setToolTip(Txt(kTextYouHaveMail) + QStringLiteral(" (") + account.server +
                              QLatin1Char(')'));
        }
        m_status.ShowMailIndicator(true);
    }
    // A failed check stays told, its reason in the tool tip, until the next
    // account or page status.
    m_status.SetStatusPicture(false);
    if (result.outcome == Pop3Outcome::Failed)
        m_status.SetStatusExplained(Txt(kTextMailProblem), ProblemText(result, account.server));
    else
        m_status.SetStatusText(QString());
    Q_EMIT accountChecked(m_index, result);
    nextAccount();
}

void MailCheck::SetMailPanelVisible(bool visible)
{
    m_status.ShowMailIndicator(visible);
}

void MailCheck::Shutdown()
{
    m_timer.stop();
    if (m_client)
        m_client->abort();
    m_polling = false;
    m_index = 0;
}

} // namespace orv
