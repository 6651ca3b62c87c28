// The application: owns the simulated world, the controller link, the text
// painter and the back buffer, drives the three timers, and holds the whole
// behaviour of the window. It attaches itself to the host once built, so
// the host's events reach it; it answers through the host.
#pragma once

#include "app/Options.h"
#include "host/Host.h"
#include "sim/World.h"

#include <cstdint>
#include <memory>

namespace quillon {

class ControllerLink;
class TextPainter;

constexpr int TIMER_RECONNECT = 1; // 1000 ms, the whole run
constexpr int TIMER_POLL = 2;      // 10 ms while shown
constexpr int TIMER_MOVE = 3;      // 10 ms while shown

class SimulatorApp final : public HostEvents {
public:
    // Builds the application for the host's main window, which exists and is
    // hidden: loads the layouts, applies the options (layout, trains),
    // titles the window, starts timer 1, fits the window to 512 x 320,
    // creates the back buffer, tries to connect, and attaches itself to the
    // host.
    explicit SimulatorApp(Host& host, const AppOptions& options = {});
    // Detaches from the host, closes the link, frees the painter and back
    // buffer, stops the timers and hides the window.
    ~SimulatorApp();
    SimulatorApp(const SimulatorApp&) = delete;
    SimulatorApp& operator=(const SimulatorApp&) = delete;

    // Events from the host.
    void onTimer(int id) override;
    void onSize(bool minimised, int width, int height) override;
    void onPaint() override;
    void onClose() override;
    // Control+C copies the switch directions and is consumed.
    bool onKeyDown(Key key, bool controlDown) override;
    void onPointerMove(int x, int y) override;
    void onButtonDown(int x, int y, PointerButton button) override;
    void onCommand(int id) override;
    void onTrayEvent(TrayEvent event) override;

    // The world the application runs; tools and tests read and arrange it.
    World& world() { return world_; }
    const World& world() const { return world_; }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    bool createBackBuffer();
    void chooseLayout(int index);
    void rescale(int width, int height);
    void redraw();
    void show(bool handFocusBack);
    void hide();
    // What Hide, the close box and minimising do: hide the window, or, with
    // no tray icon to bring it back, minimise it and keep it running.
    void withdraw();
    bool reconnectTick();
    bool pollController();
    void moveTick();
    void paint();
    // Sets the outer size so that the client area is width_ x height_.
    void fitWindowToClientSize();
    // The export command: save dialog, then the raw dump of the active
    // layout; a failed export is reported.
    void exportLayout();
    void copySwitchDirections();
    // Plays the sounds and writes the reports the world recorded, in order,
    // and empties its event log.
    void carryOutEvents();
    // Formats the text (at most 511 characters) into a message box.
    void showMessage(MessageIcon icon, const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 3, 4)))
#endif
        ;

    Host& host_;
    World world_;
    int width_;
    int height_;
    bool shownByUser_ = false;       // the user chose Show (true) or Hide (false)
    std::uint32_t lastMoveTime_ = 0; // of the previous movement step; 0 before the first
    Surface* backBuffer_ = nullptr;
    std::unique_ptr<ControllerLink> link_;
    std::unique_ptr<TextPainter> painter_;
};

} // namespace quillon
