// A scenario: what happens to the layout and when, which bytes the
// controller sends, and what the run must show. Read from a text file of
// one statement a line; node names and switch numbers are checked against
// the chosen layout when the file is read, so a run never starts with a
// statement it cannot carry out.
#pragma once

#include "track/BuiltinLayouts.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quillon::headless {

enum class ActionKind : std::uint8_t {
    Place,  // train on node
    Remove, // train
    Switch, // number, straight
    Stick,  // node: the sensor reads as triggered from now on
    Send,   // bytes from the controller
};

struct Action {
    int line = 0;
    std::int32_t timeMs = 0;
    ActionKind kind = ActionKind::Send;
    std::int32_t train = 0;
    NodeRef node;
    std::int32_t number = 0; // switch number
    bool straight = false;
    bool behind = false; // Place: the train sets off along the node's behind way
    std::vector<std::uint8_t> bytes;
};

enum class ExpectKind : std::uint8_t { Sensor, NoSensor, Collision, NoCollision, Halt };

struct Expectation {
    int line = 0;
    ExpectKind kind = ExpectKind::Collision;
    std::int32_t sensor = -1; // Sensor, NoSensor: the sensor number
    std::int32_t train = -1;  // Sensor, Halt: the train; -1 for any (Sensor only)
    NodeRef node;             // Halt: where, or no node for anywhere
    std::int32_t fromMs = 0;  // Sensor, NoSensor: the window, both ends included
    std::int32_t toMs = 0;
    std::int32_t byMs =
        -1;           // from "at TIME": only what happened by then counts; -1 for the whole run
    std::string text; // the expectation as written, for messages
};

struct Scenario {
    int layout = LAYOUT_A;
    // From "layout FILE": the file's layout (layout is then LAYOUT_LOADED),
    // unscaled, and its path as resolved; null and empty otherwise.
    std::shared_ptr<const Track> loadedLayout;
    std::string layoutPath;
    std::vector<Action> actions; // in file order
    std::vector<Expectation> expectations;
    std::int32_t endMs = -1;
    int endLine = 0;
};

struct ScenarioError {
    int line = 0; // 0: the file as a whole
    std::string message;
    // The errors of a layout file that does not load, each a whole line as
    // describeLayoutError gives it.
    std::vector<std::string> details;
};

// Reads the scenario text. layouts holds both built-in layouts, and the
// loaded one when defaultLayout is LAYOUT_LOADED; node names are looked up
// in the layout the scenario chooses ("layout A", "layout B" or "layout
// FILE", a file read at once, relative to the folder of scenarioPath unless
// absolute), or defaultLayout when it chooses none. False with error set
// when a statement is malformed, names what does not exist, its layout file
// does not load, or end is missing or given twice.
bool parseScenario(const std::string& text, const Layouts& layouts, int defaultLayout,
                   Scenario& scenario, ScenarioError& error,
                   const std::string& scenarioPath = std::string());

} // namespace quillon::headless
