#include "app/defaultbrowser.h"

#include <QDir>
#include <QFile>

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

FileResult RegisterAsDefaultBrowser(bool pictures, const QString& program, const QString& dataHome,
                                    const QString& configHome)
{
    const QString applications = QDir(dataHome).filePath(QStringLiteral("applications"));
    for (const QString& folder : {applications, configHome})
        if (!QDir().mkpath(folder))
            return FileResult::failure(
                QStringLiteral("Der Ordner '%1' kann nicht angelegt werden.").arg(folder));
    const QString desktopId = QString::fromLatin1(kDesktopEntryName);
    FileResult written =
        writeFileAtomic(QDir(applications).filePath(desktopId), DesktopEntryText(program));
    if (!written.ok)
        return written;
    const QString listPath = QDir(configHome).filePath(QStringLiteral("mimeapps.list"));
    QByteArray existing;
    const FileResult read = readStoredFile(listPath, configHome, kMaxMimeAppsBytes, existing, true);
    if (!read.ok)
        return read;
    return writeFileAtomic(
        listPath, MimeAppsWithDefaults(existing, DefaultBrowserTypes(pictures), desktopId));
}

} // namespace orv
