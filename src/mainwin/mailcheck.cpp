#include "mainwin/mailcheck.h"

#include "app/appinit.h"
#include "app/textids.h"
#include "app/texts.h"
#include "mainwin/mainstatusbar.h"
#include "prefs/prefer.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QSoundEffect>
#include <QUrl>

// The mail check runs one account's exchange at a time; the end of one
// starts the next, so nothing waits inside an event loop of its own.

namespace orv {

// The program folder's notify.wav; a beep where it is missing.
void MailCheck::PlayNotifySound()
{
    const QString path = QDir(AppFolder()).filePath(QStringLiteral("notify.wav"));
    if (!QFileInfo::exists(path)) {
        QApplication::beep();
        return;
    }
    if (!m_sound) {
        m_sound = new QSoundEffect(this);
        m_sound->setSource(QUrl::fromLocalFile(path));
    }
    m_sound->play();
}

MailCheck::MailCheck(Prefer& prefer, MainStatusBar& status, QObject* parent)
    : QObject(parent), m_prefer(prefer), m_status(status), m_client(this), m_timer(this),
      m_notify([this] { PlayNotifySound(); })
{
    m_timer.setInterval(TickInterval);
    connect(&m_timer, &QTimer::timeout, this, &MailCheck::onTick);
    // Queued: an exchange that ends at once never starts the next one from
    // inside its own start.
    connect(&m_client, &Pop3Client::finished, this, &MailCheck::onAccountFinished,
            Qt::QueuedConnection);
    m_lastPoll.start();
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
    m_client.start({account.server, account.user, account.password});
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
    // A failed check stays told until the next account or page status.
    m_status.SetStatusPicture(false);
    m_status.SetStatusText(result.outcome == Pop3Outcome::Failed ? Txt(kTextMailProblem)
                                                                 : QString());
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
    m_client.abort();
    m_polling = false;
    m_index = 0;
}

} // namespace orv
