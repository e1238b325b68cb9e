#pragma once

#include "app/recordio.h"
#include "bookmarks/book.h"

#include <QString>

namespace orv::datatool {

// Reads the bookmark archive of a data folder the way the program loads it
// (folders and bookmarks numbered and keyed by position, trailing partial
// records ignored, a folder whose file is missing or whose file name is not
// safe reads as an empty folder) without writing anything: unlike the store's
// own load, a missing file is never created.
//
// `onlyFolder`, when not empty, limits the reading of folder files to the
// first folder of that name (the others keep no bookmark list).
// Fails when the index is missing or unreadable, or a folder file exists but
// cannot be read.
FileResult ReadArchive(const QString& dataFolder, Book& book, const QString& onlyFolder = {});

// The first folder of the book whose name equals `name`, or nullptr.
const Thema* FindFolder(const Book& book, const QString& name);

} // namespace orv::datatool
