#pragma once

#include <cstdint>

namespace kelvo {

// The number of item `item` after item `deleted` was deleted: the later
// items move one down; 0 when it is the deleted one.
constexpr int32_t numberAfterDelete(int32_t item, int32_t deleted) {
    return item == deleted ? 0 : item > deleted ? item - 1 : item;
}

} // namespace kelvo
