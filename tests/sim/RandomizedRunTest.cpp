// Long random runs of commands, placements, layout changes and elapsed times
// (wrapped clocks included), checking after every step that the train table
// stays sound. Under the sanitizers it also shows that no input reaches
// undefined behaviour.
#include "link/CommandDecoder.h"
#include "sim/InteractionState.h"
#include "sim/Movement.h"
#include "sim/Sensors.h"
#include "sim/TrackFixture.h"

#include <climits>
#include <cstdio>
#include <functional>
#include <random>

namespace quillon {
namespace {

bool isLayoutNode(const TrackNode* node) {
    std::less<const TrackNode*> before;
    for (int index : {LAYOUT_A, LAYOUT_B}) {
        const TrackNode* nodes = layoutRecord(index).nodes;
        if (!before(node, nodes) && before(node, nodes + MAX_NODES))
            return true;
    }
    return false;
}

class RandomizedRunTest : public testing::TrackFixture {
  protected:
    std::uint32_t next(std::uint32_t bound) { return random() % bound; }

    TrackNode& anyNode() {
        TrackLayout& layout = layoutRecord(next(4) == 0 ? LAYOUT_B : activeLayoutIndex());
        return layout.nodes[next(static_cast<std::uint32_t>(layout.nodeCount))];
    }

    std::int32_t anyElapsed() {
        switch (next(20)) {
        case 0:
            return -1 - static_cast<std::int32_t>(next(1000));
        case 1:
            return next(2) ? INT_MIN : INT_MAX;
        case 2:
            return static_cast<std::int32_t>(next(100000));
        default:
            return static_cast<std::int32_t>(next(31));
        }
    }

    // 1..24 bytes: noise, or commands for the placed trains and real switches.
    int fillChunk(std::uint8_t* chunk) {
        int count = 1 + static_cast<int>(next(24));
        bool noise = next(2) == 0;
        for (int i = 0; i < count; ++i) {
            std::uint32_t kind = next(10);
            if (noise || i + 1 == count || kind >= 8) {
                chunk[i] = static_cast<std::uint8_t>(noise ? next(256) : kind == 8 ? 133 : 32);
                continue;
            }
            chunk[i++] = static_cast<std::uint8_t>(kind < 6 ? next(16) : 33 + next(2));
            chunk[i] = static_cast<std::uint8_t>(kind < 6 ? next(12) : 1 + next(18));
        }
        return count;
    }

    void mutate() {
        std::int32_t number = static_cast<std::int32_t>(next(12));
        switch (next(7)) {
        case 0:
            placeTrain(number, anyNode());
            break;
        case 1:
            removeTrain(number);
            break;
        case 2:
            selectLayout(static_cast<int>(next(2)));
            break;
        case 3:
            interaction.selectedTrain =
                trainTable.count > 0 ? &trainTable.trains[next(trainTable.count)] : nullptr;
            setTrainSpeed(next(3) == 0 ? -1 : number, static_cast<int>(next(16)), next(2));
            break;
        case 4:
            interaction.selectedNode = next(4) == 0 ? nullptr : &anyNode();
            stickSelectedSensor();
            break;
        case 5:
            setSwitch(static_cast<int>(next(300)) - 20, 33 + static_cast<int>(next(2)));
            break;
        default:
            trainTable.trains[next(MAX_TRAINS)].held ^= 1;
            break;
        }
    }

    void expectSoundTable(std::int32_t elapsed, const TrainTable& before) {
        ASSERT_TRUE(trainTable.count >= 0 && trainTable.count <= MAX_TRAINS);
        for (int i = 0; i < trainTable.count; ++i) {
            const Train& t = trainTable.trains[i];
            ASSERT_TRUE(t.inUse && isLayoutNode(t.currentNode));
            ASSERT_EQ(t.nextNode == nullptr, t.edge == nullptr);
            if (t.edge != nullptr) {
                ASSERT_TRUE(isLayoutNode(t.nextNode));
                ASSERT_GT(t.edge->distance, 0);
                ASSERT_TRUE(t.distance >= 0 && t.distance <= t.edge->distance) << t.distance;
            }
            const Train& was = before.trains[i];
            if (elapsed <= 0 && t.currentNode == was.currentNode && t.edge == was.edge) {
                ASSERT_EQ(t.exactDistance, was.exactDistance) << "moved by " << elapsed;
            }
        }
    }

    std::mt19937 random{20240611u};
};

TEST_F(RandomizedRunTest, LongRunsKeepTheTrainTableSound) {
    CommandDecoder decoder{};
    testing::FakeLink link;
    link.open = true;
    long bytes = 0, steps = 0;
    std::uint8_t chunk[24];
    while (bytes < 1000000 || steps < 100000) {
        std::uint32_t action = next(10);
        if (action < 4) {
            int count = fillChunk(chunk);
            decoder.decode(chunk, count, &link);
            bytes += count;
            link.written.clear();
        } else if (action < 8) {
            std::int32_t elapsed = anyElapsed();
            TrainTable before = trainTable;
            stepTrains(elapsed, decoder.report);
            ++steps;
            ASSERT_NO_FATAL_FAILURE(expectSoundTable(elapsed, before)) << "step " << steps;
        } else {
            mutate();
        }
    }
    std::printf("decoded %ld bytes, %ld movement steps, %zu sounds\n", bytes, steps,
                sounds().size());
}

} // namespace
} // namespace quillon
