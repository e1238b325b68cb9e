#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringView>

namespace orv {

// Text of HTML files as browsers read it.

// Decodes the bytes of an HTML file: a byte-order mark first, then a
// charset named in the first 4096 bytes (meta or XML declaration), then
// UTF-8 when the bytes are valid UTF-8, else Windows-1252.
QString DecodeHtmlBytes(const QByteArray& bytes);

// Decodes the character references ("&amp;", "&#8364;", "&#x41;", the
// common named ones) of text or of an attribute value. Unknown references
// stay as written; in attribute values a name without ";" followed by "="
// or a letter or digit stays too. Numbers 128..159 mean the Windows-1252
// characters, invalid numbers U+FFFD.
QString DecodeHtmlReferences(QStringView raw, bool inAttribute);

// HTML's blank characters: space, tab, line feed, carriage return, form feed.
inline bool IsHtmlSpace(QChar c)
{
    const char16_t u = c.unicode();
    return u == u' ' || u == u'\t' || u == u'\n' || u == u'\r' || u == u'\f';
}

} // namespace orv
