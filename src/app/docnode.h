#pragma once

#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringView>

#include <vector>

namespace orv {

// One element of a plain document tree: what the program reads of a loaded
// HTML document (filled from a snapshot of a page's document, see
// app/docsnapshot.h). Only elements are nodes; text shows in innerText and
// in firstChildName.
struct DocNode {
    // Tag name in upper case ("A", "H3", "FEED").
    QString nodeName;
    // The element's text as rendered: blanks collapsed, line breaks as "\n".
    QString innerText;
    // The resolved address of an element that has an "href" attribute (A,
    // AREA, LINK, BASE); empty otherwise.
    QString href;
    // The resolved address of an element that has a "src" attribute (IMG,
    // FRAME, IFRAME, SCRIPT, EMBED, INPUT type=image, ...); empty otherwise.
    QString src;
    // Attributes as written, names in lower case.
    QMap<QString, QString> attributes;
    // Name of the first child node: an element's upper-case tag name,
    // "#text" or "#comment"; empty when the element has no child node.
    QString firstChildName;
    // Child elements in document order.
    std::vector<DocNode> children;

    // Value of an attribute (name in any case); empty when absent.
    QString attribute(QStringView name) const;
    bool hasAttribute(QStringView name) const;

    // Every descendant element in document order, the element itself not
    // included (the DOM's `all` collection).
    QList<const DocNode*> all() const;
    // Number of descendant elements.
    qsizetype descendantCount() const;
    // The first element named `name` (upper case) in document order, the
    // element itself included; nullptr when there is none.
    const DocNode* findFirst(QStringView name) const;

    // The tree as JSON and back: {"name", "text", "href", "src", "attrs",
    // "first", "children"}. Absent keys read as empty; nesting deeper than
    // MaxDepth is cut off there.
    QJsonObject toJson() const;
    static DocNode fromJson(const QJsonObject& object);

    // Deepest nesting any producer of a tree keeps (as browsers' HTML
    // parsers do); deeper elements are not kept as descendants.
    static constexpr int MaxDepth = 512;
};

} // namespace orv
