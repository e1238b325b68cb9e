// The search forms of a search form file: headers read from a document
// snapshot, the group list and filter, the one-form page with the term.

#include "pages/searchforms.h"

#include <QTest>

using namespace orv;

namespace {

// A snapshot of a page whose body holds the given elements, each written
// "TAG|text|id" ("-" as id: no id attribute); a tag "DIV>H3" puts the
// header inside a DIV.
DocSnapshot Page(const QStringList& elements)
{
    DocSnapshot document;
    document.valid = true;
    document.root.nodeName = QStringLiteral("HTML");
    DocNode body;
    body.nodeName = QStringLiteral("BODY");
    for (const QString& entry : elements) {
        const QStringList parts = entry.split(QLatin1Char('|'));
        QStringList tags = parts.at(0).split(QLatin1Char('>'));
        DocNode node;
        node.nodeName = tags.takeLast();
        node.innerText = parts.value(1);
        if (parts.value(2) != QLatin1String("-"))
            node.attributes.insert(QStringLiteral("id"), parts.value(2));
        for (auto it = tags.crbegin(); it != tags.crend(); ++it) {
            DocNode outer;
            outer.nodeName = *it;
            outer.children.push_back(node);
            node = outer;
        }
        body.children.push_back(node);
    }
    document.root.children.push_back(body);
    return document;
}

QStringList Describe(const QList<SearchForm>& forms)
{
    QStringList out;
    for (const SearchForm& f : forms)
        out << f.name + QLatin1Char('|') + f.group + QLatin1Char('|') + QString::number(f.number);
    return out;
}

QList<SearchForm> Forms(const QStringList& groups)
{
    QList<SearchForm> forms;
    for (const QString& group : groups)
        forms.append({QStringLiteral("F") + QString::number(forms.size() + 1), group,
                      int(forms.size()) + 1});
    return forms;
}

} // namespace

class TestSearchForms : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readSearchForms_data()
    {
        QTest::addColumn<QStringList>("elements");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("three headers, three forms")
            << QStringList{"H3|Web|web", "FORM||-",       "H3|Lexikon|lex",
                           "FORM||-",    "H2|Karten|map", "FORM||-"}
            << QStringList{"Web|web|1", "Lexikon|lex|2", "Karten|map|3"};
        QTest::newRow("header without id has no group")
            << QStringList{"H1|Alles|-", "H4|Teil| x "} << QStringList{"Alles||1", "Teil|x|2"};
        QTest::newRow("text trimmed, from the first '<' on")
            << QStringList{"H3|  Suche  |a", "H3|Name <b>fett</b> <i>|b"}
            << QStringList{"Suche|a|1", "<b>fett</b> <i>|b|2"};
        QTest::newRow("headers at any depth, other elements ignored")
            << QStringList{"P|Absatz|p", "DIV>H5|Tief|t", "HR||-", "H6|Sechs|s"}
            << QStringList{"Tief|t|1", "Sechs|s|2"};
        QTest::newRow("no headers") << QStringList{"FORM||-", "P|x|-"} << QStringList{};
    }
    void readSearchForms()
    {
        QFETCH(QStringList, elements);
        QFETCH(QStringList, expected);
        QCOMPARE(Describe(ReadSearchForms(Page(elements))), expected);
    }

    void invalidSnapshotGivesNoForms()
    {
        DocSnapshot document = Page({QStringLiteral("H3|Web|web")});
        document.valid = false;
        QVERIFY(ReadSearchForms(document).isEmpty());
    }

    void groups_data()
    {
        QTest::addColumn<QStringList>("groups");
        QTest::addColumn<QStringList>("offered");
        QTest::newRow("sorted, each once") << QStringList{"Web", "Karten", "Web", "Lexikon"}
                                           << QStringList{"Karten", "Lexikon", "Web"};
        QTest::newRow("case differences: the first spelling")
            << QStringList{"web", "Web", "WEB"} << QStringList{"web"};
        QTest::newRow("empty groups are not offered")
            << QStringList{"", "Web", ""} << QStringList{"Web"};
        QTest::newRow("ordinal order")
            << QStringList{"b", "B", "a", "Z"} << QStringList{"Z", "a", "b"};
    }
    void groups()
    {
        QFETCH(QStringList, groups);
        QFETCH(QStringList, offered);
        QCOMPARE(SearchGroups(Forms(groups)), offered);
    }

    void filter_data()
    {
        QTest::addColumn<QString>("group");
        QTest::addColumn<QList<int>>("numbers");
        // Groups of the forms 1..5: "Web", "web", "", "Web", "Karten".
        QTest::newRow("all") << QString() << QList<int>{1, 2, 3, 4, 5};
        QTest::newRow("exact spelling only") << "Web" << QList<int>{1, 4};
        QTest::newRow("the other spelling") << "web" << QList<int>{2};
        QTest::newRow("no such group") << "Lexikon" << QList<int>{};
    }
    void filter()
    {
        QFETCH(QString, group);
        QFETCH(QList<int>, numbers);
        const QList<SearchForm> forms =
            Forms({QStringLiteral("Web"), QStringLiteral("web"), QString(), QStringLiteral("Web"),
                   QStringLiteral("Karten")});
        QList<int> shown;
        for (const SearchForm& form : FilterSearchForms(forms, group))
            shown << form.number;
        QCOMPARE(shown, numbers);
    }

    // The form is sent to "http://h/s" (the target given).
    void formPage_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("term");
        QTest::addColumn<QString>("body");
        QTest::newRow("field value")
            << "<form action=\"/s\"><input name=\"q\" value=\"%Orvane%\"></form>"
            << "rot grün"
            << "<form action=\"http://h/s\"><input name=\"q\" value=\"rot grün\"></form>";
        QTest::newRow("double quote in an attribute")
            << "<form><input value=\"%Orvane%\"></form>"
            << "sag \"ja\""
            << "<form action=\"http://h/s\"><input value=\"sag &quot;ja&quot;\"></form>";
        QTest::newRow("double quote in text, between added quotes")
            << "<form><textarea>%Orvane%</textarea></form>"
            << "a\"b"
            << "<form action=\"http://h/s\"><textarea>\"a\"b\"</textarea></form>";
        QTest::newRow("markup characters stay text")
            << "<form><textarea>%Orvane%</textarea><input value=\"%Orvane%\"></form>"
            << "<b>&"
            << "<form action=\"http://h/s\"><textarea>\"&lt;b&gt;&amp;\"</textarea><input "
               "value=\"<b>&amp;\"></form>";
        QTest::newRow("no placeholder: unchanged")
            << "<form action=\"/s\" method=\"get\"><input name=\"q\" value=\"fest\"></form>"
            << "egal"
            << "<form action=\"http://h/s\" method=\"get\"><input name=\"q\" "
               "value=\"fest\"></form>";
        QTest::newRow("placeholder inside a longer value")
            << "<form><input value=\"site:x %Orvane%\"><input value=\"%Orvane%\"></form>"
            << "t"
            << "<form action=\"http://h/s\"><input value=\"site:x t\"><input value=\"t\"></form>";
        QTest::newRow("other case is no placeholder")
            << "<form><input value=\"%orvane%\"></form>"
            << "t"
            << "<form action=\"http://h/s\"><input value=\"%orvane%\"></form>";
        // Nothing of the file's runs in the page.
        QTest::newRow("script elements")
            << "<form><script>open('x')</script><svg><script>a()</script></svg>"
               "<SCRIPT type=\"x\">b()</SCRIPT></form>"
            << "t"
            << "<form action=\"http://h/s\"><svg></svg></form>";
        QTest::newRow("event handlers")
            << "<form onsubmit=\"a()\"><img src=\"x\" onerror=\"b()\" ONLOAD=\"c()\"></form>"
            << "t"
            << "<form action=\"http://h/s\"><img src=\"x\"></form>";
        QTest::newRow("script addresses")
            << "<form><a href=\" JavaScript:a()\">a</a><a href=\"java&#x09;script:b()\">b</a>"
               "<img src=\"data:text/html,x\"><a href=\"/ok\">c</a></form>"
            << "t"
            << "<form action=\"http://h/s\"><a>a</a><a>b</a><img>"
               "<a href=\"/ok\">c</a></form>";
        QTest::newRow("other actions, targets and frames")
            << "<form target=\"_blank\"><button formaction=\"file:///etc/passwd\" "
               "formtarget=\"x\">s</button><iframe srcdoc=\"&lt;script&gt;\">t</iframe>"
               "<object data=\"x\"><embed src=\"y\"></object></form>"
            << "t"
            << "<form action=\"http://h/s\"><button>s</button></form>";
        QTest::newRow("unquoted value stays one value")
            << "<form><a title=x\"onclick=\"a()\">a</a></form>"
            << "t"
            << "<form action=\"http://h/s\"><a "
               "title=\"x&quot;onclick=&quot;a()&quot;\">a</a></form>";
        QTest::newRow("head elements and comments")
            << "<form><meta http-equiv=\"refresh\" content=\"0;url=file:///etc/passwd\">"
               "<base href=\"file:///\"><!-- <script>x()</script> --><style>p{}</style></form>"
            << "t"
            << "<form action=\"http://h/s\"><style>p{}</style></form>";
    }
    void formPage()
    {
        QFETCH(QString, form);
        QFETCH(QString, term);
        QFETCH(QString, body);
        QCOMPARE(SearchFormPage(form, term, QUrl(QStringLiteral("http://h/s"))),
                 QStringLiteral("<HTML><HEAD><meta http-equiv=\"Content-Security-Policy\" "
                                "content=\"script-src 'none'; object-src 'none'; base-uri 'none'; "
                                "form-action http: https:\"><title>3</title></HEAD><body>") +
                     body + QStringLiteral("</body></HTML>"));
    }

    // A form is sent only to the web; relative actions resolve against the
    // search form file's address.
    void formTarget_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("target"); // empty: not sent
        const QString local = QStringLiteral("file:///home/u/search.html");
        QTest::newRow("web") << local << "<form action=\"https://x/s?a=1&amp;b=2\">"
                             << "https://x/s?a=1&b=2";
        QTest::newRow("web, blanks around") << local << "<form action=\" http://x/s \">"
                                            << "http://x/s";
        QTest::newRow("relative to a local file") << local << "<form action=\"/s\">"
                                                  << "";
        QTest::newRow("no action in a local file") << local << "<form>"
                                                   << "";
        QTest::newRow("local file") << local << "<form action=\"file:///etc/passwd\">"
                                    << "";
        QTest::newRow("script") << local << "<form action=\"javascript:open()\">"
                                << "";
        QTest::newRow("program's page") << local << "<form action=\"orvane://gen/1\">"
                                        << "";
        QTest::newRow("relative to a web file") << "http://x/dir/search.html"
                                                << "<form action=\"s\">"
                                                << "http://x/dir/s";
        QTest::newRow("no form") << local << "<input>"
                                 << "";
    }
    void formTarget()
    {
        QFETCH(QString, file);
        QFETCH(QString, form);
        QFETCH(QString, target);
        QCOMPARE(SearchFormTarget(form + QStringLiteral("</form>"), QUrl(file)), QUrl(target));
    }

    void isHtmlAddress_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("html");
        QTest::newRow("html") << "/usr/share/orvane/search.html" << true;
        QTest::newRow("HTM upper case") << "file:///C/SUCHE.HTM" << true;
        QTest::newRow("shtml") << "x.shtml" << true;
        QTest::newRow("text file") << "/tmp/search.txt" << false;
        QTest::newRow("htm inside the name") << "/tmp/search.htm.bak" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("about:blank") << "about:blank" << false;
    }
    void isHtmlAddress()
    {
        QFETCH(QString, address);
        QFETCH(bool, html);
        QCOMPARE(IsHtmlAddress(address), html);
    }
};

QTEST_GUILESS_MAIN(TestSearchForms)
#include "tst_searchforms.moc"
