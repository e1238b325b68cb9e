#include "bookmarks/bookmark.h"

#include "bookmarks/fieldcodec.h"

#include <QtEndian>

#include <cstring>

namespace orv {

bool Bookmark::isFeed() const
{
    return Titel.size() > FeedMarker.size() && Titel.startsWith(FeedMarker);
}

QString Bookmark::shownTitle() const
{
    return isFeed() ? Titel.mid(FeedMarker.size()) : Titel;
}

namespace {

// Writes the decimal digits of value at dst; returns the position after them.
char16_t* putDecimal(char16_t* dst, qint32 value)
{
    char16_t digits[12];
    int n = 0;
    auto magnitude = value < 0 ? -qint64(value) : qint64(value);
    do {
        digits[n++] = char16_t(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0)
        *dst++ = u'-';
    while (n > 0)
        *dst++ = digits[--n];
    return dst;
}

} // namespace

QString Bookmark::KeyFor(qint32 folderNr, qint32 bookmarkNr)
{
    // Built in place: keys are made for every bookmark of every load.
    char16_t buffer[32];
    char16_t* end = buffer;
    *end++ = u'>';
    end = putDecimal(end, folderNr);
    *end++ = u'|';
    end = putDecimal(end, bookmarkNr);
    return QString(reinterpret_cast<const QChar*>(buffer), end - buffer);
}

void AppendBookmarkRecord(QByteArray& out, const Bookmark& bookmark, int position)
{
    const qsizetype start = out.size();
    out.resize(start + BookmarkRecordLength);
    char* rec = out.data() + start;
    qToLittleEndian<qint16>(qint16(position), rec + BookmarkNrOffset);
    bookfields::put(rec + BookmarkTitelOffset, BookmarkTitelWidth, bookmark.Titel);
    bookfields::put(rec + BookmarkUrlOffset, BookmarkUrlWidth, bookmark.URL);
    bookfields::put(rec + BookmarkInfoOffset, BookmarkInfoWidth, bookmark.Info);
    qToLittleEndian<qint16>(bookmark.Adresszeile ? -1 : 0, rec + BookmarkAdresszeileOffset);
    qToLittleEndian<qint16>(bookmark.Toolbar ? -1 : 0, rec + BookmarkToolbarOffset);
}

Bookmark ReadBookmarkRecord(QByteArrayView record)
{
    QByteArray padded;
    if (record.size() < BookmarkRecordLength) {
        padded = record.toByteArray();
        padded.append(BookmarkRecordLength - padded.size(), '\0');
        record = padded;
    }
    const char* rec = record.data();
    Bookmark b;
    b.Nr = qFromLittleEndian<qint16>(rec + BookmarkNrOffset);
    b.Titel = bookfields::get(record, BookmarkTitelOffset, BookmarkTitelWidth);
    b.URL = bookfields::get(record, BookmarkUrlOffset, BookmarkUrlWidth);
    b.Info = bookfields::get(record, BookmarkInfoOffset, BookmarkInfoWidth);
    // A blank directly before a line break is not part of the description.
    if (std::memchr(rec + BookmarkInfoOffset, '\r', BookmarkInfoWidth) && b.Info.contains(u" \r\n"))
        b.Info.replace(QStringLiteral(" \r\n"), QStringLiteral("\r\n"));
    b.Adresszeile = qFromLittleEndian<qint16>(rec + BookmarkAdresszeileOffset) != 0;
    b.Toolbar = qFromLittleEndian<qint16>(rec + BookmarkToolbarOffset) != 0;
    return b;
}

} // namespace orv
