#include "app/docsnapshot.h"
#include "pages/linkcollect.h"

#include <QTest>

using namespace orv;

Q_DECLARE_METATYPE(orv::RelativeLinks)

namespace {

// A document whose body holds one element per entry "TAG" or "TAG=address"
// (the address goes to href for A, to src for the others).
DocSnapshot documentOf(const QStringList& entries, bool html = true)
{
    DocSnapshot document;
    document.valid = true;
    document.htmlDocument = html;
    document.root.nodeName = QStringLiteral("HTML");
    DocNode body;
    body.nodeName = QStringLiteral("BODY");
    for (const QString& entry : entries) {
        DocNode node;
        node.nodeName = entry.section(QLatin1Char('='), 0, 0);
        const QString address = entry.section(QLatin1Char('='), 1);
        if (node.nodeName == QLatin1String("A"))
            node.href = address;
        else
            node.src = address;
        // Links nested one level deeper count as well, in document order.
        if (node.nodeName == QLatin1String("P")) {
            DocNode inner;
            inner.nodeName = QStringLiteral("A");
            inner.href = address;
            node.children.push_back(inner);
            node.href.clear();
            node.src.clear();
        }
        body.children.push_back(node);
    }
    document.root.children.push_back(body);
    return document;
}

} // namespace

class TstLinkCollect : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void collect_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("page");
        QTest::addColumn<RelativeLinks>("relative");
        QTest::addColumn<QStringList>("links");
        const QString page = QStringLiteral("http://host:8080/dir/page.html");
        const RelativeLinks kept = RelativeLinks::Kept;
        const RelativeLinks joined = RelativeLinks::Joined;
        QTest::newRow("fragments and mail give one address")
            << QStringList{"A=a.html#x", "A=a.html#y", "A=mailto:x"} << page << kept
            << QStringList{"a.html"};
        QTest::newRow("script and mail anywhere, any case")
            << QStringList{"A=JavaScript:void(0)", "A=http://h/?to=MailTo:x", "A=http://h/ok"}
            << page << kept << QStringList{"http://h/ok"};
        QTest::newRow("order of first appearance, not sorted")
            << QStringList{"A=http://h/z", "P=http://h/m", "A=http://h/a", "A=http://h/z#top"}
            << page << kept << QStringList{"http://h/z", "http://h/m", "http://h/a"};
        QTest::newRow("duplicates ignoring case")
            << QStringList{"A=http://h/Seite", "A=HTTP://H/seite", "A=http://h/andere"} << page
            << kept << QStringList{"http://h/Seite", "http://h/andere"};
        QTest::newRow("frames count, pictures and inline frames not")
            << QStringList{"FRAME=http://h/f1", "IMG=http://h/p.png", "IFRAME=http://h/i",
                           "AREA=http://h/area", "FRAME=http://h/f2"}
            << page << kept << QStringList{"http://h/f1", "http://h/f2"};
        QTest::newRow("anchor without address")
            << QStringList{"A", "A=#", "A=http://h/x"} << page << kept << QStringList{"http://h/x"};
        QTest::newRow("root-relative joined to the server")
            << QStringList{"A=/top.html", "FRAME=/f.html"} << page << kept
            << QStringList{"http://host:8080/top.html", "http://host:8080/f.html"};
        QTest::newRow("root-relative on a page without path")
            << QStringList{"A=/x"} << "http://host" << kept << QStringList{"http://host/x"};
        QTest::newRow("relative kept for the round trip")
            << QStringList{"A=sub/b.html", "A=c.html"} << page << kept
            << QStringList{"sub/b.html", "c.html"};
        QTest::newRow("relative joined for opening")
            << QStringList{"A=sub/b.html", "A=/r.html", "A=http://o/x"} << page << joined
            << QStringList{"http://host:8080/dir/sub/b.html", "http://host:8080/r.html",
                           "http://o/x"};
        QTest::newRow("relative and absolute of one page stay apart when kept")
            << QStringList{"A=c.html", "A=http://host:8080/dir/c.html"} << page << kept
            << QStringList{"c.html", "http://host:8080/dir/c.html"};
        QTest::newRow("relative and absolute of one page are one when joined")
            << QStringList{"A=c.html", "A=http://host:8080/dir/c.html"} << page << joined
            << QStringList{"http://host:8080/dir/c.html"};
    }
    void collect()
    {
        QFETCH(QStringList, entries);
        QFETCH(QString, page);
        QFETCH(RelativeLinks, relative);
        QFETCH(QStringList, links);
        QCOMPARE(CollectLinks(documentOf(entries), page, relative), links);
    }

    void nothingFromOtherDocuments()
    {
        const QStringList entries{"A=http://h/x"};
        QVERIFY(CollectLinks(documentOf(entries, false), {}, RelativeLinks::Kept).isEmpty());
        DocSnapshot unreadable = documentOf(entries);
        unreadable.valid = false;
        QVERIFY(CollectLinks(unreadable, {}, RelativeLinks::Kept).isEmpty());
    }

    void addressParts_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("folder");
        QTest::newRow("page") << "http://host/a/b.html"
                              << "http://host"
                              << "http://host/a/";
        QTest::newRow("https with port") << "https://h:81/x/"
                                         << "https://h:81"
                                         << "https://h:81/x/";
        QTest::newRow("no path") << "http://host"
                                 << "http://host"
                                 << "http://";
        QTest::newRow("local file") << "file:///home/u/p.html"
                                    << "file://"
                                    << "file:///home/u/";
        QTest::newRow("no slash at all") << "about:blank"
                                         << "about:blank"
                                         << "";
    }
    void addressParts()
    {
        QFETCH(QString, url);
        QFETCH(QString, server);
        QFETCH(QString, folder);
        QCOMPARE(ServerPart(url), server);
        QCOMPARE(UrlFolder(url), folder);
    }
};

QTEST_GUILESS_MAIN(TstLinkCollect)
#include "tst_linkcollect.moc"
