// Whole conversations in which the engine searches and moves: replies, results, repetition.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "game/setup_game_position.h"
#include "game/play_game_move.h"
#include "board/position.h"
#include "board/parse_coordinate_move.h"
#include "common/move_text.h"
#include "movegen/legal_moves.h"
#include "support/engine_process.h"

using namespace vostil;
using vostil::testing::EngineProcess;
using vostil::testing::runEngine;

namespace {

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The coordinate words of every "move ..." line, in order.
std::vector<std::string> movesIn(const std::string& output) {
    std::vector<std::string> moves;
    for (size_t at = output.find("move "); at != std::string::npos; at = output.find("move ", at + 1)) {
        if (at > 0 && output[at - 1] != '\n') continue;
        size_t end = output.find('\n', at);
        moves.push_back(output.substr(at + 5, end - at - 5));
    }
    return moves;
}

// Plays `moves` from the FEN with the library and reports whether `reply` is legal after them.
bool legalAfter(const char* fen, const std::vector<std::string>& moves, const std::string& reply) {
    if (!setupGamePosition(fen, false)) return false;
    for (const auto& word : moves) {
        Move m = parseCoordinateMove(word.c_str(), MoveSource::Root);
        if (!isLegalMove(m)) return false;
        playGameMove(m);
    }
    return isLegalMove(parseCoordinateMove(reply.c_str(), MoveSource::Root));
}

}  // namespace

TEST(GamePlay, AnswersAReceivedMoveWithOneLegalMove) {
    auto run = runEngine("xboard\nnew\ntime 3000\notim 3000\ne2e4\nquit\n");
    ASSERT_TRUE(run.exitedCleanly) << run.errors;
    auto moves = movesIn(run.output);
    ASSERT_EQ(moves.size(), 1u) << run.output;
    EXPECT_TRUE(legalAfter(START_FEN, {"e2e4"}, moves[0])) << moves[0];
    EXPECT_TRUE(contains(run.log, "move " + moves[0] + "\tscore: ")) << run.log;
    EXPECT_TRUE(contains(run.log, "- NO ponder move\n"));
    EXPECT_TRUE(contains(run.log, "-FEN:\trnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3\n"));
}

TEST(GamePlay, ForceModeOnlyRecordsMovesUntilGo) {
    auto run = runEngine("xboard\nnew\nforce\ne2e4\ne7e5\ng1f3\ntime 100\ngo\nquit\n");
    ASSERT_TRUE(run.exitedCleanly) << run.errors;
    auto moves = movesIn(run.output);
    ASSERT_EQ(moves.size(), 1u) << run.output;
    EXPECT_TRUE(legalAfter(START_FEN, {"e2e4", "e7e5", "g1f3"}, moves[0])) << moves[0];
}

TEST(GamePlay, MateInOneIsPlayedAndAnnounced) {
    auto white = runEngine("xboard\nsetboard 6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1\ntime 1000\ngo\nquit\n");
    EXPECT_TRUE(contains(white.output, "move a1a8\n1-0 {Vostil mates 1}\n")) << white.output;
    auto black = runEngine("xboard\nsetboard r5k1/8/8/8/8/8/5PPP/6K1 b - - 0 1\ntime 1000\ngo\nquit\n");
    EXPECT_TRUE(contains(black.output, "move a8a1\n0-1 {Vostil mates 1}\n")) << black.output;
    EXPECT_TRUE(contains(black.log, "--- MATE: 8099\n"));
}

TEST(GamePlay, MatedAndStalematedPositionsGiveResultsWithoutAMove) {
    auto mated = runEngine("xboard\nsetboard R5k1/5ppp/8/8/8/8/8/6K1 b - - 0 1\ngo\nquit\n");
    EXPECT_TRUE(contains(mated.output, "1-0 {Vostil mated 0}\n")) << mated.output;
    EXPECT_TRUE(movesIn(mated.output).empty());
    // With several lines the result code alone is the line (it was once played on the board).
    auto whiteMated = runEngine("xboard\noption MultiPV=2\nsetboard r5k1/8/8/8/8/8/5PPP/r5K1 w - - 0 1\ngo\nquit\n");
    EXPECT_TRUE(contains(whiteMated.output, "0-1 {Vostil mated 0}\n")) << whiteMated.output;
    auto stalemate = runEngine("xboard\nsetboard 7k/5Q2/6K1/8/8/8/8/8 b - - 0 1\ngo\nquit\n");
    EXPECT_TRUE(contains(stalemate.output, "1/2-1/2 {Draw by stalemate (1)}\n")) << stalemate.output;
    EXPECT_TRUE(movesIn(stalemate.output).empty());
}

TEST(GamePlay, OverwhelmingMaterialClaimsMateOnlyWhenItIsMate) {
    // Nine queens: every reply of the bare king used to look illegal, which read as mate or
    // stalemate. Now a claim must be true, and the bare king must move.
    const char* fen = "8/8/8/7k/8/QQQ5/QQQ5/QQQ1K3 w - - 0 1";
    auto white = runEngine(std::string("xboard\nsetboard ") + fen + "\ntime 200\ngo\nquit\n");
    auto moves = movesIn(white.output);
    ASSERT_EQ(moves.size(), 1u) << white.output;
    ASSERT_TRUE(setupGamePosition(fen, false));
    const Move m = parseCoordinateMove(moves[0].c_str(), MoveSource::Root);
    ASSERT_TRUE(isLegalMove(m)) << moves[0];
    playGameMove(m);
    EXPECT_EQ(contains(white.output, "1-0 {Vostil mates 1}\n"), firstLegalMove() == 0) << white.output;

    auto black = runEngine("xboard\nsetboard 8/8/8/7k/8/QQQ5/QQQ5/QQQ1K3 b - - 0 1\ntime 200\ngo\nquit\n");
    ASSERT_EQ(movesIn(black.output).size(), 1u) << black.output;
    EXPECT_TRUE(legalAfter("8/8/8/7k/8/QQQ5/QQQ5/QQQ1K3 b - - 0 1", {}, movesIn(black.output)[0]));
    EXPECT_FALSE(contains(black.output, "stalemate")) << black.output;
}

TEST(GamePlay, ThirdRepetitionReachedByTheEnginesMoveIsAnnounced) {
    // White's king shuffles; after these moves Kh1-g1 (white's only move) repeats a position
    // for the third time.
    auto run = runEngine(
        "xboard\nsetboard 1q5k/8/8/8/8/8/r7/5K2 w - - 0 1\nforce\n"
        "f1g1\nh8g8\ng1f1\ng8h8\nf1g1\nh8g8\ng1h1\ng8h8\ntime 200\ngo\nquit\n");
    EXPECT_TRUE(contains(run.output, "move h1g1\n1/2-1/2 {Draw by ...(3)}\n")) << run.output;
}

TEST(GamePlay, RepeatedRootPositionIsADrawWithoutAMove) {
    auto run = runEngine(
        "xboard\nsetboard 1q5k/8/8/8/8/8/r7/5K2 w - - 0 1\nforce\n"
        "f1g1\nh8g8\ng1f1\ng8h8\nf1g1\nh8g8\ng1f1\ng8h8\ngo\nquit\n");
    EXPECT_TRUE(contains(run.output, "1/2-1/2 {Draw by repetition (2)}\n")) << run.output;
    EXPECT_TRUE(movesIn(run.output).empty());
}

TEST(GamePlay, SmallClockGivesAPromptReply) {
    EngineProcess engine;
    engine.send("xboard\nnew\ntime 100\notim 100\ne2e4\n");
    EXPECT_TRUE(engine.waitForOutput("move ", 10000)) << engine.output();
    engine.send("quit\n");
    EXPECT_TRUE(engine.waitForExit(5000));
    EXPECT_TRUE(engine.exitedCleanly()) << engine.errors();
}

TEST(GamePlay, QuitWhileWaitingAndEndOfInputEndPromptly) {
    EngineProcess waiting;
    waiting.send("xboard\nnew\ntime 100\ne2e4\n");
    ASSERT_TRUE(waiting.waitForOutput("move ", 10000));
    waiting.send("quit\n");
    EXPECT_TRUE(waiting.waitForExit(3000));
    EXPECT_TRUE(waiting.exitedCleanly()) << waiting.errors();

    EngineProcess closed;
    closed.send("xboard\nnew\n");
    ASSERT_TRUE(closed.waitForOutput("feature done=1\n", 10000));
    closed.closeInput();
    EXPECT_TRUE(closed.waitForExit(3000));
    EXPECT_TRUE(closed.exitedCleanly()) << closed.errors();
}

// Several searched moves and a quit: under ThreadSanitizer any race in the hand-over fails it.
TEST(Handover, SeveralSearchedMovesAndQuit) {
    EngineProcess engine;
    engine.send("xboard\nnew\nforce\nsetboard r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3\n");
    size_t seen = 0;
    for (int i = 0; i < 4; ++i) {
        engine.send("time 60\notim 60\ngo\n");
        ASSERT_TRUE(engine.waitForOutput("move ", 20000, seen)) << engine.output() << engine.errors();
        seen = engine.output().rfind("move ") + 1;
        engine.send("force\n");
    }
    engine.send("quit\n");
    EXPECT_TRUE(engine.waitForExit(10000));
    EXPECT_TRUE(engine.exitedCleanly()) << engine.errors();
}

TEST(GamePlay, MoveInsideTheBookGetsAnImmediateBookReply) {
    EngineProcess engine(/*withBook=*/true);
    engine.send("xboard\nnew\ntime 3000\notim 3000\ne2e4\n");
    ASSERT_TRUE(engine.waitForOutput("\nmove ", 10000)) << engine.output();
    engine.send("quit\n");
    ASSERT_TRUE(engine.waitForExit(10000));
    auto moves = movesIn(engine.output());
    ASSERT_EQ(moves.size(), 1u) << engine.output();
    EXPECT_TRUE(legalAfter(START_FEN, {"e2e4"}, moves[0])) << moves[0];

    // The reply is one the book source gives after 1.e4, and nothing was searched for it.
    std::ifstream source(VOSTIL_SOURCE_DIR "/data/book.txt");
    std::string line;
    bool inBook = false;
    while (std::getline(source, line))
        if (line.rfind("e2e4 " + moves[0] + " ", 0) == 0) inBook = true;
    EXPECT_TRUE(inBook) << moves[0];
    const std::string log = engine.log();
    EXPECT_TRUE(contains(log, "-M: move(book): ")) << log;
    EXPECT_FALSE(contains(log, "-FEN:")) << log;
    EXPECT_FALSE(contains(log, "BOOK ERROR")) << log;
}

// What the GUIs send, word for word, around a takeback and at the start of a game: the
// engine's last answer must be a legal move of the game the GUI shows. Each GUI's engine
// replies come in between, so each row names the game as the GUI sees it at the end.
TEST(GamePlay, TakebacksAndGameStartsOfTheGuisKeepTheEngineInTheirGame) {
    const struct {
        const char* gui;
        const char* input;
        const char* fen;
        std::vector<std::string> game;
    } rows[] = {
        // xboard: Retract Move after the engine's reply, then another first move.
        {"xboard", "xboard\nprotover 2\nnew\nrandom\ntime 300\notim 300\ne2e4\nremove\nd2d4\n",
         START_FEN, {"d2d4"}},
        // pychess: force, one undo per ply, then the human's move and go.
        {"pychess", "xboard\nprotover 2\nnew\ntime 300\ne2e4\nforce\nundo\nundo\nd2d4\ngo\n",
         START_FEN, {"d2d4"}},
        // gnome-chess never sends "new": the human's move in force mode, then go ...
        {"gnome-chess white", "xboard\nrandom\nforce\ne2e4\ngo\n", START_FEN, {"e2e4"}},
        // ... or, with the human as black, a bare go.
        {"gnome-chess black", "xboard\nrandom\ngo\n", START_FEN, {}},
        // gnome-chess's takeback: force, one undo per ply.
        {"gnome-chess undo", "xboard\nrandom\nforce\ne2e4\ngo\nforce\nundo\nundo\ng1f3\ngo\n",
         START_FEN, {"g1f3"}},
        // Nothing to take back: nothing changes.
        {"nothing to take back", "xboard\nundo\nremove\nforce\ne2e4\ngo\n", START_FEN, {"e2e4"}},
        {"knights, no new: the move after the handshake is answered", "xboard\ne2e4\n", START_FEN, {"e2e4"}},
        // xboard 4.9: Edit Game, 1.e4, Machine Black (clocks set between "white" and "black"), Retract Move, 1.d4.
        {"xboard mode switch",
         "xboard\nprotover 2\naccepted done\naccepted setboard\naccepted ping\naccepted myname\naccepted analyze\n"
         "accepted nps\naccepted variants\naccepted done\nnew\nlevel 40 5 0\npost\nhard\neasy\nping 1\nforce\ne2e4\n"
         "white\ntime 30000\notim 30000\nblack\ngo\nremove\ntime 30000\notim 29749\nd2d4\n", START_FEN, {"d2d4"}},
        // Takebacks into a set-up game stop at its position.
        {"setboard", "xboard\nsetboard 4k3/8/8/8/8/8/4P3/4K3 w - -\nforce\ne2e4\ne8d7\nremove\nremove\ne2e3\ngo\n",
         "4k3/8/8/8/8/8/4P3/4K3 w - -", {"e2e3"}},
    };
    for (const auto& row : rows) {
        auto run = runEngine(std::string(row.input) + "quit\n", /*withBook=*/true);
        ASSERT_TRUE(run.exitedCleanly) << row.gui << run.errors;
        EXPECT_FALSE(contains(run.output, "Illegal move")) << row.gui << run.output;
        EXPECT_FALSE(contains(run.output, "Error") || contains(run.output, "tellusererror")) << row.gui << run.output;
        const auto moves = movesIn(run.output);
        ASSERT_FALSE(moves.empty()) << row.gui << run.output;
        EXPECT_TRUE(legalAfter(row.fen, row.game, moves.back())) << row.gui << ": " << moves.back();
        // A legal reply could also be one of another game: the key the engine logged after
        // the GUI's last move must be the key of the GUI's game.
        if (row.game.empty()) continue;
        ASSERT_TRUE(legalAfter(row.fen, {}, row.game[0]));  // the library holds the GUI's game now
        playGameMove(parseCoordinateMove(row.game[0].c_str(), MoveSource::Root));
        char key[40];
        std::snprintf(key, sizeof key, "\n%x %x\n", pos.keyHigh, pos.keyLow);
        EXPECT_TRUE(contains(run.log, "::cmd:: " + row.game[0] + key)) << row.gui << run.log;
    }
}

// A book position is answered from the book however long the engine searched before: chessx
// sends every position by FEN, and xboard's analysis searches the game before play goes on.
TEST(GamePlay, BookPositionsAreAnsweredFromTheBookAfterLongSearches) {
    const struct { const char *gui, *steps[2][2], *bookReply; } rows[] = {  // steps: what is sent, what it waits for
        {"chessx",
         {{"uci\nucinewgame\nposition fen rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 2\n"
           "go depth 7\n", "bestmove "},
          {"position fen rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq - 1 2\n"
           "go movetime 3000\n", "bestmove "}},
         "info string book\nbestmove "},
        {"xboard", {{"xboard\nprotover 2\nnew\nforce\ne2e4\ne7e5\nanalyze\n", "\n7 "}, {"exit\ng1f3\ngo\n", "move "}},
         "-M: move(book): "},
    };
    for (const auto& row : rows) {
        EngineProcess engine(/*withBook=*/true);
        for (const auto& [text, answer] : row.steps) {
            const size_t from = engine.output().size();
            engine.send(text);
            ASSERT_TRUE(engine.waitForOutput(answer, 30000, from)) << row.gui << engine.output();
        }
        engine.send("quit\n");
        ASSERT_TRUE(engine.waitForExit(10000)) << row.gui;
        EXPECT_TRUE(contains(engine.output() + engine.log(), row.bookReply)) << row.gui << engine.output();
    }
}
