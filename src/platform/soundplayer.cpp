#include "platform/soundplayer.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace orv {

namespace {

// Installed: <prefix>/bin/orvane and <prefix>/<libdir>/orvane/modules/orvane-sound.so;
// a program run from the build takes the module built with it.
QString ModulePath()
{
    const QString installed = QDir::cleanPath(
        QCoreApplication::applicationDirPath() +
        QStringLiteral("/../" ORVANE_INSTALL_LIBDIR "/orvane/modules/orvane-sound.so"));
    return QFileInfo::exists(installed) ? installed : QStringLiteral(ORVANE_SOUND_MODULE_BUILT);
}

MakeSoundPlayerFunction ResolveModule()
{
    QLibrary module(ModulePath());
    const auto make = reinterpret_cast<MakeSoundPlayerFunction>(module.resolve(kMakeSoundPlayer));
    if (!make)
        qWarning().noquote() << "Das Tonmodul fehlt:" << module.errorString();
    // The module stays loaded for the rest of the run.
    return make;
}

} // namespace

SoundPlayer* LoadSoundPlayer(QObject* parent)
{
    static const MakeSoundPlayerFunction make = ResolveModule();
    return make ? make(parent) : nullptr;
}

} // namespace orv
