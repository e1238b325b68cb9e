#include "browser/browsercommands.h"
#include "browser/browsertoolbar.h"
#include "browser/findbar.h"
#include "browserfixture.h"
#include "common/filetools.h"
#include "platform/downloads.h"
#include "platform/engine.h"
#include "platform/printing.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineView>

using namespace orv;

namespace {

// Points a printer at a PDF file.
void toPdf(QPrinter& printer, const QString& path)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
}

} // namespace

class TstPageCommands : public QObject {
    Q_OBJECT

    BrowserFixture f;
    QByteArray m_payload;

    // The seam answers the next file dialog with `name` in `folder`; the
    // whole path.
    QString answerFileDialog(const QTemporaryDir& folder, const QString& name)
    {
        const QString path = folder.filePath(name);
        f.dialogs.nextPath = path;
        return path;
    }

private Q_SLOTS:
    void initTestCase()
    {
        f.server.serve("/text", "text/html",
                       HtmlPage("Seite A", "<p>Alpha eins</p><p>Beta</p><p>alpha zwei</p>"));
        for (int i = 0; i < 5000; ++i)
            m_payload += QByteArray::number(i * 7919) + '\0';
        TestResource attachment;
        attachment.contentType = "application/octet-stream";
        attachment.body = m_payload;
        attachment.extraHeaders = "Content-Disposition: attachment; filename=\"daten.bin\"\r\n";
        f.server.serve("/daten", attachment);
    }
    void init() { f.start(); }
    void cleanup()
    {
        SetPrintDialogHook({});
        SetPreviewDialogHook({});
        f.stop();
    }

    // A certificate error belongs to the page: a frame that navigates
    // inside it does not clear it, a new page does.
    void certificateErrorOutlivesFrameNavigations()
    {
        f.server.serve("/framed", "text/html",
                       "<title>Rahmen</title><iframe id='f' src='/frame1'></iframe>");
        f.server.serve("/frame1", "text/html", "<title>eins</title>");
        f.server.serve("/frame2", "text/html", "<title>zwei</title>");
        frmBrowser* w = f.open(f.server.url(QStringLiteral("/framed")));
        QVERIFY(w);
        w->page()->noteCertificateError();
        QVariant done;
        w->page()->runJavaScript(QStringLiteral("document.getElementById('f').src = '/frame2'; 1"),
                                 [&](const QVariant& v) { done = v; });
        QTRY_VERIFY_WITH_TIMEOUT(done.isValid(), kWait);
        // The frame's document is offered to the history once it is there.
        const auto visited = [&] {
            for (const HistoryItem& item : f.main->History().Items())
                if (item.URL().endsWith(QStringLiteral("/frame2")))
                    return true;
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(visited(), kWait);
        QVERIFY(w->page()->certificateErrorSeen());
        QVERIFY(BrowserFixture::WaitLoad(
            w, [&] { w->Navigate(f.server.url(QStringLiteral("/frame1")).toString()); }));
        QVERIFY(!w->page()->certificateErrorSeen());
    }

    // Typed addresses without a scheme are web addresses; only an existing
    // local path is a file.
    void typedAddresses_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected"); // "%1": the server's port, "%2": the folder
        QTest::newRow("host and port") << "127.0.0.1:%1/text"
                                       << "http://127.0.0.1:%1/text";
        QTest::newRow("name and port") << "localhost:%1/text"
                                       << "http://localhost:%1/text";
        QTest::newRow("with scheme") << "http://127.0.0.1:%1/text"
                                     << "http://127.0.0.1:%1/text";
        QTest::newRow("local folder") << "%2"
                                      << "file://%2/";
    }
    void typedAddresses()
    {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        const QString port = QString::number(f.server.port());
        const QString folder = QDir::tempPath();
        const auto fill = [&](QString text) {
            return text.replace(QLatin1String("%1"), port).replace(QLatin1String("%2"), folder);
        };
        frmBrowser* w = f.main->CreateBrowser(QStringLiteral("test"), false);
        w->cboAddress()->setEditText(fill(typed));
        w->NavigateToAddress();
        QTRY_COMPARE_WITH_TIMEOUT(w->LocationURL(), fill(expected), kWait);
    }

    void saveWritesThePageWhereTheSeamSays_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("marker");
        QTest::newRow("complete page") << "seite.html" << QByteArray("Alpha eins");
        QTest::newRow("archive") << "seite.mht" << QByteArray("MIME-Version");
    }
    void saveWritesThePageWhereTheSeamSays()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, marker);
        frmBrowser* w = f.open(f.server.url("/text"));
        QVERIFY(w);
        QTemporaryDir target;
        const QString path = answerFileDialog(target, name);
        QSignalSpy started(Downloads::Install(BrowserProfile()), &Downloads::started);
        QTest::mouseClick(w->tbToolBar()->Button(QStringLiteral("Save")), Qt::LeftButton);
        QCOMPARE(f.dialogs.fileDialogs.size(), 1);
        const FileDialogRequest asked = f.dialogs.fileDialogs.constFirst();
        QCOMPARE(asked.mode, FileDialogRequest::Mode::Save);
        QCOMPARE(asked.title, QStringLiteral("Webseite speichern..."));
        QCOMPARE(asked.fileName, QStringLiteral("Seite A.html"));
        // The save arrives accepted: no second question.
        QVERIFY(started.wait(kWait));
        auto* request = started.constFirst().constFirst().value<QWebEngineDownloadRequest*>();
        QVERIFY(request->isSavePageDownload());
        QTRY_VERIFY_WITH_TIMEOUT(request->isFinished(), kWait);
        QCOMPARE(request->state(), QWebEngineDownloadRequest::DownloadCompleted);
        QCOMPARE(f.dialogs.fileDialogs.size(), 1);
        QVERIFY(ReadBytes(path).contains(marker));
    }

    void saveWithoutDocumentOrWithCancelledDialogDoesNothing()
    {
        frmBrowser* blank = f.main->CreateBrowser(QStringLiteral("test"), false);
        WebSave(*blank);
        QVERIFY(f.dialogs.fileDialogs.isEmpty());

        frmBrowser* w = f.open(f.server.url("/text"));
        QVERIFY(w);
        QSignalSpy requested(BrowserProfile(), &QWebEngineProfile::downloadRequested);
        WebSave(*w);
        QCOMPARE(f.dialogs.fileDialogs.size(), 1);
        QVERIFY(!requested.wait(500));
    }

    void saveFileNames_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << "Seite A"
                               << "Seite A.html";
        QTest::newRow("path characters") << "a/b\\c:d*e?f\"g<h>i|j"
                                         << "a_b_c_d_e_f_g_h_i_j.html";
        QTest::newRow("empty") << ""
                               << "Webseite.html";
        QTest::newRow("dots only") << "..."
                                   << "Webseite.html";
        QTest::newRow("control characters") << "x\ny\tz"
                                            << "x_y_z.html";
        QTest::newRow("long") << QString(300, QLatin1Char('w'))
                              << QString(100, QLatin1Char('w')) + ".html";
    }
    void saveFileNames()
    {
        QFETCH(QString, title);
        QFETCH(QString, name);
        QCOMPARE(SaveFileNameFor(title), name);
    }

    void downloadGoesWhereTheSeamSays()
    {
        frmBrowser* w = f.open(f.server.url("/text"));
        QVERIFY(w);
        QTemporaryDir target;
        const QString path = answerFileDialog(target, QStringLiteral("gewählt.bin"));
        QSignalSpy started(Downloads::Install(BrowserProfile()), &Downloads::started);
        w->Navigate(f.server.url("/daten").toString());
        QVERIFY(started.wait(kWait));
        QCOMPARE(f.dialogs.fileDialogs.size(), 1);
        QCOMPARE(f.dialogs.fileDialogs.constFirst().mode, FileDialogRequest::Mode::Save);
        QCOMPARE(f.dialogs.fileDialogs.constFirst().fileName, QStringLiteral("daten.bin"));
        auto* request = started.constFirst().constFirst().value<QWebEngineDownloadRequest*>();
        QPointer<DownloadProgress> progress = started.constFirst().at(1).value<DownloadProgress*>();
        QVERIFY(progress);
        QVERIFY(!progress->cancelButton()->accessibleName().isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(request->isFinished(), kWait);
        QCOMPARE(request->state(), QWebEngineDownloadRequest::DownloadCompleted);
        QCOMPARE(ReadBytes(path), m_payload);
        // The progress window goes when the download has ended.
        QTRY_VERIFY_WITH_TIMEOUT(progress.isNull(), kWait);
        QVERIFY(f.dialogs.messages.isEmpty());
    }

    void failedDownloadIsReported()
    {
        frmBrowser* w = f.open(f.server.url("/text"));
        QVERIFY(w);
        QTemporaryDir target;
        QVERIFY(PutBytes(target.filePath(QStringLiteral("datei")), {}));
        // A folder below a plain file cannot be made, not even by root.
        f.dialogs.nextPath = target.filePath(QStringLiteral("datei/unter/daten.bin"));
        QSignalSpy started(Downloads::Install(BrowserProfile()), &Downloads::started);
        w->Navigate(f.server.url("/daten").toString());
        QVERIFY(started.wait(kWait));
        auto* request = started.constFirst().constFirst().value<QWebEngineDownloadRequest*>();
        QTRY_VERIFY_WITH_TIMEOUT(request->isFinished(), kWait);
        QVERIFY(request->state() != QWebEngineDownloadRequest::DownloadCompleted);
        QTRY_COMPARE_WITH_TIMEOUT(f.dialogs.messages.size(), 1, kWait);
        QCOMPARE(f.dialogs.messages.constFirst().title, QStringLiteral("Meldung"));
        QVERIFY(f.dialogs.messages.constFirst().text.contains(QStringLiteral("daten.bin")));
    }

    void cancelButtonCancelsQuietly()
    {
        frmBrowser* w = f.open(f.server.url("/text"));
        QVERIFY(w);
        QTemporaryDir target;
        const QString path = answerFileDialog(target, QStringLiteral("daten.bin"));
        QPointer<QWebEngineDownloadRequest> request;
        const QMetaObject::Connection clicked =
            connect(Downloads::Install(BrowserProfile()), &Downloads::started, this,
                    [&request](QWebEngineDownloadRequest* r, DownloadProgress* progress) {
                        request = r;
                        QTest::mouseClick(progress->cancelButton(), Qt::LeftButton);
                    });
        w->Navigate(f.server.url("/daten").toString());
        QTRY_VERIFY_WITH_TIMEOUT(request && request->isFinished(), kWait);
        disconnect(clicked);
        QCOMPARE(request->state(), QWebEngineDownloadRequest::DownloadCancelled);
        QVERIFY(!QFile::exists(path));
        // The handlers of the finished download ran with its last change of state.
        QVERIFY(f.dialogs.messages.isEmpty());
    }

    void cancelledSaveDialogCancelsTheDownload()
    {
        frmBrowser* w = f.open(f.server.url("/text"));
        QVERIFY(w);
        QTemporaryDir downloads;
        BrowserProfile()->setDownloadPath(downloads.path());
        QList<QWebEngineDownloadRequest::DownloadState> states;
        // Connected after the handler: sees the request as the handler left it.
        const QMetaObject::Connection seen =
            connect(BrowserProfile(), &QWebEngineProfile::downloadRequested, this,
                    [&states](QWebEngineDownloadRequest* request) { states << request->state(); });
        QSignalSpy started(Downloads::Install(BrowserProfile()), &Downloads::started);
        w->Navigate(f.server.url("/daten").toString());
        QTRY_COMPARE_WITH_TIMEOUT(states.size(), 1, kWait);
        disconnect(seen);
        QCOMPARE(states.constFirst(), QWebEngineDownloadRequest::DownloadCancelled);
        QCOMPARE(f.dialogs.fileDialogs.size(), 1);
        QCOMPARE(started.size(), 0);
        QVERIFY(QDir(downloads.path()).isEmpty());
    }

    void printGoesThroughTheDialogHook()
    {
        frmBrowser* w = f.open(f.server.url("/text"));
        QVERIFY(w);
        QTemporaryDir target;
        const QString pdf = target.filePath(QStringLiteral("druck.pdf"));

        // Cancelled dialog: nothing is printed.
        int asked = 0;
        SetPrintDialogHook([&asked](QPrinter&, QWidget*) {
            ++asked;
            return false;
        });
        QTest::mouseClick(w->tbToolBar()->Button(QStringLiteral("Print")), Qt::LeftButton);
        QCOMPARE(asked, 1);
        QVERIFY(!IsPrinting(w->brwWebBrowser()));

        SetPrintDialogHook([&asked, pdf](QPrinter& printer, QWidget*) {
            ++asked;
            toPdf(printer, pdf);
            return true;
        });
        QSignalSpy finished(w->brwWebBrowser(), &QWebEngineView::printFinished);
        w->tbToolBar()->ButtonMenuClick(w->tbToolBar()->Entry(QStringLiteral("print")));
        QCOMPARE(asked, 2);
        QVERIFY(IsPrinting(w->brwWebBrowser()));
        // One print at a time: a second one is refused without a dialog.
        QVERIFY(!PrintView(w->brwWebBrowser()));
        QCOMPARE(asked, 2);
        QVERIFY(finished.wait(kWait));
        QCOMPARE(finished.constFirst().constFirst().toBool(), true);
        QVERIFY(!IsPrinting(w->brwWebBrowser()));
        QVERIFY(ReadBytes(pdf).startsWith("%PDF"));

        // A page that asks to be printed gets the print dialog.
        SetPrintDialogHook([&asked](QPrinter&, QWidget*) {
            ++asked;
            return false;
        });
        w->page()->runJavaScript(QStringLiteral("window.print()"));
        QTRY_COMPARE_WITH_TIMEOUT(asked, 3, kWait);
    }

    void previewPaintsThePages()
    {
        frmBrowser* w = f.open(f.server.url("/text"));
        QVERIFY(w);
        QTemporaryDir target;
        const QString pdf = target.filePath(QStringLiteral("vorschau.pdf"));
        bool busyInside = false;
        SetPreviewDialogHook([&](QPrinter&, QWidget*, const PaintPages& paint) {
            busyInside = IsPrinting(w->brwWebBrowser());
            QPrinter printer(QPrinter::HighResolution);
            toPdf(printer, pdf);
            paint(&printer); // returns once the pages are on the printer
        });
        w->tbToolBar()->ButtonMenuClick(w->tbToolBar()->Entry(QStringLiteral("ppreview")));
        QVERIFY(busyInside);
        QVERIFY(!IsPrinting(w->brwWebBrowser()));
        QVERIFY(ReadBytes(pdf).startsWith("%PDF"));

        // Nothing without a document.
        frmBrowser* blank = f.main->CreateBrowser(QStringLiteral("test"), false);
        busyInside = false;
        WebPrintPreview(*blank);
        QVERIFY(!busyInside);
    }

    void findBarFindsText()
    {
        frmBrowser* w = f.open(f.server.url("/text"));
        QVERIFY(w);
        QVERIFY(!w->tbToolBar()->findBar());
        w->tbToolBar()->ButtonMenuClick(w->tbToolBar()->Entry(QStringLiteral("DocSearch")));
        FindBar* bar = w->tbToolBar()->findBar();
        QVERIFY(bar);
        QVERIFY(bar->isVisible());
        QVERIFY(bar->geometry().top() >= w->brwWebBrowser()->geometry().bottom());

        QSignalSpy searched(bar, &FindBar::searched);
        bar->field()->setText(QStringLiteral("alpha"));
        QTRY_VERIFY_WITH_TIMEOUT(!searched.isEmpty(), kWait);
        QCOMPARE(searched.constLast().at(1).toInt(), 2);
        QCOMPARE(searched.constLast().at(2).toInt(), 1);
        QCOMPARE(bar->resultText(), QStringLiteral("1 von 2"));

        searched.clear();
        QTest::keyClick(bar->field(), Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(!searched.isEmpty(), kWait);
        QCOMPARE(searched.constLast().at(2).toInt(), 2);
        searched.clear();
        QTest::keyClick(bar->field(), Qt::Key_Return, Qt::ShiftModifier);
        QTRY_VERIFY_WITH_TIMEOUT(!searched.isEmpty(), kWait);
        QCOMPARE(searched.constLast().at(2).toInt(), 1);

        searched.clear();
        bar->field()->setText(QStringLiteral("Gamma"));
        QTRY_VERIFY_WITH_TIMEOUT(!searched.isEmpty(), kWait);
        QCOMPARE(searched.constLast().at(1).toInt(), 0);
        QCOMPARE(bar->resultText(), QStringLiteral("Nicht gefunden"));

        QTest::keyClick(bar->field(), Qt::Key_Escape);
        QVERIFY(!bar->isVisible());

        // Ctrl+F in the window opens it again with its text selected, also
        // from the page.
        QTest::keySequence(w->cboAddress(), QKeySequence(QKeySequence::Find));
        QVERIFY(bar->isVisible());
        QCOMPARE(bar->field()->selectedText(), QStringLiteral("Gamma"));
        bar->Close();
        QVERIFY(!bar->isVisible());
        QTest::keySequence(w->brwWebBrowser()->focusProxy(), QKeySequence(QKeySequence::Find));
        QVERIFY(bar->isVisible());
    }
};

ORV_GUI_TEST_MAIN(TstPageCommands)

#include "tst_pagecommands.moc"
