#include "track/LayoutFile.h"

#include "track/FieldReader.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

namespace quillon {

LayoutForm layoutFormOf(std::string_view text) {
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
    (void)nodePositions;
    if (layoutFormOf(text) == LayoutForm::Named) {
        errors.push_back({0, "the named form cannot be read yet", 0});
        return false;
    }
    std::string terminated(text);
    return loadLayoutText(terminated.c_str(), out, errors);
}

bool readLayoutFile(const std::string& path, Track& out, std::vector<LayoutError>& errors,
                    std::vector<SourcePosition>* nodePositions) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        errors.push_back({0, std::string("cannot open: ") + std::strerror(errno), 0});
        return false;
    }
    std::ostringstream bytes;
    bytes << file.rdbuf();
    if (file.bad()) {
        errors.push_back({0, "cannot read the file", 0});
        return false;
    }
    return loadLayout(bytes.str(), out, errors, nodePositions);
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

std::string formatNamedLayout(const Track& track) {
    (void)track;
    return {};
}

} // namespace quillon
