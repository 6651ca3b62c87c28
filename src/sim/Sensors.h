// Whether a contact reads as triggered, firing sensors by hand, and
// sticking them.
#pragma once

#include "track/Layouts.h"

#include <cstdint>

namespace quillon {

struct World;

// True when contact n (0..495) of the active layout reads as triggered now:
// it is stuck, or a train stands within 4 units past a sensor node that
// reports n for the way the train leaves it. Any other n reads false.
bool isSensorTriggered(const World& world, std::int32_t n);

// Sets in bits every contact of the active layout that reads as triggered
// now, in one pass over the trains: for reports that read many contacts.
void addTriggeredContacts(const World& world, ContactBits& bits);

// The user fires the sensor node the given way (WAY_AHEAD or WAY_BEHIND):
// its contact for that way is latched (SensorFired). A node that is no
// sensor, or reports nothing that way, does nothing.
void fireSensor(World& world, NodeRef node, int way);

// True when the selected node is a sensor shown as stuck on the active
// layout.
bool isSelectedSensorStuck(const World& world);

// Sticks the contacts of the sensor node on its own layout: they read as
// triggered until unstuck. A node that is no sensor changes nothing.
void stickSensor(World& world, NodeRef node);

// Sticks the contacts of the selected node when it is a sensor, or unsticks
// them when it shows as stuck, on the active layout.
void stickSelectedSensor(World& world);

} // namespace quillon
