#include "app/appinit.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace orv;

// Where the program finds its program folder, over the layouts it runs in:
// an installed tree (<prefix>/bin next to <prefix>/share/orvane) and a build
// tree (a folder with CMakeCache.txt, the sources elsewhere).
class TstAppFolder : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void findAppFolder_data()
    {
        // Folders and files made below a fresh temporary folder, the program's
        // folder, the source resources and the expected program folder, all
        // relative to the temporary folder.
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("programDir");
        QTest::addColumn<QString>("sourceResources");
        QTest::addColumn<QString>("expected");

        const QStringList source{QStringLiteral("src/resources")};
        QTest::newRow("installed in /usr")
            << (source + QStringList{"usr/bin", "usr/share/orvane"}) << QStringList{} << "usr/bin"
            << "src/resources"
            << "usr/share/orvane";
        QTest::newRow("installed in a staging prefix inside a build tree")
            << (source + QStringList{"build/stage/bin", "build/stage/share/orvane"})
            << QStringList{"build/CMakeCache.txt"} << "build/stage/bin"
            << "src/resources"
            << "build/stage/share/orvane";
        QTest::newRow("program at the top of the build tree")
            << (source + QStringList{"build"}) << QStringList{"build/CMakeCache.txt"} << "build"
            << "src/resources"
            << "src/resources";
        QTest::newRow("test program in a build subfolder")
            << (source + QStringList{"build/tests/app"}) << QStringList{"build/CMakeCache.txt"}
            << "build/tests/app"
            << "src/resources"
            << "src/resources";
        QTest::newRow("installed tree without its program folder")
            << (source + QStringList{"opt/orvane/bin"}) << QStringList{} << "opt/orvane/bin"
            << "src/resources"
            << "opt/orvane/share/orvane";
        QTest::newRow("share/orvane is a file, not a folder")
            << (source + QStringList{"usr/bin", "usr/share"}) << QStringList{"usr/share/orvane"}
            << "usr/bin"
            << "src/resources"
            << "usr/share/orvane";
        QTest::newRow("build tree whose sources are gone")
            << QStringList{"build"} << QStringList{"build/CMakeCache.txt"} << "build"
            << "src/resources"
            << "share/orvane";
        QTest::newRow("program folder given with a trailing slash")
            << (source + QStringList{"usr/bin", "usr/share/orvane"}) << QStringList{} << "usr/bin/"
            << "src/resources"
            << "usr/share/orvane";
    }
    void findAppFolder()
    {
        QFETCH(QStringList, folders);
        QFETCH(QStringList, files);
        QFETCH(QString, programDir);
        QFETCH(QString, sourceResources);
        QFETCH(QString, expected);

        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QDir dir(root.path());
        for (const QString& folder : std::as_const(folders))
            QVERIFY(dir.mkpath(folder));
        for (const QString& file : std::as_const(files)) {
            QFile f(dir.filePath(file));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }

        QCOMPARE(FindAppFolder(dir.filePath(programDir), dir.filePath(sourceResources)),
                 QDir::cleanPath(dir.filePath(expected)));
    }

    // This test program lives in the build tree, so the program folder it
    // finds by itself is the source tree's, with the shipped files in it.
    void buildTreeProgramUsesSourceResources()
    {
        QVERIFY(QFileInfo::exists(QCoreApplication::applicationDirPath() +
                                  QStringLiteral("/../CMakeCache.txt")));
        QCOMPARE(AppFolder(), QDir::cleanPath(QStringLiteral(ORVANE_SOURCE_RESOURCES)));
        QVERIFY(QFileInfo::exists(AppFolder() + QStringLiteral("/search.html")));
    }
};

QTEST_GUILESS_MAIN(TstAppFolder)
#include "tst_appfolder.moc"
