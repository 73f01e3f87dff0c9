// Two engine processes play a whole game through a small referee that keeps the real game
// with the engine's own rules, feeds each side the other's moves and a running clock.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>

#include "support/moves.h"
#include "game/setup_game_position.h"
#include "game/play_game_move.h"
#include "board/position.h"
#include "movegen/check.h"
#include "movegen/generators.h"
#include "board/parse_coordinate_move.h"
#include "common/move_text.h"
#include "movegen/legal_moves.h"
#include "search/draw_detection.h"
#include "support/engine_process.h"

using namespace vostil;
using vostil::testing::EngineProcess;

namespace {

struct Player {
    EngineProcess engine;
    size_t read = 0;            // output consumed so far
    long long clockMs = 5000;   // five seconds for the whole game
};

// The next line of output after `from` that is a move or a result, or "" on time-out.
std::string nextAnswer(Player& p, int timeoutMs) {
    for (;;) {
        size_t end = p.engine.output().find('\n', p.read);
        if (end == std::string::npos) {
            if (!p.engine.waitForOutput("\n", timeoutMs, p.read)) return "";
            continue;
        }
        std::string line = p.engine.output().substr(p.read, end - p.read);
        p.read = end + 1;
        if (line.rfind("move ", 0) == 0 || line.rfind("1-0", 0) == 0 || line.rfind("0-1", 0) == 0 ||
            line.rfind("1/2-1/2", 0) == 0)
            return line;
    }
}

}  // namespace

TEST(SelfPlay, TwoEnginesPlayAWholeGameWithLegalMovesOnly) {
    Player players[2];  // indexed by side: BLACK 0, WHITE 1
    for (auto& p : players) {
        p.engine.send("xboard\nprotover 2\nnew\nlevel 40 0 0\n");
        ASSERT_TRUE(p.engine.waitForOutput("feature done=1\n", 20000));
        p.read = p.engine.output().size();
    }
    ASSERT_TRUE(setupGamePosition(START_FEN, false));

    auto sendClock = [&](int side) {
        Player& p = players[side];
        p.engine.send("time " + std::to_string(std::max(0LL, p.clockMs / 10)) + "\notim " +
                      std::to_string(std::max(0LL, players[side ^ 1].clockMs / 10)) + "\n");
    };
    sendClock(WHITE);
    players[WHITE].engine.send("go\n");

    const int MOVE_CAP = 80;  // plies
    int plies = 0;
    std::string ending;
    while (plies < MOVE_CAP) {
        const int side = pos.sideToMove;
        Player& mover = players[side];
        auto start = std::chrono::steady_clock::now();
        std::string answer = nextAnswer(mover, 30000);
        mover.clockMs -= std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::steady_clock::now() - start).count();
        ASSERT_FALSE(answer.empty()) << "no answer from " << (side == WHITE ? "white" : "black")
                                     << "\n" << mover.engine.output() << mover.engine.errors();
        if (answer.rfind("move ", 0) != 0) {
            ending = answer;
            break;
        }
        const std::string word = answer.substr(5);
        const Move m = parseCoordinateMove(word.c_str(), MoveSource::Root);
        ASSERT_TRUE(isLegalMove(m)) << "illegal move " << word << " at ply " << plies;
        playGameMove(m);
        ++plies;
        // A result line may follow the move in the same answer.
        if (firstLegalMove() == 0 || isDraw(ROOT_REPETITION_COUNT)) {
            ending = "game over by rule";
            break;
        }
        sendClock(side ^ 1);
        players[side ^ 1].engine.send(word + "\n");
    }
    EXPECT_GT(plies, 0);
    for (auto& p : players) {
        p.engine.send("quit\n");
        EXPECT_TRUE(p.engine.waitForExit(10000));
        EXPECT_TRUE(p.engine.exitedCleanly()) << p.engine.errors();
    }
    SUCCEED() << "ended after " << plies << " plies: " << (ending.empty() ? "move cap" : ending);
}

// King and queen, and king and rook, against a lone king from random positions: Vostil mates
// within the fifty-move rule against Stockfish's defence (or its own, without Stockfish).
TEST(Conversion, KingAndQueenOrRookMatesALoneKingWithinFiftyMoves) {
    const char* stockfish = nullptr;
    for (const char* path : {"/usr/games/stockfish", "/usr/bin/stockfish"})
        if (!stockfish && access(path, X_OK) == 0) stockfish = path;
    EngineProcess vostil;
    EngineProcess defender(false, stockfish ? vostil::testing::Command{stockfish} : vostil::testing::engineCommand());
    auto bestMoveOf = [](EngineProcess& engine, const std::string& position, const char* go) -> std::string {
        const size_t from = engine.output().size();
        engine.send(position + "\n" + go + "\n");
        if (!engine.waitForOutput("bestmove ", 30000, from)) return "";
        const size_t at = engine.output().find("bestmove ", from) + 9;
        if (!engine.waitForOutput("\n", 30000, at)) return "";  // the whole line, not a piece of it
        return engine.output().substr(at, engine.output().find_first_of(" \n", at) - at);
    };
    vostil.send("uci\n");
    defender.send("uci\n");
    std::mt19937 random(2026);
    int converted = 0, games = 0, strongMoves = 0;
    for (const char piece : {'Q', 'R'}) {
        for (int found = 0; found < 12;) {
            // Kings apart, the defender not in check; the stronger side alternates and moves first.
            const int squares[3] = {int(random() % 64), int(random() % 64), int(random() % 64)};
            const bool whiteStrong = found % 2 == 0;
            std::string board(64, '1'), fen;
            board[squares[0]] = whiteStrong ? 'K' : 'k', board[squares[1]] = whiteStrong ? 'k' : 'K';
            board[squares[2]] = whiteStrong ? piece : char(piece ^ 0x20);
            for (int row = 0; row < 8; ++row) fen += board.substr(row * 8, 8) + (row < 7 ? "/" : "");
            fen += whiteStrong ? " w - - 0 1" : " b - - 0 1";
            if (squares[0] == squares[1] || squares[1] == squares[2] || squares[0] == squares[2] ||
                !setupGamePosition(fen.c_str(), false) || firstLegalMove() == 0)
                continue;
            ++found, ++games;
            const int strong = pos.sideToMove;
            std::string position = "position fen " + fen + " moves";
            bool mated = false;
            for (int ply = 0; ply < 100 && !mated; ++ply) {
                const std::string word = pos.sideToMove == strong
                                             ? bestMoveOf(vostil, position, "go movetime 200")
                                             : bestMoveOf(defender, position, "go movetime 20");
                const Move m = parseCoordinateMove(word.c_str(), MoveSource::Root);
                ASSERT_TRUE(isLegalMove(m)) << fen << position << ": " << word;
                if (pos.sideToMove == strong) ++strongMoves;
                playGameMove(m);
                position += " " + word;
                mated = firstLegalMove() == 0 && currentPly->checkInfo.checkers != 0;
                if (firstLegalMove() == 0 || isDraw(ROOT_REPETITION_COUNT)) break;
            }
            EXPECT_TRUE(mated) << fen << " " << position;
            converted += mated;
        }
    }
    for (EngineProcess* engine : {&vostil, &defender}) {
        engine->send("quit\n");
        EXPECT_TRUE(engine->waitForExit(10000));
    }
    std::printf("converted %d of %d against %s, %.1f moves a game on average\n", converted, games,
                stockfish ? "stockfish" : "vostil", double(strongMoves) / games);
}
