#pragma once

#include "app/appinit.h"
#include "app/recordio.h"
#include "bookmarks/thema.h"

#include <QString>

#include <optional>

namespace orv {

// The folders of a book, in display and file order.
using ThemaList = KeyedList<Thema>;

// The bookmark archive: an ordered list of folders stored as the folder index
// "Book.bkm" plus one record file per folder, all in one folder on disk.
class Book {
public:
    // A book working in `folder` (the data folder unless told otherwise).
    explicit Book(const QString& folder = DataFolder());
    Book(Book&&) noexcept = default;
    Book& operator=(Book&&) noexcept = default;

    // The folder holding the index and the folder files.
    const QString& folder() const { return m_folder; }
    void setFolder(const QString& folder) { m_folder = folder; }
    // Full path of the folder index.
    QString indexPath() const;

    // The folder list, or nullptr while there is none (no load found a folder
    // and none was added).
    ThemaList* colThema() { return m_themen ? &*m_themen : nullptr; }
    const ThemaList* colThema() const { return m_themen ? &*m_themen : nullptr; }
    // True when the book has a folder list (possibly empty).
    bool hasColThema() const { return m_themen.has_value(); }
    // The folder list, created empty when there is none.
    ThemaList& ensureColThema();
    // Replaces the folder list (does not touch IsEdit).
    void setColThema(ThemaList list);
    // Sets the folder list to none (does not touch IsEdit).
    void resetColThema() { m_themen.reset(); }
    // Number of folders (0 when there is no list).
    qsizetype themaCount() const { return m_themen ? m_themen->count() : 0; }

    // Highest folder key seen by this instance; never lowered by a load.
    qint32 SequenzMax() const { return m_sequenzMax; }
    void setSequenzMax(qint32 value) { m_sequenzMax = value; }

    // Number of folders found by the last LoadAllThema (0 if none).
    qint16 ItCounter() const { return m_itCounter; }
    void setItCounter(qint16 counter) { m_itCounter = counter; }

    // The folder list itself changed since the last save.
    bool IsEdit() const { return m_isEdit; }
    void setIsEdit(bool edited) { m_isEdit = edited; }

    // The next folder key: SequenzMax + 1, kept as the new SequenzMax. Once
    // the keys are exhausted the smallest positive key no folder of the list
    // carries is handed out instead.
    qint32 GetNewKey();

    // Reads the folder index. Each folder gets its 1-based position as Nr,
    // the key ">" + Nr and IsEdit False; SequenzMax grows to the highest
    // Sequenz read. Returns True when at least one folder was read; then
    // colThema is the new list and ItCounter its count. Otherwise ItCounter
    // is 0 and colThema stays as it was. A missing index is created empty.
    // When `error` is given it receives the outcome (an unreadable index
    // reports its message there). Folder files are not read here. After an
    // index that exists could not be read, every save of this book refuses
    // with that reason until a later load reads it, so an archive the
    // program could not read is never saved over.
    bool LoadAllThema(FileResult* error = nullptr);
    // The reason the last load could not read the index (ok when it could).
    const FileResult& unreadIndex() const { return m_unreadIndex; }

    // Calls LoadBookmarks on every folder in order (folder files that
    // cannot be read load as far as they could be read). Returns the first
    // failure; every folder is loaded even after one failed.
    FileResult LoadAllBookmarks();

    // Writes every folder file whose folder is marked edited, then replaces
    // the folder index with one record per folder (Nr 1..n in list order).
    // Every step runs even after an earlier one failed; the result names the
    // first failure. The flags of what was written are cleared; the book's
    // IsEdit only when the index was written.
    FileResult SaveAllThema();

    // Removes the folder at 1-based position `index` with its bookmarks,
    // saves as SaveAllThema does and then deletes the folder's file (a
    // missing file is no error; the file stays when the index could not be
    // written, and while another folder names the same file, by its name or
    // through a link). An index out of range changes nothing and is reported.
    FileResult DeleteThema(qint16 index);

    // The archive counts as modified when a folder list exists and the book
    // or at least one folder is marked edited.
    bool IsModified() const;
    // Clears the edit mark of the book and of every folder; writes nothing.
    void ClearModified();

    // Name of the folder index inside the folder.
    static QString IndexFileName() { return QStringLiteral("Book.bkm"); }

private:
    // SaveAllThema; tells whether the index itself was written.
    FileResult saveAll(bool* indexWritten);

    QString m_folder;
    std::optional<ThemaList> m_themen;
    qint32 m_sequenzMax = 0;
    qint16 m_itCounter = 0;
    bool m_isEdit = false;
    FileResult m_unreadIndex;
};

} // namespace orv
