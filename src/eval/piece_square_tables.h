// Piece-square tables by stage; entry s is the value of a white piece on square s.
#pragma once

#include <array>
#include <cstdint>

namespace vostil {

extern const int16_t KING_TABLE_1[64], KING_TABLE_2[64], KING_TABLE_3[64], KING_TABLE_4[64];
extern const int16_t PAWN_TABLE_1[64], PAWN_TABLE_2[64], PAWN_TABLE_3[64], PAWN_TABLE_4[64];
extern const int16_t KNIGHT_TABLE_1[64], KNIGHT_TABLE_2[64];
extern const int16_t BISHOP_TABLE_1[64], BISHOP_TABLE_2[64];
extern const int16_t ROOK_TABLE_1[64], ROOK_TABLE_2[64];
extern const int16_t QUEEN_TABLE_1[64], QUEEN_TABLE_2[64];

// The table of each piece kind for each totalMaterial 0..127, fixed at compile time.
// Selectors: 0 kings, 1 pawns, 2 knights, 3 bishops, 4 rooks, 5 queens.
using PhaseTables = std::array<std::array<const int16_t*, 128>, 6>;
extern const PhaseTables PHASE_TABLE;

}  // namespace vostil
