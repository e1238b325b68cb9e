#include "tools/feeddiscovery.h"

#include "app/texthelpers.h"

namespace orv {
namespace {

// LINK types that announce a feed, in upper case.
constexpr QStringView kFeedTypes[] = {u"APPLICATION/RSS+XML", u"TEXT/XML"};

bool isFeedType(const QString& type)
{
    const QString upper = type.toUpper();
    for (QStringView feedType : kFeedTypes) {
        if (upper == feedType)
            return true;
    }
    return false;
}

} // namespace

QString FeedAddress(const QString& href, const QString& documentUrl, const QString& pathname)
{
    const QString server = GetServerStr(documentUrl);
    if (href.startsWith(u'/'))
        return server == u"file://" ? href : server + href;
    const QString path = GetPathStr(pathname);
    if (href.startsWith(u"./"))
        return server + path + href.mid(2);
    if (href.startsWith(u".."))
        return server + path + href;
    if (href.contains(u'/'))
        return href;
    return server + path + href;
}

QList<FeedLink> FindFeeds(const DocSnapshot& document)
{
    QList<FeedLink> feeds;
    if (!document.valid)
        return feeds;
    for (const DocNode* node : document.elements()) {
        if (node->nodeName != u"LINK" || !isFeedType(node->attribute(u"type")))
            continue;
        feeds.append({node->attribute(u"title"),
                      FeedAddress(node->attribute(u"href"), document.url, document.pathname)});
    }
    return feeds;
}

QString FeedList::GetFeedTitelByInd(int index) const
{
    return index >= 1 && index <= m_feeds.size() ? m_feeds.at(index - 1).title : QString();
}

QString FeedList::GetFeedUrlByInd(int index) const
{
    return index >= 1 && index <= m_feeds.size() ? m_feeds.at(index - 1).url : QString();
}

} // namespace orv
