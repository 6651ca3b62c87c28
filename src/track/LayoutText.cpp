#include "track/LayoutText.h"

#include "track/EdgeKeywords.h"
#include "track/FieldReader.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace quillon {
namespace {

// The most characters of a field that a message quotes.
constexpr int QUOTED_CHARS = 20;

const char* typeWord(std::int32_t type) {
    switch (type) {
    case NODE_SENSOR:
        return "sensor";
    case NODE_SWITCH:
        return "switch";
    case NODE_STOP:
        return "stop";
    default:
        return nullptr;
    }
}

// The slots in the order the built-in texts list them.
constexpr int SWITCH_SLOT_ORDER[3] = {EDGE_STRAIGHT, EDGE_CURVED, EDGE_COMMON};
constexpr int SENSOR_SLOT_ORDER[2] = {EDGE_AHEAD, EDGE_BEHIND};

bool nameStatable(const char (&name)[NODE_NAME_CAPACITY]) {
    const void* end = std::memchr(name, '\0', NODE_NAME_CAPACITY);
    if (end == nullptr)
        return false;
    auto length = static_cast<std::size_t>(static_cast<const char*>(end) - name);
    if (length < 1 || length > static_cast<std::size_t>(MAX_NAME_CHARS))
        return false;
    for (std::size_t i = 0; i < length; ++i)
        if (isScanSpace(name[i]))
            return false;
    return true;
}

bool nodeStatable(const Node& node, int count) {
    if (typeWord(node.type) == nullptr || !nameStatable(node.name))
        return false;
    if (node.type == NODE_SENSOR &&
        (node.id < 0 || node.id > MAX_SENSOR_ID || node.contacts[WAY_AHEAD] != 2 * node.id ||
         node.contacts[WAY_BEHIND] != 2 * node.id + 1))
        return false;
    if (node.type == NODE_SWITCH &&
        (node.id < 1 || node.id > MAX_SWITCH_NUMBER ||
         (node.direction != SWITCH_DIR_STRAIGHT && node.direction != SWITCH_DIR_CURVED)))
        return false;
    for (int slot = 0; slot < 3; ++slot) {
        const NodeEdge& edge = node.edges[slot];
        if (edge.dest == -1)
            continue;
        if (edgeKeyword(node.type, slot) == nullptr || edge.dest < 0 || edge.dest >= count ||
            edge.distance < 1 || edge.distance > MAX_EDGE_DISTANCE)
            return false;
    }
    return true;
}

// Appends the formatted text; every line of the form fits the buffer.
#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
void append(std::string& text, const char* format, ...) {
    char line[128];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    text += line;
}

// The fields of a text: runs of characters between white space, each with
// the line and column it starts at.
class Fields {
public:
    explicit Fields(const char* text) : at_(text), lineStart_(text) {}

    // The next field, or false at the end of the text.
    bool next(std::string_view& field) {
        while (isScanSpace(*at_)) {
            if (*at_ == '\n') {
                ++line_;
                lineStart_ = at_ + 1;
            }
            ++at_;
        }
        if (*at_ == '\0')
            return false;
        const char* begin = at_;
        while (*at_ != '\0' && !isScanSpace(*at_))
            ++at_;
        field = std::string_view(begin, static_cast<std::size_t>(at_ - begin));
        fieldAt_ = {line_, static_cast<int>(begin - lineStart_) + 1};
        return true;
    }

    // Where the last field read begins; line 1, column 1 before the first.
    SourcePosition fieldPosition() const { return fieldAt_; }

private:
    const char* at_;
    const char* lineStart_;
    int line_ = 1;
    SourcePosition fieldAt_{1, 1};
};

class Loader {
public:
    Loader(const char* text, std::vector<LayoutError>& errors,
           std::vector<SourcePosition>& positions)
        : fields_(text), errors_(errors), positions_(positions) {}

    bool run(Track& track) {
        if (!header(track))
            return false;
        for (int i = 0; i < track.nodeCount(); ++i)
            if (!node(track))
                return false;
        std::string_view extra;
        if (fields_.next(extra))
            report("the text goes on after the last of the %d nodes", track.nodeCount());
        return !failed_;
    }

private:
    // How a field was read: fine; wrong but the next field is where it
    // should be; or wrong so that reading has to stop.
    enum class Read { Fine, Wrong, Stop };

#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    void
    report(const char* format, ...) {
        char message[160];
        va_list args;
        va_start(args, format);
        std::vsnprintf(message, sizeof message, format, args);
        va_end(args);
        SourcePosition at = fields_.fieldPosition();
        errors_.push_back({at.line, message, at.column});
        failed_ = true;
    }

    Read word(const char* what, std::string_view& out) {
        if (fields_.next(out))
            return Read::Fine;
        report("the text ends before the %s", what);
        return Read::Stop;
    }

    // A whole field read as a number in base (0: as its prefix says).
    Read number(const char* what, int base, std::int32_t& out) {
        std::string_view field;
        if (word(what, field) == Read::Stop)
            return Read::Stop;
        bool held = false;
        std::int32_t value = 0;
        const char* end = scanNumber(field.data(), base, value, &held);
        if (end != field.data() + field.size()) {
            report("%s '%.*s' is not a number", what, quotedLength(field), field.data());
            return Read::Stop;
        }
        if (held) {
            report("%s %.*s does not fit in 32 bits", what, quotedLength(field), field.data());
            return Read::Wrong;
        }
        out = value;
        return Read::Fine;
    }

    // A number in lowest..highest.
    Read bounded(const char* what, int base, std::int32_t lowest, std::int32_t highest,
                 std::int32_t& out) {
        Read read = number(what, base, out);
        if (read != Read::Fine)
            return read;
        if (out >= lowest && out <= highest)
            return Read::Fine;
        report("%s %d is outside %d..%d", what, out, lowest, highest);
        return Read::Wrong;
    }

    static int quotedLength(std::string_view field) {
        return field.size() < QUOTED_CHARS ? static_cast<int>(field.size()) : QUOTED_CHARS;
    }

    bool header(Track& track) {
        std::string_view word;
        if (!fields_.next(word)) {
            report("the text is empty: it begins with 'track' and the node count");
            return false;
        }
        if (word != "track") {
            report("expected 'track', got '%.*s'", quotedLength(word), word.data());
            return false;
        }
        std::int32_t count = 0;
        if (bounded("node count", 10, 1, MAX_TRACK_NODES, count) != Read::Fine)
            return false;
        track.nodes.resize(static_cast<std::size_t>(count));
        positions_.assign(static_cast<std::size_t>(count), SourcePosition{});
        seen_.assign(static_cast<std::size_t>(count), false);
        return true;
    }

    // Reads one node entry into its slot; false when reading has to stop.
    bool node(Track& track) {
        const std::int32_t last = track.nodeCount() - 1;
        Node node;
        std::int32_t index = 0;
        Read indexRead = bounded("node index", 10, 0, last, index);
        if (indexRead == Read::Stop)
            return false;
        const SourcePosition entryAt = fields_.fieldPosition();
        if (indexRead == Read::Fine && seen_[static_cast<std::size_t>(index)]) {
            report("node %d is given twice", index);
            indexRead = Read::Wrong;
        }
        std::string_view name;
        if (word("node name", name) == Read::Stop)
            return false;
        if (name.size() > static_cast<std::size_t>(MAX_NAME_CHARS))
            report("node name '%.*s' is longer than %d characters", quotedLength(name), name.data(),
                   MAX_NAME_CHARS);
        else
            std::memcpy(node.name, name.data(), name.size());
        std::string_view type;
        if (word("node type", type) == Read::Stop)
            return false;
        if (type == "sensor") {
            node.type = NODE_SENSOR;
        } else if (type == "switch") {
            node.type = NODE_SWITCH;
        } else if (type == "stop") {
            node.type = NODE_STOP;
        } else {
            report("node type '%.*s' is not sensor, switch or stop", quotedLength(type),
                   type.data());
            return false;
        }
        Read read = Read::Fine;
        if (node.type == NODE_SENSOR)
            read = bounded("sensor id", 0, 0, MAX_SENSOR_ID, node.id);
        else if (node.type == NODE_SWITCH)
            read = bounded("switch number", 0, 1, MAX_SWITCH_NUMBER, node.id);
        else
            read = number("stop number", 0, node.id);
        if (read == Read::Stop || number("x coordinate", 10, node.layoutX) == Read::Stop ||
            number("y coordinate", 10, node.layoutY) == Read::Stop)
            return false;
        node.x = node.layoutX;
        node.y = node.layoutY;
        if (node.type == NODE_SENSOR && read == Read::Fine) {
            node.contacts[WAY_AHEAD] = 2 * node.id;
            node.contacts[WAY_BEHIND] = 2 * node.id + 1;
        }
        if (node.type == NODE_SWITCH && !direction(node))
            return false;
        if (!edges(node, last))
            return false;
        if (indexRead == Read::Fine) {
            seen_[static_cast<std::size_t>(index)] = true;
            track.nodes[static_cast<std::size_t>(index)] = node;
            positions_[static_cast<std::size_t>(index)] = entryAt;
        }
        return true;
    }

    bool direction(Node& node) {
        std::string_view word;
        if (this->word("switch direction", word) == Read::Stop)
            return false;
        if (word == "straight")
            node.direction = SWITCH_DIR_STRAIGHT;
        else if (word == "curved")
            node.direction = SWITCH_DIR_CURVED;
        else
            report("switch direction '%.*s' is not straight or curved", quotedLength(word),
                   word.data());
        return true;
    }

    bool edges(Node& node, std::int32_t last) {
        std::int32_t count = 0;
        if (number("edge count", 10, count) != Read::Fine)
            return false;
        if (count < 0 || count > slotCount(node.type)) {
            report("edge count %d is outside 0..%d for a %s", count, slotCount(node.type),
                   typeWord(node.type));
            return false;
        }
        for (std::int32_t i = 0; i < count; ++i) {
            NodeEdge edge{};
            Read dest = bounded("edge destination", 10, 0, last, edge.dest);
            if (dest == Read::Stop)
                return false;
            std::string_view keyword;
            if (word("edge keyword", keyword) == Read::Stop)
                return false;
            int slot = edgeSlot(node.type, keyword);
            if (slot < 0)
                report("a %s has no '%.*s' edge", typeWord(node.type), quotedLength(keyword),
                       keyword.data());
            else if (node.edges[slot].dest != -1)
                report("the %s edge is given twice", edgeKeyword(node.type, slot));
            Read distance = bounded("edge distance", 10, 1, MAX_EDGE_DISTANCE, edge.distance);
            if (distance == Read::Stop)
                return false;
            if (slot >= 0)
                node.edges[slot] = edge;
        }
        return true;
    }

    Fields fields_;
    std::vector<LayoutError>& errors_;
    std::vector<SourcePosition>& positions_;
    std::vector<bool> seen_;
    bool failed_ = false;
};

} // namespace

std::optional<std::string> formatLayoutText(const Track& track) {
    int count = track.nodeCount();
    if (count < 1 || count > MAX_TRACK_NODES || track.gap.rule != GapRule::WindowPixels ||
        track.gap.size != 10)
        return std::nullopt;
    std::string text;
    text.reserve(static_cast<std::size_t>(count) * 64);
    append(text, "track %d\n", count);
    for (int i = 0; i < count; ++i) {
        const Node& node = track.nodes[static_cast<std::size_t>(i)];
        if (!nodeStatable(node, count))
            return std::nullopt;
        append(text, "%d %s %s %d %d %d", i, node.name, typeWord(node.type), node.id, node.layoutX,
               node.layoutY);
        if (node.type == NODE_SWITCH)
            append(text, " %s", node.direction == SWITCH_DIR_STRAIGHT ? "straight" : "curved");
        const int* order = node.type == NODE_SWITCH ? SWITCH_SLOT_ORDER : SENSOR_SLOT_ORDER;
        int edges = 0;
        for (int k = 0; k < slotCount(node.type); ++k)
            edges += node.edges[order[k]].dest != -1;
        append(text, " %d\n", edges);
        for (int k = 0; k < slotCount(node.type); ++k) {
            const NodeEdge& edge = node.edges[order[k]];
            if (edge.dest != -1)
                append(text, "  %d %s %d\n", edge.dest, edgeKeyword(node.type, order[k]),
                       edge.distance);
        }
    }
    return text;
}

bool loadLayoutText(const char* text, Track& out, std::vector<LayoutError>& errors,
                    std::vector<SourcePosition>* nodePositions) {
    Track track;
    std::vector<SourcePosition> positions;
    if (!Loader(text, errors, positions).run(track))
        return false;
    if (nodePositions != nullptr)
        *nodePositions = std::move(positions);
    track.gap = CollisionGap{GapRule::WindowPixels, 10};
    track.stuck.clear();
    track.revision = out.revision + 1;
    indexTrack(track);
    out = std::move(track);
    return true;
}

} // namespace quillon
