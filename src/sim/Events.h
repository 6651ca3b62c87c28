// What the simulation did, recorded for its owner to act on: sounds to play,
// reports to send, and what a log of the run shows. The owner drains the
// log after each operation; an operation records at most a few events per
// train, so the fixed capacity is never reached between two drains.
#pragma once

#include "track/BuiltinLayouts.h"

#include <cstdint>

namespace quillon {

enum class EventKind : std::uint8_t {
    SwitchChanged, // a: switch slot, b: its new direction (a controller or a click)
    Collision,     // a: the moving train's number, b: the other's
    Halt,          // a: train number, node: where it stands
    SensorLatched, // a: sensor number, b: the number of the train passing it
    SensorFired,   // a: sensor number, fired by the user
    TrainPlaced,   // a: train number, node: where
    TrainMoved,    // a: train number, node: where it was placed again
    ReportSent,    // report: the 10 bytes to write to the controller
};

struct Event {
    EventKind kind;
    std::int32_t a;
    std::int32_t b;
    NodeRef node;
    std::uint8_t report[10];
};

struct EventLog {
    static constexpr int CAPACITY = 256;
    Event events[CAPACITY];
    std::int32_t count;

    // Appends the event; a full log drops it.
    void record(const Event& event) {
        if (count < CAPACITY)
            events[count++] = event;
    }
};

} // namespace quillon
