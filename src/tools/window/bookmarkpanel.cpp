#include "tools/window/bookmarkpanel.h"

#include "app/appinit.h"
#include "app/dialogseam.h"
#include "app/textids.h"
#include "app/texts.h"
#include "bookmarks/import.h"
#include "tools/window/bookmarkcommands.h"
#include "tools/window/toolshost.h"

#include <QDataStream>
#include <QDir>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeView>

namespace orv {

namespace {

const QString kTitle = QStringLiteral("Meldung");

// Text numbers of the panel.
constexpr int kTextNewFolder = 1050;
constexpr int kTextNameTaken = 1042;
constexpr int kTextNameTakenEnd = 1043;
constexpr int kTextOtherName = 1044;
constexpr int kTextNeedsName = 1045;
constexpr int kTextSaveChanges = 1046;

// The in-place rename hands the edited text to the panel, which checks it
// and renames through the model; the editor never writes the model itself.
class RenameDelegate : public QStyledItemDelegate {
public:
    RenameDelegate(BookmarkPanel& panel, QObject* parent)
        : QStyledItemDelegate(parent), m_panel(panel)
    {
    }
    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override
    {
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            m_panel.CommitRename(index, line->text());
    }

private:
    BookmarkPanel& m_panel;
};

} // namespace

// The tree: drops of addresses and files, the drop highlight, the hover
// status line and the keys go to the panel.
class BookmarkTree : public QTreeView {
public:
    BookmarkTree(BookmarkPanel& panel, QWidget* parent) : QTreeView(parent), m_panel(panel)
    {
        setObjectName(QStringLiteral("TreeView1"));
        setAccessibleName(Txt(1001));
        setHeaderHidden(true);
        setAcceptDrops(true);
        // Bookmarks are dragged to another place of the tree or out of it.
        setDragEnabled(true);
        setDropIndicatorShown(true);
        setMouseTracking(true);
        setEditTriggers(QAbstractItemView::NoEditTriggers);
        // A double click opens a bookmark; folders open with one click.
        setExpandsOnDoubleClick(false);
        setContextMenuPolicy(Qt::CustomContextMenu);
        setFrameShape(QFrame::StyledPanel);
    }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override
    {
        if (event->mimeData()->hasText() || event->mimeData()->hasUrls())
            event->acceptProposedAction();
    }
    void dragMoveEvent(QDragMoveEvent* event) override
    {
        // The node under the pointer becomes the drop target and the
        // selected node.
        const QModelIndex node = indexAt(event->position().toPoint());
        if (node.isValid())
            setCurrentIndex(node);
        event->acceptProposedAction();
    }
    void startDrag(Qt::DropActions) override
    {
        std::unique_ptr<QMimeData> data = m_panel.DragData(currentIndex());
        if (!data)
            return;
        // The drop places the bookmark itself; the end of the drag removes
        // nothing.
        auto* drag = new QDrag(this);
        drag->setMimeData(data.release());
        drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
    }
    void dropEvent(QDropEvent* event) override
    {
        const QMimeData* data = event->mimeData();
        const BookmarkRef dragged = m_panel.DraggedRef(*data);
        if (dragged.isBookmark()) {
            // Onto a folder: first in it; onto a bookmark: before or after it,
            // by the half of its line the pointer is in. Ctrl copies.
            const QPoint at = event->position().toPoint();
            const QModelIndex target = indexAt(at);
            const bool after = !target.isValid() || at.y() >= visualRect(target).center().y();
            const bool copy = event->modifiers().testFlag(Qt::ControlModifier);
            event->setDropAction(copy ? Qt::CopyAction : Qt::MoveAction);
            event->accept();
            m_panel.Commands().PlaceBookmark(dragged, BookmarkPanel::RefOf(target), after, copy);
            return;
        }
        QString dropped;
        if (data->hasUrls() && !data->urls().isEmpty()) {
            const QUrl first = data->urls().constFirst();
            dropped = first.isLocalFile() ? first.toLocalFile() : first.toString();
        } else if (data->hasText()) {
            dropped = data->text();
        }
        event->acceptProposedAction();
        m_panel.Commands().DropAddress(dropped);
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        if (m_panel.HandleKey(event->key(), event->modifiers()))
            return;
        QTreeView::keyPressEvent(event);
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        QTreeView::mouseMoveEvent(event);
        const Bookmark* bookmark = m_panel.BookmarkOf(indexAt(event->position().toPoint()));
        Q_EMIT m_panel.statusText(bookmark ? bookmark->URL : QString());
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        QTreeView::mousePressEvent(event);
        const QModelIndex node = indexAt(event->position().toPoint());
        if (!node.isValid())
            return;
        if (event->button() == Qt::RightButton) {
            setCurrentIndex(node);
            return;
        }
        if (event->button() != Qt::LeftButton)
            return;
        // A click on the folder itself (not on its expand mark) toggles it.
        if (BookmarkPanel::RefOf(node).isFolder()) {
            if (visualRect(node).contains(event->position().toPoint()))
                setExpanded(node, !isExpanded(node));
            Q_EMIT m_panel.statusText(QString());
        } else if (const Bookmark* bookmark = m_panel.BookmarkOf(node)) {
            Q_EMIT m_panel.statusText(bookmark->URL);
        }
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        const QModelIndex node = indexAt(event->position().toPoint());
        if (BookmarkPanel::RefOf(node).isBookmark()) {
            setCurrentIndex(node);
            m_panel.Commands().OpenBookmark();
            return;
        }
        QTreeView::mouseDoubleClickEvent(event);
    }

private:
    BookmarkPanel& m_panel;
};

BookmarkPanel::BookmarkPanel(ToolsHost& host, QWidget* window, const QString& dataFolder)
    : QObject(window), m_host(host), m_window(window), m_model(dataFolder),
      m_commands(std::make_unique<BookmarkCommands>(*this, host, window)),
      m_dragToken(QRandomGenerator::global()->generate64())
{
    m_tree = new BookmarkTree(*this, window);
    m_tree->setModel(&m_model);
    m_tree->setItemDelegate(new RenameDelegate(*this, m_tree));
    // A folder that opens or closes becomes the selected node, unless it
    // opens because one of its bookmarks was selected.
    connect(m_tree, &QTreeView::expanded, this, [this](const QModelIndex& node) {
        if (RefOf(node).isFolder()) {
            m_model.setFolderOpen(RefOf(node), true);
            if (!Selected().isValid() || Selected().parent() != node)
                Select(node);
        }
    });
    connect(m_tree, &QTreeView::collapsed, this, [this](const QModelIndex& node) {
        if (RefOf(node).isFolder()) {
            m_model.setFolderOpen(RefOf(node), false);
            Select(node);
        }
    });
    connect(m_tree, &QWidget::customContextMenuRequested, this, [this] { ShowModifyMenu(); });
    buildMenus();
}

// The view goes with the panel it calls.
BookmarkPanel::~BookmarkPanel()
{
    delete m_tree.data();
}

QTreeView* BookmarkPanel::TreeView1() const
{
    return m_tree;
}

QAction* BookmarkPanel::Item(const QString& name) const
{
    for (QMenu* menu : {m_modify, m_archive}) {
        if (auto* action = menu->findChild<QAction*>(name))
            return action;
        for (QMenu* sub : menu->findChildren<QMenu*>())
            if (sub->menuAction()->objectName() == name)
                return sub->menuAction();
    }
    return nullptr;
}

QAction* BookmarkPanel::addItem(QMenu* menu, const char* name, const QString& caption,
                                std::function<void()> handler)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromUtf8(name));
    connect(action, &QAction::triggered, this, std::move(handler));
    return action;
}

void BookmarkPanel::buildMenus()
{
    auto subMenu = [](QMenu* parent, const char* name, const QString& caption) {
        QMenu* menu = parent->addMenu(caption);
        menu->setObjectName(QString::fromUtf8(name));
        menu->menuAction()->setObjectName(QString::fromUtf8(name));
        return menu;
    };
    struct Format {
        const char* plain;
        const char* popup;
        const char* folder;
        int caption;
        ExportFormat format;
    };
    const Format formats[] = {
        {"mn_ExpTxt", "mn_ExpTxt_H", "mn_expdetText", 1014, ExportFormat::Text},
        {"mn_ExpHtml", "mn_ExpHtml_H", "mn_expdetHtml", 1016, ExportFormat::HtmlList},
        {"mn_ExpNetscapeHtml", "mn_ExpNetscapeHtml_H", "mn_expdetNetscapeHtml", 1015,
         ExportFormat::Netscape},
        {"mn_ExpXML", "mn_ExpXML_H", "mn_expdetXML", 1055, ExportFormat::Xml},
        {"mn_ExpRSS", "mn_ExpRSS_H", "mn_expdetRSS", 1059, ExportFormat::Rss},
    };

    m_modify = new QMenu(m_window);
    m_modify->setObjectName(QStringLiteral("mn_Modify"));
    m_modify->setTitle(QStringLiteral("&Modifizieren"));
    m_modify->setAccessibleName(QStringLiteral("Modifizieren"));
    m_rootItems << addItem(m_modify, "mn_Laden_H", QStringLiteral("&Laden"),
                           [this] { LoadTree(); });
    m_rootItems << addItem(m_modify, "mn_Speichern_H", QStringLiteral("&Speichern"),
                           [this] { SaveArchive(); });
    QMenu* exportPopup = subMenu(m_modify, "mn_export_H", QStringLiteral("&Exportieren"));
    QMenu* importPopup = subMenu(m_modify, "mn_import_H", QStringLiteral("&Import"));
    m_rootItems << exportPopup->menuAction() << importPopup->menuAction();
    for (const Format& f : formats)
        addItem(exportPopup, f.popup, Txt(f.caption),
                [this, f] { m_commands->ExportArchive(f.format); });
    addItem(importPopup, "mn_ImpNetscapeHtml_H", Txt(1018),
            [this] { m_commands->mn_ImpNetscapeHtml_Click(); });

    m_folderMenu = subMenu(m_modify, "mn_Ordner", QStringLiteral("&Ordner"));
    addItem(m_folderMenu, "mn_SortOrdner", QStringLiteral("&Sortieren"),
            [this] { mn_SortOrdner_Click(); });
    addItem(m_folderMenu, "mn_AddOrdner", QStringLiteral("&Hinzufügen"),
            [this] { m_commands->mn_AddOrdner_Click(); });
    addItem(m_folderMenu, "mn_DelOrdner", QStringLiteral("&Löschen"),
            [this] { m_commands->mn_DelOrdner_Click(); });
    addItem(m_folderMenu, "mn_AttrOrdner", QStringLiteral("&Umbenennen"),
            [this] { mn_AttrOrdner_Click(); });
    m_exportDetail = subMenu(m_folderMenu, "mn_exportdetail", QStringLiteral("&Exportieren"));
    for (const Format& f : formats)
        addItem(m_exportDetail, f.folder, Txt(f.caption),
                [this, f] { m_commands->ExportFolder(f.format); });

    m_bookmarkMenu = subMenu(m_modify, "mn_Bookmark", QStringLiteral("&Bookmark"));
    addItem(m_bookmarkMenu, "mn_SortBkm", QStringLiteral("&Sortieren"),
            [this] { mn_SortBkm_Click(); });
    addItem(m_bookmarkMenu, "mn_OpenAllBkm", QStringLiteral("&Alle öffnen"),
            [this] { m_commands->OpenAll(); });
    addItem(m_bookmarkMenu, "mn_StartBkmRoundtrip", QStringLiteral("Bookmark-Roundtrip"),
            [this] { m_commands->mn_StartBkmRoundtrip_Click(); });
    m_bookmarkMenu->addSeparator();
    addItem(m_bookmarkMenu, "mn_OpenBkm", QStringLiteral("Ö&ffnen"),
            [this] { m_commands->OpenBookmark(); });
    addItem(m_bookmarkMenu, "mn_setHome", QStringLiteral("Als &Startadresse übernehmen"),
            [this] { m_commands->mn_setHome_Click(); });
    m_bookmarkMenu->addSeparator();
    addItem(m_bookmarkMenu, "mn_Hinzuvon",
            QStringLiteral("Von Browser-Fenster im Vordergrund Hinzufügen"),
            [this] { m_commands->mn_Hinzuvon_Click(); });
    addItem(m_bookmarkMenu, "mn_HinzuvonAll",
            QStringLiteral("Von allen Browser-Fenstern Hinzufügen"),
            [this] { m_commands->mn_HinzuvonAll_Click(); });
    addItem(m_bookmarkMenu, "mn_HinzuvonLinks",
            QStringLiteral("Links vom Browser-Fenster im Vordergrund hinzufügen"),
            [this] { m_commands->mn_HinzuvonLinks_Click(); });
    m_bookmarkMenu->addSeparator();
    addItem(m_bookmarkMenu, "mn_Hinzufügen", QStringLiteral("&Hinzufügen"),
            [this] { m_commands->mn_Hinzufuegen_Click(); });
    addItem(m_bookmarkMenu, "mn_Loeschen", QStringLiteral("&Löschen"),
            [this] { m_commands->mn_Loeschen_Click(); });
    addItem(m_bookmarkMenu, "mn_Eigenschaften", QStringLiteral("&Eigenschaften"),
            [this] { m_commands->mn_Eigenschaften_Click(); });
    m_modify->addSeparator();
    addItem(m_modify, "mn_Schließen_H", QStringLiteral("&Schließen"),
            [this] { Q_EMIT closeRequested(); });

    m_archive = new QMenu(m_window);
    m_archive->setObjectName(QStringLiteral("mn_Archive"));
    m_archive->setTitle(QStringLiteral("&Archiv"));
    m_archive->setAccessibleName(QStringLiteral("Archiv"));
    addItem(m_archive, "mn_Laden", QStringLiteral("&Laden"), [this] { LoadTree(); });
    addItem(m_archive, "mn_Speichern", QStringLiteral("&Speichern"), [this] { SaveArchive(); });
    addItem(m_archive, "mn_Sortieren", QStringLiteral("Sor&tieren"),
            [this] { mn_Sortieren_Click(); });
    QMenu* exportMenu = subMenu(m_archive, "mn_export", QStringLiteral("&Exportieren"));
    for (const Format& f : formats)
        addItem(exportMenu, f.plain, Txt(f.caption),
                [this, f] { m_commands->ExportArchive(f.format); });
    QMenu* importMenu = subMenu(m_archive, "mn_import", QStringLiteral("&Importieren"));
    addItem(importMenu, "mn_ImpNetscapeHtml", Txt(1018),
            [this] { m_commands->mn_ImpNetscapeHtml_Click(); });
    m_archive->addSeparator();
    addItem(m_archive, "mn_Schließen", QStringLiteral("Schlie&ßen"),
            [this] { Q_EMIT closeRequested(); });
}

// --- the archive ----------------------------------------------------------------------

void BookmarkPanel::setBusy(bool busy)
{
    if (busy)
        m_window->setCursor(Qt::WaitCursor);
    else
        m_window->unsetCursor();
}

void BookmarkPanel::LoadTree()
{
    m_importArmed = true;
    setBusy(true);
    m_renaming = QPersistentModelIndex();
    // The next load numbers the bookmarks anew.
    m_commands->ForgetCut();
    FileResult read;
    QList<FileResult> folderReads;
    const bool loaded = m_model.load(read, folderReads);
    m_tree->expand(Root());
    if (!loaded) {
        setBusy(false);
        // An archive that could not be read is told, and neither replaced
        // by the samples nor saved over.
        if (!Succeeded(read))
            return;
        // An empty archive gets the sample file, once: a sample that yields
        // no folder must not start the import again.
        if (!m_sampleTried) {
            m_sampleTried = true;
            Q_EMIT sampleImportRequested(
                QDir(AppFolder()).filePath(QStringLiteral("orvbooksamples.html")));
        }
        return;
    }
    for (const FileResult& folderRead : folderReads)
        Succeeded(folderRead);
    setBusy(false);
}

void BookmarkPanel::SaveArchive()
{
    setBusy(true);
    const bool saved = !m_model.book().IsModified() || Succeeded(m_model.book().SaveAllThema());
    setBusy(false);
    // After a failed save the tree keeps the changes that are not stored.
    if (saved)
        LoadTree();
}

void BookmarkPanel::AskSaveChanges(bool reloadOnNo)
{
    if (!m_model.book().IsModified())
        return;
    // While the program ends on request nobody can answer: the edits are kept.
    MsgAnswer answer = MsgAnswer::Yes;
    if (!Dialogs().ending()) {
        m_host.suspendExternalOpen(true);
        answer = ShowMessage(kTitle, Txt(kTextSaveChanges), MsgIcon::Question, MsgButtons::YesNo,
                             MsgAnswer::Yes);
        m_host.suspendExternalOpen(false);
    }
    if (answer == MsgAnswer::Yes) {
        setBusy(true);
        const FileResult saved = m_model.book().SaveAllThema();
        setBusy(false);
        Succeeded(saved);
    } else if (reloadOnNo) {
        m_model.book().ClearModified();
        LoadTree();
    }
}

FileResult BookmarkPanel::ImportDocument(const DocNode& body)
{
    if (!m_importArmed)
        return FileResult::failure(QStringLiteral("no import armed"));
    const FileResult result = m_model.importDocument(body);
    const UnstorableTexts unstorable =
        m_model.book().colThema() ? UnstorableNames(*m_model.book().colThema()) : UnstorableTexts();
    LoadTree();
    reportUnstorable(unstorable);
    return result;
}

// --- nodes ------------------------------------------------------------------------------

QModelIndex BookmarkPanel::Root() const
{
    return m_model.indexOf(BookmarkRef::Root());
}

QModelIndex BookmarkPanel::Selected() const
{
    return m_tree->currentIndex();
}

QModelIndex BookmarkPanel::FolderNode(const QString& name) const
{
    return m_model.folderNamed(name);
}

QModelIndex BookmarkPanel::NodeOf(const BookmarkRef& ref) const
{
    return ref.isFolder() || ref.isBookmark() ? m_model.indexOf(ref) : QModelIndex();
}

void BookmarkPanel::Select(const QModelIndex& node)
{
    m_tree->setCurrentIndex(node);
}

QString BookmarkPanel::NodeTag(const QModelIndex& node)
{
    switch (RefOf(node).kind) {
    case BookmarkRef::Kind::Root:
        return TagRoot;
    case BookmarkRef::Kind::Folder:
        return TagDir;
    case BookmarkRef::Kind::Bookmark:
        return TagUrl;
    case BookmarkRef::Kind::None:
        break;
    }
    return QString();
}

QString BookmarkPanel::NodeImage(const QModelIndex& node)
{
    return node.data(BookmarkModel::ImageRole).toString();
}

// --- bookmark drags ---------------------------------------------------------------------

std::unique_ptr<QMimeData> BookmarkPanel::DragData(const QModelIndex& node) const
{
    const BookmarkRef ref = RefOf(node);
    const Bookmark* bookmark = m_model.bookmark(ref);
    if (!bookmark)
        return {};
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out << m_dragToken << ref.folder << ref.bookmark;
    auto data = std::make_unique<QMimeData>();
    data->setData(kDragFormat, payload);
    data->setText(bookmark->URL);
    return data;
}

BookmarkRef BookmarkPanel::DraggedRef(const QMimeData& data) const
{
    if (!data.hasFormat(kDragFormat))
        return {};
    QDataStream in(data.data(kDragFormat));
    quint64 token = 0;
    BookmarkRef ref = BookmarkRef::Item(0, 0);
    in >> token >> ref.folder >> ref.bookmark;
    if (in.status() != QDataStream::Ok || token != m_dragToken || !m_model.bookmark(ref))
        return {};
    return ref;
}

// --- in-place rename ---------------------------------------------------------------------

QString BookmarkPanel::NewFolderName() const
{
    const QString base = Txt(kTextNewFolder);
    QString name = base;
    for (int n = 1; FolderNode(name).isValid(); ++n)
        name = base + QStringLiteral(" (") + QString::number(n) + QLatin1Char(')');
    return name;
}

void BookmarkPanel::mn_AttrOrdner_Click()
{
    const QModelIndex node = Selected();
    if (RefOf(node).isFolder())
        startRename(node);
}

void BookmarkPanel::RenameSelected()
{
    const QModelIndex node = Selected();
    const BookmarkRef ref = RefOf(node);
    if (ref.isFolder() || ref.isBookmark())
        startRename(node);
}

void BookmarkPanel::startRename(const QModelIndex& node)
{
    m_renaming = node;
    m_tree->edit(node);
}

void BookmarkPanel::CommitRename(const QModelIndex& node, const QString& text)
{
    if (node.isValid() && QModelIndex(m_renaming) == node)
        FinishRename(node, text);
}

bool BookmarkPanel::FinishRename(const QModelIndex& node, const QString& text)
{
    m_renaming = QPersistentModelIndex();
    if (!node.isValid())
        return false;
    const QString name = text.trimmed();
    const QString old = node.data().toString();
    if (name == old)
        return false;
    const BookmarkRef ref = RefOf(node);
    if (ref.isBookmark())
        return finishBookmarkRename(node, name);
    QString refusal;
    if (name.isEmpty()) {
        refusal = Txt(kTextNeedsName);
    } else if (FolderNode(name).isValid()) {
        refusal = Txt(kTextNameTaken) + name + Txt(kTextNameTakenEnd) + QLatin1Char('\n') +
                  Txt(kTextOtherName);
    }
    if (!refusal.isEmpty()) {
        ShowMessage(kTitle, refusal, MsgIcon::Warning);
        // Editing starts again once the message is gone.
        QTimer::singleShot(0, this, [this, ref] {
            const QModelIndex again = NodeOf(ref);
            if (again.isValid()) {
                Select(again);
                mn_AttrOrdner_Click();
            }
        });
        return false;
    }
    if (FolderOf(node)) {
        m_model.renameFolder(ref, name);
        UnstorableTexts unstorable;
        unstorable.check(name);
        reportUnstorable(unstorable);
    }
    return true;
}

// A bookmark's new title keeps its feed marker; an empty one changes
// nothing.
bool BookmarkPanel::finishBookmarkRename(const QModelIndex& node, const QString& name)
{
    const BookmarkRef ref = RefOf(node);
    const Bookmark* bookmark = m_model.bookmark(ref);
    if (!bookmark || name.isEmpty())
        return false;
    Bookmark values = *bookmark;
    values.Titel = bookmark->isFeed() ? FeedMarker.toString() + name : name;
    m_model.updateBookmark(ref, values);
    UnstorableTexts unstorable;
    unstorable.check(name);
    reportUnstorable(unstorable);
    return true;
}

void BookmarkPanel::reportUnstorable(const UnstorableTexts& texts)
{
    if (texts.count() > 0)
        ShowMessage(kTitle, texts.notice(), MsgIcon::Information);
}

// --- display order -----------------------------------------------------------------------

void BookmarkPanel::mn_SortBkm_Click()
{
    const BookmarkRef ref = RefOf(Selected());
    if (ref.isFolder() || ref.isBookmark())
        m_model.sortBookmarks(ref.folderRef());
}

void BookmarkPanel::mn_SortOrdner_Click()
{
    m_model.sortFolders();
}

void BookmarkPanel::mn_Sortieren_Click()
{
    const BookmarkRef ref = RefOf(Selected());
    if (ref.isBookmark())
        m_model.sortBookmarks(ref.folderRef());
    else
        m_model.sortFolders();
}

// --- menus and keys -----------------------------------------------------------------------

void BookmarkPanel::UpdateMenus()
{
    const QModelIndex node = Selected();
    const QString tag = NodeTag(node);
    const bool anyWindow = m_host.windowCount() > 0;
    auto enable = [this](const char* name, bool on) {
        if (QAction* action = Item(QString::fromUtf8(name)))
            action->setEnabled(on);
    };
    auto setBookmarkItems = [&](bool on, bool open) {
        enable("mn_Eigenschaften", on);
        enable("mn_Loeschen", on);
        enable("mn_setHome", on);
        if (open)
            enable("mn_OpenBkm", on);
    };
    auto setAddFrom = [&](bool on) {
        enable("mn_Hinzuvon", on);
        enable("mn_HinzuvonAll", on);
        enable("mn_HinzuvonLinks", on);
    };
    bool rootGroup = false;
    bool folderGroup = false;
    bool bookmarkGroup = false;
    if (!node.isValid()) {
        setBookmarkItems(false, false);
        enable("mn_Hinzufügen", false);
        setAddFrom(false);
        enable("mn_AddOrdner", Root().isValid());
        enable("mn_DelOrdner", false);
        enable("mn_AttrOrdner", false);
        rootGroup = folderGroup = true;
    } else if (tag == TagRoot) {
        setBookmarkItems(false, true);
        enable("mn_Hinzufügen", false);
        enable("mn_OpenAllBkm", false);
        enable("mn_StartBkmRoundtrip", false);
        setAddFrom(false);
        enable("mn_SortBkm", false);
        enable("mn_SortOrdner", true);
        enable("mn_AddOrdner", true);
        enable("mn_DelOrdner", false);
        enable("mn_AttrOrdner", false);
        m_exportDetail->menuAction()->setVisible(false);
        rootGroup = folderGroup = true;
    } else if (tag == TagDir) {
        const Thema* folder = FolderOf(node);
        setBookmarkItems(false, true);
        enable("mn_Hinzufügen", true);
        enable("mn_OpenAllBkm", true);
        enable("mn_StartBkmRoundtrip", true);
        setAddFrom(anyWindow);
        enable("mn_SortBkm", true);
        enable("mn_SortOrdner", true);
        enable("mn_AddOrdner", true);
        enable("mn_DelOrdner", true);
        enable("mn_AttrOrdner", true);
        m_exportDetail->menuAction()->setVisible(true);
        m_exportDetail->menuAction()->setEnabled(folder && folder->bookmarkCount() > 0);
        folderGroup = bookmarkGroup = true;
    } else {
        setBookmarkItems(true, true);
        enable("mn_Hinzufügen", true);
        enable("mn_OpenAllBkm", false);
        enable("mn_StartBkmRoundtrip", false);
        setAddFrom(anyWindow);
        enable("mn_SortBkm", true);
        enable("mn_SortOrdner", false);
        enable("mn_AddOrdner", false);
        enable("mn_DelOrdner", false);
        enable("mn_AttrOrdner", false);
        m_exportDetail->menuAction()->setEnabled(false);
        bookmarkGroup = true;
    }
    for (QAction* action : m_rootItems)
        action->setVisible(rootGroup);
    m_folderMenu->menuAction()->setVisible(folderGroup);
    m_bookmarkMenu->menuAction()->setVisible(bookmarkGroup);
}

void BookmarkPanel::ShowModifyMenu()
{
    UpdateMenus();
    const QRect place = m_tree->visualRect(Selected());
    m_modify->popup(m_tree->viewport()->mapToGlobal(place.bottomLeft()));
}

bool BookmarkPanel::HandleKey(int key, Qt::KeyboardModifiers modifiers)
{
    const QString tag = NodeTag(Selected());
    const bool ctrl = modifiers & Qt::ControlModifier;
    if (key == Qt::Key_Delete && !ctrl) {
        if (tag == TagDir)
            m_commands->mn_DelOrdner_Click();
        else if (tag == TagUrl)
            m_commands->mn_Loeschen_Click();
        return true;
    }
    if (key == Qt::Key_F2 && !ctrl) {
        RenameSelected();
        return true;
    }
    if (ctrl && key == Qt::Key_X) {
        m_commands->CutBookmark();
        return true;
    }
    if (ctrl && key == Qt::Key_C) {
        m_commands->CopyBookmark();
        return true;
    }
    if (ctrl && key == Qt::Key_V) {
        m_commands->PasteBookmark();
        return true;
    }
    if (key == Qt::Key_Insert && !ctrl) {
        ShowModifyMenu();
        return true;
    }
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !ctrl) {
        m_commands->OpenBookmark();
        return tag == TagUrl;
    }
    if (ctrl && key == Qt::Key_E) {
        if (tag == TagDir)
            m_commands->ExportFolder(ExportFormat::Netscape);
        else if (tag == TagRoot)
            m_commands->ExportArchive(ExportFormat::Netscape);
        return true;
    }
    if (ctrl && key == Qt::Key_I) {
        if (tag == TagRoot)
            m_commands->mn_ImpNetscapeHtml_Click();
        return true;
    }
    return false;
}

} // namespace orv
