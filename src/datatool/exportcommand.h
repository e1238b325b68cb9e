#pragma once

#include <QStringList>

namespace orv::datatool {

// "orvane-data export --format FORMAT ... -o OUT": writes the export of the
// bookmark archive (or of one folder) as the program does. Returns the exit
// code.
int RunExport(const QStringList& args);

} // namespace orv::datatool
