#pragma once

// What a bookmark file holds, read from its markup without any HTML parser:
// the folders in the order of their headings, each with the number of links
// inside its list (the lists of nested folders included).

#include "bookmarks/book.h"

#include <QByteArray>
#include <QList>
#include <QRegularExpression>
#include <QString>

#include <algorithm>

namespace orv {

struct MarkupFolder {
    qsizetype depth = 0; // list depth of the heading
    qsizetype links = 0;
};

inline QList<qsizetype> LinksPerFolderInMarkup(const QByteArray& bytes)
{
    QString text = QString::fromLatin1(bytes);
    text.remove(QRegularExpression(QStringLiteral("<!--.*?-->"),
                                   QRegularExpression::DotMatchesEverythingOption));
    static const QRegularExpression tag(QStringLiteral("<(/?)(dl|h3|a)[\\s>]"),
                                        QRegularExpression::CaseInsensitiveOption);
    QList<MarkupFolder> folders;
    QList<qsizetype> open; // folders whose list is open
    qsizetype named = -1;  // a heading whose list has not begun
    qsizetype depth = 0;
    for (auto it = tag.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const bool closing = !match.captured(1).isEmpty();
        const QString name = match.captured(2).toUpper();
        if (name == QLatin1String("DL") && closing) {
            depth = std::max<qsizetype>(0, depth - 1);
            while (!open.isEmpty() && folders[open.last()].depth >= depth)
                open.removeLast();
        } else if (name == QLatin1String("DL")) {
            ++depth;
            if (named >= 0 && folders[named].depth == depth - 1)
                open << named;
            named = -1;
        } else if (closing) {
            continue;
        } else if (name == QLatin1String("H3")) {
            named = folders.size();
            folders << MarkupFolder{depth, 0};
        } else {
            named = -1;
            for (const qsizetype index : open)
                ++folders[index].links;
        }
    }
    QList<qsizetype> links;
    for (const MarkupFolder& folder : folders)
        links << folder.links;
    return links;
}

// The same numbers for an imported archive (folder files loaded).
inline QList<qsizetype> LinksPerFolderInArchive(const Book& book)
{
    QList<qsizetype> links;
    if (const ThemaList* folders = book.colThema())
        for (const Thema& thema : *folders)
            links << thema.bookmarkCount();
    return links;
}

} // namespace orv
