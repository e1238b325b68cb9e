#pragma once

#include <QStringList>

namespace orv::datatool {

// "orvane-data import [--data-folder ORDNER] DATEI": replaces the bookmark
// archive of the data folder with the folders of a bookmark file, as the
// program's import does (same limit, same messages). Returns the exit code.
int RunImport(const QStringList& args);

} // namespace orv::datatool
