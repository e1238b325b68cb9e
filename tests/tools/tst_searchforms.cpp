// The search forms of a search form file: headers read from a document
// snapshot, the group list and filter, the one-form page with the term.

#include "tools/searchforms.h"

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

    void formPage_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("term");
        QTest::addColumn<QString>("body");
        QTest::newRow("field value")
            << "<form action=\"/s\"><input name=\"q\" value=\"%Orvane%\"></form>"
            << "rot grün"
            << "<form action=\"/s\"><input name=\"q\" value=\"rot grün\"></form>";
        QTest::newRow("double quote in an attribute")
            << "<form><input value=\"%Orvane%\"></form>"
            << "sag \"ja\""
            << "<form><input value=\"sag &quot;ja&quot;\"></form>";
        QTest::newRow("double quote in text, between added quotes")
            << "<form><textarea>%Orvane%</textarea></form>"
            << "a\"b"
            << "<form><textarea>\"a\"b\"</textarea></form>";
        QTest::newRow("markup characters stay text")
            << "<form><textarea>%Orvane%</textarea><input value=\"%Orvane%\"></form>"
            << "<b>&"
            << "<form><textarea>\"&lt;b&gt;&amp;\"</textarea><input value=\"<b>&amp;\"></form>";
        QTest::newRow("no placeholder: unchanged")
            << "<form action=\"/s\"><input name=\"q\" value=\"fest\"></form>"
            << "egal"
            << "<form action=\"/s\"><input name=\"q\" value=\"fest\"></form>";
        QTest::newRow("placeholder inside a longer value")
            << "<form><input value=\"site:x %Orvane%\"><input value=\"%Orvane%\"></form>"
            << "t"
            << "<form><input value=\"site:x t\"><input value=\"t\"></form>";
        QTest::newRow("other case is no placeholder") << "<form><input value=\"%orvane%\"></form>"
                                                      << "t"
                                                      << "<form><input value=\"%orvane%\"></form>";
    }
    void formPage()
    {
        QFETCH(QString, form);
        QFETCH(QString, term);
        QFETCH(QString, body);
        QCOMPARE(SearchFormPage(form, term),
                 QStringLiteral("<HTML><HEAD><title>3</title></HEAD><body>") + body +
                     QStringLiteral("</body></HTML>"));
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
