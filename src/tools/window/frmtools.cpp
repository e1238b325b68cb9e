#include "tools/window/frmtools.h"

#include "app/dialogseam.h"
#include "app/texts.h"
#include "platform/bookmarkloader.h"
#include "tools/window/bookmarkcommands.h"
#include "tools/window/bookmarkpanel.h"
#include "tools/window/historypanel.h"
#include "tools/window/layoutpanel.h"
#include "tools/window/searchpanel.h"
#include "tools/window/toolshost.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

namespace orv {

namespace {

const QString kKeyBookmarks = QStringLiteral("bkarchiv");
const QString kKeyHistory = QStringLiteral("history");
const QString kKeySearch = QStringLiteral("search");
const QString kKeyLayouts = QStringLiteral("wlayout");

constexpr int kTextTools = 300;
constexpr int kTextBookmarkArchive = 1001;
constexpr int kTextHistory = 302;
constexpr int kTextSearch = 1500;
constexpr int kTextLayouts = 1550;
constexpr int kTextArchiv = 1033;
constexpr int kTextEdit = 1034;
constexpr int kTextSort = 1029;
constexpr int kTextClose = 1035;
constexpr int kTextOpen = 1036;

// The height of the client area when the window is first made, pixels.
constexpr int kDesignHeight = 480;

QString withoutAccessKeys(const QString& text)
{
    QString plain = text;
    return plain.remove(QLatin1Char('&'));
}

QString keyOfTool(int tool)
{
    switch (tool) {
    case frmTools::ToolHistory:
        return kKeyHistory;
    case frmTools::ToolSearch:
        return kKeySearch;
    case frmTools::ToolLayouts:
        return kKeyLayouts;
    default:
        return kKeyBookmarks;
    }
}

int toolOfKey(const QString& key)
{
    if (key == kKeyHistory)
        return frmTools::ToolHistory;
    if (key == kKeySearch)
        return frmTools::ToolSearch;
    if (key == kKeyLayouts)
        return frmTools::ToolLayouts;
    return frmTools::ToolBookmarks;
}

QString captionOfTool(int tool)
{
    switch (tool) {
    case frmTools::ToolHistory:
        return withoutAccessKeys(Txt(kTextHistory));
    case frmTools::ToolSearch:
        return withoutAccessKeys(Txt(kTextSearch));
    case frmTools::ToolLayouts:
        return withoutAccessKeys(Txt(kTextLayouts));
    default:
        return Txt(kTextBookmarkArchive);
    }
}

QToolButton* addButton(QToolBar* bar, const QString& key, const QString& tip)
{
    auto* button = new QToolButton(bar);
    button->setObjectName(key);
    button->setText(tip);
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bar->addWidget(button);
    return button;
}

} // namespace

frmTools::frmTools(ToolsHost& host, const QString& dataFolder, QWidget* parent)
    : QWidget(parent, Qt::Tool), m_host(host)
{
    setObjectName(QStringLiteral("frmTools"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(withoutAccessKeys(Txt(kTextTools)));
    setAccessibleName(windowTitle());

    m_loader = new BookmarkFileLoader(this);
    m_bookmarks = new BookmarkPanel(host, this, dataFolder);
    connect(m_bookmarks, &BookmarkPanel::statusText, this, &frmTools::SetStatusText);
    connect(m_bookmarks, &BookmarkPanel::sampleImportRequested, this, &frmTools::ImportFile);
    connect(m_bookmarks, &BookmarkPanel::importRequested, this, &frmTools::ImportFile);
    connect(m_bookmarks, &BookmarkPanel::closeRequested, this, &QWidget::close);
    m_history = new HistoryPanel(host, this);
    connect(m_history, &HistoryPanel::statusText, this, &frmTools::SetStatusText);
    m_search = new SearchPanel(host, this);
    connect(m_search, &SearchPanel::statusText, this, &frmTools::SetStatusText);
    m_layouts = new LayoutPanel(host, this, dataFolder);
    connect(m_layouts, &LayoutPanel::statusText, this, &frmTools::SetStatusText);
    connect(m_loader, &BookmarkFileLoader::loaded, this, [this](const DocSnapshot& document) {
        unsetCursor();
        m_host.setMainBusy(false);
        const DocNode* body = document.valid ? document.body() : nullptr;
        if (!body || !m_bookmarks->ImportArmed())
            return;
        // The data core refuses a file that would give too many bookmarks.
        const FileResult imported = m_bookmarks->ImportDocument(*body);
        if (!imported.ok)
            ShowMessage(QStringLiteral("Meldung"), imported.error, MsgIcon::Warning);
    });
    buildBars();

    resize(kBookmarkWidthTwips / kTwipsPerPixel, kDesignHeight);
    m_bookmarks->LoadTree();
    m_layouts->LoadLayoutArchive();
    m_search->LoadSearchFile(host.searchEngineFile());
    m_restoreHeight = kDesignHeight;
    m_loadHeight = kDesignHeight;
    showLoaded();
}

// The host's parts that the window reaches go on living; the window only
// releases its own.
frmTools::~frmTools() = default;

void frmTools::buildBars()
{
    m_coolBar1 = new QWidget(this);
    m_coolBar1->setObjectName(QStringLiteral("CoolBar1"));
    m_coolBar1->setAccessibleName(QStringLiteral("Werkzeugleiste"));
    auto* bands = new QHBoxLayout(m_coolBar1);
    bands->setContentsMargins(0, 0, 0, 0);
    bands->setSpacing(0);

    // Band "minmax": roll up and unroll, an exclusive pair.
    m_toolbar4 = new QToolBar(m_coolBar1);
    m_toolbar4->setObjectName(QStringLiteral("Toolbar4"));
    m_toolbar4->setAccessibleName(QStringLiteral("Aufklappen"));
    QToolButton* min = addButton(m_toolbar4, QStringLiteral("min"), Txt(kTextClose));
    QToolButton* max = addButton(m_toolbar4, QStringLiteral("max"), Txt(kTextOpen));
    min->setCheckable(true);
    max->setCheckable(true);
    max->setChecked(true);
    min->setAutoExclusive(true);
    max->setAutoExclusive(true);
    m_toolbar4->setFixedWidth(kMinMaxWidthTwips / kTwipsPerPixel);
    connect(min, &QToolButton::clicked, this, [this] { mn_mini_Click(); });
    connect(max, &QToolButton::clicked, this, [this] { mn_aufklapp_Click(); });
    bands->addWidget(m_toolbar4);

    // Band "bkarchiv".
    m_toolbar1 = new QToolBar(m_coolBar1);
    m_toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar1->setAccessibleName(Txt(kTextBookmarkArchive));
    QToolButton* archiv = addButton(m_toolbar1, QStringLiteral("archiv"), Txt(kTextArchiv));
    archiv->setMenu(m_bookmarks->ArchiveMenu());
    archiv->setPopupMode(QToolButton::InstantPopup);
    QToolButton* edit = addButton(m_toolbar1, QStringLiteral("edit"), Txt(kTextEdit));
    connect(edit, &QToolButton::clicked, m_bookmarks, &BookmarkPanel::ShowModifyMenu);
    QToolButton* sort = addButton(m_toolbar1, QStringLiteral("sort"), Txt(kTextSort));
    connect(sort, &QToolButton::clicked, m_bookmarks, &BookmarkPanel::mn_Sortieren_Click);
    connect(m_bookmarks->ArchiveMenu(), &QMenu::aboutToShow, m_bookmarks,
            &BookmarkPanel::UpdateMenus);
    bands->addWidget(m_toolbar1, 1);
    // Bands "history", "search" and "wlayout"; one tool band shows at a time.
    for (QToolBar* band : {m_history->Toolbar2(), m_search->SearchBand(), m_layouts->Toolbar3()}) {
        bands->addWidget(band, 1);
        band->hide();
    }
    m_search->CoolBar2()->hide();

    m_tabToolbar = new QWidget(this);
    m_tabToolbar->setObjectName(QStringLiteral("TabToolbar"));
    m_tabToolbar->setAccessibleName(QStringLiteral("Register"));
    auto* tabLayout = new QHBoxLayout(m_tabToolbar);
    tabLayout->setContentsMargins(0, 0, 0, 0);
    m_tabStrip = new QTabBar(m_tabToolbar);
    m_tabStrip->setObjectName(QStringLiteral("TabStrip1"));
    m_tabStrip->setAccessibleName(QStringLiteral("Tools"));
    m_tabStrip->setShape(QTabBar::RoundedSouth);
    m_tabStrip->setExpanding(false);
    for (int tool = ToolBookmarks; tool <= ToolLayouts; ++tool) {
        const int tab = m_tabStrip->addTab(captionOfTool(tool));
        m_tabStrip->setTabData(tab, keyOfTool(tool));
    }
    tabLayout->addWidget(m_tabStrip);
    connect(m_tabStrip, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index >= 0)
            TabStrip1_Click(m_tabStrip->tabData(index).toString());
    });

    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("StatusBar1"));
    m_statusBar->setAccessibleName(QStringLiteral("Statuszeile"));
    m_statusBar->setSizeGripEnabled(false);
    m_statusPanel = new QLabel(m_statusBar);
    m_statusPanel->setObjectName(QStringLiteral("status"));
    m_statusPanel->setAccessibleName(QStringLiteral("Status"));
    m_statusBar->addWidget(m_statusPanel, 1);

    // The window menu: corners, roll up and unroll.
    m_windowMenu = new QMenu(this);
    m_windowMenu->setObjectName(QStringLiteral("mn_BkFenster"));
    m_windowMenu->setTitle(QStringLiteral("Fenster"));
    m_windowMenu->setAccessibleName(QStringLiteral("Fenster"));
    const struct {
        const char* name;
        const char* caption;
    } corners[] = {{"mn_lo", "&Links oben"},
                   {"mn_ro", "&Rechts oben"},
                   {"mn_lu", "Link&s unten"},
                   {"mn_ru", "Rechts &unten"}};
    for (int i = 0; i < 4; ++i) {
        QAction* action = m_windowMenu->addAction(QString::fromUtf8(corners[i].caption));
        action->setObjectName(QString::fromUtf8(corners[i].name));
        connect(action, &QAction::triggered, this, [this, i] { MoveToCorner(i); });
    }
    m_windowMenu->addSeparator();
    QAction* mini = m_windowMenu->addAction(QStringLiteral("&Minimieren"));
    mini->setObjectName(QStringLiteral("mn_mini"));
    connect(mini, &QAction::triggered, this, &frmTools::mn_mini_Click);
    QAction* aufklapp = m_windowMenu->addAction(QStringLiteral("&Aufklappen"));
    aufklapp->setObjectName(QStringLiteral("mn_aufklapp"));
    connect(aufklapp, &QAction::triggered, this, &frmTools::mn_aufklapp_Click);

    // Ctrl+I and Ctrl+E on the tab strip.
    m_tabStrip->installEventFilter(this);
    // Ctrl+A checks the rows: the lists and the term field would take it
    // for selecting.
    for (QWidget* taker : {static_cast<QWidget*>(m_history->ListView1()),
                           static_cast<QWidget*>(m_search->ListView2()),
                           static_cast<QWidget*>(m_search->termEdit())})
        taker->installEventFilter(this);
    // The search form file loads after the tab may have been opened: its
    // failure is told then.
    connect(m_search, &SearchPanel::formsRead, this, [this] {
        if (m_search->SearchFormFailed && nCurrentTool == ToolSearch && isVisible())
            m_search->OpenTab(width());
    });
}

QToolButton* frmTools::Button(const QString& key) const
{
    // The current tool's buttons first: several bands use the same keys.
    if (nCurrentTool == ToolSearch)
        if (QToolButton* button = m_search->Button(key))
            return button;
    for (QToolBar* bar : {toolBand(nCurrentTool), m_toolbar1, m_toolbar4})
        if (auto* button = bar->findChild<QToolButton*>(key))
            return button;
    return nullptr;
}

QToolBar* frmTools::toolBand(int tool) const
{
    switch (tool) {
    case ToolHistory:
        return m_history->Toolbar2();
    case ToolSearch:
        return m_search->SearchBand();
    case ToolLayouts:
        return m_layouts->Toolbar3();
    default:
        return m_toolbar1;
    }
}

QWidget* frmTools::ToolList(int tool) const
{
    switch (tool) {
    case ToolHistory:
        return m_history->ListView1();
    case ToolSearch:
        return m_search->ListView2();
    case ToolLayouts:
        return m_layouts->TreeView2();
    default:
        return m_bookmarks->TreeView1();
    }
}

QString frmTools::StatusText() const
{
    return m_statusPanel->text();
}

void frmTools::SetStatusText(const QString& text)
{
    m_statusPanel->setText(text);
}

// The current tool at load: the bookmark archive marks itself open.
void frmTools::showLoaded()
{
    for (int tool = ToolBookmarks; tool <= ToolLayouts; ++tool) {
        toolBand(tool)->setVisible(tool == nCurrentTool);
        ToolList(tool)->setVisible(tool == nCurrentTool);
    }
    if (nCurrentTool == ToolBookmarks)
        m_host.setBookOpen(true);
    layoutList();
}

// --- opening and tabs -----------------------------------------------------------------

void frmTools::OpenOn(int tool)
{
    nCurrentTool = tool;
    if (isVisible()) {
        Aufklapp();
        SelectTool();
        raise();
        activateWindow();
        if (tool == ToolSearch)
            m_search->termEdit()->setFocus();
        else if (QWidget* list = ToolList(nCurrentTool))
            list->setFocus();
        return;
    }
    const int widthTwips = tool == ToolHistory ? kHistoryWidthTwips : kBookmarkWidthTwips;
    resize(widthTwips / kTwipsPerPixel, height());
    // Placed by its outer rectangle, which is known once it is shown.
    placeBesideHost();
    show();
    placeBesideHost();
    SelectTool();
}

void frmTools::placeBesideHost()
{
    QWidget* main = m_host.hostWindow();
    if (!main)
        return;
    const QRect outer = main->frameGeometry();
    const int toolsWidth = frameGeometry().width();
    move(qAbs(outer.width() - toolsWidth) + outer.left() - kLeftOffsetTwips / kTwipsPerPixel,
         outer.top() + kTopOffsetTwips / kTwipsPerPixel);
}

void frmTools::SelectTool()
{
    const QString key = keyOfTool(nCurrentTool);
    for (int i = 0; i < m_tabStrip->count(); ++i) {
        if (m_tabStrip->tabData(i).toString() == key) {
            const QSignalBlocker quiet(m_tabStrip);
            m_tabStrip->setCurrentIndex(i);
        }
    }
    // Choosing a tab always runs its click, even when it was chosen already.
    TabStrip1_Click(key);
    layoutList();
}

void frmTools::TabStrip1_Click(const QString& key)
{
    SetStatusText(QString());
    const int tool = toolOfKey(key);
    setWindowTitle(captionOfTool(tool));
    if (tool != ToolBookmarks)
        m_bookmarks->AskSaveChanges(true);
    nCurrentTool = tool;
    for (int other = ToolBookmarks; other <= ToolLayouts; ++other) {
        toolBand(other)->setVisible(other == tool);
        toolBand(other)->setEnabled(other == tool);
        ToolList(other)->setVisible(other == tool);
    }
    m_search->CoolBar2()->setVisible(tool == ToolSearch);
    m_search->CoolBar2()->setEnabled(tool == ToolSearch);
    m_search->groupChoice()->setEnabled(tool == ToolSearch);
    if (tool == ToolBookmarks)
        m_host.setBookOpen(true);
    layoutList();
    QWidget* list = ToolList(tool);
    if (tool == ToolSearch) {
        setTabOrder(m_search->termEdit(), list);
        setTabOrder(list, m_tabStrip);
        m_search->termEdit()->setFocus();
    } else {
        setTabOrder(list, m_tabStrip);
        list->setFocus();
    }
    openToolTab(tool);
    m_coolBar1->show();
}

// The tab's own part of opening it.
void frmTools::openToolTab(int tool)
{
    switch (tool) {
    case ToolHistory:
        m_history->OpenTab(width());
        break;
    case ToolSearch:
        m_search->Combo1_Click();
        m_search->OpenTab(width());
        break;
    case ToolLayouts:
        m_layouts->UpdateLayoutCommands();
        break;
    default:
        break;
    }
}

// --- layout -------------------------------------------------------------------------------

int frmTools::listHeight(int tool) const
{
    int top = m_coolBar1->sizeHint().height();
    if (tool == ToolSearch && m_search->CoolBar2()->isVisibleTo(this))
        top += m_search->CoolBar2()->sizeHint().height();
    const int h =
        height() - top - m_statusBar->sizeHint().height() - m_tabToolbar->sizeHint().height();
    return h > 0 ? h : 0;
}

void frmTools::layoutList()
{
    if (m_layingOut)
        return;
    m_layingOut = true;
    const int bar = m_coolBar1->sizeHint().height();
    const int tabs = m_tabToolbar->sizeHint().height();
    const int status = m_statusBar->sizeHint().height();
    if (height() < bar) {
        // Lower than the top bar: only the caption bar stays.
        m_collapsed = true;
        m_coolBar1->hide();
        m_coolBar1->setEnabled(false);
        m_statusBar->hide();
        m_statusBar->setEnabled(false);
        m_tabToolbar->hide();
        setMinMax(true);
        if (QToolButton* edit = m_toolbar1->findChild<QToolButton*>(QStringLiteral("edit")))
            edit->setEnabled(false);
        if (height() > 0)
            setClientHeight(0);
    } else {
        m_collapsed = false;
        m_coolBar1->setEnabled(true);
        m_coolBar1->show();
        // Rolled up, the tab strip and the status bar would lie over the
        // top bar: they show only where they fit below it.
        const bool tabsFit = bar + tabs <= height();
        const bool statusFits = bar + tabs + status <= height();
        m_statusBar->setEnabled(statusFits);
        m_statusBar->setVisible(statusFits);
        m_tabToolbar->setVisible(tabsFit);
        m_coolBar1->setGeometry(0, 0, width(), bar);
        const int tabsTop = height() - tabs - (statusFits ? status : 0);
        m_statusBar->setGeometry(0, height() - status, width(), status);
        m_tabToolbar->setGeometry(0, tabsTop, width(), tabs);
        int top = bar;
        QWidget* coolBar2 = m_search->CoolBar2();
        if (nCurrentTool == ToolSearch) {
            // The group band gives way when the window is too low for it.
            const bool fits = bar + tabs + status <= height();
            coolBar2->setVisible(fits);
            coolBar2->setEnabled(fits);
            if (fits) {
                coolBar2->setGeometry(0, bar, width(), coolBar2->sizeHint().height());
                top += coolBar2->sizeHint().height();
            }
        }
        const int h = listHeight(nCurrentTool);
        QWidget* list = ToolList(nCurrentTool);
        if (h > 0 && width() > 0) {
            setMinMax(false);
            list->setGeometry(0, top, width(), h);
            if (nCurrentTool == ToolBookmarks)
                if (QToolButton* edit = m_toolbar1->findChild<QToolButton*>(QStringLiteral("edit")))
                    edit->setEnabled(true);
            if (nCurrentTool == ToolHistory)
                m_history->SizeHistoryColumns(width());
            else if (nCurrentTool == ToolSearch)
                m_search->SizeSearchColumns(width());
        } else {
            list->setGeometry(0, top, width(), 0);
        }
    }
    m_tabStrip->setFixedWidth(m_tabToolbar->width());
    m_layingOut = false;
}

void frmTools::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutList();
}

void frmTools::setMinMax(bool rolledUp)
{
    if (QToolButton* min = Button(QStringLiteral("min")))
        min->setChecked(rolledUp);
    if (QToolButton* max = Button(QStringLiteral("max")))
        max->setChecked(!rolledUp);
}

void frmTools::setClientHeight(int height)
{
    resize(width(), height);
}

bool frmTools::IsRolledUp() const
{
    return m_collapsed || height() <= m_coolBar1->sizeHint().height();
}

// --- rolling up ------------------------------------------------------------------------------

void frmTools::mn_mini_Click()
{
    if (height() > 0) {
        m_restoreHeight = height();
        setClientHeight(m_coolBar1->sizeHint().height());
    }
    setMinMax(true);
    if (QToolButton* edit = m_toolbar1->findChild<QToolButton*>(QStringLiteral("edit")))
        edit->setEnabled(false);
    m_history->Button(QStringLiteral("check"))->setEnabled(false);
    m_search->Button(QStringLiteral("check"))->setEnabled(false);
}

void frmTools::mn_aufklapp_Click()
{
    if (m_restoreHeight < m_loadHeight) {
        m_restoreHeight = m_loadHeight;
        setClientHeight(m_loadHeight);
    } else {
        setClientHeight(m_restoreHeight);
    }
    setMinMax(false);
    if (QToolButton* edit = m_toolbar1->findChild<QToolButton*>(QStringLiteral("edit")))
        edit->setEnabled(nCurrentTool == ToolBookmarks);
    m_history->Button(QStringLiteral("check"))
        ->setEnabled(m_history->ListView1()->topLevelItemCount() > 0);
    m_search->Button(QStringLiteral("check"))
        ->setEnabled(m_search->ListView2()->topLevelItemCount() > 0 && !m_search->SearchFormFailed);
}

void frmTools::Aufklapp()
{
    if (IsRolledUp())
        mn_aufklapp_Click();
}

void frmTools::MoveToCorner(int corner)
{
    QWidget* main = m_host.hostWindow();
    if (!main)
        return;
    const QRect outer = main->frameGeometry();
    const QSize tools = frameGeometry().size();
    const bool right = corner == 1 || corner == 3;
    const bool bottom = corner >= 2;
    move(right ? outer.left() + outer.width() - tools.width() : outer.left(),
         bottom ? outer.top() + outer.height() - tools.height() : outer.top());
}

void frmTools::ShowBarsOnly()
{
    setClientHeight(m_coolBar1->sizeHint().height() + m_tabToolbar->sizeHint().height());
}

// --- events ----------------------------------------------------------------------------------

void frmTools::mouseDoubleClickEvent(QMouseEvent* event)
{
    static_cast<void>(event);
    ShowBarsOnly();
}

void frmTools::contextMenuEvent(QContextMenuEvent* event)
{
    // The context-menu key opens the archive's menu under the selected node.
    if (event->reason() == QContextMenuEvent::Keyboard && nCurrentTool == ToolBookmarks) {
        m_bookmarks->ShowModifyMenu();
        return;
    }
    if (event->reason() == QContextMenuEvent::Keyboard && nCurrentTool == ToolLayouts) {
        m_layouts->ShowModifyMenu();
        return;
    }
    m_windowMenu->popup(event->globalPos());
}

bool frmTools::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_tabStrip && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier &&
            key->key() == Qt::Key_A) {
            toggleCheckAll();
            return true;
        }
    }
    if (watched == m_tabStrip && event->type() == QEvent::KeyPress &&
        nCurrentTool == ToolBookmarks) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::ControlModifier && key->key() == Qt::Key_I) {
            m_bookmarks->Commands().mn_ImpNetscapeHtml_Click();
            return true;
        }
        if (key->modifiers() == Qt::ControlModifier && key->key() == Qt::Key_E) {
            m_bookmarks->Commands().ExportArchive(ExportFormat::Netscape);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// Keys the window's controls leave alone come here.
void frmTools::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    if (modifiers == Qt::AltModifier && event->key() == Qt::Key_Q) {
        mn_mini_Click();
        return;
    }
    if (modifiers == Qt::AltModifier && event->key() == Qt::Key_W) {
        mn_aufklapp_Click();
        return;
    }
    if (modifiers == Qt::ControlModifier && event->key() == Qt::Key_O) {
        if (!IsRolledUp() && nCurrentTool == ToolBookmarks)
            m_bookmarks->mn_Sortieren_Click();
        else if (!IsRolledUp() && nCurrentTool == ToolLayouts)
            m_layouts->SortLayoutList();
        return;
    }
    if (modifiers == Qt::ControlModifier && event->key() == Qt::Key_A) {
        toggleCheckAll();
        return;
    }
    if (modifiers == Qt::ControlModifier && event->key() == Qt::Key_S && !IsRolledUp()) {
        if (nCurrentTool == ToolHistory)
            m_history->OpenCheckedHistory();
        else if (nCurrentTool == ToolSearch)
            m_search->StartSearch();
        else if (nCurrentTool == ToolLayouts)
            m_layouts->OpenLayoutSelection();
        return;
    }
    if (event->key() == Qt::Key_F5 && nCurrentTool == ToolHistory) {
        m_history->Refresh();
        return;
    }
    if (event->key() == Qt::Key_Menu && nCurrentTool == ToolBookmarks) {
        m_bookmarks->ShowModifyMenu();
        return;
    }
    if (event->key() == Qt::Key_Menu && nCurrentTool == ToolLayouts) {
        m_layouts->ShowModifyMenu();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmTools::closeEvent(QCloseEvent* event)
{
    m_bookmarks->AskSaveChanges(false);
    m_host.setBookOpen(false);
    m_search->SearchFormFailed = false;
    m_host.raiseMainWindowLater();
    event->accept();
}

void frmTools::toggleCheckAll()
{
    if (IsRolledUp() || (nCurrentTool != ToolHistory && nCurrentTool != ToolSearch))
        return;
    QToolButton* check = Button(QStringLiteral("check"));
    if (!check || !check->isEnabled())
        return;
    check->toggle();
    if (nCurrentTool == ToolHistory)
        m_history->CheckAllHistory();
    else
        m_search->CheckAllSearch();
}

// --- import ----------------------------------------------------------------------------------

void frmTools::ImportFile(const QString& path)
{
    setCursor(Qt::WaitCursor);
    m_host.setMainBusy(true);
    m_loader->load(path);
}

} // namespace orv
