#pragma once

#include "app/docsnapshot.h"
#include "app/storabletext.h"
#include "bookmarks/book.h"
#include "bookmarks/export.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QAction;
class QMenu;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace orv {

class ToolsHost;
class BookmarkTree;

// The bookmark tab of the tools window: the archive as a tree (root,
// folders, bookmarks) with every edit on it, the pop-up menu and its
// enabling, opening bookmarks, adding from browser windows, drops, and the
// export and import commands. The panel keeps one Book for its whole life.
class BookmarkPanel : public QObject {
    Q_OBJECT
public:
    // Node kinds, as the node tags name them.
    static inline const QString TagRoot = QStringLiteral("Archiv");
    static inline const QString TagDir = QStringLiteral("Dir");
    static inline const QString TagUrl = QStringLiteral("Url");
    // Item data roles of the tree's nodes.
    enum Role { KeyRole = 0x0100, TagRole, ImageRole };
    // More bookmarks than this (with the open windows) ask first.
    // New folder keys tried before the book's own key is taken as it is.
    static constexpr int kKeyTries = 1000;

    BookmarkPanel(ToolsHost& host, QWidget* window, const QString& dataFolder);
    ~BookmarkPanel() override;

    QTreeWidget* TreeView1() const;
    Book& Buch() { return m_book; }
    ToolsHost& host() { return m_host; }

    // --- the archive ------------------------------------------------------------
    // Reads the archive and fills the tree (an empty archive imports the
    // sample file once per life of the panel).
    void LoadTree();
    // Saves a modified archive, then loads the tree again.
    void SaveArchive();
    // Asks "Änderungen am Archiv speichern ?" when the archive is modified.
    // Yes saves; No discards the edits and reloads when `reloadOnNo`.
    void AskSaveChanges(bool reloadOnNo);
    // Called for the sample file when the archive is empty (the tools
    // window imports it through its page).
    std::function<void(const QString& path)> importSample;
    // Imports a bookmark file chosen by the user (tools window's page).
    std::function<void(const QString& path)> importFile;
    // Shows a text in the status panel of the tools window.
    std::function<void(const QString& text)> showStatus;
    // Replaces the archive with the folders of a loaded bookmark document
    // (when the import is armed), then loads the tree again.
    FileResult ImportDocument(const DocNode& body);
    bool ImportArmed() const { return m_importArmed; }
    void setImportArmed(bool armed) { m_importArmed = armed; }

    // --- nodes ------------------------------------------------------------------
    QTreeWidgetItem* Root() const;
    QTreeWidgetItem* Selected() const;
    QTreeWidgetItem* FolderNode(const QString& name) const;
    static QString NodeKey(const QTreeWidgetItem* node);
    static QString NodeTag(const QTreeWidgetItem* node);
    static QString NodeImage(const QTreeWidgetItem* node);
    // The folder number (before "@") and the bookmark number (after it;
    // left unchanged when the key ends at "@").
    static void GetLAndR_Indx(const QTreeWidgetItem* node, qint16& nDirNr, qint16& nBookmarkNr);
    // 1-based positions of the folder / bookmark with that Nr; 0 if none.
    static int GetDirIdx(const ThemaList& folders, int nr);
    static int GetBookmarkIdx(const BookmarkList& bookmarks, int nr);
    Thema* FolderOf(const QTreeWidgetItem* node);
    Bookmark* BookmarkOf(const QTreeWidgetItem* node);

    // --- commands ---------------------------------------------------------------
    QString NewFolderName() const;
    void mn_AddOrdner_Click();
    void AddDirToArchive(const QString& sTitel);
    void mn_AttrOrdner_Click();
    // The end of an in-place rename: true when the name was taken; false
    // when the edit is refused (message shown, editing starts again) or
    // nothing changed.
    bool FinishRename(QTreeWidgetItem* node, const QString& text);
    void UpdateDir(Thema& folder, QTreeWidgetItem* node, const QString& sName);
    void mn_DelOrdner_Click();
    void AddBkmToArchive(const QString& sTitel, const QString& sUrl, const QString& sInfo);
    void UpdateBookmark(Bookmark& bookmark, const QString& sTitel, const QString& sUrl,
                        const QString& sInfo, bool bAdress, bool bToolb);
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
    // Sorting changes the display only.
    void mn_SortBkm_Click();
    void mn_SortOrdner_Click();
    void mn_Sortieren_Click();
    // A dropped address or file becomes a bookmark of the selected folder.
    void DropAddress(const QString& dropped);
    // The addresses the links of a document give, each once, sorted.
    static QStringList LinkAddresses(const DocSnapshot& document);
    static QString DropTitle(const QString& address, const QString& dropped,
                             const QString& historyTitle);

    // --- export and import --------------------------------------------------------
    void ExportArchive(ExportFormat format);
    void ExportFolder(ExportFormat format);
    void mn_ImpNetscapeHtml_Click();

    // --- menus ------------------------------------------------------------------
    QMenu* ModifyMenu() const { return m_modify; }
    QMenu* ArchiveMenu() const { return m_archive; }
    QAction* Item(const QString& name) const;
    // Enables the items for the selected node and shows the groups.
    void UpdateMenus();
    void ShowModifyMenu();

    // The tree's key handler.
    bool HandleKey(int key, Qt::KeyboardModifiers modifiers);

    // Members the bookmark dialog reads and writes.
    bool bBatchmode = false;
    bool bStopBookmarking = false;
    QString BkTitel;
    QString BkUrl;

    // Members of the RSS export.
    QString rssTitle;
    QString rssFilename;
    int rssnOpen = 2;

Q_SIGNALS:
    void closeRequested();

private:
    void buildMenus();
    QAction* addItem(QMenu* menu, const char* name, const QString& caption,
                     std::function<void()> handler);
    QTreeWidgetItem* addFolderNode(const Thema& folder, int position);
    QTreeWidgetItem* makeBookmarkNode(const Thema& folder, const Bookmark& bookmark);
    void openOne(const Bookmark& bookmark);
    bool showBookmarkDialog(bool add);
    void exportFlow(ExportFormat format, const ExportSource& source, bool archive);
    void addLinks(const DocSnapshot& document);
    void setBusy(bool busy);
    bool keyTaken(qint32 key) const;
    // Tells the user once about names the folder files cannot keep.
    void reportUnstorable(const UnstorableTexts& texts);

    ToolsHost& m_host;
    QWidget* m_window;
    Book m_book;
    BookmarkTree* m_tree = nullptr;
    QMenu* m_modify = nullptr;
    QMenu* m_archive = nullptr;
    QMenu* m_folderMenu = nullptr;
    QMenu* m_bookmarkMenu = nullptr;
    QMenu* m_exportDetail = nullptr;
    QList<QAction*> m_rootItems;
    bool m_importArmed = false;
    bool m_sampleTried = false;
    QTreeWidgetItem* m_renaming = nullptr;
    QString m_renameOld;
    bool m_settingText = false;
};

} // namespace orv
