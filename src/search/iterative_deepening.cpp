// Iterative deepening: the search as the engine thread runs it. Iterations of growing depth
// inside aspiration windows, seeded from the table, logged one line each; the move played
// is finally taken from the table's root entry.
#include <array>
#include <cassert>
#include <cstdio>
#include <utility>

#include "board/position.h"
#include "movegen/check.h"
#include "movegen/generators.h"
#include "movegen/legal_moves.h"
#include "search/draw_detection.h"
#include "search/search.h"
#include "search/transposition_table.h"

namespace vostil {

namespace {

// Hands a line to the door; silent when nobody listens.
void report(const char* line) {
    if (searchReport) searchReport(line);
}

template <typename... Args>
void report(const char* format, Args... args) {
    if (!searchReport) return;
    char line[PV_TEXT_SIZE + 64];
    std::snprintf(line, sizeof line, format, args...);
    searchReport(line);
}

constexpr int FIRST_ITERATION = 2;
constexpr int FULL_ALPHA = -MATE_SCORE;
constexpr int FULL_BETA = MATE_SCORE - 1;
constexpr int FEN_BUFFER_SIZE = 96;

// Marks the end of a search whose root position has no usable table entry.
constexpr int NO_ENTRY_MARK_LENGTH = 117;
constexpr std::array<char, NO_ENTRY_MARK_LENGTH + 1> makeNoEntryMark() {
    std::array<char, NO_ENTRY_MARK_LENGTH + 1> mark{};
    for (int i = 0; i < NO_ENTRY_MARK_LENGTH; ++i) mark[i] = '*';
    return mark;
}
constexpr std::array<char, NO_ENTRY_MARK_LENGTH + 1> NO_ENTRY_MARK = makeNoEntryMark();

// Whether a table move can stand as the root's result: a legal move, or the result code
// that truly describes a root without legal moves. Anything else is a key collision.
bool fitsRoot(Move move) {
    if (move == RESULT_MATED || move == RESULT_STALEMATE)
        return firstLegalMove() == 0 &&
               (move == RESULT_MATED) == (currentPly->checkInfo.checkers != 0);
    return isLegalMove(move);
}

// The SearchResult must be playable. It can fail only after a stop during the very first
// root move of a search (an untested move) or when no iteration ran; then the legal root
// move with the best ordering score takes its place.
void settleResult() {
    if (fitsRoot(SearchResult().move)) return;
    PlyRecord& root = *currentPly;
    ensureRootList();
    MoveEntry* pick = nullptr;
    for (MoveEntry* e = MoveStack; e < root.moveListEnd; ++e)
        if ((!pick || e->score > pick->score) && isLegalMove(e->move)) pick = e;
    if (pick) {
        std::swap(*pick, MoveStack[0]);
        return;
    }
    SearchResult() = root.checkInfo.checkers ? MoveEntry{Score(-MATE_SCORE), RESULT_MATED}
                                             : MoveEntry{0, RESULT_STALEMATE};
}

// The number the first line is told with: 0 when it is the only one.
int firstLineNumber(int wanted = lineCount.load(std::memory_order_relaxed)) { return wanted > 1 ? 1 : 0; }

inline bool isMateScore(int s) {
    return s <= iterationDepth - MATE_SCORE || s >= MATE_SCORE - iterationDepth;
}

// Whether the next iteration will be answered whole by the table too: an exact root entry
// deeper than the iteration just done answers every iteration up to its depth.
bool tableAnswersNextIteration() {
    const HashEntry* entry = findEntry();
    return entry && !entry->isBookEntry() && entry->bound() == BOUND_EXACT && entry->depth() > iterationDepth &&
           iterationDepth < depthLimit.load(std::memory_order_relaxed);
}

}  // namespace

Move iterativeDeepening() {
    PlyRecord& root = *currentPly;
    assert(&root == PlyRecords);

    // Step 1. A position drawn by rule is not searched, unless a move is wanted all the same.
    if (!searchDrawnRoot.load(std::memory_order_relaxed) && isDraw(ROOT_REPETITION_COUNT)) {
        SearchResult() = MoveEntry{0, RESULT_REPETITION};
        return RESULT_REPETITION;
    }

    // Step 2. A fresh root list, the full window at the first iteration.
    SearchResult().move = 0;
    root.moveListEnd = nullptr;
    failLowFlag = false;
    selectiveDepth = 0;
    iterationDepth = FIRST_ITERATION;
    int alpha = FULL_ALPHA;
    int beta = FULL_BETA;
    computeCheckInfo(root);

    // Step 3. Resume from what the table knows about the root. Book entries carry no score, and
    // the entry says nothing about the best of a few root choices. Nor does it know the lower
    // lines of several: resumed, a search could end with the table's one line alone, so it
    // starts afresh, and the iterations the table answers whole are told at the deepest.
    if (const HashEntry* entry = findEntry(); entry && fitsRoot(entry->move()) && !rootRestricted()) {
        const int s = entry->score();
        if (entry->depth() >= FIRST_ITERATION && !entry->isBookEntry() &&
            resumeFromTable.load(std::memory_order_relaxed) && lineCount.load(std::memory_order_relaxed) == 1) {
            switch (entry->bound()) {
                case BOUND_EXACT:
                    iterationDepth = entry->depth() + 1;
                    alpha = s - ASPIRATION_WINDOW;
                    beta = s + ASPIRATION_WINDOW;
                    break;
                case BOUND_LOWER:
                    if (s > FULL_ALPHA) alpha = s;
                    break;
                case BOUND_UPPER:
                    if (s < FULL_BETA) beta = s;
                    break;
            }
        }
        SearchResult() = MoveEntry{Score(s), entry->move()};
        // The stored move would draw by a third occurrence: its score means little now.
        if (moveRepeats(entry->move(), ROOT_REPETITION_COUNT)) {
            iterationDepth = FIRST_ITERATION;
            alpha = 0;
            beta = ASPIRATION_WINDOW;
        }
    }

    // Step 4. Record which position is searched.
    char fen[FEN_BUFFER_SIZE];
    positionToFen(fen);
    report("-FEN:\t%s", fen);

    // Step 5. Deepen until the limit, a mate, a stop, or the time is up. Iterations the table
    // answers whole searched nothing: only the deepest of them is told, with the line the table
    // holds for it, and nodes and time as they truly are.
    int completed = 0;
    int untoldDepth = 0;
    int untoldScore = 0;
    while (iterationDepth <= depthLimit.load(std::memory_order_relaxed)) {
        int s = searchRoot(alpha, beta);
        if (s <= alpha || s >= beta) {
            if (stopRequested()) break;
            if (s <= alpha) {
                alpha = FULL_ALPHA;
                beta = s + 1;
                failLowFlag = true;
            } else {
                alpha = s - 1;
                beta = FULL_BETA;
            }
            s = searchRoot(alpha, beta);
            if (s <= alpha || s >= beta) {
                if (stopRequested()) break;
                s = searchRoot(FULL_ALPHA, FULL_BETA);
                failLowFlag = false;
            }
        }
        if (stopRequested()) break;
        failLowFlag = false;

        // Several lines, or a few root choices: the table's root entry may hold another move
        // (a deeper one, or the best of all), so the line starts from the result's move. A
        // mated or stalemated root has only its result code, which the table's line tells.
        // The count is read once, so that every line of the iteration is numbered alike.
        const int wanted = lineCount.load(std::memory_order_relaxed);
        if ((wanted > 1 || rootRestricted()) && isLegalMove(SearchResult().move))
            rootMoveLine(pvText, SearchResult().move, iterationDepth);
        else
            principalVariation(pvText, iterationDepth);
        report("-E: %d:\t%d\t%s", iterationDepth, s, pvText);
        ++completed;
        untoldDepth = 0;
        const bool untold = rootAnsweredByTable && !isMateScore(s) &&
                            !wrapUpFlag.load(std::memory_order_relaxed) && tableAnswersNextIteration();
        const int lines = wanted > 1 && !untold ? searchLowerLines(wanted) : 1;
        if (untold) {
            untoldDepth = iterationDepth;
            untoldScore = s;
        } else if (iterationReport) {
            iterationReport(iterationDepth, s, pvText, true, firstLineNumber(wanted));
            for (int i = 1; i < lines; ++i)
                iterationReport(iterationDepth, rootLines[i].score, rootLines[i].text, true, i + 1);
        }
        if (isMateScore(s)) {
            report("--- MATE: %d", s);
            break;
        }
        alpha = s - ASPIRATION_WINDOW;
        beta = s + ASPIRATION_WINDOW;
        if (wrapUpFlag.load(std::memory_order_relaxed)) {
            report("-E: Ended ply after extra time");
            break;
        }
        ++iterationDepth;
    }

    // A stop before the next iteration was done: the deepest one the table answered is told.
    if (untoldDepth && iterationReport) {
        principalVariation(pvText, untoldDepth);
        iterationReport(untoldDepth, untoldScore, pvText, true, firstLineNumber());
    }

    // Step 6. The table's root entry is the move played; the best of a few root choices is the
    // search's own.
    if (rootRestricted()) {
        report("-***HT: %d", int(SearchResult().score));
    } else if (const HashEntry* entry = findEntry(); entry && fitsRoot(entry->move())) {
        if (entry->move() != SearchResult().move) {
            report("-E: DIFFERENT MOVE");
            if (failLowFlag) report("FAIL LOW !!!!!!!!!!!!! not enough time");
        }
        SearchResult() = MoveEntry{entry->score(), entry->move()};
        report("-***HT: %d", int(entry->score()));
        // Stopped before its first iteration was done (a resumed search starts deep), the
        // search plays what an earlier one found: that is what it has to tell.
        if (completed == 0 && iterationReport && entry->depth() >= FIRST_ITERATION && !entry->isBookEntry() &&
            isLegalMove(entry->move())) {
            principalVariation(pvText, entry->depth());
            iterationReport(entry->depth(), entry->score(), pvText, false, firstLineNumber());
        }
    } else {
        report(NO_ENTRY_MARK.data());
    }
    settleResult();
    return SearchResult().move;
}

}  // namespace vostil
