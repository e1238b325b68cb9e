#pragma once

#include "app/recordio.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace orv {

// Making the program the desktop's default browser: a desktop entry of its
// own under the user's data folder ($XDG_DATA_HOME/applications) that starts
// the program with the address, and the user's choice of default
// applications ($XDG_CONFIG_HOME/mimeapps.list) pointing the web types (and,
// when asked, the picture types) at it. Doing it twice gives the same files
// as doing it once; other entries of mimeapps.list stay as they are.

inline constexpr char kDesktopEntryName[] = "orvane.desktop";

// The types the program takes: the web protocols and documents, then with
// `pictures` JPEG, GIF and PNG.
QStringList DefaultBrowserTypes(bool pictures);

// The Exec value that starts `program` with one address ("%u"), quoted as
// desktop entries want it when the path holds blanks or special characters.
QString DesktopExecLine(const QString& program);

// The desktop entry that starts `program`.
QByteArray DesktopEntryText(const QString& program);

// `existing` (the text of a mimeapps.list, may be empty) with every type of
// `types` made to default to `desktopId` in its "[Default Applications]"
// group; everything else is kept in its order.
QByteArray MimeAppsWithDefaults(const QByteArray& existing, const QStringList& types,
                                const QString& desktopId);

// Writes both files for `program` below `dataHome` and `configHome`.
FileResult RegisterAsDefaultBrowser(bool pictures, const QString& program, const QString& dataHome,
                                    const QString& configHome);

} // namespace orv
