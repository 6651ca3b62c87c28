// formatNamedLayout: any track in the named form, one statement per node.
#include "track/EdgeKeywords.h"
#include "track/LayoutFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace quillon {
namespace {

constexpr int MAX_NAME_LENGTH = NODE_NAME_CAPACITY - 1;

// The edge slots in the order a statement lists them.
constexpr int SWITCH_SLOT_ORDER[3] = {EDGE_STRAIGHT, EDGE_CURVED, EDGE_COMMON};
constexpr int SENSOR_SLOT_ORDER[2] = {EDGE_AHEAD, EDGE_BEHIND};

std::string_view storedName(const Node& node) {
    const void* end = std::memchr(node.name, '\0', sizeof node.name);
    if (end == nullptr)
        return {};
    return std::string_view(node.name,
                            static_cast<std::size_t>(static_cast<const char*>(end) - node.name));
}

bool fitName(std::string_view name) {
    return !name.empty() && name.size() <= static_cast<std::size_t>(MAX_NAME_LENGTH) &&
           std::all_of(name.begin(), name.end(),
                       [](char c) { return c >= '!' && c <= '~' && c != '#'; });
}

// Each node's name in the text: its own where that is fit and no other node
// has it, otherwise N<index>, lengthened with '_' until no name has it.
std::vector<std::string> textNames(const Track& track) {
    std::unordered_map<std::string_view, int> uses;
    for (const Node& node : track.nodes)
        ++uses[storedName(node)];
    std::unordered_set<std::string> taken;
    std::vector<std::string> names(track.nodes.size());
    std::vector<bool> own(track.nodes.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::string_view name = storedName(track.nodes[i]);
        own[i] = fitName(name) && uses[name] == 1;
        if (own[i]) {
            names[i] = std::string(name);
            taken.insert(names[i]);
        }
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (own[i])
            continue;
        std::string name = 'N' + std::to_string(i);
        while (taken.count(name) != 0)
            name += '_';
        names[i] = name;
        taken.insert(name);
    }
    return names;
}

const char* typeWord(std::int32_t type) {
    return type == NODE_SENSOR ? "sensor" : type == NODE_SWITCH ? "switch" : "stop  ";
}

// The contact as the text states it: its number, or '-' for none.
std::string contactText(std::int32_t contact) {
    return contact == NO_CONTACT ? "-" : std::to_string(contact);
}

void appendContacts(std::string& text, const Node& node) {
    std::int32_t ahead = node.contacts[WAY_AHEAD];
    std::int32_t behind = node.contacts[WAY_BEHIND];
    if (ahead >= 0 && ahead % 2 == 0 && behind == ahead + 1) {
        text += " id " + std::to_string(ahead / 2);
        return;
    }
    if (ahead == behind && ahead != NO_CONTACT) {
        text += " contact " + std::to_string(ahead);
        return;
    }
    text += " contacts " + contactText(ahead) + ' ' + contactText(behind);
}

} // namespace

std::string formatNamedLayout(const Track& track) {
    const std::vector<std::string> names = textNames(track);
    std::size_t width = 0;
    for (const std::string& name : names)
        width = std::max(width, name.size());
    std::string text;
    text.reserve(track.nodes.size() * 80 + 32);
    if (track.gap.rule == GapRule::LayoutUnits)
        text += "gap " + std::to_string(track.gap.size) + "\n";
    for (std::size_t i = 0; i < track.nodes.size(); ++i) {
        const Node& node = track.nodes[i];
        std::int32_t type =
            node.type == NODE_SENSOR || node.type == NODE_SWITCH ? node.type : NODE_STOP;
        text += typeWord(type);
        text += ' ';
        text += names[i];
        text.append(width - names[i].size(), ' ');
        text += " at " + std::to_string(node.layoutX) + ' ' + std::to_string(node.layoutY);
        if (type == NODE_SENSOR)
            appendContacts(text, node);
        if (type == NODE_SWITCH)
            text += " number " + std::to_string(node.id) + " set " +
                    (node.direction == SWITCH_DIR_CURVED ? "curved" : "straight");
        if (type == NODE_STOP && node.id != 0)
            text += " id " + std::to_string(node.id);
        const int* order = type == NODE_SWITCH ? SWITCH_SLOT_ORDER : SENSOR_SLOT_ORDER;
        const char* separator = "\n    ";
        for (int k = 0; k < slotCount(type); ++k) {
            const NodeEdge& edge = node.edges[order[k]];
            if (edge.dest < 0 || edge.dest >= track.nodeCount())
                continue;
            text += separator;
            text += edgeKeyword(type, order[k]);
            text += ' ' + names[static_cast<std::size_t>(edge.dest)] + ' ' +
                    std::to_string(edge.distance);
            separator = "  ";
        }
        text += '\n';
    }
    return text;
}

} // namespace quillon
