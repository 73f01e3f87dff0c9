// Two side tables of two-slot buckets; also carries the opening book (generation 0).
#pragma once

#include "board/position.h"
#include "board/predicted_key.h"

namespace vostil {

// The table as the engine starts: 2^19 buckets a side, 32 MiB in all, in static memory.
constexpr int TT_BUCKET_BITS = 19;
constexpr uint32_t TT_BUCKET_COUNT = 1u << TT_BUCKET_BITS;
// The key bits an entry is checked against. With the default size and larger, bits 16-18 of
// keyLow are implied by the bucket index; a smaller table still checks 45 key bits.
constexpr uint32_t TT_CHECK_MASK = 0xFFF80000u;
// Sizes the table may be given, in MiB (a power of two between them): at most what the 32-bit
// build can find in its address space as one block, and more than one thread fills in a game.
constexpr uint32_t TT_MIN_MB = 1;
constexpr uint32_t TT_MAX_MB = 1024;
constexpr uint32_t TT_DEFAULT_MB = 32;

constexpr int BOUND_EXACT = 0;
constexpr int BOUND_LOWER = 0x80;
constexpr int BOUND_UPPER = 0x100;

// The entry's layout, written once for reading and writing alike.
// word0: move (bits 0-15) and keyLow bits 16-31; word1: keyHigh;
// word2: depth 0-6, bounds 7-8, generation 9-17, score + SCORE_BIAS 18-31.
constexpr uint32_t ENTRY_MOVE_BITS = 0xFFFFu;
constexpr uint32_t KEY_LOW_STORED_MASK = ~ENTRY_MOVE_BITS;
constexpr uint32_t DEPTH_BITS = 0x7Fu;
constexpr uint32_t BOUND_BITS = uint32_t(BOUND_LOWER | BOUND_UPPER);
constexpr int GENERATION_SHIFT = 9;
constexpr uint32_t GENERATION_MASK = 0x1FFu;
constexpr int SCORE_SHIFT = 18;
static_assert(DEPTH_BITS < uint32_t(BOUND_LOWER) && BOUND_BITS < (1u << GENERATION_SHIFT) &&
              (GENERATION_MASK << GENERATION_SHIFT) < (1u << SCORE_SHIFT));
// The score field holds SCORE_BIAS +- this much.
static_assert(2 * SCORE_BIAS < (1 << (32 - SCORE_SHIFT)));

struct HashEntry {
    uint32_t word0;
    uint32_t word1;
    uint32_t word2;
    uint32_t unused;  // pads a bucket to half a cache line: a probe reads one line, not two

    Move move() const { return Move(word0 & ENTRY_MOVE_BITS); }
    int depth() const { return int(word2 & DEPTH_BITS); }
    int bound() const { return int(word2 & BOUND_BITS); }
    int generation() const { return int((word2 >> GENERATION_SHIFT) & GENERATION_MASK); }
    Score score() const { return Score(int(word2 >> SCORE_SHIFT) - SCORE_BIAS); }
    bool isBookEntry() const { return generation() == 0 && move() != 0; }
};

struct alignas(32) Bucket {
    HashEntry slot[2];
};
static_assert(sizeof(Bucket) == 32);

// [side to move][bucket]: the two side tables of the current size. The bucket count is a power
// of two, so that the index is the key's low bits (ttIndexMask).
extern Bucket* TranspositionTable[2];
extern uint32_t ttIndexMask;
extern uint16_t ttGeneration;
// While set, the search reads the table and writes nothing into it.
extern bool tableFrozen;

void clearHash();
// The table's size in MiB.
uint32_t hashSizeMb();
// Gives the table `mb` MiB (a power of two within the limits; the caller rounds): the old table
// is replaced by an empty one with the book's entries written back. Only while no search runs.
// False, with the old table and its contents kept, when the memory cannot be had.
bool resizeHash(uint32_t mb);
// Empties the table but for the book's entries, written back as the loading left them.
void clearSearchEntries();
// Starts loading the current position's bucket from memory while the caller does other work;
// called right after a move, when the child's key is known. It catches what the earlier,
// predicted fetch below leaves out (rights, a new en-passant square, promotions); where that
// one was right, the line is already on its way and this costs next to nothing.
// Always inlined: GCC takes a function whose only effect is a prefetch for a pure one, and
// drops its calls.
[[gnu::always_inline]] inline void prefetchBucket() {
    __builtin_prefetch(&TranspositionTable[pos.sideToMove][pos.keyLow & ttIndexMask]);
}
// The same for the position a move of the side to move will most likely lead to, long before
// the move is made: while its elder siblings are searched.
[[gnu::always_inline]] inline void prefetchBucketAfter(Move m) {
    __builtin_prefetch(&TranspositionTable[pos.sideToMove ^ 1][predictedKeyLowAfter(m) & ttIndexMask]);
}
// The slot holding the current position (slot 0 first), or nullptr.
HashEntry* findEntry();
// Probes for the current position; returns true with `score` when the table answers the
// node, otherwise may narrow [alpha, beta] and sets the ply's hashMove.
bool probeHash(int requiredDepth, int& alpha, int& beta, int& score);
void storeHash(Move move, int score, int depth, int bound);
// Entries in use, in permille, as a sample of the table shows them.
int tablePermilleUsed();
// Writes a book move into slot 0 of the current position's bucket (generation 0).
void storeBookEntry(Move move);

// Searches may overwrite book entries like any others; the book's entries are also kept aside
// as they were stored, so that the book still answers however much was searched since.
// Remembers the book move just stored for the current position (called by storeBookEntry).
void recordBookEntry(Move move);
// Forgets every book entry kept aside: the table is cleared, or a book is loaded afresh.
void forgetBookEntries();
// Writes every book entry kept aside into the table, in the order they were stored.
void rewriteBookEntries();
// Writes the current position's book entry back into the table when the book holds one the
// loading left standing; true when it did.
bool restoreBookEntry();

}  // namespace vostil
