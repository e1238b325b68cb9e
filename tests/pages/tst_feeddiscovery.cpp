#include "pages/feeddiscovery.h"

#include <QTest>

using namespace orv;

namespace {

DocNode element(const QString& name, const QMap<QString, QString>& attributes = {},
                std::vector<DocNode> children = {})
{
    DocNode node;
    node.nodeName = name;
    node.attributes = attributes;
    node.children = std::move(children);
    return node;
}

DocNode link(const QString& type, const QString& title, const QString& href)
{
    return element(QStringLiteral("LINK"), {{"type", type}, {"title", title}, {"href", href}});
}

} // namespace

class TstFeedDiscovery : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void address_data()
    {
        QTest::addColumn<QString>("href");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("pathname");
        QTest::addColumn<QString>("address");
        const QString page = QStringLiteral("http://host/dir/page.html");
        const QString path = QStringLiteral("/dir/page.html");
        QTest::newRow("root-relative") << "/rss.xml" << page << path << "http://host/rss.xml";
        QTest::newRow("dot slash") << "./rss.xml" << page << path << "http://host/dir/rss.xml";
        QTest::newRow("dot dot kept")
            << "../rss.xml" << page << path << "http://host/dir/../rss.xml";
        QTest::newRow("absolute stays")
            << "https://other/feed.xml" << page << path << "https://other/feed.xml";
        QTest::newRow("relative with slash")
            << "sub/rss.xml" << page << path << "http://host/dir/sub/rss.xml";
        QTest::newRow("scheme without slash stays") << "feed:x.xml" << page << path << "feed:x.xml";
        QTest::newRow("scheme-relative")
            << "//cdn.example/rss.xml" << page << path << "http://cdn.example/rss.xml";
        QTest::newRow("bare name") << "rss.xml" << page << path << "http://host/dir/rss.xml";
        QTest::newRow("bare name, server in other case") << "rss.xml"
                                                         << "HTTPS://Host:8080/a/b/"
                                                         << "/a/b/"
                                                         << "https://Host:8080/a/b/rss.xml";
        QTest::newRow("root-relative on a local file") << "/home/u/rss.xml"
                                                       << "file:///home/u/page.html"
                                                       << "/home/u/page.html"
                                                       << "/home/u/rss.xml";
        QTest::newRow("bare name on a local file") << "rss.xml"
                                                   << "file:///home/u/page.html"
                                                   << "/home/u/page.html"
                                                   << "file:///home/u/rss.xml";
    }
    void address()
    {
        QFETCH(QString, href);
        QFETCH(QString, url);
        QFETCH(QString, pathname);
        QFETCH(QString, address);
        QCOMPARE(FeedAddress(href, url, pathname), address);
    }

    void findsAnnouncedFeeds()
    {
        DocSnapshot document;
        document.valid = true;
        document.url = QStringLiteral("http://host/dir/page.html");
        document.pathname = QStringLiteral("/dir/page.html");
        document.root =
            element("HTML", {},
                    {element("HEAD", {},
                             {link("APPLICATION/RSS+XML", "Eins", "rss.xml"),
                              link("text/html", "Seite", "/other.html"),
                              link("application/atom+xml", "Atom", "/atom.xml"),
                              link(" text/xml", "Blank davor", "/x.xml")}),
                     element("BODY", {},
                             {element("A", {{"type", "application/rss+xml"}, {"href", "/a.xml"}}),
                              link("Text/Xml", "Zwei", "/feeds/2.xml")})});

        FeedList list;
        list.Rebuild(document);
        const QList<FeedLink> expected{{"Eins", "http://host/dir/rss.xml"},
                                       {"Atom", "http://host/atom.xml"},
                                       {"Zwei", "http://host/feeds/2.xml"}};
        QCOMPARE(list.Feeds(), expected);
        QCOMPARE(list.GetFeedCount(), 3);
        QCOMPARE(list.GetFeedTitelByInd(3), QStringLiteral("Zwei"));
        QCOMPARE(list.GetFeedUrlByInd(1), QStringLiteral("http://host/dir/rss.xml"));
        QCOMPARE(list.GetFeedTitelByInd(0), QString());
        QCOMPARE(list.GetFeedUrlByInd(4), QString());

        document.valid = false;
        list.Rebuild(document);
        QCOMPARE(list.GetFeedCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TstFeedDiscovery)
#include "tst_feeddiscovery.moc"
