// The program's own texts and the properties of its save dialog.
#pragma once

#include "app/Version.h"
#include "host/Host.h"

#include <cstddef>

namespace quillon {

constexpr const char* PROGRAM_NAME = "Quillon";
// The About box shows the version with two decimals: 1.0 as "v1.00".
static_assert(VERSION_MINOR < 10, "the About box reads the minor version as one decimal");
constexpr double PROGRAM_VERSION = VERSION_MAJOR + VERSION_MINOR / 10.0;
constexpr const char* ABOUT_AUTHOR = "Written by the Quillon developers";
constexpr const char* ABOUT_DATE = "2005-11-01";
// Name, version, author line, date.
constexpr const char* ABOUT_FORMAT = "%s v%2.2f\n\n%s [%s]\n";

constexpr std::size_t TITLE_CAPACITY = 128;
// Room for any path a save dialog gives, with its terminating NUL.
constexpr std::size_t PATH_CAPACITY = 4096;

// "Quillon [Track Model A]" for layout 0, "... B]" for layout 1.
void formatTitle(char* title, std::size_t capacity, int layoutIndex);

// "Quillon - NAME" for the loaded layout, NAME being the file's name
// without its folders.
void formatLoadedTitle(char* title, std::size_t capacity, const char* path);

// The file's name without its folders: what follows the last '/' or '\\'.
const char* fileNameOf(const char* path);

// The file name the export proposes: "tracka.dat" or "trackb.dat".
void formatExportName(char* path, std::size_t capacity, int layoutIndex);

// Raw track data and all files, the first selected, "dat" added to a name
// without extension, overwrite prompt, no read-only box, existing folder.
SaveDialogRequest exportDialogRequest();

// Layout files and all files, the first selected, "layout" added to a name
// without extension, overwrite prompt, no read-only box, existing folder.
SaveDialogRequest layoutExportDialogRequest();

// Layout files (*.layout;*.txt: patterns are separated by ';') and all
// files, the first selected.
OpenDialogRequest layoutOpenDialogRequest();

} // namespace quillon
