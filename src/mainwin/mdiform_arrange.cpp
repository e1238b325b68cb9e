#include "mainwin/mdiform.h"

#include "app/appinit.h"
#include "app/dialogseam.h"
#include "app/texts.h"
#include "browser/bandbar.h"
#include "browser/frmbrowser.h"
#include "layouts/layout.h"
#include "layouts/layoutitem.h"
#include "mainwin/arrangement.h"

#include <QApplication>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>

// The Window menu and its copies in the context menu, the three
// arrangements of the browser windows, stepping through the windows, and
// saving and restoring arrangements.

namespace orv {
namespace {

const QString kUntereinander = QStringLiteral("mn_Untereinander");
const QString kNebeneinander = QStringLiteral("mn_Nebeneinander");
const QString kKaskadiert = QStringLiteral("mn_Kaskadiert");
const QString kAktives = QStringLiteral("mn_Aktives");
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

// The hourglass on the main window while a block runs.
class WaitCursor {
public:
    explicit WaitCursor(QWidget* window) : m_window(window) { m_window->setCursor(Qt::WaitCursor); }
    ~WaitCursor() { m_window->unsetCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    QWidget* m_window;
};

// The file dialog of arrangement files, opening or saving.
FileDialogRequest layoutDialog(FileDialogRequest::Mode mode, const QString& title)
{
    FileDialogRequest request;
    request.mode = mode;
    request.title = title;
    request.startFolder = DataFolder();
    request.filters = {Txt(1126) + QStringLiteral(" (*.wlt)")};
    // The name is used exactly as entered.
    request.addExtension = false;
    return request;
}

// Before a restore: the active window back to normal state, all windows closed.
void closeForRestore(MDIForm1& main)
{
    if (frmBrowser* active = main.ActiveBrowser()) {
        active->SetWindowState(0);
        main.CloseAllBrowser();
    }
}

} // namespace

// --- arrangements ------------------------------------------------------------------------

void MDIForm1::ArrangeByCheckedItem()
{
    if (ItemChecked(kUntereinander))
        Arrange(1);
    else if (ItemChecked(kKaskadiert))
        Arrange(0);
    else if (ItemChecked(kNebeneinander))
        Arrange(2);
}

void MDIForm1::Arrange(int arrangement)
{
    // Cascaded windows keep their stacking (the top one ends the cascade);
    // tiles follow the order of the tabs. Minimised and hidden windows stay
    // where they are.
    const auto order = arrangement == 0 ? QMdiArea::StackingOrder : QMdiArea::CreationOrder;
    QList<QMdiSubWindow*> windows;
    QList<QRect> icons;
    for (QMdiSubWindow* w : m_mdi->subWindowList(order)) {
        if (w->isHidden())
            continue;
        if (w->isMinimized())
            icons.append(w->geometry());
        else
            windows.append(w);
    }
    if (windows.isEmpty())
        return;
    for (QMdiSubWindow* w : windows)
        if (w->isMaximized())
            w->showNormal();

    // The whole client area: once arranged, no scroll bar is needed.
    const QRect area = areaAboveIcons(QRect(QPoint(0, 0), m_mdi->maximumViewportSize()), icons);
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
}

void MDIForm1::setArrangementCheck(const QString& checked)
{
    for (const QString& item : {kUntereinander, kNebeneinander, kKaskadiert})
        SetItemChecked(item, item == checked);
}

void MDIForm1::mn_Untereinander_Click()
{
    Arrange(1);
    setArrangementCheck(kUntereinander);
}

void MDIForm1::mn_Nebeneinander_Click()
{
    Arrange(2);
    setArrangementCheck(kNebeneinander);
}

void MDIForm1::mn_Kaskadiert_Click()
{
    Arrange(0);
    setArrangementCheck(kKaskadiert);
}

// --- the Window menu -----------------------------------------------------------------------

void MDIForm1::buildWindowMenu(QMenu* menu)
{
    auto item = [this, menu](QMenu* into, const char* itemName, int text, auto handler) {
        return AddItem(into ? into : menu, name(itemName), Txt(text), handler);
    };
    auto checkable = [](QAction* action, bool checked) {
        action->setCheckable(true);
        action->setChecked(checked);
        return action;
    };

    checkable(item(nullptr, "mn_Untereinander", 401, [this] { mn_Untereinander_Click(); }), false);
    checkable(item(nullptr, "mn_Nebeneinander", 402, [this] { mn_Nebeneinander_Click(); }), false);
    checkable(item(nullptr, "mn_Kaskadiert", 403, [this] { mn_Kaskadiert_Click(); }), false);
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
    m_items.insert(kAktives, m_activeMenu->menuAction());
    checkable(item(m_activeMenu, "mn_Adresszeile", 407, [this] { mn_Adresszeile_Click(); }), true);
    checkable(item(m_activeMenu, "mn_toolbar", 408, [this] { mn_toolbar_Click(); }), true);
    checkable(item(m_activeMenu, "mn_beides", 409, [this] { mn_beides_Click(); }), true);
    item(m_activeMenu, "mn_Aktivschließen", 410, [this] {
        mn_Aktivschließen_Click();
    })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F12));
    // The browser windows open this submenu on their own (MenuFenster first).
    connect(m_activeMenu, &QMenu::aboutToShow, this, &MDIForm1::MenuFenster);

    menu->addSeparator();
    item(nullptr, "mn_ClosePopups", 426, [this] { mn_ClosePopups_Click(); });
    item(nullptr, "mn_CloseAllOtherWin", 422, [this] { mn_CloseAllOtherWin_Click(); });
    item(nullptr, "mn_Alleschließen", 411, [this] { mn_Alleschließen_Click(); });

    for (const char* disabled : {"mn_Untereinander", "mn_Nebeneinander", "mn_Kaskadiert",
                                 "mn_Aktives", "mn_CloseAllOtherWin", "mn_Alleschließen"})
        Item(name(disabled))->setEnabled(false);

    // The states follow the windows open when the menu opens; below the
    // items, the list of the open windows.
    connect(menu, &QMenu::aboutToShow, this, [this] {
        mn_Fenster_Click();
        RebuildWindowList();
    });
}

void MDIForm1::buildWindowMenuCopies(QMenu* menu)
{
    auto copy = [this](QMenu* into, const char* itemName) {
        return AddCopy(into, ctxtName(name(itemName)), name(itemName));
    };
    for (const char* itemName : {"mn_Untereinander", "mn_Nebeneinander", "mn_Kaskadiert"})
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
    active->menuAction()->setEnabled(Item(kAktives)->isEnabled());
    m_items.insert(activeName, active->menuAction());
    m_copies[kAktives].append(active->menuAction());
    for (const char* itemName : {"mn_Adresszeile", "mn_toolbar", "mn_beides", "mn_Aktivschließen"})
        copy(active, itemName);

    menu->addSeparator();
    for (const char* itemName : {"mn_ClosePopups", "mn_CloseAllOtherWin", "mn_Alleschließen"})
        copy(menu, itemName);
    connect(menu, &QMenu::aboutToShow, this, &MDIForm1::UpdateMenuFenster);
}

void MDIForm1::mn_Fenster_Click()
{
    UpdateMenuFenster();
}

void MDIForm1::MenuFenster()
{
    UpdateMenuFenster();
}

int MDIForm1::FormsCount() const
{
    int forms = 1 + int(m_browser.size());
    for (const QWidget* w : QApplication::topLevelWidgets()) {
        if (w == this || !w->isVisible())
            continue;
        const Qt::WindowType type = w->windowType();
        if (type == Qt::Window || type == Qt::Dialog)
            ++forms;
    }
    return forms;
}

void MDIForm1::UpdateMenuFenster()
{
    // Pop-up policy.
    SetItemChecked(QStringLiteral("mn_PopupToBack"), bPopupBackgrnd);
    SetItemChecked(QStringLiteral("mn_PopupResize"), bPopupResize);
    SetItemChecked(QStringLiteral("mn_PopupReferenz"), bPopupReferenz);
    SetItemChecked(QStringLiteral("mn_EnablePopup"), bPopup);
    SetItemChecked(QStringLiteral("mn_DisablePopup"), !bPopup);
    for (const char* item : {"mn_PopupToBack", "mn_PopupResize", "mn_PopupReferenz"})
        SetItemEnabled(name(item), bPopup);

    // Only the tools window open besides the main window.
    const int forms = FormsCount();
    const bool onlyTools = (forms == 2 && bIsOpenBook) || (forms == 2 && bIsOpenHistory) ||
                           (forms == 3 && bIsOpenBook && bIsOpenHistory);

    frmBrowser* active = ActiveBrowser();
    if (!active)
        SetItemEnabled(QStringLiteral("mn_Anordnung_save"), false);
    for (const char* item : {"mn_ctxtSave", "mn_ctxtSend", "mn_ctxtPpreview", "mn_ctxtPrint"})
        if (QAction* a = Item(name(item)))
            a->setEnabled(active != nullptr);

    if (m_browser.isEmpty() || onlyTools) {
        // Without windows no arrangement is remembered: a later window is
        // not arranged.
        for (const QString& item : {kUntereinander, kKaskadiert, kNebeneinander}) {
            SetItemEnabled(item, false);
            SetItemChecked(item, false);
        }
        for (const char* item : kWindowCommands)
            SetItemEnabled(name(item), false);
        SetItemEnabled(QStringLiteral("mn_ClosePopups"), false);
        SetItemEnabled(QStringLiteral("mn_CloseAllOtherWin"), false);
        return;
    }

    if (active) {
        // An arrangement can only be stored while no window is maximised.
        SetItemEnabled(QStringLiteral("mn_Anordnung_save"), active->WindowState() != 2);
        // Whether pages keep a reference to the windows they open is decided
        // by bPopupReferenz when a page asks for a window: nothing to set on
        // the window itself.
        SetItemChecked(QStringLiteral("mn_Adresszeile"),
                       active->CoolBar1->bandVisible(QStringLiteral("Adress")));
        SetItemChecked(QStringLiteral("mn_toolbar"),
                       active->CoolBar1->bandVisible(QStringLiteral("Toolbar")));
    }
    for (const QString& item : {kUntereinander, kKaskadiert, kNebeneinander})
        SetItemEnabled(item, true);
    for (const char* item : kWindowCommands)
        SetItemEnabled(name(item), true);
    SetItemEnabled(QStringLiteral("mn_CloseAllOtherWin"), m_browser.size() > 1);

    if (active) {
        const bool adress = ItemChecked(QStringLiteral("mn_Adresszeile"));
        const bool toolbar = ItemChecked(QStringLiteral("mn_toolbar"));
        SetItemVisible(kBeides, adress == toolbar);
        if (adress == toolbar)
            SetItemChecked(kBeides, adress);
    }
    SetItemEnabled(QStringLiteral("mn_ClosePopups"), nPopupCount > 0);
}

void MDIForm1::RebuildWindowList()
{
    qDeleteAll(m_windowListItems);
    m_windowListItems.clear();
    if (!m_windowMenu || m_browser.isEmpty())
        return;
    m_windowListItems.append(m_windowMenu->addSeparator());
    const frmBrowser* active = ActiveBrowser();
    int number = 0;
    for (frmBrowser* w : std::as_const(m_browser)) {
        ++number;
        QString caption = w->windowTitle();
        if (caption.isEmpty())
            caption = w->WindowKey();
        // The first nine are reached by their digit.
        const QString prefix =
            number <= 9 ? QStringLiteral("&%1 ").arg(number) : QStringLiteral("%1 ").arg(number);
        auto* entry = new QAction(prefix + StrToCaption(caption), m_windowMenu);
        entry->setCheckable(true);
        entry->setChecked(w == active);
        entry->setData(w->WindowKey());
        const QPointer<frmBrowser> target(w);
        connect(entry, &QAction::triggered, this, [this, target] {
            if (!target)
                return;
            if (target->isMinimized())
                target->showNormal();
            m_mdi->setActiveSubWindow(target);
        });
        m_windowMenu->addAction(entry);
        m_windowListItems.append(entry);
    }
}

// --- stepping through the windows --------------------------------------------------------

void MDIForm1::buildSteppingItems()
{
    const int texts[] = {1600, 1601, 1602, 1603};
    const std::function<void()> handlers[] = {
        [this] { mn_firstwindow_Click(); }, [this] { mn_prevwindow_Click(); },
        [this] { mn_nextwindow_Click(); }, [this] { mn_lastwindow_Click(); }};
    for (int i = 0; i < 4; ++i) {
        QAction* a = AddItem(nullptr, name(kSteppingItems[i]), Txt(texts[i]), handlers[i]);
        menuBar()->addAction(a);
    }
    SetMenuPrevNext();
}

void MDIForm1::SetMenuPrevNext()
{
    const bool visible = m_browser.size() >= 2;
    for (const char* item : kSteppingItems)
        SetItemVisible(name(item), visible);
}

void MDIForm1::mn_firstwindow_Click()
{
    if (m_tabs->count() > 0 && m_tabs->currentIndex() != 0)
        m_tabs->setCurrentIndex(0);
}

void MDIForm1::mn_lastwindow_Click()
{
    const int last = m_tabs->count() - 1;
    if (last >= 0 && m_tabs->currentIndex() != last)
        m_tabs->setCurrentIndex(last);
}

void MDIForm1::mn_nextwindow_Click()
{
    const int n = m_tabs->count();
    if (n == 0)
        return;
    const int current = m_tabs->currentIndex();
    m_tabs->setCurrentIndex(current >= n - 1 ? 0 : current + 1);
}

void MDIForm1::mn_prevwindow_Click()
{
    const int n = m_tabs->count();
    if (n == 0)
        return;
    const int current = m_tabs->currentIndex();
    m_tabs->setCurrentIndex(current <= 0 ? n - 1 : current - 1);
}

// --- closing commands ------------------------------------------------------------------------

void MDIForm1::mn_Aktivschließen_Click()
{
    if (m_contextMenu)
        m_contextMenu->hide();
    if (frmBrowser* active = ActiveBrowser())
        active->close();
}

void MDIForm1::mn_ClosePopups_Click()
{
    ClosePopups();
}

void MDIForm1::mn_CloseAllOtherWin_Click()
{
    StartWaitMethod(2, 50);
}

void MDIForm1::mn_Alleschließen_Click()
{
    if (m_contextMenu)
        m_contextMenu->hide();
    const WaitCursor wait(this);
    CloseAllBrowser();
}

// --- saving and restoring arrangements ---------------------------------------------------

QList<LayoutWindowState> MDIForm1::CaptureLayoutWindows()
{
    QList<LayoutWindowState> windows;
    QMdiSubWindow* active = m_mdi->currentSubWindow();
    for (frmBrowser* w : std::as_const(m_browser)) {
        LayoutWindowState state;
        state.sXmlFeedUrl = w->sXmlFeedUrl;
        state.IsFolder = w->IsFolder();
        if (state.IsFolder)
            state.FolderUrl = w->GetFolderUrl();
        state.LocationURL = w->LocationURL();
        state.Caption = w->windowTitle();
        state.ToolbarVisible = w->CoolBar1->bandVisible(QStringLiteral("Toolbar"));
        state.AdressbarVisible = w->CoolBar1->bandVisible(QStringLiteral("Adress"));
        state.WindowState = w->WindowState();
        state.Geometry = pixelsToTwips(w->geometry());
        if (state.WindowState == 1) {
            // A minimised window is kept with its normal position and size.
            w->showNormal();
            state.NormalGeometry = pixelsToTwips(w->geometry());
            w->showMinimized();
        } else {
            state.NormalGeometry = state.Geometry;
        }
        windows.append(state);
    }
    if (active && m_mdi->currentSubWindow() != active)
        m_mdi->setActiveSubWindow(active);
    return windows;
}

void MDIForm1::mn_Anordnung_save_Click()
{
    SuspendExternalOpen(true);
    const QString file =
        Dialogs().fileDialog(layoutDialog(FileDialogRequest::Mode::Save, Txt(1125)));
    SuspendExternalOpen(false);
    if (file.isEmpty())
        return;
    const WaitCursor wait(this);
    // An existing file of that name is replaced; no extension is added.
    Layout::SaveLayout(file, CaptureLayoutWindows());
}

void MDIForm1::mn_Anordnung_load_Click()
{
    OpenLayoutFile();
}

QString MDIForm1::ShowOpenLayoutDialog()
{
    SuspendExternalOpen(true);
    const QString file =
        Dialogs().fileDialog(layoutDialog(FileDialogRequest::Mode::Open, Txt(1124)));
    // The dialog layer switches external opening on again as it closes; it
    // stays off until the windows of the file are open.
    SuspendExternalOpen(true);
    return file;
}

void MDIForm1::OpenLayoutFile()
{
    PendingLayoutFile = ShowOpenLayoutDialog();
    if (PendingLayoutFile.isEmpty()) {
        SuspendExternalOpen(false);
        return;
    }
    // The old windows close first; the file's windows open a moment later.
    closeForRestore(*this);
    StartWaitMethod(1, 150);
}

void MDIForm1::LoadLayoutFile()
{
    SuspendExternalOpen(false);
    if (!PendingLayoutFile.isEmpty()) {
        const WaitCursor wait(this);
        activateWindow();
        Layout::LoadLayout(PendingLayoutFile,
                           [this](const LayoutOpenArgs& args) { OpenLayoutItem(args); });
    }
    PendingLayoutFile.clear();
    SetMenuPrevNext(); // the closed windows' own update gave way to this call
}

void MDIForm1::ArchivAnordnungLaden(const QString& sFile)
{
    if (sFile.isEmpty())
        return;
    PendingLayoutFile = sFile;
    closeForRestore(*this);
    StartWaitMethod(5, 150);
}

void MDIForm1::LoadArchivedLayout()
{
    SuspendExternalOpen(false);
    if (!PendingLayoutFile.isEmpty()) {
        const WaitCursor wait(this);
        activateWindow();
        LayoutItem layout;
        layout.setFileName(PendingLayoutFile);
        layout.LoadAllFensterInfos();
        const QList<FensterInfo> infos = layout.colFensterInfo();
        for (const FensterInfo& info : infos)
            OpenLayoutItem(layoutOpenArgs(info));
    }
    PendingLayoutFile.clear();
    SetMenuPrevNext(); // the closed windows' own update gave way to this call
}

void MDIForm1::OpenLayoutItem(const LayoutOpenArgs& args)
{
    HistoryUrl = args.HistoryUrl();
    const QPointer<frmBrowser> window = CreateBrowser(QStringLiteral("mdi"), false);
    if (!window) {
        HistoryUrl.clear();
        return;
    }
    if (args.IsFeed())
        window->sXmlFeedUrl = args.sUrl;
    window->Navigate(QString());
    if (args.AppliesGeometry()) {
        if (!recordGeometryUsable(args)) {
            // A record that cannot be applied: say so and drop its window;
            // the next record is opened as usual.
            ShowMessage(Txt(1114), Txt(1110), MsgIcon::Warning);
            if (window)
                window->close();
            HistoryUrl.clear();
            return;
        }
        // A maximised window is made normal first in any case, so that a
        // minimised record keeps its recorded normal geometry.
        if (args.SetsNormalFirst() || window->isMaximized())
            window->showNormal();
        window->setGeometry(twipsToPixels(args.nLeft, args.nTop, args.nWidth, args.nHeight));
        window->SetWindowState(args.nState);
        window->CoolBar1->setBars(args.bAdress, args.bToolb);
        window->PubResize();
    }
    HistoryUrl.clear();
}

} // namespace orv
