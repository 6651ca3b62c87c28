// Feeds arbitrary bytes to the layout file loader. A refused text leaves the
// track untouched and says where and why in at most 101 printable messages;
// a loaded one is written in the named form and, unless it has an edge to
// itself that only the node table form states, loads again to the same
// nodes (names aside where the form cannot keep them) and gap; checking it
// never fails.
#include "track/LayoutCheck.h"
#include "track/LayoutFile.h"

#include <cstdlib>
#include <cstring>
#include <string_view>

using namespace quillon;

namespace {

bool printable(const std::string& message) {
    for (char c : message)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return false;
    return !message.empty();
}

bool edgeToItself(const Track& track) {
    for (int i = 0; i < track.nodeCount(); ++i)
        for (const NodeEdge& edge : track.nodes[static_cast<std::size_t>(i)].edges)
            if (edge.dest == i)
                return true;
    return false;
}

// A name the named form keeps: printable ASCII but '#', no other node's.
bool keptName(const Track& track, const Node& node) {
    for (const char* c = node.name; *c != '\0'; ++c)
        if (*c < '!' || *c > '~' || *c == '#')
            return false;
    int uses = 0;
    for (const Node& other : track.nodes)
        uses += std::strcmp(other.name, node.name) == 0;
    return node.name[0] != '\0' && uses == 1;
}

// The same nodes, names aside where the form gives others.
bool sameNodes(const Track& a, const Track& b) {
    if (a.nodeCount() != b.nodeCount())
        return false;
    for (std::size_t i = 0; i < a.nodes.size(); ++i) {
        Node x = a.nodes[i];
        Node y = b.nodes[i];
        if (!keptName(a, x))
            std::memcpy(x.name, y.name, sizeof x.name);
        if (std::memcmp(&x, &y, sizeof x) != 0)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    Track track;
    std::vector<LayoutError> errors;
    std::vector<SourcePosition> positions;
    if (!loadLayout(text, track, errors, &positions)) {
        bool told = !errors.empty() && errors.size() <= 101;
        for (const LayoutError& error : errors)
            told = told && error.line >= 0 && error.column >= 0 && printable(error.message);
        if (!told || track.nodeCount() != 0 || !positions.empty())
            std::abort();
        return 0;
    }
    if (!errors.empty() || positions.size() != track.nodes.size())
        std::abort();
    checkLayout(track);
    if (edgeToItself(track))
        return 0;
    std::string written = formatNamedLayout(track);
    Track again;
    if (!loadLayout(written, again, errors) || !sameNodes(track, again) ||
        again.gap.rule != track.gap.rule || again.gap.size != track.gap.size ||
        formatNamedLayout(again) != written)
        std::abort();
    return 0;
}
