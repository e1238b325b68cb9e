// Writes the seed inputs that the program's own writers produce: record
// files of every kind, into <corpus folder>/<target>/seed-*. Run by hand
// when the formats change:
//   fuzz_make_seeds fuzz/corpus

#include "bookmarks/book.h"
#include "bookmarks/thema.h"
#include "layouts/layoutrecords.h"
#include "prefs/prefer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

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

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: fuzz_make_seeds <corpus folder>\n");
        return 2;
    }
    g_corpus = args.at(1);
    recordSeeds();
    return 0;
}
