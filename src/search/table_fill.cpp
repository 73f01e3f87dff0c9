// How full the transposition table is, in permille, from a sample at its start: the
// interfaces show it as "hashfull", and counting the whole table would take milliseconds.
#include "search/transposition_table.h"

namespace vostil {

int tablePermilleUsed() {
    constexpr uint32_t SAMPLED_BUCKETS = 250;  // per side, two slots each: 1000 entries
    int used = 0;
    for (const auto& side : TranspositionTable)
        for (uint32_t b = 0; b < SAMPLED_BUCKETS; ++b)
            for (const HashEntry& e : side[b].slot) used += (e.word0 | e.word1) != 0;
    return used;
}

}  // namespace vostil
