#include "pages/picturelist.h"

#include "app/markupescape.h"
#include "app/texthelpers.h"
#include "app/textids.h"
#include "app/texts.h"
#include "pages/structurepage.h"

namespace orv {

namespace {

constexpr int kTextPictureCount = 1135;  // "Anzahl Bilder"
constexpr int kTextSortedList = 1136;    // "Sortierte URL-Liste"
constexpr int kTextCrossDomain = 1137;   // "Cross-Domain Referenz"
constexpr int kTextAccessRefused = 1138; // "DOM-Zugriff verweigert !"

const QString kSrcPrefix = QStringLiteral("<B>SRC</B> = \"");
const QString kBackgroundPrefix = QStringLiteral("<B>BACKGROUND</B> = \"");
const QString kEntryEnd = QStringLiteral("\"");
const QString kPictureRule = QStringLiteral("img{border-color:#3183FF}");

bool isBackgroundTag(const QString& tag)
{
    return tag == QLatin1String("BODY") || tag == QLatin1String("TABLE") ||
           tag == QLatin1String("TD") || tag == QLatin1String("TH");
}

// Where a listed address would run script (a picture "javascript:..."), the
// list links to an empty page instead; the entry still shows the address.
const QString kEmptyPage = QStringLiteral("about:blank");

// The address as an attribute value of a link or picture.
QString linkTo(const QString& address)
{
    return EscapeAttribute(genpage::RunsScript(address) ? kEmptyPage : address);
}

// The value of an entry as the page wrote it, and its prefix; an empty
// prefix for a text that is no entry.
struct EntryParts {
    QString prefix;
    QString value;
};

EntryParts splitEntry(const QString& entry)
{
    for (const QString& prefix : {kSrcPrefix, kBackgroundPrefix}) {
        if (entry.startsWith(prefix) && entry.endsWith(kEntryEnd) &&
            entry.size() >= prefix.size() + kEntryEnd.size())
            return {prefix, entry.mid(prefix.size(), entry.size() - prefix.size() - 1)};
    }
    return {};
}

// The entry as the numbered list shows it: its prefix stays markup, the
// value is shown as it stands.
QString shownEntry(const EntryParts& parts)
{
    return parts.prefix + EscapeAttribute(parts.value) + kEntryEnd;
}

// The address of a frame element: the resolved one, else as written.
QString frameSrc(const DocSnapshot& document, const FrameSnapshot& frame)
{
    const DocNode* element = document.element(frame.elementIndex);
    if (!element)
        return {};
    return element->src.isEmpty() ? element->attribute(QStringLiteral("src")) : element->src;
}

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

} // namespace

UniqSortStrCollection CollectPictureEntries(const DocSnapshot& document)
{
    UniqSortStrCollection entries;
    if (!document.htmlDocument)
        return entries;
    for (const DocNode* node : document.elements()) {
        if (isBackgroundTag(node->nodeName)) {
            const QString background = node->attribute(QStringLiteral("background"));
            if (!background.trimmed().isEmpty())
                entries.Add(kBackgroundPrefix + background + kEntryEnd);
        } else if (node->nodeName == QLatin1String("IMG")) {
            const QString written = node->attribute(QStringLiteral("src"));
            if (written.trimmed().isEmpty())
                continue;
            const QString src = node->src.isEmpty() ? written : node->src;
            const QString trimmed = src.trimmed();
            if (!trimmed.isEmpty() && !trimmed.endsWith(u'/'))
                entries.Add(kSrcPrefix + src + kEntryEnd);
        }
    }
    return entries;
}

QString PictureEntryAddress(const QString& entry, const QString& server, const QString& protocol,
                            const QString& pathname)
{
    const EntryParts parts = splitEntry(entry);
    if (parts.prefix.isEmpty())
        return {};
    if (parts.prefix == kSrcPrefix)
        return parts.value;

    QString value = parts.value.trimmed();
    if (protocol.compare(QLatin1String("file:"), Qt::CaseInsensitive) != 0) {
        if (!value.isEmpty() && GetServerStr(value).isEmpty())
            value = value.startsWith(u'/') ? server + value : server + u'/' + value;
        return value;
    }
    value.replace(u'\\', u'/');
    // A local path keeps its place; anything else lies in the page's folder.
    if (value.startsWith(u'/'))
        return QStringLiteral("file://") + value;
    if (value.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        value = value.mid(value.lastIndexOf(u'/') + 1);
    return QStringLiteral("file://") + GetPathStr(pathname) + value;
}

QString CrossDomainPicturePage(const QString& frameSrc, const QString& sourceUrl)
{
    return genpage::NoticeHead(Txt(kTextCrossDomain)) +
           genpage::AddressRow(genpage::FrameAddress(frameSrc, sourceUrl)) +
           "<tr><td nowrap=true><B>" + Txt(kTextCrossDomain) +
           ":</B></td><td nowrap=true align=left>" + EscapeAttribute(GetServerStr(sourceUrl)) +
           " -> " + EscapeAttribute(GetServerStr(frameSrc)) + "</td></tr><tr><td colspan=2><B>" +
           Txt(kTextAccessRefused) + "</B></td></tr></table>" + genpage::CRLF + "</body></HTML>";
}

QString CollectPicSrc(const DocSnapshot& source, QString* error)
{
    if (!source.valid) {
        setError(error, source.error.isEmpty() ? QStringLiteral("no document") : source.error);
        return {};
    }
    const DocSnapshot* document = &source;
    if (const FrameSnapshot* frame = source.activeFrame()) {
        if (frame->refused)
            return CrossDomainPicturePage(frameSrc(source, *frame), source.url);
        if (!frame->document || !frame->document->valid) {
            setError(error, frame->document && !frame->document->error.isEmpty()
                                ? frame->document->error
                                : QStringLiteral("the frame's document could not be read"));
            return {};
        }
        document = frame->document.get();
    }
    const QString& address = document->url;
    const QString server = GetServerStr(address);
    const QString& CRLF = genpage::CRLF;

    QString page = genpage::NoticeHead(Txt(kTextPictureList), genpage::BodyRule() + kPictureRule) +
                   genpage::AddressRow(address);
    const UniqSortStrCollection entries = CollectPictureEntries(*document);
    page += "<tr><td nowrap=true><B>" + Txt(kTextPictureCount) +
            ":</B></td><td nowrap=true align=left>" + QString::number(entries.Count()) +
            "</td></tr></table>" + CRLF;

    const auto addressOf = [&](const QString& entry) {
        return PictureEntryAddress(entry, server, document->protocol, document->pathname);
    };
    if (entries.Count() > 0) {
        page += "<table border=0>" + CRLF + "<tr><td align='top'><B>" + Txt(kTextPictureList) +
                ":</B></td></tr>" + CRLF + "<tr><td nowrap=true><ol type='1'>" + CRLF;
        int number = 0;
        for (const QString& entry : entries.StrCollection()) {
            ++number;
            const QString picture = addressOf(entry);
            if (picture.trimmed().isEmpty())
                continue;
            const QString link = linkTo(picture);
            page += "<li><a target='newform" + QString::number(number) + "' href='" + link +
                    "'><img align=absMiddle src='" + link + "'></a><br>" + CRLF +
                    shownEntry(splitEntry(entry)) + " <br><br>" + CRLF;
        }
        page += "</ol></td></tr>" + CRLF + "</table>";
    }

    page += "<table border=0><tr><td align='top'><B>" + Txt(kTextSortedList) + ":</B></td></tr>" +
            CRLF + "<tr><td nowrap=true><ul>";
    const QStringList sorted = entries.SortedStrCollection();
    for (int i = 0; i < sorted.size(); ++i) {
        const QString picture = addressOf(sorted.at(i));
        if (picture.trimmed().isEmpty())
            continue;
        const EntryParts parts = splitEntry(sorted.at(i));
        const QString& text = parts.prefix == kSrcPrefix ? picture : parts.value;
        page += "<li><a target='newfrm" + QString::number(i + 1) + "' href='" + linkTo(picture) +
                "'>" + EscapeAttribute(text) + "</a>" + CRLF;
    }
    page += "</ul></td></tr></table></body></HTML>";
    return page;
}

} // namespace orv
