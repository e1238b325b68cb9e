#include "pages/searchforms.h"

#include "app/markupescape.h"
#include "tools/uniqsortstrcollection.h"

#include <QRegularExpression>

#include <algorithm>

namespace orv {

namespace {

// The one-form page runs no script of its own and sends its form only to
// the web.
constexpr char kSearchPagePolicy[] =
    "script-src 'none'; object-src 'none'; base-uri 'none'; form-action http: https:";

bool isHeader(const QString& tag)
{
    return tag.size() == 2 && tag.at(0) == QLatin1Char('H') && tag.at(1) >= QLatin1Char('1') &&
           tag.at(1) <= QLatin1Char('6');
}

} // namespace

QList<SearchForm> ReadSearchForms(const DocSnapshot& document)
{
    QList<SearchForm> forms;
    if (!document.valid)
        return forms;
    for (const DocNode* node : document.elements()) {
        if (!isHeader(node->nodeName))
            continue;
        SearchForm form;
        form.name = node->innerText.trimmed();
        const qsizetype lt = form.name.indexOf(QLatin1Char('<'));
        if (lt >= 0)
            form.name = form.name.mid(lt);
        form.group = node->attribute(u"id").trimmed();
        form.number = int(forms.size()) + 1;
        forms.append(form);
    }
    return forms;
}

QStringList SearchGroups(const QList<SearchForm>& forms)
{
    UniqSortStrCollection groups;
    for (const SearchForm& form : forms)
        groups.Add(form.group);
    return groups.SortedStrCollection();
}

QList<SearchForm> FilterSearchForms(const QList<SearchForm>& forms, const QString& group)
{
    QList<SearchForm> shown;
    for (const SearchForm& form : forms)
        if (group.isEmpty() || form.group == group)
            shown.append(form);
    return shown;
}

namespace {

// The markup of a form as the engine serialises it: every attribute value
// in double quotes, text escaped except inside the raw-text elements.
struct MarkupAttribute {
    QString name;  // lower case
    QString value; // as written (still escaped)
    bool hasValue = false;
};

struct MarkupTag {
    QString name; // lower case
    bool end = false;
    QList<MarkupAttribute> attributes;
    qsizetype next = 0; // the position behind the tag
};

bool isNameChar(QChar c)
{
    return !c.isSpace() && c != QLatin1Char('>') && c != QLatin1Char('/') && c != QLatin1Char('=');
}

// Reads the tag that begins at `at` (a "<" followed by a letter or "/").
MarkupTag readTag(const QString& markup, qsizetype at)
{
    MarkupTag tag;
    qsizetype i = at + 1;
    if (i < markup.size() && markup.at(i) == QLatin1Char('/')) {
        tag.end = true;
        ++i;
    }
    const qsizetype nameStart = i;
    while (i < markup.size() && isNameChar(markup.at(i)))
        ++i;
    tag.name = markup.mid(nameStart, i - nameStart).toLower();
    while (i < markup.size() && markup.at(i) != QLatin1Char('>')) {
        if (markup.at(i).isSpace() || markup.at(i) == QLatin1Char('/')) {
            ++i;
            continue;
        }
        MarkupAttribute attribute;
        const qsizetype attributeStart = i;
        while (i < markup.size() && isNameChar(markup.at(i)))
            ++i;
        if (i == attributeStart) {
            ++i; // a stray "=": skipped
            continue;
        }
        attribute.name = markup.mid(attributeStart, i - attributeStart).toLower();
        if (i < markup.size() && markup.at(i) == QLatin1Char('=')) {
            attribute.hasValue = true;
            ++i;
            if (i < markup.size() && markup.at(i) == QLatin1Char('"')) {
                const qsizetype close = markup.indexOf(QLatin1Char('"'), i + 1);
                const qsizetype stop = close < 0 ? markup.size() : close;
                attribute.value = markup.mid(i + 1, stop - i - 1);
                i = stop + 1;
            } else {
                const qsizetype valueStart = i;
                while (i < markup.size() && !markup.at(i).isSpace() &&
                       markup.at(i) != QLatin1Char('>'))
                    ++i;
                attribute.value = markup.mid(valueStart, i - valueStart);
            }
        }
        tag.attributes.append(attribute);
    }
    tag.next = std::min(i + 1, markup.size());
    return tag;
}

QString unescapeAttribute(const QString& value)
{
    // Numbered characters ("&#9;", "&#x09"), then the named ones the
    // engine writes.
    static const QRegularExpression numbered(QStringLiteral("&#(x[0-9a-f]+|[0-9]+);?"),
                                             QRegularExpression::CaseInsensitiveOption);
    QString text;
    qsizetype from = 0;
    for (auto it = numbered.globalMatch(value); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const QString digits = match.captured(1);
        bool ok = false;
        const uint code = digits.startsWith(QLatin1Char('x'), Qt::CaseInsensitive)
                              ? digits.mid(1).toUInt(&ok, 16)
                              : digits.toUInt(&ok, 10);
        text += QStringView(value).mid(from, match.capturedStart() - from);
        const char32_t character = ok && code <= 0x10FFFF ? char32_t(code) : U'\uFFFD';
        text += QString::fromUcs4(&character, 1);
        from = match.capturedEnd();
    }
    text += QStringView(value).mid(from);
    text.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    text.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    text.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    text.replace(QStringLiteral("&nbsp;"), QStringLiteral(" "));
    text.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return text;
}

// Elements whose raw text is left out with them.
bool isDroppedRawText(const QString& name)
{
    static const QStringList names = {QStringLiteral("script"), QStringLiteral("iframe"),
                                      QStringLiteral("noembed"), QStringLiteral("noframes")};
    return names.contains(name);
}

// Elements whose raw text stays (it shows or styles, it never runs).
bool isKeptRawText(const QString& name)
{
    return name == QLatin1String("style") || name == QLatin1String("xmp");
}

// Elements left out (their content stays and is read like the rest).
bool isDroppedElement(const QString& name)
{
    static const QStringList names = {QStringLiteral("object"),   QStringLiteral("embed"),
                                      QStringLiteral("applet"),   QStringLiteral("frame"),
                                      QStringLiteral("frameset"), QStringLiteral("meta"),
                                      QStringLiteral("base"),     QStringLiteral("link"),
                                      QStringLiteral("portal"),   QStringLiteral("plaintext")};
    return names.contains(name);
}

// Attributes that run script or send the form elsewhere.
bool isDroppedAttribute(const MarkupAttribute& attribute, bool form)
{
    static const QStringList names = {QStringLiteral("formaction"), QStringLiteral("formtarget"),
                                      QStringLiteral("srcdoc")};
    if (attribute.name.startsWith(QLatin1String("on")) || names.contains(attribute.name))
        return true;
    if (form &&
        (attribute.name == QLatin1String("action") || attribute.name == QLatin1String("target")))
        return true;
    // A script address, however it is spelt.
    QString value;
    for (const QChar c : unescapeAttribute(attribute.value))
        if (c > QLatin1Char(' '))
            value += c.toLower();
    for (const char* scheme : {"javascript:", "vbscript:", "data:"})
        if (value.startsWith(QLatin1String(scheme)))
            return true;
    return false;
}

QString replacePlaceholders(const QString& text, const QString& term, bool attribute)
{
    const QString placeholder = SearchPlaceholder();
    if (!text.contains(placeholder))
        return text;
    QString replaced = text;
    return replaced.replace(placeholder,
                            attribute ? EscapeAttribute(term, AttributeQuote::Double)
                                      : QLatin1Char('"') + EscapeText(term) + QLatin1Char('"'));
}

// Where the raw text of element `name` that begins at `at` ends: at its end
// tag, or at the end of the markup.
qsizetype rawTextEnd(const QString& markup, qsizetype at, const QString& name)
{
    const QString close = QStringLiteral("</") + name;
    const qsizetype end = markup.indexOf(close, at, Qt::CaseInsensitive);
    return end < 0 ? markup.size() : end;
}

bool startsTag(const QString& markup, qsizetype at)
{
    if (at + 1 >= markup.size() || markup.at(at) != QLatin1Char('<'))
        return false;
    const QChar next = markup.at(at + 1);
    return next.isLetter() || next == QLatin1Char('/');
}

} // namespace

QUrl SearchFormTarget(const QString& formHtml, const QUrl& fileUrl)
{
    for (qsizetype at = formHtml.indexOf(QLatin1Char('<')); at >= 0;
         at = formHtml.indexOf(QLatin1Char('<'), at + 1)) {
        if (!startsTag(formHtml, at))
            continue;
        const MarkupTag tag = readTag(formHtml, at);
        if (tag.end || tag.name != QLatin1String("form"))
            continue;
        QString action;
        for (const MarkupAttribute& attribute : tag.attributes)
            if (attribute.name == QLatin1String("action")) {
                action = unescapeAttribute(attribute.value).trimmed();
                break;
            }
        const QUrl target = fileUrl.resolved(QUrl(action));
        const QString scheme = target.scheme();
        if (target.isValid() && !target.host().isEmpty() &&
            (scheme == QLatin1String("http") || scheme == QLatin1String("https")))
            return target;
        return {};
    }
    return {};
}

QString SearchFormPage(const QString& formHtml, const QString& term, const QUrl& target)
{
    QString body;
    body.reserve(formHtml.size() + term.size());
    bool formSeen = false;
    qsizetype i = 0;
    while (i < formHtml.size()) {
        const qsizetype lt = formHtml.indexOf(QLatin1Char('<'), i);
        const qsizetype textEnd = lt < 0 ? formHtml.size() : lt;
        body += replacePlaceholders(formHtml.mid(i, textEnd - i), term, false);
        i = textEnd;
        if (i >= formHtml.size())
            break;
        if (formHtml.mid(i, 4) == QLatin1String("<!--")) {
            // Comments are left out.
            const qsizetype close = formHtml.indexOf(QStringLiteral("-->"), i + 4);
            i = close < 0 ? formHtml.size() : close + 3;
            continue;
        }
        if (!startsTag(formHtml, i)) {
            body += QStringLiteral("&lt;");
            ++i;
            continue;
        }
        const MarkupTag tag = readTag(formHtml, i);
        i = tag.next;
        if (!tag.end && isDroppedRawText(tag.name)) {
            i = rawTextEnd(formHtml, i, tag.name);
            continue;
        }
        if (isDroppedRawText(tag.name) || isDroppedElement(tag.name) || tag.name.isEmpty())
            continue;
        const bool form = !tag.end && !formSeen && tag.name == QLatin1String("form");
        QString written = QLatin1Char('<') + (tag.end ? QStringLiteral("/") : QString()) + tag.name;
        if (form) {
            formSeen = true;
            written +=
                QStringLiteral(" action=\"") +
                EscapeAttribute(target.toString(QUrl::FullyEncoded), AttributeQuote::Double) +
                QLatin1Char('"');
        }
        if (!tag.end)
            for (const MarkupAttribute& attribute : tag.attributes) {
                if (isDroppedAttribute(attribute, tag.name == QLatin1String("form")))
                    continue;
                written += QLatin1Char(' ') + attribute.name;
                if (attribute.hasValue)
                    written += QStringLiteral("=\"") +
                               replacePlaceholders(attribute.value, term, true)
                                   .replace(QLatin1Char('"'), QStringLiteral("&quot;")) +
                               QLatin1Char('"');
            }
        body += written + QLatin1Char('>');
        if (!tag.end && isKeptRawText(tag.name)) {
            const qsizetype end = rawTextEnd(formHtml, i, tag.name);
            body += formHtml.mid(i, end - i);
            i = end;
        }
    }
    return QStringLiteral("<HTML><HEAD><meta http-equiv=\"Content-Security-Policy\" content=\"") +
           QString::fromLatin1(kSearchPagePolicy) +
           QStringLiteral("\"><title>3</title></HEAD><body>") + body +
           QStringLiteral("</body></HTML>");
}

bool IsHtmlAddress(const QString& address)
{
    const QString upper = address.toUpper();
    return upper.endsWith(QStringLiteral("HTML")) || upper.endsWith(QStringLiteral("HTM"));
}

} // namespace orv
