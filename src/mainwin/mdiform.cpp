#include "mainwin/mdiform.h"

#include "app/appinit.h"
#include "app/dialogseam.h"
#include "browser/browsertoolbar.h"
#include "browser/frmbrowser.h"
#include "browser/linkopening.h"
#include "mainwin/startupphases.h"
#include "platform/docbridge.h"
#include "prefs/prefer.h"
#include "tools/window/frmtools.h"

#include <QCloseEvent>
#include <QDebug>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QToolButton>

namespace orv {

MDIForm1::MDIForm1(Prefer& prefer, QWidget* parent) : QMainWindow(parent), m_prefer(prefer)
{
    setWindowTitle(AppTitle());
    setAccessibleName(AppTitle());
    setAcceptDrops(true);
    m_mdi = new QMdiArea(this);
    m_mdi->setAccessibleName(QStringLiteral("Fensterbereich"));
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdi);
    startupphases::Mark("main-window-area");

    m_items = std::make_unique<MenuItems>(nullptr);
    m_registry = std::make_unique<WindowRegistry>(m_mdi, static_cast<BrowserHost&>(*this), m_prefer,
                                                  m_flags, nullptr);
    // The activation runs before the tab strip hears of new windows.
    connect(m_registry.get(), &WindowRegistry::windowActivated, this, &MDIForm1::onWindowActivated);
    m_tabs = std::make_unique<TabStrip>(*this, *m_registry, *m_items, m_flags, m_prefer);
    m_status = std::make_unique<MainStatusBar>(*this, *m_items, m_flags, m_prefer);
    m_arrangements = std::make_unique<ArrangementFiles>(*this, *m_registry, m_steps);
    m_tiles = std::make_unique<LinkedTiles>(*m_registry);
    m_windowMenu = std::make_unique<WindowMenu>(*this, *m_registry, *m_tabs, *m_items, m_flags,
                                                m_prefer, m_steps, *m_arrangements, *m_tiles);
    // A restore closes the windows through the window menu, which then
    // counts the restored ones for its stepping items.
    connect(m_arrangements.get(), &ArrangementFiles::closeAllRequested, m_windowMenu.get(),
            &WindowMenu::CloseAllBrowser);
    connect(m_arrangements.get(), &ArrangementFiles::restoreFinished, m_windowMenu.get(),
            &WindowMenu::SetMenuPrevNext);
    m_menus = std::make_unique<MainMenus>(*this, *m_registry, *m_tabs, *m_windowMenu, *m_status,
                                          *m_items, m_flags, m_prefer, m_steps);
    startupphases::Mark("parts");
    m_menus->buildMenus(m_mdi->viewport());
    startupphases::Mark("menus");
    m_recovery = std::make_unique<RecoveryFile>(*m_registry);
    createMailCheck();
    startupphases::Mark("mail-check");

    connect(m_registry.get(), &WindowRegistry::windowRegistered, this,
            [this](frmBrowser* window) { connectWindow(window); });
    connect(m_registry.get(), &WindowRegistry::windowShown, this,
            [this](frmBrowser* window) { Q_EMIT browserAdded(window); });
    connect(&m_steps, &DeferredSteps::due, this, &MDIForm1::runDeferredStep);
    connect(m_tabs.get(), &TabStrip::dropped, this, &MDIForm1::OpenDropped);
    connect(m_menus.get(), &MainMenus::bookmarkArchiveRequested, this, &MDIForm1::StartBookmEd);
    connect(m_menus.get(), &MainMenus::layoutArchiveRequested, this, &MDIForm1::mn_Layouts_Click);
    connect(m_menus.get(), &MainMenus::historyRequested, this, &MDIForm1::StartHistoryWin);
    connect(m_menus.get(), &MainMenus::browserSearchRequested, this, &MDIForm1::BrowserSearch);
    connect(m_menus.get(), &MainMenus::settingsApplied, this, &MDIForm1::ApplySettings);
    connect(m_status.get(), &MainStatusBar::panelDoubleClicked, this, [this](const QString& key) {
        // Date and time: the desktop has no common place to set them; the
        // status text: nothing.
        if (key == QLatin1String("email")) {
            m_menus->mn_Email_Click();
            m_status->ShowMailIndicator(false);
        }
    });
    connect(&m_registry->openQueue(), &OpenQueue::externalOpenChanged, this,
            [this](bool enabled) { setAcceptDrops(enabled); });

    m_flags.TakePreferences(m_prefer);
    m_tabs->SetToolbarVisible(false);
}

// The parts go before the window's widgets, so that no part hears of a
// widget the window is deleting.
MDIForm1::~MDIForm1()
{
    // Windows still open go with the main window's widgets: none of them
    // reports to a part any more.
    for (frmBrowser* w : m_registry->Browser())
        w->disconnect();
    delete m_tools.data();
    m_recovery.reset();
    m_menus.reset();
    m_windowMenu.reset();
    m_tiles.reset();
    m_arrangements.reset();
    m_status.reset();
    m_tabs.reset();
    m_registry.reset();
    m_items.reset();
}

frmBrowser* MDIForm1::CreateBrowser(const QString& sParent, bool bNoToolbar)
{
    Q_UNUSED(sParent);
    return m_registry->CreateBrowser(QString(), bNoToolbar);
}

// The reports of a new window reach the parts that show them.
void MDIForm1::connectWindow(frmBrowser* window)
{
    connect(window, &frmBrowser::statusTextChanged, m_status.get(), &MainStatusBar::SetStatusText);
    connect(window, &frmBrowser::addressChanged, this, [this] {
        m_tabs->UpdateTab();
        m_registry->SuspendExternalOpen(false);
    });
    connect(window, &frmBrowser::windowMenuRequested, this, [this, window](const QPoint& pos) {
        QMenu* menu = m_windowMenu->ActiveWindowMenu();
        if (m_registry->FrontWindowKey() == window->WindowKey() && menu) {
            m_windowMenu->UpdateMenuFenster();
            menu->popup(pos);
        }
    });
}

void MDIForm1::onWindowActivated(frmBrowser* window)
{
    m_tabs->UpdateTab();
    if (!window->IsLoaded())
        return;
    // The window that closed last was maximised: this one takes its state.
    if (m_flags.LastWinState == 2) {
        window->showMaximized();
        m_flags.LastWinState = 0;
    }
    window->Form_Activate();
    m_registry->setFrontWindowKey(window->WindowKey());
    m_tabs->UpdateTab();
}

// --- the host of the browser windows ----------------------------------------------

frmBrowser* MDIForm1::openPopup(frmBrowser& opener, QWebEnginePage::WebWindowType type)
{
    frmBrowser* popup = m_registry->OpenPopup(
        opener, m_flags.bPopupBackgrnd || type == QWebEnginePage::WebBrowserBackgroundTab);
    // A page that asks for a window without bars (a dialog window).
    if (popup && type == QWebEnginePage::WebDialog)
        m_windowMenu->HideBarsOfDialogWindow();
    return popup;
}

void MDIForm1::addToHistory(const QString& url, const QString& title)
{
    AddToHistory(url, title);
}

void MDIForm1::AddToHistory(const QString& url, const QString& title)
{
    m_history.AddToHistory(url, title, m_prefer.HistoryRows());
}

void MDIForm1::runCommand(HostCommand command, frmBrowser& from)
{
    switch (command) {
    case HostCommand::StartMail:
        m_menus->StartMail();
        break;
    case HostCommand::CloneActive:
        m_menus->CloneActive();
        break;
    case HostCommand::ClosePopups:
        m_windowMenu->ClosePopups();
        break;
    case HostCommand::CloseOthers:
        m_windowMenu->CloseOtherBrowsers(&from);
        break;
    case HostCommand::CloseAll:
        m_windowMenu->CloseOtherBrowsers(&from);
        m_tabs->UpdateTab();
        from.close();
        break;
    case HostCommand::NewHomeWindow:
        m_menus->OpenHomeWindow();
        break;
    case HostCommand::NewBlankWindow:
        m_registry->OpenNewBrowser(QStringLiteral("about:blank"));
        break;
    case HostCommand::ToggleBars:
        m_windowMenu->mn_beides_Click();
        break;
    case HostCommand::StartBookmEd:
        StartBookmEd();
        break;
    case HostCommand::StartHistoryWin:
        StartHistoryWin();
        break;
    case HostCommand::BrowserSearch:
        BrowserSearch();
        break;
    }
}

void MDIForm1::windowClosing(frmBrowser& window, int state)
{
    m_status->SetStatusText(QString());
    const int id = window.ID();
    m_registry->Unregister(window);
    if (m_registry->IsEmpty()) {
        m_tabs->SetToolbarVisible(false);
        m_menus->FullScreenOff();
    }
    Q_EMIT browserRemoved(id);
    m_flags.LastWinState = state;
    m_steps.Start(DeferredStep::UpdateStepping, 80);
}

frmBrowser* MDIForm1::openWindow(const QString& address)
{
    return m_registry->OpenNewBrowser(address);
}

void MDIForm1::SubmitSearch(const QString& sCode)
{
    frmBrowser* window = m_registry->CreateBrowser(QStringLiteral("about:blank"), false);
    if (!window)
        return;
    if (m_registry->Browser().size() == 1)
        m_tabs->SetToolbarPos(m_flags.nTabAlign, m_flags.bTabStylButton);
    SubmitSearchIn(*window, sCode);
}

// --- deferred steps -----------------------------------------------------------------

void MDIForm1::CloseAllOneByOne(std::function<void()> done)
{
    m_oneByOneDone = std::move(done);
    closeNextOneByOne();
}

// The next window of a one-by-one close a moment later, or the end of it.
void MDIForm1::closeNextOneByOne()
{
    if (m_registry->IsEmpty()) {
        if (m_oneByOneDone)
            std::exchange(m_oneByOneDone, {})();
        return;
    }
    m_waitWindow = m_registry->Browser().constFirst();
    m_steps.Start(DeferredStep::CloseNextWindow, 300);
}

void MDIForm1::runDeferredStep(DeferredStep step)
{
    switch (step) {
    case DeferredStep::LoadLayoutFile:
        m_arrangements->LoadLayoutFile();
        break;
    case DeferredStep::CloseOtherWindows:
        m_windowMenu->CloseOtherBrowsers(ActiveBrowser());
        m_windowMenu->SetMenuPrevNext();
        break;
    case DeferredStep::CloseNextWindow:
        if (m_waitWindow)
            m_waitWindow->close();
        if (m_oneByOneDone)
            closeNextOneByOne();
        break;
    case DeferredStep::UpdateStepping:
        m_windowMenu->SetMenuPrevNext();
        break;
    case DeferredStep::LoadArchivedLayout:
        m_arrangements->LoadArchivedLayout();
        break;
    case DeferredStep::RaiseMainWindow:
        raise();
        activateWindow();
        break;
    case DeferredStep::CloseMainWindow:
        close();
        break;
    case DeferredStep::None:
        break;
    }
}

// --- external opening and drops -----------------------------------------------------

void MDIForm1::RaiseForOtherCopy()
{
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void MDIForm1::ReceiveOpenRequest(const QString& argument)
{
    if (isMinimized()) {
        RaiseForOtherCopy();
        m_windowMenu->ArrangeByCheckedItem();
    } else {
        raise();
        activateWindow();
    }
    m_registry->openQueue().receive(argument);
}

void MDIForm1::OpenDropped(const QStringList& items)
{
    for (const QString& item : items)
        m_menus->VisitUrl(item.trimmed(), m_prefer.Adresszeile(), m_prefer.Toolbar());
}

void MDIForm1::dragEnterEvent(QDragEnterEvent* event)
{
    if (ExternalOpenEnabled() && (event->mimeData()->hasText() || event->mimeData()->hasUrls()))
        event->acceptProposedAction();
}

void MDIForm1::dropEvent(QDropEvent* event)
{
    if (!ExternalOpenEnabled())
        return;
    QStringList items;
    const QMimeData* data = event->mimeData();
    if (data->hasUrls()) {
        for (const QUrl& url : data->urls())
            items << (url.isLocalFile() ? url.toLocalFile() : url.toString());
    } else if (data->hasText()) {
        items << data->text();
    }
    event->acceptProposedAction();
    OpenDropped(items);
}

// --- shutdown -----------------------------------------------------------------------

void MDIForm1::SavePreferencesOnce()
{
    if (m_prefsSaved)
        return;
    m_prefsSaved = true;
    // The normal size, also while maximised (the maximised one is never
    // stored as the normal one).
    const QSize normal = windowState() == Qt::WindowNoState ? size() : normalGeometry().size();
    if (!normal.isEmpty()) {
        m_prefer.setMdiHeight(normal.height() * 15);
        m_prefer.setMdiWidth(normal.width() * 15);
    }
    m_prefer.setMdiState(isMaximized() ? 2 : (isMinimized() ? 1 : 0));
    // The old file stays when the new one cannot be written; there is no
    // window left to tell it in.
    const FileResult saved = m_prefer.SavePref();
    if (!saved.ok)
        qWarning().noquote() << saved.error;
}

void MDIForm1::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // The main window comes to the front: status bar and tab strip follow
    // the current state (the stepping items follow every creation and close).
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        m_status->ActivateStatus();
        m_tabs->ActivateTabStrip();
    }
}

void MDIForm1::closeEvent(QCloseEvent* event)
{
    m_mail->Shutdown();
    closeTools();
    SavePreferencesOnce();
    const QList<frmBrowser*> windows = m_registry->Browser();
    for (frmBrowser* w : windows)
        w->close();
    // An orderly end: the next start has nothing to recover.
    m_recovery->EndOrderly();
    event->accept();
}

// --- the mail check ------------------------------------------------------------------

// The mail check reports into the status bar; it goes before the status bar.
void MDIForm1::createMailCheck()
{
    m_mail = std::make_unique<MailCheck>(m_prefer, *m_status);
}

// --- the tools window -----------------------------------------------------------------

frmTools* MDIForm1::toolsWindow()
{
    if (!m_tools)
        m_tools = new frmTools(static_cast<ToolsHost&>(*this), DataFolder(), this);
    return m_tools;
}

frmTools* MDIForm1::Tools() const
{
    return m_tools;
}

// The tools window asks about unsaved archive edits before the program goes.
void MDIForm1::closeTools()
{
    if (m_tools)
        m_tools->close();
}

void MDIForm1::StartBookmEd()
{
    toolsWindow()->OpenOn(frmTools::ToolBookmarks);
}

void MDIForm1::mn_Layouts_Click()
{
    toolsWindow()->OpenOn(frmTools::ToolLayouts);
}

void MDIForm1::StartHistoryWin()
{
    toolsWindow()->OpenOn(frmTools::ToolHistory);
}

void MDIForm1::BrowserSearch()
{
    if (m_prefer.SearchEngineFile().trimmed().isEmpty()) {
        SuspendExternalOpen(true);
        ShowMessage(QStringLiteral("Meldung"),
                    QStringLiteral("Bitte erst eine Suchformular-Datei auswählen !"),
                    MsgIcon::Information);
        SuspendExternalOpen(false);
        m_menus->mn_Einstellungen_Click();
        return;
    }
    toolsWindow()->OpenOn(frmTools::ToolSearch);
}

void MDIForm1::ApplySettings(const QString& activeKey)
{
    InitForPOP3(MailCheck::AnyAccountEnabled(m_prefer));
    m_tabs->ApplyTabSettings();
    if (!activeKey.isEmpty() && m_registry->BrowserByKey(activeKey))
        m_tabs->UpdateTab();
    for (frmBrowser* window : m_registry->Browser()) {
        if (!window->tbToolBar())
            continue;
        window->tbToolBar()->SetHomeToolTip(m_prefer.HomeUrl());
        if (QToolButton* search = window->tbToolBar()->Button(QStringLiteral("Search")))
            search->setToolTip(m_prefer.SearchEngine());
        window->tbToolBar()->update();
    }
    m_windowMenu->UpdateMenuFenster();
}

bool MDIForm1::isActiveWindowMaximized() const
{
    const frmBrowser* active = m_registry->ActiveBrowser();
    return active && active->isMaximized();
}

QList<LayoutWindowState> MDIForm1::captureLayoutWindows()
{
    return m_arrangements->CaptureLayoutWindows();
}

QString MDIForm1::searchEngineFile() const
{
    return m_prefer.SearchEngineFile();
}

void MDIForm1::visitUrl(const QString& url, bool adressBar, bool toolbar)
{
    VisitUrl(url, adressBar, toolbar);
}

frmBrowser* MDIForm1::frontBrowser() const
{
    if (frmBrowser* front = m_registry->BrowserByKey(m_registry->FrontWindowKey()))
        return front;
    return m_registry->ActiveBrowser();
}

namespace {

ToolsWindowInfo infoOf(const frmBrowser& window)
{
    return ToolsWindowInfo{window.windowTitle(),
                           window.IsFolder() ? window.GetFolderUrl() : window.LocationURL(),
                           window.FeedAddress()};
}

} // namespace

std::optional<ToolsWindowInfo> MDIForm1::frontWindow() const
{
    if (const frmBrowser* front = frontBrowser())
        return infoOf(*front);
    return std::nullopt;
}

QList<ToolsWindowInfo> MDIForm1::allWindows() const
{
    QList<ToolsWindowInfo> windows;
    for (const frmBrowser* window : m_registry->Browser())
        windows.append(infoOf(*window));
    return windows;
}

void MDIForm1::frontDocument(QObject* context, ToolsDocumentCallback done)
{
    frmBrowser* front = frontBrowser();
    TakeDocSnapshot(front ? front->page() : nullptr, context, std::move(done));
}

int MDIForm1::maxBrowser() const
{
    return m_registry->MaxBrowser();
}

void MDIForm1::startBookmarkRoundtrip(const QString& folderFileName)
{
    frmBrowser* window = m_registry->CreateBrowser(QStringLiteral("about:blank"), false);
    if (!window)
        return;
    window->Navigate(QString());
    window->StartBookmarkRoundtrip(folderFileName);
}

void MDIForm1::setStartPage(const QString& title, const QString& url)
{
    m_prefer.setHomeTitle(title);
    m_prefer.setHomeUrl(url);
    const FileResult saved = m_prefer.SavePref();
    if (!saved.ok)
        qWarning().noquote() << saved.error;
}

QString MDIForm1::startFolderName() const
{
    return m_prefer.Group();
}

QString MDIForm1::historyTitle(const QString& url) const
{
    for (const HistoryItem& item : m_history.Items())
        if (item.URL() == url)
            return item.Title();
    return {};
}

void MDIForm1::raiseMainWindowLater()
{
    m_steps.Start(DeferredStep::RaiseMainWindow, frmTools::kRaiseDelay);
}

void MDIForm1::setMainBusy(bool busy)
{
    if (busy)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
}

} // namespace orv
