// The run of the headless program, one 10 ms step at a time: the scenario's
// actions that are due, then a read step of at most 24 bytes, then a
// movement step of 10 ms. Simulated time starts at 0 and never runs out;
// the caller decides how fast it passes (as fast as the machine allows, or
// paced by a clock), so the same scenario always gives the same run. A
// statement runs at the first step at or after its time, in file order
// among those of that step, however the steps are paced.
#pragma once

#include "app/ReadBudget.h"

#include "backends/headless/EventJson.h"
#include "backends/headless/Scenario.h"
#include "protocol/CommandDecoder.h"
#include "sim/World.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace quillon {
class ControllerLink;
}

namespace quillon::headless {

// What the expectations are checked against: the sensors latched by
// trains, the collisions and the halts, with their times.
struct Observation {
    std::int32_t timeMs;
    EventKind kind;
    std::int32_t a; // as in the event
    std::int32_t b;
    NodeRef node;
};

class HeadlessRun {
public:
    // Runs world (loaded, with any start options applied). scenario may be
    // null; its controller bytes are used only when scriptedBytes is true.
    // log may be null for no log.
    HeadlessRun(World& world, const Scenario* scenario, bool scriptedBytes, std::FILE* log,
                CommandSet commands = CommandSet::Basic);

    // One step at now(): events already recorded in the world (start
    // options) and those of the due actions and the read step carry now();
    // those of the movement step carry now() + 10. link, when not null and
    // connected, supplies bytes after the scenario's and receives the
    // reports; the log tells the reports it took from those it dropped.
    // Every event is logged: should an operation fill the world's event log,
    // the log says that events were lost. Afterwards now() is 10 ms later.
    // Each step costs the same however many statements are left.
    void step(ControllerLink* link);

    std::int64_t now() const { return now_; }
    // True when steps would change nothing until the controller sends a
    // byte or a scenario statement falls due: no train is due to move, no
    // scenario byte waits and no event is left to carry out.
    bool idle() const;
    // The step time at which the next scenario statement not yet run falls
    // due; NO_ACTION when none is left.
    std::int64_t nextActionTime() const;
    // Moves the time on to timeMs (a later step time) without stepping; the
    // caller has seen the run idle and no statement due before timeMs.
    void skipTo(std::int64_t timeMs);
    // Between steps in real time: true while bytes that arrive may be read
    // at once, before the next step: its 24-byte budget is not spent and no
    // scenario statement is due first.
    bool canReadEarly() const;
    // Reads and decodes what the link has waiting, within the budget of the
    // coming step, with events at now(); how many bytes were read.
    int readEarly(ControllerLink* link);
    const std::vector<Observation>& observations() const { return observations_; }
    // False once a write to the log failed.
    bool logWritten() const { return logOk_; }
    // True once an operation filled the world's event log, so that events
    // may have been lost (the log says where).
    bool eventsLost() const { return eventsLost_; }

    static constexpr std::int64_t NO_ACTION = INT64_MAX;

private:
    void runDueActions(ControllerLink* link);
    void runAction(const Action& action);
    void readStep(ControllerLink* link);
    void carryOutEvents(std::int64_t timeMs, ControllerLink* link);
    void logLine(const char* line, std::size_t length);

    World& world_;
    CommandDecoder decoder_;
    const Scenario* scenario_;
    bool scriptedBytes_;
    std::FILE* log_;
    bool logOk_ = true;
    bool eventsLost_ = false;
    std::int64_t now_ = 0;
    // The scenario's actions by the step they run at, in file order within
    // a step; those before nextAction_ have run.
    std::vector<std::uint32_t> order_;
    std::size_t nextAction_ = 0;
    std::vector<std::uint8_t> bytes_; // the scenario's bytes not yet read
    std::size_t bytesRead_ = 0;       // of bytes_
    ReadBudget budget_;               // spent by bytes read since the last read step
    LogContext context_;
    std::vector<Observation> observations_;
};

} // namespace quillon::headless
