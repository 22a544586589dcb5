#include "storage/IniDocument.h"

#include "storage/TextCodec.h"

#include <algorithm>

// How the document is kept, for files of 10,000 reminders (more than
// 100,000 lines) and their deletes (which rewrite ten thousands of values):
// - a Line holds offsets into its text rather than views, which keeps the
//   record at 32 bytes;
// - texts written are packed into chunks of kOwnedChunk bytes instead of
//   one allocation each;
// - a section longer than kLinearScanLimit lines gets a hash index of its
//   keys, so that a huge section cannot make every lookup slow.

namespace kelvo {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr size_t kLinearScanLimit = 16;
// Size of the chunks that hold the texts written.
constexpr size_t kOwnedChunk = 64 * 1024;

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

IniDocument::Line::Line(std::string_view text)
    : data(text.data()), size(static_cast<uint32_t>(text.size())), keyBegin(kNoKey), keySize(0),
      valueBegin(0), valueSize(0) {
    const size_t eq = text.find('=');
    if (eq == std::string_view::npos || trim(text).front() == ';')
        return;
    const auto offset = [&text](std::string_view part) {
        return static_cast<uint32_t>(part.data() - text.data());
    };
    const std::string_view key = trim(text.substr(0, eq));
    const std::string_view value = trim(text.substr(eq + 1));
    keyBegin = offset(key);
    keySize = static_cast<uint32_t>(key.size());
    valueBegin = offset(value);
    valueSize = static_cast<uint32_t>(value.size());
}

void IniDocument::parse(std::string bytes) {
    m_lines.clear();
    m_preambleCount = 0;
    m_sections.clear();
    m_sectionIndex.clear();
    m_recent = {kNoSection, kNoSection};
    m_owned.clear();
    m_ownedFree = {};
    m_ownedBytes = 0;
    m_bytes = std::move(bytes);
    std::string_view rest = m_bytes;
    m_lines.reserve(std::count(rest.begin(), rest.end(), '\n') + 1);
    Section* current = nullptr;
    const auto lineCount = [this] { return static_cast<uint32_t>(m_lines.size()); };
    while (!rest.empty()) {
        const size_t nl = rest.find('\n');
        std::string_view text = rest.substr(0, nl);
        rest.remove_prefix(nl == std::string_view::npos ? rest.size() : nl + 1);
        if (text.ends_with('\r'))
            text.remove_suffix(1);
        if (const auto name = headerName(text)) {
            current = &m_sections.emplace_back(Section{text, *name, lineCount(), 0, false, {}, {}});
        } else {
            m_lines.emplace_back(text);
            ++(current ? current->count : m_preambleCount);
        }
    }
    // Indexed once all sections are known, in one table of the final size.
    m_sectionIndex.reserve(m_sections.size());
    for (uint32_t i = 0; i < m_sections.size(); ++i)
        m_sections[i].shadowed = !m_sectionIndex.insert(m_sections[i].name, i, sectionName());
}

std::span<const IniDocument::Line> IniDocument::linesOf(const Section& section) const {
    if (section.grown)
        return *section.grown;
    return std::span(m_lines).subspan(section.first, section.count);
}

std::vector<IniDocument::Line>& IniDocument::grownLines(Section& section) {
    if (!section.grown) {
        const auto lines = linesOf(section);
        section.grown = std::make_unique<std::vector<Line>>(lines.begin(), lines.end());
    }
    return *section.grown;
}

std::string IniDocument::serialize() const {
    std::string out;
    out.reserve(m_bytes.size() + m_ownedBytes + 64);
    const auto put = [&out](std::string_view text) {
        out.append(text);
        out.append(kLineEnd);
    };
    for (const Line& line : std::span(m_lines).first(m_preambleCount))
        put(line.text());
    for (const Section& s : m_sections) {
        put(s.header);
        for (const Line& line : linesOf(s))
            put(line.text());
    }
    // A GB18030 text can be valid UTF-8 by chance; a comment line that is
    // not keeps the file from being read as UTF-8. Comments belong to no
    // section or key, so readers of the keys see the file as it was.
    if (isUtf8File(out)) {
        static const std::string note = encodeFileText("; 本文件的编码为 GB18030") + "\r\n";
        out.insert(0, note);
    }
    return out;
}

const IniDocument::Line* IniDocument::findLine(const Section& section, std::string_view key) const {
    const auto lines = linesOf(section);
    if (lines.size() <= kLinearScanLimit) {
        for (const Line& line : lines) {
            if (line.isEntry() && line.keySize == key.size() &&
                caseInsensitiveEqual(line.key(), key))
                return &line;
        }
        return nullptr;
    }
    const auto keyOf = [lines](uint32_t i) { return lines[i].key(); };
    if (!section.keys) {
        section.keys = std::make_unique<NameTable>();
        for (size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].isEntry())
                section.keys->insert(lines[i].key(), static_cast<uint32_t>(i), keyOf);
        }
    }
    const auto i = section.keys->find(key, keyOf);
    return i ? &lines[*i] : nullptr;
}

uint32_t IniDocument::sectionNumber(std::string_view name) const {
    // Readers ask for several keys of one section in a row, moving an item
    // alternates between two neighbouring sections, and a list load walks
    // the sections in file order: the two sections found last and the ones
    // after them answer those without hashing.
    const auto remember = [this](uint32_t number) {
        if (number != m_recent[0])
            m_recent = {number, m_recent[0]};
        return number;
    };
    for (uint32_t recent : m_recent) {
        if (recent == kNoSection)
            continue;
        for (uint32_t number : {recent, recent + 1}) {
            if (number < m_sections.size() && !m_sections[number].shadowed &&
                caseInsensitiveEqual(m_sections[number].name, name))
                return remember(number);
        }
    }
    const auto number = m_sectionIndex.find(name, sectionName());
    return number ? remember(*number) : kNoSection;
}

const IniDocument::Section* IniDocument::findSection(std::string_view name) const {
    const uint32_t number = sectionNumber(name);
    return number == kNoSection ? nullptr : &m_sections[number];
}

std::optional<std::string_view> IniDocument::find(uint32_t section, std::string_view key) const {
    const Line* line = findLine(m_sections[section], key);
    if (!line)
        return std::nullopt;
    return line->value();
}

std::optional<std::string_view> IniDocument::find(std::string_view section,
                                                  std::string_view key) const {
    const uint32_t number = sectionNumber(section);
    if (number == kNoSection)
        return std::nullopt;
    return find(number, key);
}

std::string_view IniDocument::own(std::initializer_list<std::string_view> pieces) {
    size_t size = 0;
    for (std::string_view piece : pieces)
        size += piece.size();
    if (m_ownedFree.size() < size) {
        const size_t chunk = std::max(kOwnedChunk, size);
        m_owned.push_back(std::make_unique_for_overwrite<char[]>(chunk));
        m_ownedFree = std::span(m_owned.back().get(), chunk);
    }
    char* const text = m_ownedFree.data();
    char* end = text;
    for (std::string_view piece : pieces)
        end = std::copy(piece.begin(), piece.end(), end);
    m_ownedFree = m_ownedFree.subspan(size);
    m_ownedBytes += size;
    return {text, size};
}

std::vector<std::string_view> IniDocument::sectionNames() const {
    std::vector<std::string_view> names;
    names.reserve(m_sections.size());
    for (const Section& s : m_sections)
        names.push_back(s.name);
    return names;
}

std::vector<std::pair<std::string_view, std::string_view>>
IniDocument::entries(std::string_view section) const {
    std::vector<std::pair<std::string_view, std::string_view>> result;
    const Section* s = findSection(section);
    if (!s)
        return result;
    for (const Line& line : linesOf(*s)) {
        if (line.isEntry() && findLine(*s, line.key()) == &line)
            result.emplace_back(line.key(), line.value());
    }
    return result;
}

IniDocument::Section& IniDocument::addSection(std::string_view header, std::string_view name) {
    Section& s = m_sections.emplace_back(Section{header, name, 0, 0, false, {}, {}});
    m_sectionIndex.insert(name, static_cast<uint32_t>(m_sections.size() - 1), sectionName());
    return s;
}

void IniDocument::addLine(Section& section, std::string_view key, std::string_view value) {
    // The new entry goes after the last line that is not blank, so blank
    // lines that separate this section from the next one stay at its end.
    // Every entry lies before that point, so the key index stays valid.
    std::vector<Line>& lines = grownLines(section);
    auto pos = lines.end();
    while (pos != lines.begin() && trim((pos - 1)->text()).empty())
        --pos;
    const auto inserted = lines.emplace(pos, own({key, "=", value}));
    if (section.keys) {
        section.keys->insert(inserted->key(), static_cast<uint32_t>(inserted - lines.begin()),
                             [&lines](uint32_t i) { return lines[i].key(); });
    }
}

bool IniDocument::set(std::string_view section, std::string_view key, std::string_view value) {
    const Section* found = findSection(section);
    if (!found) {
        const std::string_view header = own({"[", section, "]"});
        found = &addSection(header, header.substr(1, section.size()));
    }
    Section& s = const_cast<Section&>(*found);
    Line* line = const_cast<Line*>(findLine(s, key));
    if (!line) {
        addLine(s, key, value);
        return true;
    }
    if (line->value() == value)
        return false;
    // The key keeps the spelling it has in the file.
    *line = Line(own({line->key(), "=", value}));
    return true;
}

} // namespace kelvo
