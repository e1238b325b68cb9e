// Making the program the default browser: the desktop entry's start line,
// the user's default applications kept apart from ours, and doing it twice.

#include "app/defaultbrowser.h"
#include "common/asnobody.h"
#include "common/filetools.h"

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
            RegisterAsDefaultBrowser(pictures, QStringLiteral("/usr/bin/orvane"), data, config, {})
                .ok);
        const QString list = QDir(config).filePath(QStringLiteral("mimeapps.list"));
        const QString entry =
            QDir(data).filePath(QStringLiteral("applications/orvane-local.desktop"));
        const QByteArray first = read(list);
        QCOMPARE(first.contains("image/png=orvane-local.desktop;"), pictures);
        QVERIFY(first.contains("text/html=orvane-local.desktop;"));
        QVERIFY(read(entry).contains("Exec=/usr/bin/orvane %u\n"));
        QVERIFY(
            RegisterAsDefaultBrowser(pictures, QStringLiteral("/usr/bin/orvane"), data, config, {})
                .ok);
        QCOMPARE(read(list), first);
    }

    // The installed entry that starts this program is named, and no copy of
    // the user's own hides it; an installed entry of another program is
    // left alone beside the user's own.
    void installedEntry_data()
    {
        QTest::addColumn<QString>("exec"); // "@" is this program
        QTest::addColumn<QByteArray>("named");
        QTest::newRow("starts this program") << "@ %u" << QByteArray("orvane.desktop");
        QTest::newRow("quoted") << "\"@\" %u" << QByteArray("orvane.desktop");
        QTest::newRow("starts another program")
            << "/nowhere/orvane %u" << QByteArray("orvane-local.desktop");
    }
    void installedEntry()
    {
        QFETCH(QString, exec);
        QFETCH(QByteArray, named);
        QTemporaryDir home;
        const QString program = home.filePath(QStringLiteral("bin/orvane"));
        QVERIFY(QDir().mkpath(home.filePath(QStringLiteral("bin"))));
        QVERIFY(PutBytes(program, "#!/bin/sh\n"));
        const QString system = home.filePath(QStringLiteral("system"));
        QVERIFY(QDir().mkpath(system + QStringLiteral("/applications")));
        QVERIFY(PutBytes(
            system + QStringLiteral("/applications/orvane.desktop"),
            "[Desktop Entry]\nName=Orvane\nExec=" + exec.replace(u'@', program).toUtf8() + "\n"));
        const QString data = home.filePath(QStringLiteral("share"));
        const QString config = home.filePath(QStringLiteral("config"));
        QVERIFY(RegisterAsDefaultBrowser(false, program, data, config, {data, system}).ok);
        QVERIFY(read(QDir(config).filePath(QStringLiteral("mimeapps.list")))
                    .contains("x-scheme-handler/http=" + named + ';'));
        QCOMPARE(QFileInfo::exists(data + QStringLiteral("/applications/orvane-local.desktop")),
                 named == "orvane-local.desktop");
        QVERIFY(!QFileInfo::exists(data + QStringLiteral("/applications/orvane.desktop")));
    }

    // A mimeapps.list that cannot be read or written fails with a message:
    // it stays byte for byte and no desktop entry is left behind.
    void listThatCannotBeUsed_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("unreadable") << "unreadable";
        QTest::newRow("too large") << "large";
        QTest::newRow("a folder") << "folder";
        QTest::newRow("linked away") << "link";
        QTest::newRow("cannot be written") << "readonly";
    }
    void listThatCannotBeUsed()
    {
        QFETCH(QString, kind);
        QTemporaryDir home;
        QVERIFY(::chmod(QFile::encodeName(home.path()).constData(), 0711) == 0);
        const QString data = home.filePath(QStringLiteral("share"));
        const QString config = home.filePath(QStringLiteral("config"));
        QVERIFY(QDir().mkpath(data) && QDir().mkpath(config));
        const QString list = config + QStringLiteral("/mimeapps.list");
        const QString away = home.filePath(QStringLiteral("away.list"));
        const QByteArray old = "[Default Applications]\ntext/html=other.desktop;\n";
        QVERIFY(GiveToUser(data));
        if (kind != u"readonly")
            QVERIFY(GiveToUser(config)); // the user could replace the list
        if (kind == u"folder") {
            QVERIFY(QDir().mkpath(list));
        } else if (kind == u"link") {
            QVERIFY(PutBytes(away, old));
            QVERIFY(QFile::link(away, list));
        } else {
            QVERIFY(PutBytes(list, kind == u"large" ? QByteArray(5 * 1024 * 1024, '#') : old));
        }
        if (kind == u"unreadable")
            QVERIFY(::chmod(QFile::encodeName(list).constData(), 0) == 0);
        if (kind == u"readonly" && ::geteuid() != 0)
            QVERIFY(::chmod(QFile::encodeName(config).constData(), 0555) == 0);
        const QByteArray before = kind == u"link" ? read(away) : read(list);

        const int answer = RunAsUser([&] {
            const FileResult r = RegisterAsDefaultBrowser(false, QStringLiteral("/usr/bin/orvane"),
                                                          data, config, {});
            return r.ok ? 1 : r.error.isEmpty() ? 2 : 0;
        });
        ::chmod(QFile::encodeName(config).constData(), 0755);
        ::chmod(QFile::encodeName(list).constData(), 0644);
        QCOMPARE(answer, 0);
        QCOMPARE(kind == u"link" ? read(away) : read(list), before);
        QCOMPARE(QFileInfo(list).isSymLink(), kind == u"link");
        QCOMPARE(QFileInfo(list).isDir(), kind == u"folder");
        QCOMPARE(QDir(data + QStringLiteral("/applications")).entryList(QDir::Files),
                 QStringList());
    }
};

} // namespace orv

QTEST_GUILESS_MAIN(orv::TestDefaultBrowser)
#include "tst_defaultbrowser.moc"
