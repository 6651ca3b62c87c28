// A Host that records what the application asks of it, for exact checks
// without a screen; a link whose peer is the test; and the fixture of the
// tests that run on a world holding the built-in layouts.
#pragma once

#include "host/ControllerLink.h"
#include "host/NullHost.h"
#include "sim/Movement.h"
#include "sim/World.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace quillon::testing {

using Bytes = std::vector<std::uint8_t>;
using Kinds = std::vector<EventKind>;

inline std::ostream& operator<<(std::ostream& out, const Colour& c) {
    return out << "rgb(" << int{c.red} << "," << int{c.green} << "," << int{c.blue} << ")";
}

// A text at its top-left corner, a line as "x2,y2" at its start, or a disc
// as its radius at its centre.
struct Drawn {
    std::string text;
    int x, y;
    Colour colour;
    friend bool operator==(const Drawn&, const Drawn&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Drawn& d) {
        return out << d.text << " at " << d.x << "," << d.y << " in " << d.colour;
    }
};

class RecordingSurface : public NullSurface {
public:
    void drawLine(int x1, int y1, int x2, int y2, Colour k) override {
        lines.push_back({std::to_string(x2) + "," + std::to_string(y2), x1, y1, k});
    }
    void fillEllipse(int left, int top, int right, int bottom, Colour k) override {
        discs.push_back(
            {std::to_string((right - left) / 2), (left + right) / 2, (top + bottom) / 2, k});
    }
    void drawText(int x, int y, const char* text, int length, const TextStyle& style) override {
        texts.push_back({std::string(text, length), x, y, style.colour});
    }
    std::vector<Drawn> lines, texts, discs;
};

// Bytes queued in pending are read (a read fails while failReads is set);
// bytes written are kept in written.
class FakeLink : public ControllerLink {
public:
    bool connect() override { return open = serverPresent; }
    int read(std::uint8_t* buffer, int maxCount) override;
    int write(const std::uint8_t* bytes, int count) override {
        return written.insert(written.end(), bytes, bytes + count), count;
    }
    bool isConnected() override { return open && serverPresent; }
    bool close() override { return std::exchange(open, false); }
    bool serverPresent = false, open = false, failReads = false;
    Bytes pending, written;
};

// What it does not record, it does as the null host does. Its one font
// measures 6 x 8 pixels a character.
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
    void setMinimumClientSize(int w, int h) override { minimumWidth = w, minimumHeight = h; }
    bool hasTrayIcon() override { return tray; }
    void startTimer(int id, int periodMs) override { timerPeriod[id & 3] = periodMs; }
    void stopTimer(int id) override { timerPeriod[id & 3] = 0; }
    Surface* createBackBuffer(int w, int h) override {
        return bufferWidth = w, bufferHeight = h, &surface;
    }
    FontHandle createFont(FontPurpose) override { return 0xF0; }
    bool measureFont(FontHandle, FontMetrics& out) override { return out = {6, 8}, true; }
    void popupMenu(const PopupMenu& menu) override { menus.push_back(menu); }
    void messageBox(const char* text, MessageIcon icon) override {
        messages.push_back({text, icon});
    }
    bool saveFileDialog(const SaveDialogRequest&, char* path, std::size_t capacity) override;
    bool openFileDialog(const OpenDialogRequest&, char* path, std::size_t capacity) override;
    FileStamp fileStamp(const char* path) override {
        auto found = stamps.find(path);
        return found == stamps.end() ? FileStamp{} : found->second;
    }
    bool setClipboardText(const char* text) override { return clipboard = text, true; }
    bool replaceFile(const char* path, const void* bytes, std::size_t size) override {
        return !failFileWrites && (files[path].assign(static_cast<const char*>(bytes), size), true);
    }
    std::uint32_t milliseconds() override { return clock; }
    std::unique_ptr<ControllerLink> createControllerLink() override;
    bool watchLink(ControllerLink* l) override { return watched = l, wakesReads; }

    bool visible = false, minimised = false, focusHandedBack = false, tray = true;
    bool failFileWrites = false, linkServerPresent = false;
    bool wakesReads = true;                   // the platform can wake reads
    ControllerLink* watched = nullptr;        // the link whose bytes wake the application
    std::map<std::string, std::string> files; // what replaceFile wrote, by path
    // The chosen path is the dialog's answer; an empty one cancels it.
    std::string title, clipboard, proposedPath, chosenPath;
    std::string openPath;                    // the open dialog's answer; an empty one cancels it
    std::map<std::string, FileStamp> stamps; // by path; {} for any other
    // The frame is the outer size less the client size.
    int clientWidth = 512, clientHeight = 320, frameWidth = 0, frameHeight = 0;
    int minimumWidth = 0, minimumHeight = 0; // of the client area
    int bufferWidth = 0, bufferHeight = 0;   // of the last back buffer made
    int timerPeriod[4] = {};                 // of timers 1..3; 0 while stopped
    RecordingSurface surface;
    std::vector<PopupMenu> menus;
    std::vector<std::pair<std::string, MessageIcon>> messages;
    std::uint32_t clock = 1;
    FakeLink* link = nullptr; // the link handed to the application, which owns it
};

// The node of the world's active layout with that name (a test failure if
// there is none).
NodeRef nodeNamed(const World& world, const char* name);

// A world with both built-in layouts, layout A active and no trains.
class WorldFixture : public ::testing::Test {
protected:
    NodeRef ref(const char* name) const { return nodeNamed(world, name); }
    Node& node(const char* name) { return nodeAt(world.layouts, ref(name)); }
    // The node's name, "-" for none, so that failure messages name nodes.
    const char* name(NodeRef ref) const {
        return ref.isNode() ? nodeAt(world.layouts, ref).name : "-";
    }
    // A train placed on the named node at the speed step; with a neighbour to
    // run to, at the start of the segment towards it.
    Train& runningTrain(std::int32_t number, const char* at, std::uint32_t speed,
                        const char* to = nullptr);
    // 10 ms steps until the train leaves its current node or crashes (at most
    // 10000); how many.
    int stepsUntilNextNode(const Train& train);
    // The kinds of the events recorded since the last call, which drains them;
    // decoded commands are left out (they accompany every command).
    Kinds takeEvents();

    World world = makeWorld();
};

} // namespace quillon::testing
