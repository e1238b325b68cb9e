#include "pages/structurepage.h"

#include "app/markupescape.h"
#include "app/texthelpers.h"
#include "app/textids.h"
#include "app/texts.h"

#include <QRegularExpression>
#include <QStringList>

#include <array>
#include <limits>
#include <vector>

namespace orv {

namespace {

constexpr int kTextUrlLabel = 1302;      // "URL: "
constexpr int kTextCrossDomain = 1137;   // "Cross-Domain Referenz"
constexpr int kTextAccessRefused = 1138; // "DOM-Zugriff verweigert !"

// Children sit this many em deeper than their parent.
constexpr int kIndentStep = 2;

const QString kHead1 =
    QStringLiteral("</TITLE><meta http-equiv='Content-Type' content='text/html; charset=utf-8'>");

const QString kScript = QStringLiteral(
    "<script language='JavaScript'>function togglediv(oDiv, oDest){if(oDest.style.display == "
    "'none'){oDiv.innerText = '-'; eval(\"oDest.style.display = 'inline'\")} else "
    "{oDiv.innerText = '+'; eval(\"oDest.style.display = 'none'\")} }"
    "function toggleValue(it){if (it.children.item(1).style.display == 'none') "
    "{it.children.item(0).style.display ='none'; it.children.item(1).style.display = "
    "'inline';} else {it.children.item(0).style.display = 'inline'; "
    "it.children.item(1).style.display = 'none';}}"
    "</script>");

// The five link rules every generated page of this kind starts its style with.
const std::array<QString, 5> kLinkRules = {
    QStringLiteral("body,td,font,.p,a{font-family: Verdana; color: #000000; FONT-SIZE: 8pt}"),
    QStringLiteral("a,a:link{color:#3183FF; FONT-WEIGHT: bold; FONT-SIZE: 8pt}"),
    QStringLiteral("a:visited{color:#3183FF; FONT-WEIGHT: bold; FONT-SIZE: 8pt}"),
    QStringLiteral("a:active{color:#3183FF; FONT-WEIGHT: bold; FONT-SIZE: 8pt}"),
    QStringLiteral("a:hover{color: black; FONT-WEIGHT: bold; FONT-SIZE: 8pt}")};

const QString kBodyRule = QStringLiteral(
    "body{background-color: #FFFFFF; scrollbar-DarkShadow-Color: #C1C1C1;scrollbar-Track-Color: "
    "#FFFFFF;scrollbar-Face-Color:#FFFFFF;"
    "scrollbar-Shadow-Color: #000000;scrollbar-Highlight-Color:#FFFFFF;scrollbar-3dLight-Color:"
    "#C1C1C1}");

const QString kStructRules = QStringLiteral(
    ".klam{color:blue;font-family: Verdana ;font-weight:bold}\r\n"
    ".pm{color:red;font-family: Courier ;font-weight:bold;text-decoration:none}"
    ".knoten{font-family: Courier; color:#990099; font-weight:normal; FONT-SIZE: 10pt}"
    ".tx{font-family: Verdana;font-weight:bold; color:#000000;}"
    ".val{font-family: Verdana;font-weight:bold; color:red;}"
    "//--></style>\r\n");

const QString kBlank = QStringLiteral("<span class=klam>&nbsp;</span>");
const QString kLt = QStringLiteral("<span class=klam>&lt;</span>");
const QString kGt = QStringLiteral("<span class=klam>&gt;</span>");

// An attribute the structure view shows after the tag name, in this order.
struct ShownAttribute {
    const char* attribute;
    const char* label;
    bool valueShown; // the value shows at first (else "*" until clicked)
};
constexpr std::array<ShownAttribute, 8> kShownAttributes = {{
    {"id", "ID", true},
    {"name", "NAME", true},
    {"title", "TITLE", true},
    {"rel", "REL", false},
    {"href", "HREF", false},
    {"src", "SRC", false},
    {"type", "TYPE", false},
    {"class", "CLASS", false},
}};

QString attributeTexts(const DocNode& element)
{
    QString texts;
    for (const ShownAttribute& shown : kShownAttributes) {
        // Pictures have no link; an inline frame shows no type.
        const QString attribute = QString::fromLatin1(shown.attribute);
        if (attribute == QLatin1String("href") && element.nodeName == QLatin1String("IMG"))
            continue;
        if (attribute == QLatin1String("type") && element.nodeName == QLatin1String("IFRAME"))
            continue;
        const QString value = element.attribute(attribute);
        if (value.trimmed().isEmpty())
            continue;
        texts += QLatin1String(" <span class=tx>") + QLatin1String(shown.label) +
                 "=</span><span style='cursor:hand' onclick='javascript: toggleValue(this);'>";
        texts += shown.valueShown ? QStringLiteral("<span class=val style='display:none'>*</span>"
                                                   "<span class=val style='display:inline'>")
                                  : QStringLiteral("<span class=val>*</span>"
                                                   "<span class=val style='display:none'>");
        texts += u'\'' + EscapeAttribute(value) + "'</span></span>";
    }
    return texts;
}

QString lineStart(int indent)
{
    return "<div class=knoten style='text-indent: " + QString::number(indent) + "em'>";
}

// Gives every element with children its section number, children first, and
// keeps them in element order (0 for an element without children).
void numberSections(const DocNode& element, StructureCounter& counter, std::vector<int>& sections)
{
    const size_t slot = sections.size();
    sections.push_back(0);
    for (const DocNode& child : element.children)
        numberSections(child, counter, sections);
    if (!element.children.empty())
        sections[slot] = counter.Next();
}

// Writes the element's lines in element order with the numbers taken before.
void writeElement(const DocNode& element, int indent, const std::vector<int>& sections,
                  size_t& position, QString& out)
{
    const int section = sections[position++];
    const QString start = lineStart(indent);
    const QString tag = EscapeAttribute(element.nodeName);
    if (element.children.empty()) {
        out += start + kBlank + kBlank + kBlank + kLt + tag + attributeTexts(element) + u'/' + kGt +
               "</div>" + genpage::CRLF;
        return;
    }
    const QString number = QString::number(section);
    out += start +
           "<span class=pm onmouseover=\"this.style.cursor='hand'\" onclick=\"javascript: "
           "togglediv(this, d" +
           number + ");\" >-</span>" + kBlank + kLt + tag + attributeTexts(element) + kGt +
           "</div>" + genpage::CRLF + "<div id='d" + number + "'>" + start;
    for (const DocNode& child : element.children)
        writeElement(child, indent + kIndentStep, sections, position, out);
    out += "</div>" + start + kBlank + kBlank + kBlank + kLt + u'/' + tag + kGt + "</div>" +
           genpage::CRLF + "</div>";
}

void renderInto(const DocNode& element, int indent, StructureCounter& counter, QString& out)
{
    std::vector<int> sections;
    numberSections(element, counter, sections);
    size_t position = 0;
    writeElement(element, indent, sections, position, out);
}

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

} // namespace

int StructureCounter::Next()
{
    m_value = m_value == std::numeric_limits<int>::max() ? 1 : m_value + 1;
    return m_value;
}

const QString& StructureViewRenderingRules()
{
    // A section is the block that follows its opening line; a typical one
    // holds four lines of 16 pixels.
    static const QString rules =
        QStringLiteral(".knoten + div[id]{content-visibility:auto;contain-intrinsic-size:auto 64px}"
                       ".knoten{overflow-wrap:anywhere}");
    return rules;
}

QString RenderElement(const DocNode& element, int indent, StructureCounter& counter)
{
    QString out;
    renderInto(element, indent, counter, out);
    return out;
}

QString CrossDomainStructPage(const QString& frameSrc, const QString& documentUrl)
{
    return genpage::NoticeHead(Txt(kTextCrossDomain)) +
           genpage::AddressRow(genpage::FrameAddress(frameSrc, documentUrl)) +
           "<tr><td colspan=2><B>" + Txt(kTextAccessRefused) + "</B></td></tr></table>" +
           genpage::CRLF + "</body></HTML>";
}

QString CreateHtmlStruct(const DocSnapshot& document, StructureCounter& counter, QString* error)
{
    if (!document.valid) {
        setError(error, document.error.isEmpty() ? QStringLiteral("no document") : document.error);
        return {};
    }
    const DocSnapshot* shown = &document;
    if (const FrameSnapshot* frame = document.activeFrame()) {
        if (frame->refused) {
            const DocNode* element = document.element(frame->elementIndex);
            QString src;
            if (element)
                src = element->src.isEmpty() ? element->attribute(QStringLiteral("src"))
                                             : element->src;
            return CrossDomainStructPage(src, document.url);
        }
        if (!frame->document || !frame->document->valid) {
            setError(error, frame->document && !frame->document->error.isEmpty()
                                ? frame->document->error
                                : QStringLiteral("the frame's document could not be read"));
            return {};
        }
        shown = frame->document.get();
    }

    const QString url = EscapeAttribute(shown->url);
    const QString rootTag = EscapeAttribute(shown->root.nodeName);
    const QString rootStart = lineStart(0);
    QString page = "<HTML><HEAD><TITLE>" + Txt(kTextDocStructure) + kHead1 + genpage::CRLF +
                   kScript + genpage::CRLF + "<style><!--" + genpage::CRLF;
    for (const QString& rule : kLinkRules)
        page += rule + genpage::CRLF;
    page += kBodyRule + kStructRules;
    page += "</HEAD><BODY>" + genpage::CRLF + "<b>URL: </b><a href=\"" + url + "\" target='_top'>" +
            url + "</a><br><br>" + genpage::CRLF + genpage::CRLF;
    page += rootStart +
            "<span class=pm onmouseover=\"this.style.cursor='hand'\" onclick=\"javascript: "
            "togglediv(this, d0);\" >-</span>" +
            kBlank + kLt + rootTag + kGt + "</div>" + genpage::CRLF + "<div id='d0'>";
    for (const DocNode& child : shown->root.children)
        renderInto(child, kIndentStep, counter, page);
    page += rootStart + "<span class=pm>&nbsp;</span>" + kBlank + kLt + u'/' + rootTag + kGt +
            "</div></div>" + genpage::CRLF + "</BODY></HTML>";
    return page;
}

ViewMenuItems ViewMenuEnabling(const DocSnapshot* document, bool busy, int feedCount)
{
    ViewMenuItems items;
    if (!document || busy || !document->valid || !document->htmlDocument)
        return items;
    items.htmlCode = items.textSize = items.zoom = items.pictureList = items.docStruct = true;
    items.newsFeeds = feedCount >= 1;

    static const QStringList emptyPages = {QStringLiteral("http:///"), QStringLiteral("about:"),
                                           QStringLiteral("about:blank")};
    if (emptyPages.contains(document->url, Qt::CaseInsensitive))
        items.pictureList = items.htmlCode = items.textSize = items.docStruct = false;

    const QString type = document->contentType.toUpper();
    if (type.contains(QLatin1String("PDF")) || type.contains(QLatin1String("ADOBE")))
        items.zoom = items.textSize = items.pictureList = items.docStruct = false;
    if (type.contains(QLatin1String("GIF")) || type.contains(QLatin1String("JPEG")) ||
        type.contains(QLatin1String("JPG")) || type.contains(QLatin1String("PNG")))
        items.textSize = false;
    if (type.contains(QLatin1String("PNG"))) {
        const DocNode* body = document->body();
        if (body && body->findFirst(QStringLiteral("EMBED")))
            items.zoom = false;
    }
    if (type.contains(QLatin1String("QUICKTIME")))
        items.zoom = items.textSize = false;
    return items;
}

namespace genpage {

namespace {
// The longest scheme RunsScript looks for, "javascript".
constexpr qsizetype kLongestScriptScheme = 10;
} // namespace

bool RunsScript(QStringView address)
{
    QString scheme;
    for (const QChar c : address) {
        if (c.unicode() <= 0x20)
            continue;
        if (c == u':')
            return scheme == QLatin1String("javascript") || scheme == QLatin1String("vbscript");
        scheme += c.toLower();
        if (scheme.size() > kLongestScriptScheme)
            return false;
    }
    return false;
}

QString FrameAddress(const QString& frameSrc, const QString& documentUrl)
{
    if (!GetServerStr(frameSrc).isEmpty())
        return frameSrc;
    return GetServerStr(documentUrl) + frameSrc;
}

QString NoticeHead(const QString& title, QStringView moreRules)
{
    QString head = "<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
                   "charset=iso-8859-1\"><title>" +
                   title + "</title>" + CRLF + "<style><!--" + CRLF;
    for (const QString& rule : kLinkRules)
        head += rule + CRLF;
    head += moreRules.toString() + "//--></style>" + CRLF + "</HEAD>" + CRLF + "<body>" + CRLF;
    return head;
}

const QString& BodyRule()
{
    return kBodyRule;
}

QString AddressRow(const QString& address)
{
    const QString escaped = EscapeAttribute(address);
    return "<p><table border=0><tr><td nowrap=true><B>" + Txt(kTextUrlLabel) +
           "</B></td><td nowrap=true align=left><a href='" + escaped + "'>" + escaped +
           "</a></td></tr>" + CRLF;
}

} // namespace genpage

QString SourceViewAddress(const DocSnapshot& document, const QString& locationUrl)
{
    QString address = locationUrl;
    const DocNode* active = document.activeElement();
    if (active && (active->nodeName == QLatin1String("FRAME") ||
                   active->nodeName == QLatin1String("IFRAME"))) {
        address = active->attribute(u"src");
        if (address.startsWith(QLatin1Char('/')))
            address = GetServerStr(locationUrl) + address;
    }
    if (address.isEmpty())
        return address;
    // An address of its own ("scheme://...", also the program's generated
    // pages) is used as it is.
    static const QRegularExpression absolute(QStringLiteral("^[a-z][a-z0-9+.-]*://"),
                                             QRegularExpression::CaseInsensitiveOption);
    if (absolute.match(address).hasMatch())
        return address;
    if (address.startsWith(QLatin1Char('/')))
        address.remove(0, 1);
    return locationUrl.left(locationUrl.lastIndexOf(QLatin1Char('/')) + 1) + address;
}

} // namespace orv
