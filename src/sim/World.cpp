#include "sim/World.h"

namespace quillon {

World makeWorld(LoadMessages* messages) {
    World world{};
    LoadMessages loaded = loadBuiltinLayouts(world.layouts);
    if (messages != nullptr)
        *messages = loaded;
    return world;
}

} // namespace quillon
