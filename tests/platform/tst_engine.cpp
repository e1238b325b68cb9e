#include "app/appinit.h"
#include "common/enginetest.h"
#include "common/testhttpserver.h"
#include "platform/engine.h"
#include "platform/generatedpages.h"

#include <QApplication>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineProfile>

#include <memory>
#include <vector>

using namespace orv;

// The engine as the program prepares it: switches and renderer processes.
class TestEngine : public QObject {
    Q_OBJECT

    TestHttpServer m_server;

private Q_SLOTS:
    // The engine's start adds no name to the environment (adding one would
    // move the list under the font worker that reads it then); runs first,
    // before anything has started the engine.
    void theEngineStartAddsNothingToTheEnvironment()
    {
        QTemporaryDir dataFolder;
        SetDataFolder(dataFolder.path());
        QVERIFY(!HasBrowserProfile());
        const QStringList before = QProcessEnvironment::systemEnvironment().keys();
        QVERIFY(BrowserProfile());
        QCOMPARE(QProcessEnvironment::systemEnvironment().keys(), before);
    }

    // The program's own pages are served from the profile's start: a handler
    // installed later renews the engine's loaders, and loads then under way in
    // other windows never end.
    void theProgramsOwnPagesAreServedFromTheStart()
    {
        QVERIFY(HasBrowserProfile());
        QVERIFY(qobject_cast<const GeneratedPages*>(
            BrowserProfile()->urlSchemeHandler(QByteArray(kGeneratedScheme))));
    }

    void processModelJoinsTheGivenSwitches_data()
    {
        QTest::addColumn<QByteArray>("given");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray model("--process-per-site --site-per-process "
                               "--disable-features=SpareRendererForSitePerProcess");
        QTest::newRow("none") << QByteArray() << model;
        QTest::newRow("others kept") << QByteArray(" --disable-gpu  --disable-component-update")
                                     << "--disable-gpu --disable-component-update " + model;
        QTest::newRow("already chosen") << model << model;
        QTest::newRow("isolation added")
            << QByteArray("--process-per-site --disable-features=SpareRendererForSitePerProcess")
            << QByteArray("--process-per-site --disable-features=SpareRendererForSitePerProcess "
                          "--site-per-process");
        QTest::newRow("features joined")
            << QByteArray("--disable-features=A,B --disable-gpu")
            << QByteArray("--disable-features=A,B,SpareRendererForSitePerProcess --disable-gpu "
                          "--process-per-site --site-per-process");
        QTest::newRow("another model kept") << QByteArray("--process-per-tab --disable-gpu")
                                            << QByteArray("--process-per-tab --disable-gpu");
        QTest::newRow("single process kept")
            << QByteArray("--single-process") << QByteArray("--single-process");
    }
    void processModelJoinsTheGivenSwitches()
    {
        QFETCH(QByteArray, given);
        QFETCH(QByteArray, expected);
        QCOMPARE(EngineFlagsWithProcessModel(given), expected);
    }

    // Without a graphics device the processor draws windows and pages
    // directly; the user's own choice and a platform without a screen keep
    // the engine's default.
    void drawingByTheProcessor_data()
    {
        QTest::addColumn<QByteArray>("platform");
        QTest::addColumn<QByteArray>("chosen");
        QTest::addColumn<bool>("softwareOpenGl");
        QTest::addColumn<bool>("device");
        QTest::addColumn<bool>("software");
        QTest::newRow("no device") << QByteArray() << QByteArray() << false << false << true;
        QTest::newRow("device") << QByteArray() << QByteArray() << false << true << false;
        QTest::newRow("OpenGL asked to run on the processor")
            << QByteArray("xcb") << QByteArray() << true << true << true;
        QTest::newRow("no device, X with arguments")
            << QByteArray("xcb:nograb") << QByteArray() << false << false << true;
        QTest::newRow("no device, back end chosen")
            << QByteArray("wayland") << QByteArray("rhi") << false << false << false;
        QTest::newRow("no screen")
            << QByteArray("offscreen") << QByteArray() << true << false << false;
        QTest::newRow("no screen, minimal")
            << QByteArray("minimal") << QByteArray() << false << false << false;
    }
    void drawingByTheProcessor()
    {
        QFETCH(QByteArray, platform);
        QFETCH(QByteArray, chosen);
        QFETCH(bool, softwareOpenGl);
        QFETCH(bool, device);
        QFETCH(bool, software);
        QCOMPARE(DrawInSoftware({platform, chosen, softwareOpenGl, device}), software);
    }

    void windowsOfOneSiteShareARendererAndSitesStayApart()
    {
        m_server.serve("/a", "text/html", "<title>a</title>");
        m_server.serve("/b", "text/html", "<title>b</title>");
        // 127.0.0.1 and localhost are two sites on the one server.
        const QUrl siteOne = m_server.url(QStringLiteral("/a"));
        QUrl siteTwo = m_server.url(QStringLiteral("/b"));
        siteTwo.setHost(QStringLiteral("localhost"));

        QWebEngineProfile profile;
        std::vector<std::unique_ptr<QWebEnginePage>> pages;
        for (const QUrl& url : {siteOne, siteOne, siteOne, siteTwo, siteTwo}) {
            pages.push_back(std::make_unique<QWebEnginePage>(&profile));
            QVERIFY2(LoadAndWait(*pages.back(), url), qPrintable(url.toString()));
        }
        const qint64 one = pages[0]->renderProcessPid();
        const qint64 two = pages[3]->renderProcessPid();
        QVERIFY(one > 0);
        QVERIFY(two > 0);
        QCOMPARE(pages[1]->renderProcessPid(), one);
        QCOMPARE(pages[2]->renderProcessPid(), one);
        QCOMPARE(pages[4]->renderProcessPid(), two);
        QVERIFY(one != two);
        pages.clear();
    }
};

int main(int argc, char** argv)
{
    // As the program starts: the engine's switches before the application.
    PrepareWebEngine();
    QApplication app(argc, argv);
    TestEngine test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_engine.moc"
