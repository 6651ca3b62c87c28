#include "app/SimulatorApp.h"

#include "app/MenuCommands.h"
#include "sim/InteractionState.h"
#include "sim/Trains.h"
#include "support/FakeHost.h"
#include "track/BuiltinLayouts.h"
#include "track/TrackExport.h"
#include "view/Palette.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

namespace quillon {
namespace {

using testing::nodeNamed;

class SimulatorAppTest : public ::testing::Test {
  protected:
    void start() {
        app = std::make_unique<SimulatorApp>(host);
        application = app.get();
    }
    // Visible, the read and movement timers running, the user's choice.
    using State = std::tuple<bool, bool, bool>;
    State state() {
        return {host.visible, host.timerPeriod[2] == 10 && host.timerPeriod[3] == 10, shownByUser};
    }

    testing::HostScope scope;
    testing::FakeHost& host = scope.host;
    std::unique_ptr<SimulatorApp> app;
};

TEST_F(SimulatorAppTest, StartsHiddenTitledAndFitted) {
    host.frameWidth = 10, host.frameHeight = 40;
    start();
    EXPECT_EQ(host.title, "Quillon [Track Model A]");
    EXPECT_EQ(host.timerPeriod[1], 1000);
    EXPECT_EQ(state(), State(false, false, false));
    EXPECT_EQ((std::array{host.clientWidth, host.clientHeight}), (std::array{512, 320}));
    app->onKeyDown(KEY_F2, false);
    EXPECT_EQ(host.title, "Quillon [Track Model B]");
}

TEST_F(SimulatorAppTest, ShowAndHideWithATray) {
    host.linkServerPresent = true;
    start();
    EXPECT_EQ(state(), State(true, true, false));
    EXPECT_TRUE(host.focusHandedBack) << "a connection never takes the focus";
    testing::FakeLink& link = *host.link;
    link.serverPresent = false; // the controller goes away
    app->onTimer(TIMER_RECONNECT);
    EXPECT_EQ(state(), State(false, false, false));
    link.serverPresent = true;
    app->onTimer(TIMER_RECONNECT);
    EXPECT_EQ(state(), State(true, true, false));
    link.pending = {96};
    link.failReads = true;
    app->onTimer(TIMER_POLL);
    EXPECT_EQ(state(), State(false, false, false)) << "a failed read hides too";

    app->onTrayEvent(TrayEvent::LeftButtonDown); // Show
    EXPECT_EQ(state(), State(true, true, true));
    EXPECT_FALSE(host.focusHandedBack);
    link.serverPresent = false;
    app->onTimer(TIMER_RECONNECT);
    EXPECT_EQ(state(), State(true, true, true)) << "Show outlasts a lost connection";
    app->onClose();
    EXPECT_EQ(state(), State(false, false, true)) << "the close box keeps the user's choice";
    app->onCommand(CMD_SHOW);
    app->onSize(true, 0, 0);
    EXPECT_EQ(state(), State(false, false, true)) << "so does minimising";
    app->onCommand(CMD_SHOW);
    app->onTrayEvent(TrayEvent::LeftButtonDown); // Hide
    EXPECT_EQ(state(), State(false, false, false));
}

TEST_F(SimulatorAppTest, WithoutATrayTheWindowIsOnlyEverMinimised) {
    host.tray = false;
    start();
    EXPECT_EQ(state(), State(true, true, true));
    for (auto event :
         {+[](SimulatorApp& a) { a.onCommand(CMD_HIDE); }, +[](SimulatorApp& a) { a.onClose(); },
          +[](SimulatorApp& a) { a.onSize(true, 0, 0); },
          +[](SimulatorApp& a) { a.onTimer(TIMER_RECONNECT); }}) {
        event(*app);
        EXPECT_EQ(state(), State(true, true, true));
    }
    EXPECT_TRUE(host.minimised);
    app->onCommand(CMD_SHOW);
    EXPECT_FALSE(host.minimised);
}

TEST_F(SimulatorAppTest, ReadsAtMost24BytesPerStep) {
    host.linkServerPresent = true;
    start();
    std::vector<std::uint8_t> bytes(29, 96); // accepted and ignored
    bytes.push_back(133);                    // report request
    host.link->pending = bytes;
    app->onTimer(TIMER_POLL);
    EXPECT_EQ(host.link->pending.size(), 6u);
    app->onTimer(TIMER_POLL);
    EXPECT_TRUE(host.link->pending.empty());
    EXPECT_EQ(host.link->written.size(), 10u);
}

TEST_F(SimulatorAppTest, FirstStepAfterAPauseGetsTheWholeTime) {
    start();
    Train& train = *placeTrain(12, nodeNamed("A1"));
    setTrainSpeed(12, 1, false);
    host.clock = 1000;
    app->onTimer(TIMER_MOVE);
    host.clock = 6000; // five seconds at step 1: 5 x 42 units
    app->onTimer(TIMER_MOVE);
    EXPECT_NEAR(train.exactDistance, 210.0, 0.01);
    host.clock = 6000 + 0x90000000u;
    app->onTimer(TIMER_MOVE);
    EXPECT_EQ(train.currentNode, &nodeNamed("SW12")) << "a pause beyond the signed range";
}

TEST_F(SimulatorAppTest, ButtonsOpenTheMenuOfWhatIsUnderThePointer) {
    start();
    const TrackNode& a1 = nodeNamed("A1");
    app->onButtonDown(5, 300, BUTTON_LEFT);
    app->onButtonDown(5, 300, BUTTON_RIGHT);
    app->onPointerMove(a1.x, a1.y);
    app->onButtonDown(a1.x, a1.y, BUTTON_RIGHT);
    app->onCommand(CMD_PLACE_TRAIN + 5);
    ASSERT_NE(trainByNumber(52), nullptr);
    EXPECT_EQ(trainByNumber(52)->currentNode, &a1);
    app->onPaint(); // works out the train's display position
    app->onPointerMove(a1.x + 3, a1.y);
    app->onButtonDown(a1.x + 3, a1.y, BUTTON_RIGHT);
    app->onCommand(CMD_TRAIN_SPEED + 4);
    app->onButtonDown(a1.x + 3, a1.y, BUTTON_RIGHT);
    // Window menu, place menu with "Stick Sensor", train menu at 0, then at 4.
    ASSERT_EQ(host.menus.size(), 4u);
    EXPECT_EQ(host.menus[0].entries[0].id, CMD_HIDE);
    EXPECT_EQ(host.menus[1].entries[8].id, CMD_STICK_SENSOR);
    EXPECT_TRUE(host.menus[2].entries[0].checked);
    EXPECT_TRUE(host.menus[3].entries[4].checked);
}

TEST_F(SimulatorAppTest, AboutCopyAndClose) {
    start();
    app->onCommand(CMD_ABOUT);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text,
              "Quillon v1.00\n\nWritten by the Quillon developers [2005-11-01]\n");
    EXPECT_EQ(host.messages[0].icon, MessageIcon::Information);
    EXPECT_FALSE(app->onKeyDown(KEY_C, false));
    EXPECT_TRUE(host.clipboard.empty());
    EXPECT_TRUE(app->onKeyDown(KEY_C, true)) << "the copy consumes the key";
    EXPECT_EQ(host.clipboard.size(), 486u);
    app->onCommand(CMD_CLOSE);
    EXPECT_EQ(host.quitCode, 0);
}

TEST_F(SimulatorAppTest, ExportProposesTheLayoutsFileAndReportsFailure) {
    start();
    app->onKeyDown(KEY_B, false);
    app->onCommand(CMD_EXPORT); // cancelled
    EXPECT_EQ(host.proposedPath, "trackb.dat");
    host.chosenPath = "SimulatorAppTest-export.dat"; // in the working directory
    app->onCommand(CMD_EXPORT);
    EXPECT_EQ(std::filesystem::file_size(host.chosenPath), RAW_EXPORT_SIZE);
    std::remove(host.chosenPath.c_str());
    EXPECT_TRUE(host.messages.empty());
    host.chosenPath = "no-such-directory/out.dat";
    app->onCommand(CMD_EXPORT);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].icon, MessageIcon::Error);
    EXPECT_NE(host.messages[0].text.find(host.chosenPath), std::string::npos);
}

TEST_F(SimulatorAppTest, PaintShowsTheSolenoidNotice) {
    start();
    app->decoder().solenoidActive = true;
    app->onPaint();
    const testing::Text& text = host.surface.texts.back();
    EXPECT_EQ(std::tuple(text.text, text.x, text.y, text.colour),
              std::tuple("SOLENOID ACTIVE", 8, 320 - 8 - 8, STUCK_ORANGE));
}

} // namespace
} // namespace quillon
