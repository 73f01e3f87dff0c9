// Draws by material, by the fifty-move rule and by repetition.
#pragma once

#include "common/types.h"

namespace vostil {

// Earlier occurrences that make a draw: at the root the game itself must reach a third
// occurrence; inside the tree one earlier occurrence is enough, as the side that could avoid
// it would.
constexpr int ROOT_REPETITION_COUNT = 2;
constexpr int INTERIOR_REPETITION_COUNT = 1;

// count earlier occurrences of the position at historyTop make a repetition.
bool isDraw(int count);
// Same question for the position a quiet move would reach, without making it.
bool moveRepeats(Move move, int count);

}  // namespace vostil
