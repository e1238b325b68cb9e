#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace orv {

// The program's pictures, drawn from its own SVG files (compiled in under
// ":/icons") in one style: flat line pictures whose lines take the
// palette's text colour, so they read on light and dark desktops alike,
// with one accent colour each. Each picture is drawn once per size and text
// colour and kept, so every further window reuses it, and a changed desktop
// palette draws the lines anew in its text colour.

// The sizes at which a browser window's toolbar and the main window's status
// bar show their pictures (the pictures drawn ahead are drawn at these).
inline constexpr int kToolbarPictureSize = 20;
inline constexpr int kStatusPictureSize = 16;

// Draws on a worker, while start-up goes on, the pictures that the main
// window and a browser window show at once (toolbar, status bar, activity
// and tab pictures, the program icon in its sizes) in the palette's text
// colour. Each is then taken from there once the worker has ended, instead
// of being drawn on the user-interface thread; until then, or in another
// text colour, it is drawn as usual. Call it on the user-interface thread
// once the application exists.
void DrawStartPicturesAhead();

// The program's icon (windows, task bar, desktop entry), 16 to 256 pixels.
const QIcon& ProgramIcon();

// A toolbar button's picture by the button's key: "Back", "Forward",
// "Stop", "Refresh", "Home", "Search", "Clone", "Drive", "Mail", "history",
// "Bookm", "Save", "Print". A null icon for any other key.
const QIcon& ToolbarIcon(const QString& key);

// The pictures of the bookmark tree, the layout tree and the folder box of
// the settings.
enum class TreeImageKind {
    Archive,      // the archive, root of the bookmark tree
    Folder,       // a closed bookmark folder
    OpenFolder,   // an expanded bookmark folder
    Bookmark,     // a web address
    Feed,         // a news feed bookmark
    Layout,       // a window layout
    LayoutWindow, // one window of a layout
    LayoutInfo,   // a detail line of a layout's window
};
const QIcon& TreeImage(TreeImageKind kind);

// The tree picture by the image key a tree node keeps: "Archiv", "Dir",
// "OpenDir", "Url", "xml", "layout", "layoutwin", "layoutinf". A null icon
// for any other key.
const QIcon& TreeImage(const QString& imageKey);

// The pictures of small buttons beside a field (the find bar).
enum class ButtonImageKind {
    FindPrevious, // to the previous match
    FindNext,     // to the next match
    Close,        // closes the bar
};
const QIcon& ButtonImage(ButtonImageKind kind);

// The pictures of the status bar's panels.
enum class StatusImageKind {
    Look, // a mail server is being searched ("look")
    Mail, // new mail has come ("email")
};
const QIcon& StatusImage(StatusImageKind kind);

// Activity image of a browser window: 1..4 the busy animation, 5 the secure
// idle image. Image 1 is also the idle image: the program's mark at rest;
// in 2..4 its moon moves round, so only a busy window moves. All have the
// same size.
const QPixmap& ActivityImage(int index);

// Tab image: 1 selected, 2 idle, 3..10 the busy animation.
const QIcon& TabImage(int index);

} // namespace orv
