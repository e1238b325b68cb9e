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
        QCOMPARE(dialog.nameEdit->text(), name);
        QCOMPARE(dialog.addressEdit->text(), address);
        QCOMPARE(dialog.feedBox->isChecked(), feed);
        // The feed box clears and locks the two opening options.
        QCOMPARE(dialog.addressBarBox->isEnabled(), !feed);
        QCOMPARE(dialog.addressBarBox->isChecked(), !feed);
        QVERIFY(dialog.batchCancelButton->isHidden());
        QCOMPARE(dialog.Ok->text(), QStringLiteral("OK"));
    }

    void batchModeCaptions()
    {
        frmBMProperty dialog(m_owner.get());
        dialog.setup(true, true, QStringLiteral("T"), QStringLiteral("http://t/"), nullptr);
        QVERIFY(!dialog.batchCancelButton->isHidden());
        QCOMPARE(dialog.Ok->text(), QStringLiteral("OK nächster"));
        QCOMPARE(dialog.batchCancelButton->text(), QStringLiteral("Batch-Abbruch"));
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
        QCOMPARE(dialog.nameEdit->text(), name);
        QCOMPARE(dialog.feedBox->isChecked(), feed);
        QCOMPARE(dialog.addressBarBox->isChecked(), adresszeile);
        QCOMPARE(dialog.toolbarBox->isChecked(), toolbar);
        QCOMPARE(dialog.addressBarBox->isEnabled(), !feed);
        QCOMPARE(dialog.Description(), QStringLiteral("a\r\nb"));
        QCOMPARE(dialog.Title(), titel);
    }

    void feedBoxMakesTheTitle()
    {
        frmBMProperty dialog(m_owner.get());
        dialog.setup(true, false, QString(), QString(), nullptr);
        dialog.nameEdit->setText(QStringLiteral("Name"));
        dialog.feedBox->setChecked(true);
        QCOMPARE(dialog.Title(), QStringLiteral("<FEED />Name"));
        dialog.feedBox->setChecked(false);
        QVERIFY(dialog.addressBarBox->isChecked() && dialog.addressBarBox->isEnabled());
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
        dialog.nameEdit->setText(name);
        dialog.addressEdit->setText(address);
        // Enter in the address field is OK.
        QTest::keyClick(dialog.addressEdit, Qt::Key_Return);
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
        dialog.setTakenAddresses({QStringLiteral("http://t/")});
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
        QCOMPARE(dialog.titleEdit->text(), QStringLiteral("Vorher"));
        QCOMPARE(dialog.linkEdit->text(), QStringLiteral("http://"));
        QCOMPARE(dialog.imageUrlEdit->text(), QStringLiteral("http://"));
        QCOMPARE(dialog.imageLinkEdit->text(), QStringLiteral("http://"));
        QCOMPARE(dialog.fileEdit->text(), QStringLiteral("/tmp/f.xml"));
        QVERIFY(!dialog.imageUrlEdit->isEnabled());
        dialog.imageBox->setChecked(true);
        QVERIFY(dialog.imageUrlEdit->isEnabled() && dialog.imageTitleEdit->isEnabled() &&
                dialog.imageLinkEdit->isEnabled());
        dialog.openAfterBox->setChecked(false);
        QVERIFY(!dialog.asFeedOption->isEnabled() && !dialog.asXmlOption->isEnabled());
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
        dialog.linkEdit->setText(link);
        dialog.imageBox->setChecked(image);
        dialog.imageUrlEdit->setText(imageUrl);
        dialog.imageTitleEdit->setText(imageTitle);
        dialog.imageLinkEdit->setText(QStringLiteral("http://l"));
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
        dialog.descriptionEdit->setText(QStringLiteral("D"));
        dialog.imageUrlEdit->setText(QStringLiteral("http://i"));
        dialog.imageTitleEdit->setText(QStringLiteral("I"));
        dialog.imageBox->setChecked(image);
        dialog.openAfterBox->setChecked(open);
        (asFeed ? dialog.asFeedOption : dialog.asXmlOption)->setChecked(true);
        QCOMPARE(dialog.OpenMode(), mode);
        const RssChannel channel = dialog.Channel();
        QCOMPARE(channel.description, QStringLiteral("D"));
        QCOMPARE(channel.imageUrl, image ? QStringLiteral("http://i") : QString());
        QCOMPARE(channel.imageTitle, image ? QStringLiteral("I") : QString());
    }
};

ORV_GUI_TEST_MAIN(TestBookmarkDialogs)
#include "tst_bookmarkdialogs.moc"
