#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
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
    // Replaces the content with the lines of `bytes`, in the file encoding.
    void parse(std::string bytes);
    // The whole file, every line ending with CR LF; never bytes that would
    // be read as UTF-8 (see isUtf8File).
    std::string serialize() const;

    // The value of the key, or nullopt when the section or key is missing.
    std::optional<std::string_view> find(std::string_view section, std::string_view key) const;
    // The number of a section, for several reads of its keys through the
    // overload below, or kNoSection; it stays valid until the next parse.
    // (A plain number: an optional here cost a store-forwarding stall.)
    static constexpr uint32_t kNoSection = UINT32_MAX;
    uint32_t sectionNumber(std::string_view name) const;
    std::optional<std::string_view> find(uint32_t section, std::string_view key) const;
    // Stores the value: in place when the key exists, else as a new last
    // entry of the section (appended to the file when it is new). Returns
    // false when the key already held exactly this value.
    bool set(std::string_view section, std::string_view key, std::string_view value);

    int sectionCount() const { return static_cast<int>(m_sections.size()); }
    // The section names in file order; a name that occurs twice is listed twice.
    std::vector<std::string_view> sectionNames() const;
    // The keys of a section with their values in file order, each key once
    // with the value that find() gives; empty when the section is missing.
    std::vector<std::pair<std::string_view, std::string_view>>
    entries(std::string_view section) const;

    // Whether texts of replaced values take enough memory that parsing the
    // stored file again is worth it.
    bool holdsMuchReplacedText() const { return m_ownedBytes > m_bytes.size() / 2 + 65536; }

private:
    static constexpr uint32_t kNoKey = UINT32_MAX;
    // One line: its text and, for an entry, where the trimmed key and value
    // lie in it.
    struct Line {
        // Splits the text into key and value; a comment, or a line without
        // "=", is no entry.
        explicit Line(std::string_view text);
        const char* data;
        uint32_t size;
        uint32_t keyBegin; // kNoKey for a line that is no entry
        uint32_t keySize;
        uint32_t valueBegin;
        uint32_t valueSize;
        std::string_view text() const { return {data, size}; }
        std::string_view key() const { return {data + keyBegin, keySize}; }
        std::string_view value() const { return {data + valueBegin, valueSize}; }
        bool isEntry() const { return keyBegin != kNoKey; }
    };
    struct Section {
        std::string_view header; // the "[name]" line as in the file
        std::string_view name;
        // The lines as parsed are a range of m_lines; a section that gets a
        // new entry moves its lines into a vector of its own.
        uint32_t first = 0;
        uint32_t count = 0;
        // A later section of a name that occurs before it: never found.
        bool shadowed = false;
        std::unique_ptr<std::vector<Line>> grown;
        // Key index of a long section.
        mutable std::unique_ptr<NameTable> keys;
    };

    std::span<const Line> linesOf(const Section& section) const;
    std::vector<Line>& grownLines(Section& section);
    const Section* findSection(std::string_view name) const;
    const Line* findLine(const Section& section, std::string_view key) const;
    Section& addSection(std::string_view header, std::string_view name);
    auto sectionName() const {
        return [this](uint32_t i) { return m_sections[i].name; };
    }
    void addLine(Section& section, std::string_view key, std::string_view value);
    // Keeps the pieces, joined, as long as the document's texts.
    std::string_view own(std::initializer_list<std::string_view> pieces);

    // Text storage. Views point into m_bytes or m_owned; both only grow
    // until the next parse, so every view stays valid until then.
    std::string m_bytes;
    std::vector<std::unique_ptr<char[]>> m_owned;
    std::span<char> m_ownedFree; // what is left of the last chunk
    size_t m_ownedBytes = 0;
    std::vector<Line> m_lines;    // every line as parsed, in file order
    uint32_t m_preambleCount = 0; // lines before the first section
    std::vector<Section> m_sections;
    NameTable m_sectionIndex;
    mutable std::array<uint32_t, 2> m_recent{kNoSection, kNoSection}; // newest first
};

} // namespace kelvo
