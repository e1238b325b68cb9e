#include "layouts/layoutrecords.h"

#include <algorithm>
#include <limits>

namespace orv {
namespace {

// Integers of the files are 16-bit; larger values are stored clamped rather
// than wrapped, so a position never flips its sign.
int clampInt16(int value)
{
    return std::clamp<int>(value, std::numeric_limits<qint16>::min(),
                           std::numeric_limits<qint16>::max());
}

template <typename T, typename Encode>
QByteArray encodeAll(const QList<T>& items, int recordLength, Encode encode)
{
    QByteArray content;
    content.reserve(qsizetype(items.size()) * recordLength);
    int number = 0;
    for (const T& item : items)
        content.append(encode(item, ++number));
    return content;
}

template <typename T, typename Decode>
FileResult readAll(const QString& path, QList<T>& out, int recordLength, bool missingIsEmpty,
                   Decode decode)
{
    out.clear();
    QByteArray content;
    FileResult result = readWholeFile(path, content, missingIsEmpty);
    if (!result.ok)
        return result;
    const QList<QByteArrayView> records = splitRecords(content, recordLength);
    out.reserve(records.size());
    for (QByteArrayView record : records)
        out.append(decode(record));
    return result;
}

} // namespace

QByteArray encodeLayoutBookRecord(const LayoutBookRecord& record, qint32 number)
{
    using namespace LayoutBookFormat;
    RecordWriter w(RecordLength);
    w.putInt32(SequenzAt, record.Sequenz);
    w.putInt32(RecordNumberAt, number);
    w.putText(LayoutNameAt, LayoutNameWidth, record.LayoutName);
    w.putText(FileNameAt, FileNameWidth, record.FileName);
    w.putText(InfoAt, InfoWidth, record.Info);
    return w.data();
}

LayoutBookRecord decodeLayoutBookRecord(QByteArrayView bytes)
{
    using namespace LayoutBookFormat;
    const RecordReader r(bytes);
    LayoutBookRecord record;
    record.Sequenz = r.int32(SequenzAt);
    record.RecordNumber = r.int32(RecordNumberAt);
    record.LayoutName = r.text(LayoutNameAt, LayoutNameWidth);
    record.FileName = r.text(FileNameAt, FileNameWidth);
    record.Info = r.text(InfoAt, InfoWidth);
    return record;
}

QByteArray encodeFensterInfoRecord(const FensterInfo& info, int number)
{
    using namespace FensterInfoFormat;
    RecordWriter w(RecordLength);
    w.putInt16(NrAt, clampInt16(number));
    w.putInt16(XAt, roundToInt16(info.x));
    w.putInt16(YAt, roundToInt16(info.y));
    w.putInt16(BreiteAt, roundToInt16(info.Breite));
    w.putInt16(HoeheAt, roundToInt16(info.Hoehe));
    w.putText(UrlAt, UrlWidth, info.URL);
    w.putText(TitelAt, TitelWidth, info.Titel);
    w.putBool(ToolbarVisibleAt, info.ToolbarVisible);
    w.putBool(AdressbarVisibleAt, info.AdressbarVisible);
    w.putInt16(WindowStateAt, clampInt16(info.WindowState));
    return w.data();
}

FensterInfo decodeFensterInfoRecord(QByteArrayView bytes)
{
    using namespace FensterInfoFormat;
    const RecordReader r(bytes);
    FensterInfo info;
    info.Nr = r.int16(NrAt);
    info.x = r.int16(XAt);
    info.y = r.int16(YAt);
    info.Breite = r.int16(BreiteAt);
    info.Hoehe = r.int16(HoeheAt);
    info.URL = r.text(UrlAt, UrlWidth);
    info.Titel = r.text(TitelAt, TitelWidth);
    info.ToolbarVisible = r.boolean(ToolbarVisibleAt);
    info.AdressbarVisible = r.boolean(AdressbarVisibleAt);
    info.WindowState = r.int16(WindowStateAt);
    return info;
}

QByteArray encodeLayoutWindowRecord(const LayoutWindowRecord& record, int number)
{
    using namespace LayoutFileFormat;
    RecordWriter w(RecordLength);
    w.putInt16(NrAt, clampInt16(number));
    w.putInt16(LeftAt, record.Left);
    w.putInt16(TopAt, record.Top);
    w.putInt16(WidthAt, record.Width);
    w.putInt16(HeightAt, record.Height);
    w.putText(UrlAt, UrlWidth, record.URL);
    w.putBool(ToolbarVisibleAt, record.ToolbarVisible);
    w.putBool(AdressbarVisibleAt, record.AdressbarVisible);
    w.putInt16(WindowStateAt, record.WindowState);
    w.putText(TitelAt, TitelWidth, record.Titel);
    return w.data();
}

LayoutWindowRecord decodeLayoutWindowRecord(QByteArrayView bytes)
{
    using namespace LayoutFileFormat;
    const RecordReader r(bytes);
    LayoutWindowRecord record;
    record.Nr = r.int16(NrAt);
    record.Left = r.int16(LeftAt);
    record.Top = r.int16(TopAt);
    record.Width = r.int16(WidthAt);
    record.Height = r.int16(HeightAt);
    record.URL = r.text(UrlAt, UrlWidth);
    record.ToolbarVisible = r.boolean(ToolbarVisibleAt);
    record.AdressbarVisible = r.boolean(AdressbarVisibleAt);
    record.WindowState = r.int16(WindowStateAt);
    record.Titel = r.text(TitelAt, TitelWidth);
    return record;
}

FileResult readLayoutBookFile(const QString& path, QList<LayoutBookRecord>& records,
                              bool missingIsEmpty)
{
    return readAll(path, records, LayoutBookFormat::RecordLength, missingIsEmpty,
                   decodeLayoutBookRecord);
}

FileResult writeLayoutBookFile(const QString& path, const QList<LayoutBookRecord>& records)
{
    return writeFileAtomic(
        path, encodeAll(records, LayoutBookFormat::RecordLength, encodeLayoutBookRecord));
}

FileResult readFensterInfoFile(const QString& path, QList<FensterInfo>& infos, bool missingIsEmpty)
{
    return readAll(path, infos, FensterInfoFormat::RecordLength, missingIsEmpty,
                   decodeFensterInfoRecord);
}

FileResult writeFensterInfoFile(const QString& path, const QList<FensterInfo>& infos)
{
    return writeFileAtomic(
        path, encodeAll(infos, FensterInfoFormat::RecordLength, encodeFensterInfoRecord));
}

FileResult readLayoutFile(const QString& path, QList<LayoutWindowRecord>& records,
                          bool missingIsEmpty)
{
    return readAll(path, records, LayoutFileFormat::RecordLength, missingIsEmpty,
                   decodeLayoutWindowRecord);
}

FileResult writeLayoutFile(const QString& path, const QList<LayoutWindowRecord>& records)
{
    return writeFileAtomic(
        path, encodeAll(records, LayoutFileFormat::RecordLength, encodeLayoutWindowRecord));
}

QString trimLayoutPath(const QString& path)
{
    qsizetype begin = 0;
    qsizetype end = path.size();
    while (begin < end && path[begin] == QLatin1Char(' '))
        ++begin;
    while (end > begin && path[end - 1] == QLatin1Char(' '))
        --end;
    return path.sliced(begin, end - begin);
}

} // namespace orv
