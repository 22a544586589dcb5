#include "storage/TextCodec.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <memory>

namespace kelvo {
namespace {

// The euro sign: one byte in the files (as code page 936 stores it), three in UTF-8.
constexpr char kFileEuro = '\x80';
constexpr char32_t kEuro = 0x20AC;
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

// Length of the well-formed-looking UTF-8 sequence at the start of `utf8`
// (a lead byte and its continuation bytes), or 1.
size_t utf8Length(std::string_view utf8) {
    const auto lead = static_cast<unsigned char>(utf8[0]);
    const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (length > utf8.size())
        return 1;
    for (size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80)
            return 1;
    }
    return length;
}

// The code point of a two- or three-byte UTF-8 sequence, or 0 for another
// length or an overlong form or a surrogate.
char32_t utf8CodePoint(std::string_view seq) {
    const auto b = [&seq](size_t i) {
        return static_cast<char32_t>(static_cast<unsigned char>(seq[i]));
    };
    char32_t c = 0;
    if (seq.size() == 2)
        c = (b(0) & 0x1F) << 6 | (b(1) & 0x3F);
    else if (seq.size() == 3)
        c = (b(0) & 0x0F) << 12 | (b(1) & 0x3F) << 6 | (b(2) & 0x3F);
    const bool overlong = c < (seq.size() == 2 ? 0x80u : 0x800u);
    return overlong || (c >= 0xD800 && c <= 0xDFFF) ? 0 : c;
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
    const TwoByteEncoder& codes = twoByteEncoder();
    std::string out;
    out.reserve(utf8.size());
    while (!utf8.empty()) {
        size_t length = utf8Length(utf8);
        const std::string_view seq = utf8.substr(0, length);
        const char32_t c = length == 1 ? 0 : utf8CodePoint(seq);
        if (length == 1 && static_cast<unsigned char>(seq[0]) < 0x80) {
            out += seq[0];
        } else if (c == kEuro) {
            out.push_back(kFileEuro); // the single byte of code page 936
        } else if (const uint16_t code = codes.encode(c); code != 0) {
            out += static_cast<char>(code >> 8);
            out += static_cast<char>(code & 0xFF);
        } else if (!encoder().convert(seq, out)) {
            out.push_back('?');
            length = 1;
        }
        utf8.remove_prefix(length);
    }
    return out;
}

} // namespace kelvo
