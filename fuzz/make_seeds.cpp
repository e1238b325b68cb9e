// Writes the seed inputs that the program's own writers produce: record
// files of every kind and document snapshots of small pages, into
// <corpus folder>/<target>/seed-*. Run by hand when the formats change:
//   fuzz_make_seeds fuzz/corpus [bookmark html files...]

#include "app/docsnapshot.h"
#include "bookmarks/book.h"
#include "bookmarks/netscapeparser.h"
#include "bookmarks/thema.h"
#include "layouts/layoutrecords.h"
#include "prefs/prefer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QUrl>

#include <cstdio>

using namespace orv;

namespace {

const QByteArray kPartMarker = "\n@@PART@@\n";
QString g_corpus;

void writeSeed(const QString& target, const QString& name, const QByteArray& bytes)
{
    const QString folder = g_corpus + QLatin1Char('/') + target;
    QDir().mkpath(folder);
    QFile file(folder + QStringLiteral("/seed-") + name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
}

QByteArray selected(char reader, const QByteArray& bytes)
{
    return QByteArray(1, reader) + bytes;
}

QByteArray bookmarkRecords()
{
    QByteArray out;
    Bookmark plain;
    plain.Titel = QStringLiteral("Beispiel");
    plain.URL = QStringLiteral("http://example.org/a/b.html");
    plain.Info = QStringLiteral("Zeile eins\r\nZeile zwei");
    plain.Adresszeile = true;
    AppendBookmarkRecord(out, plain, 1);
    Bookmark feed;
    feed.Titel = QStringLiteral("<FEED />Nachrichten");
    feed.URL = QStringLiteral("https://example.org/feed.xml");
    feed.Toolbar = true;
    AppendBookmarkRecord(out, feed, 2);
    return out;
}

void recordSeeds()
{
    Prefer prefs;
    writeSeed(QStringLiteral("records"), QStringLiteral("pref-defaults"),
              selected(0, prefs.toRecord()));
    prefs.setMailSrv(1, QStringLiteral("pop3s://mail.example.org"));
    prefs.setUser(1, QStringLiteral("anna"));
    prefs.setPwd(1, QStringLiteral("geheim äöü"));
    prefs.setEnableMailCheck(1, true);
    prefs.setHomeUrl(QStringLiteral("http://example.org/"));
    prefs.setMdiWidth(40000);
    writeSeed(QStringLiteral("records"), QStringLiteral("pref-mail"),
              selected(0, prefs.toRecord()));
    writeSeed(QStringLiteral("records"), QStringLiteral("pref-short"),
              selected(0, prefs.toRecord().left(300)));

    Thema thema;
    thema.setDirName(QStringLiteral("Ordner"));
    thema.setFileName(QStringLiteral("1.bkm"));
    thema.setSequenz(7);
    QByteArray index;
    AppendThemaRecord(index, thema, 1);
    Thema second;
    second.setDirName(QStringLiteral("Zweiter"));
    second.setFileName(QStringLiteral("../outside.bkm"));
    second.setSequenz(3);
    AppendThemaRecord(index, second, 2);
    writeSeed(QStringLiteral("records"), QStringLiteral("book"),
              selected(1, index + kPartMarker + bookmarkRecords()));
    writeSeed(QStringLiteral("records"), QStringLiteral("folder"), selected(2, bookmarkRecords()));
    writeSeed(QStringLiteral("records"), QStringLiteral("folder-partial"),
              selected(2, bookmarkRecords().left(BookmarkRecordLength + 100)));

    LayoutBookRecord bookRecord;
    bookRecord.Sequenz = 1;
    bookRecord.LayoutName = QStringLiteral("Arbeit");
    bookRecord.FileName = QStringLiteral("WL1.nlt");
    bookRecord.Info = QStringLiteral("Zwei Fenster");
    FensterInfo page;
    page.x = 120.5f;
    page.y = 80;
    page.Breite = 6000;
    page.Hoehe = 4000;
    page.URL = QStringLiteral("http://example.org/");
    page.Titel = QStringLiteral("Beispiel");
    page.ToolbarVisible = true;
    FensterInfo feedWindow = page;
    feedWindow.URL = QStringLiteral("https://example.org/feed.xml");
    feedWindow.Titel = QStringLiteral("<FEED />Nachrichten");
    feedWindow.WindowState = 1;
    const QByteArray windows =
        encodeFensterInfoRecord(page, 1) + encodeFensterInfoRecord(feedWindow, 2);
    writeSeed(QStringLiteral("records"), QStringLiteral("layoutbook"),
              selected(3, encodeLayoutBookRecord(bookRecord, 1) + kPartMarker + windows));
    writeSeed(QStringLiteral("records"), QStringLiteral("windows"), selected(4, windows));

    LayoutWindowRecord arranged;
    arranged.Left = 10;
    arranged.Top = 20;
    arranged.Width = 5000;
    arranged.Height = 3000;
    arranged.URL = QStringLiteral("  http://example.org/x.html ");
    arranged.Titel = QStringLiteral("Seite");
    arranged.AdressbarVisible = true;
    LayoutWindowRecord arrangedFeed = arranged;
    arrangedFeed.Titel = QStringLiteral("<FEED />Feed");
    arrangedFeed.WindowState = 2;
    writeSeed(QStringLiteral("records"), QStringLiteral("arrangement"),
              selected(5, encodeLayoutWindowRecord(arranged, 1) +
                              encodeLayoutWindowRecord(arrangedFeed, 2)));
}

const char* const kPage = R"html(<!DOCTYPE html>
<html><head><title>Seite &amp; Test</title>
<link rel="alternate" type="application/rss+xml" title="Nachrichten" href="/feed.xml">
<link rel="alternate" type="text/xml" title="Relativ" href="./atom.xml">
<script>var x = "<script>";</script></head>
<body background="bg.png"><h1 id="top" class='a"b'>Titel</h1>
<p>Text <a href="b.html#teil">Link</a> <a href="javascript:alert(1)">js</a>
<a href="mailto:a@example.org">Mail</a> <a href="/abs">Abs</a>
<img src="pic.png"> <img src="/dir/"> <img src="http://other.example/x.gif"></p>
<table background="tab.jpg"><tr><td background="/cell.gif">z</td><th background=" ">h</th></tr></table>
<iframe src="frame.html"></iframe><frameset><frame src="http://other.example/f.html"></frameset>
<form action="/s"><input type="image" src="go.png"></form>
</body></html>)html";

DocSnapshot snapshotOf(const QString& html, const QString& url)
{
    DocSnapshot snapshot;
    snapshot.valid = true;
    snapshot.url = url;
    const QUrl parsed(url);
    snapshot.protocol = parsed.scheme() + QLatin1Char(':');
    snapshot.pathname = parsed.path();
    snapshot.contentType = QStringLiteral("text/html");
    snapshot.htmlDocument = true;
    snapshot.root = ParseHtmlDocument(html, parsed);
    if (const DocNode* title = snapshot.root.findFirst(u"TITLE"))
        snapshot.title = title->innerText;
    return snapshot;
}

QByteArray jsonOf(const DocSnapshot& snapshot)
{
    return QJsonDocument(snapshot.toJson()).toJson(QJsonDocument::Compact);
}

void snapshotSeeds(const QStringList& htmlFiles)
{
    const QStringList targets = {QStringLiteral("docsnapshot"), QStringLiteral("snapshot_pages")};
    DocSnapshot page =
        snapshotOf(QString::fromUtf8(kPage), QStringLiteral("http://example.org/dir/page.html"));
    DocSnapshot local =
        snapshotOf(QString::fromUtf8(kPage), QStringLiteral("file:///home/u/page.html"));
    // A focused frame of the same origin and one of another origin.
    const QList<const DocNode*> elements = page.elements();
    for (int i = 0; i < elements.size(); ++i) {
        if (elements[i]->nodeName == u"IFRAME") {
            FrameSnapshot frame;
            frame.elementIndex = i;
            frame.document = std::make_shared<DocSnapshot>(
                snapshotOf(QStringLiteral("<p><img src=in.png><a href=x>x</a></p>"),
                           QStringLiteral("http://example.org/dir/frame.html")));
            page.frames.push_back(frame);
            page.activeIndex = i;
        } else if (elements[i]->nodeName == u"FRAME") {
            FrameSnapshot refused;
            refused.elementIndex = i;
            refused.refused = true;
            local.frames.push_back(refused);
            local.activeIndex = i;
        }
    }
    DocSnapshot invalid;
    invalid.error = QStringLiteral("gone");
    DocSnapshot picture;
    picture.valid = true;
    picture.url = QStringLiteral("http://example.org/p.png");
    picture.contentType = QStringLiteral("image/png");
    picture.root.nodeName = QStringLiteral("HTML");
    for (const QString& target : targets) {
        writeSeed(target, QStringLiteral("page.json"), jsonOf(page));
        writeSeed(target, QStringLiteral("local.json"), jsonOf(local));
        writeSeed(target, QStringLiteral("invalid.json"), jsonOf(invalid));
        writeSeed(target, QStringLiteral("picture.json"), jsonOf(picture));
        for (const QString& path : htmlFiles) {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const DocSnapshot parsed =
                snapshotOf(QString::fromUtf8(file.readAll()),
                           QStringLiteral("http://example.org/") + QFileInfo(path).fileName());
            writeSeed(target, QFileInfo(path).completeBaseName() + QStringLiteral(".json"),
                      jsonOf(parsed));
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: fuzz_make_seeds <corpus folder> [html files...]\n");
        return 2;
    }
    g_corpus = args.at(1);
    recordSeeds();
    snapshotSeeds(args.mid(2));
    return 0;
}
