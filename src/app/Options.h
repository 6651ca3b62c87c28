// The programs' command-line options.
#pragma once

#include "protocol/CommandDecoder.h"
#include "sim/Trains.h"
#include "track/BuiltinLayouts.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quillon {

struct World;

// One train put on a node of the chosen layout before the run starts.
struct Placement {
    std::int32_t train = 0; // 0..255, as the controller addresses trains
    NodeRef node;           // a node of the chosen layout once the options are finished
    char nodeName[NODE_NAME_CAPACITY] = {}; // as given, for messages
    bool behind = false;                    // sets off along the node's behind way
};

// At most one placement per train, so the train table always has room.
constexpr int MAX_PLACEMENTS = MAX_TRAINS;
// Room for the longest socket path or pipe name the options accept, with its NUL.
constexpr int SOCKET_PATH_CAPACITY = 256;

// What the application is built with.
struct AppOptions {
    CommandSet commands = CommandSet::Basic;
    int layout = LAYOUT_A; // LAYOUT_LOADED: the file at layoutPath
    // The layout file given with --layout FILE, as given; empty for A or B.
    std::string layoutPath{};
    // The file's layout once the options are finished, unscaled; shared so
    // that options stay cheap to copy.
    std::shared_ptr<const Track> loadedLayout{};
    // Layout units to a grid cell of a Rocrail plan (--cell-length).
    int cellLength = 100;
    // In the order given; a train placed twice keeps only its last node.
    Placement placements[MAX_PLACEMENTS] = {};
    int placementCount = 0;
    // Where the controller listens; empty for the platform's usual place.
    char socketPath[SOCKET_PATH_CAPACITY] = {};
};

struct ParsedOptions {
    AppOptions app;
    bool help = false;    // print the usage and end
    bool version = false; // print the version and end
    // false: error says what is wrong, one line per mistake (a layout file
    // that does not load gives every error it has), without a final line feed
    bool ok = true;
    std::string error;
    // The layout file did not load: error holds its errors and nothing else,
    // so programs show them without the usage text.
    bool layoutUnreadable = false;
    // What the layout file loads with but is worth a word (a plan's
    // warnings), one a line, for the programs to print.
    std::vector<std::string> layoutWarnings;
    // The windowed program's picture without a window: where to write it
    // (empty for none) and its size.
    std::string snapshotPath;
    int snapshotWidth = 512;
    int snapshotHeight = 320;
    // QUILLON_COMMANDS when it names no command set: refused by
    // finishOptions unless --commands was given, since the option wins.
    const char* badCommandsVariable = nullptr;
    bool commandsGiven = false;
};

// The value of the option name at argv[i], given as "NAME VALUE" or
// "NAME=VALUE", with i left on the last argument taken; nullptr when argv[i]
// is another option. An option that stands last without its value yields ""
// with missing set.
const char* optionValue(const char* name, int argc, const char* const* argv, int& i, bool& missing);

// Reads the options after the program name. commandsVariable is the value
// of QUILLON_COMMANDS (nullptr when unset); an option given on the command
// line wins over it. Equivalent to startOptions, takeCommonOption for each
// argument (an argument it does not take is an unknown option, except the
// windowed program's --snapshot FILE and --size WxH), then finishOptions.
ParsedOptions parseOptions(int argc, const char* const* argv, const char* commandsVariable);

// For programs with options of their own: the defaults, with the command set
// from QUILLON_COMMANDS (a bad value is kept for finishOptions to refuse).
ParsedOptions startOptions(const char* commandsVariable);

// Takes the common option at argv[i], with its value when it has one, and
// leaves i on the last argument taken. False, with nothing changed, when
// argv[i] is no common option. A bad value leaves parsed.ok false.
bool takeCommonOption(ParsedOptions& parsed, int argc, const char* const* argv, int& i);

// Refuses a bad QUILLON_COMMANDS that no --commands overrode, reads the
// layout file when one was given (every error it has, each as
// describeLayoutError says it, leaves ok false), and resolves the
// placements' node names against the chosen layout; an unknown name leaves
// ok false. Call once, after the last option; does nothing when ok is
// already false.
void finishOptions(ParsedOptions& parsed);

// Sets the world up as the options ask: a layout file's layout put in as
// the loaded one, the chosen layout made active, and
// the trains placed in the order given (each placement
// records its event, as any placement does). The world has its layouts
// loaded and its options finished.
void applyOptions(World& world, const AppOptions& options);

// The lines that describe the common options, ending in a line feed, for
// each program's own usage text.
const char* commonOptionsText();

// The usage text of the windowed program, ending in a line feed.
const char* usageText();

// "quillon 1.0", ending in a line feed.
const char* versionText();

} // namespace quillon
