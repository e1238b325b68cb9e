#pragma once

#include "pages/feeddiscovery.h"
#include "pages/structurepage.h"

#include <QObject>
#include <QString>

class QMainWindow;
class QMenu;
class QPoint;

namespace orv {

class DeferredSteps;
class MainStatusBar;
class MenuItems;
class Prefer;
class TabStrip;
class WindowMenu;
class WindowRegistry;
class frmBrowser;
struct MainFlags;

// The menu bar ("&Datei", "&Ansicht", "&Tools", "A&ktionen", "&Fenster",
// "&?") and the main context menu, with the commands of the File, View,
// Tools, Actions and help menus and their enabling: new windows, full
// screen, the status bar, the e-mail application.
class MainMenus : public QObject {
    Q_OBJECT
public:
    MainMenus(QMainWindow& main, WindowRegistry& registry, TabStrip& tabs, WindowMenu& windows,
              MainStatusBar& status, MenuItems& items, MainFlags& flags, Prefer& prefer,
              DeferredSteps& steps);

    // Builds the menu bar, the context menu and their copies.
    void buildMenus(QWidget* contextArea);
    // The main context menu (`mn_ctxt`).
    QMenu* ContextMenu() const { return m_contextMenu; }

    // New windows.
    void mn_Browser_Click(const QString& address = {});
    void mn_HomeBrowser_Click();
    // A new window on the start page, or a feed window when the start page
    // is a feed.
    void OpenHomeWindow();
    void mn_BrowserBlank_Click();
    void VisitUrl(const QString& sUrl, bool bAdress, bool bToolb);
    bool IsCloneable(const frmBrowser* frmX) const;
    // A new window without bars that shows the feed at `address`.
    void OpenXmlFeedBkm(const QString& address);
    void CloneActive();
    // Makes the program the desktop's default browser after asking.
    void mn_Standardbrowser_Click();
    // The information window of the help menu.
    void mn_Orvane_Click();

    void mn_Datei_Click();
    void mn_save_Click();
    void mn_Send_Click();
    void mn_print_Click();
    void mn_ppreview_Click();
    void mn_Exit_Click();
    void mn_ctxtExit_Click();
    void mn_Fullscreen_Click();
    void FullScreenOn();
    void FullScreenOff();
    bool IsFullScreen() const { return m_fullScreen; }
    void mn_Toggle_Click();
    void mn_Email_Click();
    // Starts the e-mail application of the preference MailClient.
    void StartMail();
    // The settings dialog; after OK the running program follows the new
    // settings (the main window's part through settingsApplied).
    void mn_Einstellungen_Click();
    void mn_Actions_Click();
    void mn_CloneBrowser_Click();
    void mn_SetHomepage_Click();
    void mn_Doku_Click();
    // The page-dependent View items follow the active window's document.
    void mn_Ansicht_Click();
    // The structure view and the picture list of the active window's
    // document, each in a new window.
    void mn_DocStruct_Click();
    // The source of the active window's page (or of its focused frame).
    void mn_HTMLCode_Click();
    void mn_PictureList_Click();
    // The tools window on the bookmark archive (the main window opens it).
    void StartBookmEd() { Q_EMIT bookmarkArchiveRequested(); }
    // The tools window on the layout archive, the history, the multi-search.
    void mn_Layouts_Click() { Q_EMIT layoutArchiveRequested(); }
    void mn_Historie_Click() { Q_EMIT historyRequested(); }
    void mn_BrowserSearch_Click() { Q_EMIT browserSearchRequested(); }

    // Automatic reload, round trips and opening all links of the active
    // window (Actions menu).
    void mn_SetRefresh_Click();
    void mn_VisitallLinks_Click();
    void mn_VisitallLinksInFrame_Click();
    void mn_OpenAllLinks_Click();
    // Zoom and text size of the active window (View menu); the submenus
    // check the entry of the active window's level when they open.
    void ZoomActive(int percent);
    void mn_Zoom_Click();
    void mn_Textsize_Click();

Q_SIGNALS:
    void bookmarkArchiveRequested();
    void layoutArchiveRequested();
    void historyRequested();
    void browserSearchRequested();
    // The settings dialog was confirmed and the shared flags follow the new
    // preferences: the main window applies the rest (mail check, tab strip,
    // the windows' tool tips, the window menu). `activeKey` is the window
    // key of the window that was active when the dialog opened, or empty.
    void settingsApplied(const QString& activeKey);

private:
    // The items of the window activities in the View and Actions menus.
    void buildActivityItems(QMenu* view);
    void showContextMenuAt(const QPoint& globalPos);
    void startNewWindow(frmBrowser* window);
    enum class GeneratedView { Structure, Pictures };
    void showGeneratedView(GeneratedView view);

    QMainWindow& m_main;
    WindowRegistry& m_registry;
    TabStrip& m_tabs;
    WindowMenu& m_windows;
    MainStatusBar& m_status;
    MenuItems& m_items;
    MainFlags& m_flags;
    Prefer& m_prefer;
    DeferredSteps& m_steps;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_actionsMenu = nullptr;
    QMenu* m_contextMenu = nullptr;
    QMenu* m_feedsMenu = nullptr;    // "&News Feeds"
    QMenu* m_textSizeMenu = nullptr; // "Schrift&größe"
    QMenu* m_zoomMenu = nullptr;     // "&Zoom"
    // Section numbers of structure views: they go on counting for the
    // whole run.
    StructureCounter m_structureCounter;
    // The feeds the active window's page announces, as the view menu found
    // them when it opened.
    FeedList m_feeds;
    bool m_fullScreen = false;
    // Width of a feed window in twips.
    static constexpr int kFeedWindowWidth = 5530;
    int m_fullScreenWinState = 0;
};

} // namespace orv
