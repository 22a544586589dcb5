#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/NameTable.h"

namespace kelvo {

// The lines of a profile file in memory, indexed by section and key name.
// Everything here is in the file's own bytes; the caller converts texts.
//
// Lines the syntax does not give a meaning to (blank lines, comments, lines
// without "=", a "[" line without "]") are kept, so that a file that is
// only partly changed is written back with the rest byte for byte. The first
// occurrence of a section or key wins; later ones are kept but never seen.
class IniDocument {
public:
    // Replaces the content with the lines of `bytes`. A leading UTF-8
    // byte-order mark is set aside so the first section header still parses,
    // and is written back in front of the file; the text after it is still
    // read in the file encoding.
    void parse(std::string bytes);
    // The whole file, every line ending with CR LF.
    std::string serialize() const;

    // The value of the key, or nullopt when the section or key is missing.
    std::optional<std::string_view> find(std::string_view section, std::string_view key) const;
    // Stores the value: in place when the key exists, else as a new last
    // entry of the section (appended to the file when it is new). Returns
    // false when the key already held exactly this value.
    bool set(std::string_view section, std::string_view key, std::string_view value);

    int sectionCount() const { return static_cast<int>(m_sections.size()); }

    // Whether texts of replaced values take enough memory that parsing the
    // stored file again is worth it.
    bool holdsMuchReplacedText() const { return m_ownedBytes > m_bytes.size() / 2 + 65536; }

private:
    struct Line {
        std::string_view text;
        std::string_view key;   // trimmed; data() is null for a line that is no entry
        std::string_view value; // trimmed
        bool isEntry() const { return key.data() != nullptr; }
    };
    struct Section {
        std::string_view header; // the "[name]" line as in the file
        std::string_view name;
        std::vector<Line> lines;
        // Key index, built once the section is too long for a linear scan.
        mutable NameTable keys;
    };

    static Line makeLine(std::string_view text);
    const Section* findSection(std::string_view name) const;
    const Line* findLine(const Section& section, std::string_view key) const;
    Section& addSection(std::string_view header, std::string_view name);
    auto sectionName() const {
        return [this](uint32_t i) { return m_sections[i].name; };
    }
    void addLine(Section& section, std::string_view key, std::string_view value);
    std::string_view own(std::string text);

    // Text storage. Views point into m_bytes or m_owned; both only grow
    // until the next parse, so every view stays valid until then.
    std::string m_bytes;
    std::deque<std::string> m_owned;
    size_t m_ownedBytes = 0;
    bool m_bom = false;
    std::vector<Line> m_preamble; // lines before the first section
    std::vector<Section> m_sections;
    NameTable m_sectionIndex;
    static constexpr uint32_t kNoSection = UINT32_MAX;
    mutable std::array<uint32_t, 2> m_recent{kNoSection, kNoSection}; // newest first
};

} // namespace kelvo
