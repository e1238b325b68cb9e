// Adds 100,000 distinct address-like texts to UniqSortStrCollection and, as
// the floor, inserts the same texts into a std::set<QString>. Each side runs
// several times in turn; the best time of each counts.

#include "tools/uniqsortstrcollection.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <random>
#include <set>

namespace {

constexpr int kAdds = 100000;
constexpr int kRounds = 5;

QStringList makeAddresses()
{
    static const char* const schemes[] = {"http://", "https://"};
    static const char* const syllables[] = {"news",  "web", "portal", "info",  "shop", "data",
                                            "media", "net", "city",   "forum", "blog", "press"};
    static const char* const tlds[] = {".de", ".com", ".org", ".net", ".at", ".ch"};
    static const char* const dirs[] = {"artikel", "index", "archiv", "produkte", "suche",
                                       "bilder",  "2005",  "de",     "news",     "page"};
    std::mt19937 rng(20050102);
    auto pick = [&rng](const auto& list) {
        return list[std::uniform_int_distribution<std::size_t>(0, std::size(list) - 1)(rng)];
    };
    std::set<QString> seen;
    QStringList addresses;
    addresses.reserve(kAdds);
    while (addresses.size() < kAdds) {
        QString url = QString::fromLatin1(pick(schemes));
        url += QStringLiteral("www.") + QString::fromLatin1(pick(syllables)) +
               QString::fromLatin1(pick(syllables)) +
               QString::number(std::uniform_int_distribution<int>(0, 99)(rng)) +
               QString::fromLatin1(pick(tlds));
        const int depth = std::uniform_int_distribution<int>(0, 3)(rng);
        for (int d = 0; d < depth; ++d)
            url += u'/' + QString::fromLatin1(pick(dirs));
        url += QStringLiteral("/page") +
               QString::number(std::uniform_int_distribution<int>(0, 999999)(rng)) +
               QStringLiteral(".html");
        if (seen.insert(url).second)
            addresses.append(url);
    }
    std::shuffle(addresses.begin(), addresses.end(), rng);
    return addresses;
}

} // namespace

int main()
{
    const QStringList addresses = makeAddresses();
    double bestCollection = 1e300;
    double bestSet = 1e300;
    for (int round = 0; round < kRounds; ++round) {
        {
            QElapsedTimer timer;
            timer.start();
            orv::UniqSortStrCollection collection;
            for (const QString& url : addresses)
                collection.Add(url);
            const double ms = timer.nsecsElapsed() / 1e6;
            if (collection.Count() != kAdds || collection.SortedCount() != kAdds) {
                std::fprintf(stderr, "bench_uniq: collection holds %d texts, expected %d\n",
                             collection.Count(), kAdds);
                return 1;
            }
            bestCollection = std::min(bestCollection, ms);
        }
        {
            QElapsedTimer timer;
            timer.start();
            std::set<QString> set;
            for (const QString& url : addresses)
                set.insert(url);
            const double ms = timer.nsecsElapsed() / 1e6;
            if (set.size() != static_cast<std::size_t>(kAdds))
                return 1;
            bestSet = std::min(bestSet, ms);
        }
    }
    std::printf("uniq: adds=%d collection_ms=%.1f set_ms=%.1f ratio=%.2f\n", kAdds, bestCollection,
                bestSet, bestCollection / bestSet);
    return 0;
}
