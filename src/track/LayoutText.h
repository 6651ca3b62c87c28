// The built-in layouts' text form for any track: writing a track out, and
// loading a text as a layout with the capacities of a loaded layout.
//
// The form: "track N", then N node entries, each
//   INDEX NAME TYPE ID X Y [straight|curved] EDGECOUNT
// followed by its edges, each "DEST KEYWORD DISTANCE". TYPE is sensor,
// switch or stop; a switch states its direction. A sensor's ID k reports
// contact 2k when passed towards its ahead edge and 2k + 1 towards its
// behind edge; a switch's ID is the number the controller addresses it by.
// X and Y are layout units. The keywords are ahead and behind for a sensor,
// ahead for a stop, and straight, curved and behind (the common leg) for a
// switch. The form states no collision gap: a layout loaded from it keeps
// the built-ins' window-pixel gap.
#pragma once

#include "track/Track.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillon {

constexpr int MAX_NAME_CHARS = 4;
constexpr std::int32_t MAX_SENSOR_ID = CONTACT_COUNT / 2 - 1;
// The longest edge of a loaded layout, in layout units. Trains keep their
// distance along an edge in single precision; up to this length a 10 ms
// step always moves them on.
constexpr std::int32_t MAX_EDGE_DISTANCE = 1000000;

// Where something stands in a file: 1-based line and column (a column counts
// bytes). Line 0 stands for the file as a whole.
struct SourcePosition {
    int line = 0;
    int column = 0;
};

struct LayoutError {
    int line; // 1-based line of the text; 0 for the text as a whole
    std::string message;
    int column = 0; // 1-based byte column of the line; 0 when unknown
};

// The track in the text form, with its switch directions and layout
// coordinates as they stand now, nodes in index order. Loading the text
// gives the same nodes, contacts, switch numbers and gap. nullopt for a
// track the form cannot state: no nodes or more than 4096, a gap other than
// the built-ins', a name that is empty, longer than 4 characters or holds a
// space, a sensor whose contacts are not 2k and 2k + 1 of an id 0..247, a
// switch numbered outside 1..255 or without a direction, an edge in a slot
// its node type lacks, leading outside the track, or with a distance
// outside 1..1000000.
std::optional<std::string> formatLayoutText(const Track& track);

// Loads the NUL-terminated text into out as a layout of up to 4096 nodes:
// every index 0..N-1 once, names of 1 to 4 characters, sensor ids 0..247,
// switch numbers 1..255, each edge keyword valid for its node type and given
// once, destinations inside the layout, distances 1..1000000, and nothing
// after the last node. Fields are separated by any white space; ids may be
// written in hexadecimal ("0x99") or octal ("017"), as in the built-in
// texts. On success out holds the indexed layout, with window positions
// equal to its layout coordinates until it is scaled and a revision other
// than the one it replaces; nodePositions, when given, holds where each
// node's entry begins (its index field), by index; true. Otherwise out and
// nodePositions are untouched, errors gains each error found in text order,
// each at the field it concerns, and false. Reading stops at an error
// after which the fields no longer line up (a missing or malformed number,
// an unknown node type, an impossible edge count); other errors let it go
// on to report more.
bool loadLayoutText(const char* text, Track& out, std::vector<LayoutError>& errors,
                    std::vector<SourcePosition>* nodePositions = nullptr);

} // namespace quillon
