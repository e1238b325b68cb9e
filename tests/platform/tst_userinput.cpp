#include "app/texthelpers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using orv::UrlFromUserInput;

class TestUserInput : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_work;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_work.isValid());
        QVERIFY(QDir(m_work.path()).mkpath(QStringLiteral("unter")));
        for (const char* name : {"seite.html", "Meine Seite.html", "unter/index.html"}) {
            QFile file(m_work.filePath(QString::fromUtf8(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
    }

    void address_data()
    {
        // "%W" stands for the working folder, which holds seite.html,
        // "Meine Seite.html" and unter/index.html.
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected"); // empty: an empty URL

        QTest::newRow("host name") << "www.example.org"
                                   << "http://www.example.org";
        QTest::newRow("loopback address, port and path") << "127.0.0.1:8731/p1.html"
                                                         << "http://127.0.0.1:8731/p1.html";
        QTest::newRow("localhost with port") << "localhost:8080/x"
                                             << "http://localhost:8080/x";
        QTest::newRow("bare host name with port") << "host:8080/x"
                                                  << "http://host:8080/x";
        QTest::newRow("host and port only") << "host:8080"
                                            << "http://host:8080";
        QTest::newRow("port and query") << "www.example.org:8080?a=b"
                                        << "http://www.example.org:8080?a=b";
        QTest::newRow("IPv6 loopback") << "[::1]:8080/x"
                                       << "http://[::1]:8080/x";
        QTest::newRow("blanks around") << "  www.example.org/a  "
                                       << "http://www.example.org/a";
        QTest::newRow("missing relative file is a host") << "fehlt.html"
                                                         << "http://fehlt.html";

        QTest::newRow("http stays") << "http://example.org/a?b=c#d"
                                    << "http://example.org/a?b=c#d";
        QTest::newRow("https with port stays") << "https://example.org:8443/x"
                                               << "https://example.org:8443/x";
        QTest::newRow("about stays") << "about:blank"
                                     << "about:blank";
        QTest::newRow("mail stays") << "mailto:jemand@example.org"
                                    << "mailto:jemand@example.org";
        QTest::newRow("view-source stays") << "view-source:http://example.org/"
                                           << "view-source:http://example.org/";
        QTest::newRow("file URL stays") << "file:///etc/hostname"
                                        << "file:///etc/hostname";

        QTest::newRow("relative file") << "seite.html"
                                       << "file://%W/seite.html";
        QTest::newRow("relative with dots") << "./unter/../seite.html"
                                            << "file://%W/seite.html";
        QTest::newRow("relative folder") << "unter"
                                         << "file://%W/unter";
        QTest::newRow("relative with blank") << "Meine Seite.html"
                                             << "file://%W/Meine%20Seite.html";
        QTest::newRow("absolute file") << "%W/unter/index.html"
                                       << "file://%W/unter/index.html";
        QTest::newRow("absolute missing file is still a file") << "%W/fehlt.html"
                                                               << "file://%W/fehlt.html";

        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("only blanks") << "   "
                                     << "";
    }
    void address()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const QString work = m_work.path();
        const QUrl url = UrlFromUserInput(text.replace(QStringLiteral("%W"), work), work);
        if (expected.isEmpty()) {
            QVERIFY2(url.isEmpty(), qPrintable(url.toString()));
            return;
        }
        QVERIFY2(url.isValid(), qPrintable(url.errorString()));
        QCOMPARE(url.toString(QUrl::FullyEncoded),
                 QString(expected).replace(QStringLiteral("%W"), work));
    }

    void withoutWorkingFolderARelativeNameIsAHost()
    {
        QCOMPARE(UrlFromUserInput(QStringLiteral("seite.html"), QString()),
                 QUrl(QStringLiteral("http://seite.html")));
    }
};

QTEST_GUILESS_MAIN(TestUserInput)
#include "tst_userinput.moc"
