#pragma once

// The picture list page, as plain code over a document snapshot
// (app/docsnapshot.h).
//
// What the window layer does with it: "&Bilderliste anzeigen..." takes the
// snapshot of the active window, creates the new window and publishes the
// text of CollectPicSrc through the generated-pages scheme
// (platform/generatedpages.h) into it; its caption is the page's title. The
// scheme must let the page show http and local pictures. An empty result
// with `error` set is a failure: a warning box titled "Fehlerbehandlung"
// shows error + " - CollectPicSrc()" through the dialog seam. The links of
// the lists open in windows named "newform<i>" and "newfrm<i>", which reach
// the browser window's new-window handling.

#include "app/docsnapshot.h"
#include "tools/uniqsortstrcollection.h"

#include <QString>

namespace orv {

// The picture entries of a document, each once (letter case ignored), in
// the order found and sorted: "<B>SRC</B> = \"" + source + "\"" for every IMG
// whose source is neither blank nor ends with "/", and
// "<B>BACKGROUND</B> = \"" + value + "\"" for every BODY, TABLE, TD and TH
// whose "background" attribute is not blank. None for a document that is
// not an HTML document.
UniqSortStrCollection CollectPictureEntries(const DocSnapshot& document);

// The address an entry's picture loads from. A source is absolute already.
// A background is made absolute: on a page that is no local file, a value
// without a scheme is put below `server`; on a local page (`protocol`
// "file:") an absolute path becomes its file address and anything else is
// put into the page's folder (from `pathname`). Empty for a text that is no
// entry.
QString PictureEntryAddress(const QString& entry, const QString& server, const QString& protocol,
                            const QString& pathname);

// The picture list page of a document, or of its focused frame's document.
// A focused frame of another origin gives the "Cross-Domain Referenz"
// variant. Returns an empty text, with `error` set when given, when the
// document or the focused frame's document could not be read.
QString CollectPicSrc(const DocSnapshot& source, QString* error = nullptr);

// The variant for a focused frame whose document may not be read. `frameSrc`
// is the frame element's address, `sourceUrl` the address of the document
// that holds the frame.
QString CrossDomainPicturePage(const QString& frameSrc, const QString& sourceUrl);

} // namespace orv
