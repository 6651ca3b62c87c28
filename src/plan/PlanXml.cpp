#include "plan/PlanXml.h"

#include <pugixml.hpp>

#include <algorithm>
#include <charconv>
#include <cstring>

namespace quillon {

namespace {

// Byte offsets of the starts of lines, for turning an offset into a line.
class LineTable {
public:
    explicit LineTable(std::string_view text) {
        starts_.push_back(0);
        for (std::size_t i = 0; i < text.size(); ++i)
            if (text[i] == '\n')
                starts_.push_back(i + 1);
    }
    int lineOf(std::ptrdiff_t offset) const {
        if (offset < 0)
            return 0;
        auto it =
            std::upper_bound(starts_.begin(), starts_.end(), static_cast<std::size_t>(offset));
        return static_cast<int>(it - starts_.begin());
    }

private:
    std::vector<std::size_t> starts_;
};

std::size_t skipSpace(std::string_view text, std::size_t at) {
    while (at < text.size() &&
           (text[at] == ' ' || text[at] == '\t' || text[at] == '\r' || text[at] == '\n'))
        ++at;
    return at;
}

// Skips a construct from open to close; npos when it does not end.
std::size_t skipPast(std::string_view text, std::size_t at, std::string_view close) {
    std::size_t end = text.find(close, at);
    return end == std::string_view::npos ? end : end + close.size();
}

bool startsWithElement(std::string_view text, std::size_t at, std::string_view name) {
    if (text.substr(at, 1 + name.size()) != std::string("<") + std::string(name))
        return false;
    std::size_t after = at + 1 + name.size();
    if (after >= text.size())
        return false;
    char c = text[after];
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '>' || c == '/';
}

// Strict whole-number attribute: absent gives fallback; anything but an
// optional sign and digits within range is an error.
bool readInt(const pugi::xml_node& node, const char* name, int low, int high, int fallback,
             int& out, std::string& problem) {
    pugi::xml_attribute attribute = node.attribute(name);
    out = fallback;
    if (!attribute)
        return true;
    std::string_view value = attribute.value();
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
        value.remove_prefix(1);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t'))
        value.remove_suffix(1);
    if (!value.empty() && value.front() == '+')
        value.remove_prefix(1);
    long long number = 0;
    auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (value.empty() || error != std::errc() || end != value.data() + value.size()) {
        problem = std::string(name) + " is not a whole number: '" +
                  std::string(attribute.value()).substr(0, 32) + "'";
        return false;
    }
    if (number < low || number > high) {
        problem = std::string(name) + " " + std::to_string(number) + " is out of range " +
                  std::to_string(low) + ".." + std::to_string(high);
        return false;
    }
    out = static_cast<int>(number);
    return true;
}

bool readBool(const pugi::xml_node& node, const char* name, bool fallback) {
    pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute)
        return fallback;
    return std::strcmp(attribute.value(), "true") == 0;
}

int oriOf(const char* text) {
    if (std::strcmp(text, "north") == 0)
        return ORI_NORTH;
    if (std::strcmp(text, "east") == 0)
        return ORI_EAST;
    if (std::strcmp(text, "south") == 0)
        return ORI_SOUTH;
    return ORI_WEST; // the plan's own default, also for an absent ori
}

constexpr int MAX_GRID = 4095;
constexpr int MAX_LEVEL = 255;
constexpr int MAX_ADDRESS = 65535;

struct Reader {
    const LineTable& lines;
    std::vector<PlanProblem>& problems;
    bool ok = true;

    int lineOf(const pugi::xml_node& node) const { return lines.lineOf(node.offset_debug()); }

    void error(const pugi::xml_node& node, const std::string& id, const std::string& what) {
        problems.push_back({lineOf(node), id, what, false});
        ok = false;
    }

    void number(const pugi::xml_node& node, const std::string& id, const char* name, int low,
                int high, int fallback, int& out) {
        std::string problem;
        if (!readInt(node, name, low, high, fallback, out, problem))
            error(node, id, problem);
    }

    void tile(const pugi::xml_node& node, PlanDocument& out) {
        PlanTile tile;
        tile.element = node.name();
        tile.type = node.attribute("type").value();
        tile.id = node.attribute("id").value();
        tile.line = lineOf(node);
        tile.ori = oriOf(node.attribute("ori").value());
        // Rocrail leaves hidden items and items off the grid out of its
        // analysis; so does the import.
        if (!readBool(node, "show", true))
            return;
        number(node, tile.id, "x", -MAX_GRID, MAX_GRID, 0, tile.x);
        number(node, tile.id, "y", -MAX_GRID, MAX_GRID, 0, tile.y);
        number(node, tile.id, "z", 0, MAX_LEVEL, 0, tile.z);
        if (tile.x < 0 || tile.y < 0) {
            problems.push_back(
                {tile.line, tile.id, "not on the grid (x or y below 0): left out", true});
            return;
        }
        if (tile.element == "fb") {
            number(node, tile.id, "addr", 0, MAX_ADDRESS, 0, tile.addr);
            tile.curve = readBool(node, "curve", false);
        }
        if (tile.element == "sw") {
            number(node, tile.id, "addr1", 0, MAX_ADDRESS, 0, tile.addr1);
            number(node, tile.id, "port1", 0, MAX_ADDRESS, 0, tile.port1);
            number(node, tile.id, "addr2", 0, MAX_ADDRESS, 0, tile.addr2);
            number(node, tile.id, "port2", 0, MAX_ADDRESS, 0, tile.port2);
            number(node, tile.id, "accnr", 0, MAX_ADDRESS, 0, tile.accessory);
            tile.rightHand = readBool(node, "dir", false);
            tile.rectCrossing = readBool(node, "rectcrossing", false);
            tile.turnout = std::strcmp(node.attribute("state").value(), "turnout") == 0;
            tile.raster = std::strcmp(node.attribute("swtype").value(), "raster") == 0;
        }
        if (tile.element == "tk")
            number(node, tile.id, "tknr", 0, MAX_ADDRESS, 0, tile.tknr);
        if (tile.element == "bk")
            tile.smallSymbol = readBool(node, "smallsymbol", false);
        out.tiles.push_back(std::move(tile));
    }

    void loco(const pugi::xml_node& node, PlanDocument& out) {
        PlanLoco loco;
        loco.id = node.attribute("id").value();
        loco.line = lineOf(node);
        number(node, loco.id, "addr", 0, MAX_ADDRESS, 0, loco.addr);
        loco.block = node.attribute("blockid").value();
        loco.enteredPlus = readBool(node, "blockenterside", true);
        loco.lights = readBool(node, "fn", false);
        out.locos.push_back(std::move(loco));
    }
};

// The lists of the plan and the element each holds.
struct ListOfTiles {
    const char* list;
    const char* item;
};
constexpr ListOfTiles TILE_LISTS[] = {{"tklist", "tk"}, {"fblist", "fb"}, {"swlist", "sw"},
                                      {"sglist", "sg"}, {"bklist", "bk"}, {"sblist", "sb"}};

// The major number of a version text such as "2.1.3041"; -1 for none.
int majorVersion(std::string_view version) {
    int major = 0;
    auto [end, error] = std::from_chars(version.data(), version.data() + version.size(), major);
    if (error != std::errc() || end == version.data())
        return -1;
    return major;
}

} // namespace

bool looksLikePlan(std::string_view text) {
    std::size_t at = 0;
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        at = 3;
    for (;;) {
        at = skipSpace(text, at);
        if (at >= text.size())
            return false;
        if (text.substr(at, 2) == "<?")
            at = skipPast(text, at, "?>");
        else if (text.substr(at, 4) == "<!--")
            at = skipPast(text, at, "-->");
        else if (text.substr(at, 2) == "<!")
            at = skipPast(text, at, ">");
        else
            return startsWithElement(text, at, "plan") || startsWithElement(text, at, "modplan");
        if (at == std::string_view::npos)
            return false;
    }
}

bool readPlanXml(std::string_view text, PlanDocument& out, std::vector<PlanProblem>& problems) {
    LineTable lines(text);
    pugi::xml_document document;
    pugi::xml_parse_result parsed =
        document.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_auto);
    if (!parsed) {
        problems.push_back({lines.lineOf(parsed.offset), "",
                            std::string("broken XML: ") + parsed.description(), false});
        return false;
    }
    pugi::xml_node root = document.document_element();
    if (std::strcmp(root.name(), "modplan") == 0) {
        problems.push_back({lines.lineOf(root.offset_debug()), "",
                            "a modular plan (<modplan>) is not read: import its modules' "
                            "plan as one plan",
                            false});
        return false;
    }
    if (std::strcmp(root.name(), "plan") != 0) {
        problems.push_back({lines.lineOf(root.offset_debug()), "",
                            std::string("not a Rocrail plan: the root element is <") +
                                std::string(root.name()).substr(0, 32) + ">, not <plan>",
                            false});
        return false;
    }
    pugi::xml_attribute version = root.attribute("rocrailversion");
    if (version) {
        int major = majorVersion(version.value());
        if (major < 1 || major > 3) {
            problems.push_back({lines.lineOf(root.offset_debug()), "",
                                "a plan of version '" + std::string(version.value()).substr(0, 32) +
                                    "': this import reads plans of Rocrail 1 to 3",
                                false});
            return false;
        }
    }
    Reader reader{lines, problems};
    for (const ListOfTiles& kind : TILE_LISTS)
        for (pugi::xml_node list : root.children(kind.list))
            for (pugi::xml_node item : list.children(kind.item))
                reader.tile(item, out);
    for (pugi::xml_node list : root.children("lclist"))
        for (pugi::xml_node item : list.children("lc"))
            reader.loco(item, out);
    return reader.ok;
}

} // namespace quillon
