// Coordinate move text: e2e4, e7e8q, castling as the king's move.
#include "protocol/coordinate_move.h"

#include "board/position.h"
#include "movegen/check.h"
#include "movegen/generators.h"
#include "movegen/move.h"

namespace vostil {

namespace {

constexpr const char* CASTLING_TEXT[4] = {"e8g8", "e1g1", "e8c8", "e1c1"};
constexpr char PROMOTION_LETTER[4] = {'q', 'n', 'r', 'b'};

bool isFileLetter(char c) { return c >= 'a' && c <= 'h'; }
bool isRankDigit(char c) { return c >= '1' && c <= '8'; }
Square squareOf(char file, char rank) { return (file - 'a') + 8 * ('8' - rank); }

}  // namespace

char* formatCoordinateMove(char* out, Move m) {
    if (m >= 0xC000) {
        const char* text = CASTLING_TEXT[moveKind(m) - MOVE_CASTLE_BK];
        for (int i = 0; i < 4; ++i) *out++ = text[i];
        *out = '\0';
        return out;
    }
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

Move parseCoordinateMove(const char* word, MoveSource source) {
    if (!isFileLetter(word[0]) || !isRankDigit(word[1]) || !isFileLetter(word[2]) ||
        !isRankDigit(word[3]))
        return 0;
    const Square from = squareOf(word[0], word[1]), to = squareOf(word[2], word[3]);
    const Move m = makeMoveCode(from, to, MOVE_QUIET);

    const bool root = source == MoveSource::Root;
    const PieceCode* board = root ? pos.rootBoard : pos.board;
    const uint16_t castle = root ? pos.rootCastleFlags : pos.castleFlags;
    const uint8_t ep = root ? pos.rootEpSquare : pos.epSquare;

    // Castling is recognised by the king's squares alone while the right is usable.
    if (castle & 0x3F) {
        if (from == E8 && (castle & (RIGHT_BK | RIGHT_BQ)) && !(castle & BLACK_CASTLED)) {
            if (to == C8 && (castle & RIGHT_BQ)) return CASTLE_BQ_MOVE;
            if (to == G8 && (castle & RIGHT_BK)) return CASTLE_BK_MOVE;
        }
        if (from == E1 && (castle & (RIGHT_WK | RIGHT_WQ)) && !(castle & WHITE_CASTLED)) {
            if (to == C1 && (castle & RIGHT_WQ)) return CASTLE_WQ_MOVE;
            if (to == G1 && (castle & RIGHT_WK)) return CASTLE_WK_MOVE;
        }
    }

    const bool occupied = board[to] != EMPTY;
    if (board[from] > BLACK_PAWN) return occupied ? Move(m | (MOVE_CAPTURE << 12)) : m;

    switch (word[4]) {
        case 'q': return Move(m | ((occupied ? MOVE_PROMO_CAPTURE_Q : MOVE_PROMO_Q) << 12));
        case 'n': return Move(m | ((occupied ? MOVE_PROMO_CAPTURE_N : MOVE_PROMO_N) << 12));
        case 'r': return Move(m | ((occupied ? MOVE_PROMO_CAPTURE_R : MOVE_PROMO_R) << 12));
        case 'b': return Move(m | ((occupied ? MOVE_PROMO_CAPTURE_B : MOVE_PROMO_B) << 12));
        default: break;  // no fifth letter, or one that names no piece: read as absent
    }
    if (ep != 0 && ep == to) return Move(m | (MOVE_EN_PASSANT << 12));
    return occupied ? Move(m | (MOVE_CAPTURE << 12)) : m;
}

bool isLegalMove(Move m) {
    if (m == 0 || moveKind(m) == MOVE_RESULT) return false;
    // A list of its own, so the search stack below is left alone.
    MoveEntry list[MAX_MOVES_PER_PLY];
    PlyRecord& ply = *currentPly;
    computeCheckInfo(ply);
    MoveEntry* end = generateFullWidth(list, ply.checkInfo);
    bool found = false;
    for (MoveEntry* e = list; e != end; ++e)
        if (e->move == m) found = true;
    if (!found) return false;
    const int mover = pos.sideToMove;
    saveUndoState();
    makeMove(m);
    const bool attacked = isKingAttacked(m, mover);
    unmakeMove(m);
    return !attacked;
}

Move firstLegalMove() {
    MoveEntry list[MAX_MOVES_PER_PLY];
    PlyRecord& ply = *currentPly;
    computeCheckInfo(ply);
    MoveEntry* end = generateFullWidth(list, ply.checkInfo);
    const int mover = pos.sideToMove;
    saveUndoState();
    for (MoveEntry* e = list; e != end; ++e) {
        makeMove(e->move);
        const bool attacked = isKingAttacked(e->move, mover);
        unmakeMove(e->move);
        if (!attacked) return e->move;
    }
    return 0;
}

}  // namespace vostil
