#include "browser/bandbar.h"
#include "browser/frmbrowser.h"
#include "browser/zoom.h"
#include "common/mainwindowfixture.h"
#include "layouts/layout.h"
#include "layouts/layoutrecords.h"
#include "mainwin/mdiform.h"
#include "mainwin/recoveryfile.h"
#include "prefs/prefer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QMenu>
#include <QSignalSpy>
#include <QTabBar>
#include <QWebEngineSettings>

using namespace orv;

namespace {

// The named items of a menu in display order (separators left out).
QStringList itemNames(const QMenu* menu)
{
    QStringList names;
    for (const QAction* a : menu->actions())
        if (!a->isSeparator() && !a->objectName().isEmpty())
            names << a->objectName();
    return names;
}

LayoutWindowRecord record(const QString& url, QRect twips, int state, bool toolbar, bool adress,
                          const QString& title = {})
{
    LayoutWindowRecord r;
    r.Left = qint16(twips.x());
    r.Top = qint16(twips.y());
    r.Width = qint16(twips.width());
    r.Height = qint16(twips.height());
    r.URL = url;
    r.WindowState = qint16(state);
    r.ToolbarVisible = toolbar;
    r.AdressbarVisible = adress;
    r.Titel = title;
    return r;
}

} // namespace

class TstWindowMenu : public QObject, private MainWindowFixture<> {
    Q_OBJECT

    QTemporaryDir m_files;

    QAction* item(const char* name) const
    {
        return m_main->menuItems().Item(QString::fromUtf8(name));
    }
    QMenu* menu(const char* name) const
    {
        return m_main->findChild<QMenu*>(QString::fromUtf8(name));
    }
    frmBrowser* open() { return m_main->CreateBrowser(QStringLiteral("test"), false); }
    QString file(const QString& name) const { return m_files.filePath(name); }
    // Opens the arrangement file through the File menu command and waits
    // for the deferred second phase.
    void restore(const QString& path)
    {
        m_dialogs.nextPath = path;
        m_main->windowMenu().mn_Anordnung_load_Click();
        QVERIFY(m_main->Browser().isEmpty());
        QVERIFY(!m_main->ExternalOpenEnabled());
        QCOMPARE(m_main->arrangements().PendingLayoutFile, path);
        QTRY_VERIFY_WITH_TIMEOUT(m_main->arrangements().PendingLayoutFile.isEmpty(), kWait);
        QVERIFY(m_main->ExternalOpenEnabled());
    }
    static QRect viewport(MDIForm1& main) { return main.mdiArea()->viewport()->rect(); }

private Q_SLOTS:
    void initTestCase()
    {
        InstallDialogs(&m_dialogs);
        for (const char* p : {"/a", "/b", "/c"}) {
            const QByteArray title = QByteArray("Seite ") + p;
            m_server.serve(p, "text/html", HtmlPage(title, title));
        }
    }

    void init()
    {
        openMainWindow([](Prefer& prefer) { prefer.setHomeUrl(QString()); });
        m_dialogs.clear();
    }
    void cleanup() { closeMainWindow(); }

    void itemsInOrderWithCaptions()
    {
        const QStringList names = {
            "mn_Untereinander",        "mn_Nebeneinander",        "mn_Kaskadiert",
            "mn_AuswahlNebeneinander", "mn_AuswahlUntereinander", "mn_ToggleAdressRow",
            "mn_ToogleToolbars",       "mn_ToggleToolbAdres",     "mn_RefreshAll",
            "mn_EnablePopup",          "mn_DisablePopup",         "mn_PopupToBack",
            "mn_PopupResize",          "mn_PopupReferenz",        "mn_Aktives",
            "mn_ClosePopups",          "mn_CloseAllOtherWin",     "mn_Alleschließen"};
        // The captions of the table; 0: the program's own.
        const QList<int> texts = {401, 402, 403, 0,   0,   424, 423, 409, 425,
                                  412, 413, 414, 415, 420, 406, 426, 422, 411};
        QCOMPARE(itemNames(menu("mn_Fenster")), names);
        QCOMPARE(menu("mn_Fenster")->title(), QStringLiteral("&Fenster"));
        for (int i = 0; i < names.size(); ++i)
            if (texts[i] > 0)
                QCOMPARE(m_main->menuItems().Item(names[i])->text(), Txt(texts[i]));
        QCOMPARE(m_main->menuItems().Item(names[3])->text(),
                 QStringLiteral("Auswahl n&ebeneinander"));
        QCOMPARE(m_main->menuItems().Item(names[4])->text(),
                 QStringLiteral("Aus&wahl untereinander"));
        QCOMPARE(itemNames(menu("mn_Aktives")),
                 (QStringList{"mn_Adresszeile", "mn_toolbar", "mn_beides", "mn_Aktivschließen"}));
        QCOMPARE(item("mn_Aktivschließen")->text(), QStringLiteral("Schließen"));
        QCOMPARE(item("mn_Aktivschließen")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F12));

        // The context copies: same captions, no stepping items.
        QStringList copies;
        for (const QString& n : names)
            copies << QStringLiteral("mn_ctxt") + n.mid(3);
        QCOMPARE(itemNames(menu("mn_ctxtFenster")), copies);
        QCOMPARE(itemNames(menu("mn_ctxtAktives")),
                 (QStringList{"mn_ctxtAdresszeile", "mn_ctxtToolbar", "mn_ctxtBeides",
                              "mn_ctxtAktivschließen"}));
        for (const QString& n : names)
            QCOMPARE(m_main->menuItems().Item(QStringLiteral("mn_ctxt") + n.mid(3))->text(),
                     m_main->menuItems().Item(n)->text());
        QVERIFY(!item("mn_ctxtFirstwindow") && !item("mn_ctxtfirstwindow"));

        const QStringList stepping = {"mn_firstwindow", "mn_prevwindow", "mn_nextwindow",
                                      "mn_lastwindow"};
        const QStringList captions = {"&Erstes", "<", ">", "&Letztes"};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(m_main->menuItems().Item(stepping[i])->text(), captions[i]);
    }

    // The shortcut that closes the active window works before any menu
    // was opened, and does nothing without a window.
    void closeShortcutWorksFromTheStart()
    {
        m_main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
        QTest::keyClick(m_main.get(), Qt::Key_F12, Qt::ControlModifier);
        QVERIFY(m_main->CreateBrowser(QStringLiteral("test"), false));
        QVERIFY(m_main->CreateBrowser(QStringLiteral("test"), false));
        QTest::keyClick(m_main.get(), Qt::Key_F12, Qt::ControlModifier);
        QTRY_COMPARE_WITH_TIMEOUT(m_main->Browser().size(), 1, kWait);
        QTest::keyClick(m_main.get(), Qt::Key_F12, Qt::ControlModifier);
        QTRY_COMPARE_WITH_TIMEOUT(m_main->Browser().size(), 0, kWait);
    }

    void statesWhenCreated()
    {
        for (const char* n : {"mn_EnablePopup", "mn_PopupResize", "mn_PopupReferenz",
                              "mn_Adresszeile", "mn_toolbar", "mn_beides", "mn_ctxtPopupResize",
                              "mn_ctxtPopupReferenz", "mn_ctxtBeides"})
            QVERIFY2(item(n)->isChecked(), n);
        for (const char* n : {"mn_Untereinander", "mn_Nebeneinander", "mn_Kaskadiert",
                              "mn_DisablePopup", "mn_PopupToBack"})
            QVERIFY2(!item(n)->isChecked(), n);
        for (const char* n : {"mn_Untereinander", "mn_Nebeneinander", "mn_Kaskadiert", "mn_Aktives",
                              "mn_CloseAllOtherWin", "mn_ctxtCloseAllOtherWin", "mn_Alleschließen"})
            QVERIFY2(!item(n)->isEnabled(), n);
        for (const char* n : {"mn_firstwindow", "mn_prevwindow", "mn_nextwindow", "mn_lastwindow"})
            QVERIFY2(!item(n)->isVisible(), n);
    }

    void steppingWrapsAround()
    {
        frmBrowser* first = open();
        open();
        frmBrowser* last = open();
        QTabBar* tabs = m_main->tabStrip().TabStrip1();
        item("mn_firstwindow")->trigger();
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(m_main->ActiveBrowser(), first);
        item("mn_prevwindow")->trigger();
        QCOMPARE(tabs->currentIndex(), 2);
        QCOMPARE(m_main->ActiveBrowser(), last);
        item("mn_nextwindow")->trigger();
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(m_main->ActiveBrowser(), first);
        item("mn_nextwindow")->trigger();
        QCOMPARE(tabs->currentIndex(), 1);
        item("mn_lastwindow")->trigger();
        QCOMPARE(tabs->currentIndex(), 2);
        item("mn_lastwindow")->trigger();
        QCOMPARE(tabs->currentIndex(), 2);
    }

    void steppingItemsFollowTheWindowCount()
    {
        open();
        QVERIFY(!item("mn_nextwindow")->isVisible());
        frmBrowser* second = open();
        for (const char* n : {"mn_firstwindow", "mn_prevwindow", "mn_nextwindow", "mn_lastwindow"})
            QVERIFY2(item(n)->isVisible(), n);
        QElapsedTimer clock;
        clock.start();
        second->close();
        QVERIFY(item("mn_lastwindow")->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!item("mn_lastwindow")->isVisible(), 2000);
        QVERIFY(clock.elapsed() >= 75);
        QVERIFY(!item("mn_firstwindow")->isVisible());
    }

    void withoutWindowsNoArrangementIsKept()
    {
        frmBrowser* w = open();
        Q_EMIT menu("mn_ctxtFenster")->aboutToShow();
        item("mn_ctxtUntereinander")->trigger();
        QVERIFY(item("mn_Untereinander")->isChecked());
        QVERIFY(item("mn_ctxtUntereinander")->isChecked());
        w->close();
        QVERIFY(item("mn_Untereinander")->isChecked());
        Q_EMIT menu("mn_Fenster")->aboutToShow();
        for (const char* n :
             {"mn_Untereinander", "mn_Nebeneinander", "mn_Kaskadiert", "mn_ctxtUntereinander"}) {
            QVERIFY2(!item(n)->isChecked(), n);
            QVERIFY2(!item(n)->isEnabled(), n);
        }
        for (const char* n :
             {"mn_ToogleToolbars", "mn_ToggleAdressRow", "mn_ToggleToolbAdres", "mn_Alleschließen",
              "mn_ClosePopups", "mn_CloseAllOtherWin", "mn_Aktivschließen", "mn_Aktives",
              "mn_RefreshAll", "mn_ctxtAktives", "mn_ctxtRefreshAll", "mn_Anordnung_save"})
            QVERIFY2(!item(n)->isEnabled(), n);
        // The next window stays where the area puts it.
        frmBrowser* next = open();
        QVERIFY(next->geometry() != viewport(*m_main));
    }

    void onlyTheToolsWindowOpen()
    {
        QWidget tools;
        tools.setWindowTitle(QStringLiteral("Tools"));
        tools.show();
        m_main->flags().bIsOpenBook = true;
        QCOMPARE(m_main->windowMenu().FormsCount(), 2);
        m_main->menuItems().SetItemChecked(QStringLiteral("mn_Kaskadiert"), true);
        m_main->MenuFenster();
        QVERIFY(!item("mn_Kaskadiert")->isChecked());
        QVERIFY(!item("mn_Kaskadiert")->isEnabled());

        // The tools window beside a browser window does not count as alone.
        open();
        QCOMPARE(m_main->windowMenu().FormsCount(), 3);
        m_main->MenuFenster();
        QVERIFY(item("mn_Kaskadiert")->isEnabled());
        QVERIFY(item("mn_Aktives")->isEnabled());
        m_main->flags().bIsOpenBook = false;
    }

    void bothBandsItem_data()
    {
        QTest::addColumn<bool>("adress");
        QTest::addColumn<bool>("toolbar");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<bool>("checked");
        QTest::newRow("both") << true << true << true << true;
        QTest::newRow("none") << false << false << true << false;
        QTest::newRow("toolbar only") << false << true << false << false;
        QTest::newRow("address only") << true << false << false << false;
    }
    void bothBandsItem()
    {
        QFETCH(bool, adress);
        QFETCH(bool, toolbar);
        QFETCH(bool, visible);
        QFETCH(bool, checked);
        frmBrowser* w = open();
        w->CoolBar1()->setBandVisible(QStringLiteral("Adress"), adress);
        w->CoolBar1()->setBandVisible(QStringLiteral("Toolbar"), toolbar);
        Q_EMIT menu("mn_ctxtFenster")->aboutToShow();
        QCOMPARE(item("mn_Adresszeile")->isChecked(), adress);
        QCOMPARE(item("mn_ctxtToolbar")->isChecked(), toolbar);
        QCOMPARE(item("mn_beides")->isVisible(), visible);
        QCOMPARE(item("mn_ctxtBeides")->isVisible(), visible);
        if (visible)
            QCOMPARE(item("mn_beides")->isChecked(), checked);
    }

    void commandsFollowTheWindows()
    {
        frmBrowser* w = open();
        m_main->MenuFenster();
        QVERIFY(item("mn_Anordnung_save")->isEnabled());
        QVERIFY(item("mn_ctxtSave")->isEnabled());
        QVERIFY(!item("mn_CloseAllOtherWin")->isEnabled());
        QVERIFY(!item("mn_ClosePopups")->isEnabled());
        w->showMaximized();
        m_main->MenuFenster();
        QVERIFY(!item("mn_Anordnung_save")->isEnabled());
        QVERIFY(!item("mn_ctxtAnordnung_save")->isEnabled());
        w->showNormal();
        open();
        m_main->registry().setPopupCount(1);
        m_main->flags().bPopup = false;
        m_main->MenuFenster();
        QVERIFY(item("mn_Anordnung_save")->isEnabled());
        QVERIFY(item("mn_CloseAllOtherWin")->isEnabled());
        QVERIFY(item("mn_ClosePopups")->isEnabled());
        QVERIFY(item("mn_DisablePopup")->isChecked());
        QVERIFY(!item("mn_EnablePopup")->isChecked());
        QVERIFY(!item("mn_ctxtPopupReferenz")->isEnabled());
        m_main->registry().setPopupCount(0);
    }

    void arrangementsInTheArea_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("one below the other") << QStringLiteral("mn_Untereinander");
        QTest::newRow("side by side") << QStringLiteral("mn_Nebeneinander");
        QTest::newRow("cascade") << QStringLiteral("mn_Kaskadiert");
    }
    void arrangementsInTheArea()
    {
        QFETCH(QString, command);
        const bool cascade = command == QLatin1String("mn_Kaskadiert");
        const bool below = command == QLatin1String("mn_Untereinander");
        frmBrowser* minimised = open();
        open();
        open();
        minimised->showMinimized();
        const QRect icon = minimised->geometry();
        m_main->MenuFenster();
        m_main->menuItems().Item(command)->trigger();
        QVERIFY(m_main->menuItems().ItemChecked(command));
        QVERIFY(m_main->menuItems().Item(QStringLiteral("mn_ctxt") + command.mid(3))->isChecked());
        // A new window is arranged with the others.
        open();
        const QRect area = viewport(*m_main);
        QList<QRect> placed;
        for (frmBrowser* w : m_main->Browser())
            if (w != minimised)
                placed << w->geometry();
        QCOMPARE(placed.size(), 3);
        QCOMPARE(minimised->geometry(), icon);
        QVERIFY(minimised->isMinimized());
        qint64 covered = 0;
        for (int i = 0; i < placed.size(); ++i) {
            QVERIFY2(area.contains(placed[i]), qPrintable(QString::number(i)));
            QVERIFY(!placed[i].intersects(icon));
            covered += qint64(placed[i].width()) * placed[i].height();
            for (int j = i + 1; j < placed.size() && !cascade; ++j)
                QVERIFY(!placed[i].intersects(placed[j]));
        }
        if (cascade) {
            // Each one title bar further down and right, the newest last.
            const int step = placed[1].x() - placed[0].x();
            QVERIFY(step > 10);
            for (int i = 1; i < placed.size(); ++i)
                QCOMPARE(placed[i].topLeft() - placed[i - 1].topLeft(), QPoint(step, step));
            QCOMPARE(placed[0].topLeft(), QPoint(0, 0));
        } else {
            // Three windows in one column or one row fill the area above the
            // minimised window.
            QCOMPARE(covered, qint64(area.width()) * icon.top());
            for (const QRect& r : placed) {
                if (below)
                    QCOMPARE(r.width(), area.width());
                else
                    QCOMPARE(r.height(), icon.top());
            }
        }
        // Only one arrangement is checked.
        int checkedCount = 0;
        for (const char* n : {"mn_Untereinander", "mn_Nebeneinander", "mn_Kaskadiert"})
            checkedCount += item(n)->isChecked() ? 1 : 0;
        QCOMPARE(checkedCount, 1);
    }

    void twelveWindowsTiled_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("one below the other") << QStringLiteral("mn_Untereinander");
        QTest::newRow("side by side") << QStringLiteral("mn_Nebeneinander");
    }
    void twelveWindowsTiled()
    {
        QFETCH(QString, command);
        for (int i = 0; i < 12; ++i)
            open();
        m_main->Browser().constFirst()->showMaximized();
        m_main->MenuFenster();
        m_main->menuItems().Item(command)->trigger();
        const QRect area = viewport(*m_main);
        const QList<frmBrowser*> windows = m_main->Browser();
        qint64 covered = 0;
        for (int i = 0; i < windows.size(); ++i) {
            const QRect r = windows[i]->geometry();
            QVERIFY(!windows[i]->isMaximized());
            QVERIFY2(area.contains(r), qPrintable(QString::number(i)));
            covered += qint64(r.width()) * r.height();
            for (int j = i + 1; j < windows.size(); ++j)
                QVERIFY(!r.intersects(windows[j]->geometry()));
        }
        QCOMPARE(covered, qint64(area.width()) * area.height());
    }

    void windowList()
    {
        frmBrowser* a = open();
        frmBrowser* b = open();
        a->setWindowTitle(QStringLiteral("Tom & Jerry"));
        b->setWindowTitle(QStringLiteral("Zweites"));
        QMenu* windows = menu("mn_Fenster");
        auto entries = [windows] {
            Q_EMIT windows->aboutToShow();
            QList<QAction*> list;
            for (QAction* act : windows->actions())
                if (act->data().toString().startsWith(u'['))
                    list << act;
            return list;
        };
        QList<QAction*> list = entries();
        QCOMPARE(list.size(), 2);
        QCOMPARE(list[0]->text(), QStringLiteral("&1 Tom && Jerry"));
        QCOMPARE(list[1]->text(), QStringLiteral("&2 Zweites"));
        QVERIFY(!list[0]->isChecked());
        QVERIFY(list[1]->isChecked());
        list[0]->trigger();
        QCOMPARE(m_main->ActiveBrowser(), a);
        // Rebuilt on every opening, never doubled.
        list = entries();
        QCOMPARE(list.size(), 2);
        QVERIFY(list[0]->isChecked());
        QVERIFY(!list[1]->isChecked());
        b->close();
        QCOMPARE(entries().size(), 1);
    }

    // With many windows the list stays short, keeps the active window
    // reachable, and offers a searchable list of all.
    void manyWindowsInABoundedList()
    {
        QList<frmBrowser*> windows;
        for (int i = 0; i < 30; ++i)
            windows << m_main->CreateBrowser(QStringLiteral("test"), false);
        m_main->mdiArea()->setActiveSubWindow(windows[26]);
        QMenu* menuOfWindows = menu("mn_Fenster");
        Q_EMIT menuOfWindows->aboutToShow();
        QStringList keys;
        QAction* more = nullptr;
        for (QAction* act : menuOfWindows->actions()) {
            if (act->data().toString().startsWith(u'['))
                keys << act->data().toString();
            if (act->objectName() == QLatin1String("mn_MoreWindows"))
                more = act;
        }
        QCOMPARE(keys.size(), 20);
        QCOMPARE(keys.first(), windows[0]->WindowKey());
        QCOMPARE(keys.last(), windows[26]->WindowKey());
        QVERIFY(more);
        m_dialogs.nextChoice = 28;
        more->trigger();
        QCOMPARE(m_dialogs.choices.size(), 1);
        QCOMPARE(m_dialogs.choices[0].items.size(), 30);
        QCOMPARE(m_dialogs.choices[0].current, 26);
        QCOMPARE(m_main->ActiveBrowser(), windows[28]);
    }

    void saveAndRestore()
    {
        frmBrowser* plain = openAndWait(QStringLiteral("/a"));
        frmBrowser* bare = openAndWait(QStringLiteral("/b"));
        frmBrowser* small = openAndWait(QStringLiteral("/c"));
        plain->setGeometry(10, 20, 400, 300);
        for (const char* band : {"Adress", "Toolbar", "Anim"})
            bare->CoolBar1()->setBandVisible(QString::fromLatin1(band), false);
        bare->CoolBar1()->setVisible(false);
        bare->setGeometry(50, 60, 300, 200);
        small->setGeometry(100, 110, 350, 250);
        small->showMinimized();
        m_main->mdiArea()->setActiveSubWindow(plain);

        const QString path = file(QStringLiteral("arrangement"));
        m_dialogs.nextPath = path;
        m_main->windowMenu().mn_Anordnung_save_Click();
        QCOMPARE(m_dialogs.fileDialogs.size(), 1);
        const FileDialogRequest& request = m_dialogs.fileDialogs[0];
        QCOMPARE(request.mode, FileDialogRequest::Mode::Save);
        QCOMPARE(request.title, QStringLiteral("Anordnung speichern..."));
        QCOMPARE(request.startFolder, DataFolder());
        QCOMPARE(request.filters, QStringList{QStringLiteral("Fensterlayout-Datei (*.wlt)")});
        QVERIFY(!request.addExtension);
        QVERIFY(QFile::exists(path));
        QVERIFY(!QFile::exists(path + QStringLiteral(".wlt")));
        QVERIFY(m_main->ExternalOpenEnabled());
        // Saving leaves the windows as they were.
        QVERIFY(small->isMinimized());
        QCOMPARE(m_main->ActiveBrowser(), plain);

        QList<LayoutWindowRecord> records;
        QVERIFY(readLayoutFile(path, records).ok);
        QCOMPARE(records.size(), 3);
        QCOMPARE(records[0].URL, m_server.url("/a").toString());
        QCOMPARE(records[0].Titel, QStringLiteral("Seite /a"));
        QCOMPARE(QRect(records[0].Left, records[0].Top, records[0].Width, records[0].Height),
                 QRect(150, 300, 6000, 4500));
        QVERIFY(!records[1].ToolbarVisible && !records[1].AdressbarVisible);
        QCOMPARE(records[2].WindowState, qint16(1));
        QCOMPARE(QRect(records[2].Left, records[2].Top, records[2].Width, records[2].Height),
                 QRect(1500, 1650, 5250, 3750));

        restore(path);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(m_dialogs.fileDialogs.size(), 2);
        QCOMPARE(m_dialogs.fileDialogs[1].mode, FileDialogRequest::Mode::Open);
        QCOMPARE(m_dialogs.fileDialogs[1].title, QStringLiteral("Anordnung laden..."));
        QCOMPARE(m_dialogs.fileDialogs[1].filters, request.filters);
        const QList<frmBrowser*> windows = m_main->Browser();
        QCOMPARE(windows.size(), 3);
        QCOMPARE(windows[0]->StartingAddress(), m_server.url("/a").toString());
        QCOMPARE(windows[0]->geometry(), QRect(10, 20, 400, 300));
        QVERIFY(windows[0]->CoolBar1()->isVisibleTo(windows[0]));
        QCOMPARE(windows[1]->geometry(), QRect(50, 60, 300, 200));
        QVERIFY(windows[1]->CoolBar1()->isHidden());
        for (const char* band : {"Adress", "Toolbar", "Anim"})
            QVERIFY(!windows[1]->CoolBar1()->bandVisible(QString::fromLatin1(band)));
        QVERIFY(windows[2]->isMinimized());
        windows[2]->showNormal();
        QCOMPARE(windows[2]->geometry(), QRect(100, 110, 350, 250));
        QTRY_COMPARE_WITH_TIMEOUT(windows[1]->LocationURL(), m_server.url("/b").toString(), kWait);
    }

    void restoreSpecialRecords_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("feed");
        QTest::newRow("feed marker alone") << QStringLiteral("<FEED />") << 6000 << false;
        QTest::newRow("feed") << QStringLiteral("<FEED />News") << 6000 << true;
        QTest::newRow("width 0") << QStringLiteral("Seite") << 0 << false;
    }
    void restoreSpecialRecords()
    {
        QFETCH(QString, title);
        QFETCH(int, width);
        QFETCH(bool, feed);
        const QString url = m_server.url("/a").toString();
        const QString path = file(QStringLiteral("special.wlt"));
        QVERIFY(writeLayoutFile(
                    path, {record(url, QRect(1500, 1500, width, 3000), 0, false, false, title)})
                    .ok);
        open();
        restore(path);
        QCOMPARE(m_main->Browser().size(), 1);
        frmBrowser* w = m_main->Browser().constFirst();
        QCOMPARE(w->FeedAddress(), feed ? url : QString());
        QCOMPARE(w->StartingAddress(), feed ? QStringLiteral("about:blank") : url);
        if (width == 0) {
            // Default geometry and the bars of a new window.
            QVERIFY(w->geometry().topLeft() != QPoint(100, 100));
            QVERIFY(!w->CoolBar1()->isHidden());
            QVERIFY(w->CoolBar1()->bandVisible(QStringLiteral("Adress")));
        } else {
            QCOMPARE(w->geometry(), QRect(100, 100, 400, 200));
            QVERIFY(w->CoolBar1()->isHidden());
        }
    }

    // The recovery file keeps what an arrangement keeps, a minimised
    // window's normal place without showing it normal, and in its companion
    // the active window, zoom and text size; its restore brings them back.
    void recoveryRestoresActiveZoomAndTextSize()
    {
        frmBrowser* small = openAndWait(QStringLiteral("/a"));
        frmBrowser* zoomed = openAndWait(QStringLiteral("/b"));
        frmBrowser* large = openAndWait(QStringLiteral("/c"));
        QVERIFY(small && zoomed && large);
        for (frmBrowser* w : {small, zoomed, large})
            w->showNormal();
        small->setGeometry(100, 110, 350, 250);
        small->showMinimized();
        bool zoomApplied = false;
        zoomed->SetZoomFactor(150, [&](bool applied) { zoomApplied = applied; });
        QTRY_VERIFY_WITH_TIMEOUT(zoomApplied, kWait);
        large->SetTextSize(kTextSizeMax);
        m_main->mdiArea()->setActiveSubWindow(zoomed);

        RecoveryFile& recovery = m_main->recovery();
        QSignalSpy states(small, &QMdiSubWindow::windowStateChanged);
        recovery.Start(m_files.path());
        recovery.WaitForWrites();
        QVERIFY(states.isEmpty());
        const QString path = RecoveryFile::FilePath(m_files.path());
        m_main->CloseAllBrowser();
        QTRY_VERIFY_WITH_TIMEOUT(m_main->Browser().isEmpty(), kWait);

        m_main->RestoreRecovery(path);
        const QList<frmBrowser*> windows = m_main->Browser();
        QCOMPARE(windows.size(), 3);
        QCOMPARE(m_main->ActiveBrowser(), windows[1]);
        QVERIFY(windows[0]->isMinimized());
        windows[0]->showNormal();
        QCOMPARE(windows[0]->geometry(), QRect(100, 110, 350, 250));
        QCOMPARE(windows[2]->page()->settings()->fontSize(QWebEngineSettings::DefaultFontSize),
                 FontSizeOfTextSize(kTextSizeMax));
        QTRY_COMPARE_WITH_TIMEOUT(windows[1]->Zoom(), 150, kWait);
    }

    void emptyArrangement()
    {
        const QString path = file(QStringLiteral("empty.wlt"));
        m_dialogs.nextPath = path;
        m_main->windowMenu().mn_Anordnung_save_Click();
        QCOMPARE(QFileInfo(path).size(), 0);
        open();
        open();
        restore(path);
        QVERIFY(m_main->Browser().isEmpty());
        QVERIFY(m_dialogs.messages.isEmpty());
        QVERIFY(!item("mn_nextwindow")->isVisible());
    }

    void cancelledDialogsChangeNothing()
    {
        open();
        frmBrowser* w = open();
        const QStringList before = QDir(DataFolder()).entryList(QDir::Files);
        m_dialogs.nextPath.clear();
        m_main->windowMenu().mn_Anordnung_save_Click();
        QCOMPARE(QDir(DataFolder()).entryList(QDir::Files), before);
        m_main->windowMenu().mn_Anordnung_load_Click();
        QVERIFY(m_main->ExternalOpenEnabled());
        QVERIFY(m_main->arrangements().PendingLayoutFile.isEmpty());
        // Nothing waits for a second phase.
        QVERIFY(!m_main->steps().IsWaiting());
        QCOMPARE(m_main->Browser().size(), 2);
        QCOMPARE(m_main->ActiveBrowser(), w);
        QCOMPARE(m_dialogs.fileDialogs.size(), 2);
    }

    void damagedRecordDropsItsWindow()
    {
        const QString path = file(QStringLiteral("damaged.wlt"));
        QVERIFY(writeLayoutFile(
                    path,
                    {record(m_server.url("/a").toString(), QRect(0, 0, 3000, 3000), 0, true, true),
                     record(m_server.url("/b").toString(), QRect(0, 0, 3000, -15), 0, true, true),
                     record(m_server.url("/c").toString(), QRect(0, 0, 3000, 3000), 7, true, true)})
                    .ok);
        restore(path);
        QCOMPARE(m_dialogs.messages.size(), 2);
        for (const MessageRequest& m : m_dialogs.messages) {
            QCOMPARE(m.title, QStringLiteral("Fehlerbehandlung"));
            QCOMPARE(m.text, QStringLiteral("Fehler beim lesen der Datei !"));
            QCOMPARE(m.icon, MsgIcon::Warning);
        }
        QCOMPARE(m_main->Browser().size(), 1);
        QCOMPARE(m_main->Browser().constFirst()->StartingAddress(), m_server.url("/a").toString());
    }

    void archivedLayout()
    {
        FensterInfo info;
        info.URL = QStringLiteral("  ") + m_server.url("/b").toString();
        info.x = 150.5f;
        info.y = 301.0f;
        info.Breite = 4500.0f;
        info.Hoehe = 3000.0f;
        info.ToolbarVisible = false;
        info.AdressbarVisible = true;
        FensterInfo second = info;
        second.URL = m_server.url("/c").toString();
        second.WindowState = 2;
        QVERIFY(writeFensterInfoFile(DataFolder() + QStringLiteral("/WL7.nlt"), {info, second}).ok);

        frmBrowser* keep = open();
        m_main->ArchivAnordnungLaden(QString());
        QVERIFY(!m_main->steps().IsWaiting());
        QCOMPARE(m_main->Browser().constFirst(), keep);

        m_main->ArchivAnordnungLaden(QStringLiteral("WL7.nlt"));
        QVERIFY(m_main->Browser().isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(m_main->Browser().size(), 2, kWait);
        QVERIFY(m_main->arrangements().PendingLayoutFile.isEmpty());
        frmBrowser* w = m_main->Browser().constFirst();
        QCOMPARE(w->StartingAddress(), m_server.url("/b").toString());
        QVERIFY(m_main->Browser().constLast()->isMaximized());
        m_main->Browser().constLast()->showNormal();
        QCOMPARE(w->geometry(), QRect(10, 20, 300, 200));
        QVERIFY(w->CoolBar1()->bandVisible(QStringLiteral("Adress")));
        QVERIFY(!w->CoolBar1()->bandVisible(QStringLiteral("Toolbar")));
        QVERIFY(w->CoolBar1()->bandVisible(QStringLiteral("Anim")));

        // A layout whose file is gone closes the windows and opens none.
        m_main->ArchivAnordnungLaden(QStringLiteral("WL99.nlt"));
        QTRY_VERIFY_WITH_TIMEOUT(m_main->arrangements().PendingLayoutFile.isEmpty(), kWait);
        QVERIFY(m_main->Browser().isEmpty());
    }
};

ORV_GUI_TEST_MAIN(TstWindowMenu)
#include "tst_windowmenu.moc"
