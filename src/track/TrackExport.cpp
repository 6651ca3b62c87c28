#include "track/TrackExport.h"

#include "platform/Host.h"
#include "track/BuiltinLayouts.h"

#include <cstdio>
#include <cstring>

namespace quillon {
namespace {

constexpr int ENTRIES_PER_LINE = 16;

// One dump per export, built in place; the export allocates nothing.
char rawExportBuffer[RAW_EXPORT_SIZE];

void append(char* text, std::size_t& length, const char* piece) {
    std::size_t n = std::strlen(piece);
    std::memcpy(text + length, piece, n);
    length += n;
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

bool exportRawLayout(const char* path, int layoutIndex) {
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr)
        return false;
    formatRawLayout(layoutRecord(layoutIndex), rawExportBuffer);
    bool written = std::fwrite(rawExportBuffer, 1, RAW_EXPORT_SIZE, file) == RAW_EXPORT_SIZE;
    bool closed = std::fclose(file) == 0;
    if (written && closed)
        return true;
    std::remove(path);
    return false;
}

std::size_t formatSwitchDirections(const TrackLayout& layout, char* text) {
    bool straight[SWITCH_SLOTS] = {};
    for (int i = 0; i < layout.nodeCount; ++i) {
        const TrackNode& node = layout.nodes[i];
        if (node.type == NODE_SWITCH && isValidSwitchSlot(node.id))
            straight[node.id] = node.direction == SWITCH_DIR_STRAIGHT;
    }
    std::size_t length = 0;
    append(text, length, "{\r\n\t");
    for (int slot = 0; slot < SWITCH_SLOTS; ++slot) {
        append(text, length,
               straight[slot] ? "SWITCH_DIR_STRAIGHT,\r\n" : "SWITCH_DIR_CURVED,\r\n");
        if (slot + 1 < SWITCH_SLOTS)
            append(text, length, "\t");
    }
    append(text, length, "}\r\n");
    text[length] = '\0';
    return length;
}

void copySwitchDirections() {
    char text[SWITCH_TEXT_CAPACITY];
    formatSwitchDirections(activeLayout(), text);
    copyToClipboard(text);
}

bool copyToClipboard(const char* text) {
    Host* host = currentHost();
    return host != nullptr && host->setClipboardText(text);
}

} // namespace quillon
