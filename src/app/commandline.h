#pragma once

#include <QString>
#include <QStringList>

namespace orv {

// What the program's first argument asks for: "--help" and "--version"
// (also "-h" and "-v") are answered without starting anything; every other
// argument is the start argument (an address or a file).
enum class CommandLineRequest { Start, Help, Version };

CommandLineRequest ReadCommandLine(const QStringList& arguments);

// The short German usage: the start argument, the data folder `dataFolder`,
// the environment the program honours.
QString UsageText(const QString& dataFolder);
// "Orvane <version>".
QString VersionLine();

} // namespace orv
