// The train table and the operations that change trains and switches from
// outside the movement step.
#pragma once

#include "track/TrackLayout.h"

#include <cstdint>

namespace quillon {

constexpr int MAX_TRAINS = 80;
constexpr int SPEED_REVERSE = 15;
constexpr int CMD_BYTE_STRAIGHT = 33;
constexpr int CMD_BYTE_CURVED = 34;

struct Train {
    std::uint8_t inUse; // 1 in every record below the count
    std::uint8_t held;  // kept standing by the user; keeps its speed step
    std::int32_t number;
    std::uint32_t speed;    // speed step 0..14
    TrackNode* currentNode; // near end of the segment; never null while in use
    TrackNode* nextNode;    // far end; null until the first movement step
    NodeEdge* edge;         // the segment's edge; null exactly when nextNode is
    std::int32_t distance;  // from currentNode, truncated toward zero
    float exactDistance;
    std::int32_t displayX; // window pixels, worked out by the painter
    std::int32_t displayY;
    std::uint8_t crashed;
    std::uint8_t hovered;
};

// Records 0..count-1 are the placed trains in the order they were first
// placed, without gaps; no two carry the same number.
struct TrainTable {
    Train trains[MAX_TRAINS];
    std::int32_t count;
};

extern TrainTable trainTable;

// Empties the table.
void resetTrains();

// The index of the in-use record with that number, or -1.
int findTrain(std::int32_t number);
Train* trainByNumber(std::int32_t number);

// Places the train on node: a number already on the layout moves that train
// (sound 108); a new one takes the next record (sound 109). Returns the record,
// or nullptr when the table is full (no sound).
Train* placeTrain(std::int32_t number, TrackNode& node);

// Removes the train, keeping the others in their order. No sound.
void removeTrain(std::int32_t number);

// Sets the switch with controller number (0..255) straight for command 33,
// curved otherwise, on the active layout; plays sound 104 when it changes. A
// number with no slot changes nothing and plays nothing.
void setSwitch(int number, int command);

// Speed step 0..14, or 15 to reverse the train on its segment (stopping it
// when stopOnReverse). A negative number means the selected train. Clears the
// crashed flag of the train found.
void setTrainSpeed(std::int32_t number, int command, bool stopOnReverse);

// The low 8 bits of the train's speed step, or 0 when no train has the number.
int trainSpeed(std::int32_t number);

// Places the train on the selected node; true when a node was selected.
bool placeTrainAtSelection(std::int32_t number);

// Removes the selected train and clears the selection and hover of trains;
// true when a train was selected.
bool removeSelectedTrain();

} // namespace quillon
