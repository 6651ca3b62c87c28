// The pacer's waits on Windows: the console's control events set an event,
// and one wait watches it, the link's event and the clock.
#include "backends/headless/Pacer.h"

#include <algorithm>
#include <windows.h>

namespace quillon::headless {
namespace {

// The console calls its handlers on a thread of its own, with no context:
// the event they set is made once for the process and never closed.
HANDLE endingEvent = nullptr;

BOOL WINAPI onConsoleControl(DWORD type) {
    SetEvent(endingEvent);
    // The system ends the process as soon as the handler of a closing
    // console, a logoff or a shutdown returns: it waits here instead, while
    // the run ends in order and exits.
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT)
        Sleep(INFINITE);
    return TRUE;
}

// Whole milliseconds until deadline, rounded up so that a wait never ends
// before it; INFINITE for a deadline that never comes.
DWORD msUntil(Pacer::Clock::time_point deadline) {
    if (deadline == Pacer::Clock::time_point::max())
        return INFINITE;
    const auto left = deadline - Pacer::Clock::now();
    if (left <= Pacer::Clock::duration::zero())
        return 0;
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return static_cast<DWORD>(std::min<long long>(ms, INFINITE - 1));
}

} // namespace

Pacer::Pacer(double speed) : start_(Clock::now()), speed_(speed) {
    if (endingEvent == nullptr) {
        endingEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        SetConsoleCtrlHandler(onConsoleControl, TRUE);
    }
    ending_ = endingEvent;
    // Waits end on the millisecond, not on the default 15.6 ms tick.
    timeBeginPeriod(1);
}

Pacer::~Pacer() {
    timeEndPeriod(1);
}

bool Pacer::signalled() const {
    return WaitForSingleObject(ending_, 0) == WAIT_OBJECT_0;
}

Wake Pacer::waitUntil(std::int64_t timeMs, Waitable link, Clock::time_point wakeBy) {
    const Clock::time_point due = wallOf(timeMs);
    const Clock::time_point deadline = std::min(due, wakeBy);
    const HANDLE watched[2] = {ending_, link};
    for (;;) {
        const DWORD woke =
            WaitForMultipleObjects(link != nullptr ? 2 : 1, watched, FALSE, msUntil(deadline));
        if (woke == WAIT_OBJECT_0)
            return Wake::Signal;
        if (woke == WAIT_OBJECT_0 + 1)
            return Wake::Readable;
        if (woke == WAIT_FAILED)
            Sleep(msUntil(deadline)); // nothing to wait on: keep the pace all the same
        const Clock::time_point now = Clock::now();
        if (now >= due)
            return Wake::Due;
        if (now >= wakeBy)
            return Wake::Later;
    }
}

} // namespace quillon::headless
