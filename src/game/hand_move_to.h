// "white"/"black": the side to move set by the interface.
#pragma once

namespace vostil {

// Hands the move to `side`, unless that side could then take the enemy king. An en-passant
// square belongs to the side that was to move: handed to the other side it would let a pawn
// "capture" onto its own side's double step and corrupt the board, so it goes.
// The game records it, so that takebacks reach back across it; handed straight back, the
// move returns to the position before, its en-passant square included.
void handMoveTo(int side);
// The bare change, as a replay of the record makes it again.
void giveMoveTo(int side);

}  // namespace vostil
