#pragma once

#include "app/recordio.h"

#include <QByteArrayView>
#include <QFile>
#include <QString>

#include <functional>

namespace orv {

// Replaces a bookmark file: the data goes to a new file next to it, which is
// renamed over the old one only when everything was written, so a crash or a
// full disk leaves either the old or the new file, never a partial one. The
// old file's permissions are kept. Unlike writeFileAtomic the data is not
// forced to the disk before the rename (the file system orders a
// rename-over-existing after the data), which keeps saving a whole archive of
// many folder files fast.
FileResult replaceFile(const QString& path, QByteArrayView content);

// As above, with the data written piece by piece: `produce` writes it to the
// open new file and returns False on a write error.
FileResult replaceFile(const QString& path, const std::function<bool(QFile&)>& produce);

// Removes a file; a missing file is no error.
FileResult removeFile(const QString& path);

} // namespace orv
