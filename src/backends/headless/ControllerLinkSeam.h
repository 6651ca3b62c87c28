// The headless program's controller link, the one part of serving that
// differs between systems: a Unix domain socket on POSIX systems, a named
// pipe on Windows. Both connect as the client to the controller's end.
#pragma once

#include "backends/headless/Pacer.h"
#include "host/ControllerLink.h"

#include <cstddef>
#include <memory>
#include <string>

namespace quillon::headless {

// The link to the controller at name, not yet connected. program names the
// program in the lines that say why a link refuses.
std::unique_ptr<ControllerLink> makeControllerLink(const char* name, const char* program);

// Where the controller is looked for when no --socket is given.
std::string defaultControllerName();

// The longest name a link can connect to.
std::size_t longestControllerName();

// What the pacer waits on for bytes from link, a link that
// makeControllerLink made and that is connected.
Waitable readableWaitable(ControllerLink& link);

} // namespace quillon::headless
