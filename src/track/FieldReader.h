// Reading the fields of the layout text format: words and numbers as a
// formatted scan reads them.
#pragma once

#include <cstdint>
#include <limits>

namespace quillon {

inline bool isScanSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The value of a hexadecimal digit, or 99 for any other character.
inline int digitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

// Reads a signed number at p in base 10, or with base 0 in the base its
// prefix names ("0x" hexadecimal, "0" octal). Values beyond the int range
// are held at its limits, and held is set when given. Returns the end of its
// digits, or nullptr (out untouched) when p starts no number.
inline const char* scanNumber(const char* p, int base, std::int32_t& out, bool* held = nullptr) {
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    if (base == 0) {
        base = 10;
        if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && digitValue(p[2]) < 16) {
            base = 16;
            p += 2;
        } else if (p[0] == '0') {
            base = 8;
        }
    }
    if (digitValue(*p) >= base)
        return nullptr;
    constexpr std::int64_t limit = std::int64_t{1} << 32;
    std::int64_t magnitude = 0;
    for (; digitValue(*p) < base; ++p) {
        if (magnitude < limit)
            magnitude = magnitude * base + digitValue(*p);
    }
    std::int64_t value = negative ? -magnitude : magnitude;
    bool beyond = false;
    if (value > std::numeric_limits<std::int32_t>::max()) {
        value = std::numeric_limits<std::int32_t>::max();
        beyond = true;
    }
    if (value < std::numeric_limits<std::int32_t>::min()) {
        value = std::numeric_limits<std::int32_t>::min();
        beyond = true;
    }
    if (held != nullptr)
        *held = beyond;
    out = static_cast<std::int32_t>(value);
    return p;
}

// Reads fields from the text the way a formatted scan does, while the cursor
// moves on by the built-in layouts' own rule: past the run of spaces and line
// feeds after the field's start, then past everything up to the next space or
// line feed. The scan never reads past the terminating NUL.
class FieldReader {
public:
    explicit FieldReader(const char* text) : cursor_(text) {}

    // Reads a word of at most maxChars characters into out (maxChars + 1 bytes).
    bool readWord(char* out, int maxChars) {
        const char* p = skipSpace(cursor_);
        if (*p == '\0')
            return false;
        int n = 0;
        while (*p != '\0' && !isScanSpace(*p) && n < maxChars)
            out[n++] = *p++;
        out[n] = '\0';
        advance();
        return true;
    }

    // Reads a number as scanNumber does.
    bool readNumber(std::int32_t& out, int base) {
        if (scanNumber(skipSpace(cursor_), base, out) == nullptr)
            return false;
        advance();
        return true;
    }

private:
    static const char* skipSpace(const char* p) {
        while (isScanSpace(*p))
            ++p;
        return p;
    }

    void advance() {
        while (*cursor_ == ' ' || *cursor_ == '\n')
            ++cursor_;
        while (*cursor_ != '\0' && *cursor_ != ' ' && *cursor_ != '\n')
            ++cursor_;
    }

    const char* cursor_;
};

} // namespace quillon
