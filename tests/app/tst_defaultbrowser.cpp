// Making the program the default browser: the desktop entry's start line,
// the user's default applications kept apart from ours, and doing it twice.

#include "app/defaultbrowser.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace orv {

class TestDefaultBrowser : public QObject {
    Q_OBJECT

    static QByteArray read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private Q_SLOTS:
    void execLine_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("exec");
        QTest::newRow("plain") << "/usr/bin/orvane"
                               << "/usr/bin/orvane %u";
        QTest::newRow("blank") << "/opt/mein Browser/orvane"
                               << "\"/opt/mein Browser/orvane\" %u";
        QTest::newRow("quote and dollar") << "/opt/a\"b$c/orvane"
                                          << "\"/opt/a\\\\\"b\\\\$c/orvane\" %u";
        QTest::newRow("percent") << "/opt/100%/orvane"
                                 << "\"/opt/100%%/orvane\" %u";
    }
    void execLine()
    {
        QFETCH(QString, program);
        QFETCH(QString, exec);
        QCOMPARE(DesktopExecLine(program), exec);
    }

    // Our types point at us; every other line stays where it was.
    void defaultsMerged_data()
    {
        QTest::addColumn<QByteArray>("existing");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray ours = "x-scheme-handler/http=orvane.desktop;\n"
                                "x-scheme-handler/https=orvane.desktop;\n";
        QTest::newRow("no file") << QByteArray() << "[Default Applications]\n" + ours;
        QTest::newRow("other group only")
            << QByteArray("[Added Associations]\ntext/plain=edit.desktop;\n")
            << "[Added Associations]\ntext/plain=edit.desktop;\n\n[Default Applications]\n" + ours;
        QTest::newRow("another browser and other types")
            << QByteArray("[Default Applications]\nx-scheme-handler/https=other.desktop;\n"
                          "image/png=viewer.desktop;\n\n[Added Associations]\na/b=c;\n")
            << QByteArray("[Default Applications]\nx-scheme-handler/https=orvane.desktop;\n"
                          "image/png=viewer.desktop;\nx-scheme-handler/http=orvane.desktop;\n\n"
                          "[Added Associations]\na/b=c;\n");
    }
    void defaultsMerged()
    {
        QFETCH(QByteArray, existing);
        QFETCH(QByteArray, expected);
        const QStringList types{QStringLiteral("x-scheme-handler/http"),
                                QStringLiteral("x-scheme-handler/https")};
        const QByteArray merged =
            MimeAppsWithDefaults(existing, types, QStringLiteral("orvane.desktop"));
        QCOMPARE(merged, expected);
        // Twice is once.
        QCOMPARE(MimeAppsWithDefaults(merged, types, QStringLiteral("orvane.desktop")), merged);
    }

    // Written to disk: pictures only when asked, and the same files again.
    void registerTwice_data()
    {
        QTest::addColumn<bool>("pictures");
        QTest::newRow("web only") << false;
        QTest::newRow("with pictures") << true;
    }
    void registerTwice()
    {
        QFETCH(bool, pictures);
        QTemporaryDir home;
        const QString data = home.filePath(QStringLiteral("share"));
        const QString config = home.filePath(QStringLiteral("config"));
        QVERIFY(
            RegisterAsDefaultBrowser(pictures, QStringLiteral("/usr/bin/orvane"), data, config).ok);
        const QString list = QDir(config).filePath(QStringLiteral("mimeapps.list"));
        const QString entry = QDir(data).filePath(QStringLiteral("applications/orvane.desktop"));
        const QByteArray first = read(list);
        QCOMPARE(first.contains("image/png=orvane.desktop;"), pictures);
        QVERIFY(first.contains("text/html=orvane.desktop;"));
        QVERIFY(read(entry).contains("Exec=/usr/bin/orvane %u\n"));
        QVERIFY(
            RegisterAsDefaultBrowser(pictures, QStringLiteral("/usr/bin/orvane"), data, config).ok);
        QCOMPARE(read(list), first);
    }
};

} // namespace orv

QTEST_GUILESS_MAIN(orv::TestDefaultBrowser)
#include "tst_defaultbrowser.moc"
