#include "backends/headless/Pacer.h"

namespace quillon::headless {

Pacer::Clock::time_point Pacer::wallOf(std::int64_t timeMs) const {
    const double ms = static_cast<double>(timeMs) / speed_;
    // Beyond any clock's range: a time that never comes.
    if (ms > 1e15)
        return Clock::time_point::max();
    return start_ + std::chrono::duration_cast<Clock::duration>(
                        std::chrono::duration<double, std::milli>(ms));
}

std::int64_t Pacer::nextStepTime(std::int64_t stepMs) const {
    double elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start_).count();
    return (static_cast<std::int64_t>(elapsed * speed_) / stepMs + 1) * stepMs;
}

} // namespace quillon::headless
