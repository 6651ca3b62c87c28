#include "track/NamedStatements.h"

namespace quillon {
namespace {

constexpr std::string_view BYTE_ORDER_MARK = "\xEF\xBB\xBF";

// White space between words; a line feed ends the line first.
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

} // namespace

NamedStatements::NamedStatements(std::string_view text) : text_(text) {
    if (text.substr(0, BYTE_ORDER_MARK.size()) == BYTE_ORDER_MARK)
        bomBytes_ = BYTE_ORDER_MARK.size();
}

NamedStatements::LineStart NamedStatements::readLine(std::vector<Word>& words) {
    const std::size_t begin = at_;
    std::size_t end = text_.find('\n', begin);
    if (end == std::string_view::npos)
        end = text_.size();
    at_ = end + 1;
    ++line_;
    std::size_t from = line_ == 1 ? begin + bomBytes_ : begin;
    std::size_t comment = text_.substr(from, end - from).find('#');
    if (comment != std::string_view::npos)
        end = from + comment;
    std::size_t i = from;
    while (i < end && isBlank(text_[i]))
        ++i;
    if (i == end)
        return LineStart::Blank;
    const LineStart start = i == from ? LineStart::Word : LineStart::Indented;
    while (i < end) {
        if (isBlank(text_[i])) {
            ++i;
            continue;
        }
        std::size_t wordEnd = i;
        while (wordEnd < end && !isBlank(text_[wordEnd]))
            ++wordEnd;
        if (words.size() <= static_cast<std::size_t>(MAX_STATEMENT_WORDS))
            words.push_back(
                {text_.substr(i, wordEnd - i), {line_, static_cast<int>(i - begin) + 1}});
        i = wordEnd;
    }
    return start;
}

void NamedStatements::readContinuation(std::vector<Word>& words) {
    while (at_ <= text_.size()) {
        const std::size_t lineAt = at_;
        const int line = line_;
        const std::size_t count = words.size();
        if (readLine(words) == LineStart::Word) {
            words.resize(count);
            at_ = lineAt;
            line_ = line;
            return;
        }
    }
}

NamedStatements::Kind NamedStatements::next(std::vector<Word>& words) {
    words.clear();
    while (at_ <= text_.size()) {
        LineStart start = readLine(words);
        if (start == LineStart::Blank)
            continue;
        readContinuation(words);
        return start == LineStart::Word ? Kind::Statement : Kind::Orphan;
    }
    return Kind::End;
}

} // namespace quillon
