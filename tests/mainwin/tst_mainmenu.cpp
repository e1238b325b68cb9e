#include "browser/bandbar.h"
#include "browser/frmbrowser.h"
#include "common/mainwindowfixture.h"
#include "mainwin/mdiform.h"
#include "prefs/prefer.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QWebEngineView>

#include <functional>

using namespace orv;

namespace {

// "name=caption" of every item of a menu, separators left out.
QStringList itemsOf(const QMenu* menu)
{
    QStringList items;
    for (const QAction* a : menu->actions()) {
        if (a->isSeparator())
            continue;
        const QString name = a->menu() ? a->menu()->objectName() : a->objectName();
        items << name + QLatin1Char('=') + a->text();
    }
    return items;
}

// Records every message and whether open requests were accepted meanwhile.
class Seam final : public DialogSeam {
public:
    QList<MessageRequest> messages;
    QList<bool> openWhileShown;
    const MDIForm1* main = nullptr;

    MsgAnswer message(const MessageRequest& request) override
    {
        messages.append(request);
        openWhileShown.append(main && main->ExternalOpenEnabled());
        return MsgAnswer::Ok;
    }
    QString fileDialog(const FileDialogRequest&) override { return {}; }
    // The program's own dialogs: answered by `fill` (declined without).
    std::function<int(QObject&)> fill;
    int execDialog(QObject& dialog) override { return fill ? fill(dialog) : 0; }
};

} // namespace

class TstMainMenu : public QObject, private MainWindowFixture<Seam> {
    Q_OBJECT

    QMenu* menu(const char* name) const
    {
        return m_main->findChild<QMenu*>(QString::fromLatin1(name));
    }

    frmBrowser* open(const QByteArray& path)
    {
        m_main->VisitUrl(m_server.url(QString::fromLatin1(path)).toString(), true, true);
        frmBrowser* w = m_main->Browser().isEmpty() ? nullptr : m_main->Browser().constLast();
        if (w)
            WaitSettled(w);
        return w;
    }

    // A window in normal state with room for its page.
    frmBrowser* openNormal()
    {
        frmBrowser* w = open("/a");
        w->showNormal();
        w->resize(640, 480);
        const bool laidOut = WaitFor([w] { return w->brwWebBrowser()->height() > 200; }, kWait);
        Q_UNUSED(laidOut);
        return w;
    }

private Q_SLOTS:
    void initTestCase()
    {
        InstallDialogs(&m_dialogs);
        m_server.serve("/a", "text/html", HtmlPage("Seite A", "text"));
        m_server.serve("/mail", "text/html", HtmlPage("Post", "text"));
    }

    void init()
    {
        openMainWindow();
        m_main->ApplyStatusSettings();
        m_dialogs.openWhileShown.clear();
        m_dialogs.main = m_main.get();
    }

    void cleanup()
    {
        m_dialogs.main = nullptr;
        closeMainWindow();
    }

    void menuBarInOrder()
    {
        QStringList titles;
        for (const QAction* a : m_main->menuBar()->actions())
            titles << a->text();
        QCOMPARE(titles, (QStringList{"&Datei", "&Ansicht", "&Tools", "A&ktionen", "&Fenster",
                                      "&Erstes", "<", ">", "&Letztes", "&?"}));
    }

    // A few places of each menu, worked out from the menus a user knows: first
    // and last entries, and entries whose place users rely on.
    void menuItems_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<int>("place"); // -1: the last entry
        QTest::addColumn<QString>("entry");
        QTest::newRow("Datei first")
            << "mn_Datei" << 0 << "mn_HomeBrowser=&Neuer Browser - Startseite";
        QTest::newRow("Datei third") << "mn_Datei" << 2 << "mn_Anordnung_save=Anordnung &speichern";
        QTest::newRow("Datei last") << "mn_Datei" << -1 << "mn_Exit=B&eenden";
        QTest::newRow("Ansicht first")
            << "mn_Ansicht" << 0 << "mn_Fullscreen=&Ganzer Bildschirm ein/aus";
        QTest::newRow("Ansicht status bar")
            << "mn_Ansicht" << -7 << "mn_Toggle=&Statuszeile ein/aus";
        QTest::newRow("Ansicht text size")
            << "mn_Ansicht" << -6 << QString::fromUtf8("mn_Textsize=Schrift&größe");
        QTest::newRow("Ansicht zoom") << "mn_Ansicht" << -5 << "mn_Zoom=&Zoom";
        QTest::newRow("Ansicht last") << "mn_Ansicht" << -1 << "mn_Newsfeeds=&News Feeds";
        QTest::newRow("Tools") << "mn_Anzeige" << 0 << "mn_Bookmarks=Bookmark &Archiv";
        QTest::newRow("Tools layouts") << "mn_Anzeige" << 1 << "mn_Layouts=&Layout Archiv";
        QTest::newRow("Tools history") << "mn_Anzeige" << 2 << "mn_Historie=&Historie";
        QTest::newRow("Tools search") << "mn_Anzeige" << 3 << "mn_BrowserSearch=&Orvane Suche";
        QTest::newRow("Aktionen") << "mn_Actions" << 4
                                  << "mn_SetHomepage=Als &Startadresse übernehmen...";
        QTest::newRow("Aktionen last")
            << "mn_Actions" << -1
            << QString::fromUtf8("mn_OpenAllLinks=Alle &Links der Seite öffnen...");
        QTest::newRow("Aktionen reload")
            << "mn_Actions" << 1 << "mn_SetRefresh=Refresh-&Intervall...";
        QTest::newRow("?") << "mn_Info" << 0 << "mn_Doku=&Orvane Dokumentation";
        QTest::newRow("Kontext first")
            << "mn_ctxt" << 0 << "mn_ctxtBrowser=&Neuer Browser - Startseite";
        QTest::newRow("Kontext windows") << "mn_ctxt" << -2 << "mn_ctxtFenster=&Fenster";
        QTest::newRow("Kontext last") << "mn_ctxt" << -1 << "mn_ctxtExit=B&eenden";
    }
    void menuItems()
    {
        QFETCH(QString, menu);
        QFETCH(int, place);
        QFETCH(QString, entry);
        const QMenu* m = m_main->findChild<QMenu*>(menu);
        QVERIFY(m);
        const QStringList actual = itemsOf(m);
        QVERIFY(actual.size() > qAbs(place));
        QCOMPARE(actual.at(place >= 0 ? place : actual.size() + place), entry);
        // Every entry has a caption that assistive software can read.
        for (const QString& item : actual)
            QVERIFY2(!item.section(QLatin1Char('='), 1).isEmpty(), qPrintable(item));
    }

    void absentItems_data()
    {
        QTest::addColumn<QString>("name");
        for (const char* name : {"mn_IEProp", "mn_ctxtIEProp"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void absentItems()
    {
        QFETCH(QString, name);
        QVERIFY(!m_main->menuItems().Item(name));
        QVERIFY(!m_main->findChild<QMenu*>(name));
    }

    void shortcuts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QKeySequence>("keys");
        QTest::newRow("home") << "mn_HomeBrowser" << QKeySequence(Qt::Key_F12);
        QTest::newRow("blank") << "mn_BrowserBlank" << QKeySequence(Qt::SHIFT | Qt::Key_F12);
        QTest::newRow("full screen") << "mn_Fullscreen" << QKeySequence(Qt::Key_F11);
        QTest::newRow("close") << QString::fromUtf8("mn_Aktivschließen")
                               << QKeySequence(Qt::CTRL | Qt::Key_F12);
    }
    void shortcuts()
    {
        QFETCH(QString, name);
        QFETCH(QKeySequence, keys);
        QVERIFY(m_main->menuItems().Item(name));
        QCOMPARE(m_main->menuItems().Item(name)->shortcut(), keys);
    }

    void initialStates()
    {
        for (const char* name : {"mn_Toggle", "mn_ctxtStatus"})
            QVERIFY2(m_main->menuItems().Item(QString::fromLatin1(name))->isChecked(), name);
        QVERIFY(!m_main->menuItems().Item(QStringLiteral("mn_Fullscreen"))->isChecked());
        QVERIFY(m_main->windowMenu().AllAdressRowsFlag());
        QVERIFY(m_main->windowMenu().AllToolbarsFlag());
        QVERIFY(m_main->windowMenu().AllBothFlag());
        QVERIFY(!m_main->menus().ContextMenu()->isVisible());
        QVERIFY(
            !m_main->menuBar()->actions().contains(m_main->menus().ContextMenu()->menuAction()));
    }

    void statusPanels()
    {
        const QStringList keys{"date", "time", "status", "email"};
        const QStringList tips{"Datum", "Uhrzeit", "Status", "Sie haben E-Mail !"};
        QVERIFY(!m_main->statusParts().MailIndicatorVisible());
        m_main->statusParts().ShowMailIndicator(true);
        QTRY_VERIFY(m_main->statusParts().StatusPanel(QStringLiteral("email"))->isVisible());
        int x = -1;
        for (qsizetype i = 0; i < keys.size(); ++i) {
            QLabel* panel = m_main->statusParts().StatusPanel(keys[i]);
            QVERIFY(panel);
            QCOMPARE(panel->toolTip(), tips[i]);
            QVERIFY2(panel->mapTo(m_main.get(), QPoint()).x() > x, qPrintable(keys[i]));
            x = panel->mapTo(m_main.get(), QPoint()).x();
        }
        QVERIFY(!m_main->statusParts().StatusPanel(QStringLiteral("email"))->pixmap().isNull());
        QVERIFY(QRegularExpression(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d\\d$"))
                    .match(m_main->statusParts().StatusPanel(QStringLiteral("date"))->text())
                    .hasMatch());
        QVERIFY(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d$"))
                    .match(m_main->statusParts().StatusPanel(QStringLiteral("time"))->text())
                    .hasMatch());
    }

    void doubleClicksOnPanels()
    {
        m_main->SetStatusText(QStringLiteral("bleibt"));
        m_main->statusParts().ShowMailIndicator(true);
        for (const char* key : {"status", "date", "time"})
            QTest::mouseDClick(m_main->statusParts().StatusPanel(QString::fromLatin1(key)),
                               Qt::LeftButton);
        QCOMPARE(m_main->statusParts().StatusText(), QStringLiteral("bleibt"));
        QVERIFY(m_main->statusParts().MailIndicatorVisible());
        QVERIFY(m_dialogs.messages.isEmpty());
        QCOMPARE(m_main->Browser().size(), 0);
        // The mail indicator starts the mail application (none configured
        // here) and goes.
        QTest::mouseDClick(m_main->statusParts().StatusPanel(QStringLiteral("email")),
                           Qt::LeftButton);
        QCOMPARE(m_dialogs.messages.size(), 1);
        QVERIFY(!m_main->statusParts().MailIndicatorVisible());
    }

    void statusBarToggle()
    {
        m_prefer->setStatusBar(1);
        QVERIFY(!m_main->statusBar()->isHidden());
        // The item, its context copy and the handler each switch once.
        m_main->menuItems().Item(QStringLiteral("mn_Toggle"))->trigger();
        QVERIFY(m_main->statusBar()->isHidden());
        QVERIFY(!m_main->flags().StatusBarCurr);
        QVERIFY(!m_main->menuItems().ItemChecked(QStringLiteral("mn_Toggle")));
        QVERIFY(!m_main->menuItems().ItemChecked(QStringLiteral("mn_ctxtStatus")));
        m_main->menuItems().Item(QStringLiteral("mn_ctxtStatus"))->trigger();
        QVERIFY(!m_main->statusBar()->isHidden());
        QVERIFY(m_main->menuItems().ItemChecked(QStringLiteral("mn_Toggle")));
        QVERIFY(m_main->menuItems().ItemChecked(QStringLiteral("mn_ctxtStatus")));
        m_main->menus().mn_Toggle_Click();
        QVERIFY(m_main->statusBar()->isHidden());
        QCOMPARE(m_prefer->StatusBar(), 1);
    }

    void statusSettings_data()
    {
        QTest::addColumn<int>("pref");
        QTest::newRow("on") << 1;
        QTest::newRow("off") << 0;
    }
    void statusSettings()
    {
        QFETCH(int, pref);
        m_prefer->setStatusBar(pref);
        m_main->ApplyStatusSettings();
        QCOMPARE(m_main->statusBar()->isHidden(), pref == 0);
        QCOMPARE(m_main->menuItems().ItemChecked(QStringLiteral("mn_Toggle")), pref > 0);
    }

    void fullScreenRestores_data()
    {
        QTest::addColumn<int>("statusPref");
        QTest::newRow("status bar on") << 1;
        QTest::newRow("status bar preference off") << 0;
    }
    void fullScreenRestores()
    {
        QFETCH(int, statusPref);
        m_prefer->setStatusBar(statusPref);
        m_prefer->setTabStrip(true);
        m_main->flags().StatusBarCurr = statusPref > 0;
        m_main->ApplyStatusSettings();
        frmBrowser* w = openNormal();
        QVERIFY(m_main->flags().bTabVisible);
        QVERIFY(m_main->tabStrip().TabStrip1()->isVisible());

        m_main->menuItems().Item(QStringLiteral("mn_Fullscreen"))->trigger();
        QVERIFY(m_main->menus().IsFullScreen());
        QTRY_VERIFY(m_main->isFullScreen());
        QVERIFY(m_main->menuItems().ItemChecked(QStringLiteral("mn_Fullscreen")));
        QVERIFY(m_main->statusBar()->isHidden());
        QVERIFY(!m_main->flags().bTabVisible);
        QVERIFY(!m_main->tabStrip().TabStrip1()->isVisible());
        QCOMPARE(w->WindowState(), 2);

        m_main->menuItems().Item(QStringLiteral("mn_Fullscreen"))->trigger();
        QVERIFY(!m_main->menus().IsFullScreen());
        QTRY_VERIFY(!m_main->isFullScreen());
        QVERIFY(!m_main->menuItems().ItemChecked(QStringLiteral("mn_Fullscreen")));
        QCOMPARE(m_main->statusBar()->isHidden(), statusPref == 0);
        QCOMPARE(m_main->menuItems().ItemChecked(QStringLiteral("mn_Toggle")), statusPref > 0);
        QVERIFY(m_main->flags().bTabVisible);
        QVERIFY(m_main->tabStrip().TabStrip1()->isVisible());
        QCOMPARE(w->WindowState(), 0);
    }

    void fullScreenEndsWithTheLastWindow()
    {
        frmBrowser* w = open("/a");
        m_main->menus().FullScreenOn();
        QVERIFY(m_main->menus().IsFullScreen());
        w->close();
        QTRY_VERIFY(!m_main->menus().IsFullScreen());
        QVERIFY(!m_main->menuItems().ItemChecked(QStringLiteral("mn_Fullscreen")));
        QVERIFY(!m_main->statusBar()->isHidden());
    }

    void barTogglesKeepThePageArea_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("adress");
        QTest::addColumn<bool>("toolbar");
        QTest::newRow("both") << "mn_beides" << false << false;
        QTest::newRow("address band") << "mn_Adresszeile" << false << true;
        QTest::newRow("toolbar band") << "mn_toolbar" << true << false;
        QTest::newRow("all: both") << "mn_ToggleToolbAdres" << false << false;
        QTest::newRow("all: addresses") << "mn_ToggleAdressRow" << false << true;
        QTest::newRow("all: toolbars") << "mn_ToogleToolbars" << true << false;
    }
    void barTogglesKeepThePageArea()
    {
        QFETCH(QString, command);
        QFETCH(bool, adress);
        QFETCH(bool, toolbar);
        const QHash<QString, void (WindowMenu::*)()> handlers{
            {"mn_beides", &WindowMenu::mn_beides_Click},
            {"mn_Adresszeile", &WindowMenu::mn_Adresszeile_Click},
            {"mn_toolbar", &WindowMenu::mn_toolbar_Click},
            {"mn_ToggleToolbAdres", &WindowMenu::mn_ToggleToolbAdres_Click},
            {"mn_ToggleAdressRow", &WindowMenu::mn_ToggleAdressRow_Click},
            {"mn_ToogleToolbars", &WindowMenu::mn_ToogleToolbars_Click}};
        frmBrowser* w = openNormal();
        BandBar* bar = w->CoolBar1();
        const int view = w->brwWebBrowser()->height();
        const int height = w->height();
        const int barBefore = bar->height();
        QCOMPARE(barBefore, bar->barHeight());

        (m_main->windowMenu().*handlers.value(command))();
        QCOMPARE(bar->bandVisible(QStringLiteral("Adress")), adress);
        QCOMPARE(bar->bandVisible(QStringLiteral("Toolbar")), toolbar);
        QCOMPARE(bar->bandVisible(QStringLiteral("Anim")), adress || toolbar);
        QCOMPARE(bar->isHidden(), !adress && !toolbar);
        const int barAfter = bar->barHeight();
        QCOMPARE(w->height(), height - barBefore + barAfter);
        QTRY_COMPARE(w->brwWebBrowser()->height(), view);

        // And back.
        (m_main->windowMenu().*handlers.value(command))();
        QVERIFY(!bar->isHidden());
        QCOMPARE(w->height(), height);
        QTRY_COMPARE(w->brwWebBrowser()->height(), view);
    }

    void bothFlagFollowsTheSingleFlags_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<bool>("shown");
        QTest::newRow("from the start") << QStringList{} << false;
        QTest::newRow("addresses hidden") << QStringList{"adress"} << false;
        QTest::newRow("both hidden one by one") << QStringList{"adress", "toolbar"} << true;
        QTest::newRow("after both") << QStringList{"both"} << true;
    }
    void bothFlagFollowsTheSingleFlags()
    {
        QFETCH(QStringList, before);
        QFETCH(bool, shown);
        frmBrowser* w = open("/a");
        for (const QString& step : before) {
            if (step == QLatin1String("adress"))
                m_main->windowMenu().mn_ToggleAdressRow_Click();
            else if (step == QLatin1String("toolbar"))
                m_main->windowMenu().mn_ToogleToolbars_Click();
            else
                m_main->windowMenu().mn_ToggleToolbAdres_Click();
        }
        m_main->windowMenu().mn_ToggleToolbAdres_Click();
        QCOMPARE(m_main->windowMenu().AllBothFlag(), shown);
        QCOMPARE(m_main->windowMenu().AllAdressRowsFlag(), shown);
        QCOMPARE(m_main->windowMenu().AllToolbarsFlag(), shown);
        QCOMPARE(w->CoolBar1()->bandVisible(QStringLiteral("Adress")), shown);
        QCOMPARE(w->CoolBar1()->bandVisible(QStringLiteral("Toolbar")), shown);
        QCOMPARE(m_main->menuItems().ItemChecked(QStringLiteral("mn_beides")), shown);
        for (QAction* a : m_main->menuItems().ItemWithCopies(QStringLiteral("mn_beides"))) {
            QCOMPARE(a->isChecked(), shown);
            QVERIFY(a->isVisible());
        }
    }

    void refreshAllKeepsTheBulkToggle()
    {
        QList<frmBrowser*> windows{open("/a"), open("/mail")};
        const qsizetype before = m_server.requestCount("/a") + m_server.requestCount("/mail");
        m_main->windowMenu().mn_RefreshAll_Click();
        QTRY_COMPARE_WITH_TIMEOUT(m_server.requestCount("/a") + m_server.requestCount("/mail"),
                                  before + 2, kWait);
        m_main->windowMenu().mn_ToggleAdressRow_Click();
        for (frmBrowser* w : windows) {
            QVERIFY(!w->CoolBar1()->bandVisible(QStringLiteral("Adress")));
            QVERIFY(w->CoolBar1()->bandVisible(QStringLiteral("Toolbar")));
        }
    }

    void fileMenuEnabling()
    {
        QMenu* file = menu("mn_Datei");
        auto enabled = [this](const char* name) {
            return m_main->menuItems().Item(QString::fromLatin1(name))->isEnabled();
        };
        const char* pageItems[] = {"mn_save", "mn_print", "mn_ppreview", "mn_Send"};
        Q_EMIT file->aboutToShow();
        for (const char* name : pageItems)
            QVERIFY2(!enabled(name), name);
        QVERIFY(!enabled("mn_Anordnung_save"));
        QVERIFY(!enabled("mn_ctxtAnordnung_save"));
        QVERIFY(enabled("mn_Anordnung_load"));
        QVERIFY(enabled("mn_ctxtAnordnung_load"));

        frmBrowser* w = openNormal();
        Q_EMIT file->aboutToShow();
        for (const char* name : pageItems)
            QVERIFY2(enabled(name), name);
        QVERIFY(enabled("mn_Anordnung_save"));
        w->showMaximized();
        m_main->menus().mn_Datei_Click();
        QVERIFY(!enabled("mn_Anordnung_save"));
        QVERIFY(enabled("mn_save"));
    }

    void actionsMenuEnabling()
    {
        QMenu* actions = menu("mn_Actions");
        Q_EMIT actions->aboutToShow();
        QVERIFY(!m_main->menuItems().Item(QStringLiteral("mn_CloneBrowser"))->isEnabled());
        QVERIFY(!m_main->menuItems().Item(QStringLiteral("mn_SetHomepage"))->isEnabled());
        open("/a");
        Q_EMIT actions->aboutToShow();
        QVERIFY(m_main->menuItems().Item(QStringLiteral("mn_CloneBrowser"))->isEnabled());
        QVERIFY(m_main->menuItems().Item(QStringLiteral("mn_SetHomepage"))->isEnabled());
        m_main->menuItems().Item(QStringLiteral("mn_CloneBrowser"))->trigger();
        QCOMPARE(m_main->Browser().size(), 2);
        QCOMPARE(m_main->Browser().constLast()->StartingAddress(), m_server.url("/a").toString());
    }

    void popupSwitches()
    {
        auto all = [this](const char* name, bool checked) {
            const QList<QAction*> items =
                m_main->menuItems().ItemWithCopies(QString::fromLatin1(name));
            if (items.isEmpty())
                return false;
            for (const QAction* a : items)
                if (a->isChecked() != checked)
                    return false;
            return true;
        };
        auto enabledEverywhere = [this](const char* name, bool enabled) {
            for (const QAction* a : m_main->menuItems().ItemWithCopies(QString::fromLatin1(name)))
                if (a->isEnabled() != enabled)
                    return false;
            return true;
        };
        m_main->menuItems().Item(QStringLiteral("mn_DisablePopup"))->trigger();
        QVERIFY(!m_main->flags().bPopup);
        QVERIFY(all("mn_DisablePopup", true));
        QVERIFY(all("mn_EnablePopup", false));
        QVERIFY(enabledEverywhere("mn_PopupToBack", false));
        QVERIFY(enabledEverywhere("mn_PopupReferenz", false));
        m_main->windowMenu().mn_EnablePopup_Click();
        QVERIFY(m_main->flags().bPopup);
        QVERIFY(all("mn_EnablePopup", true));
        QVERIFY(all("mn_DisablePopup", false));
        QVERIFY(enabledEverywhere("mn_PopupToBack", true));
        QVERIFY(enabledEverywhere("mn_PopupReferenz", true));

        const struct {
            const char* name;
            bool MainFlags::*flag;
        } switches[] = {{"mn_PopupToBack", &MainFlags::bPopupBackgrnd},
                        {"mn_PopupResize", &MainFlags::bPopupResize},
                        {"mn_PopupReferenz", &MainFlags::bPopupReferenz}};
        for (const auto& s : switches) {
            const bool was = m_main->menuItems().ItemChecked(QString::fromLatin1(s.name));
            // A click on the item turns the mark once, a click on any copy
            // again.
            m_main->menuItems().Item(QString::fromLatin1(s.name))->trigger();
            QCOMPARE(m_main->flags().*s.flag, !was);
            QVERIFY2(all(s.name, !was), s.name);
            const QList<QAction*> items =
                m_main->menuItems().ItemWithCopies(QString::fromLatin1(s.name));
            items.constLast()->trigger();
            QCOMPARE(m_main->flags().*s.flag, was);
            QVERIFY2(all(s.name, was), s.name);
        }
    }

    void mailClient_data()
    {
        QTest::addColumn<QString>("client");
        QTest::addColumn<int>("windows");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("https address") << "https://127.0.0.1:1/post" << 1 << ""
                                       << "";
        QTest::newRow("http address, upper case") << "HTTP:" << 1 << ""
                                                  << "";
        QTest::newRow("none") << "" << 0 << "Meldung"
                              << "Bitte konfigurieren Sie Ihre E-Mail Anwendung.";
        QTest::newRow("missing program")
            << "/nicht/da/mailer" << 0 << "Fehlermeldung"
            << "Die Anwendung '/nicht/da/mailer' konnte nicht gefunden werden.";
        QTest::newRow("not on the path")
            << "kein-solches-mailprogramm --neu" << 0 << "Fehlermeldung"
            << "Die Anwendung 'kein-solches-mailprogramm --neu' konnte nicht gefunden werden.";
        QTest::newRow("program") << "/bin/true" << 0 << ""
                                 << "";
    }
    void mailClient()
    {
        QFETCH(QString, client);
        QFETCH(int, windows);
        QFETCH(QString, title);
        QFETCH(QString, text);
        if (client == QLatin1String("HTTP:"))
            client = m_server.url("/mail").toString().replace(QStringLiteral("http:"),
                                                              QStringLiteral("HTTP:"));
        m_prefer->setMailClient(client);
        m_prefer->setAdresszeile(false);
        m_prefer->setToolbar(false);
        m_main->flags().AdressView = false;
        m_main->flags().ToolbarView = false;
        m_main->menuItems().Item(QStringLiteral("mn_Email"))->trigger();
        QCOMPARE(m_main->Browser().size(), windows);
        if (windows) {
            frmBrowser* w = m_main->Browser().constFirst();
            QCOMPARE(w->StartingAddress(), client);
            QVERIFY(w->CoolBar1()->bandVisible(QStringLiteral("Adress")));
            QVERIFY(w->CoolBar1()->bandVisible(QStringLiteral("Toolbar")));
            QCOMPARE(m_main->flags().AdressView, false);
        }
        if (title.isEmpty()) {
            QVERIFY(m_dialogs.messages.isEmpty());
            return;
        }
        QCOMPARE(m_dialogs.messages.size(), 1);
        QCOMPARE(m_dialogs.messages[0].title, title);
        QCOMPARE(m_dialogs.messages[0].text, text);
        QCOMPARE(m_dialogs.messages[0].icon,
                 client.isEmpty() ? MsgIcon::Information : MsgIcon::Critical);
        // The request for a mail application keeps other copies' open
        // requests out while it is up.
        QCOMPARE(m_dialogs.openWhileShown[0], !client.isEmpty());
        QVERIFY(m_main->ExternalOpenEnabled());
    }

    void contextMenuOnTheEmptyArea()
    {
        frmBrowser* w = openNormal();
        w->move(0, 0);
        QWidget* area = m_main->mdiArea()->viewport();
        const QPoint empty(area->width() - 5, area->height() - 5);
        QVERIFY(!area->childAt(empty));
        QContextMenuEvent onWindow(QContextMenuEvent::Mouse, QPoint(20, 20),
                                   area->mapToGlobal(QPoint(20, 20)));
        QApplication::sendEvent(area, &onWindow);
        QVERIFY(!m_main->menus().ContextMenu()->isVisible());
        QContextMenuEvent onEmpty(QContextMenuEvent::Mouse, empty, area->mapToGlobal(empty));
        QApplication::sendEvent(area, &onEmpty);
        QTRY_VERIFY(m_main->menus().ContextMenu()->isVisible());
        m_main->menus().ContextMenu()->hide();

        // Its exit closes the main window a moment later.
        m_main->menuItems().Item(QStringLiteral("mn_ctxtExit"))->trigger();
        QVERIFY(m_main->isVisible());
        QTRY_VERIFY(!m_main->isVisible());
    }

    void helpPage()
    {
        m_main->menuItems().Item(QStringLiteral("mn_Doku"))->trigger();
        QCOMPARE(m_main->Browser().size(), 1);
        QCOMPARE(m_main->Browser().constFirst()->StartingAddress(), Txt(102));
        QVERIFY(Txt(102).startsWith(QLatin1String("file:")));
    }

    // "Orvane als Standardbrowser...": cancelled, nothing is written; with
    // OK the user's default applications point at the program, pictures
    // only when the box is checked.
    void defaultBrowser_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("pictures");
        QTest::newRow("Abbruch") << 0 << true;
        QTest::newRow("OK") << 1 << false;
        QTest::newRow("OK with pictures") << 1 << true;
    }
    void defaultBrowser()
    {
        QFETCH(int, answer);
        QFETCH(bool, pictures);
        QTemporaryDir home;
        qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("share")).toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
        m_dialogs.fill = [&](QObject& dialog) {
            dialog.findChild<QCheckBox*>(QStringLiteral("Check1"))->setChecked(pictures);
            return answer;
        };
        m_main->menuItems().Item(QStringLiteral("mn_Standardbrowser"))->trigger();
        m_dialogs.fill = nullptr;
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("XDG_CONFIG_HOME");
        QFile list(home.filePath(QStringLiteral("config/mimeapps.list")));
        QCOMPARE(list.exists(), answer == 1);
        if (answer == 1) {
            QVERIFY(list.open(QIODevice::ReadOnly));
            const QByteArray text = list.readAll();
            QVERIFY(text.contains("x-scheme-handler/https=orvane-local.desktop;"));
            QCOMPARE(text.contains("image/gif=orvane-local.desktop;"), pictures);
        }
    }
};

ORV_GUI_TEST_MAIN(TstMainMenu)
#include "tst_mainmenu.moc"
