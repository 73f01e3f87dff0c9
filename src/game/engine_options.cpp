// The options' requests: remembered on the thread that reads the interface, carried out by
// applyTableRequests where no search runs.
#include "game/engine_options.h"

#include <algorithm>
#include <cstdio>

#include "common/log.h"
#include "game/engine_events.h"

#include "board/position.h"
#include "board/tables.h"
#include "eval/evaluate.h"
#include "search/search.h"
#include "search/transposition_table.h"

namespace vostil {

std::atomic<bool> ownBook{true};

namespace {

uint32_t wantedHashMb = 0;  // 0: no change asked for
bool clearWanted = false;

uint32_t powerOfTwoAtMost(uint32_t n) {
    uint32_t p = 1;
    while (p <= n / 2) p *= 2;
    return p;
}

// The large static tables beside the transposition table, in MiB rounded up; the rest (code,
// stacks, the move tables, the book's kept entries) fits in what the rounding adds.
uint32_t otherTablesMb() {
    constexpr std::size_t bytes = sizeof pawnCache + sizeof RANK_ATTACKS + sizeof FILE_ATTACKS +
                                  sizeof DIAG_A1H8_ATTACKS + sizeof DIAG_A8H1_ATTACKS + sizeof historyScores +
                                  sizeof GameHistory + sizeof PlyRecords;
    constexpr std::size_t MIB = std::size_t(1) << 20;
    return uint32_t((bytes + MIB - 1) / MIB);
}

}  // namespace

void requestHashSize(long long mb) {
    const long long clamped = std::clamp<long long>(mb, TT_MIN_MB, TT_MAX_MB);
    wantedHashMb = powerOfTwoAtMost(uint32_t(clamped));
}

void requestMemoryTotal(long long mb) { requestHashSize(mb - otherTablesMb()); }

void requestHashClear() { clearWanted = true; }

void resetEngineOptions() {
    ownBook = true;
    lineCount = 1;
    wantedHashMb = 0;
    clearWanted = false;
    if (hashSizeMb() != TT_DEFAULT_MB) resizeHash(TT_DEFAULT_MB);
}

const char* applyTableRequests() {
    static char refusal[80];
    const char* told = nullptr;
    if (wantedHashMb == 0 && !clearWanted) return told;
    // A search that has just ended may still be on its way to park.
    stoppedEvent->wait();
    if (wantedHashMb != 0 && wantedHashMb != hashSizeMb()) {
        if (resizeHash(wantedHashMb)) {
            logLine("-M: Hash ", wantedHashMb, " MB");
            clearWanted = false;  // the new table is empty already
        } else {
            std::snprintf(refusal, sizeof refusal, "Hash %u MB cannot be had, the table keeps %u MB",
                          unsigned(wantedHashMb), unsigned(hashSizeMb()));
            logLine("-M: ", refusal);
            told = refusal;
        }
    }
    if (clearWanted) {
        clearSearchEntries();
        logLine("-M: Hash cleared");
    }
    wantedHashMb = 0;
    clearWanted = false;
    return told;
}

}  // namespace vostil
