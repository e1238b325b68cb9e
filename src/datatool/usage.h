#pragma once

#include <QString>

namespace orv::datatool {

// The German help text of the tool (ends with a line break).
QString UsageText();

// "orvane-data 8.0.4"
QString VersionLine();

} // namespace orv::datatool
