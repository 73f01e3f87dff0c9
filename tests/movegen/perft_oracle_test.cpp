// Perft root move by root move against Debian's stockfish, a generator this project did not
// write: the published positions, then positions reached by seeded random play from starts
// rich in castling rights, en passant and promotions. Skipped when stockfish is missing.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "support/moves.h"
#include "game/setup_game_position.h"
#include "game/play_game_move.h"
#include "movegen_helpers.h"
#include "support/log_folder.h"

namespace vostil::movegen_test {
namespace {

using Divide = std::map<std::string, uint64_t>;
using testing::legalMoves;

struct Query {
    std::string fen;
    int depth;
};

const char* stockfishPath() {
    for (const char* path : {"/usr/games/stockfish", "/usr/bin/stockfish"})
        if (access(path, X_OK) == 0) return path;
    return nullptr;
}

// Every query in one stockfish run: its "<move>: <count>" lines, one block per query, each
// closed by "Nodes searched".
std::vector<Divide> stockfishDivides(const char* binary, const std::vector<Query>& queries) {
    char input[] = "/tmp/vostil-oracle-XXXXXX";
    const int fd = mkstemp(input);
    if (fd < 0) return {};
    close(fd);
    {
        std::ofstream out(input);
        for (const Query& q : queries) out << "position fen " << q.fen << "\ngo perft " << q.depth << "\n";
        out << "quit\n";
    }
    std::vector<Divide> divides;
    const std::string command = std::string(binary) + " < " + input + " 2>/dev/null";
    if (FILE* pipe = popen(command.c_str(), "r")) {
        Divide current;
        char line[256];
        while (std::fgets(line, sizeof line, pipe)) {
            std::string text(line);
            if (text.rfind("Nodes searched", 0) == 0) {
                divides.push_back(current);
                current.clear();
                continue;
            }
            const size_t colon = text.find(": ");
            if (colon >= 4 && colon <= 5 && text.find(' ') == colon + 1)
                current[text.substr(0, colon)] = std::strtoull(text.c_str() + colon + 2, nullptr, 10);
        }
        pclose(pipe);
    }
    std::remove(input);
    return divides;
}

// The engine's own divide of the current position, walked as the search walks it.
Divide engineDivide(int depth) {
    Divide counts;
    perftDivide(depth, listStart(), [&counts](Move m, uint64_t nodes) { counts[moveText(m)] = nodes; });
    return counts;
}

const char* const PUBLISHED[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -",
    "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq -",
    "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ -",
    "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - -",
};

// Starts for random play: castling rights everywhere, pawns about to take en passant or
// promote, and bare rook endings that keep their rights next to the enemy king.
const char* const STARTS[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
    "r3k2r/8/8/8/8/8/8/R3K2R w KQkq -",
    "r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R b KQkq -",
    "rnbqkbnr/pp1p1ppp/8/2pPp3/8/8/PPP1PPPP/RNBQKBNR w KQkq -",
    "4k3/1p1p1p1p/8/P1P1P1P1/8/8/8/4K3 b - -",
    "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - -",
    "8/P1P3kP/8/8/8/8/p1p3Kp/8 w - -",
    "4k3/8/8/8/8/8/8/4K2R w K -",
    "r3k3/8/8/8/8/8/8/4K3 b q -",
    "4k2r/8/8/8/8/8/8/R3K3 w Qk -",
    "8/8/8/8/8/8/6k1/R3K2R w KQ -",
    "r3k2r/6K1/8/8/8/8/8/8 b kq -",
};

TEST(PerftOracle, EveryRootMoveCountMatchesStockfish) {
    const char* stockfish = stockfishPath();
    if (!stockfish) GTEST_SKIP() << "stockfish is not installed (apt-get install stockfish)";
    testing::LogFolder folder;  // the random games write their moves to the log
    ASSERT_TRUE(folder.enter());

    // Published positions to depth 3 (4 in the optimised build), then random play.
    const bool small = std::getenv("VOSTIL_SANITIZED") != nullptr;
    const int randomPositions = small ? 300 : 2400;
    std::vector<Query> queries;
    for (const char* fen : PUBLISHED) queries.push_back({fen, small ? 3 : 4});
    std::mt19937 random(20261207);
    char fen[128];
    for (int i = 0; i < randomPositions; ++i) {
        ASSERT_TRUE(setupGamePosition(STARTS[i % std::size(STARTS)], false));
        const int plies = int(random() % 24);
        for (int ply = 0; ply < plies; ++ply) {
            const std::vector<Move> moves = legalMoves();
            if (moves.empty()) break;
            playGameMove(moves[random() % moves.size()]);
        }
        positionToFen(fen);
        queries.push_back({fen, 1 + i % 3});
    }

    const std::vector<Divide> expected = stockfishDivides(stockfish, queries);
    ASSERT_EQ(expected.size(), queries.size()) << "stockfish answered too few queries";
    uint64_t nodes = 0;
    int differing = 0;
    for (size_t i = 0; i < queries.size() && differing < 10; ++i) {
        ASSERT_TRUE(setupGamePosition(queries[i].fen.c_str(), false)) << queries[i].fen;
        currentPly = PlyRecords;
        const Divide actual = engineDivide(queries[i].depth);
        std::string differences;
        for (const auto& [move, count] : expected[i]) {
            nodes += count;
            auto found = actual.find(move);
            if (found == actual.end() || found->second != count)
                differences += " " + move + " (stockfish " + std::to_string(count) + ", engine " +
                               (found == actual.end() ? "none" : std::to_string(found->second)) + ")";
        }
        for (const auto& [move, count] : actual)
            if (!expected[i].count(move)) differences += " " + move + " (stockfish none)";
        if (!differences.empty()) {
            ++differing;
            ADD_FAILURE() << queries[i].fen << " depth " << queries[i].depth << ":" << differences;
        }
    }
    std::printf("%zu positions, %llu nodes compared\n", queries.size(), (unsigned long long)nodes);
    folder.leave();
}

}  // namespace
}  // namespace vostil::movegen_test
