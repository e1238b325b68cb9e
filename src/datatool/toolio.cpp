#include "datatool/toolio.h"

#include <QFileInfo>

#include <cstdio>

namespace orv::datatool {

namespace {

// One line on standard error: the prefix, then the message with its line
// breaks made blanks.
void writeErrorLine(const QString& prefix, const QString& message)
{
    QString line = message;
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    line.replace(u'\n', u' ');
    line.replace(u'\r', u' ');
    const QByteArray text = (prefix + line).toUtf8() + '\n';
    std::fwrite(text.constData(), 1, size_t(text.size()), stderr);
    std::fflush(stderr);
}

} // namespace

int Fail(const QString& message)
{
    writeErrorLine(QStringLiteral("orvane-data: "), message);
    return ExitFailure;
}

void Warn(const QString& message)
{
    writeErrorLine(QStringLiteral("orvane-data: Warnung: "), message);
}

bool WriteStdout(const QByteArray& bytes)
{
    const size_t n = size_t(bytes.size());
    if (std::fwrite(bytes.constData(), 1, n, stdout) != n)
        return false;
    return std::fflush(stdout) == 0 && !std::ferror(stdout);
}

FileResult ReadInputFile(const QString& path, QByteArray& content)
{
    content.clear();
    const QFileInfo info(path);
    if (!info.exists())
        return FileResult::failure(QStringLiteral("Datei nicht gefunden: ") + path);
    if (info.isDir())
        return FileResult::failure(path + QStringLiteral(" ist ein Verzeichnis, keine Datei."));
    if (!info.isFile())
        return FileResult::failure(path + QStringLiteral(" ist keine gewöhnliche Datei."));
    return readWholeFile(path, content);
}

} // namespace orv::datatool
