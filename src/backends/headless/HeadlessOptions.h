// The headless program's own options; the options it shares with the
// windowed program are left for the common parser.
#pragma once

#include <string>
#include <vector>

namespace quillon::headless {

struct HeadlessOptions {
    std::string scenario; // empty: serve a controller over the socket
    bool connect = false; // with a scenario: a real controller drives
    double speed = 1.0;   // simulated time per real time
    bool speedGiven = false;
    std::string log; // empty: standard output
    bool quiet = false;
    // argv[0] and every argument that is not the headless program's own, in
    // order, for the common parser.
    std::vector<const char*> rest;
};

// Takes the headless program's options out of argv. False with error set to
// one line saying what is wrong when one of them is malformed or they do
// not fit together.
bool parseHeadlessOptions(int argc, const char* const* argv, HeadlessOptions& options,
                          std::string& error);

// The usage text, ending in a line feed.
const char* headlessUsageText();

} // namespace quillon::headless
