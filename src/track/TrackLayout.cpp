#include "track/TrackLayout.h"

#include <cassert>

namespace quillon {

int switchSlot(int number) {
    if (number >= 1 && number <= 18)
        return number - 1;
    return static_cast<int>(static_cast<unsigned>(number) - 135u);
}

bool isSwitchNumber(int n) {
    const int slot = switchSlot(n);
    return isValidSwitchSlot(slot) && switchNumber(slot) == n;
}

TrackNode& sensorNode(TrackLayout& layout, std::uint8_t sensorNumber) {
    assert(sensorNumber < SENSOR_NUMBERS);
    return layout.nodes[layout.sensorNodeIndex[sensorNumber]];
}

const TrackNode& sensorNode(const TrackLayout& layout, std::uint8_t sensorNumber) {
    assert(sensorNumber < SENSOR_NUMBERS);
    return layout.nodes[layout.sensorNodeIndex[sensorNumber]];
}

TrackNode& switchNode(TrackLayout& layout, std::uint8_t slot) {
    assert(slot < SWITCH_SLOTS);
    return layout.nodes[layout.switchNodeIndex[slot]];
}

} // namespace quillon
