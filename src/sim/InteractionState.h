// What is under the pointer and what was last clicked. One process-wide
// record; the pointer handling sets it, train and sensor operations read it.
#pragma once

#include "track/TrackLayout.h"

#include <cstdint>

namespace quillon {

struct Train;

struct InteractionState {
    Train* selectedTrain;      // the train last clicked, or nullptr
    Train* hoveredTrain;       // the train under the pointer, or nullptr
    TrackNode* hoveredNode;    // the node under the pointer, or nullptr
    TrackNode* selectedNode;   // the node last clicked, or nullptr
    std::int32_t lastPointerX; // -1 until the pointer first moves
    std::int32_t lastPointerY;
};

extern InteractionState interaction;

// Clears every reference and sets the last pointer position to (-1, -1).
void resetInteraction();

} // namespace quillon
