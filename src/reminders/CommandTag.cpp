#include "reminders/CommandTag.h"

#include <cstddef>

namespace kelvo {

namespace {

constexpr std::string_view kCommandLineTag = "[cmd:";
constexpr std::string_view kShellOpenTag = "[cmo:";

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
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
