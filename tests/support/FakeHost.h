// A Host that records what the core asks of it, for exact checks without a
// screen, and the fixture of the tests that run on the built-in layouts.
// Install the host with HostScope so that each test starts from a clean one.
#pragma once

#include "host/ControllerLink.h"
#include "protocol/SensorReport.h"
#include "host/NullHost.h"
#include "sim/InteractionState.h"
#include "sim/Movement.h"
#include "sim/Trains.h"
#include "track/BuiltinLayouts.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace quillon::testing {

using Sounds = std::vector<int>;

struct Line {
    int x1, y1, x2, y2;
    Colour colour;
};

// A text in the colour it was drawn in.
struct Text {
    int x, y;
    std::string text;
    Colour colour;
};

class RecordingSurface : public NullSurface {
public:
    void drawLine(int x1, int y1, int x2, int y2, Colour k) override {
        lines.push_back({x1, y1, x2, y2, k});
    }
    void setTextColour(Colour k) override { colour = k; }
    void textOut(int x, int y, const char* text, int length) override {
        texts.push_back({x, y, std::string(text, length), colour});
    }

    std::vector<Line> lines;
    std::vector<Text> texts;
    Colour colour = 0;
};

// A link whose peer is the test: bytes queued in pending are read, bytes
// written are kept in written.
class FakeLink : public ControllerLink {
public:
    bool connect() override { return open = serverPresent; }
    int read(std::uint8_t* buffer, int maxCount) override;
    int write(const std::uint8_t* bytes, int count) override {
        bool fails = !open || failWrites;
        return fails ? -1 : (written.insert(written.end(), bytes, bytes + count), count);
    }
    bool isConnected() override { return open && serverPresent; }
    bool close() override { return std::exchange(open, false); }

    bool serverPresent = false, open = false;
    bool failReads = false, failWrites = false; // read or write returns -1
    std::vector<std::uint8_t> pending, written;
};

struct Message {
    std::string text;
    MessageIcon icon;
};

// What it does not record, it does as the null host does.
class FakeHost : public NullHost {
public:
    void showWindow(bool handBack) override {
        visible = true, minimised = false, focusHandedBack = handBack;
    }
    void hideWindow() override { visible = false; }
    void minimiseWindow() override { minimised = true; }
    bool isWindowVisible() override { return visible; }
    void setTitle(const char* text) override { title = text; }
    void clientSize(int& w, int& h) override { w = clientWidth, h = clientHeight; }
    void setOuterSize(int w, int h) override {
        clientWidth = w - frameWidth, clientHeight = h - frameHeight;
    }
    bool hasTrayIcon() override { return tray; }
    void startTimer(int id, int periodMs) override { timerPeriod[id & 3] = periodMs; }
    void stopTimer(int id) override { timerPeriod[id & 3] = 0; }
    Surface* createBackBuffer(int, int) override { return &surface; }
    int screenDpiY() override { return dpi; }
    // One font, whose characters measure 6 x 8 pixels.
    FontHandle createFont(const FontRequest& request) override {
        return fontHeight = request.height, 0xF0;
    }
    bool measureFont(FontHandle, FontMetrics& out) override { return out = {6, 8}, true; }
    void popupMenu(const PopupMenu& menu) override { menus.push_back(menu); }
    void messageBox(const char* text, MessageIcon icon) override {
        messages.push_back({text, icon});
    }
    bool saveFileDialog(const SaveDialogRequest&, char* path, std::size_t capacity) override {
        proposedPath = path;
        bool chosen = !chosenPath.empty() && chosenPath.size() < capacity;
        return chosen && std::strcpy(path, chosenPath.c_str()) != nullptr;
    }
    bool setClipboardText(const char* text) override { return clipboard = text, true; }
    void playSound(int resourceId) override { sounds.push_back(resourceId); }
    std::uint32_t milliseconds() override { return clock; }
    std::unique_ptr<ControllerLink> createControllerLink(const char*) override {
        auto created = std::make_unique<FakeLink>();
        link = created.get();
        link->serverPresent = linkServerPresent;
        return created;
    }

    bool visible = false, minimised = false, focusHandedBack = false, tray = true;
    // The chosen path is the dialog's answer; an empty one cancels it.
    std::string title, clipboard, proposedPath, chosenPath;
    // The frame is the outer size less the client size.
    int clientWidth = 512, clientHeight = 320, frameWidth = 0, frameHeight = 0;
    int timerPeriod[4] = {}; // of timers 1..3; 0 while stopped
    RecordingSurface surface;
    int dpi = 96, fontHeight = 0; // the height of the last font asked for
    std::vector<PopupMenu> menus;
    std::vector<Message> messages;
    Sounds sounds;
    std::uint32_t clock = 1;
    FakeLink* link = nullptr; // the link handed to the application, which owns it
    bool linkServerPresent = false;
};

// Puts every process-wide table of the core back to its start-up state.
void resetCoreState();

// Installs a fresh FakeHost for the scope, with every process-wide table of
// the core in its start-up state on entry and exit.
struct HostScope {
    HostScope() { resetCoreState(), setHost(&host); }
    ~HostScope() { setHost(nullptr), resetCoreState(); }
    FakeHost host;
};

// The node of the active layout with that name (a test failure if none).
TrackNode& nodeNamed(const char* name);

// Both built-in layouts loaded, layout A active, no trains, a fresh host.
class TrackFixture : public ::testing::Test {
protected:
    TrackFixture() { loadBuiltinLayouts(); }

    static TrackNode& node(const char* name) { return nodeNamed(name); }

    // A train placed on the named node at the given speed step.
    static Train& runningTrain(int number, const char* at, std::uint32_t speed) {
        Train& train = *placeTrain(number, node(at));
        train.speed = speed;
        return train;
    }

    // A train at step 14 on the segment from one node to a neighbour, at 0.
    static Train& trainOnSegment(int number, const char* from, const char* to) {
        Train& train = runningTrain(number, from, 14);
        for (NodeEdge& edge : train.currentNode->edges)
            if (edge.dest == node(to).index)
                train.edge = &edge;
        train.nextNode = &node(to);
        return train;
    }

    // 10 ms steps, latching into report, until the train leaves its current
    // node or crashes; how many.
    int stepsUntilNextNode(const Train& train) {
        const TrackNode* from = train.currentNode;
        int steps = 0;
        for (; train.currentNode == from && !train.crashed && steps < 100000; ++steps)
            stepTrains(10, report);
        return steps;
    }

    HostScope scope;
    Sounds& sounds = scope.host.sounds;
    SensorReport report{};
};

} // namespace quillon::testing
