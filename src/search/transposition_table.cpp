// The transposition table: one table per side to move (the key has no side-to-move term),
// buckets of a depth-preferred slot and a replacement slot, three packed words per entry.
#include "search/transposition_table.h"

#include <cassert>
#include <cstring>
#include <new>

#include "eval/evaluate.h"
#include "platform/huge_pages.h"
#include "platform/release_pages.h"

namespace vostil {

namespace {

// The default table lives in static memory, as every table of the engine does; a larger one is
// allocated when asked for, a smaller one is the start of this block.
Bucket defaultBlock[2 * TT_BUCKET_COUNT];
Bucket* allocatedBlock = nullptr;
// Aligned to a huge page, so that the whole table may be backed by them.
constexpr std::align_val_t BLOCK_ALIGNMENT{std::size_t(2) << 20};

}  // namespace

Bucket* TranspositionTable[2] = {defaultBlock, defaultBlock + TT_BUCKET_COUNT};
uint32_t ttIndexMask = TT_BUCKET_COUNT - 1;
uint16_t ttGeneration = 1;
bool tableFrozen = false;

namespace {

constexpr uint32_t GENERATION_BITS = GENERATION_MASK << GENERATION_SHIFT;
constexpr int MAX_STORED_DEPTH = 127;

inline Bucket& currentBucket() { return TranspositionTable[pos.sideToMove][pos.keyLow & ttIndexMask]; }

// Bits 16-18 of keyLow are implied by the bucket index, so only the top 13 are checked.
inline bool holdsCurrentPosition(const HashEntry& e) {
    return ((e.word0 ^ pos.keyLow) & TT_CHECK_MASK) == 0 && e.word1 == pos.keyHigh;
}

// Mate scores count from the root of the search; the table keeps them counted from the entry's
// own position, so that a hit read at another ply, or in a later search from another root,
// still gives the true distance.
static_assert(MATE_THRESHOLD > EVAL_LIMIT && MATE_SCORE + PLY_RECORD_COUNT + 2 <= SCORE_BIAS);

inline int plyFromRoot() { return int(currentPly - PlyRecords); }

inline int scoreToTable(int score) {
    if (score >= MATE_THRESHOLD) return score + plyFromRoot();
    if (score <= -MATE_THRESHOLD) return score - plyFromRoot();
    return score;
}

inline int scoreFromTable(int score) {
    if (score >= MATE_THRESHOLD) return score - plyFromRoot();
    if (score <= -MATE_THRESHOLD) return score + plyFromRoot();
    return score;
}

inline void writeEntry(HashEntry& e, Move move, int score, int depth, int bound) {
    e.word0 = (pos.keyLow & KEY_LOW_STORED_MASK) | move;
    e.word1 = pos.keyHigh;
    e.word2 = uint32_t(depth) | uint32_t(bound) | (uint32_t(ttGeneration) << GENERATION_SHIFT) |
              (uint32_t(score + SCORE_BIAS) << SCORE_SHIFT);
}

uint32_t bucketsPerSide() { return ttIndexMask + 1; }
std::size_t tableBytes() { return 2 * std::size_t(bucketsPerSide()) * sizeof(Bucket); }

void zeroTable() {
    // The first clear is the default table's first write: the advice must come before it.
    static const bool advised = (adviseHugePages(defaultBlock, sizeof defaultBlock), true);
    (void)advised;
    std::memset(TranspositionTable[0], 0, tableBytes());
}

}  // namespace

void clearHash() {
    zeroTable();
    forgetBookEntries();
}

void clearSearchEntries() {
    zeroTable();
    rewriteBookEntries();
}

uint32_t hashSizeMb() { return uint32_t(tableBytes() >> 20); }

bool resizeHash(uint32_t mb) {
    assert(mb >= TT_MIN_MB && mb <= TT_MAX_MB && (mb & (mb - 1)) == 0);
    const uint32_t buckets = uint32_t((std::size_t(mb) << 20) / (2 * sizeof(Bucket)));
    const std::size_t bytes = 2 * std::size_t(buckets) * sizeof(Bucket);
    Bucket* block = defaultBlock;
    if (bytes > sizeof defaultBlock) {
        // Allocated before the old one goes: when it cannot be had, nothing has changed.
        block = static_cast<Bucket*>(::operator new(bytes, BLOCK_ALIGNMENT, std::nothrow));
        if (!block) return false;
        adviseHugePages(block, bytes);
    }
    if (allocatedBlock) ::operator delete(allocatedBlock, BLOCK_ALIGNMENT);
    allocatedBlock = block == defaultBlock ? nullptr : block;
    // What the default block no longer holds goes back to the system.
    const std::size_t kept = block == defaultBlock ? bytes : 0;
    releasePages(reinterpret_cast<char*>(defaultBlock) + kept, sizeof defaultBlock - kept);
    TranspositionTable[0] = block;
    TranspositionTable[1] = block + buckets;
    ttIndexMask = buckets - 1;
    clearSearchEntries();
    return true;
}

HashEntry* findEntry() {
    Bucket& bucket = currentBucket();
    if (holdsCurrentPosition(bucket.slot[0])) return &bucket.slot[0];
    if (holdsCurrentPosition(bucket.slot[1])) return &bucket.slot[1];
    return nullptr;
}

// A deep enough entry answers the node when its bound allows, or narrows the window.
// Book entries carry no real score, so they only lend their move to the ordering.
bool probeHash(int requiredDepth, int& alpha, int& beta, int& score) {
    PlyRecord& ply = *currentPly;
    const HashEntry* e = findEntry();
    if (!e) {
        ply.hashDepth = 0;
        ply.hashMove = 0;
        return false;
    }
    ply.hashDepth = uint8_t(e->depth());
    if (e->depth() >= requiredDepth && !e->isBookEntry()) {
        const int s = scoreFromTable(e->score());
        ply.hashScore = Score(s);
        switch (e->bound()) {
            case BOUND_EXACT:
                score = s;
                return true;
            case BOUND_LOWER:
                if (s >= beta) {
                    score = s;
                    return true;
                }
                if (s > alpha) alpha = s;
                break;
            case BOUND_UPPER:
                if (s <= alpha) {
                    score = s;
                    return true;
                }
                if (s < beta) beta = s;
                break;
        }
    }
    ply.hashMove = e->move();
    return false;
}

// Slot 0 keeps the deeper (or, at equal depth, the exact) result; an older generation counts
// as one ply less deep. Whatever slot 0 refuses for another position goes to slot 1.
void storeHash(Move move, int score, int depth, int bound) {
    if (tableFrozen) return;
    assert(depth >= 0 && depth <= MAX_STORED_DEPTH);
    assert(score >= -SCORE_BIAS && score <= SCORE_BIAS);
    assert(bound == BOUND_EXACT || bound == BOUND_LOWER || bound == BOUND_UPPER);
    score = scoreToTable(score);
    Bucket& bucket = currentBucket();
    HashEntry& first = bucket.slot[0];
    const bool exactOverBound = bound == BOUND_EXACT && first.bound() != BOUND_EXACT;
    if (holdsCurrentPosition(first)) {
        if (depth > first.depth() || (depth == first.depth() && exactOverBound))
            writeEntry(first, move, score, depth, bound);
        return;
    }
    const int16_t preference = int16_t(depth - first.depth() + (ttGeneration - first.generation()));
    if (preference > 0 || (preference == 0 && exactOverBound))
        writeEntry(first, move, score, depth, bound);
    else
        writeEntry(bucket.slot[1], move, score, depth, bound);
}

// The book loader's entry: key and move only, generation 0; depth, bound and score stay as
// the cleared table left them.
void storeBookEntry(Move move) {
    HashEntry& e = currentBucket().slot[0];
    e.word0 = (pos.keyLow & KEY_LOW_STORED_MASK) | move;
    e.word1 = pos.keyHigh;
    e.word2 &= ~GENERATION_BITS;
    recordBookEntry(move);
}

}  // namespace vostil
