#pragma once

#include "platform/pop3client.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <chrono>
#include <functional>

namespace orv {

class MainStatusBar;
class Prefer;
class SoundPlayer;

// The main window's mail check: at the preferred interval every enabled
// account (1 to 4, in order) is asked for its message list, one after the
// other; mail shows the envelope panel of the status bar, whose tool tip
// names the server, with a sound when the panel was not shown yet.
class MailCheck : public QObject {
    Q_OBJECT
public:
    static constexpr int AccountCount = 4;
    static constexpr std::chrono::milliseconds TickInterval{500};

    MailCheck(Prefer& prefer, MainStatusBar& status, QObject* parent = nullptr);
    ~MailCheck() override;

    // True when at least one account is enabled in the preferences.
    static bool AnyAccountEnabled(const Prefer& prefer);
    // The poll interval for a preference value in minutes (at least one).
    static std::chrono::seconds PollInterval(int checkIntervall);

    // (Re)reads the accounts and the interval and starts (true) or stops
    // the check; the first poll comes one interval later. A sequence under
    // way finishes.
    void InitForPOP3(bool bSt);
    // Polls all enabled accounts once, in order (nothing while a sequence
    // runs).
    void StartPollSequence();
    void SetMailPanelVisible(bool visible);
    // The program closes: no more polls, the connection is dropped.
    void Shutdown();

    bool IsEnabled() const { return m_timer.isActive(); }
    bool IsPolling() const { return m_polling; }
    // The account being polled, 1..4 (0 between sequences).
    int AccountIndex() const { return m_index; }

    // Seams for tests: the time limit per account, the poll interval, the
    // sound and the TLS settings.
    void setAccountTimeLimit(std::chrono::milliseconds limit) { client().setTimeLimit(limit); }
    void setPollIntervalOverride(std::chrono::milliseconds interval);
    void setNotifier(std::function<void()> notify) { m_notify = std::move(notify); }
    // What the sound falls back to (the system beep).
    void setBeeper(std::function<void()> beep) { m_beep = std::move(beep); }
    // The sound for new mail (the default notifier): the program folder's
    // notify.wav, the beep where it is missing, cannot be played or there
    // is no audio output.
    void PlayNotifySound();
    // Why an account's check failed, in words for the status tool tip.
    static QString ProblemText(const Pop3Result& result, const QString& server);
    void setSslConfiguration(const QSslConfiguration& config)
    {
        client().setSslConfiguration(config);
    }

Q_SIGNALS:
    // One account's exchange ended.
    void accountChecked(int index, const orv::Pop3Result& result);
    void sequenceFinished();

private:
    struct Account {
        QString server;
        QString user;
        QString password;
        bool enabled = false;
    };

    void onTick();
    void nextAccount();
    void onAccountFinished(const Pop3Result& result);
    // The client, made at its first use: setting up TLS costs tens of
    // milliseconds, which start-up does not pay for a check that comes later.
    Pop3Client& client();

    Prefer& m_prefer;
    MainStatusBar& m_status;
    Pop3Client* m_client = nullptr; // a child, made at the first check
    QString m_trustFile;
    QTimer m_timer;
    QElapsedTimer m_lastPoll;
    std::chrono::milliseconds m_interval{0};
    std::chrono::milliseconds m_intervalOverride{0};
    std::array<Account, AccountCount> m_accounts;
    std::function<void()> m_notify;
    std::function<void()> m_beep;
    SoundPlayer* m_sound = nullptr; // a child, loaded at the first sound
    int m_index = 0;
    bool m_polling = false;
};

} // namespace orv
