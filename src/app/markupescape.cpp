#include "app/markupescape.h"

#include <cstddef>

namespace orv {

namespace {

struct Reference {
    char16_t character;
    QStringView reference;
};

constexpr Reference kAmpersand{u'&', u"&amp;"};
constexpr Reference kLess{u'<', u"&lt;"};
constexpr Reference kGreater{u'>', u"&gt;"};
constexpr Reference kDoubleQuote{u'"', u"&quot;"};
constexpr Reference kSingleQuote{u'\'', u"&#39;"};

template <std::size_t N>
QString replaceByReferences(QStringView text, const Reference (&references)[N])
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        QStringView replacement;
        for (const Reference& reference : references)
            if (c == reference.character)
                replacement = reference.reference;
        if (replacement.isNull())
            escaped += c;
        else
            escaped += replacement;
    }
    return escaped;
}

} // namespace

QString EscapeText(QStringView text)
{
    static constexpr Reference kText[] = {kAmpersand, kLess, kGreater};
    return replaceByReferences(text, kText);
}

QString EscapeAttribute(QStringView text, AttributeQuote quote)
{
    static constexpr Reference kSingle[] = {kAmpersand, kSingleQuote};
    static constexpr Reference kDouble[] = {kAmpersand, kDoubleQuote};
    static constexpr Reference kEither[] = {kAmpersand, kLess, kGreater, kDoubleQuote,
                                            kSingleQuote};
    switch (quote) {
    case AttributeQuote::Single:
        return replaceByReferences(text, kSingle);
    case AttributeQuote::Double:
        return replaceByReferences(text, kDouble);
    case AttributeQuote::Either:
        break;
    }
    return replaceByReferences(text, kEither);
}

QString EscapeAngles(QStringView text)
{
    static constexpr Reference kAngles[] = {kLess, kGreater};
    return replaceByReferences(text, kAngles);
}

} // namespace orv
