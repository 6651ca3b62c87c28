#include "sim/InteractionState.h"

namespace quillon {

InteractionState interaction{nullptr, nullptr, nullptr, nullptr, -1, -1};

void resetInteraction() {
    interaction = {nullptr, nullptr, nullptr, nullptr, -1, -1};
}

} // namespace quillon
