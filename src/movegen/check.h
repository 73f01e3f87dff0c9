// Who gives check, and whether a move just made left the mover's king attacked.
#pragma once

#include "board/position.h"

namespace vostil {

// Fills the checkers and check lines of the side to move into the record's CheckInfo.
void computeCheckInfo(PlyRecord& record);
// After makeMove: is the king of `side` (the side that moved) attacked, or for castling
// was its start or crossed square attacked, or does it end beside the enemy king?
bool isKingAttacked(Move m, int side);

}  // namespace vostil
