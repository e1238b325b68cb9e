#include "platform/engine.h"

#include "app/appinit.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlScheme>

#include <unistd.h>

namespace orv {
namespace {

QPointer<QWebEngineProfile>& profileStore()
{
    static QPointer<QWebEngineProfile> profile;
    return profile;
}

} // namespace

void PrepareWebEngine()
{
    QWebEngineUrlScheme scheme(kGeneratedScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    // Not secure (that would block http pictures on generated pages); local
    // access so that the picture list of a local page shows its pictures.
    scheme.setFlags(QWebEngineUrlScheme::LocalAccessAllowed);
    QWebEngineUrlScheme::registerScheme(scheme);

    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
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
    }
    return profile;
}

bool HasBrowserProfile()
{
    return !profileStore().isNull();
}

} // namespace orv
