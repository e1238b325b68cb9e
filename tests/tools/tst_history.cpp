#include "tools/historyitem.h"
#include "tools/historylist.h"
#include "tools/uniqsortstrcollection.h"

#include <QTest>

#include <algorithm>
#include <climits>
#include <random>
#include <set>

using namespace orv;

namespace {

const QDateTime kStart(QDate(2005, 1, 2), QTime(10, 0, 0));

// Collects the history as "url|title|minutes after kStart".
QStringList describe(const HistoryList& history)
{
    QStringList rows;
    for (const HistoryItem& item : history.Items())
        rows << item.URL() + u'|' + item.Title() + u'|' +
                    QString::number(kStart.secsTo(item.UrlDate()) / 60);
    return rows;
}

QString results(UniqSortStrCollection& collection, const QStringList& adds)
{
    QString added;
    for (const QString& text : adds)
        added += collection.Add(text) ? u'1' : u'0';
    return added;
}

} // namespace

class TstHistory : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sortSel_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("stored");
        QTest::newRow("0 address") << 0 << 0;
        QTest::newRow("1 title") << 1 << 1;
        QTest::newRow("2 date") << 2 << 2;
        QTest::newRow("-1") << -1 << 2;
        QTest::newRow("3") << 3 << 2;
        QTest::newRow("INT_MIN") << INT_MIN << 2;
        QTest::newRow("INT_MAX") << INT_MAX << 2;
    }
    void sortSel()
    {
        QFETCH(int, value);
        QFETCH(int, stored);
        HistoryItem item;
        QCOMPARE(item.SortSel(), 2);
        item.SetSortSel(0);
        item.SetSortSel(value);
        QCOMPARE(item.SortSel(), stored);
    }

    void setItem()
    {
        HistoryItem item;
        item.SetItem(QStringLiteral("http://a/"), QStringLiteral("A"), kStart);
        QCOMPARE(item.URL(), QStringLiteral("http://a/"));
        QCOMPARE(item.Title(), QStringLiteral("A"));
        QCOMPARE(item.UrlDate(), kStart);
    }

    // Each visit is "url|title|historyRows"; visit n happens n minutes after kStart.
    void addWithLimit_data()
    {
        QTest::addColumn<QStringList>("visits");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("distinct, below limit")
            << QStringList{"a|A|50", "b|B|50"} << QStringList{"a|A|0", "b|B|1"};
        QTest::newRow("present address keeps its place")
            << QStringList{"a|A|50", "b|B|50", "c|C|50", "b|B2|50"}
            << QStringList{"a|A|0", "b|B2|3", "c|C|2"};
        QTest::newRow("rows 3, four visits drop the first")
            << QStringList{"a|A|3", "b|B|3", "c|C|3", "d|D|3"}
            << QStringList{"b|B|1", "c|C|2", "d|D|3"};
        QTest::newRow("revisit at the limit removes nothing")
            << QStringList{"a|A|3", "b|B|3", "c|C|3", "a|A2|3"}
            << QStringList{"a|A2|3", "b|B|1", "c|C|2"};
        QTest::newRow("letter case makes two entries")
            << QStringList{"http://x/a|1|50", "http://x/A|2|50"}
            << QStringList{"http://x/a|1|0", "http://x/A|2|1"};
        QTest::newRow("limit 1") << QStringList{"a|A|1", "b|B|1", "b|B2|1"}
                                 << QStringList{"b|B2|2"};
        QTest::newRow("limit 0 keeps nothing") << QStringList{"a|A|0", "b|B|0"} << QStringList{};
        QTest::newRow("negative limit keeps nothing") << QStringList{"a|A|-5"} << QStringList{};
        QTest::newRow("limit 0 drops what was kept")
            << QStringList{"a|A|50", "b|B|50", "c|C|0"} << QStringList{};
        QTest::newRow("lowered limit shrinks to it")
            << QStringList{"a|A|10", "b|B|10", "c|C|10", "d|D|10", "e|E|2"}
            << QStringList{"d|D|3", "e|E|4"};
        QTest::newRow("empty title") << QStringList{"a||5"} << QStringList{"a||0"};
    }
    void addWithLimit()
    {
        QFETCH(QStringList, visits);
        QFETCH(QStringList, expected);
        int minute = 0;
        HistoryList history([&minute] { return kStart.addSecs(60 * minute++); });
        for (const QString& visit : visits) {
            const QStringList parts = visit.split(u'|');
            history.AddToHistory(parts[0], parts[1], parts[2].toInt());
        }
        QCOMPARE(describe(history), expected);
        QCOMPARE(history.Count(), expected.size());
    }

    void explicitTimeAndPositions()
    {
        HistoryList history;
        const QDateTime when(QDate(2004, 12, 15), QTime(23, 59, 59));
        history.AddToHistory(QStringLiteral("a"), QStringLiteral("A"), 50, when);
        history.AddToHistory(QStringLiteral("b"), QStringLiteral("B"), 50);
        QCOMPARE(history.Item(1)->UrlDate(), when);
        QCOMPARE(history.Item(2)->URL(), QStringLiteral("b"));
        QVERIFY(history.Item(2)->UrlDate() > when);
        QCOMPARE(history.Item(0), nullptr);
        QCOMPARE(history.Item(3), nullptr);
        history.Clear();
        QVERIFY(history.IsEmpty());
        QCOMPARE(history.Item(1), nullptr);
    }

    // Adds with ExactCompare as given; "added" holds one digit per add.
    void uniqAdd_data()
    {
        QTest::addColumn<bool>("exact");
        QTest::addColumn<QStringList>("adds");
        QTest::addColumn<QString>("added");
        QTest::addColumn<QStringList>("inOrder");
        QTest::addColumn<QStringList>("sorted");
        QTest::newRow("duplicate and other case refused")
            << false << QStringList{"b", "a", "c", "a", "A"} << "11100"
            << QStringList{"b", "a", "c"} << QStringList{"a", "b", "c"};
        QTest::newRow("other case kept when exact")
            << true << QStringList{"b", "a", "c", "a", "A"} << "11101"
            << QStringList{"b", "a", "c", "A"} << QStringList{"A", "a", "b", "c"};
        QTest::newRow("empty ignored")
            << false << QStringList{"", "x", ""} << "010" << QStringList{"x"} << QStringList{"x"};
        QTest::newRow("ordinal order")
            << true << QStringList{"a", "B", "z", QStringLiteral("ä"), "Z", "b"} << "111111"
            << QStringList{"a", "B", "z", QStringLiteral("ä"), "Z", "b"}
            << QStringList{"B", "Z", "a", "b", "z", QStringLiteral("ä")};
        QTest::newRow("prefixes") << false << QStringList{"ab", "abc", "a", "ab"} << "1110"
                                  << QStringList{"ab", "abc", "a"} << QStringList{"a", "ab", "abc"};
        QTest::newRow("umlaut case-blind")
            << false << QStringList{QStringLiteral("ä"), QStringLiteral("Ä")} << "10"
            << QStringList{QStringLiteral("ä")} << QStringList{QStringLiteral("ä")};
        QTest::newRow("upper-casing that lengthens")
            << false << QStringList{QStringLiteral("straße"), QStringLiteral("STRASSE")} << "10"
            << QStringList{QStringLiteral("straße")} << QStringList{QStringLiteral("straße")};
        // Ordinal order puts upper-case letters before "[", "_", "`" and the
        // lower-case ones, and "Ä" far before "ä": texts that differ only in
        // case lie apart, beyond the entries the search visits.
        QTest::newRow("other case beyond the visited entries")
            << false << QStringList{"E", "Z", "a", "e"} << "1110" << QStringList{"E", "Z", "a"}
            << QStringList{"E", "Z", "a"};
        QTest::newRow("z after Z across the gap")
            << false << QStringList{"Z", "^", "_", "`", "a", "b", "c", "z"} << "11111110"
            << QStringList{"Z", "^", "_", "`", "a", "b", "c"}
            << QStringList{"Z", "^", "_", "`", "a", "b", "c"};
        QTest::newRow("Z after z across the gap")
            << false << QStringList{"z", "a", "b", "_", "[", "Z"} << "111110"
            << QStringList{"z", "a", "b", "_", "["} << QStringList{"[", "_", "a", "b", "z"};
        QTest::newRow("word across the gap")
            << false << QStringList{"ZEBRA", "Zoo", "apple", "mango", "yak", "zebra"} << "111110"
            << QStringList{"ZEBRA", "Zoo", "apple", "mango", "yak"}
            << QStringList{"ZEBRA", "Zoo", "apple", "mango", "yak"};
        QTest::newRow("umlaut across the gap")
            << false << QStringList{QStringLiteral("Ä"), QStringLiteral("Ö"), QStringLiteral("Ü"),
                                    QStringLiteral("ß"), QStringLiteral("à"), QStringLiteral("ä")}
            << "111110"
            << QStringList{QStringLiteral("Ä"), QStringLiteral("Ö"), QStringLiteral("Ü"),
                           QStringLiteral("ß"), QStringLiteral("à")}
            << QStringList{QStringLiteral("Ä"), QStringLiteral("Ö"), QStringLiteral("Ü"),
                           QStringLiteral("ß"), QStringLiteral("à")};
        QTest::newRow("upper-case umlauts after lower-case ones")
            << false
            << QStringList{QStringLiteral("ä"), QStringLiteral("ö"), QStringLiteral("ü"),
                           QStringLiteral("Ö"), QStringLiteral("Ä")}
            << "11100" << QStringList{QStringLiteral("ä"), QStringLiteral("ö"), QStringLiteral("ü")}
            << QStringList{QStringLiteral("ä"), QStringLiteral("ö"), QStringLiteral("ü")};
        QTest::newRow("lengthening across the gap")
            << false << QStringList{"STRASSE", "Sonne", "apfel", QStringLiteral("straße")} << "1110"
            << QStringList{"STRASSE", "Sonne", "apfel"} << QStringList{"STRASSE", "Sonne", "apfel"};
        QTest::newRow("exact across the gap")
            << true << QStringList{"Z", "a", "b", "z"} << "1111" << QStringList{"Z", "a", "b", "z"}
            << QStringList{"Z", "a", "b", "z"};
        QTest::newRow("descending input")
            << false << QStringList{"e", "d", "c", "b", "a"} << "11111"
            << QStringList{"e", "d", "c", "b", "a"} << QStringList{"a", "b", "c", "d", "e"};
    }
    void uniqAdd()
    {
        QFETCH(bool, exact);
        QFETCH(QStringList, adds);
        QFETCH(QString, added);
        QFETCH(QStringList, inOrder);
        QFETCH(QStringList, sorted);
        UniqSortStrCollection collection;
        QVERIFY(!collection.ExactCompare());
        collection.SetExactCompare(exact);
        QCOMPARE(results(collection, adds), added);
        QCOMPARE(collection.StrCollection(), inOrder);
        QCOMPARE(collection.SortedStrCollection(), sorted);
        QCOMPARE(collection.Count(), inOrder.size());
    }

    void findPosition_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("found");
        QTest::addColumn<int>("position");
        QTest::newRow("first") << "b" << true << 1;
        QTest::newRow("middle") << "d" << true << 2;
        QTest::newRow("last") << "h" << true << 4;
        QTest::newRow("case-blind") << "D" << true << 2;
        QTest::newRow("case-blind, entry not visited by the search") << "F" << true << 3;
        QTest::newRow("case-blind, first entry") << "B" << true << 1;
        QTest::newRow("before all") << "a" << false << 1;
        QTest::newRow("after all") << "i" << false << 4;
        QTest::newRow("between 1 and 2") << "c" << false << 2;
        QTest::newRow("between 2 and 3") << "e" << false << 3;
        QTest::newRow("between 3 and 4") << "g" << false << 4;
    }
    void findPosition()
    {
        QFETCH(QString, text);
        QFETCH(bool, found);
        QFETCH(int, position);
        UniqSortStrCollection collection;
        results(collection, {"f", "b", "h", "d"});
        const UniqSortStrCollection::Position pos = collection.FindPosition(text);
        QCOMPARE(pos.found, found);
        QCOMPARE(pos.position, position);
    }

    void findStringSetsExactCompare()
    {
        UniqSortStrCollection collection;
        QVERIFY(!collection.FindString(QStringLiteral("a"), 0)); // empty: nothing found
        collection.Add(QStringLiteral("a"));
        QVERIFY(!collection.FindString(QStringLiteral("A"), 1));
        QVERIFY(collection.ExactCompare());
        QVERIFY(collection.Add(QStringLiteral("A"))); // exact from now on
        QVERIFY(collection.FindString(QStringLiteral("A"), 1));
        QVERIFY(!collection.FindString(QStringLiteral("B"), 2));
        QVERIFY(!collection.ExactCompare());
        QVERIFY(collection.FindString(QStringLiteral("a"), 0));
        QVERIFY(!collection.Add(QStringLiteral("a")));
        QCOMPARE(collection.StrCollection(), (QStringList{"a", "A"}));
    }

    void replaceCollections()
    {
        UniqSortStrCollection collection;
        collection.SetSortedStrCollection({"b", "d"});
        collection.SetStrCollection({"d", "b"});
        QVERIFY(collection.Add(QStringLiteral("c")));
        QVERIFY(!collection.Add(QStringLiteral("B")));
        QCOMPARE(collection.SortedStrCollection(), (QStringList{"b", "c", "d"}));
        QCOMPARE(collection.StrCollection(), (QStringList{"d", "b", "c"}));
        collection.SetSortedStrCollection({});
        QCOMPARE(collection.SortedCount(), 0);
        QVERIFY(collection.Add(QStringLiteral("b"))); // sorted side empty again
    }

    // The case-blind test agrees with upper-casing both texts whole, also for
    // characters whose upper case is longer or lies outside the BMP.
    void caseBlindMatchesUpperCase()
    {
        const QStringList pieces{"a",
                                 "A",
                                 "s",
                                 "S",
                                 QStringLiteral("ä"),
                                 QStringLiteral("Ä"),
                                 QStringLiteral("ß"),
                                 QStringLiteral("ﬀ"),
                                 "f",
                                 "F",
                                 QStringLiteral("\U00010428"),
                                 QStringLiteral("\U00010400")};
        std::mt19937 rng(11);
        auto randomText = [&] {
            QString text;
            const int length = std::uniform_int_distribution<int>(1, 4)(rng);
            for (int i = 0; i < length; ++i)
                text += pieces[std::uniform_int_distribution<int>(0, pieces.size() - 1)(rng)];
            return text;
        };
        int equalSeen = 0;
        for (int i = 0; i < 20000; ++i) {
            const QString entry = randomText();
            const QString text = randomText();
            UniqSortStrCollection collection;
            collection.Add(entry);
            const bool equal = text.toUpper() == entry.toUpper();
            equalSeen += equal;
            QVERIFY2(collection.FindPosition(text).found == equal,
                     qPrintable(text + QStringLiteral(" / ") + entry));
        }
        QVERIFY(equalSeen > 100);
    }

    // Case-blind, a text is added exactly when no text added before equals it
    // after upper-casing both, wherever the two lie in the ordinal order.
    void caseBlindUniqueness()
    {
        const QStringList pieces{"a",
                                 "A",
                                 "z",
                                 "Z",
                                 "_",
                                 "[",
                                 "s",
                                 "SS",
                                 QStringLiteral("ä"),
                                 QStringLiteral("Ä"),
                                 QStringLiteral("ß")};
        std::mt19937 rng(5);
        UniqSortStrCollection collection;
        std::set<QString> upperCased;
        int refused = 0;
        for (int i = 0; i < 4000; ++i) {
            QString text;
            const int length = std::uniform_int_distribution<int>(1, 3)(rng);
            for (int k = 0; k < length; ++k)
                text += pieces[std::uniform_int_distribution<int>(0, pieces.size() - 1)(rng)];
            const bool isNew = upperCased.insert(text.toUpper()).second;
            refused += !isNew;
            QVERIFY2(collection.Add(text) == isNew, qPrintable(text));
            QVERIFY(collection.FindString(text, 0));
        }
        QCOMPARE(collection.Count(), int(upperCased.size()));
        QVERIFY(refused > 1000);
        QStringList sorted = collection.StrCollection();
        std::sort(sorted.begin(), sorted.end());
        QCOMPARE(collection.SortedStrCollection(), sorted);
    }

    // Enough texts to split the internal storage many times, in random order.
    void manyMatchesStdSet()
    {
        std::mt19937 rng(7);
        UniqSortStrCollection collection;
        collection.SetExactCompare(true);
        std::set<QString> reference;
        QStringList firstSeen;
        for (int i = 0; i < 6000; ++i) {
            const QString text = QStringLiteral("http://h%1/p")
                                     .arg(std::uniform_int_distribution<int>(0, 4000)(rng));
            const bool isNew = reference.insert(text).second;
            if (isNew)
                firstSeen << text;
            QCOMPARE(collection.Add(text), isNew);
        }
        QCOMPARE(collection.StrCollection(), firstSeen);
        QCOMPARE(collection.SortedStrCollection(), QStringList(reference.begin(), reference.end()));
        QCOMPARE(collection.SortedAt(1), *reference.begin());
        QCOMPARE(collection.SortedAt(collection.SortedCount()), *reference.rbegin());
        for (const QString& text : firstSeen)
            QVERIFY(collection.FindString(text, 1));
    }
};

QTEST_GUILESS_MAIN(TstHistory)
#include "tst_history.moc"
