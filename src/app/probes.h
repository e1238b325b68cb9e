#pragma once

#include <QString>

namespace orv {

// What the program knows of the system it runs on. The flags of the other
// platform's versions are all false here; the system's name is the one the
// distribution gives.
struct SystemProbes {
    bool IsNT4OrLater = false;
    bool IsWin2000Family = false;
    bool IsWinMe = false;
    bool IsWin95 = false;
    bool IsWin98 = false;
    bool IsWinNT = false;
    bool IsWin2000 = false;
    bool IsWinXP = false;
    bool IsWin2003 = false;
    bool IsAdmin = false;
    // "Debian GNU/Linux 12 (bookworm)", or empty when the system does not
    // tell.
    QString OsName;
};

// Runs the probes once (start-up) and returns their results.
const SystemProbes& Probes();

// The PRETTY_NAME of an os-release text (quotes removed), else NAME and
// VERSION joined, else empty.
QString OsNameFromOsRelease(const QString& osRelease);

// The user's login name; empty when it cannot be read.
QString GetLoginName();

// Always false: there is no development environment to detect.
inline bool IsRunningInIde()
{
    return false;
}

} // namespace orv
