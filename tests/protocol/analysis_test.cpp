// Thinking lines and analysis, as the interfaces see them: the protocol's line form, one line
// per finished iteration, and an analysis that follows the game without ever playing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "game/thinking_output.h"
#include "support/engine_process.h"

using namespace vostil;
using vostil::testing::EngineProcess;
using vostil::testing::runEngine;

namespace {

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::vector<std::string> linesOf(const std::string& text, const std::regex& form) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        if (std::regex_match(line, form)) lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

// "depth score time nodes pv": four numbers, then the line.
const std::regex THINKING(R"((\d+) (-?\d+) (\d+) (\d+) (.+))");
const std::regex ITERATION_LOG(R"(-E: (\d+):\t(-?\d+)\t(.*))");

// The log's line up to its first word that is no move ("NOE", "#", a stalemate note).
std::string movesOf(const std::string& text) {
    std::smatch moves;
    std::regex_search(text, moves, std::regex(R"(^([a-h][1-8][a-h][1-8][qnrb]?( |$))*)"));
    std::string line = moves[0];
    while (!line.empty() && line.back() == ' ') line.pop_back();
    return line;
}

}  // namespace

TEST(ThinkingOutput, MateScoresAreReadAsMovesToMate) {
    const struct { int score, shown; } rows[] = {
        {8099, 100001}, {8097, 100002}, {8096, 100002}, {-8100, -100000}, {-8098, -100001},
        {-8097, -100001}, {-8096, -100002}, {35, 35}, {-250, -250}, {0, 0},
    };
    for (const auto& row : rows) EXPECT_EQ(thinkingScore(row.score), row.shown) << row.score;
    // Both forms show the line's moves only: mates in moves (UCI) or as 100000 + N (xboard),
    // nodes per second from milliseconds, time in centiseconds for xboard; UCI ranks a line
    // only among several.
    const struct { int score; uint32_t ms; int rank; const char* line; const char* shown; const char* thinking; } lines[] = {
        {156, 10840, 0, "g1f3 b8c6 ", "info depth 4 seldepth 9 score cp 156 nodes 5000 time 10840 nps 461 hashfull 17 pv g1f3 b8c6\n",
         "4 156 1084 5000 g1f3 b8c6\n"},
        {8099, 0, 1, "g1g7 # ", "info depth 4 seldepth 9 multipv 1 score mate 1 nodes 5000 time 0 nps 5000000 hashfull 17 pv g1g7\n",
         "4 100001 0 5000 g1g7\n"},
        {-8096, 250, 3, "e1d1 h2h1q # ", "info depth 4 seldepth 9 multipv 3 score mate -2 nodes 5000 time 250 nps 20000 hashfull 17 pv e1d1 h2h1q\n",
         "4 -100002 25 5000 e1d1 h2h1q\n"},
        {-8100, 10, 0, "# ", "info depth 4 seldepth 9 score mate 0 nodes 5000 time 10 nps 500000 hashfull 17\n",
         "4 -100000 1 5000\n"},
        {-35, 2000, 0, "e7e8n NOE ", "info depth 4 seldepth 9 score cp -35 nodes 5000 time 2000 nps 2500 hashfull 17 pv e7e8n\n",
         "4 -35 200 5000 e7e8n\n"},
        {0, 1000, 0, "g2g1 1/2 - 1/2 (stalemate)", "info depth 4 seldepth 9 score cp 0 nodes 5000 time 1000 nps 5000 hashfull 17 pv g2g1\n",
         "4 0 100 5000 g2g1\n"},
        {12, 30, 0, "NOE ", "info depth 4 seldepth 9 score cp 12 nodes 5000 time 30 nps 166666 hashfull 17\n",
         "4 12 3 5000\n"},
    };
    for (const auto& row : lines) {
        char text[160];
        formatUciInfoLine(text, sizeof text, {4, 9, row.rank, row.score, row.ms, 5000, 17}, row.line);
        EXPECT_STREQ(text, row.shown) << row.line;
        formatThinkingLine(text, sizeof text, 4, row.score, row.ms / 10, 5000, row.line);
        EXPECT_STREQ(text, row.thinking) << row.line;
    }
}

TEST(ThinkingOutput, PostShowsEveryIterationBeforeTheMoveAndNopostNone) {
    const std::string position = "setboard r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq -\n";
    // "new" keeps the setting: the second game is posted too, the third not.
    auto run = runEngine("xboard\npost\n" + position + "time 300\ngo\nnew\nforce\n" + position +
                         "go\nnopost\n" + position + "go\nquit\n");
    ASSERT_TRUE(run.exitedCleanly) << run.errors;
    const auto thinking = linesOf(run.output, THINKING);
    const auto logged = linesOf(run.log, ITERATION_LOG);
    ASSERT_FALSE(logged.empty()) << run.log;
    // Two posted searches: as many lines as their logged iterations, with the log's text.
    const size_t thirdSearch = run.log.rfind("-FEN:");
    const size_t posted = linesOf(run.log.substr(0, thirdSearch), ITERATION_LOG).size();
    ASSERT_LT(posted, logged.size()) << "the third search was logged too";
    ASSERT_EQ(thinking.size(), posted) << run.output;
    for (size_t i = 0; i < thinking.size(); ++i) {
        std::smatch shown, log;
        std::regex_match(thinking[i], shown, THINKING);
        std::regex_match(logged[i], log, ITERATION_LOG);
        EXPECT_EQ(shown[1], log[1]) << thinking[i];
        EXPECT_EQ(shown[2], log[2]) << thinking[i];
        EXPECT_EQ(shown[5].str(), movesOf(log[3])) << thinking[i];
        EXPECT_GE(std::atoi(shown[1].str().c_str()), 2);
    }
    // Each search's lines come before its move.
    const size_t firstMove = run.output.find("\nmove ");
    ASSERT_NE(firstMove, std::string::npos);
    EXPECT_LT(run.output.find(thinking.front()), firstMove);
}

TEST(ThinkingOutput, AMateInOneIsShownAsOne) {
    auto run = runEngine("xboard\npost\nsetboard 6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1\ntime 1000\ngo\nquit\n");
    const auto thinking = linesOf(run.output, THINKING);
    ASSERT_FALSE(thinking.empty()) << run.output;
    std::smatch shown;
    std::regex_match(thinking.back(), shown, THINKING);
    EXPECT_EQ(shown[2], "100001") << thinking.back();
    EXPECT_EQ(shown[5].str().rfind("a1a8", 0), 0u) << thinking.back();
}

// The engine's move taken back and analysed: the iterations the table answers whole are told
// once, at the deepest of them with the table's line, at once; every line after it was searched.
TEST(ThinkingOutput, AnalysisOfAPositionJustSearchedTellsWhatTheTableKnowsOnce) {
    EngineProcess engine;
    engine.send("xboard\nprotover 2\npost\nsetboard r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq -\n"
                "time 500\ngo\n");
    ASSERT_TRUE(engine.waitForOutput("\nmove ", 20000)) << engine.output();
    const size_t from = engine.output().find('\n', engine.output().find("\nmove ") + 1);
    const auto searched = linesOf(engine.output().substr(0, from), THINKING);
    ASSERT_FALSE(searched.empty()) << engine.output();
    const int deepest = std::atoi(searched.back().c_str());
    ASSERT_GE(deepest, 3) << searched.back();
    engine.send("force\nundo\nanalyze\n");
    const std::string deeper = std::to_string(deepest + 1);
    ASSERT_TRUE(engine.waitForOutput('\n' + deeper + ' ', 20000, from)) << engine.output();
    engine.send("exit\nquit\n");
    ASSERT_TRUE(engine.waitForExit(10000));
    const auto lines = linesOf(engine.output().substr(from), THINKING);
    ASSERT_GE(lines.size(), 2u) << engine.output().substr(from);
    std::smatch first, second;
    std::regex_match(lines[0], first, THINKING);
    std::regex_match(lines[1], second, THINKING);
    EXPECT_EQ(std::atoi(first[1].str().c_str()), deepest) << lines[0];
    // As much of the line as the table holds: the search may have overwritten an entry of it.
    const auto moves = std::count(lines[0].begin(), lines[0].end(), ' ') - 3;
    EXPECT_TRUE(moves >= 1 && moves <= deepest) << lines[0];
    EXPECT_EQ(std::atoi(second[1].str().c_str()), deepest + 1) << lines[1];
    EXPECT_NE(second[4], "0") << lines[1];
}

// xboard's analysis: post, analyze, then the user's moves, an illegal one, a status request,
// takebacks, a new game and set-ups, and finally exit. Every position is analysed in turn (each
// search logs the position it searches), and nothing is ever played.
TEST(Analysis, FollowsTheGameWithoutEverPlaying) {
    auto run = runEngine(
        "xboard\nprotover 2\nnew\npost\nanalyze\ne2e4\ne2e5\n.\ne7e5\nundo\nundo\nnew\nd2d4\n"
        "setboard R5k1/5ppp/8/8/8/8/8/6K1 b - - 0 1\n"   // black is mated
        "setboard 7k/5Q2/6K1/8/8/8/8/8 b - - 0 1\n"      // stalemate
        "setboard 8/8/8/8/8/8/8/8 w - -\n"                // refused: nothing to analyse
        "g1f3\n"
        "setboard 4k3/8/8/8/8/8/4P3/4K3 w - -\n"
        "exit\ne2e4\nquit\n");
    ASSERT_TRUE(run.exitedCleanly) << run.errors;
    EXPECT_FALSE(contains(run.output, "move ")) << run.output;
    EXPECT_FALSE(contains(run.output, "1-0")) << run.output;
    EXPECT_TRUE(contains(run.output, "Illegal move: e2e5\n"));
    EXPECT_TRUE(contains(run.output, "Illegal move: g1f3\n")) << "no position after a refused one";
    EXPECT_TRUE(std::regex_search(run.output, std::regex(R"(\nstat01: \d+ \d+ \d+ \d+ \d+ [a-h1-8qnrb]*\n)")))
        << run.output;
    EXPECT_TRUE(contains(run.output, "\n0 -100000 0 0 (mated)\n")) << run.output;
    EXPECT_TRUE(contains(run.output, "\n0 0 0 0 (stalemate)\n")) << run.output;
    // The positions searched, in order: start, after e4, again after e4 (the illegal move
    // changed nothing), after e5, after the takebacks, the new game, after d4, the last set-up.
    std::vector<std::string> searched;
    for (size_t at = run.log.find("-FEN:\t"); at != std::string::npos; at = run.log.find("-FEN:\t", at + 1))
        searched.push_back(run.log.substr(at + 6, run.log.find('\n', at) - at - 6));
    const std::string start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";
    const std::string afterE4 = "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3";
    const std::vector<std::string> expected = {
        start, afterE4, afterE4, "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq e6", afterE4,
        start, start, "rnbqkbnr/pppppppp/8/8/3P4/8/PPP1PPPP/RNBQKBNR b KQkq d3", "4k3/8/8/8/8/8/4P3/4K3 w - -"};
    EXPECT_EQ(searched, expected) << run.log;
    EXPECT_FALSE(contains(run.log, "-M: move(book)")) << "analysis asks no book";
}

// The option of several lines, set while the engine analyses: the analysis starts again and
// every iteration told then has three lines, each a different move.
TEST(Analysis, SeveralLinesFromTheOption) {
    EngineProcess engine;
    engine.send("xboard\nprotover 2\npost\nsetboard r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq -\n"
                "analyze\n");
    ASSERT_TRUE(engine.waitForOutput("\n4 ", 20000)) << engine.output();
    // The pong comes once the analysis has started again. The table may answer its first
    // iterations whole, told at the deepest of them as ever: the first depth told, d, has its
    // three lines once depth d + 1 shows.
    engine.send("option MultiPV=3\nping 1\n");
    ASSERT_TRUE(engine.waitForOutput("pong 1\n", 30000)) << engine.output();
    const size_t from = engine.output().find("pong 1\n") + 7;
    ASSERT_TRUE(engine.waitForOutput("\n", 30000, from)) << engine.output().substr(from);
    const int first = std::atoi(engine.output().c_str() + from);
    std::string next(1, '\n');
    next += std::to_string(first + 1) + " ";
    ASSERT_TRUE(engine.waitForOutput(next, 30000, from)) << engine.output().substr(from);
    engine.send("exit\nquit\n");
    ASSERT_TRUE(engine.waitForExit(10000));
    std::multiset<std::string> moves;  // the first moves of depth d's lines
    for (const auto& line : linesOf(engine.output().substr(from), THINKING)) {
        if (std::atoi(line.c_str()) > first) break;
        EXPECT_EQ(std::atoi(line.c_str()), first) << line;
        moves.insert(line.substr(line.find(' ', line.find(' ', line.find(' ', line.find(' ') + 1) + 1) + 1) + 1, 4));
    }
    EXPECT_EQ(moves.size(), 3u) << engine.output().substr(from);
    EXPECT_EQ(std::set<std::string>(moves.begin(), moves.end()).size(), 3u) << engine.output().substr(from);
    EXPECT_FALSE(contains(engine.output(), "Error")) << engine.output();
}

// pychess's hint and spy engines: force, setboard, post, analyze, exit, and the park on an
// empty board, every few seconds. The spy starts on the initial position with black to move.
// Nothing is played, and no window opens.
TEST(Analysis, PychessHintCycleNeverPlays) {
    EngineProcess engine(/*withBook=*/true);
    engine.send("xboard\nprotover 2\n");
    const char* positions[] = {
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 1",
        "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1",
        "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4",
        "8/8/4k3/8/8/4K3/8/8 w - - 0 1",  // drawn by material: said at once, nothing searched
    };
    size_t seen = 0;
    for (const char* fen : positions) {
        engine.send(std::string("force\nsetboard ") + fen + "\npost\nanalyze\n");
        // A fresh position is searched from the first iteration on.
        const bool drawn = fen == positions[3];
        EXPECT_TRUE(engine.waitForOutput(drawn ? "\n0 0 0 0 (draw)\n" : "\n2 ", 10000, seen)) << engine.output();
        engine.send("exit\nsetboard 8/8/8/8/8/8/8/8 w - - 0 1\n");
        seen = engine.output().size() - 1;  // the line end before the next line
    }
    engine.send("quit\n");
    ASSERT_TRUE(engine.waitForExit(10000));
    EXPECT_TRUE(engine.exitedCleanly()) << engine.errors();
    EXPECT_FALSE(contains(engine.output(), "move ")) << engine.output();
    EXPECT_FALSE(contains(engine.output(), "tellusererror")) << engine.output();
}

// Commands while the analysis searches, exit in its first iteration, quit in a deep one: under
// ThreadSanitizer any race of the hand-over fails it.
TEST(Handover, AnalysisTakesCommandsWhileItSearches) {
    EngineProcess engine;
    engine.send("xboard\nprotover 2\npost\nanalyze\nexit\nanalyze\n");
    ASSERT_TRUE(engine.waitForOutput("\n2 ", 20000)) << engine.output();
    // The table resized and emptied between two searches of the analysis.
    engine.send("e2e4\n.\nmemory 200\ne7e5\noption Clear Hash\nundo\nping 1\n");
    ASSERT_TRUE(engine.waitForOutput("pong 1\n", 20000)) << engine.output();
    engine.send("exit\nanalyze\n");
    // Deep in the analysis, the end.
    ASSERT_TRUE(engine.waitForOutput("\n6 ", 30000, engine.output().find("pong 1"))) << engine.output();
    engine.send("quit\n");
    EXPECT_TRUE(engine.waitForExit(10000));
    EXPECT_TRUE(engine.exitedCleanly()) << engine.errors();
    EXPECT_FALSE(contains(engine.output(), "move ")) << engine.output();
    EXPECT_TRUE(contains(engine.log(), "-M: Hash 128 MB\n")) << engine.log();
}
