#pragma once

#include "app/recordio.h"
#include "bookmarks/book.h"
#include "bookmarks/thema.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <vector>

namespace orv {

// Writing the bookmark archive out as a text list, an HTML list, a browser
// bookmark file, XML or an RSS 2.0 feed. Every export returns the file's
// bytes; `now` is the moment the export runs (the dated formats read it).

// What an export covers: the whole archive or one folder.
class ExportSource {
public:
    // Every folder of the book in list order (none while it has no list).
    static ExportSource Archive(const Book& book);
    // The one folder.
    static ExportSource Folder(const Thema& folder);

    bool isArchive() const { return m_archive; }
    const std::vector<const Thema*>& folders() const { return m_folders; }

private:
    bool m_archive = true;
    std::vector<const Thema*> m_folders;
};

enum class ExportFormat { Text, HtmlList, Netscape, Xml, Rss };

// The channel tags of an RSS export, as the channel dialog leaves them; the
// image fields are empty when no image block was asked for.
struct RssChannel {
    QString title;
    QString link;
    QString description;
    QString imageUrl;
    QString imageTitle;
    QString imageLink;
};

// The field of the channel dialog that failed its check.
enum class RssField { None, Title, Link, ImageUrl, ImageTitle, ImageLink };

struct RssCheck {
    RssField field = RssField::None;
    // 'Feld "<link>" ist ungültig oder leer.' and the like; empty when ok.
    QString message;
    bool ok() const { return field == RssField::None; }
};

// True when `text` begins (case-sensitively) with "mailto:", "http://",
// "https://", "news://" or "ftp://" and is longer than that prefix once
// surrounding blanks are stripped.
bool IsRssLink(const QString& text);

// Checks the channel dialog's fields in its order and stops at the first
// failure: title not empty, link a link, and with the image block the image
// address a link, the image title not empty, the image link a link. The
// description is not checked.
RssCheck CheckRssChannel(const RssChannel& channel, bool withImage);

// Text list in Windows-1252, CR LF line ends: per folder "Thema: " + name,
// an empty line, three lines per bookmark (blank line between bookmarks),
// two empty lines.
QByteArray ExportText(const ExportSource& source);

// Simple HTML list in Windows-1252: one H1 per folder, one line per
// bookmark. Names, titles and descriptions are escaped so that the page
// shows them as they stand.
QByteArray ExportHtmlList(const ExportSource& source);

// Browser bookmark file in Windows-1252 (the folders as H3/DL, every
// bookmark dated `now`). Feed titles keep their marker unescaped so that
// the import recognises them.
QByteArray ExportNetscape(const ExportSource& source, const QDateTime& now);

// XML in UTF-8: declaration, three comments, then "bookmarks" holding one
// "folder" per folder (folder export: the "folder" element is the root).
// Characters XML cannot hold (control characters) are left out.
QByteArray ExportXml(const ExportSource& source);

// RSS 2.0 in UTF-8: one channel with the given tags, then one item per
// bookmark of all folders in order.
QByteArray ExportRss(const ExportSource& source, const RssChannel& channel, const QDateTime& now);

// Any of the five formats (`channel` is read by the RSS format only).
QByteArray ExportBytes(ExportFormat format, const ExportSource& source, const QDateTime& now,
                       const RssChannel& channel = {});

// Replaces the file at `path` with the export's bytes, atomically.
FileResult WriteExportFile(const QString& path, QByteArrayView bytes);

// "05 Mar  2024 14:03:09 GMT": day, English month, two blanks, year, the
// local time of `now`, and " GMT" (the time is not converted).
QString RssLastBuildDate(const QDateTime& now);

// The date and time of the bookmark file's heading, "5. Mrz 2024" and
// "14:03:09" (German month abbreviations), and its ADD_DATE value: the
// seconds from 1 January 1970 to the local date and time of `now`.
QString NetscapeDateText(const QDateTime& now);
QString NetscapeTimeText(const QDateTime& now);
qint64 NetscapeTimestamp(const QDateTime& now);

} // namespace orv
