#include "track/LayoutCheck.h"

#include "track/ContactNames.h"
#include "track/EdgeKeywords.h"

#include <algorithm>
#include <numeric>

namespace quillon {
namespace {

bool inside(const Track& track, std::int32_t index) {
    return index >= 0 && index < track.nodeCount();
}

std::string nameOf(const Track& track, int index) {
    const Node& node = track.nodes[static_cast<std::size_t>(index)];
    std::string_view name(node.name, sizeof node.name);
    name = name.substr(0, name.find('\0'));
    return name.empty() ? 'N' + std::to_string(index) : std::string(name);
}

bool leadsTo(const Node& node, int index) {
    for (int slot = 0; slot < slotCount(node.type); ++slot)
        if (node.edges[slot].dest == index)
            return true;
    return false;
}

void checkEdges(const Track& track, int i, std::vector<LayoutWarning>& warnings) {
    const Node& node = track.nodes[static_cast<std::size_t>(i)];
    for (int slot = 0; slot < slotCount(node.type); ++slot) {
        std::int32_t dest = node.edges[slot].dest;
        if (!inside(track, dest) || leadsTo(track.nodes[static_cast<std::size_t>(dest)], i))
            continue;
        warnings.push_back({i, "edge " + nameOf(track, i) + ' ' + edgeKeyword(node.type, slot) +
                                   " -> " + nameOf(track, dest) + " has no edge back from " +
                                   nameOf(track, dest)});
    }
    if (node.type != NODE_SWITCH)
        return;
    for (int slot : {EDGE_STRAIGHT, EDGE_CURVED})
        if (!inside(track, node.edges[slot].dest))
            warnings.push_back({i, "switch " + nameOf(track, i) + ": its " +
                                       edgeKeyword(NODE_SWITCH, slot) + " branch leads nowhere"});
}

// Warns at each sensor that reports a contact an earlier sensor reports.
void checkContacts(const Track& track, std::vector<LayoutWarning>& warnings) {
    std::vector<int> firstSensor(CONTACT_COUNT, NO_INDEX);
    for (int i = 0; i < track.nodeCount(); ++i) {
        const Node& node = track.nodes[static_cast<std::size_t>(i)];
        for (int way : {WAY_AHEAD, WAY_BEHIND}) {
            std::int32_t contact = contactOf(node, way);
            if (contact < 0 || contact >= CONTACT_COUNT ||
                (way == WAY_BEHIND && contact == contactOf(node, WAY_AHEAD)))
                continue;
            int& first = firstSensor[static_cast<std::size_t>(contact)];
            if (first == NO_INDEX) {
                first = i;
                continue;
            }
            char name[CONTACT_NAME_CAPACITY];
            formatContactName(contact, name);
            warnings.push_back({i, "sensor " + nameOf(track, i) + " reports contact " +
                                       std::to_string(contact) + " (" + name + "), as " +
                                       nameOf(track, first) + " does"});
        }
    }
}

int root(std::vector<int>& parent, int i) {
    while (parent[static_cast<std::size_t>(i)] != i) {
        int& up = parent[static_cast<std::size_t>(i)];
        up = parent[static_cast<std::size_t>(up)];
        i = up;
    }
    return i;
}

// Warns once at the first node of each part that node 0's part does not
// reach, edges taken both ways.
void checkParts(const Track& track, std::vector<LayoutWarning>& warnings) {
    const int count = track.nodeCount();
    std::vector<int> parent(static_cast<std::size_t>(count));
    std::iota(parent.begin(), parent.end(), 0);
    for (int i = 0; i < count; ++i)
        for (const NodeEdge& edge : track.nodes[static_cast<std::size_t>(i)].edges)
            if (inside(track, edge.dest))
                parent[static_cast<std::size_t>(root(parent, i))] = root(parent, edge.dest);
    std::vector<int> sizes(static_cast<std::size_t>(count), 0);
    for (int i = 0; i < count; ++i)
        ++sizes[static_cast<std::size_t>(root(parent, i))];
    const int main = root(parent, 0);
    std::vector<bool> told(static_cast<std::size_t>(count), false);
    for (int i = 0; i < count; ++i) {
        int part = root(parent, i);
        if (part == main || told[static_cast<std::size_t>(part)])
            continue;
        told[static_cast<std::size_t>(part)] = true;
        int size = sizes[static_cast<std::size_t>(part)];
        warnings.push_back({i, "the part with " + nameOf(track, i) + " (" + std::to_string(size) +
                                   (size == 1 ? " node" : " nodes") + ") cannot be reached from " +
                                   nameOf(track, 0)});
    }
}

} // namespace

std::vector<LayoutWarning> checkLayout(const Track& track) {
    std::vector<LayoutWarning> warnings;
    for (int i = 0; i < track.nodeCount(); ++i)
        checkEdges(track, i, warnings);
    checkContacts(track, warnings);
    if (track.nodeCount() > 0)
        checkParts(track, warnings);
    std::stable_sort(
        warnings.begin(), warnings.end(),
        [](const LayoutWarning& a, const LayoutWarning& b) { return a.node < b.node; });
    return warnings;
}

} // namespace quillon
