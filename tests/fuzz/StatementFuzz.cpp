// Feeds arbitrary bytes to quillon-ctl's statement reader as standard input
// would bring them: lines read with their length bounded, each parsed. A
// statement never holds more bytes or asks for more answer bytes than its
// buffers take, and a refusal is a terminated line free of control
// characters.
#include "ctl/Statements.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace quillon;
using namespace quillon::ctl;

namespace {

bool soundError(const char (&error)[STATEMENT_ERROR_CAPACITY]) {
    const void* end = std::memchr(error, '\0', sizeof error);
    if (end == nullptr)
        return false;
    for (const char* c = error; c != end; ++c) {
        const auto byte = static_cast<unsigned char>(*c);
        if (byte < 0x20 || byte == 0x7F)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    std::FILE* in = ::fmemopen(const_cast<std::uint8_t*>(data), size, "r");
    if (in == nullptr)
        return 0;
    char line[MAX_LINE_LENGTH + 1];
    std::size_t length = 0;
    while (readLine(in, line, length) == LineRead::Line) {
        if (length > MAX_LINE_LENGTH)
            std::abort();
        Statement statement;
        char error[STATEMENT_ERROR_CAPACITY];
        if (!parseStatement(std::string_view(line, length), statement, error)) {
            if (!soundError(error))
                std::abort();
            continue;
        }
        if (statement.length < 0 || statement.length > MAX_STATEMENT_BYTES)
            std::abort();
        for (CommandSet set : {CommandSet::Basic, CommandSet::Full}) {
            const int answer = answerLength(statement, set);
            if (answer < 0 || answer > MAX_ANSWER_BYTES)
                std::abort();
        }
    }
    std::fclose(in);
    return 0;
}
