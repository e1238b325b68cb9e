#include "app/texthelpers.h"

#include <QTest>

using namespace orv;

class TstTextHelpers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void countOccurrences_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("count");
        QTest::newRow("empty text") << ""
                                    << ":" << 0;
        QTest::newRow("empty pattern") << "abc"
                                       << "" << 0;
        QTest::newRow("none") << "abc"
                              << ":" << 0;
        QTest::newRow("port number") << "http://host:8080/a"
                                     << ":" << 2;
        QTest::newRow("at the end") << "ab:"
                                    << ":" << 1;
        QTest::newRow("whole text") << ":"
                                    << ":" << 1;
        QTest::newRow("overlap aaa") << "aaa"
                                     << "aa" << 1;
        QTest::newRow("overlap aaaa") << "aaaa"
                                      << "aa" << 2;
        QTest::newRow("three backslashes") << "\\\\\\"
                                           << "\\\\" << 1;
        QTest::newRow("network path") << "\\\\server\\share\\a"
                                      << "\\\\" << 1;
        QTest::newRow("case-sensitive") << "AbAB"
                                        << "ab" << 0;
        QTest::newRow("longer pattern") << "a"
                                        << "ab" << 0;
    }
    void countOccurrences()
    {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(int, count);
        QCOMPARE(CountOccurrences(text, pattern), count);
    }

    void firstArgument_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("first");
        QTest::newRow("port number, no blank") << "http://host:8080/seite.html"
                                               << "http://host:8080/seite.html";
        QTest::newRow("port number, blank") << "http://host:8080/a b"
                                            << "http://host:8080/a";
        QTest::newRow("quoted line") << "\"http://host:81/a b.html\" -x c:d"
                                     << "http://host:81/a b.html";
        QTest::newRow("one colon and blanks") << "C:\\Eigene Dateien\\seite 1.html"
                                              << "C:\\Eigene Dateien\\seite 1.html";
        QTest::newRow("one colon, quoted whole") << "\"/a b/x:y\" z"
                                                 << "\"/a b/x:y\" z";
        QTest::newRow("network path with blanks") << "\\\\server\\share\\a b.html"
                                                  << "\\\\server\\share\\a b.html";
        QTest::newRow("no separator, blank") << "/home/u/a b.html"
                                             << "/home/u/a";
        QTest::newRow("no separator, no blank") << "/home/u/a.html"
                                                << "/home/u/a.html";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("leading blank") << " a:b:c"
                                       << "";
        QTest::newRow("empty quotes") << "\"\" x"
                                      << "";
        QTest::newRow("quote not closed") << "\"a:b:c d"
                                          << "a:b:c d";
        QTest::newRow("single quote") << "\""
                                      << "";
    }
    void firstArgument()
    {
        QFETCH(QString, line);
        QFETCH(QString, first);
        QCOMPARE(FirstArgument(line), first);
    }

    void trimChars_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("trimmed");
        QTest::newRow("enclosed") << "\"http://a/b c\""
                                  << "http://a/b c";
        QTest::newRow("quote at start only") << "\"abc"
                                             << "\"abc";
        QTest::newRow("quote at end only") << "abc\""
                                           << "abc\"";
        QTest::newRow("one quote") << "\""
                                   << "\"";
        QTest::newRow("two quotes") << "\"\""
                                    << "";
        QTest::newRow("three quotes") << "\"\"\""
                                      << "\"";
        QTest::newRow("inner quote kept") << "\"a\"b\""
                                          << "a\"b";
        QTest::newRow("blanks outside") << " \"a\" "
                                        << " \"a\" ";
        QTest::newRow("empty") << ""
                               << "";
    }
    void trimChars()
    {
        QFETCH(QString, text);
        QFETCH(QString, trimmed);
        QCOMPARE(TrimChars(text), trimmed);
    }

    void getServerStr_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("server");
        QTest::newRow("upper-case scheme") << "HTTP://Host/a/b.html"
                                           << "http://Host";
        QTest::newRow("https") << "HtTpS://A.b/c?d=/e"
                               << "https://A.b";
        QTest::newRow("host only") << "https://x.de"
                                   << "https://x.de";
        QTest::newRow("port") << "http://host:8080/a"
                              << "http://host:8080";
        QTest::newRow("file, local path") << "file:///home/u/a.html"
                                          << "file://";
        QTest::newRow("file, host") << "FILE://server/share"
                                    << "file://server";
        QTest::newRow("scheme only") << "http://"
                                     << "http://";
        QTest::newRow("short") << "http:/"
                               << "";
        QTest::newRow("ftp") << "ftp://x/y"
                             << "";
        QTest::newRow("relative") << "/img/a.png"
                                  << "";
        QTest::newRow("leading blank") << " http://x/"
                                       << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void getServerStr()
    {
        QFETCH(QString, url);
        QFETCH(QString, server);
        QCOMPARE(GetServerStr(url), server);
    }

    void getPathStr_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("path");
        QTest::newRow("address") << "http://host/dir/page.html"
                                 << "http://host/dir/";
        QTest::newRow("backslashes") << "C:\\dir\\file.txt"
                                     << "C:\\dir\\";
        QTest::newRow("backslash last") << "a/b\\c"
                                        << "a/b\\";
        QTest::newRow("slash last") << "a\\b/c"
                                    << "a\\b/";
        QTest::newRow("ends with slash") << "/dir/"
                                         << "/dir/";
        QTest::newRow("slash only") << "/"
                                    << "/";
        QTest::newRow("none") << "page.html"
                              << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void getPathStr()
    {
        QFETCH(QString, text);
        QFETCH(QString, path);
        QCOMPARE(GetPathStr(text), path);
    }
};

QTEST_GUILESS_MAIN(TstTextHelpers)
#include "tst_texthelpers.moc"
