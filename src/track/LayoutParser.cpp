#include "track/LayoutParser.h"

#include "track/EdgeKeywords.h"
#include "track/FieldReader.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace quillon {
namespace {

constexpr int WORD_CHARS = 9;
constexpr int NAME_CHARS = 4;

// Stores the formatted message as the parse's failure message; -1.
#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
int fail(ParseResult& out, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(out.message, sizeof out.message, format, args);
    va_end(args);
    return -1;
}

// Reads the edge count of one node. Switch entries fail silently.
bool readEdgeCount(ParseResult& out, FieldReader& in, const TrackNode& node, std::int32_t& count) {
    if (in.readNumber(count, 10))
        return true;
    if (node.type != NODE_SWITCH)
        fail(out, "Could not get number of edges\n");
    return false;
}

// Reads count edges of one node into the slots their keywords select. Switch
// entries fail silently except for the destination range test.
int readEdges(ParseResult& out, FieldReader& in, const TrackLayout& layout, TrackNode& node,
              std::int32_t count) {
    const bool quiet = node.type == NODE_SWITCH;
    for (std::int32_t i = 0; i < count; ++i) {
        std::int32_t dest = 0;
        if (!in.readNumber(dest, 10))
            return quiet ? -1 : fail(out, "Could not get edge destination\n");
        if (dest < 0 || dest >= layout.nodeCount) {
            return fail(out, "edge destination %d out of bounds\n", dest);
        }
        char keyword[WORD_CHARS + 1];
        if (!in.readWord(keyword, WORD_CHARS))
            return quiet ? -1 : fail(out, "Could not get edge type\n");
        std::int32_t distance = 0;
        if (!in.readNumber(distance, 10))
            return quiet ? -1 : fail(out, "Could not get edge distance\n");
        int slot = edgeSlot(node.type, keyword);
        if (slot < 0)
            return quiet ? -1 : fail(out, "Invalid edge direction %s\n", keyword);
        node.edges[slot] = NodeEdge{dest, distance};
    }
    return 0;
}

int readSensor(ParseResult& out, FieldReader& in, TrackLayout& layout, TrackNode& node) {
    node.type = NODE_SENSOR;
    std::int32_t count = 0;
    if (!readEdgeCount(out, in, node, count))
        return -1;
    if (node.id < 0 || node.id >= SENSOR_IDS) {
        return fail(out, "%d is an invalid sensor id\n", node.id);
    }
    layout.sensorNodeIndex[2 * node.id] = node.index;
    layout.sensorNodeIndex[2 * node.id + 1] = node.index;
    if (readEdges(out, in, layout, node, count) != 0)
        return -1;
    node.direction = 0;
    return 0;
}

int readSwitch(ParseResult& out, FieldReader& in, TrackLayout& layout, TrackNode& node) {
    node.type = NODE_SWITCH;
    int slot = switchSlot(node.id);
    if (!isValidSwitchSlot(slot)) {
        return fail(out, "%d is an invalid switch number\n", node.id);
    }
    layout.switchNodeIndex[slot] = node.index;
    node.id = slot;
    char word[WORD_CHARS + 1];
    if (!in.readWord(word, WORD_CHARS))
        return -1;
    if (std::strcmp(word, "straight") == 0)
        node.direction = SWITCH_DIR_STRAIGHT;
    else if (std::strcmp(word, "curved") == 0)
        node.direction = SWITCH_DIR_CURVED;
    else
        return -1;
    std::int32_t count = 0;
    if (!readEdgeCount(out, in, node, count))
        return -1;
    return readEdges(out, in, layout, node, count);
}

int readNode(ParseResult& out, FieldReader& in, TrackLayout& layout) {
    std::int32_t index = 0;
    if (!in.readNumber(index, 10))
        return fail(out, "Could not get index\n");
    if (index < 0 || index >= layout.nodeCount) {
        return fail(out, "%d is an invalid index\n", index);
    }
    TrackNode& node = layout.nodes[index];
    node.index = index;

    char name[NAME_CHARS + 1];
    if (!in.readWord(name, NAME_CHARS))
        return fail(out, "Could not get name\n");
    std::memset(node.name, 0, sizeof node.name);
    std::memcpy(node.name, name, std::strlen(name));

    char type[WORD_CHARS + 1];
    if (!in.readWord(type, WORD_CHARS))
        return fail(out, "Could not get node type\n");
    if (!in.readNumber(node.id, 0))
        return fail(out, "Could not get id\n");
    if (!in.readNumber(node.x, 10))
        return fail(out, "Could not get x coordinate\n");
    if (!in.readNumber(node.y, 10))
        return fail(out, "Could not get y coordinate\n");
    for (NodeEdge& edge : node.edges)
        edge.dest = -1;

    if (std::strcmp(type, "sensor") == 0)
        return readSensor(out, in, layout, node);
    if (std::strcmp(type, "switch") == 0)
        return readSwitch(out, in, layout, node);
    if (std::strcmp(type, "stop") == 0) {
        node.type = NODE_STOP;
        std::int32_t count = 0;
        if (!readEdgeCount(out, in, node, count))
            return -1;
        return readEdges(out, in, layout, node, count);
    }
    return -1;
}

int parse(ParseResult& out, const char* text, TrackLayout& layout) {
    FieldReader in(text);
    char header[WORD_CHARS + 1];
    if (!in.readWord(header, WORD_CHARS))
        return fail(out, "Could not read initial string.\n");
    if (std::strcmp(header, "track") != 0)
        return fail(out, "Expected 'track', got '%s'\n", header);
    layout.nodeCount = -1;
    std::int32_t count = 0;
    if (!in.readNumber(count, 10))
        return fail(out, "Did not get nodeCount\n");
    if (count > MAX_NODES)
        return fail(out, "nodeCount must be at most 72\n");
    layout.nodeCount = count;
    if (count < 1)
        return fail(out, "nodeCount must be positive\n");
    for (std::int32_t i = 0; i < count; ++i) {
        if (readNode(out, in, layout) != 0)
            return -1;
    }
    return 0;
}

} // namespace

ParseResult parseTrackLayout(const char* text, TrackLayout& layout) {
    ParseResult out{};
    out.status = parse(out, text, layout);
    return out;
}

} // namespace quillon
