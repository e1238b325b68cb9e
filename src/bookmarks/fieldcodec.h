#pragma once

// Fast text fields of the bookmark records. Most fields are plain ASCII: they
// are narrowed or widened in one vector pass; anything else goes through the
// shared code page codec.

#include "app/recordio.h"

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orv::bookfields {

// True when every byte is below 0x80.
inline bool isAsciiBytes(const char* p, qsizetype n)
{
    qsizetype i = 0;
#if defined(__SSE2__)
    __m128i acc = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16)
        acc = _mm_or_si128(acc, _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)));
    if (_mm_movemask_epi8(acc) != 0)
        return false;
#endif
    unsigned char high = 0;
    for (; i < n; ++i)
        high |= static_cast<unsigned char>(p[i]);
    return high < 0x80;
}

// Copies n characters to dst as bytes; true when all of them were ASCII
// (otherwise dst holds garbage and the caller must encode properly).
inline bool narrowAscii(char* dst, const char16_t* src, qsizetype n)
{
    qsizetype i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    __m128i acc = zero;
    for (; i + 16 <= n; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i + 8));
        acc = _mm_or_si128(acc, _mm_or_si128(a, b));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(a, b));
    }
    const __m128i high = _mm_and_si128(acc, _mm_set1_epi16(short(0xFF80)));
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(high, zero)) != 0xFFFF)
        return false;
#endif
    char16_t rest = 0;
    for (; i < n; ++i) {
        rest |= src[i];
        dst[i] = char(src[i]);
    }
    return rest < 0x80;
}

// Writes text into dst[0, width) in code page 1252, cut to the width and
// padded with blanks.
inline void put(char* dst, int width, QStringView text)
{
    qsizetype written = std::min<qsizetype>(text.size(), width);
    if (!narrowAscii(dst, text.utf16(), written)) {
        // A surrogate pair gives one byte, so twice the width in characters
        // always covers the field.
        const QByteArray bytes =
            toCp1252(text.first(std::min<qsizetype>(text.size(), 2 * qsizetype(width))));
        written = std::min<qsizetype>(bytes.size(), width);
        std::memcpy(dst, bytes.constData(), size_t(written));
    }
    if (written < width)
        std::memset(dst + written, ' ', size_t(width - written));
}

// Decodes code page 1252 bytes.
inline QString decode(const char* p, qsizetype n)
{
    if (isAsciiBytes(p, n))
        return QString::fromLatin1(p, n);
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
