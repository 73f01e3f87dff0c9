// The default transposition table is static: when a larger table is allocated, or a smaller
// one uses only its start, the rest would otherwise stay resident beside it.
#include "platform/release_pages.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace vostil {

void releasePages(void* start, std::size_t bytes) {
#if defined(__linux__)
    const std::uintptr_t page = std::uintptr_t(sysconf(_SC_PAGESIZE));
    const std::uintptr_t begin = (reinterpret_cast<std::uintptr_t>(start) + page - 1) & ~(page - 1);
    const std::uintptr_t end = (reinterpret_cast<std::uintptr_t>(start) + bytes) & ~(page - 1);
    if (begin < end) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_DONTNEED);
#else
    (void)start;
    (void)bytes;
#endif
}

}  // namespace vostil
