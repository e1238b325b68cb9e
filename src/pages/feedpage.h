#pragma once

// The page that shows a news feed: RSS 2.0 (root "rss"), RSS 1.0 (root
// "rdf:RDF") and Atom (root "feed") documents rendered into one HTML page
// with a header box (channel title and image) and one collapsible box per
// item. Plain code: no window, no network, no web engine.
//
// What the window layer does to use it:
// - Load the window's feed address with the network access manager,
//   asynchronously, while the tab shows the feed animation (timTimer2, 55 ms)
//   and the pointer is the busy one. Stop reading once more than
//   kMaxFeedBytes have arrived, give up when nothing arrives for
//   kFeedTimeoutMs and in any case after kFeedLoadLimitMs; all of them, and
//   any network failure, end with RenderFeedError(reason, address, 0).
// - Otherwise hand the received bytes as they are (no decoding: the XML
//   declaration names the encoding) to RenderFeed(bytes, address).
// - Load `html` (UTF-8) through the program's own URL scheme, never with a
//   file: or web base URL.
// - SetsCaption(): the window caption becomes `caption` and SetTapTitle runs
//   with it; for LoadError and MissingElement the caption becomes empty and
//   the tab stays.
// - Afterwards the pointer returns to normal, timTimer2 stops and the tab
//   icon is updated.
// - The item links open in windows named "frm" + n: they reach the window's
//   new-window handling.

#include <QByteArray>
#include <QString>

namespace orv {

enum class FeedOutcome {
    Page,           // a known feed type, rendered
    UnknownType,    // a well-formed document with another root element
    MissingElement, // a required element is missing: no items, the error
                    // appendix names the element and the item
    LoadError,      // the feed could not be loaded or parsed: the error appendix
};

struct FeedPage {
    FeedOutcome outcome = FeedOutcome::LoadError;
    // "RSS", "RDF" or "ATOM" once the root was recognised (MissingElement
    // included);
    // empty otherwise.
    QString type;
    // The feed title as read; empty when none was read.
    QString title;
    // The window caption: title + " [" + type + "]" for a page, a single
    // blank for an unknown type, empty for MissingElement and LoadError.
    QString caption;
    // The whole page as UTF-8.
    QByteArray html;
    // Number of item boxes on the page.
    int itemCount = 0;
    // LoadError and MissingElement: the reason and the line (1 = first
    // line; 0 when no line was read).
    QString errorReason;
    qint64 errorLine = 0;

    // Whether the window takes `caption` (and updates its tab).
    bool SetsCaption() const
    {
        return outcome == FeedOutcome::Page || outcome == FeedOutcome::UnknownType;
    }
};

// Feeds larger than this end with the error appendix.
inline constexpr qint64 kMaxFeedBytes = 50LL * 1024 * 1024;
// A feed load during which nothing arrives for this time ends with the error
// appendix.
inline constexpr int kFeedTimeoutMs = 60 * 1000;
// A feed load that has not ended after this time ends with the error
// appendix, however steadily its bytes trickle in.
inline constexpr int kFeedLoadLimitMs = 3 * 60 * 1000;

// The reason the error appendix gives for a feed larger than kMaxFeedBytes.
QString FeedTooLargeReason();

// Renders a feed document given as its raw bytes; sourceUrl is the address
// it came from (shown in the error appendix).
FeedPage RenderFeed(const QByteArray& xml, const QString& sourceUrl);

// The page of a feed that could not be loaded: empty body and the error
// appendix with reason, source address and line.
FeedPage RenderFeedError(const QString& reason, const QString& sourceUrl, qint64 line);

} // namespace orv
