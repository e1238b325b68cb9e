#include "app/appinit.h"
#include "app/texts.h"

#include <QCoreApplication>
#include <cstdio>

// Start-up of the browser program. The main window and its browser windows
// are not part of this build yet: the program says so and points to the data
// tool, which works on the same data folder.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    orv::LoadTexts(orv::AppFolder());
    std::printf("%s (%s)\n", qUtf8Printable(orv::AppTitle()), qUtf8Printable(orv::VersionText()));
    std::printf("Das Browser-Hauptfenster ist in diesem Stand noch nicht enthalten.\n");
    std::printf("Datenordner: %s\n", qUtf8Printable(orv::DataFolder()));
    std::printf("Die Daten lassen sich mit 'orvane-data' ansehen und exportieren:\n");
    std::printf("  orvane-data dump FILE\n  orvane-data export --format text -o OUT\n");
    return 0;
}
