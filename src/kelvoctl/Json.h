#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo::ctl {

// One JSON object on one line, its fields in the order added. Texts are
// UTF-8; a byte sequence that is not UTF-8 becomes U+FFFD, so the output is
// always valid JSON in valid UTF-8.
class JsonObject {
public:
    JsonObject& text(std::string_view name, std::string_view value);
    JsonObject& number(std::string_view name, int64_t value);
    JsonObject& boolean(std::string_view name, bool value);
    JsonObject& numbers(std::string_view name, const std::vector<int32_t>& values); // [1,2]
    // The object, "{...}".
    std::string str() const { return m_text + '}'; }

private:
    void name(std::string_view name);

    std::string m_text = "{";
};

// `text` as a JSON string, quotes included.
std::string jsonString(std::string_view text);

} // namespace kelvo::ctl
