#include "app/LinkReading.h"

#include "host/ControllerLink.h"

namespace quillon {

void LinkReading::start(ControllerLink* link) {
    woken_ = link != nullptr && host_.watchLink(link);
    budgetSpent_ = false;
    budget_.used = 0;
    if (woken_)
        host_.stopTimer(TIMER_POLL);
    else
        host_.startTimer(TIMER_POLL, STEP_PERIOD_MS);
}

void LinkReading::stop() {
    if (woken_)
        host_.watchLink(nullptr);
    woken_ = false;
    budgetSpent_ = false;
    host_.stopTimer(TIMER_POLL);
}

void LinkReading::streamClosing() {
    if (woken_)
        host_.watchLink(nullptr);
}

bool LinkReading::wakeBudget(int& budget) {
    if (!woken_ || budgetSpent_)
        return false;
    budget_.renewIfDue(host_.milliseconds());
    budget = budget_.left();
    return true;
}

int LinkReading::tickBudget() {
    budget_.renew(host_.milliseconds());
    return budget_.left();
}

bool LinkReading::afterRead(int count, ControllerLink* link) {
    if (!woken_)
        return count >= 0;
    // A failed stream stays readable; the reconnect check takes over.
    if (count < 0) {
        host_.watchLink(nullptr);
        return false;
    }
    budget_.spend(count);
    // A spent budget leaves the rest to timer 2's next step; wakes would
    // only repeat while bytes wait unread.
    if (budget_.spent()) {
        if (!budgetSpent_) {
            budgetSpent_ = true;
            host_.watchLink(nullptr);
            host_.startTimer(TIMER_POLL, STEP_PERIOD_MS);
        }
        return true;
    }
    if (budgetSpent_) {
        budgetSpent_ = false;
        host_.stopTimer(TIMER_POLL);
        host_.watchLink(link);
        return true;
    }
    // At its end, too, a stream stays readable.
    if (count == 0 && !link->isConnected())
        host_.watchLink(nullptr);
    return true;
}

} // namespace quillon
