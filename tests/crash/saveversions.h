#pragma once

// Two known contents of a data folder, "A" and "B", written by the program's
// own savers: the preferences, a bookmark archive of many folders, a layout
// archive and an arrangement file. A save of B also adds one more folder and
// one more layout and deletes them again, the way the archive panels delete,
// so the deletion order is exercised too. Shared by the helper program that
// saves them in a loop and by the tests that know both contents exactly.

#include "app/recordio.h"
#include "bookmarks/book.h"
#include "bookmarks/bookmark.h"
#include "layouts/layout.h"
#include "layouts/layoutbook.h"
#include "layouts/layoutitem.h"
#include "prefs/prefer.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QString>

namespace orv::saveversions {

enum class Version { A, B };

// Folders of version A; B has them (with other bookmarks, in reverse order)
// and kExtraFolders more.
inline constexpr int kFolders = 40;
inline constexpr int kExtraFolders = 5;
inline constexpr int kLayouts = 3;
inline constexpr int kExtraLayouts = 1;
inline constexpr int kWindowsPerLayout = 3;

// Where a save of B stops: the whole save, or with the extra folder and
// layout still in place (the state between their save and their deletion).
enum class Stage { Whole, BeforeDeletion };

inline QString ArrangementName()
{
    return QStringLiteral("Abend.wlt");
}

inline QString Tag(Version v)
{
    return v == Version::A ? QStringLiteral("A") : QStringLiteral("B");
}

inline Prefer MakePrefs(const QString& folder, Version v)
{
    Prefer p;
    p.setFolder(folder);
    p.setHomeUrl(QStringLiteral("http://home.example/") + Tag(v));
    p.setSearchEngine(QStringLiteral("https://search.example/?q="));
    p.setSearchEngineFile(QStringLiteral("/opt/search-") + Tag(v) + QStringLiteral(".html"));
    p.setMailClient(QStringLiteral("/usr/bin/mail"));
    p.setMdiWidth(v == Version::A ? 12000 : 9000);
    p.setMdiState(v == Version::A ? 0 : 2);
    p.setGroup(QStringLiteral("Gruppe ") + Tag(v));
    p.setMailSrv(1, QStringLiteral("pop.example"));
    p.setUser(1, QStringLiteral("nutzer"));
    p.setPwd(1, QStringLiteral("geheim-") + Tag(v));
    return p;
}

// The number of bookmarks of folder `k` in a version (the sizes differ, so a
// cut file never passes for the other version).
inline int BookmarkCount(int k, Version v)
{
    return v == Version::A ? 1 + k % 3 : 2 + k % 4;
}

inline QString FolderFileName(int k)
{
    return QString::number(k) + QStringLiteral(".bkm");
}

inline Thema MakeFolder(int k, Version v)
{
    Thema t;
    t.setDirName(QStringLiteral("Ordner ") + QString::number(k) + u' ' + Tag(v));
    t.setFileName(FolderFileName(k));
    t.setSequenz(k);
    BookmarkList list;
    for (int j = 1; j <= BookmarkCount(k, v); ++j) {
        Bookmark b;
        b.Nr = qint16(j);
        b.Titel = QStringLiteral("Seite %1.%2 ").arg(k).arg(j) + Tag(v);
        b.URL = QStringLiteral("http://%1.example/%2/%3").arg(Tag(v).toLower()).arg(k).arg(j);
        b.Info = QStringLiteral("Beschreibung ") + Tag(v);
        list.append(std::move(b));
    }
    t.setColBookmark(std::move(list));
    t.setIsEdit(true);
    return t;
}

inline void note(FileResult& first, const FileResult& r)
{
    if (!r.ok && first.ok)
        first = r;
}

inline FileResult SaveBook(const QString& folder, Version v, Stage stage = Stage::Whole)
{
    Book book(folder);
    ThemaList& list = book.ensureColThema();
    if (v == Version::A) {
        for (int k = 1; k <= kFolders; ++k)
            list.append(MakeFolder(k, v));
    } else {
        for (int k = kFolders; k >= 1; --k)
            list.append(MakeFolder(k, v));
        for (int k = kFolders + 1; k <= kFolders + kExtraFolders; ++k)
            list.append(MakeFolder(k, v));
        list.append(MakeFolder(kFolders + kExtraFolders + 1, v));
    }
    book.setIsEdit(true);
    FileResult result = book.SaveAllThema();
    if (v == Version::B && stage == Stage::Whole)
        note(result, book.DeleteThema(qint16(book.themaCount())));
    return result;
}

inline LayoutWindowState MakeWindow(int layout, int window, Version v)
{
    LayoutWindowState w;
    w.LocationURL = QStringLiteral("http://%1.example/fenster/%2/%3")
                        .arg(Tag(v).toLower())
                        .arg(layout)
                        .arg(window);
    w.Caption = QStringLiteral("Fenster %1 ").arg(window) + Tag(v);
    w.ToolbarVisible = v == Version::A;
    w.AdressbarVisible = true;
    w.Geometry = QRectF(150.0 * window, 300.0 * layout, v == Version::A ? 6000 : 4500, 4000);
    return w;
}

inline FileResult SaveLayouts(const QString& folder, Version v, Stage stage = Stage::Whole)
{
    LayoutBook book(folder);
    const int count = v == Version::A ? kLayouts : kLayouts + kExtraLayouts + 1;
    for (int n = 1; n <= count; ++n) {
        LayoutItem item(folder);
        for (int w = 1; w <= kWindowsPerLayout + (v == Version::B ? 1 : 0); ++w)
            item.colFensterInfo().append(fensterInfoFromWindow(MakeWindow(n, w, v), w));
        item.setIsEdit(true);
        book.AddLayout(std::move(item), QStringLiteral("Anordnung %1 ").arg(n) + Tag(v),
                       QStringLiteral("Info ") + Tag(v), 0);
    }
    FileResult result = book.SaveAllLayouts();
    if (v == Version::B && stage == Stage::Whole)
        note(result, book.DeleteLayout(book.count()));
    return result;
}

inline FileResult SaveArrangement(const QString& folder, Version v)
{
    QList<LayoutWindowState> windows;
    for (int w = 1; w <= kWindowsPerLayout + (v == Version::B ? 2 : 0); ++w)
        windows.append(MakeWindow(0, w, v));
    return Layout::SaveLayout(folder + u'/' + ArrangementName(), windows);
}

// Every saver once; the first failure.
inline FileResult SaveAll(const QString& folder, Version v, Stage stage = Stage::Whole)
{
    FileResult result = MakePrefs(folder, v).SavePref();
    note(result, SaveBook(folder, v, stage));
    note(result, SaveLayouts(folder, v, stage));
    note(result, SaveArrangement(folder, v));
    return result;
}

// The helper's exit code when no file system can be mounted here.
inline constexpr int kExitCannotMount = 77;

// The regular files of a folder by name, with their bytes.
using Files = QHash<QString, QByteArray>;

inline Files snapshot(const QString& folder)
{
    Files files;
    for (const QFileInfo& entry : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden)) {
        QFile file(entry.filePath());
        if (file.open(QIODevice::ReadOnly))
            files.insert(entry.fileName(), file.readAll());
    }
    return files;
}

} // namespace orv::saveversions
