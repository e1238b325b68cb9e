#include "mainwin/menuitems.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

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

MenuItems::MenuItems(QObject* parent) : QObject(parent) {}

QAction* MenuItems::AddItem(QMenu* menu, const QString& name, const QString& caption,
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

QAction* MenuItems::AddCopy(QMenu* menu, const QString& copyName, const QString& of)
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

void MenuItems::Register(const QString& name, QAction* action, const QString& of)
{
    m_items.insert(name, action);
    if (!of.isEmpty())
        m_copies[of].append(action);
}

QList<QAction*> MenuItems::ItemWithCopies(const QString& name) const
{
    QList<QAction*> all;
    if (QAction* a = Item(name))
        all.append(a);
    all.append(m_copies.value(name));
    return all;
}

void MenuItems::SetItemChecked(const QString& name, bool checked)
{
    for (QAction* a : ItemWithCopies(name)) {
        const QSignalBlocker block(a);
        a->setChecked(checked);
    }
}

void MenuItems::SetItemEnabled(const QString& name, bool enabled)
{
    for (QAction* a : ItemWithCopies(name))
        a->setEnabled(enabled);
}

void MenuItems::SetItemVisible(const QString& name, bool visible)
{
    for (QAction* a : ItemWithCopies(name))
        a->setVisible(visible);
}

bool MenuItems::ItemChecked(const QString& name) const
{
    const QAction* a = Item(name);
    return a && a->isChecked();
}

} // namespace orv
