#include "track/BuiltinLayouts.h"

#include <cstdio>

namespace quillon {
namespace {

void addMessage(LoadMessages& messages, const char* text) {
    if (text[0] == '\0' || messages.count >= 4)
        return;
    std::snprintf(messages.texts[messages.count++], MESSAGE_CAPACITY, "%s", text);
}

} // namespace

LoadMessages loadBuiltinLayouts(Layouts& layouts) {
    LoadMessages messages{};
    const char* texts[2] = {LAYOUT_A_TEXT, LAYOUT_B_TEXT};
    const char* failures[2] = {"Error parsing data for track A", "Error parsing data for track B"};
    for (int i = 0; i < 2; ++i) {
        TrackLayout record{};
        ParseResult result = parseTrackLayout(texts[i], record);
        if (result.status != 0) {
            addMessage(messages, result.message);
            addMessage(messages, failures[i]);
        }
        layouts.tracks[i] = trackFromRecord(record);
    }
    selectLayout(layouts, LAYOUT_A);
    return messages;
}

} // namespace quillon
