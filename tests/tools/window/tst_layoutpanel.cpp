// The layout tab: the tree of layouts, windows and details, adding the open
// windows (name dialog, place in the book), properties, deleting, opening a
// layout or one window, the commands' states and sorting the display.

#include "common/guitest.h"
#include "tools/window/fakehost.h"
#include "tools/window/layoutpanel.h"

#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <memory>

using namespace orv;

Q_DECLARE_METATYPE(orv::MsgAnswer)

namespace {

LayoutWindowState PageWindow(const QString& url, const QString& caption)
{
    LayoutWindowState w;
    w.LocationURL = url;
    w.Caption = caption;
    w.AdressbarVisible = true;
    w.ToolbarVisible = false;
    w.Geometry = w.NormalGeometry = QRectF(150, 300, 4500, 3000);
    return w;
}

LayoutWindowState FeedWindow(const QString& feed, const QString& caption)
{
    LayoutWindowState w = PageWindow(QStringLiteral("about:blank"), caption);
    w.sXmlFeedUrl = feed;
    return w;
}

QStringList TopTexts(const QTreeWidget* tree)
{
    QStringList texts;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        texts << tree->topLevelItem(i)->text(0);
    return texts;
}

} // namespace

class TestLayoutPanel : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QWidget> m_window;
    std::unique_ptr<LayoutPanel> m_panel;
    FakeToolsHost m_host;
    RecordingDialogs m_dialogs;

    // A fresh panel over the book on disk.
    void reopen()
    {
        m_panel.reset();
        m_panel = std::make_unique<LayoutPanel>(m_host, m_window.get(), m_dir->path());
        m_panel->LoadLayoutArchive();
    }
    // Names the dialog gets, one per question; the answer to a duplicate.
    void answerDialog(const QString& name, MsgAnswer duplicate = MsgAnswer::Yes)
    {
        m_dialogs.nextAnswer = duplicate;
        m_dialogs.fillDialog = [name](QObject& dialog) {
            auto* d = qobject_cast<frmWLProperty*>(&dialog);
            d->nameEdit->setText(name);
            d->descriptionEdit->setText(QStringLiteral("Info ") + name);
            d->Ok_Click();
            return d->result();
        };
    }
    void add(const QString& name)
    {
        answerDialog(name);
        m_panel->mn_AddLayout_Click();
    }
    QStringList bookNames()
    {
        LayoutBook book(m_dir->path());
        book.LoadAllLayouts();
        QStringList names;
        for (const LayoutItem& item : book.colLayout())
            names << item.LayoutName();
        return names;
    }
    QTreeWidgetItem* layoutNode(const QString& name)
    {
        const auto found = m_panel->TreeView2()->findItems(name, Qt::MatchExactly);
        return found.isEmpty() ? nullptr : found.first();
    }
    void select(QTreeWidgetItem* node)
    {
        m_panel->TreeView2()->setCurrentItem(node);
        if (node)
            node->setSelected(true);
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_window = std::make_unique<QWidget>();
        m_host = FakeToolsHost();
        m_host.layoutWindows = {PageWindow(QStringLiteral("http://a.test/ "), QStringLiteral("A"))};
        m_dialogs.clear();
        InstallDialogs(&m_dialogs);
        reopen();
    }
    void cleanup()
    {
        InstallDialogs(nullptr);
        m_panel.reset();
        m_window.reset();
        m_dir.reset();
    }

    void treeShowsLayoutsWindowsAndDetails()
    {
        m_host.layoutWindows = {
            PageWindow(QStringLiteral("  http://a.test/x "), QStringLiteral("A")),
            FeedWindow(QStringLiteral("http://f.test/rss"), QStringLiteral("News"))};
        add(QStringLiteral("Arbeit"));
        reopen();
        QTreeWidgetItem* layout = layoutNode(QStringLiteral("Arbeit"));
        QVERIFY(layout);
        const qint32 sequenz = m_panel->WLBuch().layout(1)->Sequenz();
        QCOMPARE(LayoutPanel::NodeKey(layout), QLatin1Char('@') + QString::number(sequenz));
        QCOMPARE(LayoutPanel::NodeTag(layout), LayoutPanel::TagLayout);
        QVERIFY(!layout->isExpanded());
        QCOMPARE(layout->childCount(), 2);
        QTreeWidgetItem* page = layout->child(0);
        QCOMPARE(LayoutPanel::NodeKey(page), QString::number(sequenz) + QStringLiteral("@1"));
        QCOMPARE(LayoutPanel::NodeKey(layout->child(1)),
                 QString::number(sequenz) + QStringLiteral("@2"));
        QCOMPARE(layout->child(1)->text(0), QStringLiteral("News"));
        QStringList details;
        for (int i = 0; i < page->childCount(); ++i) {
            details << page->child(i)->text(0);
            QCOMPARE(LayoutPanel::NodeTag(page->child(i)), LayoutPanel::TagInfo);
        }
        QCOMPARE(details,
                 (QStringList{"URL: http://a.test/x", "Adresszeile: Ja", "Toolbar: Nein",
                              "X-Position: 150", "Y-Position: 300", "Breite: 4500", "Höhe: 3000"}));
    }

    void duplicateNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<MsgAnswer>("answer");
        QTest::addColumn<int>("questions");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("new name") << "Abend" << MsgAnswer::No << 0
                                  << QStringList{"Arbeit", "Abend"};
        QTest::newRow("same name, yes")
            << "Arbeit" << MsgAnswer::Yes << 1 << QStringList{"Arbeit", "Arbeit"};
        QTest::newRow("same name, no") << "Arbeit" << MsgAnswer::No << 1 << QStringList{"Arbeit"};
        QTest::newRow("names compare exactly")
            << "arbeit" << MsgAnswer::No << 0 << QStringList{"Arbeit", "arbeit"};
        QTest::newRow("empty name") << "" << MsgAnswer::Yes << 1 << QStringList{"Arbeit"};
    }
    void duplicateNames()
    {
        QFETCH(QString, name);
        QFETCH(MsgAnswer, answer);
        QFETCH(int, questions);
        QFETCH(QStringList, names);
        add(QStringLiteral("Arbeit"));
        m_dialogs.messages.clear();
        answerDialog(name, answer);
        m_panel->mn_AddLayout_Click();
        QCOMPARE(m_dialogs.messages.size(), questions);
        QCOMPARE(bookNames(), names);
        QCOMPARE(TopTexts(m_panel->TreeView2()), names);
    }

    void addPlacesAfterSelectedLayoutOnly_data()
    {
        QTest::addColumn<int>("depth"); // -1 none, 0 layout, 1 window, 2 detail
        QTest::addColumn<QStringList>("names");
        QTest::newRow("nothing selected") << -1 << QStringList{"A", "B", "N"};
        QTest::newRow("layout selected") << 0 << QStringList{"A", "N", "B"};
        QTest::newRow("window selected") << 1 << QStringList{"A", "B", "N"};
        QTest::newRow("detail selected") << 2 << QStringList{"A", "B", "N"};
    }
    void addPlacesAfterSelectedLayoutOnly()
    {
        QFETCH(int, depth);
        QFETCH(QStringList, names);
        add(QStringLiteral("A"));
        add(QStringLiteral("B"));
        QTreeWidgetItem* node = depth < 0 ? nullptr : layoutNode(QStringLiteral("A"));
        for (int level = 0; node && level < depth; ++level)
            node = node->child(0);
        m_panel->TreeView2()->clearSelection();
        select(node);
        add(QStringLiteral("N"));
        QCOMPARE(bookNames(), names);
        QCOMPARE(TopTexts(m_panel->TreeView2()), names);
        QVERIFY(layoutNode(QStringLiteral("N"))->isExpanded());
    }

    void addAfterSortingKeepsBookAndTreePlaces()
    {
        for (const char* name : {"c", "a", "b"})
            add(QString::fromLatin1(name));
        m_panel->SortLayoutList();
        QCOMPARE(TopTexts(m_panel->TreeView2()), (QStringList{"a", "b", "c"}));
        QCOMPARE(bookNames(), (QStringList{"c", "a", "b"}));
        select(layoutNode(QStringLiteral("a")));
        add(QStringLiteral("n"));
        QCOMPARE(bookNames(), (QStringList{"c", "a", "n", "b"}));
        QCOMPARE(TopTexts(m_panel->TreeView2()), (QStringList{"a", "n", "b", "c"}));
        reopen();
        QCOMPARE(TopTexts(m_panel->TreeView2()), (QStringList{"c", "a", "n", "b"}));
    }

    void addRefusedWhileMaximised()
    {
        m_host.maximized = true;
        add(QStringLiteral("X"));
        QCOMPARE(m_dialogs.dialogsShown.size(), 0);
        QCOMPARE(m_dialogs.messages.size(), 1);
        QCOMPARE(m_dialogs.messages.first().icon, MsgIcon::Information);
        QVERIFY(bookNames().isEmpty());
    }

    // An archive file that cannot be read (here: larger than any archive)
    // is told with its reason, and adding a layout neither asks for a name
    // nor saves a book of the new layout alone over it.
    void unreadableArchiveTold()
    {
        const QString path = m_dir->filePath(LayoutBook::BookFileName());
        QFile large(path);
        QVERIFY(large.open(QIODevice::WriteOnly));
        QVERIFY(large.resize(qint64(MaxLayoutRecords + 1) * LayoutBookFormat::RecordLength));
        large.close();
        const QByteArray before = large.open(QIODevice::ReadOnly) ? large.readAll() : QByteArray();
        large.close();
        reopen();
        QCOMPARE(m_dialogs.messages.size(), 1);
        QCOMPARE(m_dialogs.messages.first().icon, MsgIcon::Critical);
        QVERIFY2(m_dialogs.messages.first().text.contains(path),
                 qPrintable(m_dialogs.messages.first().text));

        add(QStringLiteral("X"));
        QCOMPARE(m_dialogs.dialogsShown.size(), 0);
        QCOMPARE(m_dialogs.messages.size(), 2);
        QVERIFY(large.open(QIODevice::ReadOnly));
        QCOMPARE(large.readAll(), before);
        QCOMPARE(m_panel->TreeView2()->topLevelItemCount(), 0);
    }

    void deleteAsksAndTheLastDisablesOpening_data()
    {
        QTest::addColumn<MsgAnswer>("answer");
        QTest::addColumn<int>("left");
        QTest::newRow("yes") << MsgAnswer::Yes << 0;
        QTest::newRow("no") << MsgAnswer::No << 1;
    }
    void deleteAsksAndTheLastDisablesOpening()
    {
        QFETCH(MsgAnswer, answer);
        QFETCH(int, left);
        add(QStringLiteral("Einzig"));
        select(layoutNode(QStringLiteral("Einzig")));
        m_panel->UpdateLayoutCommands();
        QVERIFY(m_panel->Button(QStringLiteral("layout"))->isEnabled());
        m_dialogs.messages.clear();
        m_dialogs.nextAnswer = answer;
        m_panel->mn_DelLayout_Click();
        QCOMPARE(m_dialogs.messages.size(), 1);
        QCOMPARE(m_panel->TreeView2()->topLevelItemCount(), left);
        QCOMPARE(bookNames().size(), left);
        QCOMPARE(m_panel->Button(QStringLiteral("layout"))->isEnabled(), left > 0);
    }

    void feedWindowRoundTrip()
    {
        m_host.layoutWindows = {
            FeedWindow(QStringLiteral("http://f.test/rss"), QStringLiteral("News")),
            PageWindow(QStringLiteral("http://p.test/"), QStringLiteral("P"))};
        add(QStringLiteral("Mix"));
        reopen();
        QTreeWidgetItem* layout = layoutNode(QStringLiteral("Mix"));
        QCOMPARE(layout->child(0)->text(0), QStringLiteral("News"));
        select(layout->child(0));
        m_panel->OpenLayoutSelection();
        select(layout->child(1));
        m_panel->OpenLayoutSelection();
        select(layout->child(1)->child(0));
        m_panel->OpenLayoutSelection();
        QCOMPARE(m_host.feeds, QStringList{"http://f.test/rss"});
        QCOMPARE(m_host.visited, QStringList{"http://p.test/|10"});
        select(layout);
        m_panel->OpenLayoutSelection();
        QCOMPARE(m_host.openedLayouts, QStringList{m_panel->WLBuch().layout(1)->FileName()});
    }

    void propertiesRenameAndKeepTheBookOrder()
    {
        add(QStringLiteral("A"));
        add(QStringLiteral("B"));
        select(layoutNode(QStringLiteral("A")));
        QString proposed;
        m_dialogs.fillDialog = [&proposed](QObject& dialog) {
            auto* d = qobject_cast<frmWLProperty*>(&dialog);
            proposed = d->nameEdit->text() + QLatin1Char('|') + d->descriptionEdit->text();
            d->nameEdit->setText(QStringLiteral("B"));
            d->Ok_Click();
            return d->result();
        };
        m_dialogs.messages.clear();
        m_panel->mn_LayoutProp_Click();
        QCOMPARE(proposed, QStringLiteral("A|Info A"));
        // Editing never asks about a name that is taken.
        QCOMPARE(m_dialogs.messages.size(), 0);
        QCOMPARE(bookNames(), (QStringList{"B", "B"}));
        QCOMPARE(TopTexts(m_panel->TreeView2()), (QStringList{"B", "B"}));
    }
};

ORV_GUI_TEST_MAIN(TestLayoutPanel)
#include "tst_layoutpanel.moc"
