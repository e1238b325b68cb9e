#pragma once

#include "app/recordio.h"

#include <QString>
#include <array>

namespace orv {

// Global state of start-up that every part of the program reads.

// "Jan" .. "Dec", index 0 is January (month names of dated exports).
extern const std::array<const char*, 12> MonthNames;

// "8.0.4"
const QString& VersionText();
// "Orvane 8.0": main window caption and the name the single copy listens on.
const QString& AppTitle();

// The per-user data folder (never ending with "/"): the documents folder +
// "/OrvaneData-" + version, unless set otherwise (tests, the data tool).
const QString& DataFolder();
void SetDataFolder(const QString& folder);
// Creates the data folder (with its parents); a failure says which folder
// and why.
FileResult EnsureDataFolder();

// The folder of the shipped program files (search form, samples, help, start
// page): share/orvane when installed, the source resources in a build tree.
const QString& AppFolder();
void SetAppFolder(const QString& folder);

// The program folder relative to the program's own folder: <prefix>/bin and
// <prefix>/share/orvane.
inline constexpr const char* InstalledAppFolder = "../share/orvane";

// Where the program folder is for a program in `programDir`: the installed
// folder (programDir + "/" + InstalledAppFolder) when it exists; else, when
// programDir lies in a build tree (it or a folder above it holds
// CMakeCache.txt), the source tree's resources `sourceResources` if they
// exist; else the installed folder all the same (missing files stay missing).
QString FindAppFolder(const QString& programDir, const QString& sourceResources);

// A stored path of a file in a program folder (the start page, the search
// form file) as it is now: when the file is gone and the path ran through a
// program folder (an installed "orvane" folder or the source tree's
// resources), the same file in `appFolder` if that holds it; else the path
// unchanged.
QString ProgramFileNow(const QString& stored, const QString& appFolder);

// Text 104 + text 1111: the default start page.
QString ProductPageUrl();

} // namespace orv
