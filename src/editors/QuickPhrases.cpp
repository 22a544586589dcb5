#include "editors/QuickPhrases.h"

#include "core/SystemError.h"
#include "core/UserError.h"
#include "storage/FileIO.h"
#include "storage/TextCodec.h"

#include <cerrno>

namespace kelvo {
namespace {

// One line of a text: its characters and the break that ends it (empty for
// a last line without a break).
struct Line {
    std::string_view text;
    std::string_view lineBreak;
};

// Cuts the line that starts at `pos`; CR LF, a lone CR and a lone LF each
// end a line. Advances `pos` past the break.
Line nextLine(std::string_view text, std::size_t& pos) {
    const std::size_t start = pos;
    const std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
        pos = text.size();
        return {text.substr(start), {}};
    }
    const std::size_t breakLength = text.compare(end, 2, "\r\n") == 0 ? 2 : 1;
    pos = end + breakLength;
    return {text.substr(start, end - start), text.substr(end, breakLength)};
}

// Every line of the text; a break at the very end makes no empty last line.
std::vector<Line> splitLines(std::string_view text) {
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < text.size())
        lines.push_back(nextLine(text, pos));
    return lines;
}

std::string readText(const std::string& path) {
    FileStamp stamp;
    return decodeFile(readWholeFile(path, stamp));
}

} // namespace

std::vector<std::string> loadQuickPhrases(const std::string& path) {
    const std::string text = readText(path);
    std::vector<std::string> phrases;
    for (const Line& line : splitLines(text))
        phrases.emplace_back(line.text);
    return phrases;
}

std::string loadQuickPhraseText(const std::string& path) {
    const std::string text = readText(path);
    std::string uniform;
    uniform.reserve(text.size());
    for (const Line& line : splitLines(text)) {
        uniform += line.text;
        if (!line.lineBreak.empty())
            uniform += "\r\n";
    }
    return uniform;
}

std::string removeEmptyLines(std::string_view text) {
    std::string kept;
    kept.reserve(text.size());
    for (const Line& line : splitLines(text)) {
        if (line.text.empty())
            continue;
        kept += line.text;
        kept += line.lineBreak;
    }
    return kept;
}

void saveQuickPhrases(const std::string& path, std::string_view text) {
    // A list of phrases has no room for a note of its encoding: phrases of
    // rare characters whose GB18030 happens to be valid UTF-8 of CJK text
    // would be read back as UTF-8 (see isUtf8File).
    errno = 0;
    if (replaceFileAtomically(path, encodeFileText(text)))
        return;
    throw UserError(path, cannotWriteText(path, errno));
}

} // namespace kelvo
