#include "platform/engine.h"

#include "app/appinit.h"
#include "platform/generatedpages.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QImageReader>
#include <QPointer>
#include <QQuickWindow>
#include <QThreadPool>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlScheme>

#include <algorithm>

#include <unistd.h>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace orv {
namespace {

// The renderer process model, chosen for up to 250 open windows.
//
// The engine's default (a process per site instance) gives every window
// that a bookmark folder, a layout or the address box opens a renderer of
// its own, since such windows have no opener: 250 windows are 250
// renderers of 7-8 MB and more each, and every one costs a process start.
//
// One renderer per site ("--process-per-site") lets all windows of one
// site (scheme and registrable domain, or the whole host for an IP address
// or a single name) share a renderer, so the count of renderers follows the
// count of sites, not of windows. On its own that switch would put every
// site the engine does not isolate into one shared renderer, so strict site
// isolation ("--site-per-process") goes with it: every site, and every
// cross-site frame, keeps processes of its own, and only pages that could
// reach each other anyway share one. The price: a renderer that hangs or
// crashes takes every window of its site with it. Rejected: a renderer limit
// ("--renderer-process-limit"), which puts unrelated sites into one process
// once the limit is reached, and a single process, which gives up isolation
// altogether.
//
// With strict isolation the engine also keeps a spare renderer started in
// advance. Here most windows go to the renderer of their site, so the spare
// seldom serves, and starting it competes with the first page at start-up
// on a small machine: it is switched off.
constexpr const char* kProcessModel[] = {"--process-per-site", "--site-per-process"};
constexpr char kDisableFeatures[] = "--disable-features=";
constexpr char kSpareRenderer[] = "SpareRendererForSitePerProcess";
// Switches with which the caller chose another model: left alone.
constexpr const char* kOtherModels[] = {"--process-per-tab", "--single-process"};

QPointer<QWebEngineProfile>& profileStore()
{
    static QPointer<QWebEngineProfile> profile;
    return profile;
}

// What the engine sets for the graphics driver as it starts.
constexpr char kDriverVariable[] = "force_s3tc_enable";
constexpr char kDriverValue[] = "true";

} // namespace

GraphicsFacts ReadGraphicsFacts()
{
    GraphicsFacts facts;
    facts.platform = qgetenv("QT_QPA_PLATFORM");
    for (const char* name : {"QT_QUICK_BACKEND", "QMLSCENE_DEVICE", "QSG_RHI_BACKEND"})
        if (facts.chosenBackend.isEmpty())
            facts.chosenBackend = qgetenv(name);
    const QByteArray software = qgetenv("LIBGL_ALWAYS_SOFTWARE");
    facts.softwareOpenGl = !software.isEmpty() && software != "0" && software != "false";
    const auto usable = [](const QString& path) {
        return ::access(QFile::encodeName(path).constData(), R_OK | W_OK) == 0;
    };
    const QStringList nodes =
        QDir(QStringLiteral("/dev/dri")).entryList({QStringLiteral("renderD*")}, QDir::System);
    facts.graphicsDevice = usable(QStringLiteral("/dev/nvidia0")) ||
                           std::any_of(nodes.begin(), nodes.end(), [&](const QString& node) {
                               return usable(QStringLiteral("/dev/dri/") + node);
                           });
    return facts;
}

bool DrawInSoftware(const GraphicsFacts& facts)
{
    if (!facts.chosenBackend.isEmpty())
        return false;
    // "name:arguments"
    const QByteArray platform = facts.platform.split(':').constFirst();
    if (platform == "offscreen" || platform == "minimal")
        return false;
    return facts.softwareOpenGl || !facts.graphicsDevice;
}

void PrepareWebEngine()
{
    if (DrawInSoftware(ReadGraphicsFacts()))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    QWebEngineUrlScheme scheme(kGeneratedScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    // Not secure (that would block http pictures on generated pages); local
    // access so that the picture list of a local page shows its pictures.
    scheme.setFlags(QWebEngineUrlScheme::LocalAccessAllowed);
    QWebEngineUrlScheme::registerScheme(scheme);

    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
            EngineFlagsWithProcessModel(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS")));
    // The engine's start then only replaces this value in place.
    if (!qEnvironmentVariableIsSet(kDriverVariable))
        qputenv(kDriverVariable, kDriverValue);
}

QByteArray EngineFlagsWithProcessModel(const QByteArray& flags)
{
    QList<QByteArray> switches = flags.simplified().split(' ');
    switches.removeAll(QByteArray());
    for (const char* other : kOtherModels)
        if (switches.contains(other))
            return flags;
    for (const char* model : kProcessModel)
        if (!switches.contains(model))
            switches.append(model);
    // The spare renderer joins the features the caller switched off.
    const auto disabled = std::find_if(switches.begin(), switches.end(), [](const QByteArray& s) {
        return s.startsWith(kDisableFeatures);
    });
    if (disabled == switches.end())
        switches.append(QByteArray(kDisableFeatures) + kSpareRenderer);
    else if (!disabled->mid(qsizetype(sizeof kDisableFeatures) - 1)
                  .split(',')
                  .contains(kSpareRenderer))
        *disabled += QByteArray(",") + kSpareRenderer;
    return switches.join(' ');
}

QThreadPool& StartupWorker()
{
    static QThreadPool worker;
    static const bool oneThread = [] {
        worker.setMaxThreadCount(1);
        return true;
    }();
    Q_UNUSED(oneThread);
    return worker;
}

StartupWarmUp::StartupWarmUp()
{
    StartupWorker().start([] {
        QFontDatabase::families();
        // Content that no built-in reader knows: every plugin is asked.
        QByteArray unknown(1, '\0');
        QBuffer device(&unknown);
        device.open(QIODevice::ReadOnly);
        QImageReader(&device).canRead();
    });
}

StartupWarmUp::~StartupWarmUp()
{
    StartupWorker().waitForDone();
}

QWebEngineProfile* BrowserProfile()
{
    QPointer<QWebEngineProfile>& profile = profileStore();
    if (!profile) {
        profile = new QWebEngineProfile(QStringLiteral("Orvane"), QCoreApplication::instance());
        profile->setPersistentStoragePath(DataFolder() + QStringLiteral("/Engine"));
        profile->setCachePath(DataFolder() + QStringLiteral("/Engine/Cache"));
        profile->settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);
        profile->settings()->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, true);
        // The handler of the program's own pages is installed before any page
        // loads: installing a handler makes the engine renew its loaders,
        // and loads under way at that moment never finish (windows opened
        // with a feed window among them kept "In Bearbeitung..." for good).
        GeneratedPages::Of(profile);
    }
    return profile;
}

bool HasBrowserProfile()
{
    return !profileStore().isNull();
}

void ReturnFreedMemory()
{
#if defined(__GLIBC__)
    ::malloc_trim(0);
#endif
}

} // namespace orv
