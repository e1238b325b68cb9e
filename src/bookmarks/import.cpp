#include "bookmarks/import.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

namespace orv {

namespace {

// The address as the file wrote it (character references decoded, the
// blanks and line breaks a browser drops removed). Only an address without
// a scheme of its own is taken as the document resolved it against the
// file. A shell namespace address ("file:///::{...}") keeps its path with
// backslashes.
QString importedAddress(const DocNode& anchor)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.\\-]*:"));
    QString written = anchor.attribute(u"href");
    while (!written.isEmpty() && written.front() <= u' ')
        written.remove(0, 1);
    while (!written.isEmpty() && written.back() <= u' ')
        written.chop(1);
    written.remove(u'\t');
    written.remove(u'\n');
    written.remove(u'\r');
    if (!scheme.match(written).hasMatch())
        written = anchor.href;
    if (written.startsWith(QLatin1String("file:///::"), Qt::CaseInsensitive)) {
        QString path = written.mid(8);
        path.replace(u'/', u'\\');
        return path;
    }
    return written;
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
    bookmark.URL = importedAddress(anchor);
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

// The siblings after the folder element `siblings[at]` that still belong to
// the folder. A folder's list usually lies inside its element; a heading
// followed by a description ("<DT><H3>..</H3><DD>text<DL>") ends the
// element at the DD, and the list then lies inside that DD (or right after
// it when the DD was closed).
std::pair<qsizetype, qsizetype> folderTail(const std::vector<DocNode>& siblings, qsizetype at)
{
    const DocNode& element = siblings[size_t(at)];
    const qsizetype begin = at + 1;
    if (element.findFirst(u"DL"))
        return {begin, begin};
    qsizetype end = begin;
    while (end < qsizetype(siblings.size())) {
        const DocNode& next = siblings[size_t(end)];
        if (next.nodeName == QLatin1String("DL"))
            return {begin, end + 1};
        if (next.nodeName != QLatin1String("DD"))
            break;
        ++end;
        if (next.findFirst(u"DL"))
            break;
    }
    return {begin, end};
}

// Every element of a folder in document order: the descendants of its
// element, then the elements of its tail (each with its descendants).
QList<const DocNode*> folderElements(const std::vector<DocNode>& siblings, qsizetype at)
{
    QList<const DocNode*> elements = siblings[size_t(at)].all();
    const auto [begin, end] = folderTail(siblings, at);
    for (qsizetype k = begin; k < end; ++k) {
        elements.append(&siblings[size_t(k)]);
        elements.append(siblings[size_t(k)].all());
    }
    return elements;
}

Thema importedFolder(const std::vector<DocNode>& siblings, qsizetype at, int position,
                     qsizetype place)
{
    const DocNode& element = siblings[size_t(at)];
    Thema thema;
    thema.setDirName(headingOf(element).innerText);
    thema.setFileName(QString::number(position) + QLatin1String(".bkm"));
    thema.setNr(1);
    thema.setSequenz(qint32(std::min<qsizetype>(place, std::numeric_limits<qint32>::max())));

    BookmarkList bookmarks;
    qint16 highest = 0;
    const QList<const DocNode*> inner = folderElements(siblings, at);
    for (qsizetype j = 0; j < inner.size(); ++j) {
        if (inner[j]->nodeName != QLatin1String("A"))
            continue;
        Bookmark bookmark = importedBookmark(inner, j);
        highest = bookmark.Nr;
        bookmarks.append(std::move(bookmark));
    }
    thema.setColBookmark(std::move(bookmarks));
    thema.setItCounter(highest);
    return thema;
}

// Walks the children of one element in document order; `place` counts the
// elements below body visited so far.
void collectFolders(const DocNode& parent, ThemaList& folders, qsizetype& place)
{
    for (qsizetype c = 0; c < qsizetype(parent.children.size()); ++c) {
        const DocNode& child = parent.children[size_t(c)];
        ++place;
        if (startsFolder(child))
            folders.append(importedFolder(parent.children, c, int(folders.count()) + 1, place));
        collectFolders(child, folders, place);
    }
}

// The anchors in the tree of `node` (itself included); adds to `records`
// one record per anchor and folder it lies in.
qsizetype countAnchors(const DocNode& node, qsizetype& records)
{
    std::vector<qsizetype> below(node.children.size(), 0);
    qsizetype total = node.nodeName == QLatin1String("A") ? 1 : 0;
    for (size_t c = 0; c < node.children.size(); ++c) {
        below[c] = countAnchors(node.children[c], records);
        total += below[c];
    }
    for (qsizetype c = 0; c < qsizetype(node.children.size()); ++c) {
        const DocNode& child = node.children[size_t(c)];
        if (!startsFolder(child))
            continue;
        records += below[size_t(c)] - (child.nodeName == QLatin1String("A") ? 1 : 0);
        const auto [begin, end] = folderTail(node.children, c);
        for (qsizetype k = begin; k < end; ++k)
            records += below[size_t(k)];
    }
    return total;
}

// The folder files the archive in `book`'s folder names now: those of the
// stored index and those of the folder list in memory.
QStringList currentFolderFiles(const Book& book)
{
    QStringList names;
    if (QFile::exists(book.indexPath())) {
        Book stored(book.folder());
        if (stored.LoadAllThema())
            for (const Thema& thema : *stored.colThema())
                if (thema.hasSafeFileName())
                    names << thema.FileName();
    }
    if (const ThemaList* folders = book.colThema())
        for (const Thema& thema : *folders)
            if (thema.hasSafeFileName())
                names << thema.FileName();
    names.removeDuplicates();
    return names;
}

} // namespace

ThemaList BuildImportedFolders(const DocNode& body)
{
    ThemaList folders;
    qsizetype place = 0;
    collectFolders(body, folders, place);
    return folders;
}

qsizetype CountImportedBookmarks(const DocNode& body)
{
    qsizetype records = 0;
    countAnchors(body, records);
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
    const QStringList oldFiles = currentFolderFiles(book);
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
    // Once the new index is written, the folder files of the old archive
    // that it no longer names go.
    if (saved.ok) {
        QSet<QString> kept;
        for (const Thema& thema : *book.colThema())
            kept.insert(thema.FileName());
        for (const QString& name : oldFiles) {
            if (kept.contains(name))
                continue;
            const FileResult removed = removeFile(book.folder() + u'/' + name);
            if (!removed.ok && result.ok)
                result = removed;
        }
    }
    return result;
}

UnstorableTexts UnstorableNames(const ThemaList& folders)
{
    UnstorableTexts texts;
    for (const Thema& thema : folders) {
        texts.check(thema.DirName());
        if (const BookmarkList* bookmarks = thema.colBookmark())
            for (const Bookmark& bookmark : *bookmarks)
                texts.check(bookmark.Titel, bookmark.Info);
    }
    return texts;
}

} // namespace orv
