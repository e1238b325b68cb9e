#pragma once

#include <QList>
#include <QString>

#include <deque>
#include <utility>
#include <vector>

namespace orv::htmltree {

// The node tree the fallback HTML parser builds before it is turned into a
// DocNode tree (see bookmarks/netscapeparser.h).

// What the parser needs to know of an element, by tag name.
enum ElementFlag : quint32 {
    Special = 1u << 0,  // ends the search for an open DT, DD or LI
    Boundary = 1u << 1, // limits "in scope"
    Void = 1u << 2,     // never holds children
    ClosesP = 1u << 3,  // its start tag closes an open P
    HeadElement = 1u << 4,
    Hidden = 1u << 5,    // not rendered: no part of innerText
    Block = 1u << 6,     // one line break before and after in innerText
    Paragraph = 1u << 7, // two line breaks before and after
    Heading = 1u << 8,
    Formatting = 1u << 9,
    ItemSearchGoesOn = 1u << 10, // special, yet the search for a list item passes it
    ButtonScope = 1u << 11,
    ListScope = 1u << 12,
};

// The flags of a tag name (upper case).
quint32 flagsOf(const QString& name);

struct Node {
    enum Kind { Element, Text, Comment };
    Kind kind = Element;
    QString name; // upper case
    quint32 flags = 0;
    QList<std::pair<QString, QString>> attrs;
    QString text;
    std::vector<Node*> children;
    // A text node's rendered form: its words joined by single blanks, and
    // whether blank space stood before and after them.
    QString words;
    bool spaceBefore = false;
    bool spaceAfter = false;
};

// Parses HTML text as browsers build the tree for bookmark files. The nodes
// live in `store`; returns the HTML element, whose children are HEAD and
// BODY. Text nodes come with their rendered form filled in.
Node* BuildTree(const QString& html, std::deque<Node>& store);

} // namespace orv::htmltree
