#include "core/VisibleText.h"

#include <cstdint>
#include <cstdio>

namespace kelvo {
namespace {

constexpr char32_t kInvalid = 0xFFFD;
constexpr size_t kLongestShownRun = 3;

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes the code point at `i` and moves `i` past it; a byte that starts
// no well-formed sequence decodes as U+FFFD and is passed alone.
char32_t decode(std::string_view s, size_t& i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    size_t length = lead < 0x80           ? 1
                    : (lead >> 5) == 0x6  ? 2
                    : (lead >> 4) == 0xE  ? 3
                    : (lead >> 3) == 0x1E ? 4
                                          : 0;
    if (length == 1 || length == 0 || i + length > s.size()) {
        ++i;
        return length == 1 ? lead : kInvalid;
    }
    char32_t c = lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            ++i;
            return kInvalid;
        }
        c = (c << 6) | (byte(i + k) & 0x3F);
    }
    constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kShortest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++i;
        return kInvalid;
    }
    i += length;
    return c;
}

bool isBlank(char32_t c) {
    return c == U' ' || c == 0xA0 || c == 0x3000 || (c >= 0x2000 && c <= 0x200A) || c == 0x202F ||
           c == 0x205F;
}

// Characters that are not drawn but change what is drawn around them.
bool isInvisibleFormat(char32_t c) {
    return (c >= 0x80 && c <= 0x9F) || c == 0xAD || c == 0x061C || (c >= 0x200B && c <= 0x200F) ||
           (c >= 0x2028 && c <= 0x202E) || (c >= 0x2060 && c <= 0x2069) || c == 0xFEFF;
}

void appendCodeName(std::string& out, char32_t c) {
    char name[16];
    std::snprintf(name, sizeof name, "<U+%04X>", static_cast<unsigned>(c));
    out += name;
}

void appendBlankRun(std::string& out, std::string_view run, size_t blanks) {
    if (blanks <= kLongestShownRun) {
        out += run;
        return;
    }
    out += "␣×";
    out += std::to_string(blanks);
}

} // namespace

void appendVisibleText(std::string& out, std::string_view utf8) {
    size_t runStart = 0, blanks = 0;
    for (size_t i = 0; i < utf8.size();) {
        const size_t at = i;
        const char32_t c = decode(utf8, i);
        if (isBlank(c)) {
            if (blanks++ == 0)
                runStart = at;
            continue;
        }
        if (blanks > 0) {
            appendBlankRun(out, utf8.substr(runStart, at - runStart), blanks);
            blanks = 0;
        }
        if (c < 0x20)
            appendUtf8(out, 0x2400 + c);
        else if (c == 0x7F)
            appendUtf8(out, 0x2421);
        else if (isInvisibleFormat(c))
            appendCodeName(out, c);
        else if (c == kInvalid)
            appendUtf8(out, kInvalid);
        else
            out.append(utf8.substr(at, i - at));
    }
    if (blanks > 0)
        appendBlankRun(out, utf8.substr(runStart), blanks);
}

std::string visibleText(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    appendVisibleText(out, utf8);
    return out;
}

} // namespace kelvo
