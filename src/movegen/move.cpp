// Piece values for move ordering and the move stack shared by all plies.
#include "movegen/move.h"

namespace vostil {

// By PieceCode: empty, then white/black pawn, knight, bishop, rook, queen, king.
const int PIECE_VALUE[13] = {0, 100, 100, 310, 310, 315, 315, 500, 500, 940, 940, 2000, 2000};

MoveEntry MoveStack[MOVE_STACK_SIZE];

}  // namespace vostil
