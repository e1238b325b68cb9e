#pragma once

#include "app/recordfields.h"
#include "app/recordio.h"
#include "bookmarks/bookmark.h"
#include "bookmarks/keyedlist.h"

#include <QString>

#include <optional>

namespace orv {

// The bookmarks of one folder, in display and file order.
using BookmarkList = KeyedList<Bookmark>;

// One bookmark folder of the archive.
class Thema {
public:
    Thema() = default;
    Thema(Thema&&) noexcept = default;
    Thema& operator=(Thema&&) noexcept = default;

    // The folder's number while the program runs (key part of its
    // bookmarks); after a load its 1-based position in the folder index.
    qint32 Nr() const { return m_nr; }
    void setNr(qint32 nr) { m_nr = nr; }

    // Folder name shown to the user. Assigning it marks the folder edited.
    const QString& DirName() const { return m_dirName; }
    void setDirName(const QString& name)
    {
        m_dirName = name;
        m_isEdit = true;
    }

    // Name of the folder's record file, relative to the data folder.
    const QString& FileName() const { return m_fileName; }
    void setFileName(const QString& name) { m_fileName = name; }

    // Permanent key of the folder inside its book.
    qint32 Sequenz() const { return m_sequenz; }
    void setSequenz(qint32 sequenz) { m_sequenz = sequenz; }

    // The bookmark list or a bookmark in it changed since the last save.
    bool IsEdit() const { return m_isEdit; }
    void setIsEdit(bool edited) { m_isEdit = edited; }

    // Highest bookmark number handed out in this folder.
    qint16 ItCounter() const { return m_itCounter; }
    void setItCounter(qint16 counter) { m_itCounter = counter; }

    // The bookmark list, or nullptr when the folder has none (its file had no
    // record at the last load and nothing was added since). An empty list is
    // not the same as none: it saves as a 0-byte file.
    BookmarkList* colBookmark() { return m_bookmarks ? &*m_bookmarks : nullptr; }
    const BookmarkList* colBookmark() const { return m_bookmarks ? &*m_bookmarks : nullptr; }
    // True when the folder has a bookmark list (possibly empty).
    bool hasColBookmark() const { return m_bookmarks.has_value(); }
    // The bookmark list, created empty when there is none.
    BookmarkList& ensureColBookmark();
    // Replaces the bookmark list (does not touch IsEdit).
    void setColBookmark(BookmarkList list);
    // Sets the bookmark list to none (does not touch IsEdit).
    void resetColBookmark() { m_bookmarks.reset(); }
    // Number of bookmarks (0 when there is no list).
    qsizetype bookmarkCount() const { return m_bookmarks ? m_bookmarks->count() : 0; }

    // The next bookmark number of this folder (ItCounter + 1, kept as the
    // new ItCounter). Once 32767 is reached the smallest positive number no
    // bookmark of the folder carries is handed out instead.
    qint16 GetNewKey();

    // Fills colBookmark and ItCounter from the folder file in `folder`.
    // Bookmarks are numbered by position and keyed ">" + Nr + "|" + their Nr.
    // A missing file is created empty; with no record colBookmark stays as
    // it was and ItCounter becomes 0. A read error keeps what was read and
    // is returned for information only. A file that is no regular file
    // inside `folder` (a device, a FIFO, a link leading out) or is larger
    // than MaxFolderFileBytes is never opened; it counts as a read error.
    FileResult LoadBookmarks(const QString& folder);

    // Replaces the folder file in `folder` atomically: one record per
    // bookmark with Nr 1..n; with no bookmark list the file is removed
    // instead (an empty list gives a 0-byte file). Clears IsEdit on success;
    // on failure the old file stays as it was and IsEdit stays set.
    FileResult SaveBookmarks(const QString& folder);

    // Full path of the folder file in `folder`.
    QString filePath(const QString& folder) const;
    // False when FileName is no plain file name inside the data folder
    // (empty, "." or "..", holds a path separator, names the folder index or
    // ends in ".new" like the temporary files of a save): such a folder is
    // read as empty and never written.
    bool hasSafeFileName() const;

    // Collection key of a loaded folder: ">" + Nr.
    static QString KeyFor(qint32 nr);

private:
    qint32 m_nr = 0;
    QString m_dirName;
    QString m_fileName;
    qint32 m_sequenz = 0;
    bool m_isEdit = false;
    qint16 m_itCounter = 0;
    std::optional<BookmarkList> m_bookmarks;
};

// A folder as its record in the folder index Book.bkm keeps it.
struct ThemaRecord {
    qint32 Sequenz = 0;
    qint32 Nr = 0; // written as the folder's 1-based place in the index
    QString DirName;
    QString FileName;
};

// Record of the folder index: 2291 bytes per folder.
inline constexpr int ThemaRecordLength = 2291;
inline constexpr RecordField<ThemaRecord> ThemaFields[] = {
    NumberField("Sequenz", 0, FieldKind::Int32, FieldRef<&ThemaRecord::Sequenz>),
    NumberField("Nr", 4, FieldKind::Int32, FieldRef<&ThemaRecord::Nr>, FieldRole::Position),
    TextField("DirName", 8, 200, FieldRef<&ThemaRecord::DirName>),
    TextField("FileName", 208, 2083, FieldRef<&ThemaRecord::FileName>),
};
static_assert(FieldsAreSound<ThemaRecord>(ThemaFields, ThemaRecordLength));
static_assert(FieldBytes<ThemaRecord>(ThemaFields) == ThemaRecordLength);
inline constexpr int ThemaDirNameWidth = FieldNamed<ThemaRecord>(ThemaFields, "DirName").width;

// Reads the folder file `fileName` of the data folder whole, for a reader of
// the bookmarks outside the store (the start-up folder): a missing file
// reads as empty; a name that is no plain file name inside the folder, a
// file that is no regular file inside it (a device, a FIFO, a link leading
// out) or one larger than MaxFolderFileBytes is refused.
FileResult ReadFolderFile(const QString& dataFolder, const QString& fileName, QByteArray& content);

// Appends the index record of a folder to out with `position` as stored Nr.
void AppendThemaRecord(QByteArray& out, const Thema& thema, qint32 position);

// Reads one index record: Nr (as stored), Sequenz, DirName and FileName
// stripped; IsEdit False, no bookmark list.
Thema ReadThemaRecord(QByteArrayView record);

} // namespace orv
