#include "protocol/CommandDecoder.h"

#include "sim/Sensors.h"
#include "support/FakeHost.h"

namespace quillon::testing {

class CommandDecoderTest : public WorldFixture {
protected:
    bool decode(Bytes bytes) {
        return decodeCommands(decoder, world, bytes.data(), int(bytes.size()));
    }
    // The bytes of every report sent since the last call, which drains the log.
    std::vector<Bytes> reports() {
        std::vector<Bytes> sent;
        for (int i = 0; i < world.events.count; ++i)
            if (const Event& e = world.events.events[i]; e.kind == EventKind::ReportSent)
                sent.emplace_back(e.bytes, e.bytes + e.length);
        world.events.count = 0;
        return sent;
    }
    // A fresh world with train 133 on A1 at step 3, its light off.
    void restart() {
        world = makeWorld();
        decoder.pendingCount = 0;
        runningTrain(133, "A1", 3);
        takeEvents();
    }
    CommandDecoder decoder;
};

// Latched sensors are sent once; what reads triggered is sent every time.
TEST_F(CommandDecoderTest, AReportSendsTheLatchedSensorsOnceAndThoseThatReadTriggered) {
    world.latched.set(0);
    world.latched.set(79);
    world.interaction.selectedNode = ref("B1"); // id 8: numbers 16 and 17
    stickSelectedSensor(world);
    EXPECT_FALSE(decode({133, 133})) << "a report request completes no two-byte command";
    EXPECT_EQ(reports(), (std::vector<Bytes>{Bytes{0x80, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x01},
                                             Bytes{0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0}}));
}

TEST_F(CommandDecoderTest, SwitchCommandsSetTheSwitchAndTheSolenoidFlagAndByte32ClearsIt) {
    EXPECT_TRUE(decode({33, 5}));
    EXPECT_EQ(node("SW5").direction, SWITCH_DIR_STRAIGHT);
    EXPECT_TRUE(world.solenoidActive);
    EXPECT_TRUE(decode({34, 5, 32}));
    EXPECT_EQ(node("SW5").direction, SWITCH_DIR_CURVED);
    EXPECT_FALSE(world.solenoidActive);
}

// The first byte decides what a command is and how many bytes it takes.
TEST_F(CommandDecoderTest, FramesCommandsByTheirFirstByte) {
    struct {
        const char* what;
        std::vector<Bytes> chunks; // one call each
        std::vector<bool> results;
        int speed; // of train 133
        std::size_t reports;
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
        restart();
        for (std::size_t i = 0; i < row.chunks.size(); ++i)
            EXPECT_EQ(decode(row.chunks[i]), row.results[i]) << row.what << ", call " << i;
        EXPECT_EQ(trainSpeed(world, 133), row.speed) << row.what;
        EXPECT_EQ(reports().size(), row.reports) << row.what;
    }
}

TEST_F(CommandDecoderTest, TheBasicSetLeavesLightsPowerAndModulesAlone) {
    Train& train = runningTrain(12, "A1", 3);
    decode({24, 12, 97, 131, 12});
    EXPECT_EQ(train.light, 0);
    EXPECT_EQ(train.speed, 3u);
    EXPECT_TRUE(world.powerOn);
    EXPECT_EQ(takeEvents().size(), 1u) << "only the placement; 131 took 12 as its argument";
}

class FullCommandSetTest : public CommandDecoderTest {
protected:
    FullCommandSetTest() { decoder.commandSet = CommandSet::Full; }
};

TEST_F(FullCommandSetTest, FramesEachRangeOfFirstBytes) {
    struct {
        const char* what;
        Bytes bytes;
        int speed; // of train 133
        int light;
        std::vector<std::size_t> replies; // the length of each report sent
    } const rows[] = {
        {"speed with the light on", {24, 133}, 8, 1, {}},
        {"speed with the light off", {24, 133, 8, 133}, 8, 0, {}},
        {"reverse with the light on stops", {31, 133}, 0, 1, {}},
        {"a function command takes one argument", {64, 133, 9, 133}, 9, 0, {}},
        {"128 alone answers nothing", {128, 9, 133}, 9, 0, {}},
        {"modules 1..3 in the middle of a chunk", {7, 133, 131, 8, 133}, 8, 0, {6}},
        {"module 2, then a command", {194, 5, 133}, 5, 0, {2}},
        {"modules 1..31", {159}, 3, 0, {62}},
        {"133 is modules 1..5", {133}, 3, 0, {10}},
        {"200 is module 8", {200, 133}, 3, 0, {2, 10}},
        {"unknown: one argument", {35, 133, 6, 133}, 6, 0, {}},
    };
    for (const auto& row : rows) {
        restart();
        decoder.commandSet = CommandSet::Full;
        decode(row.bytes);
        EXPECT_EQ(trainSpeed(world, 133), row.speed) << row.what;
        EXPECT_EQ(trainByNumber(world.trains, 133)->light, row.light) << row.what;
        std::vector<std::size_t> replies;
        for (const Bytes& sent : reports())
            replies.push_back(sent.size());
        EXPECT_EQ(replies, row.replies) << row.what;
    }
}

// Sensors 0, 17, 40 and 70 latched: modules 1, 2, 3 and 5.
TEST_F(FullCommandSetTest, AModuleRequestSendsAndClearsOnlyItsModules) {
    for (int n : {0, 17, 40, 70})
        world.latched.set(n);
    decode({131, 194, 133});
    std::vector<Bytes> sent = reports();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0], (Bytes{0x80, 0, 0x40, 0, 0, 0x80}));
    EXPECT_EQ(sent[1], (Bytes{0, 0})) << "module 2 was sent and cleared";
    EXPECT_EQ(sent[2], (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 0x02, 0})) << "only module 5 was left";
}

TEST_F(FullCommandSetTest, AModuleRequestAddsWhatReadsTriggeredInItsModule) {
    world.interaction.selectedNode = ref("B1"); // id 8: numbers 16 and 17
    stickSelectedSensor(world);
    decode({194});
    EXPECT_EQ(reports(), (std::vector<Bytes>{Bytes{0xC0, 0}}));
}

TEST_F(FullCommandSetTest, StopHoldsTrainsAndSwitchesUntilGo) {
    Train& train = runningTrain(12, "A1", 8);
    node("SW5").direction = SWITCH_DIR_CURVED;
    takeEvents();
    decode({97, 33, 5, 97});
    EXPECT_FALSE(stepTrains(world, 1000)) << "no train is due without power";
    EXPECT_EQ(train.exactDistance, 0.0f);
    EXPECT_EQ(node("SW5").direction, SWITCH_DIR_CURVED) << "switch commands are not carried out";
    EXPECT_FALSE(world.solenoidActive);
    decode({96});
    EXPECT_TRUE(stepTrains(world, 10));
    EXPECT_EQ(train.speed, 8u) << "the train kept its step";
    EXPECT_EQ(takeEvents(), (Kinds{EventKind::PowerChanged, EventKind::PowerChanged}))
        << "each change recorded once";
}

} // namespace quillon::testing
