// The parts of a Rocrail plan the import reads, taken out of its XML: the
// tiles on the grid and the locos. Nothing here knows how tiles connect.
#pragma once

#include "plan/PlanProblem.h"

#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// Orientations as the plan writes them.
enum PlanOri : int { ORI_WEST = 0, ORI_NORTH = 1, ORI_EAST = 2, ORI_SOUTH = 3 };

// One item of tklist, fblist, swlist, sglist, bklist or sblist.
struct PlanTile {
    std::string element; // tk, fb, sw, sg, bk or sb
    std::string type;    // as written; empty when absent
    std::string id;
    int x = 0;
    int y = 0;
    int z = 0;
    int ori = ORI_WEST;
    int line = 0;
    int addr = 0;                                   // fb
    int addr1 = 0, port1 = 0, addr2 = 0, port2 = 0; // sw
    int tknr = 0;                                   // tk connectors: the number that pairs them
    int accessory = 0;                              // sw accessory: its kind (accnr)
    bool curve = false;                             // fb drawn as a curve
    bool smallSymbol = false;                       // bk of two cells instead of four
    bool rightHand = false;                         // sw crossings: dir="true"
    bool rectCrossing = false;                      // sw crossing of one cell
    bool turnout = false;                           // sw: the state the plan saved is turnout
    bool raster = false;                            // sw drawn with the raster symbols
};

struct PlanLoco {
    std::string id;
    int line = 0;
    int addr = 0;
    std::string block;       // blockid; empty when the loco stands nowhere
    bool enteredPlus = true; // blockenterside
    bool lights = false;     // fn: its lights are on
};

struct PlanDocument {
    std::vector<PlanTile> tiles;
    std::vector<PlanLoco> locos;
};

// True when the text's first element is <plan> or <modplan>, after an
// optional byte order mark, XML declaration, comments and white space.
bool looksLikePlan(std::string_view text);

// Reads the plan's tiles and locos into out. False, with the errors in
// problems, for a text that is not well-formed XML, whose root is no plan,
// that is a plan of a schema this import does not read, or whose tiles give
// numbers that are no numbers; out is then unspecified.
bool readPlanXml(std::string_view text, PlanDocument& out, std::vector<PlanProblem>& problems);

} // namespace quillon
