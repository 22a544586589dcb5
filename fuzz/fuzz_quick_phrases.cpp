// The quick phrase file on any bytes: phrases, the editor text, empty-line
// removal and a save read back.
#include "FuzzSupport.h"

#include "editors/QuickPhrases.h"

using namespace kelvo;

namespace {

std::string joined(const std::vector<std::string>& phrases) {
    std::string text;
    for (size_t i = 0; i < phrases.size(); ++i)
        text += (i ? "\r\n" : "") + phrases[i];
    return text;
}

std::vector<std::string> withoutEmpty(std::vector<std::string> phrases) {
    std::erase(phrases, std::string());
    return phrases;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzz::scratchPath("FastFinish.ini");
    static const std::string saved = fuzz::scratchPath("FastFinish-saved.ini");
    fuzz::writeFile(path, fuzz::bytesOf(data, size));

    const std::vector<std::string> phrases = loadQuickPhrases(path);
    const std::string text = loadQuickPhraseText(path);
    FUZZ_CHECK(text == joined(phrases) || text == joined(phrases) + "\r\n");

    const std::string kept = removeEmptyLines(text);
    FUZZ_CHECK(removeEmptyLines(kept) == kept);
    FUZZ_CHECK(!kept.starts_with("\r\n") && kept.find("\r\n\r\n") == std::string::npos);

    saveQuickPhrases(saved, kept);
    FUZZ_CHECK(loadQuickPhrases(saved) == withoutEmpty(phrases));
    return 0;
}
