#include "sim/Trains.h"

#include "platform/Host.h"
#include "sim/InteractionState.h"
#include "track/BuiltinLayouts.h"

#include <algorithm>
#include <cstring>

namespace quillon {

TrainTable trainTable;

void resetTrains() {
    std::memset(&trainTable, 0, sizeof trainTable);
}

int findTrain(std::int32_t number) {
    for (int i = 0; i < trainTable.count; ++i) {
        const Train& train = trainTable.trains[i];
        if (train.inUse && train.number == number)
            return i;
    }
    return -1;
}

Train* trainByNumber(std::int32_t number) {
    int index = findTrain(number);
    return index < 0 ? nullptr : &trainTable.trains[index];
}

Train* placeTrain(std::int32_t number, TrackNode& node) {
    Train* train = trainByNumber(number);
    if (train != nullptr) {
        playSound(SOUND_TRAIN_MOVED);
    } else {
        if (trainTable.count >= MAX_TRAINS)
            return nullptr;
        train = &trainTable.trains[trainTable.count++];
        playSound(SOUND_TRAIN_PLACED);
    }
    *train = Train{};
    train->inUse = 1;
    train->number = number;
    train->currentNode = &node;
    return train;
}

void removeTrain(std::int32_t number) {
    int index = findTrain(number);
    if (index < 0)
        return;
    int later = trainTable.count - 1 - index;
    if (later > 0)
        std::memmove(&trainTable.trains[index], &trainTable.trains[index + 1],
                     later * sizeof(Train));
    --trainTable.count;
    // The vacated record no longer counts as in use for anyone still holding it.
    trainTable.trains[trainTable.count] = Train{};
}

void setSwitch(int number, int command) {
    int slot = switchSlot(number);
    if (!isValidSwitchSlot(slot))
        return;
    TrackNode& node = switchNode(activeLayout(), static_cast<std::uint8_t>(slot));
    std::int32_t wanted = command == CMD_BYTE_STRAIGHT ? SWITCH_DIR_STRAIGHT : SWITCH_DIR_CURVED;
    if (node.direction == wanted)
        return;
    node.direction = wanted;
    playSound(SOUND_SWITCH);
}

namespace {

// The train reverses on its segment without changing its place. A train that
// has not moved since placement keeps its way: it still sets off forward.
// A train halted at the far end keeps the overshoot of its last step in the
// exact distance; it turns round from the end itself, so that it never stands
// outside its segment (behind the node it now leaves).
void reverse(Train& train) {
    if (train.edge == nullptr)
        return;
    std::int32_t length = std::max(train.edge->distance, 0);
    float end = static_cast<float>(length);
    std::int32_t distance = std::clamp(train.distance, 0, length);
    float exact = std::clamp(train.exactDistance, 0.0f, end);
    train.distance = length - distance;
    train.exactDistance = end - exact;
    TrackNode* near = train.currentNode;
    train.currentNode = train.nextNode;
    train.nextNode = near;
}

} // namespace

void setTrainSpeed(std::int32_t number, int command, bool stopOnReverse) {
    if (command < 0 || command > SPEED_REVERSE)
        return;
    Train* train = number < 0 ? interaction.selectedTrain : trainByNumber(number);
    if (train == nullptr || !train->inUse)
        return;
    if (command == SPEED_REVERSE) {
        reverse(*train);
        if (stopOnReverse)
            train->speed = 0;
    } else {
        train->speed = static_cast<std::uint32_t>(command);
    }
    train->crashed = 0;
}

int trainSpeed(std::int32_t number) {
    const Train* train = trainByNumber(number);
    return train == nullptr ? 0 : static_cast<int>(train->speed & 0xFFu);
}

bool placeTrainAtSelection(std::int32_t number) {
    if (interaction.selectedNode == nullptr)
        return false;
    placeTrain(number, *interaction.selectedNode);
    return true;
}

bool removeSelectedTrain() {
    if (interaction.selectedTrain == nullptr)
        return false;
    removeTrain(interaction.selectedTrain->number);
    interaction.selectedTrain = nullptr;
    interaction.hoveredTrain = nullptr;
    return true;
}

} // namespace quillon
