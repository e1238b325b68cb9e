#include "bookmarks/export.h"

#include "app/markupescape.h"
#include "app/texts.h"

namespace orv {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Lines of a text export, each ended by CR LF.
class Lines {
public:
    void add(const QString& line)
    {
        m_text += line;
        m_text += kCrLf;
    }
    QByteArray cp1252() const { return toCp1252(m_text); }

private:
    QString m_text;
};

template <typename Fn> void forEachBookmark(const Thema& folder, Fn fn)
{
    if (const BookmarkList* list = folder.colBookmark())
        for (const Bookmark& bookmark : *list)
            fn(bookmark);
}

const char* const kGermanMonths[12] = {"Jan", "Feb", "Mrz", "Apr", "Mai", "Jun",
                                       "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};

// A bookmark title in the bookmark file: a feed keeps its marker as markup
// (the import reads it back from there), the rest is escaped.
QString netscapeTitle(const Bookmark& bookmark)
{
    if (bookmark.isFeed())
        return FeedMarker.toString() + EscapeText(bookmark.shownTitle());
    return EscapeText(bookmark.Titel);
}

// A description after "<DD>": each line break gets a "<BR>", except the
// break that ends the description.
QString netscapeDescription(const QString& info)
{
    QString text = EscapeText(info);
    text.replace(kCrLf, QStringLiteral("\r<BR>\r\n"));
    const QString tail = QStringLiteral("<BR>\r\n");
    if (text.endsWith(tail))
        text.chop(tail.size());
    return text;
}

} // namespace

ExportSource ExportSource::Archive(const Book& book)
{
    ExportSource source;
    source.m_archive = true;
    if (const ThemaList* list = book.colThema())
        for (const Thema& thema : *list)
            source.m_folders.push_back(&thema);
    return source;
}

ExportSource ExportSource::Folder(const Thema& folder)
{
    ExportSource source;
    source.m_archive = false;
    source.m_folders.push_back(&folder);
    return source;
}

QByteArray ExportText(const ExportSource& source)
{
    Lines lines;
    for (const Thema* folder : source.folders()) {
        lines.add(Txt(1056) + u' ' + folder->DirName());
        lines.add({});
        bool first = true;
        forEachBookmark(*folder, [&](const Bookmark& bookmark) {
            if (!first)
                lines.add({});
            first = false;
            lines.add(Txt(1301) + u' ' + bookmark.shownTitle());
            lines.add(Txt(1302) + u' ' + bookmark.URL);
            lines.add(Txt(1303) + u' ' + bookmark.Info);
        });
        lines.add({});
        lines.add({});
    }
    return lines.cp1252();
}

QByteArray ExportHtmlList(const ExportSource& source)
{
    Lines lines;
    lines.add(source.isArchive() ? QStringLiteral("<HTML><TITLE></TITLE><BODY>")
                                 : QStringLiteral("<HTML><BODY>"));
    for (const Thema* folder : source.folders()) {
        lines.add(QLatin1String("<H1>") + EscapeText(folder->DirName()) + QLatin1String("</H1>"));
        forEachBookmark(*folder, [&](const Bookmark& bookmark) {
            QString line =
                QLatin1String("<A HREF='") + EscapeAttribute(bookmark.URL, AttributeQuote::Single) +
                QLatin1String("'>") + EscapeText(bookmark.shownTitle()) + QLatin1String("</A><BR>");
            if (!bookmark.Info.isEmpty())
                line += EscapeText(bookmark.Info) + QLatin1String("<BR>");
            lines.add(line);
        });
    }
    lines.add(QStringLiteral("</BODY></HTML>"));
    return lines.cp1252();
}

QString NetscapeDateText(const QDateTime& now)
{
    const QDate date = now.date();
    return QString::number(date.day()) + QLatin1String(". ") +
           QLatin1String(kGermanMonths[date.month() - 1]) + u' ' +
           QString::number(date.year()).rightJustified(4, u'0');
}

QString NetscapeTimeText(const QDateTime& now)
{
    return now.time().toString(QStringLiteral("HH:mm:ss"));
}

qint64 NetscapeTimestamp(const QDateTime& now)
{
    // The local wall-clock time counted as if it were UTC.
    const QTime time = now.time();
    const QDateTime wall(now.date(), QTime(time.hour(), time.minute(), time.second()), Qt::UTC);
    return wall.toSecsSinceEpoch();
}

QByteArray ExportNetscape(const ExportSource& source, const QDateTime& now)
{
    const QString stamp = QString::number(NetscapeTimestamp(now));
    const QString dated = QLatin1String("\" ADD_DATE=\"") + stamp +
                          QLatin1String("\" LAST_VISIT=\"") + stamp +
                          QLatin1String("\" LAST_MODIFIED=\"") + stamp + QLatin1String("\">");
    Lines lines;
    lines.add(QStringLiteral("<!DOCTYPE NETSCAPE-Bookmark-file-1>"));
    lines.add(QStringLiteral("<!--This is an automatically generated file."
                             "It will be read and overwritten."
                             " Do Not Edit! -->"));
    lines.add(QStringLiteral("<Title>Bookmarks</Title>"));
    lines.add(QLatin1String("<H1>Bookmarks (") + NetscapeDateText(now) + QLatin1String(", ") +
              NetscapeTimeText(now) +
              (source.isArchive() ? QLatin1String(")</H1><DL>") : QLatin1String(")</H1>")));
    for (const Thema* folder : source.folders()) {
        lines.add(QLatin1String("<DT><H3 FOLDED ADD_DATE=\"") + stamp + QLatin1String("\">") +
                  EscapeText(folder->DirName()) + QLatin1String("</H3><DL><P>"));
        forEachBookmark(*folder, [&](const Bookmark& bookmark) {
            QString line = QLatin1String("<DT><A HREF=\"") +
                           EscapeAttribute(bookmark.URL, AttributeQuote::Double) + dated +
                           netscapeTitle(bookmark) + QLatin1String("</A>");
            if (!bookmark.Info.isEmpty())
                line += kCrLf + QLatin1String("<DD>") + netscapeDescription(bookmark.Info);
            lines.add(line);
        });
        lines.add(QStringLiteral("</DL><P>"));
    }
    if (source.isArchive())
        lines.add(QStringLiteral("</DL>"));
    return lines.cp1252();
}

QByteArray ExportBytes(ExportFormat format, const ExportSource& source, const QDateTime& now,
                       const RssChannel& channel)
{
    switch (format) {
    case ExportFormat::Text:
        return ExportText(source);
    case ExportFormat::HtmlList:
        return ExportHtmlList(source);
    case ExportFormat::Netscape:
        return ExportNetscape(source, now);
    case ExportFormat::Xml:
        return ExportXml(source);
    case ExportFormat::Rss:
        return ExportRss(source, channel, now);
    }
    return {};
}

FileResult WriteExportFile(const QString& path, QByteArrayView bytes)
{
    return writeFileAtomic(path, bytes);
}

} // namespace orv
