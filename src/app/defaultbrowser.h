#pragma once

#include "app/recordio.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace orv {

// Making the program the desktop's default browser: the user's choice of
// default applications ($XDG_CONFIG_HOME/mimeapps.list) pointing the web
// types (and, when asked, the picture types) at a desktop entry that starts
// the program with the address. That is the installed entry when it starts
// this program; otherwise an entry of its own under the user's data folder
// ($XDG_DATA_HOME/applications), named apart from the installed one so that
// it never hides it. Doing it twice gives the same files as doing it once;
// other entries of mimeapps.list stay as they are.

// The installed desktop entry.
inline constexpr char kDesktopEntryName[] = "orvane.desktop";
// The user's own entry, for a program that no installed entry starts.
inline constexpr char kUserDesktopEntryName[] = "orvane-local.desktop";

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

// Whether the desktop entry at `entryPath` starts `program` (its Exec
// command, looked up in PATH when it names no folder, is that file).
bool DesktopEntryStarts(const QString& entryPath, const QString& program);

// Makes `program` the default: an installed entry that starts it, found in
// `dataDirs` (the system's data folders; `dataHome` among them is skipped),
// is named in mimeapps.list below `configHome`; otherwise the user's own
// entry is written below `dataHome` first. A mimeapps.list that cannot be
// read (unreadable, too large, no regular file, a link out of `configHome`)
// fails before anything is written and stays as it is; when mimeapps.list
// cannot be written, the user's entry is taken back as it was.
FileResult RegisterAsDefaultBrowser(bool pictures, const QString& program, const QString& dataHome,
                                    const QString& configHome, const QStringList& dataDirs);

} // namespace orv
