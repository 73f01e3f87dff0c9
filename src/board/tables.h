// Precomputed square tables, compiled-in keys and the sliding-attack lookups.
#pragma once

#include <array>
#include <bit>

#include "board/position.h"
#include "common/types.h"
#include "board/zobrist.h"

namespace vostil {

// --- Compiled-in constants ---------------------------------------------------

extern const uint8_t MATERIAL_UNITS[13];
extern const int8_t EP_CAPTURE_OFFSET[2];

namespace detail {
// Start position and length of diagonal number d (0..14) in a rotated board.
constexpr int diagonalStart(int d) { return d <= 7 ? d * (d + 1) / 2 : 64 - (15 - d) * (16 - d) / 2; }
constexpr int diagonalLength(int d) { return (d < 14 - d ? d : 14 - d) + 1; }
constexpr int diagonalA1H8(Square s) { return rowOf(s) + fileOf(s); }
constexpr int diagonalA8H1(Square s) { return 7 - fileOf(s) + rowOf(s); }

template <int (*DiagonalOf)(Square), bool Mask>
constexpr std::array<uint8_t, 64> makeDiagonalCut() {
    std::array<uint8_t, 64> cut{};
    for (int s = 0; s < 64; ++s) {
        int d = DiagonalOf(s);
        cut[s] = Mask ? uint8_t((1u << diagonalLength(d)) - 1)
                      : uint8_t(64 - diagonalStart(d) - diagonalLength(d));
    }
    return cut;
}
}  // namespace detail

// Shift and mask that cut a square's diagonal out of a rotated board.
inline constexpr std::array<uint8_t, 64> DIAG_SHIFT_A1H8 =
    detail::makeDiagonalCut<detail::diagonalA1H8, false>();
inline constexpr std::array<uint8_t, 64> DIAG_MASK_A1H8 =
    detail::makeDiagonalCut<detail::diagonalA1H8, true>();
inline constexpr std::array<uint8_t, 64> DIAG_SHIFT_A8H1 =
    detail::makeDiagonalCut<detail::diagonalA8H1, false>();
inline constexpr std::array<uint8_t, 64> DIAG_MASK_A8H1 =
    detail::makeDiagonalCut<detail::diagonalA8H1, true>();

// --- Tables built by initTables -------------------------------------------------

extern Bitboard BIT[64];
extern Bitboard ROT90_BIT[64], ROT45_BIT[64], ROT315_BIT[64];
extern Bitboard KING_ATTACKS[64], KNIGHT_ATTACKS[64];
extern Bitboard PAWN_ATTACKS[2][64];
extern Bitboard RANK_ATTACKS[64][256], FILE_ATTACKS[64][256];
extern Bitboard DIAG_A1H8_ATTACKS[64][256], DIAG_A8H1_ATTACKS[64][256];
extern Bitboard ROOK_RAYS[64], BISHOP_RAYS[64], QUEEN_RAYS[64];
extern Bitboard FILE_EXCEPT[64], ADJACENT_FILES[64];
extern Bitboard PASSED_MASK[2][64], FRONT_SPAN[2][64];
extern Bitboard EP_ROT90[64], EP_ROT45[64], EP_ROT315[64];

// Builds every computed table; call once before anything touches the position.
void initTables();

// Rotated-board positions, shared with the tests.
int rotated90Position(Square s);
int rotated45Position(Square s);
int rotated315Position(Square s);

// --- Lookups ---------------------------------------------------------------------

// Highest-numbered square of a non-empty set (its least significant bit).
inline Square bitScan(Bitboard b) { return 63 - std::countr_zero(b); }

inline Bitboard rookAttacks(Square s) {
    return RANK_ATTACKS[s][(pos.allOccupancy >> (56 - 8 * rowOf(s))) & 0xFF] |
           FILE_ATTACKS[s][(pos.rotated90 >> (8 * fileOf(s))) & 0xFF];
}

inline Bitboard bishopAttacks(Square s) {
    return DIAG_A1H8_ATTACKS[s][(pos.rotated45 >> DIAG_SHIFT_A1H8[s]) & DIAG_MASK_A1H8[s]] |
           DIAG_A8H1_ATTACKS[s][(pos.rotated315 >> DIAG_SHIFT_A8H1[s]) & DIAG_MASK_A8H1[s]];
}

inline Bitboard queenAttacks(Square s) { return rookAttacks(s) | bishopAttacks(s); }

// Phase-selected table index for totalMaterial; stages above 127 use the richest stage.
inline int phaseIndex(int totalMaterial) { return totalMaterial > 127 ? 127 : totalMaterial; }

}  // namespace vostil
