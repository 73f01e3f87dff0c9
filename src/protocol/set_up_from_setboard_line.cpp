// setUpFromSetboardLine: what a "setboard" line does to the game.
#include <algorithm>

#include "game/setup_game_position.h"
#include "protocol/command.h"

namespace vostil {

namespace {

// A placement of empty squares only ("8/8/8/8/8/8/8/8"): no position anyone plays.
bool placesNoPiece(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return false;
    const size_t end = std::min(text.find_first_of(" \t\r\n", first), text.size());
    return end > first && text.find_first_not_of("12345678/", first) >= end;
}

}  // namespace

SetboardOutcome setUpFromSetboardLine(const std::string& text, bool loadBook) {
    if (text.size() > SETBOARD_LIMIT) {
        gamePositionReady = false;
        return SetboardOutcome::Refused;
    }
    if (setupGamePosition(text.c_str(), loadBook)) return SetboardOutcome::Accepted;
    if (gamePositionReady) return SetboardOutcome::UnrecognisedEpdMove;
    return placesNoPiece(text) ? SetboardOutcome::EmptyBoard : SetboardOutcome::Refused;
}

}  // namespace vostil
