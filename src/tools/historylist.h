#pragma once

#include "tools/historyitem.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>

namespace orv {

// The history of visited pages for the current run: one entry per distinct
// address (compared case-sensitively), oldest first, never written to a file.
class HistoryList {
public:
    using Clock = std::function<QDateTime()>;

    // The clock gives the time of each visit; without one the local time is
    // taken.
    explicit HistoryList(Clock clock = {});

    // Records a visit at the clock's current time. An address already in the
    // history keeps its place and takes the new title and time. A new address
    // is appended; while the history holds historyRows entries or more, the
    // oldest ones make room first. With historyRows of 0 or less nothing is
    // kept at all.
    void AddToHistory(const QString& url, const QString& title, int historyRows);
    void AddToHistory(const QString& url, const QString& title, int historyRows,
                      const QDateTime& when);

    int Count() const { return static_cast<int>(m_items.size()); }
    bool IsEmpty() const { return m_items.isEmpty(); }
    // The entry at a 1-based position (as the history list's row tags give
    // it); nullptr when there is no such entry (a stale tag).
    const HistoryItem* Item(int position) const;
    // All entries, oldest first.
    const QList<HistoryItem>& Items() const { return m_items; }
    void Clear() { m_items.clear(); }

private:
    Clock m_clock;
    QList<HistoryItem> m_items;
};

} // namespace orv
