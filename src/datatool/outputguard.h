#pragma once

#include "bookmarks/book.h"

#include <QString>

namespace orv::datatool {

// The name of the data file that `out` would overwrite, or an empty text.
// The data files are the folder index, the preference file, the layout book,
// every folder file the index names and every window file the layout book
// names. Links are followed, so a link or a second name of a data file counts
// as that file; a path that does not exist yet counts when writing it would
// create that data file.
QString DataFileAt(const QString& out, const QString& dataFolder, const Book& book);

} // namespace orv::datatool
