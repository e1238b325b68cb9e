#pragma once

#include <QDateTime>
#include <QString>

namespace orv {

// One visited page of the run's history.
class HistoryItem {
public:
    HistoryItem() = default;
    HistoryItem(const QString& url, const QString& title, const QDateTime& urlDate);

    const QString& URL() const { return m_url; }
    void SetURL(const QString& url) { m_url = url; }

    const QString& Title() const { return m_title; }
    void SetTitle(const QString& title) { m_title = title; }

    // Time of the last visit.
    const QDateTime& UrlDate() const { return m_urlDate; }
    void SetUrlDate(const QDateTime& urlDate) { m_urlDate = urlDate; }

    // Sort selector: 0 address, 1 title, 2 date (the default). Any value
    // outside 0..2 is stored as 2.
    int SortSel() const { return m_sortSel; }
    void SetSortSel(int sortSel);

    // Sets address, title and time at once.
    void SetItem(const QString& url, const QString& title, const QDateTime& urlDate);

private:
    QString m_url;
    QString m_title;
    QDateTime m_urlDate;
    int m_sortSel = 2;
};

} // namespace orv
