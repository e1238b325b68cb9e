#include "bookmarks/import.h"

#include "bookmarks/netscapeparser.h"

#include <QUrl>

#include <algorithm>
#include <limits>
#include <vector>

namespace orv {

namespace {

// The largest bookmark file an import reads.
constexpr qint64 kMaxImportFileBytes = 256 * 1024 * 1024;

// A shell namespace address as the engine writes it ("file:///::{...}")
// keeps its path with backslashes.
QString importedAddress(const QString& href)
{
    if (href.startsWith(QLatin1String("file:///::"))) {
        QString path = href.mid(8);
        path.replace(u'/', u'\\');
        return path;
    }
    return href;
}

// Descriptions are stored with CR LF line breaks.
QString importedInfo(const QString& text)
{
    QString info = text;
    info.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    info.replace(u'\r', u'\n');
    info.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    return info;
}

Bookmark importedBookmark(const QList<const DocNode*>& elements, qsizetype j)
{
    const DocNode& anchor = *elements[j];
    Bookmark bookmark;
    // The marker "<FEED />" parses into an element FEED that holds the rest
    // of the anchor's content.
    const bool feed = anchor.firstChildName == QLatin1String("FEED") && !anchor.innerText.isEmpty();
    bookmark.Titel = feed ? FeedMarker.toString() + anchor.innerText : anchor.innerText;
    bookmark.URL = importedAddress(anchor.href);
    // The description is the DD right after the anchor and its own content
    // (the FEED element of a feed anchor is part of that content).
    const qsizetype next = j + 1 + anchor.descendantCount();
    if (next < elements.size() && elements[next]->nodeName == QLatin1String("DD"))
        bookmark.Info = importedInfo(elements[next]->innerText);
    bookmark.Nr = qint16(std::min<qsizetype>(j + 1, std::numeric_limits<qint16>::max()));
    bookmark.Toolbar = true;
    bookmark.Adresszeile = true;
    return bookmark;
}

// An element whose first child is an H3 heading starts a folder.
bool startsFolder(const DocNode& element)
{
    return !element.children.empty() && element.firstChildName == QLatin1String("H3");
}

const DocNode& headingOf(const DocNode& element)
{
    for (const DocNode& child : element.children)
        if (child.nodeName == QLatin1String("H3"))
            return child;
    return element.children.front();
}

} // namespace

ThemaList BuildImportedFolders(const DocNode& body)
{
    ThemaList folders;
    const QList<const DocNode*> elements = body.all();
    int position = 1;
    for (qsizetype i = 0; i < elements.size(); ++i) {
        const DocNode& element = *elements[i];
        if (!startsFolder(element))
            continue;
        Thema thema;
        thema.setDirName(headingOf(element).innerText);
        thema.setFileName(QString::number(position) + QLatin1String(".bkm"));
        thema.setNr(1);
        thema.setSequenz(qint32(std::min<qsizetype>(i + 1, std::numeric_limits<qint32>::max())));

        BookmarkList bookmarks;
        qint16 highest = 0;
        const QList<const DocNode*> inner = element.all();
        for (qsizetype j = 0; j < inner.size(); ++j) {
            if (inner[j]->nodeName != QLatin1String("A"))
                continue;
            Bookmark bookmark = importedBookmark(inner, j);
            highest = bookmark.Nr;
            bookmarks.append(std::move(bookmark));
        }
        thema.setColBookmark(std::move(bookmarks));
        thema.setItCounter(highest);
        folders.append(std::move(thema));
        ++position;
    }
    return folders;
}

qsizetype CountImportedBookmarks(const DocNode& body)
{
    // Every element below body with the place of its parent (parents come
    // before their children), then the anchors below each element summed
    // from the last element back.
    struct Entry {
        const DocNode* node;
        qsizetype parent;
    };
    std::vector<Entry> elements;
    std::vector<Entry> pending;
    for (const DocNode& child : body.children)
        pending.push_back({&child, -1});
    while (!pending.empty()) {
        const Entry entry = pending.back();
        pending.pop_back();
        const auto place = qsizetype(elements.size());
        elements.push_back(entry);
        for (const DocNode& child : entry.node->children)
            pending.push_back({&child, place});
    }
    std::vector<qsizetype> anchorsBelow(elements.size(), 0);
    qsizetype records = 0;
    for (auto i = qsizetype(elements.size()) - 1; i >= 0; --i) {
        const DocNode& element = *elements[size_t(i)].node;
        if (startsFolder(element))
            records += anchorsBelow[size_t(i)];
        const qsizetype parent = elements[size_t(i)].parent;
        if (parent >= 0)
            anchorsBelow[size_t(parent)] +=
                anchorsBelow[size_t(i)] + (element.nodeName == QLatin1String("A") ? 1 : 0);
    }
    return records;
}

FileResult ImportBookmarkDocument(Book& book, const DocNode& body)
{
    // Nested folders copy their bookmarks into every enclosing folder, so a
    // small file can ask for a huge archive: it is refused before anything
    // is written.
    if (CountImportedBookmarks(body) > MaxImportedBookmarks)
        return FileResult::failure(QStringLiteral("Der Import wurde abgebrochen: die Datei "
                                                  "ergäbe mehr als ") +
                                   QString::number(MaxImportedBookmarks) +
                                   QStringLiteral(" Lesezeichen. Das Archiv bleibt unverändert."));
    ThemaList folders = BuildImportedFolders(body);
    FileResult result;
    qint32 highestKey = book.SequenzMax();
    for (Thema& thema : folders) {
        const FileResult saved = thema.SaveBookmarks(book.folder());
        if (!saved.ok && result.ok)
            result = saved;
        highestKey = std::max(highestKey, thema.Sequenz());
    }
    // Keys of folders added later must not meet the imported ones.
    book.setSequenzMax(highestKey);
    book.setColThema(std::move(folders));
    book.setIsEdit(true);
    const FileResult saved = book.SaveAllThema();
    if (!saved.ok && result.ok)
        result = saved;
    return result;
}

FileResult ImportBookmarkFile(Book& book, const QString& path)
{
    // A file the user chose: any folder, but only a regular file of
    // reasonable size (a device or a FIFO would never end).
    QByteArray content;
    const FileResult read = readStoredFile(path, {}, kMaxImportFileBytes, content);
    if (!read.ok)
        return read;
    const DocNode document = ParseHtmlFile(content, QUrl::fromLocalFile(path));
    return ImportBookmarkDocument(book, DocumentBody(document));
}

} // namespace orv
