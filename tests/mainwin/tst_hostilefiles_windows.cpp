// Hostile files met by the windows: a feed of a gigabyte stops at the size
// limit with a German reason instead of being read whole, and an
// arrangement with absurd geometry restores windows that stay within reach.

#include "common/mainwindowfixture.h"
#include "layouts/layoutitem.h"
#include "layouts/layoutrecords.h"
#include "mainwin/arrangement.h"
#include "mainwin/windowmenu.h"
#include "pages/feedpage.h"

#include <QFile>
#include <QMdiArea>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <limits>
#include <memory>

using namespace orv;

namespace {

// The feed that never ends: a gigabyte, made up while it is sent.
constexpr qint64 kHugeFeedBytes = 1024LL * 1024 * 1024;
// The sender keeps no more than this in flight.
constexpr qint64 kChunkBytes = 256 * 1024;
// What may be sent beyond the limit before the reader notices and closes
// (socket buffers on both ends and the one piece the reader holds).
constexpr qint64 kOvershootBytes = 32LL * 1024 * 1024;
constexpr int kFeedWait = 60000;

// Streams a feed of kHugeFeedBytes from 127.0.0.1, generated chunk by chunk
// (a valid start, then items for ever), and tells how much it has sent.
class StreamingFeedServer {
public:
    explicit StreamingFeedServer(bool announceLength) : m_announceLength(announceLength)
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] { accept(); });
        m_server.listen(QHostAddress::LocalHost, 0);
    }
    QString url() const
    {
        return QStringLiteral("http://127.0.0.1:%1/huge.xml").arg(m_server.serverPort());
    }
    qint64 sent() const { return m_sent; }
    bool closedByReader() const { return m_closed; }

private:
    void accept()
    {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            socket->setParent(&m_server);
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                if (!socket->readAll().contains("\r\n\r\n") || socket->property("sending").toBool())
                    return;
                socket->setProperty("sending", true);
                QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\n";
                if (m_announceLength)
                    head += "Content-Length: " + QByteArray::number(kHugeFeedBytes) + "\r\n";
                head += "Connection: close\r\n\r\n";
                socket->write(head);
                m_body = 0;
                more(socket);
            });
            QObject::connect(socket, &QTcpSocket::bytesWritten, socket,
                             [this, socket] { more(socket); });
            QObject::connect(socket, &QTcpSocket::disconnected, socket,
                             [this] { m_closed = m_body < kHugeFeedBytes; });
        }
    }
    void more(QTcpSocket* socket)
    {
        static const QByteArray start = "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel>"
                                        "<title>Endlos</title>";
        static const QByteArray item = "<item><title>Eintrag</title></item>";
        while (socket->state() == QAbstractSocket::ConnectedState &&
               socket->bytesToWrite() < kChunkBytes && m_body < kHugeFeedBytes) {
            QByteArray chunk = m_body == 0 ? start : QByteArray();
            chunk += item.repeated(int((kChunkBytes - chunk.size()) / item.size()));
            chunk.truncate(int(std::min<qint64>(chunk.size(), kHugeFeedBytes - m_body)));
            socket->write(chunk);
            m_body += chunk.size();
            m_sent += chunk.size();
        }
    }

    QTcpServer m_server;
    bool m_announceLength = true;
    qint64 m_body = 0;
    qint64 m_sent = 0;
    bool m_closed = false;
};

LayoutWindowRecord record(const QString& url, int left, int top, int width, int height,
                          int state = 0)
{
    LayoutWindowRecord r;
    r.Left = qint16(left);
    r.Top = qint16(top);
    r.Width = qint16(width);
    r.Height = qint16(height);
    r.URL = url;
    r.WindowState = qint16(state);
    r.AdressbarVisible = true;
    return r;
}

constexpr int kMax = std::numeric_limits<qint16>::max();
constexpr int kMin = std::numeric_limits<qint16>::min();

} // namespace

class TstHostileFilesWindows : public QObject, private MainWindowFixture<> {
    Q_OBJECT

    QTemporaryDir m_files;

    QRect viewport() const { return m_main->mdiArea()->viewport()->rect(); }

    // The page text the window shows, once its generated page is there.
    void pageText(frmBrowser* window, QString& shown)
    {
        QTRY_VERIFY_WITH_TIMEOUT(window->LocationURL().startsWith(QLatin1String("orvane:")),
                                 kFeedWait);
        WaitSettled(window);
        QVariant text;
        window->page()->runJavaScript(QStringLiteral("document.body.innerText"),
                                      [&](const QVariant& v) { text = v; });
        QTRY_VERIFY_WITH_TIMEOUT(text.isValid(), kWait);
        shown = text.toString();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_files.isValid());
        InstallDialogs(&m_dialogs);
        m_server.serve("/a", "text/html", HtmlPage("Seite a"));
    }
    void init()
    {
        openMainWindow([](Prefer& prefer) { prefer.setHomeUrl(QString()); });
        m_dialogs.clear();
    }
    void cleanup() { closeMainWindow(); }

    // A feed of a gigabyte from a server: the window stops reading once the
    // limit is passed, closes the connection and shows why, in German.
    void hugeFeedFromServer_data()
    {
        QTest::addColumn<bool>("announceLength");
        QTest::newRow("length announced") << true;
        QTest::newRow("length not announced") << false;
    }
    void hugeFeedFromServer()
    {
        QFETCH(bool, announceLength);
        StreamingFeedServer server(announceLength);
        QSignalSpy added(m_main.get(), &MDIForm1::browserAdded);
        m_main->OpenXmlFeedBkm(server.url());
        QCOMPARE(added.size(), 1);
        auto* window = added.constFirst().constFirst().value<frmBrowser*>();
        QString text;
        pageText(window, text);
        QVERIFY2(text.contains(FeedTooLargeReason()), qPrintable(text.left(500)));
        QVERIFY(!window->FeedLoading());
        // An announced length beyond the bound ends the load before the body;
        // else the load ends just past the bound, however busy the window is.
        const qint64 bound = announceLength ? 0 : kMaxFeedBytes;
        QVERIFY(announceLength || server.sent() > kMaxFeedBytes);
        QVERIFY2(server.sent() < bound + kOvershootBytes, QByteArray::number(server.sent()));
        QTRY_VERIFY_WITH_TIMEOUT(server.closedByReader(), kWait);
        QVERIFY(m_dialogs.messages.isEmpty());
    }

    // The same from a local file of a gigabyte (sparse: it takes no room).
    void hugeFeedFromFile()
    {
        const QString path = m_files.filePath(QStringLiteral("huge.xml"));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.write("<?xml version=\"1.0\"?><rss version=\"2.0\"><channel>") > 0);
            QVERIFY(file.resize(kHugeFeedBytes));
        }
        QSignalSpy added(m_main.get(), &MDIForm1::browserAdded);
        m_main->OpenXmlFeedBkm(QUrl::fromLocalFile(path).toString());
        QCOMPARE(added.size(), 1);
        auto* window = added.constFirst().constFirst().value<frmBrowser*>();
        QString text;
        pageText(window, text);
        QVERIFY2(text.contains(FeedTooLargeReason()), qPrintable(text.left(500)));
    }

    // Every window of an arrangement with absurd geometry lies inside the
    // window area and can be grabbed; a sound record keeps its place.
    void absurdGeometry_data()
    {
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("archived"); // from the layout archive, else a file
        for (bool archived : {false, true}) {
            const char* from = archived ? " (archive)" : " (file)";
            QTest::newRow(QByteArray("far right and down").append(from).constData())
                << kMax << kMax << 6000 << 4500 << archived;
            QTest::newRow(QByteArray("far left and up").append(from).constData())
                << kMin << kMin << 6000 << 4500 << archived;
            QTest::newRow(QByteArray("larger than any screen").append(from).constData())
                << 0 << 0 << kMax << kMax << archived;
            QTest::newRow(QByteArray("too small to see").append(from).constData())
                << 3000 << 3000 << 1 << 0 << archived;
            QTest::newRow(QByteArray("everything at the end").append(from).constData())
                << kMin << kMax << kMax << 1 << archived;
        }
    }
    void absurdGeometry()
    {
        QFETCH(int, left);
        QFETCH(int, top);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(bool, archived);
        const QString url = m_server.url("/a").toString();
        const LayoutWindowRecord sound = record(url, 1500, 1500, 6000, 3000);
        const LayoutWindowRecord absurd = record(url, left, top, width, height);
        if (archived) {
            FensterInfo a;
            a.URL = url;
            a.x = float(absurd.Left);
            a.y = float(absurd.Top);
            a.Breite = float(absurd.Width);
            a.Hoehe = float(absurd.Height);
            FensterInfo s = a;
            s.x = s.y = 1500;
            s.Breite = 6000;
            s.Hoehe = 3000;
            QVERIFY(writeFensterInfoFile(DataFolder() + QStringLiteral("/WL8.nlt"), {a, s}).ok);
            m_main->ArchivAnordnungLaden(QStringLiteral("WL8.nlt"));
        } else {
            const QString path = m_files.filePath(QStringLiteral("absurd.wlt"));
            QVERIFY(writeLayoutFile(path, {absurd, sound}).ok);
            m_dialogs.nextPath = path;
            m_main->windowMenu().mn_Anordnung_load_Click();
        }
        QTRY_COMPARE_WITH_TIMEOUT(m_main->Browser().size(), 2, kWait);
        QTRY_VERIFY_WITH_TIMEOUT(m_main->arrangements().PendingLayoutFile.isEmpty(), kWait);
        const frmBrowser* placed = m_main->Browser().constFirst();
        const QRect r = placed->geometry();
        QVERIFY2(viewport().contains(r), qPrintable(QStringLiteral("%1,%2 %3x%4 in %5x%6")
                                                        .arg(r.x())
                                                        .arg(r.y())
                                                        .arg(r.width())
                                                        .arg(r.height())
                                                        .arg(viewport().width())
                                                        .arg(viewport().height())));
        QVERIFY(r.width() >= SmallestRestoredWindow.width());
        QVERIFY(r.height() >= SmallestRestoredWindow.height());
        QCOMPARE(m_main->Browser().constLast()->geometry(), QRect(100, 100, 400, 200));
        QVERIFY(m_dialogs.messages.isEmpty());
    }
};

ORV_GUI_TEST_MAIN(TstHostileFilesWindows)
#include "tst_hostilefiles_windows.moc"
