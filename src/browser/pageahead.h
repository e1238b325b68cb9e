#pragma once

#include <QUrl>

class QObject;
class QString;

namespace orv {

class BrowserPage;
class PageHost;

// The first window's page, started before the window around it: the engine
// loads the page while the main window and the browser window are built,
// instead of after them. The next browser window made takes the page over
// and does not load the same address again.
//
// A page whose load was already reported before a window took it (the
// event loop ran in between, under a message box) is dropped: the window
// then loads its own page and misses nothing the engine reported.
namespace pageahead {

// Starts loading `address`, read as a window reads an address typed in:
// web addresses and local files only (anything else loads in its window as
// before). A page started earlier and not taken is dropped.
void Start(const QString& address);

// The page started ahead, now with its host and parent, and the address it
// loads; nullptr when there is none (or it was dropped). Only once.
BrowserPage* Take(PageHost* host, QObject* parent, QUrl* address);

// Drops a page that no window took.
void Drop();

} // namespace pageahead

} // namespace orv
