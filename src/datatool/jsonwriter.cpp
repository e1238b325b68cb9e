#include "datatool/jsonwriter.h"

#include <cmath>

namespace orv {

void JsonWriter::newline()
{
    m_out += '\n';
    m_out += QByteArray(m_depth * 2, ' ');
}

void JsonWriter::beforeValue()
{
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (m_depth > 0) {
        if (!m_first)
            m_out += ',';
        newline();
    }
    m_first = false;
}

void JsonWriter::beginArray()
{
    beforeValue();
    m_out += '[';
    ++m_depth;
    m_first = true;
}

void JsonWriter::endArray()
{
    --m_depth;
    if (!m_first)
        newline();
    m_out += ']';
    m_first = false;
}

void JsonWriter::beginObject()
{
    beforeValue();
    m_out += '{';
    ++m_depth;
    m_first = true;
}

void JsonWriter::endObject()
{
    --m_depth;
    if (!m_first)
        newline();
    m_out += '}';
    m_first = false;
}

void JsonWriter::key(const QString& name)
{
    beforeValue();
    appendString(name);
    m_out += ": ";
    m_afterKey = true;
}

void JsonWriter::value(const QString& text)
{
    beforeValue();
    appendString(text);
}

void JsonWriter::appendString(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size() + 2);
    escaped += QLatin1Char('"');
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        switch (u) {
        case '"':
            escaped += QStringLiteral("\\\"");
            break;
        case '\\':
            escaped += QStringLiteral("\\\\");
            break;
        case '\n':
            escaped += QStringLiteral("\\n");
            break;
        case '\r':
            escaped += QStringLiteral("\\r");
            break;
        case '\t':
            escaped += QStringLiteral("\\t");
            break;
        default:
            // Every other control character, C1 included (the unassigned
            // bytes of the code page read as C1 controls).
            if (u < 0x20 || (u >= 0x7F && u <= 0x9F))
                escaped += QStringLiteral("\\u%1").arg(int(u), 4, 16, QLatin1Char('0'));
            else
                escaped += c;
        }
    }
    escaped += QLatin1Char('"');
    m_out += escaped.toUtf8();
}

void JsonWriter::value(qint64 number)
{
    beforeValue();
    m_out += QByteArray::number(number);
}

void JsonWriter::value(double number)
{
    beforeValue();
    if (!std::isfinite(number))
        m_out += "null";
    else
        m_out += QByteArray::number(number, 'g', 9);
}

void JsonWriter::value(const FieldValue& v)
{
    std::visit([this](const auto& x) { value(x); }, v);
}

void JsonWriter::value(bool flag)
{
    beforeValue();
    m_out += flag ? "true" : "false";
}

} // namespace orv
