// The text log "Vostil.log": one line per insertion sequence, flushed at once.
#pragma once

#include <fstream>
#include <mutex>
#include <sstream>

namespace vostil {

extern std::ofstream gameLog;
extern std::mutex gameLogMutex;

// Writes the parts as one line and flushes; lines of the two threads never interleave.
template <typename... Parts>
void logLine(const Parts&... parts) {
    std::lock_guard<std::mutex> lock(gameLogMutex);
    (gameLog << ... << parts);
    gameLog << '\n';
    gameLog.flush();
}

}  // namespace vostil
