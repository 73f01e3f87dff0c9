// Builds the square tables once at start-up; holds the compiled-in constant tables.
#include "board/tables.h"

#include <algorithm>


namespace vostil {


const uint8_t MATERIAL_UNITS[13] = {100, 1, 1, 3, 3, 3, 3, 5, 5, 9, 9, 150, 200};
const int8_t EP_CAPTURE_OFFSET[2] = {-8, +8};

Bitboard BIT[64];
Bitboard ROT90_BIT[64], ROT45_BIT[64], ROT315_BIT[64];
Bitboard KING_ATTACKS[64], KNIGHT_ATTACKS[64];
Bitboard PAWN_ATTACKS[2][64];
Bitboard RANK_ATTACKS[64][256], FILE_ATTACKS[64][256];
Bitboard DIAG_A1H8_ATTACKS[64][256], DIAG_A8H1_ATTACKS[64][256];
Bitboard ROOK_RAYS[64], BISHOP_RAYS[64], QUEEN_RAYS[64];
Bitboard FILE_EXCEPT[64], ADJACENT_FILES[64];
Bitboard PASSED_MASK[2][64], FRONT_SPAN[2][64];
Bitboard EP_ROT90[64], EP_ROT45[64], EP_ROT315[64];

namespace {

constexpr Bitboard bitOf(Square s) { return Bitboard(1) << (63 - s); }

bool onBoard(int row, int file) { return row >= 0 && row < 8 && file >= 0 && file < 8; }

// Squares reached from s in direction (dr, df), stopping after the first occupied square.
Bitboard rayWalk(Square s, int dr, int df, Bitboard occupied) {
    Bitboard attacks = 0;
    int r = rowOf(s) + dr, f = fileOf(s) + df;
    while (onBoard(r, f)) {
        Square t = 8 * r + f;
        attacks |= bitOf(t);
        if (occupied & bitOf(t)) break;
        r += dr;
        f += df;
    }
    return attacks;
}

// Fills one sliding table. Pattern bit j stands for the line square whose rotated-board
// position p satisfies 63 - p - shift = j, exactly as the lookup cuts the pattern out.
template <typename PositionOf>
void buildLineTable(Bitboard table[64][256], const int directions[2][2], PositionOf positionOf,
                    const uint8_t* shift, const uint8_t* mask) {
    for (Square s = 0; s < 64; ++s) {
        Bitboard line = rayWalk(s, directions[0][0], directions[0][1], 0) |
                        rayWalk(s, directions[1][0], directions[1][1], 0) | bitOf(s);
        for (int k = 0; k <= mask[s]; ++k) {
            Bitboard occupied = 0;
            for (Square t = 0; t < 64; ++t) {
                if (!(line & bitOf(t))) continue;
                int bit = 63 - positionOf(t) - shift[s];
                if (bit >= 0 && bit <= 7 && ((k >> bit) & 1)) occupied |= bitOf(t);
            }
            table[s][k] = rayWalk(s, directions[0][0], directions[0][1], occupied) |
                          rayWalk(s, directions[1][0], directions[1][1], occupied);
        }
    }
}

Bitboard stepTargets(Square s, const int (*steps)[2], int count) {
    Bitboard b = 0;
    for (int i = 0; i < count; ++i) {
        int r = rowOf(s) + steps[i][0], f = fileOf(s) + steps[i][1];
        if (onBoard(r, f)) b |= bitOf(8 * r + f);
    }
    return b;
}

Bitboard fileMask(int file) {
    Bitboard b = 0;
    if (file < 0 || file > 7) return 0;
    for (int r = 0; r < 8; ++r) b |= bitOf(8 * r + file);
    return b;
}

Bitboard rowsAbove(int row) {  // rows 0..row-1
    Bitboard b = 0;
    for (int r = 0; r < row; ++r)
        for (int f = 0; f < 8; ++f) b |= bitOf(8 * r + f);
    return b;
}

Bitboard rowsBelow(int row) {  // rows row+1..7
    Bitboard b = 0;
    for (int r = row + 1; r < 8; ++r)
        for (int f = 0; f < 8; ++f) b |= bitOf(8 * r + f);
    return b;
}


}  // namespace


int rotated90Position(Square s) { return 8 * (7 - fileOf(s)) + rowOf(s); }

int rotated45Position(Square s) {
    int d = detail::diagonalA1H8(s);
    return detail::diagonalStart(d) + fileOf(s) - std::max(0, d - 7);
}

int rotated315Position(Square s) {
    int k = detail::diagonalA8H1(s);
    return detail::diagonalStart(k) + rowOf(s) - std::max(0, k - 7);
}

void initTables() {
    static const int KING_STEPS[8][2] = {{-1, -1}, {-1, 0}, {-1, 1}, {0, -1},
                                         {0, 1},   {1, -1}, {1, 0},  {1, 1}};
    static const int KNIGHT_STEPS[8][2] = {{-2, -1}, {-2, 1}, {-1, -2}, {-1, 2},
                                           {1, -2},  {1, 2},  {2, -1},  {2, 1}};
    static const int WHITE_PAWN_STEPS[2][2] = {{-1, -1}, {-1, 1}};
    static const int BLACK_PAWN_STEPS[2][2] = {{1, -1}, {1, 1}};

    for (Square s = 0; s < 64; ++s) {
        BIT[s] = bitOf(s);
        ROT90_BIT[s] = bitOf(rotated90Position(s));
        ROT45_BIT[s] = bitOf(rotated45Position(s));
        ROT315_BIT[s] = bitOf(rotated315Position(s));
        KING_ATTACKS[s] = stepTargets(s, KING_STEPS, 8);
        KNIGHT_ATTACKS[s] = stepTargets(s, KNIGHT_STEPS, 8);
        PAWN_ATTACKS[WHITE][s] = stepTargets(s, WHITE_PAWN_STEPS, 2);
        PAWN_ATTACKS[BLACK][s] = stepTargets(s, BLACK_PAWN_STEPS, 2);
    }

    // Rank: bit 7 - f of the pattern is file f. File: bit 7 - r is row r.
    uint8_t rankShift[64], rankMask[64], fileShift[64], fileMaskCut[64];
    for (Square s = 0; s < 64; ++s) {
        rankShift[s] = uint8_t(56 - 8 * rowOf(s));
        fileShift[s] = uint8_t(8 * fileOf(s));
        rankMask[s] = fileMaskCut[s] = 0xFF;
    }
    static const int RANK_DIRS[2][2] = {{0, 1}, {0, -1}};
    static const int FILE_DIRS[2][2] = {{-1, 0}, {1, 0}};
    static const int A1H8_DIRS[2][2] = {{-1, 1}, {1, -1}};
    static const int A8H1_DIRS[2][2] = {{-1, -1}, {1, 1}};
    buildLineTable(RANK_ATTACKS, RANK_DIRS, [](Square t) { return t; }, rankShift, rankMask);
    buildLineTable(FILE_ATTACKS, FILE_DIRS, rotated90Position, fileShift, fileMaskCut);
    buildLineTable(DIAG_A1H8_ATTACKS, A1H8_DIRS, rotated45Position, DIAG_SHIFT_A1H8.data(),
                   DIAG_MASK_A1H8.data());
    buildLineTable(DIAG_A8H1_ATTACKS, A8H1_DIRS, rotated315Position, DIAG_SHIFT_A8H1.data(),
                   DIAG_MASK_A8H1.data());

    for (Square s = 0; s < 64; ++s) {
        ROOK_RAYS[s] = RANK_ATTACKS[s][0] | FILE_ATTACKS[s][0];
        BISHOP_RAYS[s] = DIAG_A1H8_ATTACKS[s][0] | DIAG_A8H1_ATTACKS[s][0];
        QUEEN_RAYS[s] = ROOK_RAYS[s] | BISHOP_RAYS[s];
        int f = fileOf(s), r = rowOf(s);
        FILE_EXCEPT[s] = fileMask(f) & ~bitOf(s);
        ADJACENT_FILES[s] = fileMask(f - 1) | fileMask(f + 1);
        Bitboard threeFiles = fileMask(f) | ADJACENT_FILES[s];
        PASSED_MASK[WHITE][s] = threeFiles & rowsAbove(r);
        PASSED_MASK[BLACK][s] = threeFiles & rowsBelow(r);
        FRONT_SPAN[WHITE][s] = fileMask(f) & rowsAbove(r);
        FRONT_SPAN[BLACK][s] = fileMask(f) & rowsBelow(r);
        EP_ROT90[s] = EP_ROT45[s] = EP_ROT315[s] = 0;
        if (r == 2 || r == 5) {
            Square taken = r == 2 ? s + 8 : s - 8;
            EP_ROT90[s] = ROT90_BIT[s] | ROT90_BIT[taken];
            EP_ROT45[s] = ROT45_BIT[s] | ROT45_BIT[taken];
            EP_ROT315[s] = ROT315_BIT[s] | ROT315_BIT[taken];
        }
    }
}

}  // namespace vostil
