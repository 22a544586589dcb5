#include "storage/IniDocument.h"

#include <algorithm>

namespace kelvo {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";
// Sections up to this many lines are searched linearly; longer ones get a
// hash index so that a huge section cannot make every lookup slow.
constexpr size_t kLinearScanLimit = 16;

std::string_view trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

// The section name of a "[name]" line, or nullopt for any other line.
std::optional<std::string_view> headerName(std::string_view text) {
    const std::string_view t = trim(text);
    if (t.size() < 2 || t.front() != '[' || t.back() != ']')
        return std::nullopt;
    return trim(t.substr(1, t.size() - 2));
}

} // namespace

IniDocument::Line IniDocument::makeLine(std::string_view text) {
    const std::string_view t = trim(text);
    const size_t eq = text.find('=');
    if (eq == std::string_view::npos || t.front() == ';')
        return Line{text, {}, {}};
    return Line{text, trim(text.substr(0, eq)), trim(text.substr(eq + 1))};
}

void IniDocument::parse(std::string bytes) {
    m_preamble.clear();
    m_sections.clear();
    m_sectionIndex.clear();
    m_recent = {kNoSection, kNoSection};
    m_owned.clear();
    m_ownedBytes = 0;
    m_bytes = std::move(bytes);
    std::string_view rest = m_bytes;
    m_bom = rest.starts_with(kUtf8Bom);
    if (m_bom)
        rest.remove_prefix(kUtf8Bom.size());
    std::vector<Line>* lines = &m_preamble;
    while (!rest.empty()) {
        const size_t nl = rest.find('\n');
        std::string_view text = rest.substr(0, nl);
        rest.remove_prefix(nl == std::string_view::npos ? rest.size() : nl + 1);
        if (text.ends_with('\r'))
            text.remove_suffix(1);
        if (const auto name = headerName(text)) {
            lines = &addSection(text, *name).lines;
        } else {
            lines->push_back(makeLine(text));
        }
    }
}

std::string IniDocument::serialize() const {
    std::string out;
    out.reserve(m_bytes.size() + 64);
    if (m_bom)
        out.append(kUtf8Bom);
    const auto put = [&out](std::string_view text) {
        out.append(text);
        out.append(kLineEnd);
    };
    for (const Line& line : m_preamble)
        put(line.text);
    for (const Section& s : m_sections) {
        put(s.header);
        for (const Line& line : s.lines)
            put(line.text);
    }
    return out;
}

const IniDocument::Line* IniDocument::findLine(const Section& section, std::string_view key) const {
    if (section.lines.size() <= kLinearScanLimit) {
        for (const Line& line : section.lines) {
            if (line.isEntry() && caseInsensitiveEqual(line.key, key))
                return &line;
        }
        return nullptr;
    }
    const auto keyOf = [&section](uint32_t i) { return section.lines[i].key; };
    if (section.keys.empty()) {
        for (size_t i = 0; i < section.lines.size(); ++i) {
            if (section.lines[i].isEntry())
                section.keys.insert(section.lines[i].key, static_cast<uint32_t>(i), keyOf);
        }
    }
    const auto i = section.keys.find(key, keyOf);
    return i ? &section.lines[*i] : nullptr;
}

const IniDocument::Section* IniDocument::findSection(std::string_view name) const {
    // Readers ask for several keys of one section in a row, and moving an
    // item alternates between two sections; the two sections found last
    // answer those without hashing.
    for (uint32_t number : m_recent) {
        if (number != kNoSection && caseInsensitiveEqual(m_sections[number].name, name))
            return &m_sections[number];
    }
    const auto number = m_sectionIndex.find(name, sectionName());
    if (!number)
        return nullptr;
    m_recent = {*number, m_recent[0]};
    return &m_sections[*number];
}

std::optional<std::string_view> IniDocument::find(std::string_view section,
                                                  std::string_view key) const {
    const Section* s = findSection(section);
    if (!s)
        return std::nullopt;
    const Line* line = findLine(*s, key);
    if (!line)
        return std::nullopt;
    return line->value;
}

std::string_view IniDocument::own(std::string text) {
    m_ownedBytes += text.size();
    return m_owned.emplace_back(std::move(text));
}

IniDocument::Section& IniDocument::addSection(std::string_view header, std::string_view name) {
    Section& s = m_sections.emplace_back(Section{header, name, {}, {}});
    m_sectionIndex.insert(name, static_cast<uint32_t>(m_sections.size() - 1), sectionName());
    return s;
}

void IniDocument::addLine(Section& section, std::string_view key, std::string_view value) {
    // The new entry goes after the last line that is not blank, so blank
    // lines that separate this section from the next one stay at its end.
    // Every entry lies before that point, so the key index stays valid.
    auto pos = section.lines.end();
    while (pos != section.lines.begin() && trim((pos - 1)->text).empty())
        --pos;
    const Line line = makeLine(own(std::string(key) + "=" + std::string(value)));
    const auto inserted = section.lines.insert(pos, line);
    if (!section.keys.empty()) {
        section.keys.insert(inserted->key, static_cast<uint32_t>(inserted - section.lines.begin()),
                            [&section](uint32_t i) { return section.lines[i].key; });
    }
}

bool IniDocument::set(std::string_view section, std::string_view key, std::string_view value) {
    const Section* found = findSection(section);
    if (!found) {
        const std::string_view header = own("[" + std::string(section) + "]");
        found = &addSection(header, header.substr(1, section.size()));
    }
    Section& s = const_cast<Section&>(*found);
    Line* line = const_cast<Line*>(findLine(s, key));
    if (!line) {
        addLine(s, key, value);
        return true;
    }
    if (line->value == value)
        return false;
    // The key keeps the spelling it has in the file.
    *line = makeLine(own(std::string(line->key) + "=" + std::string(value)));
    return true;
}

} // namespace kelvo
