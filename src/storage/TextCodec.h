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

// Whole files. A file that starts with the UTF-8 byte-order mark, or that
// is valid UTF-8 throughout and holds a character of three or four bytes
// (as Chinese text saved by a Linux editor does), is a UTF-8 file; any other
// is in the file encoding.
bool isUtf8File(std::string_view bytes);
// A whole file's text as UTF-8, without a byte-order mark.
std::string decodeFileContent(std::string_view bytes);
// A whole file in the file encoding: a UTF-8 file with non-ASCII text
// encoded, without its byte-order mark; any other as it is.
std::string fileContentInFileEncoding(std::string bytes);

} // namespace kelvo
