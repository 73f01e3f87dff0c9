// Static evaluation: material, stage-dependent piece-square tables, a cached pawn
// structure, rook files, the bishop pair and a little king shelter in the middlegame.
#include "eval/evaluate.h"

#include <algorithm>
#include <cassert>
#include <cstring>

#include "board/position.h"
#include "board/tables.h"
#include "eval/piece_square_tables.h"

namespace vostil {

uint32_t pawnCache[PAWN_CACHE_SIZE];
bool pawnCacheFrozen = false;

namespace {

constexpr int PAWN_VALUE = PIECE_VALUE[WHITE_PAWN];
constexpr int KNIGHT_VALUE = PIECE_VALUE[WHITE_KNIGHT];
constexpr int BISHOP_VALUE = PIECE_VALUE[WHITE_BISHOP];
constexpr int ROOK_VALUE = PIECE_VALUE[WHITE_ROOK];
constexpr int QUEEN_VALUE = PIECE_VALUE[WHITE_QUEEN];

constexpr int ISOLATED_PENALTY = 20;
constexpr int DOUBLED_PENALTY = 8;
constexpr int PASSED_BONUS_PER_ROW = 8;
constexpr int BISHOP_PAIR_BONUS = 25;
constexpr int ROOK_HALF_OPEN_BONUS = 8;  // no own pawn on the file
constexpr int ROOK_OPEN_BONUS = 8;       // and no enemy pawn either, on top
constexpr int SHELTER_PAWN_BONUS = 5;
constexpr int SHELTER_CLOSE_BONUS = 2;  // a pawn right in front of the castled king's corner

// Above this much material the kings still need cover.
constexpr int SHELTER_MATERIAL_LIMIT = 35;

constexpr Bitboard DARK_SQUARES = 0x55AA55AA55AA55AAull;
constexpr Bitboard LIGHT_SQUARES = 0xAA55AA55AA55AA55ull;

constexpr uint32_t PAWN_CACHE_INDEX_MASK = PAWN_CACHE_SIZE - 1;
constexpr uint32_t PAWN_CACHE_KEY_MASK = ~PAWN_CACHE_INDEX_MASK;  // top 14 bits of pawnKey
constexpr uint32_t PAWN_CACHE_SCORE_MASK = 0xFFFF;

constexpr int KING_SELECTOR = 0, PAWN_SELECTOR = 1, KNIGHT_SELECTOR = 2;
constexpr int BISHOP_SELECTOR = 3, ROOK_SELECTOR = 4, QUEEN_SELECTOR = 5;

// The mirrored square for black pieces: the board turned through 180 degrees.
constexpr Square turned(Square s) { return 63 - s; }

inline Square popLowest(Bitboard& b) {
    Square s = bitScan(b);
    b &= b - 1;
    return s;
}

// Castled-king cover: a king in its corner (not boxed in by its own rook) likes its three
// pawns unmoved, and one of the two pawns nearest the corner most of all.
int kingShelter() {
    const PieceCode* board = pos.board;
    int v = 0;
    Square wk = pos.kingSquare[WHITE];
    if (wk >= F1 && wk <= H1) {
        if (board[F1] != WHITE_ROOK && board[G1] != WHITE_ROOK && board[H1] != WHITE_ROOK) {
            bool g = board[G2] == WHITE_PAWN, h = board[H2] == WHITE_PAWN;
            v += SHELTER_PAWN_BONUS * ((board[F2] == WHITE_PAWN) + g + h);
            if (g || h) v += SHELTER_CLOSE_BONUS;
        }
    } else if (wk >= A1 && wk <= C1) {
        if (board[A1] != WHITE_ROOK && board[B1] != WHITE_ROOK && board[C1] != WHITE_ROOK) {
            bool a = board[A2] == WHITE_PAWN, b = board[B2] == WHITE_PAWN;
            v += SHELTER_PAWN_BONUS * (a + b + (board[C2] == WHITE_PAWN));
            if (a || b) v += SHELTER_CLOSE_BONUS;
        }
    }
    Square bk = pos.kingSquare[BLACK];
    if (bk >= F8 && bk <= H8) {
        if (board[F8] != BLACK_ROOK && board[G8] != BLACK_ROOK && board[H8] != BLACK_ROOK) {
            bool g = board[G7] == BLACK_PAWN, h = board[H7] == BLACK_PAWN;
            v -= SHELTER_PAWN_BONUS * ((board[F7] == BLACK_PAWN) + g + h);
            if (g || h) v -= SHELTER_CLOSE_BONUS;
        }
    } else if (bk <= C8) {
        if (board[A8] != BLACK_ROOK && board[B8] != BLACK_ROOK && board[C8] != BLACK_ROOK) {
            bool a = board[A7] == BLACK_PAWN, b = board[B7] == BLACK_PAWN;
            v -= SHELTER_PAWN_BONUS * (a + b + (board[C7] == BLACK_PAWN));
            if (a || b) v -= SHELTER_CLOSE_BONUS;
        }
    }
    return v;
}

// Pawn material, squares, isolation, doubling and passers, White positive. A doubled pawn
// earns the passer bonus only as the front pawn of its file.
int pawnStructure(const int16_t* pawnTable) {
    const Bitboard whitePawns = pos.pieceBoards[WHITE_PAWN];
    const Bitboard blackPawns = pos.pieceBoards[BLACK_PAWN];
    int p = 0;
    for (Bitboard b = whitePawns; b;) {
        Square s = popLowest(b);
        int passedBonus = (7 - rowOf(s)) * PASSED_BONUS_PER_ROW;
        p += PAWN_VALUE + pawnTable[s];
        if (!(ADJACENT_FILES[s] & whitePawns)) p -= ISOLATED_PENALTY;
        bool unopposedAhead = !(PASSED_MASK[WHITE][s] & blackPawns);
        if (!(FILE_EXCEPT[s] & whitePawns)) {
            if (unopposedAhead) p += passedBonus;
        } else {
            p -= DOUBLED_PENALTY;
            if (!(FRONT_SPAN[WHITE][s] & whitePawns) && unopposedAhead) p += passedBonus;
        }
    }
    for (Bitboard b = blackPawns; b;) {
        Square s = popLowest(b);
        int passedBonus = rowOf(s) * PASSED_BONUS_PER_ROW;
        p -= PAWN_VALUE + pawnTable[turned(s)];
        if (!(ADJACENT_FILES[s] & blackPawns)) p += ISOLATED_PENALTY;
        bool unopposedAhead = !(PASSED_MASK[BLACK][s] & whitePawns);
        if (!(FILE_EXCEPT[s] & blackPawns)) {
            if (unopposedAhead) p -= passedBonus;
        } else {
            p += DOUBLED_PENALTY;
            if (!(FRONT_SPAN[BLACK][s] & blackPawns) && unopposedAhead) p -= passedBonus;
        }
    }
    return p;
}

// The pawn score from the cache, or computed and cached. The stage is not part of the key:
// the pawn structure changes far more often than the stage, and a stale stage costs little.
int cachedPawnStructure(const int16_t* pawnTable) {
    const uint32_t key = pos.pawnKey;
    uint32_t& entry = pawnCache[key & PAWN_CACHE_INDEX_MASK];
    if (((entry ^ key) & PAWN_CACHE_KEY_MASK) == 0 && (entry & PAWN_CACHE_SCORE_MASK) != 0)
        return int(int16_t(entry & PAWN_CACHE_SCORE_MASK)) - SCORE_BIAS;
    int p = pawnStructure(pawnTable);
    // The biased score must stay clear of the key bits and of zero, which marks an empty entry.
    assert(p + SCORE_BIAS > 0 && p + SCORE_BIAS <= int(PAWN_CACHE_SCORE_MASK));
    if (!pawnCacheFrozen) entry = uint32_t(p + SCORE_BIAS) | (key & PAWN_CACHE_KEY_MASK);
    return p;
}

}  // namespace

void clearPawnCache() { std::memset(pawnCache, 0, sizeof pawnCache); }

Score evaluate() {
    if (isDeadMaterial()) return 0;
    const Bitboard* boards = pos.pieceBoards;

    const int stage = phaseIndex(pos.totalMaterial);
    assert(pos.kingSquare[WHITE] < 64 && pos.kingSquare[BLACK] < 64);

    // The sum is kept in an int and bounded at the end, so no army wraps it or reaches the
    // mate range.
    const int16_t* kingTable = PHASE_TABLE[KING_SELECTOR][stage];
    int v = kingTable[pos.kingSquare[WHITE]] - kingTable[turned(pos.kingSquare[BLACK])];

    if (pos.totalMaterial > SHELTER_MATERIAL_LIMIT) v += kingShelter();

    v += cachedPawnStructure(PHASE_TABLE[PAWN_SELECTOR][stage]);

    const int16_t* knightTable = PHASE_TABLE[KNIGHT_SELECTOR][stage];
    for (Bitboard b = boards[WHITE_KNIGHT]; b;) v += KNIGHT_VALUE + knightTable[popLowest(b)];
    for (Bitboard b = boards[BLACK_KNIGHT]; b;)
        v -= KNIGHT_VALUE + knightTable[turned(popLowest(b))];

    const int16_t* bishopTable = PHASE_TABLE[BISHOP_SELECTOR][stage];
    const Bitboard whiteBishops = boards[WHITE_BISHOP], blackBishops = boards[BLACK_BISHOP];
    for (Bitboard b = whiteBishops; b;) v += BISHOP_VALUE + bishopTable[popLowest(b)];
    if ((whiteBishops & DARK_SQUARES) && (whiteBishops & LIGHT_SQUARES)) v += BISHOP_PAIR_BONUS;
    for (Bitboard b = blackBishops; b;) v -= BISHOP_VALUE + bishopTable[turned(popLowest(b))];
    if ((blackBishops & DARK_SQUARES) && (blackBishops & LIGHT_SQUARES)) v -= BISHOP_PAIR_BONUS;

    const int16_t* rookTable = PHASE_TABLE[ROOK_SELECTOR][stage];
    const Bitboard whitePawns = boards[WHITE_PAWN], blackPawns = boards[BLACK_PAWN];
    for (Bitboard b = boards[WHITE_ROOK]; b;) {
        Square s = popLowest(b);
        v += ROOK_VALUE + rookTable[s];
        if (!(FILE_EXCEPT[s] & whitePawns)) {
            v += ROOK_HALF_OPEN_BONUS;
            if (!(FILE_EXCEPT[s] & blackPawns)) v += ROOK_OPEN_BONUS;
        }
    }
    for (Bitboard b = boards[BLACK_ROOK]; b;) {
        Square s = popLowest(b);
        v -= ROOK_VALUE + rookTable[turned(s)];
        if (!(FILE_EXCEPT[s] & blackPawns)) {
            v -= ROOK_HALF_OPEN_BONUS;
            if (!(FILE_EXCEPT[s] & whitePawns)) v -= ROOK_OPEN_BONUS;
        }
    }

    const int16_t* queenTable = PHASE_TABLE[QUEEN_SELECTOR][stage];
    for (Bitboard b = boards[WHITE_QUEEN]; b;) v += QUEEN_VALUE + queenTable[popLowest(b)];
    for (Bitboard b = boards[BLACK_QUEEN]; b;)
        v -= QUEEN_VALUE + queenTable[turned(popLowest(b))];

    v = std::clamp(v, -EVAL_LIMIT, EVAL_LIMIT);
    return Score(pos.sideToMove == WHITE ? v : -v);
}

}  // namespace vostil
