// Bytes read as a program of operations on the simulation: decoding byte
// chunks, movement steps with any elapsed time (wrapped clocks included),
// placing and removing trains, speed and switch commands, layout changes,
// sensor selection. The simulation fuzzer runs its inputs; the randomized run
// of the tests runs random programs.
#pragma once

#include "protocol/CommandDecoder.h"
#include "sim/InteractionState.h"
#include "sim/Movement.h"
#include "sim/Sensors.h"
#include "sim/Trains.h"
#include "track/BuiltinLayouts.h"

#include <algorithm>
#include <functional>

namespace quillon::fuzz {

inline bool isLayoutNode(const TrackNode* node) {
    std::less<const TrackNode*> before;
    const TrackNode *a = layoutRecord(LAYOUT_A).nodes, *b = layoutRecord(LAYOUT_B).nodes;
    return (!before(node, a) && before(node, a + MAX_NODES)) ||
           (!before(node, b) && before(node, b + MAX_NODES));
}

// After a step of elapsed: every train on a real segment of a layout record,
// within its length, and none moved by a time at or below zero.
inline bool trainsSound(std::int32_t elapsed, const TrainTable& before) {
    if (trainTable.count < 0 || trainTable.count > MAX_TRAINS)
        return false;
    for (int i = 0; i < trainTable.count; ++i) {
        const Train& t = trainTable.trains[i];
        bool onSegment = t.edge == nullptr ? t.nextNode == nullptr
                                           : isLayoutNode(t.nextNode) && t.edge->distance > 0 &&
                                                 t.distance >= 0 && t.distance <= t.edge->distance;
        bool moved =
            t.edge == before.trains[i].edge && t.exactDistance != before.trains[i].exactDistance;
        if (!t.inUse || !isLayoutNode(t.currentNode) || !onSegment || (elapsed <= 0 && moved))
            return false;
    }
    return true;
}

// Runs the program from start-up state, adding up the bytes decoded and the
// steps taken; false as soon as a step leaves the trains unsound.
inline bool runSimulationProgram(const std::uint8_t* data, std::size_t size, ControllerLink* link,
                                 long& bytes, long& steps) {
    std::size_t at = 0;
    auto byte = [&] { return at < size ? data[at++] : std::uint8_t{0}; };
    // A byte spread over 32 bits: 0, -1, and values near both ends of the range.
    auto word = [&] { return static_cast<std::int32_t>(byte() * 0x01010101u); };
    auto train = [&] { return static_cast<std::int8_t>(byte()) % 16; }; // negative: the selected
    auto node = [&]() -> TrackNode& {
        std::uint8_t pick = byte();
        TrackLayout& layout = layoutRecord(pick & 1);
        return layout.nodes[(pick >> 1) % layout.nodeCount];
    };
    resetLayouts();
    loadBuiltinLayouts();
    resetTrains();
    resetInteraction();
    CommandDecoder decoder{};
    while (at < size) {
        int op = byte() % 9;
        std::uint8_t pick = byte();
        if (op == 0) {
            std::size_t count = std::min<std::size_t>(pick % 25, size - at);
            decoder.decode(data + at, static_cast<int>(count), link);
            at += count, bytes += static_cast<long>(count);
        } else if (op <= 2) {
            std::int32_t elapsed = pick < 200 ? pick % 40 : word();
            TrainTable before = trainTable;
            stepTrains(elapsed, decoder.report);
            ++steps;
            if (!trainsSound(elapsed, before))
                return false;
        } else if (op == 3) {
            std::int32_t number = train();
            placeTrain(number, node());
        } else if (op == 4) {
            removeTrain(train());
        } else if (op == 5) {
            selectLayout(pick & 1);
        } else if (op == 6) {
            interaction.selectedTrain =
                trainTable.count > 0 ? &trainTable.trains[pick % trainTable.count] : nullptr;
            std::int32_t number = train();
            setTrainSpeed(number, byte() % 17, pick & 1);
        } else if (op == 7) {
            int number = pick < 200 ? pick : word();
            setSwitch(number, byte());
        } else {
            interaction.selectedNode = pick & 1 ? &node() : nullptr;
            if (pick & 2)
                stickSelectedSensor();
            isSensorTriggered(static_cast<std::int8_t>(byte()));
            if (pick & 4 && trainTable.count > 0)
                trainTable.trains[byte() % trainTable.count].held ^= 1;
        }
    }
    return true;
}

} // namespace quillon::fuzz
