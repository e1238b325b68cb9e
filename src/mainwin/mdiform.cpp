#include "mainwin/mdiform.h"

#include "app/appinit.h"
#include "app/dialogseam.h"
#include "app/texthelpers.h"
#include "app/texts.h"
#include "browser/bandbar.h"
#include "browser/frmbrowser.h"
#include "platform/icons.h"
#include "prefs/prefer.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QTabBar>
#include <QTime>
#include <QToolBar>
#include <QWebEngineView>

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
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &MDIForm1::onSubWindowActivated);

    m_timerWait.setSingleShot(true);
    connect(&m_timerWait, &QTimer::timeout, this, &MDIForm1::TimerWait_Timer);

    buildTabStrip();
    buildMenus();
    buildStatusBar();

    StatusBarCurr = m_prefer.StatusBar() > 0;
    bTabVisible = m_prefer.TabStrip();
    AdressView = m_prefer.Adresszeile();
    ToolbarView = m_prefer.Toolbar();
    nTabAlign = m_prefer.TabAlign();
    bTabStylButton = m_prefer.TabButton();
    bPopup = m_prefer.AllowOpenWin();
    bPopupResize = m_prefer.AllowResizeWin();
    bPopupBackgrnd = m_prefer.AllowWinInBack();
    bPopupReferenz = m_prefer.AllowWinRef();
    SetToolbarVisible(false);

    connect(&m_openQueue, &OpenQueue::openEntries, this, [this](const QStringList& entries) {
        for (const QString& entry : entries) {
            HistoryUrl = entry;
            NewBrowser();
            HistoryUrl.clear();
        }
    });
    connect(&m_openQueue, &OpenQueue::externalOpenChanged, this,
            [this](bool enabled) { setAcceptDrops(enabled); });
}

MDIForm1::~MDIForm1() = default;

// --- registry -----------------------------------------------------------------------

frmBrowser* MDIForm1::BrowserByKey(const QString& key) const
{
    return m_byKey.value(key);
}

frmBrowser* MDIForm1::ActiveBrowser() const
{
    // The MDI's current child, also while the program is not the active
    // application.
    return qobject_cast<frmBrowser*>(m_mdi->currentSubWindow());
}

frmBrowser* MDIForm1::CreateBrowser(const QString& sParent, bool bNoToolbar)
{
    Q_UNUSED(sParent);
    if (counter >= MaxBrowser) {
        bExitloop = true;
        // While the message is up, further requests are refused quietly
        // instead of stacking message boxes.
        if (!m_limitMessageUp) {
            m_limitMessageUp = true;
            SuspendExternalOpen(true);
            ShowMessage(Txt(1113), Txt(1108) + QString::number(MaxBrowser) + Txt(1109),
                        MsgIcon::Information);
            SuspendExternalOpen(false);
            m_limitMessageUp = false;
        }
        return nullptr;
    }

    auto* window = new frmBrowser(this);
    const QString address = HistoryUrl.isEmpty() ? m_prefer.HomeUrl() : HistoryUrl;
    window->StartingAddress = address;
    window->cboAddress->setEditText(address);

    window->CoolBar1->setBars(!bNoToolbar && AdressView, !bNoToolbar && ToolbarView);

    ++m_windowNumber;
    CreateTab(m_windowNumber, window->StartingAddress);
    const QString key = QStringLiteral("[%1]").arg(m_windowNumber);
    m_browser.append(window);
    m_byKey.insert(key, window);
    SetMenuPrevNext();
    if (QAction* reg = Item(QStringLiteral("mn_Register")))
        SetToolbarVisible(reg->isChecked());
    window->ID = m_windowNumber;
    sFrontWinKey = key;

    // While the active window is maximised, a new one opens maximised.
    const QMdiSubWindow* active = m_mdi->currentSubWindow();
    const bool maximise = active && active->isMaximized();
    m_mdi->addSubWindow(window);
    window->Form_Load();
    ++counter;
    if (maximise)
        window->showMaximized();
    else
        window->show();
    ArrangeByCheckedItem();
    Q_EMIT browserAdded(window);
    return window;
}

void MDIForm1::NewBrowser()
{
    OpenNewBrowser();
}

frmBrowser* MDIForm1::OpenNewBrowser()
{
    frmBrowser* window = CreateBrowser(QStringLiteral("mdi"), false);
    if (window)
        window->Navigate(TrimChars(HistoryUrl));
    return window;
}

void MDIForm1::mn_Browser_Click()
{
    frmBrowser* window = CreateBrowser(QStringLiteral("mdi"), false);
    if (window)
        window->Navigate(QString());
    HistoryUrl.clear();
    if (m_browser.size() == 1)
        SetToolbarPos(nTabAlign, bTabStylButton);
}

void MDIForm1::VisitUrl(const QString& sUrl, bool bAdress, bool bToolb, int, int, int, int)
{
    if (sUrl.isEmpty())
        return;
    HistoryUrl = sUrl;
    AdressView = bAdress;
    ToolbarView = bToolb;
    mn_Browser_Click();
    HistoryUrl.clear();
    AdressView = m_prefer.Adresszeile();
    ToolbarView = m_prefer.Toolbar();
}

void MDIForm1::mn_BrowserBlank_Click()
{
    HistoryUrl = QStringLiteral("about:blank");
    mn_Browser_Click();
    HistoryUrl.clear();
}

void MDIForm1::mn_HomeBrowser_Click()
{
    // A feed start page opens in the feed view, which a later stage adds;
    // until then the start page opens as a page.
    mn_Browser_Click();
    if (m_browser.size() == 1)
        SetToolbarPos(nTabAlign, bTabStylButton);
}

bool MDIForm1::IsCloneable(frmBrowser* frmX) const
{
    if (!frmX)
        return false;
    if (frmX->LocationURL().compare(QLatin1String("http:///"), Qt::CaseInsensitive) != 0)
        return true;
    const QString title = frmX->page()->title();
    return title != Txt(1134) && title != Txt(1140);
}

void MDIForm1::CloneActive()
{
    frmBrowser* active = ActiveBrowser();
    if (!active)
        return;
    HistoryUrl = active->IsFolder() ? active->GetFolderUrl() : active->LocationURL();
    NewBrowser();
    HistoryUrl.clear();
}

void MDIForm1::CloseAllBrowser()
{
    for (const char* name : {"mn_Untereinander", "mn_Nebeneinander", "mn_Kaskadiert"})
        SetItemChecked(QString::fromLatin1(name), false);
    const QList<frmBrowser*> windows = m_browser;
    for (frmBrowser* w : windows)
        w->close();
}

void MDIForm1::CloseOtherBrowsers(const frmBrowser* keep)
{
    const QList<frmBrowser*> windows = m_browser;
    for (frmBrowser* w : windows)
        if (w != keep)
            w->close();
}

void MDIForm1::ClosePopups()
{
    const bool saved = bPopup;
    bPopup = false;
    const QList<frmBrowser*> windows = m_browser;
    for (frmBrowser* w : windows)
        if (w->bIsPopup)
            w->close();
    bPopup = saved;
    nPopupCount = 0;
}

void MDIForm1::StartWaitMethod(int nMethod, int nWait)
{
    m_waitMethod = nMethod;
    m_timerWait.start(nWait);
}

void MDIForm1::CloseAllOneByOne(std::function<void()> done)
{
    m_oneByOneDone = std::move(done);
    if (m_browser.isEmpty()) {
        if (m_oneByOneDone)
            std::exchange(m_oneByOneDone, {})();
        return;
    }
    m_waitWindow = m_browser.constFirst();
    m_closingBusy = true;
    StartWaitMethod(3, 300);
}

void MDIForm1::TimerWait_Timer()
{
    const int method = m_waitMethod;
    switch (method) {
    case 1:
        LoadLayoutFile();
        break;
    case 2:
        CloseOtherBrowsers(ActiveBrowser());
        SetMenuPrevNext();
        break;
    case 3:
        if (m_waitWindow)
            m_waitWindow->close();
        m_closingBusy = false;
        // The next window of the one-by-one close, once this one is gone.
        if (m_oneByOneDone) {
            if (m_browser.isEmpty()) {
                std::exchange(m_oneByOneDone, {})();
            } else {
                m_waitWindow = m_browser.constFirst();
                m_closingBusy = true;
                StartWaitMethod(3, 300);
            }
        }
        break;
    case 4:
        SetMenuPrevNext();
        break;
    case 5:
        LoadArchivedLayout();
        break;
    case 6:
        raise();
        activateWindow();
        break;
    case 8:
        close();
        break;
    default:
        break;
    }
}

void MDIForm1::onSubWindowActivated(QMdiSubWindow* window)
{
    if (!window)
        return;
    UpdateTab();
}

// --- history and status -------------------------------------------------------------

void MDIForm1::AddToHistory(const QString& url, const QString& title)
{
    m_history.AddToHistory(url, title, m_prefer.HistoryRows());
}

// --- external opening and drops -----------------------------------------------------

void MDIForm1::SuspendExternalOpen(bool suspend)
{
    m_openQueue.SuspendExternalOpen(suspend);
}

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
        ArrangeByCheckedItem();
    } else {
        raise();
        activateWindow();
    }
    m_openQueue.receive(argument);
}

void MDIForm1::OpenDropped(const QStringList& items)
{
    for (const QString& item : items)
        VisitUrl(item.trimmed(), m_prefer.Adresszeile(), m_prefer.Toolbar());
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
    if (windowState() == Qt::WindowNoState) {
        m_prefer.setMdiHeight(height() * 15);
        m_prefer.setMdiWidth(width() * 15);
    }
    m_prefer.setMdiState(isMaximized() ? 2 : (isMinimized() ? 1 : 0));
    m_prefer.SavePref();
}

void MDIForm1::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // The main window comes to the front: status bar and tab strip follow
    // the current state (the stepping items follow every creation and close).
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        ActivateStatus();
        ActivateTabStrip();
    }
}

void MDIForm1::closeEvent(QCloseEvent* event)
{
    SavePreferencesOnce();
    const QList<frmBrowser*> windows = m_browser;
    for (frmBrowser* w : windows)
        w->close();
    event->accept();
}

} // namespace orv
