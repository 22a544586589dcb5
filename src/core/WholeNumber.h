#pragma once

#include <charconv>
#include <optional>
#include <string_view>
#include <system_error>

namespace kelvo {

// The decimal number that `text` is, whole (no sign but '-', nothing
// before or after it); nullopt for anything else or a value out of range.
template <typename Number> std::optional<Number> parseWholeNumber(std::string_view text) {
    Number value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc{} || ptr != end)
        return std::nullopt;
    return value;
}

} // namespace kelvo
