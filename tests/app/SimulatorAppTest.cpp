#include "app/SimulatorApp.h"

#include "app/MenuCommands.h"
#include "support/FakeHost.h"
#include "track/TrackExport.h"

#include <filesystem>

namespace quillon::testing {

class SimulatorAppTest : public ::testing::Test {
protected:
    void start() { app = std::make_unique<SimulatorApp>(host); }
    // Whether the window is visible with the read and movement timers running,
    // as showing it makes it, or hidden with them stopped.
    bool shown() {
        return host.visible && host.timerPeriod[TIMER_POLL] == 10 &&
               host.timerPeriod[TIMER_MOVE] == 10;
    }
    bool hidden() {
        return !host.visible && host.timerPeriod[TIMER_POLL] == 0 &&
               host.timerPeriod[TIMER_MOVE] == 0;
    }
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

TEST_F(ConnectedAppTest, AConnectionShowsTheWindowWithoutTakingTheFocus) {
    EXPECT_TRUE(shown());
    EXPECT_TRUE(host.focusHandedBack);
}

TEST_F(ConnectedAppTest, ALostControllerOrAFailedReadHideTheWindowUntilItComesBack) {
    reconnect(false);
    EXPECT_TRUE(hidden());
    reconnect(true);
    EXPECT_TRUE(shown());
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
    app->onSize(true, 0, 0);
    app->onTimer(TIMER_RECONNECT);
    EXPECT_TRUE(shown());
    EXPECT_TRUE(host.minimised);
    app->onCommand(CMD_SHOW);
    EXPECT_FALSE(host.minimised);
}

TEST_F(ConnectedAppTest, ReadsAtMost24BytesAPollAndWritesTheReports) {
    host.link->pending.assign(29, 96); // accepted and ignored
    host.link->pending.push_back(133); // report request
    app->onTimer(TIMER_POLL);
    EXPECT_EQ(host.link->pending.size(), 6u);
    app->onTimer(TIMER_POLL);
    EXPECT_EQ(host.link->written.size(), 10u);
}

// The full set's stop shows "STOPPED" where the solenoid notice goes, at the
// lower left.
TEST_F(SimulatorAppTest, TrackPowerOffShowsStoppedInsteadOfTheSolenoidNotice) {
    host.linkServerPresent = true;
    app = std::make_unique<SimulatorApp>(host, AppOptions{CommandSet::Full});
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
    Train& train = *placeTrain(app->world(), 12, ref("A1"));
    train.speed = 1;
    host.clock = 1000;
    app->onTimer(TIMER_MOVE);
    host.clock = 6000;
    app->onTimer(TIMER_MOVE);
    EXPECT_NEAR(train.exactDistance, 210.0, 0.01);
    host.clock = 6000 + 0x90000000u;
    app->onTimer(TIMER_MOVE);
    EXPECT_EQ(train.currentNode, ref("SW12"));
}

TEST_F(SimulatorAppTest, EventsBecomeSounds) {
    start();
    pointAt("SW7");
    app->onButtonDown(0, 0, PointerButton::Left);
    EXPECT_EQ(host.sounds, std::vector{Sound::Switch});
    EXPECT_EQ(app->world().events.count, 0) << "the log is drained";
}

TEST_F(SimulatorAppTest, ARightClickOpensTheMenuOfWhatIsUnderThePointer) {
    start();
    app->onButtonDown(5, 300, PointerButton::Left); // nothing there: no menu
    app->onButtonDown(5, 300, PointerButton::Right);
    pointAt("A1");
    app->onButtonDown(0, 0, PointerButton::Right);
    ASSERT_EQ(host.menus.size(), 2u);
    EXPECT_EQ(host.menus[0].entries[0].id, CMD_HIDE) << "the window menu";
    EXPECT_EQ(host.menus[1].entries[8].id, CMD_STICK_SENSOR) << "the place menu of a sensor";
}

TEST_F(SimulatorAppTest, AboutShowsTheProgramAndItsAuthors) {
    start();
    app->onCommand(CMD_ABOUT);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text,
              "Quillon v1.00\n\nWritten by the Quillon developers [2005-11-01]\n");
    EXPECT_EQ(host.messages[0].icon, MessageIcon::Information);
}

TEST_F(SimulatorAppTest, ControlCCopiesTheSwitchDirections) {
    start();
    EXPECT_FALSE(app->onKeyDown(Key::C, false)) << "C alone is not consumed";
    EXPECT_EQ(host.clipboard, "");
    EXPECT_TRUE(app->onKeyDown(Key::C, true));
    EXPECT_EQ(host.clipboard.size(), 486u);
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
    EXPECT_EQ(host.messages[0].icon, MessageIcon::Error);
    EXPECT_NE(host.messages[0].text.find(host.chosenPath), std::string::npos);
}

} // namespace quillon::testing
