#include "bookmarks/htmldecode.h"

#include "app/recordio.h"

#include <QStringDecoder>

#include <algorithm>
#include <cctype>

namespace orv {

namespace {

// Names of U+00A0 .. U+00FF; all of them (and amp, lt, gt, quot) are also
// understood without the closing semicolon, as browsers do.
const char* const kLatin1Names[96] = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",
    "copy",   "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn",
    "sup2",   "sup3",   "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",
    "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde",
    "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave",
    "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde",
    "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",
    "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil",
    "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",
    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave",
    "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};

struct NamedRef {
    const char* name;
    char16_t code;
    bool legacy; // understood without ";"
};

const NamedRef kOtherNames[] = {
    {"amp", u'&', true},       {"lt", u'<', true},        {"gt", u'>', true},
    {"quot", u'"', true},      {"apos", u'\'', false},    {"AMP", u'&', true},
    {"LT", u'<', true},        {"GT", u'>', true},        {"QUOT", u'"', true},
    {"COPY", 0xA9, true},      {"REG", 0xAE, true},       {"euro", 0x20AC, false},
    {"hellip", 0x2026, false}, {"mdash", 0x2014, false},  {"ndash", 0x2013, false},
    {"lsquo", 0x2018, false},  {"rsquo", 0x2019, false},  {"sbquo", 0x201A, false},
    {"ldquo", 0x201C, false},  {"rdquo", 0x201D, false},  {"bdquo", 0x201E, false},
    {"lsaquo", 0x2039, false}, {"rsaquo", 0x203A, false}, {"bull", 0x2022, false},
    {"trade", 0x2122, false},  {"dagger", 0x2020, false}, {"Dagger", 0x2021, false},
    {"permil", 0x2030, false}, {"OElig", 0x0152, false},  {"oelig", 0x0153, false},
    {"Scaron", 0x0160, false}, {"scaron", 0x0161, false}, {"Yuml", 0x0178, false},
    {"fnof", 0x0192, false},   {"circ", 0x02C6, false},   {"tilde", 0x02DC, false},
    {"ensp", 0x2002, false},   {"emsp", 0x2003, false},   {"thinsp", 0x2009, false},
    {"zwnj", 0x200C, false},   {"zwj", 0x200D, false},    {"lrm", 0x200E, false},
    {"rlm", 0x200F, false},    {"prime", 0x2032, false},  {"Prime", 0x2033, false},
    {"larr", 0x2190, false},   {"rarr", 0x2192, false},   {"uarr", 0x2191, false},
    {"darr", 0x2193, false},   {"harr", 0x2194, false},   {"hearts", 0x2665, false},
    {"nbsp", 0xA0, true},      {"NewLine", u'\n', false}, {"Tab", u'\t', false}};

// The character of a named reference, or 0 when the name is unknown.
char32_t lookupName(QStringView name, bool withSemicolon)
{
    for (const NamedRef& ref : kOtherNames)
        if (name == QLatin1String(ref.name) && (withSemicolon || ref.legacy))
            return ref.code;
    for (int i = 0; i < 96; ++i)
        if (name == QLatin1String(kLatin1Names[i]))
            return char32_t(0xA0 + i);
    return 0;
}

bool isAsciiAlnum(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
}

void appendCodePoint(QString& out, char32_t code)
{
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        code = 0xFFFD;
    if (code >= 0x80 && code <= 0x9F) {
        // As browsers do: C1 numbers mean the Windows-1252 characters.
        const char byte = char(code);
        out += fromCp1252(QByteArrayView(&byte, 1));
        return;
    }
    out += QString::fromUcs4(&code, 1);
}

// Decodes the character references of `raw`. In attribute values a legacy
// name without ";" followed by "=" or a letter or digit stays as written.
QString decodeReferences(QStringView raw, bool inAttribute)
{
    if (!raw.contains(u'&'))
        return raw.toString();
    QString out;
    out.reserve(raw.size());
    qsizetype i = 0;
    const qsizetype n = raw.size();
    while (i < n) {
        const QChar c = raw[i];
        if (c != u'&') {
            out += c;
            ++i;
            continue;
        }
        qsizetype j = i + 1;
        if (j < n && raw[j] == u'#') {
            ++j;
            const bool hex = j < n && (raw[j] == u'x' || raw[j] == u'X');
            if (hex)
                ++j;
            const qsizetype digitsStart = j;
            quint64 value = 0;
            while (j < n) {
                const char16_t u = raw[j].unicode();
                int digit = -1;
                if (u >= u'0' && u <= u'9')
                    digit = u - u'0';
                else if (hex && u >= u'a' && u <= u'f')
                    digit = u - u'a' + 10;
                else if (hex && u >= u'A' && u <= u'F')
                    digit = u - u'A' + 10;
                if (digit < 0)
                    break;
                value = std::min<quint64>(value * (hex ? 16 : 10) + quint64(digit), 0x110000);
                ++j;
            }
            if (j == digitsStart) {
                out += c; // "&#" without digits stays as written
                ++i;
                continue;
            }
            if (j < n && raw[j] == u';')
                ++j;
            appendCodePoint(out, char32_t(value));
            i = j;
            continue;
        }
        while (j < n && isAsciiAlnum(raw[j]))
            ++j;
        const QStringView name = raw.mid(i + 1, j - i - 1);
        const bool semicolon = j < n && raw[j] == u';';
        char32_t code = name.isEmpty() ? 0 : lookupName(name, semicolon);
        if (code && !semicolon && inAttribute && j < n && (raw[j] == u'=' || isAsciiAlnum(raw[j])))
            code = 0;
        if (!code) {
            out += c;
            ++i;
            continue;
        }
        appendCodePoint(out, code);
        i = semicolon ? j + 1 : j;
    }
    return out;
}

// A charset named in a meta element or XML declaration near the start.
QByteArray declaredCharset(const QByteArray& bytes)
{
    const QByteArray head = bytes.left(4096).toLower();
    qsizetype at = head.indexOf("charset");
    if (at < 0) {
        at = head.indexOf("<?xml");
        if (at < 0)
            return {};
        at = head.indexOf("encoding", at);
        if (at < 0)
            return {};
        at += 8;
    } else {
        at += 7;
    }
    while (at < head.size() && (head[at] == ' ' || head[at] == '='))
        ++at;
    while (at < head.size() && (head[at] == '"' || head[at] == '\''))
        ++at;
    qsizetype end = at;
    while (end < head.size() && (std::isalnum(uchar(head[end])) || head[end] == '-' ||
                                 head[end] == '_' || head[end] == ':' || head[end] == '.'))
        ++end;
    return head.mid(at, end - at);
}

} // namespace

QString DecodeHtmlReferences(QStringView raw, bool inAttribute)
{
    return decodeReferences(raw, inAttribute);
}

QString DecodeHtmlBytes(const QByteArray& bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    if (bytes.startsWith("\xFF\xFE")) {
        QStringDecoder decoder(QStringDecoder::Utf16LE);
        return decoder(bytes.mid(2));
    }
    if (bytes.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(QStringDecoder::Utf16BE);
        return decoder(bytes.mid(2));
    }
    const QByteArray charset = declaredCharset(bytes);
    if (charset == "utf-8" || charset == "utf8" || charset.startsWith("utf-16"))
        return QString::fromUtf8(bytes);
    // As browsers do, Latin-1 and ASCII labels mean Windows-1252.
    if (charset == "windows-1252" || charset == "cp1252" || charset == "iso-8859-1" ||
        charset == "iso8859-1" || charset == "latin1" || charset == "us-ascii" ||
        charset == "ascii")
        return fromCp1252(bytes);
    if (!charset.isEmpty()) {
        QStringDecoder decoder(charset.constData());
        if (decoder.isValid()) {
            const QString text = decoder(bytes);
            if (!decoder.hasError())
                return text;
        }
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return fromCp1252(bytes);
}

} // namespace orv
