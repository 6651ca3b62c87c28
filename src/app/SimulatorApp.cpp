#include "app/SimulatorApp.h"

#include "app/AppTexts.h"
#include "app/MenuCommands.h"
#include "app/Menus.h"
#include "app/StepTiming.h"
#include "host/ControllerLink.h"
#include "sim/Movement.h"
#include "sim/Sensors.h"
#include "view/LayoutPainter.h"
#include "view/LayoutScaling.h"
#include "view/Palette.h"
#include "view/Pointer.h"
#include "view/TextPainter.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <iterator>

namespace quillon {
namespace {

constexpr int START_WIDTH = 512;
constexpr int START_HEIGHT = 320;
constexpr int MIN_WIDTH = 204;
constexpr int MIN_HEIGHT = 128;

// The sound of an event, if it has one.
bool soundOf(EventKind kind, Sound& sound) {
    switch (kind) {
    case EventKind::SwitchChanged:
        sound = Sound::Switch;
        return true;
    case EventKind::Collision:
        sound = Sound::Collision;
        return true;
    case EventKind::Halt:
        sound = Sound::Halt;
        return true;
    case EventKind::SensorFired:
        sound = Sound::Sensor;
        return true;
    case EventKind::TrainMoved:
        sound = Sound::TrainMoved;
        return true;
    case EventKind::TrainPlaced:
        sound = Sound::TrainPlaced;
        return true;
    default:
        return false;
    }
}

} // namespace

SimulatorApp::SimulatorApp(Host& host, const AppOptions& options)
    : host_(host), world_{}, link_(host.createControllerLink()), reading_(host),
      width_(START_WIDTH), height_(START_HEIGHT), frames_(host) {
    takeOptions(options);
    painter_ = std::make_unique<TextPainter>(host_, FontPurpose::Labels);
    setUpWindow();
    appear();
    host_.attach(this);
}

void SimulatorApp::takeOptions(const AppOptions& options) {
    LoadMessages messages = loadBuiltinLayouts(world_.layouts);
    for (int i = 0; i < messages.count; ++i)
        host_.messageBox(messages.texts[i], MessageIcon::Error);
    decoder_.commandSet = options.commands;
    applyOptions(world_, options);
    cellLength_ = options.cellLength;
    if (options.loadedLayout == nullptr)
        return;
    loadedPath_ = options.layoutPath;
    loadedStamp_ = host_.fileStamp(loadedPath_.c_str());
}

void SimulatorApp::setUpWindow() {
    chooseLayout(world_.layouts.active);
    host_.startTimer(TIMER_RECONNECT, RECONNECT_PERIOD_MS);
    if (host_.isWindowVisible())
        hide();
    host_.setMinimumClientSize(MIN_WIDTH, MIN_HEIGHT);
    fitWindowToClientSize();
    fitLayouts();
    frames_.create(width_, height_);
}

void SimulatorApp::appear() {
    const bool connected = link_ != nullptr && link_->connect();
    if (connected)
        show(true);
    // Without a notification area a hidden window could not be reached
    // again: it starts as if the user had chosen Show.
    if (host_.hasTrayIcon())
        return;
    presence_.shownByUser = true;
    if (!connected)
        show(false);
}

SimulatorApp::~SimulatorApp() {
    if (host_.events() == this)
        host_.attach(nullptr);
    frames_.release();
    reading_.stop();
    if (link_ != nullptr)
        link_->close();
    link_.reset();
    painter_.reset();
    host_.stopTimer(TIMER_RECONNECT);
    hide();
}

void SimulatorApp::fitWindowToClientSize() {
    host_.setOuterSize(width_, height_);
    int clientWidth = 0, clientHeight = 0;
    host_.clientSize(clientWidth, clientHeight);
    host_.setOuterSize(width_ + (width_ - clientWidth), height_ + (height_ - clientHeight));
}

void SimulatorApp::fitLayouts() {
    rescaleLayouts(world_, width_, height_);
    names_.plan(world_.layouts, painter_.get());
}

void SimulatorApp::resize(int width, int height) {
    width = width < MIN_WIDTH ? MIN_WIDTH : width;
    height = height < MIN_HEIGHT ? MIN_HEIGHT : height;
    bool sizeChanged = width != width_ || height != height_;
    width_ = width;
    height_ = height;
    fitLayouts();
    if (sizeChanged)
        frames_.create(width_, height_);
    redraw();
}

void SimulatorApp::chooseLayout(int index) {
    selectLayout(world_.layouts, index);
    char title[TITLE_CAPACITY];
    if (index == LAYOUT_LOADED)
        formatLoadedTitle(title, sizeof title, loadedPath_.c_str());
    else
        formatTitle(title, sizeof title, index);
    host_.setTitle(title);
}

void SimulatorApp::redraw() {
    frames_.invalidateChanges(world_, painter_.get());
}

void SimulatorApp::show(bool handFocusBack) {
    host_.showWindow(handFocusBack);
    presence_.running = true;
    reading_.start(link_.get());
    paceMovement();
}

void SimulatorApp::hide() {
    host_.hideWindow();
    presence_.running = false;
    reading_.stop();
    paceMovement();
}

void SimulatorApp::paceMovement() {
    movement_.pace(host_, trainsDue(world_), presence_.running);
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
    // The stream watched so far is about to close.
    reading_.streamClosing();
    if (!link_->connect())
        return false;
    show(true);
    return true;
}

int SimulatorApp::pollController(int budget) {
    if (link_ == nullptr)
        return -1;
    if (budget <= 0)
        return 0;
    if (budget > READ_CHUNK)
        budget = READ_CHUNK;
    std::uint8_t buffer[READ_CHUNK + 1];
    int count = link_->read(buffer, budget);
    if (count <= 0)
        return count;
    if (count > budget)
        count = budget;
    bool completed = decodeCommands(decoder_, world_, buffer, count);
    carryOutEvents();
    paceMovement();
    if (completed)
        redraw();
    return count;
}

bool SimulatorApp::readStep(int budget) {
    return reading_.afterRead(pollController(budget), link_.get());
}

void SimulatorApp::onLinkReadable() {
    int budget = 0;
    if (!reading_.wakeBudget(budget))
        return;
    if (!readStep(budget) && !presence_.shownByUser)
        hide();
}

void SimulatorApp::moveTick() {
    if (stepTrains(world_, movement_.sinceLastStep(host_))) {
        retestHoveredTrain(world_);
        redraw();
    }
    carryOutEvents();
    movement_.stepTaken(host_);
    paceMovement();
}

void SimulatorApp::paint() {
    frames_.paint(world_, painter_.get(), names_);
}

void SimulatorApp::carryOutEvents() {
    EventLog& log = world_.events;
    for (int i = 0; i < log.count; ++i) {
        const Event& event = log.events[i];
        Sound sound;
        if (soundOf(event.kind, sound))
            host_.playSound(sound);
        if (event.kind == EventKind::ReportSent && link_ != nullptr && event.length > 0)
            link_->write(event.bytes, event.length);
    }
    log.count = 0;
}

void SimulatorApp::showMessage(MessageIcon icon, const char* format, ...) {
    char text[MESSAGE_CAPACITY];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    host_.messageBox(text, icon);
}

void SimulatorApp::onTimer(int id) {
    switch (id) {
    case TIMER_RECONNECT:
        if (!reconnectTick() && !presence_.shownByUser)
            hide();
        reloadChangedLayout();
        return;
    case TIMER_POLL:
        if (!readStep(reading_.tickBudget()) && !presence_.shownByUser)
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
        resize(width, height);
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

bool SimulatorApp::onKeyDown(Key key, bool controlDown) {
    switch (key) {
    case Key::A:
    case Key::F1:
        chooseLayout(LAYOUT_A);
        redraw();
        return false;
    case Key::B:
    case Key::F2:
        chooseLayout(LAYOUT_B);
        redraw();
        return false;
    case Key::C:
        if (!controlDown)
            return false;
        copySwitchDirections();
        return true;
    default:
        return false;
    }
}

void SimulatorApp::onPointerMove(int x, int y) {
    if (updateHoveredTrain(world_, x, y)) {
        redraw();
        return;
    }
    if (updateHoveredNode(world_, x, y))
        redraw();
}

void SimulatorApp::onButtonDown(int, int, PointerButton button) {
    PopupMenu menu;
    bool hit = handleClick(world_, button);
    carryOutEvents();
    paceMovement();
    if (!hit) {
        if (button != PointerButton::Right)
            return;
        buildWindowMenu(menu, world_.layouts.tracks[LAYOUT_LOADED].nodeCount() > 0);
        host_.popupMenu(menu);
        return;
    }
    redraw();
    if (button != PointerButton::Right)
        return;
    std::int32_t train = selectedTrainNumber(world_);
    if (train > 0)
        buildTrainMenu(menu, trainSpeed(world_, train));
    else
        buildPlaceMenu(menu, hoveredNodeIsSensor(world_), isSelectedSensorStuck(world_));
    host_.popupMenu(menu);
}

void SimulatorApp::onCommand(int id) {
    constexpr int PLACEABLE = static_cast<int>(std::size(PLACEABLE_TRAINS));
    if (id >= CMD_PLACE_TRAIN && id < CMD_PLACE_TRAIN + PLACEABLE) {
        placeAtSelection(PLACEABLE_TRAINS[id - CMD_PLACE_TRAIN], false);
        return;
    }
    if (id >= CMD_PLACE_BEHIND && id < CMD_PLACE_BEHIND + PLACEABLE) {
        placeAtSelection(PLACEABLE_TRAINS[id - CMD_PLACE_BEHIND], true);
        return;
    }
    if (id >= CMD_TRAIN_SPEED && id <= CMD_TRAIN_SPEED + SPEED_REVERSE) {
        if (Train* train = selectedTrain(world_))
            setTrainSpeed(world_, *train, id - CMD_TRAIN_SPEED, false);
        paceMovement();
        redraw();
        return;
    }
    switch (id) {
    case CMD_SHOW:
        show(false);
        presence_.shownByUser = true;
        return;
    case CMD_HIDE:
        if (!host_.hasTrayIcon()) {
            withdraw();
            return;
        }
        hide();
        presence_.shownByUser = false;
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
    case CMD_EXPORT_LAYOUT:
        exportLayoutFile();
        return;
    case CMD_OPEN_LAYOUT:
        openLayout();
        return;
    case CMD_SHOW_LOADED:
        if (world_.layouts.tracks[LAYOUT_LOADED].nodeCount() == 0)
            return;
        chooseLayout(LAYOUT_LOADED);
        redraw();
        return;
    case CMD_STICK_SENSOR:
        stickSelectedSensor(world_);
        // A kept frame shows the change only where it is repainted.
        redraw();
        return;
    case CMD_REMOVE_TRAIN:
        if (removeSelectedTrain(world_))
            redraw();
        paceMovement();
        return;
    default:
        return;
    }
}

void SimulatorApp::placeAtSelection(std::int32_t number, bool behind) {
    if (placeTrainAtSelection(world_, number, behind))
        redraw();
    carryOutEvents();
    paceMovement();
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

} // namespace quillon
