#pragma once

#include <QByteArray>
#include <QString>

class QThreadPool;
class QWebEngineProfile;

namespace orv {

// The program's own URL scheme for generated pages ("orvane://gen/<token>").
inline constexpr char kGeneratedScheme[] = "orvane";

// Prepares the web engine. Must run before the application object exists:
// registers the generated-page scheme and sets the engine's switches (no
// sandbox when running as root, as the engine refuses to start otherwise;
// the renderer process model, see EngineFlagsWithProcessModel). It also
// gives the environment the one variable that the engine sets as it starts,
// so that its start adds no name: adding one moves the environment's list,
// which other threads (the font worker) may be reading at that moment.
void PrepareWebEngine();

// The engine's switches (QTWEBENGINE_CHROMIUM_FLAGS) with the program's
// renderer process model added: one renderer per site, sites strictly
// isolated, no spare renderer. Switches that choose another process model
// are kept as they are.
QByteArray EngineFlagsWithProcessModel(const QByteArray& flags);

// The one worker of start-up's work ahead: what is given to it runs in the
// order given, on one core, leaving the other to the user-interface thread.
QThreadPool& StartupWorker();

// Reads on the start-up worker, while start-up goes on, what the first
// windows would otherwise wait for on the user-interface thread: the font
// database, which their texts need, and the image format plugins (a toolbar
// looks its standard picture up among them, which loads every one). When it
// goes, whatever the start-up worker was given has ended: make it after the
// application, in the application's scope, so that no work outlives it.
class StartupWarmUp {
public:
    StartupWarmUp();
    ~StartupWarmUp();
    StartupWarmUp(const StartupWarmUp&) = delete;
    StartupWarmUp& operator=(const StartupWarmUp&) = delete;
};

// The one persistent profile that every browser window shares, stored under
// the data folder. Created on first use, owned by the application.
QWebEngineProfile* BrowserProfile();

// Whether the profile exists (so shutdown can delete pages before it).
bool HasBrowserProfile();

// Hands the memory that closed pages freed back to the system. The C
// library keeps freed heap for later use; after many windows closed that
// is hundreds of megabytes the program no longer needs.
void ReturnFreedMemory();

} // namespace orv
