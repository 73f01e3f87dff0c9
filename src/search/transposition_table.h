// Two side tables of two-slot buckets; also carries the opening book (generation 0).
#pragma once

#include "board/position.h"

namespace vostil {

constexpr int TT_BUCKET_BITS = 19;
constexpr uint32_t TT_BUCKET_COUNT = 1u << TT_BUCKET_BITS;
constexpr uint32_t TT_INDEX_MASK = TT_BUCKET_COUNT - 1;
constexpr uint32_t TT_CHECK_MASK = 0xFFF80000u;

constexpr int BOUND_EXACT = 0;
constexpr int BOUND_LOWER = 0x80;
constexpr int BOUND_UPPER = 0x100;

// word0: move (bits 0-15) and keyLow bits 16-31; word1: keyHigh;
// word2: depth 0-6, bounds 7-8, generation 9-17, score + SCORE_BIAS 18-31.
struct HashEntry {
    uint32_t word0;
    uint32_t word1;
    uint32_t word2;

    Move move() const { return Move(word0 & 0xFFFF); }
    int depth() const { return word2 & 0x7F; }
    int bound() const { return word2 & 0x180; }
    int generation() const { return (word2 >> 9) & 0x1FF; }
    Score score() const { return Score(int(word2 >> 18) - SCORE_BIAS); }
    bool isBookEntry() const { return generation() == 0 && move() != 0; }
};

struct Bucket {
    HashEntry slot[2];
};

// [side to move][bucket]
extern Bucket TranspositionTable[2][TT_BUCKET_COUNT];
extern uint16_t ttGeneration;

void clearHash();
// The slot holding the current position (slot 0 first), or nullptr.
HashEntry* findEntry();
// Probes for the current position; returns true with `score` when the table answers the
// node, otherwise may narrow [alpha, beta] and sets the ply's hashMove.
bool probeHash(int requiredDepth, int& alpha, int& beta, int& score);
void storeHash(Move move, int score, int depth, int bound);
// Writes a book move into slot 0 of the current position's bucket (generation 0).
void storeBookEntry(Move move);

}  // namespace vostil
