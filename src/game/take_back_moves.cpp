// takeBackMoves: the game replayed from its base without its last moves.
#include "board/position.h"
#include "book/find_book_file.h"
#include "book/opening_book.h"
#include "game/play_game_move.h"
#include "game/game_record.h"
#include "game/hand_move_to.h"
#include "search/search.h"

namespace vostil {

// Replaying is exact by construction: game moves are deterministic from the base, and the
// history entries up to the base are never written while the record stands. A few thousand
// moves replay in about a millisecond, far below anything a takeback waits for.
int takeBackMoves(int n) {
    // Back to just before the n-th move from the end: the hand-overs after it go with the
    // moves, one before the first move of the record stays.
    int kept = gameRecord.moveCount, taken = 0;
    for (int i = gameRecord.moveCount; i > 0 && taken < n;) {
        if (!isHandOver(gameRecord.moves[--i])) {
            ++taken;
            kept = i;
        }
    }
    if (taken == 0) return 0;
    // Searches since the book was loaded may have overwritten its entries; while the game is
    // short enough to be in the book again, it is loaded again (a failure was already reported
    // when the game began).
    replayGameRecord(kept, gameRecord.bookAtBase && kept < BOOK_LINE_MAX);
    gameRecord.moveCount = kept;

    clearHistoryScores();
    logGameKey();
    return taken;
}

void replayGameRecord(int count, bool reloadBook) {
    pos = gameRecord.base;
    historyTop = GameHistory + gameRecord.baseTop;
    currentPly = PlyRecords;
    // The book is played from the base position, so it is loaded before any move.
    if (reloadBook) loadOpeningBook(findBookFile().c_str());
    for (int i = 0; i < count; ++i) {
        const Move m = gameRecord.moves[i];
        if (isHandOver(m)) giveMoveTo(m == HAND_OVER[WHITE] ? WHITE : BLACK);
        else applyGameMove(m);
    }
}

}  // namespace vostil
