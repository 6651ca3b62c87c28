#include "app/SimulatorApp.h"

#include "app/MenuCommands.h"
#include "sim/InteractionState.h"
#include "sim/Trains.h"
#include "support/FakeHost.h"
#include "track/BuiltinLayouts.h"
#include "track/TrackExport.h"
#include "view/Palette.h"
#include "view/TextPainter.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>

namespace quillon {
namespace {

using testing::DrawCall;
using testing::nodeNamed;

class SimulatorAppTest : public ::testing::Test {
  protected:
    void start() {
        app = std::make_unique<SimulatorApp>(host);
        application = app.get();
    }

    bool timersRunning() { return host.timerPeriod[2] == 10 && host.timerPeriod[3] == 10; }
    bool timersStopped() { return host.timerPeriod[2] == 0 && host.timerPeriod[3] == 0; }

    testing::HostScope scope;
    testing::FakeHost& host = scope.host;
    std::unique_ptr<SimulatorApp> app;
};

TEST_F(SimulatorAppTest, StartsHiddenWithoutAController) {
    host.frameWidth = 10;
    host.frameHeight = 40;
    start();
    EXPECT_EQ(host.title, "Quillon [Track Model A]");
    EXPECT_EQ(host.timerPeriod[1], 1000);
    EXPECT_TRUE(timersStopped());
    EXPECT_FALSE(host.visible);
    EXPECT_EQ(host.clientWidth, 512);
    EXPECT_EQ(host.clientHeight, 320);
    EXPECT_EQ(host.backBufferWidth, 512);
    EXPECT_EQ(host.backBufferHeight, 320);
    EXPECT_EQ(host.fontFaces, std::vector<std::string>{"Terminal"});
    EXPECT_EQ(host.link->connectCalls, 1);
    EXPECT_EQ(nodeNamed("A1").x, 117) << "layouts fitted to 512 x 320";
}

TEST_F(SimulatorAppTest, ShowsWithoutTakingFocusWhenAControllerIsThere) {
    host.linkServerPresent = true;
    start();
    EXPECT_TRUE(host.visible);
    EXPECT_TRUE(host.focusHandedBack);
    EXPECT_TRUE(timersRunning());
    EXPECT_FALSE(shownByUser);
}

TEST_F(SimulatorAppTest, ShowAndHideWithATray) {
    start();
    testing::FakeLink& link = *host.link;
    link.serverPresent = true; // a controller connects
    app->onTimer(TIMER_RECONNECT);
    EXPECT_TRUE(host.visible);
    EXPECT_TRUE(host.focusHandedBack);
    EXPECT_TRUE(timersRunning());

    link.serverPresent = false; // and goes away
    app->onTimer(TIMER_RECONNECT);
    EXPECT_FALSE(host.visible);
    EXPECT_TRUE(timersStopped());
    EXPECT_EQ(host.timerPeriod[1], 1000);

    app->onCommand(CMD_SHOW);
    EXPECT_TRUE(host.visible);
    EXPECT_FALSE(host.focusHandedBack);
    EXPECT_TRUE(shownByUser);
    app->onTimer(TIMER_RECONNECT);
    EXPECT_TRUE(host.visible) << "the user's Show outlasts a lost connection";
    EXPECT_TRUE(timersRunning());

    app->onCommand(CMD_HIDE);
    EXPECT_FALSE(host.visible);
    EXPECT_FALSE(shownByUser);

    app->onCommand(CMD_SHOW);
    app->onClose();
    EXPECT_FALSE(host.visible);
    EXPECT_TRUE(shownByUser) << "the close box leaves the user's choice";
    app->onCommand(CMD_SHOW);
    app->onSize(true, 0, 0);
    EXPECT_FALSE(host.visible);
    EXPECT_TRUE(timersStopped());

    // A failed read hides the window unless the user chose Show.
    shownByUser = false;
    link.serverPresent = true;
    app->onTimer(TIMER_RECONNECT);
    EXPECT_TRUE(host.visible);
    link.feed({96});
    link.failReads = true;
    app->onTimer(TIMER_POLL);
    EXPECT_FALSE(host.visible);
}

TEST_F(SimulatorAppTest, NeverHidesWithoutATray) {
    host.tray = false;
    start();
    EXPECT_TRUE(host.visible);
    EXPECT_TRUE(shownByUser);
    EXPECT_TRUE(timersRunning());
    app->onCommand(CMD_HIDE);
    app->onClose();
    app->onSize(true, 0, 0);
    app->onTimer(TIMER_RECONNECT); // no controller
    EXPECT_TRUE(host.visible);
    EXPECT_TRUE(host.minimised);
    EXPECT_TRUE(shownByUser);
    EXPECT_TRUE(timersRunning());
    app->onCommand(CMD_SHOW);
    EXPECT_FALSE(host.minimised);
}

TEST_F(SimulatorAppTest, ReadsAtMost24BytesPerStep) {
    host.linkServerPresent = true;
    start();
    std::vector<std::uint8_t> bytes(29, 96); // accepted and ignored
    bytes.push_back(133);                    // report request
    host.link->feed(bytes);
    app->onTimer(TIMER_POLL);
    EXPECT_EQ(host.link->pending.size(), 6u);
    EXPECT_TRUE(host.link->written.empty());
    app->onTimer(TIMER_POLL);
    EXPECT_TRUE(host.link->pending.empty());
    EXPECT_EQ(host.link->written.size(), 10u);
}

TEST_F(SimulatorAppTest, FirstStepAfterAPauseGetsTheWholeTime) {
    start();
    placeTrain(12, nodeNamed("A1"));
    setTrainSpeed(12, 1, false);
    Train& train = *trainByNumber(12);
    host.clock = 1000;
    app->onTimer(TIMER_MOVE);
    EXPECT_EQ(lastMoveTime, 1000u);
    EXPECT_EQ(train.distance, 0);
    int before = host.invalidations;
    host.clock = 6000; // hidden for five seconds: 5 x 42 units at step 1
    app->onTimer(TIMER_MOVE);
    EXPECT_NEAR(train.exactDistance, 210.0, 0.01);
    EXPECT_GT(host.invalidations, before);

    // A pause beyond the signed range still moves forward in time.
    host.clock = 6000 + 0x90000000u;
    app->onTimer(TIMER_MOVE);
    EXPECT_EQ(train.currentNode, &nodeNamed("SW12"));
    EXPECT_GE(train.distance, 0);
}

TEST_F(SimulatorAppTest, KeysChooseTheLayoutAndCopySwitches) {
    start();
    app->onKeyDown(KEY_F2, false);
    EXPECT_EQ(host.title, "Quillon [Track Model B]");
    EXPECT_EQ(activeLayoutIndex(), LAYOUT_B);
    int before = host.invalidations;
    app->onKeyDown(KEY_A, false);
    EXPECT_EQ(host.title, "Quillon [Track Model A]");
    EXPECT_EQ(host.invalidations, before + 1);
    app->onKeyDown(KEY_C, false);
    EXPECT_TRUE(host.clipboard.empty());
    app->onKeyDown(KEY_C, true);
    char text[SWITCH_TEXT_CAPACITY];
    formatSwitchDirections(activeLayout(), text);
    EXPECT_EQ(host.clipboard, text);
}

TEST_F(SimulatorAppTest, ButtonsOpenTheRightMenu) {
    start();
    TrackNode& a1 = nodeNamed("A1");
    app->onButtonDown(5, 300, BUTTON_LEFT);
    EXPECT_TRUE(host.menus.empty()) << "a left click on empty space shows nothing";
    app->onButtonDown(5, 300, BUTTON_RIGHT);
    ASSERT_EQ(host.menus.size(), 1u);
    EXPECT_EQ(host.menus[0].entries[0].id, CMD_HIDE);

    app->onPointerMove(a1.x, a1.y);
    app->onButtonDown(a1.x, a1.y, BUTTON_RIGHT);
    ASSERT_EQ(host.menus.size(), 2u);
    EXPECT_EQ(host.menus[1].count, 9);
    EXPECT_EQ(host.menus[1].entries[8].id, CMD_STICK_SENSOR);
    EXPECT_FALSE(host.menus[1].entries[8].checked);

    int before = host.invalidations;
    app->onCommand(CMD_PLACE_TRAIN + 5);
    Train* train = trainByNumber(52);
    ASSERT_NE(train, nullptr);
    EXPECT_EQ(train->currentNode, &a1);
    EXPECT_EQ(host.invalidations, before + 1);

    app->onPaint(); // works out the train's display position
    app->onPointerMove(a1.x + 3, a1.y);
    app->onButtonDown(a1.x + 3, a1.y, BUTTON_RIGHT);
    app->onCommand(CMD_TRAIN_SPEED + 4);
    app->onButtonDown(a1.x + 3, a1.y, BUTTON_RIGHT);
    ASSERT_EQ(host.menus.size(), 4u);
    EXPECT_EQ(host.menus[2].entries[0].id, CMD_TRAIN_SPEED);
    EXPECT_TRUE(host.menus[2].entries[0].checked);
    EXPECT_TRUE(host.menus[3].entries[4].checked);

    // Positions arrive as unsigned 16-bit halves: -1 is never "the last one".
    app->onPointerMove(-1, -1);
    EXPECT_EQ(interaction.lastPointerX, 0xFFFF);
}

TEST_F(SimulatorAppTest, TrayEventsToggleTheWindow) {
    start();
    app->onTrayEvent(TrayEvent::RightButtonDown);
    ASSERT_EQ(host.menus.size(), 1u);
    EXPECT_EQ(host.menus[0].entries[0].id, CMD_SHOW);
    app->onTrayEvent(TrayEvent::LeftButtonDown);
    EXPECT_TRUE(host.visible);
    EXPECT_TRUE(shownByUser);
    app->onTrayEvent(TrayEvent::RightButtonDown);
    EXPECT_EQ(host.menus[1].entries[0].id, CMD_HIDE);
    app->onTrayEvent(TrayEvent::LeftButtonDown);
    EXPECT_FALSE(host.visible);
    EXPECT_FALSE(shownByUser);
}

TEST_F(SimulatorAppTest, AboutAndClose) {
    start();
    app->onCommand(CMD_ABOUT);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text,
              "Quillon v1.00\n\nWritten by the Quillon developers [2005-11-01]\n");
    EXPECT_EQ(host.messages[0].icon, MessageIcon::Information);
    app->onCommand(9999);
    EXPECT_EQ(host.quitCode, -1);
    app->onCommand(CMD_CLOSE);
    EXPECT_EQ(host.quitCode, 0);
}

TEST_F(SimulatorAppTest, ExportProposesTheLayoutsFileAndReportsFailure) {
    namespace fs = std::filesystem;
    start();
    app->onKeyDown(KEY_B, false);
    app->onCommand(CMD_EXPORT); // cancelled
    ASSERT_EQ(host.saveDialogs.size(), 1u);
    EXPECT_EQ(host.proposedPath, "trackb.dat");
    const SaveDialogRequest& request = host.saveDialogs[0];
    EXPECT_EQ(request.filterCount, 2);
    EXPECT_STREQ(request.filters[0].label, "Raw Track Data (*.dat)");
    EXPECT_STREQ(request.filters[0].pattern, "*.dat");
    EXPECT_STREQ(request.filters[1].label, "All Files (*.*)");
    EXPECT_STREQ(request.filters[1].pattern, "*.*");
    EXPECT_EQ(request.selectedFilter, 1);
    EXPECT_STREQ(request.defaultExtension, "dat");
    EXPECT_EQ(request.flags, 0x80806u);
    EXPECT_TRUE(host.messages.empty());

    fs::path dir = fs::temp_directory_path() / "quillon-app-export";
    fs::create_directories(dir);
    host.chosenPath = (dir / "out.dat").string();
    app->onCommand(CMD_EXPORT);
    EXPECT_EQ(fs::file_size(host.chosenPath), RAW_EXPORT_SIZE);
    EXPECT_TRUE(host.messages.empty());

    host.chosenPath = (dir / "missing" / "out.dat").string();
    app->onCommand(CMD_EXPORT);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].icon, MessageIcon::Error);
    EXPECT_NE(host.messages[0].text.find(host.chosenPath), std::string::npos);
    fs::remove_all(dir);
}

TEST_F(SimulatorAppTest, PaintComposesAndPresentsTheFrame) {
    start();
    app->decoder().solenoidActive = true;
    host.surface.calls.clear();
    app->onPaint();
    const auto& calls = host.surface.calls;
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0].kind, DrawCall::FillRect);
    EXPECT_EQ((std::array{calls[0].a, calls[0].b, calls[0].c, calls[0].d}),
              (std::array{0, 0, 512, 320}));
    auto texts = host.surface.callsOf(DrawCall::Text);
    EXPECT_EQ(texts.back().text, "SOLENOID ACTIVE");
    EXPECT_EQ(texts.back().a, 8);
    EXPECT_EQ(texts.back().b, 320 - host.metrics.cellHeight - 8);
    EXPECT_EQ(host.surface.callsOf(DrawCall::TextColour).back().colour, STUCK_ORANGE);
    EXPECT_EQ(host.presented, (std::vector<std::pair<int, int>>{{512, 320}}));
}

TEST_F(SimulatorAppTest, ResizingRescalesWithinLimits) {
    start();
    app->onSize(false, 100, 50);
    int maxX = 0, maxY = 0;
    for (int i = 0; i < activeLayout().nodeCount; ++i) {
        maxX = std::max(maxX, activeLayout().nodes[i].x);
        maxY = std::max(maxY, activeLayout().nodes[i].y);
    }
    EXPECT_EQ(maxX, 172);
    EXPECT_EQ(maxY, 96);
    EXPECT_EQ(app->width(), 512) << "the back buffer's size stays";
}

TEST_F(SimulatorAppTest, DestructionReleasesEverything) {
    host.linkServerPresent = true;
    start();
    FontHandle font = app->painter()->font;
    app.reset();
    EXPECT_EQ(application, nullptr);
    EXPECT_EQ(host.deletedFonts, std::vector<FontHandle>{font});
    EXPECT_EQ(host.backBufferWidth, 0);
    EXPECT_FALSE(host.visible);
    EXPECT_EQ(host.timerPeriod[1], 0);
    EXPECT_TRUE(timersStopped());
}

} // namespace
} // namespace quillon
