#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class QAction;
class QMenu;

namespace orv {

// The main window's menu items by name ("mn_Kaskadiert"), with their copies
// in the context menus ("mn_ctxtKaskadiert"): a check mark, enabled or
// visible state set through here reaches the item and every copy. A check
// mark changes only through the item's handler: a click on a checkable item
// runs the handler with the mark as it was.
class MenuItems : public QObject {
    Q_OBJECT
public:
    explicit MenuItems(QObject* parent);

    // The item with this name, or nullptr.
    QAction* Item(const QString& name) const { return m_items.value(name); }
    // Adds an item to `menu` (none: the item is not in a menu yet) under
    // `name`; `handler` runs when it is chosen.
    QAction* AddItem(QMenu* menu, const QString& name, const QString& caption,
                     std::function<void()> handler);
    // Adds a copy of item `of` (same caption, runs the item's handler) under
    // `copyName`.
    QAction* AddCopy(QMenu* menu, const QString& copyName, const QString& of);
    // Registers an action made elsewhere (a submenu's own action) under
    // `name`, as a copy of `of` when that is given.
    void Register(const QString& name, QAction* action, const QString& of = {});
    // The item and all its copies.
    QList<QAction*> ItemWithCopies(const QString& name) const;
    void SetItemChecked(const QString& name, bool checked);
    void SetItemEnabled(const QString& name, bool enabled);
    void SetItemVisible(const QString& name, bool visible);
    bool ItemChecked(const QString& name) const;

private:
    QHash<QString, QAction*> m_items;
    QHash<QString, QList<QAction*>> m_copies;
    QHash<QString, std::function<void()>> m_handlers;
};

} // namespace orv
