#include "protocol/CommandText.h"

#include "track/ContactNames.h"

#include <cstdio>
#include <cstring>

namespace quillon {

void describeCommand(const std::uint8_t* bytes, int length, CommandSet set,
                     char (&text)[COMMAND_TEXT_CAPACITY]) {
    text[0] = '\0';
    if (bytes == nullptr || length < 1) {
        std::snprintf(text, sizeof text, "incomplete");
        return;
    }
    std::uint8_t first = bytes[0];
    CommandShape shape = commandShape(first, set);
    if (length < shape.length) {
        std::snprintf(text, sizeof text, "incomplete");
        return;
    }
    int argument = shape.length > 1 ? bytes[1] : 0;
    switch (shape.action) {
    case CommandAction::Report:
        std::snprintf(text, sizeof text, "report");
        return;
    case CommandAction::Modules:
        std::snprintf(text, sizeof text, "report modules 1-%d", shape.modules);
        return;
    case CommandAction::Module:
        std::snprintf(text, sizeof text, "report module %d", shape.modules);
        return;
    case CommandAction::SolenoidOff:
        std::snprintf(text, sizeof text, "solenoid off");
        return;
    case CommandAction::PowerOn:
        std::snprintf(text, sizeof text, "go");
        return;
    case CommandAction::PowerOff:
        std::snprintf(text, sizeof text, "stop");
        return;
    case CommandAction::Accepted:
        std::snprintf(text, sizeof text, "accepted %d", first);
        return;
    case CommandAction::Switch:
        std::snprintf(text, sizeof text, "switch %d %s", argument,
                      first == CMD_SWITCH_STRAIGHT ? "straight" : "curved");
        return;
    case CommandAction::Function:
        std::snprintf(text, sizeof text, "function %d train %d", first - 64, argument);
        return;
    case CommandAction::Nothing:
        std::snprintf(text, sizeof text, "unknown %d %d", first, argument);
        return;
    case CommandAction::Speed:
        break;
    }
    int step = first & (CMD_LIGHT_BIT - 1);
    const char* light = (first & CMD_LIGHT_BIT) != 0 ? " light on" : "";
    if (step == CMD_REVERSE) {
        std::snprintf(text, sizeof text, "reverse train %d%s", argument, light);
        return;
    }
    std::snprintf(text, sizeof text, "speed train %d step %d%s", argument, step, light);
}

int replySensors(std::uint8_t first, CommandSet set, const std::uint8_t* bytes, int length,
                 int (&numbers)[MAX_CONTACTS]) {
    CommandShape shape = commandShape(first, set);
    int firstModule = shape.action == CommandAction::Module ? shape.modules : 1;
    int count = 0;
    for (int i = 0; bytes != nullptr && i < length; ++i) {
        for (int bit = 0; bit < 8; ++bit) {
            int number = (firstModule - 1) * SENSORS_PER_MODULE + 8 * i + bit;
            if ((bytes[i] & (0x80 >> bit)) == 0 || number >= MAX_CONTACTS)
                continue;
            numbers[count++] = number;
        }
    }
    return count;
}

void describeReport(std::uint8_t first, CommandSet set, const std::uint8_t* bytes, int length,
                    char* text, std::size_t capacity) {
    if (text == nullptr || capacity == 0)
        return;
    text[0] = '\0';
    int numbers[MAX_CONTACTS];
    int count = replySensors(first, set, bytes, length, numbers);
    std::size_t used = 0;
    for (int i = 0; i < count; ++i) {
        char name[CONTACT_NAME_CAPACITY];
        formatContactName(numbers[i], name);
        int written =
            std::snprintf(text + used, capacity - used, "%s%s", used == 0 ? "" : " ", name);
        if (written < 0 || used + static_cast<std::size_t>(written) >= capacity)
            return;
        used += static_cast<std::size_t>(written);
    }
    if (used == 0)
        std::snprintf(text, capacity, "none");
}

} // namespace quillon
