#pragma once

#include "app/recordfields.h"
#include "app/texthelpers.h"

#include <QString>
#include <QStringView>

namespace orv {

// The literal written before a stored title to mark a news-feed entry.

// One bookmark of a folder: a plain value.
struct Bookmark {
    // Number inside its folder: after a load its 1-based position in the
    // folder file, for a bookmark added since the folder's GetNewKey value.
    qint16 Nr = 0;
    // Display title; may begin with the feed marker (kept as stored).
    QString Titel;
    // Address.
    QString URL;
    // Free description; line breaks are CR LF.
    QString Info;
    // Open in a window with the address bar shown.
    bool Adresszeile = false;
    // Open in a window with the toolbar shown.
    bool Toolbar = false;

    // True when the title begins with the feed marker and is longer than it.
    bool isFeed() const;
    // The title as shown: without the feed marker of a feed bookmark.
    QString shownTitle() const;

    // Collection key of a loaded bookmark: ">" + folderNr + "|" + bookmarkNr.
    static QString KeyFor(qint32 folderNr, qint32 bookmarkNr);

    bool operator==(const Bookmark&) const = default;
};

// Record of a folder file: 3368 bytes per bookmark.
inline constexpr int BookmarkRecordLength = 3368;
// The fields of that record. Nr is written as the bookmark's 1-based place
// in its file and read back as stored.
inline constexpr RecordField<Bookmark> BookmarkFields[] = {
    NumberField("Nr", 0, FieldKind::Int16, FieldRef<&Bookmark::Nr>, FieldRole::Position),
    TextField("Titel", 2, 255, FieldRef<&Bookmark::Titel>),
    TextField("URL", 257, 2083, FieldRef<&Bookmark::URL>, FieldKind::Address),
    TextField("Info", 2340, 1024, FieldRef<&Bookmark::Info>),
    NumberField("Adresszeile", 3364, FieldKind::Bool, FieldRef<&Bookmark::Adresszeile>),
    NumberField("Toolbar", 3366, FieldKind::Bool, FieldRef<&Bookmark::Toolbar>),
};
static_assert(FieldsAreSound<Bookmark>(BookmarkFields, BookmarkRecordLength));
static_assert(FieldBytes<Bookmark>(BookmarkFields) == BookmarkRecordLength);
inline constexpr int BookmarkNrOffset = FieldNamed<Bookmark>(BookmarkFields, "Nr").offset;
inline constexpr int BookmarkTitelWidth = FieldNamed<Bookmark>(BookmarkFields, "Titel").width;
inline constexpr int BookmarkUrlWidth = FieldNamed<Bookmark>(BookmarkFields, "URL").width;
inline constexpr int BookmarkInfoWidth = FieldNamed<Bookmark>(BookmarkFields, "Info").width;

// The most bookmarks the program reads from one folder file: as many as one
// import may write in all.
inline constexpr qsizetype MaxFolderRecords = 100000;
inline constexpr qint64 MaxFolderFileBytes = qint64(MaxFolderRecords) * BookmarkRecordLength;

// Appends the 3368-byte record of a bookmark to out, with `position` (the
// 1-based place in its file) as the stored Nr. Text is cut to the field
// widths and padded with blanks.
void AppendBookmarkRecord(QByteArray& out, const Bookmark& bookmark, int position);

// Reads one folder-file record (a shorter record reads as padded with NULs).
// Texts are stripped of surrounding blanks; in Info each blank directly before
// a CR LF is dropped. Nr is the stored number.
Bookmark ReadBookmarkRecord(QByteArrayView record);

} // namespace orv
