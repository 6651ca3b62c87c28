#include "track/LayoutFile.h"

#include "track/FieldReader.h"
#include "track/NamedLayoutReader.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace quillon {
namespace {

constexpr std::string_view BYTE_ORDER_MARK = "\xEF\xBB\xBF";

// The length of the UTF-8 sequence at text[at], or 0 when the bytes there
// are no valid sequence (overlong forms, surrogates and values beyond
// U+10FFFF are not).
std::size_t sequenceLength(std::string_view text, std::size_t at) {
    auto byte = [&](std::size_t i) {
        return at + i < text.size() ? static_cast<unsigned char>(text[at + i]) : 0u;
    };
    unsigned lead = byte(0);
    if (lead < 0x80)
        return 1;
    std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                         : lead >= 0xE0 && lead <= 0xEF ? 3
                         : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                        : 0;
    if (length == 0)
        return 0;
    // The second byte's range narrows where a lead byte alone cannot tell.
    unsigned low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    unsigned high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    if (byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if ((byte(i) & 0xC0u) != 0x80u)
            return 0;
    return length;
}

// The error at the first byte that makes the text no text: a NUL byte or
// bytes that are not UTF-8; false when there is none.
bool findNonText(std::string_view text, LayoutError& error) {
    int line = 1;
    std::size_t lineStart = 0;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t length = text[at] == '\0' ? 0 : sequenceLength(text, at);
        if (length == 0) {
            char message[64] = "not a text file: a nul byte";
            if (text[at] != '\0')
                std::snprintf(message, sizeof message, "not a text file: byte 0x%02x is not utf-8",
                              static_cast<unsigned char>(text[at]));
            error = {line, message, static_cast<int>(at - lineStart) + 1};
            return true;
        }
        if (text[at] == '\n') {
            ++line;
            lineStart = at + 1;
        }
        at += length;
    }
    return false;
}

// The message with what a terminal could take for a command shown as '?':
// control characters and bytes of a character cut short.
void makePrintable(std::string& message) {
    for (std::size_t at = 0; at < message.size();) {
        std::size_t length = sequenceLength(message, at);
        auto byte = static_cast<unsigned char>(message[at]);
        if (length == 0 || byte < 0x20 || byte == 0x7F) {
            message[at] = '?';
            length = 1;
        }
        at += length;
    }
}

} // namespace

LayoutForm layoutFormOf(std::string_view text) {
    if (text.substr(0, BYTE_ORDER_MARK.size()) == BYTE_ORDER_MARK)
        text.remove_prefix(BYTE_ORDER_MARK.size());
    std::size_t at = 0;
    while (at < text.size() && isScanSpace(text[at]))
        ++at;
    std::string_view rest = text.substr(at);
    if (rest.substr(0, 5) == "track" && (rest.size() == 5 || isScanSpace(rest[5])))
        return LayoutForm::NodeTable;
    return LayoutForm::Named;
}

bool loadLayout(std::string_view text, Track& out, std::vector<LayoutError>& errors,
                std::vector<SourcePosition>* nodePositions) {
    LayoutError notText;
    if (findNonText(text, notText)) {
        errors.push_back(notText);
        return false;
    }
    if (layoutFormOf(text) == LayoutForm::Named)
        return loadNamedLayout(text, out, errors, nodePositions);
    // A byte order mark reads as white space, so that columns still count
    // its bytes.
    std::string terminated(text);
    if (text.substr(0, BYTE_ORDER_MARK.size()) == BYTE_ORDER_MARK)
        terminated.replace(0, BYTE_ORDER_MARK.size(), BYTE_ORDER_MARK.size(), ' ');
    const std::size_t before = errors.size();
    bool loaded = loadLayoutText(terminated.c_str(), out, errors, nodePositions);
    for (std::size_t i = before; i < errors.size(); ++i)
        makePrintable(errors[i].message);
    return loaded;
}

bool readFileText(const std::string& path, std::string& text, std::string& problem) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        problem = std::string("cannot open: ") + std::strerror(errno);
        return false;
    }
    std::ostringstream bytes;
    bytes << file.rdbuf();
    if (file.bad()) {
        problem = "cannot read the file";
        return false;
    }
    text = std::move(bytes).str();
    return true;
}

bool readLayoutFile(const std::string& path, Track& out, std::vector<LayoutError>& errors,
                    std::vector<SourcePosition>* nodePositions) {
    std::string text, problem;
    if (!readFileText(path, text, problem)) {
        errors.push_back({0, problem, 0});
        return false;
    }
    return loadLayout(text, out, errors, nodePositions);
}

std::string describeLayoutError(std::string_view file, const LayoutError& error) {
    std::string text(file);
    if (error.line > 0) {
        text += ':' + std::to_string(error.line);
        text += ':' + std::to_string(error.column > 0 ? error.column : 1);
    }
    text += ": ";
    text += error.message;
    return text;
}

} // namespace quillon
