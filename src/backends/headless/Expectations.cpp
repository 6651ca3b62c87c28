#include "backends/headless/Expectations.h"

#include "track/ContactNames.h"

#include <string>

namespace quillon::headless {
namespace {

std::string ms(std::int32_t time) {
    return std::to_string(time) + "ms";
}

std::string sensorName(std::int32_t number) {
    char name[CONTACT_NAME_CAPACITY];
    formatContactName(number, name);
    return name;
}

std::string nodeName(const Layouts& layouts, NodeRef ref) {
    return ref.isNode() ? std::string(nodeAt(layouts, ref).name) : std::string("-");
}

bool counts(const Expectation& e, const Observation& o) {
    return e.byMs < 0 || o.timeMs <= e.byMs;
}

// What the run showed of this kind, for the message of an expectation that
// failed: "C13 at 1940ms (train 12), ..." or "none".
std::string listOf(const std::vector<const Observation*>& seen, const Layouts& layouts) {
    if (seen.empty())
        return "none";
    std::string text;
    constexpr std::size_t SHOWN = 5;
    for (std::size_t i = 0; i < seen.size() && i < SHOWN; ++i) {
        const Observation& o = *seen[i];
        if (!text.empty())
            text += ", ";
        switch (o.kind) {
        case EventKind::SensorLatched:
            text +=
                sensorName(o.a) + " at " + ms(o.timeMs) + " (train " + std::to_string(o.b) + ")";
            break;
        case EventKind::Collision:
            text += "trains " + std::to_string(o.a) + " and " + std::to_string(o.b) + " at " +
                    ms(o.timeMs);
            break;
        default:
            text += "halt at " + nodeName(layouts, o.node) + " at " + ms(o.timeMs);
            break;
        }
    }
    if (seen.size() > SHOWN)
        text += " and " + std::to_string(seen.size() - SHOWN) + " more";
    return text;
}

} // namespace

std::vector<Failure> checkExpectations(const Scenario& scenario,
                                       const std::vector<Observation>& observed,
                                       const Layouts& layouts) {
    std::vector<Failure> failures;
    for (const Expectation& e : scenario.expectations) {
        // Everything of the expectation's kind (for the message), and
        // whether one of them satisfies it.
        std::vector<const Observation*> related;
        bool match = false;
        for (const Observation& o : observed) {
            if (!counts(e, o))
                continue;
            switch (e.kind) {
            case ExpectKind::Sensor:
            case ExpectKind::NoSensor:
                if (o.kind != EventKind::SensorLatched || o.a != e.sensor)
                    continue;
                if (e.train >= 0 && o.b != e.train)
                    continue;
                if (e.kind == ExpectKind::Sensor)
                    related.push_back(&o);
                if (o.timeMs >= e.fromMs && o.timeMs <= e.toMs) {
                    match = true;
                    if (e.kind == ExpectKind::NoSensor)
                        related.push_back(&o);
                }
                break;
            case ExpectKind::Collision:
            case ExpectKind::NoCollision:
                if (o.kind != EventKind::Collision)
                    continue;
                related.push_back(&o);
                match = true;
                break;
            case ExpectKind::Halt:
                if (o.kind != EventKind::Halt || o.a != e.train)
                    continue;
                related.push_back(&o);
                if (!e.node.isNode() || o.node == e.node)
                    match = true;
                break;
            }
        }
        bool negative = e.kind == ExpectKind::NoSensor || e.kind == ExpectKind::NoCollision;
        if (match != negative)
            continue;
        std::string by = e.byMs < 0 ? "" : " by " + ms(e.byMs);
        failures.push_back(
            {e.line, "expected " + e.text + by + ", got " + listOf(related, layouts)});
    }
    return failures;
}

} // namespace quillon::headless
