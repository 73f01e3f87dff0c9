// Draws by material, by the fifty-move rule and by repetition.
#pragma once

#include "board/types.h"

namespace vostil {

// count earlier occurrences of the position at historyTop make a repetition.
bool isDraw(int count);
// Same question for the position a quiet move would reach, without making it.
bool moveRepeats(Move move, int count);

}  // namespace vostil
