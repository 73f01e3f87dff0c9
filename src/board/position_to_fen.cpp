// positionToFen: the first four FEN fields of the position, for the search log.
#include "board/castling.h"
#include "board/position.h"

namespace vostil {

void positionToFen(char* out) {
    static const char LETTERS[] = ".PpNnBbRrQqKk";
    char* p = out;
    int empty = 0;
    for (Square s = 0; s < 64; ++s) {
        if (fileOf(s) == 0 && s > 0) {
            if (empty) *p++ = char('0' + empty);
            empty = 0;
            *p++ = '/';
        }
        if (pos.board[s] == EMPTY) {
            ++empty;
            continue;
        }
        if (empty) *p++ = char('0' + empty);
        empty = 0;
        *p++ = LETTERS[pos.board[s]];
    }
    if (empty) *p++ = char('0' + empty);

    *p++ = ' ';
    // The side actually to move: "white"/"black" change it without touching the root side.
    *p++ = pos.sideToMove == WHITE ? 'w' : 'b';
    *p++ = ' ';

    if (!hasCastlingState(pos.rootCastleFlags)) {
        *p++ = '-';
    } else {
        for (const int i : FEN_CASTLING_ORDER)
            if (rightUsable(pos.castleFlags, CASTLING_MOVES[i])) *p++ = CASTLING_MOVES[i].fenLetter;
    }

    *p++ = ' ';
    if (pos.epSquare == 0) {
        *p++ = '-';
    } else {
        *p++ = char('a' + (pos.epSquare & 7));
        *p++ = char('8' - (pos.epSquare >> 3));
    }
    *p = '\0';
}

}  // namespace vostil
