// The program end to end, as an interface sees it: handshake, dispatch, setboard, log.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "game/setup_game_position.h"
#include "game/play_game_move.h"
#include "board/position.h"
#include "board/tables.h"
#include "board/parse_coordinate_move.h"
#include "common/move_text.h"
#include "movegen/legal_moves.h"
#include "support/engine_process.h"

using namespace vostil;
using vostil::testing::EngineProcess;
using vostil::testing::runEngine;

namespace {

const std::string HANDSHAKE =
    "\nfeature done=0\nfeature setboard=1\nfeature ping=1\nfeature myname=\"Vostil\"\nfeature analyze=1\n"
    "feature nps=0\nfeature variants=\"normal\"\nfeature memory=1\nfeature option=\"OwnBook -check 1\"\n"
    "feature option=\"Clear Hash -button\"\nfeature option=\"MultiPV -spin 1 1 16\"\nfeature done=1\n";

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

int countOf(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

}  // namespace

TEST(CommandLoop, HandshakeIsExactAndEndOfInputEndsTheProcess) {
    auto run = runEngine("xboard\nprotover 2\n");
    EXPECT_TRUE(run.exitedCleanly) << run.errors;
    // Byte for byte, in the line ends of the build's system.
    std::string expected;
    for (char c : HANDSHAKE) expected += c == '\n' ? vostil::testing::lineEnd() : std::string(1, c);
    EXPECT_EQ(run.rawOutput, expected);
}

TEST(CommandLoop, AnotherFirstWordIsAnnouncedButTheEngineCarriesOn) {
    // Only a whole word that is a command of UCI alone chooses the other protocol; those that
    // xboard has too keep it.
    for (const char* first : {"protover", "UCI", "go", "quit", "stop", "isreadyx"}) {
        auto run = runEngine(std::string(first) + "\nbenchmark\nquit\n");
        EXPECT_TRUE(run.exitedCleanly) << run.errors;
        EXPECT_EQ(run.output,
                  "Engine works only with xboard protocol ver. 2\n" + HANDSHAKE + "Define __STAT\n");
    }
}

TEST(CommandLoop, LogsEveryWordItReads) {
    auto run = runEngine("xboard\nprotover 2\nnew\nquit\n");
    EXPECT_TRUE(run.exitedCleanly) << run.errors;
    EXPECT_TRUE(contains(run.log, "::cmd:: xboard\n")) << run.log;
    EXPECT_TRUE(contains(run.log, "::cmd:: protover\n::cmd:: 2\n::cmd:: new\n"));
    EXPECT_TRUE(contains(run.log, "::cmd:: quit\n"));
    // Without a book file in the folder the start position reports the book error.
    EXPECT_TRUE(contains(run.output, "tellusererror BOOK ERROR!\n"));
    EXPECT_TRUE(contains(run.log, "-\ttellusererror BOOK ERROR!\n\n"));
}

TEST(CommandLoop, FeatureAnswersAreNotCommands) {
    // xboard answers each feature line; "accepted setboard" must not run "setboard".
    auto run = runEngine("xboard\nprotover 2\naccepted done\naccepted setboard\nrejected setboard\n"
                         "new\nforce\ne2e4\nquit\n");
    EXPECT_FALSE(contains(run.output, "Illegal")) << run.output;
    EXPECT_FALSE(contains(run.log, "-M: tellusererror")) << run.log;
    EXPECT_TRUE(run.exitedCleanly);
}

TEST(CommandLoop, PrefixAndWholeWordTests) {
    // "benchmarks" and "tests" are no commands; "benchmark" answers.
    auto run = runEngine("xboard\nbenchmarks\ntests\nbenchmark\nquit\n");
    EXPECT_EQ(countOf(run.output, "Define __STAT\n"), 1);
    EXPECT_TRUE(contains(run.output, "Error (unknown command): benchmarks\nError (unknown command): tests\n"));
    EXPECT_TRUE(run.exitedCleanly);
}

TEST(CommandLoop, GameMoveLogsTheNewKeyInHexadecimal) {
    setupGamePosition(START_FEN, false);
    playGameMove(parseCoordinateMove("e2e4", MoveSource::Root));
    char expected[40];
    std::snprintf(expected, sizeof expected, "\n%x %x\n", pos.keyHigh, pos.keyLow);

    auto run = runEngine("xboard\nnew\nforce\ne2e4\nquit\n");
    EXPECT_TRUE(run.exitedCleanly) << run.errors;
    EXPECT_TRUE(contains(run.log, std::string("::cmd:: e2e4") + expected)) << run.log;
    EXPECT_FALSE(contains(run.output, "move ")) << "force mode only records moves";
}

TEST(CommandLoop, SetboardIsLoggedWithItsLineEnd) {
    auto run = runEngine("xboard\nsetboard 4k3/8/8/8/8/8/8/4K3 w - -\nquit\n");
    EXPECT_TRUE(contains(run.log, "setboard  4k3/8/8/8/8/8/8/4K3 w - -\n\n")) << run.log;
    EXPECT_FALSE(contains(run.output, "tellusererror"));
    EXPECT_FALSE(contains(run.output, "BOOK ERROR")) << "only the start position has a book";
}

TEST(CommandLoop, RefusedSetboardTellsTheInterfaceAndKeepsNoPosition) {
    const std::string window = "tellusererror Illegal position";
    const struct { const char* line; std::string reply; } bad[] = {
        {"setboard rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR\n", window},  // no side to move
        {"setboard 4k3/8/8/8/8/8/8/8 w - -\n", window},                     // no white king
        {"setboard 4k3/8/8/8/8/8/8/4K2P w - -\n", window},                  // pawn on the first rank
        {"setboard 4k3/8/8/8/8/8/4R3/4K3 w - -\n", window},                 // side not to move in check
        {"setboard 4k3/8/8/8/9/8/8/4K3 w - -\n", window},                   // unreadable placement
        // pychess parks its analysers on an empty board: refused without a window.
        {"exit\nsetboard 8/8/8/8/8/8/8/8 w - - 0 1\n", "Error (empty board): setboard"},
    };
    for (const auto& [line, reply] : bad) {
        auto run = runEngine(std::string("xboard\n") + line + "e1e2\nquit\n");
        EXPECT_TRUE(contains(run.output, reply + "\n")) << line;
        EXPECT_EQ(contains(run.output, "tellusererror"), reply == window) << line;
        EXPECT_TRUE(contains(run.log, "-M: " + reply + "\n")) << line;
        // No game position: a move gets the protocol's refusal, never a corrupted board.
        EXPECT_TRUE(contains(run.output, "Illegal move: e1e2\n")) << line;
        EXPECT_TRUE(run.exitedCleanly) << line << run.errors;
    }
}

TEST(CommandLoop, TooLongSetboardLineIsRefusedWhole) {
    std::string line = "setboard 4k3/8/8/8/8/8/8/4K3 w - - " + std::string(400, 'x') + " bm e4;\n";
    auto run = runEngine("xboard\n" + line + "benchmark\nquit\n");
    EXPECT_TRUE(contains(run.output, "tellusererror Illegal position\n"));
    // The rest of the line is not dispatched as words.
    EXPECT_FALSE(contains(run.log, "::cmd:: bm"));
    EXPECT_TRUE(contains(run.output, "Define __STAT\n"));
    EXPECT_TRUE(run.exitedCleanly);
}

TEST(CommandLoop, IllegalMovesAreRefusedAndLeaveTheGameAsItWas) {
    auto run = runEngine("xboard\ne2e5\ne1g1\ne2e4\ne2e4\nquit\n");
    EXPECT_TRUE(contains(run.output, "Illegal move: e2e5\n"));
    EXPECT_TRUE(contains(run.output, "Illegal move: e1g1\n"));
    // The first e2e4 is played in the initial position the engine starts with, and answered;
    // the second is then illegal (no white pawn on e2).
    EXPECT_EQ(countOf(run.output, "Illegal move: e2e4\n"), 1);
    EXPECT_EQ(countOf(run.output, "\nmove "), 1) << run.output;
    EXPECT_TRUE(run.exitedCleanly);
}

TEST(CommandLoop, GarbageNeverCrashesTheEngine) {
    std::string input = "xboard\n" + std::string(100 * 1024, 'g') + "\n";
    for (int i = 0; i < 4096; ++i) input.push_back(char((i * 7919 + 13) % 256));
    input += "\ntime 5\nlevel\nsetboard\nsetboard \x01\x02\n\nbenchmark\nquit\n";
    auto run = runEngine(input);
    EXPECT_TRUE(run.exitedCleanly) << run.errors;
    EXPECT_TRUE(contains(run.output, "Define __STAT\n"));
}

TEST(CommandLoop, LevelConsumesMinutesSecondsAndFractionalIncrements) {
    // The arguments are logged as read, and none of them is taken for a command.
    auto run = runEngine("xboard\nlevel 40 5:30 0\nlevel 0 2 0.5\nbenchmark\nquit\n");
    EXPECT_TRUE(contains(run.log, "::cmd:: level\n::cmd:: 40\n::cmd:: 5:30\n::cmd:: 0\n::cmd:: level\n::cmd:: 0\n"
                                  "::cmd:: 2\n::cmd:: 0.5\n::cmd:: benchmark\n")) << run.log;
    EXPECT_FALSE(contains(run.output, "Error")) << run.output;
}

TEST(CommandLoop, TimeConsumesOnlyItsOwnOpponentTime) {
    // "otim" after "time" is part of it; any other word after the number is a command.
    auto run = runEngine("xboard\ntime 500 otim 700\ntime 500\nbenchmark\nquit\n");
    EXPECT_TRUE(contains(run.log, "::cmd:: time\n::cmd:: 500\n::cmd:: otim\n::cmd:: 700\n::cmd:: time\n"
                                  "::cmd:: 500\n::cmd:: benchmark\n")) << run.log;
    EXPECT_TRUE(contains(run.output, "Define __STAT\n"));
    EXPECT_FALSE(contains(run.output, "Error")) << run.output;
}

TEST(CommandLoop, SideToMoveCommandsNeverExposeAKing) {
    // Black is in check: "white" would hand the move to the side that could take the king,
    // so it is ignored and black stays to move.
    auto run = runEngine(
        "xboard\nsetboard 4k3/8/8/8/8/8/4R3/4K3 b - -\nwhite\nforce\ne2e7\nblack\ne8e7\nquit\n");
    // The rook is white's, and it is still black's move.
    EXPECT_TRUE(contains(run.output, "Illegal move: e2e7\n")) << run.output;
    EXPECT_TRUE(run.exitedCleanly);
}

TEST(CommandLoop, SearchLogNamesTheSideActuallyToMove) {
    // "white" after 1.e4 hands the move back to white; the engine then searches once for
    // white and once for black, and each "-FEN:" line must say so.
    auto run = runEngine("xboard\nnew\nforce\ne2e4\nwhite\ntime 100\ngo\ngo\nquit\n");
    std::vector<std::string> sides;
    for (size_t at = run.log.find("-FEN:\t"); at != std::string::npos;
         at = run.log.find("-FEN:\t", at + 1)) {
        const size_t field = run.log.find(' ', at) + 1;
        sides.push_back(run.log.substr(field, 1));
    }
    EXPECT_EQ(sides, (std::vector<std::string>{"w", "b"})) << run.log;
}

TEST(CommandLoop, QuitEndsTheProcessPromptly) {
    EngineProcess engine;
    engine.send("xboard\nnew\n");
    ASSERT_TRUE(engine.waitForOutput("feature done=1\n", 10000));
    engine.send("quit\n");
    EXPECT_TRUE(engine.waitForExit(5000));
    EXPECT_TRUE(engine.exitedCleanly()) << engine.errors();
}

// Every log line is flushed as it is written, so a kill in the middle of a search loses
// nothing: the commands, the position searched and each finished iteration are in the file,
// and the file ends with a whole line.
TEST(CommandLoop, LogSurvivesAKillInTheMiddleOfASearch) {
    EngineProcess engine;
    engine.send("xboard\nsetboard r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq -\n"
                "time 400000 otim 400000\ngo\n");
    // The search has a budget of minutes; kill it once it has finished a few iterations.
    std::string log;
    for (int waited = 0; waited < 60000 && !contains(log, "-E: 5:"); waited += 20) {
        usleep(20000);
        log = engine.log();
    }
    ASSERT_TRUE(contains(log, "-E: 5:")) << log;
    engine.killNow();
    log = engine.log();

    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), '\n') << "the log ends in the middle of a line:\n" << log;
    EXPECT_TRUE(contains(log, "::cmd:: setboard\nsetboard  r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq -\n\n"
                              "::cmd:: time\n::cmd:: 400000\n::cmd:: otim\n::cmd:: 400000\n::cmd:: go\n-FEN:\t"))
        << log;
    // The iterations in order from the first, none missing, up to the one the kill cut short.
    int depth = 2;
    for (size_t at = log.find("-E: "); at != std::string::npos; at = log.find("-E: ", at + 1))
        EXPECT_EQ(std::atoi(log.c_str() + at + 4), depth++) << log;
    EXPECT_GE(depth, 6);
}

TEST(CommandLoop, PingIsAnsweredOnceEverythingBeforeItIsDone) {
    auto run = runEngine("xboard\nprotover 2\nping 1\nnew\ntime 200\ne2e4\nping 2\nping\nping -3\nquit\n");
    EXPECT_TRUE(run.exitedCleanly) << run.errors;
    const size_t first = run.output.find("pong 1\n"), move = run.output.find("\nmove ");
    const size_t second = run.output.find("pong 2\n");
    ASSERT_NE(move, std::string::npos) << run.output;
    // The second ping comes after the move it waited for.
    EXPECT_LT(first, move);
    EXPECT_GT(second, move) << run.output;
    EXPECT_TRUE(contains(run.output, "pong -3\n"));
    EXPECT_EQ(countOf(run.output, "pong"), 3) << "a ping without its number is no ping";
}

TEST(CommandLoop, IgnoredCommandsConsumeTheirArguments) {
    // An opponent named "new game" must not start a new game, nor a rating move a piece, nor
    // an unknown command's argument. Only the unknown commands are answered.
    auto run = runEngine("xboard\nprotover 2\nforce\ne2e4\nname new game e2e4\nrating 2100 1900\nponder off\n"
                         "hard\neasy\nrandom\ncomputer\naccepted ping\nrejected myname\nhint\nbk\n?\ndraw\n"
                         "otim 700\nnps 1\nfoobar new e7e5\nvariant suicide\ne7e5\nresult 1-0 {White mates}\nquit\n");
    EXPECT_TRUE(run.exitedCleanly) << run.errors;
    EXPECT_FALSE(contains(run.output, "Illegal")) << run.output;
    EXPECT_TRUE(contains(run.output, "Error (unknown command): nps\nError (unknown command): foobar\n"
                                     "Error (unknown command): variant\n")) << run.output;
    EXPECT_EQ(countOf(run.output, "Error"), 3) << run.output;
    EXPECT_TRUE(contains(run.log, "::cmd:: name\n::cmd:: new game e2e4\n::cmd:: rating\n::cmd:: 2100\n"
                                  "::cmd:: 1900\n::cmd:: ponder\n::cmd:: off\n")) << run.log;
}

TEST(CommandLoop, MemoryAndOptionsSetTheTableAndTheBook) {
    // "memory" is the total for every table: 2 MB go to the others, the table gets the largest
    // power of two in what is left.
    const struct {
        const char* input;
        bool withBook;
        std::string output, logged;
    } rows[] = {
        {"memory 64\nmemory 33\nmemory 1\nmemory 130\n", false, "",
         "::cmd:: memory\n::cmd:: 64\n::cmd:: memory\n::cmd:: 33\n-M: Hash 16 MB\n::cmd:: memory\n::cmd:: 1\n"
         "-M: Hash 1 MB\n::cmd:: memory\n::cmd:: 130\n-M: Hash 128 MB\n"},
        {"option Clear Hash\noption OwnBook=2\noption Threads=1\noption MultiPV= 2\noption MultiPV=x\n", false,
         "Error (unknown option): OwnBook=2\nError (unknown option): Threads=1\nError (unknown option): MultiPV=x\n",
         "::cmd:: option\n::cmd:: Clear Hash\n-M: Hash cleared\n"},
        // The book turned off: the initial position is searched; on again, answered from the book,
        // also from a table emptied and resized.
        {"option OwnBook=0\nnew\ngo\n", true, "", "::cmd:: go\n-FEN:\trnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w"},
        {"option OwnBook=0\noption OwnBook=1\nnew\noption Clear Hash\nmemory 10\ngo\n", true, "",
         "-M: move(book): "},
    };
    for (const auto& row : rows) {
        auto run = runEngine("xboard\nprotover 2\n" + std::string(row.input) + "quit\n", row.withBook);
        EXPECT_TRUE(run.exitedCleanly) << run.errors;
        EXPECT_EQ(contains(run.output, "Error"), !row.output.empty()) << row.input << run.output;
        EXPECT_TRUE(contains(run.output, row.output)) << row.input << run.output;
        EXPECT_TRUE(contains(run.log, row.logged)) << row.input << run.log;
    }
}

// The deepest iteration in the log's "-E: depth:" lines.
int deepestIteration(const std::string& log) {
    int deepest = 0;
    for (size_t at = log.find("-E: "); at != std::string::npos; at = log.find("-E: ", at + 1))
        deepest = std::max(deepest, std::atoi(log.c_str() + at + 4));
    return deepest;
}

TEST(CommandLoop, FixedDepthBoundsEveryIterationUntilANewGame) {
    const std::string position = "setboard r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq -\n";
    // A long clock: only the depth ends the search.
    const struct { const char* settings; int deepest; } rows[] = {
        {"sd 3\ntime 100000", 3}, {"sd 1\ntime 100000", 2}, {"sd 2\ntime 100000", 2},
        // python-chess asks for a depth with no clock at all: the depth is searched whole.
        {"sd 6", 6},
        // A level's base time is the clock until a "time" says otherwise.
        {"level 40 5 0\nsd 5", 5},
    };
    for (const auto& row : rows) {
        auto run = runEngine("xboard\n" + position + row.settings + "\ngo\nquit\n");
        EXPECT_TRUE(run.exitedCleanly) << run.errors;
        EXPECT_EQ(deepestIteration(run.log), row.deepest) << row.settings << run.log;
        EXPECT_TRUE(contains(run.output, "\nmove ")) << row.settings;
    }
    // "new" lifts the limit; "st" then bounds the time instead.
    auto run = runEngine("xboard\nsd 2\nnew\nforce\na2a3\nh7h6\nst 0.5\ngo\nquit\n");
    EXPECT_GT(deepestIteration(run.log), 2) << run.log;
}

TEST(CommandLoop, FixedTimePerMoveReplacesTheClocksBudget) {
    // The clock would allow 25 s for this move; "st 1" allows one.
    EngineProcess engine;
    engine.send("xboard\nsetboard r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq -\n"
                "time 100000\nst 1\ngo\n");
    EXPECT_TRUE(engine.waitForOutput("\nmove ", 4000)) << engine.output();
    engine.send("quit\n");
    EXPECT_TRUE(engine.waitForExit(5000));
    EXPECT_GE(deepestIteration(engine.log()), 4) << "the second was used to search";
}

TEST(CommandLoop, AGameLongerThanTheHistoryOverflowsNothing) {
    // A game file loaded into the GUI: 13,001 moves of knights back and forth in force mode,
    // takebacks, then the engine moves. Under the sanitizers any write past a table fails.
    const char* cycle[4] = {"g1f3\n", "g8f6\n", "f3g1\n", "f6g8\n"};
    std::string input = "xboard\nprotover 2\nforce\n";
    for (int i = 0; i < 13001; ++i) input += cycle[i % 4];
    // 12,998 plies after the takebacks: 1.Nf3 Nf6 on the board, for the thousandth time.
    input += "undo\nremove\nping 1\ntime 100\ngo\nforce\ne2e4\ngo\nping 2\nquit\n";
    auto run = runEngine(input, false, 120000);
    EXPECT_TRUE(run.exitedCleanly) << run.errors;
    EXPECT_FALSE(contains(run.output, "Illegal move")) << run.output;
    const size_t draw = run.output.find("pong 1\n1/2-1/2 {Draw by repetition (2)}\n");
    EXPECT_NE(draw, std::string::npos) << run.output;
    // After a pawn move the game goes on, and the reply is one of this game.
    const size_t move = run.output.find("\nmove ");
    ASSERT_NE(move, std::string::npos) << run.output;
    EXPECT_LT(draw, move);
    ASSERT_TRUE(setupGamePosition(START_FEN, false));
    for (const char* m : {"g1f3", "g8f6", "e2e4"}) playGameMove(parseCoordinateMove(m, MoveSource::Root));
    const std::string reply = run.output.substr(move + 6, run.output.find('\n', move + 6) - move - 6);
    EXPECT_TRUE(isLegalMove(parseCoordinateMove(reply.c_str(), MoveSource::Root))) << reply;
    EXPECT_GT(run.output.find("pong 2\n"), move);
}
