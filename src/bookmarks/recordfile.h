#pragma once

#include "app/recordio.h"

#include <QByteArrayView>
#include <QString>

#include <functional>

namespace orv {

// Reads the fixed-length records of a file in small pieces through one buffer
// that stays in the cache, calling `take` with each whole record in file
// order; a trailing partial record is ignored. `expected` receives the
// number of whole records the file's size promises (before reading). A read
// error stops the walk: the records before it have been handed over and the
// error is returned. The file must exist.
FileResult ReadRecords(const QString& path, int recordLength, qsizetype& expected,
                       const std::function<void(QByteArrayView)>& take);

} // namespace orv
