#pragma once

#include <string>
#include <string_view>

namespace kelvo {

// A message as the windows show it, so that nothing in it can hide or
// reorder what the user reads: a run of more than three blanks becomes
// "␣×N" (N the run's length), control characters become their control
// pictures ("␉" for a tab, "␡" for DEL), and invisible format characters
// (bidirectional overrides, embeddings and isolates, direction marks,
// zero-width characters, line separators) and C1 controls become
// "<U+XXXX>". Everything else is kept. Bytes that are no UTF-8 become
// U+FFFD. The stored message is never changed: this is only for showing.
std::string visibleText(std::string_view utf8);
// The same, appended to `out`.
void appendVisibleText(std::string& out, std::string_view utf8);

} // namespace kelvo
