// Export and import from the tools window: the file dialogs, the question
// that opens the result, the RSS channel dialog and its open modes, and the
// import of a bookmark file read by the web engine.

#include "app/texts.h"
#include "common/bookmarktools.h"
#include "common/guitest.h"
#include "platform/bookmarkloader.h"
#include "tools/window/bookmarkcommands.h"
#include "tools/window/bookmarkpanel.h"
#include "tools/window/fakehost.h"
#include "tools/window/frmtools.h"
#include "tools/window/rssheader.h"
#include "tools/window/treenodes.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <QUrl>

#include <memory>

using namespace orv;

namespace {

constexpr int kWait = 20000;

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestBookmarkExchange : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QTemporaryDir> m_out;
    FakeToolsHost m_host;
    RecordingDialogs m_dialogs;
    std::unique_ptr<QWidget> m_owner;
    QPointer<frmTools> m_tools;

    // A tools window on an archive of one folder with a feed and a page.
    BookmarkPanel& openTools()
    {
        Book book(m_dir->path());
        ThemaList folders;
        Thema thema;
        thema.setNr(1);
        thema.setSequenz(1);
        thema.setFileName(QStringLiteral("1.bkm"));
        thema.setDirName(QStringLiteral("Lesen"));
        BookmarkList list;
        list.append(MakeBookmark(QStringLiteral("<FEED />Nachrichten"),
                                 QStringLiteral("http://n.test/feed.xml"), QStringLiteral("a")));
        list.append(MakeBookmark(QStringLiteral("Seite"), QStringLiteral("http://s.test/")));
        thema.setColBookmark(std::move(list));
        folders.append(std::move(thema));
        book.setColThema(std::move(folders));
        book.setIsEdit(true);
        [&] { QVERIFY(book.SaveAllThema().ok); }();
        m_tools = new frmTools(m_host, m_dir->path(), m_owner.get());
        return m_tools->bookmarks();
    }
    QString outPath(const char* name) const { return m_out->filePath(QString::fromLatin1(name)); }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_out = std::make_unique<QTemporaryDir>();
        m_owner = std::make_unique<QWidget>();
        m_host = FakeToolsHost();
        m_dialogs.clear();
        m_dialogs.messages.clear();
        m_dialogs.nextAnswer = MsgAnswer::Yes;
        InstallDialogs(&m_dialogs);
    }
    void cleanup()
    {
        m_owner.reset();
        InstallDialogs(nullptr);
        m_out.reset();
        m_dir.reset();
    }

    void exportFlow_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<bool>("archive");
        QTest::addColumn<int>("title");
        QTest::addColumn<int>("fileType");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QByteArray>("begins");
        QTest::newRow("archive text") << int(ExportFormat::Text) << true << 1004 << 1010
                                      << QStringLiteral(" (*.txt)") << QByteArray("Thema: Lesen");
        QTest::newRow("archive html")
            << int(ExportFormat::HtmlList) << true << 1003 << 1009
            << QStringLiteral(" (*.htm *.html)") << QByteArray("<HTML><TITLE>");
        QTest::newRow("archive bookmark file") << int(ExportFormat::Netscape) << true << 1002
                                               << 1009 << QStringLiteral(" (*.htm *.html)")
                                               << QByteArray("<!DOCTYPE NETSCAPE-Bookmark-file-1>");
        QTest::newRow("folder xml") << int(ExportFormat::Xml) << false << 1053 << 1054
                                    << QStringLiteral(" (*.xml)") << QByteArray("<?xml");
        QTest::newRow("folder html")
            << int(ExportFormat::HtmlList) << false << 1007 << 1009
            << QStringLiteral(" (*.htm *.html)") << QByteArray("<HTML><BODY>");
    }
    void exportFlow()
    {
        QFETCH(int, format);
        QFETCH(bool, archive);
        QFETCH(int, title);
        QFETCH(int, fileType);
        QFETCH(QString, pattern);
        QFETCH(QByteArray, begins);
        BookmarkPanel& panel = openTools();
        panel.TreeView1()->setCurrentIndex(panel.FolderNode(QStringLiteral("Lesen")));
        const QString path = outPath("export.out");
        m_dialogs.nextPath = path;
        if (archive)
            panel.Commands().ExportArchive(ExportFormat(format));
        else
            panel.Commands().ExportFolder(ExportFormat(format));
        QCOMPARE(m_dialogs.fileDialogs.size(), 1);
        const FileDialogRequest& request = m_dialogs.fileDialogs.constFirst();
        QCOMPARE(request.mode, FileDialogRequest::Mode::Save);
        QCOMPARE(request.title, Txt(title));
        QCOMPARE(request.filters, QStringList{Txt(fileType) + pattern});
        QCOMPARE(request.startFolder, DataFolder());
        QVERIFY(ReadAll(path).startsWith(begins));
        QCOMPARE(m_dialogs.messages.size(), 1);
        QCOMPARE(m_dialogs.messages.constFirst().text,
                 QStringLiteral("Der Export war erfolgreich, möchten Sie die Datei '") + path +
                     QStringLiteral("' anzeigen ?"));
        QCOMPARE(m_host.visited,
                 QStringList{QUrl::fromLocalFile(path).toString() + QStringLiteral("|11")});
    }

    void cancelledDialogDoesNothing()
    {
        BookmarkPanel& panel = openTools();
        m_dialogs.nextPath.clear();
        panel.Commands().ExportArchive(ExportFormat::Text);
        QVERIFY(m_dialogs.messages.isEmpty());
        QVERIFY(QDir(m_out->path()).isEmpty());
    }

    void failedXmlSaveWarns()
    {
        BookmarkPanel& panel = openTools();
        m_dialogs.nextPath = outPath("missing/folder/x.xml");
        panel.Commands().ExportArchive(ExportFormat::Xml);
        QCOMPARE(m_dialogs.messages.size(), 1);
        QCOMPARE(m_dialogs.messages.constFirst().icon, MsgIcon::Warning);
        QVERIFY(m_host.visited.isEmpty());
    }

    void rssOpenModes_data()
    {
        QTest::addColumn<bool>("open");
        QTest::addColumn<bool>("asFeed");
        QTest::addColumn<int>("feeds");
        QTest::addColumn<int>("pages");
        QTest::newRow("as feed") << true << true << 1 << 0;
        QTest::newRow("as page") << true << false << 0 << 1;
        QTest::newRow("not opened") << false << true << 0 << 0;
    }
    void rssOpenModes()
    {
        QFETCH(bool, open);
        QFETCH(bool, asFeed);
        QFETCH(int, feeds);
        QFETCH(int, pages);
        BookmarkPanel& panel = openTools();
        const QString path = outPath("feed.xml");
        m_dialogs.nextPath = path;
        QString proposedFile;
        m_dialogs.fillDialog = [&](QObject& dialog) {
            auto* rss = qobject_cast<frmRSSHeader*>(&dialog);
            proposedFile = rss->fileEdit->text();
            rss->titleEdit->setText(QStringLiteral("Kanal"));
            rss->linkEdit->setText(QStringLiteral("http://k.test/"));
            rss->openAfterBox->setChecked(open);
            (asFeed ? rss->asFeedOption : rss->asXmlOption)->setChecked(true);
            rss->Ok_Click();
            return rss->result();
        };
        panel.Commands().ExportArchive(ExportFormat::Rss);
        QCOMPARE(proposedFile, path);
        QCOMPARE(m_dialogs.dialogsShown, QStringList{QStringLiteral("frmRSSHeader")});
        const QByteArray written = ReadAll(path);
        QVERIFY(written.contains("<rss version=\"2.0\">"));
        QVERIFY(written.contains("<title>Kanal</title>"));
        QVERIFY(!written.contains("<image>"));
        QCOMPARE(m_host.feeds.size(), feeds);
        QCOMPARE(m_host.visited.size(), pages);
        // No success question for RSS; the title stays proposed.
        QVERIFY(m_dialogs.messages.isEmpty());
        QCOMPARE(panel.Commands().rssTitle, QStringLiteral("Kanal"));
    }

    void rssCancelWritesNothing()
    {
        BookmarkPanel& panel = openTools();
        m_dialogs.nextPath = outPath("feed.xml");
        panel.Commands().ExportArchive(ExportFormat::Rss);
        QCOMPARE(m_dialogs.dialogsShown.size(), 1);
        QVERIFY(!QFile::exists(outPath("feed.xml")));
    }

    void importThroughTheEngine()
    {
        BookmarkPanel& panel = openTools();
        const QString path = outPath("import.html");
        WriteFile(path, "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<TITLE>Bookmarks</TITLE>\n"
                        "<H1>Bookmarks</H1>\n<DL><p>\n"
                        "<DT><H3>Eins</H3>\n<DL><p>\n"
                        "<DT><A HREF=\"http://a.test/\">A</A>\n<DD>Zeile 1\n"
                        "<DT><A HREF=\"http://f.test/rss\"><FEED />Feed</A>\n"
                        "</DL><p>\n"
                        "<DT><H3>Zwei</H3>\n<DL><p>\n"
                        "<DT><A HREF=\"http://b.test/\">B</A>\n"
                        "</DL><p>\n</DL><p>\n");
        m_dialogs.nextPath = path;
        QTest::keyClick(m_tools->TabStrip1(), Qt::Key_I, Qt::ControlModifier);
        QCOMPARE(m_dialogs.fileDialogs.size(), 1);
        QCOMPARE(m_dialogs.fileDialogs.constFirst().mode, FileDialogRequest::Mode::Open);
        QCOMPARE(m_dialogs.fileDialogs.constFirst().title, Txt(1005));
        QTRY_COMPARE_WITH_TIMEOUT(ChildCount(panel.Root()), 2, kWait);
        QModelIndex first = panel.FolderNode(QStringLiteral("Eins"));
        QVERIFY(first.isValid());
        QCOMPARE(ChildCount(first), 2);
        const Bookmark* a = panel.BookmarkOf(Child(first, 0));
        QCOMPARE(a->URL, QStringLiteral("http://a.test/"));
        QCOMPARE(a->Info, QStringLiteral("Zeile 1"));
        QCOMPARE(BookmarkPanel::NodeImage(Child(first, 1)), QStringLiteral("xml"));
        QCOMPARE(panel.BookmarkOf(Child(first, 1))->Titel, QStringLiteral("<FEED />Feed"));
        // The old folder is gone: the import replaced the archive.
        QVERIFY(!panel.FolderNode(QStringLiteral("Lesen")).isValid());
        QCOMPARE(m_tools->cursor().shape(), Qt::ArrowCursor);
    }

    // Unsaved edits meet the save question before the import replaces the
    // archive; no folder file of the old archive stays behind.
    void importAsksAboutUnsavedEdits_data()
    {
        QTest::addColumn<int>("answerValue");
        QTest::newRow("save") << int(MsgAnswer::Yes);
        QTest::newRow("discard") << int(MsgAnswer::No);
        QTest::newRow("cancel") << int(MsgAnswer::Cancel);
    }
    void importAsksAboutUnsavedEdits()
    {
        QFETCH(int, answerValue);
        const auto answer = MsgAnswer(answerValue);
        BookmarkPanel& panel = openTools();
        panel.TreeView1()->setCurrentIndex(panel.Root());
        panel.Commands().AddDirToArchive(QStringLiteral("Neu"));
        panel.Commands().AddBkmToArchive(QStringLiteral("Mein"), QStringLiteral("http://m.test/"),
                                         {});
        const QString path = outPath("import.html");
        WriteFile(path, "<DL><p><DT><H3>Eins</H3>\n<DL><p>\n"
                        "<DT><A HREF=\"http://a.test/\">A</A>\n</DL><p></DL>\n");
        m_dialogs.nextPath = path;
        m_dialogs.nextAnswer = answer;
        panel.Commands().mn_ImpNetscapeHtml_Click();
        QCOMPARE(m_dialogs.messages.size(), 1);
        QCOMPARE(m_dialogs.messages.constFirst().text, Txt(1046));
        QCOMPARE(m_dialogs.messages.constFirst().buttons, MsgButtons::YesNoCancel);
        if (answer == MsgAnswer::Cancel) {
            QVERIFY(!m_tools->loader().isLoading());
            QVERIFY(panel.FolderNode(QStringLiteral("Neu")).isValid());
            QVERIFY(panel.Buch().IsModified());
            return;
        }
        QTRY_VERIFY_WITH_TIMEOUT(panel.FolderNode(QStringLiteral("Eins")).isValid(), kWait);
        QCOMPARE(ChildCount(panel.Root()), 1);
        QCOMPARE(QDir(m_dir->path()).entryList({QStringLiteral("*.bkm")}, QDir::Files),
                 (QStringList{QStringLiteral("1.bkm"), QStringLiteral("Book.bkm")}));
    }

    void importOverTheLimitKeepsTheArchive()
    {
        BookmarkPanel& panel = openTools();
        // Twenty nested folders around 5001 links: 100020 records.
        QByteArray nested = "<DL><p>\n";
        for (int i = 0; i < 20; ++i)
            nested += "<DT><H3>F" + QByteArray::number(i) + "</H3>\n<DL><p>\n";
        for (int i = 0; i < 5001; ++i)
            nested += "<DT><A HREF=\"http://n.test/" + QByteArray::number(i) + "\">n</A>\n";
        const QString path = outPath("nested.html");
        WriteFile(path, nested);
        m_dialogs.nextPath = path;
        panel.TreeView1()->setCurrentIndex(panel.Root());
        QTest::keyClick(panel.TreeView1(), Qt::Key_I, Qt::ControlModifier);
        QTRY_COMPARE_WITH_TIMEOUT(m_dialogs.messages.size(), 1, kWait);
        QVERIFY(m_dialogs.messages.constFirst().text.startsWith(
            QStringLiteral("Der Import wurde abgebrochen")));
        QVERIFY(panel.FolderNode(QStringLiteral("Lesen")).isValid());
        QCOMPARE(ChildCount(panel.Root()), 1);
    }

    void missingFileImportsNothing()
    {
        BookmarkPanel& panel = openTools();
        m_dialogs.nextPath = outPath("none.html");
        panel.Commands().mn_ImpNetscapeHtml_Click();
        QTRY_VERIFY_WITH_TIMEOUT(!m_tools->loader().isLoading(), kWait);
        QVERIFY(panel.FolderNode(QStringLiteral("Lesen")).isValid());
        QVERIFY(m_dialogs.messages.isEmpty());
        QCOMPARE(m_tools->cursor().shape(), Qt::ArrowCursor);
    }

    void emptyArchiveImportsTheShippedSample()
    {
        m_tools = new frmTools(m_host, m_dir->path(), m_owner.get());
        BookmarkPanel& panel = m_tools->bookmarks();
        if (!QFile::exists(QDir(AppFolder()).filePath(QStringLiteral("orvbooksamples.html"))))
            QSKIP("the program folder holds no sample bookmark file");
        QTRY_VERIFY_WITH_TIMEOUT(ChildCount(panel.Root()) > 0, kWait);
        // Every sample folder holds bookmarks, some of them feeds.
        bool feed = false;
        for (int i = 0; i < ChildCount(panel.Root()); ++i) {
            QModelIndex folder = Child(panel.Root(), i);
            QVERIFY2(ChildCount(folder) > 0, qPrintable(folder.data().toString()));
            for (int j = 0; j < ChildCount(folder); ++j)
                feed = feed || BookmarkPanel::NodeImage(Child(folder, j)) == QLatin1String("xml");
        }
        QVERIFY(feed);
    }
};

ORV_GUI_TEST_MAIN(TestBookmarkExchange)
#include "tst_bookmarkexchange.moc"
