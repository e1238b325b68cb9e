#include "bookmarks/netscapeparser.h"

#include "bookmarks/htmltree.h"

#include <algorithm>
#include <initializer_list>

namespace orv {

using namespace htmltree;

namespace {

bool isOneOf(const QString& name, std::initializer_list<const char*> names)
{
    for (const char* candidate : names)
        if (name == QLatin1String(candidate))
            return true;
    return false;
}

// ---------------------------------------------------------------------------
// Rendered text

// Line breaks a block element asks for before and after itself.
int blockBreaks(quint32 flags)
{
    return (flags & Paragraph) ? 2 : (flags & Block) ? 1 : 0;
}

class TextCollector {
public:
    // Blanks collapse into one; none is kept at the start or end of a line.
    void text(const Node& node)
    {
        if (node.spaceBefore)
            space();
        if (node.words.isEmpty())
            return;
        if (m_breaks > 0) {
            if (!m_out.isEmpty())
                m_out += QString(m_breaks, u'\n');
        } else if (m_space) {
            m_out += u' ';
        }
        m_breaks = 0;
        m_space = false;
        m_out += node.words;
        if (node.spaceAfter)
            m_space = true;
    }
    void block(int breaks)
    {
        m_breaks = std::max(m_breaks, breaks);
        m_space = false;
    }
    void lineBreak()
    {
        if (m_breaks > 0 && !m_out.isEmpty())
            m_out += QString(m_breaks, u'\n');
        m_breaks = 0;
        m_space = false;
        m_out += u'\n';
    }
    const QString& result() const { return m_out; }

private:
    void space()
    {
        if (!m_out.isEmpty() && !m_out.endsWith(u'\n') && m_breaks == 0)
            m_space = true;
    }

    QString m_out;
    int m_breaks = 0;
    bool m_space = false;
};

void collectText(const Node* node, TextCollector& out)
{
    for (const Node* child : node->children) {
        if (child->kind == Node::Text) {
            out.text(*child);
        } else if (child->kind == Node::Element && !(child->flags & Hidden)) {
            if (child->name == QLatin1String("BR")) {
                out.lineBreak();
                continue;
            }
            const int breaks = blockBreaks(child->flags);
            if (breaks)
                out.block(breaks);
            collectText(child, out);
            if (breaks)
                out.block(breaks);
        }
    }
}

QString innerTextOf(const Node* node)
{
    TextCollector out;
    collectText(node, out);
    return out.result();
}

QString resolveHref(const QString& raw, const QUrl& base)
{
    QString value = raw.trimmed();
    value.remove(u'\t');
    value.remove(u'\n');
    value.remove(u'\r');
    const QUrl url(value, QUrl::TolerantMode);
    if (!url.isValid())
        return value;
    const QUrl resolved = base.isValid() && !base.isEmpty() ? base.resolved(url) : url;
    return resolved.isValid() ? resolved.toString(QUrl::FullyEncoded) : value;
}

DocNode convert(const Node* node, const QUrl& base)
{
    DocNode out;
    out.nodeName = node->name;
    for (const auto& [key, value] : node->attrs)
        out.attributes.insert(key, value);
    if (out.attributes.contains(QStringLiteral("href")) &&
        isOneOf(node->name, {"A", "AREA", "LINK", "BASE"}))
        out.href = resolveHref(out.attributes.value(QStringLiteral("href")), base);
    out.innerText = innerTextOf(node);
    if (!node->children.empty()) {
        const Node* first = node->children.front();
        out.firstChildName = first->kind == Node::Element ? first->name
                             : first->kind == Node::Text  ? QStringLiteral("#text")
                                                          : QStringLiteral("#comment");
    }
    for (const Node* child : node->children)
        if (child->kind == Node::Element)
            out.children.push_back(convert(child, base));
    return out;
}

} // namespace

DocNode ParseHtmlDocument(const QString& html, const QUrl& baseUrl)
{
    std::deque<Node> store;
    const Node* root = BuildTree(html, store);
    QUrl base = baseUrl;
    // A BASE element of the head replaces the document's address.
    for (const Node* child : root->children.front()->children)
        if (child->kind == Node::Element && child->name == QLatin1String("BASE"))
            for (const auto& [key, value] : child->attrs)
                if (key == QLatin1String("href")) {
                    base = QUrl(resolveHref(value, baseUrl));
                    break;
                }
    return convert(root, base);
}

DocNode ParseHtmlFile(const QByteArray& bytes, const QUrl& baseUrl)
{
    return ParseHtmlDocument(DecodeHtmlBytes(bytes), baseUrl);
}

const DocNode& DocumentBody(const DocNode& document)
{
    for (const DocNode& child : document.children)
        if (child.nodeName == QLatin1String("BODY"))
            return child;
    return document;
}

} // namespace orv