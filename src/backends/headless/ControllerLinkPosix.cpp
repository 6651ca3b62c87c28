#include "backends/headless/ControllerLinkSeam.h"
#include "backends/posix/ControllerSocket.h"
#include "backends/posix/PosixControllerLink.h"

namespace quillon::headless {

std::unique_ptr<ControllerLink> makeControllerLink(const char* name, const char* program) {
    return std::make_unique<PosixControllerLink>(name, program);
}

std::string defaultControllerName() {
    return controllerSocketPath();
}

std::size_t longestControllerName() {
    return longestSocketPath();
}

Waitable readableWaitable(ControllerLink& link) {
    return static_cast<PosixControllerLink&>(link).descriptor();
}

} // namespace quillon::headless
