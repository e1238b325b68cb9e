#pragma once

#include "app/docsnapshot.h"
#include "app/storabletext.h"
#include "bookmarks/book.h"
#include "tools/window/bookmarkmodel.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QAction;
class QMimeData;
class QMenu;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace orv {

class ToolsHost;
class BookmarkTree;
class BookmarkCommands;

// The bookmark tab of the tools window: shows the archive (BookmarkModel)
// as a tree (root, folders, bookmarks; each node carries its BookmarkRef),
// the pop-up menus and their enabling, the keys, the in-place rename and
// the drops. The commands on the archive are BookmarkCommands. The panel
// keeps one model for its whole life.
class BookmarkPanel : public QObject {
    Q_OBJECT
public:
    // Node kinds, as the node tags name them.
    static inline const QString TagRoot = QStringLiteral("Archiv");
    static inline const QString TagDir = QStringLiteral("Dir");
    static inline const QString TagUrl = QStringLiteral("Url");
    // Item data roles of the tree's nodes.
    enum Role { RefRole = 0x0100, ImageRole };

    BookmarkPanel(ToolsHost& host, QWidget* window, const QString& dataFolder);
    ~BookmarkPanel() override;

    QTreeWidget* TreeView1() const;
    BookmarkModel& model() { return m_model; }
    Book& Buch() { return m_model.book(); }
    BookmarkCommands& Commands() { return *m_commands; }
    ToolsHost& host() { return m_host; }
    QWidget* window() const { return m_window; }

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
    // The node showing a folder or bookmark; nullptr if none.
    QTreeWidgetItem* NodeOf(const BookmarkRef& ref) const;
    static BookmarkRef RefOf(const QTreeWidgetItem* node);
    static QString NodeTag(const QTreeWidgetItem* node);
    static QString NodeImage(const QTreeWidgetItem* node);
    Thema* FolderOf(const QTreeWidgetItem* node) { return m_model.folder(RefOf(node)); }
    Bookmark* BookmarkOf(const QTreeWidgetItem* node) { return m_model.bookmark(RefOf(node)); }
    // Node edits that follow the model's.
    QTreeWidgetItem* InsertFolderNode(const BookmarkRef& ref, int position);
    QTreeWidgetItem* InsertBookmarkNode(QTreeWidgetItem* folderNode, int position,
                                        const BookmarkRef& ref);
    // Shows the bookmark's title and picture again.
    void RefreshBookmarkNode(QTreeWidgetItem* node);
    void RemoveNode(QTreeWidgetItem* node);

    // --- bookmark drags -------------------------------------------------------------
    // What a drag of a bookmark node carries: its address as text (a browser
    // window or the main window opens it) and its ref for this panel.
    std::unique_ptr<QMimeData> DragData(const QTreeWidgetItem* node) const;
    // The bookmark a drag of this panel carries; none for other data.
    BookmarkRef DraggedRef(const QMimeData& data) const;
    // The kind of data that carries a dragged bookmark's ref.
    static inline const QString kDragFormat = QStringLiteral("application/x-orvane-bookmark");

    // --- in-place rename ----------------------------------------------------------
    void mn_AttrOrdner_Click();
    // The end of an in-place rename: true when the name was taken; false
    // when the edit is refused (message shown, editing starts again) or
    // nothing changed.
    bool FinishRename(QTreeWidgetItem* node, const QString& text);
    // F2: the in-place rename of the selected folder or bookmark.
    void RenameSelected();
    QString NewFolderName() const;

    // Sorting changes the display only.
    void mn_SortBkm_Click();
    void mn_SortOrdner_Click();
    void mn_Sortieren_Click();

    // --- menus ------------------------------------------------------------------
    QMenu* ModifyMenu() const { return m_modify; }
    QMenu* ArchiveMenu() const { return m_archive; }
    QAction* Item(const QString& name) const;
    // Enables the items for the selected node and shows the groups.
    void UpdateMenus();
    void ShowModifyMenu();

    // The tree's key handler.
    bool HandleKey(int key, Qt::KeyboardModifiers modifiers);

    void setBusy(bool busy);
    // Tells the user once about names the folder files cannot keep.
    void reportUnstorable(const UnstorableTexts& texts);

Q_SIGNALS:
    void closeRequested();

private:
    void buildMenus();
    void startRename(QTreeWidgetItem* node);
    bool finishBookmarkRename(QTreeWidgetItem* node, const QString& name);
    QAction* addItem(QMenu* menu, const char* name, const QString& caption,
                     std::function<void()> handler);

    ToolsHost& m_host;
    QWidget* m_window;
    BookmarkModel m_model;
    std::unique_ptr<BookmarkCommands> m_commands;
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
    // Tells this panel's drags from those of another.
    quint64 m_dragToken = 0;
};

} // namespace orv
