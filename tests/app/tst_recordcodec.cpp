// The code page 1252 codec of the record files works on blocks of 8 and 16
// characters; these tests put every kind of character at every position
// around those blocks and compare with a character-by-character reading of
// the code page as the system's converter gives it.

#include "app/recordio.h"

#include <QHash>
#include <QStringDecoder>
#include <QTest>

#include <array>

using namespace orv;

namespace {

// Every byte of code page 1252 as QStringDecoder reads it, one byte at a
// time (the five bytes the code page leaves unassigned read as the C1
// control of the same value).
const std::array<char16_t, 256>& codePage()
{
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t{};
        QStringDecoder decoder("windows-1252", QStringDecoder::Flag::Stateless);
        for (int b = 0; b < 256; ++b) {
            const char byte = char(b);
            const QString s = decoder.decode(QByteArrayView(&byte, 1));
            t[size_t(b)] = s.size() == 1 ? s[0].unicode() : char16_t(0xFFFD);
        }
        return t;
    }();
    return table;
}

char16_t decodeByte(quint8 b)
{
    return codePage()[b];
}

// The byte that reads as c, or "?" when no byte does.
char encodeUnit(char16_t c)
{
    static const QHash<char16_t, char> bytes = [] {
        QHash<char16_t, char> h;
        for (int b = 0; b < 256; ++b)
            h.insert(codePage()[size_t(b)], char(b));
        return h;
    }();
    return bytes.value(c, '?');
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
    void initTestCase()
    {
        QVERIFY(QStringDecoder("windows-1252").isValid());
        // A few bytes worked out by hand: the converter is the code page.
        QCOMPARE(decodeByte(0x41), u'A');
        QCOMPARE(decodeByte(0x80), u'\u20AC');
        QCOMPARE(decodeByte(0x8A), u'\u0160');
        QCOMPARE(decodeByte(0x9F), u'\u0178');
        QCOMPARE(decodeByte(0x81), u'\u0081'); // unassigned
        QCOMPARE(decodeByte(0xE4), u'\u00E4');
    }

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
        QCOMPARE(fromCp1252("\x81\x8D\x8F\x90\x9D"),
                 QStringLiteral("\u0081\u008D\u008F\u0090\u009D"));
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

    // Fields beyond the end of a record (an empty or missing file gives an
    // empty one) read as NUL bytes; no field touches the data of an empty
    // view. Run under -fsanitize=undefined this also catches a copy from
    // the null data of an empty view.
    void fieldsBeyondTheEnd_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("int16");
        QTest::addColumn<int>("int32");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("rawText");
        const QString nuls(4, QChar(0));
        QTest::newRow("null record") << QByteArray() << 0 << 0 << 0 << QString() << nuls;
        QTest::newRow("empty record") << QByteArray("") << 0 << 0 << 0 << QString() << nuls;
        QTest::newRow("past the end") << QByteArray(3, 'x') << 3 << 0 << 0 << QString() << nuls;
        QTest::newRow("far past the end")
            << QByteArray(3, 'x') << 4000 << 0 << 0 << QString() << nuls;
        QTest::newRow("one byte left")
            << QByteArray("\x01\x02\x03", 3) << 2 << 3 << 3 << QString(QChar(3))
            << QString(QChar(3)) + QString(3, QChar(0));
        QTest::newRow("whole") << QByteArray("\xFF\xFF\x20\x41", 4) << 0 << -1 << 0x4120FFFF
                               << QStringLiteral("ÿÿ A") << QStringLiteral("ÿÿ A");
    }
    void fieldsBeyondTheEnd()
    {
        QFETCH(QByteArray, record);
        QFETCH(int, offset);
        QFETCH(int, int16);
        QFETCH(int, int32);
        QFETCH(QString, text);
        QFETCH(QString, rawText);
        const RecordReader r(record);
        QCOMPARE(int(r.int16(offset)), int16);
        QCOMPARE(r.int32(offset), int32);
        QCOMPARE(r.boolean(offset), int16 != 0);
        QCOMPARE(r.text(offset, 4), text);
        QCOMPARE(r.rawText(offset, 4), rawText);

        // Copying nothing into a record leaves it as it was.
        RecordWriter w(4);
        w.putBytes(0, QByteArrayView());
        w.putBytes(4, QByteArrayView(record).first(0));
        QCOMPARE(w.data(), QByteArray(4, '\0'));
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
