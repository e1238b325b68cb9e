// The tools window inside the main window: how it opens, rolls up and
// unrolls, collapses, switches tabs, closes and hands back to the main
// window.

#include "common/mainwindowfixture.h"
#include "mainwin/menuitems.h"
#include "tools/window/bookmarkcommands.h"
#include "tools/window/bookmarkpanel.h"
#include "tools/window/frmtools.h"
#include "tools/window/historypanel.h"
#include "tools/window/searchpanel.h"
#include "tools/window/treenodes.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QStatusBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>

using namespace orv;

class TestToolsWindow : public QObject, public MainWindowFixture<> {
    Q_OBJECT

    frmTools* openTools()
    {
        m_main->StartBookmEd();
        return m_main->Tools();
    }
    static int barHeight(const frmTools* tools) { return tools->CoolBar1()->sizeHint().height(); }
    // Room enough for a search term at the window's first width, pixels.
    static constexpr int kTermFieldWidth = 160;

private Q_SLOTS:
    void init()
    {
        InstallDialogs(&m_dialogs);
        m_dialogs.clear();
        m_dialogs.nextAnswer = MsgAnswer::No;
        // An archive with one folder, so that no sample import runs.
        Book book;
        ThemaList folders;
        Thema thema;
        thema.setNr(1);
        thema.setSequenz(1);
        thema.setFileName(QStringLiteral("1.bkm"));
        thema.setDirName(QStringLiteral("Start"));
        thema.ensureColBookmark();
        folders.append(std::move(thema));
        book.setColThema(std::move(folders));
        book.setIsEdit(true);
        QVERIFY(book.SaveAllThema().ok);
        openMainWindow();
    }
    void cleanup()
    {
        closeMainWindow();
        InstallDialogs(nullptr);
    }

    void opensBesideTheMainWindow()
    {
        frmTools* tools = openTools();
        QVERIFY(tools);
        QVERIFY(m_main->flags().bIsOpenBook);
        QCOMPARE(tools->windowTitle(), QStringLiteral("Bookmark Archiv"));
        QCOMPARE(tools->width(), 6270 / 15);
        const QRect main = m_main->frameGeometry();
        const QRect own = tools->frameGeometry();
        QCOMPARE(own.left(), qAbs(main.width() - own.width()) + main.left() - 850 / 15);
        QCOMPARE(own.top(), main.top() + 200 / 15);
        QCOMPARE(tools->TabStrip1()->tabText(0), QStringLiteral("Bookmark Archiv"));
        QCOMPARE(Child(tools->bookmarks().Root(), 0).data().toString(), QStringLiteral("Start"));
        // A second command opens no second window.
        m_main->StartBookmEd();
        QCOMPARE(m_main->Tools(), tools);
        QCOMPARE(m_main->findChildren<frmTools*>().size(), 1);
    }

    void menuItemsOpenTheWindow()
    {
        QAction* item = m_main->menuItems().Item(QStringLiteral("mn_Bookmarks"));
        QVERIFY(item);
        QCOMPARE(item->text(), QStringLiteral("Bookmark &Archiv"));
        QVERIFY(m_main->menuItems().Item(QStringLiteral("mn_ctxtBookm")));
        item->trigger();
        QVERIFY(m_main->Tools());
        QTRY_VERIFY_WITH_TIMEOUT(m_main->Tools()->isVisible(), kWait);
    }

    void toolbarButtonOpensTheWindow()
    {
        m_server.serve("/a.html", "text/html", HtmlPage("A"));
        frmBrowser* window = openAndWait(QStringLiteral("/a.html"));
        QVERIFY(window);
        QToolButton* button = window->findChild<QToolButton*>(QStringLiteral("Bookm"));
        QVERIFY(button);
        QCOMPARE(button->toolTip(), QStringLiteral("Bookmark Archiv"));
        button->click();
        QVERIFY(m_main->Tools());
        QTRY_VERIFY_WITH_TIMEOUT(m_main->Tools()->isVisible(), kWait);
    }

    void rollUpAndUnroll_data()
    {
        QTest::addColumn<int>("grow");
        QTest::addColumn<int>("rollUps");
        QTest::addColumn<int>("expected"); // 0: the load height, else the grown height
        QTest::newRow("once") << 0 << 1 << 0;
        QTest::newRow("twice returns to the load height") << 100 << 2 << 0;
        QTest::newRow("grown, once") << 100 << 1 << 100;
    }
    void rollUpAndUnroll()
    {
        QFETCH(int, grow);
        QFETCH(int, rollUps);
        QFETCH(int, expected);
        frmTools* tools = openTools();
        const int load = tools->LoadHeight();
        tools->resize(tools->width(), load + grow);
        QTRY_COMPARE_WITH_TIMEOUT(tools->height(), load + grow, kWait);
        for (int i = 0; i < rollUps; ++i)
            QTest::keyClick(tools->bookmarks().TreeView1(), Qt::Key_Q, Qt::AltModifier);
        QTRY_COMPARE_WITH_TIMEOUT(tools->height(), barHeight(tools), kWait);
        QVERIFY(tools->Button(QStringLiteral("min"))->isChecked());
        QVERIFY(!tools->Button(QStringLiteral("max"))->isChecked());
        QVERIFY(!tools->Button(QStringLiteral("edit"))->isEnabled());
        QTest::keyClick(tools->TabStrip1(), Qt::Key_W, Qt::AltModifier);
        QTRY_COMPARE_WITH_TIMEOUT(tools->height(), load + expected, kWait);
        QVERIFY(tools->Button(QStringLiteral("max"))->isChecked());
        QVERIFY(tools->Button(QStringLiteral("edit"))->isEnabled());
        QVERIFY(tools->bookmarks().TreeView1()->height() > 0);
    }

    void reopeningUnrollsAndFocusesTheTree()
    {
        frmTools* tools = openTools();
        tools->mn_mini_Click();
        QTRY_COMPARE_WITH_TIMEOUT(tools->height(), barHeight(tools), kWait);
        m_main->StartBookmEd();
        QTRY_COMPARE_WITH_TIMEOUT(tools->height(), tools->LoadHeight(), kWait);
        QCOMPARE(tools->focusWidget(), tools->bookmarks().TreeView1());
    }

    void shrinkingBelowTheBarCollapses()
    {
        frmTools* tools = openTools();
        tools->resize(tools->width(), barHeight(tools) - 1);
        QTRY_VERIFY_WITH_TIMEOUT(tools->IsCollapsed(), kWait);
        QVERIFY(tools->CoolBar1()->isHidden());
        QVERIFY(tools->StatusBar1()->isHidden());
        QVERIFY(tools->Button(QStringLiteral("min"))->isChecked());
        tools->mn_aufklapp_Click();
        QTRY_VERIFY_WITH_TIMEOUT(tools->height() >= tools->LoadHeight(), kWait);
        QVERIFY(!tools->IsCollapsed());
        QVERIFY(!tools->CoolBar1()->isHidden());
    }

    void noRoomLeavesTheListAtHeightZero()
    {
        frmTools* tools = openTools();
        tools->resize(tools->width(), barHeight(tools) + 2);
        QTRY_COMPARE_WITH_TIMEOUT(tools->height(), barHeight(tools) + 2, kWait);
        QCOMPARE(tools->bookmarks().TreeView1()->height(), 0);
    }

    void doubleClickShowsBarsAndTabs()
    {
        frmTools* tools = openTools();
        tools->ShowBarsOnly();
        QTRY_COMPARE_WITH_TIMEOUT(
            tools->height(), barHeight(tools) + tools->TabToolbar()->sizeHint().height(), kWait);
    }

    void cornerMenuMovesTheWindow()
    {
        frmTools* tools = openTools();
        QAction* corner = tools->WindowMenu()->findChild<QAction*>(QStringLiteral("mn_ru"));
        QVERIFY(corner);
        corner->trigger();
        const QRect main = m_main->frameGeometry();
        QTRY_COMPARE_WITH_TIMEOUT(tools->frameGeometry().bottomRight(), main.bottomRight(), kWait);
        tools->WindowMenu()->findChild<QAction*>(QStringLiteral("mn_lo"))->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(tools->frameGeometry().topLeft(), main.topLeft(), kWait);
    }

    void leavingTheTabWithNoDiscardsTheEdits()
    {
        frmTools* tools = openTools();
        tools->bookmarks().TreeView1()->setCurrentIndex(tools->bookmarks().Root());
        tools->bookmarks().Commands().mn_AddOrdner_Click();
        QCOMPARE(ChildCount(tools->bookmarks().Root()), 2);
        m_dialogs.nextAnswer = MsgAnswer::No;
        tools->TabStrip1_Click(QStringLiteral("history"));
        QCOMPARE(m_dialogs.messages.size(), 1);
        QCOMPARE(m_dialogs.messages.constFirst().text,
                 QStringLiteral("Änderungen am Archiv speichern ?"));
        QCOMPARE(tools->windowTitle(), QStringLiteral("Historie"));
        QCOMPARE(tools->nCurrentTool, int(frmTools::ToolHistory));
        QCOMPARE(ChildCount(tools->bookmarks().Root()), 1);
        // Back on the archive: no question.
        tools->nCurrentTool = frmTools::ToolBookmarks;
        tools->SelectTool();
        QCOMPARE(m_dialogs.messages.size(), 1);
        QVERIFY(tools->bookmarks().TreeView1()->isVisibleTo(tools));
    }

    void closingAsksSavesAndRaisesTheMainWindow()
    {
        frmTools* tools = openTools();
        tools->bookmarks().TreeView1()->setCurrentIndex(tools->bookmarks().Root());
        tools->bookmarks().Commands().AddDirToArchive(QStringLiteral("Saved"));
        m_dialogs.nextAnswer = MsgAnswer::Yes;
        QTest::keyClick(tools->bookmarks().TreeView1(), Qt::Key_Escape);
        QTRY_VERIFY_WITH_TIMEOUT(!m_main->Tools(), kWait);
        QCOMPARE(m_dialogs.messages.size(), 1);
        QVERIFY(!m_main->flags().bIsOpenBook);
        Book book;
        QVERIFY(book.LoadAllThema());
        QCOMPARE(book.colThema()->at(0).DirName(), QStringLiteral("Saved"));
        // The main window comes to the front a moment later.
        QVERIFY(m_main->steps().IsWaiting());
    }

    void statusLineShowsTheAddress()
    {
        frmTools* tools = openTools();
        tools->bookmarks().TreeView1()->setCurrentIndex(Child(tools->bookmarks().Root(), 0));
        tools->bookmarks().Commands().AddBkmToArchive(QStringLiteral("T"),
                                                      QStringLiteral("http://t.test/"), QString());
        QTreeView* tree = tools->bookmarks().TreeView1();
        tree->expandAll();
        QModelIndex node = Child(Child(tools->bookmarks().Root(), 0), 0);
        const QPoint at = tree->visualRect(node).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(tools->StatusText(), QStringLiteral("http://t.test/"));
    }

    void clickTogglesAFolderAndDoubleClickOpens()
    {
        frmTools* tools = openTools();
        BookmarkPanel& panel = tools->bookmarks();
        QTreeView* tree = panel.TreeView1();
        QModelIndex folder = Child(panel.Root(), 0);
        tree->setCurrentIndex(folder);
        panel.Commands().AddBkmToArchive(QStringLiteral("Seite"),
                                         m_server.url(QStringLiteral("/p")).toString(), QString());
        tree->setExpanded(folder, false);
        const QPoint onFolder = tree->visualRect(folder).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, onFolder);
        QVERIFY(tree->isExpanded(folder));
        QCOMPARE(BookmarkPanel::NodeImage(folder), QStringLiteral("OpenDir"));
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, onFolder);
        QVERIFY(!tree->isExpanded(folder));
        tree->setExpanded(folder, true);
        m_server.serve("/p", "text/html", HtmlPage("P"));
        const QPoint onBookmark = tree->visualRect(Child(folder, 0)).center();
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, onBookmark);
        QTRY_COMPARE_WITH_TIMEOUT(int(m_main->Browser().size()), 1, kWait);
        WaitSettled(m_main->Browser().constFirst());
    }

    void droppedFileBecomesABookmark()
    {
        frmTools* tools = openTools();
        BookmarkPanel& panel = tools->bookmarks();
        QTreeView* tree = panel.TreeView1();
        QModelIndex folder = Child(panel.Root(), 0);
        const QPoint at = tree->visualRect(folder).center();
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QStringLiteral("/srv/seiten/index.html"))});
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(tree->viewport(), &enter);
        QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(tree->viewport(), &move);
        QCOMPARE(tree->currentIndex(), folder);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(tree->viewport(), &drop);
        QCOMPARE(ChildCount(folder), 1);
        const Bookmark* added = panel.BookmarkOf(Child(folder, 0));
        QCOMPARE(added->URL, QStringLiteral("/srv/seiten/index.html"));
        QCOMPARE(added->Titel, QStringLiteral("index.html"));
    }

    void hostGivesTheForegroundWindowAndItsLinks()
    {
        m_server.serve("/links", "text/html",
                       HtmlPage("Verweise", "<a href='/eins#a'>1</a><a href='/eins#b'>1</a>"
                                            "<a href='zwei'>2</a><a href='mailto:x@y.test'>m</a>"));
        frmBrowser* window = openAndWait(QStringLiteral("/links"));
        QVERIFY(window);
        frmTools* tools = openTools();
        BookmarkPanel& panel = tools->bookmarks();
        QModelIndex folder = Child(panel.Root(), 0);
        panel.TreeView1()->setCurrentIndex(folder);
        QString name;
        QString address;
        m_dialogs.fillDialog = [&](QObject& dialog) {
            name = dialog.findChild<QLineEdit*>(QStringLiteral("Text1"))->text();
            address = dialog.findChild<QLineEdit*>(QStringLiteral("Text2"))->text();
            return 0;
        };
        panel.Commands().mn_Hinzuvon_Click();
        QCOMPARE(name, window->windowTitle());
        QCOMPARE(address, m_server.url(QStringLiteral("/links")).toString());

        panel.Commands().mn_HinzuvonLinks_Click();
        QTRY_COMPARE_WITH_TIMEOUT(ChildCount(folder), 2, kWait);
        QStringList added;
        for (int i = 0; i < ChildCount(folder); ++i)
            added << panel.BookmarkOf(Child(folder, i))->URL;
        added.sort();
        QCOMPARE(added, (QStringList{m_server.url(QStringLiteral("/eins")).toString(),
                                     m_server.url(QStringLiteral("/zwei")).toString()}));
    }

    void roundtripOpensAWindowAndStartAddressIsSaved()
    {
        frmTools* tools = openTools();
        BookmarkPanel& panel = tools->bookmarks();
        QModelIndex folder = Child(panel.Root(), 0);
        panel.TreeView1()->setCurrentIndex(folder);
        panel.Commands().AddBkmToArchive(QStringLiteral("Start"),
                                         QStringLiteral("http://127.0.0.1:1/s"), QString());
        panel.Commands().mn_StartBkmRoundtrip_Click();
        QTRY_COMPARE_WITH_TIMEOUT(int(m_main->Browser().size()), 1, kWait);
        // The folder file was written first, for the round trip to read.
        QVERIFY(QFile::exists(QDir(DataFolder()).filePath(QStringLiteral("1.bkm"))));
        QVERIFY(QFileInfo(QDir(DataFolder()).filePath(QStringLiteral("1.bkm"))).size() > 0);
        panel.TreeView1()->setCurrentIndex(Child(folder, 0));
        panel.Commands().mn_setHome_Click();
        Prefer stored;
        stored.LoadPref();
        QCOMPARE(stored.HomeUrl(), QStringLiteral("http://127.0.0.1:1/s"));
        QCOMPARE(stored.HomeTitle(), QStringLiteral("Start"));
    }

    void dropTakesTheHistoryTitle()
    {
        m_main->AddToHistory(QStringLiteral("http://h.test/seite"),
                             QStringLiteral("Aus der Historie"));
        frmTools* tools = openTools();
        BookmarkPanel& panel = tools->bookmarks();
        QModelIndex folder = Child(panel.Root(), 0);
        panel.TreeView1()->setCurrentIndex(folder);
        panel.Commands().DropAddress(QStringLiteral("http://h.test/seite"));
        QCOMPARE(Child(folder, 0).data().toString(), QStringLiteral("Aus der Historie"));
    }

    void renameInPlace()
    {
        frmTools* tools = openTools();
        BookmarkPanel& panel = tools->bookmarks();
        QTreeView* tree = panel.TreeView1();
        QModelIndex folder = Child(panel.Root(), 0);
        tree->setCurrentIndex(folder);
        auto editor = [tree] { return tree->viewport()->findChild<QLineEdit*>(); };
        // Spaces only: refused, and editing starts again.
        panel.mn_AttrOrdner_Click();
        QTRY_VERIFY_WITH_TIMEOUT(editor() && editor()->isVisible(), kWait);
        editor()->setText(QStringLiteral("   "));
        QTest::keyClick(editor(), Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(m_dialogs.messages.size(), 1, kWait);
        QCOMPARE(m_dialogs.messages.constFirst().text,
                 QStringLiteral("Der Ordner muß einen Namen haben !"));
        QCOMPARE(folder.data().toString(), QStringLiteral("Start"));
        QTRY_VERIFY_WITH_TIMEOUT(editor() && editor()->isVisible(), kWait);
        editor()->setText(QStringLiteral("  Umbenannt "));
        QTest::keyClick(editor(), Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(folder.data().toString(), QStringLiteral("Umbenannt"), kWait);
        QCOMPARE(panel.FolderOf(folder)->DirName(), QStringLiteral("Umbenannt"));
        QVERIFY(panel.Buch().IsModified());
    }

    void closingTheMainWindowAsksFirst()
    {
        frmTools* tools = openTools();
        tools->bookmarks().TreeView1()->setCurrentIndex(tools->bookmarks().Root());
        tools->bookmarks().Commands().mn_AddOrdner_Click();
        m_main->close();
        QCOMPARE(m_dialogs.messages.size(), 1);
        QCOMPARE(m_dialogs.messages.constFirst().text,
                 QStringLiteral("Änderungen am Archiv speichern ?"));
    }

    // The Tools menu items, their context copies and the browser toolbar open
    // the window on their tool and show only that tool's list.
    void commandsOpenTheirTool_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("tool");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("widthTwips");
        QTest::newRow("layouts") << "mn_Layouts" << int(frmTools::ToolLayouts) << "Layout Archiv"
                                 << 6270;
        QTest::newRow("history") << "mn_Historie" << int(frmTools::ToolHistory) << "Historie"
                                 << 9135;
        QTest::newRow("search copy")
            << "mn_ctxtBrowserSearch" << int(frmTools::ToolSearch) << "Orvane Suche" << 6270;
        QTest::newRow("history copy")
            << "mn_ctxtHistorie" << int(frmTools::ToolHistory) << "Historie" << 9135;
    }
    void commandsOpenTheirTool()
    {
        QFETCH(QString, item);
        QFETCH(int, tool);
        QFETCH(QString, caption);
        QFETCH(int, widthTwips);
        m_main->menuItems().Item(item)->trigger();
        frmTools* tools = m_main->Tools();
        QVERIFY(tools);
        QCOMPARE(tools->nCurrentTool, tool);
        QCOMPARE(tools->windowTitle(), caption);
        QCOMPARE(tools->width(), widthTwips / 15);
        for (int other = frmTools::ToolBookmarks; other <= frmTools::ToolLayouts; ++other)
            QCOMPARE(tools->ToolList(other)->isVisibleTo(tools), other == tool);
        QVERIFY(tools->ToolList(tool)->height() > 0);
        QCOMPARE(tools->search().CoolBar2()->isVisibleTo(tools), tool == frmTools::ToolSearch);
        // Again while rolled up: unrolled, the same tab.
        tools->mn_mini_Click();
        m_main->menuItems().Item(item)->trigger();
        QVERIFY(!tools->IsRolledUp());
        QCOMPARE(tools->nCurrentTool, tool);
    }

    // Ctrl+A reaches the window from the list and the term field.
    void ctrlATogglesAllChecks_data()
    {
        QTest::addColumn<int>("tool");
        QTest::newRow("history list") << int(frmTools::ToolHistory);
        QTest::newRow("search term") << int(frmTools::ToolSearch);
    }
    void ctrlATogglesAllChecks()
    {
        QFETCH(int, tool);
        m_main->AddToHistory(QStringLiteral("http://h.test/1"), QStringLiteral("Eins"));
        m_main->AddToHistory(QStringLiteral("http://h.test/2"), QStringLiteral("Zwei"));
        m_main->menuItems()
            .Item(tool == frmTools::ToolHistory ? QStringLiteral("mn_Historie")
                                                : QStringLiteral("mn_BrowserSearch"))
            ->trigger();
        frmTools* tools = m_main->Tools();
        QVERIFY(tools);
        auto* list = static_cast<QTreeWidget*>(tools->ToolList(tool));
        QTRY_VERIFY_WITH_TIMEOUT(list->topLevelItemCount() > 1 &&
                                     tools->Button(QStringLiteral("check"))->isEnabled(),
                                 kWait);
        QWidget* taker = tool == frmTools::ToolHistory ? static_cast<QWidget*>(list)
                                                       : tools->search().termEdit();
        const auto checked = [list] {
            int n = 0;
            for (int i = 0; i < list->topLevelItemCount(); ++i)
                n += list->topLevelItem(i)->checkState(0) == Qt::Checked ? 1 : 0;
            return n;
        };
        QTest::keyClick(taker, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(checked(), list->topLevelItemCount());
        QVERIFY(tools->Button(QStringLiteral("check"))->isChecked());
        QTest::keyClick(taker, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(checked(), 0);
    }

    void rolledUpUnrollButtonTakesTheClick()
    {
        frmTools* tools = openTools();
        tools->mn_mini_Click();
        QTRY_COMPARE_WITH_TIMEOUT(tools->height(), barHeight(tools), kWait);
        QToolButton* max = tools->Button(QStringLiteral("max"));
        const QPoint at = max->mapTo(tools, max->rect().center());
        QWidget* hit = tools->childAt(at);
        QVERIFY2(hit == max || max->isAncestorOf(hit), hit ? hit->metaObject()->className() : "");
        QTest::mouseClick(hit, Qt::LeftButton, {}, hit->mapFrom(tools, at));
        QTRY_COMPARE_WITH_TIMEOUT(tools->height(), tools->LoadHeight(), kWait);
        QVERIFY(tools->StatusBar1()->isVisible());
        QVERIFY(tools->TabStrip1()->isVisible());
    }

    void searchFormFileMissingIsToldOnOpening()
    {
        QTemporaryDir folder;
        m_prefer->setSearchEngineFile(folder.filePath(QStringLiteral("fehlt.html")));
        m_main->mn_BrowserSearch_Click();
        frmTools* tools = m_main->Tools();
        QVERIFY(tools);
        QTRY_COMPARE_WITH_TIMEOUT(m_dialogs.messages.size(), 1, kWait);
        QVERIFY(m_dialogs.messages.constFirst().text.endsWith(
            QStringLiteral("fehlt.html' konnte nicht geladen werden.")));
        QVERIFY(tools->search().termEdit()->isReadOnly());
        QVERIFY(!tools->Button(QStringLiteral("check"))->isEnabled());
    }

    // At the width the search opens with, its controls show in full.
    void searchBandFitsTheFirstWidth()
    {
        m_main->mn_BrowserSearch_Click();
        frmTools* tools = m_main->Tools();
        QVERIFY(tools);
        for (const char* key : {"start", "check"}) {
            QToolButton* button = tools->Button(QString::fromLatin1(key));
            QVERIFY2(button->isVisible(), key);
            const QRect shown(button->mapTo(tools, QPoint()), button->size());
            QVERIFY2(tools->rect().contains(shown), key);
        }
        QVERIFY(tools->search().termEdit()->width() >= kTermFieldWidth);
    }

    void historyTimeNeverCut()
    {
        m_main->AddToHistory(QStringLiteral("http://h.test/seite"), QStringLiteral("Seite"));
        m_main->mn_Historie_Click();
        frmTools* tools = m_main->Tools();
        QVERIFY(tools);
        QTreeWidget* list = tools->history().ListView1();
        QTRY_COMPARE_WITH_TIMEOUT(list->topLevelItemCount(), 1, kWait);
        constexpr int date = 3;
        const QAbstractItemView* view = list;
        QVERIFY(list->columnWidth(date) >= view->sizeHintForColumn(date));
        QVERIFY(list->header()->sectionViewportPosition(date) + list->columnWidth(date) <=
                list->viewport()->width());
    }

    void searchWithoutFormFileOnlySaysSo()
    {
        m_prefer->setSearchEngineFile(QStringLiteral("  "));
        m_main->mn_BrowserSearch_Click();
        QVERIFY(!m_main->Tools());
        QCOMPARE(m_dialogs.messages.size(), 1);
        QCOMPARE(m_dialogs.messages.constFirst().text,
                 QStringLiteral("Bitte erst eine Suchformular-Datei auswählen !"));
    }
};

ORV_GUI_TEST_MAIN(TestToolsWindow)
#include "tst_toolswindow.moc"
