#include "bookmarks/export.h"

#include "app/appinit.h"

#include <QXmlStreamWriter>

namespace orv {

namespace {

// The second and third comment of the XML and RSS files.
const QString kMakerNotice = QStringLiteral("Ein Programm des Orvane-Projekts");
const QString kMakerAddress = QStringLiteral("https://orvane.example.org/");

// Leaves out what XML 1.0 cannot hold: control characters other than tab,
// line feed and carriage return, unpaired surrogates, U+FFFE and U+FFFF.
QString xmlSafe(const QString& text)
{
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        const char16_t u = c.unicode();
        if (c.isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate()) {
            out += c;
            out += text[++i];
            continue;
        }
        if (c.isSurrogate() || u == 0xFFFE || u == 0xFFFF)
            continue;
        if (u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r')
            continue;
        out += c;
    }
    return out;
}

// The file as the XML library writes a document built node by node: the
// declaration and every node beside the root on a line of its own (CR LF),
// no blanks between elements, UTF-8 without a byte-order mark.
class XmlFile {
public:
    XmlFile() : m_writer(&m_data)
    {
        m_writer.writeProcessingInstruction(QStringLiteral("xml"),
                                            QStringLiteral("version=\"1.0\""));
        lineEnd();
        for (const QString& comment : {AppTitle(), kMakerNotice, kMakerAddress}) {
            m_writer.writeComment(xmlSafe(comment));
            lineEnd();
        }
    }

    void start(const QString& name) { m_writer.writeStartElement(name); }
    void attribute(const QString& name, const QString& value)
    {
        m_writer.writeAttribute(name, xmlSafe(value));
    }
    void end() { m_writer.writeEndElement(); }
    // An element holding text; with no text it is written empty ("<a/>").
    void text(const QString& name, const QString& value)
    {
        const QString safe = xmlSafe(value);
        if (safe.isEmpty())
            m_writer.writeEmptyElement(name);
        else
            m_writer.writeTextElement(name, safe);
    }
    void item(const Bookmark& bookmark)
    {
        start(QStringLiteral("item"));
        text(QStringLiteral("title"), bookmark.shownTitle());
        text(QStringLiteral("link"), bookmark.URL);
        text(QStringLiteral("description"), bookmark.Info);
        end();
    }

    QByteArray finish()
    {
        lineEnd();
        return m_data;
    }

private:
    void lineEnd() { m_writer.writeCharacters(QStringLiteral("\r\n")); }

    QByteArray m_data;
    QXmlStreamWriter m_writer;
};

void writeFolder(XmlFile& file, const Thema& folder)
{
    file.start(QStringLiteral("folder"));
    file.attribute(QStringLiteral("name"), folder.DirName());
    if (const BookmarkList* list = folder.colBookmark())
        for (const Bookmark& bookmark : *list)
            file.item(bookmark);
    file.end();
}

} // namespace

QByteArray ExportXml(const ExportSource& source)
{
    XmlFile file;
    if (source.isArchive()) {
        file.start(QStringLiteral("bookmarks"));
        for (const Thema* folder : source.folders())
            writeFolder(file, *folder);
        file.end();
    } else if (!source.folders().empty()) {
        writeFolder(file, *source.folders().front());
    }
    return file.finish();
}

QString RssLastBuildDate(const QDateTime& now)
{
    const QDate date = now.date();
    return QString::number(date.day()).rightJustified(2, u'0') + u' ' +
           QLatin1String(MonthNames[size_t(date.month() - 1)]) + QLatin1String("  ") +
           QString::number(date.year()) + u' ' + now.time().toString(QStringLiteral("HH:mm:ss")) +
           QLatin1String(" GMT");
}

QByteArray ExportRss(const ExportSource& source, const RssChannel& channel, const QDateTime& now)
{
    XmlFile file;
    file.start(QStringLiteral("rss"));
    file.attribute(QStringLiteral("version"), QStringLiteral("2.0"));
    file.start(QStringLiteral("channel"));
    file.text(QStringLiteral("title"), channel.title);
    file.text(QStringLiteral("link"), channel.link);
    file.text(QStringLiteral("description"), channel.description);
    file.text(QStringLiteral("lastBuildDate"), RssLastBuildDate(now));
    file.text(QStringLiteral("generator"), AppTitle());
    if (!channel.imageUrl.isEmpty()) {
        file.start(QStringLiteral("image"));
        file.text(QStringLiteral("url"), channel.imageUrl);
        file.text(QStringLiteral("title"), channel.imageTitle);
        file.text(QStringLiteral("link"), channel.imageLink);
        file.end();
    }
    for (const Thema* folder : source.folders())
        if (const BookmarkList* list = folder->colBookmark())
            for (const Bookmark& bookmark : *list)
                file.item(bookmark);
    file.end();
    file.end();
    return file.finish();
}

} // namespace orv
