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

bool FakeHost::openFileDialog(const OpenDialogRequest&, char* path, std::size_t capacity) {
    if (openPath.empty() || openPath.size() >= capacity)
        return false;
    std::strcpy(path, openPath.c_str());
    return true;
}

std::unique_ptr<ControllerLink> FakeHost::createControllerLink() {
    auto created = std::make_unique<FakeLink>();
    link = created.get();
    link->serverPresent = linkServerPresent;
    return created;
}

NodeRef nodeNamed(const World& world, const char* name) {
    NodeRef found = findNode(world.layouts, world.layouts.active, name);
    if (found.isNode())
        return found;
    ADD_FAILURE() << "no node " << name;
    return activeNode(world.layouts, 0);
}

Train& WorldFixture::runningTrain(std::int32_t number, const char* at, std::uint32_t speed,
                                  const char* to) {
    Train& train = *placeTrain(world, number, ref(at));
    train.speed = speed;
    for (int slot = 0; to != nullptr && slot < 3; ++slot)
        if (node(at).edges[slot].dest == ref(to).index)
            train.nextNode = ref(to), train.edge = EdgeRef{ref(at), slot};
    return train;
}

int WorldFixture::stepsUntilNextNode(const Train& train) {
    int steps = 0;
    for (NodeRef at = train.currentNode; train.currentNode == at && !train.crashed; ++steps)
        if (!stepTrains(world, 10) || steps == 10000)
            break;
    return steps;
}

Kinds WorldFixture::takeEvents() {
    Kinds kinds;
    for (int i = 0; i < world.events.count; ++i)
        if (world.events.events[i].kind != EventKind::CommandDecoded)
            kinds.push_back(world.events.events[i].kind);
    world.events.count = 0;
    return kinds;
}

} // namespace quillon::testing
