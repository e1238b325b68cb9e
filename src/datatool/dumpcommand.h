#pragma once

#include <QStringList>

namespace orv::datatool {

// "orvane-data dump [--kind KIND] [--show-passwords] FILE": prints a data
// file as JSON on standard output. Returns the exit code.
int RunDump(const QStringList& args);

} // namespace orv::datatool
