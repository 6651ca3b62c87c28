// The window's picture without a window: the frame the windowed program
// shows at the start, drawn into any surface.
#pragma once

#include "app/Options.h"
#include "host/Host.h"

namespace quillon {

// Draws into surface (width x height pixels) the frame of the layout and
// trains the options set up, scaled to that size as the window would be,
// with every sensor's contacts below it. host supplies the font only.
void drawSnapshot(Host& host, Surface& surface, const AppOptions& options, int width, int height);

} // namespace quillon
