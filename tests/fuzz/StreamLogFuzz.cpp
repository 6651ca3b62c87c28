// Runs the tap's stream decoder over an arbitrary conversation. The first
// byte chooses the command set and the log's form; then each piece is a
// header byte (the top bit: from the simulator; the rest: how many bytes
// follow, and how far the clock moves) and its bytes. The decoder must keep
// a bounded number of requests waiting whatever the two sides say.
#include "ctl/StreamLog.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace quillon;
using namespace quillon::ctl;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static std::FILE* out = std::fopen("/dev/null", "w");
    if (size == 0 || out == nullptr)
        return 0;
    StreamLog log(out, (data[0] & 2) != 0,
                  (data[0] & 1) != 0 ? CommandSet::Full : CommandSet::Basic);
    double seconds = 0;
    for (std::size_t at = 1; at < size;) {
        const std::uint8_t header = data[at++];
        const bool fromSimulator = (header & 0x80) != 0;
        const std::size_t count = std::min<std::size_t>(header & 0x7F, size - at);
        seconds += (header & 0x0F) * 0.125;
        if (fromSimulator)
            log.fromSimulator(data + at, static_cast<int>(count), seconds);
        else
            log.fromController(data + at, static_cast<int>(count), seconds);
        at += count;
        if (log.awaiting() < 0 || log.awaiting() > StreamLog::MAX_AWAITED)
            std::abort();
        if ((header & 0x7F) == 0x7F)
            log.reset();
    }
    return 0;
}
