#include "bookmarks/bookmark.h"

#include "app/recordio.h"

#include <QtEndian>

#include <cstring>

namespace orv {

bool Bookmark::isFeed() const
{
    return IsFeedTitle(Titel);
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
    RecordWriter w(out, BookmarkRecordLength);
    WriteFields<BookmarkFields>(bookmark, w, position);
}

Bookmark ReadBookmarkRecord(QByteArrayView record)
{
    Bookmark b;
    ReadFields<BookmarkFields>(record, b);
    // A blank directly before a line break is not part of the description.
    if (b.Info.contains(u" \r\n"))
        b.Info.replace(QStringLiteral(" \r\n"), QStringLiteral("\r\n"));
    return b;
}

} // namespace orv
