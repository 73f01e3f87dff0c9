// Square tables: the bit scan, the rotated occupancy orders and every sliding-attack lookup,
// checked against a plain walk along the board.
#include <gtest/gtest.h>

#include <bit>
#include <random>

#include "board/position.h"
#include "board/tables.h"
#include "board_test_support.h"

namespace vostil {
namespace {

using boardtest::squares;

constexpr Bitboard bitNumber(int n) { return Bitboard(1) << n; }

// Squares a slider on `from` reaches along (dr, df), the first occupied square included.
Bitboard walk(Square from, int dr, int df, Bitboard occupied) {
    Bitboard reached = 0;
    for (int r = rowOf(from) + dr, f = fileOf(from) + df; r >= 0 && r < 8 && f >= 0 && f < 8;
         r += dr, f += df) {
        const Bitboard b = Bitboard(1) << (63 - (8 * r + f));
        reached |= b;
        if (occupied & b) break;
    }
    return reached;
}

Bitboard slowRook(Square s, Bitboard occupied) {
    return walk(s, 1, 0, occupied) | walk(s, -1, 0, occupied) | walk(s, 0, 1, occupied) |
           walk(s, 0, -1, occupied);
}

Bitboard slowBishop(Square s, Bitboard occupied) {
    return walk(s, 1, 1, occupied) | walk(s, 1, -1, occupied) | walk(s, -1, 1, occupied) |
           walk(s, -1, -1, occupied);
}

// Puts a bare occupancy into the position: the plain board and its three rotations.
void placeOccupancy(Bitboard occupied) {
    pos.allOccupancy = occupied;
    pos.rotated90 = pos.rotated45 = pos.rotated315 = 0;
    for (Square s = 0; s < 64; ++s) {
        if (!(occupied & BIT[s])) continue;
        pos.rotated90 |= ROT90_BIT[s];
        pos.rotated45 |= ROT45_BIT[s];
        pos.rotated315 |= ROT315_BIT[s];
    }
}

// The lookups read the global position; leave it as the other tests expect to find it.
class SlidingAttacks : public ::testing::Test {
protected:
    void SetUp() override { saved_ = pos; }
    void TearDown() override { pos = saved_; }

private:
    Position saved_;
};

TEST_F(SlidingAttacks, AgreeWithAWalkAlongTheBoardForRandomOccupancies) {
    std::mt19937_64 random(20240611);
    for (int round = 0; round < 400; ++round) {
        // Sparse, medium and crowded boards alike.
        Bitboard occupied = random();
        if (round % 3 == 0) occupied &= random() & random();
        if (round % 3 == 1) occupied &= random();
        placeOccupancy(occupied);
        for (Square s = 0; s < 64; ++s) {
            ASSERT_EQ(rookAttacks(s), slowRook(s, occupied))
                << "square " << s << " occupancy " << std::hex << occupied;
            ASSERT_EQ(bishopAttacks(s), slowBishop(s, occupied))
                << "square " << s << " occupancy " << std::hex << occupied;
            ASSERT_EQ(queenAttacks(s), slowRook(s, occupied) | slowBishop(s, occupied));
        }
    }
}

TEST_F(SlidingAttacks, EmptyAndFullBoards) {
    for (Bitboard occupied : {Bitboard(0), ~Bitboard(0)}) {
        placeOccupancy(occupied);
        for (Square s = 0; s < 64; ++s) {
            EXPECT_EQ(rookAttacks(s), slowRook(s, occupied)) << s;
            EXPECT_EQ(bishopAttacks(s), slowBishop(s, occupied)) << s;
        }
    }
}

TEST_F(SlidingAttacks, DoNotDependOnWhetherTheSliderItselfIsOnTheBoard) {
    std::mt19937_64 random(7);
    for (int round = 0; round < 50; ++round) {
        const Bitboard occupied = random() & random();
        for (Square s = 0; s < 64; ++s) {
            placeOccupancy(occupied | BIT[s]);
            const Bitboard rook = rookAttacks(s), bishop = bishopAttacks(s);
            placeOccupancy(occupied & ~BIT[s]);
            EXPECT_EQ(rookAttacks(s), rook) << s;
            EXPECT_EQ(bishopAttacks(s), bishop) << s;
        }
    }
}

TEST_F(SlidingAttacks, RookOnE4WithOnlyKingsOnTheBoardSweepsItsRankAndFile) {
    boardtest::setUp("k7/8/8/8/8/8/8/7K w - -");
    const Bitboard rank4 = squares({A4, B4, C4, D4, F4, G4, H4});
    const Bitboard fileE = squares({E8, E7, E6, E5, E3, E2, E1});
    EXPECT_EQ(rookAttacks(E4), rank4 | fileE);
    // The long diagonal ends on the kings, whatever their colour.
    EXPECT_EQ(bishopAttacks(E4) & squares({A8, H1}), squares({A8, H1}));
    EXPECT_EQ(std::popcount(bishopAttacks(E4)), 13);
}

TEST(BitScan, ReturnsTheHighestNumberedSquare) {
    EXPECT_EQ(bitScan(BIT[H1] | BIT[A8]), 63);
    EXPECT_EQ(bitScan(BIT[A1] | BIT[H8]), 56);
    for (Square s = 0; s < 64; ++s) {
        EXPECT_EQ(bitScan(BIT[s]), s);
        EXPECT_EQ(bitScan(BIT[s] | BIT[0]), s);
    }
}

TEST(Squares, BitOfASquareCountsFromA8) {
    EXPECT_EQ(BIT[A8], bitNumber(63));
    EXPECT_EQ(BIT[H1], bitNumber(0));
    EXPECT_EQ(BIT[E2], bitNumber(63 - 52));
}

TEST(RotatedBits, CornersLandWhereTheOrdersPutThem) {
    EXPECT_EQ(ROT90_BIT[A8], bitNumber(7));
    EXPECT_EQ(ROT90_BIT[A1], bitNumber(0));
    EXPECT_EQ(ROT90_BIT[H8], bitNumber(63));
    EXPECT_EQ(ROT90_BIT[H1], bitNumber(56));
    EXPECT_EQ(ROT45_BIT[A8], bitNumber(63));
    EXPECT_EQ(ROT45_BIT[H1], bitNumber(0));
    EXPECT_EQ(ROT315_BIT[H8], bitNumber(63));
    EXPECT_EQ(ROT315_BIT[A1], bitNumber(0));
}

TEST(RotatedBits, EachRotationIsAPermutationOfTheSquares) {
    for (const Bitboard* table : {ROT90_BIT, ROT45_BIT, ROT315_BIT}) {
        Bitboard seen = 0;
        for (Square s = 0; s < 64; ++s) {
            EXPECT_EQ(std::popcount(table[s]), 1) << s;
            seen |= table[s];
        }
        EXPECT_EQ(seen, ~Bitboard(0));
    }
}

TEST(RotatedBits, AFileIsOneByteOfTheFileMajorBoard) {
    Bitboard fileE = 0;
    for (Square s = E8; s <= E1; s += 8) fileE |= ROT90_BIT[s];
    EXPECT_EQ(fileE, Bitboard(0xFF) << 32);
    EXPECT_EQ(ROT90_BIT[E8], bitNumber(32 + 7));  // eighth rank in the byte's top bit
    EXPECT_EQ(ROT90_BIT[E1], bitNumber(32));
}

TEST(LineTables, RankAndFileAttacksIgnoreTheSlidersOwnBit) {
    for (Square s = 0; s < 64; ++s) {
        const int ownRankBit = 1 << (7 - fileOf(s)), ownFileBit = 1 << (7 - rowOf(s));
        for (int k = 0; k < 256; ++k) {
            ASSERT_EQ(RANK_ATTACKS[s][k], RANK_ATTACKS[s][k ^ ownRankBit]) << s << " " << k;
            ASSERT_EQ(FILE_ATTACKS[s][k], FILE_ATTACKS[s][k ^ ownFileBit]) << s << " " << k;
            ASSERT_FALSE(RANK_ATTACKS[s][k] & BIT[s]);
            ASSERT_FALSE(FILE_ATTACKS[s][k] & BIT[s]);
        }
    }
}

TEST(LineTables, DiagonalEdgeFacts) {
    // a8 is alone on its a1-h8 diagonal: nothing to attack there, whatever the pattern.
    for (int k = 0; k < 256; ++k) EXPECT_EQ(DIAG_A1H8_ATTACKS[A8][k], 0u) << k;
    EXPECT_EQ(DIAG_A8H1_ATTACKS[A8][0], squares({B7, C6, D5, E4, F3, G2, H1}));
    EXPECT_EQ(DIAG_A1H8_ATTACKS[A1][0], squares({B2, C3, D4, E5, F6, G7, H8}));
    // Patterns wider than a square's diagonal never occur, and their entries stay empty.
    for (Square s = 0; s < 64; ++s)
        for (int k = 0; k < 256; ++k) {
            if (k > DIAG_MASK_A1H8[s]) {
                ASSERT_EQ(DIAG_A1H8_ATTACKS[s][k], 0u) << s << " " << k;
            }
            if (k > DIAG_MASK_A8H1[s]) {
                ASSERT_EQ(DIAG_A8H1_ATTACKS[s][k], 0u) << s << " " << k;
            }
        }
}

TEST(LineTables, DiagonalShiftsAndMasks) {
    EXPECT_EQ(DIAG_SHIFT_A1H8[A8], 63);
    EXPECT_EQ(DIAG_MASK_A1H8[A8], 1);
    EXPECT_EQ(DIAG_SHIFT_A8H1[A8], 28);
    EXPECT_EQ(DIAG_MASK_A8H1[A8], 255);
    EXPECT_EQ(DIAG_SHIFT_A1H8[H1], 0);
    EXPECT_EQ(DIAG_MASK_A1H8[H1], 1);
    EXPECT_EQ(DIAG_SHIFT_A1H8[A1], 28);
    EXPECT_EQ(DIAG_MASK_A1H8[A1], 255);
    EXPECT_EQ(DIAG_SHIFT_A8H1[H8], 63);
    EXPECT_EQ(DIAG_SHIFT_A8H1[A1], 0);
    // The mask is as wide as the diagonal is long.
    EXPECT_EQ(DIAG_MASK_A1H8[B8], 3);   // a7-b8
    EXPECT_EQ(DIAG_MASK_A8H1[C8], 63);  // c8-h3
}

TEST(LineTables, EmptyBoardRays) {
    for (Square s = 0; s < 64; ++s) {
        EXPECT_EQ(std::popcount(ROOK_RAYS[s]), 14) << s;
        EXPECT_EQ(QUEEN_RAYS[s], ROOK_RAYS[s] | BISHOP_RAYS[s]);
        EXPECT_FALSE(QUEEN_RAYS[s] & BIT[s]);
    }
    EXPECT_EQ(std::popcount(BISHOP_RAYS[D4]), 13);
    EXPECT_EQ(std::popcount(BISHOP_RAYS[A8]), 7);
}

TEST(StepTables, PawnAttacks) {
    EXPECT_EQ(PAWN_ATTACKS[WHITE][A7], BIT[B8]);
    EXPECT_EQ(PAWN_ATTACKS[BLACK][H7], BIT[G6]);
    EXPECT_EQ(PAWN_ATTACKS[WHITE][E4], squares({D5, F5}));
    EXPECT_EQ(PAWN_ATTACKS[BLACK][E4], squares({D3, F3}));
    EXPECT_EQ(PAWN_ATTACKS[WHITE][H2], BIT[G3]);
    for (Square s = A8; s <= H8; ++s) EXPECT_EQ(PAWN_ATTACKS[WHITE][s], 0u) << s;
    for (Square s = A1; s <= H1; ++s) EXPECT_EQ(PAWN_ATTACKS[BLACK][s], 0u) << s;
}

TEST(StepTables, KingAndKnightSteps) {
    EXPECT_EQ(KNIGHT_ATTACKS[A8], squares({B6, C7}));
    EXPECT_EQ(KNIGHT_ATTACKS[G1], squares({E2, F3, H3}));
    EXPECT_EQ(std::popcount(KNIGHT_ATTACKS[D4]), 8);
    EXPECT_EQ(KING_ATTACKS[E1], squares({D1, F1, D2, E2, F2}));
    EXPECT_EQ(KING_ATTACKS[H8], squares({G8, G7, H7}));
}

TEST(StepTables, EnPassantRotatedMasksCoverTargetAndTakenPawn) {
    EXPECT_EQ(EP_ROT90[E3], ROT90_BIT[E3] | ROT90_BIT[E4]);
    EXPECT_EQ(EP_ROT45[D6], ROT45_BIT[D6] | ROT45_BIT[D5]);
    EXPECT_EQ(EP_ROT315[A6], ROT315_BIT[A6] | ROT315_BIT[A5]);
}

TEST(StepTables, PawnStructureMasks) {
    EXPECT_EQ(FRONT_SPAN[WHITE][E4], squares({E5, E6, E7, E8}));
    EXPECT_EQ(FRONT_SPAN[BLACK][E4], squares({E3, E2, E1}));
    EXPECT_EQ(std::popcount(PASSED_MASK[WHITE][E4]), 12);
    EXPECT_EQ(PASSED_MASK[WHITE][E8], 0u);
    EXPECT_EQ(PASSED_MASK[BLACK][A2], squares({A1, B1}));
    EXPECT_EQ(FILE_EXCEPT[A1], squares({A8, A7, A6, A5, A4, A3, A2}));
    EXPECT_EQ(std::popcount(ADJACENT_FILES[A5]), 8);
    EXPECT_EQ(std::popcount(ADJACENT_FILES[D5]), 16);
}

}  // namespace
}  // namespace vostil
