// Integer parsing of profile files against a plain second reading of the
// same rules.
#include "FuzzSupport.h"

#include "storage/IniFile.h"

#include <optional>

using namespace kelvo;

namespace {

// Spaces, a sign, then decimal digits or hexadecimal ones after "$", "x",
// "X", "0x" or "0X" to the end; decimal within 32 bits signed, hexadecimal
// within 32 bits as a pattern; the sign applied last.
std::optional<int32_t> reference(std::string_view t) {
    size_t i = t.find_first_not_of(' ');
    if (i == std::string_view::npos)
        return std::nullopt;
    t.remove_prefix(i);
    bool negative = false;
    if (!t.empty() && (t[0] == '+' || t[0] == '-')) {
        negative = t[0] == '-';
        t.remove_prefix(1);
    }
    int base = 10;
    if (t.starts_with("0x") || t.starts_with("0X")) {
        base = 16;
        t.remove_prefix(2);
    } else if (t.starts_with("$") || t.starts_with("x") || t.starts_with("X")) {
        base = 16;
        t.remove_prefix(1);
    }
    if (t.empty())
        return std::nullopt;
    long double value = 0; // wide enough to see any overflow
    for (char c : t) {
        int d = c >= '0' && c <= '9'                 ? c - '0'
                : base == 16 && c >= 'a' && c <= 'f' ? c - 'a' + 10
                : base == 16 && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                     : -1;
        if (d < 0)
            return std::nullopt;
        value = value * base + d;
        if (value > 4294967295.0L)
            return std::nullopt;
    }
    if (base == 10) {
        const long double signedValue = negative ? -value : value;
        if (signedValue < -2147483648.0L || signedValue > 2147483647.0L)
            return std::nullopt;
        return static_cast<int32_t>(static_cast<int64_t>(signedValue));
    }
    const uint32_t pattern = static_cast<uint32_t>(value);
    return static_cast<int32_t>(negative ? 0u - pattern : pattern);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text = fuzz::bytesOf(data, size);
    const std::optional<int32_t> got = parseIniInteger(text);
    FUZZ_CHECK(got == reference(text));
    if (got) // what the program writes reads back the same
        FUZZ_CHECK(parseIniInteger(std::to_string(*got)) == got);
    return 0;
}
