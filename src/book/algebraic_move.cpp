// Standard algebraic notation, as EPD "bm" and "am" operands carry it. The parser finds the one
// piece of the named kind that attacks the target square; it does not test legality.
#include "book/algebraic_move.h"

#include <bit>
#include <cstring>

#include "board/position.h"
#include "board/tables.h"
#include "common/move.h"
#include "board/castling.h"
#include "board/parse_coordinate_move.h"
#include "common/move_text.h"

namespace vostil {

namespace {

// Longest operand the parser looks at; EPD setup copies no more than this either.
constexpr int OPERAND_MAX = 9;
// Annotation characters that carry no information about the move itself.
constexpr const char* IGNORED_CHARACTERS = "x+#!?=";

constexpr Bitboard FILE_A_SQUARES = 0x8080808080808080ull;
constexpr Bitboard RANK_8_SQUARES = 0xFF00000000000000ull;

bool onBoard(int s) { return s >= 0 && s < 64; }

// One rank toward the mover's own side.
int behind(int side) { return side == WHITE ? 8 : -8; }

Bitboard fileSquares(char file) { return FILE_A_SQUARES >> (file - 'a'); }
Bitboard rankSquares(char rank) { return RANK_8_SQUARES >> (8 * ('8' - rank)); }

bool isPawn(PieceCode c) { return c == WHITE_PAWN || c == BLACK_PAWN; }

// "e4": single push, or the double push when no pawn stands directly behind the target.
Move parsePawnPush(const char* s) {
    if (!isFileLetter(s[0]) || !isRankDigit(s[1])) return 0;
    Square to = squareOf(s[0], s[1]);
    int step = behind(pos.sideToMove);
    int from = to + step;
    if (!onBoard(from)) return 0;
    if (!isPawn(pos.board[from])) {
        from += step;
        if (!onBoard(from)) return 0;
    }
    return makeMoveCode(from, to, MOVE_QUIET);
}

// The side to move's castling of that row, while its right is usable.
Move parseCastling(const int (&rows)[2]) {
    const CastlingMove& c = CASTLING_MOVES[rows[pos.sideToMove]];
    return rightUsable(pos.castleFlags, c) ? c.move : 0;
}

// "e8Q": only real squares are taken, not any two characters that happen to land on the board.
Move parsePromotionPush(const char* s, int kind) {
    if (!isFileLetter(s[0]) || !isRankDigit(s[1])) return 0;
    Square to = squareOf(s[0], s[1]);
    int from = to + behind(pos.sideToMove);
    if (!onBoard(from)) return 0;
    return makeMoveCode(from, to, kind);
}

// "ed8Q": the pawn comes from the neighbouring file named first. The capture is not marked in
// the kind, since the caller only needs to know that the operand names a move.
Move parseCapturingPromotion(const char* s, int kind) {
    if (!isFileLetter(s[0]) || !isFileLetter(s[1]) || !isRankDigit(s[2])) return 0;
    if (s[0] - s[1] != 1 && s[1] - s[0] != 1) return 0;
    Square to = squareOf(s[1], s[2]);
    bool fromRight = s[0] > s[1];
    int from = pos.sideToMove == WHITE ? to + (fromRight ? 9 : 7) : to - (fromRight ? 7 : 9);
    if (!onBoard(from)) return 0;
    return makeMoveCode(from, to, kind);
}

// "Nbd2", "R1a3": the second character narrows the candidates to a file or a rank.
Move parseDisambiguatedMove(const char* s) {
    if (!isFileLetter(s[2]) || !isRankDigit(s[3])) return 0;
    Square to = squareOf(s[2], s[3]);
    if (isFileLetter(s[1])) return resolvePieceMove(s, to, fileSquares(s[1]));
    if (isRankDigit(s[1])) return resolvePieceMove(s, to, rankSquares(s[1]));
    return 0;
}

// The pawns of `side` that could capture onto `to` from the given file.
Bitboard pawnCaptureOrigins(Square to, char file, int side) {
    const int offsets[2] = {side == WHITE ? 7 : -7, side == WHITE ? 9 : -9};
    Bitboard origins = 0;
    for (int offset : offsets) {
        int from = to + offset;
        if (onBoard(from) && fileOf(from) == file - 'a' && pos.board[from] == pieceOf(BLACK_PAWN, side))
            origins |= BIT[from];
    }
    return origins;
}

}  // namespace

int promotionKindFromLetter(char c) {
    switch (c) {
        case 'Q': case 'q': return MOVE_PROMO_Q;
        case 'N': case 'n': return MOVE_PROMO_N;
        case 'R': case 'r': return MOVE_PROMO_R;
        case 'B': case 'b': return MOVE_PROMO_B;
        default: return 0;
    }
}

// A pinned piece still counts as a candidate: a move that is unambiguous only among legal
// moves is refused rather than guessed.
Move resolvePieceMove(const char* text, Square to, Bitboard allowed) {
    const int side = pos.sideToMove;
    Bitboard candidates = 0;
    switch (text[0]) {
        case 'N':
            candidates = KNIGHT_ATTACKS[to] & pos.pieceBoards[pieceOf(BLACK_KNIGHT, side)] & allowed;
            break;
        case 'B':
            candidates = bishopAttacks(to) & pos.pieceBoards[pieceOf(BLACK_BISHOP, side)] & allowed;
            break;
        case 'R':
            candidates = rookAttacks(to) & pos.pieceBoards[pieceOf(BLACK_ROOK, side)] & allowed;
            break;
        case 'Q':
            candidates = queenAttacks(to) & pos.pieceBoards[pieceOf(BLACK_QUEEN, side)] & allowed;
            break;
        case 'K':
            // The king is taken at its word: neither its reach nor the allowed set is consulted.
            if (pos.kingSquare[side] >= 64) return 0;
            candidates = BIT[pos.kingSquare[side]];
            break;
        default:
            if (!isFileLetter(text[0])) return 0;
            candidates = pawnCaptureOrigins(to, text[0], side);
            break;
    }
    if (std::popcount(candidates) != 1) return 0;
    Square from = bitScan(candidates);
    return makeMoveCode(from, to, pos.board[to] != EMPTY ? MOVE_CAPTURE : MOVE_QUIET);
}

Move parseAlgebraicMove(const char* text) {
    // Step 1. Work on at most the first nine characters.
    char s[OPERAND_MAX + 1];
    int n = 0;
    for (int i = 0; i < OPERAND_MAX && text[i] != '\0'; ++i) {
        // Step 2. Drop captures, checks, annotations and the promotion sign.
        if (std::strchr(IGNORED_CHARACTERS, text[i]) == nullptr) s[n++] = text[i];
    }
    s[n] = '\0';

    // Step 3. The remaining length tells the form apart.
    switch (n) {
        case 2:
            return parsePawnPush(s);
        case 3: {
            if (std::strcmp(s, "O-O") == 0 || std::strcmp(s, "0-0") == 0) return parseCastling(SHORT_CASTLING);
            if (int kind = promotionKindFromLetter(s[2])) return parsePromotionPush(s, kind);
            if (!isFileLetter(s[1]) || !isRankDigit(s[2])) return 0;
            return resolvePieceMove(s, squareOf(s[1], s[2]), ~Bitboard(0));
        }
        case 4: {
            if (int kind = promotionKindFromLetter(s[3])) return parseCapturingPromotion(s, kind);
            if (Move m = parseCoordinateMove(s, MoveSource::Search)) return m;
            return parseDisambiguatedMove(s);
        }
        case 5: {
            if (std::strcmp(s, "O-O-O") == 0 || std::strcmp(s, "0-0-0") == 0) return parseCastling(LONG_CASTLING);
            if (Move m = parseCoordinateMove(s + 1, MoveSource::Search)) return m;
            return parseCoordinateMove(s, MoveSource::Search);
        }
        default:
            return 0;
    }
}

}  // namespace vostil
