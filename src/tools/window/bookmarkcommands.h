#pragma once

#include "app/docsnapshot.h"
#include "bookmarks/bookmark.h"
#include "bookmarks/export.h"
#include "tools/window/bookmarkmodel.h"

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace orv {

class BookmarkPanel;
class ToolsHost;

// A file of the archive that could not be read or written is never passed
// over in silence: the user is told, and the caller stops. True when it went
// well.
bool Succeeded(const FileResult& result);

// The commands of the bookmark tab on the selected node: new, changed and
// removed folders and bookmarks, opening, adding from browser windows and
// their links, drops of addresses, export and import. Each edits the
// archive through the panel's model, which the tree follows.
class BookmarkCommands {
public:
    BookmarkCommands(BookmarkPanel& panel, ToolsHost& host, QWidget* window);

    // --- folders ------------------------------------------------------------------
    void mn_AddOrdner_Click();
    void AddDirToArchive(const QString& sTitel);
    void mn_DelOrdner_Click();

    // --- bookmarks ----------------------------------------------------------------
    void AddBkmToArchive(const QString& sTitel, const QString& sUrl, const QString& sInfo);
    void mn_Hinzufuegen_Click();
    void mn_Eigenschaften_Click();
    void mn_Hinzuvon_Click();
    void mn_HinzuvonAll_Click();
    void mn_HinzuvonLinks_Click();
    void mn_Loeschen_Click();
    void OpenBookmark();
    void OpenAll();
    void mn_StartBkmRoundtrip_Click();
    void mn_setHome_Click();
    // A dropped address or file becomes a bookmark of the selected folder.
    void DropAddress(const QString& dropped);
    // The addresses the links of a document give, each once, sorted.
    static QStringList LinkAddresses(const DocSnapshot& document);
    static QString DropTitle(const QString& address, const QString& dropped,
                             const QString& historyTitle);

    // --- moves and the clipboard ---------------------------------------------------
    // Ctrl+X / Ctrl+C: the selected bookmark is kept for the next paste; a
    // cut one leaves its folder only then.
    void CutBookmark();
    void CopyBookmark();
    // Ctrl+V: the kept bookmark goes first into the selected folder or
    // directly after the selected bookmark.
    void PasteBookmark();
    // A cut bookmark is forgotten when the tree is loaded again.
    void ForgetCut() { m_cut = {}; }
    // Moves the bookmark `from` (or adds a copy of it when `copy`) to
    // `target`: first into a folder, or before or after a bookmark. Each is
    // saved as the delete and the add of a bookmark would be.
    void PlaceBookmark(const BookmarkRef& from, const BookmarkRef& target, bool after, bool copy);

    // --- export and import --------------------------------------------------------
    void ExportArchive(ExportFormat format);
    void ExportFolder(ExportFormat format);
    void mn_ImpNetscapeHtml_Click();

    // Members the bookmark dialog reads and writes.
    bool bBatchmode = false;
    bool bStopBookmarking = false;
    QString BkTitel;
    QString BkUrl;

    // Members of the RSS export.
    QString rssTitle;
    QString rssFilename;
    int rssnOpen = 2;

private:
    BookmarkModel& model();
    void updateBookmark(const BookmarkRef& ref, const QString& sTitel, const QString& sUrl,
                        const QString& sInfo, bool bAdress, bool bToolb);
    void openOne(const Bookmark& bookmark);
    bool showBookmarkDialog(bool add);
    void exportFlow(ExportFormat format, const ExportSource& source, bool archive);
    void addLinks(const DocSnapshot& document);
    bool place(const Bookmark& value, const BookmarkRef& movedFrom, const BookmarkRef& target,
               bool after);

    BookmarkPanel& m_panel;
    ToolsHost& m_host;
    QWidget* m_window;
    BookmarkRef m_cut;
    std::optional<Bookmark> m_copied;
};

} // namespace orv
