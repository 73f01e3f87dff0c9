// The search as the engine thread runs it: mates found at the right depth with the right
// score, game-ending roots, repetitions, plain tactics, and the log lines of each iteration.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "game/play_game_move.h"
#include "search/move_selection.h"
#include "search/search_fixture.h"

namespace vostil::testing {
namespace {

using IterativeDeepeningTest = SearchTest;

// The score of a "-E: <depth>:\t<score>\t<pv>" line.
int iterationScore(const std::string& line) {
    const size_t tab = line.find('\t');
    return std::stoi(line.substr(tab + 1));
}

// --- Mates ---------------------------------------------------------------------------------

TEST_F(IterativeDeepeningTest, MateInOneIsFoundAtTheFirstIterationWithScore8099) {
    setUpFen("6k1/5ppp/8/8/8/8/5PPP/R5K1 w - -");
    EXPECT_EQ(search(6), quiet(A1, A8));
    EXPECT_EQ(resultScore(), 8099);
    EXPECT_EQ(iterationDepth, 2);
    EXPECT_TRUE(logHas("-E: 2:\t8099\ta1a8 # "));
    EXPECT_TRUE(logHas("--- MATE: 8099"));
    EXPECT_TRUE(logHas("-***HT: 8099"));
    EXPECT_EQ(iterationLines().size(), 1u) << "the search ends with the mate";
}

TEST_F(IterativeDeepeningTest, MateInTwoIsFoundAtDepthThreeWithScore8097) {
    // Qd8+ Bxd8 Re8 mate, the bishop on b5 guarding e8.
    setUpFen("r1b2k1r/ppp1bppp/8/1B1Q4/5q2/2P5/PPP2PPP/R3R1K1 w - -");
    EXPECT_EQ(search(8), quiet(D5, D8));
    EXPECT_EQ(resultScore(), 8097);
    EXPECT_EQ(iterationDepth, 3);
    EXPECT_TRUE(logHas("-E: 3:\t8097\td5d8 e7d8 e1e8 "));
    EXPECT_TRUE(logHas("--- MATE: 8097"));
}

TEST_F(IterativeDeepeningTest, RookMateInTwoFromTheSideIsFoundAtDepthThree) {
    setUpFen("2k5/8/1K6/8/8/8/8/7R w - -");
    const Move best = search(8);
    EXPECT_EQ(resultScore(), 8097);
    EXPECT_EQ(iterationDepth, 3);
    EXPECT_TRUE(isLegalNow(best));
    EXPECT_TRUE(logHas("--- MATE: 8097"));
}

TEST_F(IterativeDeepeningTest, MateInThreeIsAnnouncedAtDepthFiveWithScore8095) {
    // Ra6 and the rook reaches the eighth rank; no shorter mate exists. The captures and
    // checks of the line let the quiescence search see the mate early, but the search only
    // ends on it once the iteration is as deep as the mate.
    setUpFen("r5rk/5p1p/5R2/4B3/8/8/7P/7K w - -");
    EXPECT_EQ(search(8), quiet(F6, A6));
    EXPECT_EQ(resultScore(), 8095);
    EXPECT_EQ(iterationDepth, 5);
    EXPECT_TRUE(logHas("--- MATE: 8095"));
    const auto lines = iterationLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[3].rfind("-E: 5:\t8095\tf6a6 ", 0), 0u) << lines[3];
    EXPECT_EQ(iterationScore(lines[0]), 8095) << lines[0];
}

TEST_F(IterativeDeepeningTest, SideAboutToBeMatedScoresMinus8098) {
    // Black's only move is Kb8, and Rh8 mates: mated at ply 2.
    setUpFen("k7/8/1K6/8/8/8/8/7R b - -");
    EXPECT_EQ(search(6), quiet(A8, B8));
    EXPECT_EQ(resultScore(), -8098);
    EXPECT_EQ(iterationDepth, 2);
    EXPECT_TRUE(logHas("--- MATE: -8098"));
}

// --- Mates told from the root of every search ---------------------------------------------

bool isMate(int score) { return std::abs(score) >= MATE_THRESHOLD; }
int matePlies(int score) { return MATE_SCORE - std::abs(score); }
std::vector<int> reportedScores, reportedDepths;  // every iteration the search reports, in order
void recordIteration(int depth, int score, const char*, bool, int) {
    reportedScores.push_back(score), reportedDepths.push_back(depth);
}

// Positions searched one after another with the table kept, as the GUIs have them searched:
// each mate told counts from the root searched now, exactly as a search from a cleared table
// finds it, and a side that can mate keeps the mate on course.
TEST_F(IterativeDeepeningTest, MatesAreToldFromTheRootAfterSearchesFromOtherRoots) {
    const struct {
        const char *gui, *fen, *line;  // the game's moves; the positions from `from` on, every `step`, are searched
        int from, step, depth;
        bool resume;   // timed searches resume from the table, analyses start afresh
        int selfPlay;  // then the engine plays both sides for this many plies, searching each
    } rows[] = {
        {"scid analysing the Opera Game to 17.Rd8#", START_FEN,
         "e2e4 e7e5 g1f3 d7d6 d2d4 c8g4 d4e5 g4f3 d1f3 d6e5 f1c4 g8f6 f3b3 d8e7 b1c3 c7c6 c1g5 b7b5 "
         "c3b5 c6b5 c4b5 b8d7 e1c1 a8d8 d1d7 d8d7 h1d1 e7e6 b5d7 f6d7 b3b8 d7b8 d1d8", 22, 1, 5, false, 0},
        {"gnome-chess, Vostil as Black to 5...Qxf2#", START_FEN,
         "f2f4 g8f6 g2g4 f6g4 g1h3 e7e5 f4e5 d8h4 h3f2", 1, 2, 3, true, 0},
        {"mate in 3", "r5rk/5p1p/5R2/4B3/8/8/7P/7K w - -", "", 0, 1, 5, true, 6},  // walked down by the engine
        {"queen, mate in 5", "8/8/8/8/8/2k5/8/K6Q w - -", "", 0, 1, 5, true, 10},
        {"rook, mate in 3", "2k5/8/8/2K5/8/8/8/7R w - -", "", 0, 1, 5, false, 6},
    };
    iterationReport = recordIteration;
    for (const auto& row : rows) {
        struct Searched { size_t plies; std::vector<int> told; Move played; };  // plies: of the game before it
        std::vector<Searched> searched;
        std::vector<Move> game;
        std::istringstream line(row.line);
        setUpFen(row.fen);
        resumeFromTable = row.resume;
        for (int i = 0, selfPlayed = 0;; ++i) {
            if (i >= row.from && (i - row.from) % row.step == 0) {
                reportedScores.clear();
                const Move m = search(row.depth);
                searched.push_back({game.size(), reportedScores, m});
            }
            if (std::string word; line >> word) {
                game.push_back(parseCoordinateMove(word.c_str(), MoveSource::Root));
                ASSERT_TRUE(isLegalNow(game.back())) << row.gui << " " << word;
            } else if (selfPlayed++ < row.selfPlay && isLegalNow(searched.back().played)) {
                game.push_back(searched.back().played);
            } else {
                break;
            }
            playGameMove(game.back());
        }
        resumeFromTable = true;

        // The true distances, each from a cleared table, as deep as the mate told.
        int previousTrue = 0;
        for (size_t k = 0; k < searched.size(); ++k) {
            const Searched& s = searched[k];
            int deepest = row.depth;
            for (int told : s.told) deepest = std::max(deepest, isMate(told) ? matePlies(told) : 0);
            setUpFen(row.fen);
            for (size_t i = 0; i < s.plies; ++i) playGameMove(game[i]);
            search(deepest);
            const int truth = resultScore();
            const std::string where = std::string(row.gui) + " after " + std::to_string(s.plies) + " plies";
            ASSERT_FALSE(s.told.empty()) << where;
            if (isMate(truth) || isMate(s.told.back())) { EXPECT_EQ(s.told.back(), truth) << where; }
            for (int told : s.told) {
                if (isMate(told)) { EXPECT_GE(matePlies(told), matePlies(truth)) << where << " told " << told; }
            }
            // A side that mates in N plies leaves the other mated in N - 1: a mate in one is played.
            if (previousTrue >= MATE_THRESHOLD && s.plies == searched[k - 1].plies + 1 &&
                game[searched[k - 1].plies] == searched[k - 1].played) {
                EXPECT_EQ(truth, -(previousTrue + 1)) << where;
            }
            if (truth == MATE_SCORE - 1) {
                playGameMove(s.played);
                EXPECT_TRUE(firstLegalMove() == 0 && currentPly->checkInfo.checkers != 0) << where;
            }
            previousTrue = truth;
        }
    }
    iterationReport = nullptr;
}

// --- Roots that end the game -------------------------------------------------------------------

TEST_F(IterativeDeepeningTest, MatedRootGivesTheMatedCode) {
    setUpFen("7k/6Q1/6K1/8/8/8/8/8 b - -");
    EXPECT_EQ(search(5), RESULT_MATED);
    EXPECT_EQ(SearchResult().move, RESULT_MATED);
    EXPECT_EQ(resultScore(), -8100);
    EXPECT_TRUE(logHas("-E: 2:\t-8100\t# "));
    EXPECT_TRUE(logHas("--- MATE: -8100"));
}

TEST_F(IterativeDeepeningTest, StalematedRootGivesTheStalemateCodeAtEveryDepth) {
    setUpFen("7k/5Q2/6K1/8/8/8/8/8 b - -");
    EXPECT_EQ(search(5), RESULT_STALEMATE);
    EXPECT_EQ(resultScore(), 0);
    const auto lines = iterationLines();
    ASSERT_EQ(lines.size(), 4u) << "a stalemate is no mate score: every iteration runs";
    EXPECT_EQ(lines.back(), "-E: 5:\t0\t1/2 - 1/2 (stalemate)");
}

TEST_F(IterativeDeepeningTest, ThirdOccurrenceAtTheRootIsARepetitionWithoutSearch) {
    setUpFen(START_FEN);
    for (int cycle = 0; cycle < 2; ++cycle) {
        playGameMove(quiet(G1, F3));
        playGameMove(quiet(G8, F6));
        playGameMove(quiet(F3, G1));
        playGameMove(quiet(F6, G8));
    }
    EXPECT_EQ(search(4), RESULT_REPETITION);
    EXPECT_EQ(SearchResult().move, RESULT_REPETITION);
    EXPECT_EQ(resultScore(), 0);
    EXPECT_FALSE(logHas("-FEN:\trnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -"))
        << "nothing is logged";
}

TEST_F(IterativeDeepeningTest, SecondOccurrenceAtTheRootIsSearched) {
    setUpFen(START_FEN);
    playGameMove(quiet(G1, F3));
    playGameMove(quiet(G8, F6));
    playGameMove(quiet(F3, G1));
    playGameMove(quiet(F6, G8));
    const Move best = search(3);
    EXPECT_TRUE(isLegalNow(best));
    EXPECT_TRUE(logHas("-FEN:\trnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -"));
}

// White, a queen down, has shuffled its knight h4-f3 while black shuffled its king; going
// back to f3 now repeats that position for the third time.
void playKnightShuffle() {
    for (int cycle = 0; cycle < 2; ++cycle) {
        playGameMove(quiet(cycle == 0 ? G1 : H4, F3));
        playGameMove(quiet(H8, G8));
        playGameMove(quiet(F3, H4));
        playGameMove(quiet(G8, H8));
    }
}
constexpr const char* SHUFFLE_FEN = "7k/8/8/3q4/8/8/8/4K1N1 w - -";

TEST_F(IterativeDeepeningTest, LosingSideTakesTheThirdOccurrenceAsADraw) {
    setUpFen(SHUFFLE_FEN);
    playKnightShuffle();
    EXPECT_EQ(search(4), quiet(H4, F3));
    EXPECT_EQ(resultScore(), 0);
}

TEST_F(IterativeDeepeningTest, WithoutTheHistoryTheSameMoveIsNoDraw) {
    setUpFen("7k/8/8/3q4/7N/8/8/4K3 w - -");
    search(4);
    EXPECT_LT(resultScore(), -300) << "a queen down and no repetition to claim";
}

// --- Plain tactics ---------------------------------------------------------------------------

TEST_F(IterativeDeepeningTest, TakesAHangingQueen) {
    setUpFen("3k4/8/8/3q4/8/8/3R4/3K4 w - -");
    EXPECT_EQ(search(4), capture(D2, D5));
    EXPECT_GT(resultScore(), 300);
}

TEST_F(IterativeDeepeningTest, PlaysTheKnightForkOfKingAndQueen) {
    // Pawns keep the ending alive: knight against nothing would be a dead draw.
    setUpFen("q3k3/7p/8/1N6/8/8/7P/4K3 w - -");
    EXPECT_EQ(search(4), quiet(B5, C7));
    EXPECT_GT(resultScore(), 200) << "a knight up instead of a queen down";
}

TEST_F(IterativeDeepeningTest, GivesBackRankMatePastADefender) {
    setUpFen("6k1/3r1ppp/8/8/8/8/5PPP/3RR1K1 w - -");
    EXPECT_EQ(search(4), quiet(E1, E8));
    EXPECT_EQ(resultScore(), 8099);
}

TEST_F(IterativeDeepeningTest, AttackedQueenIsNotLeftEnPrise) {
    // The pawn attacks the queen; black keeps its queen (and may take the pawn with check).
    setUpFen("4k3/8/8/4q3/3P4/8/8/K7 b - -");
    const Move best = search(4);
    EXPECT_EQ(moveFrom(best), E5) << moveText(best);
    EXPECT_GT(resultScore(), 800);
}

// --- Seeds from the table -----------------------------------------------------------------

constexpr const char* PAWN_ENDING_FEN = "8/8/3k4/3p4/3P4/3K4/8/8 w - -";

TEST_F(IterativeDeepeningTest, ExactRootEntryStartsOneIterationDeeper) {
    setUpFen(PAWN_ENDING_FEN);
    storeHash(quiet(D3, E3), 25, 6, BOUND_EXACT);
    search(7);
    const auto lines = iterationLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("-E: 7:\t", 0), 0u) << lines[0];
}

TEST_F(IterativeDeepeningTest, RootEntryDeeperThanTheLimitIsPlayedUnsearched) {
    setUpFen(PAWN_ENDING_FEN);
    storeHash(quiet(D3, E3), 25, 6, BOUND_EXACT);
    EXPECT_EQ(search(6), quiet(D3, E3));
    EXPECT_EQ(resultScore(), 25);
    EXPECT_EQ(iterationDepth, 7);
    EXPECT_TRUE(iterationLines().empty());
    EXPECT_TRUE(logHas("-***HT: 25"));
}

TEST_F(IterativeDeepeningTest, RootEntryLeadingToAThirdOccurrenceRestartsAtDepthTwo) {
    setUpFen(SHUFFLE_FEN);
    playKnightShuffle();
    storeHash(quiet(H4, F3), 25, 6, BOUND_EXACT);
    search(3);
    const auto lines = iterationLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].rfind("-E: 2:\t", 0), 0u) << lines[0];
}

TEST_F(IterativeDeepeningTest, DeeperEntryOfAnEarlierSearchDecidesTheMove) {
    // A lower bound left at depth 10 is not replaced by this shallower search: its move is
    // played, and the log says that it differs from what this search found.
    setUpFen("3k4/8/8/3q4/8/8/3R4/3K4 w - -");
    const Move stored = quiet(D1, E1);
    storeHash(stored, -500, 10, BOUND_LOWER);
    EXPECT_EQ(search(3), stored);
    EXPECT_EQ(resultScore(), -500);
    EXPECT_TRUE(logHas("-E: DIFFERENT MOVE"));
    EXPECT_FALSE(logHas("FAIL LOW !!!!!!!!!!!!! not enough time"));
    EXPECT_TRUE(logHas("-***HT: -500"));
}

TEST_F(IterativeDeepeningTest, IterationsTheTableAnswersWholeAreLoggedButToldOnce) {
    setUpFen(PAWN_ENDING_FEN);
    search(6);
    iterationReport = recordIteration, resumeFromTable = false;
    reportedDepths.clear();
    search(8);
    iterationReport = nullptr, resumeFromTable = true;
    EXPECT_EQ(reportedDepths, (std::vector<int>{6, 7, 8}));
    EXPECT_EQ(iterationLines().size(), 5u + 7u) << "every iteration of both searches is logged";
}

// --- Log and control -------------------------------------------------------------------------

TEST_F(IterativeDeepeningTest, LogsThePositionAndOneLinePerIteration) {
    setUpFen("r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq -");
    search(4);
    const auto lines = logLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "-FEN:\tr1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq -");
    const auto iterations = iterationLines();
    ASSERT_EQ(iterations.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const std::string prefix = "-E: " + std::to_string(i + 2) + ":\t";
        EXPECT_EQ(iterations[i].rfind(prefix, 0), 0u) << iterations[i];
    }
    // The final line names the move played with its table score.
    EXPECT_EQ(lines.back(), "-***HT: " + std::to_string(resultScore()));
    // The variation of the last iteration begins with the move played.
    std::string played = "\t";
    played += moveText(SearchResult().move);
    played += ' ';
    EXPECT_NE(iterations.back().find(played), std::string::npos) << iterations.back();
}

TEST_F(IterativeDeepeningTest, WrapUpEndsTheSearchAfterTheIterationInProgress) {
    setUpFen(START_FEN);
    wrapUpFlag = true;
    const Move best = search(10);
    EXPECT_TRUE(isLegalNow(best));
    EXPECT_EQ(iterationLines().size(), 1u);
    EXPECT_TRUE(logHas("-E: Ended ply after extra time"));
}

TEST_F(IterativeDeepeningTest, SameSearchTwiceCountsTheSameNodes) {
    setUpFen("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -");
    nodeCount = 0;
    const Move first = search(4);
    const uint64_t firstNodes = nodeCount;
    setUpFen("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -");
    nodeCount = 0;
    EXPECT_EQ(search(4), first);
    EXPECT_EQ(nodeCount, firstNodes);
    EXPECT_GT(firstNodes, 1000u);
}

TEST_F(IterativeDeepeningTest, SearchLeavesThePositionAsItFoundIt) {
    setUpFen("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -");
    const Position before = pos;
    const HistoryEntry* top = historyTop;
    search(4);
    EXPECT_TRUE(pos == before);
    EXPECT_EQ(historyTop, top);
    EXPECT_EQ(currentPly, PlyRecords);
}

// The pick decides the search order (the first of equal values); the runner-up only which
// bucket is fetched early, but a wrong one would waste the fetch.
TEST(MoveSelection, TopTwoPicksTheFirstLargestAndTheFirstLargestOfTheRest) {
    struct Row {
        std::vector<int> scores;
        int pick, second;
    };
    const Row rows[] = {
        {{7}, 0, -1},
        {{-30000, -30000}, 0, 1},
        {{3, 9, 9, 1}, 1, 2},
        {{9, 3, 9, 9}, 0, 2},
        {{-9500, 30000, -29985, 30000, -32767}, 1, 3},
        {{-32768, -32768, 5}, 2, 0},
    };
    for (const Row& row : rows) {
        const TopTwo t = topTwo(int(row.scores.size()), [&](int i) { return scoreRank(row.scores[i]); });
        EXPECT_EQ(t.pick, row.pick) << ::testing::PrintToString(row.scores);
        EXPECT_EQ(t.second, row.second) << ::testing::PrintToString(row.scores);
    }
    const uint32_t keys[] = {0, 0xFFFFFFFFu, 5, 0xFFFFFFFFu};
    const TopTwo k = topTwo(4, [&](int i) { return keys[i]; });
    EXPECT_EQ(k.pick, 1);
    EXPECT_EQ(k.second, 3);
}

}  // namespace
}  // namespace vostil::testing
