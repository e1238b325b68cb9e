#pragma once

#include "bookmarks/book.h"

#include <QMetaType>
#include <QString>

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

// The bookmark archive as the tree shows it: folders and bookmarks are found
// by their refs through the collection keys, and every edit marks what it
// changed so that the save question and the save cover it. Plain data, no
// widgets.
class BookmarkModel {
public:
    // New folder keys tried before the book's own key is taken as it is.
    static constexpr int kKeyTries = 1000;

    explicit BookmarkModel(const QString& dataFolder) : m_book(dataFolder) {}

    Book& book() { return m_book; }
    const Book& book() const { return m_book; }

    // The folder a folder or bookmark ref belongs to; nullptr if none.
    Thema* folder(const BookmarkRef& ref) const;
    // The bookmark of a bookmark ref; nullptr if none.
    Bookmark* bookmark(const BookmarkRef& ref) const;
    // 0-based places in the archive's lists; -1 if none.
    qsizetype folderPosition(const BookmarkRef& ref) const;
    qsizetype bookmarkPosition(const BookmarkRef& ref) const;

    // A new folder with a new key and file at `position` of the folder list.
    BookmarkRef addFolder(const QString& name, qsizetype position);
    void renameFolder(const BookmarkRef& ref, const QString& name);
    // Removes a folder with its file as the book does (saving the rest).
    FileResult deleteFolder(const BookmarkRef& ref);

    // A bookmark with a new number of the folder at `position` of its list.
    BookmarkRef addBookmark(const BookmarkRef& folderRef, qsizetype position, Bookmark bookmark);
    void updateBookmark(const BookmarkRef& ref, const Bookmark& values);
    bool removeBookmark(const BookmarkRef& ref);
    // A copy of a bookmark added at a place: first in a folder, or before
    // or after a bookmark. Saved as an add would be.
    BookmarkRef copyBookmark(const Bookmark& bookmark, const BookmarkPlace& place);
    // A bookmark taken out of its folder and added at a place (in another
    // folder or in its own): saved as a delete and an add would be.
    BookmarkRef moveBookmark(const BookmarkRef& ref, const BookmarkPlace& place);

private:
    bool keyTaken(qint32 key) const;
    void markEdited(Thema& folder);

    Book m_book;
};

} // namespace orv

Q_DECLARE_METATYPE(orv::BookmarkRef)
