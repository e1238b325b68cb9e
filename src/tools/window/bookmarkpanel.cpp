#include "tools/window/bookmarkpanel.h"

#include "app/appinit.h"
#include "app/dialogseam.h"
#include "app/textids.h"
#include "app/texts.h"
#include "bookmarks/import.h"
#include "browser/linkopening.h"
#include "platform/icons.h"
#include "tools/uniqsortstrcollection.h"
#include "tools/window/bmproperty.h"
#include "tools/window/rssheader.h"
#include "tools/window/toolshost.h"

#include <QDateTime>
#include <QDir>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

namespace orv {

namespace {

const QString kTitle = QStringLiteral("Meldung");

// A file that could not be read or written is never passed over in silence:
// the user is told, and the caller stops. True when it went well.
bool Succeeded(const FileResult& result)
{
    if (!result.ok)
        ShowMessage(Txt(kTextFehlerbehandlung), result.error, MsgIcon::Critical);
    return result.ok;
}
const QString kSep = QStringLiteral("@");
const QString kRootKey = QStringLiteral("0@");
const QString kImageDir = QStringLiteral("Dir");
const QString kImageOpenDir = QStringLiteral("OpenDir");
const QString kImageUrl = QStringLiteral("Url");
const QString kImageXml = QStringLiteral("xml");
const QString kImageRoot = QStringLiteral("Archiv");

// Text numbers of the panel.
constexpr int kTextArchive = 105;
constexpr int kTextNewFolder = 1050;
constexpr int kTextNotEmpty = 1037;
constexpr int kTextConflict = 1038;
constexpr int kTextStartFolder = 1039;
constexpr int kTextExportDone = 1040;
constexpr int kTextExportShow = 1041;
constexpr int kTextNameTaken = 1042;
constexpr int kTextNameTakenEnd = 1043;
constexpr int kTextOtherName = 1044;
constexpr int kTextNeedsName = 1045;
constexpr int kTextSaveChanges = 1046;
constexpr int kTextImportTitle = 1005;
constexpr int kTextHtmlFile = 1009;
constexpr int kTextTextFile = 1010;
constexpr int kTextXmlFile = 1054;

QIcon imageIcon(const QString& image)
{
    if (image == kImageRoot)
        return TreeImage(TreeImageKind::Archive);
    if (image == kImageDir)
        return TreeImage(TreeImageKind::Folder);
    if (image == kImageOpenDir)
        return TreeImage(TreeImageKind::OpenFolder);
    if (image == kImageXml)
        return TreeImage(TreeImageKind::Feed);
    return TreeImage(TreeImageKind::Bookmark);
}

void setImage(QTreeWidgetItem* node, const QString& image)
{
    node->setData(0, BookmarkPanel::ImageRole, image);
    node->setIcon(0, imageIcon(image));
}

QTreeWidgetItem* makeNode(const QString& key, const QString& text, const QString& image,
                          const QString& tag)
{
    auto* node = new QTreeWidgetItem(QStringList{text});
    node->setData(0, BookmarkPanel::KeyRole, key);
    node->setData(0, BookmarkPanel::TagRole, tag);
    setImage(node, image);
    return node;
}

// "Text-Datei (*.txt)" and the like.
QString filterOf(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Text:
        return Txt(kTextTextFile) + QStringLiteral(" (*.txt)");
    case ExportFormat::Xml:
    case ExportFormat::Rss:
        return Txt(kTextXmlFile) + QStringLiteral(" (*.xml)");
    case ExportFormat::HtmlList:
    case ExportFormat::Netscape:
        break;
    }
    return Txt(kTextHtmlFile) + QStringLiteral(" (*.htm *.html)");
}

// Dialog titles of the archive and folder exports.
int exportTitle(ExportFormat format, bool archive)
{
    switch (format) {
    case ExportFormat::Text:
        return archive ? 1004 : 1008;
    case ExportFormat::HtmlList:
        return archive ? 1003 : 1007;
    case ExportFormat::Netscape:
        return archive ? 1002 : 1006;
    case ExportFormat::Xml:
        return archive ? 1052 : 1053;
    case ExportFormat::Rss:
        break;
    }
    return archive ? 1057 : 1058;
}

QString fileAddress(const QString& path)
{
    return QUrl::fromLocalFile(path).toString();
}

// The title a dropped address makes: without blanks and one trailing
// separator, the part after the last "/" and then after the last "\".
QString titleFromAddress(const QString& address)
{
    QString title = address.trimmed();
    if (title.endsWith(u'/') || title.endsWith(u'\\'))
        title.chop(1);
    for (const QChar separator : {QChar(u'/'), QChar(u'\\')}) {
        const qsizetype last = title.lastIndexOf(separator);
        if (last >= 0 && last < title.size() - 1)
            title = title.mid(last + 1);
    }
    return title;
}

} // namespace

// The tree: drops of addresses and files, the drop highlight, the hover
// status line and the keys go to the panel.
class BookmarkTree : public QTreeWidget {
public:
    BookmarkTree(BookmarkPanel& panel, QWidget* parent) : QTreeWidget(parent), m_panel(panel)
    {
        setObjectName(QStringLiteral("TreeView1"));
        setAccessibleName(Txt(1001));
        setHeaderHidden(true);
        setColumnCount(1);
        setAcceptDrops(true);
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
        if (QTreeWidgetItem* node = itemAt(event->position().toPoint()))
            setCurrentItem(node);
        event->acceptProposedAction();
    }
    void dropEvent(QDropEvent* event) override
    {
        const QMimeData* data = event->mimeData();
        QString dropped;
        if (data->hasUrls() && !data->urls().isEmpty()) {
            const QUrl first = data->urls().constFirst();
            dropped = first.isLocalFile() ? first.toLocalFile() : first.toString();
        } else if (data->hasText()) {
            dropped = data->text();
        }
        event->acceptProposedAction();
        m_panel.DropAddress(dropped);
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        if (m_panel.HandleKey(event->key(), event->modifiers()))
            return;
        QTreeWidget::keyPressEvent(event);
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        QTreeWidget::mouseMoveEvent(event);
        const QTreeWidgetItem* node = itemAt(event->position().toPoint());
        const Bookmark* bookmark = node ? m_panel.BookmarkOf(node) : nullptr;
        if (m_panel.showStatus)
            m_panel.showStatus(bookmark ? bookmark->URL : QString());
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        QTreeWidget::mousePressEvent(event);
        QTreeWidgetItem* node = itemAt(event->position().toPoint());
        if (!node)
            return;
        if (event->button() == Qt::RightButton) {
            setCurrentItem(node);
            return;
        }
        if (event->button() != Qt::LeftButton)
            return;
        // A click on the folder itself (not on its expand mark) toggles it.
        if (BookmarkPanel::NodeTag(node) == BookmarkPanel::TagDir) {
            if (visualItemRect(node).contains(event->position().toPoint()))
                node->setExpanded(!node->isExpanded());
            if (m_panel.showStatus)
                m_panel.showStatus(QString());
        } else if (const Bookmark* bookmark = m_panel.BookmarkOf(node)) {
            if (m_panel.showStatus)
                m_panel.showStatus(bookmark->URL);
        }
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        QTreeWidgetItem* node = itemAt(event->position().toPoint());
        if (node && BookmarkPanel::NodeTag(node) == BookmarkPanel::TagUrl) {
            setCurrentItem(node);
            m_panel.OpenBookmark();
            return;
        }
        QTreeWidget::mouseDoubleClickEvent(event);
    }

private:
    BookmarkPanel& m_panel;
};

BookmarkPanel::BookmarkPanel(ToolsHost& host, QWidget* window, const QString& dataFolder)
    : QObject(window), m_host(host), m_window(window), m_book(dataFolder)
{
    m_tree = new BookmarkTree(*this, window);
    // A folder that opens or closes becomes the selected node, unless it
    // opens because one of its bookmarks was selected.
    connect(m_tree, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* node) {
        if (NodeTag(node) == TagDir) {
            setImage(node, kImageOpenDir);
            if (!m_tree->currentItem() || m_tree->currentItem()->parent() != node)
                m_tree->setCurrentItem(node);
        }
    });
    connect(m_tree, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* node) {
        if (NodeTag(node) == TagDir) {
            setImage(node, kImageDir);
            m_tree->setCurrentItem(node);
        }
    });
    connect(m_tree, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* node, int) {
        // Only a new text ends the rename (pictures and flags change too).
        if (m_settingText || node != m_renaming || node->text(0) == m_renameOld)
            return;
        const QString text = node->text(0);
        m_settingText = true;
        node->setText(0, m_renameOld);
        m_settingText = false;
        FinishRename(node, text);
    });
    connect(m_tree, &QWidget::customContextMenuRequested, this, [this] { ShowModifyMenu(); });
    buildMenus();
}

BookmarkPanel::~BookmarkPanel() = default;

QTreeWidget* BookmarkPanel::TreeView1() const
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
        addItem(exportPopup, f.popup, Txt(f.caption), [this, f] { ExportArchive(f.format); });
    addItem(importPopup, "mn_ImpNetscapeHtml_H", Txt(1018), [this] { mn_ImpNetscapeHtml_Click(); });

    m_folderMenu = subMenu(m_modify, "mn_Ordner", QStringLiteral("&Ordner"));
    addItem(m_folderMenu, "mn_SortOrdner", QStringLiteral("&Sortieren"),
            [this] { mn_SortOrdner_Click(); });
    addItem(m_folderMenu, "mn_AddOrdner", QStringLiteral("&Hinzufügen"),
            [this] { mn_AddOrdner_Click(); });
    addItem(m_folderMenu, "mn_DelOrdner", QStringLiteral("&Löschen"),
            [this] { mn_DelOrdner_Click(); });
    addItem(m_folderMenu, "mn_AttrOrdner", QStringLiteral("&Umbenennen"),
            [this] { mn_AttrOrdner_Click(); });
    m_exportDetail = subMenu(m_folderMenu, "mn_exportdetail", QStringLiteral("&Exportieren"));
    for (const Format& f : formats)
        addItem(m_exportDetail, f.folder, Txt(f.caption), [this, f] { ExportFolder(f.format); });

    m_bookmarkMenu = subMenu(m_modify, "mn_Bookmark", QStringLiteral("&Bookmark"));
    addItem(m_bookmarkMenu, "mn_SortBkm", QStringLiteral("&Sortieren"),
            [this] { mn_SortBkm_Click(); });
    addItem(m_bookmarkMenu, "mn_OpenAllBkm", QStringLiteral("&Alle öffnen"), [this] { OpenAll(); });
    addItem(m_bookmarkMenu, "mn_StartBkmRoundtrip", QStringLiteral("Bookmark-Roundtrip"),
            [this] { mn_StartBkmRoundtrip_Click(); });
    m_bookmarkMenu->addSeparator();
    addItem(m_bookmarkMenu, "mn_OpenBkm", QStringLiteral("Ö&ffnen"), [this] { OpenBookmark(); });
    addItem(m_bookmarkMenu, "mn_setHome", QStringLiteral("Als &Startadresse übernehmen"),
            [this] { mn_setHome_Click(); });
    m_bookmarkMenu->addSeparator();
    addItem(m_bookmarkMenu, "mn_Hinzuvon",
            QStringLiteral("Von Browser-Fenster im Vordergrund Hinzufügen"),
            [this] { mn_Hinzuvon_Click(); });
    addItem(m_bookmarkMenu, "mn_HinzuvonAll",
            QStringLiteral("Von allen Browser-Fenstern Hinzufügen"),
            [this] { mn_HinzuvonAll_Click(); });
    addItem(m_bookmarkMenu, "mn_HinzuvonLinks",
            QStringLiteral("Links vom Browser-Fenster im Vordergrund hinzufügen"),
            [this] { mn_HinzuvonLinks_Click(); });
    m_bookmarkMenu->addSeparator();
    addItem(m_bookmarkMenu, "mn_Hinzufügen", QStringLiteral("&Hinzufügen"),
            [this] { mn_Hinzufuegen_Click(); });
    addItem(m_bookmarkMenu, "mn_Loeschen", QStringLiteral("&Löschen"),
            [this] { mn_Loeschen_Click(); });
    addItem(m_bookmarkMenu, "mn_Eigenschaften", QStringLiteral("&Eigenschaften"),
            [this] { mn_Eigenschaften_Click(); });
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
        addItem(exportMenu, f.plain, Txt(f.caption), [this, f] { ExportArchive(f.format); });
    QMenu* importMenu = subMenu(m_archive, "mn_import", QStringLiteral("&Importieren"));
    addItem(importMenu, "mn_ImpNetscapeHtml", Txt(1018), [this] { mn_ImpNetscapeHtml_Click(); });
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
    m_renaming = nullptr;
    m_tree->clear();
    QTreeWidgetItem* root = makeNode(kRootKey, Txt(kTextArchive), kImageRoot, TagRoot);
    m_tree->addTopLevelItem(root);
    root->setExpanded(true);
    FileResult read;
    if (!m_book.LoadAllThema(&read)) {
        setBusy(false);
        // An archive that could not be read is told, and neither replaced
        // by the samples nor saved over.
        if (!Succeeded(read))
            return;
        // An empty archive gets the sample file, once: a sample that yields
        // no folder must not start the import again.
        if (!m_sampleTried && importSample) {
            m_sampleTried = true;
            importSample(QDir(AppFolder()).filePath(QStringLiteral("orvbooksamples.html")));
        }
        return;
    }
    ThemaList* folders = m_book.colThema();
    for (qsizetype i = 0; folders && i < folders->count(); ++i) {
        Thema& folder = folders->at(i);
        Succeeded(folder.LoadBookmarks(m_book.folder()));
        QTreeWidgetItem* node = addFolderNode(folder, int(root->childCount()));
        if (const BookmarkList* bookmarks = folder.colBookmark())
            for (const Bookmark& bookmark : *bookmarks)
                node->addChild(makeBookmarkNode(folder, bookmark));
    }
    setBusy(false);
}

QTreeWidgetItem* BookmarkPanel::addFolderNode(const Thema& folder, int position)
{
    QTreeWidgetItem* node =
        makeNode(QString::number(folder.Nr()) + kSep, folder.DirName(), kImageDir, TagDir);
    Root()->insertChild(position, node);
    return node;
}

QTreeWidgetItem* BookmarkPanel::makeBookmarkNode(const Thema& folder, const Bookmark& bookmark)
{
    return makeNode(QString::number(folder.Nr()) + kSep + QString::number(bookmark.Nr),
                    bookmark.shownTitle(), bookmark.isFeed() ? kImageXml : kImageUrl, TagUrl);
}

void BookmarkPanel::SaveArchive()
{
    setBusy(true);
    const bool saved = !m_book.IsModified() || Succeeded(m_book.SaveAllThema());
    setBusy(false);
    // After a failed save the tree keeps the changes that are not stored.
    if (saved)
        LoadTree();
}

void BookmarkPanel::AskSaveChanges(bool reloadOnNo)
{
    if (!m_book.IsModified())
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
        const FileResult saved = m_book.SaveAllThema();
        setBusy(false);
        Succeeded(saved);
    } else if (reloadOnNo) {
        m_book.ClearModified();
        LoadTree();
    }
}

FileResult BookmarkPanel::ImportDocument(const DocNode& body)
{
    if (!m_importArmed)
        return FileResult::failure(QStringLiteral("no import armed"));
    const FileResult result = ImportBookmarkDocument(m_book, body);
    const UnstorableTexts unstorable =
        m_book.colThema() ? UnstorableNames(*m_book.colThema()) : UnstorableTexts();
    LoadTree();
    reportUnstorable(unstorable);
    return result;
}

// --- nodes ------------------------------------------------------------------------------

QTreeWidgetItem* BookmarkPanel::Root() const
{
    return m_tree->topLevelItemCount() > 0 ? m_tree->topLevelItem(0) : nullptr;
}

QTreeWidgetItem* BookmarkPanel::Selected() const
{
    return m_tree->currentItem();
}

QTreeWidgetItem* BookmarkPanel::FolderNode(const QString& name) const
{
    QTreeWidgetItem* root = Root();
    for (int i = 0; root && i < root->childCount(); ++i)
        if (root->child(i)->text(0) == name)
            return root->child(i);
    return nullptr;
}

QString BookmarkPanel::NodeKey(const QTreeWidgetItem* node)
{
    return node ? node->data(0, KeyRole).toString() : QString();
}

QString BookmarkPanel::NodeTag(const QTreeWidgetItem* node)
{
    return node ? node->data(0, TagRole).toString() : QString();
}

QString BookmarkPanel::NodeImage(const QTreeWidgetItem* node)
{
    return node ? node->data(0, ImageRole).toString() : QString();
}

void BookmarkPanel::GetLAndR_Indx(const QTreeWidgetItem* node, qint16& nDirNr, qint16& nBookmarkNr)
{
    const QString key = NodeKey(node);
    const qsizetype at = key.indexOf(kSep);
    if (at < 0)
        return;
    nDirNr = qint16(key.left(at).toShort());
    if (at != key.size() - 1)
        nBookmarkNr = qint16(key.mid(at + 1).toShort());
}

int BookmarkPanel::GetDirIdx(const ThemaList& folders, int nr)
{
    for (qsizetype i = 0; i < folders.count(); ++i)
        if (folders.at(i).Nr() == nr)
            return int(i + 1);
    return 0;
}

int BookmarkPanel::GetBookmarkIdx(const BookmarkList& bookmarks, int nr)
{
    for (qsizetype i = 0; i < bookmarks.count(); ++i)
        if (bookmarks.at(i).Nr == nr)
            return int(i + 1);
    return 0;
}

Thema* BookmarkPanel::FolderOf(const QTreeWidgetItem* node)
{
    ThemaList* folders = m_book.colThema();
    if (!node || !folders || NodeTag(node) == TagRoot)
        return nullptr;
    qint16 dir = 0;
    qint16 bookmark = 0;
    GetLAndR_Indx(node, dir, bookmark);
    const int index = GetDirIdx(*folders, dir);
    return index > 0 ? &folders->at(index - 1) : nullptr;
}

Bookmark* BookmarkPanel::BookmarkOf(const QTreeWidgetItem* node)
{
    if (NodeTag(node) != TagUrl)
        return nullptr;
    Thema* folder = FolderOf(node);
    BookmarkList* bookmarks = folder ? folder->colBookmark() : nullptr;
    if (!bookmarks)
        return nullptr;
    qint16 dir = 0;
    qint16 number = 0;
    GetLAndR_Indx(node, dir, number);
    const int index = GetBookmarkIdx(*bookmarks, number);
    return index > 0 ? &bookmarks->at(index - 1) : nullptr;
}

// --- folders ------------------------------------------------------------------------------

bool BookmarkPanel::keyTaken(qint32 key) const
{
    const ThemaList* folders = m_book.colThema();
    const QString file = QString::number(key) + QStringLiteral(".bkm");
    if (folders)
        for (const Thema& folder : *folders)
            if (folder.Nr() == key || folder.FileName().compare(file, Qt::CaseInsensitive) == 0)
                return true;
    return false;
}

QString BookmarkPanel::NewFolderName() const
{
    const QString base = Txt(kTextNewFolder);
    QString name = base;
    for (int n = 1; FolderNode(name); ++n)
        name = base + QStringLiteral(" (") + QString::number(n) + QLatin1Char(')');
    return name;
}

void BookmarkPanel::mn_AddOrdner_Click()
{
    AddDirToArchive(NewFolderName());
}

void BookmarkPanel::AddDirToArchive(const QString& sTitel)
{
    QTreeWidgetItem* root = Root();
    if (!root)
        return;
    QTreeWidgetItem* reference = Selected() ? Selected() : root;
    if (NodeTag(reference) == TagUrl)
        reference = reference->parent();
    // A key whose number or file another folder already has is skipped, so
    // that no folder file is written over by another.
    qint32 key = m_book.GetNewKey();
    for (int tries = 0; tries < kKeyTries && keyTaken(key); ++tries)
        key = m_book.GetNewKey();
    Thema folder;
    folder.setNr(key);
    folder.setFileName(QString::number(key) + QStringLiteral(".bkm"));
    folder.setDirName(sTitel);
    folder.setSequenz(key);
    ThemaList& folders = m_book.ensureColThema();
    int position = 0;
    if (NodeTag(reference) == TagDir) {
        const Thema* after = FolderOf(reference);
        position = int(folders.indexOf(after)) + 1;
    }
    const Thema& added = folders.insert(position, std::move(folder), Thema::KeyFor(key));
    m_tree->setSortingEnabled(false);
    const int nodePosition = NodeTag(reference) == TagDir ? root->indexOfChild(reference) + 1 : 0;
    m_tree->setCurrentItem(addFolderNode(added, nodePosition));
    m_book.setIsEdit(true);
}

void BookmarkPanel::mn_AttrOrdner_Click()
{
    QTreeWidgetItem* node = Selected();
    if (NodeTag(node) != TagDir)
        return;
    node->setFlags(node->flags() | Qt::ItemIsEditable);
    m_renaming = node;
    m_renameOld = node->text(0);
    m_tree->editItem(node, 0);
}

bool BookmarkPanel::FinishRename(QTreeWidgetItem* node, const QString& text)
{
    m_renaming = nullptr;
    if (!node)
        return false;
    node->setFlags(node->flags() & ~Qt::ItemIsEditable);
    const QString name = text.trimmed();
    const QString old = node->text(0);
    if (name == old)
        return false;
    QString refusal;
    if (name.isEmpty()) {
        refusal = Txt(kTextNeedsName);
    } else if (FolderNode(name)) {
        refusal = Txt(kTextNameTaken) + name + Txt(kTextNameTakenEnd) + QLatin1Char('\n') +
                  Txt(kTextOtherName);
    }
    if (!refusal.isEmpty()) {
        ShowMessage(kTitle, refusal, MsgIcon::Warning);
        // Editing starts again once the message is gone.
        const QString key = NodeKey(node);
        QTimer::singleShot(0, this, [this, key] {
            QTreeWidgetItem* root = Root();
            for (int i = 0; root && i < root->childCount(); ++i) {
                if (NodeKey(root->child(i)) == key) {
                    m_tree->setCurrentItem(root->child(i));
                    mn_AttrOrdner_Click();
                    return;
                }
            }
        });
        return false;
    }
    if (Thema* folder = FolderOf(node)) {
        UpdateDir(*folder, node, name);
        UnstorableTexts unstorable;
        unstorable.check(name);
        reportUnstorable(unstorable);
    }
    return true;
}

void BookmarkPanel::reportUnstorable(const UnstorableTexts& texts)
{
    if (texts.count() > 0)
        ShowMessage(kTitle, texts.notice(), MsgIcon::Information);
}

void BookmarkPanel::UpdateDir(Thema& folder, QTreeWidgetItem* node, const QString& sName)
{
    folder.setDirName(sName);
    m_settingText = true;
    node->setText(0, sName);
    m_settingText = false;
    m_book.setIsEdit(true);
}

void BookmarkPanel::mn_DelOrdner_Click()
{
    QTreeWidgetItem* node = Selected();
    Thema* folder = NodeTag(node) == TagDir ? FolderOf(node) : nullptr;
    if (!folder)
        return;
    if (folder->bookmarkCount() > 0) {
        if (folder->DirName().trimmed() == m_host.startFolderName().trimmed()) {
            ShowMessage(kTitle, Txt(kTextStartFolder) + QStringLiteral("\r\n") + Txt(kTextConflict),
                        MsgIcon::Warning);
            return;
        }
        if (ShowMessage(kTitle, Txt(kTextNotEmpty), MsgIcon::Question, MsgButtons::OkCancel,
                        MsgAnswer::Ok) != MsgAnswer::Ok)
            return;
    }
    const qsizetype index = m_book.colThema()->indexOf(folder);
    if (!Succeeded(m_book.DeleteThema(qint16(index + 1))))
        return;
    delete node;
}

// --- bookmarks ----------------------------------------------------------------------------

void BookmarkPanel::AddBkmToArchive(const QString& sTitel, const QString& sUrl,
                                    const QString& sInfo)
{
    QTreeWidgetItem* selected = Selected();
    Thema* folder = FolderOf(selected);
    if (!folder)
        return;
    Bookmark bookmark;
    bookmark.Titel = sTitel;
    bookmark.URL = sUrl;
    bookmark.Info = sInfo;
    bookmark.Adresszeile = true;
    bookmark.Toolbar = true;
    bookmark.Nr = folder->GetNewKey();
    BookmarkList& list = folder->ensureColBookmark();
    const QString key = Bookmark::KeyFor(folder->Nr(), bookmark.Nr);
    if (NodeTag(selected) == TagUrl) {
        const qsizetype after = list.indexOf(BookmarkOf(selected));
        const Bookmark& added = list.insert(after + 1, std::move(bookmark), key);
        QTreeWidgetItem* parent = selected->parent();
        parent->insertChild(parent->indexOfChild(selected) + 1, makeBookmarkNode(*folder, added));
    } else {
        const Bookmark& added = list.insert(0, std::move(bookmark), key);
        selected->insertChild(0, makeBookmarkNode(*folder, added));
    }
    folder->setIsEdit(true);
    m_book.setIsEdit(true);
}

void BookmarkPanel::UpdateBookmark(Bookmark& bookmark, const QString& sTitel, const QString& sUrl,
                                   const QString& sInfo, bool bAdress, bool bToolb)
{
    bookmark.Titel = sTitel;
    bookmark.URL = sUrl;
    bookmark.Info = sInfo;
    bookmark.Adresszeile = bAdress;
    bookmark.Toolbar = bToolb;
    QTreeWidgetItem* node = Selected();
    if (Thema* folder = FolderOf(node)) {
        folder->setIsEdit(true);
        if (BookmarkOf(node) == &bookmark) {
            node->setText(0, bookmark.shownTitle());
            setImage(node, bookmark.isFeed() ? kImageXml : kImageUrl);
        }
    }
    m_book.setIsEdit(true);
}

bool BookmarkPanel::showBookmarkDialog(bool add)
{
    QTreeWidgetItem* selected = Selected();
    Bookmark* edited = add ? nullptr : BookmarkOf(selected);
    if (!add && !edited)
        return false;
    Thema* folder = FolderOf(selected);
    QPointer<frmBMProperty> dialog = new frmBMProperty(m_window);
    dialog->setup(add, bBatchmode, BkTitel, BkUrl, edited);
    dialog->addressTaken = [folder](const QString& address) {
        const BookmarkList* list = folder ? folder->colBookmark() : nullptr;
        if (list)
            for (const Bookmark& b : *list)
                if (b.URL == address)
                    return true;
        return false;
    };
    const int answer = Dialogs().execDialog(*dialog);
    if (!dialog)
        return false;
    if (dialog->batchCancelled()) {
        bBatchmode = false;
        bStopBookmarking = true;
    }
    const bool accepted = answer == 1;
    if (accepted) {
        const QString title = dialog->Title();
        if (add)
            AddBkmToArchive(title, dialog->Address(), dialog->Description());
        else if (BookmarkOf(selected) == edited)
            UpdateBookmark(*edited, title, dialog->Address(), dialog->Description(),
                           dialog->ShowAddressBar(), dialog->ShowToolbar());
        BkTitel.clear();
        BkUrl.clear();
        UnstorableTexts unstorable;
        unstorable.check(title, dialog->Description());
        reportUnstorable(unstorable);
    }
    delete dialog.data();
    return accepted;
}

void BookmarkPanel::mn_Hinzufuegen_Click()
{
    showBookmarkDialog(true);
}

void BookmarkPanel::mn_Eigenschaften_Click()
{
    showBookmarkDialog(false);
}

namespace {

void proposeFrom(const ToolsWindowInfo& window, QString& title, QString& url)
{
    title = window.feedAddress.isEmpty() ? window.caption : FeedMarker.toString() + window.caption;
    url = window.feedAddress.isEmpty() ? window.address : window.feedAddress;
}

} // namespace

void BookmarkPanel::mn_Hinzuvon_Click()
{
    const std::optional<ToolsWindowInfo> front = m_host.frontWindow();
    if (!front)
        return;
    proposeFrom(*front, BkTitel, BkUrl);
    bBatchmode = false;
    showBookmarkDialog(true);
}

void BookmarkPanel::mn_HinzuvonAll_Click()
{
    mn_Hinzuvon_Click();
    bStopBookmarking = false;
    bBatchmode = true;
    for (const ToolsWindowInfo& window : m_host.allWindows()) {
        if (bStopBookmarking)
            break;
        proposeFrom(window, BkTitel, BkUrl);
        showBookmarkDialog(true);
    }
    bBatchmode = false;
}

void BookmarkPanel::mn_HinzuvonLinks_Click()
{
    m_host.frontDocument(this, [this](const DocSnapshot& document) { addLinks(document); });
}

void BookmarkPanel::addLinks(const DocSnapshot& document)
{
    const DocSnapshot* shown = &document;
    if (const FrameSnapshot* frame = document.activeFrame()) {
        if (frame->refused || !frame->document) {
            ShowMessage(QStringLiteral("Fehlerbehandlung"),
                        QStringLiteral("Cross-Domain Referenz\r\nDOM-Zugriff verweigert !"),
                        MsgIcon::Warning);
            return;
        }
        shown = frame->document.get();
    }
    if (!shown->valid) {
        if (!shown->error.isEmpty())
            ShowMessage(QStringLiteral("Fehlerbehandlung"),
                        shown->error + QStringLiteral(" [0] - mn_HinzuvonLinks_Click()"),
                        MsgIcon::Warning);
        return;
    }
    for (const QString& address : LinkAddresses(*shown))
        AddBkmToArchive(address, address, QString());
}

QStringList BookmarkPanel::LinkAddresses(const DocSnapshot& document)
{
    if (!document.valid || !document.htmlDocument)
        return {};
    const QString base = document.url.left(document.url.lastIndexOf(u'/') + 1);
    const qsizetype serverEnd = base.indexOf(u'/', 7);
    const QString server = serverEnd >= 0 ? base.left(serverEnd) : base;
    UniqSortStrCollection collection;
    for (const DocNode* element : document.elements()) {
        QString value;
        if (element->nodeName == QLatin1String("A"))
            value = element->href.isEmpty() ? element->attribute(u"href") : element->href;
        else if (element->nodeName == QLatin1String("FRAME"))
            value = element->src.isEmpty() ? element->attribute(u"src") : element->src;
        else
            continue;
        if (value.isEmpty() || value.contains(QLatin1String("javascript:"), Qt::CaseInsensitive) ||
            value.contains(QLatin1String("mailto:"), Qt::CaseInsensitive))
            continue;
        const QString part =
            value.left(value.indexOf(u'#') < 0 ? value.size() : value.indexOf(u'#'));
        if (part.isEmpty())
            continue;
        if (part.contains(u':'))
            collection.Add(part);
        else if (part.startsWith(u'/'))
            collection.Add(server + part);
        else
            collection.Add(base + part);
    }
    return collection.SortedStrCollection();
}

void BookmarkPanel::mn_Loeschen_Click()
{
    QTreeWidgetItem* node = Selected();
    Bookmark* bookmark = BookmarkOf(node);
    Thema* folder = FolderOf(node);
    if (!bookmark || !folder)
        return;
    BookmarkList* list = folder->colBookmark();
    list->removeAt(list->indexOf(bookmark));
    delete node;
    folder->setIsEdit(true);
    m_book.setIsEdit(true);
}

void BookmarkPanel::openOne(const Bookmark& bookmark)
{
    if (bookmark.isFeed())
        m_host.openXmlFeedBkm(bookmark.URL.trimmed());
    else
        m_host.visitUrl(bookmark.URL, bookmark.Adresszeile, bookmark.Toolbar);
}

void BookmarkPanel::OpenBookmark()
{
    if (const Bookmark* bookmark = BookmarkOf(Selected()))
        openOne(*bookmark);
}

void BookmarkPanel::OpenAll()
{
    QTreeWidgetItem* node = Selected();
    const Thema* folder = NodeTag(node) == TagDir ? FolderOf(node) : nullptr;
    if (!folder || folder->bookmarkCount() == 0)
        return;
    const int count = int(folder->bookmarkCount());
    if (NoticeNeeded(count, m_host.windowCount(), m_host.warnUser())) {
        bool warnUser = m_host.warnUser();
        const bool confirmed = ConfirmManyWindows(m_window, count, warnUser);
        m_host.setWarnUser(warnUser);
        if (!confirmed)
            return;
    }
    setBusy(true);
    m_host.setMainBusy(true);
    for (const Bookmark& bookmark : *folder->colBookmark()) {
        const bool last = m_host.windowCount() >= m_host.maxBrowser();
        openOne(bookmark);
        if (last)
            break;
    }
    m_host.setMainBusy(false);
    setBusy(false);
}

void BookmarkPanel::mn_StartBkmRoundtrip_Click()
{
    Thema* folder = FolderOf(Selected());
    if (!folder || folder->bookmarkCount() == 0)
        return;
    // The trip reads the folder file: it must hold what the tree shows.
    if (folder->IsEdit() && !Succeeded(folder->SaveBookmarks(m_book.folder())))
        return;
    m_host.startBookmarkRoundtrip(folder->FileName());
}

void BookmarkPanel::mn_setHome_Click()
{
    if (const Bookmark* bookmark = BookmarkOf(Selected()))
        m_host.setStartPage(bookmark->Titel, bookmark->URL);
}

void BookmarkPanel::mn_SortBkm_Click()
{
    QTreeWidgetItem* node = Selected();
    if (NodeTag(node) == TagUrl)
        node = node->parent();
    if (NodeTag(node) == TagDir)
        node->sortChildren(0, Qt::AscendingOrder);
}

void BookmarkPanel::mn_SortOrdner_Click()
{
    if (QTreeWidgetItem* root = Root())
        root->sortChildren(0, Qt::AscendingOrder);
}

void BookmarkPanel::mn_Sortieren_Click()
{
    QTreeWidgetItem* node = Selected();
    if (!node || NodeTag(node) == TagRoot)
        mn_SortOrdner_Click();
    else if (node->parent())
        node->parent()->sortChildren(0, Qt::AscendingOrder);
}

// --- drops ----------------------------------------------------------------------------------

QString BookmarkPanel::DropTitle(const QString& address, const QString& dropped,
                                 const QString& historyTitle)
{
    if (!historyTitle.isEmpty())
        return historyTitle;
    const QString title = titleFromAddress(address);
    if (address.endsWith(title) && address != dropped)
        return titleFromAddress(dropped);
    return title;
}

void BookmarkPanel::DropAddress(const QString& dropped)
{
    const QTreeWidgetItem* selected = Selected();
    if (!selected || selected->text(0) == Txt(kTextArchive) || NodeTag(selected) == TagRoot)
        return;
    if (dropped.trimmed().isEmpty())
        return;
    // A dropped file address is kept as the local path it names.
    QString address = dropped;
    if (address.startsWith(QLatin1String("file:///")))
        address = QUrl(address).toLocalFile();
    AddBkmToArchive(DropTitle(address, dropped, m_host.historyTitle(address)), address, QString());
}

// --- export and import ----------------------------------------------------------------------

void BookmarkPanel::ExportArchive(ExportFormat format)
{
    exportFlow(format, ExportSource::Archive(m_book), true);
}

void BookmarkPanel::ExportFolder(ExportFormat format)
{
    const Thema* folder = FolderOf(Selected());
    if (folder)
        exportFlow(format, ExportSource::Folder(*folder), false);
}

void BookmarkPanel::exportFlow(ExportFormat format, const ExportSource& source, bool archive)
{
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.title = Txt(exportTitle(format, archive));
    request.startFolder = DataFolder();
    request.filters = QStringList{filterOf(format)};
    const QString path = Dialogs().fileDialog(request);
    if (path.isEmpty())
        return;
    RssChannel channel;
    if (format == ExportFormat::Rss) {
        rssnOpen = 2;
        rssFilename = path;
        QPointer<frmRSSHeader> dialog = new frmRSSHeader(m_window, rssTitle, rssFilename);
        const int answer = Dialogs().execDialog(*dialog);
        const bool create = answer == 1 && dialog;
        if (create) {
            channel = dialog->Channel();
            rssTitle = channel.title;
            rssFilename = dialog->FileName();
            rssnOpen = dialog->OpenMode();
        }
        delete dialog.data();
        if (!create)
            return;
    }
    const QString target = format == ExportFormat::Rss ? rssFilename : path;
    setBusy(true);
    const FileResult written =
        WriteExportFile(target, ExportBytes(format, source, QDateTime::currentDateTime(), channel));
    setBusy(false);
    const bool xml = format == ExportFormat::Xml || format == ExportFormat::Rss;
    if (!written.ok && xml) {
        ShowMessage(kTitle, written.error, MsgIcon::Warning);
        return;
    }
    if (format == ExportFormat::Rss) {
        if (rssnOpen == 1)
            m_host.openXmlFeedBkm(fileAddress(target));
        else if (rssnOpen == 2)
            m_host.visitUrl(fileAddress(target), true, true);
        return;
    }
    if (ShowMessage(kTitle, Txt(kTextExportDone) + target + Txt(kTextExportShow),
                    MsgIcon::Information, MsgButtons::YesNo, MsgAnswer::Yes) == MsgAnswer::Yes)
        m_host.visitUrl(fileAddress(target), true, true);
}

void BookmarkPanel::mn_ImpNetscapeHtml_Click()
{
    m_importArmed = true;
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Open;
    request.title = Txt(kTextImportTitle);
    request.startFolder = DataFolder();
    request.filters = QStringList{filterOf(ExportFormat::Netscape)};
    const QString path = Dialogs().fileDialog(request);
    if (path.isEmpty() || !importFile)
        return;
    // The import replaces the whole archive: unsaved edits are saved or
    // given up first, as when the tab is left; Cancel keeps them and the
    // archive as it is.
    if (m_book.IsModified()) {
        m_host.suspendExternalOpen(true);
        const MsgAnswer answer = ShowMessage(kTitle, Txt(kTextSaveChanges), MsgIcon::Question,
                                             MsgButtons::YesNoCancel, MsgAnswer::Yes);
        m_host.suspendExternalOpen(false);
        if (answer == MsgAnswer::Cancel)
            return;
        if (answer == MsgAnswer::Yes) {
            setBusy(true);
            const FileResult saved = m_book.SaveAllThema();
            setBusy(false);
            if (!Succeeded(saved))
                return;
        }
        m_book.ClearModified();
    }
    importFile(path);
}

// --- menus and keys -----------------------------------------------------------------------

void BookmarkPanel::UpdateMenus()
{
    QTreeWidgetItem* node = Selected();
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
    if (!node) {
        setBookmarkItems(false, false);
        enable("mn_Hinzufügen", false);
        setAddFrom(false);
        enable("mn_AddOrdner", m_tree->topLevelItemCount() > 0);
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
    QTreeWidgetItem* node = Selected();
    const QRect place = node ? m_tree->visualItemRect(node) : QRect();
    m_modify->popup(m_tree->viewport()->mapToGlobal(place.bottomLeft()));
}

bool BookmarkPanel::HandleKey(int key, Qt::KeyboardModifiers modifiers)
{
    const QString tag = NodeTag(Selected());
    const bool ctrl = modifiers & Qt::ControlModifier;
    if (key == Qt::Key_Delete && !ctrl) {
        if (tag == TagDir)
            mn_DelOrdner_Click();
        else if (tag == TagUrl)
            mn_Loeschen_Click();
        return true;
    }
    if (key == Qt::Key_Insert && !ctrl) {
        ShowModifyMenu();
        return true;
    }
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !ctrl) {
        OpenBookmark();
        return tag == TagUrl;
    }
    if (ctrl && key == Qt::Key_E) {
        if (tag == TagDir)
            ExportFolder(ExportFormat::Netscape);
        else if (tag == TagRoot)
            ExportArchive(ExportFormat::Netscape);
        return true;
    }
    if (ctrl && key == Qt::Key_I) {
        if (tag == TagRoot)
            mn_ImpNetscapeHtml_Click();
        return true;
    }
    return false;
}

} // namespace orv
