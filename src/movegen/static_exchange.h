// Exchange estimate of a capture on one square, as an ordering score.
#pragma once

#include "common/types.h"

namespace vostil {

// mover must belong to the side to move; the sliders are rooks+queens and bishops+queens
// of both colours.
OrderScore staticExchange(PieceCode mover, Square from, Square to, Bitboard rookMovers,
                          Bitboard bishopMovers);

}  // namespace vostil
