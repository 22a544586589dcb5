#include "storage/IniFile.h"

#include <algorithm>

namespace kelvo {
namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The magnitude of a digit string that must run to the end of the text, or
// nullopt when it is empty, holds another character or exceeds `limit`.
std::optional<uint64_t> parseDigits(std::string_view digits, unsigned base, uint64_t limit) {
    if (digits.empty())
        return std::nullopt;
    uint64_t value = 0;
    for (char c : digits) {
        const int d = hexDigit(c);
        if (d < 0 || static_cast<unsigned>(d) >= base)
            return std::nullopt;
        value = value * base + static_cast<unsigned>(d);
        if (value > limit)
            return std::nullopt;
    }
    return value;
}

// The digits after a hexadecimal prefix, or nullopt when there is no prefix.
std::optional<std::string_view> afterHexPrefix(std::string_view text) {
    if (!text.empty() && text.front() >= '1' && text.front() <= '9')
        return std::nullopt; // decimal, the form the program writes
    for (std::string_view prefix : {"0x", "0X", "$", "x", "X"}) {
        if (text.starts_with(prefix))
            return text.substr(prefix.size());
    }
    return std::nullopt;
}

} // namespace

bool parseIniInteger(std::string_view text, int32_t& result) {
    // Fast path for what the program writes itself: a short unsigned decimal.
    if (!text.empty() && text.size() <= 9 &&
        std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        int32_t value = 0;
        for (char c : text)
            value = value * 10 + (c - '0');
        result = value;
        return true;
    }
    while (text.starts_with(' '))
        text.remove_prefix(1);
    const bool negative = text.starts_with('-');
    if (negative || text.starts_with('+'))
        text.remove_prefix(1);
    uint32_t pattern = 0;
    if (const auto hex = afterHexPrefix(text)) {
        // Up to 32 bits, read as a two's complement pattern.
        const auto value = parseDigits(*hex, 16, UINT32_MAX);
        if (!value)
            return false;
        pattern = static_cast<uint32_t>(*value);
    } else {
        const auto value = parseDigits(text, 10, negative ? 2147483648u : 2147483647u);
        if (!value)
            return false;
        pattern = static_cast<uint32_t>(*value);
    }
    // The sign is applied last, in 32-bit wrap-around arithmetic.
    if (negative)
        pattern = 0u - pattern;
    result = static_cast<int32_t>(pattern);
    return true;
}

} // namespace kelvo
