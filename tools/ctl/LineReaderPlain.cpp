// Plain lines, with a prompt on a console: the console's own line editing
// is all there is.
#include "ctl/Ctl.h"
#include "ctl/LineReader.h"

#include <cstdio>
#include <io.h>

namespace quillon::ctl {

bool inputIsTerminal() {
    return _isatty(_fileno(stdin)) != 0;
}

LineRead LineReader::next(std::string_view& line) {
    if (interactive_) {
        std::fputs("quillon> ", stdout);
        std::fflush(stdout);
    }
    std::size_t length = 0;
    const LineRead read = readLine(stdin, text_, length);
    line = std::string_view(text_, length);
    return read;
}

} // namespace quillon::ctl
