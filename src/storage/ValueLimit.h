#pragma once

#include <cstddef>

namespace kelvo {

// The longest value of a profile file, in bytes of the file's encoding:
// every reader reads no more of one; a longer one is cut where it is stored.
inline constexpr size_t kMaxValueBytes = 2047;

} // namespace kelvo
