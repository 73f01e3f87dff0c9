// The text log "Vostil.log": one line per insertion sequence, flushed at once. An engine that
// finds the log of its folder in use by another engine writes "Vostil-2.log", "Vostil-3.log", ...
#pragma once

#include <mutex>
#include <ostream>

namespace vostil {

// Names tried for the log, "Vostil.log" included; with every one in use the engine plays on
// without a log.
constexpr int LOG_NAME_ATTEMPTS = 99;

extern std::ostream gameLog;
extern std::mutex gameLogMutex;

// Opens the first log of the current folder that no other process holds, emptied; the engine
// does it first of all, unless only asked for its usage or version (which must not empty the
// log of an earlier game). Without one, lines are dropped.
void openGameLog();
// Closes the log and releases it to other engines; lines are dropped until it is opened again.
void closeGameLog();
// The name of the open log, or "" when there is none.
const char* gameLogName();

// Writes the parts as one line and flushes; lines of the two threads never interleave.
template <typename... Parts>
void logLine(const Parts&... parts) {
    std::lock_guard<std::mutex> lock(gameLogMutex);
    (gameLog << ... << parts);
    gameLog << '\n';
    gameLog.flush();
}

}  // namespace vostil
