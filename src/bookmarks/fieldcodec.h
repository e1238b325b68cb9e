#pragma once

// Text fields of the bookmark records: code page 1252, blank-padded, read
// back stripped of blanks. The shared record codec does the conversion in one
// vector pass per field, writing straight into the record buffer.

#include "app/recordio.h"

#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace orv::bookfields {

// Writes text into dst[0, width) in code page 1252, cut to the width and
// padded with blanks.
inline void put(char* dst, int width, QStringView text)
{
    putCp1252Field(dst, width, text);
}

// Decodes code page 1252 bytes.
inline QString decode(const char* p, qsizetype n)
{
    return fromCp1252(QByteArrayView(p, n));
}

// Reads a field of a whole record, stripped of blanks at both ends.
inline QString get(QByteArrayView record, int offset, int width)
{
    const char* p = record.data() + offset;
    qsizetype begin = 0;
    qsizetype end = width;
    while (end > begin && p[end - 1] == ' ')
        --end;
    while (begin < end && p[begin] == ' ')
        ++begin;
    return decode(p + begin, end - begin);
}

} // namespace orv::bookfields
