#include "pages/feeddiscovery.h"

#include "app/texthelpers.h"

#include <QRegularExpression>

namespace orv {
namespace {

// LINK types that announce a feed, in upper case. Atom feeds render as
// well as RSS ones, so they are offered too.
constexpr QStringView kFeedTypes[] = {u"APPLICATION/RSS+XML", u"TEXT/XML", u"APPLICATION/ATOM+XML"};

// Whether the href names its own scheme ("https:", "feed:").
bool hasScheme(const QString& href)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.\\-]*:"));
    return scheme.match(href).hasMatch();
}

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
    // "//host/x" keeps the page's scheme and names its own server.
    if (href.startsWith(u"//"))
        return server.isEmpty() ? href : server.left(server.indexOf(u'/')) + href;
    if (href.startsWith(u'/'))
        return server == u"file://" ? href : server + href;
    const QString path = GetPathStr(pathname);
    if (href.startsWith(u"./"))
        return server + path + href.mid(2);
    if (href.startsWith(u".."))
        return server + path + href;
    // An address with a scheme stays as it is; any other is relative to the
    // page's folder, with or without a "/" in it.
    if (hasScheme(href))
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
