// "white"/"black": the side to move set by the interface.
#pragma once

namespace vostil {

// Hands the move to `side`, unless that side could then take the enemy king. An en-passant
// square belongs to the side that was to move: handed to the other side it would let a pawn
// "capture" onto its own side's double step and corrupt the board, so it goes.
void handMoveTo(int side);

}  // namespace vostil
