#include "mainwin/mdiform.h"

#include "app/appinit.h"
#include "app/dialogseam.h"
#include "app/texthelpers.h"
#include "app/texts.h"
#include "browser/bandbar.h"
#include "browser/frmbrowser.h"
#include "prefs/prefer.h"
#include "platform/icons.h"

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

    BandBar* bar = window->CoolBar1;
    if (bNoToolbar) {
        bar->setBandVisible(QStringLiteral("Toolbar"), false);
        bar->setBandVisible(QStringLiteral("Adress"), false);
    } else {
        bar->setBandVisible(QStringLiteral("Toolbar"), ToolbarView);
        bar->setBandVisible(QStringLiteral("Adress"), AdressView);
    }
    if (!bar->bandVisible(QStringLiteral("Toolbar")) &&
        !bar->bandVisible(QStringLiteral("Adress"))) {
        bar->setBandVisible(QStringLiteral("Anim"), false);
        bar->setVisible(false);
    }

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
        if (QAction* a = Item(QString::fromLatin1(name)))
            a->setChecked(false);
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

void MDIForm1::ArrangeByCheckedItem()
{
    auto checked = [this](const char* name) {
        const QAction* a = Item(QString::fromLatin1(name));
        return a && a->isChecked();
    };
    if (checked("mn_Untereinander"))
        Arrange(1);
    else if (checked("mn_Kaskadiert"))
        Arrange(0);
    else if (checked("mn_Nebeneinander"))
        Arrange(2);
}

void MDIForm1::Arrange(int arrangement)
{
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* w : m_mdi->subWindowList(QMdiArea::CreationOrder))
        if (!w->isMinimized() && !w->isHidden())
            windows.append(w);
    if (windows.isEmpty())
        return;
    if (arrangement == 0) {
        m_mdi->cascadeSubWindows();
        return;
    }
    for (QMdiSubWindow* w : windows)
        if (w->isMaximized())
            w->showNormal();
    const QRect area = m_mdi->viewport()->rect();
    const int n = int(windows.size());
    for (int i = 0; i < n; ++i) {
        QRect r;
        if (arrangement == 1) {
            const int h = area.height() / n;
            r = QRect(0, i * h, area.width(), i == n - 1 ? area.height() - i * h : h);
        } else {
            const int w = area.width() / n;
            r = QRect(i * w, 0, i == n - 1 ? area.width() - i * w : w, area.height());
        }
        windows[i]->setGeometry(r);
    }
}

void MDIForm1::setArrangementCheck(const QString& name)
{
    for (const char* item : {"mn_Untereinander", "mn_Nebeneinander", "mn_Kaskadiert"})
        if (QAction* a = Item(QString::fromLatin1(item)))
            a->setChecked(name == QLatin1String(item));
}

// --- tab strip ----------------------------------------------------------------------

void MDIForm1::buildTabStrip()
{
    m_tabBar = new QToolBar(this);
    m_tabBar->setObjectName(QStringLiteral("Toolbar1"));
    m_tabBar->setAccessibleName(QStringLiteral("Registerzeile"));
    m_tabBar->setMovable(false);
    m_tabBar->setFloatable(false);
    m_tabs = new QTabBar(m_tabBar);
    m_tabs->setObjectName(QStringLiteral("TabStrip1"));
    m_tabs->setAccessibleName(QStringLiteral("Register"));
    m_tabs->setExpanding(false);
    m_tabs->setUsesScrollButtons(true);
    m_tabs->setElideMode(Qt::ElideRight);
    m_tabs->setAcceptDrops(true);
    m_tabBar->addWidget(m_tabs);
    addToolBar(Qt::TopToolBarArea, m_tabBar);
    connect(m_tabs, &QTabBar::currentChanged, this, &MDIForm1::TabStrip1_Click);
}

int MDIForm1::TabIndexOfKey(const QString& key) const
{
    for (int i = 0; i < m_tabs->count(); ++i)
        if (m_tabs->tabData(i).toString() == key)
            return i;
    return -1;
}

QString MDIForm1::StrToCaption(const QString& text)
{
    QString caption = text;
    caption.replace(QLatin1Char('&'), QLatin1String("&&"));
    return caption;
}

void MDIForm1::CreateTab(int number, const QString& sCap)
{
    const QSignalBlocker block(m_tabs);
    const int index = m_tabs->addTab(TabImage(2), sCap);
    m_tabs->setTabData(index, QStringLiteral("[%1]").arg(number));
    m_tabs->setTabToolTip(index, sCap);
}

void MDIForm1::RemoveTab(int nKey)
{
    const QString key = QStringLiteral("[%1]").arg(nKey);
    if (frmBrowser* w = m_byKey.take(key))
        m_browser.removeOne(w);
    const int index = TabIndexOfKey(key);
    if (index >= 0) {
        const QSignalBlocker block(m_tabs);
        m_tabs->removeTab(index);
        m_lastTabIndex = m_tabs->currentIndex();
    }
    bExitloop = false;
    if (m_browser.isEmpty())
        SetToolbarVisible(false);
    Q_EMIT browserRemoved(nKey);
}

void MDIForm1::UpdateTab()
{
    frmBrowser* active = ActiveBrowser();
    if (!active) {
        SetToolbarVisible(false);
        return;
    }
    const QAction* reg = Item(QStringLiteral("mn_Register"));
    if (m_browser.isEmpty() || !reg || !reg->isChecked())
        return;
    const int index = TabIndexOfKey(active->WindowKey());
    if (index < 0)
        return;
    m_tabs->setCurrentIndex(index);
    const QString caption = active->windowTitle();
    if (!caption.isEmpty()) {
        m_tabs->setTabText(index, StrToCaption(caption));
        m_tabs->setTabToolTip(index, StrToCaption(caption));
    }
}

void MDIForm1::SetTapTitle(const QString& title, int number)
{
    if (title.isEmpty() || number <= 0)
        return;
    const int index = TabIndexOfKey(QStringLiteral("[%1]").arg(number));
    if (index < 0)
        return;
    m_tabs->setTabText(index, StrToCaption(title));
    m_tabs->setTabToolTip(index, StrToCaption(title));
}

void MDIForm1::TabStrip1_Click(int index)
{
    if (index != m_lastTabIndex && m_lastTabIndex >= 0 && m_lastTabIndex < m_tabs->count())
        m_tabs->setTabIcon(m_lastTabIndex, TabImage(2));
    m_lastTabIndex = index;
    if (index < 0)
        return;
    m_tabs->setTabIcon(index, TabImage(1));
    const QString key = m_tabs->tabData(index).toString();
    if (key.size() < 3 || key.mid(1, key.size() - 2).toInt() <= 0)
        return;
    frmBrowser* window = BrowserByKey(key);
    if (!window || !ActiveBrowser())
        return;
    m_mdi->setActiveSubWindow(window);
    const QString caption = window->sTitle.isEmpty() ? window->LocationURL() : window->sTitle;
    m_tabs->setTabText(index, StrToCaption(caption));
    m_tabs->setTabToolTip(index, StrToCaption(caption));
}

void MDIForm1::SetToolbarVisible(bool visible)
{
    m_tabBar->setVisible(visible);
    m_tabs->setVisible(visible);
}

void MDIForm1::SetToolbarPos(int nAlign, bool bStyleButton)
{
    removeToolBar(m_tabBar);
    addToolBar(nAlign == 2 ? Qt::BottomToolBarArea : Qt::TopToolBarArea, m_tabBar);
    m_tabs->setShape(nAlign == 2 ? QTabBar::RoundedSouth : QTabBar::RoundedNorth);
    m_tabs->setDocumentMode(bStyleButton);
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(8.25);
    font.setBold(m_prefer.TabFontBold() > 0);
    m_tabs->setFont(font);
    const bool visible = bTabVisible && !m_browser.isEmpty();
    SetToolbarVisible(visible);
}

void MDIForm1::onSubWindowActivated(QMdiSubWindow* window)
{
    if (!window)
        return;
    UpdateTab();
}

// --- menus --------------------------------------------------------------------------

QAction* MDIForm1::addItem(QMenu* menu, const QString& name, const QString& caption,
                           std::function<void()> handler)
{
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    menu->addAction(action);
    if (handler)
        connect(action, &QAction::triggered, this, [handler] { handler(); });
    m_items.insert(name, action);
    return action;
}

void MDIForm1::buildMenus()
{
    QMenu* file = menuBar()->addMenu(Txt(200));
    file->setObjectName(QStringLiteral("mn_Datei"));
    addItem(file, QStringLiteral("mn_HomeBrowser"), Txt(201), [this] { mn_HomeBrowser_Click(); })
        ->setShortcut(QKeySequence(Qt::Key_F12));
    addItem(file, QStringLiteral("mn_BrowserBlank"), Txt(209),
            [this] { mn_BrowserBlank_Click(); })
        ->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F12));
    file->addSeparator();
    addItem(file, QStringLiteral("mn_Exit"), Txt(204), [this] { close(); });

    m_windowMenu = menuBar()->addMenu(Txt(400));
    m_windowMenu->setObjectName(QStringLiteral("mn_Fenster"));
    auto arrangement = [this](const QString& name, const QString& caption, int value) {
        QAction* a = addItem(m_windowMenu, name, caption, [this, name, value] {
            Arrange(value);
            setArrangementCheck(name);
        });
        a->setCheckable(true);
    };
    arrangement(QStringLiteral("mn_Untereinander"), Txt(401), 1);
    arrangement(QStringLiteral("mn_Nebeneinander"), Txt(402), 2);
    arrangement(QStringLiteral("mn_Kaskadiert"), Txt(403), 0);
    m_windowMenu->addSeparator();
    m_activeMenu = m_windowMenu->addMenu(Txt(406));
    m_activeMenu->setObjectName(QStringLiteral("mn_Aktives"));
    QAction* both = addItem(m_activeMenu, QStringLiteral("mn_beides"), Txt(409),
                            [this] { ToggleBothToolb(); });
    both->setCheckable(true);
    both->setChecked(true);
    addItem(m_activeMenu, QStringLiteral("mn_Aktivschließen"), Txt(410), [this] {
        if (frmBrowser* w = ActiveBrowser())
            w->close();
    })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F12));
    addItem(m_windowMenu, QStringLiteral("mn_ClosePopups"), Txt(426), [this] { ClosePopups(); });
    addItem(m_windowMenu, QStringLiteral("mn_CloseAllOtherWin"), Txt(422),
            [this] { StartWaitMethod(2, 50); });
    addItem(m_windowMenu, QStringLiteral("mn_Alleschließen"), Txt(411), [this] {
        setCursor(Qt::WaitCursor);
        CloseAllBrowser();
        unsetCursor();
    });
    QAction* reg = new QAction(Txt(306), this);
    reg->setObjectName(QStringLiteral("mn_Register"));
    reg->setCheckable(true);
    reg->setChecked(true);
    m_items.insert(reg->objectName(), reg);

    for (const char* name : {"mn_firstwindow", "mn_prevwindow", "mn_nextwindow", "mn_lastwindow"}) {
        auto* a = new QAction(this);
        a->setObjectName(QString::fromLatin1(name));
        m_items.insert(a->objectName(), a);
    }
    Item(QStringLiteral("mn_firstwindow"))->setText(Txt(1600));
    Item(QStringLiteral("mn_prevwindow"))->setText(Txt(1601));
    Item(QStringLiteral("mn_nextwindow"))->setText(Txt(1602));
    Item(QStringLiteral("mn_lastwindow"))->setText(Txt(1603));
    const int steps[4] = {0, -1, 1, -2};
    const char* names[4] = {"mn_firstwindow", "mn_prevwindow", "mn_nextwindow", "mn_lastwindow"};
    for (int i = 0; i < 4; ++i) {
        QAction* a = Item(QString::fromLatin1(names[i]));
        menuBar()->addAction(a);
        const int step = steps[i];
        connect(a, &QAction::triggered, this, [this, step] {
            const int n = m_tabs->count();
            if (n == 0)
                return;
            const int current = m_tabs->currentIndex();
            int target = 0;
            if (step == 0)
                target = 0;
            else if (step == -2)
                target = n - 1;
            else
                target = (current + step + n) % n;
            if (target != current)
                m_tabs->setCurrentIndex(target);
        });
    }
    SetMenuPrevNext();
}

void MDIForm1::SetMenuPrevNext()
{
    const bool visible = m_browser.size() >= 2;
    for (const char* name : {"mn_firstwindow", "mn_prevwindow", "mn_nextwindow", "mn_lastwindow"})
        if (QAction* a = Item(QString::fromLatin1(name)))
            a->setVisible(visible);
}

void MDIForm1::MenuFenster() {}

void MDIForm1::ToggleBothToolb()
{
    frmBrowser* window = ActiveBrowser();
    QAction* both = Item(QStringLiteral("mn_beides"));
    if (!window || !both)
        return;
    both->setChecked(!both->isChecked());
    const bool show = both->isChecked();
    const int viewHeight = window->brwWebBrowser->height();
    BandBar* bar = window->CoolBar1;
    bar->setBandVisible(QStringLiteral("Adress"), show);
    bar->setBandVisible(QStringLiteral("Toolbar"), show);
    bar->setBandVisible(QStringLiteral("Anim"), show);
    bar->setVisible(show);
    window->PubResize();
    if (window->WindowState() == 0) {
        const int inner = window->widget()->height();
        const int outer = window->height();
        const int barHeight = bar->barHeight();
        window->resize(window->width(), outer - inner + viewHeight + barHeight);
    }
}

// --- history and status -------------------------------------------------------------

void MDIForm1::AddToHistory(const QString& url, const QString& title)
{
    m_history.AddToHistory(url, title, m_prefer.HistoryRows());
}

void MDIForm1::buildStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setAccessibleName(QStringLiteral("Statuszeile"));
    m_statusDate = new QLabel(bar);
    m_statusDate->setToolTip(Txt(501));
    m_statusDate->setAccessibleName(Txt(501));
    m_statusTime = new QLabel(bar);
    m_statusTime->setToolTip(Txt(502));
    m_statusTime->setAccessibleName(Txt(502));
    m_statusText = new QLabel(bar);
    m_statusText->setToolTip(Txt(500));
    m_statusText->setAccessibleName(Txt(500));
    m_statusText->setMinimumWidth(100);
    m_statusMail = new QLabel(bar);
    m_statusMail->setToolTip(Txt(1130));
    m_statusMail->setAccessibleName(Txt(1130));
    m_statusMail->setVisible(false);
    bar->addWidget(m_statusDate);
    bar->addWidget(m_statusTime);
    bar->addWidget(m_statusText, 1);
    bar->addPermanentWidget(m_statusMail);
    auto tick = [this] {
        m_statusDate->setText(QLocale(QLocale::German).toString(QDate::currentDate(),
                                                                  QLocale::ShortFormat));
        m_statusTime->setText(QTime::currentTime().toString(QStringLiteral("HH:mm")));
    };
    tick();
    connect(&m_clock, &QTimer::timeout, this, tick);
    m_clock.start(1000);
}

void MDIForm1::SetStatusText(const QString& text)
{
    m_statusText->setText(text);
}

QString MDIForm1::StatusText() const
{
    return m_statusText->text();
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

void MDIForm1::OpenLayoutItem(const LayoutOpenArgs& args)
{
    HistoryUrl = args.HistoryUrl();
    frmBrowser* window = CreateBrowser(QStringLiteral("mdi"), false);
    if (!window) {
        HistoryUrl.clear();
        return;
    }
    if (args.IsFeed())
        window->sXmlFeedUrl = args.sUrl;
    window->Navigate(QString());
    if (args.AppliesGeometry()) {
        if (args.SetsNormalFirst())
            window->showNormal();
        // Stored in twips, 15 to the pixel.
        window->setGeometry(args.nLeft / 15, args.nTop / 15, args.nWidth / 15,
                            args.nHeight / 15);
        window->SetWindowState(args.nState);
        BandBar* bar = window->CoolBar1;
        const bool shown = args.ShowsBandBar();
        bar->setBandVisible(QStringLiteral("Anim"), shown);
        bar->setBandVisible(QStringLiteral("Toolbar"), shown && args.bToolb);
        bar->setBandVisible(QStringLiteral("Adress"), shown && args.bAdress);
        bar->setVisible(shown);
        window->PubResize();
    }
    HistoryUrl.clear();
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

void MDIForm1::closeEvent(QCloseEvent* event)
{
    SavePreferencesOnce();
    const QList<frmBrowser*> windows = m_browser;
    for (frmBrowser* w : windows)
        w->close();
    event->accept();
}

} // namespace orv
