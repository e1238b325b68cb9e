#pragma once

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

namespace LayoutBookFormat {
inline constexpr int RecordLength = 3370;
inline constexpr int SequenzAt = 0;      // Long
inline constexpr int RecordNumberAt = 4; // Long
inline constexpr int LayoutNameAt = 8;
inline constexpr int LayoutNameWidth = 255;
inline constexpr int FileNameAt = 263;
inline constexpr int FileNameWidth = 2083;
inline constexpr int InfoAt = 2346;
inline constexpr int InfoWidth = 1024;
} // namespace LayoutBookFormat

namespace FensterInfoFormat {
inline constexpr int RecordLength = 2615;
inline constexpr int NrAt = 0;
inline constexpr int XAt = 2;
inline constexpr int YAt = 4;
inline constexpr int BreiteAt = 6;
inline constexpr int HoeheAt = 8;
inline constexpr int UrlAt = 10;
inline constexpr int UrlWidth = 2083;
inline constexpr int TitelAt = 2093;
inline constexpr int TitelWidth = 516;
inline constexpr int ToolbarVisibleAt = 2609;
inline constexpr int AdressbarVisibleAt = 2611;
inline constexpr int WindowStateAt = 2613;
} // namespace FensterInfoFormat

namespace LayoutFileFormat {
inline constexpr int RecordLength = 1556;
inline constexpr int NrAt = 0;
inline constexpr int LeftAt = 2;
inline constexpr int TopAt = 4;
inline constexpr int WidthAt = 6;
inline constexpr int HeightAt = 8;
inline constexpr int UrlAt = 10;
inline constexpr int UrlWidth = 1024;
inline constexpr int ToolbarVisibleAt = 1034;
inline constexpr int AdressbarVisibleAt = 1036;
inline constexpr int WindowStateAt = 1038;
inline constexpr int TitelAt = 1040;
inline constexpr int TitelWidth = 516;
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

// Whole files. Readers take every whole record and ignore a trailing partial
// one; with missingIsEmpty a missing file reads as no records. Writers replace
// the file atomically: on failure the old file stays as it was.
FileResult readLayoutBookFile(const QString& path, QList<LayoutBookRecord>& records,
                              bool missingIsEmpty = false);
FileResult writeLayoutBookFile(const QString& path, const QList<LayoutBookRecord>& records);
FileResult readFensterInfoFile(const QString& path, QList<FensterInfo>& infos,
                               bool missingIsEmpty = false);
FileResult writeFensterInfoFile(const QString& path, const QList<FensterInfo>& infos);
FileResult readLayoutFile(const QString& path, QList<LayoutWindowRecord>& records,
                          bool missingIsEmpty = false);
FileResult writeLayoutFile(const QString& path, const QList<LayoutWindowRecord>& records);

// A path text without surrounding blanks (0x20 only), as the stores open them.
QString trimLayoutPath(const QString& path);

} // namespace orv
