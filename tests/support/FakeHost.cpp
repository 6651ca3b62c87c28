#include "support/FakeHost.h"

#include "app/SimulatorApp.h"
#include "sim/InteractionState.h"
#include "sim/Trains.h"
#include "track/BuiltinLayouts.h"

#include <algorithm>
#include <cstring>

#include <gtest/gtest.h>

namespace quillon::testing {

void RecordingSurface::fillRect(int left, int top, int right, int bottom, Colour colour) {
    calls.push_back({DrawCall::FillRect, left, top, right, bottom, colour, 0, {}});
}

void RecordingSurface::fillEllipse(int left, int top, int right, int bottom, Colour colour) {
    calls.push_back({DrawCall::FillEllipse, left, top, right, bottom, colour, 0, {}});
}

void RecordingSurface::drawLine(int x1, int y1, int x2, int y2, Colour colour) {
    calls.push_back({DrawCall::Line, x1, y1, x2, y2, colour, 0, {}});
}

void RecordingSurface::selectFont(FontHandle font) {
    if (font != 0)
        selectedFont = font;
    calls.push_back({DrawCall::SelectFont, 0, 0, 0, 0, 0, font, {}});
}

void RecordingSurface::setTextColour(Colour colour) {
    calls.push_back({DrawCall::TextColour, 0, 0, 0, 0, colour, 0, {}});
}

void RecordingSurface::setBackgroundTransparent() {
    calls.push_back({DrawCall::BackgroundTransparent, 0, 0, 0, 0, 0, 0, {}});
}

void RecordingSurface::setBackgroundOpaque(Colour colour) {
    calls.push_back({DrawCall::BackgroundOpaque, 0, 0, 0, 0, colour, 0, {}});
}

void RecordingSurface::textOut(int x, int y, const char* text, int length) {
    calls.push_back({DrawCall::Text, x, y, 0, 0, 0, selectedFont, std::string(text, length)});
}

std::vector<DrawCall> RecordingSurface::callsOf(DrawCall::Kind kind) const {
    std::vector<DrawCall> out;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(out),
                 [kind](const DrawCall& call) { return call.kind == kind; });
    return out;
}

bool FakeLink::connect() {
    ++connectCalls;
    open = serverPresent;
    return open;
}

int FakeLink::read(std::uint8_t* buffer, int maxCount) {
    if (!open || pending.empty())
        return 0;
    if (failReads)
        return -1;
    int n = std::min<int>(maxCount, static_cast<int>(pending.size()));
    std::memcpy(buffer, pending.data(), n);
    buffer[n] = 0;
    pending.erase(pending.begin(), pending.begin() + n);
    return n;
}

int FakeLink::write(const std::uint8_t* bytes, int count) {
    if (!open || failWrites)
        return -1;
    written.insert(written.end(), bytes, bytes + count);
    return count;
}

bool FakeLink::isConnected() {
    return open && serverPresent;
}

bool FakeLink::close() {
    if (!open)
        return false;
    open = false;
    return true;
}

void FakeLink::feed(std::vector<std::uint8_t> bytes) {
    pending.insert(pending.end(), bytes.begin(), bytes.end());
}

void FakeHost::showWindow(bool handFocusBack) {
    visible = true;
    minimised = false;
    focusHandedBack = handFocusBack;
    ++showCalls;
}

void FakeHost::hideWindow() {
    visible = false;
}

void FakeHost::minimiseWindow() {
    minimised = true;
}

void FakeHost::clientSize(int& width, int& height) {
    width = clientWidth;
    height = clientHeight;
}

void FakeHost::setOuterSize(int width, int height) {
    clientWidth = width - frameWidth;
    clientHeight = height - frameHeight;
}

void FakeHost::startTimer(int id, int periodMs) {
    if (id >= 1 && id <= 3)
        timerPeriod[id] = periodMs;
}

void FakeHost::stopTimer(int id) {
    if (id >= 1 && id <= 3)
        timerPeriod[id] = 0;
}

Surface* FakeHost::createBackBuffer(int width, int height) {
    if (failBackBuffer)
        return nullptr;
    backBufferWidth = width;
    backBufferHeight = height;
    return &surface;
}

void FakeHost::releaseBackBuffer() {
    backBufferWidth = backBufferHeight = 0;
}

void FakeHost::presentBackBuffer(int width, int height) {
    presented.emplace_back(width, height);
}

FontHandle FakeHost::createFont(const FontRequest& request) {
    fontRequests.push_back(request);
    fontFaces.emplace_back(request.face);
    if (failFont)
        return 0;
    return nextFont++;
}

bool FakeHost::measureFont(FontHandle, FontMetrics& out) {
    if (failMeasure)
        return false;
    out = metrics;
    return true;
}

void FakeHost::deleteFont(FontHandle font) {
    deletedFonts.push_back(font);
}

void FakeHost::messageBox(const char* text, MessageIcon icon) {
    messages.push_back({text, icon});
}

bool FakeHost::saveFileDialog(const SaveDialogRequest& request, char* path, std::size_t capacity) {
    saveDialogs.push_back(request);
    proposedPath = path;
    if (chosenPath.empty() || chosenPath.size() >= capacity)
        return false;
    std::memcpy(path, chosenPath.c_str(), chosenPath.size() + 1);
    return true;
}

bool FakeHost::setClipboardText(const char* text) {
    if (failClipboard)
        return false;
    clipboard = text;
    return true;
}

std::unique_ptr<ControllerLink> FakeHost::createControllerLink(const char*) {
    auto created = std::make_unique<FakeLink>();
    created->serverPresent = linkServerPresent;
    link = created.get();
    return created;
}

HostScope::HostScope() {
    resetCoreState();
    setHost(&host);
}

HostScope::~HostScope() {
    setHost(nullptr);
    resetCoreState();
}

void resetCoreState() {
    resetLayouts();
    resetTrains();
    resetInteraction();
    application = nullptr;
    shownByUser = false;
    lastMoveTime = 0;
}

TrackNode& nodeNamed(const char* name) {
    TrackLayout& layout = activeLayout();
    for (int i = 0; i < layout.nodeCount; ++i)
        if (std::strcmp(layout.nodes[i].name, name) == 0)
            return layout.nodes[i];
    ADD_FAILURE() << "no node " << name;
    return layout.nodes[0];
}

} // namespace quillon::testing
