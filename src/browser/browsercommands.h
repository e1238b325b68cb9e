#pragma once

#include <QString>

namespace orv {

class frmBrowser;

// The commands of a browser window behind its toolbar and menus. Save, print
// and preview do nothing without a document.

// Asks for a file through the dialog seam and saves the page there: an
// ".mht"/".mhtml" name as one archive file, any other as the page with a
// folder of its parts. The save arrives as an accepted download.
void WebSave(frmBrowser& window);
// The print dialog, then the page is printed in the background.
void WebPrint(frmBrowser& window);
// The print preview of the page.
void WebPrintPreview(frmBrowser& window);
// Stores the page of the window as the start page, saves the preferences
// and shows the new address as the "Home" tool tip.
void SetHomepage(frmBrowser& window);
// The folder picker (text 620) through the dialog seam; a chosen folder is
// shown in the window.
void BrowseFolder(frmBrowser& window);

// The file name proposed for saving a page with this title.
QString SaveFileNameFor(const QString& title);

} // namespace orv
