// parseCoordinateMove: the move a coordinate word names in the game or the search position.
#include "board/parse_coordinate_move.h"

#include "board/castling.h"
#include "board/position.h"
#include "common/move.h"
#include "common/move_text.h"

namespace vostil {

namespace {

// The protocol writes promotions in lower case: the offset of the kind from MOVE_PROMO_Q.
int promotionOffset(char c) {
    switch (c) {
        case 'q': return 0;
        case 'n': return 1;
        case 'r': return 2;
        case 'b': return 3;
        default: return -1;
    }
}

}  // namespace

Move parseCoordinateMove(const char* word, MoveSource source) {
    if (!isFileLetter(word[0]) || !isRankDigit(word[1]) || !isFileLetter(word[2]) ||
        !isRankDigit(word[3]))
        return 0;
    const Square from = squareOf(word[0], word[1]), to = squareOf(word[2], word[3]);

    const bool root = source == MoveSource::Root;
    const PieceCode* board = root ? pos.rootBoard : pos.board;
    const uint16_t castle = root ? pos.rootCastleFlags : pos.castleFlags;
    const uint8_t ep = root ? pos.rootEpSquare : pos.epSquare;

    // Castling is recognised by the king's squares alone while the right is usable.
    if (hasCastlingState(castle))
        for (const CastlingMove& c : CASTLING_MOVES)
            if (from == c.kingFrom && to == c.kingTo && rightUsable(castle, c)) return c.move;

    const bool occupied = board[to] != EMPTY;
    if (board[from] > BLACK_PAWN) return makeMoveCode(from, to, occupied ? MOVE_CAPTURE : MOVE_QUIET);

    // A fifth letter that names no piece is read as absent.
    if (const int promotion = promotionOffset(word[4]); promotion >= 0)
        return makeMoveCode(from, to, (occupied ? MOVE_PROMO_CAPTURE_Q : MOVE_PROMO_Q) + promotion);
    if (ep != 0 && ep == to) return makeMoveCode(from, to, MOVE_EN_PASSANT);
    return makeMoveCode(from, to, occupied ? MOVE_CAPTURE : MOVE_QUIET);
}

}  // namespace vostil
