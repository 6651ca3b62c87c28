#include "backends/headless/HeadlessRun.h"

#include "app/StepTiming.h"
#include "host/ControllerLink.h"
#include "protocol/CommandDecoder.h"
#include "sim/Movement.h"
#include "sim/Sensors.h"
#include "sim/Trains.h"

#include <algorithm>
#include <cinttypes>
#include <cstdint>

namespace quillon::headless {
namespace {

// The step at which a statement at timeMs runs: the first at or after it.
std::int64_t stepTimeOf(std::int64_t timeMs) {
    return (timeMs + STEP_PERIOD_MS - 1) / STEP_PERIOD_MS * STEP_PERIOD_MS;
}

} // namespace

HeadlessRun::HeadlessRun(World& world, const Scenario* scenario, bool scriptedBytes, std::FILE* log,
                         CommandSet commands)
    : world_(world), scenario_(scenario), scriptedBytes_(scriptedBytes), log_(log) {
    decoder_.commandSet = commands;
    if (scenario_ != nullptr) {
        const std::vector<Action>& actions = scenario_->actions;
        order_.resize(actions.size());
        for (std::size_t i = 0; i < actions.size(); ++i)
            order_[i] = static_cast<std::uint32_t>(i);
        std::stable_sort(order_.begin(), order_.end(), [&](std::uint32_t a, std::uint32_t b) {
            return stepTimeOf(actions[a].timeMs) < stepTimeOf(actions[b].timeMs);
        });
    }
    context_.commands = commands;
    // Room for what a scenario typically sends; more grows it once.
    bytes_.reserve(4096);
}

void HeadlessRun::step(ControllerLink* link) {
    carryOutEvents(now_, link);
    runDueActions(link);
    readStep(link);
    stepTrains(world_, STEP_PERIOD_MS);
    carryOutEvents(now_ + STEP_PERIOD_MS, link);
    now_ += STEP_PERIOD_MS;
}

bool HeadlessRun::idle() const {
    return !trainsDue(world_) && bytesRead_ == bytes_.size() && world_.events.count == 0;
}

std::int64_t HeadlessRun::nextActionTime() const {
    if (nextAction_ == order_.size())
        return NO_ACTION;
    return stepTimeOf(scenario_->actions[order_[nextAction_]].timeMs);
}

void HeadlessRun::skipTo(std::int64_t timeMs) {
    if (timeMs > now_)
        now_ = timeMs;
}

void HeadlessRun::runDueActions(ControllerLink* link) {
    // Each action's events are carried out before the next action runs, so
    // that any number of statements at one time fit the world's event log.
    while (nextAction_ < order_.size() && nextActionTime() <= now_) {
        runAction(scenario_->actions[order_[nextAction_++]]);
        carryOutEvents(now_, link);
    }
}

void HeadlessRun::runAction(const Action& action) {
    switch (action.kind) {
    case ActionKind::Place:
        placeTrain(world_, action.train, action.node, action.behind);
        break;
    case ActionKind::Remove:
        removeTrain(world_, action.train);
        break;
    case ActionKind::Switch:
        setSwitch(world_, action.number, action.straight ? SWITCH_DIR_STRAIGHT : SWITCH_DIR_CURVED);
        break;
    case ActionKind::Stick:
        stickSensor(world_, action.node);
        break;
    case ActionKind::Send:
        if (scriptedBytes_)
            bytes_.insert(bytes_.end(), action.bytes.begin(), action.bytes.end());
        break;
    }
}

bool HeadlessRun::canReadEarly() const {
    return !budget_.spent() && nextActionTime() > now_;
}

int HeadlessRun::readEarly(ControllerLink* link) {
    if (!canReadEarly() || link == nullptr || !link->isConnected())
        return 0;
    std::uint8_t chunk[READ_CHUNK + 1];
    int got = link->read(chunk, budget_.left());
    if (got <= 0)
        return 0;
    budget_.spend(got);
    decodeCommands(decoder_, world_, chunk, got);
    carryOutEvents(now_, link);
    return got;
}

void HeadlessRun::readStep(ControllerLink* link) {
    // Bytes read early in this step's window count against its budget.
    const int budget = budget_.left();
    budget_.renew();
    std::uint8_t chunk[READ_CHUNK + 1];
    int count = 0;
    while (count < budget && bytesRead_ < bytes_.size())
        chunk[count++] = bytes_[bytesRead_++];
    if (bytesRead_ == bytes_.size()) {
        bytes_.clear();
        bytesRead_ = 0;
    }
    if (count < budget && link != nullptr && link->isConnected()) {
        int got = link->read(chunk + count, budget - count);
        if (got > 0)
            count += got;
    }
    if (count == 0)
        return;
    decodeCommands(decoder_, world_, chunk, count);
    carryOutEvents(now_, link);
}

void HeadlessRun::logLine(const char* line, std::size_t length) {
    if (log_ != nullptr && length > 0 && std::fwrite(line, 1, length, log_) != length)
        logOk_ = false;
}

void HeadlessRun::carryOutEvents(std::int64_t timeMs, ControllerLink* link) {
    EventLog& events = world_.events;
    // A full log may have turned events away since the last drain.
    if (events.count >= EventLog::CAPACITY) {
        eventsLost_ = true;
        char line[64];
        int length =
            std::snprintf(line, sizeof line, "{\"t\":%" PRId64 ",\"event\":\"lost\"}\n", timeMs);
        logLine(line, static_cast<std::size_t>(length));
    }
    for (int i = 0; i < events.count; ++i) {
        const Event& event = events.events[i];
        if (event.kind == EventKind::CommandDecoded && event.length > 0)
            context_.lastCommand = event.bytes[0];
        bool observed = event.kind == EventKind::SensorLatched ||
                        event.kind == EventKind::Collision || event.kind == EventKind::Halt;
        if (observed && scenario_ != nullptr && !scenario_->expectations.empty())
            observations_.push_back(
                {static_cast<std::int32_t>(timeMs), event.kind, event.a, event.b, event.node});
        bool written = true;
        if (event.kind == EventKind::ReportSent && link != nullptr && event.length > 0)
            written = link->write(event.bytes, event.length) == event.length;
        if (log_ == nullptr)
            continue;
        char line[EVENT_JSON_CAPACITY];
        logLine(line, formatEventJson(timeMs, event, world_, context_, line, written));
    }
    events.count = 0;
}

} // namespace quillon::headless
