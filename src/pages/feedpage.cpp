#include "pages/feedpage.h"

#include "app/markupescape.h"
#include "app/texts.h"
#include "pages/structurepage.h"

#include <QHash>
#include <QStringDecoder>
#include <QStringView>
#include <QXmlStreamAttributes>
#include <QXmlStreamReader>

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace orv {
namespace {

using namespace Qt::Literals::StringLiterals;

constexpr int kTextUnknownType = 1060; // "Feed-Type unbekannt."
constexpr int kTextCannotShow = 1061;  // "Die XML Seite kann nicht angezeigt werden."
constexpr int kTextError = 1062;       // "Fehler:"
constexpr int kTextSource = 1063;      // "Quelle:"
constexpr int kTextLine = 1064;        // "Zeile:"

constexpr auto kCrLf = u"\r\n";

// The text a document may grow by through its own entities: a few
// expansions are common, but a small entity used many thousand times would
// turn kilobytes into gigabytes. Counted in characters, beyond the size of
// the document itself.
constexpr qsizetype kEntityGrowthAllowance = 1 << 20;
constexpr QStringView kEntityGrowthRefusal =
    u"Das Dokument wächst durch seine Entitäten auf ein Vielfaches seiner Größe an und wird "
    u"nicht weiter gelesen.";

// An entity reference "&name;" that is neither a character reference nor
// one of the five predefined entities, starting at `text[i]` == '&'; its
// length, or 0.
template <typename Text> qsizetype ownEntityReference(const Text& text, qsizetype i)
{
    constexpr qsizetype kLongestName = 256;
    const qsizetype end = std::min<qsizetype>(text.size(), i + kLongestName);
    qsizetype j = i + 1;
    while (j < end && text[j] != ';' && text[j] != '&' && text[j] != '<' && text[j] != ' ')
        ++j;
    if (j >= end || text[j] != ';' || j == i + 1 || text[i + 1] == '#')
        return 0;
    for (const char* predefined : {"amp", "lt", "gt", "quot", "apos"}) {
        const qsizetype n = qsizetype(std::strlen(predefined));
        bool same = j - i - 1 == n;
        for (qsizetype k = 0; same && k < n; ++k)
            same = text[i + 1 + k] == predefined[k];
        if (same)
            return 0;
    }
    return j - i + 1;
}

// The characters an entity expands to, its own entities expanded, at most
// `limit` (the most the reader expands one entity to).
qsizetype expandedSize(const QString& name, const QHash<QString, QString>& values,
                       QHash<QString, qsizetype>& known, qsizetype limit)
{
    if (const auto it = known.constFind(name); it != known.cend())
        return it.value();
    known.insert(name, limit); // a reference to itself counts as the most
    const QString value = values.value(name);
    qsizetype size = 0;
    for (qsizetype i = 0; i < value.size() && size < limit; ++i) {
        const qsizetype length = value[i] == u'&' ? ownEntityReference(value, i) : 0;
        if (length == 0) {
            ++size;
            continue;
        }
        const QString inner = value.mid(i + 1, length - 2);
        size += values.contains(inner) ? expandedSize(inner, values, known, limit) : length;
        i += length - 1;
    }
    size = std::min(size, limit);
    known.insert(name, size);
    return size;
}

// An upper bound of the characters the document's own entities add: every
// reference to an entity that is no character reference and not predefined
// counts as the largest expansion of a declared entity. References are
// counted in the bytes as they come (ASCII-compatible encodings), or in the
// decoded text of a UTF-16 document.
qsizetype entityGrowth(const QByteArray& xml, const QXmlStreamEntityDeclarations& declarations,
                       qsizetype limit)
{
    QHash<QString, QString> values;
    for (const QXmlStreamEntityDeclaration& declaration : declarations)
        values.insert(declaration.name().toString(), declaration.value().toString());
    QHash<QString, qsizetype> known;
    qsizetype largest = 0;
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        largest = std::max(largest, expandedSize(it.key(), values, known, limit));
    if (largest == 0)
        return 0;
    qsizetype references = 0;
    const auto count = [&](const auto& text) {
        for (qsizetype i = 0; i < text.size(); ++i)
            if (text[i] == '&' && ownEntityReference(text, i) > 0)
                ++references;
    };
    const bool utf16 = xml.size() >= 2 && (xml[0] == '\0' || xml[1] == '\0' ||
                                           (quint8(xml[0]) == 0xFF && quint8(xml[1]) == 0xFE) ||
                                           (quint8(xml[0]) == 0xFE && quint8(xml[1]) == 0xFF));
    if (utf16) {
        const bool bigEndian = xml[0] == '\0' || quint8(xml[0]) == 0xFE;
        QStringDecoder decoder(bigEndian ? QStringConverter::Utf16BE : QStringConverter::Utf16LE);
        const QString text = decoder.decode(xml);
        count(text);
    } else {
        count(xml);
    }
    return references * largest;
}

// The feed document as a tree of elements. Character data of the whole
// document is kept in one text in document order; an element's text is the
// slice between its start and end tag.
class FeedTree {
public:
    struct Element {
        QString name; // qualified name as written ("rdf:RDF")
        QXmlStreamAttributes attributes;
        qsizetype textBegin = 0;
        qsizetype textEnd = 0;
        int firstChild = -1;
        int lastChild = -1;
        int nextSibling = -1;
        qint64 line = 0; // where the start tag ends
    };

    // Parses the whole document; false with reason and line when it is not
    // well-formed (or has no root element).
    bool parse(const QByteArray& xml)
    {
        QXmlStreamReader reader(xml);
        std::vector<int> open;
        while (!reader.atEnd()) {
            switch (reader.readNext()) {
            case QXmlStreamReader::DTD:
                // The document type is read before any entity of it is
                // used: a document that would grow too much stops here.
                if (entityGrowth(xml, reader.entityDeclarations(), reader.entityExpansionLimit()) >
                    kEntityGrowthAllowance)
                    reader.raiseError(kEntityGrowthRefusal.toString());
                break;
            case QXmlStreamReader::StartElement: {
                const int index = int(m_elements.size());
                Element element;
                element.name = reader.qualifiedName().toString();
                element.attributes = reader.attributes();
                element.textBegin = m_text.size();
                element.line = reader.lineNumber();
                m_elements.push_back(std::move(element));
                if (!open.empty()) {
                    Element& parent = m_elements[size_t(open.back())];
                    if (parent.lastChild < 0)
                        parent.firstChild = index;
                    else
                        m_elements[size_t(parent.lastChild)].nextSibling = index;
                    parent.lastChild = index;
                }
                open.push_back(index);
                break;
            }
            case QXmlStreamReader::EndElement:
                if (!open.empty()) {
                    m_elements[size_t(open.back())].textEnd = m_text.size();
                    open.pop_back();
                }
                break;
            case QXmlStreamReader::Characters:
                if (!open.empty())
                    m_text.append(reader.text());
                break;
            default:
                break;
            }
        }
        if (reader.hasError()) {
            m_errorReason = reader.errorString();
            m_errorLine = reader.lineNumber();
            return false;
        }
        return !m_elements.empty();
    }

    const QString& errorReason() const { return m_errorReason; }
    qint64 errorLine() const { return m_errorLine; }

    static constexpr int root() { return 0; }
    const Element& at(int index) const { return m_elements[size_t(index)]; }

    // The first child element named `name`; -1 when there is none (or when
    // `parent` is -1).
    int child(int parent, QStringView name) const
    {
        if (parent < 0)
            return -1;
        for (int c = at(parent).firstChild; c >= 0; c = at(c).nextSibling) {
            if (at(c).name == name)
                return c;
        }
        return -1;
    }

    // Every child element named `name`, in document order.
    std::vector<int> children(int parent, QStringView name) const
    {
        std::vector<int> found;
        for (int c = at(parent).firstChild; c >= 0; c = at(c).nextSibling) {
            if (at(c).name == name)
                found.push_back(c);
        }
        return found;
    }

    // The text of the element and all its descendants, without the white
    // space around it.
    QString text(int index) const
    {
        const Element& e = at(index);
        QStringView slice = QStringView(m_text).mid(e.textBegin, e.textEnd - e.textBegin);
        const auto isBlank = [](QChar c) {
            return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
        };
        while (!slice.isEmpty() && isBlank(slice.front()))
            slice = slice.mid(1);
        while (!slice.isEmpty() && isBlank(slice.back()))
            slice.chop(1);
        return slice.toString();
    }

    // The text of the child `name`; nothing when there is no such child.
    std::optional<QString> childText(int parent, QStringView name) const
    {
        const int c = child(parent, name);
        if (c < 0)
            return std::nullopt;
        return text(c);
    }

    // The attribute with this qualified name; nothing when it is absent.
    std::optional<QString> attribute(int index, QStringView name) const
    {
        if (index < 0)
            return std::nullopt;
        for (const QXmlStreamAttribute& a : at(index).attributes) {
            if (a.qualifiedName() == name)
                return a.value().toString();
        }
        return std::nullopt;
    }

private:
    std::vector<Element> m_elements;
    QString m_text;
    QString m_errorReason;
    qint64 m_errorLine = 0;
};

struct FeedItem {
    QString title;
    QString link;
    QString description;
};

struct FeedContent {
    QString type;
    QString title;
    QString image;
    std::vector<FeedItem> items;
};

enum class ReadResult { Read, UnknownRoot, MissingElement };

// What a feed lacks: the reason the error appendix gives and the line of
// the element that lacks it.
struct Missing {
    QString reason;
    qint64 line = 0;
};

QString missingChild(int item, QStringView name)
{
    return item > 0 ? u"Dem Eintrag %1 fehlt das Element \u201E%2\u201C."_s.arg(item).arg(name)
                    : u"Dem Kanal fehlt das Element \u201E%1\u201C."_s.arg(name);
}

// Title, link and description of an RSS or RDF item (number `n`).
std::optional<FeedItem> readRssItem(const FeedTree& tree, int item, int n, Missing& missing)
{
    std::optional<QString> title = tree.childText(item, u"title");
    std::optional<QString> link = tree.childText(item, u"link");
    if (!title || !link) {
        missing = {missingChild(n, title ? u"link" : u"title"), tree.at(item).line};
        return std::nullopt;
    }
    return FeedItem{*title, *link, tree.childText(item, u"description").value_or(QString())};
}

std::optional<FeedItem> readAtomEntry(const FeedTree& tree, int entry, int n, Missing& missing)
{
    std::optional<QString> title = tree.childText(entry, u"title");
    const int linkElement = tree.child(entry, u"link");
    std::optional<QString> link = tree.attribute(linkElement, u"href");
    if (!title) {
        missing = {missingChild(n, u"title"), tree.at(entry).line};
        return std::nullopt;
    }
    if (!link) {
        missing = {linkElement < 0 ? missingChild(n, u"link")
                                   : u"Dem Element \u201Elink\u201C des Eintrags %1 fehlt das "
                                     u"Attribut \u201Ehref\u201C."_s.arg(n),
                   tree.at(linkElement < 0 ? entry : linkElement).line};
        return std::nullopt;
    }
    return FeedItem{*title, *link, tree.childText(entry, u"content").value_or(QString())};
}

ReadResult readFeed(const FeedTree& tree, FeedContent& feed, Missing& missing)
{
    const int root = FeedTree::root();
    const QString& rootName = tree.at(root).name;
    int itemParent = -1;
    QStringView itemName;
    std::optional<QString> title;
    int titleParent = root;
    if (rootName == u"rss" || rootName == u"rdf:RDF") {
        const bool rss = rootName == u"rss";
        feed.type = rss ? QStringLiteral("RSS") : QStringLiteral("RDF");
        const int channel = tree.child(root, u"channel");
        title = channel < 0 ? std::nullopt : tree.childText(channel, u"title");
        titleParent = channel;
        const int image = channel < 0 ? -1 : tree.child(channel, u"image");
        if (rss)
            feed.image = image < 0 ? QString() : tree.childText(image, u"url").value_or(QString());
        else
            feed.image = tree.attribute(image, u"rdf:resource").value_or(QString());
        itemParent = rss ? channel : root;
        itemName = u"item";
    } else if (rootName == u"feed") {
        feed.type = QStringLiteral("ATOM");
        title = tree.childText(root, u"title");
        itemParent = root;
        itemName = u"entry";
    } else {
        return ReadResult::UnknownRoot;
    }
    if (!title) {
        missing = titleParent < 0
                      ? Missing{u"Dem Dokument fehlt das Element \u201Echannel\u201C."_s,
                                tree.at(root).line}
                      : Missing{missingChild(0, u"title"), tree.at(titleParent).line};
        return ReadResult::MissingElement;
    }
    feed.title = *title;
    const bool atom = feed.type == u"ATOM";
    int n = 0;
    for (int item : tree.children(itemParent, itemName)) {
        ++n;
        std::optional<FeedItem> read =
            atom ? readAtomEntry(tree, item, n, missing) : readRssItem(tree, item, n, missing);
        if (!read)
            return ReadResult::MissingElement;
        feed.items.push_back(std::move(*read));
    }
    return ReadResult::Read;
}

// Everything of the page up to the body's content.
QString pageHead(const QString& title)
{
    QString page;
    page += u"<html>";
    page += kCrLf;
    page += u"<head><title>";
    page += EscapeAttribute(title);
    page += u"</title>";
    page += kCrLf;
    page += u"<meta http-equiv='Content-Type' content='text/html; charset=utf-8'><style><!--";
    page += kCrLf;
    page += u"body,b,td,font,p,a{font-family: Verdana,Arial,Helvetica,sans-serif,'MS sans serif'; "
            u"color: #000000; FONT-SIZE: 8pt}a,a:link{color:#3183FF; text-Decoration: none; "
            u"FONT-WEIGHT: bold; FONT-SIZE: 8pt}";
    page += kCrLf;
    page += u"a:visited{color:#3183FF; text-Decoration: none; FONT-WEIGHT: bold; FONT-SIZE: 8pt}";
    page += kCrLf;
    page += u"a:active{color:#3183FF; text-Decoration: none; FONT-WEIGHT: bold; FONT-SIZE: 8pt}";
    page += kCrLf;
    page += u"a:hover{color: black; text-Decoration: none; FONT-WEIGHT: bold; FONT-SIZE: 8pt}";
    page += kCrLf;
    page += u"body{font-family: Verdana,Arial,Helvetica,sans-serif,'MS sans serif'; "
            u"background-color: #FFFFFF}";
    page += kCrLf;
    // Headings h1 to h4 differ only in their size.
    const std::pair<QStringView, QStringView> headings[] = {
        {u"h1", u"11pt"}, {u"h2", u"9pt"}, {u"h3", u"10pt"}, {u"h4", u"8pt"}};
    for (const auto& [tag, size] : headings) {
        page += tag;
        page += u"{MARGIN-TOP: 0px; MARGIN-BOTTOM: 5px; font-family: "
                u"Verdana,Arial,Helvetica,sans-serif,'MS sans serif'; color: #000000; "
                u"FONT-WEIGHT: bold; FONT-SIZE: ";
        page += size;
        page += u'}';
        page += kCrLf;
    }
    page += u".toggle{TEXT-DECORATION: none; align: center;border-left-color: #C1C1C1; "
            u"border-top-color: #C1C1C1; border-style: solid; border-width: 1px; font-family: "
            u"'Courier New'; color: #000000; background-color:white; FONT-WEIGHT: bold; "
            u"FONT-SIZE: 12px}";
    page += kCrLf;
    page += u".itemborder{border-left-color: #C1C1C1; border-top-color: #C1C1C1; "
            u"width:318px;margin-height: 3px; background-color: white; border-bottom-color: "
            u"black; border-right-color: black; border-width: 1px; border-style: none}";
    page += kCrLf;
    page += u".hdborder{width:318px;border-width:1px;border-style:solid;border-left-color: "
            u"#C1C1C1; border-top-color: #C1C1C1;border-bottom-color: black; "
            u"border-right-color: black}";
    page += kCrLf;
    page += u".smallbr{margin-height: 3px}";
    page += kCrLf;
    page += u".dfont{font-size:9pt}body{margin-left: 10px;margin-right: 10px;margin-bottom: "
            u"16px;margin-top: 16px;background-color: #FFFFFF; scrollbar-DarkShadow-Color: "
            u"#C1C1C1;scrollbar-Track-Color: #FFFFFF;scrollbar-Face-Color:#FFFFFF;"
            u"scrollbar-Shadow-Color:#000000;scrollbar-Highlight-Color:#FFFFFF;"
            u"scrollbar-3dLight-Color:#C1C1C1}";
    page += u"//--></style>";
    page += kCrLf;
    page += u"<script language='JavaScript'>";
    page += kCrLf;
    page += u"function togglediv(oDiv, oDest, oT){if(oDiv.innerText == '-'){oDiv.innerText = "
            u"'+'; eval(\"oDest.style.display = 'none'\")} else {oDiv.innerText = '-'; "
            u"eval(\"oDest.style.display = 'inline'\")} }";
    page += u"</script></head><body>";
    return page;
}

const QString kPageEnd = u"</body></html>"_s;

constexpr auto kSpacer = u"<table style='visibility: none; border-style: none' border=1 "
                         u"cellspacing='2px' cellpadding='2px'><tr><td></td></tr></table>";

QString headerBox(const QString& title, const QString& image)
{
    QString box = u"<div class='hdborder'>"
                  u"<table border='0' width='318px' cellspacing='0px' "
                  u"cellpadding='5px'><tr><td><h1>"_s +
                  EscapeAngles(title) + u"</h1></td><td valign=top align=right>"_s;
    box += image.isEmpty() ? QStringLiteral("&nbsp;")
                           : u"<img src='"_s + EscapeAttribute(image) + u"'>"_s;
    box += u"</td></tr></table></div>";
    box += kSpacer;
    return box;
}

// The item's link as the href value: escaped, and blanked when it would run
// script.
QString linkTarget(const QString& link)
{
    // A "data:" link would run its script in the item's window as well.
    QStringView scheme = QStringView(link);
    while (!scheme.isEmpty() && scheme.front().unicode() <= 0x20)
        scheme = scheme.mid(1);
    if (genpage::RunsScript(link) || scheme.startsWith(u"data:", Qt::CaseInsensitive))
        return QStringLiteral("about:blank");
    return EscapeAttribute(link);
}

QString itemBox(int number, const FeedItem& item)
{
    const QString n = QString::number(number);
    QString box = u"<div class='itemborder'>"
                  u"<table border=0 width='318px' cellspacing='0px' "
                  u"cellpadding='5px'><tr><td align=left width='283px'><h3>"_s +
                  EscapeAngles(item.title) +
                  u"</h3></td><td align=center valign=top width='15px'>"
                  u"<div onmouseover=\"{this.style.cursor='hand'}\" "
                  u"onclick =\"javascript: togglediv(this, dr"_s +
                  n + u", 't"_s + n + u"');\" class='toggle'>-</div></td></tr><tr id='dr"_s + n +
                  u"'><td class='dfont' width='298' colspan=2>"_s;
    if (!item.description.isEmpty())
        box += EscapeAngles(item.description) + u' ';
    box += kCrLf;
    box += u"<a class='lnk' href=\""_s + linkTarget(item.link) + u"\" target=\"frm"_s + n +
           u"\">\u2022\u2022\u2022</a></td></tr></table></div>"_s;
    box += kSpacer;
    return box;
}

} // namespace

FeedPage RenderFeedError(const QString& reason, const QString& sourceUrl, qint64 line)
{
    FeedPage page;
    page.outcome = FeedOutcome::LoadError;
    page.errorReason = reason;
    page.errorLine = line;
    QString html = pageHead(QString());
    html += kPageEnd;
    html += u"<h1>"_s + Txt(kTextCannotShow) + u"</h1>"_s;
    html += u"<b>"_s + Txt(kTextError) + u"</b> "_s + EscapeAttribute(reason) + u"<br><br>"_s;
    html += u"<b>"_s + Txt(kTextSource) + u"</b> "_s + EscapeAttribute(sourceUrl) + u"<br><br>"_s;
    html += u"<b>"_s + Txt(kTextLine) + u"</b> "_s + QString::number(line) + kPageEnd;
    page.html = html.toUtf8();
    return page;
}

QString FeedTooLargeReason()
{
    constexpr qint64 kMegabyte = 1024 * 1024;
    return u"Der Feed ist größer als %1 MB und wird nicht geladen."_s.arg(kMaxFeedBytes /
                                                                          kMegabyte);
}

FeedPage RenderFeed(const QByteArray& xml, const QString& sourceUrl)
{
    if (xml.size() > kMaxFeedBytes) {
        return RenderFeedError(FeedTooLargeReason(), sourceUrl, 0);
    }
    FeedTree tree;
    if (!tree.parse(xml))
        return RenderFeedError(tree.errorReason(), sourceUrl, tree.errorLine());

    FeedPage page;
    FeedContent feed;
    Missing missing;
    switch (readFeed(tree, feed, missing)) {
    case ReadResult::UnknownRoot:
        page.outcome = FeedOutcome::UnknownType;
        page.caption = QStringLiteral(" ");
        page.html =
            (pageHead(QString()) + u"<p style='font-family: Verdana; FONT-SIZE: 8pt'><b>"_s +
             Txt(kTextUnknownType) + u"</b></p>"_s + kPageEnd)
                .toUtf8();
        return page;
    case ReadResult::MissingElement:
        // No item is shown; the appendix says what is missing where.
        page = RenderFeedError(missing.reason, sourceUrl, missing.line);
        page.outcome = FeedOutcome::MissingElement;
        page.type = feed.type;
        page.title = feed.title;
        return page;
    case ReadResult::Read:
        break;
    }
    page.outcome = FeedOutcome::Page;
    page.type = feed.type;
    page.title = feed.title;
    page.caption = feed.title + u" ["_s + feed.type + u']';
    page.itemCount = int(feed.items.size());
    QString html = pageHead(feed.title) + u"<center>"_s + headerBox(feed.title, feed.image);
    int number = 0;
    for (const FeedItem& item : feed.items)
        html += itemBox(++number, item);
    html += u"</center>";
    html += kPageEnd;
    page.html = html.toUtf8();
    return page;
}

} // namespace orv
