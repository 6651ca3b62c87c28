// The application: owns the simulated world, the controller link, the text
// painter and the back buffer, drives the three timers, and holds the whole
// behaviour of the window. It attaches itself to the host once built, so
// the host's events reach it; it answers through the host.
#pragma once

#include "app/FrameComposer.h"
#include "app/LinkReading.h"
#include "app/MovementPacing.h"
#include "app/Options.h"
#include "host/Host.h"
#include "protocol/CommandDecoder.h"
#include "sim/World.h"
#include "track/LayoutText.h"
#include "view/NamePlan.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quillon {

class ControllerLink;
class TextPainter;

constexpr int TIMER_RECONNECT = 1; // 1000 ms, the whole run; timers 2 and 3 belong to the parts

class SimulatorApp final : public HostEvents {
public:
    // Builds the application for the host's main window, which exists and is
    // hidden: loads the layouts, applies the options (layout, trains),
    // titles the window, starts timer 1, keeps the window at least 204 x
    // 128, fits it to 512 x 320, creates the back buffer, tries to connect,
    // and attaches itself to the host.
    explicit SimulatorApp(Host& host, const AppOptions& options = {});
    // Detaches from the host, closes the link, frees the painter and back
    // buffer, stops the timers and hides the window.
    ~SimulatorApp();
    SimulatorApp(const SimulatorApp&) = delete;
    SimulatorApp& operator=(const SimulatorApp&) = delete;

    // Events from the host.
    void onTimer(int id) override;
    // A new client size: the layouts are scaled to it (never below 204 x
    // 128), the back buffer and still image take that size, and the whole
    // frame is composed afresh.
    void onSize(bool minimised, int width, int height) override;
    void onPaint() override;
    void onClose() override;
    // Control+C copies the switch directions and is consumed.
    bool onKeyDown(Key key, bool controlDown) override;
    void onPointerMove(int x, int y) override;
    void onButtonDown(int x, int y, PointerButton button) override;
    void onCommand(int id) override;
    void onTrayEvent(TrayEvent event) override;
    // Reads what waits, within the budget of READ_CHUNK bytes per
    // STEP_PERIOD_MS; what is left is read by timer 2 a step later.
    void onLinkReadable() override;

    // The world the application runs; tools and tests read and arrange it.
    World& world() { return world_; }
    const World& world() const { return world_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // The names each layout shows, planned when the layouts were scaled.
    const NamePlan& names() const { return names_; }

private:
    // The built-in layouts and what the options choose: layout, trains,
    // command set, a layout file to watch.
    void takeOptions(const AppOptions& options);
    // Title, reconnect timer, the window hidden at its start size, the
    // layouts scaled to it and the frames made.
    void setUpWindow();
    // Shown at once when the controller is there, or, with no tray icon to
    // show it later, as if the user had chosen Show.
    void appear();
    void chooseLayout(int index);
    // Scales every layout to width_ x height_ and plans their names.
    void fitLayouts();
    // Makes width x height, at least the minimum size, the size of the
    // frame.
    void resize(int width, int height);
    // Places the train on the selected node, if one is.
    void placeAtSelection(std::int32_t number, bool behind);
    void redraw();
    void show(bool handFocusBack);
    void hide();
    // What Hide, the close box and minimising do: hide the window, or, with
    // no tray icon to bring it back, minimise it and keep it running.
    void withdraw();
    bool reconnectTick();
    // One read step: at most budget bytes decoded; false when the read failed.
    bool readStep(int budget);
    // Decodes at most budget waiting bytes; how many, or -1 on failure.
    int pollController(int budget);
    // Runs timer 3 exactly while shown and a train is due to move; a train
    // that becomes due counts its first step from that moment.
    void paceMovement();
    void moveTick();
    void paint();
    // Sets the outer size so that the client area is width_ x height_.
    void fitWindowToClientSize();
    // The export command: save dialog, then the raw dump of the active
    // layout; a failed export is reported.
    void exportLayout();
    // The layout export: save dialog, then the active layout as a layout
    // file; a failed export is reported.
    void exportLayoutFile();
    // Open Layout: open dialog, then the file read into the loaded layout,
    // which becomes active; a file that does not load leaves everything as
    // it was and shows why.
    void openLayout();
    // Reads the file into the loaded layout, scaled to the window, keeping
    // the trains on it by their nodes' names when keepTrains; true on
    // success. Otherwise the errors are shown and nothing changes.
    bool loadLayoutFile(const std::string& path, bool keepTrains);
    // Reads the loaded layout's file again when its stamp changed since it
    // was last read (once per change, loaded or not).
    void reloadChangedLayout();
    // A message box with the errors of a layout file that did not load.
    void showLayoutErrors(const std::vector<std::string>& errors);
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

    // Whether the window is up: shown by the user (it stays when the
    // controller goes) or by a connection (it goes with it).
    struct Presence {
        bool shownByUser = false; // the user chose Show (true) or Hide (false)
        bool running = false;     // shown: reads and movement run
    };

    Host& host_;
    World world_;
    CommandDecoder decoder_;
    std::unique_ptr<ControllerLink> link_;
    LinkReading reading_;
    MovementPacing movement_;
    Presence presence_;
    int width_;
    int height_;
    FrameComposer frames_;
    std::unique_ptr<TextPainter> painter_;
    NamePlan names_;
    // The file of the loaded layout (empty while none is loaded), its stamp
    // when it was last read, and the cell length its plan is read with.
    std::string loadedPath_;
    FileStamp loadedStamp_;
    int cellLength_ = 100;
};

} // namespace quillon
