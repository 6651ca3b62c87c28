// Bytes read as a program of operations on the simulation: decoding byte
// chunks, movement steps with any elapsed time (wrapped clocks included),
// placing and removing trains, speed and switch commands, layout changes,
// sensor selection. Shared by the fuzz target and the randomized run of the
// tests, which feeds it random programs.
#pragma once

#include "link/CommandDecoder.h"
#include "sim/InteractionState.h"
#include "sim/Movement.h"
#include "sim/Sensors.h"
#include "sim/Trains.h"
#include "track/BuiltinLayouts.h"

#include <algorithm>
#include <cstdint>
#include <functional>

namespace quillon::fuzz {

// The program's bytes; zeros once they are used up.
struct Input {
    const std::uint8_t* data;
    std::size_t size, pos = 0;

    std::uint8_t byte() { return pos < size ? data[pos++] : 0; }
    std::int32_t word() {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value = value << 8 | byte();
        return static_cast<std::int32_t>(value);
    }
    // -15..15; a negative number stands for the selected train where it may.
    std::int32_t trainNumber() { return static_cast<std::int8_t>(byte()) % 16; }
    TrackNode& node() {
        std::uint8_t pick = byte();
        TrackLayout& layout = layoutRecord(pick & 1);
        return layout.nodes[(pick >> 1) % layout.nodeCount];
    }
};

inline bool isLayoutNode(const TrackNode* node) {
    std::less<const TrackNode*> before;
    for (int index : {LAYOUT_A, LAYOUT_B}) {
        const TrackNode* nodes = layoutRecord(index).nodes;
        if (!before(node, nodes) && before(node, nodes + MAX_NODES))
            return true;
    }
    return false;
}

// After a step of elapsed: every train on a real segment of a layout record,
// within its length, and none moved by a time at or below zero.
inline bool trainsSound(std::int32_t elapsed, const TrainTable& before) {
    if (trainTable.count < 0 || trainTable.count > MAX_TRAINS)
        return false;
    for (int i = 0; i < trainTable.count; ++i) {
        const Train& t = trainTable.trains[i];
        const Train& was = before.trains[i];
        if (!t.inUse || !isLayoutNode(t.currentNode) ||
            (t.nextNode == nullptr) != (t.edge == nullptr))
            return false;
        if (t.edge != nullptr && (!isLayoutNode(t.nextNode) || t.edge->distance <= 0 ||
                                  t.distance < 0 || t.distance > t.edge->distance))
            return false;
        if (elapsed <= 0 && t.edge == was.edge && t.exactDistance != was.exactDistance)
            return false;
    }
    return true;
}

// Runs the program from start-up state, adding up the bytes decoded and the
// steps taken; false as soon as a step leaves the trains unsound.
inline bool runSimulationProgram(Input in, ControllerLink* link, long& bytes, long& steps) {
    resetLayouts();
    loadBuiltinLayouts();
    resetTrains();
    resetInteraction();
    CommandDecoder decoder{};
    while (in.pos < in.size) {
        switch (in.byte() % 9) {
        case 0: {
            std::size_t count = std::min<std::size_t>(in.byte() % 25, in.size - in.pos);
            decoder.decode(in.data + in.pos, static_cast<int>(count), link);
            in.pos += count;
            bytes += static_cast<long>(count);
            break;
        }
        case 1:
        case 2: {
            std::uint8_t kind = in.byte();
            std::int32_t elapsed = kind < 200 ? kind % 40 : in.word();
            TrainTable before = trainTable;
            stepTrains(elapsed, decoder.report);
            ++steps;
            if (!trainsSound(elapsed, before))
                return false;
            break;
        }
        case 3:
            placeTrain(in.trainNumber(), in.node());
            break;
        case 4:
            removeTrain(in.trainNumber());
            break;
        case 5:
            selectLayout(in.byte() & 1);
            break;
        case 6: {
            std::uint8_t pick = in.byte();
            interaction.selectedTrain =
                trainTable.count > 0 ? &trainTable.trains[pick % trainTable.count] : nullptr;
            setTrainSpeed(in.trainNumber(), in.byte() % 17, pick & 1);
            break;
        }
        case 7: {
            std::uint8_t pick = in.byte();
            setSwitch(pick < 200 ? pick : in.word(), in.byte());
            break;
        }
        default: {
            std::uint8_t pick = in.byte();
            interaction.selectedNode = pick & 1 ? &in.node() : nullptr;
            if (pick & 2)
                stickSelectedSensor();
            isSensorTriggered(static_cast<std::int8_t>(in.byte()));
            if (pick & 4 && trainTable.count > 0)
                trainTable.trains[in.byte() % trainTable.count].held ^= 1;
            break;
        }
        }
    }
    return true;
}

} // namespace quillon::fuzz
