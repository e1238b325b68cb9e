#pragma once

#include <QObject>

#include <memory>

class QSocketNotifier;

namespace orv {

// Turns the requests to end the program that come from outside into Qt
// signals on the user-interface thread, so that the program shuts down in
// order (closes its windows, saves its preferences once) instead of dying.
//
// - SIGTERM and SIGINT: the signal handler only writes the signal number into
//   a pipe; a socket notifier reads it on the event loop and emits
//   terminationRequested(). While an object exists, it handles both signals;
//   its destructor puts the previous handlers back. One object at a time.
// - Session logout: QGuiApplication::commitDataRequest is passed on as
//   sessionEnding() (only when the application object is a QGuiApplication).
//
// What the main window connects:
// - terminationRequested -> close the main window (its close event runs the
//   orderly shutdown, which saves the preferences). A request can come more
//   than once; closing an already closing window must do nothing more.
// - sessionEnding -> save the preferences now (the session may end the process
//   right after), through the same once-only save that the close event uses.
// - QCoreApplication::aboutToQuit -> that once-only save as the last chance.
class ShutdownSignals : public QObject {
    Q_OBJECT
public:
    explicit ShutdownSignals(QObject* parent = nullptr);
    ~ShutdownSignals() override;

    // Whether the handlers are in place (false when the pipe could not be
    // made or another object already handles the signals).
    bool isActive() const { return m_active; }

Q_SIGNALS:
    // SIGTERM or SIGINT arrived (signalNumber tells which).
    void terminationRequested(int signalNumber);
    // The session is ending (logout): save what must be saved.
    void sessionEnding();

private:
    void readSignals();

    bool m_active = false;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace orv
