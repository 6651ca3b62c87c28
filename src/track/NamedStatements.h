// The statements of the named layout form as words: a statement starts on a
// line that begins with a word and goes on over the lines below that begin
// with white space; '#' starts a comment to the end of the line.
#pragma once

#include "track/LayoutText.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace quillon {

// The most words a statement holds; any more are a mistake.
constexpr int MAX_STATEMENT_WORDS = 64;

struct Word {
    std::string_view text; // never empty, never holds white space or '#'
    SourcePosition at;
};

class NamedStatements {
public:
    // Reads text; a leading UTF-8 byte order mark is no part of it, though
    // columns count its bytes.
    explicit NamedStatements(std::string_view text);

    enum class Kind {
        Statement, // words holds a statement, its first word first
        Orphan,    // words holds lines that continue no statement
        End,       // no words are left
    };

    // The next statement's words, in text order: at most
    // MAX_STATEMENT_WORDS and then the first word beyond them, if any, so
    // that a huge statement takes little memory.
    Kind next(std::vector<Word>& words);

private:
    enum class LineStart { Blank, Word, Indented };

    // Appends the words of the line at at_ and moves past it.
    LineStart readLine(std::vector<Word>& words);

    // Appends the lines that continue the statement.
    void readContinuation(std::vector<Word>& words);

    std::string_view text_;
    std::size_t at_ = 0;       // where the next line begins; beyond the text at its end
    std::size_t bomBytes_ = 0; // the byte order mark's length, skipped on line 1
    int line_ = 0;             // the line last read
};

} // namespace quillon
