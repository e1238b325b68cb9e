#include "app/appinit.h"
#include "app/dialogseam.h"
#include "app/recordio.h"
#include "app/texts.h"
#include "common/asnobody.h"
#include "common/filetools.h"
#include "prefs/prefer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace orv;

namespace {

constexpr int kMail2Pwd = 10645 + 702 + 500;

class RecordingSeam : public DialogSeam {
public:
    QList<MessageRequest> messages;
    MsgAnswer message(const MessageRequest& r) override
    {
        messages.append(r);
        return r.defaultAnswer;
    }
    QString fileDialog(const FileDialogRequest&) override { return {}; }
};

QByteArray i16(int v)
{
    const char b[2] = {char(v & 0xFF), char((v >> 8) & 0xFF)};
    return QByteArray(b, 2);
}

QByteArray txt(const QString& s, int width)
{
    return toCp1252(s).left(width).leftJustified(width, ' ');
}

QByteArray readFile(const QString& path)
{
    QByteArray b;
    return readWholeFile(path, b).ok ? b : QByteArray();
}

int fileMode(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
}

// The plain stored form, computed independently: odd places -15, even +15.
QByteArray plainShift(const QByteArray& cp)
{
    QByteArray out = cp;
    for (qsizetype i = 0; i < out.size(); ++i)
        out[i] = char(quint8(out[i]) + (i % 2 == 0 ? -15 : 15));
    return out;
}

QByteArray trimBlanks(QByteArray b)
{
    while (b.startsWith(' '))
        b.remove(0, 1);
    while (b.endsWith(' '))
        b.chop(1);
    return b;
}

Prefer sample(const QString& folder)
{
    Prefer p;
    p.setFolder(folder);
    p.setHomeUrl(QStringLiteral("http://home.example/"));
    p.setHomeTitle(QStringLiteral("<FEED />Titel"));
    p.setSearchEngine(QStringLiteral("https://search.example/?q="));
    p.setSearchEngineFile(QStringLiteral("/opt/s.html"));
    p.setMailClient(QStringLiteral("/usr/bin/mail"));
    p.setStartBrowser(false);
    p.setStatusBar(0);
    p.setTabStrip(false);
    p.setToolbar(false);
    p.setAdresszeile(false);
    p.setMdiWidth(12000);
    p.setMdiHeight(-2);
    p.setMdiState(2);
    p.setHistoryRows(300);
    p.setLoadOption(3);
    p.setGroup(QStringLiteral("Gruppe ä"));
    p.setGroupFile(QStringLiteral("T17.bkm"));
    p.setLayout(QStringLiteral("/tmp/x.wlt"));
    for (int i = 1; i <= 4; ++i) {
        p.setMailSrv(i, QStringLiteral("pop%1.example").arg(i));
        p.setUser(i, QStringLiteral("user%1").arg(i));
        p.setPwd(i, QStringLiteral("pw%1").arg(i));
        p.setEnableMailCheck(i, i % 2 == 1);
    }
    p.setCheckIntervall(17);
    p.setTabButton(false);
    p.setTabFontBold(1);
    p.setTabAlign(2);
    p.setAllowOpenWin(false);
    p.setAllowResizeWin(false);
    p.setAllowWinInBack(true);
    p.setAllowWinRef(true);
    p.setIEPopupBlocker(false);
    return p;
}

struct Field {
    const char* name;
    int offset;
    QByteArray bytes;
};

// The sample's record, field by field, in file order.
QList<Field> sampleLayout()
{
    QList<Field> f = {
        {"marker", 0, i16(-1)},
        {"reserved", 2, QByteArray(8, '\0')},
        {"StartBrowser", 10, i16(0)},
        {"HistoryRows", 12, i16(300)},
        {"MdiWidth", 14, i16(12000)},
        {"MdiHeight", 16, i16(-2)},
        {"MdiState", 18, i16(2)},
        {"StatusBar", 20, i16(0)},
        {"HomeUrl", 22, txt(QStringLiteral("http://home.example/"), 2083)},
        {"SearchEngine", 2105, txt(QStringLiteral("https://search.example/?q="), 2083)},
        {"MailClient", 4188, txt(QStringLiteral("/usr/bin/mail"), 2083)},
        {"Toolbar", 6271, i16(0)},
        {"Adresszeile", 6273, i16(0)},
        {"TabStrip", 6275, i16(0)},
        {"LoadOption", 6277, i16(3)},
        {"Group", 6279, txt(QStringLiteral("Gruppe ä"), 200)},
        {"GroupFile", 6479, txt(QStringLiteral("T17.bkm"), 2083)},
        {"Layout", 8562, txt(QStringLiteral("/tmp/x.wlt"), 2083)},
    };
    for (int i = 1; i <= 4; ++i) {
        const int b = 10645 + (i - 1) * 702;
        const QByteArray pwd = plainShift(toCp1252(QStringLiteral("pw%1").arg(i)));
        f.append({"MailSrv", b, txt(QStringLiteral("pop%1.example").arg(i), 250)});
        f.append({"User", b + 250, txt(QStringLiteral("user%1").arg(i), 250)});
        f.append({"Pwd", b + 500, pwd.leftJustified(200, ' ')});
        f.append({"EnableMailCheck", b + 700, i16(i % 2 == 1 ? -1 : 0)});
    }
    f += QList<Field>{
        {"CheckIntervall", 13453, i16(17)},
        {"TabButton", 13455, i16(0)},
        {"TabFontBold", 13457, i16(1)},
        {"TabAlign", 13459, i16(2)},
        {"AllowOpenWin", 13461, i16(0)},
        {"AllowResizeWin", 13463, i16(0)},
        {"AllowWinInBack", 13465, i16(-1)},
        {"AllowWinRef", 13467, i16(-1)},
        {"SearchEngineFile", 13469, txt(QStringLiteral("/opt/s.html"), 2083)},
        {"HomeTitle", 15552, txt(QStringLiteral("<FEED />Titel"), 20)},
        {"IEPopupBlocker", 15572, i16(0)},
    };
    return f;
}

} // namespace

class TstPrefer : public QObject {
    Q_OBJECT
    QTemporaryDir m_tmp;
    RecordingSeam m_seam;
    QString m_dir;

    QString path() const { return m_dir + QStringLiteral("/Pref.orp"); }

private Q_SLOTS:
    void initTestCase()
    {
        LoadTexts(QStringLiteral("/opt/orvane/share"));
        SetAppFolder(QStringLiteral("/opt/orvane/share"));
        SetDataFolder(m_tmp.path());
        InstallDialogs(&m_seam);
    }
    void cleanupTestCase() { InstallDialogs(nullptr); }
    void init()
    {
        static int n = 0;
        m_dir = m_tmp.filePath(QString::number(++n));
        QVERIFY(QDir().mkpath(m_dir));
        m_seam.messages.clear();
    }

    void defaults()
    {
        const Prefer p;
        QCOMPARE(p.FilePath(), DataFolder() + QStringLiteral("/Pref.orp"));
        QCOMPARE(p.HomeUrl(), ProductPageUrl());
        QCOMPARE(p.SearchEngine(), Txt(100));
        QCOMPARE(p.SearchEngineFile(), QStringLiteral("/opt/orvane/share/search.html"));
        QVERIFY(p.StartBrowser() && p.TabStrip() && p.Toolbar() && p.Adresszeile());
        QVERIFY(p.TabButton() && p.AllowOpenWin() && p.AllowResizeWin() && p.IEPopupBlocker());
        QVERIFY(!p.AllowWinInBack() && !p.AllowWinRef() && !p.EnableMailCheck4());
        QCOMPARE(
            QList<int>({p.StatusBar(), p.MdiWidth(), p.MdiHeight(), p.MdiState(), p.HistoryRows(),
                        p.LoadOption(), p.CheckIntervall(), p.TabFontBold(), p.TabAlign()}),
            QList<int>({1, 10485, 7470, 0, 50, 1, 5, 0, 1}));
        QVERIFY(p.HomeTitle().isEmpty() && p.MailClient().isEmpty() && p.Pwd1().isEmpty());
    }

    void layoutCoversRecord()
    {
        int next = 0;
        for (const Field& f : sampleLayout()) {
            QCOMPARE(f.offset, next);
            next += int(f.bytes.size());
        }
        QCOMPARE(next, Prefer::RecordLength);
    }

    void fieldOffsets_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("bytes");
        for (const Field& f : sampleLayout())
            QTest::addRow("%s@%d", f.name, f.offset) << f.offset << f.bytes;
    }
    void fieldOffsets()
    {
        QFETCH(int, offset);
        QFETCH(QByteArray, bytes);
        QVERIFY(sample(m_dir).SavePref().ok);
        const QByteArray rec = readFile(path());
        QCOMPARE(rec.size(), Prefer::RecordLength);
        QCOMPARE(rec.mid(offset, bytes.size()), bytes);
    }

    void resetToDefaults_data()
    {
        QTest::addColumn<bool>("present");
        QTest::addColumn<QByteArray>("content");
        const QByteArray rec = sample(QString()).toRecord();
        auto patched = [&rec](int at, const QByteArray& b) {
            return QByteArray(rec).replace(at, b.size(), b);
        };
        QTest::newRow("missing") << false << QByteArray();
        QTest::newRow("empty") << true << QByteArray();
        QTest::newRow("marker 0") << true << patched(0, i16(0));
        QTest::newRow("marker 1") << true << patched(0, i16(1));
        QTest::newRow("NUL MailClient") << true << patched(4188, QByteArray(1, '\0'));
        QTest::newRow("NUL SearchEngineFile") << true << patched(13469, QByteArray(1, '\0'));
        // A NUL behind blanks would be the field's first byte once saved.
        QTest::newRow("blanks, NUL MailClient")
            << true << patched(4188, QByteArray("   ") + QByteArray(1, '\0'));
        QTest::newRow("blanks, NUL SearchEngineFile")
            << true << patched(13469, QByteArray(1, ' ') + QByteArray(1, '\0'));
        QTest::newRow("cut before SearchEngineFile") << true << rec.left(13469);
        QTest::newRow("one byte") << true << QByteArray("\xFF");
    }
    void resetToDefaults()
    {
        QFETCH(bool, present);
        QFETCH(QByteArray, content);
        if (present)
            WriteBytes(path(), content);
        Prefer p = sample(m_dir);
        const Prefer::LoadResult r = p.LoadPref();
        QCOMPARE(r.outcome, Prefer::LoadOutcome::ResetToDefaults);
        QVERIFY(r.file.ok);
        QCOMPARE(p.toRecord(), Prefer().toRecord());
        QCOMPARE(readFile(path()), Prefer().toRecord());
        QCOMPARE(fileMode(path()), 0600);
        QVERIFY(m_seam.messages.isEmpty());
    }

    void shortButValid()
    {
        const QByteArray rec = sample(m_dir).toRecord().left(13470);
        WriteBytes(path(), rec);
        Prefer p;
        p.setFolder(m_dir);
        QCOMPARE(p.LoadPref().outcome, Prefer::LoadOutcome::Loaded);
        QCOMPARE(p.SearchEngineFile(), QStringLiteral("/")); // the rest reads as zeros
        QVERIFY(p.HomeTitle().isEmpty());
        QVERIFY(!p.IEPopupBlocker());
        QCOMPARE(p.Pwd4(), QStringLiteral("pw4"));
        QCOMPARE(readFile(path()), rec); // loading never writes a valid file
    }

    // Addresses outside the code page are kept in their ASCII form, so they
    // lead to the same place after a restart; those that fit stay as typed.
    void addressesSurviveTheCodePage_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("stored");
        QTest::newRow("fits") << QStringLiteral("http://127.0.0.1:8123/ü€?a=\"1\"")
                              << QStringLiteral("http://127.0.0.1:8123/ü€?a=\"1\"");
        QTest::newRow("path and query")
            << QStringLiteral("http://127.0.0.1:8123/ü€漢字?q=字")
            << QStringLiteral(
                   "http://127.0.0.1:8123/%C3%BC%E2%82%AC%E6%BC%A2%E5%AD%97?q=%E5%AD%97");
        QTest::newRow("host") << QStringLiteral("http://bücher.例え.jp/")
                              << QStringLiteral("http://xn--bcher-kva.xn--r8jz45g.jp/");
        QTest::newRow("shell path") << QStringLiteral("::{20D04FE0}\\Bücher 漢%")
                                    << QStringLiteral("::{20D04FE0}\\B%C3%BCcher %E6%BC%A2%25");
    }
    void addressesSurviveTheCodePage()
    {
        QFETCH(QString, address);
        QFETCH(QString, stored);
        Prefer a;
        a.setFolder(m_dir);
        a.setHomeUrl(address);
        a.setSearchEngine(address);
        QVERIFY(a.SavePref().ok);
        Prefer b;
        b.setFolder(m_dir);
        QCOMPARE(b.LoadPref().outcome, Prefer::LoadOutcome::Loaded);
        QCOMPARE(b.HomeUrl(), stored);
        QCOMPARE(b.SearchEngine(), stored);
        if (address.startsWith(u"http"))
            QCOMPARE(QUrl(b.HomeUrl()), QUrl(address));
    }

    void roundTrip_data()
    {
        QTest::addColumn<bool>("useSample");
        QTest::newRow("sample") << true;
        QTest::newRow("defaults") << false;
    }
    void roundTrip()
    {
        QFETCH(bool, useSample);
        Prefer a = useSample ? sample(m_dir) : Prefer();
        a.setFolder(m_dir);
        QVERIFY(a.SavePref().ok);
        WriteBytes(path(), readFile(path()) + "trailing bytes are ignored");
        Prefer b;
        b.setFolder(m_dir);
        QCOMPARE(b.LoadPref().outcome, Prefer::LoadOutcome::Loaded);
        QCOMPARE(b.toRecord(), a.toRecord());
        QCOMPARE(b.HomeUrl(), a.HomeUrl());
        QCOMPARE(b.HomeTitle(), a.HomeTitle());
        QCOMPARE(b.SearchEngineFile(), a.SearchEngineFile());
        QCOMPARE(b.User4(), a.User4());
        QCOMPARE(b.Pwd3(), a.Pwd3());
        // The start folder's name, file and the layout keep their padding.
        QCOMPARE(b.Group(), a.Group().leftJustified(200));
        QCOMPARE(b.GroupFile(), a.GroupFile().leftJustified(2083));
        QCOMPARE(b.Layout(), a.Layout().leftJustified(2083));
    }

    void cutAndClamp()
    {
        Prefer p;
        p.setFolder(m_dir);
        const QString url(2100, QLatin1Char('u'));
        p.setHomeUrl(url);
        p.setMdiWidth(40000);
        p.setMdiHeight(-40000);
        p.setHistoryRows(-32768);
        QVERIFY(p.SavePref().ok);
        QCOMPARE(readFile(path()).mid(22, 2083 + 5), QByteArray(2083, 'u') + "https");
        Prefer q;
        q.setFolder(m_dir);
        QCOMPARE(q.LoadPref().outcome, Prefer::LoadOutcome::Loaded);
        QCOMPARE(q.HomeUrl(), url.left(2083));
        QCOMPARE(q.MdiWidth(), 32767);
        QCOMPARE(q.MdiHeight(), -32768);
        QCOMPARE(q.HistoryRows(), -32768);
    }

    // Every code at the 1st and at the 2nd place: plain exactly where the
    // plain form can hold it, and always read back exactly.
    void everyCodeRoundTrips()
    {
        for (int code = 0; code < 256; ++code) {
            const QString c = fromCp1252(QByteArray(1, char(code)));
            for (int place = 0; place < 2; ++place) {
                const QString pwd = place == 0 ? c + QStringLiteral("ab") : QStringLiteral("a") + c;
                const QString stored = Prefer::EncodePwd(pwd);
                const bool plainFits =
                    place == 0 ? (code >= 15 && code != 47) : (code <= 240 && code != 17);
                QCOMPARE(toCp1252(stored) == plainShift(toCp1252(pwd)), plainFits);
                QCOMPARE(Prefer::DecodePwd(fromCp1252(trimBlanks(toCp1252(stored)))), pwd);
            }
        }
    }

    void passwords_data()
    {
        QTest::addColumn<QString>("pwd");
        QTest::addColumn<QString>("readBack");
        QTest::addColumn<bool>("plain");
        auto row = [](const char* name, const QString& pwd, bool plain) {
            QTest::newRow(name) << pwd << pwd << plain;
        };
        row("empty", QString(), true);
        row("odd length", QStringLiteral("abc"), true);
        row("code 15 first (NUL stored)", QChar(15) + QStringLiteral("x"), true);
        row("code 240 second", QStringLiteral("a") + QChar(240), true);
        row("euro and unassigned 0x81", QStringLiteral("€") + QChar(0x81), true);
        row("blanks around", QStringLiteral("  pw  "), true);
        row("slash second", QStringLiteral("a/"), true);
        row("ü second", QStringLiteral("aü"), false);
        row("code 5 first", QChar(5) + QStringLiteral("ab"), false);
        row("trailing slash third", QStringLiteral("ab/"), false);
        row("leading slash", QStringLiteral("/ab"), false);
        row("code 17 last at even place", QStringLiteral("a") + QChar(17), false);
        row("outside cp1252", QStringLiteral("Ωmega"), false);
        row("emoji", QStringLiteral("pw😀 "), false);
        QByteArray low, high;
        for (int c = 0; c < 100; ++c)
            low += char(c);
        high += char(5); // forces the escaped form
        for (int c = 150; c < 200; ++c)
            high += char(c);
        row("codes 0..99", fromCp1252(low), false);
        row("codes 5, 150..199", fromCp1252(high), false);
        QTest::newRow("250 plain cut") << QString(250, u'x') << QString(200, u'x') << true;
        QTest::newRow("250 ü cut") << QString(250, u'ü') << QString(98, u'ü') << false;
    }
    void passwords()
    {
        QFETCH(QString, pwd);
        QFETCH(QString, readBack);
        QFETCH(bool, plain);
        Prefer p;
        p.setFolder(m_dir);
        p.setPwd2(pwd);
        QVERIFY(p.SavePref().ok);
        const QByteArray field = readFile(path()).mid(kMail2Pwd, 200);
        if (plain)
            QCOMPARE(field, plainShift(toCp1252(readBack)).leftJustified(200, ' '));
        else
            QVERIFY(field.startsWith("\xFF\xFE"));
        Prefer q;
        q.setFolder(m_dir);
        QCOMPARE(q.LoadPref().outcome, Prefer::LoadOutcome::Loaded);
        QCOMPARE(q.Pwd2(), readBack);
        QVERIFY(m_seam.messages.isEmpty());
    }

    void oldFormat_data()
    {
        QTest::addColumn<int>("account");
        QTest::addColumn<QByteArray>("field");
        QTest::newRow("above 240 first") << 1
                                         << QByteArray("\xF5"
                                                       "abc");
        QTest::newRow("below 15 second") << 2 << QByteArray("a\x05");
        QTest::newRow("all NUL") << 4 << QByteArray(200, '\0');
        QTest::newRow("0xFF alone") << 3 << QByteArray("\xFF");
        QTest::newRow("escape without end") << 1
                                            << QByteArray("\xFF\xFE"
                                                          "abc");
        QTest::newRow("escape, bad UTF-8") << 1 << QByteArray("\xFF\xFE\xF0\xFF");
        QTest::newRow("escape, cut UTF-8") << 1 << QByteArray("\xFF\xFE\xB4\xFF");
    }
    void oldFormat()
    {
        QFETCH(int, account);
        QFETCH(QByteArray, field);
        QByteArray rec = sample(m_dir).toRecord();
        rec.replace(10645 + (account - 1) * 702 + 500, 200, field.leftJustified(200, ' '));
        WriteBytes(path(), rec);
        Prefer p;
        p.setFolder(m_dir);
        QCOMPARE(p.LoadPref().outcome, Prefer::LoadOutcome::OldFormat);
        QCOMPARE(m_seam.messages.size(), 1);
        QCOMPARE(m_seam.messages[0].title, Txt(1113));
        QCOMPARE(m_seam.messages[0].text, Txt(1141) + QStringLiteral(" \"") + m_dir + u'"');
        QCOMPARE(m_seam.messages[0].icon, MsgIcon::Critical);
        QCOMPARE(readFile(path()), rec);
        QCOMPARE(p.toRecord(), Prefer().toRecord()); // nothing half-loaded
    }

    void ownerOnly_data()
    {
        QTest::addColumn<int>("before");
        QTest::newRow("new file") << -1;
        QTest::newRow("was 0644") << 0644;
        QTest::newRow("was 0666") << 0666;
    }
    void ownerOnly()
    {
        QFETCH(int, before);
        if (before >= 0) {
            WriteBytes(path(), "old");
            QCOMPARE(::chmod(QFile::encodeName(path()).constData(), mode_t(before)), 0);
        }
        QVERIFY(sample(m_dir).SavePref().ok);
        QCOMPARE(fileMode(path()), 0600);
    }

    void saveIntoFileAsFolder()
    {
        WriteBytes(m_dir + QStringLiteral("/plain"), "x");
        Prefer p;
        p.setFolder(m_dir + QStringLiteral("/plain"));
        const FileResult r = p.SavePref();
        QVERIFY(!r.ok && !r.error.isEmpty());
        const Prefer::LoadResult l = p.LoadPref();
        QCOMPARE(l.outcome, Prefer::LoadOutcome::ResetToDefaults);
        QVERIFY(!l.file.ok);
    }

    void unreadableFileIsLeftAlone()
    {
        QVERIFY(QDir().mkpath(path())); // a folder where the file belongs
        Prefer p = sample(m_dir);
        const Prefer::LoadResult r = p.LoadPref();
        QCOMPARE(r.outcome, Prefer::LoadOutcome::ReadFailed);
        QVERIFY(!r.file.ok && !r.file.error.isEmpty());
        QCOMPARE(p.toRecord(), Prefer().toRecord());
        QVERIFY(QFileInfo(path()).isDir());
    }

    // Settings that exist but cannot be read (left owner-only by a run as
    // another user) are never replaced by the defaults.
    void unreadSettingsNeverSavedOver()
    {
        QVERIFY(sample(m_dir).SavePref().ok);
        const QByteArray old = readFile(path());
        QVERIFY(::chmod(QFile::encodeName(path()).constData(), 0) == 0);
        // The user reaches the folder and may write in it.
        QVERIFY(::chmod(QFile::encodeName(m_tmp.path()).constData(), 0711) == 0);
        QVERIFY(GiveToUser(m_dir));
        const QString folder = m_dir;
        const int answer = RunAsUser([&folder] {
            Prefer p;
            p.setFolder(folder);
            if (p.LoadPref().outcome != Prefer::LoadOutcome::ReadFailed)
                return 2;
            const FileResult saved = p.SavePref();
            return saved.ok ? 3 : saved.error.contains(QStringLiteral("Pref.orp")) ? 0 : 4;
        });
        QVERIFY(::chmod(QFile::encodeName(path()).constData(), 0600) == 0);
        QCOMPARE(answer, 0);
        QCOMPARE(readFile(path()), old);
    }

    // Paths into a program folder that no longer holds the file (the build
    // tree of the first start) follow the program; other paths stay.
    void programFilesFollowTheProgram_data()
    {
        QTest::addColumn<QString>("searchFile"); // "@" is the program folder now
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("searchFileNow");
        QTest::addColumn<QString>("homeNow");
        QTest::newRow("build tree gone") << "/gone/src/resources/search.html"
                                         << "file:///gone/src/resources/home/frameset.htm"
                                         << "@/search.html"
                                         << "file://@/home/frameset.htm";
        QTest::newRow("old installation") << "/opt/x/share/orvane/search.html"
                                          << "file:///opt/x/share/orvane/home/frameset.htm#a"
                                          << "@/search.html"
                                          << "file://@/home/frameset.htm#a";
        QTest::newRow("own files and addresses stay")
            << "/gone/meine/search.html"
            << "http://example.test/orvane/home/frameset.htm"
            << "/gone/meine/search.html"
            << "http://example.test/orvane/home/frameset.htm";
        QTest::newRow("not shipped stays") << "/gone/resources/eigene.html"
                                           << "file:///gone/resources/home/none.htm"
                                           << "/gone/resources/eigene.html"
                                           << "file:///gone/resources/home/none.htm";
    }
    void programFilesFollowTheProgram()
    {
        QFETCH(QString, searchFile);
        QFETCH(QString, home);
        QFETCH(QString, searchFileNow);
        QFETCH(QString, homeNow);
        QTemporaryDir app;
        QVERIFY(QDir().mkpath(app.filePath(QStringLiteral("home"))));
        WriteBytes(app.filePath(QStringLiteral("search.html")), "s");
        WriteBytes(app.filePath(QStringLiteral("home/frameset.htm")), "h");
        Prefer stored = sample(m_dir);
        stored.setSearchEngineFile(searchFile);
        stored.setHomeUrl(home);
        QVERIFY(stored.SavePref().ok);

        const QString before = AppFolder();
        SetAppFolder(app.path());
        Prefer p;
        p.setFolder(m_dir);
        const Prefer::LoadOutcome outcome = p.LoadPref().outcome;
        SetAppFolder(before);
        QCOMPARE(outcome, Prefer::LoadOutcome::Loaded);
        QCOMPARE(p.SearchEngineFile(), searchFileNow.replace(u'@', app.path()));
        QCOMPARE(p.HomeUrl(), homeNow.replace(u'@', app.path()));
    }

    void saveIntoReadOnlyFolder()
    {
        if (::geteuid() == 0)
            QSKIP("permission bits do not stop root");
        QVERIFY(sample(m_dir).SavePref().ok);
        const QByteArray old = readFile(path());
        QVERIFY(QFile::setPermissions(m_dir, QFile::ReadOwner | QFile::ExeOwner));
        Prefer p;
        p.setFolder(m_dir);
        const FileResult r = p.SavePref();
        QFile::setPermissions(m_dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(!r.ok);
        QCOMPARE(readFile(path()), old);
    }

    // A full disk (simulated by a file size limit, which binds root too)
    // leaves the old file whole and no temporary file behind.
    void saveOnFullDisk()
    {
        QVERIFY(sample(m_dir).SavePref().ok);
        const QByteArray old = readFile(path());
        Prefer p;
        p.setFolder(m_dir);
        rlimit saved{};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 4096;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
        const FileResult r = p.SavePref();
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(!r.ok);
        QCOMPARE(readFile(path()), old);
        QCOMPARE(QDir(m_dir).entryList(QDir::Files), QStringList{QStringLiteral("Pref.orp")});
    }
};

QTEST_GUILESS_MAIN(TstPrefer)
#include "tst_prefer.moc"
