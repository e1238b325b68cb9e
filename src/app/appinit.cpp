#include "app/appinit.h"

#include "app/texts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace orv {

const std::array<const char*, 12> MonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

namespace {

QString defaultDataFolder()
{
    QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (docs.isEmpty())
        docs = QDir::homePath();
    return QDir::cleanPath(docs + QStringLiteral("/OrvaneData-") + VersionText());
}

QString defaultAppFolder()
{
    // Installed: <prefix>/bin/orvane next to <prefix>/share/orvane.
    if (QCoreApplication::instance()) {
        const QString installed = QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                                  QStringLiteral("/../share/orvane"));
        if (QFileInfo::exists(installed))
            return installed;
    }
    return QStringLiteral(ORVANE_SOURCE_RESOURCES);
}

QString& dataFolderStore()
{
    static QString folder;
    return folder;
}

QString& appFolderStore()
{
    static QString folder;
    return folder;
}

} // namespace

const QString& VersionText()
{
    static const QString text = QString::number(ORVANE_VERSION_MAJOR) + QLatin1Char('.') +
                                QString::number(ORVANE_VERSION_MINOR) + QLatin1Char('.') +
                                QString::number(ORVANE_VERSION_PATCH);
    return text;
}

const QString& AppTitle()
{
    static const QString title = QStringLiteral("Orvane ") +
                                 QString::number(ORVANE_VERSION_MAJOR) + QLatin1Char('.') +
                                 QString::number(ORVANE_VERSION_MINOR);
    return title;
}

const QString& DataFolder()
{
    QString& folder = dataFolderStore();
    if (folder.isEmpty())
        folder = defaultDataFolder();
    return folder;
}

void SetDataFolder(const QString& folder)
{
    QString f = QDir::cleanPath(folder);
    while (f.size() > 1 && f.endsWith(QLatin1Char('/')))
        f.chop(1);
    dataFolderStore() = f;
}

void EnsureDataFolder()
{
    // All levels: a fresh account may have no documents folder yet.
    QDir().mkpath(DataFolder());
}

const QString& AppFolder()
{
    QString& folder = appFolderStore();
    if (folder.isEmpty())
        folder = defaultAppFolder();
    return folder;
}

void SetAppFolder(const QString& folder)
{
    appFolderStore() = QDir::cleanPath(folder);
}

QString ProductPageUrl()
{
    return Txt(104) + Txt(1111);
}

} // namespace orv
