#include "app/defaultbrowser.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <optional>

namespace orv {

namespace {

const QLatin1String kDefaultGroup("[Default Applications]");

// Reading mimeapps.list: more is not a list of defaults.
constexpr qint64 kMaxMimeAppsBytes = 4 * 1024 * 1024;

} // namespace

QStringList DefaultBrowserTypes(bool pictures)
{
    QStringList types{
        QStringLiteral("x-scheme-handler/http"), QStringLiteral("x-scheme-handler/https"),
        QStringLiteral("x-scheme-handler/ftp"),  QStringLiteral("text/html"),
        QStringLiteral("application/xhtml+xml"), QStringLiteral("text/xml"),
        QStringLiteral("application/xml")};
    if (pictures)
        types << QStringLiteral("image/jpeg") << QStringLiteral("image/gif")
              << QStringLiteral("image/png");
    return types;
}

QString DesktopExecLine(const QString& program)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`%=");
    bool quote = false;
    for (const QChar c : program)
        quote = quote || reserved.contains(c);
    QString exec = program;
    if (quote) {
        // Inside quotes ", `, $ and \ take a backslash.
        QString quoted;
        for (const QChar c : program) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
                quoted += u'\\';
            quoted += c;
        }
        exec = u'"' + quoted + u'"';
    }
    // A "%" of the path is written as "%%"; a backslash of the value as "\\".
    exec.replace(u'%', QStringLiteral("%%"));
    exec.replace(u'\\', QStringLiteral("\\\\"));
    return exec + QStringLiteral(" %u");
}

QByteArray DesktopEntryText(const QString& program)
{
    QString text = QStringLiteral("[Desktop Entry]\n"
                                  "Type=Application\n"
                                  "Name=Orvane\n"
                                  "GenericName=Webbrowser\n"
                                  "Comment=Viele Webseiten nebeneinander\n"
                                  "Icon=orvane\n"
                                  "Terminal=false\n"
                                  "Categories=Network;WebBrowser;\n");
    text += QStringLiteral("Exec=") + DesktopExecLine(program) + u'\n';
    text +=
        QStringLiteral("MimeType=") + DefaultBrowserTypes(true).join(u';') + QStringLiteral(";\n");
    return text.toUtf8();
}

QByteArray MimeAppsWithDefaults(const QByteArray& existing, const QStringList& types,
                                const QString& desktopId)
{
    QStringList lines = QString::fromUtf8(existing).split(u'\n');
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    const QString value = desktopId + u';';
    // Where the group is, and where it ends (the next group or the end).
    qsizetype group = -1;
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (lines.at(i).trimmed() == kDefaultGroup) {
            group = i;
            break;
        }
    if (group < 0) {
        if (!lines.isEmpty() && !lines.constLast().trimmed().isEmpty())
            lines << QString();
        lines << QString(kDefaultGroup);
        group = lines.size() - 1;
    }
    qsizetype end = group + 1;
    while (end < lines.size() && !lines.at(end).trimmed().startsWith(u'['))
        ++end;
    QStringList missing = types;
    for (qsizetype i = group + 1; i < end; ++i) {
        const QString key = lines.at(i).section(u'=', 0, 0).trimmed();
        if (lines.at(i).contains(u'=') && types.contains(key)) {
            lines[i] = key + u'=' + value;
            missing.removeAll(key);
        }
    }
    // New keys go behind the group's last entry, before blank lines.
    qsizetype at = end;
    while (at > group + 1 && lines.at(at - 1).trimmed().isEmpty())
        --at;
    for (const QString& type : missing)
        lines.insert(at++, type + u'=' + value);
    return (lines.join(u'\n') + u'\n').toUtf8();
}

bool DesktopEntryStarts(const QString& entryPath, const QString& program)
{
    constexpr qint64 kMaxEntryBytes = 256 * 1024;
    QByteArray text;
    if (!readStoredFile(entryPath, {}, kMaxEntryBytes, text).ok)
        return false;
    bool inEntry = false;
    for (const QString& line : QString::fromUtf8(text).split(u'\n')) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(u'['))
            inEntry = trimmed == u"[Desktop Entry]";
        if (!inEntry || !trimmed.startsWith(QLatin1String("Exec=")))
            continue;
        QString command = trimmed.mid(5).trimmed();
        if (command.startsWith(u'"'))
            command = command.mid(1).section(u'"', 0, 0);
        else
            command = command.section(u' ', 0, 0);
        if (!command.contains(u'/'))
            command = QStandardPaths::findExecutable(command);
        const QString started = QFileInfo(command).canonicalFilePath();
        return !started.isEmpty() && started == QFileInfo(program).canonicalFilePath();
    }
    return false;
}

FileResult RegisterAsDefaultBrowser(bool pictures, const QString& program, const QString& dataHome,
                                    const QString& configHome, const QStringList& dataDirs)
{
    if (!QDir().mkpath(configHome))
        return FileResult::failure(
            QStringLiteral("Der Ordner '%1' kann nicht angelegt werden.").arg(configHome));
    // The list is read before anything is written: one that cannot be read
    // is never replaced.
    const QString listPath = QDir(configHome).filePath(QStringLiteral("mimeapps.list"));
    QByteArray existing;
    const FileResult read = readStoredFile(listPath, configHome, kMaxMimeAppsBytes, existing, true);
    if (!read.ok)
        return read;

    QString desktopId;
    const QString home = QFileInfo(dataHome).absoluteFilePath();
    for (const QString& dir : dataDirs) {
        const QString entry =
            QDir(dir).filePath(QStringLiteral("applications/") + QLatin1String(kDesktopEntryName));
        if (QFileInfo(dir).absoluteFilePath() != home && DesktopEntryStarts(entry, program)) {
            desktopId = QString::fromLatin1(kDesktopEntryName);
            break;
        }
    }

    // The user's own entry, and what was there before it (taken back when
    // the list cannot be written).
    QString entryPath;
    std::optional<QByteArray> before;
    if (desktopId.isEmpty()) {
        desktopId = QString::fromLatin1(kUserDesktopEntryName);
        const QString applications = QDir(dataHome).filePath(QStringLiteral("applications"));
        if (!QDir().mkpath(applications))
            return FileResult::failure(
                QStringLiteral("Der Ordner '%1' kann nicht angelegt werden.").arg(applications));
        entryPath = QDir(applications).filePath(desktopId);
        QByteArray old;
        if (QFileInfo::exists(entryPath)) {
            if (const FileResult kept = readStoredFile(entryPath, {}, kMaxMimeAppsBytes, old);
                !kept.ok)
                return kept;
            before = old;
        }
        const FileResult written = writeFileAtomic(entryPath, DesktopEntryText(program));
        if (!written.ok)
            return written;
    }

    const FileResult listed = writeFileAtomic(
        listPath, MimeAppsWithDefaults(existing, DefaultBrowserTypes(pictures), desktopId));
    if (!listed.ok && !entryPath.isEmpty()) {
        // Taking back is best effort; the list's error is the one told.
        const FileResult undone =
            before ? writeFileAtomic(entryPath, *before) : removeFile(entryPath);
        if (!undone.ok)
            return FileResult::failure(listed.error + u'\n' + undone.error);
    }
    return listed;
}

} // namespace orv
