// bench [depth]: searches a fixed set of positions to a fixed depth, each with a cleared
// table, and prints nodes, time and speed. The last line, the total node count, is the
// search's signature: any change in search behaviour changes it.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "game/setup_game_position.h"
#include "board/position.h"
#include "board/tables.h"
#include "board/parse_coordinate_move.h"
#include "common/move_text.h"
#include "movegen/legal_moves.h"
#include "search/search.h"

namespace {

constexpr int DEFAULT_BENCH_DEPTH = 7;

// Openings, middlegames, tactics and endgames, with both sides to move.
constexpr const char* BENCH_POSITIONS[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -",
    "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq -",
    "rnbqkb1r/pp2pppp/3p1n2/8/3NP3/8/PPP2PPP/RNBQKB1R w KQkq -",
    "r1bqk2r/pppp1ppp/2n2n2/2b1p3/2B1P3/3P1N2/PPP2PPP/RNBQK2R b KQkq -",
    "r1bq1rk1/pp2bppp/2n1pn2/2pp4/3P4/2PBPN2/PP1N1PPP/R1BQ1RK1 w - -",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
    "2rq1rk1/pb1nbppp/1p2pn2/2pp4/2PP4/1PN1PN2/PB2BPPP/2RQ1RK1 w - -",
    "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - -",
    "r2q1rk1/pP1p2pp/Q4n2/bbp1p3/Np6/1B3NBn/pPPP1PPP/R3K2R b KQ -",
    "4rrk1/pp1n3p/3q2pQ/2p1pb2/2PP4/2P3N1/P2B2PP/4RRK1 b - -",
    "r1b2rk1/2q1b1pp/p2ppn2/1p6/3QP3/1BN1B3/PPP3PP/R4RK1 w - -",
    "3r1rk1/p1q2ppp/1pn1pn2/2p5/2P5/P1NP1NP1/1P2PPBP/R2Q1RK1 w - -",
    "6k1/5ppp/8/8/8/8/5PPP/R5K1 w - -",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -",
    "8/8/3k4/3p4/3P4/3K4/8/8 w - -",
    "8/5pk1/6p1/7p/7P/6P1/5PK1/8 b - -",
    "4k3/8/8/8/8/8/4P3/4K3 w - -",
    "8/8/8/4k3/8/8/2R5/4K3 w - -",
    "r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq -",
    "2r3k1/1q3ppp/8/8/8/8/1Q3PPP/2R3K1 w - -",
};

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    using namespace vostil;
    const int depth = argc > 1 ? std::atoi(argv[1]) : DEFAULT_BENCH_DEPTH;
    if (depth < 2 || depth > MAX_DEPTH_LIMIT) {
        std::fprintf(stderr, "usage: bench [depth 2..%d]\n", MAX_DEPTH_LIMIT);
        return 2;
    }
    initTables();

    uint64_t totalNodes = 0;
    double totalSeconds = 0;
    int index = 0;
    for (const char* fen : BENCH_POSITIONS) {
        ++index;
        if (!setupGamePosition(fen, false)) {
            std::fprintf(stderr, "bench: position %d refused: %s\n", index, fen);
            return 1;
        }
        depthLimit = depth;
        stopFlag = false;
        nodeCount = 0;
        const auto start = std::chrono::steady_clock::now();
        const Move best = iterativeDeepening();
        const double seconds = secondsSince(start);

        char text[8] = "-";
        if (best != RESULT_MATED && best != RESULT_STALEMATE && best != RESULT_REPETITION)
            formatCoordinateMove(text, best);
        totalNodes += nodeCount;
        totalSeconds += seconds;
        std::printf("%2d %-6s score %6d  nodes %11llu  time %8.3f s  nps %10.0f  %s\n", index,
                    text, int(SearchResult().score), static_cast<unsigned long long>(nodeCount),
                    seconds, seconds > 0 ? nodeCount / seconds : 0.0, fen);
    }
    std::printf("depth %d, %d positions: nodes %llu  time %.3f s  nps %.0f\n", depth, index,
                static_cast<unsigned long long>(totalNodes), totalSeconds,
                totalSeconds > 0 ? totalNodes / totalSeconds : 0.0);
    std::printf("%llu\n", static_cast<unsigned long long>(totalNodes));
    return 0;
}
