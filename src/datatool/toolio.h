#pragma once

#include "app/recordio.h"

#include <QByteArray>
#include <QString>

namespace orv::datatool {

// Exit code of every failure of the tool.
inline constexpr int ExitFailure = 2;

// Writes "orvane-data: <message>" as one line to standard error and returns
// ExitFailure. Line breaks inside the message become blanks.
int Fail(const QString& message);

// Writes "orvane-data: Warnung: <message>" as one line to standard error;
// the command goes on.
void Warn(const QString& message);

// Writes bytes to standard output; false when they could not all be written
// (a closed pipe, a full disk).
bool WriteStdout(const QByteArray& bytes);

// Reads a whole input file that must exist and be a regular file; the error
// names the path and says what is wrong (missing, a folder, unreadable).
FileResult ReadInputFile(const QString& path, QByteArray& content);

} // namespace orv::datatool
