#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace orv {

// The program's pictures, drawn from its own SVG files (compiled in under
// ":/icons") in one style: flat line pictures whose lines take the
// palette's text colour, so they read on light and dark desktops alike,
// with one accent colour each. Each picture is drawn once and kept, so
// every further window reuses it.

// The program's icon (windows, task bar, desktop entry), 16 to 256 pixels.
const QIcon& ProgramIcon();

// A toolbar button's picture by the button's key: "Back", "Forward",
// "Stop", "Refresh", "Home", "Search", "Clone", "Drive", "Mail", "Save",
// "Print". A null icon for any other key.
const QIcon& ToolbarIcon(const QString& key);

// Activity image of a browser window: 1..4 the busy animation, 5 the secure
// idle image. Image 1 is also the idle image: the program's mark at rest;
// in 2..4 its moon moves round, so only a busy window moves. All have the
// same size.
const QPixmap& ActivityImage(int index);

// Tab image: 1 selected, 2 idle, 3..10 the busy animation.
const QIcon& TabImage(int index);

} // namespace orv
