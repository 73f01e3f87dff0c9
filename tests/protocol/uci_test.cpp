// The UCI front end as its interfaces see it: identity, readiness at any moment, positions
// set up whole or refused whole, the limits of "go", stop and quit during a search.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <regex>
#include <string>
#include <vector>

#include "board/parse_coordinate_move.h"
#include "board/position.h"
#include "game/engine_control.h"
#include "game/set_up_game_line.h"
#include "game/setup_game_position.h"
#include "movegen/legal_moves.h"
#include "protocol/uci_loop.h"
#include "support/engine_process.h"

using namespace vostil;
using vostil::testing::EngineProcess;
using vostil::testing::engineCommand;
using vostil::testing::runEngine;
using vostil::testing::testingWindowsBuild;

namespace {

const std::string IDENTITY = "id name Vostil\nid author the Vostil developers\n"
                             "option name Hash type spin default 32 min 1 max 1024\noption name Clear Hash type button\n"
                             "option name OwnBook type check default true\noption name MultiPV type spin default 1 min 1 max 16\nuciok\n";
const std::regex INFO(R"(info depth (\d+) seldepth \d+(?: multipv \d+)? score (cp|mate) (-?\d+) nodes (\d+) time (\d+) nps (\d+) hashfull \d+( pv( [a-h][1-8][a-h][1-8][qrbn]?)+)?)");
// The same line read for its rank, score and first move.
const std::regex RANKED(R"(info depth (\d+) seldepth \d+(?: multipv (\d+))? score (cp|mate) (-?\d+) .* pv ([a-h][1-8][a-h][1-8][qrbn]?).*)");
const std::regex CURRMOVE(R"(info depth \d+ currmove [a-h][1-8][a-h][1-8][qrbn]? currmovenumber \d+)");
const std::regex BESTMOVE(R"(bestmove ([a-h][1-8][a-h][1-8][qrbn]?|0000))");

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0, end; start < text.size(); start = end + 1) {
        end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

// The moves of every "bestmove" line, in order.
std::vector<std::string> bestMoves(const std::string& output) {
    std::vector<std::string> moves;
    for (const auto& line : linesOf(output))
        if (line.rfind("bestmove ", 0) == 0) moves.push_back(line.substr(9));
    return moves;
}

// Whether `reply` is a legal move after the game the FEN and the moves describe.
bool legalAfter(const char* fen, const std::string& moves, const std::string& reply) {
    if (setUpGameLine(fen, moves).outcome != GameLineOutcome::Accepted) return false;
    return isLegalMove(parseCoordinateMove(reply.c_str(), MoveSource::Root));
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::string knightShuffle(int plies) {
    const char* cycle[4] = {" b1c3", " b8c6", " c3b1", " c6b8"};
    std::string moves;
    for (int i = 0; i < plies; ++i) moves += cycle[i % 4];
    return moves;
}

}  // namespace

TEST(Uci, IdentifiesItselfAndAnswersEveryLineItKnows) {
    // Unknown options, debug and lines of unknown words get nothing; each line is logged whole.
    // Any command only UCI has chooses UCI as the first line, and is acted on.
    const struct {
        const char* input;
        std::string output, logged;
    } rows[] = {
        {"uci\nsetoption name Hash value 64\nsetoption name MultiPV value 3\ndebug on\nisready\njoho isready\n\nuci\nquit\n",
         IDENTITY + "readyok\nreadyok\n" + IDENTITY,
         "::cmd:: uci\n::cmd:: setoption name Hash value 64\n-M: Hash 64 MB\n::cmd:: setoption name MultiPV value 3\n::cmd:: debug on\n"},
        // scid's Serious game: it sends "uci" only once the engine has said something.
        {"setoption name Ponder value false\nisready\nuci\nquit\n", "readyok\n" + IDENTITY,
         "::cmd:: setoption name Ponder value false\n::cmd:: isready\n"},
        {"isready\n", "readyok\n", "::cmd:: isready\n"},
        {"debug off\nregister later\nisready\n", "readyok\n", "::cmd:: register later\n"},
        {"ucinewgame\nisready\n", "info string BOOK ERROR!\nreadyok\n", "::cmd:: ucinewgame\n"},
        {"position startpos moves e2e4 e7e6 e4e6\nisready\n", "info string Illegal move: e4e6\nreadyok\n",
         "::cmd:: position startpos moves e2e4 e7e6 e4e6\n"},
        // Sizes are rounded down to a power of two within 1 and 1024 MB; the same size again,
        // a value that is no number and another engine's option change nothing.
        {"setoption name Hash value 100\nsetoption name HASH value 0\nsetoption name Hash value 1\n"
         "setoption name Hash value 9x\nsetoption name Hash\nsetoption name Threads value 2\n"
         "setoption name Hash value -99999999999999999999\nsetoption name Clear Hash\nisready\n", "readyok\n",
         "::cmd:: setoption name Hash value 100\n-M: Hash 64 MB\n::cmd:: setoption name HASH value 0\n-M: Hash 1 MB\n"
         "::cmd:: setoption name Hash value 1\n::cmd:: setoption name Hash value 9x\n::cmd:: setoption name Hash\n"
         "::cmd:: setoption name Threads value 2\n::cmd:: setoption name Hash value -99999999999999999999\n"
         "::cmd:: setoption name Clear Hash\n-M: Hash cleared\n::cmd:: isready\n"},
    };
    for (const auto& row : rows) {
        auto run = runEngine(row.input);
        ASSERT_TRUE(run.exitedCleanly) << run.errors;
        EXPECT_EQ(run.output, row.output) << row.input;
        EXPECT_TRUE(contains(run.log, row.logged)) << row.input << run.log;
    }
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    // A size the system refuses (in an address space of 256 MB) keeps the table, which plays on.
    if (testingWindowsBuild()) return;
    EngineProcess limited(false, {"/bin/sh", "-c", "ulimit -v 262144 && exec \"$0\"", engineCommand()[0]});
    limited.send("setoption name Hash value 512\nisready\ngo depth 3\n");
    ASSERT_TRUE(limited.waitForOutput("bestmove ", 20000)) << limited.output();
    EXPECT_TRUE(contains(limited.output(), "info string Hash 512 MB cannot be had, the table keeps 32 MB\nreadyok\n"));
    limited.send("quit\n");
    EXPECT_TRUE(limited.waitForExit(10000));
#endif
}

TEST(Uci, BookMovesFromTheStartThenSearchedLinesAndMoves) {
    // Each "go" waits for its move, as an interface does: a line sent during a search ends it.
    EngineProcess engine(true);
    const char* requests[] = {
        "ucinewgame\nposition startpos\ngo wtime 60000 btime 60000\n",
        // The book answers still from a resized table.
        "setoption name Hash value 2\nposition startpos moves e2e4\ngo wtime 60000 btime 60000 winc 1000 binc 1000\n",
        // Out of the book: every finished iteration is told, then the move.
        "position fen r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/2P2N2/PP1P1PPP/RNBQK2R b KQkq - 0 4\ngo depth 4\n",
        // A mate is told in moves, its line without the mark.
        "position fen 7k/8/5K2/8/8/8/8/6Q1 w - - 0 1\ngo depth 6\n",
        // The book turned off: the initial position is searched.
        "setoption name OwnBook value false\nucinewgame\nposition startpos\ngo depth 3\n",
    };
    engine.send("uci\n");
    for (const char* request : requests) {
        const size_t from = engine.output().size();
        engine.send(request);
        ASSERT_TRUE(engine.waitForOutput("bestmove ", 20000, from)) << request << engine.output();
    }
    engine.send("quit\n");
    ASSERT_TRUE(engine.waitForExit(10000));
    ASSERT_TRUE(engine.exitedCleanly()) << engine.errors();
    const auto moves = bestMoves(engine.output());
    ASSERT_EQ(moves.size(), 5u) << engine.output();
    EXPECT_TRUE(legalAfter(START_FEN, "", moves[4])) << moves[4];
    EXPECT_TRUE(contains(engine.log(), "-FEN:\trnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -\n")) << engine.log();
    EXPECT_TRUE(legalAfter(START_FEN, "", moves[0])) << moves[0];
    EXPECT_TRUE(legalAfter(START_FEN, "e2e4", moves[1])) << moves[1];
    EXPECT_TRUE(legalAfter("r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/2P2N2/PP1P1PPP/RNBQK2R b KQkq -", "", moves[2]));
    const auto lines = linesOf(engine.output());
    ASSERT_GE(lines.size(), 8u) << engine.output();
    EXPECT_EQ(lines[7], "info string book");
    EXPECT_EQ(lines[9], "info string book");
    int deepest = 0;
    bool mateInOne = false;
    for (const auto& line : lines) {
        if (line.rfind("info depth", 0) != 0) continue;
        std::smatch m;
        ASSERT_TRUE(std::regex_match(line, m, INFO)) << line;
        EXPECT_NE(m[7].str(), "") << "no line: " << line;
        deepest = std::max(deepest, std::stoi(m[1]));
        mateInOne |= m[2] == "mate" && m[3] == "1";
    }
    EXPECT_EQ(deepest, 4) << engine.output();
    EXPECT_TRUE(mateInOne) << engine.output();
    EXPECT_EQ(moves[3], "g1g7");
    EXPECT_TRUE(contains(engine.log(), "-M: move(book): ")) << engine.log();
}

TEST(Uci, RefusedPositionsLeaveThePreviousGameWhole) {
    const std::string game = "position startpos moves e2e4 e7e5 g1f3\n";
    auto run = runEngine("uci\n" + game +
                         "position fen 8/8/8/8/8/8/8/8 w - - 0 1\n"
                         "position startpos moves e2e4 e7e5 e1e3\n"
                         "position startpos moves d2d4 d7d5 c2c4 d5c4 e2e4 b7b5 a2a4 b5a4 e9e4\n"
                         "position fen\nposition\nposition fen " + std::string(200, 'p') + "\n"
                         "go depth 3\nquit\n");
    ASSERT_TRUE(run.exitedCleanly) << run.errors;
    for (const char* refusal :
         {"info string Illegal position: 8/8/8/8/8/8/8/8 w - - 0 1\n", "info string Illegal move: e1e3\n",
          "info string Illegal move: e9e4\n", "info string Illegal position: fen\n", "info string Illegal position: \n"})
        EXPECT_TRUE(contains(run.output, refusal)) << refusal << run.output;
    // The search ran on the game before the refusals, and its move is one of that game.
    EXPECT_TRUE(contains(run.log, "-FEN:\trnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq -\n")) << run.log;
    const auto moves = bestMoves(run.output);
    ASSERT_EQ(moves.size(), 1u) << run.output;
    EXPECT_TRUE(legalAfter(START_FEN, "e2e4 e7e5 g1f3", moves[0])) << moves[0];
}

TEST(Uci, DrawnMatedAndStalematedRoots) {
    // 13,500 plies of knights: the base position for the 3,376th time, in a line longer than
    // any word or the game history. In UCI the interface judges the draw: a move is wanted.
    const std::string base = "1n2k3/pppppppp/8/8/8/8/PPPPPPPP/1N2K3 w - -";
    const std::string shuffle = knightShuffle(13500);
    auto run = runEngine("uci\nposition fen " + base + " moves" + shuffle + "\ngo depth 3\n"
                         "position fen " + base + " moves" + shuffle + " e2e4\ngo depth 3\n"
                         "position fen 7k/6Q1/6K1/8/8/8/8/8 b - - 0 1\ngo movetime 50\nquit\n",
                         false, 120000);
    ASSERT_TRUE(run.exitedCleanly) << run.errors;
    EXPECT_FALSE(contains(run.output, "Illegal")) << run.output.substr(0, 400);
    const auto moves = bestMoves(run.output);
    ASSERT_EQ(moves.size(), 3u) << run.output;
    EXPECT_TRUE(legalAfter(base.c_str(), "", moves[0])) << moves[0];
    EXPECT_TRUE(legalAfter(base.c_str(), "e2e4", moves[1])) << moves[1];
    // Searched, not cut short by the draw.
    EXPECT_TRUE(contains(run.log, "-FEN:\t" + base + "\n")) << run.log.substr(0, 2000);
    EXPECT_TRUE(contains(run.output, "info depth 0 score mate 0\nbestmove 0000\n")) << run.output;
    // An analysis (scid's) or a ponder of a finished game shows the verdict at once; the move
    // waits for the stop.
    EngineProcess engine;
    engine.send("uci\n");
    for (const char* request : {"position fen 7k/6Q1/6K1/8/8/8/8/8 b - - 0 1\ngo infinite\n",
                                "position fen 7k/5Q2/6K1/8/8/8/8/8 b - - 0 1\ngo ponder\n"}) {
        const size_t from = engine.output().size();
        engine.send(request);
        ASSERT_TRUE(engine.waitForOutput("info depth 0 score ", 5000, from)) << request << engine.output();
        EXPECT_FALSE(contains(engine.output().substr(from), "bestmove")) << request;
        engine.send("stop\n");
        ASSERT_TRUE(engine.waitForOutput("bestmove 0000\n", 5000, from)) << request << engine.output();
    }
    engine.send("quit\n");
    ASSERT_TRUE(engine.waitForExit(10000));
    EXPECT_TRUE(contains(engine.output(), "info depth 0 score mate 0\nbestmove 0000\n"
                                          "info depth 0 score cp 0\nbestmove 0000\n")) << engine.output();
}

TEST(Uci, EachLimitOfGoEndsTheSearchByItself) {
    // Black to move on a short clock while White's is long: the move comes within Black's.
    EngineProcess engine;
    engine.send("uci\nposition startpos moves a2a3\ngo wtime 600000 btime 900 winc 0 binc 0\n");
    ASSERT_TRUE(engine.waitForOutput("bestmove ", 5000)) << engine.output();
    // Every move searched has at least one iteration to tell. knights's empty clock leaves the
    // increment to spend, less the margin (first, so that no earlier search of the position has
    // left it a line in the table).
    const struct { const char* go; int atLeastMs; } rows[] = {
        {"go wtime 0 btime 0 winc 2000 binc 2000 movestogo 1\n", 1500}, {"go movetime 150\n", 0},
        {"go depth 2\n", 0}, {"go nodes 3000\n", 0}, {"go wtime 2000 btime 2000 movestogo 1\n", 0},
    };
    for (const auto& row : rows) {
        const size_t from = engine.output().size();
        const auto start = std::chrono::steady_clock::now();
        engine.send(std::string("position startpos moves b2b3\n") + row.go);
        ASSERT_TRUE(engine.waitForOutput("bestmove ", 30000, from)) << row.go << engine.output().substr(from);
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(row.atLeastMs)) << row.go;
        EXPECT_TRUE(contains(engine.output().substr(from), "info depth ")) << row.go << engine.output().substr(from);
    }
    // An analysis of the position just searched tells at once what the table knows: one line at
    // the deepest iteration the table answers, with as much of its line as the table holds; then
    // every iteration searched, its nodes counted.
    const size_t from = engine.output().size();
    engine.send("go infinite\n");
    ASSERT_TRUE(engine.waitForOutput("info depth ", 10000, from)) << engine.output();
    ASSERT_TRUE(engine.waitForOutput("\ninfo depth ", 20000, from)) << engine.output().substr(from);
    engine.send("stop\n");
    ASSERT_TRUE(engine.waitForOutput("bestmove ", 10000, from)) << engine.output();
    engine.send("quit\n");
    ASSERT_TRUE(engine.waitForExit(10000));
    EXPECT_TRUE(engine.exitedCleanly()) << engine.errors();
    int previousDepth = 0;
    for (const auto& line : linesOf(engine.output().substr(from))) {
        std::smatch m;
        if (!std::regex_match(line, m, INFO)) continue;
        const int depth = std::stoi(m[1]);
        EXPECT_GT(depth, previousDepth > 0 ? previousDepth : 2) << line;
        if (previousDepth == 0) {
            // Sixteen blanks up to "pv", then one before each move. The table's line may end
            // early where the last search overwrote an entry of it, never beyond the depth.
            const auto moves = std::count(line.begin(), line.end(), ' ') - 16;
            EXPECT_TRUE(moves >= 1 && moves <= depth) << line;
        } else {
            EXPECT_NE(m[4], "0") << line;
        }
        previousDepth = depth;
    }
    const auto moves = bestMoves(engine.output());
    ASSERT_EQ(moves.size(), 7u) << engine.output();
    EXPECT_TRUE(legalAfter(START_FEN, "a2a3", moves[0])) << moves[0];
    for (size_t i = 1; i < moves.size(); ++i) EXPECT_TRUE(legalAfter(START_FEN, "b2b3", moves[i])) << moves[i];
}

// Several lines: at every depth the first is the one-line search's own (each row is searched with
// one line first, from a cleared table), then the others, ranked by score, each a different
// move, as many as asked or as the root choices allow; the choices bound the move and every line,
// and choices that are no legal moves leave every move to choose from.
TEST(Uci, SeveralLinesBestFirstAndRootChoices) {
    const struct {
        const char* fen;
        int lines, depth;
        const char* choices;             // "go ... searchmoves" words
        size_t shown;                    // lines told at each depth
        std::vector<std::string> moves;  // the moves allowed; empty for any
    } rows[] = {
        {"r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq -", 3, 6, "", 3, {}},
        // Lower lines that left their pawn scores in the cache turned the first line here at depth 7.
        {"2rq1rk1/pb1nbppp/1p2pn2/2pp4/2PP4/1PN1PN2/PB2BPPP/2RQ1RK1 w - -", 2, 7, "", 2, {}},
        {"7k/8/5K2/8/8/8/8/6Q1 w - -", 4, 4, " searchmoves g1g2 g1a1 h2h4 g1g2", 2, {"g1g2", "g1a1"}},
        {"7k/8/5K2/8/8/8/8/6Q1 w - -", 1, 4, " searchmoves e2e4 x", 1, {"g1g7"}},
    };
    for (const auto& row : rows) {
        EngineProcess engine;
        const std::string position = std::string("ucinewgame\nposition fen ") + row.fen + "\n";
        const std::string depth = "go depth " + std::to_string(row.depth);
        engine.send("uci\n" + position + depth + "\n");
        ASSERT_TRUE(engine.waitForOutput("bestmove ", 30000)) << engine.output();
        const size_t from = engine.output().size();
        engine.send("setoption name MultiPV value " + std::to_string(row.lines) + "\n" + position + depth + row.choices + "\n");
        ASSERT_TRUE(engine.waitForOutput("bestmove ", 30000, from)) << engine.output();
        // Searched again to that depth, the search starts afresh (resumed from the table, it
        // would tell one line), and the iterations the table answers whole are told at the
        // deepest with as many different lines: the lower lines must not take a list they make
        // for the result.
        const size_t again = engine.output().size();
        const std::string lastRank = " multipv " + std::to_string(row.shown) + " ";
        if (row.shown > 1) engine.send(depth + "\n");
        ASSERT_TRUE(row.shown == 1 || engine.waitForOutput(lastRank, 30000, again)) << engine.output().substr(again);
        engine.send("stop\nquit\n");
        ASSERT_TRUE(engine.waitForExit(10000)) << engine.output();
        const std::string out = engine.output();
        // Three parts: the one-line search, the one with several lines, the search again.
        const size_t ends[] = {from, again, out.find('\n', out.find(lastRank, again))};
        std::vector<std::string> single(64);  // the one-line search's move at each depth
        for (size_t part = 0, begin = 0; part < 3; begin = ends[part++]) {
            std::vector<std::vector<std::pair<int, std::string>>> ranked(64);  // score and move
            for (const auto& line : linesOf(out.substr(begin, ends[part] - begin))) {
                std::smatch m;
                if (!std::regex_match(line, m, RANKED)) continue;
                const size_t d = std::stoul(m[1]);
                const int value = std::stoi(m[4]), score = m[3] == "cp" ? value : (value > 0 ? 1 : -1) * 100000 - value;
                if (part == 0) { single[d] = m[5]; continue; }
                auto& lines = ranked[d];
                EXPECT_EQ(m[2].matched ? std::stoul(m[2]) : 1, lines.size() + 1) << line;
                EXPECT_EQ(m[2].matched, row.lines > 1) << line;
                for (const auto& other : lines) EXPECT_NE(other.second, m[5].str()) << line;
                EXPECT_TRUE(part == 2 || lines.empty() || score <= lines.back().first) << line;
                EXPECT_TRUE(part == 2 || !lines.empty() || *row.choices || m[5] == single[d]) << line;
                EXPECT_TRUE(part == 2 || row.moves.empty() || std::count(row.moves.begin(), row.moves.end(), m[5].str())) << line;
                lines.emplace_back(score, m[5]);
            }
            for (size_t d = 2; part == 1 && d <= size_t(row.depth) && !ranked[d].empty(); ++d)
                EXPECT_EQ(ranked[d].size(), row.shown) << row.fen << " depth " << d;
            EXPECT_TRUE(part != 1 || !ranked[2].empty()) << out;
        }
        const auto moves = bestMoves(out.substr(0, again));
        ASSERT_EQ(moves.size(), 2u) << out;
        EXPECT_TRUE(*row.choices || moves[1] == moves[0]) << out;
        EXPECT_TRUE(row.moves.empty() || std::count(row.moves.begin(), row.moves.end(), moves[1])) << moves[1];
    }
}

// A stop before the first iteration is done, readiness and new positions during a search, and
// quit in a deep one: under ThreadSanitizer any race of the hand-over fails it.
TEST(Handover, UciStopIsreadyAndQuitDuringSearches) {
    EngineProcess engine;
    engine.send("uci\nposition startpos moves e2e4\ngo infinite\nstop\n");
    ASSERT_TRUE(engine.waitForOutput("bestmove ", 20000)) << engine.output();
    size_t from = engine.output().size();
    engine.send("position startpos moves d2d4\ngo infinite\n");
    ASSERT_TRUE(engine.waitForOutput("info depth 3 ", 20000, from)) << engine.output();
    // Options for the table wait for the search's end (here the next position's); several
    // lines begin with the search's next iteration.
    engine.send("setoption name Hash value 8\nsetoption name Clear Hash\nsetoption name OwnBook value false\n"
                "setoption name MultiPV value 3\nisready\n");
    ASSERT_TRUE(engine.waitForOutput("readyok\n", 20000, from)) << engine.output();
    ASSERT_TRUE(engine.waitForOutput(" multipv 3 ", 20000, from)) << engine.output();
    EXPECT_FALSE(contains(engine.output().substr(from), "bestmove")) << "infinite ended by itself";
    EXPECT_FALSE(contains(engine.log(), "-M: Hash 8 MB")) << engine.log();
    // A new position during the search ends it first, with its move.
    engine.send("position startpos moves d2d4 d7d5\ngo wtime 100000 btime 100000\nisready\nstop\n");
    ASSERT_TRUE(engine.waitForOutput("bestmove ", 20000, engine.output().find("readyok", from))) << engine.output();
    from = engine.output().size();
    engine.send("ucinewgame\nposition startpos moves c2c4\ngo infinite\n");
    ASSERT_TRUE(engine.waitForOutput("info depth 6 ", 30000, from)) << engine.output();
    engine.send("quit\n");
    ASSERT_TRUE(engine.waitForExit(10000));
    EXPECT_TRUE(engine.exitedCleanly()) << engine.errors();
    const std::string log = engine.log();
    EXPECT_NE(log.find("-M: Hash 8 MB\n", log.find("::cmd:: position startpos moves d2d4 d7d5\n")), std::string::npos) << log;
    const auto moves = bestMoves(engine.output());
    ASSERT_GE(moves.size(), 3u) << engine.output();
    EXPECT_TRUE(legalAfter(START_FEN, "e2e4", moves[0])) << moves[0];
    EXPECT_TRUE(legalAfter(START_FEN, "d2d4", moves[1])) << moves[1];
    EXPECT_TRUE(legalAfter(START_FEN, "d2d4 d7d5", moves[2])) << moves[2];
    // Whole lines only: every line is one of the protocol's forms.
    for (const auto& line : linesOf(engine.output()))
        EXPECT_TRUE(line.empty() || line == "readyok" || line.rfind("id ", 0) == 0 || line == "uciok" ||
                    line.rfind("option name ", 0) == 0 ||
                    line == "info string BOOK ERROR!" ||
                    std::regex_match(line, INFO) || std::regex_match(line, BESTMOVE) ||
                    std::regex_match(line, CURRMOVE))
            << line;
}

TEST(Uci, GoArgumentsReadTheClockOfTheSideToMove) {
    const struct {
        const char* arguments;
        int side;
        uint32_t budget, cap;
        int32_t divisor;
    } rows[] = {
        {"wtime 30000 btime 1000 winc 500 binc 0 movestogo 10", WHITE, 500 + 29000 / 10, 30000 - 150, 10},
        {"wtime 30000 btime 1000 winc 500 binc 0 movestogo 10", BLACK, 1000 / 10, 1000 - 150, 10},
        {"btime 1999 wtime 5", BLACK, 1999 / 40, 1999 - 150, 40},
        {"wtime -300 winc 200", WHITE, 200, 200 / 2, 40},  // overdrawn: an empty clock, the increment only
        // knights: an empty clock, the increment is the move's time.
        {"wtime 0 btime 0 winc 2000 binc 2000 movestogo 1", BLACK, 2000, 2000 - 150, 1},
        {"wtime 0 btime 0", WHITE, 0, 0, 40},
        {"wtime 60000 movestogo 0 depth x", WHITE, 59000 / 40, 60000 - 150, 40},
        {"wtime 10000 infinite", WHITE, 0, CLOCK_UNKNOWN, 40},
    };
    for (const auto& row : rows) {
        applySearchRequest(readGoArguments(row.arguments, row.side));
        EXPECT_EQ(moveBudgetMs, row.budget) << row.arguments;
        EXPECT_EQ(moveTimeCap(), row.cap) << row.arguments;
        EXPECT_EQ(movesPerTimeControl, row.divisor) << row.arguments;
    }
    const SearchRequest limits = readGoArguments("movetime 700 depth 9 nodes 123456 mate 3 searchmoves e2e4", WHITE);
    EXPECT_TRUE(limits.hasMoveTime && limits.moveTimeMs == 700 && limits.depth == 9 && limits.nodes == 123456u);
    EXPECT_FALSE(limits.hasClock || limits.untilStopped);
    applySearchRequest(limits);
    EXPECT_EQ(moveTimeCap(), 700u - 150);
    EXPECT_EQ(searchDepthCap, 9);
    EXPECT_FALSE(unlimitedTime);
    applySearchRequest(readGoArguments("ponder wtime 1000", WHITE));
    EXPECT_TRUE(unlimitedTime && searchUntilStopped);
    applySearchRequest({});
    EXPECT_TRUE(unlimitedTime);
    EXPECT_FALSE(searchUntilStopped);
    EXPECT_EQ(searchDepthCap, NO_DEPTH_LIMIT);
    unlimitedTime = false;  // as the xboard side has it, for the tests that follow
}
