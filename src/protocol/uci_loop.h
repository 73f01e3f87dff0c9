// The UCI front end: the same engine and game as the xboard command loop, another protocol.
#pragma once

#include <string>
#include <string_view>

#include "game/engine_control.h"
#include "protocol/input_reader.h"

namespace vostil {

// Whether the first word of the input chooses UCI: a command only UCI has. An interface may
// send its options or a readiness question before "uci" (scid waits for the engine to speak
// first); "go" and "quit", which xboard has too, keep the xboard protocol.
bool choosesUci(std::string_view firstWord);
// Runs the whole UCI conversation from its first word, which has been read and chose UCI: its
// line is acted on like any other, then every line until "quit" or the end of the input.
void uciLoop(InputReader& input, const std::string& firstWord);

// A "go" line's arguments as the search request for the side to move. Unknown words and
// numbers that do not parse are passed over.
SearchRequest readGoArguments(std::string_view arguments, int sideToMove);
// A "position" line's arguments: the game set up as they say, or an "info string" naming
// what was refused, the game left as it was.
void setUpUciPosition(std::string_view arguments);

}  // namespace vostil
