#include "mainwin/mdiform.h"

#include "app/texts.h"
#include "browser/bandbar.h"
#include "browser/frmbrowser.h"
#include "platform/icons.h"
#include "prefs/prefer.h"

#include <QMdiArea>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabBar>
#include <QToolBar>
#include <QWebEngineView>

// The menu bar, its commands and the menu states.

namespace orv {

QAction* MDIForm1::AddItem(QMenu* menu, const QString& name, const QString& caption,
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
        // The copy runs the item's handler; the item's check state follows
        // the handler, so the copy only passes the choice on.
        connect(copy, &QAction::triggered, original, [this, original, of] {
            original->trigger();
            SetItemChecked(of, original->isChecked());
        });
    }
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
    QMenu* file = menuBar()->addMenu(Txt(200));
    file->setObjectName(QStringLiteral("mn_Datei"));
    AddItem(file, QStringLiteral("mn_HomeBrowser"), Txt(201), [this] {
        mn_HomeBrowser_Click();
    })->setShortcut(QKeySequence(Qt::Key_F12));
    AddItem(file, QStringLiteral("mn_BrowserBlank"), Txt(209), [this] {
        mn_BrowserBlank_Click();
    })->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F12));
    file->addSeparator();
    AddItem(file, QStringLiteral("mn_Exit"), Txt(204), [this] { close(); });

    m_windowMenu = menuBar()->addMenu(Txt(400));
    m_windowMenu->setObjectName(QStringLiteral("mn_Fenster"));
    buildWindowMenu(m_windowMenu);
    buildSteppingItems();

    // The tab strip's items (the View menu comes with the menu commands).
    buildTabStripItems(nullptr);
    SetMenuPrevNext();
}

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

} // namespace orv
