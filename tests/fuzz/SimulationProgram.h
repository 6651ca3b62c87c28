// Bytes read as a program of operations on a world: decoding byte chunks,
// movement steps with any elapsed time (wrapped clocks included), placing and
// removing trains, speed and switch commands, layout changes, sensors, the
// pointer, rescaling and painting, on every layout the world holds nodes of. After every operation
// the events must name what exists and the switch text of the active layout must fit its buffer;
// after every step each train must stand on a real segment. The simulation fuzzer runs its inputs;
// the randomized run of the tests runs random programs.
#pragma once

#include "host/NullHost.h"
#include "protocol/CommandDecoder.h"
#include "sim/Movement.h"
#include "sim/Sensors.h"
#include "sim/World.h"
#include "track/TrackExport.h"
#include "view/LayoutPainter.h"
#include "view/LayoutScaling.h"
#include "view/Pointer.h"

#include <algorithm>
#include <cstring>

namespace quillon::fuzz {

// The reference names a node of one of the layouts.
inline bool isLayoutNode(const World& world, NodeRef ref) {
    return ref.layout >= 0 && ref.layout < LAYOUT_COUNT && ref.index >= 0 &&
           ref.index < world.layouts.tracks[ref.layout].nodeCount();
}

// After a step of elapsed: every train on a node, and on a segment with a
// length and within it or on none; none moved by a time at or below zero.
inline bool trainsSound(const World& world, std::int32_t elapsed, const TrainTable& before) {
    for (int i = 0; i < world.trains.count && i < MAX_TRAINS; ++i) {
        const Train& t = world.trains.trains[i];
        bool onSegment = !t.edge.isEdge() && !t.nextNode.isNode();
        if (t.edge.isEdge() && isLayoutNode(world, t.edge.node) && t.edge.slot >= 0 &&
            t.edge.slot < 3 && isLayoutNode(world, t.nextNode)) {
            std::int32_t length = edgeAt(world, t.edge).distance;
            onSegment = length > 0 && t.distance >= 0 && t.distance <= length;
        }
        if (!t.inUse || !isLayoutNode(world, t.currentNode) || !onSegment ||
            (elapsed <= 0 && t.edge == before.trains[i].edge &&
             t.exactDistance != before.trains[i].exactDistance))
            return false;
    }
    return world.trains.count >= 0 && world.trains.count <= MAX_TRAINS;
}

// Every event names a node of a record or none; the log never fills between
// two drains.
inline bool eventsSound(const World& world) {
    for (int i = 0; i < world.events.count; ++i)
        if (world.events.events[i].node != NO_NODE &&
            !isLayoutNode(world, world.events.events[i].node))
            return false;
    return world.events.count >= 0 && world.events.count < EventLog::CAPACITY;
}

inline bool switchTextSound(const World& world) {
    SwitchText text = formatSwitchDirections(recordOf(activeTrack(world.layouts)));
    return text.length < sizeof text.text && std::strlen(text.text) == text.length;
}

// Runs the program on the world, adding up the bytes decoded and the steps
// taken; false as soon as the world is unsound.
inline bool runSimulationProgram(World& world, const std::uint8_t* data, std::size_t size,
                                 long& bytes, long& steps) {
    CommandDecoder decoder;
    std::size_t at = 0;
    auto byte = [&] { return at < size ? data[at++] : std::uint8_t{0}; };
    // A byte spread over 32 bits: 0, -1, and values near both ends of the range.
    auto word = [&] { return static_cast<std::int32_t>(byte() * 0x01010101u); };
    auto number = [&] { return static_cast<std::int8_t>(byte()) % 16; };
    int layouts[LAYOUT_COUNT], layoutCount = 0;
    for (int l = 0; l < LAYOUT_COUNT; ++l)
        if (world.layouts.tracks[l].nodeCount() > 0)
            layouts[layoutCount++] = l;
    if (layoutCount == 0)
        return true;
    auto layout = [&](std::uint8_t pick) { return layouts[pick % layoutCount]; };
    // Two bytes, so that every node of the biggest layout can be picked.
    auto node = [&] {
        std::uint8_t pick = byte();
        int l = layout(pick);
        int index = (pick / layoutCount * 256 + byte()) % world.layouts.tracks[l].nodeCount();
        return NodeRef{static_cast<std::int16_t>(l), static_cast<std::int16_t>(index)};
    };
    while (at < size) {
        std::uint8_t op = byte() % 11, pick = byte();
        if (op == 0) {
            // Both command sets, switching between chunks.
            decoder.commandSet = pick & 0x80 ? CommandSet::Full : CommandSet::Basic;
            std::size_t count = std::min<std::size_t>(pick % 25, size - at);
            decodeCommands(decoder, world, data + at, static_cast<int>(count));
            at += count, bytes += static_cast<long>(count);
        } else if (op <= 2) {
            std::int32_t elapsed = pick < 200 ? pick % 40 : word();
            TrainTable before = world.trains;
            stepTrains(world, elapsed);
            ++steps;
            if (!trainsSound(world, elapsed, before))
                return false;
        } else if (op == 3) {
            std::int32_t train = number();
            placeTrain(world, train, node(), pick & 1);
        } else if (op == 4) {
            removeTrain(world, number());
        } else if (op == 5) {
            selectLayout(world.layouts, layout(pick));
        } else if (op == 6) {
            int count = world.trains.count;
            world.interaction.selectedTrain = count > 0 ? pick % count : NO_TRAIN;
            if (pick & 0x80 && count > 0)
                setTrainSpeed(world, *selectedTrain(world), byte() % 17, pick & 1);
            else
                setTrainSpeed(world, number(), byte() % 17, pick & 1);
        } else if (op == 7) {
            int command = byte(); // straight as often as not
            setSwitch(world, command >= 224 ? word() : pick,
                      command & 1 ? SWITCH_DIR_STRAIGHT : SWITCH_DIR_CURVED);
        } else if (op == 8) {
            world.interaction.selectedNode = pick & 1 ? node() : NO_NODE;
            if (pick & 2)
                stickSelectedSensor(world);
            if (pick & 8)
                fireSensor(world, world.interaction.selectedNode, (pick >> 4) & 1);
            int high = byte();
            isSensorTriggered(world, static_cast<std::int16_t>(high << 8 | byte()) % 600);
            if (pick & 4 && world.trains.count > 0)
                world.trains.trains[byte() % world.trains.count].held ^= 1;
        } else if (op == 9) {
            std::int32_t x = byte() * 5, y = byte() * 5;
            if (!updateHoveredTrain(world, x, y))
                updateHoveredNode(world, x, y);
            handleClick(world, static_cast<PointerButton>(pick % 3));
            if (pick & 8)
                removeSelectedTrain(world);
            else if (pick & 16)
                placeTrainAtSelection(world, number());
            retestHoveredTrain(world);
        } else {
            bool extreme = pick >= 200;
            rescaleLayouts(world, extreme ? word() : 204 + byte() * 4,
                           extreme ? word() : 128 + byte() * 2);
            NullSurface surface;
            drawLayout(surface, nullptr, world);
        }
        if (!eventsSound(world) || !switchTextSound(world))
            return false;
        world.events.count = 0;
    }
    return true;
}

} // namespace quillon::fuzz
