#include "app/SimulatorApp.h"

#include "app/MenuCommands.h"
#include "support/FakeHost.h"
#include "track/TrackExport.h"

namespace quillon::testing {

class SimulatorAppTest : public ::testing::Test {
protected:
    void start(AppOptions options = {}) { app = std::make_unique<SimulatorApp>(host, options); }
    // Visible with the read and movement timers running, as showing the
    // window makes it; or hidden with them stopped.
    bool shownIf(bool visible) {
        int period = visible ? 10 : 0;
        return host.visible == visible && host.timerPeriod[TIMER_POLL] == period &&
               host.timerPeriod[TIMER_MOVE] == period;
    }
    bool shown() { return shownIf(true); }
    bool hidden() { return shownIf(false); }
    void reconnect(bool present) {
        host.link->serverPresent = present;
        app->onTimer(TIMER_RECONNECT);
    }
    NodeRef ref(const char* name) { return nodeNamed(app->world(), name); }
    void pointAt(const char* name) {
        const TrackNode& node = nodeAt(app->world().layouts, ref(name));
        app->onPointerMove(node.x, node.y);
    }

    FakeHost host;
    std::unique_ptr<SimulatorApp> app;
};

TEST_F(SimulatorAppTest, StartsHiddenTitledAndFitted) {
    host.frameWidth = 10, host.frameHeight = 40;
    start();
    EXPECT_TRUE(hidden());
    EXPECT_EQ(host.timerPeriod[TIMER_RECONNECT], 1000);
    EXPECT_EQ(host.title, "Quillon [Track Model A]");
    EXPECT_EQ(host.clientWidth, 512);
    EXPECT_EQ(host.clientHeight, 320);
    app->onKeyDown(Key::F2, false);
    EXPECT_EQ(host.title, "Quillon [Track Model B]");
}

class ConnectedAppTest : public SimulatorAppTest {
protected:
    ConnectedAppTest() { host.linkServerPresent = true, start(); }
};

// The controller's return shows the window again, handing the focus back.
TEST_F(ConnectedAppTest, ALostControllerOrAFailedReadHideTheWindowUntilItComesBack) {
    reconnect(false);
    EXPECT_TRUE(hidden());
    reconnect(true);
    EXPECT_TRUE(shown());
    EXPECT_TRUE(host.focusHandedBack);
    host.link->pending = {96};
    host.link->failReads = true;
    app->onTimer(TIMER_POLL);
    EXPECT_TRUE(hidden()) << "after a failed read";
}

TEST_F(ConnectedAppTest, ShowOutlastsALostControllerAndTakesTheFocus) {
    reconnect(false);
    app->onTrayEvent(TrayEvent::LeftButtonDown);
    reconnect(false);
    EXPECT_TRUE(shown());
    EXPECT_FALSE(host.focusHandedBack);
}

TEST_F(ConnectedAppTest, WithATrayTheCloseBoxMinimisingAndATrayClickHide) {
    app->onClose();
    EXPECT_TRUE(hidden()) << "the close box";
    app->onCommand(CMD_SHOW);
    app->onSize(true, 0, 0);
    EXPECT_TRUE(hidden()) << "minimising";
    app->onCommand(CMD_SHOW);
    app->onTrayEvent(TrayEvent::LeftButtonDown);
    EXPECT_TRUE(hidden()) << "a tray click";
}

TEST_F(SimulatorAppTest, WithoutATrayTheWindowIsOnlyEverMinimised) {
    host.tray = false;
    start();
    app->onCommand(CMD_HIDE);
    app->onClose();
    app->onTimer(TIMER_RECONNECT);
    EXPECT_TRUE(shown());
    EXPECT_TRUE(host.minimised);
}

// 29 bytes of go, ignored, then a report request: the second read gets it.
TEST_F(ConnectedAppTest, ReadsAtMost24BytesAPollAndWritesTheReports) {
    host.link->pending.assign(29, 96);
    host.link->pending.push_back(133);
    app->onTimer(TIMER_POLL);
    EXPECT_EQ(host.link->pending.size(), 6u);
    app->onTimer(TIMER_POLL);
    EXPECT_EQ(host.link->written.size(), 10u);
}

// The full set's stop shows "STOPPED" where the solenoid notice goes, at the
// lower left.
TEST_F(SimulatorAppTest, TrackPowerOffShowsStoppedInsteadOfTheSolenoidNotice) {
    host.linkServerPresent = true;
    start(AppOptions{CommandSet::Full});
    host.link->pending = {33, 5, 97};
    app->onTimer(TIMER_POLL);
    host.surface.texts.clear();
    app->onPaint();
    ASSERT_FALSE(host.surface.texts.empty());
    EXPECT_EQ(host.surface.texts.back().text, "STOPPED");
    EXPECT_EQ(host.surface.texts.back().y, 320 - 8 - 8);
}

// Five seconds at step 1 are 5 x 42 units; a pause beyond the signed range is
// still a pause forward.
TEST_F(SimulatorAppTest, TheFirstStepAfterAPauseGetsTheWholeTime) {
    start();
    placeTrain(app->world(), 12, ref("A1"))->speed = 1;
    const Train& train = app->world().trains.trains[0];
    host.clock = 1000;
    app->onTimer(TIMER_MOVE);
    host.clock = 6000;
    app->onTimer(TIMER_MOVE);
    EXPECT_NEAR(train.exactDistance, 210.0, 0.01);
    host.clock = 6000 + 0x90000000u;
    app->onTimer(TIMER_MOVE);
    EXPECT_EQ(train.currentNode, ref("SW12"));
}

// Nothing at the lower left: the window menu; a sensor: its place menu.
TEST_F(SimulatorAppTest, ARightClickOpensTheMenuOfWhatIsUnderThePointer) {
    start();
    app->onButtonDown(5, 300, PointerButton::Left);
    app->onButtonDown(5, 300, PointerButton::Right);
    pointAt("A1");
    app->onButtonDown(0, 0, PointerButton::Right);
    ASSERT_EQ(host.menus.size(), 2u) << "a left click opens no menu";
    EXPECT_EQ(host.menus[0].entries[0].id, CMD_HIDE);
    EXPECT_EQ(host.menus[1].entries[8].id, CMD_STICK_SENSOR);
}

TEST_F(SimulatorAppTest, ControlCCopiesTheSwitchDirections) {
    start();
    EXPECT_FALSE(app->onKeyDown(Key::C, false)) << "C alone is not consumed";
    EXPECT_EQ(host.clipboard, "");
    EXPECT_TRUE(app->onKeyDown(Key::C, true));
    EXPECT_EQ(host.clipboard.size(), 486u) << "the switch text of layout A as loaded";
}

TEST_F(SimulatorAppTest, ExportWritesTheActiveLayoutWhereTheUserChooses) {
    start();
    app->onKeyDown(Key::B, false);
    app->onCommand(CMD_EXPORT); // cancelled
    EXPECT_EQ(host.proposedPath, "trackb.dat");
    host.chosenPath = "chosen.dat";
    app->onCommand(CMD_EXPORT);
    std::string dump(RAW_EXPORT_SIZE, '\0');
    formatRawLayout(app->world().layouts.records[LAYOUT_B], dump.data());
    EXPECT_EQ(host.files["chosen.dat"], dump);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(SimulatorAppTest, AFailedExportIsReportedWithItsPath) {
    start();
    host.chosenPath = "no-such-directory/out.dat";
    host.failFileWrites = true;
    app->onCommand(CMD_EXPORT);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].second, MessageIcon::Error);
    EXPECT_NE(host.messages[0].first.find(host.chosenPath), std::string::npos);
}

} // namespace quillon::testing
