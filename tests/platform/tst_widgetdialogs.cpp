#include "platform/widgetdialogs.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <utility>

using namespace orv;

Q_DECLARE_METATYPE(MsgButtons)
Q_DECLARE_METATYPE(MsgAnswer)
Q_DECLARE_METATYPE(QMessageBox::StandardButton)

class TestWidgetDialogs : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A request to end the program ends every running box, nested ones
    // included, with the cancelling answer; later boxes answer at once
    // without showing.
    void endAllEndsNestedAndLaterBoxes()
    {
        WidgetDialogs dialogs;
        const MessageRequest ask{QStringLiteral("Titel"), QStringLiteral("Frage"), MsgIcon::Warning,
                                 MsgButtons::YesNo, MsgAnswer::Yes};
        MsgAnswer inner = MsgAnswer::Yes;
        int innerDone = 0;
        // The outer box's event loop opens the inner one.
        QTimer::singleShot(0, this, [&] {
            inner = dialogs.message(ask);
            ++innerDone;
        });
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            if (dialogs.runningCount() == 2) {
                poll.stop();
                dialogs.endAll();
            }
        });
        poll.start(10);
        const MsgAnswer outer = dialogs.message(ask);
        QCOMPARE(innerDone, 1);
        QCOMPARE(inner, MsgAnswer::No);
        QCOMPARE(outer, MsgAnswer::No);
        QCOMPARE(dialogs.runningCount(), 0);
        QVERIFY(dialogs.isEnding());
        QCOMPARE(dialogs.message(ask), MsgAnswer::No);
        QCOMPARE(dialogs.chooseItem({QStringLiteral("T"), QStringLiteral("L"), {"a"}, 0}), -1);
    }

    void defaultButton_data()
    {
        QTest::addColumn<MsgButtons>("buttons");
        QTest::addColumn<MsgAnswer>("answer");
        QTest::addColumn<QMessageBox::StandardButton>("button");
        QTest::newRow("no of yes/no") << MsgButtons::YesNo << MsgAnswer::No << QMessageBox::No;
        QTest::newRow("cancel of yes/no/cancel")
            << MsgButtons::YesNoCancel << MsgAnswer::Cancel << QMessageBox::Cancel;
        QTest::newRow("cancel of ok/cancel")
            << MsgButtons::OkCancel << MsgAnswer::Cancel << QMessageBox::Cancel;
        QTest::newRow("ok default on yes/no gives yes")
            << MsgButtons::YesNo << MsgAnswer::Ok << QMessageBox::Yes;
        QTest::newRow("no default on ok/cancel gives ok")
            << MsgButtons::OkCancel << MsgAnswer::No << QMessageBox::Ok;
        QTest::newRow("ok alone") << MsgButtons::Ok << MsgAnswer::Cancel << QMessageBox::Ok;
    }
    void defaultButton()
    {
        QFETCH(MsgButtons, buttons);
        QFETCH(MsgAnswer, answer);
        QFETCH(QMessageBox::StandardButton, button);
        QCOMPARE(DefaultButtonFor(buttons, answer), button);
    }

    void answer_data()
    {
        QTest::addColumn<MsgButtons>("buttons");
        QTest::addColumn<QMessageBox::StandardButton>("clicked");
        QTest::addColumn<MsgAnswer>("answer");
        QTest::newRow("yes") << MsgButtons::YesNoCancel << QMessageBox::Yes << MsgAnswer::Yes;
        QTest::newRow("no") << MsgButtons::YesNo << QMessageBox::No << MsgAnswer::No;
        QTest::newRow("cancel") << MsgButtons::OkCancel << QMessageBox::Cancel << MsgAnswer::Cancel;
        QTest::newRow("ok") << MsgButtons::Ok << QMessageBox::Ok << MsgAnswer::Ok;
        QTest::newRow("closed, ok/cancel")
            << MsgButtons::OkCancel << QMessageBox::NoButton << MsgAnswer::Cancel;
        QTest::newRow("closed, yes/no/cancel")
            << MsgButtons::YesNoCancel << QMessageBox::NoButton << MsgAnswer::Cancel;
        QTest::newRow("closed, yes/no")
            << MsgButtons::YesNo << QMessageBox::NoButton << MsgAnswer::No;
        QTest::newRow("closed, ok") << MsgButtons::Ok << QMessageBox::NoButton << MsgAnswer::Ok;
        QTest::newRow("button not offered")
            << MsgButtons::YesNo << QMessageBox::Ok << MsgAnswer::No;
    }
    void answer()
    {
        QFETCH(MsgButtons, buttons);
        QFETCH(QMessageBox::StandardButton, clicked);
        QFETCH(MsgAnswer, answer);
        QCOMPARE(AnswerFor(buttons, clicked), answer);
    }

    void filterExtension_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("extension");
        const std::pair<const char*, const char*> rows[] = {
            {"Fensterlayout-Datei (*.wlt)", "wlt"},
            {"HTML-Datei (*.htm;*.html)", "htm"},
            {"Text (*.txt *.csv)", "txt"},
            {"Datei (alt) (*.xml)", "xml"},
            {"Alle Dateien (*.*)", ""},
            {"Alle (*)", ""},
            {"Sicherung (*.ba?)", ""},
            {"*.orp", "orp"},
            {"", ""},
        };
        for (const auto& [filter, extension] : rows)
            QTest::newRow(*filter ? filter : "(empty)") << QString(filter) << QString(extension);
    }
    void filterExtension()
    {
        QFETCH(QString, filter);
        QFETCH(QString, extension);
        QCOMPARE(FilterExtension(filter), extension);
    }

    // The list of all windows: typing narrows it, Enter chooses the first
    // entry left; a cancelled choice is -1.
    void choiceNarrowsBySearch_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<int>("chosen");
        QTest::newRow("narrowed") << "zeit" << true << 2;
        QTest::newRow("nothing typed keeps the current") << "" << true << 1;
        QTest::newRow("nothing matches") << "xyz" << true << -1;
        QTest::newRow("cancelled") << "zeit" << false << -1;
    }
    void choiceNarrowsBySearch()
    {
        QFETCH(QString, typed);
        QFETCH(bool, accept);
        QFETCH(int, chosen);
        WidgetDialogs dialogs;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            auto* search = dialog->findChild<QLineEdit*>();
            QVERIFY(search);
            QTest::keyClicks(search, typed);
            if (accept)
                QTest::keyClick(search, Qt::Key_Return);
            else
                dialog->reject();
        });
        const int index =
            dialogs.chooseItem({QStringLiteral("Fenster auswählen"),
                                QStringLiteral("&Suchen:"),
                                {QStringLiteral("1 Nachrichten"), QStringLiteral("2 Wetter"),
                                 QStringLiteral("3 Zeitung")},
                                1});
        QCOMPARE(index, chosen);
    }

    // A dialog of the program's own answers what its buttons say; one whose
    // parent goes away while it asks answers "declined" and is not touched.
    void ownDialogAnswers_data()
    {
        QTest::addColumn<int>("action"); // 0 accept, 1 reject, 2 parent closed
        QTest::addColumn<int>("answer");
        QTest::newRow("accepted") << 0 << int(QDialog::Accepted);
        QTest::newRow("rejected") << 1 << int(QDialog::Rejected);
        QTest::newRow("parent gone") << 2 << 0;
    }
    void ownDialogAnswers()
    {
        QFETCH(int, action);
        QFETCH(int, answer);
        WidgetDialogs dialogs;
        auto* parent = new QWidget;
        QPointer<QDialog> dialog = new QDialog(parent);
        dialog->setWindowTitle(QStringLiteral("Refresh"));
        QTimer::singleShot(0, [&] {
            QCOMPARE(QApplication::activeModalWidget(), dialog.data());
            QCOMPARE(dialog->accessibleName(), QStringLiteral("Refresh"));
            if (action == 0)
                dialog->accept();
            else if (action == 1)
                dialog->reject();
            else
                delete parent;
        });
        QCOMPARE(dialogs.execDialog(*dialog), answer);
        QCOMPARE(dialog.isNull(), action == 2);
        if (action != 2)
            delete parent;
    }
};

QTEST_MAIN(TestWidgetDialogs)
#include "tst_widgetdialogs.moc"
