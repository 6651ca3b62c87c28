// How the window reads its controller: woken by the host where it can wake
// the application, else on timer 2, at most READ_CHUNK bytes each step. When
// a woken step's budget is spent, timer 2 reads the rest a step later and
// wakes resume once a step leaves budget over.
#pragma once

#include "app/ReadBudget.h"
#include "host/Host.h"

namespace quillon {

class ControllerLink;

// 10 ms while shown, where the host cannot wake reads; where it can, only
// while a read step's budget is spent and bytes may still wait.
constexpr int TIMER_POLL = 2;

class LinkReading {
public:
    explicit LinkReading(Host& host) : host_(host) {}

    // Reading starts with showing the window and stops with hiding it.
    void start(ControllerLink* link);
    void stop();
    // The link's stream is about to close: wakes for it end.
    void streamClosing();
    // A wake's budget: false when wakes are not read now (the host does not
    // wake, or the step's budget is spent); otherwise the bytes left in the
    // step, which starts afresh when its period has run.
    bool wakeBudget(int& budget);
    // Timer 2's budget: each of its steps starts afresh.
    int tickBudget();
    // After a read step decoded count bytes (-1: the read failed): moves
    // between wakes and timer 2 as the budget says. False when the read
    // failed.
    bool afterRead(int count, ControllerLink* link);

private:
    Host& host_;
    bool woken_ = false;       // the host wakes reads; otherwise timer 2 polls
    bool budgetSpent_ = false; // woken reads wait for timer 2's next step
    ReadBudget budget_;
};

} // namespace quillon
