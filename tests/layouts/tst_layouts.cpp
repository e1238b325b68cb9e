#include "app/dialogseam.h"
#include "app/texts.h"
#include "common/filetools.h"
#include "layouts/layout.h"
#include "layouts/layoutbook.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <csignal>
#include <limits>
#include <sys/resource.h>
#include <sys/stat.h>
#include <tuple>

using namespace orv;

Q_DECLARE_METATYPE(orv::LayoutWindowState)

namespace {

struct Seam final : DialogSeam {
    QList<MessageRequest> messages;
    MsgAnswer message(const MessageRequest& r) override
    {
        messages.append(r);
        return r.defaultAnswer;
    }
    QString fileDialog(const FileDialogRequest&) override { return {}; }
};

struct F {
    static int i16(const QByteArray& b, int at) { return qFromLittleEndian<qint16>(b.data() + at); }
    static int i32(const QByteArray& b, int at) { return qFromLittleEndian<qint32>(b.data() + at); }
    static QByteArray pad(const QByteArray& t, int w) { return t + QByteArray(w - t.size(), ' '); }
};

FensterInfo window(const char* url, float x)
{
    FensterInfo f;
    f.x = x;
    f.Breite = 2 * x;
    f.URL = QString::fromLatin1(url);
    f.Titel = QStringLiteral("T");
    f.ToolbarVisible = true;
    return f;
}

// Writes beyond `bytes` fail as on a full disk while this lives.
struct FullDisk {
    rlimit old{};
    explicit FullDisk(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit l = old;
        l.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &l);
    }
    ~FullDisk() { setrlimit(RLIMIT_FSIZE, &old); }
};

// Offset, value, offset, value, ... of 16-bit fields.
void checkInt16(const QByteArray& b, const QList<int>& fields)
{
    for (int i = 0; i + 1 < fields.size(); i += 2)
        QCOMPARE(F::i16(b, fields[i]), fields[i + 1]);
}

} // namespace

class TstLayouts : public QObject {
    Q_OBJECT
    Seam m_seam;
    QTemporaryDir m_tmp;
    int m_n = 0;
    QString dir() // a fresh folder per call
    {
        const QString d = m_tmp.filePath(QString::number(++m_n));
        QDir().mkpath(d);
        return d;
    }

    // The text, then on its own line why the file named `file` could not
    // be read.
    void expectOneError(const QString& text, const QString& file)
    {
        QCOMPARE(m_seam.messages.size(), 1);
        QCOMPARE(m_seam.messages[0].title, QStringLiteral("Fehlermeldung"));
        const QString told = m_seam.messages[0].text;
        QVERIFY2(told.startsWith(text + u'\n') && told.contains(file) && told.endsWith(u')'),
                 qPrintable(told));
        QCOMPARE(m_seam.messages[0].icon, MsgIcon::Warning);
    }

private Q_SLOTS:
    void initTestCase()
    {
        LoadTexts(QStringLiteral("/opt/orvane/share"));
        InstallDialogs(&m_seam);
    }
    void cleanupTestCase() { InstallDialogs(nullptr); }
    void init() { m_seam.messages.clear(); }

    void bookRecordBytes()
    {
        LayoutBook book(dir());
        book.setSequenzMax(299);
        book.AddLayout(LayoutItem(), QStringLiteral("Büro"), QStringLiteral("Info €"), 0);
        book.AddLayout(LayoutItem(), QString(300, QLatin1Char('n')), QString(), 0);
        QVERIFY(book.UpdateAllLayouts().ok);
        const QByteArray b = ReadBytes(book.BookPath());
        QCOMPARE(b.size(), 2 * 3370);
        QCOMPARE(F::i32(b, 0), 300);
        QCOMPARE(F::i32(b, 4), 1);
        QCOMPARE(b.mid(8, 255), F::pad("B\xfcro", 255));
        QCOMPARE(b.mid(263, 2083), F::pad("WL300.nlt", 2083));
        QCOMPARE(b.mid(2346, 1024), F::pad("Info \x80", 1024));
        QCOMPARE(F::i32(b, 3370), 301);
        QCOMPARE(F::i32(b, 3374), 2);
        QCOMPARE(b.mid(3378, 255), QByteArray(255, 'n')); // cut at the field width
    }

    void windowRecordBytes_data()
    {
        QTest::addColumn<float>("single");
        QTest::addColumn<int>("stored");
        const QList<QPair<float, int>> rows = {
            {0.5f, 0},        {1.5f, 2},      {2.5f, 2},
            {3.5f, 4},        {-0.5f, 0},     {-1.5f, -2},
            {-2.5f, -2},      {2.51f, 3},     {40000, 32767},
            {-40000, -32768}, {1e30f, 32767}, {-std::numeric_limits<float>::infinity(), -32768}};
        for (const auto& [single, stored] : rows)
            QTest::newRow(QByteArray::number(single)) << single << stored;
    }
    void windowRecordBytes()
    {
        QFETCH(float, single);
        QFETCH(int, stored);
        const QString d = dir();
        LayoutItem item(d);
        item.setSequenz(7);
        FensterInfo f = window("", single);
        f.Nr = 99; // the position is written, not this
        f.y = 1;
        f.Breite = f.Hoehe = single;
        f.URL = QString(3000, QLatin1Char('u'));
        f.Titel = QStringLiteral("<FEED />News");
        f.ToolbarVisible = false;
        f.AdressbarVisible = true;
        f.WindowState = 2;
        item.colFensterInfo() = {FensterInfo(), f};
        QVERIFY(item.SaveAllFensterInfos().ok);
        QCOMPARE(item.FileName(), QStringLiteral("WL7.nlt"));
        QByteArray b = ReadBytes(d + QStringLiteral("/WL7.nlt")).mid(2615);
        QCOMPARE(b.size(), 2615);
        checkInt16(b, {0, 2, 2, stored, 4, 1, 6, stored, 8, stored, 2609, 0, 2611, -1, 2613, 2});
        QCOMPARE(b.mid(10, 2083), QByteArray(2083, 'u'));
        QCOMPARE(b.mid(2093, 516), F::pad("<FEED />News", 516));

        LayoutWindowState w;
        w.LocationURL = QString(1100, QLatin1Char('x'));
        w.Caption = QStringLiteral("Seite Ω");
        w.Geometry = QRectF(single, -120, 4500, single);
        w.ToolbarVisible = true;
        QVERIFY(Layout::SaveLayout(d + QStringLiteral("/a"), {LayoutWindowState(), w}).ok);
        b = ReadBytes(d + QStringLiteral("/a")).mid(1556);
        QCOMPARE(b.size(), 1556);
        checkInt16(b, {0, 2, 2, stored, 4, -120, 6, 4500, 8, stored, 1034, -1, 1036, 0, 1038, 0});
        QCOMPARE(b.mid(10, 1024), QByteArray(1024, 'x'));
        QCOMPARE(b.mid(1040, 516), F::pad("Seite ?", 516));
    }

    void texts()
    {
        const QString p = dir() + QStringLiteral("/t.wlt");
        LayoutWindowRecord a, b;
        a.Titel = QString(516, QLatin1Char('t'));
        a.URL = QStringLiteral("  http://a/  ");
        b.Titel = QStringLiteral("   eingerückt  ");
        b.URL = QStringLiteral("http://\U0001F600/");
        QVERIFY(writeLayoutFile(p, {a, b}).ok);
        QList<LayoutWindowRecord> r;
        QVERIFY(readLayoutFile(p, r).ok);
        QCOMPARE(r.size(), 2);
        QCOMPARE(r[0].Titel, a.Titel); // exactly the width survives
        QCOMPARE(r[0].URL, QStringLiteral("http://a/"));
        QCOMPARE(r[1].Titel, QStringLiteral("eingerückt"));
        // An address outside the code page is kept in its ASCII form
        // (the host in punycode).
        QCOMPARE(r[1].URL, QStringLiteral("http://xn--e28h/"));

        // NUL, control and unassigned bytes read and write back unchanged.
        QByteArray record(2615, '\0'), title;
        for (int c = 1; c < 256; ++c)
            title.append(char(c));
        record.replace(2093, title.size(), title + '\0');
        record.replace(10, 4, QByteArray("a\0b\0", 4));
        QVERIFY(PutBytes(p, record));
        QList<FensterInfo> infos;
        QVERIFY(readFensterInfoFile(p, infos).ok);
        QVERIFY(infos.value(0).URL.contains(QChar(0)));
        QVERIFY(writeFensterInfoFile(p, infos).ok);
        QCOMPARE(ReadBytes(p).mid(0, 2609),
                 record.mid(0, 2609).replace(0, 2, QByteArray("\1\0", 2)));
    }

    void recordCounts_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("fileLength");
        for (int len : {3370, 2615, 1556})
            for (int size : {0, len - 1, len, len + 1, 2 * len + 7})
                QTest::addRow("%d/%d", len, size) << len << size;
    }
    void recordCounts()
    {
        QFETCH(int, length);
        QFETCH(int, fileLength);
        const QString p = dir() + QStringLiteral("/f");
        QVERIFY(PutBytes(p, QByteArray(fileLength, '\xff')));
        QList<LayoutBookRecord> b;
        QList<FensterInfo> n;
        QList<LayoutWindowRecord> w;
        QVERIFY(readLayoutBookFile(p, b).ok && readFensterInfoFile(p, n).ok &&
                readLayoutFile(p, w).ok);
        const qsizetype count = length == 3370 ? b.size() : length == 2615 ? n.size() : w.size();
        QCOMPARE(count, qsizetype(fileLength / length));
        if (count)
            QVERIFY(length == 3370   ? b[0].Sequenz == -1
                    : length == 2615 ? n[0].x == -1
                                     : w[0].Width == -1);
        QList<LayoutBookRecord> none;
        QVERIFY(!readLayoutBookFile(p + QStringLiteral("x"), none).ok); // missing: no side effect
        QVERIFY(!QFile::exists(p + QStringLiteral("x")));
    }

    void keysAndPositions_data()
    {
        QTest::addColumn<int>("nKey");
        QTest::addColumn<QString>("order");
        QTest::newRow("append 0") << 0 << "abcN";
        QTest::newRow("append -3") << -3 << "abcN";
        QTest::newRow("after 1") << 1 << "aNbc";
        QTest::newRow("after last") << 3 << "abcN";
        QTest::newRow("past end") << 9 << "abcN";
    }
    void keysAndPositions()
    {
        QFETCH(int, nKey);
        QFETCH(QString, order);
        LayoutBook book(QStringLiteral("/nonexistent"));
        QCOMPARE(book.GetNewKey(), 1);
        for (const char* n : {"a", "b", "c"})
            book.AddLayout(LayoutItem(), QString::fromLatin1(n), {}, 0);
        const int pos = book.AddLayout(LayoutItem(), QStringLiteral("N"), {}, nKey);
        QString got;
        for (const LayoutItem& item : book.colLayout())
            got += item.LayoutName();
        QCOMPARE(got, order);
        QCOMPARE(book.layout(pos)->Sequenz(), 5);
        QCOMPARE(book.layout(pos)->FileName(), QStringLiteral("WL5.nlt"));
        QCOMPARE(book.layout(pos)->Folder(), QStringLiteral("/nonexistent"));
        QCOMPARE(book.PositionOfSequenz(5), pos);
        book.setSequenzMax(std::numeric_limits<qint32>::max()); // used up: smallest free key
        QCOMPARE(book.GetNewKey(), 1);
    }

    void keyAfterLoadAndDelete()
    {
        const QString d = dir();
        QVERIFY(
            writeLayoutBookFile(d + QStringLiteral("/WLBook.orp"), {{3, 0, "a", "WL3.nlt", ""},
                                                                    {12, 0, "b", "WL12.nlt", ""},
                                                                    {-4, 0, "c", "WL-4.nlt", ""}})
                .ok);
        LayoutBook book(d);
        QVERIFY(book.LoadAllLayouts());
        QCOMPARE(book.ItCounter(), 3);
        QVERIFY(book.DeleteLayout(2).ok);
        QCOMPARE(book.GetNewKey(), 13);
        LayoutBook again(d);
        QVERIFY(again.LoadAllLayouts());
        QCOMPARE(again.GetNewKey(), 4);
    }

    void saveAndLoad()
    {
        const QString d = dir();
        LayoutBook book(d);
        LayoutItem a;
        a.colFensterInfo() = {window("http://a/", 10)};
        a.setIsEdit(true);
        book.AddLayout(a, QStringLiteral("A"), {}, 0);
        book.AddLayout(LayoutItem(), QStringLiteral("leer"), {}, 0);
        book.layout(2)->setIsEdit(true);
        book.AddLayout(LayoutItem(), QStringLiteral("C"), {}, 0); // not edited: no file

        QVERIFY(book.UpdateAllLayouts().ok); // the book file only
        QVERIFY(!book.IsEdit() && book.layout(1)->IsEdit());
        QVERIFY(!QFile::exists(d + QStringLiteral("/WL1.nlt")));
        QVERIFY(book.SaveAllLayouts().ok);
        QVERIFY(!book.layout(1)->IsEdit() && !book.layout(2)->IsEdit());
        QCOMPARE(ReadBytes(d + QStringLiteral("/WL1.nlt")).size(), 2615);
        QVERIFY(QFile::exists(d + QStringLiteral("/WL2.nlt")));
        QCOMPARE(ReadBytes(d + QStringLiteral("/WL2.nlt")).size(), 0);
        QVERIFY(!QFile::exists(d + QStringLiteral("/WL3.nlt")));

        LayoutBook loaded(d);
        QVERIFY(loaded.LoadAllLayouts());
        QVERIFY(loaded.LoadAllLayouts()); // a second load replaces, never doubles
        QCOMPARE(loaded.count(), 3);
        FensterInfo expected = window("http://a/", 10);
        expected.Nr = 1;
        QCOMPARE(loaded.layout(1)->colFensterInfo(), QList<FensterInfo>{expected});
        QCOMPARE(loaded.layout(2)->ItCounter(), 0);
        QCOMPARE(loaded.layout(3)->ItCounter(), 0); // missing file: no windows,
        QVERIFY(m_seam.messages.isEmpty());         // and no message
        QCOMPARE(loaded.BookRecords(), book.BookRecords());

        QVERIFY(
            writeLayoutBookFile(loaded.BookPath(), {{5, 0, "  Name  ", " WL1.nlt ", " Info "}}).ok);
        QVERIFY(loaded.LoadAllLayouts());
        QCOMPARE(loaded.layout(1)->LayoutName() + loaded.layout(1)->FileName() +
                     loaded.layout(1)->Info(),
                 QStringLiteral("NameWL1.nltInfo"));
        QCOMPARE(loaded.layout(1)->ItCounter(), 1);
    }

    void emptyBook()
    {
        LayoutBook book(dir());
        QVERIFY(!book.LoadAllLayouts());
        QVERIFY(QFile::exists(book.BookPath())); // created empty
        QCOMPARE(book.SequenzMax(), 0);
        book.AddLayout(LayoutItem(), QStringLiteral("x"), {}, 0);
        QVERIFY(book.DeleteLayout(1).ok && book.IsEmpty());
        QCOMPARE(ReadBytes(book.BookPath()).size(), 0);
        QVERIFY(!book.DeleteLayout(1).ok);
    }

    void unreadableFiles()
    {
        const QString d = dir();
        QVERIFY(writeLayoutBookFile(d + QStringLiteral("/WLBook.orp"),
                                    {{1, 0, "a", "WL1.nlt", ""}, {2, 0, "b", "WL2.nlt", ""}})
                    .ok);
        QDir(d).mkdir(QStringLiteral("WL1.nlt")); // cannot be read
        QVERIFY(writeFensterInfoFile(d + QStringLiteral("/WL2.nlt"), {FensterInfo()}).ok);
        LayoutBook book(d);
        QVERIFY(book.LoadAllLayouts());
        QCOMPARE(book.layout(1)->ItCounter() * 10 + book.layout(2)->ItCounter(), 1);
        expectOneError(QStringLiteral("(LayoutItem) - Fehler beim lesen der Datei !"),
                       QStringLiteral("/WL1.nlt"));

        m_seam.messages.clear();
        QFile::remove(book.BookPath());
        QDir(d).mkdir(QStringLiteral("WLBook.orp"));
        FileResult error;
        QVERIFY(!book.LoadAllLayouts(&error));
        QVERIFY(!error.ok);
        QCOMPARE(book.count(), 2); // the load ended, nothing lost
        QVERIFY(m_seam.messages.isEmpty());
    }

    // A book file that cannot be read is never saved over: not by adding a
    // layout to the book that loaded nothing, not by deleting or renaming,
    // until a load reads it again.
    void unreadBookNeverSavedOver()
    {
        const QString d = dir();
        const QString path = d + QStringLiteral("/WLBook.orp");
        QFile large(path); // sparse: one record more than the reader takes
        QVERIFY(large.open(QIODevice::WriteOnly));
        QVERIFY(large.resize(qint64(MaxLayoutRecords + 1) * LayoutBookFormat::RecordLength));
        large.close();
        const QByteArray before = ReadBytes(path);

        LayoutBook book(d);
        FileResult error;
        QVERIFY(!book.LoadAllLayouts(&error));
        QVERIFY(!error.ok && !book.ReadError().ok);
        book.AddLayout(LayoutItem(), QStringLiteral("neu"), {}, 0);
        for (const FileResult& written :
             {book.SaveAllLayouts(), book.UpdateAllLayouts(), book.DeleteLayout(1)}) {
            QVERIFY(!written.ok);
            QVERIFY2(written.error.contains(error.error), qPrintable(written.error));
        }
        QCOMPARE(ReadBytes(path), before);
        QVERIFY(!QFile::exists(d + QStringLiteral("/WL1.nlt")));

        // Read again once it can be: saving works as before.
        QVERIFY(QFile::remove(path));
        QVERIFY(!book.LoadAllLayouts(&error) && error.ok);
        book.AddLayout(LayoutItem(), QStringLiteral("neu"), {}, 0);
        QVERIFY(book.SaveAllLayouts().ok);
    }

    void deleteStaysInsideFolder()
    {
        const QString d = dir(), data = d + QStringLiteral("/data");
        QDir().mkpath(data);
        QVERIFY(PutBytes(d + QStringLiteral("/victim.nlt"), "keep"));
        QVERIFY(PutBytes(data + QStringLiteral("/WL2.nlt"), {}));
        QVERIFY(writeLayoutBookFile(data + QStringLiteral("/WLBook.orp"),
                                    {{1, 0, "a", "../victim.nlt", ""}, {2, 0, "b", "WL2.nlt", ""}})
                    .ok);
        LayoutBook book(data);
        book.LoadAllLayouts();
        QVERIFY(book.DeleteLayout(1).ok && book.DeleteLayout(1).ok);
        QVERIFY(QFile::exists(d + QStringLiteral("/victim.nlt")));
        QVERIFY(!QFile::exists(data + QStringLiteral("/WL2.nlt")));
    }

    void failedWritesKeepOldFiles()
    {
        const QString d = dir();
        QVERIFY(PutBytes(d + QStringLiteral("/plain"), "x"));
        LayoutBook nowhere(d + QStringLiteral("/plain/sub")); // parent is a regular file
        nowhere.AddLayout(LayoutItem(), QStringLiteral("a"), {}, 0);
        nowhere.layout(1)->setIsEdit(true);
        QVERIFY(!nowhere.SaveAllLayouts().ok);
        QVERIFY(nowhere.IsEdit() && nowhere.layout(1)->IsEdit());
        FileResult created;
        QVERIFY(!nowhere.LoadAllLayouts(&created));
        QVERIFY(!created.ok); // the empty book could not be created
        QVERIFY(!Layout::SaveLayout(d + QStringLiteral("/plain/a.wlt"), {}).ok);
        QCOMPARE(ReadBytes(d + QStringLiteral("/plain")), QByteArray("x"));

        LayoutBook book(d);
        LayoutItem a;
        a.colFensterInfo() = {window("http://a/", 1)};
        a.setIsEdit(true);
        book.AddLayout(a, QStringLiteral("a"), {}, 0);
        book.AddLayout(LayoutItem(), QStringLiteral("b"), {}, 0);
        QVERIFY(book.SaveAllLayouts().ok);
        const QByteArray oldBook = ReadBytes(book.BookPath());
        const QByteArray oldWindows = ReadBytes(d + QStringLiteral("/WL1.nlt"));
        {
            FullDisk full(1000);
            book.layout(1)->colFensterInfo().append(FensterInfo());
            book.layout(1)->setIsEdit(true);
            QVERIFY(!book.SaveAllLayouts().ok);
            QVERIFY(!book.DeleteLayout(1).ok); // the book cannot be rewritten ...
            QVERIFY(!Layout::SaveLayout(d + QStringLiteral("/WL1.nlt"), {LayoutWindowState()}).ok);
        }
        QCOMPARE(ReadBytes(book.BookPath()), oldBook);
        QCOMPARE(ReadBytes(d + QStringLiteral("/WL1.nlt")), oldWindows); // ... so this stays
        QCOMPARE(QDir(d).entryList(QDir::Files).size(), 3);              // no temporary left
    }

    void captureWindow_data()
    {
        QTest::addColumn<LayoutWindowState>("state");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QList<int>>("geometry");
        LayoutWindowState w;
        w.LocationURL = QStringLiteral("http://p/");
        w.FolderUrl = QStringLiteral("/ordner");
        w.Caption = QStringLiteral("Seite");
        w.Geometry = QRectF(0.5, 1.5, 2.5, 40000);
        w.NormalGeometry = QRectF(9, 9, 9, 9);
        const QList<int> now{0, 2, 2, 32767};
        QTest::newRow("page") << w << QStringLiteral("http://p/") << "Seite" << now;
        w.WindowState = 2;
        QTest::newRow("maximised") << w << QStringLiteral("http://p/") << "Seite" << now;
        w.WindowState = 1;
        QTest::newRow("minimised")
            << w << QStringLiteral("http://p/") << "Seite" << QList<int>{9, 9, 9, 9};
        w.WindowState = 0;
        w.IsFolder = true;
        QTest::newRow("folder") << w << QStringLiteral("/ordner") << "Seite" << now;
        w.sXmlFeedUrl = QStringLiteral("http://f/rss");
        QTest::newRow("feed") << w << QStringLiteral("http://f/rss") << "<FEED />Seite" << now;
    }
    void captureWindow()
    {
        QFETCH(LayoutWindowState, state);
        QFETCH(QString, url);
        QFETCH(QString, title);
        QFETCH(QList<int>, geometry);
        const QString p = dir() + QStringLiteral("/ohne Endung");
        QVERIFY(Layout::SaveLayout(p, {state}).ok);
        QList<LayoutWindowRecord> r;
        QVERIFY(readLayoutFile(p, r).ok);
        QCOMPARE(r.size(), 1);
        QCOMPARE(r[0].URL + r[0].Titel, url + title);
        QCOMPARE(QList<int>({r[0].Left, r[0].Top, r[0].Width, r[0].Height}), geometry);
        QCOMPARE(r[0].WindowState, state.WindowState);

        const FensterInfo f = fensterInfoFromWindow(state, 4);
        QCOMPARE(f.URL + f.Titel, url + title);
        const LayoutOpenArgs args = layoutOpenArgs(f);
        QCOMPARE(QList<int>({args.nLeft, args.nTop, args.nWidth, args.nHeight}), geometry);
    }

    void loadLayout()
    {
        const QString d = dir();
        LayoutWindowRecord feed, marker;
        feed.URL = QStringLiteral("http://f/");
        feed.Titel = QStringLiteral("<FEED />News");
        feed.AdressbarVisible = true; // width 0
        marker.URL = QStringLiteral("http://m/");
        marker.Titel = QStringLiteral("<FEED />");
        std::tie(marker.Left, marker.Top, marker.Width, marker.Height, marker.WindowState) =
            std::tuple(1, 2, 3, 4, 1);
        QVERIFY(writeLayoutFile(d + QStringLiteral("/a.wlt"), {feed, marker}).ok);
        QList<LayoutOpenArgs> calls;
        const auto open = [&](const LayoutOpenArgs& a) { calls.append(a); };
        QVERIFY(Layout::LoadLayout(QStringLiteral("  ") + d + QStringLiteral("/a.wlt "), open).ok);
        QCOMPARE(calls.size(), 2);
        QVERIFY(calls[0].IsFeed() && !calls[0].AppliesGeometry());
        QCOMPARE(calls[0].HistoryUrl() + calls[0].ShownTitle(), QStringLiteral("about:blankNews"));
        QVERIFY(calls[0].bAdress && !calls[0].bToolb && calls[0].ShowsBandBar());
        QVERIFY(!calls[1].IsFeed() && calls[1].AppliesGeometry() && !calls[1].SetsNormalFirst());
        QCOMPARE(calls[1].HistoryUrl(), QStringLiteral("http://m/"));
        QCOMPARE(QList<int>({calls[1].nLeft, calls[1].nTop, calls[1].nWidth, calls[1].nHeight,
                             calls[1].nState}),
                 QList<int>({1, 2, 3, 4, 1}));
        QVERIFY(!calls[1].ShowsBandBar());

        calls.clear();
        QVERIFY(PutBytes(d + QStringLiteral("/empty.wlt"), {}));
        QVERIFY(Layout::LoadLayout(d + QStringLiteral("/empty.wlt"), open).ok);
        QVERIFY(Layout::LoadLayout(d + QStringLiteral("/missing.wlt"), open).ok);
        QVERIFY(!QFile::exists(d + QStringLiteral("/missing.wlt")));
        QVERIFY(calls.isEmpty() && m_seam.messages.isEmpty());
        QVERIFY(!Layout::LoadLayout(d, open).ok); // a folder cannot be read
        QVERIFY(calls.isEmpty());
        expectOneError(QStringLiteral("Fehler beim lesen der Datei !"), d);
    }

    // A window file named in WLBook.orp is read only as a regular file
    // inside the layout folder: a stored name leading out, a link leading
    // out, a device, a FIFO or a file too large is never opened; that layout
    // loads without windows and the read error is shown.
    void hostileWindowFiles_data()
    {
        QTest::addColumn<QString>("fileName"); // "<victim>" stands for its absolute path
        QTest::addColumn<QString>("make");     // what WL1.nlt is made
        QTest::addColumn<bool>("shown");       // the read error is shown
        QTest::newRow("parent folder") << QStringLiteral("../victim.nlt") << QString() << true;
        // Stored names count from the folder: this one names no file there.
        QTest::newRow("absolute path") << QStringLiteral("<victim>") << QString() << false;
        QTest::newRow("link out of the folder") << QStringLiteral("WL1.nlt") << "link" << true;
        QTest::newRow("link to a device") << QStringLiteral("WL1.nlt") << "device" << true;
        QTest::newRow("FIFO") << QStringLiteral("WL1.nlt") << "fifo" << true;
        QTest::newRow("too large") << QStringLiteral("WL1.nlt") << "large" << true;
    }
    void hostileWindowFiles()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, make);
        QFETCH(bool, shown);
        const QString d = dir(), data = d + QStringLiteral("/data");
        QVERIFY(QDir().mkpath(data));
        const QString victim = d + QStringLiteral("/victim.nlt");
        QVERIFY(writeFensterInfoFile(victim, {window("http://geheim/", 1)}).ok);
        const QString windows = data + QStringLiteral("/WL1.nlt");
        if (make == u"link")
            QVERIFY(QFile::link(victim, windows));
        else if (make == u"device")
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), windows));
        else if (make == u"fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(windows).constData(), 0600), 0);
        else if (make == u"large") {
            QFile large(windows); // sparse: one record more than a reader takes
            QVERIFY(large.open(QIODevice::WriteOnly));
            QVERIFY(large.resize(qint64(MaxLayoutRecords + 1) * FensterInfoFormat::RecordLength));
        }
        fileName.replace(QStringLiteral("<victim>"), victim);
        QVERIFY(writeLayoutBookFile(data + QStringLiteral("/WLBook.orp"),
                                    {{1, 0, "a", fileName, ""}, {2, 0, "b", "WL2.nlt", ""}})
                    .ok);
        QVERIFY(
            writeFensterInfoFile(data + QStringLiteral("/WL2.nlt"), {window("http://b/", 2)}).ok);

        LayoutBook book(data);
        QVERIFY(book.LoadAllLayouts());
        QCOMPARE(book.count(), 2);
        QVERIFY(book.layout(1)->colFensterInfo().isEmpty());
        QCOMPARE(book.layout(2)->colFensterInfo().size(), 1);
        if (shown)
            expectOneError(QStringLiteral("(LayoutItem) - Fehler beim lesen der Datei !"),
                           fileName);
        else
            QVERIFY(m_seam.messages.isEmpty());
    }

    // An arrangement file that is a FIFO, a device or too large is never
    // opened: nothing opens and the read error is shown (the start-up opens
    // the preference Layout this way).
    void hostileArrangementFiles_data()
    {
        QTest::addColumn<QString>("make");
        QTest::newRow("FIFO") << "fifo";
        QTest::newRow("device") << "device";
        QTest::newRow("too large") << "large";
    }
    void hostileArrangementFiles()
    {
        QFETCH(QString, make);
        const QString path = dir() + QStringLiteral("/start.wlt");
        if (make == u"fifo") {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (make == u"device") {
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
        } else {
            QFile large(path);
            QVERIFY(large.open(QIODevice::WriteOnly));
            QVERIFY(large.resize(qint64(MaxLayoutRecords + 1) * LayoutFileFormat::RecordLength));
        }
        int opened = 0;
        QVERIFY(!Layout::LoadLayout(path, [&opened](const LayoutOpenArgs&) { ++opened; }).ok);
        QCOMPARE(opened, 0);
        expectOneError(QStringLiteral("Fehler beim lesen der Datei !"), path);
    }
};

QTEST_GUILESS_MAIN(TstLayouts)
#include "tst_layouts.moc"
