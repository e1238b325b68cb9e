#include "bookmarks/filereplace.h"

#include <QFileInfo>

#include <cstdio>

namespace orv {
namespace {

FileResult writeFailure(const QString& path, const QString& reason)
{
    return FileResult::failure(QStringLiteral("Datei kann nicht geschrieben werden: ") + path +
                               QStringLiteral(" (") + reason + QStringLiteral(")"));
}

} // namespace

FileResult replaceFile(const QString& path, QByteArrayView content)
{
    return replaceFile(path, [content](QFile& file) {
        return file.write(content.data(), content.size()) == content.size();
    });
}

FileResult replaceFile(const QString& path, const std::function<bool(QFile&)>& produce)
{
    QFileInfo target(path);
    // A link is replaced through its target.
    if (target.isSymLink())
        target.setFile(target.symLinkTarget());
    const QString real = target.filePath();
    if (target.isDir())
        return writeFailure(path, QStringLiteral("Ziel ist ein Verzeichnis"));

    // The program runs once per user, so a file of this name can only be
    // left over from an interrupted save: it is dropped.
    QFile temp(real + QStringLiteral(".new"));
    const auto mode = QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered;
    if (!temp.open(mode)) {
        if (!temp.exists() || !temp.remove() || !temp.open(mode))
            return writeFailure(path, temp.errorString());
    }
    bool ok = produce(temp);
    const QString reason = temp.errorString();
    temp.close();
    ok = ok && temp.error() == QFileDevice::NoError;
    if (!ok) {
        temp.remove();
        return writeFailure(path, reason);
    }
    if (target.exists())
        temp.setPermissions(target.permissions());
    if (std::rename(QFile::encodeName(temp.fileName()).constData(),
                    QFile::encodeName(real).constData()) != 0) {
        temp.remove();
        return writeFailure(path, QStringLiteral("Umbenennen fehlgeschlagen"));
    }
    return {};
}

FileResult removeFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return {};
    QFile file(path);
    if (!file.remove())
        return FileResult::failure(QStringLiteral("Datei kann nicht gelöscht werden: ") + path +
                                   QStringLiteral(" (") + file.errorString() + QStringLiteral(")"));
    return {};
}

} // namespace orv
