#pragma once

// Small file helpers for tests: read a whole file, write one whole. They use
// QFile directly, independent of the code under test.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

namespace orv {

// The whole content of a file; empty when it cannot be opened.
inline QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes `bytes` as the whole file; the running test fails when the file
// cannot be opened or not every byte is written.
inline void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Writes `bytes` as the whole file; true when every byte is written, for a
// test that checks the write itself: QVERIFY(PutBytes(path, bytes)).
[[nodiscard]] inline bool PutBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace orv
