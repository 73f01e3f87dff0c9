// The transposition table is probed at a random place at every node. With ordinary 4 KiB pages
// nearly every probe also misses the address translation cache, and under a hypervisor that
// walk costs as much as the memory access itself; 2 MiB pages cover the table with a few
// dozen translations.
#include "platform/huge_pages.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace vostil {

void adviseHugePages(void* start, std::size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t HUGE_PAGE = std::uintptr_t(2) << 20;
    // Only whole huge pages inside the table can be advised.
    const std::uintptr_t begin = (reinterpret_cast<std::uintptr_t>(start) + HUGE_PAGE - 1) & ~(HUGE_PAGE - 1);
    const std::uintptr_t end = (reinterpret_cast<std::uintptr_t>(start) + bytes) & ~(HUGE_PAGE - 1);
    if (begin < end) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)start;
    (void)bytes;
#endif
}

}  // namespace vostil
