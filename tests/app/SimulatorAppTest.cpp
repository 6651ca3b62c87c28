#include "app/SimulatorApp.h"

#include "app/MenuCommands.h"
#include "support/CrowdedLayout.h"
#include "support/FakeHost.h"
#include "support/LayoutFiles.h"
#include "track/LayoutFile.h"
#include "track/TrackExport.h"

#include <algorithm>
#include <iterator>

namespace quillon::testing {

class SimulatorAppTest : public ::testing::Test {
protected:
    void start(AppOptions options = {}) { app = std::make_unique<SimulatorApp>(host, options); }
    bool shown() { return host.visible; }
    // Hidden, and neither reading nor moving trains.
    bool hidden() {
        return !host.visible && host.watched == nullptr && host.timerPeriod[TIMER_POLL] == 0 &&
               host.timerPeriod[TIMER_MOVE] == 0;
    }
    void reconnect(bool present) {
        host.link->serverPresent = present;
        app->onTimer(TIMER_RECONNECT);
    }
    NodeRef ref(const char* name) { return nodeNamed(app->world(), name); }
    void pointAt(const char* name) {
        const Node& node = nodeAt(app->world().layouts, ref(name));
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

// A bigger window shows more names of a crowded layout.
TEST_F(SimulatorAppTest, EachResizePlansTheNamesAnew) {
    start();
    loadCrowdedLayout(app->world().layouts, 20, 20);
    auto hiddenAt = [&](int width, int height) {
        app->onSize(false, width, height);
        const std::uint8_t* hidden = app->names().hiddenNames(LAYOUT_LOADED, 400);
        return hidden == nullptr ? 0 : std::count(hidden, hidden + 400, 1);
    };
    long crowded = hiddenAt(512, 320);
    EXPECT_GT(crowded, 0);
    EXPECT_LT(hiddenAt(1600, 1000), crowded);
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
    app->onLinkReadable();
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

TEST_F(SimulatorAppTest, WhereTheHostCannotWakeReadsTimer2Polls) {
    host.linkServerPresent = true;
    host.wakesReads = false;
    start();
    EXPECT_EQ(host.timerPeriod[TIMER_POLL], 10);
}

// One step of the read budget: at clock, bytes arrive, then the link wakes
// the application (if the host watches it) or timer 2 ticks; left bytes
// then wait unread.
struct ReadStep {
    std::uint32_t clock;
    bool tick;
    int arriving;
    std::size_t left;
};

struct BudgetCase {
    const char* name;
    std::vector<ReadStep> steps;
    friend void PrintTo(const BudgetCase& c, std::ostream* out) { *out << c.name; }
};

class ReadBudgetTest : public ConnectedAppTest, public ::testing::WithParamInterface<BudgetCase> {};

TEST_P(ReadBudgetTest, AtMost24BytesAreDecodedPer10Ms) {
    for (const ReadStep& step : GetParam().steps) {
        host.clock = step.clock;
        host.link->pending.insert(host.link->pending.end(), step.arriving, 96);
        if (step.tick)
            app->onTimer(TIMER_POLL);
        else if (host.watched != nullptr)
            app->onLinkReadable();
        EXPECT_EQ(host.link->pending.size(), step.left) << "at " << step.clock << " ms";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Steps, ReadBudgetTest,
    ::testing::Values(BudgetCase{"ASpentBudgetWaitsForTimer2",
                                 {{100, false, 30, 6}, {105, false, 0, 6}, {110, true, 0, 0}}},
                      BudgetCase{"WakesWithinOneStepShareItsBudget",
                                 {{100, false, 5, 0}, {103, false, 30, 11}, {113, true, 0, 0}}},
                      BudgetCase{"AWakeAfter10MsStartsAFreshBudget",
                                 {{100, false, 5, 0}, {110, false, 30, 6}}},
                      BudgetCase{"TimerStepsGoOnWhileTheBacklogLasts",
                                 {{100, false, 60, 36}, {110, true, 0, 12}, {120, true, 0, 0}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConnectedAppTest, OnceTheBacklogIsReadTheLinkWakesReadsAgain) {
    host.link->pending.assign(30, 96);
    app->onLinkReadable();
    app->onTimer(TIMER_POLL);
    EXPECT_EQ(host.watched, host.link);
    EXPECT_EQ(host.timerPeriod[TIMER_POLL], 0);
}

// A stream at its end or failed stays readable; the reconnect check takes
// over, even while the user keeps the window shown.
TEST_F(ConnectedAppTest, TheEndOfTheStreamStopsTheWakes) {
    host.link->serverPresent = false;
    app->onLinkReadable();
    EXPECT_EQ(host.watched, nullptr);
}

TEST_F(SimulatorAppTest, AFailedReadStopsTheWakesOfAWindowTheUserShows) {
    host.tray = false, host.linkServerPresent = true;
    start();
    host.link->pending = {96};
    host.link->failReads = true;
    app->onLinkReadable();
    EXPECT_EQ(host.watched, nullptr);
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

TEST_F(ConnectedAppTest, TheMovementTimerRunsOnlyWhileATrainIsDue) {
    placeTrain(app->world(), 12, ref("A1"));
    EXPECT_EQ(host.timerPeriod[TIMER_MOVE], 0) << "standing";
    host.link->pending = {8, 12};
    app->onLinkReadable();
    EXPECT_EQ(host.timerPeriod[TIMER_MOVE], 10) << "at step 8";
    host.link->pending = {0, 12};
    app->onLinkReadable();
    EXPECT_EQ(host.timerPeriod[TIMER_MOVE], 0) << "stopped";
}

// Step 1 runs 0.042 units a millisecond: 10 ms before the stop, and 10 ms
// after the train is set going again, whatever the pause between.
TEST_F(ConnectedAppTest, MovementResumesFromTheMomentATrainBecameDue) {
    const Train& train = *placeTrain(app->world(), 12, ref("A1"));
    auto command = [&](std::uint32_t clock, Bytes bytes) {
        host.clock = clock;
        host.link->pending = bytes;
        app->onLinkReadable();
    };
    command(1000, {1, 12});
    host.clock = 1010;
    app->onTimer(TIMER_MOVE);
    command(1020, {0, 12});
    command(6000, {1, 12});
    host.clock = 6010;
    app->onTimer(TIMER_MOVE);
    EXPECT_NEAR(train.exactDistance, 0.84, 0.001);
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

// Each train of the "Place Behind" submenu leaves its node by the behind
// way; placed again from the menu, it leaves by the ahead way.
TEST_F(SimulatorAppTest, PlaceBehindTurnsTheTrainToLeaveItsNodeBehind) {
    start();
    pointAt("A1");
    app->onButtonDown(0, 0, PointerButton::Right);
    for (int k = 0; k < static_cast<int>(std::size(PLACEABLE_TRAINS)); ++k) {
        app->onCommand(CMD_PLACE_BEHIND + k);
        const Train* train = trainByNumber(app->world().trains, PLACEABLE_TRAINS[k]);
        ASSERT_NE(train, nullptr) << PLACEABLE_TRAINS[k];
        EXPECT_EQ(train->leavesBehind, 1) << PLACEABLE_TRAINS[k];
    }
    app->onCommand(CMD_PLACE_TRAIN);
    EXPECT_EQ(trainByNumber(app->world().trains, 12)->leavesBehind, 0);
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
    formatRawLayout(recordOf(app->world().layouts.tracks[LAYOUT_B]), dump.data());
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

// The window with layout A's file opened through the open dialog.
class LayoutFileAppTest : public SimulatorAppTest {
protected:
    void SetUp() override {
        start();
        open(path);
    }
    void open(const std::string& file) {
        host.openPath = file;
        app->onCommand(CMD_OPEN_LAYOUT);
    }
    // The file changes on disk and the once-a-second look notices.
    void change(const std::string& text) {
        folder.write("a.layout", text);
        host.stamps[path].size += 1;
        app->onTimer(TIMER_RECONNECT);
    }
    const Track& loaded() { return app->world().layouts.tracks[LAYOUT_LOADED]; }
    void place(std::int32_t number, const char* name) {
        placeTrain(app->world(), number, nodeNamed(app->world(), name));
    }

    TempFolder folder;
    const std::string path = folder.write("a.layout", layoutAText());
};

TEST_F(LayoutFileAppTest, OpenMakesTheFileActiveAndNamesItInTheTitle) {
    EXPECT_EQ(app->world().layouts.active, LAYOUT_LOADED);
    EXPECT_EQ(host.title, "Quillon - a.layout");
}

TEST_F(LayoutFileAppTest, AnOpenedLayoutIsScaledToTheWindow) {
    int right = 0;
    for (const Node& node : loaded().nodes)
        right = std::max(right, node.x);
    EXPECT_EQ(right, 512 - 32);
}

TEST_F(LayoutFileAppTest, OpeningAgainRemovesTheTrainsOfTheLayoutItReplaces) {
    place(12, "A1");
    open(path);
    EXPECT_EQ(app->world().trains.count, 0);
}

TEST_F(LayoutFileAppTest, AFileThatDoesNotLoadShowsEveryErrorAndChangesNothing) {
    place(12, "A1");
    const std::string bad = folder.write("bad.layout", twoMistakesText());
    open(bad);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(std::count(host.messages[0].first.begin(), host.messages[0].first.end(), '\n'), 2);
    EXPECT_EQ(app->world().trains.count, 1);
    EXPECT_EQ(host.title, "Quillon - a.layout");
}

TEST_F(LayoutFileAppTest, AtMostTwentyErrorsAreShownAndTheRestCounted) {
    std::string text = "track 25\n";
    for (int k = 0; k < 25; ++k)
        text += std::to_string(k) + " X" + std::to_string(k) + " stop 0 0 0 1\n  0 ahead 0\n";
    open(folder.write("many.layout", text));
    ASSERT_EQ(host.messages.size(), 1u);
    const std::string& message = host.messages[0].first;
    EXPECT_EQ(message.substr(message.rfind('\n') + 1), "and 5 more");
}

TEST_F(LayoutFileAppTest, AChangedFileIsReadAgainKeepingTheTrainsWhoseNodesRemain) {
    place(12, "A1");
    place(24, "A3");
    change(layoutAWithRenamed("A3", "Q3"));
    ASSERT_EQ(app->world().trains.count, 1);
    EXPECT_EQ(app->world().trains.trains[0].number, 12);
}

TEST_F(LayoutFileAppTest, AnUnchangedFileIsNotReadAgain) {
    place(24, "A3");
    folder.write("a.layout", layoutAWithRenamed("A3", "Q3"));
    app->onTimer(TIMER_RECONNECT);
    EXPECT_EQ(app->world().trains.count, 1);
}

TEST_F(LayoutFileAppTest, AChangeThatDoesNotLoadKeepsTheLayoutAndIsReportedOnce) {
    change(twoMistakesText());
    app->onTimer(TIMER_RECONNECT);
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(loaded().nodeCount(), 72);
}

TEST_F(LayoutFileAppTest, ExportWritesALayoutFileThatLoadsBack) {
    if (formatNamedLayout(loaded()).empty())
        GTEST_SKIP() << "layouts cannot be written in the named form yet";
    host.chosenPath = "out.layout";
    app->onCommand(CMD_EXPORT_LAYOUT);
    Track back;
    std::vector<LayoutError> errors;
    ASSERT_TRUE(loadLayout(host.files["out.layout"], back, errors));
    EXPECT_EQ(back.nodeCount(), loaded().nodeCount());
}

TEST_F(SimulatorAppTest, StartsOnTheLayoutFileOfTheOptionsTitledWithItsName) {
    TempFolder folder;
    const std::string file = folder.write("x.txt", layoutAText());
    const char* arguments[] = {"quillon", "--layout", file.c_str()};
    start(parseOptions(3, arguments, nullptr).app);
    EXPECT_EQ(host.title, "Quillon - x.txt");
}

} // namespace quillon::testing
