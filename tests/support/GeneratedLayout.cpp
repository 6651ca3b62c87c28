#include "support/GeneratedLayout.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <numeric>
#include <random>
#include <vector>

namespace quillon {
namespace {

constexpr int GRID = 8;
constexpr int RINGS = GRID * GRID;
constexpr int CELL = 1000;  // layout units per grid cell
constexpr int MARGIN = 150; // between a cell's edge and its loop
constexpr int SIDE = CELL - 2 * MARGIN;
constexpr int INSET = 60; // how far inside its loop a passing loop runs
constexpr int LOOP_SENSORS = 6;
constexpr int LINK_SENSORS = 4;
constexpr int SIDING_SENSORS = 3;
constexpr int ROW_LINKS = GRID * (GRID - 1);
constexpr int LINKS = ROW_LINKS + GRID - 1;
constexpr int SWITCHES = 2 * LINKS + 2 * RINGS + 1;
constexpr int PLAIN =
    GENERATED_NODES - SWITCHES - LINKS * LINK_SENSORS - RINGS * LOOP_SENSORS - SIDING_SENSORS - 1;
static_assert(SWITCHES == MAX_SWITCH_NUMBER, "every switch number once");
static_assert(PLAIN > 0);

struct Point {
    int x;
    int y;
};

Point between(Point a, Point b, int i, int parts) {
    return {a.x + (b.x - a.x) * i / parts, a.y + (b.y - a.y) * i / parts};
}

// A node of a loop or chain and the edge slots by which it joins the node
// before it, the node after it and (a switch) its branch.
struct Element {
    int node = -1;
    int before = EDGE_BEHIND;
    int after = EDGE_AHEAD;
    int branch = -1;
};

enum class Role { LoopStart, LoopEnd, Link, Siding };

// Something a loop holds at a place along it: a switch.
struct Feature {
    double along; // 0..1 clockwise from the loop's top left corner
    Role role;
    int link = 0; // which link, and which of its two ends
    int end = 0;
};

class Builder {
public:
    explicit Builder(std::uint32_t seed) : random_(seed) { track_.nodes.reserve(GENERATED_NODES); }

    Track build() {
        std::vector<Element> linkEnds(2 * LINKS);
        Element siding;
        for (int ring = 0; ring < RINGS; ++ring)
            addLoop(ring, linkEnds, siding);
        for (int link = 0; link < LINKS; ++link)
            chain(linkEnds[2 * link], linkEnds[2 * link + 1], LINK_SENSORS, {0, 0});
        Point end = at(siding.node);
        end.y -= 120;
        Element stop{add(NODE_STOP, end), EDGE_AHEAD, -1, -1};
        chain(siding, stop, SIDING_SENSORS, {0, 0});
        assert(track_.nodeCount() == GENERATED_NODES);
        number();
        track_.stuck.clear();
        indexTrack(track_);
        return std::move(track_);
    }

private:
    bool coin() { return (random_() & 1) != 0; }

    // The same order from every standard library, unlike std::shuffle.
    void shuffle(std::vector<int>& values) {
        for (std::size_t i = values.size(); i > 1; --i)
            std::swap(values[i - 1], values[random_() % i]);
    }

    Point at(int node) const {
        const Node& n = track_.nodes[static_cast<std::size_t>(node)];
        return {n.layoutX, n.layoutY};
    }

    int add(std::int32_t type, Point p) {
        Node node;
        node.type = type;
        node.x = node.layoutX = p.x;
        node.y = node.layoutY = p.y;
        track_.nodes.push_back(node);
        return track_.nodeCount() - 1;
    }

    // A sensor facing either way along its loop or chain.
    Element sensor(Point p) {
        Element e{add(NODE_SENSOR, p)};
        if (coin())
            std::swap(e.before, e.after);
        return e;
    }

    // A switch whose common leg points back along its loop or on along it.
    Element switchFacing(Point p, bool back) {
        Element e{add(NODE_SWITCH, p), EDGE_COMMON, EDGE_STRAIGHT, EDGE_CURVED};
        if (!back)
            std::swap(e.before, e.after);
        return e;
    }

    void join(int a, int slotA, int b, int slotB) {
        Point p = at(a), q = at(b);
        auto length = static_cast<std::int32_t>(std::lround(std::hypot(p.x - q.x, p.y - q.y)));
        length = std::max(length, 1);
        track_.nodes[static_cast<std::size_t>(a)].edges[slotA] = {b, length};
        track_.nodes[static_cast<std::size_t>(b)].edges[slotB] = {a, length};
    }

    // count sensors evenly between the branch of from and the branch of to
    // (or its ahead edge for a stop), shifted by offset.
    void chain(const Element& from, const Element& to, int count, Point offset) {
        Point p = at(from.node), q = at(to.node);
        p = {p.x + offset.x, p.y + offset.y};
        q = {q.x + offset.x, q.y + offset.y};
        int last = from.node, lastSlot = from.branch;
        for (int i = 1; i <= count; ++i) {
            Element s = sensor(between(p, q, i, count + 1));
            join(last, lastSlot, s.node, s.before);
            last = s.node, lastSlot = s.after;
        }
        join(last, lastSlot, to.node, to.branch < 0 ? to.before : to.branch);
    }

    static Point around(int ring, double along) {
        int left = ring % GRID * CELL + MARGIN, top = ring / GRID * CELL + MARGIN;
        double side = along * 4.0;
        int s = static_cast<int>(side);
        auto part = static_cast<int>((side - s) * SIDE);
        switch (s) {
        case 0:
            return {left + part, top};
        case 1:
            return {left + SIDE, top + part};
        case 2:
            return {left + SIDE - part, top + SIDE};
        default:
            return {left, top + SIDE - part};
        }
    }

    static std::vector<Feature> featuresOf(int ring) {
        int row = ring / GRID, col = ring % GRID;
        std::vector<Feature> features;
        if (col < GRID - 1)
            features.push_back({0.375, Role::Link, row * (GRID - 1) + col, 0});
        if (col > 0)
            features.push_back({0.875, Role::Link, row * (GRID - 1) + col - 1, 1});
        if (col == 0 && row < GRID - 1)
            features.push_back({0.625, Role::Link, ROW_LINKS + row, 0});
        if (col == 0 && row > 0)
            features.push_back({0.125, Role::Link, ROW_LINKS + row - 1, 1});
        double start = col == 0 ? 0.78 : 0.53;
        features.push_back({start, Role::LoopStart});
        features.push_back({start + 0.19, Role::LoopEnd});
        if (ring == RINGS - 1)
            features.push_back({0.125, Role::Siding});
        return features;
    }

    void addLoop(int ring, std::vector<Element>& linkEnds, Element& siding) {
        std::vector<Feature> features = featuresOf(ring);
        int plain = PLAIN / RINGS + (ring < PLAIN % RINGS ? 1 : 0);
        int count = plain + static_cast<int>(features.size());
        std::vector<int> featureAt(static_cast<std::size_t>(count), -1);
        for (int f = 0; f < static_cast<int>(features.size()); ++f) {
            int place = static_cast<int>(std::lround(features[f].along * count)) % count;
            while (featureAt[static_cast<std::size_t>(place)] >= 0)
                place = (place + 1) % count;
            featureAt[static_cast<std::size_t>(place)] = f;
        }
        std::vector<Element> loop;
        Element loopStart, loopEnd;
        for (int place = 0; place < count; ++place) {
            Point p = around(ring, static_cast<double>(place) / count);
            int f = featureAt[static_cast<std::size_t>(place)];
            if (f < 0) {
                loop.push_back(sensor(p));
                continue;
            }
            const Feature& feature = features[static_cast<std::size_t>(f)];
            // A passing loop's switches face each other; the others either way.
            bool back = feature.role == Role::LoopStart ? true
                        : feature.role == Role::LoopEnd ? false
                                                        : coin();
            Element e = switchFacing(p, back);
            loop.push_back(e);
            if (feature.role == Role::LoopStart)
                loopStart = e;
            else if (feature.role == Role::LoopEnd)
                loopEnd = e;
            else if (feature.role == Role::Siding)
                siding = e;
            else
                linkEnds[static_cast<std::size_t>(2 * feature.link + feature.end)] = e;
        }
        for (int i = 0; i < count; ++i) {
            const Element& a = loop[static_cast<std::size_t>(i)];
            const Element& b = loop[static_cast<std::size_t>((i + 1) % count)];
            join(a.node, a.after, b.node, b.before);
        }
        Point inward = ring % GRID == 0 ? Point{INSET, 0} : Point{0, -INSET};
        chain(loopStart, loopEnd, LOOP_SENSORS, inward);
    }

    // Names, sensor ids, switch numbers and directions.
    void number() {
        std::vector<int> ids(MAX_SENSOR_IDS);
        std::iota(ids.begin(), ids.end(), 0);
        shuffle(ids);
        std::vector<int> numbers(MAX_SWITCH_NUMBER);
        std::iota(numbers.begin(), numbers.end(), 1);
        shuffle(numbers);
        std::size_t sensors = 0, switches = 0;
        for (int i = 0; i < track_.nodeCount(); ++i) {
            Node& node = track_.nodes[static_cast<std::size_t>(i)];
            const char* digits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
            node.name[0] = node.type == NODE_SENSOR ? 'S' : node.type == NODE_SWITCH ? 'W' : 'T';
            node.name[1] = digits[i / (36 * 36)];
            node.name[2] = digits[i / 36 % 36];
            node.name[3] = digits[i % 36];
            if (node.type == NODE_SENSOR) {
                node.id = ids[sensors++ % ids.size()];
                node.contacts[WAY_AHEAD] = 2 * node.id;
                node.contacts[WAY_BEHIND] = 2 * node.id + 1;
            } else if (node.type == NODE_SWITCH) {
                node.id = numbers[switches++];
                node.direction = coin() ? SWITCH_DIR_STRAIGHT : SWITCH_DIR_CURVED;
            }
        }
    }

    static constexpr int MAX_SENSOR_IDS = CONTACT_COUNT / 2;

    std::mt19937 random_;
    Track track_;
};

} // namespace

Track generateLayout(std::uint32_t seed) {
    return Builder(seed).build();
}

} // namespace quillon
