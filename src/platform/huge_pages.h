// Asks the system to back a large static table with huge pages where it can.
#pragma once

#include <cstddef>

namespace vostil {

// A hint, never an error: the table works the same without huge pages. Call before the table
// is first written, so that its pages are created large.
void adviseHugePages(void* start, std::size_t bytes);

}  // namespace vostil
