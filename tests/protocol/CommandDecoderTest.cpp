#include "protocol/CommandDecoder.h"

#include "sim/Sensors.h"
#include "support/FakeHost.h"

namespace quillon::testing {

using Bytes = std::vector<std::uint8_t>;

class CommandDecoderTest : public TrackFixture {
protected:
    CommandDecoderTest() { link.open = true; }

    bool decode(Bytes bytes) {
        return decoder.decode(bytes.data(), static_cast<int>(bytes.size()), &link);
    }

    // The bytes written since the last call.
    Bytes sent() { return std::exchange(link.written, {}); }

    CommandDecoder decoder{};
    FakeLink link;
};

TEST_F(CommandDecoderTest, AReportSendsTheLatchAndWhatReadsTriggeredThenClears) {
    EXPECT_FALSE(decode({133}));
    EXPECT_EQ(sent(), Bytes(10, 0));

    Train& train = runningTrain(1, "DE5", 14);
    for (int step = 0; step < 118; ++step) // over the 500 to A1, passing it ahead: 0
        stepTrains(10, decoder.report);
    decoder.report.setSensorBit(79);
    interaction.selectedNode = &node("B1"); // id 8: numbers 16 and 17
    stickSelectedSensor();
    decode({133});
    EXPECT_EQ(sent(), (Bytes{0x80, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x01}));
    train.distance = 4; // within 4 units past A1 it still reads as triggered
    decode({133});
    EXPECT_EQ(sent(), (Bytes{0x80, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0}));
    train.distance = 5;
    decode({133});
    EXPECT_EQ(sent(), (Bytes{0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0}));

    link.failWrites = true;
    decode({133});
    EXPECT_EQ(decoder.report.bytes[2], 0) << "a failed write clears the report all the same";
}

TEST_F(CommandDecoderTest, SwitchCommandsSetTheSwitchAndTheSolenoidFlag) {
    EXPECT_TRUE(decode({33, 5}));
    EXPECT_EQ(std::tuple(node("SW5").direction, decoder.solenoidActive),
              std::tuple(SWITCH_DIR_STRAIGHT, true));
    EXPECT_TRUE(decode({34, 5, 32}));
    EXPECT_EQ(std::tuple(node("SW5").direction, decoder.solenoidActive, sounds.size()),
              std::tuple(SWITCH_DIR_CURVED, false, 2u));
}

TEST_F(CommandDecoderTest, TheFirstByteDecidesWhatACommandIs) {
    // Chunks, one decode call each; their results; the step of train 133,
    // which starts at 3; the bytes sent.
    using Row = std::tuple<std::vector<Bytes>, std::vector<bool>, int, std::size_t>;
    for (const auto& [chunks, results, speed, sent] : {
             Row{{{10}, {133}}, {false, true}, 10, 0},        // split across two calls
             Row{{{200, 133}}, {true}, 3, 0},                 // unknown: one argument
             Row{{{200, 133, 9}, {133}}, {true, true}, 9, 0}, // ...then a new command
             Row{{{96}, {97, 7, 133}}, {false, true}, 7, 0},  // go and stop: alone
             Row{{{0, 133}}, {true}, 0, 0},                   // 133 as an argument
             Row{{{7, 133, 133, 8, 133}}, {true}, 8, 10},     // a report between two
             Row{{{15, 133}}, {true}, 0, 0},                  // reverse, and stop
             Row{{{}}, {false}, 3, 0},
         }) {
        resetTrains();
        runningTrain(133, "A1", 3);
        decoder = CommandDecoder{};
        link.written.clear();
        for (std::size_t i = 0; i < chunks.size(); ++i)
            EXPECT_EQ(decode(chunks[i]), results[i]) << ::testing::PrintToString(chunks);
        EXPECT_EQ(std::tuple(trainSpeed(133), link.written.size()), std::tuple(speed, sent))
            << ::testing::PrintToString(chunks);
    }
}

} // namespace quillon::testing
