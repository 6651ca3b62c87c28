// [x] SIGINT  [x] SIGTERM  [x] SIGHUP  [x] quit on the GUI thread
#include "backends/qt/QuitOnSignal.h"

#include "host/Host.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace quillon {
namespace {

constexpr int SIGNALS[] = {SIGINT, SIGTERM, SIGHUP};
volatile int signalPipe = -1;

void onSignal(int) {
    int saved = errno;
    char byte = 1;
    if (signalPipe >= 0) {
        ssize_t ignored = ::write(signalPipe, &byte, 1);
        (void)ignored;
    }
    errno = saved;
}

} // namespace

QuitOnSignal::QuitOnSignal(Host& host) {
    if (::pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    signalPipe = pipe_[1];
    notifier_ = std::make_unique<QSocketNotifier>(pipe_[0], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this, &host] {
        char bytes[16];
        while (::read(pipe_[0], bytes, sizeof bytes) > 0) {
        }
        host.quit(0);
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : SIGNALS)
        ::sigaction(signal, &action, nullptr);
}

QuitOnSignal::~QuitOnSignal() {
    for (int signal : SIGNALS)
        std::signal(signal, SIG_DFL);
    signalPipe = -1;
    notifier_.reset();
    for (int fd : pipe_)
        if (fd >= 0)
            ::close(fd);
}

} // namespace quillon
