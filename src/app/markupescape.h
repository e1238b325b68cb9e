#pragma once

#include <QString>
#include <QStringView>

namespace orv {

// Outside text placed in generated markup (pages and exported HTML files), so
// that it shows as it stands and never reads as markup. Everything but the
// characters named below passes through unchanged, control characters and
// surrogate pairs included; text that is already escaped is escaped again.

// Element content: "&", "<" and ">" become character references.
QString EscapeText(QStringView text);

// Which quote encloses an attribute value.
enum class AttributeQuote {
    Single,
    Double,
    // Either quote, or unknown: the result is also safe as element content.
    Either,
};

// An attribute value enclosed in `quote`: "&" and that quote become character
// references ('"' -> "&quot;", "'" -> "&#39;"). With `Either`, "&", "<", ">",
// '"' and "'" all become references, so the result is safe anywhere in markup;
// generated pages escape all outside text this way.
QString EscapeAttribute(QStringView text, AttributeQuote quote = AttributeQuote::Either);

// Every "<" becomes "&lt;" and every ">" becomes "&gt;"; nothing else is
// escaped (ampersands pass through): the feed page's titles and descriptions.
QString EscapeAngles(QStringView text);

} // namespace orv
