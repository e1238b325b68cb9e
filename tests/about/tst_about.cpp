// The information window of the help menu: its lines, its link, and that it
// goes away with Esc or when another window becomes active.

#include "about/frmabout.h"
#include "app/textids.h"
#include "app/texts.h"
#include "common/guitest.h"

#include <QLabel>
#include <QPointer>
#include <QSignalSpy>

namespace orv {

class TestAbout : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void informationLines()
    {
        const QStringList lines =
            AboutInformation(QStringLiteral("8.0.4"), QStringLiteral("6.0.2800"),
                             QStringLiteral("Debian GNU/Linux 12 (bookworm)"),
                             QStringLiteral("anna"))
                .split(QStringLiteral("\r\n"));
        QCOMPARE(lines, (QStringList{QStringLiteral("Revision: 8.0.4"),
                                     QStringLiteral("IE Version: 6.0.2800"),
                                     QStringLiteral("System: Debian GNU/Linux 12 (bookworm)"),
                                     QStringLiteral("User: anna")}));
    }

    // How the window goes: Esc, another active window; the link opens the
    // product page and leaves the window alone.
    void closing_data()
    {
        QTest::addColumn<int>("how"); // 0 Esc, 1 another window, 2 the link
        QTest::addColumn<bool>("closes");
        QTest::newRow("Esc") << 0 << true;
        QTest::newRow("another window") << 1 << true;
        QTest::newRow("link") << 2 << false;
    }
    void closing()
    {
        QFETCH(int, how);
        QFETCH(bool, closes);
        QWidget main;
        main.show();
        QStringList visited;
        QPointer<frmAbout> about = new frmAbout(&main, [&](const QString& url) { visited << url; });
        about->show();
        about->activateWindow();
        QTRY_VERIFY(about->isActiveWindow());
        QVERIFY(about->F0->text().contains(QStringLiteral("IE Version: ")));
        QVERIFY(!about->F0->text().contains(QStringLiteral("IE Version: \r\n")));
        if (how == 0) {
            QTest::keyClick(about.data(), Qt::Key_Escape);
        } else if (how == 1) {
            QWidget other;
            other.show();
            other.activateWindow();
            QTRY_VERIFY(other.isActiveWindow());
        } else {
            about->D0_Click();
            QCOMPARE(visited, QStringList{Txt(kTextProgramFolderUrl)});
        }
        if (closes)
            QTRY_VERIFY(about.isNull());
        else
            QVERIFY(about && about->isVisible());
    }
};

} // namespace orv

ORV_GUI_TEST_MAIN(orv::TestAbout)
#include "tst_about.moc"
