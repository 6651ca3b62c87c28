// [x] SIGINT, SIGTERM and SIGHUP end the event loop with exit code 0
//
// Lets a terminal's Control+C, a service manager or a test end the program
// the way the Close command does, so that the link is closed and everything
// is torn down in order. The signal handler only writes a byte into a pipe;
// the quit happens on the GUI thread.
#pragma once

#include <memory>

class QSocketNotifier;

namespace quillon {

class Host;

class QuitOnSignal {
public:
    // One instance at a time; the handlers are restored on destruction.
    explicit QuitOnSignal(Host& host);
    ~QuitOnSignal();
    QuitOnSignal(const QuitOnSignal&) = delete;
    QuitOnSignal& operator=(const QuitOnSignal&) = delete;

private:
    int pipe_[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace quillon
