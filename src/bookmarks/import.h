#pragma once

#include "app/docnode.h"
#include "app/recordio.h"
#include "app/storabletext.h"
#include "bookmarks/book.h"

#include <QString>

namespace orv {

// Reading a bookmark file (the markup browsers write as their bookmark
// export) into the archive. The file's document comes as a plain tree: the
// snapshot of the page that loaded it (platform/bookmarkloader.h), in the
// tools window as in the data tool.

// Builds the folder list of a bookmark document. `body` is the document's
// BODY element. Every element whose first child node is an H3 becomes a
// folder named by the H3's text, holding every anchor inside that element
// and, when the element holds no list, inside the DD description and list
// elements right after it (nested folders included, so their bookmarks show
// in every enclosing folder too); anchors outside any folder are left out. Folders are
// numbered in document order: FileName "1.bkm", "2.bkm", ...; Nr 1;
// Sequenz the element's 1-based place among the body's elements. Each
// bookmark: the anchor's text as title (with the feed marker in front when
// the anchor's first child is the FEED element the marker parses into),
// the resolved address, the text of a DD element directly following the
// anchor as description (line breaks as CR LF), Nr its 1-based place among
// the folder's elements, both opening options set.
ThemaList BuildImportedFolders(const DocNode& body);

// The most bookmark records one import may write, all folders together.
inline constexpr qsizetype MaxImportedBookmarks = MaxFolderRecords;

// The number of bookmark records an import of `body` writes: every anchor
// once for each folder it lies in (nested folders included).
qsizetype CountImportedBookmarks(const DocNode& body);

// Replaces the whole folder list of `book` with the folders of `body`:
// each folder file is written at once, then the folder index. Existing
// folder files with the same names are overwritten; once the new index is
// written, the files of the old archive's folders (as stored and as held in
// memory) that it no longer names are deleted. Returns the first failure (every
// step runs). A document that would give more than MaxImportedBookmarks
// records is refused before anything is written: the book and its files
// stay as they were.
FileResult ImportBookmarkDocument(Book& book, const DocNode& body);

// The folders and bookmarks of `folders` whose name, title or description
// the folder files cannot keep as they are.
UnstorableTexts UnstorableNames(const ThemaList& folders);

} // namespace orv
