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

// Whether a whole file's bytes are UTF-8 (saved so by another editor) rather
// than the file encoding: they start with a UTF-8 byte-order mark, or they
// hold non-ASCII bytes, are valid UTF-8 throughout, hold a character from
// U+0800 on and only characters that texts hold, and read as GB18030 they
// would hold a character outside GB2312's symbols and first-level hanzi.
// A GBK text of those common characters is therefore never taken for UTF-8,
// and a real UTF-8 text with a CJK character nearly always is.
bool isUtf8File(std::string_view bytes);
// A whole file's bytes in the file encoding: a UTF-8 file converted (its
// byte-order mark dropped, invalid bytes as U+FFFD), any other unchanged.
std::string toFileEncoding(std::string bytes);
// A whole file's text as UTF-8, in whichever of the two encodings it is.
std::string decodeFile(std::string bytes);

} // namespace kelvo
