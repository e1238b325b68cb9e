#include "bookmarks/recordfile.h"

#include <QFile>

namespace orv {
namespace {

// Reads up to n bytes, fewer only at the end of the file or on an error
// (-1 when nothing could be read).
qint64 readFully(QFile& file, char* data, qint64 n)
{
    qint64 total = 0;
    while (total < n) {
        const qint64 got = file.read(data + total, n - total);
        if (got <= 0)
            return total > 0 ? total : got;
        total += got;
    }
    return total;
}

FileResult readFailure(const QFile& file)
{
    return FileResult::failure(QStringLiteral("Fehler beim Lesen der Datei: ") + file.fileName() +
                               QStringLiteral(" (") + file.errorString() + QStringLiteral(")"));
}

} // namespace

FileResult ReadRecords(const QString& path, int recordLength, qsizetype& expected,
                       const std::function<void(QByteArrayView)>& take)
{
    expected = 0;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return readFailure(file);
    expected = qsizetype(file.size() / recordLength);

    constexpr qint64 kChunkBytes = 64 * 1024;
    const qint64 chunkRecords = std::max<qint64>(1, kChunkBytes / recordLength);
    QByteArray buffer(chunkRecords * recordLength, Qt::Uninitialized);
    for (;;) {
        const qint64 got = readFully(file, buffer.data(), buffer.size());
        if (got < 0)
            return readFailure(file);
        const qint64 records = got / recordLength;
        for (qint64 i = 0; i < records; ++i)
            take(QByteArrayView(buffer.constData() + i * recordLength, recordLength));
        if (got < buffer.size())
            break;
    }
    return {};
}

} // namespace orv
