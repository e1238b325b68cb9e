// The bookmark dialog and the RSS channel dialog: what they show, how OK
// checks the fields, and what the caller reads back.

#include "common/bookmarktools.h"
#include "common/guitest.h"
#include "tools/window/bmproperty.h"
#include "tools/window/rssheader.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <memory>

using namespace orv;

class TestBookmarkDialogs : public QObject {
    Q_OBJECT

    RecordingDialogs m_dialogs;
    std::unique_ptr<QWidget> m_owner;

private Q_SLOTS:
    void init()
    {
        m_dialogs.clear();
        m_dialogs.messages.clear();
        m_dialogs.nextAnswer = MsgAnswer::Ok;
        InstallDialogs(&m_dialogs);
        m_owner = std::make_unique<QWidget>();
    }
    void cleanup()
    {
        m_owner.reset();
        InstallDialogs(nullptr);
    }

    void addModeTakesTheProposal_data()
    {
        QTest::addColumn<QString>("bkTitel");
        QTest::addColumn<QString>("bkUrl");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("feed");
        QTest::newRow("page") << QStringLiteral("Seite") << QStringLiteral("http://s/")
                              << QStringLiteral("Seite") << QStringLiteral("http://s/") << false;
        QTest::newRow("feed") << QStringLiteral("<FEED />News") << QStringLiteral("http://f/")
                              << QStringLiteral("News") << QStringLiteral("http://f/") << true;
        QTest::newRow("no proposal")
            << QString() << QString() << QString() << QStringLiteral("http://") << false;
    }
    void addModeTakesTheProposal()
    {
        QFETCH(QString, bkTitel);
        QFETCH(QString, bkUrl);
        QFETCH(QString, name);
        QFETCH(QString, address);
        QFETCH(bool, feed);
        frmBMProperty dialog(m_owner.get());
        dialog.setup(true, false, bkTitel, bkUrl, nullptr);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Bookmark - [Hinzufügen]"));
        QCOMPARE(dialog.Text1->text(), name);
        QCOMPARE(dialog.Text2->text(), address);
        QCOMPARE(dialog.Check3->isChecked(), feed);
        // The feed box clears and locks the two opening options.
        QCOMPARE(dialog.Check1->isEnabled(), !feed);
        QCOMPARE(dialog.Check1->isChecked(), !feed);
        QVERIFY(dialog.Command1->isHidden());
        QCOMPARE(dialog.Ok->text(), QStringLiteral("OK"));
    }

    void batchModeCaptions()
    {
        frmBMProperty dialog(m_owner.get());
        dialog.setup(true, true, QStringLiteral("T"), QStringLiteral("http://t/"), nullptr);
        QVERIFY(!dialog.Command1->isHidden());
        QCOMPARE(dialog.Ok->text(), QStringLiteral("OK nächster"));
        QCOMPARE(dialog.Command1->text(), QStringLiteral("Batch-Abbruch"));
        dialog.Command1_Click();
        QVERIFY(dialog.batchCancelled());
        QCOMPARE(dialog.result(), 0);
    }

    void editMode_data()
    {
        QTest::addColumn<QString>("titel");
        QTest::addColumn<bool>("adresszeile");
        QTest::addColumn<bool>("toolbar");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("feed");
        QTest::newRow("only the marker is no feed")
            << QStringLiteral("<FEED />") << true << true << QStringLiteral("<FEED />") << false;
        QTest::newRow("feed keeps its stored options")
            << QStringLiteral("<FEED />Daily") << true << false << QStringLiteral("Daily") << true;
        QTest::newRow("page") << QStringLiteral("Page") << false << true << QStringLiteral("Page")
                              << false;
    }
    void editMode()
    {
        QFETCH(QString, titel);
        QFETCH(bool, adresszeile);
        QFETCH(bool, toolbar);
        QFETCH(QString, name);
        QFETCH(bool, feed);
        const Bookmark bookmark = MakeBookmark(titel, QStringLiteral("http://e/"),
                                               QStringLiteral("a\r\nb"), adresszeile, toolbar);
        frmBMProperty dialog(m_owner.get());
        dialog.setup(false, false, QStringLiteral("ignored"), QStringLiteral("http://x/"),
                     &bookmark);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Bookmark - [Eigenschaften]"));
        QCOMPARE(dialog.Text1->text(), name);
        QCOMPARE(dialog.Check3->isChecked(), feed);
        QCOMPARE(dialog.Check1->isChecked(), adresszeile);
        QCOMPARE(dialog.Check2->isChecked(), toolbar);
        QCOMPARE(dialog.Check1->isEnabled(), !feed);
        QCOMPARE(dialog.Description(), QStringLiteral("a\r\nb"));
        QCOMPARE(dialog.Title(), titel);
    }

    void feedBoxMakesTheTitle()
    {
        frmBMProperty dialog(m_owner.get());
        dialog.setup(true, false, QString(), QString(), nullptr);
        dialog.Text1->setText(QStringLiteral("Name"));
        dialog.Check3->setChecked(true);
        QCOMPARE(dialog.Title(), QStringLiteral("<FEED />Name"));
        dialog.Check3->setChecked(false);
        QVERIFY(dialog.Check1->isChecked() && dialog.Check1->isEnabled());
        QCOMPARE(dialog.Title(), QStringLiteral("Name"));
    }

    void emptyFieldKeepsTheDialog_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("focus");
        QTest::newRow("name empty")
            << QString() << QStringLiteral("http://a/") << QStringLiteral("Text1");
        QTest::newRow("address empty")
            << QStringLiteral("A") << QString() << QStringLiteral("Text2");
        QTest::newRow("both empty") << QString() << QString() << QStringLiteral("Text1");
    }
    void emptyFieldKeepsTheDialog()
    {
        QFETCH(QString, name);
        QFETCH(QString, address);
        QFETCH(QString, focus);
        frmBMProperty dialog(m_owner.get());
        dialog.setup(true, false, QString(), QString(), nullptr);
        dialog.Text1->setText(name);
        dialog.Text2->setText(address);
        // Enter in the address field is OK.
        QTest::keyClick(dialog.Text2, Qt::Key_Return);
        QCOMPARE(dialog.result(), 0);
        QCOMPARE(m_dialogs.messages.size(), 1);
        QCOMPARE(m_dialogs.messages.constFirst().text,
                 QStringLiteral("Feld darf nicht leer sein."));
        QCOMPARE(m_dialogs.messages.constFirst().icon, MsgIcon::Critical);
        QCOMPARE(dialog.focusWidget()->objectName(), focus);
    }

    void takenAddressAsks_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("result");
        QTest::newRow("yes adds") << int(MsgAnswer::Yes) << 1;
        QTest::newRow("no stays") << int(MsgAnswer::No) << 0;
    }
    void takenAddressAsks()
    {
        QFETCH(int, answer);
        QFETCH(int, result);
        frmBMProperty dialog(m_owner.get());
        dialog.setup(true, false, QStringLiteral("T"), QStringLiteral("http://t/"), nullptr);
        dialog.addressTaken = [](const QString& address) {
            return address == QLatin1String("http://t/");
        };
        m_dialogs.nextAnswer = MsgAnswer(answer);
        dialog.Ok_Click();
        QCOMPARE(dialog.result(), result);
        QCOMPARE(m_dialogs.messages.size(), 1);
        QCOMPARE(m_dialogs.messages.constFirst().text,
                 QStringLiteral("Die Url: 'http://t/' existiert bereits, trotzdem hinzufügen ?"));
    }

    void rssPresets()
    {
        frmRSSHeader dialog(m_owner.get(), QStringLiteral("Vorher"), QStringLiteral("/tmp/f.xml"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("RSS Channel-Tags definieren..."));
        QCOMPARE(dialog.Text1->text(), QStringLiteral("Vorher"));
        QCOMPARE(dialog.Text3->text(), QStringLiteral("http://"));
        QCOMPARE(dialog.Text4->text(), QStringLiteral("http://"));
        QCOMPARE(dialog.Text6->text(), QStringLiteral("http://"));
        QCOMPARE(dialog.Text7->text(), QStringLiteral("/tmp/f.xml"));
        QVERIFY(!dialog.Text4->isEnabled());
        dialog.Check2->setChecked(true);
        QVERIFY(dialog.Text4->isEnabled() && dialog.Text5->isEnabled() &&
                dialog.Text6->isEnabled());
        dialog.Check1->setChecked(false);
        QVERIFY(!dialog.Option1->isEnabled() && !dialog.Option2->isEnabled());
    }

    void rssValidation_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("link");
        QTest::addColumn<bool>("image");
        QTest::addColumn<QString>("imageUrl");
        QTest::addColumn<QString>("imageTitle");
        QTest::addColumn<QString>("failing"); // empty: accepted
        QTest::addColumn<QString>("caption");
        QTest::newRow("ok") << "T"
                            << "http://a" << false << ""
                            << ""
                            << ""
                            << "";
        QTest::newRow("empty title") << ""
                                     << "http://a" << false << ""
                                     << ""
                                     << "Text1"
                                     << "<title>";
        QTest::newRow("capital scheme") << "T"
                                        << "HTTP://a" << false << ""
                                        << ""
                                        << "Text3"
                                        << "<link>";
        QTest::newRow("prefix only") << "T"
                                     << "http://" << false << ""
                                     << ""
                                     << "Text3"
                                     << "<link>";
        QTest::newRow("ftp plus one") << "T"
                                      << "ftp://x" << false << ""
                                      << ""
                                      << ""
                                      << "";
        QTest::newRow("empty image fields without the box") << "T"
                                                            << "http://a" << false << ""
                                                            << ""
                                                            << ""
                                                            << "";
        QTest::newRow("image address") << "T"
                                       << "http://a" << true << "x"
                                       << "I"
                                       << "Text4"
                                       << "<url>";
        QTest::newRow("image title") << "T"
                                     << "http://a" << true << "http://i"
                                     << ""
                                     << "Text5"
                                     << "<title>";
    }
    void rssValidation()
    {
        QFETCH(QString, title);
        QFETCH(QString, link);
        QFETCH(bool, image);
        QFETCH(QString, imageUrl);
        QFETCH(QString, imageTitle);
        QFETCH(QString, failing);
        QFETCH(QString, caption);
        frmRSSHeader dialog(m_owner.get(), title, QStringLiteral("/tmp/f.xml"));
        dialog.Text3->setText(link);
        dialog.Check2->setChecked(image);
        dialog.Text4->setText(imageUrl);
        dialog.Text5->setText(imageTitle);
        dialog.Text6->setText(QStringLiteral("http://l"));
        dialog.Ok_Click();
        if (failing.isEmpty()) {
            QCOMPARE(dialog.result(), 1);
            QVERIFY(m_dialogs.messages.isEmpty());
            return;
        }
        QCOMPARE(dialog.result(), 0);
        QCOMPARE(dialog.focusWidget()->objectName(), failing);
        QCOMPARE(m_dialogs.messages.size(), 1);
        QCOMPARE(m_dialogs.messages.constFirst().text,
                 QStringLiteral("Feld \"") + caption +
                     QStringLiteral("\" ist ungültig oder leer."));
    }

    void rssResults_data()
    {
        QTest::addColumn<bool>("open");
        QTest::addColumn<bool>("asFeed");
        QTest::addColumn<bool>("image");
        QTest::addColumn<int>("mode");
        QTest::newRow("as feed") << true << true << true << 1;
        QTest::newRow("as page") << true << false << false << 2;
        QTest::newRow("not opened") << false << true << false << 0;
    }
    void rssResults()
    {
        QFETCH(bool, open);
        QFETCH(bool, asFeed);
        QFETCH(bool, image);
        QFETCH(int, mode);
        frmRSSHeader dialog(m_owner.get(), QStringLiteral("T"), QStringLiteral("/tmp/f.xml"));
        dialog.Text2->setText(QStringLiteral("D"));
        dialog.Text4->setText(QStringLiteral("http://i"));
        dialog.Text5->setText(QStringLiteral("I"));
        dialog.Check2->setChecked(image);
        dialog.Check1->setChecked(open);
        (asFeed ? dialog.Option1 : dialog.Option2)->setChecked(true);
        QCOMPARE(dialog.OpenMode(), mode);
        const RssChannel channel = dialog.Channel();
        QCOMPARE(channel.description, QStringLiteral("D"));
        QCOMPARE(channel.imageUrl, image ? QStringLiteral("http://i") : QString());
        QCOMPARE(channel.imageTitle, image ? QStringLiteral("I") : QString());
    }
};

ORV_GUI_TEST_MAIN(TestBookmarkDialogs)
#include "tst_bookmarkdialogs.moc"
