#include "bookmarks/thema.h"

#include "app/recordio.h"

#include <QFile>
#include <QtEndian>

#include <limits>
#include <vector>

namespace orv {
namespace {

// Lists are never pre-sized beyond this, whatever size a file claims.
constexpr qsizetype kReserveLimit = 1 << 16;

} // namespace

BookmarkList& Thema::ensureColBookmark()
{
    if (!m_bookmarks)
        m_bookmarks.emplace();
    return *m_bookmarks;
}

void Thema::setColBookmark(BookmarkList list)
{
    m_bookmarks = std::move(list);
}

qint16 Thema::GetNewKey()
{
    if (m_itCounter < std::numeric_limits<qint16>::max()) {
        ++m_itCounter;
        return m_itCounter;
    }
    // Numbers exhausted: the smallest positive number that is still free.
    std::vector<bool> used(size_t(std::numeric_limits<qint16>::max()) + 1, false);
    if (m_bookmarks)
        for (const Bookmark& b : *m_bookmarks)
            if (b.Nr > 0)
                used[size_t(b.Nr)] = true;
    for (size_t nr = 1; nr < used.size(); ++nr)
        if (!used[nr])
            return qint16(nr);
    return m_itCounter;
}

QString Thema::filePath(const QString& folder) const
{
    return folder + u'/' + m_fileName;
}

bool Thema::hasSafeFileName() const
{
    if (m_fileName.isEmpty() || m_fileName == u"." || m_fileName == u"..")
        return false;
    if (m_fileName.contains(u'/') || m_fileName.contains(u'\\') || m_fileName.contains(QChar(0)))
        return false;
    // Neither the folder index nor a temporary file of a save.
    return m_fileName.compare(u"Book.bkm", Qt::CaseInsensitive) != 0 &&
           !m_fileName.endsWith(u".new", Qt::CaseInsensitive);
}

QString Thema::KeyFor(qint32 nr)
{
    return u'>' + QString::number(nr);
}

FileResult Thema::LoadBookmarks(const QString& folder)
{
    if (!hasSafeFileName()) {
        m_itCounter = 0;
        return FileResult::failure(QStringLiteral("Ungültiger Dateiname des Ordners '") +
                                   m_dirName + QStringLiteral("': ") + m_fileName);
    }
    // The file is opened only when it is a regular file inside the folder.
    QFile file;
    const FileResult opened =
        openStoredFile(filePath(folder), folder, MaxFolderFileBytes, file, true);
    if (!opened.ok) {
        m_itCounter = 0;
        return opened;
    }
    if (!file.isOpen()) {
        // A folder whose file is missing is an empty folder; its file is
        // created empty (best effort).
        QFile created(filePath(folder));
        if (created.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            created.close();
        m_itCounter = 0;
        return {};
    }
    // A read error ends the list with what was read so far.
    BookmarkList list;
    qsizetype expected = 0;
    const FileResult result =
        readRecords(file, BookmarkRecordLength, expected, [&](QByteArrayView record) {
            if (list.isEmpty())
                list.reserve(std::min<qsizetype>(expected, kReserveLimit));
            Bookmark b = ReadBookmarkRecord(record);
            // Numbered by position, whatever the record says.
            b.Nr = qint16(list.count() + 1);
            const QString key = Bookmark::KeyFor(m_nr, b.Nr);
            list.append(std::move(b), key);
        });

    if (list.isEmpty()) {
        m_itCounter = 0;
        return result;
    }
    m_itCounter = qint16(std::min<qsizetype>(list.count(), std::numeric_limits<qint16>::max()));
    m_bookmarks = std::move(list);
    return result;
}

FileResult Thema::SaveBookmarks(const QString& folder)
{
    if (!hasSafeFileName())
        return FileResult::failure(QStringLiteral("Ungültiger Dateiname des Ordners '") +
                                   m_dirName + QStringLiteral("': ") + m_fileName);
    const QString path = filePath(folder);
    if (!m_bookmarks) {
        // A folder without bookmark list leaves no file.
        FileResult removed = removeFile(path);
        if (removed.ok)
            m_isEdit = false;
        return removed;
    }
    // Records are built in a small buffer that stays in the cache and
    // written piece by piece.
    const BookmarkList& list = *m_bookmarks;
    auto produce = [&list](QFile& file) {
        constexpr int kChunkRecords = 16;
        QByteArray buffer;
        buffer.reserve(kChunkRecords * BookmarkRecordLength);
        int position = 0;
        for (const Bookmark& b : list) {
            AppendBookmarkRecord(buffer, b, ++position);
            if (buffer.size() == kChunkRecords * BookmarkRecordLength) {
                if (file.write(buffer) != buffer.size())
                    return false;
                buffer.resize(0);
            }
        }
        return buffer.isEmpty() || file.write(buffer) == buffer.size();
    };
    FileResult result = replaceFileUnsynced(path, produce);
    if (result.ok)
        m_isEdit = false;
    return result;
}

FileResult ReadFolderFile(const QString& dataFolder, const QString& fileName, QByteArray& content)
{
    content.clear();
    Thema named;
    named.setFileName(fileName);
    if (!named.hasSafeFileName())
        return FileResult::failure(QStringLiteral("Ungültiger Dateiname eines Ordners: ") +
                                   fileName);
    return readStoredFile(named.filePath(dataFolder), dataFolder, MaxFolderFileBytes, content,
                          true);
}

void AppendThemaRecord(QByteArray& out, const Thema& thema, qint32 position)
{
    const ThemaRecord record{thema.Sequenz(), thema.Nr(), thema.DirName(), thema.FileName()};
    RecordWriter w(out, ThemaRecordLength);
    WriteFields<ThemaFields>(record, w, position);
}

Thema ReadThemaRecord(QByteArrayView record)
{
    ThemaRecord stored;
    ReadFields<ThemaFields>(record, stored);
    Thema t;
    t.setNr(stored.Nr);
    t.setFileName(stored.FileName);
    t.setDirName(stored.DirName);
    t.setIsEdit(false);
    t.setSequenz(stored.Sequenz);
    return t;
}

} // namespace orv
