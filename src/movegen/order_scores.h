// The ordering scores the generators give each kind of move.
#pragma once

namespace vostil {

// Ordering scores of the generators.
constexpr int SCORE_QUIET = -30000;
constexpr int SCORE_CASTLE_SHORT = -29000;
constexpr int SCORE_CASTLE_LONG = -29500;
constexpr int SCORE_EN_PASSANT = -9500;
constexpr int SCORE_PAWN_CAPTURE_BASE = -9600;
// Queen, knight, rook, bishop: pushes score this, capturing promotions victim value plus this.
constexpr int SCORE_PROMOTION[4] = {-9401, -30005, -30025, -30050};
// Captures that cannot lose more than 50: victim value plus this, by attacker.
constexpr int SCORE_KNIGHT_CAPTURE_BASE = -9810;
constexpr int SCORE_BISHOP_CAPTURE_BASE = -9815;
constexpr int SCORE_ROOK_CAPTURE_BASE = -10000;
constexpr int SCORE_QUEEN_CAPTURE_BASE = -10440;
constexpr int SCORE_KING_CAPTURE_BASE = -11500;
// Interpositions in check evasions, by piece.
constexpr int SCORE_KNIGHT_INTERPOSE = -30310;
constexpr int SCORE_BISHOP_INTERPOSE = -30315;
constexpr int SCORE_ROOK_INTERPOSE = -30500;
constexpr int SCORE_QUEEN_INTERPOSE = -30940;
// Entries below this are ordered by history counters.
constexpr int ORDER_HISTORY_THRESHOLD = -10000;

}  // namespace vostil
