// Exchange estimate of moving one piece to a square, played out with the least valuable
// attacker first, returned directly as an ordering score: winning captures land near
// -9500 plus the gain, even exchanges just above the quiet moves (-29985), losing ones
// below them. A small positional term from the piece-square tables separates moves within
// a band.
#include "movegen/static_exchange.h"

#include <algorithm>

#include "board/position.h"
#include "board/tables.h"
#include "eval/evaluate.h"
#include "common/move.h"

namespace vostil {

namespace {

// Bases of the three result bands.
constexpr int SEE_WINNING_BASE = -9500;
constexpr int SEE_EVEN_SCORE = -29985;
constexpr int SEE_LOSING_BASE = -30000;
// A king moving onto a defended square is never worth trying first.
constexpr int SEE_KING_INTO_DEFENCE = -32767;
// Gains within this of zero still count as winning; a recapture that wins more than this
// beyond the capturer's own value ends the exchange at once.
constexpr int SEE_MARGIN = 50;
// A pawn reaching the last rank becomes a queen: its gain grows by queen minus pawn.
constexpr int SEE_PROMOTION_GAIN = 800;
// Every capture removes an attacker, and there are at most 32 pieces.
constexpr int SEE_MAX_CAPTURES = 34;

struct Exchange {
    Square to;
    Bitboard attackers;
    Bitboard rookMovers;
    Bitboard bishopMovers;

    // The pieces found behind `from` along the line through `to` join the attackers. The
    // candidates are the sliders on the empty-board lines of both squares; the ones seen
    // from `from` on the current occupancy are revealed. Returns what was revealed.
    Bitboard xrayOrthogonal(Square from) {
        rookMovers &= ~BIT[from];
        const Bitboard candidates = ROOK_RAYS[from] & ROOK_RAYS[to] & rookMovers;
        if (!candidates) return 0;
        return reveal(candidates & rookAttacks(from));
    }
    Bitboard xrayDiagonal(Square from) {
        bishopMovers &= ~BIT[from];
        const Bitboard candidates = BISHOP_RAYS[from] & BISHOP_RAYS[to] & bishopMovers;
        if (!candidates) return 0;
        return reveal(candidates & bishopAttacks(from));
    }
    Bitboard reveal(Bitboard revealed) {
        attackers |= revealed;
        rookMovers &= ~revealed;
        bishopMovers &= ~revealed;
        return revealed;
    }
};

// Piece kind of a code: 1 pawn, 2 knight, 3 bishop, 4 rook, 5 queen, 6 king.
constexpr int kindOf(PieceCode code) { return (code + 1) >> 1; }
enum PieceKind : int { KIND_PAWN = 1, KIND_KNIGHT, KIND_BISHOP, KIND_ROOK, KIND_QUEEN, KIND_KING };

// Positional value of the captured piece where it stood; counted only for winning results.
inline int victimTerm(PieceCode victim, Square to) {
    return victim ? pieceSquareValue(victim, to) : 0;
}

// Final score from the settled gain g of the side to move.
inline OrderScore bandScore(int g, int d, PieceCode victim, Square to) {
    int score;
    if (g > -SEE_MARGIN && g != 0) score = d + victimTerm(victim, to) + g + SEE_WINNING_BASE;
    else if (g == 0) score = d + SEE_EVEN_SCORE;
    else score = d + g + SEE_LOSING_BASE;
    return OrderScore(int16_t(score));  // the score is kept in 16 bits, wrapping as such
}

}  // namespace

OrderScore staticExchange(PieceCode mover, Square from, Square to, Bitboard rookMovers,
                          Bitboard bishopMovers) {
    const int us = pos.sideToMove, them = us ^ 1;
    const PieceCode victim = pos.board[to];
    int gain[SEE_MAX_CAPTURES];
    gain[0] = PIECE_VALUE[victim];
    int d = -pieceSquareValue(mover, from);

    // Step 1. Every piece of either colour that attacks the target now, the mover excepted.
    const Bitboard* boards = pos.pieceBoards;
    const Bitboard pawnAttackers = (boards[WHITE_PAWN] & PAWN_ATTACKS[BLACK][to]) |
                                   (boards[BLACK_PAWN] & PAWN_ATTACKS[WHITE][to]);
    const Bitboard kings = BIT[pos.kingSquare[WHITE]] | BIT[pos.kingSquare[BLACK]];
    Exchange ex{to, 0, rookMovers, bishopMovers};
    ex.attackers = (bishopAttacks(to) & bishopMovers) | (rookAttacks(to) & rookMovers) |
                   (kings & KING_ATTACKS[to]) |
                   ((boards[WHITE_KNIGHT] | boards[BLACK_KNIGHT]) & KNIGHT_ATTACKS[to]) |
                   pawnAttackers;
    ex.attackers &= ~BIT[from];

    // Where each colour starts looking for its next least valuable attacker.
    int scanStart[2];
    scanStart[BLACK] = pawnAttackers ? BLACK_PAWN : BLACK_KNIGHT;
    scanStart[WHITE] = pawnAttackers ? WHITE_PAWN : WHITE_KNIGHT;

    // Step 2. The mover's own step, uncovering whatever stood behind it.
    PieceCode onTarget = mover;
    switch (kindOf(mover)) {
        case KIND_PAWN:
            if (us == WHITE ? to <= H8 : to >= A1) {
                gain[0] += SEE_PROMOTION_GAIN;
                onTarget = pieceOf(BLACK_QUEEN, us);
            }
            ex.xrayDiagonal(from);
            break;
        case KIND_BISHOP: ex.xrayDiagonal(from); break;
        case KIND_ROOK: ex.xrayOrthogonal(from); break;
        case KIND_QUEEN:
            ex.bishopMovers &= ~BIT[from];
            if (!ex.xrayOrthogonal(from)) ex.xrayDiagonal(from);
            break;
        case KIND_KING:
            if (ex.attackers & pos.sideOccupancy[them]) return SEE_KING_INTO_DEFENCE;
            break;
        default: break;  // a knight hides nothing
    }
    d += pieceSquareValue(onTarget, to);

    // Step 3. Nothing to recapture with: the first gain stands.
    if (!(ex.attackers & pos.sideOccupancy[them])) return bandScore(gain[0], d, victim, to);

    // Step 4. Play out the recaptures, least valuable attacker first.
    ex.rookMovers &= ~ex.attackers;
    ex.bishopMovers &= ~ex.attackers;
    int n = 1;
    int side = them;
    for (;;) {
        PieceCode capturer = EMPTY;
        Square square = 0;
        const int queenCode = pieceOf(BLACK_QUEEN, side);
        for (int code = scanStart[side]; code <= queenCode; code += 2) {
            const Bitboard found = ex.attackers & boards[code];
            if (found) {
                square = bitScan(found);
                capturer = PieceCode(code);
                ex.attackers ^= BIT[square];
                scanStart[side] = code;
                break;
            }
        }
        if (capturer == EMPTY) {
            // Only the king is left: it may take last, when nothing else still attacks.
            const Square king = pos.kingSquare[side];
            if (!(KING_ATTACKS[to] & BIT[king])) break;
            ex.attackers &= ~BIT[king];
            if (ex.attackers) break;
            capturer = pieceOf(BLACK_KING, side);
            square = king;
        }

        gain[n] = PIECE_VALUE[onTarget] - gain[n - 1];
        onTarget = capturer;

        // A capture that wins more than the capturer could lose ends the exchange here.
        if (gain[n] - PIECE_VALUE[capturer] > SEE_MARGIN) {
            if (side == us) {
                if (gain[0] == 0) return OrderScore(int16_t(d + SEE_EVEN_SCORE));
                return OrderScore(int16_t(d + victimTerm(victim, to) + gain[n - 2] + SEE_WINNING_BASE));
            }
            return OrderScore(
                int16_t(PIECE_VALUE[capturer] / 2 - gain[n] + d + SEE_LOSING_BASE));
        }

        // Uncover the pieces behind the capturer. A queen's reveal may bring back a kind that
        // both colours have already passed in their scans, so their scans start lower again.
        switch (kindOf(capturer)) {
            case KIND_PAWN:
            case KIND_BISHOP: ex.xrayDiagonal(square); break;
            case KIND_ROOK: ex.xrayOrthogonal(square); break;
            case KIND_QUEEN:
                if (ex.xrayOrthogonal(square)) {
                    scanStart[BLACK] = std::min(scanStart[BLACK], int(BLACK_ROOK));
                    scanStart[WHITE] = std::min(scanStart[WHITE], int(WHITE_ROOK));
                } else if (ex.xrayDiagonal(square)) {
                    scanStart[BLACK] = std::min(scanStart[BLACK], int(BLACK_BISHOP));
                    scanStart[WHITE] = std::min(scanStart[WHITE], int(WHITE_BISHOP));
                }
                break;
            default: break;
        }

        side ^= 1;
        ++n;
        if (!(ex.attackers & pos.sideOccupancy[side])) break;
    }

    // Step 5. Each side may stop capturing when going on would cost it.
    for (int i = n - 1; i >= 1; --i)
        if (-gain[i] < gain[i - 1]) gain[i - 1] = -gain[i];
    return bandScore(gain[0], d, victim, to);
}

}  // namespace vostil
