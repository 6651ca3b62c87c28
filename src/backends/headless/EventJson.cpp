#include "backends/headless/EventJson.h"

#include "protocol/CommandText.h"
#include "track/ContactNames.h"
#include "sim/World.h"

#include <cinttypes>
#include <cstdarg>
#include <cstdio>

namespace quillon::headless {
namespace {

// Appends to a fixed buffer; once full, further text is dropped and the
// line is reported as not written.
class Line {
public:
    explicit Line(char (&text)[EVENT_JSON_CAPACITY]) : text_(text) { text_[0] = '\0'; }

#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    void
    add(const char* format, ...) {
        if (full_)
            return;
        va_list args;
        va_start(args, format);
        int written = std::vsnprintf(text_ + used_, sizeof text_ - used_, format, args);
        va_end(args);
        if (written < 0 || used_ + static_cast<std::size_t>(written) >= sizeof text_) {
            full_ = true;
            return;
        }
        used_ += static_cast<std::size_t>(written);
    }
    void bytes(const std::uint8_t* bytes, int count) {
        add("[");
        for (int i = 0; i < count; ++i)
            add(i == 0 ? "%d" : ",%d", bytes[i]);
        add("]");
    }
    std::size_t finish() {
        add("}\n");
        return full_ ? 0 : used_;
    }

private:
    char (&text_)[EVENT_JSON_CAPACITY];
    std::size_t used_ = 0;
    bool full_ = false;
};

// A node's name as a JSON string: a loaded layout's names may hold any
// printable character, so quotes and backslashes are escaped; anything
// else (a name is text only) is left out.
void nodeName(Line& line, const World& world, NodeRef ref) {
    if (!ref.isNode()) {
        line.add("null");
        return;
    }
    const Node& node = nodeAt(world.layouts, ref);
    char name[2 * sizeof node.name] = {};
    std::size_t out = 0;
    for (std::size_t i = 0; i < sizeof node.name && node.name[i] != '\0'; ++i) {
        char c = node.name[i];
        if (c < 0x20 || c >= 0x7F)
            continue;
        if (c == '"' || c == '\\')
            name[out++] = '\\';
        name[out++] = c;
    }
    line.add("\"%s\"", name);
}

} // namespace

std::size_t formatEventJson(std::int64_t timeMs, const Event& event, const World& world,
                            const LogContext& context, char (&text)[EVENT_JSON_CAPACITY],
                            bool written) {
    Line line(text);
    line.add("{\"t\":%" PRId64 ",", timeMs);
    switch (event.kind) {
    case EventKind::SensorLatched: {
        char name[CONTACT_NAME_CAPACITY];
        formatContactName(event.a, name);
        line.add("\"event\":\"sensor\",\"sensor\":\"%s\",\"number\":%d,\"train\":%d", name, event.a,
                 event.b);
        break;
    }
    case EventKind::SwitchChanged:
        line.add("\"event\":\"switch\",\"number\":%d,\"direction\":\"%s\"", event.a,
                 event.b == SWITCH_DIR_STRAIGHT ? "straight" : "curved");
        break;
    case EventKind::Halt:
        line.add("\"event\":\"halt\",\"train\":%d,\"node\":", event.a);
        nodeName(line, world, event.node);
        break;
    case EventKind::Collision:
        line.add("\"event\":\"collision\",\"train\":%d,\"other\":%d", event.a, event.b);
        break;
    case EventKind::TrainPlaced:
    case EventKind::TrainMoved:
        line.add("\"event\":\"place\",\"train\":%d,\"node\":", event.a);
        nodeName(line, world, event.node);
        break;
    case EventKind::PowerChanged:
        line.add("\"event\":\"power\",\"on\":%s", event.a != 0 ? "true" : "false");
        break;
    case EventKind::ReportSent: {
        line.add(written ? "\"event\":\"report\",\"bytes\":" : "\"event\":\"dropped\",\"bytes\":");
        line.bytes(event.bytes, event.length);
        int numbers[MAX_CONTACTS];
        int count =
            replySensors(context.lastCommand, context.commands, event.bytes, event.length, numbers);
        line.add(",\"sensors\":[");
        for (int i = 0; i < count; ++i) {
            char name[CONTACT_NAME_CAPACITY];
            formatContactName(numbers[i], name);
            line.add(i == 0 ? "\"%s\"" : ",\"%s\"", name);
        }
        line.add("]");
        break;
    }
    case EventKind::CommandDecoded: {
        char description[COMMAND_TEXT_CAPACITY];
        describeCommand(event.bytes, event.length, context.commands, description);
        line.add("\"event\":\"command\",\"bytes\":");
        line.bytes(event.bytes, event.length);
        line.add(",\"text\":\"%s\"", description);
        CommandShape shape = commandShape(event.bytes[0], context.commands);
        if (context.commands == CommandSet::Full && shape.action == CommandAction::Speed)
            line.add(",\"light\":%s", (event.bytes[0] & CMD_LIGHT_BIT) != 0 ? "true" : "false");
        break;
    }
    case EventKind::SensorFired:
        return 0;
    }
    return line.finish();
}

} // namespace quillon::headless
