// The expected line of play, read back from the transposition table by following the stored
// move of each position on the real board and taking the moves back afterwards.
#include <cstring>

#include "board/make_move.h"
#include "board/position.h"
#include "board/unmake_move.h"
#include "common/move_text.h"
#include "movegen/legal_moves.h"
#include "search/search.h"
#include "search/transposition_table.h"

namespace vostil {

namespace {
constexpr const char* NO_ENTRY_TEXT = "NOE ";
constexpr const char* MATE_TEXT = "# ";
constexpr const char* STALEMATE_TEXT = "1/2 - 1/2 (stalemate)";
}  // namespace

// The line ends at a missing entry, a result, or a move the position cannot play (an empty
// slot that happens to match, or a key collision): nothing untested is made on the board.
void principalVariation(char* text, int n) {
    if (n == 0) {
        *text = '\0';
        return;
    }
    const HashEntry* entry = findEntry();
    if (!entry) {
        std::strcpy(text, NO_ENTRY_TEXT);
        return;
    }
    const Move move = entry->move();
    if (move == RESULT_MATED) {
        std::strcpy(text, MATE_TEXT);
        return;
    }
    if (move == RESULT_STALEMATE) {
        std::strcpy(text, STALEMATE_TEXT);
        return;
    }
    if (!isLegalMove(move)) {
        *text = '\0';
        return;
    }
    rootMoveLine(text, move, n);
}

// A line that starts with `move` and goes on with the table's line after it: the rest of every
// line, and a root line that is not the table's own (a lower line, the best of the root choices).
void rootMoveLine(char* text, Move move, int n) {
    text = formatCoordinateMove(text, move);
    *text++ = ' ';
    saveUndoState();
    makeMove(move);
    ++currentPly;
    principalVariation(text, n - 1);
    --currentPly;
    unmakeMove(move);
}

}  // namespace vostil
