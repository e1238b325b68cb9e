#pragma once

#include <QString>
#include <QStringList>

namespace orv {

struct DocSnapshot;

// The links of a document for visiting or opening them one after another:
// the "href" of every anchor and the "src" of every frame, in document
// order. Script and mail links are dropped, everything from the first "#"
// on is cut, and duplicates (as UniqSortStrCollection compares, ignoring
// letter case) are dropped, the first one staying in its place. Nothing is
// collected from a document that is no HTML document.

// What becomes of an address without ":" that does not begin with "/".
enum class RelativeLinks {
    Kept,   // kept as it stands (the round trip joins it to its base later)
    Joined, // joined to the folder of the page address
};

// `pageUrl` is the address of the page the links belong to: an address
// beginning with "/" is joined to its server part.
QStringList CollectLinks(const DocSnapshot& document, const QString& pageUrl,
                         RelativeLinks relative);

// An address up to (not including) the first "/" behind its server,
// "http://host" of "http://host/a/b", "https://h:81" of "https://h:81/x"
// (the first "/" from the eighth character on, or after the "://"); the
// whole address when it has no such "/".
QString ServerPart(const QString& url);
// An address up to and including its last "/"; empty when it has none.
QString UrlFolder(const QString& url);

} // namespace orv
