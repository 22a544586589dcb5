#include "storage/TextCodec.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iconv.h>
#include <memory>

namespace kelvo {
namespace {

// The euro sign: one byte in the files (as code page 936 stores it), three in UTF-8.
constexpr char kFileEuro = '\x80';
constexpr char32_t kEuro = 0x20AC;
constexpr std::string_view kUtf8Euro = "\xE2\x82\xAC";
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

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

    // Converts all of `in`, appending to `out`; false (and `out` as it was)
    // when `in` is no complete, valid text.
    bool convert(std::string_view in, std::string& out) {
        if (m_cd == invalid())
            return false;
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        const size_t mark = out.size();
        char buffer[4096];
        while (srcLeft > 0) {
            char* dst = buffer;
            size_t dstLeft = sizeof buffer;
            const size_t rc = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, dst);
            if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
                out.resize(mark);
                return false;
            }
        }
        return true;
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

bool isLeadByte(unsigned char b) {
    return b >= 0x81 && b <= 0xFE;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    }
    out += static_cast<char>(0x80 | (c & 0x3F));
}

// The two-byte characters of GB18030 (lead 0x81 … 0xFE, trail 0x40 … 0xFE
// but 0x7F), which hold every GBK character, in both directions. Reminder
// texts are almost all made of them, so they are turned through a table
// rather than a converter call each: kGbkTwoByte, made at build time by the
// system's converter itself. Whatever is not in it (four-byte characters,
// invalid bytes) still goes through the converter.
#include "GbkTable.inc"

constexpr unsigned kFirstTrail = 0x40;
constexpr size_t kRowSize = 0xFF - kFirstTrail;

// The character of a two-byte code, or 0 when the table lacks it.
char32_t decodeTwoByte(unsigned char lead, unsigned char trail) {
    if (trail < kFirstTrail || trail > 0xFE)
        return 0;
    return kGbkTwoByte[(lead - 0x81) * kRowSize + (trail - kFirstTrail)];
}

// The way back, made from the table when a text is first written.
class TwoByteEncoder {
public:
    TwoByteEncoder() : m_toFile(std::make_unique<std::array<uint16_t, 0x10000>>()) {
        for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
            for (unsigned trail = kFirstTrail; trail <= 0xFE; ++trail) {
                const char32_t c = decodeTwoByte(static_cast<unsigned char>(lead),
                                                 static_cast<unsigned char>(trail));
                if (c == 0)
                    continue;
                // A character with two codes would not round-trip: leave it out.
                uint16_t& back = (*m_toFile)[c];
                back = back == 0 ? static_cast<uint16_t>(lead << 8 | trail) : kAmbiguous;
            }
        }
    }

    // The two-byte code of a character (lead byte high), or 0 when the
    // table lacks it.
    uint16_t encode(char32_t c) const {
        const uint16_t code = c < 0x10000 ? (*m_toFile)[c] : 0;
        return code == kAmbiguous ? 0 : code;
    }

private:
    static constexpr uint16_t kAmbiguous = 0xFFFF; // no lead byte is 0xFF
    std::unique_ptr<std::array<uint16_t, 0x10000>> m_toFile;
};

const TwoByteEncoder& twoByteEncoder() {
    static const TwoByteEncoder encoder;
    return encoder;
}

// Length of the file character at the start of `bytes` as its bytes claim:
// 4 for a lead byte, a second byte 0x30 … 0x39, a lead byte and a digit;
// 2 for a lead byte and any further byte; else 1.
size_t fileCharLength(std::string_view bytes) {
    const auto at = [&bytes](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (!isLeadByte(at(0)) || bytes.size() < 2)
        return 1;
    if (at(1) < 0x30 || at(1) > 0x39)
        return 2;
    return bytes.size() >= 4 && isLeadByte(at(2)) && at(3) >= 0x30 && at(3) <= 0x39 ? 4 : 1;
}

// One character of a UTF-8 text: its code point and length in bytes, or
// kNoCodePoint and 1 for a byte that starts no valid sequence (a stray
// continuation byte, a cut-off, overlong or surrogate sequence).
constexpr char32_t kNoCodePoint = 0xFFFFFFFF;
struct Utf8Char {
    char32_t code;
    size_t length;
};

Utf8Char nextUtf8(std::string_view utf8) {
    const auto b = [&utf8](size_t i) {
        return static_cast<char32_t>(static_cast<unsigned char>(utf8[i]));
    };
    const char32_t lead = b(0);
    if (lead < 0x80)
        return {lead, 1};
    const size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                          : lead >= 0xE0 && lead <= 0xEF ? 3
                          : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                         : 0;
    if (length == 0 || length > utf8.size())
        return {kNoCodePoint, 1};
    char32_t c = lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        if ((b(i) & 0xC0) != 0x80)
            return {kNoCodePoint, 1};
        c = c << 6 | (b(i) & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return {kNoCodePoint, 1};
    return {c, length};
}

// UTF-8 in the file encoding; `invalid` stands for each byte that starts no
// valid sequence.
std::string encodeUtf8(std::string_view utf8, std::string_view invalid) {
    const TwoByteEncoder& codes = twoByteEncoder();
    std::string out;
    out.reserve(utf8.size());
    while (!utf8.empty()) {
        auto [c, length] = nextUtf8(utf8);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c == kEuro) {
            out.push_back(kFileEuro); // the single byte of code page 936
        } else if (const uint16_t code = codes.encode(c); code != 0) {
            out += static_cast<char>(code >> 8);
            out += static_cast<char>(code & 0xFF);
        } else if (c == kNoCodePoint || !encoder().convert(utf8.substr(0, length), out)) {
            out.append(invalid);
            length = 1;
        }
        utf8.remove_prefix(length);
    }
    return out;
}

// Characters a text of this program's users holds: Latin, Greek and
// Cyrillic letters, punctuation and symbols, the CJK scripts, full-width
// forms and emoji (with their variation selectors). A GB18030 text that
// happens to be valid UTF-8 reads as characters outside them nearly always
// (C1 controls, IPA, Hebrew, Indic scripts, private use).
bool isTextCharacter(char32_t c) {
    static constexpr std::pair<char32_t, char32_t> kRanges[] = {
        {0x00A0, 0x024F}, {0x0370, 0x04FF},   {0x2000, 0x2BFF},  {0x2E80, 0x2FDF},
        {0x3000, 0x9FFF}, {0xAC00, 0xD7AF},   {0xF900, 0xFAFF},  {0xFE00, 0xFE4F},
        {0xFF00, 0xFFEF}, {0x1F000, 0x1FAFF}, {0x20000, 0x2FFFF}};
    if (c < 0x80)
        return true;
    for (const auto& [first, last] : kRanges) {
        if (c >= first && c <= last)
            return true;
    }
    return false;
}

// Whether the bytes are valid UTF-8 made of text characters, at least one
// of them from U+0800 on (a CJK character, a full-width form, a symbol): a
// text of two-byte sequences alone (Latin letters) is too easily GBK.
bool isLikelyUtf8Text(std::string_view bytes) {
    bool wide = false;
    while (!bytes.empty()) {
        const auto [c, length] = nextUtf8(bytes);
        if (c == kNoCodePoint || !isTextCharacter(c))
            return false;
        wide = wide || c >= 0x800;
        bytes.remove_prefix(length);
    }
    return wide;
}

// The position of the first byte that is not ASCII (the size when there is
// none), eight bytes at a time.
size_t firstNonAscii(std::string_view bytes) {
    size_t i = 0;
    for (uint64_t word = 0; i + sizeof word <= bytes.size(); i += sizeof word) {
        std::memcpy(&word, bytes.data() + i, sizeof word);
        if ((word & 0x8080808080808080) != 0)
            break;
    }
    while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80)
        ++i;
    return i;
}

// Whether every character of the bytes read as GB18030 is ASCII or a
// common GBK character: GB2312's symbol rows (A1 … A9) and its first level
// of hanzi (B0 … D7), the characters nearly every GBK text is made of. A
// real UTF-8 text read so holds others: its CJK characters start with the
// bytes E4 … E9, leads of GB2312's second level or of GBK's extensions.
bool isCommonGbkText(std::string_view bytes) {
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80)
            continue;
        if (i + 1 == bytes.size())
            return false;
        const auto trail = static_cast<unsigned char>(bytes[++i]);
        const bool commonRow = (lead >= 0xA1 && lead <= 0xA9) || (lead >= 0xB0 && lead <= 0xD7);
        const char32_t c = commonRow && trail >= 0xA1 ? decodeTwoByte(lead, trail) : 0;
        if (c == 0 || (c >= 0xE000 && c <= 0xF8FF)) // unassigned: private use
            return false;
    }
    return true;
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
    out.reserve(bytes.size() * 3); // the most any byte turns into
    while (!bytes.empty()) {
        const auto b = static_cast<unsigned char>(bytes.front());
        size_t length = 1;
        if (b < 0x80) {
            out += static_cast<char>(b);
        } else if (b == static_cast<unsigned char>(kFileEuro)) {
            // The euro sign of code page 936, which GB18030 lacks as a single byte.
            out.append(kUtf8Euro);
        } else if (length = fileCharLength(bytes); length == 2 && decodeTwoByte(b, bytes[1]) != 0) {
            appendUtf8(out, decodeTwoByte(b, bytes[1]));
        } else if (!decoder().convert(bytes.substr(0, length), out)) {
            // An invalid or cut-off character: skipping only its first byte
            // keeps a following ASCII character (often a line's own text) intact.
            out.append(kReplacement);
            length = 1;
        }
        bytes.remove_prefix(length);
    }
    return out;
}

std::string encodeFileText(std::string_view utf8) {
    if (isAsciiText(utf8))
        return std::string(utf8);
    return encodeUtf8(utf8, "?");
}

bool isUtf8File(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Bom))
        return true;
    // From the first byte that is not ASCII: in a GBK file it usually
    // starts no valid UTF-8, which ends the look at once.
    const std::string_view rest = bytes.substr(firstNonAscii(bytes));
    return !rest.empty() && isLikelyUtf8Text(rest) && !isCommonGbkText(rest);
}

std::string toFileEncoding(std::string bytes) {
    if (!isUtf8File(bytes))
        return bytes;
    std::string_view text = bytes;
    if (text.starts_with(kUtf8Bom))
        text.remove_prefix(kUtf8Bom.size());
    return encodeUtf8(text, encodeUtf8(kReplacement, {}));
}

std::string decodeFile(std::string bytes) {
    return decodeFileText(toFileEncoding(std::move(bytes)));
}

} // namespace kelvo
