#pragma once

#include "app/docnode.h"
#include "bookmarks/htmldecode.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

namespace orv {

// A small tolerant HTML parser for bookmark files, used where no browser
// window parses the file (tests, the data tool). It builds the tree as a
// browser's HTML parser does for this markup: unclosed DT, DD, P and LI end
// where the next one starts, a DL opened after an H3 lies inside that DT,
// unknown elements such as the feed marker's FEED are ordinary elements
// (so "<A><FEED />Title</A>" gives A > FEED holding the text), void
// elements never hold children, and character references are decoded.

// Parses HTML text into a tree: the HTML element with its HEAD and BODY.
// Addresses in "href" attributes are resolved against baseUrl (a BASE
// element with an href in the head replaces it).
DocNode ParseHtmlDocument(const QString& html, const QUrl& baseUrl = {});

// DecodeHtmlBytes followed by ParseHtmlDocument.
DocNode ParseHtmlFile(const QByteArray& bytes, const QUrl& baseUrl = {});

// The BODY element of a tree from ParseHtmlDocument (never null: the
// document itself when it has no BODY child).
const DocNode& DocumentBody(const DocNode& document);

} // namespace orv
