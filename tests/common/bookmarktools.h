#pragma once

// Bookmarks built field by field for the tests of the bookmark data.

#include "bookmarks/bookmark.h"

#include <QString>

namespace orv {

inline Bookmark MakeBookmark(const QString& titel, const QString& url, const QString& info = {},
                             bool adresszeile = false, bool toolbar = false)
{
    return Bookmark{
        .Titel = titel, .URL = url, .Info = info, .Adresszeile = adresszeile, .Toolbar = toolbar};
}

} // namespace orv
