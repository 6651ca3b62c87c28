#include "support/FakeHost.h"

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

bool FakeHost::saveFileDialog(const SaveDialogRequest&, char* path, std::size_t capacity) {
    proposedPath = path;
    if (chosenPath.empty() || chosenPath.size() >= capacity)
        return false;
    std::strcpy(path, chosenPath.c_str());
    return true;
}

std::unique_ptr<ControllerLink> FakeHost::createControllerLink() {
    auto created = std::make_unique<FakeLink>();
    link = created.get();
    link->serverPresent = linkServerPresent;
    return created;
}

NodeRef nodeNamed(const World& world, const char* name) {
    const TrackLayout& layout = activeLayout(world.layouts);
    for (int i = 0; i < usedSlots(layout); ++i)
        if (std::strcmp(layout.nodes[i].name, name) == 0)
            return activeNode(world.layouts, i);
    ADD_FAILURE() << "no node " << name;
    return activeNode(world.layouts, 0);
}

} // namespace quillon::testing
