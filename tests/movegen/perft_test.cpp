// Perft: the leaf counts of the legal move tree must equal the published reference counts.
//
// Reference counts:
// - Initial position, Kiwipete and positions 3 to 6 (and the mirrored position 4):
//   https://www.chessprogramming.org/Perft_Results
// - The special-rule positions (illegal en passant, en passant that checks, castling that
//   checks, castling rights, promotion out of and into check, discovered check, stalemate and
//   checkmate) are Martin Sedlak's TalkChess set as listed at
//   https://www.chessprogramming.net/perfect-perft/
//
// Every depth listed is run in the optimised build. Sanitizer and debug builds stop at the
// deepest depth whose count stays within a smaller node budget; the VOSTIL_PERFT_NODE_LIMIT
// environment variable overrides the budget either way.
#include <cstdlib>
#include <string>
#include <vector>

#include "movegen_helpers.h"

namespace vostil::movegen_test {
namespace {

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VOSTIL_PERFT_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define VOSTIL_PERFT_SANITIZED 1
#endif

uint64_t nodeLimit() {
    if (const char* limit = std::getenv("VOSTIL_PERFT_NODE_LIMIT"))
        return std::strtoull(limit, nullptr, 10);
#if defined(VOSTIL_PERFT_SANITIZED) || !defined(NDEBUG)
    return 400000;
#else
    return 20000000;
#endif
}

struct PerftCase {
    const char* name;
    const char* fen;
    // Moves played before counting, for positions whose en-passant square must come from a
    // real double step.
    std::vector<std::string> before;
    // Leaf counts for depth 1, 2, ...
    std::vector<uint64_t> counts;
};

const std::vector<PerftCase>& perftCases() {
    static const std::vector<PerftCase> cases = {
        {"initial position", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", {},
         {20, 400, 8902, 197281, 4865609}},
        {"Kiwipete", "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -", {},
         {48, 2039, 97862, 4085603}},
        // En passant that would expose the own king along the rank, promotions, pins.
        {"position 3", "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", {},
         {14, 191, 2812, 43238, 674624, 11030083}},
        // Castling through attacked squares, promotions with capture, checks everywhere.
        {"position 4", "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", {},
         {6, 264, 9467, 422333, 15833292}},
        {"position 4 mirrored", "r2q1rk1/pP1p2pp/Q4n2/bbp1p3/Np6/1B3NBn/pPPP1PPP/R3K2R b KQ - 0 1",
         {}, {6, 264, 9467, 422333, 15833292}},
        {"position 5", "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", {},
         {44, 1486, 62379, 2103487}},
        {"position 6",
         "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10", {},
         {46, 2079, 89890, 3894594}},
        {"rook and bishop against castling king", "1k6/1b6/8/8/7R/8/8/4K2R b K - 0 1", {},
         {0, 0, 0, 0, 1063513}},
        {"illegal en passant 1", "3k4/3p4/8/K1P4r/8/8/8/8 b - - 0 1", {},
         {0, 0, 0, 0, 0, 1134888}},
        {"illegal en passant 2", "8/8/4k3/8/2p5/8/B2P2K1/8 w - - 0 1", {},
         {0, 0, 0, 0, 0, 1015133}},
        // Published from 8/8/1k6/2b5/2pP4/8/5K2/8 b - d3: the double step is played here so
        // that the en-passant square is the one make move sets.
        {"en passant with discovered check", "8/8/1k6/2b5/2p5/8/3P1K2/8 w - - 0 1", {"d2d4"},
         {0, 0, 0, 0, 0, 1440467}},
        {"short castling gives check", "5k2/8/8/8/8/8/8/4K2R w K - 0 1", {},
         {0, 0, 0, 0, 0, 661072}},
        {"long castling gives check", "3k4/8/8/8/8/8/8/R3K3 w Q - 0 1", {},
         {0, 0, 0, 0, 0, 803711}},
        // Counted by Debian's stockfish: castling may not end beside the enemy king.
        {"short castling beside the enemy king", "8/8/8/8/8/8/6k1/4K2R w K - 0 1", {},
         {12, 38, 564, 2219, 37735, 185867}},
        {"long castling beside the enemy king", "r3k3/1K6/8/8/8/8/8/8 b q - 0 1", {},
         {15, 65, 1018, 4573, 80619, 413018}},
        {"castling rights lost by captures", "r3k2r/1b4bq/8/8/8/8/7B/R3K2R w KQkq - 0 1", {},
         {0, 0, 0, 1274206}},
        {"castling prevented", "r3k2r/8/3Q4/8/8/5q2/8/R3K2R b KQkq - 0 1", {},
         {0, 0, 0, 1720476}},
        {"promotion out of check", "2K2r2/4P3/8/8/8/8/8/3k4 w - - 0 1", {},
         {0, 0, 0, 0, 0, 3821001}},
        {"discovered check", "8/8/1P2K3/8/2n5/1q6/8/5k2 b - - 0 1", {},
         {0, 0, 0, 0, 1004658}},
        {"promotion gives check", "4k3/1P6/8/8/8/8/K7/8 w - - 0 1", {},
         {0, 0, 0, 0, 0, 217342}},
        {"under-promotion gives check", "8/P1k5/K7/8/8/8/8/8 w - - 0 1", {},
         {0, 0, 0, 0, 0, 92683}},
        {"self stalemate", "K1k5/8/P7/8/8/8/8/8 w - - 0 1", {}, {0, 0, 0, 0, 0, 2217}},
        {"stalemate and checkmate 1", "8/k1P5/8/1K6/8/8/8/8 w - - 0 1", {},
         {0, 0, 0, 0, 0, 0, 567584}},
        {"stalemate and checkmate 2", "8/8/2k5/5q2/5n2/8/5K2/8 b - - 0 1", {},
         {0, 0, 0, 23527}},
    };
    return cases;
}

// A count of 0 in the table means "not published": only the depths with counts are run.
TEST(Perft, LeafCountsMatchThePublishedReferenceCounts) {
    const uint64_t limit = nodeLimit();
    for (const PerftCase& c : perftCases()) {
        SCOPED_TRACE(c.name);
        bool ranAny = false;
        for (size_t i = 0; i < c.counts.size(); ++i) {
            const uint64_t expected = c.counts[i];
            if (expected == 0 || expected > limit) continue;
            setUp(c.fen);
            playMoves(c.before);
            const int depth = int(i) + 1;
            EXPECT_EQ(perft(depth, listStart()), expected) << "depth " << depth;
            ranAny = true;
        }
        // Under a small budget the deep-only cases are skipped; the others always run.
        if (c.counts[0] != 0) {
            EXPECT_TRUE(ranAny);
        }
    }
}

TEST(Perft, TheTreeWalkLeavesThePositionAsItFoundIt) {
    setUp("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -");
    const Position before = pos;
    const HistoryEntry* historyBefore = historyTop;
    perft(3, listStart());
    EXPECT_TRUE(pos == before);
    EXPECT_EQ(historyTop, historyBefore);
    EXPECT_EQ(currentPly, PlyRecords);
}

// A mated side and a stalemated side both have no legal move; perft counts nothing below.
TEST(Perft, MateAndStalemateHaveNoLegalMoves) {
    setUp("7k/5Q2/6K1/8/8/8/8/8 b - - 0 1");  // stalemate
    EXPECT_EQ(perft(1, listStart()), 0u);
    setUp("7k/6Q1/6K1/8/8/8/8/8 b - - 0 1");  // mate
    EXPECT_EQ(perft(1, listStart()), 0u);
}

}  // namespace
}  // namespace vostil::movegen_test
