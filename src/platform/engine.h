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
// Where DrawInSoftware answers yes, it chooses drawing by the processor.
void PrepareWebEngine();

// What decides how windows and pages are drawn on this machine.
struct GraphicsFacts {
    // The windowing platform asked for (QT_QPA_PLATFORM), empty for the
    // desktop's own.
    QByteArray platform;
    // The user's own choice of the drawing back end (QT_QUICK_BACKEND,
    // QMLSCENE_DEVICE or QSG_RHI_BACKEND), empty when none was made.
    QByteArray chosenBackend;
    // OpenGL asked to run on the processor (LIBGL_ALWAYS_SOFTWARE).
    bool softwareOpenGl = false;
    // A graphics device this user may draw with (a render node, or the
    // device of the proprietary driver).
    bool graphicsDevice = false;
};
GraphicsFacts ReadGraphicsFacts();

// Whether windows and pages are drawn by the processor directly. Without a
// graphics device OpenGL is only emulated by the processor, and through it
// every redraw of a window, however small, composes the whole window with
// its pages again. Drawn directly, a redraw touches only what changed. The
// user's own choice stands; a platform without a screen keeps the engine's
// default.
bool DrawInSoftware(const GraphicsFacts& facts);

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
