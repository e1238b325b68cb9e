// Runs the real orvane-data program on files written by the program's own
// writers and compares its output with the expected JSON and with the
// library's exports.

#include "app/appinit.h"
#include "app/texts.h"
#include "bookmarks/book.h"
#include "bookmarks/export.h"
#include "common/bookmarktools.h"
#include "common/datatoolrun.h"
#include "common/filetools.h"
#include "layouts/layoutrecords.h"
#include "prefs/prefer.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace orv;

namespace {

using Run = ToolRun;

Run runTool(const QStringList& args, const QProcessEnvironment& env = {})
{
    return RunDataTool(args, env);
}

// Every entry below `folder` with its size and modification time.
QStringList listing(const QString& folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        entries << info.filePath() + u' ' + QString::number(info.size()) + u' ' +
                       QString::number(info.lastModified().toMSecsSinceEpoch());
    }
    entries.sort();
    return entries;
}

// The keys of the first JSON object in document order.
QStringList keysInOrder(const QByteArray& json)
{
    QStringList keys;
    static const QRegularExpression key(QStringLiteral("^\\s*\"([^\"]+)\": "),
                                        QRegularExpression::MultilineOption);
    const QString text = QString::fromUtf8(json);
    const qsizetype end = text.indexOf(u'}');
    auto it = key.globalMatch(text.left(end));
    while (it.hasNext())
        keys << it.next().captured(1);
    return keys;
}

// JSON text without its line breaks and the indentation after them.
QByteArray compact(const QByteArray& json)
{
    QByteArray out;
    for (const QByteArray& line : json.split('\n'))
        out += line.trimmed();
    return out;
}

const QDateTime kPinned(QDate(2024, 3, 5), QTime(14, 3, 9));
const QString kPinnedText = QStringLiteral("2024-03-05T14:03:09");

} // namespace

class TestDataTool : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_tmp;
    QString m_data; // a data folder written by the program's writers

    // Folders "Städte" (1.bkm, three bookmarks), "Leer" (2.bkm, 0 bytes) and
    // "Fehlt" (3.bkm, named in the index but missing); Pref.orp, WLBook.orp.
    void writeArchive(const QString& folder)
    {
        QDir().mkpath(folder);
        Book book(folder);
        ThemaList& list = book.ensureColThema();
        Thema cities;
        cities.setDirName(QStringLiteral("Städte"));
        cities.setFileName(QStringLiteral("1.bkm"));
        cities.setSequenz(4);
        BookmarkList marks;
        marks.append(MakeBookmark(QStringLiteral("Bahn & Bus"),
                                  QStringLiteral("http://bahn.de/?a=1&b=2"),
                                  QStringLiteral("Fahrplan €"), true, false));
        marks.append(MakeBookmark(QStringLiteral("<FEED />Nachrichten"),
                                  QStringLiteral("http://n.de/rss"), QStringLiteral("a \r\nb\r\n"),
                                  false, true));
        marks.append(MakeBookmark(QStringLiteral("Zürich"), QStringLiteral("http://zh.ch/"),
                                  QString(), true, true));
        cities.setColBookmark(std::move(marks));
        list.append(std::move(cities));
        Thema empty;
        empty.setDirName(QStringLiteral("Leer"));
        empty.setFileName(QStringLiteral("2.bkm"));
        empty.setSequenz(9);
        empty.setColBookmark(BookmarkList());
        list.append(std::move(empty));
        Thema missing;
        missing.setDirName(QStringLiteral("Fehlt"));
        missing.setFileName(QStringLiteral("3.bkm"));
        missing.setSequenz(12);
        list.append(std::move(missing));
        QVERIFY(book.SaveAllThema().ok);
        QVERIFY(!QFile::exists(folder + QStringLiteral("/3.bkm")));

        Prefer prefer;
        prefer.setFolder(folder);
        QVERIFY(prefer.SavePref().ok);
        LayoutBookRecord layout;
        layout.Sequenz = 2;
        layout.LayoutName = QStringLiteral("Morgens");
        layout.FileName = QStringLiteral("WL2.nlt");
        QVERIFY(writeLayoutBookFile(folder + QStringLiteral("/WLBook.orp"), {layout}).ok);
    }

    // The library's export of a copy of `folder` (loading may create files).
    QByteArray libraryExport(const QString& folder, ExportFormat format, const QString& only,
                             const RssChannel& channel)
    {
        QTemporaryDir copy;
        for (const QFileInfo& info : QDir(folder).entryInfoList(QDir::Files))
            QFile::copy(info.filePath(), copy.path() + u'/' + info.fileName());
        Book book(copy.path());
        book.LoadAllThema();
        if (!book.LoadAllBookmarks().ok)
            return {}; // differs from every export the tool writes
        if (only.isEmpty())
            return ExportBytes(format, ExportSource::Archive(book), kPinned, channel);
        for (const Thema& thema : *book.colThema())
            if (thema.DirName() == only)
                return ExportBytes(format, ExportSource::Folder(thema), kPinned, channel);
        return {};
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_tmp.isValid());
        LoadTexts(AppFolder());
        m_data = m_tmp.filePath(QStringLiteral("data"));
        writeArchive(m_data);
    }

    void helpAndVersion_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("--help") << QStringList{QStringLiteral("--help")} << QByteArray("dump");
        QTest::newRow("help") << QStringList{QStringLiteral("help")} << QByteArray("export");
        QTest::newRow("--version") << QStringList{QStringLiteral("--version")}
                                   << ("orvane-data " + VersionText().toUtf8() + "\n");
    }
    void helpAndVersion()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, expected);
        const Run run = runTool(args);
        QCOMPARE(run.code, 0);
        QVERIFY(run.err.isEmpty());
        QVERIFY2(run.out.contains(expected), run.out.constData());
        if (args.front() != u"--version")
            QVERIFY(run.out.contains("gespeicherte Nummer")); // Nr is the stored number
    }

    void prefDump()
    {
        QTemporaryDir dir;
        Prefer p;
        p.setFolder(dir.path());
        p.setHomeUrl(QStringLiteral("http://start.de/ä"));
        p.setHomeTitle(QStringLiteral("<FEED />Neues"));
        p.setMailClient(QStringLiteral("/usr/bin/mail"));
        p.setStatusBar(0);
        p.setTabStrip(false);
        p.setMdiWidth(-12000);
        p.setMdiState(2);
        p.setHistoryRows(70000); // stored clamped
        p.setLoadOption(3);
        p.setGroup(QStringLiteral("Start"));
        p.setGroupFile(QStringLiteral("7.bkm"));
        p.setMailSrv(2, QStringLiteral("pop.example.org"));
        p.setUser(2, QStringLiteral("jörg"));
        p.setPwd(1, QStringLiteral("geheim"));
        p.setPwd(2, QStringLiteral("密码\x01")); // needs the escaped stored form
        p.setEnableMailCheck(2, true);
        p.setTabAlign(2);
        p.setAllowWinRef(true);
        p.setIEPopupBlocker(false);
        QVERIFY(p.SavePref().ok);
        const QString path = p.FilePath();
        const QStringList before = listing(dir.path());

        const Run plain = runTool({QStringLiteral("dump"), path});
        QCOMPARE(plain.code, 0);
        QVERIFY(plain.err.isEmpty());
        const QStringList keys =
            QStringLiteral("Marker HomeUrl HomeTitle SearchEngine SearchEngineFile MailClient "
                           "StartBrowser StatusBar TabStrip Toolbar Adresszeile MdiWidth MdiHeight "
                           "MdiState HistoryRows LoadOption Group GroupFile Layout")
                .split(u' ');
        const QStringList tail =
            QStringLiteral("CheckIntervall TabButton TabFontBold TabAlign AllowOpenWin "
                           "AllowResizeWin AllowWinInBack AllowWinRef IEPopupBlocker")
                .split(u' ');
        auto numbered = [](const char* name) {
            QStringList list;
            for (int i = 1; i <= 4; ++i)
                list << QLatin1String(name) + QString::number(i);
            return list;
        };
        QCOMPARE(keysInOrder(plain.out), keys + numbered("MailSrv") + numbered("User") +
                                             numbered("EnableMailCheck") + tail);

        const QJsonObject o = QJsonDocument::fromJson(plain.out).object();
        const QJsonObject expected =
            QJsonDocument::fromJson(
                "{\"Marker\": -1, \"HomeUrl\": \"http://start.de/ä\", \"HomeTitle\": "
                "\"<FEED />Neues\", \"MailClient\": \"/usr/bin/mail\", \"StartBrowser\": true, "
                "\"StatusBar\": 0, \"TabStrip\": false, \"MdiWidth\": -12000, \"MdiState\": 2, "
                "\"HistoryRows\": 32767, \"LoadOption\": 3, \"MailSrv2\": \"pop.example.org\", "
                "\"User2\": \"jörg\", \"EnableMailCheck1\": false, \"EnableMailCheck2\": true, "
                "\"CheckIntervall\": 5, \"TabAlign\": 2, \"AllowWinRef\": true, "
                "\"IEPopupBlocker\": false}")
                .object();
        QCOMPARE(expected.size(), 19);
        for (auto it = expected.begin(); it != expected.end(); ++it)
            QCOMPARE(o.value(it.key()), it.value());
        QCOMPARE(o.value(u"SearchEngine").toString(), Txt(100));
        // Texts show without their padding, also those the program reads padded.
        QCOMPARE(o.value(u"Group").toString(), QStringLiteral("Start"));
        QCOMPARE(o.value(u"GroupFile").toString(), QStringLiteral("7.bkm"));
        QCOMPARE(o.value(u"Layout").toString(), QString());
        QVERIFY(!plain.out.contains("geheim"));

        const Run shown =
            runTool({QStringLiteral("dump"), QStringLiteral("--show-passwords"), path});
        QCOMPARE(shown.code, 0);
        QCOMPARE(keysInOrder(shown.out), keys + numbered("MailSrv") + numbered("User") +
                                             numbered("Pwd") + numbered("EnableMailCheck") + tail);
        const QJsonObject s = QJsonDocument::fromJson(shown.out).object();
        QCOMPARE(s.value(u"Pwd1").toString(), QStringLiteral("geheim"));
        QCOMPARE(s.value(u"Pwd2").toString(), QStringLiteral("密码\x01"));
        QCOMPARE(s.value(u"Pwd3").toString(), QString());
        QVERIFY(shown.out.contains("\\u0001")); // a control character is escaped

        // The same bytes under another name need the kind.
        const QString other = dir.filePath(QStringLiteral("einstellungen.dat"));
        QVERIFY(QFile::copy(path, other));
        QCOMPARE(runTool({QStringLiteral("dump"), other}).code, 2);
        const Run byKind = runTool({QStringLiteral("dump"), QStringLiteral("--kind=pref"), other});
        QCOMPARE(byKind.code, 0);
        QCOMPARE(byKind.out, plain.out);
        QFile::remove(other);
        QCOMPARE(listing(dir.path()), before);
    }

    // Expected output without its line breaks and indentation; the "wlbook"
    // row also checks the layout itself.
    void recordDump_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("book")
            << QStringLiteral("Book.bkm") << QString()
            << QByteArray(
                   "[{\"Sequenz\": 4,\"Nr\": 1,\"DirName\": \"Städte\",\"FileName\": \"1.bkm\"},"
                   "{\"Sequenz\": 9,\"Nr\": 2,\"DirName\": \"Leer\",\"FileName\": \"2.bkm\"},"
                   "{\"Sequenz\": 12,\"Nr\": 3,\"DirName\": \"Fehlt\",\"FileName\": \"3.bkm\"}]");
        QTest::newRow("folder")
            << QStringLiteral("1.bkm") << QString()
            << QByteArray(
                   "[{\"Nr\": 1,\"Titel\": \"Bahn & Bus\",\"URL\": \"http://bahn.de/?a=1&b=2\","
                   "\"Info\": \"Fahrplan €\",\"Adresszeile\": true,\"Toolbar\": false},"
                   "{\"Nr\": 2,\"Titel\": \"<FEED />Nachrichten\",\"URL\": \"http://n.de/rss\","
                   "\"Info\": \"a\\r\\nb\\r\\n\",\"Adresszeile\": false,\"Toolbar\": true},"
                   "{\"Nr\": 3,\"Titel\": \"Zürich\",\"URL\": \"http://zh.ch/\",\"Info\": \"\","
                   "\"Adresszeile\": true,\"Toolbar\": true}]");
        QTest::newRow("empty folder") << QStringLiteral("2.bkm") << QString() << QByteArray("[]");
        QTest::newRow("wlbook")
            << QStringLiteral("WLBook.orp") << QString()
            << QByteArray("[{\"Sequenz\": 2,\"LayoutName\": \"Morgens\",\"FileName\": \"WL2.nlt\","
                          "\"Info\": \"\"}]");
        QTest::newRow("nlt")
            << QStringLiteral("WL2.nlt") << QString()
            << QByteArray(
                   "[{\"Nr\": 1,\"x\": 1500,\"y\": -30,\"Breite\": 32767,\"Hoehe\": 4500,"
                   "\"URL\": \"http://a.de/\\\"q\\\"\",\"Titel\": \"<FEED />Wetter\","
                   "\"ToolbarVisible\": true,\"AdressbarVisible\": false,\"WindowState\": 1}]");
        QTest::newRow("wlt")
            << QStringLiteral("abend.wlt") << QString()
            << QByteArray(
                   "[{\"Nr\": 1,\"Left\": 15,\"Top\": 30,\"Width\": 6000,\"Height\": 4000,"
                   "\"URL\": \"file:///tmp/ö.html\",\"ToolbarVisible\": false,"
                   "\"AdressbarVisible\": true,\"WindowState\": 2,\"Titel\": \"Tab\\tTitel\"}]");
        QTest::newRow("folder by kind")
            << QStringLiteral("liste.dat") << QStringLiteral("folder") << QByteArray("[]");
        QTest::newRow("empty wlt") << QStringLiteral("leer.wlt") << QString() << QByteArray("[]");
    }
    void recordDump()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, kind);
        QFETCH(QByteArray, expected);
        QTemporaryDir dir;
        writeArchive(dir.path());
        FensterInfo window;
        window.x = 1500.5f; // halves to even
        window.y = -29.6f;
        window.Breite = 99999.f; // clamped
        window.Hoehe = 4500.f;
        window.URL = QStringLiteral("http://a.de/\"q\"");
        window.Titel = QStringLiteral("  <FEED />Wetter");
        window.WindowState = 1;
        window.ToolbarVisible = true;
        QVERIFY(writeFensterInfoFile(dir.filePath(QStringLiteral("WL2.nlt")), {window}).ok);
        LayoutWindowRecord win{0,     15,
                               30,    6000,
                               4000,  QStringLiteral("file:///tmp/ö.html"),
                               false, true,
                               2,     QStringLiteral("Tab\tTitel")};
        QVERIFY(writeLayoutFile(dir.filePath(QStringLiteral("abend.wlt")), {win}).ok);
        QVERIFY(writeLayoutFile(dir.filePath(QStringLiteral("leer.wlt")), {}).ok);
        WriteBytes(dir.filePath(QStringLiteral("liste.dat")), {});
        const QStringList before = listing(dir.path());

        QStringList args{QStringLiteral("dump")};
        if (!kind.isEmpty())
            args << QStringLiteral("--kind") << kind;
        const Run run = runTool(args << dir.filePath(fileName));
        QVERIFY2(run.code == 0, run.err.constData());
        QCOMPARE(compact(run.out), expected);
        QVERIFY(run.out.endsWith("]\n"));
        if (QTest::currentDataTag() == QByteArray("wlbook"))
            QCOMPARE(run.out, QByteArray("[\n  {\n    \"Sequenz\": 2,\n    \"LayoutName\": "
                                         "\"Morgens\",\n    \"FileName\": \"WL2.nlt\",\n    "
                                         "\"Info\": \"\"\n  }\n]\n"));
        QVERIFY(run.err.isEmpty());
        QCOMPARE(listing(dir.path()), before);
    }

    // Whatever bytes a text field holds, the dump is valid JSON that gives
    // back the text as the program reads it, and no control character stands
    // unescaped in it.
    void textsAreEscaped_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("text");
        QTest::newRow("path with backslashes")
            << QByteArray("C:\\x\\Neuer Ordner\\") << QStringLiteral("C:\\x\\Neuer Ordner\\");
        QTest::newRow("quotes") << QByteArray("\"a\" 'b'") << QStringLiteral("\"a\" 'b'");
        QByteArray c0;
        QString c0Text;
        for (char c = 1; c < 0x20; ++c) {
            c0 += c;
            c0Text += QChar(c);
        }
        QTest::newRow("every C0 control") << c0 << c0Text;
        QTest::newRow("NUL inside")
            << QByteArray("a\0b", 3) << QStringLiteral("a") + QChar(0) + u'b';
        QTest::newRow("delete") << QByteArray("a\x7F") << QStringLiteral("a\u007F");
        QTest::newRow("unassigned bytes as C1 controls")
            << QByteArray("\x81\x8D\x8F\x90\x9D")
            << QStringLiteral("\u0081\u008D\u008F\u0090\u009D");
        QTest::newRow("code page letters") << QByteArray("\x80\x84\xE4") << QStringLiteral("€„ä");
    }
    void textsAreEscaped()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, text);
        QTemporaryDir dir;
        QByteArray record(BookmarkRecordLength, ' ');
        record.replace(2, stored.size(), stored);        // Titel
        record.replace(2340, stored.size(), stored);     // Info
        record.replace(0, 2, QByteArray("\x01\x00", 2)); // Nr 1
        const QString path = dir.filePath(QStringLiteral("1.bkm"));
        WriteBytes(path, record);

        const Run run = runTool({QStringLiteral("dump"), path});
        QCOMPARE(run.code, 0);
        QJsonParseError error;
        const QJsonArray records = QJsonDocument::fromJson(run.out, &error).array();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(records.size(), 1);
        QCOMPARE(records[0].toObject().value(u"Titel").toString(), text);
        QCOMPARE(records[0].toObject().value(u"Info").toString(), text);
        const QString out = QString::fromUtf8(run.out);
        for (const QChar c : out)
            QVERIFY2(c == u'\n' || (c >= u' ' && (c < u'\u007F' || c > u'\u009F')),
                     qPrintable(QString::number(c.unicode(), 16)));
    }

    // Nr is the number stored in the record, not the position.
    void storedNumberShown()
    {
        QTemporaryDir dir;
        writeArchive(dir.path());
        const QString path = dir.filePath(QStringLiteral("1.bkm"));
        QByteArray bytes = ReadBytes(path);
        bytes[BookmarkRecordLength + BookmarkNrOffset] = 42;
        WriteBytes(path, bytes);
        const Run run = runTool({QStringLiteral("dump"), path});
        QCOMPARE(run.code, 0);
        const QJsonArray records = QJsonDocument::fromJson(run.out).array();
        QCOMPARE(records.size(), 3);
        QCOMPARE(records[1].toObject().value(u"Nr"), QJsonValue(42));
    }

    void dumpErrors_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("cut");     // bytes to append (> 0) or cut (< 0)
        QTest::addColumn<int>("patchAt"); // -1: no patch
        QTest::addColumn<QByteArray>("patch");
        QTest::addColumn<QByteArray>("message");

        const QStringList none;
        QTest::newRow("pref short") << "Pref.orp" << none << -100 << -1 << QByteArray()
                                    << QByteArray("zu kurz: 15474 Bytes");
        QTest::newRow("pref long")
            << "Pref.orp" << none << 5 << -1 << QByteArray() << QByteArray("zu lang");
        QTest::newRow("pref marker 0") << "Pref.orp" << none << 0 << 0 << QByteArray(2, '\0')
                                       << QByteArray("Gültigkeitsmarke ist 0 statt -1");
        QTest::newRow("pref NUL mail client")
            << "Pref.orp" << none << 0 << 4188 << QByteArray(1, '\0') << QByteArray("NUL-Byte");
        QTest::newRow("pref NUL search file")
            << "Pref.orp" << none << 0 << 13469 << QByteArray(1, '\0') << QByteArray("NUL-Byte");
        QTest::newRow("pref old password") << "Pref.orp" << none << 0 << 10645 + 500
                                           << QByteArray("\xF5\x20") << QByteArray("alten Formats");
        QTest::newRow("missing") << "nichtda.bkm" << none << 0 << -1 << QByteArray()
                                 << QByteArray("Datei nicht gefunden");
        QTest::newRow("directory")
            << "ordner.bkm" << none << 0 << -1 << QByteArray() << QByteArray("ist ein Verzeichnis");
        QTest::newRow("unknown name")
            << "daten.bin" << none << 0 << -1 << QByteArray() << QByteArray("--kind");
        QTest::newRow("unknown kind") << "1.bkm" << QStringList{"--kind", "bild"} << 0 << -1
                                      << QByteArray() << QByteArray("Unbekannte Art 'bild'");
        QTest::newRow("kind without value") << "" << QStringList{"--kind"} << 0 << -1
                                            << QByteArray() << QByteArray("erwartet einen Wert");
        QTest::newRow("unknown option")
            << "1.bkm" << QStringList{"--pretty"} << 0 << -1 << QByteArray()
            << QByteArray("Unbekannte Option: --pretty");
        QTest::newRow("switch with value") << "Pref.orp" << QStringList{"--show-passwords=ja"} << 0
                                           << -1 << QByteArray() << QByteArray("keinen Wert");
        QTest::newRow("two files") << "1.bkm" << QStringList{"2.bkm"} << 0 << -1 << QByteArray()
                                   << QByteArray("nur eine Datei");
        QTest::newRow("no file") << "" << none << 0 << -1 << QByteArray()
                                 << QByteArray("keine Datei angegeben");
    }
    void dumpErrors()
    {
        QFETCH(QString, fileName);
        QFETCH(QStringList, args);
        QFETCH(int, cut);
        QFETCH(int, patchAt);
        QFETCH(QByteArray, patch);
        QFETCH(QByteArray, message);
        QTemporaryDir dir;
        writeArchive(dir.path());
        QDir(dir.path()).mkdir(QStringLiteral("ordner.bkm"));
        WriteBytes(dir.filePath(QStringLiteral("daten.bin")), QByteArray(3368, ' '));
        const QString path = dir.filePath(fileName);
        if (cut != 0 || patchAt >= 0) {
            QByteArray bytes = ReadBytes(path);
            if (patchAt >= 0)
                bytes.replace(patchAt, patch.size(), patch);
            if (cut > 0)
                bytes.append(QByteArray(cut, 'x'));
            else
                bytes.chop(-cut);
            WriteBytes(path, bytes);
        }
        const QStringList before = listing(dir.path());
        QStringList all{QStringLiteral("dump")};
        all << args;
        if (!fileName.isEmpty())
            all << path;
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(dir.path()); // relative names in args
        const Run run = runTool(all);
        QDir::setCurrent(cwd);
        QCOMPARE(run.code, 2);
        QVERIFY(run.out.isEmpty());
        QVERIFY2(run.err.contains(message), run.err.constData());
        QVERIFY(run.err.startsWith("orvane-data: "));
        QCOMPARE(run.err.count('\n'), 1);
        QVERIFY(run.err.endsWith('\n'));
        QCOMPARE(listing(dir.path()), before);
    }

    // A trailing partial record is skipped as the program's readers skip it:
    // the whole records are dumped, a warning names the ignored bytes.
    void trailingPartialRecord_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<int>("cut"); // bytes to append (> 0) or cut (< 0)
        QTest::addColumn<int>("records");
        QTest::addColumn<QByteArray>("warning");
        QTest::newRow("folder") << "1.bkm" << 10 << 3
                                << QByteArray("kein Vielfaches der Datensatzlänge 3368; die "
                                              "letzten 10 Bytes");
        QTest::newRow("book") << "Book.bkm" << -1 << 2 << QByteArray("die letzten 2290 Bytes");
        QTest::newRow("wlbook") << "WLBook.orp" << 1 << 1
                                << QByteArray("Datensatzlänge 3370; die letzten 1 Bytes");
        QTest::newRow("less than one record")
            << "2.bkm" << 3367 << 0 << QByteArray("die letzten 3367 Bytes");
    }
    void trailingPartialRecord()
    {
        QFETCH(QString, fileName);
        QFETCH(int, cut);
        QFETCH(int, records);
        QFETCH(QByteArray, warning);
        QTemporaryDir dir;
        writeArchive(dir.path());
        const QString path = dir.filePath(fileName);
        const Run whole = runTool({QStringLiteral("dump"), path});
        QCOMPARE(whole.code, 0);
        QByteArray bytes = ReadBytes(path);
        if (cut > 0)
            bytes.append(QByteArray(cut, 'x'));
        else
            bytes.chop(-cut);
        WriteBytes(path, bytes);

        const Run run = runTool({QStringLiteral("dump"), path});
        QCOMPARE(run.code, 0);
        QJsonParseError error;
        const QJsonDocument json = QJsonDocument::fromJson(run.out, &error);
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(json.array().size(), records);
        if (cut > 0) // nothing was cut: the same records as before
            QCOMPARE(run.out, whole.out);
        QVERIFY(run.err.startsWith("orvane-data: Warnung: "));
        QVERIFY2(run.err.contains(warning), run.err.constData());
        QVERIFY(run.err.contains(path.toUtf8()));
        QCOMPARE(run.err.count('\n'), 1);
    }

    void exportMatchesLibrary_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<int>("exportFormat");
        QTest::addColumn<QString>("folder");
        const std::pair<const char*, ExportFormat> formats[] = {
            {"text", ExportFormat::Text},
            {"html", ExportFormat::HtmlList},
            {"netscape", ExportFormat::Netscape},
            {"xml", ExportFormat::Xml},
            {"rss", ExportFormat::Rss}};
        for (const auto& [name, format] : formats) {
            QTest::addRow("%s archive", name)
                << QString::fromLatin1(name) << int(format) << QString();
            QTest::addRow("%s folder", name)
                << QString::fromLatin1(name) << int(format) << QStringLiteral("Städte");
            QTest::addRow("%s missing folder file", name)
                << QString::fromLatin1(name) << int(format) << QStringLiteral("Fehlt");
        }
    }
    void exportMatchesLibrary()
    {
        QFETCH(QString, format);
        QFETCH(int, exportFormat);
        QFETCH(QString, folder);
        const QStringList before = listing(m_data);
        const QString out = m_tmp.filePath(QStringLiteral("export.out"));
        QFile::remove(out);
        QStringList args{QStringLiteral("export"),
                         QStringLiteral("--format"),
                         format,
                         QStringLiteral("--data-folder"),
                         m_data,
                         QStringLiteral("--date"),
                         kPinnedText,
                         QStringLiteral("-o"),
                         out};
        if (!folder.isEmpty())
            args << QStringLiteral("--folder") << folder;
        RssChannel channel;
        if (format == u"rss") {
            channel = {QStringLiteral("Meine Links"),  QStringLiteral("http://x.de/"),
                       QStringLiteral("Alles & mehr"), QStringLiteral("http://x.de/i.png"),
                       QStringLiteral("Bild"),         QStringLiteral("https://x.de/")};
            args << QStringLiteral("--title") << channel.title << QStringLiteral("--link")
                 << channel.link << QStringLiteral("--description") << channel.description
                 << QStringLiteral("--image-url") << channel.imageUrl
                 << QStringLiteral("--image-title") << channel.imageTitle
                 << QStringLiteral("--image-link") << channel.imageLink;
        }
        const Run run = runTool(args);
        QVERIFY2(run.code == 0, run.err.constData());
        QVERIFY(run.err.isEmpty() && run.out.isEmpty());
        const QByteArray expected =
            libraryExport(m_data, ExportFormat(exportFormat), folder, channel);
        QVERIFY(!expected.isEmpty());
        QCOMPARE(ReadBytes(out), expected);
        QCOMPARE(listing(m_data), before);
        QVERIFY(!QFile::exists(m_data + QStringLiteral("/3.bkm")));
    }

    void exportDefaultsToDataFolderAndNow()
    {
        QTemporaryDir home;
        const QString data = home.filePath(QStringLiteral("Documents/OrvaneData-") + VersionText());
        writeArchive(data);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        const QString out = home.filePath(QStringLiteral("liste.txt"));
        const Run run = runTool({QStringLiteral("export"), QStringLiteral("--format=netscape"),
                                 QStringLiteral("--output"), out},
                                env);
        QVERIFY2(run.code == 0, run.err.constData());
        const QByteArray written = ReadBytes(out);
        QVERIFY(written.contains("<H3 FOLDED ADD_DATE=\""));
        QVERIFY(written.contains(toCp1252(u"Städte")));
        // Dated now: this year's heading.
        QVERIFY(written.contains(QByteArray::number(QDate::currentDate().year())));
    }

    void exportErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("message");
        const QStringList rss{"--format", "rss", "--title", "T", "--link", "http://x.de/"};
        QTest::newRow("no format") << QStringList{} << QByteArray("--format");
        QTest::newRow("unknown format")
            << QStringList{"--format", "pdf"} << QByteArray("Unbekanntes Format 'pdf'");
        QTest::newRow("rss without title")
            << QStringList{"--format", "rss", "--link", "http://x.de/"}
            << QByteArray("--title und --link");
        QTest::newRow("rss empty title")
            << QStringList{"--format", "rss", "--title", "", "--link", "http://x.de/"}
            << QByteArray("Feld \"<title>\" ist ungültig oder leer.");
        QTest::newRow("rss bad link")
            << QStringList{"--format", "rss", "--title", "T", "--link", "x.de"}
            << QByteArray("Feld \"<link>\" ist ungültig oder leer.");
        QTest::newRow("rss bare scheme")
            << QStringList{"--format", "rss", "--title", "T", "--link", "http:// "}
            << QByteArray("Feld \"<link>\"");
        QTest::newRow("rss image title only")
            << rss + QStringList{"--image-title", "Bild"} << QByteArray("Feld \"<url>\"");
        QTest::newRow("rss image without title")
            << rss + QStringList{"--image-url", "http://x.de/i.png", "--image-link", "http://x.de/"}
            << QByteArray("Feld \"<title>\"");
        QTest::newRow("rss image bad link")
            << rss + QStringList{"--image-url", "http://x.de/i.png", "--image-title",
                                 "B",           "--image-link",      "www"}
            << QByteArray("Feld \"<link>\"");
        QTest::newRow("rss option for text") << QStringList{"--format", "text", "--title", "T"}
                                             << QByteArray("nur für --format rss");
        QTest::newRow("bad date") << QStringList{"--format", "text", "--date",
                                                 "2024-02-30T10:00:00"}
                                  << QByteArray("Ungültige Zeitangabe");
        QTest::newRow("date without time")
            << QStringList{"--format", "text", "--date", "2024-02-03"}
            << QByteArray("Ungültige Zeitangabe");
        QTest::newRow("unknown folder") << QStringList{"--format", "text", "--folder", "Nirgends"}
                                        << QByteArray("keinen Ordner 'Nirgends'");
        QTest::newRow("extra argument")
            << QStringList{"--format", "text", "mehr"} << QByteArray("unerwartetes Argument: mehr");
        QTest::newRow("repeated option")
            << QStringList{"--format", "text", "--format", "xml"} << QByteArray("mehrfach");
        QTest::newRow("output missing folder")
            << QStringList{"--format", "text", "-o", "/nonexistent/sub/out.txt"}
            << QByteArray("kann nicht geschrieben werden");
    }
    void exportErrors()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, message);
        const QStringList before = listing(m_data);
        const QString out = m_tmp.filePath(QStringLiteral("fehler.out"));
        QStringList all{QStringLiteral("export"), QStringLiteral("--data-folder"), m_data};
        all << args;
        if (!args.contains(QStringLiteral("-o")))
            all << QStringLiteral("-o") << out;
        const Run run = runTool(all);
        QCOMPARE(run.code, 2);
        QVERIFY2(run.err.contains(message), run.err.constData());
        QCOMPARE(run.err.count('\n'), 1);
        QVERIFY(!QFile::exists(out));
        QCOMPARE(listing(m_data), before);
    }

    void exportWithoutArchive()
    {
        QTemporaryDir dir;
        const QString out = m_tmp.filePath(QStringLiteral("leer.txt"));
        const Run run =
            runTool({QStringLiteral("export"), QStringLiteral("--format"), QStringLiteral("text"),
                     QStringLiteral("--data-folder"), dir.path(), QStringLiteral("-o"), out});
        QCOMPARE(run.code, 2);
        QVERIFY2(run.err.contains("kein Bookmark-Archiv (Book.bkm fehlt)"), run.err.constData());
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("Book.bkm"))));
        QVERIFY(!QFile::exists(out));
        QCOMPARE(listing(dir.path()), QStringList());
    }

    // The export reads a folder file only as a regular file inside the data
    // folder: a folder whose entry leads out, a link or a FIFO is skipped and
    // named, without waiting and without the outside file's content; the
    // rest is exported. Only when nothing is left does the export fail.
    void exportSkipsRefusedFolderFiles_data()
    {
        QTest::addColumn<QString>("make");
        QTest::addColumn<bool>("onlyThatFolder");
        for (const bool only : {false, true}) {
            const char* suffix = only ? " (that folder only)" : "";
            QTest::addRow("link out of the data folder%s", suffix) << "link" << only;
            QTest::addRow("FIFO%s", suffix) << "fifo" << only;
            QTest::addRow("name leading out%s", suffix) << "dotted" << only;
        }
    }
    void exportSkipsRefusedFolderFiles()
    {
        QFETCH(QString, make);
        QFETCH(bool, onlyThatFolder);
        QTemporaryDir root;
        const QString data = root.filePath(QStringLiteral("data"));
        writeArchive(data);
        const QString victim = root.filePath(QStringLiteral("victim.bkm"));
        QVERIFY(QFile::rename(data + QStringLiteral("/1.bkm"), victim));
        const QString folderFile = data + QStringLiteral("/1.bkm");
        if (make == u"link") {
            QVERIFY(QFile::link(victim, folderFile));
        } else if (make == u"fifo") {
            QCOMPARE(::mkfifo(QFile::encodeName(folderFile).constData(), 0600), 0);
        } else {
            Book book(data);
            QVERIFY(book.LoadAllThema());
            book.colThema()->at(0).setFileName(QStringLiteral("../victim.bkm"));
            book.setIsEdit(true);
            QVERIFY(book.SaveAllThema().ok);
        }
        const QString out = root.filePath(QStringLiteral("export.txt"));
        QStringList args{QStringLiteral("export"),
                         QStringLiteral("--format"),
                         QStringLiteral("text"),
                         QStringLiteral("--data-folder"),
                         data,
                         QStringLiteral("-o"),
                         out};
        if (onlyThatFolder)
            args << QStringLiteral("--folder") << QStringLiteral("Städte");
        const Run run = runTool(args);
        QVERIFY2(run.err.contains("Die Datei des Ordners 'Städte' wird nicht gelesen"),
                 run.err.constData());
        if (onlyThatFolder) {
            QCOMPARE(run.code, 2);
            QVERIFY(!QFile::exists(out));
            return;
        }
        QCOMPARE(run.code, 0);
        QCOMPARE(run.err.count('\n'), 1);
        const QByteArray exported = ReadBytes(out);
        QVERIFY(exported.contains("Leer"));
        QVERIFY(exported.contains("Fehlt"));
        QVERIFY(!exported.contains("Bahn"));
    }

    void exportRefusesDataFiles_data()
    {
        QTest::addColumn<QString>("target"); // relative to the data folder unless absolute
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("index") << "Book.bkm" << QByteArray("(Book.bkm)");
        QTest::newRow("preferences") << "Pref.orp" << QByteArray("(Pref.orp)");
        QTest::newRow("layout book") << "WLBook.orp" << QByteArray("(WLBook.orp)");
        QTest::newRow("folder file") << "1.bkm" << QByteArray("(1.bkm)");
        QTest::newRow("named but missing") << "3.bkm" << QByteArray("(3.bkm)");
        QTest::newRow("window file named in layout book") << "WL2.nlt" << QByteArray("(WL2.nlt)");
        QTest::newRow("dotted path") << "./sub/../Book.bkm" << QByteArray("(Book.bkm)");
        QTest::newRow("link to index") << "@link" << QByteArray("(Book.bkm)");
    }
    void exportRefusesDataFiles()
    {
        QFETCH(QString, target);
        QFETCH(QByteArray, name);
        QDir(m_data).mkdir(QStringLiteral("sub"));
        QString out = m_data + u'/' + target;
        if (target == u"@link") {
            out = m_tmp.filePath(QStringLiteral("verweis.bkm"));
            QFile::remove(out);
            QVERIFY(QFile::link(m_data + QStringLiteral("/Book.bkm"), out));
        }
        const QStringList before = listing(m_data);
        const QByteArray index = ReadBytes(m_data + QStringLiteral("/Book.bkm"));
        const Run run =
            runTool({QStringLiteral("export"), QStringLiteral("--format"), QStringLiteral("xml"),
                     QStringLiteral("--data-folder"), m_data, QStringLiteral("-o"), out});
        QCOMPARE(run.code, 2);
        QVERIFY2(run.err.contains("ist eine Datei des Datenordners " + name), run.err.constData());
        QCOMPARE(listing(m_data), before);
        QCOMPARE(ReadBytes(m_data + QStringLiteral("/Book.bkm")), index);
        QDir(m_data).rmdir(QStringLiteral("sub"));
    }

    void unknownCommand_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("none") << QStringList{} << QByteArray("Kein Befehl");
        QTest::newRow("unknown") << QStringList{"zeigen"}
                                 << QByteArray("Unbekannter Befehl: zeigen");
        QTest::newRow("help with extra") << QStringList{"help", "dump"} << QByteArray("help");
    }
    void unknownCommand()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, message);
        const Run run = runTool(args);
        QCOMPARE(run.code, 2);
        QVERIFY(run.out.isEmpty());
        QVERIFY2(run.err.contains(message), run.err.constData());
        QCOMPARE(run.err.count('\n'), 1);
    }
};

QTEST_GUILESS_MAIN(TestDataTool)
#include "tst_datatool.moc"
