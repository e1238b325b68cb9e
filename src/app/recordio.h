#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QFileDevice>
#include <QList>
#include <QString>

#include <functional>

namespace orv {

// Text of the data files: Windows code page 1252. Characters outside it are
// written as "?"; every byte reads back as a character, so reading never
// fails (the five bytes the code page leaves unassigned map to U+0081 etc.,
// as Windows does, and write back unchanged).
QByteArray toCp1252(QStringView text);
QString fromCp1252(QByteArrayView bytes);

// Writes text into dst[0, width) in code page 1252, cut to the width in
// bytes and padded with blanks: the text field of a record, for writers that
// build records in their own buffer (RecordWriter::putText does the same).
void putCp1252Field(char* dst, int width, QStringView text);

// Builds one fixed-length record. The buffer starts zero-filled; integers are
// little-endian, Booleans 16-bit (-1 true, 0 false), text fields are cut to
// their width in bytes and padded with blanks.
class RecordWriter {
public:
    explicit RecordWriter(int length);
    // Appends a zero-filled record of `length` bytes to `out` and writes
    // into it (many records into one file buffer without copies). `out`
    // must not change size while the writer is used.
    RecordWriter(QByteArray& out, int length);

    void putInt16(int offset, int value);
    void putInt32(int offset, qint32 value);
    void putBool(int offset, bool value);
    void putFloat(int offset, float value);
    void putText(int offset, int width, QStringView text);
    void putBytes(int offset, QByteArrayView bytes);

    // The record (for a writer that appends: the whole target buffer).
    const QByteArray& data() const { return m_target ? *m_target : m_data; }

private:
    char* base() { return (m_target ? m_target->data() : m_data.data()) + m_start; }

    QByteArray m_data;
    QByteArray* m_target = nullptr;
    qsizetype m_start = 0;
};

// Reads fields of one fixed-length record. Fields beyond the end of the data
// read as zero bytes (a short record behaves like one padded with NULs).
class RecordReader {
public:
    explicit RecordReader(QByteArrayView record) : m_record(record) {}

    qint16 int16(int offset) const;
    qint32 int32(int offset) const;
    bool boolean(int offset) const; // any non-zero value is true
    float float32(int offset) const;
    // The field trimmed of blanks (0x20 only) at both ends.
    QString text(int offset, int width) const;
    // The field as stored, padding included.
    QString rawText(int offset, int width) const;
    // The first byte of the field (0 beyond the end).
    quint8 byte(int offset) const;

private:
    QByteArrayView field(int offset, int width) const;
    QByteArrayView m_record;
};

// Splits file content into whole records; a trailing partial record is
// ignored.
QList<QByteArrayView> splitRecords(QByteArrayView content, int recordLength);

// Result of a file operation: ok, or a German message for the user.
struct [[nodiscard]] FileResult {
    bool ok = true;
    QString error;
    static FileResult failure(const QString& message) { return {false, message}; }
};

// Reads a whole file. A missing file gives ok with empty content when
// missingIsEmpty is set.
FileResult readWholeFile(const QString& path, QByteArray& content, bool missingIsEmpty = false);

// Opens a file that stored data name (a record of an index, a preference)
// for reading: only a regular file whose real path, links resolved, lies
// inside `allowedFolder`, of at most maxBytes bytes. The type is checked
// before the file is opened, so a device or a FIFO is never opened, and the
// open itself never waits. An empty allowedFolder allows every folder (a
// path the user chose in a file dialog); the other checks still hold. With
// missingIsEmpty a missing file is no error and `file` stays closed.
FileResult openStoredFile(const QString& path, const QString& allowedFolder, qint64 maxBytes,
                          QFile& file, bool missingIsEmpty = false);

// The same, the whole file read into `content` (empty for a missing file
// with missingIsEmpty).
FileResult readStoredFile(const QString& path, const QString& allowedFolder, qint64 maxBytes,
                          QByteArray& content, bool missingIsEmpty = false);

// Reads a record file piece by piece and hands over every whole record in
// order; a trailing partial record is ignored. `expected` is the number of
// whole records the file holds.
FileResult readRecords(const QString& path, int recordLength, qsizetype& expected,
                       const std::function<void(QByteArrayView)>& take);
// The same from a file opened for reading (by openStoredFile).
FileResult readRecords(QFile& file, int recordLength, qsizetype& expected,
                       const std::function<void(QByteArrayView)>& take);

// Replaces a file atomically without forcing the data to the disk first:
// the data goes to "<name>.new", which is renamed over the old file only
// when everything was written, so a crash or a full disk leaves the old or
// the new file, never a partial one (the file system orders a rename over an
// existing file after its data). The old file's permission bits are kept,
// and the temporary file has them from its creation on. For saves of many
// files at once (a whole bookmark archive), where forcing each one to the
// disk would cost more than the save itself.
FileResult replaceFileUnsynced(const QString& path, const std::function<bool(QFile&)>& produce);
FileResult replaceFileUnsynced(const QString& path, QByteArrayView content);

// Removes a file; a missing file is no error.
FileResult removeFile(const QString& path);

// Replaces a file atomically and durably: the data goes to a temporary file
// "<name>.XXXXXX" next to it, is forced to the disk and renamed over the old
// one only when everything was written. On any failure the old file stays as
// it was and the temporary file is removed. With `permissions` the new file
// has exactly those bits, and the temporary file has them (or narrower ones)
// from its creation on, so data meant for the owner only are never open to
// others, not even while they are written; without, the old file's bits are
// kept (a new file gets the usual ones).
FileResult writeFileAtomic(const QString& path, QByteArrayView content,
                           QFileDevice::Permissions permissions = {});
// The same, the content written by `produce` into the temporary file.
FileResult writeFileAtomicFrom(const QString& path, const std::function<bool(QFile&)>& produce,
                               QFileDevice::Permissions permissions = {});

// Removes what interrupted saves left in a data folder: the temporary files
// of replaceFileUnsynced ("<name>.new") and of writeFileAtomic
// ("<name>.XXXXXX", six letters or digits), and only those of data files
// (<name> ending in ".orp", ".bkm", ".nlt" or ".wlt"). Only regular files
// directly inside the folder are removed; links, folders and every other
// name stay. A data file that is a link (into a synced folder) is saved
// beside the file it leads to: the temporaries of exactly that file are
// removed there too. Meant for start-up, before anything is saved. Returns the first
// removal that failed (the rest are still tried).
FileResult RemoveStaleTemporaries(const QString& dataFolder);

// Banker's rounding of a Single to a 16-bit Integer (halves to the even
// neighbour), clamped to the Integer range.
qint16 roundToInt16(float value);

} // namespace orv
