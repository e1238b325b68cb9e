#include "layouts/layout.h"

#include "app/dialogseam.h"
#include "app/texthelpers.h"
#include "app/texts.h"

namespace orv {
namespace {

struct CapturedWindow {
    QString url;
    QString title;
    QRectF geometry;
};

// Address, title and geometry of a window as both kinds of layout keep them.
CapturedWindow capture(const LayoutWindowState& window)
{
    CapturedWindow c;
    if (!window.sXmlFeedUrl.isEmpty()) {
        c.url = window.sXmlFeedUrl;
        c.title = LayoutOpenArgs::FeedMarker() + window.Caption;
    } else {
        c.url = window.IsFolder ? window.FolderUrl : window.LocationURL;
        c.title = window.Caption;
    }
    c.geometry = window.WindowState == 1 ? window.NormalGeometry : window.Geometry;
    return c;
}

} // namespace

bool LayoutOpenArgs::IsFeed() const
{
    return IsFeedTitle(sTit);
}

QString LayoutOpenArgs::HistoryUrl() const
{
    return IsFeed() ? QStringLiteral("about:blank") : sUrl;
}

QString LayoutOpenArgs::ShownTitle() const
{
    return IsFeed() ? sTit.mid(FeedMarker().size()) : sTit;
}

LayoutWindowRecord layoutRecordFromWindow(const LayoutWindowState& window, int nr)
{
    const CapturedWindow c = capture(window);
    LayoutWindowRecord record;
    record.Nr = qint16(nr);
    record.Left = roundToInt16(float(c.geometry.left()));
    record.Top = roundToInt16(float(c.geometry.top()));
    record.Width = roundToInt16(float(c.geometry.width()));
    record.Height = roundToInt16(float(c.geometry.height()));
    record.URL = c.url;
    record.ToolbarVisible = window.ToolbarVisible;
    record.AdressbarVisible = window.AdressbarVisible;
    record.WindowState = qint16(window.WindowState);
    record.Titel = c.title;
    return record;
}

FensterInfo fensterInfoFromWindow(const LayoutWindowState& window, int nr)
{
    const CapturedWindow c = capture(window);
    FensterInfo info;
    info.Nr = nr;
    info.x = float(c.geometry.left());
    info.y = float(c.geometry.top());
    info.Breite = float(c.geometry.width());
    info.Hoehe = float(c.geometry.height());
    info.URL = c.url;
    info.Titel = c.title;
    info.WindowState = window.WindowState;
    info.ToolbarVisible = window.ToolbarVisible;
    info.AdressbarVisible = window.AdressbarVisible;
    return info;
}

LayoutOpenArgs layoutOpenArgs(const LayoutWindowRecord& record)
{
    LayoutOpenArgs args;
    args.sUrl = trimLayoutPath(record.URL);
    args.bAdress = record.AdressbarVisible;
    args.bToolb = record.ToolbarVisible;
    args.nLeft = record.Left;
    args.nTop = record.Top;
    args.nWidth = record.Width;
    args.nHeight = record.Height;
    args.nState = record.WindowState;
    args.sTit = record.Titel;
    return args;
}

LayoutOpenArgs layoutOpenArgs(const FensterInfo& info)
{
    LayoutOpenArgs args;
    args.sUrl = trimLayoutPath(info.URL);
    args.bAdress = info.AdressbarVisible;
    args.bToolb = info.ToolbarVisible;
    args.nLeft = roundToInt16(info.x);
    args.nTop = roundToInt16(info.y);
    args.nWidth = roundToInt16(info.Breite);
    args.nHeight = roundToInt16(info.Hoehe);
    args.nState = info.WindowState;
    args.sTit = info.Titel;
    return args;
}

FileResult Layout::SaveLayout(const QString& sDatei, const QList<LayoutWindowState>& windows)
{
    QList<LayoutWindowRecord> records;
    records.reserve(windows.size());
    int nr = 0;
    for (const LayoutWindowState& window : windows)
        records.append(layoutRecordFromWindow(window, ++nr));
    return writeLayoutFile(sDatei, records);
}

FileResult Layout::LoadLayout(const QString& sDatei, const OpenLayoutItemFn& openLayoutItem)
{
    QList<LayoutWindowRecord> records;
    const FileResult result = readLayoutFile(trimLayoutPath(sDatei), records, true);
    if (!result.ok) {
        ShowMessage(Txt(1129), Txt(1110) + u'\n' + result.error, MsgIcon::Warning);
        return result;
    }
    for (const LayoutWindowRecord& record : records)
        if (openLayoutItem)
            openLayoutItem(layoutOpenArgs(record));
    return result;
}

} // namespace orv
