#pragma once

#include <QList>
#include <QString>

#include <functional>

namespace orv {

// One mounted file system as the drive menu lists it.
struct DriveEntry {
    QString caption; // the mount path as shown ("/", "/home", "/media/usb")
    QString path;    // the folder to open
};

// What the system reports about one mounted file system.
struct MountedVolume {
    QString rootPath;
    QString device;
    QString fileSystemType;
    bool valid = false;
    bool ready = false;
};

// Whether the user may list a folder (a readable, enterable directory).
bool IsReadableFolder(const QString& path);

// The drive entries among `volumes`: valid and ready file systems on real
// devices (a device under /dev; the root folder always counts, whatever its
// device), not read-only image mounts (squashfs), that the user can list.
// Sorted by mount path, each path once.
QList<DriveEntry>
SelectDrives(const QList<MountedVolume>& volumes,
             const std::function<bool(const QString&)>& readableFolder = IsReadableFolder);

// The drive entries of the file systems mounted now.
QList<DriveEntry> ReadableDrives();

} // namespace orv
