#include "bookmarks/htmltree.h"

#include "app/docnode.h"
#include "bookmarks/htmldecode.h"

#include <QHash>

#include <algorithm>
#include <initializer_list>

namespace orv::htmltree {

namespace {

bool isAsciiAlpha(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
}

// Fills the rendered form of a text node.
void collapseText(Node& node)
{
    const QString& text = node.text;
    QString words;
    words.reserve(text.size());
    bool pendingSpace = false;
    for (const QChar c : text) {
        if (IsHtmlSpace(c)) {
            pendingSpace = true;
            continue;
        }
        if (pendingSpace && !words.isEmpty())
            words += u' ';
        pendingSpace = false;
        words += c;
    }
    node.spaceBefore = !text.isEmpty() && IsHtmlSpace(text.front());
    node.spaceAfter = !words.isEmpty() && IsHtmlSpace(text.back());
    node.words = words;
}

bool isOneOf(const QString& name, std::initializer_list<const char*> names)
{
    for (const char* candidate : names)
        if (name == QLatin1String(candidate))
            return true;
    return false;
}

// Elements whose content is raw text up to their end tag.
enum class RawKind { None, RawText, RcData, PlainText };

RawKind rawKind(const QString& name)
{
    if (isOneOf(name, {"SCRIPT", "STYLE", "XMP", "IFRAME", "NOEMBED", "NOFRAMES", "NOSCRIPT"}))
        return RawKind::RawText;
    if (isOneOf(name, {"TITLE", "TEXTAREA"}))
        return RawKind::RcData;
    if (name == QLatin1String("PLAINTEXT"))
        return RawKind::PlainText;
    return RawKind::None;
}

class TreeBuilder {
public:
    TreeBuilder(const QString& source, std::deque<Node>& store) : m_nodes(store)
    {
        // Input stream preprocessing: CR LF and lone CR become LF.
        m_src = source;
        m_src.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        m_src.replace(u'\r', u'\n');
        m_src.replace(QChar(0), QChar(0xFFFD));
        m_html = newNode(Node::Element, QStringLiteral("HTML"));
        m_head = newNode(Node::Element, QStringLiteral("HEAD"));
        m_body = newNode(Node::Element, QStringLiteral("BODY"));
        m_html->children = {m_head, m_body};
    }

    void run()
    {
        const qsizetype n = m_src.size();
        while (m_pos < n) {
            if (m_src[m_pos] != u'<') {
                qsizetype end = m_src.indexOf(u'<', m_pos);
                if (end < 0)
                    end = n;
                addText(DecodeHtmlReferences(QStringView(m_src).mid(m_pos, end - m_pos), false));
                m_pos = end;
                continue;
            }
            const QChar next = m_pos + 1 < n ? m_src[m_pos + 1] : QChar();
            if (isAsciiAlpha(next)) {
                readStartTag();
            } else if (next == u'/') {
                const QChar after = m_pos + 2 < n ? m_src[m_pos + 2] : QChar();
                if (isAsciiAlpha(after)) {
                    readEndTag();
                } else if (after == u'>') {
                    m_pos += 3;
                } else if (m_pos + 2 >= n) {
                    addText(QStringLiteral("</"));
                    m_pos = n;
                } else {
                    readBogusComment(m_pos + 2);
                }
            } else if (next == u'!') {
                if (QStringView(m_src).mid(m_pos, 4) == QLatin1String("<!--"))
                    readComment();
                else if (QStringView(m_src)
                             .mid(m_pos + 2, 7)
                             .compare(QLatin1String("DOCTYPE"), Qt::CaseInsensitive) == 0)
                    skipPast(u'>');
                else
                    readBogusComment(m_pos + 2);
            } else if (next == u'?') {
                readBogusComment(m_pos + 1);
            } else {
                addText(QStringLiteral("<"));
                ++m_pos;
            }
        }
    }

    Node* html() const { return m_html; }

    // Prepares the rendered form of every text node.
    void collapseTexts()
    {
        for (Node& node : m_nodes)
            if (node.kind == Node::Text)
                collapseText(node);
    }

private:
    Node* newNode(Node::Kind kind, const QString& name = {})
    {
        m_nodes.emplace_back();
        Node* node = &m_nodes.back();
        node->kind = kind;
        node->name = name;
        if (kind == Node::Element)
            node->flags = flagsOf(name);
        return node;
    }

    Node* current() const { return m_inBody ? m_stack.back() : m_head; }

    // --- tokenizer -------------------------------------------------------

    void skipPast(QChar c)
    {
        const qsizetype end = m_src.indexOf(c, m_pos);
        m_pos = end < 0 ? m_src.size() : end + 1;
    }

    void readComment()
    {
        const qsizetype start = m_pos + 4;
        qsizetype end = m_src.indexOf(QLatin1String("-->"), start);
        // "<!-->" and "<!--->" end at once.
        if (QStringView(m_src).mid(start, 1) == QLatin1String(">"))
            end = start - 2;
        else if (QStringView(m_src).mid(start, 2) == QLatin1String("->"))
            end = start - 1;
        if (end < 0) {
            addComment(m_src.mid(start));
            m_pos = m_src.size();
            return;
        }
        addComment(m_src.mid(start, std::max<qsizetype>(0, end - start)));
        m_pos = end + 3;
    }

    void readBogusComment(qsizetype textStart)
    {
        qsizetype end = m_src.indexOf(u'>', textStart);
        if (end < 0)
            end = m_src.size();
        addComment(m_src.mid(textStart, end - textStart));
        m_pos = std::min(end + 1, m_src.size());
    }

    QString readTagName()
    {
        const qsizetype start = m_pos;
        const qsizetype n = m_src.size();
        while (m_pos < n && !IsHtmlSpace(m_src[m_pos]) && m_src[m_pos] != u'/' &&
               m_src[m_pos] != u'>')
            ++m_pos;
        return m_src.mid(start, m_pos - start).toUpper();
    }

    void skipSpace()
    {
        while (m_pos < m_src.size() && IsHtmlSpace(m_src[m_pos]))
            ++m_pos;
    }

    void readStartTag()
    {
        ++m_pos;
        const QString name = readTagName();
        QList<std::pair<QString, QString>> attrs;
        const qsizetype n = m_src.size();
        for (;;) {
            skipSpace();
            if (m_pos >= n)
                return; // a tag cut off by the end of the file is dropped
            const QChar c = m_src[m_pos];
            if (c == u'>') {
                ++m_pos;
                break;
            }
            if (c == u'/') {
                ++m_pos;
                continue; // a self-closing flag means nothing on HTML elements
            }
            const qsizetype nameStart = m_pos;
            ++m_pos; // the first character may be "="
            while (m_pos < n && !IsHtmlSpace(m_src[m_pos]) && m_src[m_pos] != u'/' &&
                   m_src[m_pos] != u'>' && m_src[m_pos] != u'=')
                ++m_pos;
            const QString attrName = m_src.mid(nameStart, m_pos - nameStart).toLower();
            QString value;
            skipSpace();
            if (m_pos < n && m_src[m_pos] == u'=') {
                ++m_pos;
                skipSpace();
                if (m_pos >= n)
                    return;
                const QChar quote = m_src[m_pos];
                if (quote == u'"' || quote == u'\'') {
                    const qsizetype end = m_src.indexOf(quote, m_pos + 1);
                    if (end < 0)
                        return;
                    value = DecodeHtmlReferences(QStringView(m_src).mid(m_pos + 1, end - m_pos - 1),
                                                 true);
                    m_pos = end + 1;
                } else {
                    const qsizetype start = m_pos;
                    while (m_pos < n && !IsHtmlSpace(m_src[m_pos]) && m_src[m_pos] != u'>')
                        ++m_pos;
                    value =
                        DecodeHtmlReferences(QStringView(m_src).mid(start, m_pos - start), true);
                }
            }
            const bool known = std::any_of(attrs.begin(), attrs.end(),
                                           [&](const auto& a) { return a.first == attrName; });
            if (!known)
                attrs.append({attrName, value});
        }
        startTag(name, attrs);
    }

    void readEndTag()
    {
        m_pos += 2;
        const QString name = readTagName();
        const qsizetype end = m_src.indexOf(u'>', m_pos);
        if (end < 0) {
            m_pos = m_src.size();
            return;
        }
        m_pos = end + 1;
        endTag(name);
    }

    // The text of a raw-text element up to its end tag (which is consumed).
    QString readRawText(const QString& name, RawKind kind)
    {
        const qsizetype n = m_src.size();
        if (kind == RawKind::PlainText) {
            const QString rest = m_src.mid(m_pos);
            m_pos = n;
            return rest;
        }
        const QString closer = QLatin1String("</") + name;
        qsizetype from = m_pos;
        for (;;) {
            const qsizetype at = m_src.indexOf(closer, from, Qt::CaseInsensitive);
            if (at < 0) {
                const QString rest = m_src.mid(m_pos);
                m_pos = n;
                return kind == RawKind::RcData ? DecodeHtmlReferences(rest, false) : rest;
            }
            const qsizetype after = at + closer.size();
            if (after >= n || IsHtmlSpace(m_src[after]) || m_src[after] == u'/' ||
                m_src[after] == u'>') {
                const QString text = m_src.mid(m_pos, at - m_pos);
                const qsizetype close = m_src.indexOf(u'>', after);
                m_pos = close < 0 ? n : close + 1;
                return kind == RawKind::RcData ? DecodeHtmlReferences(text, false) : text;
            }
            from = after;
        }
    }

    // --- tree construction ----------------------------------------------

    void enterBody()
    {
        if (m_inBody)
            return;
        m_inBody = true;
        m_stack = {m_html, m_body};
    }

    void addText(const QString& text)
    {
        if (text.isEmpty())
            return;
        QString rest = text;
        if (!m_inBody) {
            // Blanks before the body content are not kept.
            qsizetype i = 0;
            while (i < rest.size() && IsHtmlSpace(rest[i]))
                ++i;
            if (i == rest.size())
                return;
            rest = rest.mid(i);
            enterBody();
        }
        appendText(current(), rest);
    }

    void appendText(Node* parent, const QString& text)
    {
        if (!parent->children.empty() && parent->children.back()->kind == Node::Text) {
            parent->children.back()->text += text;
            return;
        }
        Node* node = newNode(Node::Text);
        node->text = text;
        parent->children.push_back(node);
    }

    void addComment(const QString& text)
    {
        Node* node = newNode(Node::Comment);
        node->text = text;
        current()->children.push_back(node);
    }

    Node* insert(const QString& name, const QList<std::pair<QString, QString>>& attrs)
    {
        Node* node = newNode(Node::Element, name);
        node->attrs = attrs;
        current()->children.push_back(node);
        const RawKind raw = rawKind(name);
        if (raw != RawKind::None) {
            const QString text = readRawText(name, raw);
            if (!text.isEmpty())
                appendText(node, text);
            return node;
        }
        if (m_inBody && !(node->flags & Void) && int(m_stack.size()) < DocNode::MaxDepth)
            m_stack.push_back(node);
        return node;
    }

    // `extra`: flags of further elements that limit the scope.
    bool inScope(const QString& name, quint32 extra = 0) const
    {
        for (auto it = m_stack.rbegin(); it != m_stack.rend(); ++it) {
            if ((*it)->name == name)
                return true;
            if ((*it)->flags & (Boundary | extra))
                return false;
        }
        return false;
    }

    // Pops elements up to and including the topmost one named `name`.
    void popUntil(const QString& name)
    {
        while (m_stack.size() > 2) {
            const bool match = m_stack.back()->name == name;
            m_stack.pop_back();
            if (match)
                return;
        }
    }

    void closeParagraph()
    {
        if (inScope(QStringLiteral("P"), ButtonScope))
            popUntil(QStringLiteral("P"));
    }

    // An opening DT, DD or LI closes the open item of its list.
    void closeListItem(std::initializer_list<const char*> items)
    {
        for (auto it = m_stack.rbegin(); it != m_stack.rend(); ++it) {
            const QString node = (*it)->name;
            if (isOneOf(node, items)) {
                popUntil(node);
                return;
            }
            if (((*it)->flags & Special) && !((*it)->flags & ItemSearchGoesOn))
                return;
        }
    }

    void startTag(const QString& name, const QList<std::pair<QString, QString>>& attrs)
    {
        const quint32 flags = flagsOf(name);
        if (!m_inBody) {
            if (name == QLatin1String("HTML") || name == QLatin1String("HEAD"))
                return;
            if (name == QLatin1String("BODY")) {
                enterBody();
                return;
            }
            if (flags & HeadElement) {
                insert(name, attrs);
                return;
            }
            enterBody();
        }
        if (isOneOf(name, {"HTML", "BODY", "HEAD", "FRAMESET"}))
            return;
        if (name == QLatin1String("DT") || name == QLatin1String("DD")) {
            closeListItem({"DT", "DD"});
            closeParagraph();
        } else if (name == QLatin1String("LI")) {
            closeListItem({"LI"});
            closeParagraph();
        } else if (flags & Heading) {
            closeParagraph();
            if ((m_stack.back()->flags & Heading) && m_stack.size() > 2)
                m_stack.pop_back();
        } else if (flags & ClosesP) {
            closeParagraph();
        } else if (name == QLatin1String("A")) {
            // A new anchor ends one still open.
            for (auto it = m_stack.rbegin(); it != m_stack.rend(); ++it)
                if ((*it)->name == name) {
                    popUntil(name);
                    break;
                }
        } else if (name == QLatin1String("BUTTON") && inScope(name)) {
            popUntil(name);
        }
        insert(name == QLatin1String("IMAGE") ? QStringLiteral("IMG") : name, attrs);
    }

    void endTag(const QString& name)
    {
        const quint32 flags = flagsOf(name);
        if (!m_inBody) {
            if (name != QLatin1String("BR"))
                return;
            enterBody();
        }
        if (isOneOf(name, {"BODY", "HTML", "HEAD"}))
            return;
        if (name == QLatin1String("BR")) {
            insert(name, {});
            return;
        }
        if (name == QLatin1String("P")) {
            if (inScope(name, ButtonScope)) {
                popUntil(name);
            } else {
                // "</p>" without an open P makes an empty P.
                Node* node = newNode(Node::Element, name);
                current()->children.push_back(node);
            }
            return;
        }
        if (name == QLatin1String("LI")) {
            if (inScope(name, ListScope))
                popUntil(name);
            return;
        }
        if (flags & Heading) {
            for (auto it = m_stack.rbegin(); it != m_stack.rend(); ++it) {
                if ((*it)->flags & Heading) {
                    popUntil((*it)->name);
                    return;
                }
                if ((*it)->flags & Boundary)
                    return;
            }
            return;
        }
        if (flags & (Special | Formatting)) {
            if (inScope(name))
                popUntil(name);
            return;
        }
        // Any other end tag closes the nearest element of that name unless a
        // structural element stands in between.
        for (auto it = m_stack.rbegin(); it != m_stack.rend(); ++it) {
            if ((*it)->name == name) {
                popUntil(name);
                return;
            }
            if ((*it)->flags & Special)
                return;
        }
    }

    QString m_src;
    qsizetype m_pos = 0;
    std::deque<Node>& m_nodes;
    Node* m_html = nullptr;
    Node* m_head = nullptr;
    Node* m_body = nullptr;
    std::vector<Node*> m_stack;
    bool m_inBody = false;
};

} // namespace

quint32 flagsOf(const QString& name)
{
    static const QHash<QString, quint32> table = [] {
        QHash<QString, quint32> t;
        const auto mark = [&t](std::initializer_list<const char*> names, quint32 flag) {
            for (const char* n : names)
                t[QLatin1String(n)] |= flag;
        };
        mark({"ADDRESS",  "APPLET",     "AREA",     "ARTICLE",    "ASIDE",  "BASE",      "BASEFONT",
              "BGSOUND",  "BLOCKQUOTE", "BODY",     "BR",         "BUTTON", "CAPTION",   "CENTER",
              "COL",      "COLGROUP",   "DD",       "DETAILS",    "DIR",    "DIV",       "DL",
              "DT",       "EMBED",      "FIELDSET", "FIGCAPTION", "FIGURE", "FOOTER",    "FORM",
              "FRAME",    "FRAMESET",   "HEAD",     "HEADER",     "HGROUP", "HR",        "HTML",
              "IFRAME",   "IMG",        "INPUT",    "KEYGEN",     "LI",     "LINK",      "LISTING",
              "MAIN",     "MARQUEE",    "MENU",     "META",       "NAV",    "NOEMBED",   "NOFRAMES",
              "NOSCRIPT", "OBJECT",     "OL",       "P",          "PARAM",  "PLAINTEXT", "PRE",
              "SCRIPT",   "SECTION",    "SELECT",   "SOURCE",     "STYLE",  "SUMMARY",   "TABLE",
              "TBODY",    "TD",         "TEMPLATE", "TEXTAREA",   "TFOOT",  "TH",        "THEAD",
              "TITLE",    "TR",         "TRACK",    "UL",         "WBR",    "XMP",       "H1",
              "H2",       "H3",         "H4",       "H5",         "H6"},
             Special);
        mark({"APPLET", "CAPTION", "HTML", "TABLE", "TD", "TH", "MARQUEE", "OBJECT", "TEMPLATE"},
             Boundary);
        mark({"AREA", "BASE", "BASEFONT", "BGSOUND", "BR", "COL", "EMBED", "FRAME", "HR", "IMG",
              "IMAGE", "INPUT", "KEYGEN", "LINK", "META", "PARAM", "SOURCE", "TRACK", "WBR"},
             Void);
        mark({"ADDRESS", "ARTICLE", "ASIDE",    "BLOCKQUOTE", "CENTER",     "DETAILS", "DIALOG",
              "DIR",     "DIV",     "DL",       "FIELDSET",   "FIGCAPTION", "FIGURE",  "FOOTER",
              "HEADER",  "HGROUP",  "MAIN",     "MENU",       "NAV",        "OL",      "P",
              "SECTION", "SUMMARY", "UL",       "PRE",        "LISTING",    "FORM",    "TABLE",
              "HR",      "XMP",     "PLAINTEXT"},
             ClosesP);
        mark({"META", "TITLE", "LINK", "BASE", "STYLE", "SCRIPT", "NOSCRIPT", "BASEFONT", "BGSOUND",
              "TEMPLATE"},
             HeadElement);
        mark({"HEAD", "SCRIPT", "STYLE", "TITLE", "META", "LINK", "BASE", "TEMPLATE", "NOSCRIPT",
              "NOFRAMES", "NOEMBED", "IFRAME", "TEXTAREA", "SELECT"},
             Hidden);
        mark({"ADDRESS",    "ARTICLE",   "ASIDE",   "BLOCKQUOTE", "BODY",   "CENTER", "DD",
              "DETAILS",    "DIALOG",    "DIR",     "DIV",        "DL",     "DT",     "FIELDSET",
              "FIGCAPTION", "FIGURE",    "FOOTER",  "FORM",       "HEADER", "HGROUP", "HR",
              "HTML",       "LEGEND",    "LI",      "LISTING",    "MAIN",   "MENU",   "NAV",
              "OL",         "PRE",       "SECTION", "SUMMARY",    "TABLE",  "TR",     "UL",
              "XMP",        "PLAINTEXT", "H1",      "H2",         "H3",     "H4",     "H5",
              "H6"},
             Block);
        mark({"P"}, Paragraph);
        mark({"H1", "H2", "H3", "H4", "H5", "H6"}, Heading);
        mark({"A", "B", "BIG", "CODE", "EM", "FONT", "I", "NOBR", "S", "SMALL", "STRIKE", "STRONG",
              "TT", "U"},
             Formatting);
        mark({"ADDRESS", "DIV", "P"}, ItemSearchGoesOn);
        mark({"BUTTON"}, ButtonScope);
        mark({"OL", "UL"}, ListScope);
        return t;
    }();
    return table.value(name, 0);
}

Node* BuildTree(const QString& html, std::deque<Node>& store)
{
    TreeBuilder builder(html, store);
    builder.run();
    builder.collapseTexts();
    return builder.html();
}

} // namespace orv::htmltree
