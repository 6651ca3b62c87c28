// The application: owns the controller link, the text painter and the back
// buffer, drives the three timers, and holds the whole behaviour of the
// window. Backends deliver the platform's events to it; it answers through
// the Host.
#pragma once

#include "link/CommandDecoder.h"
#include "platform/Host.h"
#include "view/Pointer.h" // BUTTON_LEFT, BUTTON_RIGHT, BUTTON_MIDDLE

#include <cstdint>
#include <memory>

namespace quillon {

class ControllerLink;
class TextPainter;

// Virtual key codes the backends deliver to onKeyDown.
constexpr int KEY_A = 0x41;
constexpr int KEY_B = 0x42;
constexpr int KEY_C = 0x43;
constexpr int KEY_F1 = 0x70;
constexpr int KEY_F2 = 0x71;

constexpr int TIMER_RECONNECT = 1; // 1000 ms, the whole run
constexpr int TIMER_POLL = 2;      // 10 ms while shown
constexpr int TIMER_MOVE = 3;      // 10 ms while shown

enum class TrayEvent { LeftButtonDown, RightButtonDown };

class SimulatorApp {
public:
    // Builds the application for the host's main window, which exists and is
    // hidden: loads the layouts, titles the window, starts timer 1, fits the
    // window to 512 x 320, creates the back buffer and tries to connect.
    explicit SimulatorApp(Host& host);
    // Closes the link, frees the painter and back buffer, stops the timers
    // and hides the window.
    ~SimulatorApp();
    SimulatorApp(const SimulatorApp&) = delete;
    SimulatorApp& operator=(const SimulatorApp&) = delete;

    // Events from the backend.
    void onTimer(int id);
    // A size change of the client area; also serves the size events that
    // arrive before the application exists (through rescale).
    void onSize(bool minimised, int width, int height);
    // Composes the frame and presents it; called inside the paint event.
    void onPaint();
    // The close box.
    void onClose();
    // A key press; true when the key was consumed (Control+C copied the
    // switch directions), false when the platform's default handling applies.
    bool onKeyDown(int virtualKey, bool controlDown);
    void onPointerMove(int x, int y);
    void onButtonDown(int x, int y, int button);
    // A chosen menu entry.
    void onCommand(int id);
    void onTrayEvent(TrayEvent event);

    // Operations.
    bool createBackBuffer();
    void clearWindow();
    static void rescale(int width, int height);
    void chooseLayout(int index);
    void redraw();
    void show(bool handFocusBack);
    void hide();
    bool reconnectTick();
    bool pollController();
    void moveTick();
    bool decode(const std::uint8_t* bytes, int count);
    void sendReport();
    void paint();

    int width() const { return width_; }
    int height() const { return height_; }

private:
    // Sets the outer size so that the client area is width_ x height_.
    void fitWindowToClientSize();
    // What Hide, the close box and minimising do: hide the window, or, with
    // no tray icon to bring it back, minimise it and keep it running.
    void withdraw();
    // The export command: save dialog, then the raw dump of the active
    // layout; a failed export is reported.
    void exportLayout();

    int width_;
    int height_;
    Host& host_;
    Surface* backBuffer_;
    std::unique_ptr<ControllerLink> link_;
    std::unique_ptr<TextPainter> painter_;
    CommandDecoder decoder_;
};

// The one application, set when its constructor has returned; nullptr before.
extern SimulatorApp* application;
// The user chose Show (true) or Hide (false) from a menu.
extern bool shownByUser;
// Time of the previous movement step, milliseconds; 0 before the first.
extern std::uint32_t lastMoveTime;

} // namespace quillon
