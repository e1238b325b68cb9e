#pragma once

#include <QStringList>

namespace orv::datatool {

// "orvane-data import [--data-folder ORDNER] DATEI": replaces the bookmark
// archive of the data folder with the folders of a bookmark file, as the
// program's import does (the web engine reads the file; same limit, same
// messages). Returns the exit code.
int RunImport(const QStringList& args);

// Whether `command` (the first argument) is the one that starts the web
// engine; every other command runs without it.
bool NeedsEngine(const char* command);

// Prepares the engine for RunImport; must run before the application object
// (a QGuiApplication) exists. Without a display (neither DISPLAY nor
// WAYLAND_DISPLAY set) and without a platform the user chose
// (QT_QPA_PLATFORM), the page runs on the offscreen platform.
void PrepareImportEngine();

} // namespace orv::datatool
