#include "layouts/layoutrecords.h"

#include <algorithm>
#include <limits>

namespace orv {
namespace {

template <const auto& Fields, typename R>
QByteArray encodeRecord(int length, const R& record, qint32 number)
{
    RecordWriter w(length);
    WriteFields<Fields>(record, w, number);
    return w.data();
}

template <const auto& Fields, typename R> R decodeRecord(QByteArrayView bytes)
{
    R record;
    ReadFields<Fields>(bytes, record);
    return record;
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
                   const QString& allowedFolder, Decode decode)
{
    out.clear();
    QByteArray content;
    FileResult result = readStoredFile(path, allowedFolder, qint64(MaxLayoutRecords) * recordLength,
                                       content, missingIsEmpty);
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
    return encodeRecord<LayoutBookFormat::Fields>(LayoutBookFormat::RecordLength, record, number);
}

LayoutBookRecord decodeLayoutBookRecord(QByteArrayView bytes)
{
    return decodeRecord<LayoutBookFormat::Fields, LayoutBookRecord>(bytes);
}

QByteArray encodeFensterInfoRecord(const FensterInfo& info, int number)
{
    return encodeRecord<FensterInfoFormat::Fields>(FensterInfoFormat::RecordLength, info, number);
}

FensterInfo decodeFensterInfoRecord(QByteArrayView bytes)
{
    return decodeRecord<FensterInfoFormat::Fields, FensterInfo>(bytes);
}

QByteArray encodeLayoutWindowRecord(const LayoutWindowRecord& record, int number)
{
    return encodeRecord<LayoutFileFormat::Fields>(LayoutFileFormat::RecordLength, record, number);
}

LayoutWindowRecord decodeLayoutWindowRecord(QByteArrayView bytes)
{
    return decodeRecord<LayoutFileFormat::Fields, LayoutWindowRecord>(bytes);
}

FileResult readLayoutBookFile(const QString& path, QList<LayoutBookRecord>& records,
                              bool missingIsEmpty, const QString& allowedFolder)
{
    return readAll(path, records, LayoutBookFormat::RecordLength, missingIsEmpty, allowedFolder,
                   decodeLayoutBookRecord);
}

FileResult writeLayoutBookFile(const QString& path, const QList<LayoutBookRecord>& records)
{
    return writeFileAtomic(
        path, encodeAll(records, LayoutBookFormat::RecordLength, encodeLayoutBookRecord));
}

FileResult readFensterInfoFile(const QString& path, QList<FensterInfo>& infos, bool missingIsEmpty,
                               const QString& allowedFolder)
{
    return readAll(path, infos, FensterInfoFormat::RecordLength, missingIsEmpty, allowedFolder,
                   decodeFensterInfoRecord);
}

FileResult writeFensterInfoFile(const QString& path, const QList<FensterInfo>& infos)
{
    return writeFileAtomic(
        path, encodeAll(infos, FensterInfoFormat::RecordLength, encodeFensterInfoRecord));
}

FileResult readLayoutFile(const QString& path, QList<LayoutWindowRecord>& records,
                          bool missingIsEmpty, const QString& allowedFolder)
{
    return readAll(path, records, LayoutFileFormat::RecordLength, missingIsEmpty, allowedFolder,
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
