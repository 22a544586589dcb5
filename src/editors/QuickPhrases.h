#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelvo {

// FastFinish.ini: the quick phrases offered in the add dialog, one per line,
// as plain text (GB18030 on disk, UTF-8 here).

// The phrases of the file, in order; CR LF, a lone CR or a lone LF end a
// line, and a break at the very end makes no empty last phrase. A missing
// file has none.
std::vector<std::string> loadQuickPhrases(const std::string& path);

// The whole text of the file with its line breaks made CR LF (what the
// phrase editor shows); empty when the file is missing.
std::string loadQuickPhraseText(const std::string& path);

// Drops every empty line (a line of blanks is not empty) with its line
// break; a final line break stays.
std::string removeEmptyLines(std::string_view text);

// Replaces the file with the text, atomically. Throws UserError naming the
// full path and the system's reason when it cannot.
void saveQuickPhrases(const std::string& path, std::string_view text);

} // namespace kelvo
