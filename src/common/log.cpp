// The log stream, opened before the program entry runs and closed at exit.
#include "common/log.h"

namespace vostil {

std::ofstream gameLog("Vostil.log", std::ios::out | std::ios::trunc);
std::mutex gameLogMutex;

}  // namespace vostil
