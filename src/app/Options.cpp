#include "app/Options.h"

#include "app/LayoutSource.h"
#include "app/Version.h"
#include "sim/LoadedLayout.h"
#include "sim/World.h"
#include "track/LayoutFile.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace quillon {
namespace {

bool commandSetNamed(const char* name, CommandSet& set) {
    if (std::strcmp(name, "basic") == 0) {
        set = CommandSet::Basic;
        return true;
    }
    if (std::strcmp(name, "full") == 0) {
        set = CommandSet::Full;
        return true;
    }
    return false;
}

bool layoutNamed(const char* name, int& layout) {
    if (std::strcmp(name, "A") == 0 || std::strcmp(name, "a") == 0) {
        layout = LAYOUT_A;
        return true;
    }
    if (std::strcmp(name, "B") == 0 || std::strcmp(name, "b") == 0) {
        layout = LAYOUT_B;
        return true;
    }
    return false;
}

#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
void fail(ParsedOptions& parsed, const char* format, ...);

void fail(ParsedOptions& parsed, const char* format, ...) {
    char line[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    parsed.error = line;
    parsed.ok = false;
}

// optionValue, failing with the hint when the value is missing.
const char* valueOf(ParsedOptions& parsed, const char* name, const char* hint, int argc,
                    const char* const* argv, int& i) {
    bool missing = false;
    const char* value = optionValue(name, argc, argv, i, missing);
    if (missing)
        fail(parsed, "%s needs a value: %s", name, hint);
    return value;
}

// A train number as the controller sends it: one byte, in decimal digits only.
bool trainNumber(const char* text, std::size_t length, std::int32_t& number) {
    if (length == 0 || length > 3)
        return false;
    std::int32_t value = 0;
    for (std::size_t k = 0; k < length; ++k) {
        if (text[k] < '0' || text[k] > '9')
            return false;
        value = value * 10 + (text[k] - '0');
    }
    if (value > 255)
        return false;
    number = value;
    return true;
}

// Adds the placement; a train placed before keeps only its new node, as
// placing it again would do.
void addPlacement(ParsedOptions& parsed, const Placement& placement) {
    AppOptions& app = parsed.app;
    for (int k = 0; k < app.placementCount; ++k) {
        if (app.placements[k].train != placement.train)
            continue;
        app.placements[k] = placement;
        return;
    }
    if (app.placementCount >= MAX_PLACEMENTS) {
        fail(parsed, "too many trains placed: at most %d", MAX_PLACEMENTS);
        return;
    }
    app.placements[app.placementCount++] = placement;
}

void takePlacement(ParsedOptions& parsed, const char* value) {
    const char* colon = std::strchr(value, ':');
    if (colon == nullptr) {
        fail(parsed, "--place needs TRAIN:NODE, not '%.64s'", value);
        return;
    }
    const std::size_t numberLength = static_cast<std::size_t>(colon - value);
    std::int32_t train = 0;
    if (!trainNumber(value, numberLength, train)) {
        fail(parsed, "bad train number '%.*s': trains are numbered 0 to 255",
             static_cast<int>(numberLength < 32 ? numberLength : 32), value);
        return;
    }
    const char* name = colon + 1;
    Placement placement;
    placement.train = train;
    // A train placed as NODE:behind sets off along the node's behind way.
    std::size_t nameLength = std::strlen(name);
    const char* way = std::strrchr(name, ':');
    if (way != nullptr && (std::strcmp(way, ":behind") == 0 || std::strcmp(way, ":ahead") == 0)) {
        placement.behind = std::strcmp(way, ":behind") == 0;
        nameLength = static_cast<std::size_t>(way - name);
    }
    if (nameLength == 0 || nameLength >= sizeof placement.nodeName) {
        fail(parsed, "unknown node '%.32s'", name);
        return;
    }
    std::memcpy(placement.nodeName, name, nameLength);
    placement.nodeName[nameLength] = '\0';
    addPlacement(parsed, placement);
}

// A Rocrail plan's cell length in layout units, in decimal digits only.
void takeCellLength(ParsedOptions& parsed, const char* value) {
    int length = 0, end = 0;
    if (std::sscanf(value, "%6d%n", &length, &end) != 1 || value[end] != '\0' || value[0] < '0' ||
        value[0] > '9' || length < MIN_CELL_LENGTH || length > MAX_CELL_LENGTH) {
        fail(parsed, "--cell-length must be a number from %d to %d, not '%.32s'", MIN_CELL_LENGTH,
             MAX_CELL_LENGTH, value);
        return;
    }
    parsed.app.cellLength = length;
}

void takeSocketPath(ParsedOptions& parsed, const char* value) {
    if (value[0] == '\0') {
        fail(parsed, "--socket needs a path");
        return;
    }
    if (std::strlen(value) >= sizeof parsed.app.socketPath) {
        fail(parsed, "--socket path is too long: at most %d characters", SOCKET_PATH_CAPACITY - 1);
        return;
    }
    std::strcpy(parsed.app.socketPath, value);
}

#define QUILLON_COMMON_OPTIONS                                                                     \
    "  --layout A|B|FILE   start on layout A (the default), B, or the layout in FILE\n"            \
    "                      (a layout file, see quillon-layout(5), or a Rocrail\n"                  \
    "                      plan, whose locos are placed unless --place is given)\n"                \
    "  --cell-length N     a Rocrail plan's grid cell is N layout units (default\n"                \
    "                      100; see quillon-plan(5))\n"                                            \
    "  --place TRAIN:NODE[:behind]\n"                                                              \
    "                      put train TRAIN (0 to 255) on the node named NODE of\n"                 \
    "                      that layout, e.g. 12:A1, to set off ahead (or behind\n"                 \
    "                      with :behind); may be given again\n"                                    \
    "  --socket PATH       connect to the controller at PATH instead of the usual\n"               \
    "                      place (on Windows, PATH names a pipe)\n"                                \
    "  --commands SET      the controller's command set: basic (the default) or full\n"            \
    "                      (lights, function commands, stop and go, sensor modules);\n"            \
    "                      also QUILLON_COMMANDS, which the option overrides\n"                    \
    "  --help              show this text and end\n"                                               \
    "  --version           show the version and end\n"

// Reads the layout of --layout FILE into the options: a layout file, or a
// Rocrail plan whose locos take the place of placements when none are
// given. False, with every error of the file, one per line, when it does
// not load.
bool loadLayoutOption(ParsedOptions& parsed) {
    AppOptions& app = parsed.app;
    LayoutSource source;
    std::vector<std::string> errors;
    if (readLayoutSource(app.layoutPath, app.cellLength, source, errors)) {
        app.loadedLayout = std::make_shared<const Track>(std::move(source.track));
        parsed.layoutWarnings = std::move(source.warnings);
        // Trains placed on the command line replace the plan's locos.
        if (app.placementCount > 0)
            return true;
        for (const PlanPlacement& loco : source.placements) {
            Placement placement;
            placement.train = loco.train;
            placement.behind = loco.behind;
            std::snprintf(placement.nodeName, sizeof placement.nodeName, "%s", loco.node.c_str());
            addPlacement(parsed, placement);
        }
        return parsed.ok;
    }
    parsed.ok = false;
    parsed.layoutUnreadable = true;
    parsed.error.clear();
    for (const std::string& error : errors) {
        if (!parsed.error.empty())
            parsed.error += '\n';
        parsed.error += error;
    }
    if (parsed.error.empty())
        parsed.error = app.layoutPath + ": does not load";
    return false;
}

// The windowed program's picture size: WIDTHxHEIGHT, each 1 to 8192.
bool takeSize(ParsedOptions& parsed, const char* value) {
    int width = 0, height = 0, end = 0;
    if (std::sscanf(value, "%5dx%5d%n", &width, &height, &end) != 2 || value[end] != '\0' ||
        value[0] < '0' || value[0] > '9' || width < 1 || height < 1 || width > 8192 ||
        height > 8192) {
        fail(parsed, "--size needs WIDTHxHEIGHT, each 1 to 8192, not '%.64s'", value);
        return false;
    }
    parsed.snapshotWidth = width;
    parsed.snapshotHeight = height;
    return true;
}

} // namespace

const char* optionValue(const char* name, int argc, const char* const* argv, int& i,
                        bool& missing) {
    const char* option = argv[i];
    const std::size_t length = std::strlen(name);
    missing = false;
    if (std::strncmp(option, name, length) != 0)
        return nullptr;
    if (option[length] == '=')
        return option + length + 1;
    if (option[length] != '\0')
        return nullptr;
    if (i + 1 >= argc) {
        missing = true;
        return "";
    }
    return argv[++i];
}

ParsedOptions startOptions(const char* commandsVariable) {
    ParsedOptions parsed;
    if (commandsVariable != nullptr && commandsVariable[0] != '\0' &&
        !commandSetNamed(commandsVariable, parsed.app.commands))
        parsed.badCommandsVariable = commandsVariable;
    return parsed;
}

bool takeCommonOption(ParsedOptions& parsed, int argc, const char* const* argv, int& i) {
    const char* option = argv[i];
    if (std::strcmp(option, "--help") == 0 || std::strcmp(option, "-h") == 0) {
        parsed.help = true;
        return true;
    }
    if (std::strcmp(option, "--version") == 0) {
        parsed.version = true;
        return true;
    }
    if (const char* value = valueOf(parsed, "--commands", "basic or full", argc, argv, i)) {
        parsed.commandsGiven = true;
        if (parsed.ok && !commandSetNamed(value, parsed.app.commands))
            fail(parsed, "--commands must be basic or full, not '%s'", value);
        return true;
    }
    if (const char* value = valueOf(parsed, "--layout", "A, B or a layout file", argc, argv, i)) {
        if (!parsed.ok)
            return true;
        parsed.app.layoutPath.clear();
        if (layoutNamed(value, parsed.app.layout))
            return true;
        if (value[0] == '\0') {
            fail(parsed, "--layout needs A, B or a layout file");
            return true;
        }
        parsed.app.layout = LAYOUT_LOADED;
        parsed.app.layoutPath = value;
        return true;
    }
    if (const char* value = valueOf(parsed, "--cell-length", "layout units", argc, argv, i)) {
        if (parsed.ok)
            takeCellLength(parsed, value);
        return true;
    }
    if (const char* value = valueOf(parsed, "--place", "TRAIN:NODE", argc, argv, i)) {
        if (parsed.ok)
            takePlacement(parsed, value);
        return true;
    }
    if (const char* value = valueOf(parsed, "--socket", "a path", argc, argv, i)) {
        if (parsed.ok)
            takeSocketPath(parsed, value);
        return true;
    }
    return false;
}

void finishOptions(ParsedOptions& parsed) {
    if (parsed.ok && !parsed.commandsGiven && parsed.badCommandsVariable != nullptr)
        fail(parsed, "QUILLON_COMMANDS must be basic or full, not '%.64s'",
             parsed.badCommandsVariable);
    if (!parsed.ok)
        return;
    AppOptions& app = parsed.app;
    if (app.layout == LAYOUT_LOADED && !loadLayoutOption(parsed))
        return;
    if (app.placementCount == 0)
        return;
    Layouts builtins{};
    if (app.layout != LAYOUT_LOADED)
        loadBuiltinLayouts(builtins);
    const Track& track =
        app.layout == LAYOUT_LOADED ? *app.loadedLayout : builtins.tracks[app.layout];
    for (int k = 0; k < app.placementCount; ++k) {
        Placement& placement = app.placements[k];
        placement.node = findNodeAs(track, app.layout, placement.nodeName);
        if (placement.node.isNode())
            continue;
        if (app.layout == LAYOUT_LOADED)
            fail(parsed, "unknown node '%s' in %.200s", placement.nodeName, app.layoutPath.c_str());
        else
            fail(parsed, "unknown node '%s' on layout %c", placement.nodeName,
                 app.layout == LAYOUT_A ? 'A' : 'B');
        return;
    }
}

ParsedOptions parseOptions(int argc, const char* const* argv, const char* commandsVariable) {
    ParsedOptions parsed = startOptions(commandsVariable);
    bool sizeGiven = false;
    for (int i = 1; i < argc && parsed.ok; ++i) {
        if (takeCommonOption(parsed, argc, argv, i))
            continue;
        if (const char* value = valueOf(parsed, "--snapshot", "a PNG file", argc, argv, i)) {
            if (parsed.ok && value[0] == '\0')
                fail(parsed, "--snapshot needs a PNG file");
            parsed.snapshotPath = value;
            continue;
        }
        if (const char* value = valueOf(parsed, "--size", "WIDTHxHEIGHT", argc, argv, i)) {
            sizeGiven = parsed.ok && takeSize(parsed, value);
            continue;
        }
        fail(parsed, "unknown option '%s'", argv[i]);
    }
    if (parsed.ok && sizeGiven && parsed.snapshotPath.empty())
        fail(parsed, "--size needs --snapshot FILE");
    finishOptions(parsed);
    return parsed;
}

void applyOptions(World& world, const AppOptions& options) {
    if (options.loadedLayout != nullptr)
        installLoadedLayout(world, *options.loadedLayout, false);
    selectLayout(world.layouts, options.layout);
    for (int k = 0; k < options.placementCount; ++k)
        placeTrain(world, options.placements[k].train, options.placements[k].node,
                   options.placements[k].behind);
}

const char* commonOptionsText() {
    return QUILLON_COMMON_OPTIONS;
}

const char* usageText() {
    return "usage: quillon [OPTION]...\n"
           "Simulates a model railway that a controlling program drives.\n" QUILLON_COMMON_OPTIONS
           "  --snapshot FILE     write a PNG picture of the layout's window to FILE, without\n"
           "                      a display, and end\n"
           "  --size WxH          the picture's size in pixels (512x320 when not given)\n";
}

const char* versionText() {
    return "quillon " QUILLON_VERSION "\n";
}

} // namespace quillon
