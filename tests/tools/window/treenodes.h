#pragma once

// Walking the nodes of a tree model in tests.

#include <QAbstractItemModel>
#include <QModelIndex>

namespace orv {

// The node at `row` below `node`; invalid if none.
inline QModelIndex Child(const QModelIndex& node, int row)
{
    return node.isValid() ? node.model()->index(row, 0, node) : QModelIndex();
}

inline int ChildCount(const QModelIndex& node)
{
    return node.isValid() ? node.model()->rowCount(node) : 0;
}

} // namespace orv
