#include "track/TrackExport.h"

#include <cassert>
#include <cstring>

namespace quillon {
namespace {

constexpr int ENTRIES_PER_LINE = 16;

// The capacity holds the longest text by construction; a piece that would
// not fit (and its NUL) is never written past the end all the same.
void append(SwitchText& out, const char* piece) {
    std::size_t n = std::strlen(piece);
    assert(out.length + n < sizeof out.text);
    if (out.length + n >= sizeof out.text)
        return;
    std::memcpy(out.text + out.length, piece, n);
    out.length += n;
}

} // namespace

void formatRawLayout(const TrackLayout& layout, char* buffer) {
    static constexpr char HEX[] = "0123456789ABCDEF";
    unsigned char bytes[sizeof(TrackLayout)];
    std::memcpy(bytes, &layout, sizeof bytes);
    char* out = buffer;
    for (std::size_t i = 0; i < sizeof bytes; ++i) {
        *out++ = '0';
        *out++ = 'x';
        *out++ = HEX[bytes[i] >> 4];
        *out++ = HEX[bytes[i] & 0x0F];
        *out++ = ',';
        *out++ = ' ';
        if ((i + 1) % ENTRIES_PER_LINE == 0) {
            *out++ = '\r';
            *out++ = '\n';
        }
    }
}

SwitchText formatSwitchDirections(const TrackLayout& layout) {
    bool straight[SWITCH_SLOTS] = {};
    for (int i = 0; i < usedSlots(layout); ++i) {
        const TrackNode& node = layout.nodes[i];
        if (node.type == NODE_SWITCH && isValidSwitchSlot(node.id))
            straight[node.id] = node.direction == SWITCH_DIR_STRAIGHT;
    }
    SwitchText out{};
    append(out, "{\r\n\t");
    for (int slot = 0; slot < SWITCH_SLOTS; ++slot) {
        append(out, straight[slot] ? "SWITCH_DIR_STRAIGHT,\r\n" : "SWITCH_DIR_CURVED,\r\n");
        if (slot + 1 < SWITCH_SLOTS)
            append(out, "\t");
    }
    append(out, "}\r\n");
    out.text[out.length] = '\0';
    return out;
}

} // namespace quillon
