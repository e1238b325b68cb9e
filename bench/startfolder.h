#pragma once

// A start-up folder of pages (PageUrl), and the test that every window of
// the main window has loaded its page: shared by the benchmarks and the
// probe that open many windows from such a folder.

#include "app/appinit.h"
#include "app/recordio.h"
#include "bookmarks/bookmark.h"
#include "browser/frmbrowser.h"
#include "mainwin/mdiform.h"

#include "benchsupport.h"

#include <QDir>

namespace orv::bench {

// Writes `fileName` in the data folder: bookmarks of the pages 1..count.
inline bool WriteStartFolder(const QString& bases, const char* fileName, int count)
{
    QByteArray records;
    for (int i = 1; i <= count; ++i) {
        Bookmark bookmark;
        bookmark.Titel = QStringLiteral("Seite %1").arg(i);
        bookmark.URL = PageUrl(bases, i);
        bookmark.Adresszeile = true;
        bookmark.Toolbar = true;
        AppendBookmarkRecord(records, bookmark, i);
    }
    return writeFileAtomic(QDir(DataFolder()).filePath(QString::fromLatin1(fileName)), records).ok;
}

// The main window holds `count` windows and none is loading any more.
inline bool AllLoaded(const MDIForm1& main, qsizetype count)
{
    if (main.Browser().size() != count)
        return false;
    for (frmBrowser* w : main.Browser())
        if (w->Busy() || w->LocationURL().isEmpty())
            return false;
    return true;
}

} // namespace orv::bench
