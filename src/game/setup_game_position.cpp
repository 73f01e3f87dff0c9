// setupGamePosition: everything a new game position starts afresh, in one place.
#include "game/setup_game_position.h"

#include <cstdio>

#include "board/position.h"
#include "book/algebraic_move.h"
#include "book/find_book_file.h"
#include "book/opening_book.h"
#include "common/log.h"
#include "common/output.h"
#include "eval/evaluate.h"
#include "game/game_record.h"
#include "search/search.h"
#include "search/transposition_table.h"

namespace vostil {

bool gamePositionReady = false;

namespace {

// The book's lines are played from the initial position itself: its placement with white to
// move, every castling right and no en-passant square. Any other position with that placement
// (black to move, a right given up) would fail to load a sound book.
bool bookApplies() {
    constexpr uint16_t ALL_RIGHTS = RIGHT_WK | RIGHT_WQ | RIGHT_BK | RIGHT_BQ;
    return hashKey() == startPositionKey() && pos.sideToMove == WHITE && pos.castleFlags == ALL_RIGHTS &&
           pos.epSquare == 0;
}

}  // namespace

bool setupGamePosition(const char* text, bool loadBook, BookErrors errors) {
    EpdOperand epd;
    if (!setupPosition(text, &epd)) {
        gamePositionReady = false;
        gameRecord.moveCount = 0;  // nothing of the old game may be taken back into
        return false;
    }
    clearHash();

    // Only the initial position has a book; other positions skip the loader silently.
    bool bookLoaded = false;
    if (loadBook && bookApplies()) {
        bookLoaded = loadOpeningBook(findBookFile().c_str());
        if (!bookLoaded) {
            if (errors == BookErrors::Tell) sendLine("tellusererror BOOK ERROR!\n");
            logLine("-\ttellusererror BOOK ERROR!\n");
        }
    }
    ttGeneration = 1;
    gamePositionReady = true;
    startGameRecord(bookLoaded);

    if (epd.present && parseAlgebraicMove(epd.text) == 0) {
        char line[64];
        std::snprintf(line, sizeof line, "Warning cannot recognize move: %s\r\n", epd.text);
        sendLine(line);
        return false;
    }

    clearHistoryScores();
    clearKillers();
    clearPawnCache();
    return true;
}

}  // namespace vostil
