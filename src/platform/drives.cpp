#include "platform/drives.h"

#include <QFileInfo>
#include <QSet>
#include <QStorageInfo>

#include <algorithm>

namespace orv {

bool IsReadableFolder(const QString& path)
{
    const QFileInfo info(path);
    return info.isDir() && info.isReadable() && info.isExecutable();
}

QList<DriveEntry> SelectDrives(const QList<MountedVolume>& volumes,
                               const std::function<bool(const QString&)>& readableFolder)
{
    QList<DriveEntry> drives;
    QSet<QString> seen;
    for (const MountedVolume& volume : volumes) {
        if (!volume.valid || !volume.ready || volume.rootPath.isEmpty())
            continue;
        const bool root = volume.rootPath == QLatin1String("/");
        if (!root && !volume.device.startsWith(QLatin1String("/dev/")))
            continue;
        if (volume.fileSystemType.compare(QLatin1String("squashfs"), Qt::CaseInsensitive) == 0)
            continue;
        if (seen.contains(volume.rootPath))
            continue;
        // Bind mounts of single files and folders the user cannot list are
        // no drives to browse.
        if (!readableFolder(volume.rootPath))
            continue;
        seen.insert(volume.rootPath);
        drives.append({volume.rootPath, volume.rootPath});
    }
    std::sort(drives.begin(), drives.end(),
              [](const DriveEntry& a, const DriveEntry& b) { return a.path < b.path; });
    return drives;
}

QList<DriveEntry> ReadableDrives()
{
    QList<MountedVolume> volumes;
    const QList<QStorageInfo> mounted = QStorageInfo::mountedVolumes();
    volumes.reserve(mounted.size());
    for (const QStorageInfo& info : mounted) {
        MountedVolume volume;
        volume.rootPath = info.rootPath();
        volume.device = QString::fromLocal8Bit(info.device());
        volume.fileSystemType = QString::fromLatin1(info.fileSystemType());
        volume.valid = info.isValid();
        volume.ready = info.isReady();
        volumes.append(volume);
    }
    // The root folder is always there to browse, also where the system lists
    // it as a pseudo file system (the overlay of a container).
    if (std::none_of(volumes.cbegin(), volumes.cend(),
                     [](const MountedVolume& v) { return v.rootPath == QLatin1String("/"); })) {
        const QStorageInfo root = QStorageInfo::root();
        volumes.append({QStringLiteral("/"), QString::fromLocal8Bit(root.device()),
                        QString::fromLatin1(root.fileSystemType()), true, true});
    }
    return SelectDrives(volumes);
}

} // namespace orv
