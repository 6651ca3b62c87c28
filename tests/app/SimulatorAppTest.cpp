#include "app/SimulatorApp.h"

#include "app/MenuCommands.h"
#include "support/FakeHost.h"
#include "track/TrackExport.h"

#include <cstdio>
#include <filesystem>
#include <functional>

namespace quillon::testing {

class SimulatorAppTest : public ::testing::Test {
protected:
    void start() { app = std::make_unique<SimulatorApp>(host); }
    // Visible, the read and movement timers running, the user's choice.
    using State = std::tuple<bool, bool, bool>;
    State state() {
        return {host.visible, host.timerPeriod[2] == 10 && host.timerPeriod[3] == 10, shownByUser};
    }

    HostScope scope;
    FakeHost& host = scope.host;
    std::unique_ptr<SimulatorApp> app;
};

TEST_F(SimulatorAppTest, StartsHiddenTitledAndFitted) {
    host.frameWidth = 10, host.frameHeight = 40;
    start();
    EXPECT_EQ(std::tuple(host.title, host.timerPeriod[1], host.clientWidth, host.clientHeight),
              std::tuple("Quillon [Track Model A]", 1000, 512, 320));
    EXPECT_EQ(state(), State(false, false, false));
    app->onKeyDown(KEY_F2, false);
    EXPECT_EQ(host.title, "Quillon [Track Model B]");
}

TEST_F(SimulatorAppTest, ShowAndHideWithATray) {
    host.linkServerPresent = true;
    start();
    EXPECT_TRUE(host.focusHandedBack) << "a connection never takes the focus";
    FakeLink& link = *host.link;
    auto reconnect = [&](bool present) {
        link.serverPresent = present;
        app->onTimer(TIMER_RECONNECT);
    };
    auto trayClick = [&] { app->onTrayEvent(TrayEvent::LeftButtonDown); };
    const std::pair<std::function<void()>, State> steps[] = {
        {[] {}, {true, true, false}},                       // connected
        {[&] { reconnect(false); }, {false, false, false}}, // the controller goes away
        {[&] { reconnect(true); }, {true, true, false}},
        {[&] { link.pending = {96}, link.failReads = true, app->onTimer(TIMER_POLL); },
         {false, false, false}},                         // a failed read too
        {trayClick, {true, true, true}},                 // Show
        {[&] { reconnect(false); }, {true, true, true}}, // Show outlasts a lost connection
        {[&] { app->onClose(); }, {false, false, true}}, // the close box keeps the choice
        {[&] { app->onCommand(CMD_SHOW), app->onSize(true, 0, 0); }, {false, false, true}},
        {[&] { app->onCommand(CMD_SHOW), trayClick(); }, {false, false, false}}, // Hide
    };
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        steps[i].first();
        EXPECT_EQ(state(), steps[i].second) << "after step " << i;
    }
    app->onCommand(CMD_SHOW);
    EXPECT_FALSE(host.focusHandedBack) << "Show takes the focus";
}

TEST_F(SimulatorAppTest, WithoutATrayTheWindowIsOnlyEverMinimised) {
    host.tray = false;
    start();
    app->onCommand(CMD_HIDE);
    app->onClose();
    app->onSize(true, 0, 0);
    app->onTimer(TIMER_RECONNECT);
    EXPECT_EQ(std::tuple_cat(state(), std::tuple(host.minimised)),
              std::tuple(true, true, true, true));
    app->onCommand(CMD_SHOW);
    EXPECT_FALSE(host.minimised);
}

TEST_F(SimulatorAppTest, ReadsAtMost24BytesPerStep) {
    host.linkServerPresent = true;
    start();
    host.link->pending.assign(29, 96); // accepted and ignored
    host.link->pending.push_back(133); // report request
    app->onTimer(TIMER_POLL);
    EXPECT_EQ(host.link->pending.size(), 6u);
    app->onTimer(TIMER_POLL);
    EXPECT_EQ(std::tuple(host.link->pending.size(), host.link->written.size()),
              std::tuple(0ul, 10ul));
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

TEST_F(SimulatorAppTest, ARightClickOpensTheMenuOfWhatIsUnderThePointer) {
    start();
    const TrackNode& a1 = nodeNamed("A1");
    app->onButtonDown(5, 300, BUTTON_LEFT);  // nothing there: no menu
    app->onButtonDown(5, 300, BUTTON_RIGHT); // the window menu
    app->onPointerMove(a1.x, a1.y);
    app->onButtonDown(a1.x, a1.y, BUTTON_RIGHT); // a sensor: the place menu with "Stick Sensor"
    ASSERT_EQ(host.menus.size(), 2u);
    EXPECT_EQ(std::tuple(host.menus[0].entries[0].id, host.menus[1].entries[8].id),
              std::tuple(CMD_HIDE, CMD_STICK_SENSOR));
}

TEST_F(SimulatorAppTest, AboutAndCopy) {
    start();
    app->onCommand(CMD_ABOUT);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(std::tuple(host.messages[0].text, host.messages[0].icon),
              std::tuple("Quillon v1.00\n\nWritten by the Quillon developers [2005-11-01]\n",
                         MessageIcon::Information));
    EXPECT_EQ(std::tuple(app->onKeyDown(KEY_C, false), host.clipboard.size()),
              std::tuple(false, 0u));
    EXPECT_TRUE(app->onKeyDown(KEY_C, true)) << "the copy consumes the key";
    EXPECT_EQ(host.clipboard.size(), 486u);
}

TEST_F(SimulatorAppTest, ExportProposesTheLayoutsFileAndReportsFailure) {
    start();
    app->onKeyDown(KEY_B, false);
    app->onCommand(CMD_EXPORT); // cancelled
    EXPECT_EQ(host.proposedPath, "trackb.dat");
    host.chosenPath = "SimulatorAppTest.dat"; // in the working directory
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

} // namespace quillon::testing
