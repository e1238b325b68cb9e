#include "pages/linkcollect.h"

#include "app/docsnapshot.h"
#include "tools/uniqsortstrcollection.h"

namespace orv {

namespace {

// The server part ends at the first "/" from this 0-based place on (after
// "http://" and "file://"), or after the "://" of any other scheme, so that
// "https://host/a" has the server part "https://host" as well.
constexpr qsizetype kServerSlashFrom = 7;

bool isDropped(const QString& address)
{
    const QString upper = address.toUpper();
    return upper.contains(QLatin1String("JAVASCRIPT:")) || upper.contains(QLatin1String("MAILTO:"));
}

} // namespace

QString ServerPart(const QString& url)
{
    const qsizetype scheme = url.indexOf(QLatin1String("://"));
    const qsizetype from = scheme >= 0 ? qMax(scheme + 3, kServerSlashFrom) : kServerSlashFrom;
    const qsizetype slash = url.indexOf(QLatin1Char('/'), from);
    return slash < 0 ? url : url.left(slash);
}

QString UrlFolder(const QString& url)
{
    return url.left(url.lastIndexOf(QLatin1Char('/')) + 1);
}

QStringList CollectLinks(const DocSnapshot& document, const QString& pageUrl,
                         RelativeLinks relative)
{
    if (!document.valid || !document.htmlDocument)
        return {};
    const QString folder = UrlFolder(pageUrl);
    const QString server = ServerPart(relative == RelativeLinks::Joined ? folder : pageUrl);
    UniqSortStrCollection links;
    for (const DocNode* element : document.elements()) {
        QString address;
        if (element->nodeName == QLatin1String("A"))
            address = element->href;
        else if (element->nodeName == QLatin1String("FRAME"))
            address = element->src;
        else
            continue;
        if (address.isEmpty() || isDropped(address))
            continue;
        const qsizetype hash = address.indexOf(QLatin1Char('#'));
        if (hash >= 0)
            address.truncate(hash);
        if (address.contains(QLatin1Char(':'))) {
            // An address of its own.
        } else if (address.startsWith(QLatin1Char('/'))) {
            address.prepend(server);
        } else if (relative == RelativeLinks::Joined) {
            address.prepend(folder);
        }
        links.Add(address);
    }
    return links.StrCollection();
}

} // namespace orv
