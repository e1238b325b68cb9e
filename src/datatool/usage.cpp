#include "datatool/usage.h"

#include "app/appinit.h"

namespace orv::datatool {

QString UsageText()
{
    return QStringLiteral(
        "orvane-data – Datendateien lesen, das Bookmark-Archiv exportieren und\n"
        "eine Bookmark-Datei importieren\n"
        "\n"
        "Aufruf:\n"
        "  orvane-data dump [--kind ART] [--show-passwords] DATEI\n"
        "  orvane-data export --format FORMAT [--folder NAME] [--data-folder ORDNER]\n"
        "                     [--date JJJJ-MM-TTThh:mm:ss] [RSS-Angaben] -o AUSGABE\n"
        "  orvane-data import [--data-folder ORDNER] DATEI\n"
        "  orvane-data --help | help\n"
        "  orvane-data --version\n"
        "\n"
        "dump: gibt eine Datendatei als JSON (UTF-8) auf der Standardausgabe aus, die\n"
        "Schlüssel in der Reihenfolge der Datensatzfelder, die Werte so, wie das\n"
        "Programm sie liest (Texte ohne umgebende Leerzeichen, Wahrheitswerte als\n"
        "true/false, Zahlen als Zahlen).\n"
        "  --kind ART        pref    Pref.orp (ein Objekt mit den Einstellungen und\n"
        "                            \"Marker\", dem Wert der Gültigkeitsmarke)\n"
        "                    book    Book.bkm (Ordnerverzeichnis des Archivs)\n"
        "                    folder  Ordnerdatei *.bkm (Bookmarks eines Ordners)\n"
        "                    wlbook  WLBook.orp (Verzeichnis der Anordnungen)\n"
        "                    nlt     WL<n>.nlt (Fenster einer archivierten Anordnung)\n"
        "                    wlt     *.wlt (Anordnungsdatei)\n"
        "                    Ohne --kind gilt der Dateiname: Pref.orp, Book.bkm,\n"
        "                    WLBook.orp, *.nlt, *.wlt, jede andere *.bkm ist eine\n"
        "                    Ordnerdatei.\n"
        "  --show-passwords  gibt bei Pref.orp auch die Kennwörter Pwd1..Pwd4 aus\n"
        "                    (sonst fehlen diese Schlüssel).\n"
        "  Die Datensatzdateien erscheinen als Liste mit einem Objekt je Datensatz;\n"
        "  eine leere Datei ergibt []. \"Nr\" ist die in der Datei gespeicherte Nummer\n"
        "  des Datensatzes; das Programm nummeriert Ordner und Bookmarks beim Laden\n"
        "  nach ihrer Position neu. Ein unvollständiger letzter Datensatz wird wie\n"
        "  beim Laden übergangen; eine Warnung nennt die übergangenen Bytes.\n"
        "  Fehler: eine Pref.orp, die das Programm durch die Voreinstellungen\n"
        "  ersetzen würde oder die kein ganzer Datensatz ist, und ein Kennwortfeld\n"
        "  alten Formats.\n"
        "\n"
        "export: schreibt das Bookmark-Archiv oder einen Ordner genau so, wie das\n"
        "Programm exportiert.\n"
        "  --format FORMAT   text, html (HTML-Liste), netscape (Bookmark-Datei im\n"
        "                    Netscape-Format), xml oder rss (RSS 2.0)\n"
        "  --folder NAME     nur der (erste) Ordner mit diesem Namen, sonst das\n"
        "                    ganze Archiv\n"
        "  --data-folder ORDNER\n"
        "                    der Datenordner mit Book.bkm (Vorgabe: der des Programms)\n"
        "  --date JJJJ-MM-TTThh:mm:ss\n"
        "                    Zeitpunkt des Exports in Ortszeit (Vorgabe: jetzt), für\n"
        "                    Datei-Inhalte, die sich wiederholen lassen\n"
        "  -o, --output AUSGABE\n"
        "                    die Ausgabedatei; sie wird als Ganzes ersetzt. Dateien des\n"
        "                    Datenordners (Book.bkm, Pref.orp, WLBook.orp und die dort\n"
        "                    genannten Dateien) werden nie überschrieben.\n"
        "  RSS-Angaben (nur mit --format rss; --title und --link sind nötig):\n"
        "    --title T --link L [--description D]\n"
        "    [--image-url U --image-title T --image-link L]\n"
        "  Eine fehlende Ordnerdatei gilt als leerer Ordner.\n"
        "\n"
        "import: ersetzt das Bookmark-Archiv des Datenordners durch die Ordner einer\n"
        "Bookmark-Datei (HTML), wie das Programm importiert: jeder Ordner der Datei\n"
        "wird ein Ordner des Archivs mit allen Links darin, auch denen der\n"
        "Unterordner. Eine Datei, die mehr als 100000 Bookmarks ergäbe, wird\n"
        "abgelehnt; das Archiv bleibt dann unverändert.\n"
        "  --data-folder ORDNER\n"
        "                    der Datenordner (Vorgabe: der des Programms)\n"
        "\n"
        "Nur import verändert den Datenordner.\n"
        "Rückgabewert: 0 bei Erfolg, 2 bei einem Fehler (eine Zeile auf der\n"
        "Standardfehlerausgabe).\n");
}

QString VersionLine()
{
    return QStringLiteral("orvane-data ") + VersionText();
}

} // namespace orv::datatool
