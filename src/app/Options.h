// The programs' command-line options.
#pragma once

#include "protocol/CommandDecoder.h"

#include <cstddef>

namespace quillon {

// What the application is built with.
struct AppOptions {
    CommandSet commands = CommandSet::Basic;
};

struct ParsedOptions {
    AppOptions app;
    bool help = false;    // print the usage and end
    bool version = false; // print the version and end
    bool ok = true;       // false: error holds one line saying what is wrong
    char error[256] = {};
};

// Reads the options after the program name. commandsVariable is the value
// of QUILLON_COMMANDS (nullptr when unset); an option given on the command
// line wins over it.
ParsedOptions parseOptions(int argc, const char* const* argv, const char* commandsVariable);

// The usage text of the windowed program, ending in a line feed.
const char* usageText();

// "quillon 1.0", ending in a line feed.
const char* versionText();

} // namespace quillon
