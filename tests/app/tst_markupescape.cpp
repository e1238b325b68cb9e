#include "app/markupescape.h"

#include <QTest>

using namespace orv;

// Every input once through every form of escaping.
class TstMarkupEscape : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void escapes_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("single");
        QTest::addColumn<QString>("double_");
        QTest::addColumn<QString>("either");
        QTest::addColumn<QString>("angles");

        const QString face = QString::fromUcs4(U"\U0001F600");
        const QString controls = QString(QChar(0)) + "\x01\x1b\t\r\n\x7f";

        QTest::newRow("empty") << ""
                               << ""
                               << ""
                               << ""
                               << ""
                               << "";
        QTest::newRow("plain") << "a b"
                               << "a b"
                               << "a b"
                               << "a b"
                               << "a b"
                               << "a b";
        QTest::newRow("tag") << "<b>x</b>"
                             << "&lt;b&gt;x&lt;/b&gt;"
                             << "<b>x</b>"
                             << "<b>x</b>"
                             << "&lt;b&gt;x&lt;/b&gt;"
                             << "&lt;b&gt;x&lt;/b&gt;";
        QTest::newRow("quotes") << "\"a\" 'b'"
                                << "\"a\" 'b'"
                                << "\"a\" &#39;b&#39;"
                                << "&quot;a&quot; 'b'"
                                << "&quot;a&quot; &#39;b&#39;"
                                << "\"a\" 'b'";
        QTest::newRow("breaking out") << "x' onerror='a()\"><script>"
                                      << "x' onerror='a()\"&gt;&lt;script&gt;"
                                      << "x&#39; onerror=&#39;a()\"><script>"
                                      << "x' onerror='a()&quot;><script>"
                                      << "x&#39; onerror=&#39;a()&quot;&gt;&lt;script&gt;"
                                      << "x' onerror='a()\"&gt;&lt;script&gt;";
        QTest::newRow("already escaped") << "&amp;&lt;&#39;"
                                         << "&amp;amp;&amp;lt;&amp;#39;"
                                         << "&amp;amp;&amp;lt;&amp;#39;"
                                         << "&amp;amp;&amp;lt;&amp;#39;"
                                         << "&amp;amp;&amp;lt;&amp;#39;"
                                         << "&amp;&lt;&#39;";
        QTest::newRow("ampersand in an address") << "?a=1&b=2"
                                                 << "?a=1&amp;b=2"
                                                 << "?a=1&amp;b=2"
                                                 << "?a=1&amp;b=2"
                                                 << "?a=1&amp;b=2"
                                                 << "?a=1&b=2";
        QTest::newRow("control characters")
            << controls + u'<' << controls + "&lt;" << controls + u'<' << controls + u'<'
            << controls + "&lt;" << controls + "&lt;";
        QTest::newRow("outside the basic plane")
            << u'<' + face + "'&"
            << "&lt;" + face + "'&amp;" << u'<' + face + "&#39;&amp;" << u'<' + face + "'&amp;"
            << "&lt;" + face + "&#39;&amp;"
            << "&lt;" + face + "'&";
        QTest::newRow("lone surrogate")
            << QString(QChar(0xD800)) + u'>' << QString(QChar(0xD800)) + "&gt;"
            << QString(QChar(0xD800)) + u'>' << QString(QChar(0xD800)) + u'>'
            << QString(QChar(0xD800)) + "&gt;" << QString(QChar(0xD800)) + "&gt;";
    }
    void escapes()
    {
        QFETCH(QString, input);
        QFETCH(QString, text);
        QFETCH(QString, single);
        QFETCH(QString, double_);
        QFETCH(QString, either);
        QFETCH(QString, angles);
        QCOMPARE(EscapeText(input), text);
        QCOMPARE(EscapeAttribute(input, AttributeQuote::Single), single);
        QCOMPARE(EscapeAttribute(input, AttributeQuote::Double), double_);
        QCOMPARE(EscapeAttribute(input), either);
        QCOMPARE(EscapeAngles(input), angles);
    }
};

QTEST_APPLESS_MAIN(TstMarkupEscape)
#include "tst_markupescape.moc"
