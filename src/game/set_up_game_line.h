// A game as an interface sends it whole before each of the engine's moves: a base position
// and every move played from it.
#pragma once

#include <string_view>

namespace vostil {

enum class GameLineOutcome { Accepted, RefusedPosition, IllegalMove };

struct GameLineResult {
    GameLineOutcome outcome;
    std::string_view refused;  // the move refused (IllegalMove), a view into `moves`
};

// Sets the game up from FEN text and plays `moves` (coordinate words separated by blanks)
// through the game-move path, so that draw detection sees every position of the game. The
// table and the book in it stay as they are. Refused, the game is exactly as it was before.
GameLineResult setUpGameLine(const char* fen, std::string_view moves);

}  // namespace vostil
