#pragma once

#include "app/recordfields.h"
#include "app/recordio.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

namespace orv {

// The three record files of window layouts. Every file is a plain sequence of
// fixed-length records without header or count; integers are little-endian,
// Booleans 16-bit (-1/0), texts CP1252, blank-padded and cut to their width.
// Positions and sizes are twips. Singles are stored as 16-bit Integers,
// rounded halves-to-even and clamped to the Integer range.
//
// The functions here only convert and read or write files: no dialogs, no
// side effects beyond the file written. The stores (LayoutBook, LayoutItem,
// Layout) and the data tool build on them.

// One window of an archived layout (a record of a "WL<n>.nlt" file).
struct FensterInfo {
    int Nr = 0;          // 1-based position in the layout (as read)
    float x = 0;         // left, twips, inside the main window's client area
    float y = 0;         // top
    float Breite = 0;    // width
    float Hoehe = 0;     // height
    QString URL;         // address (for a feed view the feed's address)
    QString Titel;       // title; "<FEED />" + caption marks a feed view
    int WindowState = 0; // 0 normal, 1 minimised, 2 maximised
    bool ToolbarVisible = false;
    bool AdressbarVisible = false;

    bool operator==(const FensterInfo&) const = default;
};

// One layout of the archive index "WLBook.orp".
struct LayoutBookRecord {
    qint32 Sequenz = 0;
    qint32 RecordNumber = 0; // written as the 1-based position, not used on reading
    QString LayoutName;
    QString FileName; // "WL" + Sequenz + ".nlt", relative to the data folder
    QString Info;

    bool operator==(const LayoutBookRecord&) const = default;
};

// One window of an arrangement file "*.wlt".
struct LayoutWindowRecord {
    qint16 Nr = 0; // written as the 1-based position
    qint16 Left = 0;
    qint16 Top = 0;
    qint16 Width = 0;
    qint16 Height = 0;
    QString URL;
    bool ToolbarVisible = false;
    bool AdressbarVisible = false;
    qint16 WindowState = 0; // 0 normal, 1 minimised, 2 maximised
    QString Titel;

    bool operator==(const LayoutWindowRecord&) const = default;
};

// The record layouts. Nr and RecordNumber are written as the record's
// 1-based place in its file; RecordNumber is not shown by the dump.
namespace LayoutBookFormat {
inline constexpr int RecordLength = 3370;
inline constexpr RecordField<LayoutBookRecord> Fields[] = {
    NumberField("Sequenz", 0, FieldKind::Int32, FieldRef<&LayoutBookRecord::Sequenz>),
    NumberField("RecordNumber", 4, FieldKind::Int32, FieldRef<&LayoutBookRecord::RecordNumber>,
                FieldRole::Position, FieldDump::Never),
    TextField("LayoutName", 8, 255, FieldRef<&LayoutBookRecord::LayoutName>),
    TextField("FileName", 263, 2083, FieldRef<&LayoutBookRecord::FileName>),
    TextField("Info", 2346, 1024, FieldRef<&LayoutBookRecord::Info>),
};
static_assert(FieldsAreSound<LayoutBookRecord>(Fields, RecordLength));
static_assert(FieldBytes<LayoutBookRecord>(Fields) == RecordLength);
} // namespace LayoutBookFormat

// Positions and sizes are Singles kept as 16-bit Integers.
namespace FensterInfoFormat {
inline constexpr int RecordLength = 2615;
inline constexpr RecordField<FensterInfo> Fields[] = {
    NumberField("Nr", 0, FieldKind::Int16, FieldRef<&FensterInfo::Nr>, FieldRole::Position),
    NumberField("x", 2, FieldKind::Single16, FieldRef<&FensterInfo::x>),
    NumberField("y", 4, FieldKind::Single16, FieldRef<&FensterInfo::y>),
    NumberField("Breite", 6, FieldKind::Single16, FieldRef<&FensterInfo::Breite>),
    NumberField("Hoehe", 8, FieldKind::Single16, FieldRef<&FensterInfo::Hoehe>),
    TextField("URL", 10, 2083, FieldRef<&FensterInfo::URL>, FieldKind::Address),
    TextField("Titel", 2093, 516, FieldRef<&FensterInfo::Titel>),
    NumberField("ToolbarVisible", 2609, FieldKind::Bool, FieldRef<&FensterInfo::ToolbarVisible>),
    NumberField("AdressbarVisible", 2611, FieldKind::Bool,
                FieldRef<&FensterInfo::AdressbarVisible>),
    NumberField("WindowState", 2613, FieldKind::Int16, FieldRef<&FensterInfo::WindowState>),
};
static_assert(FieldsAreSound<FensterInfo>(Fields, RecordLength));
static_assert(FieldBytes<FensterInfo>(Fields) == RecordLength);
} // namespace FensterInfoFormat

namespace LayoutFileFormat {
inline constexpr int RecordLength = 1556;
inline constexpr RecordField<LayoutWindowRecord> Fields[] = {
    NumberField("Nr", 0, FieldKind::Int16, FieldRef<&LayoutWindowRecord::Nr>, FieldRole::Position),
    NumberField("Left", 2, FieldKind::Int16, FieldRef<&LayoutWindowRecord::Left>),
    NumberField("Top", 4, FieldKind::Int16, FieldRef<&LayoutWindowRecord::Top>),
    NumberField("Width", 6, FieldKind::Int16, FieldRef<&LayoutWindowRecord::Width>),
    NumberField("Height", 8, FieldKind::Int16, FieldRef<&LayoutWindowRecord::Height>),
    TextField("URL", 10, 1024, FieldRef<&LayoutWindowRecord::URL>, FieldKind::Address),
    NumberField("ToolbarVisible", 1034, FieldKind::Bool,
                FieldRef<&LayoutWindowRecord::ToolbarVisible>),
    NumberField("AdressbarVisible", 1036, FieldKind::Bool,
                FieldRef<&LayoutWindowRecord::AdressbarVisible>),
    NumberField("WindowState", 1038, FieldKind::Int16, FieldRef<&LayoutWindowRecord::WindowState>),
    TextField("Titel", 1040, 516, FieldRef<&LayoutWindowRecord::Titel>),
};
static_assert(FieldsAreSound<LayoutWindowRecord>(Fields, RecordLength));
static_assert(FieldBytes<LayoutWindowRecord>(Fields) == RecordLength);
} // namespace LayoutFileFormat

// Single records. The number argument is the 1-based position written in the
// record's number field; record fields of that name are not used for writing.
// Decoding trims the texts of blanks; a short record reads as if padded with
// NULs.
QByteArray encodeLayoutBookRecord(const LayoutBookRecord& record, qint32 number);
LayoutBookRecord decodeLayoutBookRecord(QByteArrayView bytes);
QByteArray encodeFensterInfoRecord(const FensterInfo& info, int number);
FensterInfo decodeFensterInfoRecord(QByteArrayView bytes);
QByteArray encodeLayoutWindowRecord(const LayoutWindowRecord& record, int number);
LayoutWindowRecord decodeLayoutWindowRecord(QByteArrayView bytes);

// The most records a reader takes from one file (window numbers are 16-bit).
inline constexpr qsizetype MaxLayoutRecords = 32767;

// Whole files. Readers take every whole record and ignore a trailing partial
// one; with missingIsEmpty a missing file reads as no records. They open only
// a regular file of at most MaxLayoutRecords records (a device or a FIFO is
// never opened) and, when allowedFolder is given, only one whose real path
// lies inside that folder (for names taken from stored data). Writers
// replace the file atomically: on failure the old file stays as it was.
FileResult readLayoutBookFile(const QString& path, QList<LayoutBookRecord>& records,
                              bool missingIsEmpty = false, const QString& allowedFolder = {});
FileResult writeLayoutBookFile(const QString& path, const QList<LayoutBookRecord>& records);
FileResult readFensterInfoFile(const QString& path, QList<FensterInfo>& infos,
                               bool missingIsEmpty = false, const QString& allowedFolder = {});
FileResult writeFensterInfoFile(const QString& path, const QList<FensterInfo>& infos);
FileResult readLayoutFile(const QString& path, QList<LayoutWindowRecord>& records,
                          bool missingIsEmpty = false, const QString& allowedFolder = {});
FileResult writeLayoutFile(const QString& path, const QList<LayoutWindowRecord>& records);

// A path text without surrounding blanks (0x20 only), as the stores open them.
QString trimLayoutPath(const QString& path);

} // namespace orv
