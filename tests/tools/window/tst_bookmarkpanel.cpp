// The bookmark tab: the tree built from the archive, folder and bookmark
// edits, opening, adding from windows and links, drops, the menu enabling.

#include "browser/linkopening.h"
#include "common/bookmarktools.h"
#include "common/guitest.h"
#include "tools/window/bmproperty.h"
#include "tools/window/bookmarkcommands.h"
#include "tools/window/bookmarkpanel.h"
#include "tools/window/fakehost.h"
#include "tools/window/treenodes.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <memory>

using namespace orv;

namespace {

struct FolderContent {
    QString name;
    QList<Bookmark> bookmarks;
};

// Writes an archive of the given folders into `folder`.
void WriteArchive(const QString& folder, const QList<FolderContent>& folders)
{
    Book book(folder);
    ThemaList list;
    int nr = 1;
    for (const FolderContent& content : folders) {
        Thema thema;
        thema.setNr(nr);
        thema.setSequenz(nr);
        thema.setFileName(QString::number(nr) + QStringLiteral(".bkm"));
        thema.setDirName(content.name);
        BookmarkList bookmarks;
        for (const Bookmark& b : content.bookmarks)
            bookmarks.append(b);
        thema.setColBookmark(std::move(bookmarks));
        list.append(std::move(thema));
        ++nr;
    }
    book.setColThema(std::move(list));
    book.setIsEdit(true);
    QVERIFY(book.SaveAllThema().ok);
}

QStringList ChildTexts(const QModelIndex& node)
{
    QStringList texts;
    for (int i = 0; i < ChildCount(node); ++i)
        texts << Child(node, i).data().toString();
    return texts;
}

// The folder names as the archive on disk lists them.
QStringList StoredFolders(const QString& folder)
{
    Book book(folder);
    QStringList names;
    if (book.LoadAllThema())
        for (const Thema& thema : *book.colThema())
            names << thema.DirName();
    return names;
}

} // namespace

class TestBookmarkPanel : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QWidget> m_window;
    std::unique_ptr<BookmarkPanel> m_panel;
    FakeToolsHost m_host;
    RecordingDialogs m_dialogs;
    QStringList m_samples;

    void open(const QList<FolderContent>& folders)
    {
        WriteArchive(m_dir->path(), folders);
        m_panel = std::make_unique<BookmarkPanel>(m_host, m_window.get(), m_dir->path());
        connect(m_panel.get(), &BookmarkPanel::sampleImportRequested, this,
                [this](const QString& path) { m_samples << path; });
        m_panel->LoadTree();
    }
    QModelIndex folderNode(const QString& name) { return m_panel->FolderNode(name); }
    void select(const QModelIndex& node) { m_panel->TreeView1()->setCurrentIndex(node); }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_window = std::make_unique<QWidget>();
        m_host = FakeToolsHost();
        m_dialogs.clear();
        m_dialogs.nextAnswer = MsgAnswer::Ok;
        m_samples.clear();
        InstallDialogs(&m_dialogs);
    }
    void cleanup()
    {
        InstallDialogs(nullptr);
        m_panel.reset();
        m_window.reset();
        m_dir.reset();
    }

    void treeShowsRefsTextsImagesAndTags()
    {
        open({{QStringLiteral("News"),
               {MakeBookmark(QStringLiteral("<FEED />Daily"), QStringLiteral("http://a/feed")),
                MakeBookmark(QStringLiteral("<FEED />"), QStringLiteral("http://b/")),
                MakeBookmark(QStringLiteral("Plain"), QStringLiteral("http://c/"))}}});
        QModelIndex root = m_panel->Root();
        QVERIFY(BookmarkPanel::RefOf(root) == BookmarkRef::Root());
        QCOMPARE(root.data().toString(), QStringLiteral("Archiv"));
        QModelIndex folder = Child(root, 0);
        QVERIFY(BookmarkPanel::RefOf(folder) == BookmarkRef::Folder(1));
        QCOMPARE(BookmarkPanel::NodeTag(folder), BookmarkPanel::TagDir);
        QCOMPARE(ChildTexts(folder),
                 (QStringList{QStringLiteral("Daily"), QStringLiteral("<FEED />"),
                              QStringLiteral("Plain")}));
        QCOMPARE(BookmarkPanel::NodeImage(Child(folder, 0)), QStringLiteral("xml"));
        QCOMPARE(BookmarkPanel::NodeImage(Child(folder, 1)), QStringLiteral("Url"));
        QVERIFY(BookmarkPanel::RefOf(Child(folder, 2)) == BookmarkRef::Item(1, 3));
        m_panel->TreeView1()->setExpanded(folder, true);
        QCOMPARE(BookmarkPanel::NodeImage(folder), QStringLiteral("OpenDir"));
        m_panel->TreeView1()->setExpanded(folder, false);
        QCOMPARE(BookmarkPanel::NodeImage(folder), QStringLiteral("Dir"));
    }

    void emptyArchiveImportsTheSampleOnce()
    {
        open({});
        QCOMPARE(m_samples.size(), 1);
        QVERIFY(m_samples.constFirst().endsWith(QStringLiteral("/orvbooksamples.html")));
        m_panel->LoadTree();
        QCOMPARE(m_samples.size(), 1);
        QCOMPARE(ChildCount(m_panel->Root()), 0);
    }

    // An archive that cannot be read is told; it is neither replaced by the
    // samples nor saved over.
    void unreadableArchiveTold()
    {
        QVERIFY(QDir().mkpath(m_dir->filePath(QStringLiteral("Book.bkm"))));
        m_panel = std::make_unique<BookmarkPanel>(m_host, m_window.get(), m_dir->path());
        connect(m_panel.get(), &BookmarkPanel::sampleImportRequested, this,
                [this](const QString& path) { m_samples << path; });
        m_panel->LoadTree();
        QVERIFY(m_samples.isEmpty());
        QCOMPARE(m_dialogs.messages.size(), 1);
        QVERIFY(QFileInfo(m_dir->filePath(QStringLiteral("Book.bkm"))).isDir());
    }

    // Asked to save while the program ends on request, the panel keeps the
    // edits without a question; otherwise it asks.
    void saveQuestionWhileEnding_data()
    {
        QTest::addColumn<bool>("ending");
        QTest::newRow("ending") << true;
        QTest::newRow("running, answered no") << false;
    }
    void saveQuestionWhileEnding()
    {
        QFETCH(bool, ending);
        open({{QStringLiteral("A"),
               {MakeBookmark(QStringLiteral("a"), QStringLiteral("http://a/"))}}});
        m_dialogs.nextAnswer = MsgAnswer::No;
        m_dialogs.programEnding = ending;
        QVERIFY(m_panel->FinishRename(folderNode(QStringLiteral("A")), QStringLiteral("B")));
        m_panel->AskSaveChanges(false);
        QCOMPARE(m_dialogs.messages.size(), ending ? 0 : 1);
        Book stored(m_dir->path());
        QVERIFY(stored.LoadAllThema());
        QCOMPARE(stored.colThema()->at(0).DirName(),
                 ending ? QStringLiteral("B") : QStringLiteral("A"));
    }

    void newFolderName_data()
    {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("expected");
        QTest::newRow("none") << QStringList{QStringLiteral("A")} << QStringLiteral("Neuer Ordner");
        QTest::newRow("taken") << QStringList{QStringLiteral("Neuer Ordner")}
                               << QStringLiteral("Neuer Ordner (1)");
        QTest::newRow("two taken")
            << QStringList{QStringLiteral("Neuer Ordner"), QStringLiteral("Neuer Ordner (1)")}
            << QStringLiteral("Neuer Ordner (2)");
        QTest::newRow("gap") << QStringList{QStringLiteral("Neuer Ordner"),
                                            QStringLiteral("Neuer Ordner (2)")}
                             << QStringLiteral("Neuer Ordner (1)");
    }
    void newFolderName()
    {
        QFETCH(QStringList, existing);
        QFETCH(QString, expected);
        QList<FolderContent> folders;
        for (const QString& name : existing)
            folders.append({name, {}});
        open(folders);
        QCOMPARE(m_panel->NewFolderName(), expected);
    }

    void newFolderWithRootSelectedIsFirstAndSavedFirst()
    {
        open({{QStringLiteral("A"), {}}, {QStringLiteral("B"), {}}});
        select(m_panel->Root());
        m_panel->Commands().mn_AddOrdner_Click();
        QCOMPARE(ChildTexts(m_panel->Root()),
                 (QStringList{QStringLiteral("Neuer Ordner"), QStringLiteral("A"),
                              QStringLiteral("B")}));
        QVERIFY(m_panel->Buch().IsModified());
        m_panel->SaveArchive();
        QCOMPARE(StoredFolders(m_dir->path()),
                 (QStringList{QStringLiteral("Neuer Ordner"), QStringLiteral("A"),
                              QStringLiteral("B")}));
    }

    void newFolderAfterSelectedFolder()
    {
        open({{QStringLiteral("A"), {}}, {QStringLiteral("B"), {}}});
        select(folderNode(QStringLiteral("A")));
        m_panel->Commands().AddDirToArchive(QStringLiteral("C"));
        m_panel->SaveArchive();
        QCOMPARE(StoredFolders(m_dir->path()),
                 (QStringList{QStringLiteral("A"), QStringLiteral("C"), QStringLiteral("B")}));
    }

    void newFolderNeverTakesAnotherFoldersFile()
    {
        // Folder files named above the book's keys: the next key would name
        // the first folder's file.
        {
            Book book(m_dir->path());
            ThemaList list;
            for (int i = 0; i < 2; ++i) {
                Thema thema;
                thema.setNr(i + 1);
                thema.setSequenz(1);
                thema.setFileName(QString::number(i + 2) + QStringLiteral(".bkm"));
                thema.setDirName(QStringLiteral("F%1").arg(i));
                thema.ensureColBookmark().append(
                    MakeBookmark(QStringLiteral("b"), QStringLiteral("u")));
                list.append(std::move(thema));
            }
            book.setColThema(std::move(list));
            book.setIsEdit(true);
            QVERIFY(book.SaveAllThema().ok);
        }
        m_panel = std::make_unique<BookmarkPanel>(m_host, m_window.get(), m_dir->path());
        m_panel->LoadTree();
        select(m_panel->Root());
        m_panel->Commands().AddDirToArchive(QStringLiteral("Neu"));
        m_panel->SaveArchive();
        Book book(m_dir->path());
        QVERIFY(book.LoadAllThema());
        QVERIFY(book.LoadAllBookmarks().ok);
        QCOMPARE(book.themaCount(), 3);
        QCOMPARE(book.colThema()->at(0).DirName(), QStringLiteral("Neu"));
        QCOMPARE(book.colThema()->at(1).bookmarkCount(), 1);
        QCOMPARE(book.colThema()->at(2).bookmarkCount(), 1);
    }

    void rename_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("message");
        QTest::newRow("spaces stripped")
            << QStringLiteral("  Neu  ") << true << QStringLiteral("Neu") << QString();
        QTest::newRow("spaces only") << QStringLiteral("   ") << false << QStringLiteral("A")
                                     << QStringLiteral("Der Ordner muß einen Namen haben !");
        QTest::newRow("unchanged")
            << QStringLiteral("A ") << false << QStringLiteral("A") << QString();
        QTest::newRow("duplicate")
            << QStringLiteral("B") << false << QStringLiteral("A")
            << QStringLiteral("Der Ordner mit dem Namen 'B' existiert schon !\n"
                              "Bitte wählen Sie einen anderen Namen.");
        QTest::newRow("outside the code page")
            << QStringLiteral("Bücher 漢字") << true << QStringLiteral("Bücher 漢字")
            << QStringLiteral("1 Eintrag enthält Zeichen, die die Datendateien nicht speichern "
                              "können; sie werden als \"?\" gespeichert. Der erste: \"Bücher "
                              "漢字\"");
    }
    void rename()
    {
        QFETCH(QString, text);
        QFETCH(bool, taken);
        QFETCH(QString, stored);
        QFETCH(QString, message);
        open({{QStringLiteral("A"), {}}, {QStringLiteral("B"), {}}});
        QModelIndex node = folderNode(QStringLiteral("A"));
        QCOMPARE(m_panel->FinishRename(node, text), taken);
        QCOMPARE(node.data().toString(), stored);
        QCOMPARE(m_panel->Buch().IsModified(), taken);
        if (message.isEmpty()) {
            QVERIFY(m_dialogs.messages.isEmpty());
        } else {
            QCOMPARE(m_dialogs.messages.size(), 1);
            QCOMPARE(m_dialogs.messages.constFirst().text, message);
            QCOMPARE(m_dialogs.messages.constFirst().icon,
                     taken ? MsgIcon::Information : MsgIcon::Warning);
        }
    }

    // The properties dialog on a stored bookmark: each switch arrives in its
    // own field of the folder file.
    void propertiesStoreEachSwitch_data()
    {
        QTest::addColumn<bool>("addressBar");
        QTest::addColumn<bool>("toolbar");
        QTest::newRow("address bar only") << true << false;
        QTest::newRow("toolbar only") << false << true;
    }
    void propertiesStoreEachSwitch()
    {
        QFETCH(bool, addressBar);
        QFETCH(bool, toolbar);
        open({{QStringLiteral("A"),
               {MakeBookmark(QStringLiteral("Seite"), QStringLiteral("http://p/"), {}, !addressBar,
                             !toolbar)}}});
        select(Child(folderNode(QStringLiteral("A")), 0));
        m_dialogs.fillDialog = [&](QObject& dialog) {
            auto* properties = qobject_cast<frmBMProperty*>(&dialog);
            if (!properties)
                return 0;
            // The dialog shows what is stored ...
            if (properties->ShowAddressBar() != !addressBar ||
                properties->ShowToolbar() != !toolbar)
                return 0;
            properties->addressBarBox->setChecked(addressBar);
            properties->toolbarBox->setChecked(toolbar);
            return 1;
        };
        m_panel->Commands().mn_Eigenschaften_Click();
        m_panel->SaveArchive();
        // ... and stores what it shows.
        Book book(m_dir->path());
        QVERIFY(book.LoadAllThema());
        QVERIFY(book.LoadAllBookmarks().ok);
        const Bookmark& stored = book.colThema()->at(0).colBookmark()->at(0);
        QCOMPARE(stored.Adresszeile, addressBar);
        QCOMPARE(stored.Toolbar, toolbar);
    }

    // An import tells once how many names the folder files cannot keep.
    void importNamesUnstorableNames()
    {
        open({{QStringLiteral("A"), {}}});
        const auto element = [](const char* name, std::vector<DocNode> children,
                                const QString& text = {}) {
            DocNode node;
            node.nodeName = QLatin1String(name);
            node.innerText = text;
            node.firstChildName =
                children.empty() ? QStringLiteral("#text") : children.front().nodeName;
            node.children = std::move(children);
            return node;
        };
        const auto link = [&](const QString& title) {
            DocNode a = element("A", {}, title);
            a.href = QStringLiteral("http://x.test/");
            return element("DT", {a});
        };
        const DocNode body = element(
            "BODY",
            {element("DL", {element("DT", {element("H3", {}, QStringLiteral("书签栏")),
                                           element("DL", {link(QStringLiteral("Ärger")),
                                                          link(QStringLiteral("漢字"))})})})});
        m_panel->setImportArmed(true);
        QVERIFY(m_panel->ImportDocument(body).ok);
        QCOMPARE(m_dialogs.messages.size(), 1);
        QVERIFY2(m_dialogs.messages.constFirst().text.startsWith(
                     QStringLiteral("2 Einträge enthalten Zeichen")),
                 qPrintable(m_dialogs.messages.constFirst().text));
        QVERIFY(m_dialogs.messages.constFirst().text.endsWith(QStringLiteral("\"书签栏\"")));
    }

    void deleteFolder_data()
    {
        QTest::addColumn<bool>("withBookmark");
        QTest::addColumn<bool>("startFolder");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("deleted");
        QTest::addColumn<int>("messages");
        QTest::newRow("empty start folder") << false << true << int(MsgAnswer::Ok) << true << 0;
        QTest::newRow("full start folder") << true << true << int(MsgAnswer::Ok) << false << 1;
        QTest::newRow("full, ok") << true << false << int(MsgAnswer::Ok) << true << 1;
        QTest::newRow("full, cancel") << true << false << int(MsgAnswer::Cancel) << false << 1;
    }
    void deleteFolder()
    {
        QFETCH(bool, withBookmark);
        QFETCH(bool, startFolder);
        QFETCH(int, answer);
        QFETCH(bool, deleted);
        QFETCH(int, messages);
        QList<Bookmark> bookmarks;
        if (withBookmark)
            bookmarks << MakeBookmark(QStringLiteral("x"), QStringLiteral("http://x/"));
        open({{QStringLiteral("Start"), bookmarks}, {QStringLiteral("Other"), {}}});
        m_host.startFolder = startFolder ? QStringLiteral(" Start ") : QStringLiteral("Other");
        m_dialogs.nextAnswer = MsgAnswer(answer);
        select(folderNode(QStringLiteral("Start")));
        QTest::keyClick(m_panel->TreeView1(), Qt::Key_Delete);
        QCOMPARE(m_dialogs.messages.size(), messages);
        QCOMPARE(!folderNode(QStringLiteral("Start")).isValid(), deleted);
        // Deleting writes the index at once.
        QCOMPARE(StoredFolders(m_dir->path()).contains(QStringLiteral("Start")), !deleted);
    }

    void addedBookmarksComeInReverseOrder()
    {
        open({{QStringLiteral("A"), {}}});
        select(folderNode(QStringLiteral("A")));
        m_panel->Commands().AddBkmToArchive(QStringLiteral("one"), QStringLiteral("http://1/"),
                                            QString());
        m_panel->Commands().AddBkmToArchive(QStringLiteral("two"), QStringLiteral("http://2/"),
                                            QString());
        QCOMPARE(ChildTexts(folderNode(QStringLiteral("A"))),
                 (QStringList{QStringLiteral("two"), QStringLiteral("one")}));
        // After a bookmark: directly behind it, in the list as in the tree.
        select(Child(folderNode(QStringLiteral("A")), 0));
        m_panel->Commands().AddBkmToArchive(QStringLiteral("<FEED />three"),
                                            QStringLiteral("http://3/"), QString());
        QModelIndex added = Child(folderNode(QStringLiteral("A")), 1);
        QCOMPARE(added.data().toString(), QStringLiteral("three"));
        QCOMPARE(BookmarkPanel::NodeImage(added), QStringLiteral("xml"));
        m_panel->SaveArchive();
        QCOMPARE(
            ChildTexts(folderNode(QStringLiteral("A"))),
            (QStringList{QStringLiteral("two"), QStringLiteral("three"), QStringLiteral("one")}));
    }

    void addWithRootSelectedAddsNothing()
    {
        open({{QStringLiteral("A"), {}}});
        select(m_panel->Root());
        m_panel->Commands().AddBkmToArchive(QStringLiteral("one"), QStringLiteral("http://1/"),
                                            QString());
        QCOMPARE(ChildCount(m_panel->Root()), 1);
        QCOMPARE(ChildCount(folderNode(QStringLiteral("A"))), 0);
        QVERIFY(!m_panel->Buch().IsModified());
    }

    void deleteBookmarkKeepsAnEmptyList()
    {
        open({{QStringLiteral("A"), {MakeBookmark(QStringLiteral("x"), QStringLiteral("u"))}}});
        select(Child(folderNode(QStringLiteral("A")), 0));
        QTest::keyClick(m_panel->TreeView1(), Qt::Key_Delete);
        QVERIFY(m_dialogs.messages.isEmpty());
        QCOMPARE(ChildCount(folderNode(QStringLiteral("A"))), 0);
        const Thema* folder = m_panel->FolderOf(folderNode(QStringLiteral("A")));
        QVERIFY(folder->hasColBookmark());
        QVERIFY(folder->IsEdit());
    }

    void openBookmark_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("bars");
        QTest::addColumn<QStringList>("visited");
        QTest::addColumn<QStringList>("feeds");
        QTest::newRow("page with bars")
            << QStringLiteral("Page") << true << QStringList{QStringLiteral("http://p/|11")}
            << QStringList();
        QTest::newRow("page without bars")
            << QStringLiteral("Page") << false << QStringList{QStringLiteral("http://p/|00")}
            << QStringList();
        QTest::newRow("feed") << QStringLiteral("<FEED />News") << true << QStringList()
                              << QStringList{QStringLiteral("http://p/")};
    }
    void openBookmark()
    {
        QFETCH(QString, title);
        QFETCH(bool, bars);
        QFETCH(QStringList, visited);
        QFETCH(QStringList, feeds);
        open({{QStringLiteral("A"),
               {MakeBookmark(title, QStringLiteral(" http://p/ "), {}, bars, bars)}}});
        select(Child(folderNode(QStringLiteral("A")), 0));
        QTest::keyClick(m_panel->TreeView1(), Qt::Key_Return);
        QCOMPARE(m_host.visited, visited);
        QCOMPARE(m_host.feeds, feeds);
    }

    void openAll_data()
    {
        QTest::addColumn<int>("bookmarks");
        QTest::addColumn<int>("windows");
        QTest::addColumn<bool>("warn");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<int>("opened");
        QTest::newRow("16 asks, ok") << 10 << 6 << true << 1 << true << 10;
        QTest::newRow("16 asks, cancel") << 10 << 6 << true << 0 << true << 0;
        QTest::newRow("15 opens") << 10 << 5 << true << 1 << false << 10;
        QTest::newRow("warning off") << 10 << 6 << false << 0 << false << 10;
    }
    void openAll()
    {
        QFETCH(int, bookmarks);
        QFETCH(int, windows);
        QFETCH(bool, warn);
        QFETCH(int, answer);
        QFETCH(bool, asked);
        QFETCH(int, opened);
        QList<Bookmark> list;
        for (int i = 0; i < bookmarks; ++i)
            list << MakeBookmark(QString::number(i), QStringLiteral("http://h/%1").arg(i));
        open({{QStringLiteral("A"), list}});
        m_host.windows_open = windows;
        m_host.warn = warn;
        QString noticeText;
        m_dialogs.fillDialog = [&](QObject& dialog) {
            auto* notice = qobject_cast<frmHinweis*>(&dialog);
            noticeText =
                notice->findChild<QWidget*>(QStringLiteral("Label1"))->property("text").toString();
            notice->alwaysShowBox->setChecked(false);
            (answer == 1 ? notice->okButton : notice->cancelButton)->click();
            return notice->result();
        };
        select(folderNode(QStringLiteral("A")));
        m_panel->Commands().OpenAll();
        QCOMPARE(m_dialogs.dialogsShown.size(), asked ? 1 : 0);
        if (asked) {
            QVERIFY(noticeText.startsWith(QStringLiteral("Es werden 10 Links geöffnet.")));
            QVERIFY(!m_host.warn);
        }
        QCOMPARE(m_host.visited.size(), opened);
        if (opened > 0)
            QCOMPARE(m_host.visited.constFirst(), QStringLiteral("http://h/0|00"));
    }

    void openAllStopsAtTheWindowLimit()
    {
        QList<Bookmark> list;
        for (int i = 0; i < 5; ++i)
            list << MakeBookmark(QString::number(i), QStringLiteral("http://h/%1").arg(i));
        open({{QStringLiteral("A"), list}});
        m_host.max_browser = 3;
        m_host.windows_open = 1;
        select(folderNode(QStringLiteral("A")));
        m_panel->Commands().OpenAll();
        // Windows 1 and 2 open below the limit; the third reaches it and is
        // still handed over.
        QCOMPARE(m_host.visited.size(), 3);
    }

    void roundtripAndStartAddress()
    {
        open({{QStringLiteral("A"),
               {MakeBookmark(QStringLiteral("T"), QStringLiteral("http://t/"))}},
              {QStringLiteral("B"), {}}});
        select(folderNode(QStringLiteral("B")));
        m_panel->Commands().mn_StartBkmRoundtrip_Click();
        QVERIFY(m_host.roundtrips.isEmpty());
        select(Child(folderNode(QStringLiteral("A")), 0));
        m_panel->Commands().mn_StartBkmRoundtrip_Click();
        QCOMPARE(m_host.roundtrips, QStringList{QStringLiteral("1.bkm")});
        m_panel->Commands().mn_setHome_Click();
        QCOMPARE(m_host.homeTitle, QStringLiteral("T"));
        QCOMPARE(m_host.homeUrl, QStringLiteral("http://t/"));
    }

    void linkAddresses()
    {
        DocSnapshot document;
        document.valid = true;
        document.htmlDocument = true;
        document.url = QStringLiteral("http://host.test/dir/page.html");
        document.root.nodeName = QStringLiteral("HTML");
        auto element = [](const char* name, const char* attribute, const QString& value) {
            DocNode node;
            node.nodeName = QString::fromLatin1(name);
            node.attributes.insert(QString::fromLatin1(attribute), value);
            return node;
        };
        DocNode body;
        body.nodeName = QStringLiteral("BODY");
        body.children.push_back(element("A", "href", QStringLiteral("http://x.test/p#one")));
        body.children.push_back(element("A", "href", QStringLiteral("http://x.test/p#two")));
        body.children.push_back(element("A", "href", QStringLiteral("MailTo:me@x.test")));
        body.children.push_back(element("A", "href", QStringLiteral("javascript:void(0)")));
        body.children.push_back(element("FRAME", "src", QStringLiteral("/top.html")));
        body.children.push_back(element("FRAME", "src", QStringLiteral("side.html")));
        body.children.push_back(element("IMG", "src", QStringLiteral("pic.png")));
        document.root.children.push_back(body);
        QCOMPARE(BookmarkCommands::LinkAddresses(document),
                 (QStringList{QStringLiteral("http://host.test/dir/side.html"),
                              QStringLiteral("http://host.test/top.html"),
                              QStringLiteral("http://x.test/p")}));

        open({{QStringLiteral("A"), {}}});
        m_host.document = document;
        select(folderNode(QStringLiteral("A")));
        m_panel->Commands().mn_HinzuvonLinks_Click();
        QCOMPARE(ChildCount(folderNode(QStringLiteral("A"))), 3);
    }

    void linksOfARefusedFrame()
    {
        open({{QStringLiteral("A"), {}}});
        DocSnapshot document;
        document.valid = true;
        document.htmlDocument = true;
        document.root.nodeName = QStringLiteral("HTML");
        DocNode frame;
        frame.nodeName = QStringLiteral("IFRAME");
        document.root.children.push_back(frame);
        document.activeIndex = 1;
        document.frames.push_back(FrameSnapshot{1, true, {}});
        m_host.document = document;
        select(folderNode(QStringLiteral("A")));
        m_panel->Commands().mn_HinzuvonLinks_Click();
        QCOMPARE(m_dialogs.messages.size(), 1);
        QCOMPARE(m_dialogs.messages.constFirst().title, QStringLiteral("Fehlerbehandlung"));
        QCOMPARE(m_dialogs.messages.constFirst().text,
                 QStringLiteral("Cross-Domain Referenz\r\nDOM-Zugriff verweigert !"));
    }

    void dropTitle_data()
    {
        QTest::addColumn<QString>("dropped");
        QTest::addColumn<QString>("history");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("title");
        QTest::newRow("file address")
            << QStringLiteral("file:///pages/index.html") << QString()
            << QStringLiteral("/pages/index.html") << QStringLiteral("index.html");
        QTest::newRow("trailing slash")
            << QStringLiteral("http://www.example.org/docs/ ") << QString()
            << QStringLiteral("http://www.example.org/docs/ ") << QStringLiteral("docs");
        QTest::newRow("history title") << QStringLiteral("http://h.test/a") << QStringLiteral("H")
                                       << QStringLiteral("http://h.test/a") << QStringLiteral("H");
    }
    void dropTitle()
    {
        QFETCH(QString, dropped);
        QFETCH(QString, history);
        QFETCH(QString, address);
        QFETCH(QString, title);
        open({{QStringLiteral("A"), {}}});
        if (!history.isEmpty())
            m_host.history.insert(address, history);
        select(folderNode(QStringLiteral("A")));
        m_panel->Commands().DropAddress(dropped);
        const Bookmark* added = m_panel->BookmarkOf(Child(folderNode(QStringLiteral("A")), 0));
        QVERIFY(added);
        QCOMPARE(added->URL, address);
        QCOMPARE(added->Titel, title);
    }

    void dropOnTheRootAddsNothing()
    {
        open({{QStringLiteral("A"), {}}});
        select(m_panel->Root());
        m_panel->Commands().DropAddress(QStringLiteral("http://x/"));
        QVERIFY(!m_panel->Buch().IsModified());
    }

    // Only the archive node refuses drops, not a folder that bears its name.
    void dropOnAFolderNamedLikeTheArchive()
    {
        open({{QStringLiteral("Archiv"), {}}});
        select(folderNode(QStringLiteral("Archiv")));
        m_panel->Commands().DropAddress(QStringLiteral("http://x/"));
        QCOMPARE(ChildCount(folderNode(QStringLiteral("Archiv"))), 1);
    }

    // A folder the archive lost in a delete whose save failed leaves the
    // tree too; the failure is told.
    void folderDeletedDespiteAFailedSaveLeavesTheTree()
    {
        open({{QStringLiteral("A"), {}}, {QStringLiteral("B"), {}}});
        const QString index = m_dir->filePath(QStringLiteral("Book.bkm"));
        QVERIFY(QFile::remove(index));
        QVERIFY(QDir().mkpath(index));
        select(folderNode(QStringLiteral("A")));
        QTest::keyClick(m_panel->TreeView1(), Qt::Key_Delete);
        QCOMPARE(m_dialogs.messages.size(), 1);
        QVERIFY(!folderNode(QStringLiteral("A")).isValid());
        QCOMPARE(ChildTexts(m_panel->Root()), QStringList{QStringLiteral("B")});
    }

    void sortingChangesTheDisplayOnly()
    {
        open({{QStringLiteral("B"), {}}, {QStringLiteral("A"), {}}});
        select(m_panel->Root());
        m_panel->mn_Sortieren_Click();
        QCOMPARE(ChildTexts(m_panel->Root()),
                 (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
        QVERIFY(!m_panel->Buch().IsModified());
        m_panel->LoadTree();
        QCOMPARE(ChildTexts(m_panel->Root()),
                 (QStringList{QStringLiteral("B"), QStringLiteral("A")}));
    }

    void leavingWithNoDiscards()
    {
        open({{QStringLiteral("A"), {}}});
        select(m_panel->Root());
        m_panel->Commands().mn_AddOrdner_Click();
        m_dialogs.nextAnswer = MsgAnswer::No;
        m_panel->AskSaveChanges(true);
        QCOMPARE(m_dialogs.messages.size(), 1);
        QCOMPARE(m_dialogs.messages.constFirst().text,
                 QStringLiteral("Änderungen am Archiv speichern ?"));
        QCOMPARE(ChildTexts(m_panel->Root()), QStringList{QStringLiteral("A")});
        QVERIFY(!m_panel->Buch().IsModified());
    }

    void menuEnabling_data()
    {
        QTest::addColumn<QString>("selection");
        QTest::addColumn<int>("windows");
        QTest::addColumn<QStringList>("enabled");
        QTest::addColumn<QStringList>("disabled");
        QTest::addColumn<QStringList>("hidden");
        const QStringList bookmarkItems{QStringLiteral("mn_Eigenschaften"),
                                        QStringLiteral("mn_Loeschen"), QStringLiteral("mn_setHome"),
                                        QStringLiteral("mn_OpenBkm")};
        QTest::newRow("root") << QStringLiteral("root") << 1
                              << QStringList{QStringLiteral("mn_SortOrdner"),
                                             QStringLiteral("mn_AddOrdner")}
                              << bookmarkItems + QStringList{QStringLiteral("mn_Hinzuvon"),
                                                             QStringLiteral("mn_DelOrdner")}
                              << QStringList{QStringLiteral("mn_exportdetail"),
                                             QStringLiteral("mn_Bookmark")};
        QTest::newRow("full folder, no window")
            << QStringLiteral("full") << 0
            << QStringList{QStringLiteral("mn_Hinzufügen"), QStringLiteral("mn_OpenAllBkm"),
                           QStringLiteral("mn_AttrOrdner"), QStringLiteral("mn_exportdetail")}
            << bookmarkItems + QStringList{QStringLiteral("mn_HinzuvonAll")}
            << QStringList{QStringLiteral("mn_Laden_H")};
        QTest::newRow("empty folder, window")
            << QStringLiteral("empty") << 1
            << QStringList{QStringLiteral("mn_HinzuvonLinks"), QStringLiteral("mn_DelOrdner")}
            << QStringList{QStringLiteral("mn_exportdetail")} << QStringList();
        QTest::newRow("bookmark") << QStringLiteral("bookmark") << 1
                                  << bookmarkItems + QStringList{QStringLiteral("mn_Hinzuvon"),
                                                                 QStringLiteral("mn_SortBkm")}
                                  << QStringList{QStringLiteral("mn_OpenAllBkm"),
                                                 QStringLiteral("mn_SortOrdner"),
                                                 QStringLiteral("mn_AddOrdner")}
                                  << QStringList{QStringLiteral("mn_Ordner"),
                                                 QStringLiteral("mn_Speichern_H")};
    }
    void menuEnabling()
    {
        QFETCH(QString, selection);
        QFETCH(int, windows);
        QFETCH(QStringList, enabled);
        QFETCH(QStringList, disabled);
        QFETCH(QStringList, hidden);
        open({{QStringLiteral("Full"), {MakeBookmark(QStringLiteral("x"), QStringLiteral("u"))}},
              {QStringLiteral("Empty"), {}}});
        m_host.windows_open = windows;
        QModelIndex node = m_panel->Root();
        if (selection == QLatin1String("full"))
            node = folderNode(QStringLiteral("Full"));
        else if (selection == QLatin1String("empty"))
            node = folderNode(QStringLiteral("Empty"));
        else if (selection == QLatin1String("bookmark"))
            node = Child(folderNode(QStringLiteral("Full")), 0);
        select(node);
        m_panel->UpdateMenus();
        for (const QString& name : enabled)
            QVERIFY2(m_panel->Item(name)->isEnabled(), qPrintable(name));
        for (const QString& name : disabled)
            QVERIFY2(!m_panel->Item(name)->isEnabled(), qPrintable(name));
        for (const QString& name : hidden)
            QVERIFY2(!m_panel->Item(name)->isVisible(), qPrintable(name));
    }

    void addFromForegroundWindowProposesItsPage()
    {
        open({{QStringLiteral("A"), {}}});
        m_host.windows = {ToolsWindowInfo{QStringLiteral("Caption"), QStringLiteral("http://p/"),
                                          QStringLiteral("http://p/feed.xml")}};
        QString name;
        QString address;
        bool feed = false;
        m_dialogs.fillDialog = [&](QObject& dialog) {
            auto* d = qobject_cast<frmBMProperty*>(&dialog);
            name = d->nameEdit->text();
            address = d->addressEdit->text();
            feed = d->feedBox->isChecked();
            d->Ok_Click();
            return d->result();
        };
        select(folderNode(QStringLiteral("A")));
        m_panel->Commands().mn_Hinzuvon_Click();
        QCOMPARE(name, QStringLiteral("Caption"));
        QCOMPARE(address, QStringLiteral("http://p/feed.xml"));
        QVERIFY(feed);
        const Bookmark* added = m_panel->BookmarkOf(Child(folderNode(QStringLiteral("A")), 0));
        QCOMPARE(added->Titel, QStringLiteral("<FEED />Caption"));
        QVERIFY(m_panel->Commands().BkUrl.isEmpty());
    }

    void batchCancelEndsTheBatch()
    {
        open({{QStringLiteral("A"), {}}});
        for (int i = 0; i < 4; ++i)
            m_host.windows << ToolsWindowInfo{
                QStringLiteral("W%1").arg(i), QStringLiteral("http://w/%1").arg(i), {}};
        // The foreground window is proposed twice: adding it again is confirmed.
        m_dialogs.nextAnswer = MsgAnswer::Yes;
        int shown = 0;
        bool batchButtonShown = false;
        m_dialogs.fillDialog = [&](QObject& dialog) -> int {
            auto* d = qobject_cast<frmBMProperty*>(&dialog);
            ++shown;
            if (shown == 3) {
                batchButtonShown = d->batchCancelButton->isVisibleTo(d);
                d->Command1_Click();
                return 0;
            }
            d->Ok_Click();
            return d->result();
        };
        select(folderNode(QStringLiteral("A")));
        m_panel->Commands().mn_HinzuvonAll_Click();
        QCOMPARE(shown, 3);
        QVERIFY(batchButtonShown);
        QCOMPARE(ChildCount(folderNode(QStringLiteral("A"))), 2);
        QVERIFY(!m_panel->Commands().bBatchmode);
        QVERIFY(m_panel->Commands().bStopBookmarking);
    }
};

ORV_GUI_TEST_MAIN(TestBookmarkPanel)
#include "tst_bookmarkpanel.moc"
