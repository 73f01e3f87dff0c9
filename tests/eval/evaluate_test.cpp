// Static evaluation: symmetry, the pawn, rook, bishop and shelter terms, dead material,
// the stage tables and the pawn cache.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "board/make_move.h"
#include "game/setup_game_position.h"
#include "board/position.h"
#include "board/tables.h"
#include "eval/evaluate.h"
#include "eval/piece_square_tables.h"

namespace vostil {
namespace {

// Rule values as a player would quote them.
constexpr int PAWN = 100, KNIGHT = 310, BISHOP = 315, ROOK = 500, QUEEN = 940;
constexpr int ISOLATED = 20, DOUBLED = 8, PASSED_PER_ROW = 8;
constexpr int ROOK_HALF_OPEN = 8, ROOK_OPEN = 16;
constexpr int BISHOP_PAIR = 25;
constexpr int FULL_SHELTER = 5 + 5 + 5 + 2;

void setUp(const std::string& fen) { ASSERT_TRUE(setupGamePosition(fen.c_str(), false)) << fen; }

Score evaluationOf(const std::string& fen) {
    EXPECT_TRUE(setupGamePosition(fen.c_str(), false)) << fen;
    return evaluate();
}

// The value of a black piece on s: the white table read with the board turned round.
constexpr Square turned(Square s) { return 63 - s; }

// Splits "placement side castling ep" into its fields.
std::vector<std::string> fenFields(const std::string& fen) {
    std::vector<std::string> fields;
    size_t start = 0;
    while (start < fen.size()) {
        size_t end = fen.find(' ', start);
        if (end == std::string::npos) end = fen.size();
        if (end > start) fields.push_back(fen.substr(start, end - start));
        start = end + 1;
    }
    return fields;
}

std::string swapCase(std::string s) {
    for (char& c : s)
        c = std::isupper(static_cast<unsigned char>(c)) ? char(std::tolower(c)) : char(std::toupper(c));
    return s;
}

// The same game seen from the other side: ranks mirrored top to bottom, colours and the
// side to move swapped, castling rights and the en-passant square carried along.
std::string colourFlipped(const std::string& fen) {
    std::vector<std::string> f = fenFields(fen);
    std::vector<std::string> ranks;
    size_t start = 0;
    for (size_t slash; (slash = f[0].find('/', start)) != std::string::npos; start = slash + 1)
        ranks.push_back(f[0].substr(start, slash - start));
    ranks.push_back(f[0].substr(start));
    std::string placement;
    for (auto it = ranks.rbegin(); it != ranks.rend(); ++it) {
        if (!placement.empty()) placement += '/';
        placement += swapCase(*it);
    }
    std::string side = f[1] == "w" ? "b" : "w";
    std::string castling = f.size() > 2 ? (f[2] == "-" ? "-" : swapCase(f[2])) : "-";
    std::string ep = f.size() > 3 ? f[3] : "-";
    if (ep != "-") ep[1] = char('1' + ('8' - ep[1]));
    return placement + " " + side + " " + castling + " " + ep;
}

// Board turned through 180 degrees, colours and side to move swapped.
std::string colourRotated(const std::string& fen) {
    std::vector<std::string> f = fenFields(fen);
    std::string placement(f[0].rbegin(), f[0].rend());
    std::string side = f[1] == "w" ? "b" : "w";
    return swapCase(placement) + " " + side + " - -";
}

std::string withSideToMove(const std::string& fen, char side) {
    std::vector<std::string> f = fenFields(fen);
    std::string out = f[0] + " " + side;
    for (size_t i = 2; i < f.size(); ++i) out += " " + f[i];
    return out;
}

// Positions from every stage of the game; none has a pawn on c3, f3, c6 or f6 while the
// opening tables apply (see the rotation test below for why that matters).
const std::vector<std::string> VARIED_POSITIONS = {
    START_FEN,
    "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq -",
    "rnbq1rk1/ppp1ppbp/3p1np1/8/2PPP3/2N2N2/PP3PPP/R1BQKB1R w KQ -",
    "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - -",
    "2kr3r/ppp2ppp/2n5/3q4/3P4/2P2N2/P4PPP/R2Q1RK1 b - -",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
    "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6",
    "6k1/5ppp/8/8/8/8/5PPP/6K1 w - -",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -",
    "8/8/4k3/3p4/3P4/4K3/8/8 w - -",
    "8/P7/8/8/8/2k5/8/K7 b - -",
    "4k3/8/8/8/8/8/8/RN2K2R w K -",
    "4k3/8/8/8/8/4B3/8/2B1K3 b - -",
    "3qk3/8/8/8/8/8/8/Q2QK3 w - -",
    "3q1rk1/4pppp/8/8/8/6PP/4PP2/3QR1K1 b - -",
    "1kr1q3/pppp4/8/8/8/8/PPPP4/1K1RQ3 w - -",
    "r1b2rk1/pp3ppp/2n5/q2pN3/3P4/P1P5/2Q2PPP/R1B1KB1R w KQ -",
};

// --- Symmetry --------------------------------------------------------------------

TEST(EvaluationSymmetry, InitialPositionIsLevelForEitherSide) {
    EXPECT_EQ(evaluationOf(START_FEN), 0);
    EXPECT_EQ(evaluationOf("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq -"), 0);
}

TEST(EvaluationSymmetry, ColourFlippedPositionScoresTheSame) {
    for (const std::string& fen : VARIED_POSITIONS) {
        std::string flipped = colourFlipped(fen);
        EXPECT_EQ(evaluationOf(fen), evaluationOf(flipped)) << fen << "  vs  " << flipped;
    }
}

TEST(EvaluationSymmetry, OtherSideToMoveNegatesTheScore) {
    for (const std::string& fen : VARIED_POSITIONS) {
        Score white = evaluationOf(withSideToMove(fen, 'w'));
        Score black = evaluationOf(withSideToMove(fen, 'b'));
        EXPECT_EQ(white, -black) << fen;
    }
}

// The opening pawn table is not left-right symmetric on the third rank (c3 +1, f3 -1), so
// only the half-turn of the board is an exact symmetry once such pawns are on the board.
TEST(EvaluationSymmetry, HalfTurnedPositionScoresTheSameEvenWithOpeningThirdRankPawns) {
    std::vector<std::string> positions = VARIED_POSITIONS;
    positions.push_back("rnbqkbnr/pp2pppp/2p5/3p4/3P4/2P5/PP2PPPP/RNBQKBNR w KQkq -");
    positions.push_back("rnbqkbnr/ppppp1pp/5p2/8/8/2P2P2/PP1PP1PP/RNBQKBNR b KQkq -");
    positions.push_back("r2q1rk1/pp2bppp/2n1pn2/2pp4/3P1B2/2P1PN2/PP1NBPPP/R2QK2R w KQ -");
    for (const std::string& fen : positions) {
        std::string rotated = colourRotated(fen);
        EXPECT_EQ(evaluationOf(fen), evaluationOf(rotated)) << fen << "  vs  " << rotated;
    }
}

TEST(EvaluationSymmetry, OpeningPawnOnC3IsWorthTwoMoreThanOnF3) {
    ASSERT_EQ(PAWN_TABLE_1[C3] - PAWN_TABLE_1[F3], 2);
    Score c3 = evaluationOf("rnbqkbnr/pppppppp/8/8/8/2P5/PP1PPPPP/RNBQKBNR w KQkq -");
    Score f3 = evaluationOf("rnbqkbnr/pppppppp/8/8/8/5P2/PPPPP1PP/RNBQKBNR w KQkq -");
    EXPECT_EQ(c3 - f3, PAWN_TABLE_1[C3] - PAWN_TABLE_1[F3]);
}

// --- Dead material -----------------------------------------------------------------

TEST(EvaluationMaterial, BareKingsAndALoneMinorPieceAreDead) {
    EXPECT_EQ(evaluationOf("4k3/8/8/8/8/8/8/4K3 w - -"), 0);
    EXPECT_EQ(evaluationOf("4k3/8/8/8/8/8/8/1N2K3 w - -"), 0);
    EXPECT_EQ(evaluationOf("4k3/8/8/8/8/8/8/2B1K3 b - -"), 0);
    EXPECT_EQ(evaluationOf("4k3/8/3n4/8/8/8/8/4K3 w - -"), 0);
    EXPECT_EQ(evaluationOf("2b1k3/8/8/8/8/8/8/4K3 w - -"), 0);
}

TEST(EvaluationMaterial, RookOrPawnOrTwoMinorsAreCounted) {
    // King and rook: material 5, evaluated normally (open file, endgame tables).
    EXPECT_EQ(evaluationOf("4k3/8/8/8/8/8/8/3RK3 w - -"), ROOK + ROOK_TABLE_2[D1] + ROOK_OPEN);
    // A lone pawn: material 1 is enough when it is a pawn.
    EXPECT_EQ(evaluationOf("4k3/8/8/8/8/8/4P3/4K3 b - -"),
              -(PAWN + PAWN_TABLE_4[E2] - ISOLATED + PASSED_PER_ROW));
    // Knight against knight (material 6) is not written off either.
    EXPECT_EQ(evaluationOf("4k3/8/8/8/8/8/8/1N1nK3 w - -"),
              KNIGHT + KNIGHT_TABLE_2[B1] - (KNIGHT + KNIGHT_TABLE_2[turned(D1)]));
    EXPECT_EQ(evaluationOf("4k3/8/8/8/8/8/8/3QK3 w - -"), QUEEN + QUEEN_TABLE_2[D1]);
}

TEST(EvaluationMaterial, AHugeArmyStopsShortOfTheMateRange) {
    EXPECT_EQ(evaluationOf("8/8/8/7k/8/QQQ5/QQQ5/QQQ1K3 w - -"), EVAL_LIMIT);
    EXPECT_EQ(evaluationOf("8/8/8/7k/8/QQQ5/QQQ5/QQQ1K3 b - -"), -EVAL_LIMIT);
    EXPECT_EQ(evaluationOf("qqq1k3/qqq5/qqq5/8/7K/8/8/8 w - -"), -EVAL_LIMIT);
}

TEST(EvaluationMaterial, KingsReadTheirStageTable) {
    // Material 5 (endgame): kings want the centre.
    Score central = evaluationOf("8/8/3k4/8/3K4/8/8/7R w - -");
    Score edge = evaluationOf("8/8/3k4/8/8/8/8/K6R w - -");
    EXPECT_EQ(central - edge, KING_TABLE_4[D4] - KING_TABLE_4[A1]);
    EXPECT_EQ(central, KING_TABLE_4[D4] - KING_TABLE_4[turned(D6)] + ROOK + ROOK_TABLE_2[H1] +
                           ROOK_OPEN);
}

// --- Pawn structure ------------------------------------------------------------------

TEST(EvaluationPawns, PassedPawnOnTheSeventhEarnsFortyEight) {
    EXPECT_EQ(evaluationOf("4k3/4P3/8/8/8/8/8/4K3 w - -"),
              PAWN + PAWN_TABLE_4[E7] - ISOLATED + 6 * PASSED_PER_ROW);
    EXPECT_EQ(evaluationOf("4k3/8/8/8/8/8/4p3/4K3 w - -"),
              -(PAWN + PAWN_TABLE_4[turned(E2)]) + ISOLATED - 6 * PASSED_PER_ROW);
}

TEST(EvaluationPawns, DoubledPawnsArePenalisedAndOnlyTheFrontOneIsPassed) {
    // e5 and e3, nothing beside them: both doubled and isolated; e5 passed from the fifth.
    EXPECT_EQ(evaluationOf("4k3/8/8/4P3/8/4P3/8/4K3 w - -"),
              2 * PAWN + PAWN_TABLE_4[E5] + PAWN_TABLE_4[E3] - 2 * DOUBLED - 2 * ISOLATED +
                  4 * PASSED_PER_ROW);
    // A d-pawn beside them lifts both isolations and is itself passed from the second rank.
    EXPECT_EQ(evaluationOf("4k3/8/8/4P3/8/4P3/3P4/4K3 w - -"),
              3 * PAWN + PAWN_TABLE_4[E5] + PAWN_TABLE_4[E3] + PAWN_TABLE_4[D2] - 2 * DOUBLED +
                  4 * PASSED_PER_ROW + 1 * PASSED_PER_ROW);
    // Black's doubled pawns, seen from black's side of the board.
    EXPECT_EQ(evaluationOf("4k3/8/3p4/8/3p4/8/8/4K3 b - -"),
              2 * PAWN + PAWN_TABLE_4[turned(D6)] + PAWN_TABLE_4[turned(D4)] - 2 * DOUBLED -
                  2 * ISOLATED + 4 * PASSED_PER_ROW);
}

TEST(EvaluationPawns, DoubledFrontPawnFacingAnEnemyPawnIsNotPassed) {
    // The e5 front pawn has a black pawn on d6 ahead of it; the black pawn is blocked too.
    EXPECT_EQ(evaluationOf("4k3/8/3p4/4P3/8/4P3/8/4K3 w - -"),
              2 * PAWN + PAWN_TABLE_4[E5] + PAWN_TABLE_4[E3] - 2 * DOUBLED - 2 * ISOLATED -
                  (PAWN + PAWN_TABLE_4[turned(D6)] - ISOLATED));
}

TEST(EvaluationPawns, AdjacentEnemyPawnAheadStopsAPasser) {
    EXPECT_EQ(evaluationOf("4k3/8/3p4/4P3/8/8/8/4K3 w - -"),
              PAWN + PAWN_TABLE_4[E5] - ISOLATED - (PAWN + PAWN_TABLE_4[turned(D6)] - ISOLATED));
}

TEST(EvaluationPawns, PawnsThatHavePassedEachOtherAreBothPassed) {
    // White e6 (three rows to go) and black d4 (four rows to go) can no longer meet.
    EXPECT_EQ(evaluationOf("4k3/8/4P3/8/3p4/8/8/4K3 w - -"),
              PAWN + PAWN_TABLE_4[E6] - ISOLATED + 5 * PASSED_PER_ROW -
                  (PAWN + PAWN_TABLE_4[turned(D4)] - ISOLATED + 4 * PASSED_PER_ROW));
}

// --- Rooks and bishops -------------------------------------------------------------------

TEST(EvaluationRooks, OpenFileEarnsSixteenHalfOpenEightOwnPawnNothing) {
    EXPECT_EQ(evaluationOf("4k3/8/8/8/8/8/8/3RK3 w - -"), ROOK + ROOK_TABLE_2[D1] + ROOK_OPEN);
    // Only a black pawn on the d-file: half open for White.
    EXPECT_EQ(evaluationOf("4k3/3p4/8/8/8/8/8/3RK3 w - -"),
              ROOK + ROOK_TABLE_2[D1] + ROOK_HALF_OPEN -
                  (PAWN + PAWN_TABLE_4[turned(D7)] - ISOLATED + 1 * PASSED_PER_ROW));
    // Its own pawn on the file: no bonus.
    EXPECT_EQ(evaluationOf("4k3/8/8/8/8/8/3P4/3RK3 w - -"),
              ROOK + ROOK_TABLE_2[D1] + PAWN + PAWN_TABLE_4[D2] - ISOLATED + 1 * PASSED_PER_ROW);
    // Black's rook on the open d-file.
    EXPECT_EQ(evaluationOf("3rk3/8/8/8/8/8/8/4K3 w - -"),
              -(ROOK + ROOK_TABLE_2[turned(D8)] + ROOK_OPEN));
}

TEST(EvaluationBishops, PairOnBothColoursEarnsTheBonus) {
    EXPECT_EQ(evaluationOf("4k3/8/8/8/8/8/8/2B1KB2 w - -"),
              2 * BISHOP + BISHOP_TABLE_2[C1] + BISHOP_TABLE_2[F1] + BISHOP_PAIR);
    EXPECT_EQ(evaluationOf("2b1kb2/8/8/8/8/8/8/4K3 w - -"),
              -(2 * BISHOP + BISHOP_TABLE_2[turned(C8)] + BISHOP_TABLE_2[turned(F8)] + BISHOP_PAIR));
}

TEST(EvaluationBishops, TwoBishopsOnDarkSquaresAreNoPair) {
    // c1 and e3 are both dark, as after an under-promotion.
    EXPECT_EQ(evaluationOf("4k3/8/8/8/8/4B3/8/2B1K3 w - -"),
              2 * BISHOP + BISHOP_TABLE_2[C1] + BISHOP_TABLE_2[E3]);
}

// --- King shelter ---------------------------------------------------------------------------
// Each case compares the same position with a rook on a neighbouring square: with the rook in
// the king's corner there is no shelter term, so the difference is the shelter plus the rook's
// square difference. Both rook files hold a white pawn, so no file bonus differs.

// The same comparison is made on the colour-flipped pair, so every case checks Black's corner
// as well; from the side to move's view the two differences agree.
Score whiteRookToggle(const std::string& rankOneOutside, const std::string& rankOneInside,
                      const std::string& rest) {
    const std::string outside = rest + rankOneOutside + " w - -";
    const std::string inside = rest + rankOneInside + " w - -";
    const Score difference = evaluationOf(outside) - evaluationOf(inside);
    const Score blackDifference = evaluationOf(colourFlipped(outside)) - evaluationOf(colourFlipped(inside));
    EXPECT_EQ(blackDifference, difference) << "black's corner, " << colourFlipped(outside);
    return difference;
}

TEST(EvaluationShelter, KingsideCornerCountsPawnsOnFGAndH) {
    const int rookShift = ROOK_TABLE_2[E1] - ROOK_TABLE_2[F1];  // material 36: middle stage
    // f2 g2 h2 all home.
    EXPECT_EQ(whiteRookToggle("3QR1K1", "3Q1RK1", "3q1rk1/4pppp/8/8/8/8/4PPPP/"),
              FULL_SHELTER + rookShift);
    // Only f2 home.
    EXPECT_EQ(whiteRookToggle("3QR1K1", "3Q1RK1", "3q1rk1/4pppp/8/8/8/6PP/4PP2/"), 5 + rookShift);
    // Only h2 home: the corner pawn adds its extra two.
    EXPECT_EQ(whiteRookToggle("3QR1K1", "3Q1RK1", "3q1rk1/4pppp/8/8/8/5PP1/4P2P/"), 5 + 2 + rookShift);
    // Only g2 home.
    EXPECT_EQ(whiteRookToggle("3QR1K1", "3Q1RK1", "3q1rk1/4pppp/8/8/8/5P1P/4P1P1/"),
              5 + 2 + rookShift);
    // All three advanced.
    EXPECT_EQ(whiteRookToggle("3QR1K1", "3Q1RK1", "3q1rk1/4pppp/8/8/8/5PPP/4P3/"), rookShift);
}

TEST(EvaluationShelter, QueensideCornerCountsPawnsOnAB_AndC) {
    const int rookShift = ROOK_TABLE_2[D1] - ROOK_TABLE_2[C1];
    EXPECT_EQ(whiteRookToggle("1K1RQ3", "1KR1Q3", "1kr1q3/pppp4/8/8/8/8/PPPP4/"),
              FULL_SHELTER + rookShift);
    // c2 alone earns no corner extra.
    EXPECT_EQ(whiteRookToggle("1K1RQ3", "1KR1Q3", "1kr1q3/pppp4/8/8/8/PP6/2PP4/"), 5 + rookShift);
}

TEST(EvaluationShelter, BlackKingsideCornerCountsForBlack) {
    // Black's rook toggles between e8 (outside the corner) and f8 (inside).
    Score outside = evaluationOf("3qr1k1/4pppp/8/8/8/8/4PPPP/3QR1K1 w - -");
    Score inside = evaluationOf("3q1rk1/4pppp/8/8/8/8/4PPPP/3QR1K1 w - -");
    EXPECT_EQ(outside - inside, -FULL_SHELTER - (ROOK_TABLE_2[turned(E8)] - ROOK_TABLE_2[turned(F8)]));
}

TEST(EvaluationShelter, NoShelterAtThirtyFiveMaterialOrLess) {
    const int rookShift = ROOK_TABLE_2[E1] - ROOK_TABLE_2[F1];
    // Without black's e-pawn the material is 35; the stage tables are the same as at 36.
    EXPECT_EQ(whiteRookToggle("3QR1K1", "3Q1RK1", "3q1rk1/5ppp/8/8/8/8/4PPPP/"), rookShift);
}

// --- Stages ------------------------------------------------------------------------------

// The stage table: which table each piece kind reads at a given amount of material.
const int16_t* expectedTable(int kind, int material) {
    static const int16_t* const KING[] = {KING_TABLE_1, KING_TABLE_2, KING_TABLE_2, KING_TABLE_3,
                                          KING_TABLE_4};
    static const int16_t* const PAWNS[] = {PAWN_TABLE_1, PAWN_TABLE_2, PAWN_TABLE_3, PAWN_TABLE_3,
                                           PAWN_TABLE_4};
    int stage = material >= 71 ? 0 : material >= 63 ? 1 : material >= 47 ? 2 : material >= 15 ? 3 : 4;
    switch (kind) {
        case 1: return PAWNS[stage];
        case 2: return stage == 0 ? KNIGHT_TABLE_1 : KNIGHT_TABLE_2;
        case 3: return stage == 0 ? BISHOP_TABLE_1 : BISHOP_TABLE_2;
        case 4: return stage == 0 ? ROOK_TABLE_1 : ROOK_TABLE_2;
        case 5: return stage == 0 ? QUEEN_TABLE_1 : QUEEN_TABLE_2;
        default: return KING[stage];
    }
}

TEST(EvaluationStages, PieceSquareValueFollowsTheStageBoundaries) {
    setUp(START_FEN);
    for (int material : {0, 14, 15, 35, 46, 47, 62, 63, 70, 71, 78, 127}) {
        pos.totalMaterial = uint8_t(material);
        for (PieceCode code = WHITE_PAWN; code <= BLACK_KING; ++code) {
            const int16_t* table = expectedTable((code + 1) / 2, material);
            for (Square s = 0; s < 64; ++s)
                ASSERT_EQ(pieceSquareValue(code, s), table[s])
                    << "code " << int(code) << " square " << s << " material " << material;
        }
    }
    setUp(START_FEN);
}

TEST(EvaluationStages, MaterialAbove127UsesTheOpeningTables) {
    // Fifteen white queens: material 135.
    setUp("k7/8/QQQQQQQQ/QQQQQQQ1/8/8/8/7K b - -");
    ASSERT_EQ(pos.totalMaterial, 135);
    EXPECT_EQ(pieceSquareValue(WHITE_KING, G1), KING_TABLE_1[G1]);
    EXPECT_EQ(pieceSquareValue(BLACK_QUEEN, E2), QUEEN_TABLE_1[E2]);
    int white = KING_TABLE_1[H1] - KING_TABLE_1[turned(A8)];
    for (Square s = A6; s <= G5; ++s) white += QUEEN + QUEEN_TABLE_1[s];
    // So much material lies beyond the evaluation's bound.
    ASSERT_GT(white, EVAL_LIMIT);
    EXPECT_EQ(evaluate(), -EVAL_LIMIT);
}

// --- Pawn cache --------------------------------------------------------------------------

TEST(EvaluationPawnCache, ResultIsCachedUnderThePawnKey) {
    setUp("r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq -");
    const uint32_t slot = pawnCache[pos.pawnKey & (PAWN_CACHE_SIZE - 1)];
    EXPECT_EQ(slot, 0u);
    Score first = evaluate();
    const uint32_t filled = pawnCache[pos.pawnKey & (PAWN_CACHE_SIZE - 1)];
    EXPECT_EQ(filled & 0xFFFC0000u, pos.pawnKey & 0xFFFC0000u);
    EXPECT_NE(filled & 0xFFFFu, 0u);
    EXPECT_EQ(evaluate(), first);
}

TEST(EvaluationPawnCache, MatchingEntryIsTrustedAndOthersAreRecomputed) {
    setUp("4k3/pp6/8/2P5/8/8/5PPP/4K3 w - -");
    const Score fresh = evaluate();
    uint32_t& entry = pawnCache[pos.pawnKey & (PAWN_CACHE_SIZE - 1)];
    const uint32_t keyBits = pos.pawnKey & 0xFFFC0000u;
    const int cachedPawns = int(int16_t(entry & 0xFFFF)) - SCORE_BIAS;

    entry = keyBits | uint32_t(cachedPawns + 37 + SCORE_BIAS);
    EXPECT_EQ(evaluate(), fresh + 37) << "a matching entry is used as it stands";

    entry = (keyBits ^ 0x80000000u) | uint32_t(cachedPawns + 37 + SCORE_BIAS);
    EXPECT_EQ(evaluate(), fresh) << "other key bits: recomputed";
    EXPECT_EQ(entry & 0xFFFC0000u, keyBits) << "and stored again";

    entry = keyBits;
    EXPECT_EQ(evaluate(), fresh) << "zero score bits mark an empty entry";

    clearPawnCache();
    EXPECT_EQ(entry, 0u);
    EXPECT_EQ(evaluate(), fresh);
}

TEST(EvaluationPawnCache, CachedValueKeepsTheStageItWasComputedAt) {
    // Queen trade on d4 drops the material from 77 (opening tables) to 68.
    setUp("rnb1kbnr/pppp1ppp/4p3/8/2Pq4/8/PP2PPPP/RNBQKBNR w KQkq -");
    ASSERT_EQ(pos.totalMaterial, 77);
    evaluate();
    makeMove(makeMoveCode(D1, D4, MOVE_CAPTURE));
    ASSERT_EQ(pos.totalMaterial, 68);
    const Score stale = evaluate();
    clearPawnCache();
    const Score recomputed = evaluate();

    int openingMinusLater = 0;  // White's view
    for (Square s = 0; s < 64; ++s) {
        if (pos.board[s] == WHITE_PAWN) openingMinusLater += PAWN_TABLE_1[s] - PAWN_TABLE_2[s];
        if (pos.board[s] == BLACK_PAWN)
            openingMinusLater -= PAWN_TABLE_1[turned(s)] - PAWN_TABLE_2[turned(s)];
    }
    ASSERT_NE(openingMinusLater, 0);
    ASSERT_EQ(pos.sideToMove, BLACK);
    EXPECT_EQ(stale - recomputed, -openingMinusLater);
}

}  // namespace
}  // namespace vostil
