// What the simulation did, recorded for its owner to act on: sounds to play,
// reports to send, and what a log of the run shows. The owner drains the
// log after each operation; an operation records at most a few events per
// train, so the fixed capacity is never reached between two drains.
#pragma once

#include "track/Layouts.h"

#include <cstdint>

namespace quillon {

enum class EventKind : std::uint8_t {
    SwitchChanged,  // a: switch number, b: its new direction, node: the switch
    Collision,      // a: the moving train's number, b: the other's
    Halt,           // a: train number, node: where it stands
    SensorLatched,  // a: contact number, b: the number of the train passing it, node: the sensor
    SensorFired,    // a: contact number, fired by the user, node: the sensor
    TrainPlaced,    // a: train number, node: where
    TrainMoved,     // a: train number, node: where it was placed again
    ReportSent,     // bytes: the bytes to write to the controller, length of them
    CommandDecoded, // bytes: a complete command from the controller, length of them
    PowerChanged,   // a: 1 when the track power came on, 0 when it went off
};

// The longest answer: sensor modules 1 to 31, two bytes each.
constexpr int MAX_REPORT_BYTES = 62;

struct Event {
    EventKind kind;
    std::int32_t a;
    std::int32_t b;
    NodeRef node;
    std::uint8_t bytes[MAX_REPORT_BYTES];
    std::uint8_t length;
};

// An event of kind with its numbers and node; no bytes.
inline Event makeEvent(EventKind kind, std::int32_t a, std::int32_t b = 0, NodeRef node = NO_NODE) {
    Event event{};
    event.kind = kind;
    event.a = a;
    event.b = b;
    event.node = node;
    return event;
}

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
