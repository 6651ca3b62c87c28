#include "track/NamedLayoutReader.h"

#include "track/ContactNames.h"
#include "track/EdgeKeywords.h"
#include "track/NamedStatements.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <limits>
#include <string>
#include <unordered_map>

namespace quillon {
namespace {

// The most bytes of a word that a message quotes.
constexpr std::size_t QUOTED_BYTES = 20;
constexpr int MAX_NAME_LENGTH = NODE_NAME_CAPACITY - 1;

// The word as a message shows it: at most 20 bytes, cut before a character
// that would not fit whole, control characters shown as '?'.
std::string shown(std::string_view word) {
    std::size_t length = std::min(word.size(), QUOTED_BYTES);
    if (length < word.size())
        while (length > 0 && (static_cast<unsigned char>(word[length]) & 0xC0) == 0x80)
            --length;
    std::string text(word.substr(0, length));
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    return text;
}

std::string quoted(std::string_view word) {
    return '\'' + shown(word) + '\'';
}

bool positionBefore(const LayoutError& a, const LayoutError& b) {
    return a.line != b.line ? a.line < b.line : a.column < b.column;
}

const char* typeWord(std::int32_t type) {
    return type == NODE_SENSOR ? "sensor" : type == NODE_SWITCH ? "switch" : "stop";
}

enum class Clause { At, Id, Contact, Contacts, Number, Set, Edge, Unknown };

Clause clauseOf(std::string_view word) {
    if (word == "at")
        return Clause::At;
    if (word == "id")
        return Clause::Id;
    if (word == "contact")
        return Clause::Contact;
    if (word == "contacts")
        return Clause::Contacts;
    if (word == "number")
        return Clause::Number;
    if (word == "set")
        return Clause::Set;
    if (word == "ahead" || word == "behind" || word == "straight" || word == "curved")
        return Clause::Edge;
    return Clause::Unknown;
}

// What a clause needs after its keyword, as its message says.
const char* usage(Clause clause) {
    switch (clause) {
    case Clause::At:
        return "x and y";
    case Clause::Id:
    case Clause::Number:
        return "a number";
    case Clause::Contact:
        return "a contact";
    case Clause::Contacts:
        return "two contacts";
    case Clause::Set:
        return "straight or curved";
    default:
        return "a node and a distance";
    }
}

bool takes(std::int32_t type, Clause clause) {
    switch (clause) {
    case Clause::Id:
        return type != NODE_SWITCH;
    case Clause::Contact:
    case Clause::Contacts:
        return type == NODE_SENSOR;
    case Clause::Number:
    case Clause::Set:
        return type == NODE_SWITCH;
    default:
        return true;
    }
}

// A whole word as a decimal number with an optional sign; false when it is
// none. Values beyond 32 bits are held at its limits.
bool parseNumber(std::string_view word, std::int64_t& out) {
    std::size_t i = word.size() > 1 && (word[0] == '-' || word[0] == '+') ? 1 : 0;
    if (i == word.size())
        return false;
    constexpr std::int64_t limit = std::int64_t{1} << 40;
    std::int64_t magnitude = 0;
    for (; i < word.size(); ++i) {
        if (word[i] < '0' || word[i] > '9')
            return false;
        magnitude = std::min(limit, magnitude * 10 + (word[i] - '0'));
    }
    out = word[0] == '-' ? -magnitude : magnitude;
    return true;
}

struct PendingEdge {
    Word dest;
    std::int32_t distance = 0;
    bool given = false;
};

struct PendingNode {
    Node node;
    SourcePosition at;
    PendingEdge edges[3];
};

class Reader {
public:
    bool run(std::string_view text, Track& track, std::vector<SourcePosition>& positions) {
        NamedStatements statements(text);
        for (auto kind = statements.next(words_); kind != NamedStatements::Kind::End;
             kind = statements.next(words_)) {
            if (words_.size() > static_cast<std::size_t>(MAX_STATEMENT_WORDS)) {
                report(words_.back().at, "the statement has more than " +
                                             std::to_string(MAX_STATEMENT_WORDS) + " words");
                words_.pop_back();
            }
            if (kind == NamedStatements::Kind::Orphan)
                report(words_[0].at, "this line continues no statement");
            else
                statement();
            flushStatement();
        }
        if (statementCount_ == 0 && found_.empty())
            found_.push_back({0, "the layout has no nodes", 0});
        resolveEdges();
        if (!found_.empty() || !unknown_.empty())
            return false;
        track.nodes.clear();
        positions.clear();
        for (const PendingNode& pending : nodes_) {
            track.nodes.push_back(pending.node);
            positions.push_back(pending.at);
        }
        if (gapLine_ != 0)
            track.gap = CollisionGap{GapRule::LayoutUnits, gap_};
        return true;
    }

    // The errors found, in text order, at most MAX_LAYOUT_ERRORS and then
    // "too many errors".
    void takeErrors(std::vector<LayoutError>& errors) {
        std::vector<LayoutError> all;
        std::merge(found_.begin(), found_.end(), unknown_.begin(), unknown_.end(),
                   std::back_inserter(all), positionBefore);
        if (all.size() > static_cast<std::size_t>(MAX_LAYOUT_ERRORS)) {
            LayoutError more = all[MAX_LAYOUT_ERRORS];
            all.resize(MAX_LAYOUT_ERRORS);
            all.push_back({more.line, "too many errors", more.column});
        }
        errors.insert(errors.end(), all.begin(), all.end());
    }

private:
    void report(SourcePosition at, std::string message) {
        statementErrors_.push_back({at.line, std::move(message), at.column});
    }

    // Moves the statement's errors, in text order, to the file's, keeping
    // one more than are reported so that "too many errors" knows where.
    void flushStatement() {
        std::stable_sort(statementErrors_.begin(), statementErrors_.end(), positionBefore);
        for (LayoutError& error : statementErrors_)
            if (found_.size() <= static_cast<std::size_t>(MAX_LAYOUT_ERRORS))
                found_.push_back(std::move(error));
        statementErrors_.clear();
    }

    void statement() {
        const Word& first = words_[0];
        if (first.text == "gap")
            return gapStatement();
        if (first.text == "sensor")
            return nodeStatement(NODE_SENSOR);
        if (first.text == "switch")
            return nodeStatement(NODE_SWITCH);
        if (first.text == "stop")
            return nodeStatement(NODE_STOP);
        report(first.at, "unknown statement " + quoted(first.text));
    }

    // The word as a number in lowest..highest, or false with its error.
    bool number(const Word& word, const char* what, std::int64_t lowest, std::int64_t highest,
                std::int32_t& out) {
        std::int64_t value = 0;
        if (!parseNumber(word.text, value)) {
            report(word.at, std::string(what) + ' ' + quoted(word.text) + " is not a number");
            return false;
        }
        if (value < lowest || value > highest) {
            report(word.at, std::string(what) + ' ' + shown(word.text) + " is outside " +
                                std::to_string(lowest) + ".." + std::to_string(highest));
            return false;
        }
        out = static_cast<std::int32_t>(value);
        return true;
    }

    void gapStatement() {
        const Word& keyword = words_[0];
        if (gapLine_ != 0)
            report(keyword.at,
                   "'gap' is given twice (first on line " + std::to_string(gapLine_) + ")");
        else
            gapLine_ = keyword.at.line;
        if (words_.size() < 2)
            report(keyword.at, "'gap' needs a number");
        else
            number(words_[1], "gap", 0, MAX_EDGE_DISTANCE, gap_);
        for (std::size_t i = 2; i < words_.size(); ++i)
            report(words_[i].at, "unexpected " + quoted(words_[i].text) + " after the gap");
    }

    // Registers the name of the node being read; false (with its errors)
    // when the name is unfit or taken. An unfit name is still known, so
    // that edges to it add no errors of their own.
    bool checkName(const Word& name) {
        bool fit = name.text.size() <= static_cast<std::size_t>(MAX_NAME_LENGTH);
        if (!fit)
            report(name.at, "name " + quoted(name.text) + " is longer than 31 characters");
        else if (std::any_of(name.text.begin(), name.text.end(),
                             [](char c) { return c < '!' || c > '~'; })) {
            report(name.at, "name " + quoted(name.text) + " is not printable ascii");
            fit = false;
        }
        auto [entry, added] = names_.try_emplace(name.text, NameEntry{statementCount_, 0});
        if (!added) {
            report(name.at, "name " + quoted(name.text) + " is used twice (first on line " +
                                std::to_string(entry->second.line) + ")");
            return false;
        }
        entry->second.line = name.at.line;
        return fit;
    }

    // A contact: a number 0..495, a contact name, or '-' for none where
    // allowed.
    bool contact(const Word& word, bool noneAllowed, std::int32_t& out) {
        if (noneAllowed && word.text == "-") {
            out = NO_CONTACT;
            return true;
        }
        char first = word.text[0];
        bool numeric = (first >= '0' && first <= '9') || first == '-' || first == '+';
        if (numeric)
            return number(word, "contact", 0, CONTACT_COUNT - 1, out);
        char name[CONTACT_NAME_CAPACITY] = {};
        int parsed = -1;
        if (word.text.size() < sizeof name) {
            std::memcpy(name, word.text.data(), word.text.size());
            parsed = parseContactName(name);
        }
        if (parsed < 0) {
            report(word.at, "contact " + quoted(word.text) + " is not a number or a contact name");
            return false;
        }
        out = parsed;
        return true;
    }

    // The clause's arguments; false (with its error) when some are missing.
    // An edge's node and a direction may be any word; other arguments stop
    // at the next clause keyword.
    bool arguments(std::size_t& k, const Word& keyword, Clause clause, std::size_t count,
                   const Word* (&out)[2]) {
        bool anyWord = clause == Clause::Edge || clause == Clause::Set;
        for (std::size_t i = 0; i < count; ++i) {
            bool present = k < words_.size() &&
                           ((anyWord && i == 0) || clauseOf(words_[k].text) == Clause::Unknown);
            if (!present) {
                report(keyword.at, quoted(keyword.text) + " needs " + usage(clause));
                return false;
            }
            out[i] = &words_[k++];
        }
        return true;
    }

    void nodeStatement(std::int32_t type) {
        const Word& typeWordAt = words_[0];
        if (statementCount_ == MAX_TRACK_NODES)
            report(typeWordAt.at, "more than " + std::to_string(MAX_TRACK_NODES) + " nodes");
        if (words_.size() < 2) {
            report(typeWordAt.at, std::string("'") + typeWord(type) + "' needs a name");
            ++statementCount_;
            return;
        }
        PendingNode pending;
        pending.at = typeWordAt.at;
        Node& node = pending.node;
        node.type = type;
        if (type == NODE_SWITCH)
            node.direction = SWITCH_DIR_STRAIGHT;
        const Word& name = words_[1];
        if (checkName(name))
            std::memcpy(node.name, name.text.data(), name.text.size());
        ++statementCount_;

        bool given[static_cast<int>(Clause::Unknown)] = {};
        bool sensorContacts = false;
        std::size_t k = 2;
        while (k < words_.size()) {
            const Word& keyword = words_[k++];
            Clause clause = clauseOf(keyword.text);
            if (clause == Clause::Unknown) {
                report(keyword.at, "unknown clause " + quoted(keyword.text));
                continue;
            }
            int slot = clause == Clause::Edge ? edgeSlot(type, keyword.text) : -1;
            bool taken = clause == Clause::Edge ? slot >= 0 : takes(type, clause);
            std::size_t count =
                clause == Clause::At || clause == Clause::Contacts || clause == Clause::Edge ? 2
                                                                                             : 1;
            const Word* args[2] = {nullptr, nullptr};
            bool complete = arguments(k, keyword, clause, count, args);
            if (!taken) {
                report(keyword.at, std::string("a ") + typeWord(type) + " has no " +
                                       quoted(keyword.text) +
                                       (clause == Clause::Edge ? " edge" : " clause"));
                continue;
            }
            bool twice = clause == Clause::Edge ? pending.edges[slot].given
                                                : given[static_cast<int>(clause)];
            bool contactClause =
                type == NODE_SENSOR &&
                (clause == Clause::Id || clause == Clause::Contact || clause == Clause::Contacts);
            if (twice)
                report(keyword.at, quoted(keyword.text) + " is given twice");
            else if (contactClause && sensorContacts)
                report(keyword.at, "a sensor takes one of id, contact and contacts");
            if (clause != Clause::Edge)
                given[static_cast<int>(clause)] = true;
            sensorContacts = sensorContacts || contactClause;
            if (!complete || twice)
                continue;
            clauseValue(pending, clause, slot, name, args);
        }
        if (!given[static_cast<int>(Clause::At)])
            report(name.at, "node " + quoted(name.text) + " has no 'at'");
        if (type == NODE_SWITCH && !given[static_cast<int>(Clause::Number)])
            report(name.at, "switch " + quoted(name.text) + " has no 'number'");
        if (type == NODE_SENSOR && !sensorContacts)
            report(name.at, "sensor " + quoted(name.text) + " has no id, contact or contacts");
        if (type == NODE_SENSOR) {
            // A sensor's id is k exactly when it reports 2k and 2k + 1,
            // however the file states them.
            std::int32_t ahead = node.contacts[WAY_AHEAD];
            bool paired = ahead >= 0 && ahead % 2 == 0 && node.contacts[WAY_BEHIND] == ahead + 1;
            node.id = paired ? ahead / 2 : -1;
        }
        node.x = node.layoutX;
        node.y = node.layoutY;
        if (nodes_.size() < static_cast<std::size_t>(MAX_TRACK_NODES))
            nodes_.push_back(pending);
    }

    void clauseValue(PendingNode& pending, Clause clause, int slot, const Word& name,
                     const Word* const (&args)[2]) {
        Node& node = pending.node;
        switch (clause) {
        case Clause::At:
            number(*args[0], "x coordinate", std::numeric_limits<std::int32_t>::min(),
                   std::numeric_limits<std::int32_t>::max(), node.layoutX);
            number(*args[1], "y coordinate", std::numeric_limits<std::int32_t>::min(),
                   std::numeric_limits<std::int32_t>::max(), node.layoutY);
            return;
        case Clause::Id:
            if (node.type == NODE_STOP) {
                number(*args[0], "stop number", std::numeric_limits<std::int32_t>::min(),
                       std::numeric_limits<std::int32_t>::max(), node.id);
                return;
            }
            if (number(*args[0], "sensor id", 0, MAX_SENSOR_ID, node.id)) {
                node.contacts[WAY_AHEAD] = 2 * node.id;
                node.contacts[WAY_BEHIND] = 2 * node.id + 1;
            }
            return;
        case Clause::Contact:
            if (contact(*args[0], false, node.contacts[WAY_AHEAD]))
                node.contacts[WAY_BEHIND] = node.contacts[WAY_AHEAD];
            return;
        case Clause::Contacts:
            contact(*args[0], true, node.contacts[WAY_AHEAD]);
            contact(*args[1], true, node.contacts[WAY_BEHIND]);
            return;
        case Clause::Number:
            switchNumber(*args[0], node);
            return;
        case Clause::Set:
            if (args[0]->text == "straight")
                node.direction = SWITCH_DIR_STRAIGHT;
            else if (args[0]->text == "curved")
                node.direction = SWITCH_DIR_CURVED;
            else
                report(args[0]->at,
                       "switch direction " + quoted(args[0]->text) + " is not straight or curved");
            return;
        default:
            break;
        }
        PendingEdge& edge = pending.edges[slot];
        edge.given = true;
        edge.dest = *args[0];
        if (args[0]->text == name.text)
            report(args[0]->at, "edge from " + quoted(name.text) + " to itself");
        number(*args[1], "distance", 1, MAX_EDGE_DISTANCE, edge.distance);
    }

    void switchNumber(const Word& word, Node& node) {
        if (!number(word, "switch number", 1, MAX_SWITCH_NUMBER, node.id))
            return;
        int& first = switchLines_[node.id];
        if (first != 0) {
            report(word.at, "switch number " + std::to_string(node.id) +
                                " is used twice (first on line " + std::to_string(first) + ")");
            return;
        }
        first = word.at.line;
    }

    // Leads each edge to the node its name states; an unknown name is an
    // error at the edge.
    void resolveEdges() {
        for (PendingNode& pending : nodes_) {
            for (int slot = 0; slot < 3; ++slot) {
                const PendingEdge& edge = pending.edges[slot];
                if (!edge.given)
                    continue;
                auto entry = names_.find(edge.dest.text);
                if (entry == names_.end()) {
                    report(edge.dest.at, "unknown node " + quoted(edge.dest.text));
                    continue;
                }
                pending.node.edges[slot] = {entry->second.index, edge.distance};
            }
            std::stable_sort(statementErrors_.begin(), statementErrors_.end(), positionBefore);
            for (LayoutError& error : statementErrors_)
                if (unknown_.size() <= static_cast<std::size_t>(MAX_LAYOUT_ERRORS))
                    unknown_.push_back(std::move(error));
            statementErrors_.clear();
        }
    }

    struct NameEntry {
        int index; // by statement order; beyond the capacity for nodes not kept
        int line;
    };

    std::vector<Word> words_;
    std::vector<LayoutError> statementErrors_;
    std::vector<LayoutError> found_;   // in text order, all but unknown nodes
    std::vector<LayoutError> unknown_; // in text order: edges to unknown nodes
    std::vector<PendingNode> nodes_;   // at most MAX_TRACK_NODES
    std::unordered_map<std::string_view, NameEntry> names_;
    int switchLines_[MAX_SWITCH_NUMBER + 1] = {}; // the line of each switch number; 0 for none
    int statementCount_ = 0;                      // node statements so far
    int gapLine_ = 0;
    std::int32_t gap_ = 0;
};

} // namespace

bool loadNamedLayout(std::string_view text, Track& out, std::vector<LayoutError>& errors,
                     std::vector<SourcePosition>* nodePositions) {
    Track track;
    std::vector<SourcePosition> positions;
    Reader reader;
    if (!reader.run(text, track, positions)) {
        reader.takeErrors(errors);
        return false;
    }
    track.stuck.clear();
    track.revision = out.revision + 1;
    indexTrack(track);
    out = std::move(track);
    if (nodePositions != nullptr)
        *nodePositions = std::move(positions);
    return true;
}

} // namespace quillon
