// The headless program's own options; the options it shares with the
// windowed program are left for the common parser.
#pragma once

#include "app/Options.h"

#include <string>

namespace quillon::headless {

struct HeadlessOptions {
    std::string scenario; // empty: serve a controller over the socket
    bool connect = false; // with a scenario: a real controller drives
    double speed = 1.0;   // simulated time per real time
    bool speedGiven = false;
    std::string log; // empty: standard output
    bool quiet = false;
};

// Reads the options after the program name: the headless program's own
// into options, those it shares with the windowed program into common
// (started by the caller with startOptions, finished here). False with
// error set to one line saying what is wrong when an option is unknown or
// malformed or the options do not fit together.
bool parseHeadlessOptions(int argc, const char* const* argv, HeadlessOptions& options,
                          ParsedOptions& common, std::string& error);

// The usage text, ending in a line feed.
const char* headlessUsageText();

} // namespace quillon::headless
