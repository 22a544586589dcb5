#include "kelvoctl/Json.h"

#include <cstdio>

namespace kelvo::ctl {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD

// The length of the well-formed UTF-8 sequence at text[i], 0 when there is none.
size_t utf8Length(std::string_view text, size_t i) {
    const auto byte = [&](size_t j) { return static_cast<unsigned char>(text[j]); };
    const unsigned char lead = byte(i);
    size_t length;
    unsigned char low = 0x80, high = 0xBF; // range of the second byte
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF; // nothing above U+10FFFF
    } else
        return 0;
    if (i + length > text.size() || byte(i + 1) < low || byte(i + 1) > high)
        return 0;
    for (size_t j = i + 2; j < i + length; ++j) {
        if (byte(j) < 0x80 || byte(j) > 0xBF)
            return 0;
    }
    return length;
}

void appendEscaped(std::string& out, char c) {
    switch (c) {
    case '"':
        out += "\\\"";
        return;
    case '\\':
        out += "\\\\";
        return;
    case '\n':
        out += "\\n";
        return;
    case '\r':
        out += "\\r";
        return;
    case '\t':
        out += "\\t";
        return;
    default:
        break;
    }
    if (static_cast<unsigned char>(c) < 0x20) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(c));
        out += buf;
        return;
    }
    out += c;
}

} // namespace

std::string jsonString(std::string_view text) {
    std::string out = "\"";
    for (size_t i = 0; i < text.size();) {
        const size_t length = utf8Length(text, i);
        if (length == 0) {
            out += kReplacement;
            ++i;
        } else if (length == 1) {
            appendEscaped(out, text[i++]);
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
    }
    return out + '"';
}

void JsonObject::name(std::string_view name) {
    if (m_text.size() > 1)
        m_text += ',';
    m_text += jsonString(name);
    m_text += ':';
}

JsonObject& JsonObject::text(std::string_view field, std::string_view value) {
    name(field);
    m_text += jsonString(value);
    return *this;
}

JsonObject& JsonObject::number(std::string_view field, int64_t value) {
    name(field);
    m_text += std::to_string(value);
    return *this;
}

JsonObject& JsonObject::numbers(std::string_view field, const std::vector<int32_t>& values) {
    name(field);
    m_text += '[';
    for (size_t i = 0; i < values.size(); ++i)
        m_text += (i > 0 ? "," : "") + std::to_string(values[i]);
    m_text += ']';
    return *this;
}

JsonObject& JsonObject::boolean(std::string_view field, bool value) {
    name(field);
    m_text += value ? "true" : "false";
    return *this;
}

} // namespace kelvo::ctl
