#include "app/recordio.h"

#include <QFile>
#include <QSaveFile>
#include <QtEndian>

#include <cmath>
#include <cstring>
#include <limits>

namespace orv {
namespace {

// Code points of the bytes 0x80..0x9F; the rest of the code page equals
// Latin-1. Unassigned bytes map to the C1 control of the same value.
constexpr char16_t kHighTable[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char encodeChar(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return char(c);
    for (int i = 0; i < 32; ++i)
        if (kHighTable[i] == c)
            return char(0x80 + i);
    return '?';
}

} // namespace

QByteArray toCp1252(QStringView text)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    char* dst = out.data();
    const char16_t* src = text.utf16();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = src[i];
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(src[i + 1])) {
            // One character outside the code page, one "?".
            *dst++ = '?';
            ++i;
            continue;
        }
        *dst++ = encodeChar(c);
    }
    out.truncate(dst - out.data());
    return out;
}

QString fromCp1252(QByteArrayView bytes)
{
    QString out = QString::fromLatin1(bytes);
    // Only 0x80..0x9F differ from Latin-1; skip the fix-up pass for the
    // common all-ASCII field.
    const char* p = bytes.data();
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const auto b = static_cast<unsigned char>(p[i]);
        if (b >= 0x80 && b < 0xA0)
            out[i] = QChar(kHighTable[b - 0x80]);
    }
    return out;
}

RecordWriter::RecordWriter(int length) : m_data(length, '\0') {}

void RecordWriter::putInt16(int offset, int value)
{
    qToLittleEndian<qint16>(qint16(value), m_data.data() + offset);
}

void RecordWriter::putInt32(int offset, qint32 value)
{
    qToLittleEndian<qint32>(value, m_data.data() + offset);
}

void RecordWriter::putBool(int offset, bool value)
{
    putInt16(offset, value ? -1 : 0);
}

void RecordWriter::putFloat(int offset, float value)
{
    quint32 bits;
    std::memcpy(&bits, &value, sizeof bits);
    qToLittleEndian<quint32>(bits, m_data.data() + offset);
}

void RecordWriter::putText(int offset, int width, QStringView text)
{
    char* dst = m_data.data() + offset;
    int n = 0;
    const char16_t* src = text.utf16();
    const qsizetype len = text.size();
    for (qsizetype i = 0; i < len && n < width; ++i) {
        const char16_t c = src[i];
        if (QChar::isHighSurrogate(c) && i + 1 < len && QChar::isLowSurrogate(src[i + 1])) {
            dst[n++] = '?';
            ++i;
            continue;
        }
        dst[n++] = encodeChar(c);
    }
    if (n < width)
        std::memset(dst + n, ' ', size_t(width - n));
}

void RecordWriter::putBytes(int offset, QByteArrayView bytes)
{
    std::memcpy(m_data.data() + offset, bytes.data(), size_t(bytes.size()));
}

QByteArrayView RecordReader::field(int offset, int width) const
{
    if (offset >= m_record.size())
        return {};
    return m_record.sliced(offset, qMin<qsizetype>(width, m_record.size() - offset));
}

qint16 RecordReader::int16(int offset) const
{
    const QByteArrayView f = field(offset, 2);
    char buf[2] = {0, 0};
    std::memcpy(buf, f.data(), size_t(f.size()));
    return qFromLittleEndian<qint16>(buf);
}

qint32 RecordReader::int32(int offset) const
{
    const QByteArrayView f = field(offset, 4);
    char buf[4] = {0, 0, 0, 0};
    std::memcpy(buf, f.data(), size_t(f.size()));
    return qFromLittleEndian<qint32>(buf);
}

bool RecordReader::boolean(int offset) const
{
    return int16(offset) != 0;
}

float RecordReader::float32(int offset) const
{
    const quint32 bits = quint32(int32(offset));
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

quint8 RecordReader::byte(int offset) const
{
    return offset < m_record.size() ? quint8(m_record[offset]) : 0;
}

QString RecordReader::rawText(int offset, int width) const
{
    QByteArrayView f = field(offset, width);
    QString s = fromCp1252(f);
    // Missing bytes of a short record read as NULs.
    if (s.size() < width)
        s.append(QString(width - s.size(), QChar(0)));
    return s;
}

QString RecordReader::text(int offset, int width) const
{
    QByteArrayView f = field(offset, width);
    qsizetype begin = 0;
    qsizetype end = f.size();
    while (begin < end && f[begin] == ' ')
        ++begin;
    while (end > begin && f[end - 1] == ' ')
        --end;
    return fromCp1252(f.sliced(begin, end - begin));
}

QList<QByteArrayView> splitRecords(QByteArrayView content, int recordLength)
{
    QList<QByteArrayView> records;
    if (recordLength <= 0)
        return records;
    const qsizetype count = content.size() / recordLength;
    records.reserve(count);
    for (qsizetype i = 0; i < count; ++i)
        records.append(content.sliced(i * recordLength, recordLength));
    return records;
}

FileResult readWholeFile(const QString& path, QByteArray& content, bool missingIsEmpty)
{
    content.clear();
    QFile file(path);
    if (!file.exists()) {
        if (missingIsEmpty)
            return {};
        return FileResult::failure(QStringLiteral("Datei nicht gefunden: ") + path);
    }
    if (!file.open(QIODevice::ReadOnly))
        return FileResult::failure(QStringLiteral("Datei kann nicht gelesen werden: ") + path +
                                   QStringLiteral(" (") + file.errorString() +
                                   QStringLiteral(")"));
    content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return FileResult::failure(QStringLiteral("Fehler beim Lesen der Datei: ") + path +
                                   QStringLiteral(" (") + file.errorString() +
                                   QStringLiteral(")"));
    return {};
}

FileResult writeFileAtomic(const QString& path, QByteArrayView content,
                           QFileDevice::Permissions permissions)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return FileResult::failure(QStringLiteral("Datei kann nicht geschrieben werden: ") +
                                   path + QStringLiteral(" (") + file.errorString() +
                                   QStringLiteral(")"));
    if (permissions)
        file.setPermissions(permissions);
    // Flush before commit: commit() ignores a failed final flush (a full
    // disk) and would rename a truncated file into place.
    if (file.write(content.data(), content.size()) != content.size() || !file.flush() ||
        !file.commit())
        return FileResult::failure(QStringLiteral("Datei kann nicht geschrieben werden: ") +
                                   path + QStringLiteral(" (") + file.errorString() +
                                   QStringLiteral(")"));
    return {};
}

qint16 roundToInt16(float value)
{
    if (std::isnan(value))
        return 0;
    const double r = std::nearbyint(double(value)); // default mode: halves to even
    if (r > std::numeric_limits<qint16>::max())
        return std::numeric_limits<qint16>::max();
    if (r < std::numeric_limits<qint16>::min())
        return std::numeric_limits<qint16>::min();
    return qint16(r);
}

} // namespace orv
