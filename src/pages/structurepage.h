#pragma once

// The document structure view and the view menu's enabling, as plain code
// over a document snapshot (app/docsnapshot.h).
//
// What the window layer does with it:
// - The main window owns one StructureCounter for the whole run and passes it
//   to every CreateHtmlStruct call, so that section numbers keep growing
//   across structure views.
// - "&Dokumentstruktur anzeigen...": take the snapshot of the active window,
//   create the new window, and publish the text of CreateHtmlStruct through
//   the generated-pages scheme (platform/generatedpages.h) into it; its
//   caption is the page's title. An empty result with `error` set is a
//   failure: a warning box titled "Fehlerbehandlung" shows
//   error + " - CreateHtmlStruct()" through the dialog seam. The page is
//   built in one pass, linear in the size of the document, so no event
//   processing is needed while it is built.
// - Opening the view menu: ViewMenuEnabling with the active window's
//   snapshot (or none), its busy flag and its feed count; the window layer
//   enables the six entries as the result says and rebuilds the feed entries
//   when `newsFeeds` is set.

#include "app/docsnapshot.h"

#include <QString>
#include <QStringView>

namespace orv {

// Numbers the collapsible sections of structure views. It starts at 0 and is
// never reset; each section an element opens takes the next number. The root
// element's section is always number 0 and takes none.
class StructureCounter {
public:
    // The number of the next section (the last one plus 1). After the largest
    // int the count starts again at 1 (0 stays the root's).
    int Next();
    // The number the last section took (0 before any).
    int Value() const { return m_value; }
    void SetValue(int value) { m_value = value; }

private:
    int m_value = 0;
};

// The structure page of a document: the element tree of its root (or of the
// focused frame's document) as indented, collapsible tags. A focused frame of
// another origin gives the "Cross-Domain Referenz" notice instead. Returns an
// empty text, with `error` set when given, when the document or the focused
// frame's document could not be read.
QString CreateHtmlStruct(const DocSnapshot& document, StructureCounter& counter,
                         QString* error = nullptr);

// Style rules the window adds to a shown structure view without changing
// its text: a section that is out of sight is laid out only when it comes
// near the visible part (until then it takes the room of a few lines), so a
// view of hundreds of thousands of lines loads in seconds. Its lines wrap
// long values, as a section does not draw past its own width.
const QString& StructureViewRenderingRules();

// The lines of one element and its descendants at `indent` em; children are
// indented 2 em more. Sections are numbered in post-order (children first).
QString RenderElement(const DocNode& element, int indent, StructureCounter& counter);

// The notice page for a focused frame whose document may not be read.
// `frameSrc` is the frame element's address, `documentUrl` the address of
// the document that holds the frame.
QString CrossDomainStructPage(const QString& frameSrc, const QString& documentUrl);

// Which view-menu entries are enabled.
struct ViewMenuItems {
    bool htmlCode = false;    // "&Quelle anzeigen..."
    bool textSize = false;    // "Schrift&größe"
    bool zoom = false;        // "&Zoom"
    bool pictureList = false; // "&Bilderliste anzeigen..."
    bool docStruct = false;   // "&Dokumentstruktur anzeigen..."
    bool newsFeeds = false;   // "&News Feeds" (its entries are to be rebuilt)

    bool operator==(const ViewMenuItems&) const = default;
};

// The view menu for the active window's document: `document` is null when
// no browser window is open; `busy` while the window loads; `feedCount` is
// the number of feeds the page offers.
ViewMenuItems ViewMenuEnabling(const DocSnapshot* document, bool busy, int feedCount);

// Pieces shared by the generated pages.
namespace genpage {

inline const QString CRLF = QStringLiteral("\r\n");

// Whether following an address would run script ("javascript:",
// "vbscript:"), read as the engine reads it: blanks and control characters
// dropped, letters in any case.
bool RunsScript(QStringView address);

// The address of a frame shown in a notice: its own address when that has a
// scheme and server (GetServerStr), else the server of the document that
// holds it followed by the address.
QString FrameAddress(const QString& frameSrc, const QString& documentUrl);

// "<HTML><HEAD>" with the character set, the title (as it is: program text)
// and the link style rules, then `moreRules`, up to and including "<body>".
QString NoticeHead(const QString& title, QStringView moreRules = {});

// The page colour and scroll bar rule of the structure view and the picture
// list.
const QString& BodyRule();

// The address row that opens the notices' and the picture list's table:
// "URL: " and the address as a link.
QString AddressRow(const QString& address);

} // namespace genpage

// The address the source view shows for a document at `locationUrl`: the
// focused frame's src when the active element is a frame (a src beginning
// with "/" gets the page's server in front), else the page's address; an
// address without "http://", "https://" or "file://" is taken relative to
// the page's folder. Empty when there is none.
QString SourceViewAddress(const DocSnapshot& document, const QString& locationUrl);

} // namespace orv
