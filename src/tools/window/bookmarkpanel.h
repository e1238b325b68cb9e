#pragma once

#include "app/docsnapshot.h"
#include "app/storabletext.h"
#include "bookmarks/book.h"
#include "tools/window/bookmarkmodel.h"

#include <QModelIndex>
#include <QObject>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class QAction;
class QMimeData;
class QMenu;
class QTreeView;
class QWidget;

namespace orv {

class ToolsHost;
class BookmarkTree;
class BookmarkCommands;

// The bookmark tab of the tools window: shows the archive (BookmarkModel,
// a tree model whose indexes carry their BookmarkRef) in the tree view
// TreeView1, owns the pop-up menus and their enabling, the keys, the
// in-place rename and the drops. The commands on the archive are
// BookmarkCommands. The panel keeps one model for its whole life.
class BookmarkPanel : public QObject {
    Q_OBJECT
public:
    // Node kinds, as the node tags name them.
    static inline const QString TagRoot = QStringLiteral("Archiv");
    static inline const QString TagDir = QStringLiteral("Dir");
    static inline const QString TagUrl = QStringLiteral("Url");

    BookmarkPanel(ToolsHost& host, QWidget* window, const QString& dataFolder);
    ~BookmarkPanel() override;

    QTreeView* TreeView1() const;
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
    // Replaces the archive with the folders of a loaded bookmark document
    // (when the import is armed), then loads the tree again.
    FileResult ImportDocument(const DocNode& body);
    bool ImportArmed() const { return m_importArmed; }
    void setImportArmed(bool armed) { m_importArmed = armed; }

    // --- nodes ------------------------------------------------------------------
    // The archive node (invalid before the first load), the current node,
    // the folder shown under a name, the node of a folder or bookmark.
    QModelIndex Root() const;
    QModelIndex Selected() const;
    QModelIndex FolderNode(const QString& name) const;
    QModelIndex NodeOf(const BookmarkRef& ref) const;
    // Makes a node the current and selected one.
    void Select(const QModelIndex& node);
    static BookmarkRef RefOf(const QModelIndex& node) { return BookmarkModel::refOf(node); }
    static QString NodeTag(const QModelIndex& node);
    static QString NodeImage(const QModelIndex& node);
    Thema* FolderOf(const QModelIndex& node) { return m_model.folder(RefOf(node)); }
    Bookmark* BookmarkOf(const QModelIndex& node) { return m_model.bookmark(RefOf(node)); }

    // --- bookmark drags -------------------------------------------------------------
    // What a drag of a bookmark node carries: its address as text (a browser
    // window or the main window opens it) and its ref for this panel.
    std::unique_ptr<QMimeData> DragData(const QModelIndex& node) const;
    // The bookmark a drag of this panel carries; none for other data.
    BookmarkRef DraggedRef(const QMimeData& data) const;
    // The kind of data that carries a dragged bookmark's ref.
    static inline const QString kDragFormat = QStringLiteral("application/x-orvane-bookmark");

    // --- in-place rename ----------------------------------------------------------
    void mn_AttrOrdner_Click();
    // The end of an in-place rename: true when the name was taken; false
    // when the edit is refused (message shown, editing starts again) or
    // nothing changed.
    bool FinishRename(const QModelIndex& node, const QString& text);
    // The editor of the rename that is running commits `text`; a second
    // commit of the same edit (the editor losing focus to the message)
    // is ignored.
    void CommitRename(const QModelIndex& node, const QString& text);
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
    // The archive is empty: the sample file is to be imported (the tools
    // window imports it through its page).
    void sampleImportRequested(const QString& path);
    // A bookmark file the user chose is to be imported.
    void importRequested(const QString& path);
    // A text for the status panel of the tools window.
    void statusText(const QString& text);

private:
    void buildMenus();
    void startRename(const QModelIndex& node);
    bool finishBookmarkRename(const QModelIndex& node, const QString& name);
    QAction* addItem(QMenu* menu, const char* name, const QString& caption,
                     std::function<void()> handler);

    ToolsHost& m_host;
    QWidget* m_window;
    BookmarkModel m_model;
    std::unique_ptr<BookmarkCommands> m_commands;
    QPointer<BookmarkTree> m_tree;
    QMenu* m_modify = nullptr;
    QMenu* m_archive = nullptr;
    QMenu* m_folderMenu = nullptr;
    QMenu* m_bookmarkMenu = nullptr;
    QMenu* m_exportDetail = nullptr;
    QList<QAction*> m_rootItems;
    bool m_importArmed = false;
    bool m_sampleTried = false;
    QPersistentModelIndex m_renaming;
    // Tells this panel's drags from those of another.
    quint64 m_dragToken = 0;
};

} // namespace orv
