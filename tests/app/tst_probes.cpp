#include "app/probes.h"

#include <QTest>

using namespace orv;

class TstProbes : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void osName_data()
    {
        QTest::addColumn<QString>("osRelease");
        QTest::addColumn<QString>("name");
        QTest::newRow("pretty name quoted")
            << "NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"
            << "Debian GNU/Linux 12 (bookworm)";
        QTest::newRow("single quotes") << "PRETTY_NAME='Arch Linux'"
                                       << "Arch Linux";
        QTest::newRow("name and version") << "NAME=Fedora\nVERSION=\"39 (Workstation)\""
                                          << "Fedora 39 (Workstation)";
        QTest::newRow("comments and blanks") << "# note\n\n  PRETTY_NAME=Alpine  \n"
                                             << "Alpine";
        QTest::newRow("nothing") << ""
                                 << "";
        QTest::newRow("broken lines") << "=x\nPRETTY_NAME\n"
                                      << "";
    }
    void osName()
    {
        QFETCH(QString, osRelease);
        QFETCH(QString, name);
        QCOMPARE(OsNameFromOsRelease(osRelease), name);
    }

    void otherPlatformFlagsAreFalse()
    {
        const SystemProbes& p = Probes();
        QVERIFY(!p.IsWinXP && !p.IsWin2003 && !p.IsWin2000 && !p.IsWinMe && !p.IsWin95 &&
                !p.IsWin98 && !p.IsWinNT && !p.IsNT4OrLater && !p.IsWin2000Family);
        QVERIFY(!p.IsAdmin);
        QVERIFY(!IsRunningInIde());
        QVERIFY(!GetLoginName().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TstProbes)
#include "tst_probes.moc"
