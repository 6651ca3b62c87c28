// The pace every program that runs the simulation keeps: the windowed one
// on its timers, the headless one in real or virtual time. Controllers
// written against one behave the same against the other.
#pragma once

namespace quillon {

constexpr int RECONNECT_PERIOD_MS = 1000; // between attempts to reach the controller
constexpr int STEP_PERIOD_MS = 10;        // between read steps, and between movement steps
constexpr int READ_CHUNK = 24;            // bytes decoded at most per read step

} // namespace quillon
