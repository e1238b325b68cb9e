#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QWebEngineProfile;

namespace orv {

// The program's own URL scheme for generated pages ("orvane://gen/<token>").
inline constexpr char kGeneratedScheme[] = "orvane";

// Prepares the web engine. Must run before the application object exists:
// registers the generated-page scheme and sets the engine's switches (no
// sandbox when running as root, as the engine refuses to start otherwise;
// the renderer process model, see EngineFlagsWithProcessModel).
void PrepareWebEngine();

// The engine's switches (QTWEBENGINE_CHROMIUM_FLAGS) with the program's
// renderer process model added: one renderer per site, sites strictly
// isolated, no spare renderer. Switches that choose another process model
// are kept as they are.
QByteArray EngineFlagsWithProcessModel(const QByteArray& flags);

// Runs `work` on a worker while start-up goes on; the engine starts only
// once it has ended. The engine adds to the process environment as it
// starts, and the C library's environment must not be read by another
// thread meanwhile (a reader may follow the list the addition just freed):
// work that reads it, as the font library does, goes here.
void RunBeforeEngineStart(std::function<void()> work);

// Reads the font database, which the windows' texts need, on a worker
// (RunBeforeEngineStart). Call it once the application exists.
void BeginFontDatabaseLoad();

// The one persistent profile that every browser window shares, stored under
// the data folder. Created on first use, owned by the application; the
// first call waits for the work given to RunBeforeEngineStart.
QWebEngineProfile* BrowserProfile();

// Whether the profile exists (so shutdown can delete pages before it).
bool HasBrowserProfile();

// Hands the memory that closed pages freed back to the system. The C
// library keeps freed heap for later use; after many windows closed that
// is hundreds of megabytes the program no longer needs.
void ReturnFreedMemory();

} // namespace orv
