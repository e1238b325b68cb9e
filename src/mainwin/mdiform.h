#pragma once

#include "app/openqueue.h"
#include "layouts/layout.h"
#include "tools/historylist.h"

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QTabBar;
class QToolBar;

namespace orv {

class frmBrowser;
class Prefer;

// The main window: owns every browser window (the registry), the tab strip,
// the menus and the status bar.
class MDIForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit MDIForm1(Prefer& prefer, QWidget* parent = nullptr);
    ~MDIForm1() override;

    Prefer& prefs() { return m_prefer; }
    QMdiArea* mdiArea() const { return m_mdi; }

    // --- registry ---------------------------------------------------------
    // The open browser windows in creation order.
    const QList<frmBrowser*>& Browser() const { return m_browser; }
    frmBrowser* BrowserByKey(const QString& key) const;
    frmBrowser* ActiveBrowser() const;

    frmBrowser* CreateBrowser(const QString& sParent, bool bNoToolbar);
    void NewBrowser();
    frmBrowser* OpenNewBrowser();
    void mn_Browser_Click();
    void VisitUrl(const QString& sUrl, bool bAdress, bool bToolb, int nLeft = 0, int nTop = 0,
                  int nWidth = 0, int nHeight = 0);
    void mn_BrowserBlank_Click();
    void mn_HomeBrowser_Click();
    bool IsCloneable(frmBrowser* frmX) const;
    void CloneActive();
    void CloseAllBrowser();
    void CloseOtherBrowsers(const frmBrowser* keep);
    void ClosePopups();
    void StartWaitMethod(int nMethod, int nWait);
    // Closes the windows one after the other through the deferred method 3;
    // `done` runs when the last one has closed.
    void CloseAllOneByOne(std::function<void()> done = {});

    // Arrangement by the checked Window-menu item (none: nothing).
    void ArrangeByCheckedItem();
    // 0 cascade, 1 one below the other, 2 side by side.
    void Arrange(int arrangement);

    // --- state of the registry (public as the windows read and write it) ---
    int counter = 0;
    int MaxBrowser = 250;
    QString HistoryUrl;
    bool AdressView = true;
    bool ToolbarView = true;
    QString sFrontWinKey;
    int nPopupCount = 0;
    bool bPopup = true;
    bool bPopupResize = true;
    bool bPopupBackgrnd = false;
    bool bPopupReferenz = false;
    bool bExitloop = false;
    bool bNewSize = false;
    int LastWinState = 0;
    bool StatusBarCurr = true;
    bool bTabVisible = true;
    int nTabAlign = 1;
    bool bTabStylButton = true;
    bool bWarnUser = true;
    bool bIsOpenBook = false;
    bool bIsOpenHistory = false;

    // --- tab strip ------------------------------------------------------------
    void CreateTab(int number, const QString& sCap);
    void RemoveTab(int nKey);
    void UpdateTab();
    void SetTapTitle(const QString& title, int number);
    static QString StrToCaption(const QString& text);
    void SetToolbarVisible(bool visible);
    void SetToolbarPos(int nAlign, bool bStyleButton);
    QTabBar* TabStrip1() const { return m_tabs; }
    int TabIndexOfKey(const QString& key) const;

    // --- menu items (mdiform_menus.cpp) -------------------------------------------
    // The menu item with this name (for example "mn_Kaskadiert"), or nullptr.
    // Copies in the context menus have their own names ("mn_ctxtKaskadiert").
    QAction* Item(const QString& name) const { return m_items.value(name); }
    // Adds an item to `menu` under `name`; `handler` runs when it is chosen.
    QAction* AddItem(QMenu* menu, const QString& name, const QString& caption,
                     std::function<void()> handler);
    // Adds a copy of item `of` (same caption, runs the item's handler) under
    // `copyName`; check marks, enabled and visible states set with the
    // Set... functions below reach every copy.
    QAction* AddCopy(QMenu* menu, const QString& copyName, const QString& of);
    // The item and all its copies.
    QList<QAction*> ItemWithCopies(const QString& name) const;
    void SetItemChecked(const QString& name, bool checked);
    void SetItemEnabled(const QString& name, bool enabled);
    void SetItemVisible(const QString& name, bool visible);
    bool ItemChecked(const QString& name) const;

    // --- main menus and commands (mdiform_menus.cpp) ----------------------------------
    void ToggleBothToolb();
    void MenuFenster();
    QMenu* ActiveWindowMenu() const { return m_activeMenu; }
    // The main context menu (`mn_ctxt`).
    QMenu* ContextMenu() const { return m_contextMenu; }
    // BEGIN main menus section: declarations added by the menu commands work
    // Menu handlers. A check mark changes only through its handler: a click
    // on a checkable item runs the handler with the mark as it was.
    void mn_Datei_Click();
    void mn_save_Click();
    void mn_Send_Click();
    void mn_print_Click();
    void mn_ppreview_Click();
    void mn_Exit_Click();
    void mn_ctxtExit_Click();
    void mn_Fullscreen_Click();
    void mn_Toggle_Click();
    void mn_Email_Click();
    void mn_Actions_Click();
    void mn_CloneBrowser_Click();
    void mn_SetHomepage_Click();
    void mn_EnablePopup_Click();
    void mn_DisablePopup_Click();
    void mn_PopupToBack_Click();
    void mn_PopupResize_Click();
    void mn_PopupReferenz_Click();
    // The bars of the active window: address band, toolbar band, both.
    void mn_Adresszeile_Click();
    void mn_toolbar_Click();
    void mn_beides_Click();
    // The same for every open window.
    void mn_ToggleAdressRow_Click();
    void mn_ToogleToolbars_Click();
    void mn_ToggleToolbAdres_Click();
    void mn_RefreshAll_Click();
    void mn_Doku_Click();
    // Starts the e-mail application of the preference MailClient.
    void StartMail();
    // Full screen: the main window without its frame, status bar and
    // register row hidden; off restores them as the preferences say.
    void FullScreenOn();
    void FullScreenOff();
    bool IsFullScreen() const { return m_fullScreen; }
    // The bulk bar flags (all true after loading).
    bool AllAdressRowsFlag() const { return m_allAdressRows; }
    bool AllToolbarsFlag() const { return m_allToolbars; }
    bool AllBothFlag() const { return m_allBoth; }
    // The status parts of the start-up settings and of the activation.
    void ApplyStatusSettings();
    void ActivateStatus();
    // Status panel by key: "date", "time", "status", "email".
    QLabel* StatusPanel(const QString& key) const;
    // The mail indicator (panel "email").
    void ShowMailIndicator(bool visible);
    bool MailIndicatorVisible() const;
    // A double click on the panel with this key.
    void StatusBar1_PanelDblClick(const QString& key);
    // END main menus section

    // --- window menu and arrangements (mdiform_arrange.cpp) ---------------------------
    void SetMenuPrevNext();
    // Builds the items of the Window menu into `menu` ("&Fenster").
    void buildWindowMenu(QMenu* menu);
    // The four stepping items in the menu bar.
    void buildSteppingItems();
    // BEGIN window menu section: declarations added by the window menu work
    // Copies of the Window menu items into the context submenu `menu`, same
    // captions, named "mn_ctxt" + the rest of the item's name with a capital
    // first letter ("mn_beides" -> "mn_ctxtBeides"); no stepping items.
    void buildWindowMenuCopies(QMenu* menu);
    // Recomputes the check marks, enabled and visible states of the Window
    // menu items and their copies; runs whenever one of the menus opens.
    void UpdateMenuFenster();
    void mn_Fenster_Click();
    void mn_Untereinander_Click();
    void mn_Nebeneinander_Click();
    void mn_Kaskadiert_Click();
    void mn_firstwindow_Click();
    void mn_prevwindow_Click();
    void mn_nextwindow_Click();
    void mn_lastwindow_Click();
    void mn_Aktivschließen_Click();
    void mn_ClosePopups_Click();
    void mn_CloseAllOtherWin_Click();
    void mn_Alleschließen_Click();
    // The program's open windows as the Window menu counts them: the main
    // window, every browser window of the registry and every other visible
    // top-level window of the program (the tools window, dialogs).
    int FormsCount() const;
    // Arrangement files ("*.wlt") and archived layouts.
    void mn_Anordnung_save_Click();
    void mn_Anordnung_load_Click();
    void OpenLayoutFile();
    QString ShowOpenLayoutDialog();
    // sFile: the layout's window file, relative to the data folder.
    void ArchivAnordnungLaden(const QString& sFile);
    // The second phases of a restore (deferred methods 1 and 5).
    void LoadLayoutFile();
    void LoadArchivedLayout();
    // Every browser window in registry order as an arrangement keeps it.
    QList<LayoutWindowState> CaptureLayoutWindows();
    // The file waiting for the second phase of a restore; empty when none.
    QString PendingLayoutFile;
    // END window menu section

    // --- tab strip (mdiform_tabstrip.cpp) ----------------------------------------------
    // Builds the tab strip's menu items into the View menu `view`.
    void buildTabStripItems(QMenu* view);
    // BEGIN tab strip section: declarations added by the tab strip work
    // Copies of the register items ("mn_ctxtRegister", ...) into the main
    // context menu `ctxtMenu`.
    void buildTabStripCopies(QMenu* ctxtMenu);
    // Menu commands of the register row: on/off, top, bottom, tabs, buttons.
    void mn_Register_Click();
    void mn_RegisterOben_Click();
    void mn_RegisterUnten_Click();
    void mn_RegisterTabs_Click();
    void mn_RegisterButton_Click();
    // The strip's font: face `sFont`, 8.25 points.
    static QFont SetFontFace(bool bBold, const QString& sFont);
    // The strip's vertical offset inside its bar by style and nTabAlign.
    void SetTabStripPos(bool bTabBtn);
    void TabStripResize();
    // Docks the row again where its check marks say.
    void UpdateToolbarPos();
    void TabStrip1_MouseUp(Qt::MouseButton button, const QPoint& globalPos);
    // A drop on the strip: accepted and opened while external opening is on.
    void TabStrip1_OLEDragDrop(QDropEvent* event);
    // The tab part of the main window's activation: check marks, enabled
    // states, font and position from bTabVisible, nTabAlign, bTabStylButton.
    void ActivateTabStrip();
    // The tab part of the start-up's last step: the activation, then the
    // row placed, styled and shown as the preferences say (shown only while
    // a window is open).
    void ApplyTabSettings();
    QToolBar* Toolbar1() const { return m_tabBar; }
    // The strip's own context menu (`mn_RegisterDummy`).
    QMenu* TabStripMenu() const { return m_registerMenu; }
    // The strip's offset inside its bar in twips (15 to the pixel).
    int TabStripTop() const { return m_tabStripTop; }
    // 0 tabs, 2 flat buttons.
    int TabStyle() const { return m_tabStyle; }
    // END tab strip section

    // --- history ----------------------------------------------------------------
    HistoryList& History() { return m_history; }
    void AddToHistory(const QString& url, const QString& title);

    // --- status bar ---------------------------------------------------------------
    void SetStatusText(const QString& text);
    QString StatusText() const;

    // --- external opening -------------------------------------------------------
    bool ExternalOpenEnabled() const { return m_openQueue.ExternalOpenEnabled(); }
    void SuspendExternalOpen(bool suspend);
    OpenQueue& openQueue() { return m_openQueue; }
    // Another copy of the program asks to open `argument` (empty: only to
    // come to the front).
    void ReceiveOpenRequest(const QString& argument);
    void RaiseForOtherCopy();

    // --- arrangements -----------------------------------------------------------------
    // Opens one window as an arrangement record says.
    void OpenLayoutItem(const LayoutOpenArgs& args);

    // Called for a dropped text or file list (main window and tab strip).
    void OpenDropped(const QStringList& items);

    // Saves size and state into the preferences and writes them (once).
    void SavePreferencesOnce();

Q_SIGNALS:
    // A browser window was added to or removed from the registry.
    void browserAdded(frmBrowser* window);
    void browserRemoved(int id);

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildMenus();
    void buildStatusBar();
    void buildTabStrip();
    void TimerWait_Timer();
    void TabStrip1_Click(int index);
    void onSubWindowActivated(QMdiSubWindow* window);
    void setArrangementCheck(const QString& name);

    Prefer& m_prefer;
    QMdiArea* m_mdi = nullptr;
    QList<frmBrowser*> m_browser;
    QHash<QString, frmBrowser*> m_byKey;
    qint32 m_windowNumber = 0;

    QTimer m_timerWait;
    int m_waitMethod = 0;
    QPointer<frmBrowser> m_waitWindow;
    bool m_closingBusy = false;
    std::function<void()> m_oneByOneDone;

    QToolBar* m_tabBar = nullptr; // Toolbar1
    QTabBar* m_tabs = nullptr;    // TabStrip1
    int m_lastTabIndex = -1;

    QHash<QString, QAction*> m_items;
    QHash<QString, QList<QAction*>> m_copies;
    QMenu* m_windowMenu = nullptr;
    QMenu* m_activeMenu = nullptr;
    QMenu* m_contextMenu = nullptr;
    // BEGIN private members: each section adds its own below its marker
    // main menus:
    bool m_allAdressRows = true;
    bool m_allToolbars = true;
    bool m_allBoth = true;
    bool m_fullScreen = false;
    int m_fullScreenWinState = 0;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_actionsMenu = nullptr;
    QHash<QString, std::function<void()>> m_handlers;
    void applyBands(frmBrowser* window, int adress, int toolbar);
    void showContextMenuAt(const QPoint& globalPos);
    // window menu:
    QList<QAction*> m_windowListItems;
    void RebuildWindowList();
    // tab strip:
    QWidget* m_tabHost = nullptr;
    QMenu* m_registerMenu = nullptr;
    int m_tabStripTop = 0;
    int m_tabStyle = 0;
    void setTabStyle(bool buttons);
    // END private members

    QLabel* m_statusDate = nullptr;
    QLabel* m_statusTime = nullptr;
    QLabel* m_statusText = nullptr;
    QLabel* m_statusMail = nullptr;
    QTimer m_clock;

    HistoryList m_history;
    OpenQueue m_openQueue;
    bool m_prefsSaved = false;
    bool m_limitMessageUp = false;
};

} // namespace orv
