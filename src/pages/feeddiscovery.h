#pragma once

#include "app/docsnapshot.h"

#include <QList>
#include <QString>

namespace orv {

// A feed that a page announces in a LINK element.
struct FeedLink {
    QString title;
    QString url;

    bool operator==(const FeedLink&) const = default;
};

// The feeds the document announces, in document order: every LINK element
// whose "type" is "application/rss+xml", "application/atom+xml" or
// "text/xml" (in any case), with
// its "title" and its "href" as written, made absolute against the document
// (see FeedAddress). An invalid snapshot announces none.
QList<FeedLink> FindFeeds(const DocSnapshot& document);

// A LINK element's href as written, made absolute with server =
// GetServerStr(documentUrl) and path = GetPathStr(pathname):
// "//host/x" gives the page's scheme + "//host/x";
// "/x" gives server + "/x" (unchanged when server is exactly "file://");
// "./x" gives server + path + "x"; "..x" gives server + path + "..x";
// an href with a scheme ("https:") stays as it is; any other gives
// server + path + href.
QString FeedAddress(const QString& href, const QString& documentUrl, const QString& pathname);

// A window's feed list, numbered from 1. Whether the browser is busy (the
// count is 0 then) is the window's business.
class FeedList {
public:
    // Replaces the list by the feeds the document announces.
    void Rebuild(const DocSnapshot& document) { m_feeds = FindFeeds(document); }
    void Clear() { m_feeds.clear(); }

    int GetFeedCount() const { return int(m_feeds.size()); }
    // Title and address of feed `index` (1..count); empty outside that range.
    QString GetFeedTitelByInd(int index) const;
    QString GetFeedUrlByInd(int index) const;

    const QList<FeedLink>& Feeds() const { return m_feeds; }

private:
    QList<FeedLink> m_feeds;
};

} // namespace orv
