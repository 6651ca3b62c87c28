#include "backends/headless/Scenario.h"

#include "app/Duration.h"
#include "app/LayoutSource.h"

#include "protocol/CommandFraming.h"
#include "track/ContactNames.h"
#include "track/LayoutFile.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>

namespace quillon::headless {
namespace {

using Words = std::vector<std::string>;

Words splitWords(const std::string& line) {
    Words words;
    std::istringstream in(line.substr(0, line.find('#')));
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

bool parseInt(const std::string& word, int low, int high, std::int32_t& value) {
    if (word.empty() || word.size() > 9)
        return false;
    std::int32_t n = 0;
    for (char c : word) {
        if (c < '0' || c > '9')
            return false;
        n = n * 10 + (c - '0');
    }
    if (n < low || n > high)
        return false;
    value = n;
    return true;
}

// Reads one statement's words into the scenario; throws nothing, reports
// through error.
class LineReader {
public:
    LineReader(const Layouts& layouts, Scenario& scenario, ScenarioError& error,
               const std::string& scenarioPath)
        : layouts_(layouts), scenario_(scenario), error_(error), scenarioPath_(scenarioPath) {}

    bool read(int line, Words words);

private:
    bool fail(const std::string& message) {
        error_.line = line_;
        error_.message = message;
        return false;
    }
    bool expectCount(const Words& words, std::size_t count, const char* usage) {
        if (words.size() == count)
            return true;
        return fail(std::string("'") + words[0] + "' takes the form: " + usage);
    }
    bool train(const std::string& word, std::int32_t& number) {
        if (parseInt(word, 0, 255, number))
            return true;
        return fail("'" + word + "' is not a train number (0..255)");
    }
    bool byteValue(const std::string& word, std::int32_t& value) {
        if (parseInt(word, 0, 255, value))
            return true;
        return fail("'" + word + "' is not a byte (0..255)");
    }
    // The layout the scenario runs on.
    const Track& track() const {
        if (scenario_.loadedLayout != nullptr)
            return *scenario_.loadedLayout;
        return layouts_.tracks[scenario_.layout];
    }
    bool node(const std::string& word, NodeRef& ref) {
        ref = findNodeAs(track(), scenario_.layout, word.c_str());
        if (ref.isNode())
            return true;
        return fail("layout " + layoutName() + " has no node '" + word + "'");
    }
    bool time(const std::string& word, std::int32_t& ms) {
        if (parseDuration(word, ms))
            return true;
        return fail("'" + word + "' is not a time (like 250ms, 1.5s or 2, at most a day)");
    }
    std::string layoutName() const {
        if (!scenario_.layoutPath.empty())
            return scenario_.layoutPath;
        if (scenario_.layout == LAYOUT_LOADED)
            return "loaded";
        return std::string(1, char('A' + scenario_.layout));
    }
    bool loadLayoutFile(const std::string& word);

    bool action(Action action) {
        action.line = line_;
        action.timeMs = at_;
        scenario_.actions.push_back(std::move(action));
        return true;
    }
    bool send(std::initializer_list<std::int32_t> bytes) {
        Action a;
        a.kind = ActionKind::Send;
        for (std::int32_t b : bytes)
            a.bytes.push_back(static_cast<std::uint8_t>(b));
        return action(std::move(a));
    }
    bool readExpectation(const Words& words);
    bool readStatement(const Words& words);

    const Layouts& layouts_;
    Scenario& scenario_;
    ScenarioError& error_;
    const std::string& scenarioPath_;
    int line_ = 0;
    std::int32_t at_ = 0;
    bool hasAt_ = false;
    bool anyStatement_ = false;
};

bool LineReader::read(int line, Words words) {
    line_ = line;
    at_ = 0;
    hasAt_ = false;
    if (words[0] == "at") {
        if (words.size() < 3)
            return fail("'at' takes a time and a statement: at TIME STATEMENT");
        if (!time(words[1], at_))
            return false;
        hasAt_ = true;
        words.erase(words.begin(), words.begin() + 2);
    }
    bool ok = readStatement(words);
    anyStatement_ = true;
    return ok;
}

bool LineReader::readStatement(const Words& words) {
    const std::string& verb = words[0];
    if (verb == "layout") {
        if (!expectCount(words, 2, "layout A|B|FILE"))
            return false;
        if (anyStatement_ || hasAt_)
            return fail("'layout' must be the first statement, without 'at'");
        // As on the command line, a built-in's letter in either case.
        const std::string& which = words[1];
        if (which != "A" && which != "B" && which != "a" && which != "b")
            return loadLayoutFile(which);
        scenario_.layout = which == "A" || which == "a" ? LAYOUT_A : LAYOUT_B;
        return true;
    }
    if (verb == "place") {
        Action a;
        a.kind = ActionKind::Place;
        if (words.size() == 4 && (words[3] == "behind" || words[3] == "ahead"))
            a.behind = words[3] == "behind";
        else if (!expectCount(words, 3, "place TRAIN NODE [ahead|behind]"))
            return false;
        return train(words[1], a.train) && node(words[2], a.node) && action(std::move(a));
    }
    if (verb == "remove") {
        Action a;
        a.kind = ActionKind::Remove;
        return expectCount(words, 2, "remove TRAIN") && train(words[1], a.train) &&
               action(std::move(a));
    }
    if (verb == "switch") {
        Action a;
        a.kind = ActionKind::Switch;
        if (!expectCount(words, 3, "switch NUMBER straight|curved"))
            return false;
        if (!parseInt(words[1], 0, 255, a.number))
            return fail("'" + words[1] + "' is not a switch number (0..255)");
        if (switchIndexForByte(track(), a.number) == NO_INDEX)
            return fail("layout " + layoutName() + " has no switch " + words[1]);
        if (words[2] != "straight" && words[2] != "curved")
            return fail("a switch is set straight or curved, not '" + words[2] + "'");
        a.straight = words[2] == "straight";
        return action(std::move(a));
    }
    if (verb == "stick") {
        Action a;
        a.kind = ActionKind::Stick;
        if (!expectCount(words, 2, "stick NODE") || !node(words[1], a.node))
            return false;
        if (track().nodes[static_cast<std::size_t>(a.node.index)].type != NODE_SENSOR)
            return fail("'" + words[1] + "' is not a sensor");
        return action(std::move(a));
    }
    if (verb == "send") {
        if (words.size() < 2)
            return fail("'send' takes the form: send BYTE ...");
        Action a;
        a.kind = ActionKind::Send;
        for (std::size_t i = 1; i < words.size(); ++i) {
            std::int32_t value = 0;
            if (!byteValue(words[i], value))
                return false;
            a.bytes.push_back(static_cast<std::uint8_t>(value));
        }
        return action(std::move(a));
    }
    if (verb == "speed") {
        std::int32_t number = 0, step = 0;
        if (!expectCount(words, 3, "speed TRAIN STEP") || !train(words[1], number))
            return false;
        if (!parseInt(words[2], 0, 14, step))
            return fail("'" + words[2] + "' is not a speed step (0..14)");
        return send({step, number});
    }
    if (verb == "reverse") {
        std::int32_t number = 0;
        return expectCount(words, 2, "reverse TRAIN") && train(words[1], number) &&
               send({CMD_REVERSE, number});
    }
    if (verb == "report")
        return expectCount(words, 1, "report") && send({CMD_REPORT});
    if (verb == "end") {
        if (!expectCount(words, 1, "end"))
            return false;
        if (scenario_.endMs >= 0)
            return fail("a second 'end' (the first is on line " +
                        std::to_string(scenario_.endLine) + ")");
        if (at_ == 0)
            return fail("'end' needs a time after the start: at TIME end");
        scenario_.endMs = at_;
        scenario_.endLine = line_;
        return true;
    }
    if (verb == "expect")
        return readExpectation(words);
    return fail("unknown statement '" + verb + "'");
}

bool LineReader::loadLayoutFile(const std::string& word) {
    namespace fs = std::filesystem;
    fs::path path(word);
    if (path.is_relative())
        path = fs::path(scenarioPath_).parent_path() / path;
    const std::string shown = path.string();
    LayoutSource source;
    std::vector<std::string> errors;
    if (!readLayoutSource(shown, PlanOptions{}.cellLength, source, errors)) {
        error_.details = std::move(errors);
        return fail("the layout file " + shown + " does not load");
    }
    scenario_.layout = LAYOUT_LOADED;
    scenario_.layoutPath = shown;
    scenario_.loadedLayout = std::make_shared<const Track>(std::move(source.track));
    // A plan's locos stand in their blocks from the start; a place statement
    // moves one as it would any train.
    for (const PlanPlacement& loco : source.placements) {
        Action a;
        a.kind = ActionKind::Place;
        a.behind = loco.behind;
        if (!train(std::to_string(loco.train), a.train) || !node(loco.node, a.node) ||
            !action(std::move(a)))
            return false;
    }
    return true;
}

bool LineReader::readExpectation(const Words& words) {
    Expectation e;
    e.line = line_;
    e.byMs = hasAt_ ? at_ : -1;
    for (std::size_t i = 1; i < words.size(); ++i)
        e.text += (i > 1 ? " " : "") + words[i];
    std::size_t i = 1;
    bool negated = i < words.size() && words[i] == "no";
    if (negated)
        ++i;
    if (i >= words.size())
        return fail("'expect' takes sensor, no sensor, collision, no collision or halt");
    const std::string& what = words[i++];
    if (what == "collision") {
        if (i != words.size())
            return fail("'expect collision' takes nothing more");
        e.kind = negated ? ExpectKind::NoCollision : ExpectKind::Collision;
        scenario_.expectations.push_back(std::move(e));
        return true;
    }
    if (what == "halt") {
        if (negated)
            return fail("'expect no halt' is not an expectation");
        if (i + 2 > words.size() || words[i] != "train" ||
            (i + 2 != words.size() && i + 4 != words.size()))
            return fail("'expect halt' takes the form: expect halt train N [at NODE]");
        e.kind = ExpectKind::Halt;
        if (!train(words[i + 1], e.train))
            return false;
        if (i + 4 == words.size()) {
            if (words[i + 2] != "at")
                return fail("'expect halt' takes the form: expect halt train N [at NODE]");
            if (!node(words[i + 3], e.node))
                return false;
        }
        scenario_.expectations.push_back(std::move(e));
        return true;
    }
    if (what != "sensor")
        return fail("'expect' takes sensor, no sensor, collision, no collision or halt, not '" +
                    what + "'");
    const char* usage = negated ? "expect no sensor NAME between TIME and TIME"
                                : "expect sensor NAME [train N] between TIME and TIME";
    if (i >= words.size())
        return fail(std::string("'expect sensor' takes the form: ") + usage);
    e.kind = negated ? ExpectKind::NoSensor : ExpectKind::Sensor;
    e.sensor = parseContactName(words[i].c_str());
    if (e.sensor < 0)
        return fail("'" + words[i] + "' is not a sensor name (A1..AE16)");
    ++i;
    if (!negated && i < words.size() && words[i] == "train") {
        if (i + 1 >= words.size() || !train(words[i + 1], e.train))
            return i + 1 >= words.size()
                       ? fail(std::string("'expect sensor' takes the form: ") + usage)
                       : false;
        i += 2;
    }
    if (i + 4 != words.size() || words[i] != "between" || words[i + 2] != "and")
        return fail(std::string("'expect sensor' takes the form: ") + usage);
    if (!time(words[i + 1], e.fromMs) || !time(words[i + 3], e.toMs))
        return false;
    if (e.toMs < e.fromMs)
        return fail("the window ends before it begins");
    scenario_.expectations.push_back(std::move(e));
    return true;
}

} // namespace

bool parseScenario(const std::string& text, const Layouts& layouts, int defaultLayout,
                   Scenario& scenario, ScenarioError& error, const std::string& scenarioPath) {
    scenario = Scenario{};
    error = ScenarioError{};
    scenario.layout = defaultLayout >= 0 && defaultLayout < LAYOUT_COUNT ? defaultLayout : LAYOUT_A;
    LineReader reader(layouts, scenario, error, scenarioPath);
    std::istringstream in(text);
    int line = 0;
    for (std::string content; std::getline(in, content);) {
        ++line;
        // Text only: a NUL would cut a message short, and other control
        // characters would reach the terminal in one.
        for (char c : content) {
            const auto byte = static_cast<unsigned char>(c);
            if ((byte < 0x20 && c != '\t' && c != '\r') || byte == 0x7F) {
                error.line = line;
                char what[64];
                std::snprintf(what, sizeof what, "not text: a control character (0x%02x)", byte);
                error.message = what;
                return false;
            }
        }
        Words words = splitWords(content);
        if (words.empty())
            continue;
        if (!reader.read(line, std::move(words)))
            return false;
    }
    if (scenario.endMs < 0) {
        error.line = 0;
        error.message = "no 'end': the run needs one, like: at 10s end";
        return false;
    }
    const std::string endLine = " (line " + std::to_string(scenario.endLine) + ")";
    for (const Action& action : scenario.actions) {
        if (action.timeMs >= scenario.endMs) {
            error.line = action.line;
            error.message = "this statement comes at or after the end" + endLine;
            return false;
        }
    }
    // An expectation that only the time after the end could decide would
    // fail, or hold, for nothing.
    for (const Expectation& e : scenario.expectations) {
        const bool window = e.kind == ExpectKind::Sensor || e.kind == ExpectKind::NoSensor;
        if (e.byMs > scenario.endMs || (window && e.fromMs > scenario.endMs)) {
            error.line = e.line;
            error.message = std::string(e.byMs > scenario.endMs ? "this expectation comes"
                                                                : "its window begins") +
                            " after the end" + endLine;
            return false;
        }
    }
    return true;
}

} // namespace quillon::headless
