#pragma once

#include <string>
#include <string_view>

namespace kelvo {

// Conversions between UTF-8 (the program's texts) and the bytes of the files
// (GB18030, with the euro sign as the single byte 0x80 as in code page 936).

// Whether the text is plain ASCII, which is the same in both encodings.
bool isAsciiText(std::string_view text);

// Bytes that are not valid decode as U+FFFD; never fails.
std::string decodeFileText(std::string_view bytes);
// Characters that GB18030 cannot hold (there are none among valid UTF-8)
// and invalid UTF-8 sequences encode as "?".
std::string encodeFileText(std::string_view utf8);

} // namespace kelvo
