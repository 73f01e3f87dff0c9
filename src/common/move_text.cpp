// Coordinate move text. Castling is written as its king's move, read off the kind alone.
#include "common/move_text.h"

#include "common/move.h"

namespace vostil {

namespace {

constexpr char PROMOTION_LETTER[4] = {'q', 'n', 'r', 'b'};

}  // namespace

char* formatCoordinateMove(char* out, Move m) {
    if (isCastling(m)) m = CASTLE_MOVE_OF_KIND[moveKind(m) - MOVE_CASTLE_BK];
    const Square from = moveFrom(m), to = moveTo(m);
    *out++ = char('a' + fileOf(from));
    *out++ = char('8' - rowOf(from));
    *out++ = char('a' + fileOf(to));
    *out++ = char('8' - rowOf(to));
    const int kind = moveKind(m);
    if (kind >= MOVE_PROMO_Q && kind <= MOVE_PROMO_CAPTURE_B) *out++ = PROMOTION_LETTER[kind & 3];
    *out = '\0';
    return out;
}

}  // namespace vostil
