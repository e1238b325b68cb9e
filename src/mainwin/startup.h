#pragma once

#include <QString>
#include <memory>

namespace orv {

class MDIForm1;
class Prefer;

// The whole start-up of the program: data folder, text table, single copy,
// preferences, main window, first windows; runs the event loop and returns
// the exit code.
int Main(int argc, char** argv);

// The part of start-up after the preferences are loaded: sets up the main
// window from them, opens the first window for `argument` (or the start
// page), shows the main window and opens the start folder or arrangement.
// Used by Main and by tests that start the program inside their process.
// With `recovered` (a recovery file) its windows open instead of the start
// page and the start folder or arrangement.
std::unique_ptr<MDIForm1> StartMainWindow(Prefer& prefer, QString argument,
                                          const QString& recovered = {});

// Opens every bookmark of a folder file (name relative to the data folder),
// in its order, stopping after the window that reaches the limit. The first
// windows open at once, the rest a few at a time on the next turns of the
// event loop, so the main window answers while they open.
void OpenBookmarkFolderAtStart(MDIForm1& main, const QString& fileName);

} // namespace orv
