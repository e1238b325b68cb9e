#include "browser/bandbar.h"
#include "browser/frmbrowser.h"
#include "common/mainwindowfixture.h"
#include "mainwin/mdiform.h"
#include "platform/icons.h"
#include "prefs/prefer.h"

#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTabBar>
#include <QToolBar>

using namespace orv;

namespace {

// The eight items that follow the row's visibility.
const QStringList kRowItems{"mn_RegisterOben",      "mn_RegisterUnten",   "mn_ctxtRegisterOben",
                            "mn_ctxtRegisterUnten", "mn_RegisterButton",  "mn_ctxtRegisterButton",
                            "mn_RegisterTabs",      "mn_ctxtRegisterTabs"};

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;
    // Style sheet or font set anew.
    int restyles = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        restyles += event->type() == QEvent::StyleChange || event->type() == QEvent::FontChange;
        return false;
    }
};

// Runs the pending layouts and redraws now.
void Redraw()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
}

} // namespace

class TstTabStrip : public QObject, private MainWindowFixture<> {
    Q_OBJECT

    QTemporaryDir m_files;

    QTabBar* tabs() const { return m_main->tabStrip().TabStrip1(); }
    int tabOf(const frmBrowser* w) const
    {
        return m_main->tabStrip().TabIndexOfKey(w->WindowKey());
    }
    bool hasImage(int tab, int image) const
    {
        return tabs()->tabIcon(tab).cacheKey() == TabImage(image).cacheKey();
    }
    frmBrowser* create() { return m_main->CreateBrowser(QStringLiteral("test"), false); }
    // The check mark of an item when it and both its copies agree, else -1.
    int mark(const QString& group) const
    {
        const bool checked = m_main->menuItems().ItemChecked(QStringLiteral("mn_") + group);
        for (const QString& name : {QStringLiteral("mn_ctxt") + group,
                                    QStringLiteral("mn_ctxt") + group + QLatin1Char('T')}) {
            const QAction* copy = m_main->menuItems().Item(name);
            if (!copy || copy->isChecked() != checked)
                return -1;
        }
        return checked ? 1 : 0;
    }
    void trigger(const char* name)
    {
        m_main->menuItems().Item(QString::fromLatin1(name))->trigger();
    }

private Q_SLOTS:
    void initTestCase()
    {
        InstallDialogs(&m_dialogs);
        m_server.serve("/a", "text/html", HtmlPage("Seite A", "x"));
        m_server.serve("/b", "text/html", HtmlPage("Seite B", "x"));
        m_server.serve("/amp", "text/html", HtmlPage("A&amp;B", "x"));
    }

    void init()
    {
        openMainWindow();
        m_main->ApplyTabSettings();
    }
    void cleanup() { closeMainWindow(); }

    // Many windows: every tab stays readable (the strip scrolls) and shows
    // its whole title as tool tip.
    void manyTabsStayReadable()
    {
        for (int i = 1; i <= 14; ++i) {
            frmBrowser* w = create();
            m_main->SetTapTitle(QStringLiteral("Nachrichten aus aller Welt, Ausgabe %1").arg(i),
                                w->ID());
        }
        const int readable = tabs()->fontMetrics().averageCharWidth() * TabStrip::kReadableChars;
        for (int i = 0; i < tabs()->count(); ++i) {
            QVERIFY2(tabs()->tabRect(i).width() >= readable, qPrintable(QString::number(i)));
            QCOMPARE(tabs()->tabToolTip(i),
                     QStringLiteral("Nachrichten aus aller Welt, Ausgabe %1").arg(i + 1));
        }
    }

    void ampersandsShowOnTheTab()
    {
        QCOMPARE(TabStrip::StrToCaption(QStringLiteral("A&B&C")), QStringLiteral("A&&B&&C"));
        // The address of a new tab keeps its "&" before the title arrives.
        frmBrowser* first =
            m_main->registry().CreateBrowser(QStringLiteral("about:blank?a=1&b=2"), false);
        QCOMPARE(tabs()->tabText(tabOf(first)), QStringLiteral("about:blank?a=1&&b=2"));

        const int tab = tabOf(openAndWait(QStringLiteral("/amp")));
        QCOMPARE(tabs()->tabText(tab), QStringLiteral("A&&B"));
        QCOMPARE(tabs()->tabToolTip(tab), QStringLiteral("A&B"));
        QAccessibleInterface* strip = QAccessible::queryAccessibleInterface(tabs());
        QVERIFY(strip && strip->child(tab));
        QCOMPARE(strip->child(tab)->text(QAccessible::Name), QStringLiteral("A&B"));
    }

    void hiddenRowStaysHiddenForANewWindow()
    {
        // Without a window the command shows no row.
        m_main->tabStrip().mn_Register_Click();
        m_main->tabStrip().mn_Register_Click();
        QVERIFY(m_main->tabStrip().Toolbar1()->isHidden());
        create();
        QVERIFY(!m_main->tabStrip().Toolbar1()->isHidden());
        trigger("mn_Register");
        QVERIFY(!m_main->flags().bTabVisible);
        QCOMPARE(mark(QStringLiteral("Register")), 0);
        create();
        QVERIFY(m_main->tabStrip().Toolbar1()->isHidden());
        QVERIFY(tabs()->isHidden());
        // On again: the row shows the active window's tab.
        trigger("mn_ctxtRegisterT");
        QCOMPARE(mark(QStringLiteral("Register")), 1);
        QVERIFY(!m_main->tabStrip().Toolbar1()->isHidden());
        QCOMPARE(tabs()->currentIndex(), tabOf(m_main->ActiveBrowser()));
    }

    void styleSwitchKeepsTheActiveTab_data()
    {
        QTest::addColumn<bool>("buttons");
        QTest::newRow("to buttons") << true;
        QTest::newRow("to tabs") << false;
    }
    void styleSwitchKeepsTheActiveTab()
    {
        QFETCH(bool, buttons);
        buttons ? m_main->tabStrip().mn_RegisterTabs_Click()
                : m_main->tabStrip().mn_RegisterButton_Click();
        frmBrowser* a = openAndWait(QStringLiteral("/a"));
        openAndWait(QStringLiteral("/b"));
        m_main->mdiArea()->setActiveSubWindow(a);
        QCOMPARE(tabs()->currentIndex(), tabOf(a));
        const QImage before = tabs()->grab().toImage();

        buttons ? trigger("mn_ctxtRegisterButton") : trigger("mn_ctxtRegisterTabs");
        QCOMPARE(m_main->flags().bTabStylButton, buttons);
        QCOMPARE(m_main->tabStrip().TabStyle(), buttons ? 2 : 0);
        QCOMPARE(mark(QStringLiteral("RegisterButton")), int(buttons));
        QCOMPARE(mark(QStringLiteral("RegisterTabs")), int(!buttons));
        QCOMPARE(m_main->ActiveBrowser(), a);
        QCOMPARE(tabs()->currentIndex(), tabOf(a));
        QVERIFY(hasImage(tabOf(a), 1));
        QVERIFY(tabs()->grab().toImage() != before); // the styles look different
    }

    void dockingAndOffsets_data()
    {
        QTest::addColumn<int>("align");
        QTest::addColumn<bool>("buttons");
        QTest::addColumn<int>("twips");
        QTest::newRow("top, tabs") << 1 << false << 90;
        QTest::newRow("top, buttons") << 1 << true << 60;
        QTest::newRow("bottom, tabs") << 2 << false << -110;
        QTest::newRow("bottom, buttons") << 2 << true << -90;
    }
    void dockingAndOffsets()
    {
        QFETCH(int, align);
        QFETCH(bool, buttons);
        QFETCH(int, twips);
        create();
        // From the other side and the other style.
        align == 1 ? m_main->tabStrip().mn_RegisterUnten_Click()
                   : m_main->tabStrip().mn_RegisterOben_Click();
        buttons ? m_main->tabStrip().mn_RegisterTabs_Click()
                : m_main->tabStrip().mn_RegisterButton_Click();
        align == 1 ? trigger("mn_ctxtRegisterObenT") : trigger("mn_ctxtRegisterUntenT");
        buttons ? m_main->tabStrip().mn_RegisterButton_Click()
                : m_main->tabStrip().mn_RegisterTabs_Click();
        QCOMPARE(m_main->flags().nTabAlign, align);
        QCOMPARE(mark(QStringLiteral("RegisterOben")), int(align == 1));
        QCOMPARE(mark(QStringLiteral("RegisterUnten")), int(align == 2));
        QCOMPARE(tabs()->shape(), align == 1 ? QTabBar::RoundedNorth : QTabBar::RoundedSouth);
        QVERIFY(!m_main->tabStrip().Toolbar1()->isHidden());
        QCOMPARE(m_main->tabStrip().TabStripTop(), twips);
        // In pixels: down from the bar's upper edge at the top, up from its
        // lower edge at the bottom.
        const QWidget* holder = tabs()->parentWidget();
        const int pixels = qRound(twips / 15.0);
        QTRY_COMPARE(tabs()->y(), qMax(pixels, 0));
        QTRY_COMPARE(holder->height() - tabs()->geometry().bottom() - 1, qMax(-pixels, 0));
        QTRY_COMPARE(m_main->tabStrip().Toolbar1()->geometry().top() <
                         m_main->mdiArea()->geometry().top(),
                     align == 1);
        // Any other alignment leaves the offset as it is.
        m_main->flags().nTabAlign = 3;
        m_main->tabStrip().SetTabStripPos(!buttons);
        QCOMPARE(m_main->tabStrip().TabStripTop(), twips);
    }

    void updateToolbarPosAndFont()
    {
        // Docked at the top behind the commands' back: the marks say bottom.
        m_main->tabStrip().mn_RegisterUnten_Click();
        m_main->tabStrip().SetToolbarPos(1, true);
        m_main->menuItems().SetItemChecked(QStringLiteral("mn_RegisterUnten"), true);
        m_main->menuItems().SetItemChecked(QStringLiteral("mn_RegisterOben"), false);
        m_main->tabStrip().UpdateToolbarPos();
        QCOMPARE(m_main->toolBarArea(m_main->tabStrip().Toolbar1()), Qt::BottomToolBarArea);

        const QFont bold = TabStrip::SetFontFace(true, QStringLiteral("Verdana"));
        QCOMPARE(bold.family(), QStringLiteral("Verdana"));
        QCOMPARE(bold.pointSizeF(), 8.25);
        QVERIFY(bold.bold());
        m_prefer->setTabFontBold(1);
        m_main->tabStrip().SetToolbarPos(1, true);
        QVERIFY(tabs()->font().bold());
        m_prefer->setTabFontBold(0);
        m_main->tabStrip().ActivateTabStrip();
        QVERIFY(!tabs()->font().bold());
    }

    void closingTheLastWindowHidesTheRow()
    {
        frmBrowser* a = create();
        frmBrowser* b = create();
        for (const QString& name : kRowItems)
            QVERIFY2(m_main->menuItems().Item(name)->isEnabled(), qPrintable(name));
        m_main->menus().FullScreenOn();
        a->close();
        QTRY_COMPARE(m_main->Browser().size(), 1);
        QVERIFY(m_main->menus().IsFullScreen());
        b->close();
        QTRY_COMPARE(m_main->Browser().size(), 0);
        QVERIFY(m_main->tabStrip().Toolbar1()->isHidden());
        QVERIFY(tabs()->isHidden());
        QCOMPARE(tabs()->count(), 0);
        for (const QString& name : kRowItems)
            QVERIFY2(!m_main->menuItems().Item(name)->isEnabled(), qPrintable(name));
        QVERIFY(!m_main->menuItems().Item(QStringLiteral("mn_ctxtRegisterObenT"))->isEnabled());
        QVERIFY(m_main->menuItems().Item(QStringLiteral("mn_Register"))->isEnabled());
        QVERIFY(!m_main->menus().IsFullScreen());
    }

    void clickingATabActivatesItsWindow()
    {
        frmBrowser* a = openAndWait(QStringLiteral("/a"));
        frmBrowser* b = openAndWait(QStringLiteral("/b"));
        QCOMPARE(m_main->ActiveBrowser(), b);
        QVERIFY(hasImage(tabOf(b), 1));
        QVERIFY(hasImage(tabOf(a), 2));
        QTest::mouseClick(tabs(), Qt::LeftButton, {}, tabs()->tabRect(tabOf(a)).center());
        QCOMPARE(m_main->ActiveBrowser(), a);
        QCOMPARE(tabs()->currentIndex(), tabOf(a));
        QVERIFY(hasImage(tabOf(a), 1));
        QVERIFY(hasImage(tabOf(b), 2));
        QCOMPARE(tabs()->tabText(tabOf(a)), QStringLiteral("Seite A"));
        QVERIFY(m_dialogs.messages.isEmpty());
    }

    void minimisedWindowIsRestoredOnRelease()
    {
        frmBrowser* a = create();
        frmBrowser* b = create();
        a->SetWindowState(1);
        m_main->mdiArea()->setActiveSubWindow(b);
        const QPoint at = tabs()->tabRect(tabOf(a)).center();
        QTest::mousePress(tabs(), Qt::LeftButton, {}, at);
        QCOMPARE(m_main->ActiveBrowser(), a);
        QCOMPARE(a->WindowState(), 1);
        QTest::mouseRelease(tabs(), Qt::LeftButton, {}, at);
        QCOMPARE(a->WindowState(), 0);
        QCOMPARE(m_main->ActiveBrowser(), a);
    }

    void rightReleaseOpensTheStripMenu()
    {
        create();
        QMenu* menu = m_main->tabStrip().TabStripMenu();
        QStringList names;
        QStringList texts;
        for (const QAction* a : menu->actions()) {
            names << a->objectName();
            texts << a->text();
        }
        QCOMPARE(menu->objectName(), QStringLiteral("mn_RegisterDummy"));
        QCOMPARE(names,
                 (QStringList{"mn_ctxtRegisterT", "mn_ctxtRegisterObenT", "mn_ctxtRegisterUntenT",
                              "mn_ctxtRegisterTabsT", "mn_ctxtRegisterButtonT", "",
                              "mn_ctxtAuswahlNebeneinanderT", "mn_ctxtAuswahlUntereinanderT"}));
        QCOMPARE(texts, (QStringList{Txt(306), Txt(307), Txt(308), Txt(310), Txt(309), "",
                                     "Auswahl n&ebeneinander", "Aus&wahl untereinander"}));
        const QPoint at = tabs()->tabRect(0).center();
        QTest::mousePress(tabs(), Qt::RightButton, {}, at);
        QVERIFY(!menu->isVisible());
        QTest::mouseRelease(tabs(), Qt::RightButton, {}, at);
        QTRY_VERIFY(menu->isVisible());
        menu->hide();
    }

    void setTapTitle_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("number");
        QTest::addColumn<bool>("reported");
        QTest::newRow("empty title") << QString() << 1 << false;
        QTest::newRow("number 0") << "Neu" << 0 << false;
        QTest::newRow("negative number") << "Neu" << -1 << false;
        QTest::newRow("no such tab") << "Neu" << 999 << true;
    }
    void setTapTitle()
    {
        QFETCH(QString, title);
        QFETCH(int, number);
        QFETCH(bool, reported);
        QCOMPARE(create()->ID(), 1);
        m_main->SetTapTitle(QStringLiteral("Alt & gut"), 1);
        m_main->SetTapTitle(title, number);
        QCOMPARE(tabs()->tabText(0), QStringLiteral("Alt && gut"));
        QCOMPARE(m_dialogs.messages.size(), int(reported));
        if (reported) {
            QCOMPARE(m_dialogs.messages[0].title, QStringLiteral("SetTapTitle"));
            QCOMPARE(m_dialogs.messages[0].icon, MsgIcon::Warning);
        }
    }

    // A caption or picture the tab shows already leaves the strip alone:
    // every redraw of the main window composes all of it again.
    void unchangedTabIsNotRedrawn()
    {
        frmBrowser* w = create();
        m_main->SetTapTitle(QStringLiteral("Alt"), w->ID());
        m_main->tabStrip().UpdateTab();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
        Redraw();
        PaintCounter counter(tabs());
        m_main->SetTapTitle(QStringLiteral("Alt"), w->ID());
        m_main->tabStrip().UpdateTab();
        m_main->tabStrip().SetTabImage(w->ID(), 1);
        Redraw();
        QCOMPARE(counter.paints, 0);
        // The settings as they are: the tabs keep their style and font.
        m_main->ApplyTabSettings();
        QCOMPARE(counter.restyles, 0);
        m_main->tabStrip().SetTabImage(w->ID(), 3);
        Redraw();
        QVERIFY(counter.paints > 0);
        QVERIFY(hasImage(tabOf(w), 3));
    }

    void dropsOpenWindowsInOrder_data()
    {
        QTest::addColumn<bool>("files");
        QTest::addColumn<bool>("suspended");
        QTest::newRow("text") << false << false;
        QTest::newRow("file list") << true << false;
        QTest::newRow("text, opening suspended") << false << true;
        QTest::newRow("file list, opening suspended") << true << true;
    }
    void dropsOpenWindowsInOrder()
    {
        QFETCH(bool, files);
        QFETCH(bool, suspended);
        m_prefer->setAdresszeile(false);
        create();
        QMimeData data;
        QStringList expected;
        if (files) {
            QList<QUrl> urls;
            for (const char* name : {"zwei.html", "eins.html", "drei.html"}) {
                QFile f(QDir(m_files.path()).filePath(QString::fromLatin1(name)));
                QVERIFY(f.open(QIODevice::WriteOnly) && f.write(HtmlPage(name, "x")) > 0);
                urls << QUrl::fromLocalFile(f.fileName());
                expected << f.fileName();
            }
            data.setUrls(urls);
        } else {
            data.setText(QStringLiteral("  %1 \n").arg(m_server.url("/a").toString()));
            expected << m_server.url("/a").toString();
        }
        m_main->SuspendExternalOpen(suspended);
        const QPoint at = tabs()->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(tabs(), &enter);
        QCOMPARE(enter.isAccepted(), !suspended);
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(tabs(), &dropped);
        m_main->SuspendExternalOpen(false);
        QStringList opened;
        for (const frmBrowser* w : m_main->Browser().mid(1)) {
            opened << w->StartingAddress();
            QVERIFY(!w->CoolBar1()->bandVisible(QStringLiteral("Adress"))); // as preferred
        }
        QCOMPARE(opened, suspended ? QStringList() : expected);
    }

    void checkMarksAgreeOnAllCopies()
    {
        create();
        for (const char* command :
             {"mn_ctxtRegisterUnten", "mn_RegisterOben", "mn_ctxtRegisterTabsT",
              "mn_ctxtRegisterButton", "mn_RegisterUnten", "mn_ctxtRegisterObenT",
              "mn_RegisterTabs", "mn_ctxtRegisterButtonT", "mn_ctxtRegister", "mn_Register",
              "mn_ctxtRegisterT"}) {
            trigger(command);
            QCOMPARE(mark(QStringLiteral("Register")), int(m_main->flags().bTabVisible));
            QCOMPARE(mark(QStringLiteral("RegisterOben")), int(m_main->flags().nTabAlign == 1));
            QCOMPARE(mark(QStringLiteral("RegisterUnten")), int(m_main->flags().nTabAlign == 2));
            QCOMPARE(mark(QStringLiteral("RegisterButton")), int(m_main->flags().bTabStylButton));
            QCOMPARE(mark(QStringLiteral("RegisterTabs")), int(!m_main->flags().bTabStylButton));
            QCOMPARE(m_main->tabStrip().Toolbar1()->isHidden(), !m_main->flags().bTabVisible);
        }
        // The commands leave the stored preferences alone.
        QCOMPARE(m_prefer->TabAlign(), 1);
        QVERIFY(m_prefer->TabButton() && m_prefer->TabStrip());
    }

    void startSettingsPlaceTheRow()
    {
        m_prefer->setTabAlign(2);
        m_prefer->setTabButton(false);
        m_main->flags().nTabAlign = 2;
        m_main->flags().bTabStylButton = false;
        create();
        m_main->ApplyTabSettings();
        QCOMPARE(m_main->toolBarArea(m_main->tabStrip().Toolbar1()), Qt::BottomToolBarArea);
        QCOMPARE(m_main->tabStrip().TabStyle(), 0);
        QCOMPARE(m_main->tabStrip().TabStripTop(), -110);
        QCOMPARE(mark(QStringLiteral("RegisterUnten")), 1);
        QCOMPARE(mark(QStringLiteral("RegisterTabs")), 1);
        QVERIFY(!m_main->tabStrip().Toolbar1()->isHidden());
    }
};

ORV_GUI_TEST_MAIN(TstTabStrip)
#include "tst_tabstrip.moc"
