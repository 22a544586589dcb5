#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelvo {

// The rows of `messages` (UTF-8) that contain `word` as a contiguous piece,
// in row order. Latin letters A to Z match their lower case; every other
// character matches only itself. An empty word matches nothing.
std::vector<int> findMessages(const std::vector<std::string>& messages, std::string_view word);

} // namespace kelvo
