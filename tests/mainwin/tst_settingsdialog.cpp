#include "bookmarks/book.h"
#include "browser/browsertoolbar.h"
#include "common/mainwindowfixture.h"
#include "common/pop3testserver.h"
#include "common/pop3tls.h"
#include "mainwin/settingsdialog.h"
#include "platform/trustedcerts.h"
#include "prefs/prefer.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QToolButton>

#include <memory>

using namespace orv;

namespace {

constexpr int kPaddedName = 200; // a folder name as its field stores it

// Settings in a folder of their own, with a bookmark archive of two folders.
struct Setting {
    QTemporaryDir dir;
    Prefer prefer;
    Setting()
    {
        prefer.setFolder(dir.path());
        Book book(dir.path());
        for (const char* name : {"News", "Work"}) {
            Thema t;
            t.setDirName(QString::fromLatin1(name));
            t.setFileName(QString::fromLatin1(name) + QStringLiteral(".bkm"));
            book.ensureColThema().append(std::move(t));
        }
        archiveSaved = book.SaveAllThema().ok;
    }
    bool archiveSaved = false;
    std::unique_ptr<frmEinstell> dialog()
    {
        return std::make_unique<frmEinstell>(prefer, dir.path(), nullptr);
    }
    bool written() const { return QFile::exists(prefer.FilePath()); }
    // The preferences as a new start reads them.
    std::unique_ptr<Prefer> reread() const
    {
        auto fresh = std::make_unique<Prefer>();
        fresh->setFolder(dir.path());
        fresh->LoadPref();
        return fresh;
    }
};

void fillAccount(frmEinstell& d, int i, const QString& srv, const QString& usr, const QString& pwd)
{
    d.mailAccountEnabled[i]->click();
    d.mailServer[i]->setText(srv);
    d.mailUser[i]->setText(usr);
    d.mailPassword[i]->setText(pwd);
}

} // namespace

class TstSettingsDialog : public QObject, private MainWindowFixture<> {
    Q_OBJECT
private Q_SLOTS:
    void init() { InstallDialogs(&m_dialogs); }
    void cleanup()
    {
        InstallDialogs(nullptr);
        m_dialogs.clear();
    }

    void storedNumbers_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("interval");
        QTest::addColumn<int>("shownRows");
        QTest::addColumn<int>("shownInterval");
        QTest::newRow("55 and 0") << 55 << 0 << 10 << 1;
        QTest::newRow("100 and 7") << 100 << 7 << 100 << 7;
        QTest::newRow("20 and 20") << 20 << 20 << 10 << 15;
        QTest::newRow("no history, negative") << 0 << -3 << 10 << 1;
    }
    void storedNumbers()
    {
        QFETCH(int, rows);
        QFETCH(int, interval);
        QFETCH(int, shownRows);
        QFETCH(int, shownInterval);
        Setting s;
        s.prefer.setHistoryRows(rows);
        s.prefer.setCheckIntervall(interval);
        auto d = s.dialog();
        QCOMPARE(d->historyRows->currentText().toInt(), shownRows);
        QCOMPARE(d->checkInterval->currentText().toInt(), shownInterval);
        d->saveButton->click();
        QCOMPARE(d->result(), int(QDialog::Accepted));
        const auto stored = s.reread();
        QCOMPARE(stored->HistoryRows(), shownRows);
        QCOMPARE(stored->CheckIntervall(), shownInterval);
    }

    void dependentWindowOptions_data()
    {
        QTest::addColumn<bool>("allowOpen");
        QTest::newRow("pages may open windows") << true;
        QTest::newRow("pages may not") << false;
    }
    void dependentWindowOptions()
    {
        QFETCH(bool, allowOpen);
        Setting s;
        s.prefer.setAllowOpenWin(allowOpen);
        s.prefer.setAllowWinInBack(true);
        s.prefer.setAllowResizeWin(false);
        s.prefer.setAllowWinRef(true);
        auto d = s.dialog();
        for (QCheckBox* c : {d->allowWindowsBehind, d->allowPagesResize, d->allowWindowReference})
            QCOMPARE(c->isEnabled(), allowOpen);
        d->allowPagesOpenWindows->click();
        d->allowPagesOpenWindows->click();
        QCOMPARE(d->allowPagesResize->isEnabled(), allowOpen);
        d->saveButton->click();
        const auto stored = s.reread();
        QCOMPARE(stored->AllowOpenWin(), allowOpen);
        QVERIFY(stored->AllowWinInBack());
        QVERIFY(!stored->AllowResizeWin());
        QVERIFY(stored->AllowWinRef());
    }

    // Steps: "Check2", "Check6", "Option3" click; "Text16=..." types a file;
    // "Folder=..." chooses a bookmark folder; "Stored=..." is the start
    // folder stored before the dialog opens (with an outdated file name).
    void startOptions_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("loadOption");
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QString>("groupFile");
        QTest::newRow("layout, then folder")
            << QStringList{"Option3", "Text16=a.wlt", "Check6", "Folder=Work"} << 3 << ""
            << "Work.bkm";
        QTest::newRow("folder, then layout")
            << QStringList{"Check6", "Folder=News", "Option3", "Text16=a.wlt"} << 2 << "a.wlt"
            << "";
        QTest::newRow("layout without a file") << QStringList{"Option3"} << 0 << ""
                                               << "";
        QTest::newRow("browser clears the layout")
            << QStringList{"Option3", "Text16=a.wlt", "Check2"} << 1 << ""
            << "";
        QTest::newRow("folder box left empty") << QStringList{"Check6"} << 0 << ""
                                               << "";
        QTest::newRow("stored folder kept") << QStringList{"Stored=Work"} << 3 << ""
                                            << "Work.bkm";
    }
    void startOptions()
    {
        QFETCH(QStringList, steps);
        QFETCH(int, loadOption);
        QFETCH(QString, layout);
        QFETCH(QString, groupFile);
        Setting s;
        QVERIFY(s.archiveSaved);
        s.prefer.setStartBrowser(false);
        s.prefer.setLoadOption(0);
        for (const QString& step : steps) {
            if (step.startsWith(QLatin1String("Stored="))) {
                s.prefer.setLoadOption(3);
                s.prefer.setGroup(step.section(u'=', 1).leftJustified(kPaddedName));
                s.prefer.setGroupFile(QStringLiteral("old.bkm"));
            }
        }
        auto d = s.dialog();
        for (const QString& step : steps) {
            const QString value = step.section(u'=', 1);
            if (step.startsWith(QLatin1String("Text16=")))
                d->startLayoutFile->setText(value);
            else if (step.startsWith(QLatin1String("Folder=")))
                d->startFolder->setCurrentIndex(d->startFolder->findText(value));
            else if (!step.startsWith(QLatin1String("Stored=")))
                d->findChild<QAbstractButton*>(step)->click();
        }
        d->saveButton->click();
        const auto stored = s.reread();
        QCOMPARE(stored->LoadOption(), loadOption);
        // The start folder and layout fields are read back with their padding.
        QCOMPARE(stored->Layout().trimmed(), layout);
        if (loadOption == 3) {
            QCOMPARE(stored->GroupFile().trimmed(), groupFile);
            QCOMPARE(stored->Group().trimmed() + QStringLiteral(".bkm"), groupFile);
        } else
            QCOMPARE(stored->Group().trimmed(), QString());
    }

    void defaultsTurnRegisterRowOff()
    {
        Setting s;
        s.prefer.setCheckIntervall(3);
        auto d = s.dialog();
        QVERIFY(d->showRegisterRow->isChecked());
        d->Standard_Click();
        QVERIFY(!d->showRegisterRow->isChecked());
        QCOMPARE(d->checkInterval->currentText(), QStringLiteral("10"));
        QVERIFY(!s.written());
    }

    void emptyAccountField_data()
    {
        QTest::addColumn<int>("account");
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("focus");
        QTest::newRow("account 4 without password") << 3 << "pop.x"
                                                    << "u"
                                                    << ""
                                                    << "TextPwd4";
        QTest::newRow("blank server") << 0 << "  "
                                      << "u"
                                      << "p"
                                      << "TextSrv1";
        QTest::newRow("no user") << 1 << "pop.x"
                                 << ""
                                 << "p"
                                 << "TextUsr2";
        QTest::newRow("complete") << 2 << "pop.x"
                                  << "u"
                                  << "p *\xc3\xa4"
                                  << "";
    }
    void emptyAccountField()
    {
        QFETCH(int, account);
        QFETCH(QString, server);
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, focus);
        Setting s;
        auto d = s.dialog();
        d->show();
        fillAccount(*d, account, server, user, password);
        d->saveButton->click();
        QCOMPARE(s.written(), focus.isEmpty());
        if (focus.isEmpty()) {
            QVERIFY(m_dialogs.messages.isEmpty());
            QCOMPARE(s.reread()->Pwd(account + 1), password);
            QVERIFY(s.reread()->EnableMailCheck(account + 1));
            return;
        }
        QCOMPARE(m_dialogs.messages.size(), 1);
        QCOMPARE(m_dialogs.messages.at(0).text, QStringLiteral("Feld darf nicht leer sein."));
        QCOMPARE(m_dialogs.messages.at(0).icon, MsgIcon::Warning);
        QVERIFY(d->focusWidget());
        QCOMPARE(d->focusWidget()->objectName(), focus);
        QVERIFY(d->result() != QDialog::Accepted);
    }

    void okAndCancel_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("OK") << "Save";
        QTest::newRow("Abbruch") << "Quit";
    }
    void okAndCancel()
    {
        QFETCH(QString, button);
        Setting s;
        auto d = s.dialog();
        d->startAddress->setText(QStringLiteral("http://127.0.0.1/start"));
        d->findChild<QPushButton*>(button)->click();
        const bool ok = button == QLatin1String("Save");
        QCOMPARE(s.written(), ok);
        QCOMPARE(s.prefer.HomeUrl() == QLatin1String("http://127.0.0.1/start"), ok);
    }

    // The main window opens the dialog with external opening suspended and
    // follows confirmed settings.
    void openedFromMainWindow_data()
    {
        QTest::addColumn<QString>("item");
        QTest::newRow("menu") << "mn_Einstellungen";
        QTest::newRow("context copy") << "mn_ctxtEinstell";
        QTest::newRow("mail without application") << "mn_Email";
        QTest::newRow("search without form file") << "mn_BrowserSearch";
    }
    void openedFromMainWindow()
    {
        QFETCH(QString, item);
        openMainWindow([](Prefer& p) {
            p.setMailClient(QString());
            p.setSearchEngineFile(QString());
            p.setAllowOpenWin(true);
        });
        frmBrowser* window = openAndWait(QUrl(QStringLiteral("about:blank")));
        QVERIFY(window);
        const QString engine = QStringLiteral("http://127.0.0.1:1/find?q=");
        bool suspended = false;
        m_dialogs.fillDialog = [&](QObject& dialog) {
            auto& d = static_cast<frmEinstell&>(dialog);
            suspended = !m_main->ExternalOpenEnabled();
            d.searchEngine->setText(engine);
            d.allowPagesOpenWindows->click();
            d.saveButton->click();
            return d.result();
        };
        m_main->menuItems().Item(item)->trigger();
        QCOMPARE(m_dialogs.dialogsShown, QStringList{QStringLiteral("frmEinstell")});
        QVERIFY(suspended);
        QVERIFY(m_main->ExternalOpenEnabled());
        QVERIFY(!m_main->flags().bPopup);
        QCOMPARE(window->tbToolBar()->Button(QStringLiteral("Search"))->toolTip(), engine);
        closeMainWindow();
    }

    // "Zertifikat prüfen..." shows a self-signed certificate's fingerprint
    // and reason; trusting it stores it for the server, after which the
    // check finds it trusted.
    void trustSelfSignedMailServer()
    {
        const TestTlsIdentity identity = MakeTestTlsIdentity();
        if (identity.isNull() || !QSslSocket::supportsSsl())
            QSKIP("openssl or the TLS backend is not available for a test certificate");
        const QString store = TrustedCertificates::DefaultPath();
        QFile::remove(store);
        Pop3TestServer server;
        server.certificate = identity.certificate;
        server.key = identity.key;
        server.replies.insert("CAPA", {"+OK\r\nSTLS\r\n.\r\n"});
        Setting s;
        auto d = s.dialog();
        d->mailServer[1]->setText(server.address());
        const QString fingerprint = TrustedCertificates::DisplayFingerprint(
            TrustedCertificates::Fingerprint(identity.certificate));
        for (const MsgAnswer answer : {MsgAnswer::No, MsgAnswer::Yes, MsgAnswer::Ok}) {
            m_dialogs.nextAnswer = answer;
            const qsizetype before = m_dialogs.messages.size();
            d->mailCertificate[1]->click();
            QTRY_COMPARE_WITH_TIMEOUT(m_dialogs.messages.size(), before + 1, kWait);
            const QString text = m_dialogs.messages.constLast().text;
            QVERIFY2(text.contains(fingerprint), qPrintable(text));
            QVERIFY2(text.contains(answer == MsgAnswer::Ok ? "ausdrücklich vertraut"
                                                           : "selbst signiert"),
                     qPrintable(text));
            QCOMPARE(QFile::exists(store), answer != MsgAnswer::No);
        }
        QCOMPARE(server.verbs(),
                 (QList<QByteArray>{"CAPA", "STLS", "CAPA", "STLS", "CAPA", "STLS"}));
        QVERIFY(!s.written());
    }
};

ORV_GUI_TEST_MAIN(TstSettingsDialog)
#include "tst_settingsdialog.moc"
