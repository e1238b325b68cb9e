#include "app/recordio.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QtAlgorithms>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orv {
namespace {

// Copies n bytes; a copy of nothing never touches its pointers, which may
// then be null (the data of an empty view).
void copyBytes(void* dst, const void* src, size_t n)
{
    if (n != 0)
        std::memcpy(dst, src, n);
}

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

// Encodes text into dst, at most `room` bytes; returns the number written.
// A surrogate pair (one character outside the code page) gives one "?".
// Runs of characters that stand for themselves (below 0x80 or 0xA0..0xFF)
// are narrowed sixteen (or eight) at a time; the rest goes character by
// character.
qsizetype encodeInto(char* dst, qsizetype room, const char16_t* src, qsizetype n)
{
    qsizetype i = 0;
    qsizetype o = 0;
    while (i < n && o < room) {
        qsizetype scalarEnd = n;
#if defined(__SSE2__)
        const __m128i zero = _mm_setzero_si128();
        const __m128i latinMax = _mm_set1_epi16(0xFF);
        const __m128i c1Start = _mm_set1_epi16(0x80);
        const __m128i c1Span = _mm_set1_epi16(0x1F);
        auto selfMapped = [&](__m128i c) {
            // Lanes above 0xFF, and lanes in 0x80..0x9F (whose offset from
            // 0x80 saturates to zero after subtracting 0x1F), need the table.
            const __m128i latin = _mm_cmpeq_epi16(_mm_subs_epu16(c, latinMax), zero);
            const __m128i c1 =
                _mm_cmpeq_epi16(_mm_subs_epu16(_mm_sub_epi16(c, c1Start), c1Span), zero);
            return _mm_andnot_si128(c1, latin);
        };
        while (i + 16 <= n && o + 16 <= room) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i + 8));
            if (_mm_movemask_epi8(_mm_and_si128(selfMapped(a), selfMapped(b))) != 0xFFFF)
                break;
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + o), _mm_packus_epi16(a, b));
            i += 16;
            o += 16;
        }
        while (i + 8 <= n && o + 8 <= room) {
            const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
            if (_mm_movemask_epi8(selfMapped(c)) != 0xFFFF)
                break;
            _mm_storel_epi64(reinterpret_cast<__m128i*>(dst + o), _mm_packus_epi16(c, c));
            i += 8;
            o += 8;
        }
        // A block that needs the table goes character by character.
        scalarEnd = std::min(n, i + 8);
#endif
        while (i < scalarEnd && o < room) {
            const char16_t c = src[i];
            if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(src[i + 1])) {
                dst[o++] = '?';
                i += 2;
                continue;
            }
            dst[o++] = encodeChar(c);
            ++i;
        }
    }
    return o;
}

} // namespace

QByteArray toCp1252(QStringView text)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    out.truncate(encodeInto(out.data(), out.size(), text.utf16(), text.size()));
    return out;
}

QString fromCp1252(QByteArrayView bytes)
{
    const char* p = bytes.data();
    const qsizetype n = bytes.size();
    if (n == 0)
        return QString::fromLatin1(bytes);
    QString out(n, Qt::Uninitialized);
    char16_t* d = reinterpret_cast<char16_t*>(out.data());
    qsizetype i = 0;
#if defined(__SSE2__)
    // Widened sixteen bytes at a time; the few bytes 0x80..0x9F are then
    // looked up one by one.
    const __m128i zero = _mm_setzero_si128();
    const __m128i c1Start = _mm_set1_epi8(char(0x80));
    const __m128i c1Span = _mm_set1_epi8(0x1F);
    for (; i + 16 <= n; i += 16) {
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_unpacklo_epi8(b, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i + 8), _mm_unpackhi_epi8(b, zero));
        const __m128i t = _mm_sub_epi8(b, c1Start);
        auto hits = quint32(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(t, c1Span), t)));
        while (hits != 0) {
            const qsizetype k = i + qCountTrailingZeroBits(hits);
            d[k] = kHighTable[static_cast<unsigned char>(p[k]) - 0x80];
            hits &= hits - 1;
        }
    }
#endif
    for (; i < n; ++i) {
        const auto b = static_cast<unsigned char>(p[i]);
        d[i] = (b >= 0x80 && b < 0xA0) ? kHighTable[b - 0x80] : char16_t(b);
    }
    return out;
}

void putCp1252Field(char* dst, int width, QStringView text)
{
    if (width <= 0)
        return;
    const qsizetype n = encodeInto(dst, width, text.utf16(), text.size());
    if (n < width)
        std::memset(dst + n, ' ', size_t(width - n));
}

RecordWriter::RecordWriter(int length) : m_data(length, '\0') {}

RecordWriter::RecordWriter(QByteArray& out, int length) : m_target(&out), m_start(out.size())
{
    out.append(length, '\0');
}

void RecordWriter::putInt16(int offset, int value)
{
    qToLittleEndian<qint16>(qint16(value), base() + offset);
}

void RecordWriter::putInt32(int offset, qint32 value)
{
    qToLittleEndian<qint32>(value, base() + offset);
}

void RecordWriter::putBool(int offset, bool value)
{
    putInt16(offset, value ? -1 : 0);
}

void RecordWriter::putFloat(int offset, float value)
{
    quint32 bits;
    std::memcpy(&bits, &value, sizeof bits);
    qToLittleEndian<quint32>(bits, base() + offset);
}

void RecordWriter::putText(int offset, int width, QStringView text)
{
    putCp1252Field(base() + offset, width, text);
}

void RecordWriter::putBytes(int offset, QByteArrayView bytes)
{
    copyBytes(base() + offset, bytes.data(), size_t(bytes.size()));
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
    copyBytes(buf, f.data(), size_t(f.size()));
    return qFromLittleEndian<qint16>(buf);
}

qint32 RecordReader::int32(int offset) const
{
    const QByteArrayView f = field(offset, 4);
    char buf[4] = {0, 0, 0, 0};
    copyBytes(buf, f.data(), size_t(f.size()));
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
                                   QStringLiteral(" (") + file.errorString() + QStringLiteral(")"));
    content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return FileResult::failure(QStringLiteral("Fehler beim Lesen der Datei: ") + path +
                                   QStringLiteral(" (") + file.errorString() + QStringLiteral(")"));
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

// --- streaming record reader --------------------------------------------------------

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

FileResult readRecords(const QString& path, int recordLength, qsizetype& expected,
                       const std::function<void(QByteArrayView)>& take)
{
    expected = 0;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return readFailure(file);
    return readRecords(file, recordLength, expected, take);
}

FileResult readRecords(QFile& file, int recordLength, qsizetype& expected,
                       const std::function<void(QByteArrayView)>& take)
{
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

// --- files named by stored data ----------------------------------------------------------

namespace {

FileResult storedFailure(const QString& path, const QString& reason)
{
    return FileResult::failure(QStringLiteral("Datei kann nicht gelesen werden: ") + path +
                               QStringLiteral(" (") + reason + QStringLiteral(")"));
}

QString errnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

bool isInside(const QString& real, const QString& folder)
{
    if (folder == u"/")
        return real.startsWith(u'/') && real.size() > 1;
    return real.size() > folder.size() + 1 && real.startsWith(folder) &&
           real.at(folder.size()) == u'/';
}

} // namespace

FileResult openStoredFile(const QString& path, const QString& allowedFolder, qint64 maxBytes,
                          QFile& file, bool missingIsEmpty)
{
    file.close();
    QByteArray name = QFile::encodeName(path);
    struct stat before {};
    if (::lstat(name.constData(), &before) != 0) {
        if (errno != ENOENT && errno != ENOTDIR)
            return storedFailure(path, errnoText(errno));
        if (missingIsEmpty)
            return {};
        return FileResult::failure(QStringLiteral("Datei nicht gefunden: ") + path);
    }
    // The real path, every link and ".." resolved, must lie inside the
    // folder.
    const QString real = QFileInfo(path).canonicalFilePath();
    if (real.isEmpty()) // a link that leads nowhere
        return storedFailure(path, QStringLiteral("keine gewöhnliche Datei"));
    if (!allowedFolder.isEmpty()) {
        const QString folder = QFileInfo(allowedFolder).canonicalFilePath();
        if (folder.isEmpty() || !isInside(real, folder))
            return storedFailure(path, QStringLiteral("liegt außerhalb von ") + allowedFolder);
    }
    name = QFile::encodeName(real);
    if (::stat(name.constData(), &before) != 0)
        return storedFailure(path, errnoText(errno));
    // The type before the open: opening a FIFO could wait for ever, a
    // device could be endless.
    if (!S_ISREG(before.st_mode))
        return storedFailure(path, QStringLiteral("keine gewöhnliche Datei"));
    if (before.st_size > maxBytes)
        return storedFailure(path, QStringLiteral("größer als ") + QString::number(maxBytes) +
                                       QStringLiteral(" Bytes"));
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return storedFailure(path, errnoText(errno));
    // The file opened must be the one checked, not something put in its
    // place meanwhile.
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) || opened.st_dev != before.st_dev ||
        opened.st_ino != before.st_ino || opened.st_size > maxBytes) {
        ::close(fd);
        return storedFailure(path, QStringLiteral("keine gewöhnliche Datei"));
    }
    file.setFileName(path); // for messages
    if (!file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return storedFailure(path, file.errorString());
    }
    return {};
}

FileResult readStoredFile(const QString& path, const QString& allowedFolder, qint64 maxBytes,
                          QByteArray& content, bool missingIsEmpty)
{
    content.clear();
    QFile file;
    const FileResult opened = openStoredFile(path, allowedFolder, maxBytes, file, missingIsEmpty);
    if (!opened.ok || !file.isOpen())
        return opened;
    content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        const QString reason = file.errorString();
        content.clear();
        return storedFailure(path, reason);
    }
    // A file that grew past the limit since the check is refused too.
    if (content.size() > maxBytes) {
        content.clear();
        return storedFailure(path, QStringLiteral("größer als ") + QString::number(maxBytes) +
                                       QStringLiteral(" Bytes"));
    }
    return {};
}

// --- atomic replace ---------------------------------------------------------------------

namespace {

// The temporary file of replaceFileUnsynced is the target's name plus this.
const QLatin1String kUnsyncedSuffix(".new");
// writeFileAtomic's temporary file is the target's name, a dot and this many
// letters or digits (the names RemoveStaleTemporaries knows).
constexpr int kUniqueSuffixLength = 6;
// Tries for a free unique temporary name before giving up.
constexpr int kUniqueNameAttempts = 100;

FileResult replaceFailure(const QString& path, const QString& reason)
{
    return FileResult::failure(QStringLiteral("Datei kann nicht geschrieben werden: ") + path +
                               QStringLiteral(" (") + reason + QStringLiteral(")"));
}

QString errnoReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

mode_t unixMode(QFileDevice::Permissions permissions)
{
    mode_t mode = 0;
    const auto add = [&](QFileDevice::Permission permission, mode_t bit) {
        if (permissions.testFlag(permission))
            mode |= bit;
    };
    add(QFileDevice::ReadOwner, S_IRUSR);
    add(QFileDevice::WriteOwner, S_IWUSR);
    add(QFileDevice::ExeOwner, S_IXUSR);
    add(QFileDevice::ReadUser, S_IRUSR);
    add(QFileDevice::WriteUser, S_IWUSR);
    add(QFileDevice::ExeUser, S_IXUSR);
    add(QFileDevice::ReadGroup, S_IRGRP);
    add(QFileDevice::WriteGroup, S_IWGRP);
    add(QFileDevice::ExeGroup, S_IXGRP);
    add(QFileDevice::ReadOther, S_IROTH);
    add(QFileDevice::WriteOther, S_IWOTH);
    add(QFileDevice::ExeOther, S_IXOTH);
    return mode;
}

QByteArray uniqueSuffix()
{
    static constexpr char kAlphabet[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray suffix(kUniqueSuffixLength + 1, '.');
    for (int i = 1; i <= kUniqueSuffixLength; ++i)
        suffix[i] = kAlphabet[QRandomGenerator::global()->bounded(int(sizeof kAlphabet) - 1)];
    return suffix;
}

// The file a path leads to: links followed (a save writes through a link to
// its target, as the user set it up).
QString resolveLinks(const QString& path)
{
    QFileInfo target(path);
    constexpr int kMaxLinkDepth = 40;
    for (int depth = 0; depth < kMaxLinkDepth && target.isSymLink(); ++depth)
        target.setFile(target.symLinkTarget());
    return target.filePath();
}

struct ReplaceOptions {
    bool uniqueTemporary = false; // "<name>.XXXXXX" instead of "<name>.new"
    bool sync = false;            // data and name forced to the disk before returning
    std::optional<mode_t> mode;   // fixed permission bits, else the old file's
};

// Writes a temporary file beside the target and renames it over the target
// once everything was written. The temporary file has its final permission
// bits, or narrower ones, from its creation on: a file with fixed bits is
// created with those bits (the umask can only narrow them) and set to them
// exactly before anything is written; otherwise it takes the old file's
// bits, and a new file the usual ones. On any failure the temporary file is
// removed and the old file stays as it was.
FileResult replaceFile(const QString& path, const std::function<bool(QFile&)>& produce,
                       const ReplaceOptions& options)
{
    const QString real = resolveLinks(path);
    if (QFileInfo(real).isDir())
        return replaceFailure(path, QStringLiteral("Ziel ist ein Verzeichnis"));
    const QByteArray realName = QFile::encodeName(real);

    struct stat old {};
    const bool replacing = ::stat(realName.constData(), &old) == 0;
    mode_t mode = 0666;
    bool setMode = false;
    if (options.mode) {
        mode = *options.mode & 0777;
        setMode = true;
    } else if (replacing) {
        mode = old.st_mode & 0777;
        setMode = true;
    }

    QByteArray tempName;
    int fd = -1;
    if (options.uniqueTemporary) {
        for (int attempt = 0; attempt < kUniqueNameAttempts && fd < 0; ++attempt) {
            tempName = realName + uniqueSuffix();
            fd = ::open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            if (fd < 0 && errno != EEXIST)
                break;
        }
    } else {
        tempName = realName + QByteArray(kUnsyncedSuffix.data(), kUnsyncedSuffix.size());
        const auto create = [&] {
            return ::open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        };
        // The program runs once per user, so a file of this name can only be
        // left over from an interrupted save: it is dropped.
        fd = create();
        if (fd < 0 && errno == EEXIST && ::unlink(tempName.constData()) == 0)
            fd = create();
    }
    if (fd < 0)
        return replaceFailure(path, errnoReason(errno));
    // Creation applies the umask; the bits are then set as they must be.
    if (setMode && ::fchmod(fd, mode) != 0) {
        const int error = errno;
        ::close(fd);
        ::unlink(tempName.constData());
        return replaceFailure(path, errnoReason(error));
    }

    QFile temp;
    if (!temp.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered,
                   QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        ::unlink(tempName.constData());
        return replaceFailure(path, temp.errorString());
    }
    bool ok = produce(temp) && temp.error() == QFileDevice::NoError;
    QString reason = temp.errorString();
    if (ok && options.sync && ::fsync(temp.handle()) != 0) {
        reason = errnoReason(errno);
        ok = false;
    }
    temp.close();
    ok = ok && temp.error() == QFileDevice::NoError;
    if (!ok) {
        ::unlink(tempName.constData());
        return replaceFailure(path, reason);
    }
    if (std::rename(tempName.constData(), realName.constData()) != 0) {
        ::unlink(tempName.constData());
        return replaceFailure(path, QStringLiteral("Umbenennen fehlgeschlagen"));
    }
    if (options.sync) {
        // The new name reaches the disk with the folder (best effort: some
        // file systems cannot sync a folder).
        const QByteArray folder = QFile::encodeName(QFileInfo(real).absolutePath());
        const int dirFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dirFd >= 0) {
            ::fsync(dirFd);
            ::close(dirFd);
        }
    }
    return {};
}

std::function<bool(QFile&)> writeAll(QByteArrayView content)
{
    return [content](QFile& file) {
        return file.write(content.data(), content.size()) == content.size();
    };
}

} // namespace

FileResult replaceFileUnsynced(const QString& path, QByteArrayView content)
{
    return replaceFileUnsynced(path, writeAll(content));
}

FileResult replaceFileUnsynced(const QString& path, const std::function<bool(QFile&)>& produce)
{
    return replaceFile(path, produce, {});
}

FileResult writeFileAtomic(const QString& path, QByteArrayView content,
                           QFileDevice::Permissions permissions)
{
    return writeFileAtomicFrom(path, writeAll(content), permissions);
}

FileResult writeFileAtomicFrom(const QString& path, const std::function<bool(QFile&)>& produce,
                               QFileDevice::Permissions permissions)
{
    ReplaceOptions options;
    options.uniqueTemporary = true;
    options.sync = true;
    if (permissions)
        options.mode = unixMode(permissions);
    return replaceFile(path, produce, options);
}

FileResult removeFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return {};
    QFile file(path);
    if (!file.remove())
        return FileResult::failure(QStringLiteral("Datei kann nicht gelöscht werden: ") + path +
                                   QStringLiteral(" (") + file.errorString() + QStringLiteral(")"));
    return {};
}

// --- stale temporaries -----------------------------------------------------------------

namespace {

// Letters or digits that writeFileAtomic puts after the target's name (the
// name is "<target>.XXXXXX").
constexpr int kSaveFilePlaceholder = kUniqueSuffixLength;

bool isSaveFileSuffix(QStringView suffix)
{
    if (suffix.size() != kSaveFilePlaceholder)
        return false;
    return std::all_of(suffix.begin(), suffix.end(), [](QChar c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
    });
}

// A data file the program writes: a name before one of the data extensions.
bool isDataFileName(QStringView name)
{
    for (QLatin1String extension : {QLatin1String(".orp"), QLatin1String(".bkm"),
                                    QLatin1String(".nlt"), QLatin1String(".wlt")})
        if (name.size() > extension.size() && name.endsWith(extension, Qt::CaseInsensitive))
            return true;
    return false;
}

// True for "<data file>.new" and "<data file>.XXXXXX".
bool isStaleTemporaryName(QStringView name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot <= 0)
        return false;
    const QStringView suffix = name.sliced(dot);
    if (suffix != kUnsyncedSuffix && !isSaveFileSuffix(suffix.sliced(1)))
        return false;
    return isDataFileName(name.first(dot));
}

} // namespace

namespace {

// True for "<target>.new" and "<target>.XXXXXX" of exactly this target name.
bool isTemporaryOf(QStringView name, QStringView target)
{
    if (name.size() <= target.size() + 1 || !name.startsWith(target) ||
        name.at(target.size()) != u'.')
        return false;
    const QStringView suffix = name.sliced(target.size());
    return suffix == kUnsyncedSuffix || isSaveFileSuffix(suffix.sliced(1));
}

// Removes the regular files of `folder` whose names `stale` picks.
void removeStaleIn(const QString& folder, const std::function<bool(QStringView)>& stale,
                   FileResult& first)
{
    const QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& entry : entries) {
        if (entry.isSymLink() || !entry.isFile() || !stale(entry.fileName()))
            continue;
        const FileResult removed = removeFile(entry.filePath());
        if (!removed.ok && first.ok)
            first = removed;
    }
}

} // namespace

FileResult RemoveStaleTemporaries(const QString& dataFolder)
{
    FileResult first;
    removeStaleIn(dataFolder, isStaleTemporaryName, first);
    // A data file linked elsewhere is saved beside the file the link leads
    // to: its temporaries are there, named after that file.
    const QFileInfoList links =
        QDir(dataFolder).entryInfoList(QDir::Files | QDir::System | QDir::Hidden);
    for (const QFileInfo& link : links) {
        if (!link.isSymLink() || !isDataFileName(link.fileName()))
            continue;
        const QFileInfo target(resolveLinks(link.filePath()));
        const QString targetName = target.fileName();
        if (target.absolutePath() == QFileInfo(dataFolder).absoluteFilePath() &&
            isDataFileName(targetName))
            continue; // already looked at above
        removeStaleIn(
            target.absolutePath(),
            [&targetName](QStringView name) { return isTemporaryOf(name, targetName); }, first);
    }
    return first;
}

} // namespace orv
