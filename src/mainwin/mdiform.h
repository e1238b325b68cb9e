#pragma once

#include "browser/browserhost.h"
#include "mainwin/arrangementfiles.h"
#include "mainwin/deferredsteps.h"
#include "mainwin/linkedtiles.h"
#include "mainwin/mailcheck.h"
#include "mainwin/mainflags.h"
#include "mainwin/mainmenus.h"
#include "mainwin/mainstatusbar.h"
#include "mainwin/menuitems.h"
#include "mainwin/recoveryfile.h"
#include "mainwin/tabstrip.h"
#include "mainwin/windowmenu.h"
#include "mainwin/windowregistry.h"
#include "tools/historylist.h"
#include "tools/window/toolshost.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>

class QMdiArea;

namespace orv {

class frmBrowser;
class frmTools;
class Prefer;

// The main window. It composes its parts (window registry, tab strip,
// arrangement files, window menu, main menus, status bar), owns the flags they share and the
// history, and is the host of every browser window. Its public functions
// are the program's entry points; each forwards to the part that does the
// work (docs/architecture.md).
class MDIForm1 : public QMainWindow, private BrowserHost, private ToolsHost {
    Q_OBJECT
public:
    explicit MDIForm1(Prefer& prefer, QWidget* parent = nullptr);
    ~MDIForm1() override;

    Prefer& prefs() const override { return m_prefer; }
    QMdiArea* mdiArea() const { return m_mdi; }

    // --- the parts ---------------------------------------------------------------
    MainFlags& flags() { return m_flags; }
    MenuItems& menuItems() { return *m_items; }
    WindowRegistry& registry() { return *m_registry; }
    TabStrip& tabStrip() { return *m_tabs; }
    ArrangementFiles& arrangements() { return *m_arrangements; }
    LinkedTiles& linkedTiles() { return *m_tiles; }
    WindowMenu& windowMenu() { return *m_windowMenu; }
    MainMenus& menus() { return *m_menus; }
    MainStatusBar& statusParts() { return *m_status; }
    HistoryList& History() { return m_history; }
    DeferredSteps& steps() { return m_steps; }
    MailCheck& mailCheck() { return *m_mail; }
    RecoveryFile& recovery() { return *m_recovery; }

    // --- windows -------------------------------------------------------------------
    const QList<frmBrowser*>& Browser() const { return m_registry->Browser(); }
    frmBrowser* BrowserByKey(const QString& key) const { return m_registry->BrowserByKey(key); }
    frmBrowser* ActiveBrowser() const { return m_registry->ActiveBrowser(); }
    frmBrowser* CreateBrowser(const QString& sParent, bool bNoToolbar);
    void NewBrowser() { m_registry->OpenNewBrowser(QString()); }
    frmBrowser* OpenNewBrowser(const QString& address = {})
    {
        return m_registry->OpenNewBrowser(address);
    }
    void mn_Browser_Click() { m_menus->mn_Browser_Click(); }
    void VisitUrl(const QString& sUrl, bool bAdress, bool bToolb)
    {
        m_menus->VisitUrl(sUrl, bAdress, bToolb);
    }
    void mn_BrowserBlank_Click() { m_menus->mn_BrowserBlank_Click(); }
    void mn_HomeBrowser_Click() { m_menus->mn_HomeBrowser_Click(); }
    void CloneActive() { m_menus->CloneActive(); }
    void OpenXmlFeedBkm(const QString& address) { m_menus->OpenXmlFeedBkm(address); }
    void CloseAllBrowser() { m_windowMenu->CloseAllBrowser(); }
    void CloseOtherBrowsers(const frmBrowser* keep) { m_windowMenu->CloseOtherBrowsers(keep); }
    void ClosePopups() { m_windowMenu->ClosePopups(); }
    void StartWaitMethod(DeferredStep step, int nWait) { m_steps.Start(step, nWait); }
    // Closes the windows one after the other (a deferred step each); `done`
    // runs when the last one has closed.
    void CloseAllOneByOne(std::function<void()> done = {});
    // Opens one window as an arrangement record says.
    void OpenLayoutItem(const LayoutOpenArgs& args) { m_arrangements->OpenLayoutItem(args); }
    void ArchivAnordnungLaden(const QString& sFile) { m_arrangements->ArchivAnordnungLaden(sFile); }
    // Opens the windows of a recovery file (a start after an end that was
    // not orderly).
    void RestoreRecovery(const QString& file)
    {
        RecoveryFile::Restore(file, *m_registry, *m_arrangements);
    }

    // --- tab strip, menus, status bar ------------------------------------------------
    void UpdateTab() { m_tabs->UpdateTab(); }
    void SetTapTitle(const QString& title, int number) { m_tabs->SetTapTitle(title, number); }
    void SetMenuPrevNext() { m_windowMenu->SetMenuPrevNext(); }
    void MenuFenster() { m_windowMenu->UpdateMenuFenster(); }
    void ToggleBothToolb() { m_windowMenu->mn_beides_Click(); }
    void SetStatusText(const QString& text) { m_status->SetStatusText(text); }
    void ApplyTabSettings() { m_tabs->ApplyTabSettings(); }
    void ApplyStatusSettings() { m_status->ApplyStatusSettings(); }
    void ActivateStatus() { m_status->ActivateStatus(); }
    void StartMail() { m_menus->StartMail(); }
    // A new window that shows the search page `sCode` (a page of one form)
    // and submits its first form.
    void SubmitSearch(const QString& sCode);

    // --- mail check --------------------------------------------------------------------
    // Starts (true) or stops the check with the accounts of the preferences.
    void InitForPOP3(bool bSt) { m_mail->InitForPOP3(bSt); }
    void SetMailPanelVisible(bool visible) { m_mail->SetMailPanelVisible(visible); }

    // --- history --------------------------------------------------------------------
    void AddToHistory(const QString& url, const QString& title);

    // --- external opening -------------------------------------------------------------
    bool ExternalOpenEnabled() const { return m_registry->ExternalOpenEnabled(); }
    void SuspendExternalOpen(bool suspend) { m_registry->SuspendExternalOpen(suspend); }
    OpenQueue& openQueue() { return m_registry->openQueue(); }
    // Another copy of the program asks to open `argument` (empty: only to
    // come to the front).
    void ReceiveOpenRequest(const QString& argument);
    void RaiseForOtherCopy();
    // Called for a dropped text or file list (main window and tab strip).
    void OpenDropped(const QStringList& items);

    // Saves size and state into the preferences and writes them (once).
    void SavePreferencesOnce();

    // --- the tools window -----------------------------------------------------------
    // Opens the tools window on the bookmark archive.
    void StartBookmEd();
    void mn_Bookmarks_Click() { StartBookmEd(); }
    // ... on the layout archive, the history and the multi-search (which
    // needs a search form file first).
    void mn_Layouts_Click();
    void StartHistoryWin();
    void mn_Historie_Click() { StartHistoryWin(); }
    void BrowserSearch();
    void mn_BrowserSearch_Click() { BrowserSearch(); }
    // The tools window while it exists.
    frmTools* Tools() const;

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
    // BrowserHost
    PopupPolicy popupPolicy() const override { return m_flags.popupPolicy(); }
    frmBrowser* openPopup(frmBrowser& opener, QWebEnginePage::WebWindowType type) override;
    void addToHistory(const QString& url, const QString& title) override;
    int historyCount() const override { return m_history.Count(); }
    int windowCount() const override { return int(m_registry->Browser().size()); }
    int popupCount() const override { return m_registry->popupCount(); }
    void runCommand(HostCommand command, frmBrowser& from) override;
    void windowClosing(frmBrowser& window, int state) override;
    // Opening all links of a page (and of a bookmark folder).
    bool warnUser() const override { return m_flags.bWarnUser; }
    void setWarnUser(bool warn) override { m_flags.bWarnUser = warn; }
    bool exitLoop() const override { return m_flags.bExitloop; }
    void setExitLoop(bool stop) override { m_flags.bExitloop = stop; }
    frmBrowser* openWindow(const QString& address) override;

    // ToolsHost
    QWidget* hostWindow() override { return this; }
    void visitUrl(const QString& url, bool adressBar, bool toolbar) override;
    void openXmlFeedBkm(const QString& url) override { OpenXmlFeedBkm(url); }
    std::optional<ToolsWindowInfo> frontWindow() const override;
    QList<ToolsWindowInfo> allWindows() const override;
    void frontDocument(QObject* context, ToolsDocumentCallback done) override;
    int maxBrowser() const override;
    // warnUser / setWarnUser: shared with BrowserHost above.
    void startBookmarkRoundtrip(const QString& folderFileName) override;
    void setStartPage(const QString& title, const QString& url) override;
    QString startFolderName() const override;
    QString historyTitle(const QString& url) const override;
    void suspendExternalOpen(bool suspend) override { SuspendExternalOpen(suspend); }
    void setBookOpen(bool open) override { m_flags.bIsOpenBook = open; }
    void raiseMainWindowLater() override;
    void setMainBusy(bool busy) override;
    bool isActiveWindowMaximized() const override;
    QList<LayoutWindowState> captureLayoutWindows() override;
    void openArchivedLayout(const QString& fileName) override { ArchivAnordnungLaden(fileName); }
    const HistoryList& historyList() const override { return m_history; }
    QString searchEngineFile() const override;
    void submitSearch(const QString& formHtml) override { SubmitSearch(formHtml); }
    frmTools* toolsWindow();
    void closeTools();
    frmBrowser* frontBrowser() const;

    void connectWindow(frmBrowser* window);
    void onWindowActivated(frmBrowser* window);
    void runDeferredStep(DeferredStep step);
    void closeNextOneByOne();
    void createMailCheck();
    // The main window's part of confirmed settings: the mail check, the
    // tab strip, the tool tips of every window's "Home" and "Search"
    // buttons and the window menu. `activeKey` names the window whose tab
    // is selected again.
    void ApplySettings(const QString& activeKey);

    Prefer& m_prefer;
    QMdiArea* m_mdi = nullptr;
    MainFlags m_flags;
    HistoryList m_history;
    DeferredSteps m_steps;
    // The parts, in the order they are built (and destroyed in reverse,
    // before the window's widgets).
    std::unique_ptr<MenuItems> m_items;
    std::unique_ptr<WindowRegistry> m_registry;
    std::unique_ptr<TabStrip> m_tabs;
    std::unique_ptr<MainStatusBar> m_status;
    std::unique_ptr<ArrangementFiles> m_arrangements;
    std::unique_ptr<LinkedTiles> m_tiles;
    std::unique_ptr<WindowMenu> m_windowMenu;
    std::unique_ptr<MainMenus> m_menus;
    std::unique_ptr<RecoveryFile> m_recovery;
    std::unique_ptr<MailCheck> m_mail;

    // The tools window, made on first use; it deletes itself when closed.
    QPointer<frmTools> m_tools;
    QPointer<frmBrowser> m_waitWindow;
    std::function<void()> m_oneByOneDone;
    bool m_prefsSaved = false;
};

} // namespace orv
