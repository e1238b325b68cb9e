#include "mainwin/windowmenu.h"

#include "app/dialogseam.h"
#include "app/texts.h"
#include "browser/bandbar.h"
#include "browser/frmbrowser.h"
#include "mainwin/arrangement.h"
#include "mainwin/arrangementfiles.h"
#include "mainwin/deferredsteps.h"
#include "mainwin/linkedtiles.h"
#include "mainwin/mainflags.h"
#include "mainwin/menuitems.h"
#include "mainwin/tabstrip.h"
#include "mainwin/waitcursor.h"
#include "mainwin/windowregistry.h"
#include "prefs/prefer.h"

#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>
#include <QWebEngineView>

// The Window menu and its copies in the context menu, the three
// arrangements of the browser windows and stepping through the windows.

namespace orv {
namespace {

const QString kUntereinander = QStringLiteral("mn_Untereinander");
const QString kNebeneinander = QStringLiteral("mn_Nebeneinander");
const QString kKaskadiert = QStringLiteral("mn_Kaskadiert");
const QString kAktives = QStringLiteral("mn_Aktives");
const QString kAuswahlNebeneinander = QStringLiteral("mn_AuswahlNebeneinander");
const QString kAuswahlUntereinander = QStringLiteral("mn_AuswahlUntereinander");
const QString kAuswahlNebeneinanderText = QStringLiteral("Auswahl n&ebeneinander");
const QString kAuswahlUntereinanderText = QStringLiteral("Aus&wahl untereinander");

// The window list shows this many windows; the rest through a list that
// can be searched.
constexpr int kWindowListEntries = 20;
const QString kMoreWindows = QStringLiteral("&Weitere Fenster...");
const QString kChooseWindowTitle = QStringLiteral("Fenster auswählen");
const QString kChooseWindowLabel = QStringLiteral("&Suchen:");
const QString kBeides = QStringLiteral("mn_beides");

// The stepping items in the menu bar, in their order.
constexpr const char* kSteppingItems[] = {"mn_firstwindow", "mn_prevwindow", "mn_nextwindow",
                                          "mn_lastwindow"};

// The items that act on open windows, enabled while one is open; the
// closing of pop-ups and of the other windows depend on more.
constexpr const char* kWindowCommands[] = {
    "mn_ToogleToolbars", "mn_ToggleAdressRow", "mn_ToggleToolbAdres", "mn_Alleschließen",
    "mn_Aktivschließen", "mn_Aktives",         "mn_RefreshAll"};

QString name(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

// The name of an item's copy in the context menu: "mn_ctxt" + the rest of
// the name, starting with a capital ("mn_beides" -> "mn_ctxtBeides").
QString ctxtName(const QString& itemName)
{
    QString rest = itemName.mid(3);
    if (!rest.isEmpty())
        rest[0] = rest[0].toUpper();
    return QStringLiteral("mn_ctxt") + rest;
}

const QString kAdress = QStringLiteral("Adress");
const QString kToolbar = QStringLiteral("Toolbar");

} // namespace

WindowMenu::WindowMenu(QMainWindow& main, WindowRegistry& registry, TabStrip& tabs,
                       MenuItems& items, MainFlags& flags, Prefer& prefer, DeferredSteps& steps,
                       ArrangementFiles& files, LinkedTiles& tiles)
    : m_main(main), m_registry(registry), m_tabs(tabs), m_items(items), m_flags(flags),
      m_prefer(prefer), m_steps(steps), m_files(files), m_tiles(tiles)
{
    connect(&m_tabs, &TabStrip::selectionChanged, this, &WindowMenu::updateSelectionItems);
    // New windows take their place in the arrangement; the stepping items
    // follow the count.
    connect(&m_registry, &WindowRegistry::windowRegistered, this, [this] { SetMenuPrevNext(); });
    connect(&m_registry, &WindowRegistry::windowShown, this, [this] { ArrangeByCheckedItem(); });
}

// --- arrangements ------------------------------------------------------------------------

void WindowMenu::ArrangeByCheckedItem()
{
    if (m_items.ItemChecked(kUntereinander))
        Arrange(1);
    else if (m_items.ItemChecked(kKaskadiert))
        Arrange(0);
    else if (m_items.ItemChecked(kNebeneinander))
        Arrange(2);
}

void WindowMenu::Arrange(int arrangement)
{
    // Cascaded windows keep their stacking (the top one ends the cascade);
    // tiles follow the order of the tabs. Minimised and hidden windows stay
    // where they are.
    const auto order = arrangement == 0 ? QMdiArea::StackingOrder : QMdiArea::CreationOrder;
    QList<QMdiSubWindow*> windows;
    QList<QRect> icons;
    for (QMdiSubWindow* w : m_registry.area()->subWindowList(order)) {
        if (w->isHidden())
            continue;
        if (w->isMinimized())
            icons.append(w->geometry());
        else
            windows.append(w);
    }
    place(windows, icons, arrangement);
}

void WindowMenu::place(const QList<QMdiSubWindow*>& windows, const QList<QRect>& icons,
                       int arrangement)
{
    // A new arrangement ends the linked sizing of the last tiling.
    m_tiles.Forget();
    if (windows.isEmpty())
        return;
    for (QMdiSubWindow* w : windows)
        if (w->isMaximized() || w->isMinimized())
            w->showNormal();

    // The whole client area: once arranged, no scroll bar is needed.
    const QRect area =
        areaAboveIcons(QRect(QPoint(0, 0), m_registry.area()->maximumViewportSize()), icons);
    if (area.isEmpty())
        return;
    QList<QRect> rects;
    if (arrangement == 0) {
        // One title bar further down and right for every window.
        const QWidget* content = windows.constFirst()->widget();
        const int step = content ? content->y() : 0;
        rects = cascadeRects(area, int(windows.size()), step > 0 ? step : 24);
    } else {
        rects = tileRects(area, int(windows.size()),
                          arrangement == 1 ? Arrangement::OneBelowOther : Arrangement::SideBySide);
    }
    for (int i = 0; i < windows.size(); ++i)
        windows[i]->setGeometry(rects[i]);
    if (arrangement != 0)
        m_tiles.Remember(windows);
}

void WindowMenu::TileSelection(int arrangement)
{
    QList<QMdiSubWindow*> chosen;
    for (const QString& key : m_tabs.SelectedKeys())
        if (frmBrowser* w = m_registry.BrowserByKey(key); w && !w->isHidden())
            chosen.append(w);
    if (chosen.isEmpty())
        return;
    // The others' icons stay uncovered.
    QList<QRect> icons;
    for (QMdiSubWindow* w : m_registry.area()->subWindowList())
        if (!chosen.contains(w) && !w->isHidden() && w->isMinimized())
            icons.append(w->geometry());
    place(chosen, icons, arrangement);
    // The chosen windows stand in front; the active one among them stays
    // active. A maximised other window keeps its state: activating another
    // window would hand its state on.
    QMdiSubWindow* active = m_registry.area()->activeSubWindow();
    if (!chosen.contains(active) && !(active && active->isMaximized()))
        m_registry.area()->setActiveSubWindow(chosen.constFirst());
    for (QMdiSubWindow* w : std::as_const(chosen))
        w->raise();
    if (active && chosen.contains(active))
        active->raise();
    // New windows are not fitted into this tiling.
    setArrangementCheck(QString());
}

void WindowMenu::updateSelectionItems()
{
    const bool any = !m_tabs.SelectedKeys().isEmpty();
    m_items.SetItemEnabled(kAuswahlNebeneinander, any);
    m_items.SetItemEnabled(kAuswahlUntereinander, any);
}

void WindowMenu::setArrangementCheck(const QString& checked)
{
    for (const QString& item : {kUntereinander, kNebeneinander, kKaskadiert})
        m_items.SetItemChecked(item, item == checked);
}

void WindowMenu::mn_Untereinander_Click()
{
    Arrange(1);
    setArrangementCheck(kUntereinander);
}

void WindowMenu::mn_Nebeneinander_Click()
{
    Arrange(2);
    setArrangementCheck(kNebeneinander);
}

void WindowMenu::mn_Kaskadiert_Click()
{
    Arrange(0);
    setArrangementCheck(kKaskadiert);
}

// --- the Window menu -----------------------------------------------------------------------

void WindowMenu::buildWindowMenu(QMenu* menu)
{
    auto item = [this, menu](QMenu* into, const char* itemName, int text, auto handler) {
        return m_items.AddItem(into ? into : menu, name(itemName), Txt(text), handler);
    };
    auto checkable = [](QAction* action, bool checked) {
        action->setCheckable(true);
        action->setChecked(checked);
        return action;
    };

    checkable(item(nullptr, "mn_Untereinander", 401, [this] { mn_Untereinander_Click(); }), false);
    checkable(item(nullptr, "mn_Nebeneinander", 402, [this] { mn_Nebeneinander_Click(); }), false);
    checkable(item(nullptr, "mn_Kaskadiert", 403, [this] { mn_Kaskadiert_Click(); }), false);
    m_items.AddItem(menu, kAuswahlNebeneinander, kAuswahlNebeneinanderText,
                    [this] { TileSelection(2); });
    m_items.AddItem(menu, kAuswahlUntereinander, kAuswahlUntereinanderText,
                    [this] { TileSelection(1); });
    updateSelectionItems();
    menu->addSeparator();
    item(nullptr, "mn_ToggleAdressRow", 424, [this] { mn_ToggleAdressRow_Click(); });
    item(nullptr, "mn_ToogleToolbars", 423, [this] { mn_ToogleToolbars_Click(); });
    item(nullptr, "mn_ToggleToolbAdres", 409, [this] { mn_ToggleToolbAdres_Click(); });
    item(nullptr, "mn_RefreshAll", 425, [this] { mn_RefreshAll_Click(); });
    menu->addSeparator();
    checkable(item(nullptr, "mn_EnablePopup", 412, [this] { mn_EnablePopup_Click(); }), true);
    checkable(item(nullptr, "mn_DisablePopup", 413, [this] { mn_DisablePopup_Click(); }), false);
    checkable(item(nullptr, "mn_PopupToBack", 414, [this] { mn_PopupToBack_Click(); }), false);
    checkable(item(nullptr, "mn_PopupResize", 415, [this] { mn_PopupResize_Click(); }), true);
    checkable(item(nullptr, "mn_PopupReferenz", 420, [this] { mn_PopupReferenz_Click(); }), true);
    menu->addSeparator();

    m_activeMenu = menu->addMenu(Txt(406));
    m_activeMenu->setObjectName(kAktives);
    m_activeMenu->menuAction()->setObjectName(kAktives);
    m_items.Register(kAktives, m_activeMenu->menuAction());
    checkable(item(m_activeMenu, "mn_Adresszeile", 407, [this] { mn_Adresszeile_Click(); }), true);
    checkable(item(m_activeMenu, "mn_toolbar", 408, [this] { mn_toolbar_Click(); }), true);
    checkable(item(m_activeMenu, "mn_beides", 409, [this] { mn_beides_Click(); }), true);
    item(m_activeMenu, "mn_Aktivschließen", 410, [this] {
        mn_Aktivschließen_Click();
    })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F12));
    // The browser windows open this submenu on their own (MenuFenster first).
    connect(m_activeMenu, &QMenu::aboutToShow, this, &WindowMenu::UpdateMenuFenster);

    menu->addSeparator();
    item(nullptr, "mn_ClosePopups", 426, [this] { mn_ClosePopups_Click(); });
    item(nullptr, "mn_CloseAllOtherWin", 422, [this] { mn_CloseAllOtherWin_Click(); });
    item(nullptr, "mn_Alleschließen", 411, [this] { mn_Alleschließen_Click(); });

    for (const char* disabled : {"mn_Untereinander", "mn_Nebeneinander", "mn_Kaskadiert",
                                 "mn_Aktives", "mn_CloseAllOtherWin", "mn_Alleschließen"})
        m_items.Item(name(disabled))->setEnabled(false);

    // The tab strip's own menu tiles the chosen windows too.
    if (QMenu* tabMenu = m_tabs.TabStripMenu()) {
        tabMenu->addSeparator();
        for (const QString& itemName : {kAuswahlNebeneinander, kAuswahlUntereinander})
            m_items.AddCopy(tabMenu, ctxtName(itemName) + QLatin1Char('T'), itemName);
    }

    // The states follow the windows open when the menu opens; below the
    // items, the list of the open windows.
    m_windowMenu = menu;
    connect(menu, &QMenu::aboutToShow, this, [this] {
        UpdateMenuFenster();
        RebuildWindowList();
    });
}

void WindowMenu::buildWindowMenuCopies(QMenu* menu)
{
    auto copy = [this](QMenu* into, const char* itemName) {
        return m_items.AddCopy(into, ctxtName(name(itemName)), name(itemName));
    };
    for (const char* itemName : {"mn_Untereinander", "mn_Nebeneinander", "mn_Kaskadiert",
                                 "mn_AuswahlNebeneinander", "mn_AuswahlUntereinander"})
        copy(menu, itemName);
    menu->addSeparator();
    for (const char* itemName :
         {"mn_ToggleAdressRow", "mn_ToogleToolbars", "mn_ToggleToolbAdres", "mn_RefreshAll"})
        copy(menu, itemName);
    menu->addSeparator();
    for (const char* itemName : {"mn_EnablePopup", "mn_DisablePopup", "mn_PopupToBack",
                                 "mn_PopupResize", "mn_PopupReferenz"})
        copy(menu, itemName);
    menu->addSeparator();

    QMenu* active = menu->addMenu(Txt(406));
    const QString activeName = ctxtName(kAktives);
    active->setObjectName(activeName);
    active->menuAction()->setObjectName(activeName);
    active->menuAction()->setEnabled(m_items.Item(kAktives)->isEnabled());
    m_items.Register(activeName, active->menuAction(), kAktives);
    for (const char* itemName : {"mn_Adresszeile", "mn_toolbar", "mn_beides", "mn_Aktivschließen"})
        copy(active, itemName);

    menu->addSeparator();
    for (const char* itemName : {"mn_ClosePopups", "mn_CloseAllOtherWin", "mn_Alleschließen"})
        copy(menu, itemName);
    connect(menu, &QMenu::aboutToShow, this, &WindowMenu::UpdateMenuFenster);
}

int WindowMenu::FormsCount() const
{
    int forms = 1 + int(m_registry.Browser().size());
    for (const QWidget* w : QApplication::topLevelWidgets()) {
        if (w == &m_main || !w->isVisible())
            continue;
        const Qt::WindowType type = w->windowType();
        if (type == Qt::Window || type == Qt::Dialog)
            ++forms;
    }
    return forms;
}

void WindowMenu::UpdateMenuFenster()
{
    updateSelectionItems();
    // Pop-up policy.
    m_items.SetItemChecked(QStringLiteral("mn_PopupToBack"), m_flags.bPopupBackgrnd);
    m_items.SetItemChecked(QStringLiteral("mn_PopupResize"), m_flags.bPopupResize);
    m_items.SetItemChecked(QStringLiteral("mn_PopupReferenz"), m_flags.bPopupReferenz);
    m_items.SetItemChecked(QStringLiteral("mn_EnablePopup"), m_flags.bPopup);
    m_items.SetItemChecked(QStringLiteral("mn_DisablePopup"), !m_flags.bPopup);
    for (const char* item : {"mn_PopupToBack", "mn_PopupResize", "mn_PopupReferenz"})
        m_items.SetItemEnabled(name(item), m_flags.bPopup);

    // Only the tools window open besides the main window.
    const int forms = FormsCount();
    const bool onlyTools = (forms == 2 && m_flags.bIsOpenBook) ||
                           (forms == 2 && m_flags.bIsOpenHistory) ||
                           (forms == 3 && m_flags.bIsOpenBook && m_flags.bIsOpenHistory);

    frmBrowser* active = m_registry.ActiveBrowser();
    if (!active)
        m_items.SetItemEnabled(QStringLiteral("mn_Anordnung_save"), false);
    for (const char* item : {"mn_ctxtSave", "mn_ctxtSend", "mn_ctxtPpreview", "mn_ctxtPrint"})
        if (QAction* a = m_items.Item(name(item)))
            a->setEnabled(active != nullptr);

    if (m_registry.IsEmpty() || onlyTools) {
        // Without windows no arrangement is remembered: a later window is
        // not arranged.
        for (const QString& item : {kUntereinander, kKaskadiert, kNebeneinander}) {
            m_items.SetItemEnabled(item, false);
            m_items.SetItemChecked(item, false);
        }
        for (const char* item : kWindowCommands)
            m_items.SetItemEnabled(name(item), false);
        m_items.SetItemEnabled(QStringLiteral("mn_ClosePopups"), false);
        m_items.SetItemEnabled(QStringLiteral("mn_CloseAllOtherWin"), false);
        return;
    }

    if (active) {
        // An arrangement can only be stored while no window is maximised.
        m_items.SetItemEnabled(QStringLiteral("mn_Anordnung_save"), active->WindowState() != 2);
        // Whether pages keep a reference to the windows they open is decided
        // by m_flags.bPopupReferenz when a page asks for a window: nothing to set on
        // the window itself.
        m_items.SetItemChecked(QStringLiteral("mn_Adresszeile"),
                               active->CoolBar1()->bandVisible(QStringLiteral("Adress")));
        m_items.SetItemChecked(QStringLiteral("mn_toolbar"),
                               active->CoolBar1()->bandVisible(QStringLiteral("Toolbar")));
    }
    for (const QString& item : {kUntereinander, kKaskadiert, kNebeneinander})
        m_items.SetItemEnabled(item, true);
    for (const char* item : kWindowCommands)
        m_items.SetItemEnabled(name(item), true);
    m_items.SetItemEnabled(QStringLiteral("mn_CloseAllOtherWin"), m_registry.Browser().size() > 1);

    if (active) {
        const bool adress = m_items.ItemChecked(QStringLiteral("mn_Adresszeile"));
        const bool toolbar = m_items.ItemChecked(QStringLiteral("mn_toolbar"));
        m_items.SetItemVisible(kBeides, adress == toolbar);
        if (adress == toolbar)
            m_items.SetItemChecked(kBeides, adress);
    }
    m_items.SetItemEnabled(QStringLiteral("mn_ClosePopups"), m_registry.popupCount() > 0);
}

// The caption of a window in the window list: its number and title.
static QString windowListCaption(const frmBrowser* w, int number)
{
    QString caption = w->windowTitle();
    if (caption.isEmpty())
        caption = w->WindowKey();
    // The first nine are reached by their digit.
    const QString prefix =
        number <= 9 ? QStringLiteral("&%1 ").arg(number) : QStringLiteral("%1 ").arg(number);
    return prefix + TabStrip::StrToCaption(caption);
}

void WindowMenu::activateListed(frmBrowser* target)
{
    if (!target)
        return;
    if (target->isMinimized())
        target->showNormal();
    m_registry.area()->setActiveSubWindow(target);
}

// The list below the items: the first windows, the active one always among
// them; with more windows an entry opens a searchable list of all.
void WindowMenu::RebuildWindowList()
{
    qDeleteAll(m_windowListItems);
    m_windowListItems.clear();
    if (!m_windowMenu || m_registry.IsEmpty())
        return;
    m_windowListItems.append(m_windowMenu->addSeparator());
    const QList<frmBrowser*>& windows = m_registry.Browser();
    const frmBrowser* active = m_registry.ActiveBrowser();
    const int activeIndex = int(windows.indexOf(const_cast<frmBrowser*>(active)));
    QList<int> shown;
    for (int i = 0; i < windows.size() && shown.size() < kWindowListEntries; ++i)
        shown << i;
    if (activeIndex >= kWindowListEntries)
        shown.last() = activeIndex;
    for (const int i : std::as_const(shown)) {
        frmBrowser* w = windows.at(i);
        auto* entry = new QAction(windowListCaption(w, i + 1), m_windowMenu);
        entry->setCheckable(true);
        entry->setChecked(w == active);
        entry->setData(w->WindowKey());
        const QPointer<frmBrowser> target(w);
        connect(entry, &QAction::triggered, this, [this, target] { activateListed(target); });
        m_windowMenu->addAction(entry);
        m_windowListItems.append(entry);
    }
    if (windows.size() > kWindowListEntries) {
        auto* more = new QAction(kMoreWindows, m_windowMenu);
        more->setObjectName(QStringLiteral("mn_MoreWindows"));
        connect(more, &QAction::triggered, this, &WindowMenu::ChooseWindow);
        m_windowMenu->addAction(more);
        m_windowListItems.append(more);
    }
}

void WindowMenu::ChooseWindow()
{
    ChoiceRequest request;
    request.title = kChooseWindowTitle;
    request.label = kChooseWindowLabel;
    QList<QPointer<frmBrowser>> targets;
    const QList<frmBrowser*>& windows = m_registry.Browser();
    for (int i = 0; i < windows.size(); ++i) {
        request.items << windowListCaption(windows.at(i), i + 1).remove(QLatin1Char('&'));
        targets << windows.at(i);
    }
    request.current = int(windows.indexOf(m_registry.ActiveBrowser()));
    const int chosen = Dialogs().chooseItem(request);
    if (chosen >= 0 && chosen < targets.size())
        activateListed(targets.at(chosen));
}

// --- stepping through the windows --------------------------------------------------------

void WindowMenu::buildSteppingItems()
{
    const int texts[] = {1600, 1601, 1602, 1603};
    const std::function<void()> handlers[] = {
        [this] { mn_firstwindow_Click(); }, [this] { mn_prevwindow_Click(); },
        [this] { mn_nextwindow_Click(); }, [this] { mn_lastwindow_Click(); }};
    for (int i = 0; i < 4; ++i) {
        QAction* a = m_items.AddItem(nullptr, name(kSteppingItems[i]), Txt(texts[i]), handlers[i]);
        m_main.menuBar()->addAction(a);
    }
    SetMenuPrevNext();
}

void WindowMenu::SetMenuPrevNext()
{
    const bool visible = m_registry.Browser().size() >= 2;
    for (const char* item : kSteppingItems)
        m_items.SetItemVisible(name(item), visible);
    // A shortcut works only while its item is enabled: the item that
    // closes the active window follows the windows, not the menu's opening.
    const bool any = !m_registry.IsEmpty();
    m_items.SetItemEnabled(kAktives, any);
    m_items.SetItemEnabled(QStringLiteral("mn_Aktivschließen"), any);
}

void WindowMenu::mn_firstwindow_Click()
{
    if (m_tabs.TabStrip1()->count() > 0 && m_tabs.TabStrip1()->currentIndex() != 0)
        m_tabs.TabStrip1()->setCurrentIndex(0);
}

void WindowMenu::mn_lastwindow_Click()
{
    const int last = m_tabs.TabStrip1()->count() - 1;
    if (last >= 0 && m_tabs.TabStrip1()->currentIndex() != last)
        m_tabs.TabStrip1()->setCurrentIndex(last);
}

void WindowMenu::mn_nextwindow_Click()
{
    const int n = m_tabs.TabStrip1()->count();
    if (n == 0)
        return;
    const int current = m_tabs.TabStrip1()->currentIndex();
    m_tabs.TabStrip1()->setCurrentIndex(current >= n - 1 ? 0 : current + 1);
}

void WindowMenu::mn_prevwindow_Click()
{
    const int n = m_tabs.TabStrip1()->count();
    if (n == 0)
        return;
    const int current = m_tabs.TabStrip1()->currentIndex();
    m_tabs.TabStrip1()->setCurrentIndex(current <= 0 ? n - 1 : current - 1);
}

// --- closing commands ------------------------------------------------------------------------

void WindowMenu::mn_Aktivschließen_Click()
{
    if (m_contextMenu)
        m_contextMenu->hide();
    if (frmBrowser* active = m_registry.ActiveBrowser())
        active->close();
}

void WindowMenu::mn_ClosePopups_Click()
{
    ClosePopups();
}

void WindowMenu::mn_CloseAllOtherWin_Click()
{
    m_steps.Start(DeferredStep::CloseOtherWindows, 50);
}

void WindowMenu::mn_Alleschließen_Click()
{
    if (m_contextMenu)
        m_contextMenu->hide();
    const WaitCursor wait(&m_main);
    CloseAllBrowser();
}

// --- bars of browser windows ---------------------------------------------------------

// Shows or hides the bands of one window (-1 leaves a band as it is); the
// page area of a window in normal state keeps its size while the window
// grows or shrinks by the band bar.
void WindowMenu::applyBands(frmBrowser* window, int adress, int toolbar)
{
    if (!window)
        return;
    BandBar* bar = window->CoolBar1();
    QWidget* inner = window->widget();
    const int viewHeight = window->brwWebBrowser()->height();
    const int outerHeight = window->height();
    const int innerHeight = inner ? inner->height() : outerHeight;
    // Whatever else the window shows below the bars (the find bar) stays.
    const int oldBarHeight = bar->isHidden() ? 0 : bar->height();
    const int others = qMax(0, innerHeight - viewHeight - oldBarHeight);

    bar->setBars(adress >= 0 ? adress > 0 : bar->bandVisible(kAdress),
                 toolbar >= 0 ? toolbar > 0 : bar->bandVisible(kToolbar));
    bar->update();
    window->PubResize();

    if (window->WindowState() == 0) {
        const int barHeight = bar->isHidden() ? 0 : bar->barHeight();
        window->resize(window->width(),
                       outerHeight - innerHeight + viewHeight + barHeight + others);
    }
}

void WindowMenu::mn_Adresszeile_Click()
{
    frmBrowser* active = m_registry.ActiveBrowser();
    if (!active)
        return;
    const bool show = !active->CoolBar1()->bandVisible(kAdress);
    applyBands(active, show, -1);
    m_items.SetItemChecked(QStringLiteral("mn_Adresszeile"), show);
}

void WindowMenu::mn_toolbar_Click()
{
    frmBrowser* active = m_registry.ActiveBrowser();
    if (!active)
        return;
    const bool show = !active->CoolBar1()->bandVisible(kToolbar);
    applyBands(active, -1, show);
    m_items.SetItemChecked(QStringLiteral("mn_toolbar"), show);
}

void WindowMenu::mn_beides_Click()
{
    frmBrowser* active = m_registry.ActiveBrowser();
    if (!active)
        return;
    // The item and its context twin each turn their own mark.
    const QList<QAction*> marks = m_items.ItemWithCopies(QStringLiteral("mn_beides"));
    for (QAction* a : marks) {
        const QSignalBlocker block(a);
        a->setChecked(!a->isChecked());
        a->setVisible(true);
    }
    const bool show = m_items.ItemChecked(QStringLiteral("mn_beides"));
    applyBands(active, show, show);
    m_items.SetItemChecked(QStringLiteral("mn_Adresszeile"), show);
    m_items.SetItemChecked(QStringLiteral("mn_toolbar"), show);
}

void WindowMenu::HideBarsOfDialogWindow()
{
    if (QAction* both = m_items.Item(kBeides))
        both->setChecked(true);
    mn_beides_Click();
}

void WindowMenu::mn_ToggleAdressRow_Click()
{
    m_allAdressRows = !m_allAdressRows;
    const QList<frmBrowser*> windows = m_registry.Browser();
    for (frmBrowser* w : windows)
        applyBands(w, m_allAdressRows, -1);
}

void WindowMenu::mn_ToogleToolbars_Click()
{
    m_allToolbars = !m_allToolbars;
    const QList<frmBrowser*> windows = m_registry.Browser();
    for (frmBrowser* w : windows)
        applyBands(w, -1, m_allToolbars);
}

void WindowMenu::mn_ToggleToolbAdres_Click()
{
    // After single toggles that left the two flags alike, "both" starts
    // from them.
    if (m_allAdressRows == m_allToolbars)
        m_allBoth = m_allAdressRows;
    m_allBoth = !m_allBoth;
    m_allAdressRows = m_allBoth;
    m_allToolbars = m_allBoth;
    m_items.SetItemChecked(QStringLiteral("mn_beides"), m_allBoth);
    m_items.SetItemVisible(QStringLiteral("mn_beides"), true);
    const QList<frmBrowser*> windows = m_registry.Browser();
    for (frmBrowser* w : windows)
        applyBands(w, m_allBoth, m_allBoth);
}

void WindowMenu::mn_RefreshAll_Click()
{
    const QList<frmBrowser*> windows = m_registry.Browser();
    for (frmBrowser* w : windows)
        w->Refresh();
}

// --- pop-up switches ------------------------------------------------------------------

void WindowMenu::mn_EnablePopup_Click()
{
    m_flags.bPopup = true;
    m_items.SetItemChecked(QStringLiteral("mn_EnablePopup"), true);
    m_items.SetItemChecked(QStringLiteral("mn_DisablePopup"), false);
    m_items.SetItemEnabled(QStringLiteral("mn_PopupToBack"), true);
    m_items.SetItemEnabled(QStringLiteral("mn_PopupReferenz"), true);
}

void WindowMenu::mn_DisablePopup_Click()
{
    m_flags.bPopup = false;
    m_items.SetItemChecked(QStringLiteral("mn_EnablePopup"), false);
    m_items.SetItemChecked(QStringLiteral("mn_DisablePopup"), true);
    m_items.SetItemEnabled(QStringLiteral("mn_PopupToBack"), false);
    m_items.SetItemEnabled(QStringLiteral("mn_PopupReferenz"), false);
}

void WindowMenu::mn_PopupToBack_Click()
{
    m_flags.bPopupBackgrnd = !m_items.ItemChecked(QStringLiteral("mn_PopupToBack"));
    m_items.SetItemChecked(QStringLiteral("mn_PopupToBack"), m_flags.bPopupBackgrnd);
}

void WindowMenu::mn_PopupResize_Click()
{
    m_flags.bPopupResize = !m_items.ItemChecked(QStringLiteral("mn_PopupResize"));
    m_items.SetItemChecked(QStringLiteral("mn_PopupResize"), m_flags.bPopupResize);
}

void WindowMenu::mn_PopupReferenz_Click()
{
    m_flags.bPopupReferenz = !m_items.ItemChecked(QStringLiteral("mn_PopupReferenz"));
    m_items.SetItemChecked(QStringLiteral("mn_PopupReferenz"), m_flags.bPopupReferenz);
}

void WindowMenu::CloseAllBrowser()
{
    for (const char* name : {"mn_Untereinander", "mn_Nebeneinander", "mn_Kaskadiert"})
        m_items.SetItemChecked(QString::fromLatin1(name), false);
    const QList<frmBrowser*> windows = m_registry.Browser();
    for (frmBrowser* w : windows)
        w->close();
}

void WindowMenu::CloseOtherBrowsers(const frmBrowser* keep)
{
    const QList<frmBrowser*> windows = m_registry.Browser();
    for (frmBrowser* w : windows)
        if (w != keep)
            w->close();
}

void WindowMenu::ClosePopups()
{
    const bool saved = m_flags.bPopup;
    m_flags.bPopup = false;
    const QList<frmBrowser*> windows = m_registry.Browser();
    for (frmBrowser* w : windows)
        if (w->IsPopup())
            w->close();
    m_flags.bPopup = saved;
    m_registry.setPopupCount(0);
}

// --- arrangement files ---------------------------------------------------------------

void WindowMenu::mn_Anordnung_save_Click()
{
    m_files.SaveArrangement();
}

void WindowMenu::mn_Anordnung_load_Click()
{
    m_files.OpenLayoutFile();
}

} // namespace orv
