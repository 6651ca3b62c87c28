#include "app/Snapshot.h"

#include "app/SimulatorApp.h"
#include "sim/World.h"
#include "view/LayoutPainter.h"
#include "view/LayoutScaling.h"
#include "view/NamePlan.h"
#include "view/Palette.h"
#include "view/TextPainter.h"

#include <memory>

namespace quillon {

void drawSnapshot(Host& host, Surface& surface, const AppOptions& options, int width, int height) {
    // A world is large; it lives on the heap.
    auto world = std::make_unique<World>(makeWorld());
    applyOptions(*world, options);
    world->events.count = 0;
    rescaleLayouts(*world, width, height);
    TextPainter painter(host, FontPurpose::Labels);
    NamePlan names;
    names.plan(world->layouts, &painter);
    surface.fillRect(0, 0, width, height, BLACK);
    drawLayout(surface, &painter, *world, &names);
    drawSensorContacts(surface, &painter, *world);
}

} // namespace quillon
