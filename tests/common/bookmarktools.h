#pragma once

// Bookmarks built field by field for the tests of the bookmark data.

#include "bookmarks/book.h"
#include "bookmarks/bookmark.h"

#include <QString>
#include <QStringList>

namespace orv {

inline Bookmark MakeBookmark(const QString& titel, const QString& url, const QString& info = {},
                             bool adresszeile = false, bool toolbar = false)
{
    return Bookmark{
        .Titel = titel, .URL = url, .Info = info, .Adresszeile = adresszeile, .Toolbar = toolbar};
}

// "A:a1,a2|B:b1": the archive's folders and their bookmarks' titles.
inline QString ArchiveText(const Book& book)
{
    QStringList folders;
    if (const ThemaList* list = book.colThema())
        for (const Thema& thema : *list) {
            QStringList titles;
            if (const BookmarkList* bookmarks = thema.colBookmark())
                for (const Bookmark& b : *bookmarks)
                    titles << b.Titel;
            folders << thema.DirName() + u':' + titles.join(u',');
        }
    return folders.join(u'|');
}

} // namespace orv
