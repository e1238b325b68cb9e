#include "tools/window/layoutpanel.h"

#include "app/dialogseam.h"
#include "app/texthelpers.h"
#include "platform/icons.h"
#include "tools/window/toolshost.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace orv {

namespace {

const QString kTitle = QStringLiteral("Meldung");
const QString kOpenLayout = QStringLiteral("Anordnung öffnen");
const QString kOpenWindow = QStringLiteral("Fenster öffnen");

QString yesNo(bool value)
{
    return value ? QStringLiteral("Ja") : QStringLiteral("Nein");
}

QString number(float value)
{
    return QString::number(double(value));
}

// The digits after the "@" of a key.
int numberAfterAt(const QString& key)
{
    const qsizetype at = key.indexOf(QLatin1Char('@'));
    return at < 0 ? 0 : key.mid(at + 1).toInt();
}

QTreeWidgetItem* makeNode(const QString& key, const QString& text, const QString& image,
                          const QString& tag)
{
    auto* node = new QTreeWidgetItem(QStringList{text});
    node->setData(0, LayoutPanel::KeyRole, key);
    node->setData(0, LayoutPanel::ImageRole, image);
    node->setData(0, LayoutPanel::TagRole, tag);
    node->setIcon(0, TreeImage(image));
    return node;
}

} // namespace

// --- the dialog ---------------------------------------------------------------------------

frmWLProperty::frmWLProperty(QWidget* parent, bool bNewWL, const QString& name, const QString& info,
                             const QStringList& takenNames)
    : QDialog(parent), m_new(bNewWL), m_takenNames(takenNames)
{
    setObjectName(QStringLiteral("frmWLProperty"));
    setWindowTitle(QStringLiteral("Anordnung - [") +
                   (bNewWL ? QStringLiteral("Hinzufügen") : QStringLiteral("Eigenschaften")) +
                   QLatin1Char(']'));
    setAccessibleName(windowTitle());
    auto* form = new QFormLayout;
    nameEdit = new QLineEdit(this);
    nameEdit->setObjectName(QStringLiteral("Text1"));
    nameEdit->setAccessibleName(QStringLiteral("Name"));
    descriptionEdit = new QLineEdit(this);
    descriptionEdit->setObjectName(QStringLiteral("Text2"));
    descriptionEdit->setAccessibleName(QStringLiteral("Beschreibung"));
    form->addRow(QStringLiteral("Name:"), nameEdit);
    form->addRow(QStringLiteral("Beschreibung:"), descriptionEdit);
    auto* buttons = new QDialogButtonBox(this);
    Ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    Ok->setObjectName(QStringLiteral("Ok"));
    Ok->setAccessibleName(QStringLiteral("OK"));
    Ok->setDefault(true);
    Cancel = buttons->addButton(QStringLiteral("Abbruch"), QDialogButtonBox::RejectRole);
    Cancel->setObjectName(QStringLiteral("Cancel"));
    Cancel->setAccessibleName(QStringLiteral("Abbruch"));
    // OK checks first; the box's own accept would close at once.
    disconnect(buttons, &QDialogButtonBox::accepted, nullptr, nullptr);
    connect(Ok, &QPushButton::clicked, this, &frmWLProperty::Ok_Click);
    connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(nameEdit, &QLineEdit::returnPressed, this, &frmWLProperty::Ok_Click);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    if (!bNewWL) {
        nameEdit->setText(name);
        descriptionEdit->setText(info);
    }
}

void frmWLProperty::Ok_Click()
{
    if (nameEdit->text().isEmpty()) {
        ShowMessage(kTitle, QStringLiteral("Feld darf nicht leer sein."), MsgIcon::Critical);
        nameEdit->setFocus();
        return;
    }
    if (m_new && m_takenNames.contains(nameEdit->text()) &&
        ShowMessage(kTitle, QStringLiteral("Der Name existiert bereits, trotzdem übernehmen ?"),
                    MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::No) != MsgAnswer::Yes)
        return;
    done(1);
}

QString frmWLProperty::Name() const
{
    return nameEdit->text();
}

QString frmWLProperty::Info() const
{
    return descriptionEdit->text();
}

// --- the panel ----------------------------------------------------------------------------

LayoutPanel::LayoutPanel(ToolsHost& host, QWidget* window, const QString& dataFolder)
    : QObject(window), m_host(host), m_window(window), m_book(dataFolder)
{
    m_tree = new QTreeWidget(window);
    m_tree->setObjectName(QStringLiteral("TreeView2"));
    m_tree->setAccessibleName(QStringLiteral("Layout Archiv"));
    m_tree->setHeaderHidden(true);
    m_tree->setSortingEnabled(false);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    m_tree->installEventFilter(this);

    m_menu = new QMenu(window);
    m_menu->setObjectName(QStringLiteral("mn_ModifyLayout"));
    m_menu->setAccessibleName(QStringLiteral("Bearbeiten"));
    const struct {
        const char* name;
        const char* caption;
        void (LayoutPanel::*slot)();
    } items[] = {{"mn_OpenLayoutForm", "Anordnung öffnen", &LayoutPanel::OpenLayoutSelection},
                 {"mn_tz27", "", nullptr},
                 {"mn_AddLayout", "Hinzufügen...", &LayoutPanel::mn_AddLayout_Click},
                 {"mn_DelLayout", "Löschen", &LayoutPanel::mn_DelLayout_Click},
                 {"mn_LayoutProp", "Eigenschaften...", &LayoutPanel::mn_LayoutProp_Click}};
    for (const auto& item : items) {
        QAction* action =
            item.slot ? m_menu->addAction(QString::fromUtf8(item.caption)) : m_menu->addSeparator();
        action->setObjectName(QString::fromUtf8(item.name));
        if (item.slot)
            connect(action, &QAction::triggered, this, item.slot);
    }

    m_toolbar = new QToolBar(window);
    m_toolbar->setObjectName(QStringLiteral("Toolbar3"));
    m_toolbar->setAccessibleName(QStringLiteral("Layout Archiv"));
    const struct {
        const char* key;
        const char* tip;
    } buttons[] = {{"layout", "Anordnung öffnen"}, {"edit", "Bearbeiten"}, {"sort", "Sortieren"}};
    for (const auto& b : buttons) {
        auto* button = new QToolButton(m_toolbar);
        button->setObjectName(QString::fromUtf8(b.key));
        button->setText(QString::fromUtf8(b.tip));
        button->setToolTip(button->text());
        button->setAccessibleName(button->text());
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        m_toolbar->addWidget(button);
    }
    connect(Button(QStringLiteral("layout")), &QToolButton::clicked, this,
            &LayoutPanel::OpenLayoutSelection);
    connect(Button(QStringLiteral("edit")), &QToolButton::clicked, this,
            &LayoutPanel::ShowModifyMenu);
    connect(Button(QStringLiteral("sort")), &QToolButton::clicked, this,
            &LayoutPanel::SortLayoutList);

    connect(m_tree, &QTreeWidget::currentItemChanged, this, &LayoutPanel::UpdateLayoutCommands);
    connect(m_tree, &QTreeWidget::itemClicked, this, [this] {
        UpdateLayoutCommands();
        Button(QStringLiteral("edit"))
            ->setEnabled(MenuItem(QStringLiteral("mn_AddLayout"))->isEnabled() ||
                         MenuItem(QStringLiteral("mn_DelLayout"))->isEnabled() ||
                         MenuItem(QStringLiteral("mn_LayoutProp"))->isEnabled());
    });
    connect(m_tree, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_menu->popup(m_tree->viewport()->mapToGlobal(at)); });
}

LayoutPanel::~LayoutPanel() = default;

QToolButton* LayoutPanel::Button(const QString& key) const
{
    return m_toolbar->findChild<QToolButton*>(key);
}

QAction* LayoutPanel::MenuItem(const QString& name) const
{
    return m_menu->findChild<QAction*>(name);
}

QString LayoutPanel::NodeKey(const QTreeWidgetItem* node)
{
    return node ? node->data(0, KeyRole).toString() : QString();
}

QString LayoutPanel::NodeTag(const QTreeWidgetItem* node)
{
    return node ? node->data(0, TagRole).toString() : QString();
}

QTreeWidgetItem* LayoutPanel::Selected() const
{
    QTreeWidgetItem* node = m_tree->currentItem();
    return node && node->isSelected() ? node : nullptr;
}

int LayoutPanel::GetLayoutIdx(const QString& key) const
{
    return m_book.PositionOfSequenz(numberAfterAt(key));
}

void LayoutPanel::setStatus(const QString& text)
{
    Q_EMIT statusText(text);
}

// --- the tree -------------------------------------------------------------------------------

void LayoutPanel::LoadLayoutArchive()
{
    FileResult error;
    const bool loaded = m_book.LoadAllLayouts(&error);
    // An archive that cannot be read is told; its writers refuse until it
    // is read (the old file is never saved over).
    if (!error.ok)
        ShowMessage(kTitle, error.error, MsgIcon::Critical);
    if (!loaded)
        return;
    m_tree->clear();
    m_tree->setSortingEnabled(false);
    for (const LayoutItem& item : m_book.colLayout())
        AddLayoutNode(item, nullptr, false);
    m_tree->update();
}

void LayoutPanel::AddLayoutNode(const LayoutItem& item, QTreeWidgetItem* relative, bool bExp)
{
    const QString sequenz = QString::number(item.Sequenz());
    QTreeWidgetItem* layout = makeNode(QLatin1Char('@') + sequenz, item.LayoutName(),
                                       QStringLiteral("layout"), TagLayout);
    if (relative)
        m_tree->insertTopLevelItem(m_tree->indexOfTopLevelItem(relative) + 1, layout);
    else
        m_tree->addTopLevelItem(layout);
    for (const FensterInfo& info : item.colFensterInfo()) {
        QString title = info.Titel;
        if (IsFeedTitle(title))
            title = title.mid(FeedMarker.size());
        QTreeWidgetItem* window = makeNode(sequenz + QLatin1Char('@') + QString::number(info.Nr),
                                           title, QStringLiteral("layoutwin"), TagWin);
        layout->addChild(window);
        const QStringList details = {QStringLiteral("URL: ") + info.URL.trimmed(),
                                     QStringLiteral("Adresszeile: ") + yesNo(info.AdressbarVisible),
                                     QStringLiteral("Toolbar: ") + yesNo(info.ToolbarVisible),
                                     QStringLiteral("X-Position: ") + number(info.x),
                                     QStringLiteral("Y-Position: ") + number(info.y),
                                     QStringLiteral("Breite: ") + number(info.Breite),
                                     QStringLiteral("Höhe: ") + number(info.Hoehe)};
        for (const QString& detail : details)
            window->addChild(makeNode(QString(), detail, QStringLiteral("layoutinf"), TagInfo));
    }
    layout->setExpanded(bExp);
}

// --- commands -------------------------------------------------------------------------------

bool LayoutPanel::runDialog(bool bNewWL)
{
    QStringList takenNames;
    for (const LayoutItem& item : m_book.colLayout())
        takenNames.append(item.LayoutName());
    QPointer<frmWLProperty> dialog =
        new frmWLProperty(m_window, bNewWL, WLTitel, WLInfo, takenNames);
    const int answer = Dialogs().execDialog(*dialog);
    if (!dialog)
        return false;
    const bool accepted = answer == 1;
    if (accepted) {
        WLTitel = dialog->Name();
        WLInfo = dialog->Info();
    }
    delete dialog.data();
    return accepted;
}

void LayoutPanel::mn_AddLayout_Click()
{
    if (!m_book.ReadError().ok) {
        // Adding would save a book of the new layout alone over the old one.
        ShowMessage(kTitle, m_book.ReadError().error, MsgIcon::Critical);
        return;
    }
    m_host.suspendExternalOpen(true);
    if (m_host.isActiveWindowMaximized()) {
        // The captured positions would be those of the maximised window.
        ShowMessage(kTitle,
                    QStringLiteral("Eine Anordnung kann nur zum Archiv hinzugefügt werden wenn "
                                   "kein Fenster maximiert ist."),
                    MsgIcon::Information);
    } else {
        if (runDialog(true))
            AddLayoutToArchive(WLTitel, WLInfo, true);
        UpdateLayoutCommands();
    }
    m_host.suspendExternalOpen(false);
}

void LayoutPanel::AddLayoutToArchive(const QString& sName, const QString& sInfo, bool bExp)
{
    LayoutItem item(m_book.Folder());
    item.setIsEdit(true);
    int position = 0;
    QTreeWidgetItem* relative = nullptr;
    QTreeWidgetItem* selected = Selected();
    if (NodeTag(selected) == TagLayout) {
        position = GetLayoutIdx(NodeKey(selected));
        relative = selected;
    }
    int nr = 1;
    for (const LayoutWindowState& window : m_host.captureLayoutWindows())
        item.colFensterInfo().append(fensterInfoFromWindow(window, nr++));
    const int added = m_book.AddLayout(item, sName, sInfo, position);
    if (const LayoutItem* stored = m_book.layout(added))
        AddLayoutNode(*stored, relative, bExp);
    const FileResult saved = m_book.SaveAllLayouts();
    if (!saved.ok)
        ShowMessage(kTitle, saved.error, MsgIcon::Critical);
}

void LayoutPanel::UpdateLayout(int nKey, const QString& sName, const QString& sInfo)
{
    LayoutItem* item = m_book.layout(nKey);
    if (!item)
        return;
    item->setLayoutName(sName);
    item->setInfo(sInfo);
    const FileResult saved = m_book.UpdateAllLayouts();
    if (!saved.ok)
        ShowMessage(kTitle, saved.error, MsgIcon::Critical);
}

void LayoutPanel::mn_LayoutProp_Click()
{
    QTreeWidgetItem* node = Selected();
    const int position = NodeTag(node) == TagLayout ? GetLayoutIdx(NodeKey(node)) : 0;
    const LayoutItem* item = m_book.layout(position);
    if (!item)
        return;
    m_host.suspendExternalOpen(true);
    WLTitel = item->LayoutName().trimmed();
    WLInfo = item->Info().trimmed();
    if (runDialog(false))
        UpdateLayout(position, WLTitel, WLInfo);
    node->setText(0, WLTitel);
    m_host.suspendExternalOpen(false);
}

void LayoutPanel::mn_DelLayout_Click()
{
    QTreeWidgetItem* node = Selected();
    if (NodeTag(node) == TagLayout &&
        ShowMessage(kTitle, QStringLiteral("Die Anordnung wird gelöscht, trotzdem fortfahren ?"),
                    MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::No) == MsgAnswer::Yes) {
        const FileResult deleted = m_book.DeleteLayout(GetLayoutIdx(NodeKey(node)));
        if (!deleted.ok)
            ShowMessage(kTitle, deleted.error, MsgIcon::Critical);
        else
            delete node;
        m_tree->update();
        UpdateLayoutCommands();
    }
    if (m_book.IsEmpty())
        Button(QStringLiteral("layout"))->setEnabled(false);
}

void LayoutPanel::OpenLayoutSelection()
{
    QTreeWidgetItem* node = Selected();
    const QString tag = NodeTag(node);
    if (tag == TagLayout) {
        if (const LayoutItem* item = m_book.layout(GetLayoutIdx(NodeKey(node))))
            m_host.openArchivedLayout(item->FileName());
    } else if (tag == TagWin) {
        const LayoutItem* item = m_book.layout(GetLayoutIdx(NodeKey(node->parent())));
        const int nr = numberAfterAt(NodeKey(node));
        if (!item)
            return;
        for (const FensterInfo& info : item->colFensterInfo()) {
            if (info.Nr != nr)
                continue;
            const LayoutOpenArgs args = layoutOpenArgs(info);
            // Only the bars come along; position and size are the default.
            if (args.IsFeed())
                m_host.openXmlFeedBkm(args.sUrl);
            else
                m_host.visitUrl(args.sUrl, args.bAdress, args.bToolb);
            return;
        }
    }
}

void LayoutPanel::UpdateLayoutCommands()
{
    QTreeWidgetItem* node = Selected();
    QAction* open = MenuItem(QStringLiteral("mn_OpenLayoutForm"));
    QAction* separator = MenuItem(QStringLiteral("mn_tz27"));
    QToolButton* button = Button(QStringLiteral("layout"));
    const QString tag = NodeTag(node);
    MenuItem(QStringLiteral("mn_AddLayout"))->setEnabled(true);
    MenuItem(QStringLiteral("mn_LayoutProp"))->setEnabled(tag == TagLayout);
    MenuItem(QStringLiteral("mn_DelLayout"))->setEnabled(tag == TagLayout);
    if (!node) {
        open->setEnabled(false);
        button->setEnabled(false);
        setStatus(QString());
        return;
    }
    open->setEnabled(true);
    button->setEnabled(tag != TagInfo);
    open->setVisible(tag != TagInfo);
    separator->setVisible(tag != TagInfo);
    const QString caption = tag == TagWin ? kOpenWindow : kOpenLayout;
    if (tag != TagInfo) {
        open->setText(caption);
        button->setToolTip(caption);
    }
    QString status;
    if (tag == TagWin) {
        const LayoutItem* item = m_book.layout(GetLayoutIdx(NodeKey(node->parent())));
        const int nr = numberAfterAt(NodeKey(node));
        for (const FensterInfo& info : item ? item->colFensterInfo() : QList<FensterInfo>{})
            if (info.Nr == nr)
                status = info.URL.trimmed();
    }
    setStatus(status);
}

void LayoutPanel::SortLayoutList()
{
    m_tree->sortItems(0, Qt::AscendingOrder);
    m_tree->setSortingEnabled(false);
}

void LayoutPanel::ShowModifyMenu()
{
    UpdateLayoutCommands();
    QTreeWidgetItem* node = Selected();
    const QRect at = node ? m_tree->visualItemRect(node) : QRect();
    m_menu->popup(m_tree->viewport()->mapToGlobal(node ? at.bottomLeft() : QPoint(0, 0)));
}

bool LayoutPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_tree && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        QAction* del = MenuItem(QStringLiteral("mn_DelLayout"));
        if (key->key() == Qt::Key_Delete && del->isEnabled()) {
            mn_DelLayout_Click();
            return true;
        }
        if (key->key() == Qt::Key_Insert) {
            ShowModifyMenu();
            return true;
        }
    } else if (watched == m_tree && event->type() == QEvent::FocusOut) {
        UpdateLayoutCommands();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace orv
