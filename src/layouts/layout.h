#pragma once

#include "app/recordio.h"
#include "app/texthelpers.h"
#include "layouts/layoutrecords.h"

#include <QList>
#include <QRectF>
#include <QString>

#include <functional>

namespace orv {

// What the window layer reads from one open browser window when an
// arrangement is saved or added to the archive. Geometry is in twips.
struct LayoutWindowState {
    QString sXmlFeedUrl;           // the feed shown by the window; empty for a page
    bool IsFolder = false;         // the window shows a file-system folder
    QString FolderUrl;             // GetFolderUrl() of such a window
    QString LocationURL;           // the address of the page
    QString Caption;               // the window caption
    bool ToolbarVisible = false;   // band "Toolbar" shown
    bool AdressbarVisible = false; // band "Adress" shown
    int WindowState = 0;           // 0 normal, 1 minimised, 2 maximised
    QRectF Geometry;               // left, top, width, height as the window is now
    QRectF NormalGeometry;         // the same in normal state (stored for a minimised window)
};

// The arguments of the main window's OpenLayoutItem, in its order, for one
// recorded window, with the decisions OpenLayoutItem takes from them.
struct LayoutOpenArgs {
    QString sUrl; // trimmed address
    bool bAdress = false;
    bool bToolb = false;
    int nLeft = 0;
    int nTop = 0;
    int nWidth = 0;
    int nHeight = 0;
    int nState = 0;
    QString sTit;

    // "<FEED />": a title that begins with it, and is longer, marks a feed.
    static QString FeedMarker() { return orv::FeedMarker.toString(); }
    bool IsFeed() const;
    // The window's start address: "about:blank" for a feed (the window then
    // renders sUrl as a feed), else sUrl.
    QString HistoryUrl() const;
    // The caption to show: the title without the feed marker for a feed.
    QString ShownTitle() const;
    // A width of 0 or less keeps the window's default geometry and bars.
    bool AppliesGeometry() const { return nWidth > 0; }
    // Except for a minimised record the window is set to normal before sizing.
    bool SetsNormalFirst() const { return nState != 1; }
    // With either bar on, band "Anim" and the band bar are shown too;
    // with both off all three bands and the band bar are hidden.
    bool ShowsBandBar() const { return bToolb || bAdress; }

    bool operator==(const LayoutOpenArgs&) const = default;
};

// A window as an arrangement file stores it: for a feed the feed address and
// "<FEED />" + caption, for a folder its folder address, else the page
// address and the caption; a minimised window with its normal-state position
// and size. Geometry is rounded halves-to-even and clamped to 16 bits.
LayoutWindowRecord layoutRecordFromWindow(const LayoutWindowState& window, int nr);
// The same window as a layout of the archive keeps it (geometry unrounded).
FensterInfo fensterInfoFromWindow(const LayoutWindowState& window, int nr);

LayoutOpenArgs layoutOpenArgs(const LayoutWindowRecord& record);
// Singles rounded halves-to-even, address trimmed.
LayoutOpenArgs layoutOpenArgs(const FensterInfo& info);

// Arrangement files ("*.wlt"): saving the open browser windows to one and
// reopening them from it.
class Layout {
public:
    using OpenLayoutItemFn = std::function<void(const LayoutOpenArgs&)>;

    // Replaces the file sDatei (the name exactly as given) with one record per
    // window, in the order of the window registry. No message; on failure the
    // old file stays and the error is returned.
    static FileResult SaveLayout(const QString& sDatei, const QList<LayoutWindowState>& windows);

    // Reads the file at sDatei trimmed of blanks and calls openLayoutItem once
    // per record in file order. A missing file opens nothing. A file that
    // cannot be read, and one that is no regular file or is too large (never
    // opened, so a FIFO or a device cannot stall the start), shows text 1110 and the reason
    // (title 1129, exclamation icon), opens nothing and returns the error.
    static FileResult LoadLayout(const QString& sDatei, const OpenLayoutItemFn& openLayoutItem);
};

} // namespace orv
