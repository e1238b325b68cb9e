#pragma once

#include "app/recordfields.h"

#include <QByteArray>
#include <QString>

namespace orv {

// Writes JSON with the keys in the order given (the order of the record
// fields), two-space indented, UTF-8. Strings escape the quote, the
// backslash and every control character (C0, DEL and C1).
class JsonWriter {
public:
    void beginArray();
    void endArray();
    void beginObject();
    void endObject();
    void key(const QString& name);
    void value(const QString& text);
    void value(qint64 number);
    void value(int number) { value(qint64(number)); }
    void value(double number);
    void value(bool flag);
    // A record field's value as its kind tells.
    void value(const FieldValue& v);

    template <typename T> void field(const QString& name, const T& v)
    {
        key(name);
        value(v);
    }

    QByteArray result() const { return m_out + '\n'; }

private:
    void beforeValue();
    void newline();
    void appendString(const QString& text);

    QByteArray m_out;
    int m_depth = 0;
    bool m_first = true; // no element yet in the open container
    bool m_afterKey = false;
};

} // namespace orv
