#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFileDevice>
#include <QList>
#include <QString>

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

    void putInt16(int offset, int value);
    void putInt32(int offset, qint32 value);
    void putBool(int offset, bool value);
    void putFloat(int offset, float value);
    void putText(int offset, int width, QStringView text);
    void putBytes(int offset, QByteArrayView bytes);

    const QByteArray& data() const { return m_data; }

private:
    QByteArray m_data;
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
struct FileResult {
    bool ok = true;
    QString error;
    static FileResult failure(const QString& message) { return {false, message}; }
};

// Reads a whole file. A missing file gives ok with empty content when
// missingIsEmpty is set.
FileResult readWholeFile(const QString& path, QByteArray& content, bool missingIsEmpty = false);

// Replaces a file atomically: the data goes to a temporary file next to it,
// which is renamed over the old one only when everything was written. On any
// failure the old file stays as it was.
FileResult writeFileAtomic(const QString& path, QByteArrayView content,
                           QFileDevice::Permissions permissions = {});

// Banker's rounding of a Single to a 16-bit Integer (halves to the even
// neighbour), clamped to the Integer range.
qint16 roundToInt16(float value);

} // namespace orv
