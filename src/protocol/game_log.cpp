// The log stream, opened before the program entry runs and closed at exit.
#include "protocol/game_log.h"

namespace vostil {

std::ofstream gameLog("Vostil.log", std::ios::out | std::ios::trunc);
std::mutex gameLogMutex;

}  // namespace vostil
