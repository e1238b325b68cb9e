#include "bookmarks/book.h"

#include "app/recordio.h"

#include <QFile>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <vector>

namespace orv {
namespace {

// True when both paths lead to one file (links followed).
bool sameFile(const QString& a, const QString& b)
{
    std::error_code error;
    const bool same = std::filesystem::equivalent(QFile::encodeName(a).toStdString(),
                                                  QFile::encodeName(b).toStdString(), error);
    return !error && same;
}

} // namespace

Book::Book(const QString& folder) : m_folder(folder) {}

QString Book::indexPath() const
{
    return m_folder + u'/' + IndexFileName();
}

ThemaList& Book::ensureColThema()
{
    if (!m_themen)
        m_themen.emplace();
    return *m_themen;
}

void Book::setColThema(ThemaList list)
{
    m_themen = std::move(list);
}

qint32 Book::GetNewKey()
{
    if (m_sequenzMax < std::numeric_limits<qint32>::max()) {
        ++m_sequenzMax;
        return m_sequenzMax;
    }
    // Keys exhausted: the smallest positive key no folder carries.
    std::vector<qint32> used;
    if (m_themen) {
        used.reserve(size_t(m_themen->count()));
        for (const Thema& t : *m_themen)
            if (t.Sequenz() > 0)
                used.push_back(t.Sequenz());
    }
    std::sort(used.begin(), used.end());
    qint32 key = 1;
    for (qint32 u : used) {
        if (u > key)
            break;
        if (u == key)
            ++key;
    }
    return key;
}

bool Book::LoadAllThema(FileResult* error)
{
    if (error)
        *error = {};
    const QString path = indexPath();
    m_unreadIndex = {};
    if (!QFile::exists(path)) {
        // A missing index is an empty archive; it is created empty.
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            file.close();
        m_itCounter = 0;
        return false;
    }

    ThemaList list;
    qint32 sequenzMax = m_sequenzMax;
    qsizetype expected = 0;
    const FileResult read =
        readRecords(path, ThemaRecordLength, expected, [&](QByteArrayView record) {
            if (list.isEmpty())
                list.reserve(std::min<qsizetype>(expected, 1 << 16));
            Thema t = ReadThemaRecord(record);
            // Numbered by position, whatever the record says.
            t.setNr(qint32(list.count() + 1));
            sequenzMax = std::max(sequenzMax, t.Sequenz());
            const QString key = Thema::KeyFor(t.Nr());
            list.append(std::move(t), key);
        });
    if (!read.ok) {
        // An unreadable index changes nothing and goes to the caller.
        m_unreadIndex = read;
        if (error)
            *error = read;
        return false;
    }
    m_sequenzMax = sequenzMax;
    if (list.isEmpty()) {
        m_itCounter = 0;
        return false;
    }
    m_itCounter = qint16(std::min<qsizetype>(list.count(), std::numeric_limits<qint16>::max()));
    m_themen = std::move(list);
    return true;
}

FileResult Book::LoadAllBookmarks()
{
    FileResult first;
    if (!m_themen)
        return first;
    for (Thema& t : *m_themen) {
        const FileResult loaded = t.LoadBookmarks(m_folder);
        if (!loaded.ok && first.ok)
            first = loaded;
    }
    return first;
}

FileResult Book::saveAll(bool* indexWritten)
{
    if (!m_unreadIndex.ok) {
        if (indexWritten)
            *indexWritten = false;
        return m_unreadIndex;
    }
    FileResult first;
    auto note = [&first](const FileResult& r) {
        if (!r.ok && first.ok)
            first = r;
    };
    QByteArray index;
    if (m_themen) {
        index.reserve(m_themen->count() * ThemaRecordLength);
        qint32 position = 0;
        for (Thema& t : *m_themen) {
            AppendThemaRecord(index, t, ++position);
            if (t.IsEdit())
                note(t.SaveBookmarks(m_folder));
        }
    }
    // The index goes last, so it never names a folder file that was not
    // written yet.
    const FileResult written = replaceFileUnsynced(indexPath(), index);
    note(written);
    if (written.ok)
        m_isEdit = false;
    if (indexWritten)
        *indexWritten = written.ok;
    return first;
}

FileResult Book::SaveAllThema()
{
    return saveAll(nullptr);
}

FileResult Book::DeleteThema(qint16 index)
{
    if (!m_themen || index < 1 || index > m_themen->count())
        return FileResult::failure(QStringLiteral("Der Ordner ") + QString::number(index) +
                                   QStringLiteral(" existiert nicht."));
    std::unique_ptr<Thema> thema = m_themen->takeAt(index - 1);
    thema->resetColBookmark();

    bool indexWritten = false;
    FileResult result = saveAll(&indexWritten);

    // The file goes only once the index no longer names it, and never while
    // another folder still uses the same file: by the same name, or by
    // another name for it (a link).
    const QString path = thema->filePath(m_folder);
    const bool shared = std::any_of(m_themen->begin(), m_themen->end(), [&](const Thema& t) {
        return t.FileName() == thema->FileName() ||
               (t.hasSafeFileName() && sameFile(t.filePath(m_folder), path));
    });
    if (indexWritten && !shared && thema->hasSafeFileName()) {
        const FileResult removed = removeFile(path);
        if (!removed.ok && result.ok)
            result = removed;
    }
    return result;
}

bool Book::IsModified() const
{
    if (!m_themen)
        return false;
    if (m_isEdit)
        return true;
    return std::any_of(m_themen->begin(), m_themen->end(),
                       [](const Thema& t) { return t.IsEdit(); });
}

void Book::ClearModified()
{
    m_isEdit = false;
    if (m_themen)
        for (Thema& t : *m_themen)
            t.setIsEdit(false);
}

} // namespace orv
