#include "app/SimulatorApp.h"

#include "app/AppTexts.h"
#include "app/MenuCommands.h"
#include "app/Menus.h"
#include "link/ControllerLink.h"
#include "sim/Movement.h"
#include "sim/Sensors.h"
#include "sim/Trains.h"
#include "track/BuiltinLayouts.h"
#include "track/TrackExport.h"
#include "view/LayoutPainter.h"
#include "view/LayoutScaling.h"
#include "view/Palette.h"
#include "view/Pointer.h"
#include "view/TextPainter.h"

#include <cstdint>
#include <cstdio>
#include <iterator>
#include <limits>

namespace quillon {

SimulatorApp* application = nullptr;
bool shownByUser = false;
std::uint32_t lastMoveTime = 0;

namespace {

constexpr int START_WIDTH = 512;
constexpr int START_HEIGHT = 320;
constexpr int MIN_WIDTH = 204;
constexpr int MIN_HEIGHT = 128;
constexpr int RECONNECT_PERIOD_MS = 1000;
constexpr int STEP_PERIOD_MS = 10;
constexpr int READ_CHUNK = 24;
constexpr const char* PIPE_NAME = "\\\\.\\pipe\\track";
constexpr const char* FONT_FACE = "Terminal";
constexpr int FONT_POINTS = 6;

} // namespace

SimulatorApp::SimulatorApp(Host& host)
    : width_(START_WIDTH), height_(START_HEIGHT), host_(host), backBuffer_(nullptr), decoder_{} {
    link_ = host_.createControllerLink(PIPE_NAME);
    loadBuiltinLayouts();
    decoder_.report.clear();
    clearWindow();
    painter_ = std::make_unique<TextPainter>(host_, FONT_FACE, FONT_POINTS);
    chooseLayout(LAYOUT_A);
    host_.startTimer(TIMER_RECONNECT, RECONNECT_PERIOD_MS);
    if (host_.isWindowVisible())
        hide();
    fitWindowToClientSize();
    rescaleBothLayouts(width_, height_);
    createBackBuffer();
    bool connected = link_ != nullptr && link_->connect();
    if (connected)
        show(true);
    // Without a notification area a hidden window could not be reached
    // again: it starts as if the user had chosen Show.
    if (!host_.hasTrayIcon()) {
        shownByUser = true;
        if (!connected)
            show(false);
    }
}

SimulatorApp::~SimulatorApp() {
    if (backBuffer_ != nullptr) {
        host_.releaseBackBuffer();
        backBuffer_ = nullptr;
    }
    if (link_ != nullptr)
        link_->close();
    link_.reset();
    painter_.reset();
    host_.stopTimer(TIMER_RECONNECT);
    hide();
    if (application == this)
        application = nullptr;
}

void SimulatorApp::fitWindowToClientSize() {
    host_.setOuterSize(width_, height_);
    int clientWidth = 0, clientHeight = 0;
    host_.clientSize(clientWidth, clientHeight);
    host_.setOuterSize(width_ + (width_ - clientWidth), height_ + (height_ - clientHeight));
}

bool SimulatorApp::createBackBuffer() {
    if (backBuffer_ != nullptr)
        host_.releaseBackBuffer();
    backBuffer_ = host_.createBackBuffer(width_, height_);
    if (backBuffer_ == nullptr)
        return false;
    backBuffer_->fillRect(0, 0, width_, height_, BLACK);
    return true;
}

void SimulatorApp::clearWindow() {
    // The window shows only what the back buffer holds.
    if (backBuffer_ == nullptr)
        return;
    int clientWidth = 0, clientHeight = 0;
    host_.clientSize(clientWidth, clientHeight);
    backBuffer_->fillRect(0, 0, clientWidth, clientHeight, BLACK);
    redraw();
}

void SimulatorApp::rescale(int width, int height) {
    rescaleBothLayouts(width < MIN_WIDTH ? MIN_WIDTH : width,
                       height < MIN_HEIGHT ? MIN_HEIGHT : height);
}

void SimulatorApp::chooseLayout(int index) {
    selectLayout(index);
    char title[TITLE_CAPACITY];
    formatTitle(title, sizeof title, index);
    host_.setTitle(title);
}

void SimulatorApp::redraw() {
    host_.invalidate();
}

void SimulatorApp::show(bool handFocusBack) {
    host_.showWindow(handFocusBack);
    host_.startTimer(TIMER_POLL, STEP_PERIOD_MS);
    host_.startTimer(TIMER_MOVE, STEP_PERIOD_MS);
}

void SimulatorApp::hide() {
    host_.hideWindow();
    host_.stopTimer(TIMER_POLL);
    host_.stopTimer(TIMER_MOVE);
}

void SimulatorApp::withdraw() {
    if (host_.hasTrayIcon()) {
        hide();
        return;
    }
    // Nothing may hide a window that no tray icon can bring back; the
    // timers keep running.
    host_.minimiseWindow();
}

bool SimulatorApp::reconnectTick() {
    if (link_ == nullptr)
        return false;
    if (link_->isConnected())
        return true;
    if (!link_->connect())
        return false;
    show(true);
    return true;
}

bool SimulatorApp::pollController() {
    if (link_ == nullptr)
        return false;
    std::uint8_t buffer[READ_CHUNK + 1];
    int count = link_->read(buffer, READ_CHUNK);
    if (count < 0)
        return false;
    if (count == 0)
        return true;
    if (count > READ_CHUNK)
        count = READ_CHUNK;
    if (decode(buffer, count))
        redraw();
    return true;
}

void SimulatorApp::moveTick() {
    if (lastMoveTime == 0)
        lastMoveTime = host_.milliseconds();
    std::uint32_t elapsed = host_.milliseconds() - lastMoveTime;
    // A pause beyond the signed range (about 24 days) is still a pause
    // forward in time, never a negative one.
    constexpr std::uint32_t LONGEST = std::numeric_limits<std::int32_t>::max();
    if (elapsed > LONGEST)
        elapsed = LONGEST;
    if (stepTrains(static_cast<std::int32_t>(elapsed), decoder_.report)) {
        updateHoveredTrain(-1, -1);
        redraw();
    }
    lastMoveTime = host_.milliseconds();
}

bool SimulatorApp::decode(const std::uint8_t* bytes, int count) {
    return decoder_.decode(bytes, count, link_.get());
}

void SimulatorApp::sendReport() {
    decoder_.sendReport(link_.get());
}

void SimulatorApp::paint() {
    if (backBuffer_ == nullptr)
        return;
    Surface& surface = *backBuffer_;
    int clientWidth = 0, clientHeight = 0;
    host_.clientSize(clientWidth, clientHeight);
    surface.fillRect(0, 0, clientWidth, clientHeight, BLACK);
    drawLayout(surface, painter_.get());
    if (decoder_.solenoidActive && painter_ != nullptr) {
        painter_->textColour = STUCK_ORANGE;
        painter_->drawText(surface, 8, height_ - painter_->charHeight - 8, "SOLENOID ACTIVE", 0);
    }
    host_.presentBackBuffer(width_, height_);
}

void SimulatorApp::onTimer(int id) {
    switch (id) {
    case TIMER_RECONNECT:
        if (!reconnectTick() && !shownByUser)
            hide();
        return;
    case TIMER_POLL:
        if (!pollController() && !shownByUser)
            hide();
        return;
    case TIMER_MOVE:
        moveTick();
        return;
    default:
        return;
    }
}

void SimulatorApp::onSize(bool minimised, int width, int height) {
    if (!minimised) {
        rescale(width, height);
        return;
    }
    // Minimised without a tray icon: it stays minimised and keeps running.
    if (host_.hasTrayIcon())
        hide();
}

void SimulatorApp::onPaint() {
    paint();
}

void SimulatorApp::onClose() {
    withdraw();
}

bool SimulatorApp::onKeyDown(int virtualKey, bool controlDown) {
    switch (virtualKey) {
    case KEY_A:
    case KEY_F1:
        chooseLayout(LAYOUT_A);
        redraw();
        return false;
    case KEY_B:
    case KEY_F2:
        chooseLayout(LAYOUT_B);
        redraw();
        return false;
    case KEY_C:
        if (!controlDown)
            return false;
        copySwitchDirections();
        return true;
    default:
        return false;
    }
}

namespace {
// Positions arrive as the two unsigned 16-bit halves of a position word; the
// same masking on every platform also keeps -1, which asks for the last
// position, from ever reaching the hover test as a real one.
int pointerCoordinate(int value) {
    return value & 0xFFFF;
}
} // namespace

void SimulatorApp::onPointerMove(int x, int y) {
    x = pointerCoordinate(x);
    y = pointerCoordinate(y);
    if (updateHoveredTrain(x, y)) {
        redraw();
        return;
    }
    if (updateHoveredNode(x, y))
        redraw();
}

void SimulatorApp::onButtonDown(int x, int y, int button) {
    x = pointerCoordinate(x);
    y = pointerCoordinate(y);
    PopupMenu menu;
    if (!handleClick(x, y, button, decoder_.report)) {
        if (button != BUTTON_RIGHT)
            return;
        buildWindowMenu(menu);
        host_.popupMenu(menu);
        return;
    }
    redraw();
    if (button != BUTTON_RIGHT)
        return;
    std::int32_t train = selectedTrainNumber();
    if (train > 0)
        buildTrainMenu(menu, trainSpeed(train));
    else
        buildPlaceMenu(menu, hoveredNodeIsSensor(), hoveredNodeIsSensor() && isSensorTriggered(-1));
    host_.popupMenu(menu);
}

void SimulatorApp::onCommand(int id) {
    if (id >= CMD_PLACE_TRAIN &&
        id < CMD_PLACE_TRAIN + static_cast<int>(std::size(PLACEABLE_TRAINS))) {
        if (placeTrainAtSelection(PLACEABLE_TRAINS[id - CMD_PLACE_TRAIN]))
            redraw();
        return;
    }
    if (id >= CMD_TRAIN_SPEED && id <= CMD_TRAIN_SPEED + SPEED_REVERSE) {
        setTrainSpeed(-1, id - CMD_TRAIN_SPEED, false);
        return;
    }
    switch (id) {
    case CMD_SHOW:
        show(false);
        shownByUser = true;
        return;
    case CMD_HIDE:
        if (!host_.hasTrayIcon()) {
            withdraw();
            return;
        }
        hide();
        shownByUser = false;
        return;
    case CMD_CLOSE:
        host_.quit(0);
        return;
    case CMD_ABOUT:
        showMessage(MessageIcon::Information, ABOUT_FORMAT, PROGRAM_NAME, PROGRAM_VERSION,
                    ABOUT_AUTHOR, ABOUT_DATE);
        return;
    case CMD_EXPORT:
        exportLayout();
        return;
    case CMD_STICK_SENSOR:
        stickSelectedSensor();
        return;
    case CMD_REMOVE_TRAIN:
        if (removeSelectedTrain())
            redraw();
        return;
    default:
        return;
    }
}

void SimulatorApp::onTrayEvent(TrayEvent event) {
    bool visible = host_.isWindowVisible();
    if (event == TrayEvent::LeftButtonDown) {
        onCommand(visible ? CMD_HIDE : CMD_SHOW);
        return;
    }
    PopupMenu menu;
    buildTrayMenu(menu, visible);
    host_.popupMenu(menu);
}

void SimulatorApp::exportLayout() {
    int index = activeLayoutIndex();
    char path[PATH_CAPACITY];
    formatExportName(path, sizeof path, index);
    if (!host_.saveFileDialog(exportDialogRequest(), path, sizeof path))
        return;
    path[sizeof path - 1] = '\0';
    if (!exportRawLayout(path, index))
        showMessage(MessageIcon::Error, "failed to export track data to %s", path);
}

} // namespace quillon
