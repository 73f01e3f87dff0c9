// Perft: the leaf count of the legal move tree, the proof of the move generator.
#pragma once

#include <cstdint>

#include "common/move.h"

namespace vostil {

// Counts the legal leaves `depth` plies below the current position, walking the tree exactly
// as the search does (check info, the generator the node needs, the undo snapshot, make, the
// legality test for the side that moved, unmake). `list` is where this node's moves go.
uint64_t perft(int depth, MoveEntry* list);

}  // namespace vostil
