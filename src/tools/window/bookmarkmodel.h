#pragma once

#include "app/docsnapshot.h"
#include "bookmarks/book.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QList>
#include <QMetaType>
#include <QSet>
#include <QString>

#include <functional>

namespace orv {

// What one node of the bookmark tree stands for: the archive itself, a
// folder (by its Nr) or a bookmark (its folder's Nr and its own Nr).
struct BookmarkRef {
    enum class Kind : quint8 { None, Root, Folder, Bookmark };
    Kind kind = Kind::None;
    qint32 folder = 0;
    qint16 bookmark = 0;

    static BookmarkRef Root() { return {Kind::Root, 0, 0}; }
    static BookmarkRef Folder(qint32 nr) { return {Kind::Folder, nr, 0}; }
    static BookmarkRef Item(qint32 folderNr, qint16 nr) { return {Kind::Bookmark, folderNr, nr}; }
    bool isFolder() const { return kind == Kind::Folder; }
    bool isBookmark() const { return kind == Kind::Bookmark; }
    // The folder of a folder or bookmark.
    BookmarkRef folderRef() const { return Folder(folder); }
    bool operator==(const BookmarkRef&) const = default;
};

// Where a pasted or dropped bookmark goes: first in the folder `target`,
// or directly before or after the bookmark `target`.
struct BookmarkPlace {
    BookmarkRef target;
    bool after = true;
};

// The bookmark archive as a tree model: one top-level row for the archive
// (once it was loaded), the folders below it, their bookmarks below them.
// Each index carries its BookmarkRef (kind, folder Nr, bookmark Nr packed
// into its internal id); folders and bookmarks are found by their refs
// through the collection keys. Every edit announces its rows to the views
// and marks what it changed, so that the save question and the save cover
// it. The rows keep their own order: sorting changes the display only,
// never the archive's lists.
class BookmarkModel : public QAbstractItemModel {
    Q_OBJECT
public:
    // Data roles beyond Qt's: the node's BookmarkRef and its picture name.
    enum Role { RefRole = Qt::UserRole, ImageRole };
    // Picture names of the nodes.
    static inline const QString ImageRoot = QStringLiteral("Archiv");
    static inline const QString ImageDir = QStringLiteral("Dir");
    static inline const QString ImageOpenDir = QStringLiteral("OpenDir");
    static inline const QString ImageUrl = QStringLiteral("Url");
    static inline const QString ImageFeed = QStringLiteral("xml");
    // New folder keys tried before the book's own key is taken as it is.
    static constexpr int kKeyTries = 1000;

    explicit BookmarkModel(const QString& dataFolder, QObject* parent = nullptr);

    Book& book() { return m_book; }
    const Book& book() const { return m_book; }

    // --- the tree -----------------------------------------------------------------
    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    static BookmarkRef refOf(const QModelIndex& index);
    // The index showing the archive, a folder or a bookmark; invalid if none.
    QModelIndex indexOf(const BookmarkRef& ref) const;
    // The folder shown under this name; invalid if none.
    QModelIndex folderNamed(const QString& name) const;
    // An open folder shows the open picture.
    void setFolderOpen(const BookmarkRef& ref, bool open);

    // --- the archive --------------------------------------------------------------
    // Reads the folder index and every folder file; the rows follow. False
    // when no folder was read; `read` tells whether the index could be
    // read, `folderReads` the failed folder files.
    bool load(FileResult& read, QList<FileResult>& folderReads);
    // Replaces the archive with the folders of a loaded bookmark document.
    FileResult importDocument(const DocNode& body);

    // The folder a folder or bookmark ref belongs to; nullptr if none.
    Thema* folder(const BookmarkRef& ref) const;
    // The bookmark of a bookmark ref; nullptr if none.
    Bookmark* bookmark(const BookmarkRef& ref) const;
    // 0-based places in the archive's lists; -1 if none.
    qsizetype folderPosition(const BookmarkRef& ref) const;
    qsizetype bookmarkPosition(const BookmarkRef& ref) const;

    // A new folder with a new key and file: directly after the folder
    // `after` (in the archive and in the rows), first when `after` is none.
    BookmarkRef addFolder(const QString& name, const BookmarkRef& after);
    void renameFolder(const BookmarkRef& ref, const QString& name);
    // Removes a folder with its file as the book does (saving the rest).
    FileResult deleteFolder(const BookmarkRef& ref);

    void updateBookmark(const BookmarkRef& ref, const Bookmark& values);
    bool removeBookmark(const BookmarkRef& ref);
    // A copy of a bookmark (with a new number of its folder) added at a
    // place: first in a folder, or before or after a bookmark. Saved as an
    // add would be.
    BookmarkRef copyBookmark(const Bookmark& bookmark, const BookmarkPlace& place);
    // A bookmark taken out of its folder and added at a place (in another
    // folder or in its own): saved as a delete and an add would be.
    BookmarkRef moveBookmark(const BookmarkRef& ref, const BookmarkPlace& place);

    // Sorts the shown folders, or the shown bookmarks of one folder, by
    // their texts; the archive keeps its order.
    void sortFolders();
    void sortBookmarks(const BookmarkRef& folderRef);

private:
    static quintptr pack(const BookmarkRef& ref);
    static BookmarkRef unpack(quintptr id);
    QModelIndex folderIndex(qint32 nr) const;
    QString textOf(const BookmarkRef& ref) const;
    QString imageOf(const BookmarkRef& ref) const;
    void rebuildRows();
    void sortRows(const QModelIndex& parent, const std::function<void()>& reorder);
    bool keyTaken(qint32 key) const;
    void markEdited(Thema& folder);

    Book m_book;
    // Whether the archive row is shown (after the first load).
    bool m_shown = false;
    // The shown order: folder Nrs, and per folder its bookmark Nrs.
    QList<qint32> m_folderRows;
    QHash<qint32, QList<qint16>> m_bookmarkRows;
    QSet<qint32> m_open;
};

} // namespace orv

Q_DECLARE_METATYPE(orv::BookmarkRef)
