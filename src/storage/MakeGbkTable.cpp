// Writes the table of GB18030's two-byte characters (every GBK character) as
// the system's converter reads them, for the text codec to compile in:
//   kelvo_make_gbk_table OUTPUT
// Entry (lead - 0x81) * 191 + (trail - 0x40) holds the character of the
// code, or 0 where the code is no two-byte character (trail 0x7F, a byte
// the converter refuses) or turns into a character outside the basic plane.
#include <cstdio>
#include <iconv.h>
#include <string>

namespace {

// The one character a two-byte code reads as, or 0.
char32_t characterOf(iconv_t cd, unsigned lead, unsigned trail) {
    char in[] = {static_cast<char>(lead), static_cast<char>(trail)};
    char32_t out[2] = {};
    char* src = in;
    char* dst = reinterpret_cast<char*>(out);
    size_t srcLeft = sizeof in, dstLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1) || srcLeft != 0 ||
        dstLeft != sizeof(char32_t))
        return 0;
    return out[0] >= 0x80 && out[0] <= 0xFFFF ? out[0] : 0;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kelvo_make_gbk_table OUTPUT\n");
        return 2;
    }
    const iconv_t cd = iconv_open("UTF-32LE", "GB18030");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        std::perror("kelvo_make_gbk_table: no GB18030 converter");
        return 1;
    }
    std::string text = "// Made by kelvo_make_gbk_table from the system's GB18030 converter.\n"
                       "constexpr unsigned short kGbkTwoByte[126 * 191] = {\n";
    int found = 0;
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
            const char32_t c = trail == 0x7F ? 0 : characterOf(cd, lead, trail);
            found += c != 0;
            text += std::to_string(static_cast<unsigned>(c)) + (trail == 0xFE ? ",\n" : ",");
        }
    }
    text += "};\n";
    iconv_close(cd);
    if (found < 23000) {
        std::fprintf(stderr, "kelvo_make_gbk_table: the converter knows only %d codes\n", found);
        return 1;
    }
    std::FILE* out = std::fopen(argv[1], "wb");
    const bool written = out && std::fwrite(text.data(), 1, text.size(), out) == text.size();
    if (!out || std::fclose(out) != 0 || !written) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
