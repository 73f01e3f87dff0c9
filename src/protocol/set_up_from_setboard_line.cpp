// setUpFromSetboardLine: what a "setboard" line does to the game.
#include "game/setup_game_position.h"
#include "protocol/command.h"

namespace vostil {

SetboardOutcome setUpFromSetboardLine(const std::string& text, bool loadBook) {
    if (text.size() > SETBOARD_LIMIT) {
        gamePositionReady = false;
        return SetboardOutcome::Refused;
    }
    if (setupGamePosition(text.c_str(), loadBook)) return SetboardOutcome::Accepted;
    return gamePositionReady ? SetboardOutcome::UnrecognisedEpdMove : SetboardOutcome::Refused;
}

}  // namespace vostil
