#include "app/commandline.h"

#include "app/appinit.h"

namespace orv {

CommandLineRequest ReadCommandLine(const QStringList& arguments)
{
    // Only the first argument counts, as only it is the start argument.
    const QString first = arguments.value(1);
    if (first == QLatin1String("--help") || first == QLatin1String("-h"))
        return CommandLineRequest::Help;
    if (first == QLatin1String("--version") || first == QLatin1String("-v"))
        return CommandLineRequest::Version;
    return CommandLineRequest::Start;
}

QString UsageText(const QString& dataFolder)
{
    return QStringLiteral(
               "Aufruf: orvane [ADRESSE | DATEI]\n"
               "Zeigt viele Webseiten nebeneinander in einem Hauptfenster.\n"
               "\n"
               "  ADRESSE, DATEI  öffnet die Adresse oder Datei in einem Browser-Fenster;\n"
               "                  läuft Orvane schon, öffnet das laufende Programm sie.\n"
               "  -h, --help      zeigt diese Hilfe\n"
               "  -v, --version   zeigt die Version\n"
               "\n"
               "Daten (Einstellungen, Bookmark Archiv, Layouts):\n"
               "  %1\n"
               "\n"
               "Umgebung:\n"
               "  HOME, XDG_DOCUMENTS_DIR   Ort des Datenordners\n"
               "  XDG_RUNTIME_DIR           Ort der Verbindung zum laufenden Programm\n"
               "  XDG_DATA_HOME, XDG_CONFIG_HOME\n"
               "                            Ziel von \"Orvane als Standardbrowser...\"\n"
               "  QTWEBENGINE_CHROMIUM_FLAGS, QTWEBENGINE_DISABLE_SANDBOX, QT_QPA_PLATFORM\n"
               "                            Schalter der Web-Engine und der Anzeige\n")
        .arg(dataFolder);
}

QString VersionLine()
{
    return QStringLiteral("Orvane ") + VersionText();
}

} // namespace orv
