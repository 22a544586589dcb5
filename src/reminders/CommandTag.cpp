#include "reminders/CommandTag.h"

#include <cstddef>
#include <filesystem>

namespace kelvo {

namespace {

constexpr std::string_view kCommandLineTag = "[cmd:";
constexpr std::string_view kShellOpenTag = "[cmo:";

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// A scheme: a letter, then letters, digits, "+", "-" or ".", then ":". One
// letter is a drive ("C:\…"), not a scheme.
bool hasScheme(std::string_view target) {
    const std::size_t colon = target.find(':');
    if (colon == std::string_view::npos || colon < 2 || !isAsciiLetter(target[0]))
        return false;
    for (const char c : target.substr(1, colon - 1)) {
        if (!isAsciiLetter(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.')
            return false;
    }
    return true;
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

} // namespace

// Every tag appends the whole rest of the message (without any "]") to the command, so a second
// tag repeats its own tail and its kind wins. The scan works on the UTF-8 bytes: "[" and "]"
// never occur inside a multibyte sequence.
std::optional<CommandTag> extractCommand(std::string_view message) {
    CommandTag tag;
    for (std::size_t i = 0; i < message.size(); ++i) {
        const std::string_view rest = message.substr(i);
        if (rest.starts_with(kCommandLineTag)) {
            tag.kind = CommandKind::CommandLine;
        } else if (rest.starts_with(kShellOpenTag)) {
            tag.kind = CommandKind::ShellOpen;
        } else {
            continue;
        }
        for (const char c : rest.substr(kCommandLineTag.size())) {
            if (c != ']') {
                tag.command += c;
            }
        }
    }
    if (tag.command.empty()) {
        return std::nullopt;
    }
    return tag;
}

std::optional<std::string> openTarget(std::string_view target, const std::string& dir) {
    namespace fs = std::filesystem;
    const std::string_view t = trimmed(target);
    if (t.empty())
        return std::nullopt;
    if (hasScheme(t))
        return std::string(t);
    const fs::path path = fs::path(dir) / fs::path(t); // an absolute target replaces dir
    std::error_code ec;
    if (!fs::exists(path, ec))
        return std::nullopt;
    return path.lexically_normal().string();
}

// Outside quotes blanks end a word; a double quote opens a quoted run in which blanks are kept,
// a doubled quote stands for one literal quote and a single quote closes the run. A quoted run
// that is empty still makes a word, so `prog ""` passes one empty argument. Nothing else is
// special: backslashes and shell characters stay as they are.
std::vector<std::string> splitCommandLine(std::string_view line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool inQuotes = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') {
            if (inQuotes && i + 1 < line.size() && line[i + 1] == '"') {
                word += '"';
                ++i;
            } else {
                inQuotes = !inQuotes;
            }
            inWord = true;
        } else if (!inQuotes && isBlank(c)) {
            if (inWord) {
                words.push_back(std::move(word));
                word.clear();
                inWord = false;
            }
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) {
        words.push_back(std::move(word));
    }
    return words;
}

} // namespace kelvo
