// Standard input for quillon-ctl serve, one line at a time: with line
// editing and history on a terminal where the system offers them, plain
// otherwise. A line is never held beyond MAX_LINE_LENGTH bytes, so that an
// endless line costs neither memory nor time.
#pragma once

#include "ctl/Statements.h"

#include <string_view>

namespace quillon::ctl {

class LineReader {
public:
    explicit LineReader(bool interactive) : interactive_(interactive) {}
    // The next line in line, valid until the next call.
    LineRead next(std::string_view& line);

private:
    bool interactive_;
    char text_[MAX_LINE_LENGTH + 1] = {};
};

} // namespace quillon::ctl
