// Command tags of reminder messages and the splitting of the command line,
// against a plain reading of the tag rule.
#include "FuzzSupport.h"

#include "reminders/CommandTag.h"

using namespace kelvo;

namespace {

// The tail after every tag, "]" dropped, concatenated; the last tag's kind.
std::optional<CommandTag> reference(std::string_view message) {
    CommandTag tag;
    for (size_t i = 0; i + 5 <= message.size(); ++i) {
        const std::string_view five = message.substr(i, 5);
        if (five != "[cmd:" && five != "[cmo:")
            continue;
        tag.kind = five == "[cmd:" ? CommandKind::CommandLine : CommandKind::ShellOpen;
        for (char c : message.substr(i + 5))
            if (c != ']')
                tag.command.push_back(c);
    }
    if (tag.command.empty())
        return std::nullopt;
    return tag;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view message = fuzz::bytesOf(data, size);
    const std::optional<CommandTag> tag = extractCommand(message);
    FUZZ_CHECK(tag == reference(message));
    size_t letters = 0;
    for (const std::string& word : splitCommandLine(message))
        letters += word.size();
    FUZZ_CHECK(letters <= message.size());
    return 0;
}
