// takeBackMoves: the game replayed from its base without its last moves.
#include <algorithm>

#include "board/position.h"
#include "book/find_book_file.h"
#include "book/opening_book.h"
#include "game/play_game_move.h"
#include "game/game_record.h"
#include "search/search.h"

namespace vostil {

// Replaying is exact by construction: game moves are deterministic from the base, and the
// history entries up to the base are never written while the record stands. A few thousand
// moves replay in about a millisecond, far below anything a takeback waits for.
int takeBackMoves(int n) {
    n = std::min(n, gameRecord.moveCount);
    if (n <= 0) return 0;
    const int kept = gameRecord.moveCount - n;
    // Searches since the book was loaded may have overwritten its entries; while the game is
    // short enough to be in the book again, it is loaded again (a failure was already reported
    // when the game began).
    replayGameRecord(kept, gameRecord.bookAtBase && kept < BOOK_LINE_MAX);
    gameRecord.moveCount = kept;

    clearHistoryScores();
    logGameKey();
    return n;
}

void replayGameRecord(int count, bool reloadBook) {
    pos = gameRecord.base;
    historyTop = GameHistory + gameRecord.baseTop;
    currentPly = PlyRecords;
    // The book is played from the base position, so it is loaded before any move.
    if (reloadBook) loadOpeningBook(findBookFile().c_str());
    for (int i = 0; i < count; ++i) applyGameMove(gameRecord.moves[i]);
}

}  // namespace vostil
