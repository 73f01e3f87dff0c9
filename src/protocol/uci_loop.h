// The UCI front end: the same engine and game as the xboard command loop, another protocol.
#pragma once

#include <string_view>

#include "game/engine_control.h"
#include "protocol/input_reader.h"

namespace vostil {

// Runs the whole UCI conversation after its first word, "uci", until "quit" or the end of
// the input.
void uciLoop(InputReader& input);

// A "go" line's arguments as the search request for the side to move. Unknown words and
// numbers that do not parse are passed over.
SearchRequest readGoArguments(std::string_view arguments, int sideToMove);
// A "position" line's arguments: the game set up as they say, or an "info string" naming
// what was refused, the game left as it was.
void setUpUciPosition(std::string_view arguments);

}  // namespace vostil
