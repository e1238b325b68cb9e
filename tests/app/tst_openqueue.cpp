#include "app/openqueue.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <utility>

using orv::OpenQueue;

class TestOpenQueue : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void opensAboutOneSecondLater()
    {
        OpenQueue queue;
        QVERIFY(queue.ExternalOpenEnabled());
        QSignalSpy opened(&queue, &OpenQueue::openEntries);
        QVERIFY(!queue.receive(QString())); // raise only
        QVERIFY(!queue.isTimerActive());
        QElapsedTimer clock;
        clock.start();
        QVERIFY(queue.receive(QStringLiteral("/tmp/a.html")));
        QVERIFY(queue.isTimerActive());
        QVERIFY(opened.wait(2000));
        const qint64 elapsed = clock.elapsed();
        QVERIFY2(elapsed >= 900 && elapsed < 1900, qPrintable(QString::number(elapsed)));
        QCOMPARE(opened.count(), 1);
        QCOMPARE(opened.at(0).at(0).toStringList(), QStringList{QStringLiteral("/tmp/a.html")});
        QVERIFY(queue.PendingOpenQueue().isEmpty());
        QVERIFY(!queue.isTimerActive());
    }

    void entriesBeforeTheTickOpenTogetherInOrder()
    {
        OpenQueue queue;
        queue.setInterval(200);
        QSignalSpy opened(&queue, &OpenQueue::openEntries);
        const QStringList entries = {QStringLiteral("c"), QStringLiteral("a"), QStringLiteral("b"),
                                     QStringLiteral("a")};
        for (const QString& entry : entries)
            QVERIFY(queue.receive(entry));
        QCOMPARE(queue.PendingOpenQueue(), entries);
        QVERIFY(opened.wait(2000));
        // Nothing is left and the one-shot timer is off: no second tick can
        // follow.
        QCOMPARE(opened.count(), 1);
        QVERIFY(queue.PendingOpenQueue().isEmpty());
        QVERIFY(!queue.isTimerActive());
        QCOMPARE(opened.at(0).at(0).toStringList(), entries);
    }

    void laterEntryDoesNotRestartTheTimer()
    {
        OpenQueue queue;
        queue.setInterval(400);
        QSignalSpy opened(&queue, &OpenQueue::openEntries);
        QElapsedTimer clock;
        clock.start();
        queue.receive(QStringLiteral("first"));
        // The second entry arrives from the event loop while the timer runs.
        bool secondQueued = false;
        QTimer::singleShot(250, &queue, [&] {
            secondQueued = queue.isTimerActive() && queue.receive(QStringLiteral("second"));
        });
        QVERIFY(opened.wait(2000));
        QVERIFY(secondQueued);
        QVERIFY2(clock.elapsed() < 600, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(opened.at(0).at(0).toStringList(),
                 (QStringList{QStringLiteral("first"), QStringLiteral("second")}));
    }

    void suspendedDropsArguments()
    {
        OpenQueue queue;
        queue.setInterval(100);
        QSignalSpy changed(&queue, &OpenQueue::externalOpenChanged);
        QSignalSpy opened(&queue, &OpenQueue::openEntries);
        queue.SuspendExternalOpen(true);
        queue.SuspendExternalOpen(true); // reported once
        QVERIFY(!queue.ExternalOpenEnabled());
        QVERIFY(!queue.receive(QStringLiteral("/tmp/while-dialog.html")));
        QVERIFY(queue.PendingOpenQueue().isEmpty());
        QVERIFY(!queue.isTimerActive());
        queue.SuspendExternalOpen(false);
        QVERIFY(queue.ExternalOpenEnabled());
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.at(0).at(0).toBool(), false);
        QCOMPARE(changed.at(1).at(0).toBool(), true);
        // Nothing was queued and no timer runs: nothing can open.
        QVERIFY(queue.PendingOpenQueue().isEmpty());
        QVERIFY(!queue.isTimerActive());
        QCOMPARE(opened.count(), 0);
        QVERIFY(queue.receive(QStringLiteral("/tmp/after.html")));
        QVERIFY(opened.wait(2000));
        QCOMPARE(opened.at(0).at(0).toStringList(), QStringList{QStringLiteral("/tmp/after.html")});
    }

    void queuedEntriesSurviveASuspension()
    {
        OpenQueue queue;
        queue.setInterval(100);
        QSignalSpy opened(&queue, &OpenQueue::openEntries);
        queue.receive(QStringLiteral("vorher"));
        queue.SuspendExternalOpen(true);
        QVERIFY(opened.wait(2000));
        QCOMPARE(opened.at(0).at(0).toStringList(), QStringList{QStringLiteral("vorher")});
    }

    void entryArrivingWhileOpeningWaitsForNextTick()
    {
        OpenQueue queue;
        queue.setInterval(100);
        QSignalSpy opened(&queue, &OpenQueue::openEntries);
        bool first = true;
        connect(&queue, &OpenQueue::openEntries, this, [&](const QStringList&) {
            if (std::exchange(first, false))
                queue.receive(QStringLiteral("spaeter"));
        });
        queue.receive(QStringLiteral("frueher"));
        QTRY_COMPARE_WITH_TIMEOUT(opened.count(), 2, 2000);
        QCOMPARE(opened.at(0).at(0).toStringList(), QStringList{QStringLiteral("frueher")});
        QCOMPARE(opened.at(1).at(0).toStringList(), QStringList{QStringLiteral("spaeter")});
    }

    void reduction_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("queued");
        QTest::newRow("path without colon, blanks kept")
            << QStringLiteral("/home/u/Meine Seiten/a b.html")
            << QStringLiteral("/home/u/Meine Seiten/a b.html");
        QTest::newRow("one colon, blanks kept")
            << QStringLiteral("http://host/a b c") << QStringLiteral("http://host/a b c");
        QTest::newRow("one network prefix")
            << QStringLiteral("\\\\server\\x y") << QStringLiteral("\\\\server\\x y");
        QTest::newRow("port number, no blank")
            << QStringLiteral("http://host:8080/a") << QStringLiteral("http://host:8080/a");
        QTest::newRow("two colons, cut at the blank")
            << QStringLiteral("http://host:8080/a b") << QStringLiteral("http://host:8080/a");
        QTest::newRow("quoted first argument")
            << QStringLiteral("\"C:/a b.html\" http://x") << QStringLiteral("C:/a b.html");
        QTest::newRow("quote never closed")
            << QStringLiteral("\"a:b c:d") << QStringLiteral("a:b c:d");
        QTest::newRow("colon plus network prefix")
            << QStringLiteral("\\\\s\\a x:y") << QStringLiteral("\\\\s\\a");
        QTest::newRow("single backslashes do not count")
            << QStringLiteral("C:\\a b\\c") << QStringLiteral("C:\\a b\\c");
    }
    void reduction()
    {
        QFETCH(QString, argument);
        QFETCH(QString, queued);
        QCOMPARE(OpenQueue::ReduceArgument(argument), queued);
        OpenQueue queue;
        QVERIFY(queue.receive(argument));
        QCOMPARE(queue.PendingOpenQueue(), QStringList{queued});
    }
};

QTEST_GUILESS_MAIN(TestOpenQueue)
#include "tst_openqueue.moc"
