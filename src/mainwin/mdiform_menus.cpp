#include "mainwin/mdiform.h"

#include "app/texts.h"
#include "browser/browsercommands.h"
#include "browser/frmbrowser.h"
#include "mainwin/eventhook.h"
#include "prefs/prefer.h"

#include <QActionGroup>
#include <QContextMenuEvent>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>

// The menu bar, the main context menu, the menu items by name and the
// commands of the File and Actions menus.

namespace orv {

namespace {

// The mark a click on a checkable item set goes back: the item's handler
// decides the mark.
void undoClickToggle(QAction* action, bool checked)
{
    // An exclusive group decides its marks itself.
    if (!action->isCheckable() || (action->actionGroup() && action->actionGroup()->isExclusive()))
        return;
    const QSignalBlocker block(action);
    action->setChecked(!checked);
}

} // namespace

QAction* MDIForm1::AddItem(QMenu* menu, const QString& name, const QString& caption,
                           std::function<void()> handler)
{
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    if (menu)
        menu->addAction(action);
    connect(action, &QAction::triggered, this, [this, action, name](bool checked) {
        undoClickToggle(action, checked);
        if (const auto run = m_handlers.value(name))
            run();
    });
    m_items.insert(name, action);
    m_handlers.insert(name, std::move(handler));
    return action;
}

QAction* MDIForm1::AddCopy(QMenu* menu, const QString& copyName, const QString& of)
{
    QAction* original = Item(of);
    auto* copy = new QAction(original ? original->text() : QString(), this);
    copy->setObjectName(copyName);
    if (original) {
        copy->setCheckable(original->isCheckable());
        copy->setChecked(original->isChecked());
        copy->setEnabled(original->isEnabled());
        copy->setVisible(original->isVisible());
        // The copy runs the item's handler (also while the item itself is
        // disabled: the context menu keeps its own enabled states); the
        // copies then show the item's mark.
        connect(copy, &QAction::triggered, this, [this, copy, original, of](bool checked) {
            undoClickToggle(copy, checked);
            if (const auto run = m_handlers.value(of))
                run();
            else
                original->trigger();
            SetItemChecked(of, original->isChecked());
        });
    }
    if (menu)
        menu->addAction(copy);
    m_items.insert(copyName, copy);
    m_copies[of].append(copy);
    return copy;
}

QList<QAction*> MDIForm1::ItemWithCopies(const QString& name) const
{
    QList<QAction*> all;
    if (QAction* a = Item(name))
        all.append(a);
    all.append(m_copies.value(name));
    return all;
}

void MDIForm1::SetItemChecked(const QString& name, bool checked)
{
    for (QAction* a : ItemWithCopies(name)) {
        const QSignalBlocker block(a);
        a->setChecked(checked);
    }
}

void MDIForm1::SetItemEnabled(const QString& name, bool enabled)
{
    for (QAction* a : ItemWithCopies(name))
        a->setEnabled(enabled);
}

void MDIForm1::SetItemVisible(const QString& name, bool visible)
{
    for (QAction* a : ItemWithCopies(name))
        a->setVisible(visible);
}

bool MDIForm1::ItemChecked(const QString& name) const
{
    const QAction* a = Item(name);
    return a && a->isChecked();
}

void MDIForm1::buildMenus()
{
    auto item = [this](QMenu* menu, const char* name, int text, std::function<void()> handler) {
        return AddItem(menu, QString::fromUtf8(name), Txt(text), std::move(handler));
    };
    auto checkable = [](QAction* action, bool checked) {
        action->setCheckable(true);
        action->setChecked(checked);
        return action;
    };

    // "&Datei"
    m_fileMenu = menuBar()->addMenu(Txt(200));
    m_fileMenu->setObjectName(QStringLiteral("mn_Datei"));
    connect(m_fileMenu, &QMenu::aboutToShow, this, &MDIForm1::mn_Datei_Click);
    item(m_fileMenu, "mn_HomeBrowser", 201, [this] {
        mn_HomeBrowser_Click();
    })->setShortcut(QKeySequence(Qt::Key_F12));
    item(m_fileMenu, "mn_BrowserBlank", 209, [this] {
        mn_BrowserBlank_Click();
    })->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F12));
    m_fileMenu->addSeparator();
    item(m_fileMenu, "mn_Anordnung_save", 404, [this] { mn_Anordnung_save_Click(); });
    item(m_fileMenu, "mn_Anordnung_load", 405, [this] { mn_Anordnung_load_Click(); });
    m_fileMenu->addSeparator();
    item(m_fileMenu, "mn_save", 205, [this] { mn_save_Click(); });
    item(m_fileMenu, "mn_Send", 208, [this] { mn_Send_Click(); });
    m_fileMenu->addSeparator();
    item(m_fileMenu, "mn_print", 206, [this] { mn_print_Click(); });
    item(m_fileMenu, "mn_ppreview", 207, [this] { mn_ppreview_Click(); });
    m_fileMenu->addSeparator();
    item(m_fileMenu, "mn_Exit", 204, [this] { mn_Exit_Click(); });

    // "&Ansicht"
    QMenu* view = menuBar()->addMenu(Txt(311));
    view->setObjectName(QStringLiteral("mn_Ansicht"));
    checkable(item(view, "mn_Fullscreen", 321, [this] { mn_Fullscreen_Click(); }), false)
        ->setShortcut(QKeySequence(Qt::Key_F11));
    view->addSeparator();
    buildTabStripItems(view);
    view->addSeparator();
    checkable(item(view, "mn_Toggle", 303, [this] { mn_Toggle_Click(); }), true);

    // "&Tools"
    QMenu* tools = menuBar()->addMenu(Txt(300));
    tools->setObjectName(QStringLiteral("mn_Anzeige"));
    item(tools, "mn_Email", 305, [this] { mn_Email_Click(); });

    // "A&ktionen"
    m_actionsMenu = menuBar()->addMenu(Txt(619));
    m_actionsMenu->setObjectName(QStringLiteral("mn_Actions"));
    connect(m_actionsMenu, &QMenu::aboutToShow, this, &MDIForm1::mn_Actions_Click);
    item(m_actionsMenu, "mn_CloneBrowser", 616, [this] { mn_CloneBrowser_Click(); });
    m_actionsMenu->addSeparator();
    item(m_actionsMenu, "mn_SetHomepage", 1027, [this] { mn_SetHomepage_Click(); });

    // "&Fenster" and the stepping items
    m_windowMenu = menuBar()->addMenu(Txt(400));
    m_windowMenu->setObjectName(QStringLiteral("mn_Fenster"));
    buildWindowMenu(m_windowMenu);
    buildSteppingItems();

    // "&?"
    QMenu* info = menuBar()->addMenu(QStringLiteral("&?"));
    info->setObjectName(QStringLiteral("mn_Info"));
    info->setAccessibleName(QStringLiteral("Hilfe"));
    item(info, "mn_Doku", 101, [this] { mn_Doku_Click(); });

    // The main context menu: copies of the items above.
    m_contextMenu = new QMenu(this);
    m_contextMenu->setObjectName(QStringLiteral("mn_ctxt"));
    m_contextMenu->setAccessibleName(QStringLiteral("Kontextmenü"));
    QMenu* ctxt = m_contextMenu;
    connect(ctxt, &QMenu::aboutToShow, this, [this] { MenuFenster(); });
    AddCopy(ctxt, QStringLiteral("mn_ctxtBrowser"), QStringLiteral("mn_HomeBrowser"));
    AddCopy(ctxt, QStringLiteral("mn_ctxtBrowserBlank"), QStringLiteral("mn_BrowserBlank"));
    ctxt->addSeparator();
    AddCopy(ctxt, QStringLiteral("mn_ctxtAnordnung_save"), QStringLiteral("mn_Anordnung_save"));
    AddCopy(ctxt, QStringLiteral("mn_ctxtAnordnung_load"), QStringLiteral("mn_Anordnung_load"));
    ctxt->addSeparator();
    AddCopy(ctxt, QStringLiteral("mn_ctxtSave"), QStringLiteral("mn_save"));
    AddCopy(ctxt, QStringLiteral("mn_ctxtSend"), QStringLiteral("mn_Send"));
    AddCopy(ctxt, QStringLiteral("mn_ctxtPrint"), QStringLiteral("mn_print"));
    AddCopy(ctxt, QStringLiteral("mn_ctxtPpreview"), QStringLiteral("mn_ppreview"));
    ctxt->addSeparator();
    buildTabStripCopies(ctxt);
    AddCopy(ctxt, QStringLiteral("mn_ctxtStatus"), QStringLiteral("mn_Toggle"));
    ctxt->addSeparator();
    AddCopy(ctxt, QStringLiteral("mn_ctxtEmail"), QStringLiteral("mn_Email"));
    ctxt->addSeparator();
    QMenu* ctxtWindows = ctxt->addMenu(Txt(400));
    ctxtWindows->setObjectName(QStringLiteral("mn_ctxtFenster"));
    buildWindowMenuCopies(ctxtWindows);
    ctxt->addSeparator();
    AddItem(ctxt, QStringLiteral("mn_ctxtExit"), Txt(204), [this] { mn_ctxtExit_Click(); });

    // A right click on the empty area of the main window opens it.
    QWidget* area = m_mdi->viewport();
    new EventHook(area, [this, area](QEvent* event) {
        if (event->type() != QEvent::ContextMenu)
            return false;
        auto* e = static_cast<QContextMenuEvent*>(event);
        if (area->childAt(e->pos()))
            return false;
        showContextMenuAt(e->globalPos());
        return true;
    });

    SetMenuPrevNext();
}

void MDIForm1::showContextMenuAt(const QPoint& globalPos)
{
    m_contextMenu->popup(globalPos);
}

// --- File menu ------------------------------------------------------------------------

void MDIForm1::mn_Datei_Click()
{
    frmBrowser* active = ActiveBrowser();
    const bool window = active != nullptr;
    for (const char* name : {"mn_save", "mn_print", "mn_ppreview", "mn_Send"})
        SetItemEnabled(QString::fromLatin1(name), window);
    // An arrangement can only be stored while no window is maximised.
    SetItemEnabled(QStringLiteral("mn_Anordnung_save"), window && active->WindowState() != 2);
    if (!window)
        SetItemEnabled(QStringLiteral("mn_Anordnung_load"), true);
}

void MDIForm1::mn_save_Click()
{
    if (frmBrowser* active = ActiveBrowser())
        WebSave(*active);
}

void MDIForm1::mn_Send_Click()
{
    frmBrowser* active = ActiveBrowser();
    if (active && active->HasDocument())
        active->LinkMailto();
}

void MDIForm1::mn_print_Click()
{
    if (frmBrowser* active = ActiveBrowser())
        WebPrint(*active);
}

void MDIForm1::mn_ppreview_Click()
{
    if (frmBrowser* active = ActiveBrowser())
        WebPrintPreview(*active);
}

void MDIForm1::mn_Exit_Click()
{
    close();
}

void MDIForm1::mn_ctxtExit_Click()
{
    // Deferred, so that the context menu has closed first.
    StartWaitMethod(8, 50);
}

// --- Actions menu ---------------------------------------------------------------------

void MDIForm1::mn_Actions_Click()
{
    frmBrowser* active = ActiveBrowser();
    SetItemEnabled(QStringLiteral("mn_CloneBrowser"), active && IsCloneable(active));
    SetItemEnabled(QStringLiteral("mn_SetHomepage"), active != nullptr);
}

void MDIForm1::mn_CloneBrowser_Click()
{
    CloneActive();
}

void MDIForm1::mn_SetHomepage_Click()
{
    if (frmBrowser* active = ActiveBrowser())
        SetHomepage(*active);
}

// --- "&?" -----------------------------------------------------------------------------

void MDIForm1::mn_Doku_Click()
{
    // The help page shipped with the program, in a browser window.
    VisitUrl(Txt(102), m_prefer.Adresszeile(), m_prefer.Toolbar());
}

} // namespace orv
