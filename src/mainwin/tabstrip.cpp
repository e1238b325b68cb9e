#include "mainwin/tabstrip.h"

#include "app/dialogseam.h"
#include "app/textids.h"
#include "app/texts.h"
#include "browser/frmbrowser.h"
#include "mainwin/mainflags.h"
#include "mainwin/menuitems.h"
#include "mainwin/windowregistry.h"
#include "platform/icons.h"
#include "prefs/prefer.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QTabBar>
#include <QTextDocument>
#include <QToolBar>
#include <QVBoxLayout>

// The tab strip (the register row): one tab per browser window under its
// key, in its own bar docked at the top or the bottom of the main window,
// drawn as tabs or as flat buttons, with its menu commands and its own
// context menu.

namespace orv {

namespace {

const QString kRegister = QStringLiteral("mn_Register");
const QString kOben = QStringLiteral("mn_RegisterOben");
const QString kUnten = QStringLiteral("mn_RegisterUnten");
const QString kTabs = QStringLiteral("mn_RegisterTabs");
const QString kButton = QStringLiteral("mn_RegisterButton");

// The position and style items that follow the row's visibility.
const QStringList kRowItems{kOben, kUnten, kButton, kTabs};

// A failure inside the strip's handlers: what the message boxes show.
struct TabError {
    int number;
    QString description;
};
const TabError kTabKeyMissing{35601, QStringLiteral("Element nicht gefunden")};

// Tab style values: tabs and flat buttons.
constexpr int kStyleTabs = 0;
constexpr int kStyleButtons = 2;

// Flat buttons: every tab a framed button, the selected one pressed.
const QString kButtonSheet = QStringLiteral(
    "QTabBar::tab { border: 1px solid palette(mid); border-radius: 3px;"
    " background: palette(button); padding: 2px 8px; margin: 2px 2px; }"
    "QTabBar::tab:hover:!selected { background: palette(light); }"
    "QTabBar::tab:selected { background: palette(mid); border-color: palette(shadow); }");

// The number between the brackets of a window key; 0 when there is none.
int numberOfKey(const QString& key)
{
    if (key.size() < 3 || !key.startsWith(QLatin1Char('[')) || !key.endsWith(QLatin1Char(']')))
        return 0;
    return key.mid(1, key.size() - 2).toInt();
}

// Tabs never shrink below a readable caption: with many windows the strip
// scrolls instead; the full title is the tab's tool tip.
class ReadableTabBar final : public QTabBar {
public:
    using QTabBar::QTabBar;

protected:
    QSize minimumTabSizeHint(int index) const override
    {
        const QSize base = QTabBar::minimumTabSizeHint(index);
        const int readable = fontMetrics().averageCharWidth() * TabStrip::kReadableChars;
        return {qMin(qMax(base.width(), readable), tabSizeHint(index).width()), base.height()};
    }
};

} // namespace

TabStrip::TabStrip(QMainWindow& main, WindowRegistry& registry, MenuItems& items, MainFlags& flags,
                   Prefer& prefer)
    : m_main(main), m_registry(registry), m_items(items), m_flags(flags), m_prefer(prefer)
{
    m_tabBar = new QToolBar(&main);
    m_tabBar->setObjectName(QStringLiteral("Toolbar1"));
    m_tabBar->setAccessibleName(QStringLiteral("Registerzeile"));
    m_tabBar->setWindowTitle(QStringLiteral("Registerzeile"));
    m_tabBar->setMovable(false);
    m_tabBar->setFloatable(false);
    m_tabBar->setContextMenuPolicy(Qt::PreventContextMenu);

    // The strip sits in a holder whose margins give its vertical offset.
    m_tabHost = new QWidget(m_tabBar);
    m_tabHost->setObjectName(QStringLiteral("TabStripHolder"));
    m_tabHost->setAccessibleName(QStringLiteral("Registerzeile"));
    m_tabHost->setContextMenuPolicy(Qt::PreventContextMenu);
    m_tabHost->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    auto* layout = new QVBoxLayout(m_tabHost);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_tabs = new ReadableTabBar(m_tabHost);
    m_tabs->setObjectName(QStringLiteral("TabStrip1"));
    m_tabs->setAccessibleName(QStringLiteral("Register"));
    m_tabs->setExpanding(false);
    m_tabs->setUsesScrollButtons(true);
    m_tabs->setElideMode(Qt::ElideRight);
    m_tabs->setAcceptDrops(true);
    m_tabs->setContextMenuPolicy(Qt::PreventContextMenu);
    setTabFont();
    layout->addWidget(m_tabs);
    m_tabBar->addWidget(m_tabHost);
    m_main.addToolBar(Qt::TopToolBarArea, m_tabBar);

    connect(m_tabs, &QTabBar::currentChanged, this, &TabStrip::TabStrip1_Click);
    // A click on the tab that is selected already brings its window to the
    // front as well.
    connect(m_tabs, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index >= 0 && index == m_tabs->currentIndex())
            TabStrip1_Click(index);
    });
    m_tabsObject = m_tabs;
    m_tabs->installEventFilter(this);
    m_main.installEventFilter(this);

    // The windows of the registry: a tab each, captions and pictures from
    // their reports.
    connect(&m_registry, &WindowRegistry::windowRegistered, this,
            [this](frmBrowser* window, const QString& caption) {
                CreateTab(window->ID(), caption);
                if (QAction* reg = m_items.Item(kRegister))
                    SetToolbarVisible(reg->isChecked());
                connect(window, &frmBrowser::tabCaptionChanged, this,
                        [this](int id, const QString& t) { SetTapTitle(t, id); });
                connect(window, &frmBrowser::tabImageChanged, this, &TabStrip::SetTabImage);
                connect(window, &frmBrowser::tabImageReset, this, &TabStrip::ResetTabImage);
            });
    connect(&m_registry, &WindowRegistry::windowUnregistered, this, &TabStrip::RemoveTab);
}

TabStrip::~TabStrip()
{
    // The main window outlives this part for a moment: no more of its
    // events come here.
    m_main.removeEventFilter(this);
}

bool TabStrip::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_main) {
        if (event->type() == QEvent::Resize)
            TabStripResize();
        return false;
    }
    // Compared as plain objects: the strip may be on its way out, and it is
    // never cast while it goes.
    if (watched != m_tabsObject)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            const int index = m_tabs->tabAt(mouse->position().toPoint());
            // Ctrl+click chooses the tab without selecting it.
            if (mouse->modifiers() & Qt::ControlModifier) {
                toggleChosen(index);
                return true;
            }
            if (index >= 0)
                ClearSelection();
        }
        // The right button belongs to the strip's own menu; it does not
        // reach the main window's area behind the strip.
        return mouse->button() == Qt::RightButton;
    }
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && (mouse->modifiers() & Qt::ControlModifier))
            return true;
        TabStrip1_MouseUp(mouse->button(), mouse->globalPosition().toPoint());
        return mouse->button() == Qt::RightButton;
    }
    case QEvent::ContextMenu:
        event->accept();
        return true;
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        const QMimeData* data = drag->mimeData();
        if (m_registry.ExternalOpenEnabled() && data && (data->hasUrls() || data->hasText()))
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::Drop:
        TabStrip1_OLEDragDrop(static_cast<QDropEvent*>(event));
        return true;
    default:
        return false;
    }
}

// --- menu items -------------------------------------------------------------------------

void TabStrip::buildTabStripItems(QMenu* view)
{
    // Built once; a second call only shows the items in `view`.
    if (m_items.Item(kRegister)) {
        if (view)
            for (const QString& name : {kRegister, kOben, kUnten, kTabs, kButton})
                view->addAction(m_items.Item(name));
        return;
    }
    auto item = [this, view](const QString& name, int text, bool checked,
                             std::function<void()> handler) {
        QAction* action = m_items.AddItem(view, name, Txt(text), std::move(handler));
        action->setCheckable(true);
        action->setChecked(checked);
    };
    const bool bottom = m_prefer.TabAlign() == 2;
    item(kRegister, 306, m_prefer.TabStrip(), [this] { mn_Register_Click(); });
    item(kOben, 307, !bottom, [this] { mn_RegisterOben_Click(); });
    item(kUnten, 308, bottom, [this] { mn_RegisterUnten_Click(); });
    item(kTabs, 310, !m_prefer.TabButton(), [this] { mn_RegisterTabs_Click(); });
    item(kButton, 309, m_prefer.TabButton(), [this] { mn_RegisterButton_Click(); });

    // The strip's own context menu.
    m_registerMenu = new QMenu(&m_main);
    m_registerMenu->setObjectName(QStringLiteral("mn_RegisterDummy"));
    m_registerMenu->setAccessibleName(QStringLiteral("Registerzeile"));
    for (const QString& name : {kRegister, kOben, kUnten, kTabs, kButton}) {
        const QString copy = QStringLiteral("mn_ctxt") + name.mid(3) + QLatin1Char('T');
        m_items.AddCopy(m_registerMenu, copy, name);
    }
}

void TabStrip::buildTabStripCopies(QMenu* ctxtMenu)
{
    if (!ctxtMenu)
        return;
    for (const QString& name : {kRegister, kOben, kUnten, kTabs, kButton})
        m_items.AddCopy(ctxtMenu, QStringLiteral("mn_ctxt") + name.mid(3), name);
}

void TabStrip::mn_Register_Click()
{
    m_flags.bTabVisible = !m_flags.bTabVisible;
    m_items.SetItemChecked(kRegister, m_flags.bTabVisible);
    if (!m_registry.IsEmpty() && m_flags.bTabVisible) {
        SetToolbarVisible(true);
        UpdateTab();
    } else {
        SetToolbarVisible(false);
    }
}

void TabStrip::mn_RegisterOben_Click()
{
    m_items.SetItemChecked(kOben, true);
    m_items.SetItemChecked(kUnten, false);
    m_flags.nTabAlign = 1;
    SetToolbarPos(1, m_flags.bTabStylButton);
    m_tabBar->update();
}

void TabStrip::mn_RegisterUnten_Click()
{
    m_items.SetItemChecked(kUnten, true);
    m_items.SetItemChecked(kOben, false);
    m_flags.nTabAlign = 2;
    SetToolbarPos(2, m_flags.bTabStylButton);
    m_tabBar->update();
}

// Switches the style; the active window's tab stays selected.
void TabStrip::setTabStyle(bool buttons)
{
    const frmBrowser* active = m_registry.IsEmpty() ? nullptr : m_registry.ActiveBrowser();
    const QString key = active ? active->WindowKey() : QString();
    m_flags.bTabStylButton = buttons;
    m_items.SetItemChecked(kButton, buttons);
    m_items.SetItemChecked(kTabs, !buttons);
    SetToolbarPos(m_flags.nTabAlign, m_flags.bTabStylButton);
    const int index = key.isEmpty() ? -1 : TabIndexOfKey(key);
    if (index >= 0)
        m_tabs->setCurrentIndex(index);
    m_tabBar->update();
}

void TabStrip::mn_RegisterButton_Click()
{
    setTabStyle(true);
}

void TabStrip::mn_RegisterTabs_Click()
{
    setTabStyle(false);
}

// --- tabs -------------------------------------------------------------------------------

// The strip shows "&" as an access-key marker, a tool tip shows text as it
// stands: the caption gets the doubled ampersands, the tool tip the text.
// A tool tip takes a text that looks like markup as rich text: a title such
// as "<img src=...>" is handed over escaped, so that it shows literally and
// loads nothing.
void TabStrip::setTabCaption(int index, const QString& text)
{
    // An unchanged caption leaves the strip as it is: setting it lays out and
    // redraws the whole strip.
    const QString caption = StrToCaption(text);
    if (m_tabs->tabText(index) != caption)
        m_tabs->setTabText(index, caption);
    m_tabs->setTabToolTip(index, Qt::mightBeRichText(text)
                                     ? Qt::convertFromPlainText(text, Qt::WhiteSpaceNoWrap)
                                     : text);
}

// Image 2 for the tab selected before, image 1 for the one selected now.
void TabStrip::markSelected(int index)
{
    if (index != m_lastTabIndex && m_lastTabIndex >= 0 && m_lastTabIndex < m_tabs->count())
        showTabImage(m_lastTabIndex, 2);
    m_lastTabIndex = index;
    if (index >= 0)
        showTabImage(index, 1);
}

void TabStrip::SetTabImage(int number, int image)
{
    if (!m_tabs->isVisible())
        return;
    const int index = TabIndexOfKey(WindowRegistry::KeyOf(number));
    if (index >= 0)
        showTabImage(index, image);
}

void TabStrip::showTabImage(int index, int image)
{
    // The pictures are shared: a tab that shows this one already is not
    // redrawn.
    const QIcon& picture = TabImage(image);
    if (m_tabs->tabIcon(index).cacheKey() != picture.cacheKey())
        m_tabs->setTabIcon(index, picture);
}

void TabStrip::ResetTabImage(int number)
{
    SetTabImage(number,
                TabIndexOfKey(WindowRegistry::KeyOf(number)) == m_tabs->currentIndex() ? 1 : 2);
}

int TabStrip::TabIndexOfKey(const QString& key) const
{
    for (int i = 0; i < m_tabs->count(); ++i)
        if (m_tabs->tabData(i).toString() == key)
            return i;
    return -1;
}

QString TabStrip::StrToCaption(const QString& text)
{
    QString caption = text;
    caption.replace(QLatin1Char('&'), QLatin1String("&&"));
    return caption;
}

QFont TabStrip::SetFontFace(bool bBold, const QString& sFont)
{
    QFont font(sFont);
    font.setPointSizeF(8.25);
    font.setBold(bBold);
    return font;
}

void TabStrip::CreateTab(int number, const QString& sCap)
{
    {
        const QSignalBlocker block(m_tabs);
        const int index = m_tabs->addTab(TabImage(2), QString());
        m_tabs->setTabData(index, WindowRegistry::KeyOf(number));
        // An address shows its "&" as it stands.
        setTabCaption(index, sCap);
    }
    TabStripResize();
}

void TabStrip::RemoveTab(int nKey)
{
    const QString key = WindowRegistry::KeyOf(nKey);
    if (m_chosen.remove(key))
        Q_EMIT selectionChanged();
    const int index = TabIndexOfKey(key);
    if (index < 0)
        return;
    const QSignalBlocker block(m_tabs);
    m_tabs->removeTab(index);
    // The strip selected a neighbour by itself: it is the one selected last
    // now.
    m_lastTabIndex = m_tabs->currentIndex();
}

void TabStrip::UpdateTab()
{
    frmBrowser* active = m_registry.ActiveBrowser();
    if (!active) {
        SetToolbarVisible(false);
        return;
    }
    if (m_registry.IsEmpty() || !m_items.ItemChecked(kRegister))
        return;
    const QString key = active->WindowKey();
    // A window on its way out has left the registry with its tab.
    if (m_registry.BrowserByKey(key) != active)
        return;
    const int index = TabIndexOfKey(key);
    if (index < 0) {
        ShowMessage(QStringLiteral("UpdateTab()"),
                    QStringLiteral("%1 - %2 - %3 - %4")
                        .arg(kTabKeyMissing.number)
                        .arg(kTabKeyMissing.description, key, active->windowTitle()),
                    MsgIcon::Warning);
        return;
    }
    if (m_tabs->currentIndex() != index)
        m_tabs->setCurrentIndex(index);
    else
        markSelected(index);
    const QString caption = active->windowTitle();
    if (!caption.isEmpty())
        setTabCaption(index, caption);
}

void TabStrip::SetTapTitle(const QString& title, int number)
{
    if (title.isEmpty() || number <= 0)
        return;
    const int index = TabIndexOfKey(WindowRegistry::KeyOf(number));
    if (index < 0) {
        ShowMessage(QStringLiteral("SetTapTitle"), kTabKeyMissing.description, MsgIcon::Warning);
        return;
    }
    setTabCaption(index, title);
}

void TabStrip::TabStrip1_Click(int index)
{
    markSelected(index);
    if (index < 0)
        return;
    const QString key = m_tabs->tabData(index).toString();
    if (numberOfKey(key) <= 0)
        return;
    // A key without a window is skipped like a missing collection entry.
    frmBrowser* window = m_registry.BrowserByKey(key);
    if (!window || !m_registry.ActiveBrowser())
        return;
    m_registry.area()->setActiveSubWindow(window);
    window->raise();
    // Activating the window may have changed the strip.
    const int now = TabIndexOfKey(key);
    if (now < 0) {
        ShowMessage(Txt(kTextFehlerbehandlung),
                    QStringLiteral("%1 [Error:%2] - TabStrip1_Click()")
                        .arg(kTabKeyMissing.description)
                        .arg(kTabKeyMissing.number),
                    MsgIcon::Warning);
        return;
    }
    const QString caption = window->Title().isEmpty() ? window->LocationURL() : window->Title();
    // Before the first address arrives the tab keeps the caption it has.
    if (!caption.isEmpty())
        setTabCaption(now, caption);
}

void TabStrip::TabStrip1_MouseUp(Qt::MouseButton button, const QPoint& globalPos)
{
    if (button == Qt::LeftButton) {
        const int index = m_tabs->currentIndex();
        frmBrowser* window =
            index >= 0 ? m_registry.BrowserByKey(m_tabs->tabData(index).toString()) : nullptr;
        if (window && window->WindowState() == 1)
            window->SetWindowState(0);
    } else if (button == Qt::RightButton && m_registerMenu) {
        m_registerMenu->popup(globalPos);
    }
}

// --- the windows chosen by Ctrl+click ------------------------------------------------------

QStringList TabStrip::SelectedKeys() const
{
    QStringList keys;
    for (int i = 0; i < m_tabs->count(); ++i)
        if (m_chosen.contains(m_tabs->tabData(i).toString()))
            keys << m_tabs->tabData(i).toString();
    return keys;
}

void TabStrip::ClearSelection()
{
    if (m_chosen.isEmpty())
        return;
    m_chosen.clear();
    for (int i = 0; i < m_tabs->count(); ++i)
        showChosen(i);
    Q_EMIT selectionChanged();
}

void TabStrip::toggleChosen(int index)
{
    if (index < 0)
        return;
    const QString key = m_tabs->tabData(index).toString();
    if (!m_chosen.remove(key))
        m_chosen.insert(key);
    showChosen(index);
    Q_EMIT selectionChanged();
}

// A chosen tab shows its caption in the highlight colour.
void TabStrip::showChosen(int index)
{
    const bool chosen = m_chosen.contains(m_tabs->tabData(index).toString());
    m_tabs->setTabTextColor(index,
                            chosen ? m_tabs->palette().color(QPalette::Highlight) : QColor());
}

void TabStrip::TabStrip1_OLEDragDrop(QDropEvent* event)
{
    const QMimeData* data = event->mimeData();
    if (!data || !m_registry.ExternalOpenEnabled()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // A file list comes as addresses; a text alone is one address.
    QStringList items;
    if (data->hasUrls()) {
        for (const QUrl& url : data->urls())
            items << (url.isLocalFile() ? url.toLocalFile() : url.toString());
    } else if (data->hasText()) {
        items << data->text();
    }
    Q_EMIT dropped(items);
}

// --- the row ------------------------------------------------------------------------------

void TabStrip::SetToolbarVisible(bool visible)
{
    m_tabBar->setVisible(visible);
    m_tabs->setVisible(visible);
    for (const QString& name : kRowItems)
        m_items.SetItemEnabled(name, visible);
}

void TabStrip::SetToolbarPos(int nAlign, bool bStyleButton)
{
    if (nAlign == 1 || nAlign == 2) {
        const Qt::ToolBarArea area = nAlign == 2 ? Qt::BottomToolBarArea : Qt::TopToolBarArea;
        // Docking again keeps the bar's visibility.
        if (m_main.toolBarArea(m_tabBar) != area)
            m_main.addToolBar(area, m_tabBar);
    }
    m_tabStyle = bStyleButton ? kStyleButtons : kStyleTabs;
    m_tabs->setDocumentMode(bStyleButton);
    m_tabs->setDrawBase(!bStyleButton);
    // A style sheet set again styles every tab again, and the window is laid
    // out anew: only a changed one is set.
    if (const QString& sheet = bStyleButton ? kButtonSheet : QString();
        m_tabs->styleSheet() != sheet)
        m_tabs->setStyleSheet(sheet);
    m_tabs->setShape(nAlign == 1 ? QTabBar::RoundedNorth : QTabBar::RoundedSouth);
    setTabFont();
    m_tabs->update();
    SetTabStripPos(bStyleButton);
    m_items.SetItemChecked(kOben, nAlign == 1);
    m_items.SetItemChecked(kUnten, nAlign != 1);
}

void TabStrip::SetTabStripPos(bool bTabBtn)
{
    // Twips: buttons 60 / -90, tabs 90 / -110 (top / bottom).
    if (m_flags.nTabAlign == 1)
        m_tabStripTop = bTabBtn ? 60 : 90;
    else if (m_flags.nTabAlign == 2)
        m_tabStripTop = bTabBtn ? -90 : -110;
    else
        return;
    // At the top the strip moves down from the bar's upper edge; at the
    // bottom it moves up from the bar's lower edge.
    const int pixels = qRound(m_tabStripTop / 15.0);
    m_tabHost->layout()->setContentsMargins(0, qMax(pixels, 0), 0, qMax(-pixels, 0));
}

void TabStrip::TabStripResize()
{
    const int inner = m_main.contentsRect().width();
    const int left = m_tabHost->x();
    const int width = inner - left > 0 ? inner - left : inner;
    m_tabHost->setMaximumWidth(qMax(width, 0));
    m_tabs->update();
}

void TabStrip::UpdateToolbarPos()
{
    if (m_items.ItemChecked(kOben))
        mn_RegisterOben_Click();
    if (m_items.ItemChecked(kUnten))
        mn_RegisterUnten_Click();
}

// --- activation and start-up --------------------------------------------------------------

void TabStrip::ActivateTabStrip()
{
    SetToolbarVisible(!m_registry.IsEmpty() && m_flags.bTabVisible);
    m_items.SetItemChecked(kRegister, m_flags.bTabVisible);
    m_items.SetItemChecked(kOben, m_flags.nTabAlign == 1);
    m_items.SetItemChecked(kUnten, m_flags.nTabAlign != 1);
    m_items.SetItemChecked(kButton, m_flags.bTabStylButton);
    m_items.SetItemChecked(kTabs, !m_flags.bTabStylButton);
    if (m_flags.bTabVisible)
        SetToolbarPos(m_flags.nTabAlign, m_flags.bTabStylButton);
}

void TabStrip::ApplyTabSettings()
{
    ActivateTabStrip();
    SetToolbarPos(m_prefer.TabAlign(), m_prefer.TabButton());
    m_tabBar->update();
    // Without a window there is no row to show.
    SetToolbarVisible(m_prefer.TabStrip() && !m_registry.IsEmpty());
    setTabFont();
}

void TabStrip::setTabFont()
{
    // An unchanged font would lay the tabs out again all the same.
    const QFont font = SetFontFace(m_prefer.TabFontBold() > 0, QStringLiteral("Verdana"));
    if (!m_tabs->testAttribute(Qt::WA_SetFont) || m_tabs->font() != font)
        m_tabs->setFont(font);
}

} // namespace orv
