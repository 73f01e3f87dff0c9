// Hands the memory of part of a static table back to the system while the table is unused.
#pragma once

#include <cstddef>

namespace vostil {

// The whole pages inside [start, start + bytes) read as zero afterwards and take no memory
// until written again. A hint where the system has no such call: the memory then stays.
void releasePages(void* start, std::size_t bytes);

}  // namespace vostil
