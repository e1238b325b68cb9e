#include "tools/historylist.h"

#include <utility>

namespace orv {

HistoryList::HistoryList(Clock clock) : m_clock(std::move(clock))
{
    if (!m_clock)
        m_clock = [] { return QDateTime::currentDateTime(); };
}

void HistoryList::AddToHistory(const QString& url, const QString& title, int historyRows)
{
    AddToHistory(url, title, historyRows, m_clock());
}

void HistoryList::AddToHistory(const QString& url, const QString& title, int historyRows,
                               const QDateTime& when)
{
    if (historyRows <= 0) {
        // No history is kept (also drops what a larger limit left behind).
        m_items.clear();
        return;
    }
    for (HistoryItem& item : m_items) {
        if (item.URL() == url) {
            // The entry keeps its place; only title and time change.
            item = HistoryItem(url, title, when);
            return;
        }
    }
    // A limit lowered during the run shrinks the history to it here.
    const qsizetype limit = historyRows;
    if (m_items.size() >= limit)
        m_items.remove(0, m_items.size() - limit + 1);
    m_items.append(HistoryItem(url, title, when));
}

const HistoryItem* HistoryList::Item(int position) const
{
    if (position < 1 || position > m_items.size())
        return nullptr;
    return &m_items.at(position - 1);
}

} // namespace orv
