#include "app/probes.h"

#include <QFile>
#include <QHash>
#include <QStringList>

#include <pwd.h>
#include <unistd.h>

namespace orv {

QString OsNameFromOsRelease(const QString& osRelease)
{
    QHash<QString, QString> fields;
    for (const QString& raw : osRelease.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (line.startsWith(QLatin1Char('#')) || eq <= 0)
            continue;
        QString value = line.mid(eq + 1).trimmed();
        if (value.size() >= 2 &&
            (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
            value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        fields.insert(line.left(eq), value);
    }
    const QString pretty = fields.value(QStringLiteral("PRETTY_NAME"));
    if (!pretty.isEmpty())
        return pretty;
    const QString name = fields.value(QStringLiteral("NAME"));
    const QString version = fields.value(QStringLiteral("VERSION"));
    return (name + QLatin1Char(' ') + version).trimmed();
}

const SystemProbes& Probes()
{
    static const SystemProbes probes = [] {
        SystemProbes p;
        for (const char* path : {"/etc/os-release", "/usr/lib/os-release"}) {
            QFile file(QString::fromLatin1(path));
            if (file.open(QIODevice::ReadOnly)) {
                p.OsName = OsNameFromOsRelease(QString::fromUtf8(file.readAll()));
                break;
            }
        }
        return p;
    }();
    return probes;
}

QString GetLoginName()
{
    if (const passwd* entry = ::getpwuid(::geteuid()))
        return QString::fromLocal8Bit(entry->pw_name);
    return QString();
}

} // namespace orv
