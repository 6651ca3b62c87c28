// Reads the input as a program of operations on the simulation (decoding
// byte chunks, movement steps with any elapsed time, placing and removing
// trains, speed and switch commands, layout changes, sensor selection) and
// checks after every movement step that each train stays on a real segment
// of a layout record.
#include "link/CommandDecoder.h"
#include "platform/NullHost.h"
#include "sim/InteractionState.h"
#include "sim/Movement.h"
#include "sim/Sensors.h"
#include "sim/Trains.h"
#include "track/BuiltinLayouts.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

using namespace quillon;

namespace {

// Totals over the whole run, printed when the fuzzer exits.
long decodedBytes = 0;
long movementSteps = 0;

void printTotals() {
    std::fprintf(stderr, "SimulationFuzz: decoded %ld bytes, %ld movement steps\n", decodedBytes,
                 movementSteps);
}

class Input {
  public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool more() const { return pos_ < size_; }
    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::int32_t word() {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value = value << 8 | byte();
        return static_cast<std::int32_t>(value);
    }
    // Up to count bytes from the input; how many there were.
    int take(const std::uint8_t*& bytes, int count) {
        bytes = data_ + pos_;
        int n = static_cast<int>(std::min<std::size_t>(count, size_ - pos_));
        pos_ += n;
        return n;
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

bool isNodeOf(const TrackLayout& layout, const TrackNode* node) {
    std::less<const TrackNode*> before;
    return !before(node, &layout.nodes[0]) && before(node, &layout.nodes[MAX_NODES]);
}

bool isLayoutNode(const TrackNode* node) {
    return isNodeOf(layoutRecord(LAYOUT_A), node) || isNodeOf(layoutRecord(LAYOUT_B), node);
}

void checkTrains() {
    if (trainTable.count < 0 || trainTable.count > MAX_TRAINS)
        std::abort();
    for (int i = 0; i < trainTable.count; ++i) {
        const Train& t = trainTable.trains[i];
        if (!t.inUse || !isLayoutNode(t.currentNode))
            std::abort();
        if ((t.nextNode == nullptr) != (t.edge == nullptr))
            std::abort();
        if (t.edge == nullptr)
            continue;
        if (!isLayoutNode(t.nextNode) || t.edge->distance <= 0)
            std::abort();
        if (t.distance < 0 || t.distance > t.edge->distance)
            std::abort();
    }
}

TrackNode& nodeFrom(Input& in) {
    std::uint8_t pick = in.byte();
    TrackLayout& layout = layoutRecord(pick & 1);
    return layout.nodes[(pick >> 1) % layout.nodeCount];
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static NullHost host;
    static NullLink link;
    static bool registered = std::atexit(printTotals) == 0;
    (void)registered;
    setHost(&host);
    resetLayouts();
    loadBuiltinLayouts();
    resetTrains();
    resetInteraction();
    CommandDecoder decoder{};

    Input in(data, size);
    while (in.more()) {
        switch (in.byte() % 9) {
        case 0: {
            const std::uint8_t* bytes;
            int count = in.take(bytes, in.byte() % 25);
            decoder.decode(bytes, count, &link);
            decodedBytes += count;
            break;
        }
        case 1:
        case 2: {
            std::uint8_t kind = in.byte();
            std::int32_t elapsed = kind < 200 ? kind % 40 : in.word();
            stepTrains(elapsed, decoder.report);
            ++movementSteps;
            checkTrains();
            break;
        }
        case 3:
            placeTrain(static_cast<std::int8_t>(in.byte()), nodeFrom(in));
            break;
        case 4:
            removeTrain(static_cast<std::int8_t>(in.byte()));
            break;
        case 5:
            selectLayout(in.byte() & 1);
            break;
        case 6: {
            std::uint8_t pick = in.byte();
            interaction.selectedTrain =
                trainTable.count > 0 ? &trainTable.trains[pick % trainTable.count] : nullptr;
            setTrainSpeed(static_cast<std::int8_t>(in.byte()), in.byte() % 17, pick & 1);
            break;
        }
        case 7:
            setSwitch(in.word(), in.byte());
            break;
        default: {
            std::uint8_t pick = in.byte();
            interaction.selectedNode = pick & 1 ? &nodeFrom(in) : nullptr;
            if (pick & 2)
                stickSelectedSensor();
            isSensorTriggered(static_cast<std::int8_t>(in.byte()));
            if (pick & 4 && trainTable.count > 0)
                trainTable.trains[in.byte() % trainTable.count].held ^= 1;
            break;
        }
        }
    }
    setHost(nullptr);
    return 0;
}
