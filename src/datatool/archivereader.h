#pragma once

#include "app/recordio.h"
#include "bookmarks/book.h"

#include <QString>
#include <QStringList>

namespace orv::datatool {

// Reads the bookmark archive of a data folder the way the program loads it
// (folders and bookmarks numbered and keyed by position, trailing partial
// records ignored, a folder whose file is missing reads as an empty folder)
// without writing anything: unlike the store's own load, a missing file is
// never created.
//
// `onlyFolder`, when not empty, limits the reading of folder files to the
// first folder of that name (the others keep no bookmark list).
// A folder whose file is refused (its name is no plain file name inside the
// data folder, it is a link, a FIFO or anything but a regular file, or it
// cannot be read) is left out of the book; `skipped` receives one message
// naming it. Fails only when the index is missing or unreadable.
FileResult ReadArchive(const QString& dataFolder, Book& book, const QString& onlyFolder = {},
                       QStringList* skipped = nullptr);

// The first folder of the book whose name equals `name`, or nullptr.
const Thema* FindFolder(const Book& book, const QString& name);

} // namespace orv::datatool
