// Long random programs of operations on the simulation, checking after every
// movement step that the train table stays sound. Under the sanitizers it
// also shows that no input reaches undefined behaviour.
#include "fuzz/SimulationProgram.h"
#include "support/FakeHost.h"

#include <cstdio>
#include <random>

namespace quillon {
namespace {

TEST(RandomizedRunTest, LongRunsKeepTheTrainTableSound) {
    testing::HostScope scope;
    testing::FakeLink link;
    link.open = true;
    std::mt19937 random{20240611u};
    std::vector<std::uint8_t> program(1 << 16);
    long bytes = 0, steps = 0;
    while (bytes < 1000000 || steps < 100000) {
        for (std::uint8_t& byte : program)
            byte = static_cast<std::uint8_t>(random());
        ASSERT_TRUE(fuzz::runSimulationProgram(program.data(), program.size(), &link, bytes, steps))
            << "unsound after step " << steps;
        link.written.clear();
        scope.host.sounds.clear();
    }
    std::printf("decoded %ld bytes, %ld movement steps\n", bytes, steps);
}

} // namespace
} // namespace quillon
