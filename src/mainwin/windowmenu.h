#pragma once

#include <QList>
#include <QObject>
#include <QRect>
#include <QString>

class QAction;
class QMainWindow;
class QMdiSubWindow;
class QMenu;

namespace orv {

class ArrangementFiles;
class DeferredSteps;
class LinkedTiles;
class MenuItems;
class Prefer;
class TabStrip;
class WindowRegistry;
class frmBrowser;
struct MainFlags;

// The Window menu ("&Fenster") and its copies in the context menu: the
// three arrangements, the bars of one or all windows, the pop-up switches,
// the closing commands, the list of open windows; the stepping items of
// the menu bar; the File menu's arrangement items hand over to
// ArrangementFiles.
class WindowMenu : public QObject {
    Q_OBJECT
public:
    WindowMenu(QMainWindow& main, WindowRegistry& registry, TabStrip& tabs, MenuItems& items,
               MainFlags& flags, Prefer& prefer, DeferredSteps& steps, ArrangementFiles& files,
               LinkedTiles& tiles);

    // Builds the items into `menu`, the stepping items into the menu bar,
    // and the copies into the context submenu `copies`.
    void buildWindowMenu(QMenu* menu);
    void buildSteppingItems();
    void buildWindowMenuCopies(QMenu* menu);
    // The main context menu, which closing commands hide first.
    void setContextMenu(QMenu* menu) { m_contextMenu = menu; }
    QMenu* ActiveWindowMenu() const { return m_activeMenu; }

    // Recomputes the check marks, enabled and visible states of the items
    // and their copies; runs whenever one of the menus opens.
    void UpdateMenuFenster();
    void SetMenuPrevNext();
    // The program's open windows as the menu counts them.
    int FormsCount() const;

    // Arrangements: by the checked item (none: nothing); 0 cascade, 1 one
    // below the other, 2 side by side.
    void ArrangeByCheckedItem();
    void Arrange(int arrangement);
    void mn_Untereinander_Click();
    void mn_Nebeneinander_Click();
    void mn_Kaskadiert_Click();
    // Tiles only the windows chosen on the tab strip over the whole area,
    // in front of the others, which stay as they are: 1 one below the
    // other, 2 side by side.
    void TileSelection(int arrangement);

    void mn_firstwindow_Click();
    void mn_prevwindow_Click();
    void mn_nextwindow_Click();
    void mn_lastwindow_Click();

    // Bars of the active window and of every window.
    void mn_Adresszeile_Click();
    void mn_toolbar_Click();
    void mn_beides_Click();
    void mn_ToggleAdressRow_Click();
    void mn_ToogleToolbars_Click();
    void mn_ToggleToolbAdres_Click();
    void mn_RefreshAll_Click();
    // A page asked for a window without bars: both bars of the active
    // window go.
    void HideBarsOfDialogWindow();
    bool AllAdressRowsFlag() const { return m_allAdressRows; }
    bool AllToolbarsFlag() const { return m_allToolbars; }
    bool AllBothFlag() const { return m_allBoth; }

    void mn_EnablePopup_Click();
    void mn_DisablePopup_Click();
    void mn_PopupToBack_Click();
    void mn_PopupResize_Click();
    void mn_PopupReferenz_Click();

    void CloseAllBrowser();
    void CloseOtherBrowsers(const frmBrowser* keep);
    void ClosePopups();
    void mn_Aktivschließen_Click();
    void mn_ClosePopups_Click();
    void mn_CloseAllOtherWin_Click();
    void mn_Alleschließen_Click();
    // The list of all windows, searchable; the chosen one comes to the front.
    void ChooseWindow();

    // Arrangement files ("*.wlt"): the File menu's items, carried out by
    // the arrangement files part.
    void mn_Anordnung_save_Click();
    void mn_Anordnung_load_Click();

private:
    void setArrangementCheck(const QString& name);
    // Gives `windows` their places inside the area above `icons`.
    void place(const QList<QMdiSubWindow*>& windows, const QList<QRect>& icons, int arrangement);
    void updateSelectionItems();
    void RebuildWindowList();
    void activateListed(frmBrowser* target);
    void applyBands(frmBrowser* window, int adress, int toolbar);

    QMainWindow& m_main;
    WindowRegistry& m_registry;
    TabStrip& m_tabs;
    MenuItems& m_items;
    MainFlags& m_flags;
    Prefer& m_prefer;
    DeferredSteps& m_steps;
    ArrangementFiles& m_files;
    LinkedTiles& m_tiles;
    QMenu* m_windowMenu = nullptr;
    QMenu* m_activeMenu = nullptr;
    QMenu* m_contextMenu = nullptr;
    QList<QAction*> m_windowListItems;
    bool m_allAdressRows = true;
    bool m_allToolbars = true;
    bool m_allBoth = true;
};

} // namespace orv
