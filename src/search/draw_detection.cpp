// Draws the search must recognise: bare material, the fifty-move rule and repetitions
// within the current run of reversible moves.
#include "search/draw_detection.h"

#include <cassert>

#include "board/position.h"
#include "board/tables.h"

namespace vostil {

namespace {

// A repetition needs both sides to have moved out and back.
constexpr int FEWEST_PLIES_FOR_REPETITION = 4;
constexpr int FIFTY_MOVE_PLIES = 100;

}  // namespace

// The walk visits only positions with the same side to move, and the counter of the first
// one bounds it: it ends at the last capture, promotion, castling or pawn move, before
// which no position can recur.
bool isDraw(int count) {
    assert(count >= 1);
    if (isDeadMaterial()) return true;

    const HistoryEntry& top = *historyTop;
    if (top.fiftyCounter < FEWEST_PLIES_FOR_REPETITION) return false;
    if (top.fiftyCounter >= FIFTY_MOVE_PLIES) return true;

    // The counters below the top count down one per entry, so the walk stays inside the
    // history; the index test only guards a broken chain.
    int index = int(historyTop - GameHistory) - 2;
    assert(index >= 0);
    if (index < 0) return false;
    for (int k = GameHistory[index].fiftyCounter; k >= 0 && index >= 0; k -= 2, index -= 2) {
        const HistoryEntry& e = GameHistory[index];
        if (e.keyLow == top.keyLow && e.keyHigh == top.keyHigh && --count == 0) return true;
    }
    return false;
}

// Tries the position after a quiet move on the history entry above the top, keyed by the
// piece displacement alone, and puts that entry back as it was. A pawn move resets the
// fifty-move counter, so the position it reaches is new and no draw.
bool moveRepeats(Move move, int count) {
    if (moveKind(move) != MOVE_QUIET) return false;
    const Square from = moveFrom(move), to = moveTo(move);
    const PieceCode piece = pos.board[from];
    if (piece == WHITE_PAWN || piece == BLACK_PAWN) return false;

    const uint64_t key = hashKey() ^ ZOBRIST[piece][from] ^ ZOBRIST[piece][to];
    HistoryEntry* trial = historyTop + 1;
    assert(trial < GameHistory + GAME_HISTORY_SIZE);
    const HistoryEntry overwritten = *trial;
    trial->keyLow = uint32_t(key);
    trial->keyHigh = uint32_t(key >> 32);
    trial->fiftyCounter = uint16_t(historyTop->fiftyCounter + 1);
    historyTop = trial;
    const bool repeats = isDraw(count);
    historyTop = trial - 1;
    *trial = overwritten;
    return repeats;
}

}  // namespace vostil
