// A long run: windows are opened and closed in batches, link round trips
// step through pages, and the main process's resident memory at the end
// stays near what it was after the first batch. The full run (2,000 windows,
// 200 round-trip steps) needs ORVANE_LONGRUN_FULL=1; without it a shortened
// run keeps the test short.

#include "browser/frmbrowser.h"
#include "browser/refreshdialog.h"
#include "browser/roundtrip.h"
#include "common/guitest.h"
#include "common/mainwindowfixture.h"
#include "mainwin/mdiform.h"

#include <QElapsedTimer>
#include <QFile>
#include <QMdiArea>
#include <QPointer>
#include <QSet>
#include <QTabBar>

#include <algorithm>

#include <malloc.h>

namespace orv {

namespace {

constexpr int kBatchSize = 50;
constexpr int kFullWindows = 2000;
constexpr int kFullSteps = 200;
constexpr int kShortWindows = 300;
constexpr int kShortSteps = 30;
// Growth of resident memory allowed from after the first batch to the end.
constexpr double kAllowedGrowth = 0.10;
// Per batch: the windows to settle and to go, the round trip to end.
constexpr int kBatchWait = 120000;
// Resident memory is reported after every so many batches.
constexpr int kReportEvery = 10;
// The full run takes longer than a test function may by default.
constexpr char kFullFunctionTimeoutMs[] = "7200000";

struct RunSize {
    int windows;
    int steps;
};

bool fullForm()
{
    return qEnvironmentVariableIntValue("ORVANE_LONGRUN_FULL") == 1;
}

RunSize runSize()
{
    return fullForm() ? RunSize{kFullWindows, kFullSteps} : RunSize{kShortWindows, kShortSteps};
}

// Resident memory of this process in KiB, after the allocator has handed
// back what it holds free.
qint64 residentKiB()
{
    malloc_trim(0);
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').constFirst().toLongLong();
    }
    return -1;
}

} // namespace

class TestLongRun : public QObject, private MainWindowFixture<> {
    Q_OBJECT

    int m_stepsPerBatch = 0;
    int m_steps = 0;

    // Opens a batch of windows (the first one takes a round trip of
    // m_stepsPerBatch steps), waits until all have settled and the trip has
    // ended, then closes them all and waits until every one is deleted.
    void runBatch(int batch)
    {
        QList<QPointer<frmBrowser>> windows;
        QSet<const frmBrowser*> settled;
        for (int i = 0; i < kBatchSize; ++i) {
            const QString path =
                i == 0 ? QStringLiteral("/trip?%1").arg(batch) : QStringLiteral("/tiny");
            frmBrowser* w = m_main->OpenNewBrowser(m_server.url(path).toString());
            QVERIFY(w);
            connect(w, &frmBrowser::settled, w, [&settled, w] { settled.insert(w); });
            windows << w;
        }
        QTRY_COMPARE_WITH_TIMEOUT(settled.size(), kBatchSize, kBatchWait);

        frmBrowser* traveller = windows.constFirst();
        QSignalSpy prepared(&traveller->roundtrip(), &Roundtrip::prepared);
        QSignalSpy stepped(&traveller->roundtrip(), &Roundtrip::stepped);
        QSignalSpy finished(&traveller->roundtrip(), &Roundtrip::finished);
        traveller->StartRoundtrip();
        QTRY_COMPARE_WITH_TIMEOUT(prepared.size(), 1, kBatchWait);
        QCOMPARE(prepared.constFirst().constFirst().toInt(), m_stepsPerBatch);
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, kBatchWait);
        m_steps += int(stepped.size());

        m_main->CloseAllBrowser();
        QTRY_COMPARE_WITH_TIMEOUT(m_main->Browser().size(), 0, kBatchWait);
        QTRY_VERIFY_WITH_TIMEOUT(
            std::all_of(windows.cbegin(), windows.cend(), [](const auto& w) { return w.isNull(); }),
            kBatchWait);
        QCOMPARE(m_main->tabStrip().TabStrip1()->count(), 0);
        QCOMPARE(m_main->mdiArea()->subWindowList().size(), 0);
        QCOMPARE(m_main->registry().counter(), 0);
    }

private Q_SLOTS:
    void initTestCase()
    {
        InstallDialogs(&m_dialogs);
        ActivityTimings fast;
        fast.stepMs = 50;
        fast.giveUpMs = 5000;
        ActivityTimings::Set(fast);
        m_stepsPerBatch = runSize().steps / (runSize().windows / kBatchSize);
        m_server.serve("/tiny", "text/html", HtmlPage("Klein", "<p>Seite</p>"));
        m_server.serve("/p", "text/html", HtmlPage("Etappe", "<p>Etappe</p>"));
        m_server.serve("/trip", "text/html",
                       HtmlPage("Reise", "<script>var b = location.search.substring(1);"
                                         "for (var i = 1; i <= " +
                                             QByteArray::number(m_stepsPerBatch) +
                                             "; ++i) document.write(\"<a href='\" +"
                                             " location.origin + \"/p?\" + b + \"-\" + i +"
                                             " \"'>\" + i + \"</a> \");</script>"));
    }
    void init() { openMainWindow(); }
    void cleanup() { closeMainWindow(); }

    void memoryStaysAfterManyWindowsAndSteps()
    {
        const RunSize size = runSize();
        const int batches = size.windows / kBatchSize;
        QElapsedTimer clock;
        clock.start();
        qint64 afterFirst = 0;
        for (int batch = 0; batch < batches; ++batch) {
            runBatch(batch);
            if (QTest::currentTestFailed())
                return;
            if (batch == 0)
                afterFirst = residentKiB();
            else if ((batch + 1) % kReportEvery == 0)
                qInfo().noquote() << QStringLiteral("after %1 windows: %2 KiB")
                                         .arg((batch + 1) * kBatchSize)
                                         .arg(residentKiB());
        }
        const qint64 atEnd = residentKiB();
        qInfo().noquote() << QStringLiteral(
                                 "long run: %1 windows, %2 round-trip steps, %3 s; resident "
                                 "memory after the first batch %4 KiB, at the end %5 KiB "
                                 "(%6 %); history %7 entries")
                                 .arg(batches * kBatchSize)
                                 .arg(m_steps)
                                 .arg(clock.elapsed() / 1000.0, 0, 'f', 1)
                                 .arg(afterFirst)
                                 .arg(atEnd)
                                 .arg(100.0 * double(atEnd - afterFirst) / double(afterFirst), 0,
                                      'f', 1)
                                 .arg(m_main->History().Count());
        QCOMPARE(m_steps, size.steps);
        QVERIFY(afterFirst > 0);
        QVERIFY2(double(atEnd) <= double(afterFirst) * (1.0 + kAllowedGrowth),
                 qPrintable(QStringLiteral("%1 KiB -> %2 KiB").arg(afterFirst).arg(atEnd)));
        QVERIFY(m_dialogs.messages.isEmpty());
    }
};

} // namespace orv

int main(int argc, char** argv)
{
    if (orv::fullForm() && !qEnvironmentVariableIsSet("QTEST_FUNCTION_TIMEOUT"))
        qputenv("QTEST_FUNCTION_TIMEOUT", orv::kFullFunctionTimeoutMs);
    return orv::RunGuiTest<orv::TestLongRun>(argc, argv);
}
#include "tst_longrun.moc"
