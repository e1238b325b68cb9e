// The bookmark store against plain file access: an archive of 100 folders of
// 100 bookmarks, every text field filled to its width with German text.
//   load:  LoadAllThema plus every folder's LoadBookmarks, against reading the
//          same bytes (Book.bkm and the 100 folder files) with QFile::readAll.
//   save:  SaveAllThema with every folder marked edited, against writing the
//          same bytes to as many files with QFile (no fsync on either side);
//          both sides replace files that exist already.
// Each side runs several times in turn; the best time of each counts. The
// ratio printed is the larger of the two.

#include "bookmarks/book.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kFolders = 100;
constexpr int kBookmarks = 100;
constexpr int kRounds = 15;

// Text of exactly `width` characters (each one CP1252 byte) from a rotating
// stock of words, starting at word `seed`.
QString filledText(int width, int seed)
{
    static const char16_t* const words[] = {u"Nachrichten",
                                            u"über",
                                            u"Straßenbahn",
                                            u"Fahrplanänderungen",
                                            u"im",
                                            u"Großraum",
                                            u"München",
                                            u"und",
                                            u"Umgebung",
                                            u"–",
                                            u"Öffnungszeiten",
                                            u"der",
                                            u"Bürgerämter",
                                            u"Veranstaltungen",
                                            u"für",
                                            u"Familien",
                                            u"Küche",
                                            u"Rezepte",
                                            u"Wetter",
                                            u"heute",
                                            u"Börse",
                                            u"Preise",
                                            u"ab",
                                            u"9,99 €",
                                            u"Zeitung"};
    constexpr int count = int(std::size(words));
    QString text;
    text.reserve(width + 32);
    int i = seed;
    while (text.size() < width) {
        text += QStringView(words[i % count]);
        text += u' ';
        ++i;
    }
    text.truncate(width);
    // A field filled to its width has no padding to trim.
    if (text.endsWith(u' '))
        text[text.size() - 1] = u'.';
    return text;
}

QString filledUrl(int width, int seed)
{
    QString url = QStringLiteral("https://www.beispiel-portal.de/archiv/") + QString::number(seed) +
                  QStringLiteral("/artikel?");
    int i = 0;
    while (url.size() < width) {
        url += QStringLiteral("p%1=wert%2&").arg(i).arg(seed * 7 + i);
        ++i;
    }
    url.truncate(width);
    return url;
}

orv::Book makeBook(const QString& folder)
{
    orv::Book book(folder);
    orv::ThemaList& list = book.ensureColThema();
    for (int f = 0; f < kFolders; ++f) {
        orv::Thema thema;
        thema.setDirName(filledText(orv::ThemaDirNameWidth, f));
        thema.setFileName(QString::number(f + 1) + QStringLiteral(".bkm"));
        thema.setSequenz(f + 1);
        orv::BookmarkList marks;
        for (int b = 0; b < kBookmarks; ++b) {
            const int seed = f * kBookmarks + b;
            orv::Bookmark mark;
            mark.Titel = filledText(orv::BookmarkTitelWidth, seed);
            mark.URL = filledUrl(orv::BookmarkUrlWidth, seed);
            mark.Info = filledText(orv::BookmarkInfoWidth, seed + 3);
            mark.Adresszeile = (b % 2) == 0;
            mark.Toolbar = (b % 3) != 0;
            marks.append(std::move(mark));
        }
        thema.setColBookmark(std::move(marks));
        thema.setIsEdit(true);
        list.append(std::move(thema));
    }
    return book;
}

double msSince(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main()
{
    QTemporaryDir storeDir;
    QTemporaryDir plainDir;
    if (!storeDir.isValid() || !plainDir.isValid()) {
        std::fprintf(stderr, "bench_data: no temporary folder\n");
        return 1;
    }
    const QString store = storeDir.path();
    orv::Book written = makeBook(store);
    if (!written.SaveAllThema().ok) {
        std::fprintf(stderr, "bench_data: the archive could not be written\n");
        return 1;
    }

    QStringList files{orv::Book::IndexFileName()};
    for (int f = 1; f <= kFolders; ++f)
        files << QString::number(f) + QStringLiteral(".bkm");
    std::vector<QByteArray> contents;
    qint64 totalBytes = 0;
    for (const QString& name : files) {
        QFile file(store + u'/' + name);
        if (!file.open(QIODevice::ReadOnly))
            return 1;
        contents.push_back(file.readAll());
        totalBytes += contents.back().size();
    }

    // Both sides replace files that exist: the store its own folder files,
    // the floor a copy of them written here once.
    auto writePlain = [&]() {
        for (size_t i = 0; i < contents.size(); ++i) {
            QFile file(plainDir.path() + u'/' + files[qsizetype(i)]);
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
                file.write(contents[i]) != contents[i].size())
                return false;
        }
        return true;
    };
    if (!writePlain())
        return 1;

    double bestLoad = 1e300, bestRead = 1e300, bestSave = 1e300, bestWrite = 1e300;
    // The first round only warms up: right after the setup the files' data
    // are not yet on the disk, which makes replacing them cheaper than it is
    // in use (both sides).
    for (int round = -1; round < kRounds; ++round) {
        const bool counted = round >= 0;
        {
            QElapsedTimer timer;
            timer.start();
            orv::Book book(store);
            book.LoadAllThema();
            for (orv::Thema& thema : *book.colThema())
                if (const orv::FileResult loaded = thema.LoadBookmarks(store); !loaded.ok) {
                    std::fprintf(stderr, "bench_data: %s\n", qUtf8Printable(loaded.error));
                    return 1;
                }
            if (counted)
                bestLoad = std::min(bestLoad, msSince(timer));
            qsizetype marks = 0;
            for (const orv::Thema& thema : *book.colThema())
                marks += thema.bookmarkCount();
            if (book.themaCount() != kFolders || marks != kFolders * kBookmarks) {
                std::fprintf(stderr, "bench_data: loaded %lld folders, %lld bookmarks\n",
                             qlonglong(book.themaCount()), qlonglong(marks));
                return 1;
            }
        }
        {
            std::vector<QByteArray> read;
            read.reserve(size_t(files.size()));
            QElapsedTimer timer;
            timer.start();
            for (const QString& name : files) {
                QFile file(store + u'/' + name);
                if (!file.open(QIODevice::ReadOnly))
                    return 1;
                read.push_back(file.readAll());
            }
            if (counted)
                bestRead = std::min(bestRead, msSince(timer));
        }
        {
            for (orv::Thema& thema : *written.colThema())
                thema.setIsEdit(true);
            written.setIsEdit(true);
            QElapsedTimer timer;
            timer.start();
            const orv::FileResult saved = written.SaveAllThema();
            if (counted)
                bestSave = std::min(bestSave, msSince(timer));
            if (!saved.ok)
                return 1;
        }
        {
            QElapsedTimer timer;
            timer.start();
            if (!writePlain())
                return 1;
            if (counted)
                bestWrite = std::min(bestWrite, msSince(timer));
        }
    }

    const double loadRatio = bestLoad / bestRead;
    const double saveRatio = bestSave / bestWrite;
    std::printf("data: bytes=%lld load_ms=%.2f read_ms=%.2f load_ratio=%.2f save_ms=%.2f "
                "write_ms=%.2f save_ratio=%.2f ratio=%.2f\n",
                qlonglong(totalBytes), bestLoad, bestRead, loadRatio, bestSave, bestWrite,
                saveRatio, std::max(loadRatio, saveRatio));
    return 0;
}
