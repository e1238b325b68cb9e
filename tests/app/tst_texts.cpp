#include "app/appinit.h"
#include "app/texts.h"

#include <QTest>

using namespace orv;

class TstTexts : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { LoadTexts(QStringLiteral("/opt/orvane/share")); }

    void count() { QCOMPARE(TextCount(), 302); }

    void exactTexts_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("text");
        QTest::newRow("leading/trailing blank 107") << 107 << QStringLiteral("Info zu ");
        QTest::newRow("leading blank 1109")
            << 1109 << QStringLiteral(" gleichzeitig geöffnete Browser möglich !");
        QTest::newRow("trailing blank 1108") << 1108 << QStringLiteral("Es sind nur maximal ");
        QTest::newRow("double blank 313")
            << 313 << QStringLiteral("Orvane ist auch  Viewer für JPEG, GIF, PNG.");
        QTest::newRow("quote 1070") << 1070 << QStringLiteral("Feld \"");
        QTest::newRow("quote 1071") << 1071 << QStringLiteral("\" ist ungültig oder leer.");
        QTest::newRow("backslash 1112") << 1112 << QStringLiteral("\\Book.bkm");
        QTest::newRow("access key 200") << 200 << QStringLiteral("&Datei");
        QTest::newRow("1141")
            << 1141
            << QStringLiteral("Sie verwenden eine Initialisierungsdatei alten Formats, bitte "
                              "löschen Sie alle Dateien im Verzeichnis:");
        QTest::newRow("1506") << 1506 << QStringLiteral("search.html");
        QTest::newRow("1603") << 1603 << QStringLiteral("&Letztes");
        QTest::newRow("unknown") << 99 << QString();
    }
    void exactTexts()
    {
        QFETCH(int, number);
        QFETCH(QString, text);
        QCOMPARE(Txt(number), text);
    }

    void addresses()
    {
        QVERIFY(Txt(100).startsWith(QStringLiteral("https://")));
        QCOMPARE(Txt(104), QStringLiteral("file:///opt/orvane/share"));
        QCOMPARE(ProductPageUrl(), QStringLiteral("file:///opt/orvane/share/home/frameset.htm"));
        QVERIFY(Txt(102).startsWith(QStringLiteral("file:///opt/orvane/share/")));
    }

    void titles()
    {
        QCOMPARE(VersionText(), QStringLiteral("8.0.4"));
        QCOMPARE(AppTitle(), QStringLiteral("Orvane 8.0"));
        QCOMPARE(QString::fromLatin1(MonthNames[0]), QStringLiteral("Jan"));
        QCOMPARE(QString::fromLatin1(MonthNames[11]), QStringLiteral("Dec"));
    }
};

QTEST_GUILESS_MAIN(TstTexts)
#include "tst_texts.moc"
