#include "support/FakeHost.h"

#include "app/SimulatorApp.h"

#include <algorithm>
#include <cstring>

namespace quillon::testing {

int FakeLink::read(std::uint8_t* buffer, int maxCount) {
    if (!open || pending.empty())
        return 0;
    if (failReads)
        return -1;
    int n = std::min<int>(maxCount, static_cast<int>(pending.size()));
    std::memcpy(buffer, pending.data(), n);
    buffer[n] = 0;
    pending.erase(pending.begin(), pending.begin() + n);
    return n;
}

void resetCoreState() {
    resetLayouts();
    resetTrains();
    resetInteraction();
    application = nullptr;
    shownByUser = false;
    lastMoveTime = 0;
}

TrackNode& nodeNamed(const char* name) {
    TrackLayout& layout = activeLayout();
    for (int i = 0; i < layout.nodeCount; ++i)
        if (std::strcmp(layout.nodes[i].name, name) == 0)
            return layout.nodes[i];
    ADD_FAILURE() << "no node " << name;
    return layout.nodes[0];
}

} // namespace quillon::testing
