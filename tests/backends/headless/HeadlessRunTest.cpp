#include "backends/headless/HeadlessRun.h"

#include "sim/World.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace quillon::headless {
namespace {

TEST(HeadlessRunTest, TimeGoesOnPastTwoToTheThirtyOneMilliseconds) {
    World world = makeWorld();
    HeadlessRun run(world, nullptr, false, nullptr);
    run.skipTo(INT32_MAX - 7);
    run.step(nullptr);
    run.step(nullptr);
    EXPECT_EQ(run.now(), std::int64_t{INT32_MAX} + 13);
}

} // namespace
} // namespace quillon::headless
