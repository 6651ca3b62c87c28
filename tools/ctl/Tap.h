// quillon-ctl tap's forwarding, the system's part of the tap.
#pragma once

#include "protocol/CommandFraming.h"

namespace quillon::ctl {

struct TapOptions {
    const char* listenPath;  // where the simulator connects
    const char* connectPath; // where the controller listens
    const char* logPath;     // nullptr: standard output
    bool json;
    CommandSet set;
};

// Waits for the simulator at listenPath, connects on to the controller and
// forwards both ways, logging; then waits for both again, for ever. Returns
// only when it cannot start: 1 when the listening end cannot be made, 2
// when the log cannot be written.
int runTap(const TapOptions& options);

} // namespace quillon::ctl
