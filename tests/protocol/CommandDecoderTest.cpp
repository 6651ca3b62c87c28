#include "protocol/CommandDecoder.h"

#include "sim/Sensors.h"
#include "support/FakeHost.h"

namespace quillon::testing {

using Bytes = std::vector<std::uint8_t>;

class CommandDecoderTest : public WorldFixture {
protected:
    bool decode(Bytes bytes) { return decodeCommands(world, bytes.data(), int(bytes.size())); }
    // The bytes of the report a request sends, the one event it records.
    Bytes report() {
        EXPECT_FALSE(decode({133})) << "a report request completes no two-byte command";
        Bytes sent(world.events.events[0].report, world.events.events[0].report + 10);
        EXPECT_EQ(takeEvents(), std::vector{EventKind::ReportSent});
        return sent;
    }
};

TEST_F(CommandDecoderTest, AReportSendsTheLatchedSensorsAndThoseThatReadTriggered) {
    world.decoder.report.setSensorBit(0);
    world.decoder.report.setSensorBit(79);
    world.interaction.selectedNode = ref("B1"); // id 8: numbers 16 and 17
    stickSelectedSensor(world);
    EXPECT_EQ(report(), (Bytes{0x80, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x01}));
}

TEST_F(CommandDecoderTest, ASentReportClearsTheLatch) {
    world.decoder.report.setSensorBit(79);
    report();
    EXPECT_EQ(report(), Bytes(10, 0));
}

TEST_F(CommandDecoderTest, SwitchCommandsSetTheSwitchAndTheSolenoidFlagAndByte32ClearsIt) {
    EXPECT_TRUE(decode({33, 5}));
    EXPECT_EQ(node("SW5").direction, SWITCH_DIR_STRAIGHT);
    EXPECT_TRUE(world.decoder.solenoidActive);
    EXPECT_TRUE(decode({34, 5, 32}));
    EXPECT_EQ(node("SW5").direction, SWITCH_DIR_CURVED);
    EXPECT_FALSE(world.decoder.solenoidActive);
}

// The first byte decides what a command is and how many bytes it takes.
TEST_F(CommandDecoderTest, FramesCommandsByTheirFirstByte) {
    struct {
        const char* what;
        std::vector<Bytes> chunks; // one call each
        std::vector<bool> results;
        int speed; // of train 133, which starts at step 3
        int reports;
    } const rows[] = {
        {"split across two calls", {{10}, {133}}, {false, true}, 10, 0},
        {"unknown: one argument", {{200, 133}}, {true}, 3, 0},
        {"then a new command", {{200, 133, 9}, {133}}, {true, true}, 9, 0},
        {"go and stop alone", {{96}, {97, 7, 133}}, {false, true}, 7, 0},
        {"133 as an argument", {{0, 133}}, {true}, 0, 0},
        {"a report between two", {{7, 133, 133, 8, 133}}, {true}, 8, 1},
        {"reverse, and stop", {{15, 133}}, {true}, 0, 0},
        {"nothing", {{}}, {false}, 3, 0},
    };
    for (const auto& row : rows) {
        world = makeWorld();
        runningTrain(133, "A1", 3);
        takeEvents();
        for (std::size_t i = 0; i < row.chunks.size(); ++i)
            EXPECT_EQ(decode(row.chunks[i]), row.results[i]) << row.what << ", call " << i;
        EXPECT_EQ(trainSpeed(world, 133), row.speed) << row.what;
        EXPECT_EQ(takeEvents(), std::vector(row.reports, EventKind::ReportSent)) << row.what;
    }
}

} // namespace quillon::testing
