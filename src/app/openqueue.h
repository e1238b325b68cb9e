#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

namespace orv {

// Open requests that other copies of the program hand over to this one.
//
// While external opens are enabled, every handed-over argument is appended to
// the pending queue, and the open timer (1 s, one shot) starts unless it is
// already running. When it fires, all entries that arrived meanwhile are
// offered together, in arrival order, through openEntries(), and the queue is
// empty again. While external opens are suspended (a file dialog is open),
// arguments are dropped: the main window is only raised.
//
// The class knows no windows: the main window connects openEntries() to
// opening one browser window per entry, and externalOpenChanged() to whether
// it accepts dropped files.
class OpenQueue : public QObject {
    Q_OBJECT
public:
    static constexpr int DefaultIntervalMs = 1000;

    explicit OpenQueue(QObject* parent = nullptr);

    // Whether handed-over arguments are queued (true from the start).
    bool ExternalOpenEnabled() const { return m_externalOpenEnabled; }
    // true switches external opens off, false switches them back on.
    void SuspendExternalOpen(bool suspend);

    // Takes one argument handed over by another copy. An empty argument only
    // asks to raise the window and is never queued. A text that holds more
    // than one ":" or "\\" in total is reduced to its FirstArgument. Returns
    // whether the argument was queued.
    bool receive(const QString& argument);

    // The entries waiting for the timer, in arrival order.
    const QStringList& PendingOpenQueue() const { return m_pendingOpenQueue; }
    bool isTimerActive() const { return m_openFilesTimer.isActive(); }

    // The delay between the first queued entry and opening (1000 ms).
    int interval() const { return m_openFilesTimer.interval(); }
    void setInterval(int ms) { m_openFilesTimer.setInterval(ms); }

    // The text that is queued for a handed-over argument.
    static QString ReduceArgument(const QString& argument);

Q_SIGNALS:
    // All entries that arrived since the last tick, in arrival order.
    void openEntries(const QStringList& entries);
    // ExternalOpenEnabled changed (the main window accepts drops accordingly).
    void externalOpenChanged(bool enabled);

private:
    void OpenFilesTimer_Timer();

    bool m_externalOpenEnabled = true;
    QStringList m_pendingOpenQueue;
    QTimer m_openFilesTimer;
};

} // namespace orv
