#include "tools/historyitem.h"

namespace orv {

HistoryItem::HistoryItem(const QString& url, const QString& title, const QDateTime& urlDate)
    : m_url(url), m_title(title), m_urlDate(urlDate)
{
}

void HistoryItem::SetSortSel(int sortSel)
{
    m_sortSel = (sortSel < 0 || sortSel > 2) ? 2 : sortSel;
}

void HistoryItem::SetItem(const QString& url, const QString& title, const QDateTime& urlDate)
{
    m_url = url;
    m_title = title;
    m_urlDate = urlDate;
}

} // namespace orv
