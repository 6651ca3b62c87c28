// The train table and the operations that change trains and switches from
// outside the movement step.
#pragma once

#include "track/Layouts.h"

#include <cstdint>

namespace quillon {

struct World;

constexpr int MAX_TRAINS = 80;
constexpr int SPEED_REVERSE = 15;

// One of a node's three edge slots; no edge while node names no node.
struct EdgeRef {
    NodeRef node;
    std::int32_t slot = 0;

    constexpr bool isEdge() const { return node.isNode(); }
    friend constexpr bool operator==(EdgeRef, EdgeRef) = default;
};

// The direction of travel on the display, as the train's front end shows it.
enum class Facing : std::uint8_t { Right, Left, Down, Up };

struct Train {
    std::uint8_t inUse = 0; // 1 in every record below the count
    std::uint8_t held = 0;  // kept standing by the user; keeps its speed step
    std::int32_t number = 0;
    std::uint32_t speed = 0;   // speed step 0..14
    NodeRef currentNode;       // near end of the segment; a node while in use
    NodeRef nextNode;          // far end; no node until the first movement step
    EdgeRef edge;              // the segment's edge; none exactly when nextNode is none
    std::int32_t distance = 0; // from currentNode, truncated toward zero
    float exactDistance = 0.0f;
    std::int32_t displayX = 0; // window pixels, kept up to date with the position
    std::int32_t displayY = 0;
    std::uint8_t crashed = 0;
    // Until its first movement the train sets off along its node's behind
    // way instead of its ahead way.
    std::uint8_t leavesBehind = 0;
    std::uint8_t light = 0;        // the headlight, switched by the full command set
    Facing facing = Facing::Right; // where the front end points on the display
};

// Records 0..count-1 are the placed trains in the order they were first
// placed, without gaps; no two carry the same number.
struct TrainTable {
    Train trains[MAX_TRAINS];
    std::int32_t count = 0;
};

// The edge a reference names (defined with World); the caller passes a
// reference to an edge.
NodeEdge& edgeAt(World& world, EdgeRef ref);
const NodeEdge& edgeAt(const World& world, EdgeRef ref);

// The index of the in-use record with that number, or -1.
int findTrain(const TrainTable& table, std::int32_t number);
Train* trainByNumber(TrainTable& table, std::int32_t number);
const Train* trainByNumber(const TrainTable& table, std::int32_t number);

// Places the train on node, to set off along its ahead way (or its behind
// way when behind): a number already on the layout moves that train
// (TrainMoved); a new one takes the next record (TrainPlaced). Returns the
// record, or nullptr when the table is full (no event).
Train* placeTrain(World& world, std::int32_t number, NodeRef node, bool behind = false);

// Removes the train, keeping the others in their order and the hover on the
// train it was on. No event.
void removeTrain(World& world, std::int32_t number);

// Sets the switch that controller byte number (0..255) addresses on the
// active layout to direction (SWITCH_DIR_STRAIGHT or SWITCH_DIR_CURVED);
// records SwitchChanged when it changes. A byte that addresses no switch
// changes nothing.
void setSwitch(World& world, int number, std::int32_t direction);

// Sets the switch node to direction; records SwitchChanged when it changes.
// The one place a switch changes, for the controller and the user alike.
void setSwitchDirection(World& world, NodeRef node, std::int32_t direction);

// Turns a switch node to its other direction.
void toggleSwitch(World& world, NodeRef node);

// How a reverse treats a train that has not moved since it was placed:
// it keeps its way (the controller's basic set, and the user's click), or
// it turns to set off the other way, as a real locomotive would.
enum class StandingReverse : std::uint8_t { KeepWay, TurnRound };

// Speed step 0..14, or 15 to reverse the train on its segment (stopping it
// when stopOnReverse). Clears the crashed flag. Commands above 15 are
// ignored.
void setTrainSpeed(World& world, Train& train, int command, bool stopOnReverse,
                   StandingReverse standing = StandingReverse::KeepWay);
// The same for the train with that number, if any.
void setTrainSpeed(World& world, std::int32_t number, int command, bool stopOnReverse,
                   StandingReverse standing = StandingReverse::KeepWay);

// Switches the headlight of the train with that number, if any.
void setTrainLight(World& world, std::int32_t number, bool on);

// The low 8 bits of the train's speed step, or 0 when no train has the number.
int trainSpeed(const World& world, std::int32_t number);

// The train last clicked, or nullptr.
Train* selectedTrain(World& world);

// Places the train on the selected node, to set off ahead (or behind); true
// when a node was selected.
bool placeTrainAtSelection(World& world, std::int32_t number, bool behind = false);

// Removes the selected train and clears the selection and hover of trains;
// true when a train was selected.
bool removeSelectedTrain(World& world);

// Works out the train's display position from its segment: the point its
// distance has reached between the two nodes (the current node when the
// edge has no length); with only a current node, that node. The facing
// follows the segment towards the next node, or the way ahead before the
// first step.
void updateDisplayPosition(const World& world, Train& train);
// The same for every train in use.
void updateDisplayPositions(World& world);

} // namespace quillon
