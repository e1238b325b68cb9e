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

// The file CMake leaves at the top of every build folder.
constexpr const char* BuildTreeMarker = "CMakeCache.txt";

QString defaultDataFolder()
{
    QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (docs.isEmpty())
        docs = QDir::homePath();
    return QDir::cleanPath(docs + QStringLiteral("/OrvaneData-") + VersionText());
}

QString defaultAppFolder()
{
    // Without an application object the program's place is unknown: only tests
    // and tools of the build tree get here.
    if (!QCoreApplication::instance())
        return QStringLiteral(ORVANE_SOURCE_RESOURCES);
    return FindAppFolder(QCoreApplication::applicationDirPath(),
                         QStringLiteral(ORVANE_SOURCE_RESOURCES));
}

// Whether `folder` or one above it is a CMake build folder.
bool inBuildTree(const QString& folder)
{
    QDir dir(folder);
    do {
        if (dir.exists(QLatin1String(BuildTreeMarker)))
            return true;
    } while (dir.cdUp());
    return false;
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
    static const QString title = QStringLiteral("Orvane ") + QString::number(ORVANE_VERSION_MAJOR) +
                                 QLatin1Char('.') + QString::number(ORVANE_VERSION_MINOR);
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

FileResult EnsureDataFolder()
{
    // All levels: a fresh account may have no documents folder yet.
    const QString& folder = DataFolder();
    if (QDir().mkpath(folder) && QFileInfo(folder).isDir())
        return {};
    // The first level that is missing or no folder tells why.
    QString reason = QStringLiteral("kein Ordner");
    QFileInfo level(folder);
    while (!level.exists() && level.absolutePath() != level.absoluteFilePath())
        level.setFile(level.absolutePath());
    if (level.isDir() && !level.isWritable())
        reason = QStringLiteral("keine Schreibberechtigung in ") + level.absoluteFilePath();
    else if (level.exists() && !level.isDir())
        reason = level.absoluteFilePath() + QStringLiteral(" ist kein Ordner");
    return FileResult::failure(QStringLiteral("Der Datenordner kann nicht angelegt werden: ") +
                               folder + QStringLiteral(" (") + reason + QStringLiteral(")"));
}

const QString& AppFolder()
{
    QString& folder = appFolderStore();
    if (folder.isEmpty())
        folder = defaultAppFolder();
    return folder;
}

QString FindAppFolder(const QString& programDir, const QString& sourceResources)
{
    // Installed: <prefix>/bin/orvane next to <prefix>/share/orvane.
    const QString installed =
        QDir::cleanPath(programDir + QLatin1Char('/') + QLatin1String(InstalledAppFolder));
    if (QFileInfo(installed).isDir())
        return installed;
    if (inBuildTree(programDir) && QFileInfo(sourceResources).isDir())
        return QDir::cleanPath(sourceResources);
    // An installation that lost its program folder: the missing files show up
    // as such instead of being taken from a source tree that happens to exist.
    return installed;
}

void SetAppFolder(const QString& folder)
{
    appFolderStore() = QDir::cleanPath(folder);
}

QString ProgramFileNow(const QString& stored, const QString& appFolder)
{
    if (stored.isEmpty() || !QFileInfo(stored).isAbsolute() || QFileInfo::exists(stored))
        return stored;
    const QStringList folderNames = {QFileInfo(QLatin1String(InstalledAppFolder)).fileName(),
                                     QFileInfo(QStringLiteral(ORVANE_SOURCE_RESOURCES)).fileName()};
    const QStringList parts = QDir::cleanPath(stored).split(u'/', Qt::SkipEmptyParts);
    // The nearest program folder above the file names it.
    for (qsizetype i = parts.size() - 2; i >= 0; --i) {
        if (!folderNames.contains(parts.at(i)))
            continue;
        const QString now = appFolder + u'/' + parts.sliced(i + 1).join(u'/');
        return QFileInfo(now).isFile() ? QDir::cleanPath(now) : stored;
    }
    return stored;
}

QString ProductPageUrl()
{
    return Txt(104) + Txt(1111);
}

} // namespace orv
