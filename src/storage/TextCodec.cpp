#include "storage/TextCodec.h"

#include <cerrno>
#include <iconv.h>

namespace kelvo {
namespace {

// The euro sign: one byte in the files (as code page 936 stores it), three in UTF-8.
constexpr char kFileEuro = '\x80';
constexpr std::string_view kUtf8Euro = "\xE2\x82\xAC";
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// One cached iconv converter per direction and thread.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (m_cd != invalid())
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much of `in` as it can, appending to `out`. Returns the
    // number of input bytes consumed; stops at the first sequence that is
    // invalid or cut off at the end.
    size_t convert(std::string_view in, std::string& out) {
        if (m_cd == invalid())
            return 0;
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        char buffer[4096];
        while (srcLeft > 0) {
            char* dst = buffer;
            size_t dstLeft = sizeof buffer;
            const size_t rc = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, dst);
            if (rc == static_cast<size_t>(-1) && errno != E2BIG)
                break;
        }
        return in.size() - srcLeft;
    }

private:
    static iconv_t invalid() { return reinterpret_cast<iconv_t>(-1); }
    iconv_t m_cd;
};

Converter& decoder() {
    thread_local Converter c("UTF-8", "GB18030");
    return c;
}

Converter& encoder() {
    thread_local Converter c("GB18030", "UTF-8");
    return c;
}

} // namespace

bool isAsciiText(std::string_view text) {
    unsigned char any = 0;
    for (char c : text)
        any |= static_cast<unsigned char>(c);
    return any < 0x80;
}

std::string decodeFileText(std::string_view bytes) {
    if (isAsciiText(bytes))
        return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    while (!bytes.empty()) {
        bytes.remove_prefix(decoder().convert(bytes, out));
        if (bytes.empty())
            break;
        // A lone 0x80 is the euro sign of code page 936, which GB18030 lacks
        // as a single byte; any other byte that stopped the converter starts
        // an invalid or truncated sequence. Skipping only that one byte keeps
        // a following ASCII character (often a line's own text) intact.
        out.append(bytes.front() == kFileEuro ? kUtf8Euro : kReplacement);
        bytes.remove_prefix(1);
    }
    return out;
}

std::string encodeFileText(std::string_view utf8) {
    if (isAsciiText(utf8))
        return std::string(utf8);
    std::string out;
    out.reserve(utf8.size());
    while (!utf8.empty()) {
        // UTF-8 is self-synchronising, so the euro sign can be split off
        // before conversion and written as the single byte of code page 936.
        const size_t euro = utf8.find(kUtf8Euro);
        std::string_view part = utf8.substr(0, euro);
        while (!part.empty()) {
            part.remove_prefix(encoder().convert(part, out));
            if (!part.empty()) {
                out.push_back('?');
                part.remove_prefix(1);
            }
        }
        if (euro == std::string_view::npos)
            break;
        out.push_back(kFileEuro);
        utf8.remove_prefix(euro + kUtf8Euro.size());
    }
    return out;
}

} // namespace kelvo
