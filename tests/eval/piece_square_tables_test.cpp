// Shape of the piece-square tables: the symmetries a transcription slip would break.
#include <gtest/gtest.h>

#include "common/types.h"
#include "eval/piece_square_tables.h"

namespace vostil {
namespace {

struct NamedTable {
    const char* name;
    const int16_t* values;
};

const NamedTable KING_TABLES[] = {{"KING_TABLE_1", KING_TABLE_1},
                                  {"KING_TABLE_2", KING_TABLE_2},
                                  {"KING_TABLE_3", KING_TABLE_3},
                                  {"KING_TABLE_4", KING_TABLE_4}};

const NamedTable PAWN_TABLES[] = {{"PAWN_TABLE_1", PAWN_TABLE_1},
                                  {"PAWN_TABLE_2", PAWN_TABLE_2},
                                  {"PAWN_TABLE_3", PAWN_TABLE_3},
                                  {"PAWN_TABLE_4", PAWN_TABLE_4}};

const NamedTable PIECE_TABLES[] = {
    {"KNIGHT_TABLE_1", KNIGHT_TABLE_1}, {"KNIGHT_TABLE_2", KNIGHT_TABLE_2},
    {"BISHOP_TABLE_1", BISHOP_TABLE_1}, {"BISHOP_TABLE_2", BISHOP_TABLE_2},
    {"ROOK_TABLE_1", ROOK_TABLE_1},     {"ROOK_TABLE_2", ROOK_TABLE_2},
    {"QUEEN_TABLE_1", QUEEN_TABLE_1},   {"QUEEN_TABLE_2", QUEEN_TABLE_2}};

constexpr Square mirroredFile(Square s) { return s ^ 7; }

// Kings of both colours read the same table, so a king table must not care which way round
// the board is turned.
TEST(PieceSquareTables, KingTablesAreSymmetricUnderAHalfTurn) {
    for (const NamedTable& t : KING_TABLES)
        for (Square s = 0; s < 64; ++s) EXPECT_EQ(t.values[s], t.values[63 - s]) << t.name << " " << s;
}

TEST(PieceSquareTables, PieceTablesAreSymmetricBetweenTheWings) {
    for (const NamedTable& t : PIECE_TABLES)
        for (Square s = 0; s < 64; ++s)
            EXPECT_EQ(t.values[s], t.values[mirroredFile(s)]) << t.name << " " << s;
    for (const NamedTable& t : KING_TABLES)
        for (Square s = 0; s < 64; ++s)
            EXPECT_EQ(t.values[s], t.values[mirroredFile(s)]) << t.name << " " << s;
}

// The opening pawn table's third rank is the one deliberate exception: c3 is good, f3 is not.
TEST(PieceSquareTables, PawnTablesAreSymmetricExceptTheOpeningThirdRank) {
    for (const NamedTable& t : PAWN_TABLES)
        for (Square s = 0; s < 64; ++s) {
            if (t.values == PAWN_TABLE_1 && rowOf(s) == rowOf(A3)) continue;
            EXPECT_EQ(t.values[s], t.values[mirroredFile(s)]) << t.name << " " << s;
        }
    EXPECT_EQ(PAWN_TABLE_1[C3], 1);
    EXPECT_EQ(PAWN_TABLE_1[F3], -1);
    EXPECT_EQ(PAWN_TABLE_1[B3], -1);
    EXPECT_EQ(PAWN_TABLE_1[G3], -1);
}

TEST(PieceSquareTables, PawnTablesShareTheirEdgeRanksAndCentreHoles) {
    for (const NamedTable& t : PAWN_TABLES) {
        for (Square s = A8; s <= H8; ++s) EXPECT_EQ(t.values[s], 99) << t.name;
        for (Square s = A1; s <= H1; ++s) EXPECT_EQ(t.values[s], 0) << t.name;
        // Unmoved centre pawns are the ones the tables push forward.
        EXPECT_EQ(t.values[D2], -9) << t.name;
        EXPECT_EQ(t.values[E2], -9) << t.name;
    }
}

// Later stages value advanced pawns more: the further the game, the more a passer is worth.
TEST(PieceSquareTables, AdvancedPawnsGainValueAsTheStagesProgress) {
    for (Square s = A7; s <= H7; ++s) {
        EXPECT_LT(PAWN_TABLE_1[s], PAWN_TABLE_2[s]) << s;
        EXPECT_LT(PAWN_TABLE_2[s], PAWN_TABLE_3[s]) << s;
        EXPECT_LT(PAWN_TABLE_3[s], PAWN_TABLE_4[s]) << s;
    }
}

// The king hides in the corner early on and walks to the centre at the end.
TEST(PieceSquareTables, KingPrefersTheCornerEarlyAndTheCentreLate) {
    EXPECT_GT(KING_TABLE_1[G1], KING_TABLE_1[E4]);
    EXPECT_GT(KING_TABLE_2[G1], KING_TABLE_2[E4]);
    EXPECT_LT(KING_TABLE_3[G1], KING_TABLE_3[E4]);
    EXPECT_LT(KING_TABLE_4[G1], KING_TABLE_4[E4]);
}

}  // namespace
}  // namespace vostil
