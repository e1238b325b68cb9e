#include "datatool/importcommand.h"

#include "app/appinit.h"
#include "bookmarks/import.h"
#include "datatool/options.h"
#include "datatool/toolio.h"

#include <QDir>
#include <QFileInfo>

namespace orv::datatool {

namespace {

const QString kDataFolder = QStringLiteral("--data-folder");

} // namespace

int RunImport(const QStringList& args)
{
    ParsedArgs parsed;
    QString error;
    if (!parsed.parse(args, {{kDataFolder, true}}, error))
        return Fail(error);
    if (parsed.positional().size() != 1)
        return Fail(QStringLiteral("import erwartet genau eine Bookmark-Datei."));
    const QString path = parsed.positional().constFirst();
    const QFileInfo input(path);
    if (!input.exists())
        return Fail(QStringLiteral("Die Datei gibt es nicht: ") + path);
    if (!input.isFile())
        return Fail(QStringLiteral("Keine Datei: ") + path);

    QString dataFolder;
    if (parsed.has(kDataFolder)) {
        dataFolder = parsed.value(kDataFolder);
    } else {
        if (const FileResult created = EnsureDataFolder(); !created.ok)
            return Fail(created.error);
        dataFolder = DataFolder();
    }
    if (dataFolder.isEmpty() || !QFileInfo(dataFolder).isDir())
        return Fail(QStringLiteral("Der Datenordner existiert nicht: ") + dataFolder);

    // The folders read first, so that keys given out later stay clear of
    // the ones the archive knew.
    Book book(dataFolder);
    if (FileResult read; !book.LoadAllThema(&read) && !read.ok)
        return Fail(read.error);
    const FileResult imported = ImportBookmarkFile(book, path);
    if (!imported.ok)
        return Fail(imported.error);
    qsizetype bookmarks = 0;
    if (const ThemaList* folders = book.colThema()) {
        for (const Thema& folder : *folders)
            bookmarks += folder.bookmarkCount();
        const UnstorableTexts unstorable = UnstorableNames(*folders);
        if (unstorable.count() > 0)
            Warn(unstorable.notice());
    }
    const QString summary = QString::number(book.themaCount()) + QStringLiteral(" Ordner mit ") +
                            QString::number(bookmarks) + QStringLiteral(" Bookmarks importiert.\n");
    return WriteStdout(summary.toUtf8()) ? 0 : ExitFailure;
}

} // namespace orv::datatool
