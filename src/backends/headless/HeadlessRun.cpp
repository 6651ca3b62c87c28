#include "backends/headless/HeadlessRun.h"

#include "app/StepTiming.h"
#include "host/ControllerLink.h"
#include "protocol/CommandDecoder.h"
#include "sim/Movement.h"
#include "sim/Sensors.h"
#include "sim/Trains.h"

#include <cstdint>

namespace quillon::headless {

HeadlessRun::HeadlessRun(World& world, const Scenario* scenario, bool scriptedBytes, std::FILE* log,
                         CommandSet commands)
    : world_(world), scenario_(scenario), scriptedBytes_(scriptedBytes), log_(log) {
    decoder_.commandSet = commands;
    if (scenario_ != nullptr)
        done_.assign(scenario_->actions.size(), false);
    context_.commands = commands;
    // Room for what a scenario typically sends; more grows it once.
    bytes_.reserve(4096);
}

void HeadlessRun::step(ControllerLink* link) {
    carryOutEvents(now_, link);
    runDueActions();
    carryOutEvents(now_, link);
    readStep(link);
    stepTrains(world_, STEP_PERIOD_MS);
    carryOutEvents(now_ + STEP_PERIOD_MS, link);
    now_ += STEP_PERIOD_MS;
}

bool HeadlessRun::idle() const {
    return !trainsDue(world_) && bytesRead_ == bytes_.size() && world_.events.count == 0;
}

std::int32_t HeadlessRun::nextActionTime() const {
    std::int32_t next = INT32_MAX;
    if (scenario_ == nullptr)
        return next;
    for (std::size_t i = nextAction_; i < scenario_->actions.size(); ++i)
        if (!done_[i] && scenario_->actions[i].timeMs < next)
            next = scenario_->actions[i].timeMs;
    return next;
}

void HeadlessRun::skipTo(std::int32_t timeMs) {
    if (timeMs > now_)
        now_ = timeMs;
}

void HeadlessRun::runDueActions() {
    if (scenario_ == nullptr)
        return;
    const std::vector<Action>& actions = scenario_->actions;
    // Actions run in file order among those due; the first not yet run
    // bounds the scan from below.
    while (nextAction_ < actions.size() && done_[nextAction_])
        ++nextAction_;
    for (std::size_t i = nextAction_; i < actions.size(); ++i) {
        const Action& action = actions[i];
        if (done_[i] || action.timeMs > now_)
            continue;
        done_[i] = true;
        switch (action.kind) {
        case ActionKind::Place:
            placeTrain(world_, action.train, action.node, action.behind);
            break;
        case ActionKind::Remove:
            removeTrain(world_, action.train);
            break;
        case ActionKind::Switch:
            setSwitch(world_, action.number,
                      action.straight ? SWITCH_DIR_STRAIGHT : SWITCH_DIR_CURVED);
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
}

bool HeadlessRun::canReadEarly() const {
    return readEarly_ < READ_CHUNK && nextActionTime() > now_;
}

int HeadlessRun::readEarly(ControllerLink* link) {
    if (!canReadEarly() || link == nullptr || !link->isConnected())
        return 0;
    std::uint8_t chunk[READ_CHUNK + 1];
    int got = link->read(chunk, READ_CHUNK - readEarly_);
    if (got <= 0)
        return 0;
    readEarly_ += got;
    decodeCommands(decoder_, world_, chunk, got);
    carryOutEvents(now_, link);
    return got;
}

void HeadlessRun::readStep(ControllerLink* link) {
    // Bytes read early in this step's window count against its budget.
    int budget = READ_CHUNK - readEarly_;
    readEarly_ = 0;
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

void HeadlessRun::carryOutEvents(std::int32_t timeMs, ControllerLink* link) {
    EventLog& events = world_.events;
    for (int i = 0; i < events.count; ++i) {
        const Event& event = events.events[i];
        if (event.kind == EventKind::CommandDecoded && event.length > 0)
            context_.lastCommand = event.bytes[0];
        bool observed = event.kind == EventKind::SensorLatched ||
                        event.kind == EventKind::Collision || event.kind == EventKind::Halt;
        if (observed && scenario_ != nullptr && !scenario_->expectations.empty())
            observations_.push_back({timeMs, event.kind, event.a, event.b, event.node});
        if (event.kind == EventKind::ReportSent && link != nullptr && event.length > 0)
            link->write(event.bytes, event.length);
        if (log_ == nullptr)
            continue;
        char line[EVENT_JSON_CAPACITY];
        std::size_t length = formatEventJson(timeMs, event, world_, context_, line);
        if (length > 0 && std::fwrite(line, 1, length, log_) != length)
            logOk_ = false;
    }
    events.count = 0;
}

} // namespace quillon::headless
