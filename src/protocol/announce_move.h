// The engine's turn: choose a move, play it, announce it and any result.
#pragma once

namespace vostil {

void thinkAndMove();

}  // namespace vostil
