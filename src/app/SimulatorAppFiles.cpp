// The application's files: the layout exports, the layout file opened into
// the loaded layout and read again when it changes, the switch directions
// copied to the clipboard.
#include "app/SimulatorApp.h"

#include "app/AppTexts.h"
#include "app/LayoutSource.h"
#include "sim/LoadedLayout.h"
#include "track/LayoutFile.h"
#include "track/TrackExport.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace quillon {
namespace {

// A layout file's errors shown at most; the rest are counted.
constexpr std::size_t ERRORS_SHOWN = 20;
// Room for the path the open dialog gives.
constexpr std::size_t OPEN_PATH_CAPACITY = 4096;

} // namespace

void SimulatorApp::exportLayout() {
    int index = world_.layouts.active;
    const Track& track = activeTrack(world_.layouts);
    // The raw dump is the image of a built-in layout's record.
    if (!track.record)
        return;
    char path[PATH_CAPACITY];
    formatExportName(path, sizeof path, index);
    if (!host_.saveFileDialog(exportDialogRequest(), path, sizeof path))
        return;
    path[sizeof path - 1] = '\0';
    char dump[RAW_EXPORT_SIZE];
    formatRawLayout(recordOf(track), dump);
    // A failed export leaves the user's previous file as it was.
    if (!host_.replaceFile(path, dump, sizeof dump))
        showMessage(MessageIcon::Error, "failed to export track data to %s", path);
}

void SimulatorApp::exportLayoutFile() {
    char path[PATH_CAPACITY];
    const char* name =
        world_.layouts.active == LAYOUT_LOADED ? fileNameOf(loadedPath_.c_str()) : nullptr;
    if (name != nullptr)
        std::snprintf(path, sizeof path, "%s", name);
    else
        std::snprintf(path, sizeof path, "track%c.layout", 'a' + world_.layouts.active);
    if (!host_.saveFileDialog(layoutExportDialogRequest(), path, sizeof path))
        return;
    path[sizeof path - 1] = '\0';
    const std::string text = formatNamedLayout(activeTrack(world_.layouts));
    // Nothing to write is a failure too: an empty file is no layout.
    if (text.empty() || !host_.replaceFile(path, text.data(), text.size()))
        showMessage(MessageIcon::Error, "failed to export the layout to %s", path);
}

void SimulatorApp::openLayout() {
    char path[OPEN_PATH_CAPACITY] = {};
    if (!host_.openFileDialog(layoutOpenDialogRequest(), path, sizeof path))
        return;
    path[sizeof path - 1] = '\0';
    if (!loadLayoutFile(path, false))
        return;
    chooseLayout(LAYOUT_LOADED);
    redraw();
}

bool SimulatorApp::loadLayoutFile(const std::string& path, bool keepTrains) {
    // The stamp is taken first: a change made while the file is read is
    // noticed at the next look.
    const FileStamp stamp = host_.fileStamp(path.c_str());
    LayoutSource source;
    std::vector<std::string> errors;
    if (!readLayoutSource(path, cellLength_, source, errors)) {
        showLayoutErrors(errors);
        return false;
    }
    installLoadedLayout(world_, std::move(source.track), keepTrains);
    // A plan opened afresh brings its locos, standing in their blocks.
    for (std::size_t k = 0; !keepTrains && k < source.placements.size(); ++k) {
        const PlanPlacement& loco = source.placements[k];
        const NodeRef block = findNode(world_.layouts, LAYOUT_LOADED, loco.node.c_str());
        if (block.isNode())
            placeTrain(world_, loco.train, block, loco.behind);
    }
    loadedPath_ = path;
    loadedStamp_ = stamp;
    fitLayouts();
    paceMovement();
    if (world_.layouts.active == LAYOUT_LOADED)
        chooseLayout(LAYOUT_LOADED);
    redraw();
    return true;
}

void SimulatorApp::reloadChangedLayout() {
    if (loadedPath_.empty())
        return;
    const FileStamp stamp = host_.fileStamp(loadedPath_.c_str());
    if (stamp == loadedStamp_)
        return;
    // A file that does not load is reported once, until it changes again.
    loadedStamp_ = stamp;
    loadLayoutFile(loadedPath_, true);
}

void SimulatorApp::showLayoutErrors(const std::vector<std::string>& errors) {
    std::string text = "The layout file does not load:";
    const std::size_t shown = std::min(errors.size(), ERRORS_SHOWN);
    for (std::size_t k = 0; k < shown; ++k)
        text += "\n" + errors[k];
    if (errors.size() > shown)
        text += "\nand " + std::to_string(errors.size() - shown) + " more";
    host_.messageBox(text.c_str(), MessageIcon::Error);
}

void SimulatorApp::copySwitchDirections() {
    SwitchText text = formatSwitchDirections(recordOf(activeTrack(world_.layouts)));
    host_.setClipboardText(text.text);
}

} // namespace quillon
