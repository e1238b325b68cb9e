#include "app/texthelpers.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace orv {

int CountOccurrences(const QString& text, const QString& pattern)
{
    if (text.isEmpty() || pattern.isEmpty())
        return 0;
    int count = 0;
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = text.indexOf(pattern, from, Qt::CaseSensitive);
        if (at < 0)
            break;
        ++count;
        from = at + pattern.size();
    }
    return count;
}

bool IsFeedTitle(QStringView title)
{
    return title.size() > FeedMarker.size() && title.startsWith(FeedMarker);
}

QString FirstArgument(const QString& line)
{
    const int separators = CountOccurrences(line, QStringLiteral(":")) +
                           CountOccurrences(line, QStringLiteral("\\\\"));
    if (separators == 1)
        return line;
    if (line.startsWith(u'"')) {
        const qsizetype close = line.indexOf(u'"', 1);
        return close < 0 ? line.mid(1) : line.mid(1, close - 1);
    }
    const qsizetype blank = line.indexOf(u' ');
    return blank < 0 ? line : line.left(blank);
}

QString TrimChars(const QString& text)
{
    if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"'))
        return text.mid(1, text.size() - 2);
    return text;
}

QString GetServerStr(const QString& url)
{
    static const QString schemes[] = {QStringLiteral("http://"), QStringLiteral("https://"),
                                      QStringLiteral("file://")};
    for (const QString& scheme : schemes) {
        if (url.left(scheme.size()).toLower() != scheme)
            continue;
        const QStringView rest = QStringView(url).mid(scheme.size());
        const qsizetype slash = rest.indexOf(u'/');
        QString server = scheme;
        server.append(slash < 0 ? rest : rest.left(slash));
        return server;
    }
    return QString();
}

QString GetPathStr(const QString& text)
{
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        if (text.at(i) == u'/' || text.at(i) == u'\\')
            return text.left(i + 1);
    }
    return QString();
}

QUrl UrlFromUserInput(const QString& text, const QString& workingFolder)
{
    const QString address = text.trimmed();
    if (address.isEmpty())
        return QUrl();
    if (QDir::isAbsolutePath(address))
        return QUrl::fromLocalFile(QDir::cleanPath(address));
    if (!workingFolder.isEmpty()) {
        const QFileInfo local(QDir(workingFolder), address);
        if (local.exists())
            return QUrl::fromLocalFile(QDir::cleanPath(local.absoluteFilePath()));
    }
    // "name:" starts a scheme unless a port follows ("host:8080/x").
    static const QRegularExpression scheme(
        QStringLiteral("^[A-Za-z][A-Za-z0-9+.\\-]*:(?!\\d{1,5}(?:[/?#]|$))"));
    if (scheme.match(address).hasMatch())
        return QUrl::fromUserInput(address);
    return QUrl(QStringLiteral("http://") + address, QUrl::TolerantMode);
}

} // namespace orv
