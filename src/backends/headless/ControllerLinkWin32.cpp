#include "backends/headless/ControllerLinkSeam.h"
#include "backends/win32/NamedPipeLink.h"

namespace quillon::headless {

// A name without its "\\.\pipe\" is taken as the pipe's own name.
std::unique_ptr<ControllerLink> makeControllerLink(const char* name, const char*) {
    return std::make_unique<NamedPipeLink>(pipeNameOf(name).c_str());
}

std::string defaultControllerName() {
    return PIPE_NAME;
}

// Room for the name after the "\\.\pipe\" that makeControllerLink may add.
std::size_t longestControllerName() {
    return NamedPipeLink::NAME_CAPACITY - 9;
}

Waitable readableWaitable(ControllerLink& link) {
    return static_cast<NamedPipeLink&>(link).readableEvent();
}

} // namespace quillon::headless
