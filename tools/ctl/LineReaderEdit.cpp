// Lines with libedit's editing and history on a terminal.
#include "ctl/Ctl.h"
#include "ctl/LineReader.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <editline/readline.h>
#include <unistd.h>

namespace quillon::ctl {

bool inputIsTerminal() {
    return ::isatty(STDIN_FILENO) != 0;
}

LineRead LineReader::next(std::string_view& line) {
    if (!interactive_) {
        std::size_t length = 0;
        const LineRead read = readLine(stdin, text_, length);
        line = std::string_view(text_, length);
        return read;
    }
    char* got = ::readline("quillon> ");
    if (got == nullptr)
        return LineRead::End;
    const std::size_t length = std::strlen(got);
    const bool fits = length <= MAX_LINE_LENGTH;
    if (fits) {
        std::memcpy(text_, got, length + 1);
        if (length > 0)
            ::add_history(text_);
    }
    std::free(got);
    line = std::string_view(text_, fits ? length : 0);
    return fits ? LineRead::Line : LineRead::TooLong;
}

} // namespace quillon::ctl
