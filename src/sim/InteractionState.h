// What is under the pointer and what was last clicked. The pointer handling
// sets it; train and sensor operations read it.
#pragma once

#include "track/Layouts.h"

#include <cstdint>

namespace quillon {

constexpr std::int32_t NO_TRAIN = -1;

struct InteractionState {
    std::int32_t selectedTrain = NO_TRAIN; // slot of the train last clicked
    std::int32_t hoveredTrain = NO_TRAIN;  // slot of the train under the pointer
    NodeRef hoveredNode;                   // the node under the pointer
    NodeRef selectedNode;                  // the node last clicked
    std::int32_t lastPointerX = -1;        // -1 until the pointer first moves
    std::int32_t lastPointerY = -1;
};

} // namespace quillon
