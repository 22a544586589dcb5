#include "editors/MessageSearch.h"

#include <algorithm>

namespace kelvo {
namespace {

// Bytes of multi-byte UTF-8 characters are all 0x80 or above, so lowering
// byte by byte touches only the Latin letters and a byte-wise match is a
// match of whole characters.
char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool containsIgnoringAsciiCase(std::string_view text, std::string_view word) {
    const auto equal = [](char a, char b) { return lowerAscii(a) == lowerAscii(b); };
    return std::search(text.begin(), text.end(), word.begin(), word.end(), equal) != text.end();
}

} // namespace

std::vector<int> findMessages(const std::vector<std::string>& messages, std::string_view word) {
    std::vector<int> rows;
    if (word.empty())
        return rows;
    for (size_t i = 0; i < messages.size(); ++i)
        if (containsIgnoringAsciiCase(messages[i], word))
            rows.push_back(static_cast<int>(i));
    return rows;
}

} // namespace kelvo
