#include "datatool/outputguard.h"

#include "layouts/layoutrecords.h"
#include "prefs/prefer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <filesystem>

namespace orv::datatool {
namespace {

// The absolute path a write to `path` would end at: links resolved, the
// folder made canonical when it exists.
QString resolvedPath(const QString& path)
{
    QFileInfo info(path);
    // A link (even one whose target does not exist yet) is written through.
    for (int depth = 0; depth < 16 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    if (info.exists()) {
        const QString canonical = info.canonicalFilePath();
        if (!canonical.isEmpty())
            return canonical;
    }
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    if (folder.isEmpty())
        return QDir::cleanPath(info.absoluteFilePath());
    return folder + u'/' + info.fileName();
}

bool sameFile(const QString& a, const QString& b)
{
    std::error_code error;
    const bool same = std::filesystem::equivalent(
        std::filesystem::path(QFile::encodeName(a).toStdString()),
        std::filesystem::path(QFile::encodeName(b).toStdString()), error);
    return !error && same;
}

} // namespace

QString DataFileAt(const QString& out, const QString& dataFolder, const Book& book)
{
    QStringList names = {Book::IndexFileName(), Prefer::FileName(), QStringLiteral("WLBook.orp")};
    if (const ThemaList* list = book.colThema())
        for (const Thema& thema : *list)
            names.append(thema.FileName());
    QList<LayoutBookRecord> layouts;
    if (readLayoutBookFile(dataFolder + QStringLiteral("/WLBook.orp"), layouts, true).ok)
        for (const LayoutBookRecord& layout : layouts)
            names.append(trimLayoutPath(layout.FileName));

    const QString target = resolvedPath(out);
    for (const QString& name : names) {
        if (name.isEmpty())
            continue;
        const QString dataFile = dataFolder + u'/' + name;
        if (resolvedPath(dataFile) == target || sameFile(dataFile, out))
            return name;
    }
    return {};
}

} // namespace orv::datatool
