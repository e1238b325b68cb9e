#include "mainwin/mainmenus.h"

#include "about/frmabout.h"
#include "app/appinit.h"
#include "app/defaultbrowser.h"
#include "app/dialogseam.h"
#include "app/texthelpers.h"
#include "app/textids.h"
#include "app/texts.h"
#include "browser/browsercommands.h"
#include "browser/frmbrowser.h"
#include "browser/linkopening.h"
#include "browser/zoom.h"
#include "mainwin/deferredsteps.h"
#include "mainwin/eventhook.h"
#include "mainwin/mainflags.h"
#include "mainwin/mainstatusbar.h"
#include "mainwin/menuitems.h"
#include "mainwin/settingsdialog.h"
#include "mainwin/stdbrowserdialog.h"
#include "mainwin/tabstrip.h"
#include "mainwin/windowmenu.h"
#include "mainwin/windowregistry.h"
#include "pages/picturelist.h"
#include "platform/docbridge.h"
#include "prefs/prefer.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QtConcurrent/QtConcurrentRun>

namespace orv {

namespace {

const QString kAdress = QStringLiteral("Adress");
const QString kToolbar = QStringLiteral("Toolbar");

// The program to start for a mail client entry and its arguments: the whole
// entry when it names an existing file (blanks allowed), else the entry as a
// command line whose program is looked up on the search path. An empty
// program means: not found.
struct MailCommand {
    QString program;
    QStringList arguments;
};

MailCommand mailCommandOf(const QString& client)
{
    const QString whole = client.trimmed();
    const QFileInfo file(whole);
    if (file.isFile())
        return {file.isExecutable() ? file.absoluteFilePath() : QString(), {}};
    QStringList parts = QProcess::splitCommand(whole);
    if (parts.isEmpty())
        return {};
    const QString first = parts.takeFirst();
    QString program;
    if (first.contains(QLatin1Char('/'))) {
        const QFileInfo named(first);
        if (named.isFile() && named.isExecutable())
            program = named.absoluteFilePath();
    } else {
        program = QStandardPaths::findExecutable(first);
    }
    return {program, parts};
}

} // namespace

MainMenus::MainMenus(QMainWindow& main, WindowRegistry& registry, TabStrip& tabs,
                     WindowMenu& windows, MainStatusBar& status, MenuItems& items, MainFlags& flags,
                     Prefer& prefer, DeferredSteps& steps)
    : m_main(main), m_registry(registry), m_tabs(tabs), m_windows(windows), m_status(status),
      m_items(items), m_flags(flags), m_prefer(prefer), m_steps(steps)
{
}

// --- new windows --------------------------------------------------------------------

void MainMenus::mn_Browser_Click(const QString& address)
{
    startNewWindow(m_registry.CreateBrowser(address, false));
}

void MainMenus::VisitUrl(const QString& sUrl, bool bAdress, bool bToolb)
{
    if (!sUrl.isEmpty())
        startNewWindow(m_registry.CreateBrowser(sUrl, bAdress, bToolb));
}

// A new window loads its start address; the first one places the tab strip.
void MainMenus::startNewWindow(frmBrowser* window)
{
    if (window)
        window->Navigate(QString());
    if (m_registry.Browser().size() == 1)
        m_tabs.SetToolbarPos(m_flags.nTabAlign, m_flags.bTabStylButton);
}

void MainMenus::mn_BrowserBlank_Click()
{
    mn_Browser_Click(QStringLiteral("about:blank"));
}

void MainMenus::mn_HomeBrowser_Click()
{
    OpenHomeWindow();
}

void MainMenus::OpenHomeWindow()
{
    // A feed start page opens in a feed window.
    if (IsFeedTitle(m_prefer.HomeTitle()))
        OpenXmlFeedBkm(m_prefer.HomeUrl().trimmed());
    else
        mn_Browser_Click();
}

void MainMenus::OpenXmlFeedBkm(const QString& address)
{
    if (m_contextMenu)
        m_contextMenu->hide();
    frmBrowser* window = m_registry.CreateBrowser(QStringLiteral("about:blank"), true);
    if (!window)
        return;
    if (frmBrowser* active = m_registry.ActiveBrowser(); active && active != window)
        active->SetWindowState(0);
    m_flags.bFeedOpened = true;
    window->setWindowTitle(QString());
    // The settle step of "about:blank" loads and renders the feed.
    window->NavigateFeed(address);
    // A window that opened maximised has no normal size yet: it gets one.
    if (window->isMaximized() || window->isMinimized())
        window->showNormal();
    m_registry.PlaceInArea(*window, kFeedWindowWidth / 15);
    if (m_registry.Browser().size() == 1)
        m_tabs.SetToolbarPos(m_flags.nTabAlign, m_flags.bTabStylButton);
}

bool MainMenus::IsCloneable(const frmBrowser* frmX) const
{
    return frmX && frmX->IsCloneable();
}

void MainMenus::CloneActive()
{
    frmBrowser* active = m_registry.ActiveBrowser();
    if (!active)
        return;
    if (!active->FeedAddress().isEmpty())
        OpenXmlFeedBkm(active->FeedAddress());
    else
        m_registry.OpenNewBrowser(active->IsFolder() ? active->GetFolderUrl()
                                                     : active->LocationURL());
}

void MainMenus::buildMenus(QWidget* contextArea)
{
    auto item = [this](QMenu* menu, const char* name, int text, std::function<void()> handler) {
        return m_items.AddItem(menu, QString::fromUtf8(name), Txt(text), std::move(handler));
    };
    auto checkable = [](QAction* action, bool checked) {
        action->setCheckable(true);
        action->setChecked(checked);
        return action;
    };

    // "&Datei"
    m_fileMenu = m_main.menuBar()->addMenu(Txt(200));
    m_fileMenu->setObjectName(QStringLiteral("mn_Datei"));
    connect(m_fileMenu, &QMenu::aboutToShow, this, &MainMenus::mn_Datei_Click);
    item(m_fileMenu, "mn_HomeBrowser", 201, [this] {
        mn_HomeBrowser_Click();
    })->setShortcut(QKeySequence(Qt::Key_F12));
    item(m_fileMenu, "mn_BrowserBlank", 209, [this] {
        mn_BrowserBlank_Click();
    })->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F12));
    m_fileMenu->addSeparator();
    item(m_fileMenu, "mn_Anordnung_save", 404, [this] { m_windows.mn_Anordnung_save_Click(); });
    item(m_fileMenu, "mn_Anordnung_load", 405, [this] { m_windows.mn_Anordnung_load_Click(); });
    m_fileMenu->addSeparator();
    item(m_fileMenu, "mn_save", 205, [this] { mn_save_Click(); });
    item(m_fileMenu, "mn_Send", 208, [this] { mn_Send_Click(); });
    m_fileMenu->addSeparator();
    item(m_fileMenu, "mn_print", 206, [this] { mn_print_Click(); });
    item(m_fileMenu, "mn_ppreview", 207, [this] { mn_ppreview_Click(); });
    m_fileMenu->addSeparator();
    item(m_fileMenu, "mn_Exit", 204, [this] { mn_Exit_Click(); });

    // "&Ansicht"
    QMenu* view = m_main.menuBar()->addMenu(Txt(311));
    view->setObjectName(QStringLiteral("mn_Ansicht"));
    checkable(item(view, "mn_Fullscreen", 321, [this] { mn_Fullscreen_Click(); }), false)
        ->setShortcut(QKeySequence(Qt::Key_F11));
    view->addSeparator();
    m_tabs.buildTabStripItems(view);
    view->addSeparator();
    checkable(item(view, "mn_Toggle", 303, [this] { mn_Toggle_Click(); }), true);
    view->addSeparator();
    item(view, "mn_HTMLCode", 1122, [this] { mn_HTMLCode_Click(); });
    item(view, "mn_PictureList", 427, [this] { mn_PictureList_Click(); });
    item(view, "mn_DocStruct", 428, [this] { mn_DocStruct_Click(); });
    m_feedsMenu = view->addMenu(Txt(429));
    m_feedsMenu->setObjectName(QStringLiteral("mn_Newsfeeds"));
    m_feedsMenu->menuAction()->setObjectName(QStringLiteral("mn_Newsfeeds"));
    m_items.Register(QStringLiteral("mn_Newsfeeds"), m_feedsMenu->menuAction());
    connect(view, &QMenu::aboutToShow, this, &MainMenus::mn_Ansicht_Click);

    // "&Tools"
    QMenu* tools = m_main.menuBar()->addMenu(Txt(300));
    tools->setObjectName(QStringLiteral("mn_Anzeige"));
    item(tools, "mn_Bookmarks", 301, [this] { StartBookmEd(); });
    item(tools, "mn_Layouts", 1550, [this] { mn_Layouts_Click(); });
    item(tools, "mn_Historie", 302, [this] { mn_Historie_Click(); });
    item(tools, "mn_BrowserSearch", 1500, [this] { mn_BrowserSearch_Click(); });
    item(tools, "mn_Email", 305, [this] { mn_Email_Click(); });
    tools->addSeparator()->setObjectName(QStringLiteral("mn_tr13"));
    item(tools, "mn_Standardbrowser", 312, [this] { mn_Standardbrowser_Click(); });
    item(tools, "mn_Einstellungen", 202, [this] { mn_Einstellungen_Click(); });

    // "A&ktionen"
    m_actionsMenu = m_main.menuBar()->addMenu(Txt(619));
    m_actionsMenu->setObjectName(QStringLiteral("mn_Actions"));
    connect(m_actionsMenu, &QMenu::aboutToShow, this, &MainMenus::mn_Actions_Click);
    item(m_actionsMenu, "mn_CloneBrowser", 616, [this] { mn_CloneBrowser_Click(); });
    m_actionsMenu->addSeparator();
    item(m_actionsMenu, "mn_SetHomepage", 1027, [this] { mn_SetHomepage_Click(); });
    buildActivityItems(view);

    // "&Fenster" and the stepping items
    QMenu* windowMenu = m_main.menuBar()->addMenu(Txt(400));
    windowMenu->setObjectName(QStringLiteral("mn_Fenster"));
    m_windows.buildWindowMenu(windowMenu);
    m_windows.buildSteppingItems();

    // "&?"
    QMenu* info = m_main.menuBar()->addMenu(QStringLiteral("&?"));
    info->setObjectName(QStringLiteral("mn_Info"));
    info->setAccessibleName(QStringLiteral("Hilfe"));
    item(info, "mn_Doku", 101, [this] { mn_Doku_Click(); });
    m_items.AddItem(info, QStringLiteral("mn_Orvane"), Txt(418) + AppTitle(),
                    [this] { mn_Orvane_Click(); });

    // The main context menu: copies of the items above.
    m_contextMenu = new QMenu(&m_main);
    m_windows.setContextMenu(m_contextMenu);
    m_contextMenu->setObjectName(QStringLiteral("mn_ctxt"));
    m_contextMenu->setAccessibleName(QStringLiteral("Kontextmenü"));
    QMenu* ctxt = m_contextMenu;
    connect(ctxt, &QMenu::aboutToShow, &m_windows, &WindowMenu::UpdateMenuFenster);
    m_items.AddCopy(ctxt, QStringLiteral("mn_ctxtBrowser"), QStringLiteral("mn_HomeBrowser"));
    m_items.AddCopy(ctxt, QStringLiteral("mn_ctxtBrowserBlank"), QStringLiteral("mn_BrowserBlank"));
    ctxt->addSeparator();
    m_items.AddCopy(ctxt, QStringLiteral("mn_ctxtAnordnung_save"),
                    QStringLiteral("mn_Anordnung_save"));
    m_items.AddCopy(ctxt, QStringLiteral("mn_ctxtAnordnung_load"),
                    QStringLiteral("mn_Anordnung_load"));
    ctxt->addSeparator();
    m_items.AddCopy(ctxt, QStringLiteral("mn_ctxtSave"), QStringLiteral("mn_save"));
    m_items.AddCopy(ctxt, QStringLiteral("mn_ctxtSend"), QStringLiteral("mn_Send"));
    m_items.AddCopy(ctxt, QStringLiteral("mn_ctxtPrint"), QStringLiteral("mn_print"));
    m_items.AddCopy(ctxt, QStringLiteral("mn_ctxtPpreview"), QStringLiteral("mn_ppreview"));
    ctxt->addSeparator();
    m_tabs.buildTabStripCopies(ctxt);
    m_items.AddCopy(ctxt, QStringLiteral("mn_ctxtStatus"), QStringLiteral("mn_Toggle"));
    ctxt->addSeparator();
    m_items.AddCopy(ctxt, QStringLiteral("mn_ctxtBookm"), QStringLiteral("mn_Bookmarks"));
    m_items.AddCopy(ctxt, QStringLiteral("mn_ctxtLayouts"), QStringLiteral("mn_Layouts"));
    m_items.AddCopy(ctxt, QStringLiteral("mn_ctxtHistorie"), QStringLiteral("mn_Historie"));
    m_items.AddCopy(ctxt, QStringLiteral("mn_ctxtBrowserSearch"),
                    QStringLiteral("mn_BrowserSearch"));
    m_items.AddCopy(ctxt, QStringLiteral("mn_ctxtEmail"), QStringLiteral("mn_Email"));
    ctxt->addSeparator()->setObjectName(QStringLiteral("mn_ctxt_10"));
    m_items.AddCopy(ctxt, QStringLiteral("mn_ctxtStandardbrowser"),
                    QStringLiteral("mn_Standardbrowser"));
    m_items.AddCopy(ctxt, QStringLiteral("mn_ctxtEinstell"), QStringLiteral("mn_Einstellungen"));
    ctxt->addSeparator();
    QMenu* ctxtWindows = ctxt->addMenu(Txt(400));
    ctxtWindows->setObjectName(QStringLiteral("mn_ctxtFenster"));
    m_windows.buildWindowMenuCopies(ctxtWindows);
    ctxt->addSeparator();
    m_items.AddItem(ctxt, QStringLiteral("mn_ctxtExit"), Txt(204), [this] { mn_ctxtExit_Click(); });

    // A right click on the empty area of the main window opens it.
    QWidget* area = contextArea;
    new EventHook(area, [this, area](QEvent* event) {
        if (event->type() != QEvent::ContextMenu)
            return false;
        auto* e = static_cast<QContextMenuEvent*>(event);
        if (area->childAt(e->pos()))
            return false;
        showContextMenuAt(e->globalPos());
        return true;
    });

    m_windows.SetMenuPrevNext();
}

void MainMenus::showContextMenuAt(const QPoint& globalPos)
{
    m_contextMenu->popup(globalPos);
}

// --- full screen and status bar -------------------------------------------------------

void MainMenus::mn_Fullscreen_Click()
{
    if (m_fullScreen)
        FullScreenOff();
    else
        FullScreenOn();
}

void MainMenus::FullScreenOn()
{
    if (m_fullScreen)
        return;
    m_fullScreen = true;
    if (!m_status.IsHidden())
        mn_Toggle_Click();
    if (m_flags.bTabVisible)
        m_tabs.mn_Register_Click();
    // Maximised without its frame: the whole screen.
    m_main.showFullScreen();
    m_items.SetItemChecked(QStringLiteral("mn_Fullscreen"), true);
    if (frmBrowser* active = m_registry.ActiveBrowser()) {
        m_fullScreenWinState = active->WindowState();
        active->SetWindowState(2);
    }
}

void MainMenus::FullScreenOff()
{
    // Only full screen is left; closing the last window outside full screen
    // changes nothing.
    if (!m_fullScreen)
        return;
    m_fullScreen = false;
    if (m_prefer.StatusBar() > 0 && m_status.IsHidden())
        mn_Toggle_Click();
    if (m_prefer.TabStrip() && !m_flags.bTabVisible)
        m_tabs.mn_Register_Click();
    // The frame comes back; the window stays maximised.
    m_main.showMaximized();
    m_items.SetItemChecked(QStringLiteral("mn_Fullscreen"), false);
    if (frmBrowser* active = m_registry.ActiveBrowser())
        active->SetWindowState(m_fullScreenWinState);
}

void MainMenus::mn_Toggle_Click()
{
    m_tabs.SetToolbarVisible(false);
    m_flags.StatusBarCurr = !m_flags.StatusBarCurr;
    m_status.SetVisible(m_flags.StatusBarCurr);
    if (!m_registry.IsEmpty() && m_items.ItemChecked(QStringLiteral("mn_Register")))
        m_tabs.SetToolbarVisible(true);
}

// --- View menu: pages of the active window's document ------------------------------

void MainMenus::mn_Ansicht_Click()
{
    // Disabled until the document has told what it is; the answer comes
    // while the menu is open.
    for (const char* name : {"mn_HTMLCode", "mn_PictureList", "mn_DocStruct", "mn_Newsfeeds",
                             "mn_Textsize", "mn_Zoom"})
        m_items.SetItemEnabled(QString::fromLatin1(name), false);
    frmBrowser* active = m_registry.ActiveBrowser();
    if (!active || active->Busy())
        return;
    // The enabling needs only the document's kind, its LINK elements and
    // whether it embeds something: a small outline, however large the page.
    TakeDocOutline(active->page(), this, [this](const DocSnapshot& document) {
        // The feeds the page announces: entry i opens feed i + 1.
        m_feeds.Clear();
        if (document.valid && document.htmlDocument)
            m_feeds.Rebuild(document);
        m_feedsMenu->clear();
        for (int i = 1; i <= m_feeds.GetFeedCount(); ++i) {
            QAction* entry =
                m_feedsMenu->addAction(TabStrip::StrToCaption(m_feeds.GetFeedTitelByInd(i)));
            entry->setObjectName(QStringLiteral("mn_FeedItem"));
            const QString address = m_feeds.GetFeedUrlByInd(i);
            connect(entry, &QAction::triggered, this, [this, address] { OpenXmlFeedBkm(address); });
        }
        const ViewMenuItems enabled = ViewMenuEnabling(&document, false, m_feeds.GetFeedCount());
        m_items.SetItemEnabled(QStringLiteral("mn_Newsfeeds"), enabled.newsFeeds);
        m_items.SetItemEnabled(QStringLiteral("mn_HTMLCode"), enabled.htmlCode);
        m_items.SetItemEnabled(QStringLiteral("mn_PictureList"), enabled.pictureList);
        m_items.SetItemEnabled(QStringLiteral("mn_DocStruct"), enabled.docStruct);
        m_items.SetItemEnabled(QStringLiteral("mn_Textsize"), enabled.textSize);
        m_items.SetItemEnabled(QStringLiteral("mn_Zoom"), enabled.zoom);
        mn_Textsize_Click();
        mn_Zoom_Click();
    });
}

void MainMenus::mn_HTMLCode_Click()
{
    frmBrowser* active = m_registry.ActiveBrowser();
    if (!active)
        return;
    const QPointer<frmBrowser> window(active);
    TakeDocSnapshot(active->page(), active, [window](const DocSnapshot& document) {
        if (!window || !document.valid || !document.htmlDocument)
            return;
        const QString address = SourceViewAddress(document, window->LocationURL());
        if (!address.isEmpty())
            window->ViewSource(address);
    });
}

void MainMenus::mn_DocStruct_Click()
{
    showGeneratedView(GeneratedView::Structure);
}

void MainMenus::mn_PictureList_Click()
{
    showGeneratedView(GeneratedView::Pictures);
}

// A new window without bars on "about:blank"; once the active window's
// document has arrived, the page made from it is shown there.
void MainMenus::showGeneratedView(GeneratedView view)
{
    frmBrowser* source = m_registry.ActiveBrowser();
    if (!source)
        return;
    QPointer<frmBrowser> target = m_registry.CreateBrowser(QStringLiteral("about:blank"), true);
    if (!target)
        return;
    target->Navigate(QString());
    // The new window's tab shows the busy pictures until its page is made.
    target->StartTabAnimation();
    TakeSharedDocSnapshot(
        source->page(), target, [this, target, view](std::shared_ptr<const DocSnapshot> document) {
            if (!target)
                return;
            // The page of a large document is made on a worker, so the
            // windows keep answering; section numbers go on from the count
            // the worker ends with.
            struct Made {
                QByteArray page;
                QString error;
                int counter = 0;
            };
            auto* watcher = new QFutureWatcher<Made>(target);
            connect(watcher, &QFutureWatcherBase::finished, watcher, [this, watcher, target, view] {
                watcher->deleteLater();
                const Made made = watcher->result();
                if (view == GeneratedView::Structure)
                    m_structureCounter.SetValue(made.counter);
                target->StopTabAnimation();
                if (made.page.isEmpty()) {
                    ShowMessage(Txt(kTextFehlerbehandlung),
                                made.error + (view == GeneratedView::Structure
                                                  ? QStringLiteral(" - CreateHtmlStruct()")
                                                  : QStringLiteral(" - CollectPicSrc()")),
                                MsgIcon::Warning);
                    return;
                }
                target->ShowGeneratedPage(made.page);
            });
            watcher->setFuture(
                QtConcurrent::run([document, view, counter = m_structureCounter]() mutable {
                    Made made;
                    const QString page = view == GeneratedView::Structure
                                             ? CreateHtmlStruct(*document, counter, &made.error)
                                             : CollectPicSrc(*document, &made.error);
                    made.page = page.toUtf8();
                    made.counter = counter.Value();
                    return made;
                }));
        });
}

// --- File menu ------------------------------------------------------------------------

void MainMenus::mn_Datei_Click()
{
    frmBrowser* active = m_registry.ActiveBrowser();
    const bool window = active != nullptr;
    for (const char* name : {"mn_save", "mn_print", "mn_ppreview", "mn_Send"})
        m_items.SetItemEnabled(QString::fromLatin1(name), window);
    // An arrangement can only be stored while no window is maximised.
    m_items.SetItemEnabled(QStringLiteral("mn_Anordnung_save"),
                           window && active->WindowState() != 2);
    if (!window)
        m_items.SetItemEnabled(QStringLiteral("mn_Anordnung_load"), true);
}

void MainMenus::mn_save_Click()
{
    if (frmBrowser* active = m_registry.ActiveBrowser())
        WebSave(*active);
}

void MainMenus::mn_Send_Click()
{
    frmBrowser* active = m_registry.ActiveBrowser();
    if (active && active->HasDocument())
        active->LinkMailto();
}

void MainMenus::mn_print_Click()
{
    if (frmBrowser* active = m_registry.ActiveBrowser())
        WebPrint(*active);
}

void MainMenus::mn_ppreview_Click()
{
    if (frmBrowser* active = m_registry.ActiveBrowser())
        WebPrintPreview(*active);
}

void MainMenus::mn_Exit_Click()
{
    m_main.close();
}

void MainMenus::mn_ctxtExit_Click()
{
    // Deferred, so that the context menu has closed first.
    m_steps.Start(DeferredStep::CloseMainWindow, 50);
}

// --- Actions menu ---------------------------------------------------------------------

void MainMenus::mn_Actions_Click()
{
    frmBrowser* active = m_registry.ActiveBrowser();
    m_items.SetItemEnabled(QStringLiteral("mn_CloneBrowser"), active && IsCloneable(active));
    m_items.SetItemEnabled(QStringLiteral("mn_SetHomepage"), active != nullptr);
    for (const char* name :
         {"mn_SetRefresh", "mn_VisitallLinks", "mn_VisitallLinksInFrame", "mn_OpenAllLinks"})
        m_items.SetItemEnabled(QString::fromLatin1(name), active != nullptr);
}

void MainMenus::mn_CloneBrowser_Click()
{
    CloneActive();
}

void MainMenus::mn_SetHomepage_Click()
{
    if (frmBrowser* active = m_registry.ActiveBrowser())
        SetHomepage(*active);
}

// --- window activities ----------------------------------------------------------------

namespace {

// The text-size entries of the View menu, in menu order, with their steps.
struct TextSizeEntry {
    const char* name;
    int text;
    int step;
};
constexpr TextSizeEntry kTextSizeEntries[] = {
    {"mn_TextMax", 319, 4},   {"mn_TextLarge", 318, 3}, {"mn_TextNormal", 317, 2},
    {"mn_TextSmall", 316, 1}, {"mn_TextMin", 315, 0},
};

QString zoomItemName(int percent)
{
    return QStringLiteral("mn_Z") + QString::number(percent);
}

} // namespace

void MainMenus::buildActivityItems(QMenu* view)
{
    // View: "Schrift&größe" and "&Zoom" before the page views.
    QAction* beforeView = m_items.Item(QStringLiteral("mn_HTMLCode"));
    auto submenu = [this, view, beforeView](const char* name, int text) {
        auto* menu = new QMenu(Txt(text), view);
        menu->setObjectName(QString::fromLatin1(name));
        menu->menuAction()->setObjectName(QString::fromLatin1(name));
        view->insertMenu(beforeView, menu);
        m_items.Register(QString::fromLatin1(name), menu->menuAction());
        return menu;
    };
    m_textSizeMenu = submenu("mn_Textsize", 314);
    for (const TextSizeEntry& entry : kTextSizeEntries) {
        const int step = entry.step;
        m_items
            .AddItem(m_textSizeMenu, QString::fromLatin1(entry.name), Txt(entry.text),
                     [this, step] {
                         if (frmBrowser* active = m_registry.ActiveBrowser())
                             StepTextSize(*active, step);
                     })
            ->setCheckable(true);
    }
    connect(m_textSizeMenu, &QMenu::aboutToShow, this, &MainMenus::mn_Textsize_Click);
    m_zoomMenu = submenu("mn_Zoom", 320);
    for (const int percent : kZoomLevels)
        m_items
            .AddItem(m_zoomMenu, zoomItemName(percent), QString::number(percent) + QLatin1Char('%'),
                     [this, percent] { ZoomActive(percent); })
            ->setCheckable(true);
    connect(m_zoomMenu, &QMenu::aboutToShow, this, &MainMenus::mn_Zoom_Click);

    // Actions: between "Browser klonen..." and "Als Startadresse übernehmen...".
    QAction* before = m_items.Item(QStringLiteral("mn_SetHomepage"));
    auto action = [this, before](const char* name, int text, std::function<void()> handler) {
        QAction* added =
            m_items.AddItem(nullptr, QString::fromLatin1(name), Txt(text), std::move(handler));
        m_actionsMenu->insertAction(before, added);
        return added;
    };
    action("mn_SetRefresh", 600, [this] { mn_SetRefresh_Click(); });
    action("mn_VisitallLinks", 605, [this] { mn_VisitallLinks_Click(); });
    action("mn_VisitallLinksInFrame", 606, [this] { mn_VisitallLinksInFrame_Click(); });
    // Actions: last.
    m_items.AddItem(m_actionsMenu, QStringLiteral("mn_OpenAllLinks"), Txt(617),
                    [this] { mn_OpenAllLinks_Click(); });
}

void MainMenus::ZoomActive(int percent)
{
    if (frmBrowser* active = m_registry.ActiveBrowser())
        active->SetZoomFactor(percent);
}

void MainMenus::mn_Zoom_Click()
{
    const frmBrowser* active = m_registry.ActiveBrowser();
    for (const int percent : kZoomLevels)
        m_items.SetItemChecked(zoomItemName(percent), active && active->Zoom() == percent);
}

void MainMenus::mn_Textsize_Click()
{
    const frmBrowser* active = m_registry.ActiveBrowser();
    for (const TextSizeEntry& entry : kTextSizeEntries)
        m_items.SetItemChecked(QString::fromLatin1(entry.name),
                               active && active->TextSize() == entry.step);
}

void MainMenus::mn_SetRefresh_Click()
{
    if (frmBrowser* active = m_registry.ActiveBrowser())
        active->SetRefreshInterval();
}

void MainMenus::mn_VisitallLinks_Click()
{
    if (frmBrowser* active = m_registry.ActiveBrowser())
        active->StartRoundtrip();
}

void MainMenus::mn_VisitallLinksInFrame_Click()
{
    if (frmBrowser* active = m_registry.ActiveBrowser())
        active->StartFrameRoundtrip();
}

void MainMenus::mn_OpenAllLinks_Click()
{
    if (frmBrowser* active = m_registry.ActiveBrowser())
        OpenAllAnchors(*active);
}

// --- "&?" -----------------------------------------------------------------------------

void MainMenus::mn_Doku_Click()
{
    // The help page shipped with the program, in a browser window.
    VisitUrl(Txt(kTextHelpPage), m_prefer.Adresszeile(), m_prefer.Toolbar());
}

void MainMenus::mn_Orvane_Click()
{
    auto* about = new frmAbout(&m_main, [this](const QString& url) { VisitUrl(url, true, true); });
    about->show();
    about->activateWindow();
}

// --- default browser -------------------------------------------------------------------

void MainMenus::mn_Standardbrowser_Click()
{
    QPointer<frmHinweisStdBrowser> dialog = new frmHinweisStdBrowser(&m_main);
    const bool confirmed = Dialogs().execDialog(*dialog) == QDialog::Accepted;
    const bool bPicViewer = dialog && dialog->picturesBox->isChecked();
    if (dialog)
        dialog->deleteLater();
    if (!confirmed)
        return;
    const FileResult registered = RegisterAsDefaultBrowser(
        bPicViewer, QCoreApplication::applicationFilePath(),
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation),
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation),
        QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation));
    if (!registered.ok)
        ShowMessage(Txt(kTextFehlermeldung), registered.error, MsgIcon::Critical);
}

// --- e-mail application ---------------------------------------------------------------

void MainMenus::mn_Email_Click()
{
    StartMail();
}

void MainMenus::StartMail()
{
    const QString client = m_prefer.MailClient();
    if (client.trimmed().isEmpty()) {
        m_registry.SuspendExternalOpen(true);
        ShowMessage(Txt(kTextMeldung), Txt(kTextConfigureMail), MsgIcon::Information);
        m_registry.SuspendExternalOpen(false);
        mn_Einstellungen_Click();
        return;
    }
    m_status.ShowMailIndicator(false);
    if (client.left(5).compare(QLatin1String("http:"), Qt::CaseInsensitive) == 0 ||
        client.left(6).compare(QLatin1String("https:"), Qt::CaseInsensitive) == 0) {
        VisitUrl(client, true, true);
        return;
    }
    const MailCommand command = mailCommandOf(client);
    if (command.program.isEmpty() || !QProcess::startDetached(command.program, command.arguments))
        ShowMessage(Txt(kTextFehlermeldung), Txt(kTextAppBefore) + client + Txt(kTextAppNotFound),
                    MsgIcon::Critical);
}

// --- settings dialog -------------------------------------------------------------------

void MainMenus::mn_Einstellungen_Click()
{
    const frmBrowser* active = m_registry.ActiveBrowser();
    const QString activeKey = active ? active->WindowKey() : QString();
    m_registry.SuspendExternalOpen(true);
    QPointer<frmEinstell> dialog = new frmEinstell(m_prefer, DataFolder(), &m_main);
    const bool confirmed = Dialogs().execDialog(*dialog) == QDialog::Accepted;
    if (dialog)
        dialog->deleteLater();
    m_registry.SuspendExternalOpen(false);
    if (!confirmed)
        return;
    m_flags.TakePreferences(m_prefer);
    Q_EMIT settingsApplied(activeKey);
}

} // namespace orv
