#include "datatool/archivereader.h"

#include "app/recordio.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <limits>

namespace orv::datatool {
namespace {

FileResult readFolderFile(const QString& dataFolder, Thema& thema)
{
    if (!thema.hasSafeFileName())
        return FileResult::failure(QStringLiteral("Die Datei des Ordners '") + thema.DirName() +
                                   QStringLiteral("' wird nicht gelesen: der Dateiname '") +
                                   thema.FileName() +
                                   QStringLiteral("' bezeichnet keine Datei im Datenordner."));
    // Only a regular file inside the data folder is opened; a missing one
    // is an empty folder.
    const QString path = thema.filePath(dataFolder);
    QFile file;
    const FileResult opened = openStoredFile(path, dataFolder, MaxFolderFileBytes, file, true);
    if (!opened.ok)
        return FileResult::failure(QStringLiteral("Die Datei des Ordners '") + thema.DirName() +
                                   QStringLiteral("' wird nicht gelesen: ") + opened.error);
    if (!file.isOpen())
        return {};
    BookmarkList list;
    qsizetype expected = 0;
    const FileResult read =
        readRecords(file, BookmarkRecordLength, expected, [&](QByteArrayView record) {
            Bookmark b = ReadBookmarkRecord(record);
            b.Nr = qint16(list.count() + 1);
            const QString key = Bookmark::KeyFor(thema.Nr(), b.Nr);
            list.append(std::move(b), key);
        });
    if (!read.ok)
        return read;
    if (!list.isEmpty()) {
        thema.setItCounter(
            qint16(std::min<qsizetype>(list.count(), std::numeric_limits<qint16>::max())));
        thema.setColBookmark(std::move(list));
    }
    return {};
}

} // namespace

FileResult ReadArchive(const QString& dataFolder, Book& book, const QString& onlyFolder,
                       QStringList* skipped)
{
    book.setFolder(dataFolder);
    const QString indexPath = book.indexPath();
    const QFileInfo index(indexPath);
    if (!index.exists())
        return FileResult::failure(QStringLiteral("Der Datenordner ") + dataFolder +
                                   QStringLiteral(" enthält kein Bookmark-Archiv (") +
                                   Book::IndexFileName() + QStringLiteral(" fehlt)."));
    if (!index.isFile())
        return FileResult::failure(indexPath + QStringLiteral(" ist keine gewöhnliche Datei."));

    ThemaList list;
    qsizetype expected = 0;
    const FileResult read =
        readRecords(indexPath, ThemaRecordLength, expected, [&](QByteArrayView record) {
            Thema t = ReadThemaRecord(record);
            t.setNr(qint32(list.count() + 1));
            const QString key = Thema::KeyFor(t.Nr());
            list.append(std::move(t), key);
        });
    if (!read.ok)
        return read;

    bool found = false;
    ThemaList kept;
    for (Thema& thema : list) {
        bool read = true;
        if (!onlyFolder.isEmpty()) {
            read = !found && thema.DirName() == onlyFolder;
            found = found || read;
        }
        const FileResult folderRead = read ? readFolderFile(dataFolder, thema) : FileResult();
        if (!folderRead.ok) {
            if (skipped)
                *skipped << folderRead.error;
            continue;
        }
        const QString key = Thema::KeyFor(thema.Nr());
        kept.append(std::move(thema), key);
    }
    list = std::move(kept);
    if (!list.isEmpty()) {
        book.setItCounter(
            qint16(std::min<qsizetype>(list.count(), std::numeric_limits<qint16>::max())));
        book.setColThema(std::move(list));
    }
    return {};
}

const Thema* FindFolder(const Book& book, const QString& name)
{
    if (const ThemaList* list = book.colThema())
        for (const Thema& thema : *list)
            if (thema.DirName() == name)
                return &thema;
    return nullptr;
}

} // namespace orv::datatool
