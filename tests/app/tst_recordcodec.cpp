// The code page 1252 codec of the record files works on blocks of 8 and 16
// characters; these tests put every kind of character at every position
// around those blocks and compare with a character-by-character reading of
// the code page.

#include "app/recordio.h"

#include <QTest>

using namespace orv;

namespace {

// Bytes 0x80..0x9F of code page 1252 (unassigned bytes keep their value).
constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t decodeByte(quint8 b)
{
    return (b >= 0x80 && b < 0xA0) ? kHigh[b - 0x80] : char16_t(b);
}

char encodeUnit(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return char(c);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == c)
            return char(0x80 + i);
    return '?';
}

// The text as the code page gives it, character by character.
QByteArray referenceBytes(const QString& text)
{
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += '?';
            ++i;
        } else {
            out += encodeUnit(c.unicode());
        }
    }
    return out;
}

// A field of that text: cut to the width, blank-padded.
QByteArray referenceField(const QString& text, int width)
{
    const QByteArray bytes = referenceBytes(text).left(width);
    return bytes + QByteArray(width - bytes.size(), ' ');
}

} // namespace

class TestRecordCodec : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void decodeEveryByteEverywhere()
    {
        for (int b = 0; b < 256; ++b) {
            for (int pos = 0; pos < 40; ++pos) {
                QByteArray bytes(40, 'a');
                bytes[pos] = char(b);
                const QString s = fromCp1252(bytes);
                QCOMPARE(s.size(), 40);
                QString expected(40, u'a');
                expected[pos] = QChar(decodeByte(quint8(b)));
                QCOMPARE(s, expected);
            }
        }
        QCOMPARE(fromCp1252("\x80\x9F\xA0\xFF"), QStringLiteral("€Ÿ\u00A0ÿ"));
        QVERIFY(fromCp1252(QByteArrayView()).isEmpty());
    }

    void roundTripEveryByte()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all += char(b);
        const QByteArray twice = all + all.mid(7);
        QCOMPARE(toCp1252(fromCp1252(twice)), twice);
    }

    void encodeEveryKindEverywhere_data()
    {
        QTest::addColumn<QString>("insert");
        QTest::newRow("ascii") << QStringLiteral("x");
        QTest::newRow("umlaut") << QStringLiteral("ü");
        QTest::newRow("c1 control") << QString(QChar(0x85));
        QTest::newRow("c1 first") << QString(QChar(0x80));
        QTest::newRow("c1 last") << QString(QChar(0x9F));
        QTest::newRow("delete") << QString(QChar(0x7F));
        QTest::newRow("no-break space") << QString(QChar(0xA0));
        QTest::newRow("y diaeresis") << QString(QChar(0xFF));
        QTest::newRow("unassigned kept") << QString(QChar(0x8D));
        QTest::newRow("euro") << QStringLiteral("€");
        QTest::newRow("dash") << QStringLiteral("–");
        QTest::newRow("outside") << QStringLiteral("密");
        QTest::newRow("lone surrogate") << QString(QChar(0xD800));
        QTest::newRow("pair") << QStringLiteral("😀");
        QTest::newRow("pair then euro") << QStringLiteral("😀€");
        QTest::newRow("0x100") << QString(QChar(0x100));
        QTest::newRow("0xFFFF") << QString(QChar(0xFFFF));
    }
    void encodeEveryKindEverywhere()
    {
        QFETCH(QString, insert);
        for (int pos = 0; pos < 40; ++pos) {
            QString text(40, u'b');
            text.replace(pos, insert.size(), insert);
            QCOMPARE(toCp1252(text), referenceBytes(text));
            for (int width : {0, 1, 7, 8, 9, 15, 16, 17, 24, 31, 32, 33, 39, 40, 41, 64}) {
                QByteArray field(width + 4, '#');
                putCp1252Field(field.data() + 2, width, text);
                QCOMPARE(field.left(2), QByteArray("##"));
                QCOMPARE(field.mid(2, width), referenceField(text, width));
                QCOMPARE(field.right(2), QByteArray("##"));
            }
        }
    }

    // Every UTF-16 code unit at the start, inside and at the end of the
    // vector blocks.
    void encodeEveryCodeUnit()
    {
        for (int unit = 0; unit <= 0xFFFF; ++unit) {
            for (int pos : {0, 7, 8, 15, 16, 23}) {
                QString text(24, u'c');
                text[pos] = QChar(char16_t(unit));
                const QByteArray bytes = toCp1252(text);
                QCOMPARE(bytes.size(), 24);
                QCOMPARE(bytes[pos], encodeUnit(char16_t(unit)));
                if (pos > 0)
                    QCOMPARE(bytes[pos - 1], 'c');
            }
        }
    }

    void writerUsesTheSameFields()
    {
        RecordWriter w(20);
        w.putText(2, 10, QStringLiteral("Grüße € 😀 und mehr"));
        QCOMPARE(w.data().mid(2, 10), QByteArray("Gr\xFC\xDF"
                                                 "e \x80 ? "));
        QCOMPARE(w.data().left(2), QByteArray(2, '\0'));
    }
};

QTEST_GUILESS_MAIN(TestRecordCodec)
#include "tst_recordcodec.moc"
