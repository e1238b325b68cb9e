#pragma once

#include "app/docnode.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <memory>
#include <vector>

namespace orv {

struct DocSnapshot;

// A FRAME or IFRAME element of a document and what could be read of the
// document it shows.
struct FrameSnapshot {
    // Position of the frame element in the document's element order
    // (DocSnapshot::element).
    int elementIndex = -1;
    // Access to the frame's document was refused: it comes from another
    // origin (the "Cross-Domain Referenz" case).
    bool refused = false;
    // The frame's own document; null when refused, or when frames are
    // nested deeper than DocSnapshot::MaxFrameDepth.
    std::shared_ptr<const DocSnapshot> document;
};

// What the program reads of a loaded document, taken at one moment (see
// platform/docbridge.h): plain data, no ties to the engine.
//
// Elements: `root` is the document element (the HTML element of an HTML
// document; an image, a text or a PDF document has one as well). The element
// order numbers the root 0 and then every descendant in document order, so
// elements() is the document's `all` collection, and body()->all() the
// body's. Only elements are nodes; every node has its upper-case tag name,
// its attributes (names in lower case, values as written), the name of its
// first child node, the resolved address in `href` (A, AREA, LINK, BASE) and
// `src` (IMG, FRAME, IFRAME, SCRIPT, EMBED, INPUT, ...), and its rendered
// inner text when its tag is one of TextTags() (other elements leave it
// empty, so that big pages stay cheap; texts are cut at MaxTextLength).
struct DocSnapshot {
    // False when no document could be read (the page went away, the engine
    // failed); `error` then says why.
    bool valid = false;
    QString error;

    QString url;         // document.URL
    QString title;       // document.title
    QString contentType; // document.contentType: "text/html", "image/png", "application/pdf"
    // The engine's HTML document model, which also shows pictures, text
    // files and plug-in content (an XML document is none).
    bool htmlDocument = false;
    QString protocol; // location.protocol ("http:", "file:"); empty without a location
    QString pathname; // location.pathname

    DocNode root;
    // Element order index of the active element (document.activeElement):
    // the FRAME or IFRAME element while the focus is inside a frame; -1 when
    // there is none.
    int activeIndex = -1;
    // outerHTML of the document's forms (document.forms), in order.
    QStringList forms;
    // Every FRAME and IFRAME element of the document, in document order.
    std::vector<FrameSnapshot> frames;

    // The root and all its descendants, in element order.
    QList<const DocNode*> elements() const;
    int elementCount() const;
    // The element at `index` of the element order; nullptr when out of range.
    const DocNode* element(int index) const;
    // The BODY (or FRAMESET) element: the root's first child of that name.
    const DocNode* body() const;
    const DocNode* activeElement() const;
    // The frame whose element is at `elementIndex`; nullptr when none is.
    const FrameSnapshot* frameAt(int elementIndex) const;
    // The frame that holds the focus (the active element is its FRAME or
    // IFRAME element); nullptr otherwise.
    const FrameSnapshot* activeFrame() const;

    // The snapshot as JSON and back (the document bridge's format).
    // fromJson gives an invalid snapshot, with `error` set, for text that is
    // no such object; a node list out of order is cut at the first node that
    // does not fit.
    QJsonObject toJson() const;
    static DocSnapshot fromJson(const QJsonObject& object);
    static DocSnapshot fromJson(const QByteArray& json);

    // Tags whose inner text a snapshot keeps.
    static const QStringList& TextTags();
    static bool KeepsText(QStringView tag);

    static constexpr int MaxTextLength = 100000;
    // Frames inside frames are read this deep (the top document is depth 0).
    static constexpr int MaxFrameDepth = 8;
};

} // namespace orv
