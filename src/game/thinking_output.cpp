// Thinking lines in the protocol's form, printed by the engine thread as each iteration ends.
#include "game/thinking_output.h"

#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "board/position.h"
#include "common/move_text.h"
#include "common/output.h"
#include "common/types.h"
#include "search/search.h"
#include "search/transposition_table.h"

namespace vostil {

std::atomic<bool> postThinking{false};
std::atomic<bool> analysisMode{false};

namespace {

using Clock = std::chrono::steady_clock;
// Written by the engine thread at each search start, read by the main thread for a status.
std::atomic<int64_t> searchStartTicks{0};
std::atomic<uint64_t> searchStartNodes{0};
// The search time after which the next "currmove" may be told (engine thread only).
uint32_t nextRootMoveReportMs = 0;
constexpr uint32_t ROOT_MOVE_REPORT_START_MS = 1000;
constexpr uint32_t ROOT_MOVE_REPORT_INTERVAL_MS = 500;

constexpr int MATE_REPORT = 100000;

}  // namespace

int thinkingScore(int score) {
    if (score >= MATE_THRESHOLD) return MATE_REPORT + (MATE_SCORE - score + 1) / 2;
    if (score <= -MATE_THRESHOLD) return -MATE_REPORT - (MATE_SCORE + score) / 2;
    return score;
}

namespace {

// The length of the line's leading moves: the interfaces read every word of the line as a
// move, so the line's closing mark ("#", a stalemate, a gap in the table) is left out; the
// log keeps it.
int movesLength(const char* line) {
    int length = 0;
    for (const char* word = line; *word >= 'a' && *word <= 'h';) {
        const char* end = std::strchr(word, ' ');
        if (end == nullptr) return int(std::strlen(line));
        length = int(end - line);
        word = end + 1;
    }
    return length;
}

}  // namespace

void formatThinkingLine(char* out, size_t size, int depth, int score, uint32_t centiseconds,
                        uint64_t nodes, const char* line) {
    const int length = movesLength(line);
    std::snprintf(out, size, "%d %d %" PRIu32 " %" PRIu64 "%s%.*s\n", depth, thinkingScore(score),
                  centiseconds, nodes, length ? " " : "", length, line);
}

void formatUciInfoLine(char* out, size_t size, const UciInfo& info, const char* line) {
    int score = info.score;
    const int reported = thinkingScore(score);
    const char* kind = "cp";
    if (reported > MATE_REPORT) {
        kind = "mate";
        score = reported - MATE_REPORT;
    } else if (reported <= -MATE_REPORT) {
        kind = "mate";
        score = reported + MATE_REPORT;
    }
    char rank[24] = "";
    if (info.lineNumber > 0) std::snprintf(rank, sizeof rank, " multipv %d", info.lineNumber);
    const uint64_t nps = info.nodes * 1000 / (info.milliseconds ? info.milliseconds : 1);
    const int length = movesLength(line);
    std::snprintf(out, size,
                  "info depth %d seldepth %d%s score %s %d nodes %" PRIu64 " time %" PRIu32 " nps %" PRIu64
                  " hashfull %d%s%.*s\n",
                  info.depth, info.selectiveDepth, rank, kind, score, info.nodes, info.milliseconds, nps,
                  info.hashfull, length ? " pv " : "", length, line);
}

void startSearchClock() {
    searchStartTicks.store(Clock::now().time_since_epoch().count(), std::memory_order_relaxed);
    searchStartNodes.store(nodeCount, std::memory_order_relaxed);
    searchProgress.nodes.store(nodeCount, std::memory_order_relaxed);
    nextRootMoveReportMs = ROOT_MOVE_REPORT_START_MS;
}

uint32_t searchMilliseconds() {
    const Clock::duration elapsed =
        Clock::now().time_since_epoch() - Clock::duration(searchStartTicks.load(std::memory_order_relaxed));
    return uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

uint32_t searchCentiseconds() { return searchMilliseconds() / 10; }

namespace {

// Nodes since the search started, counted up to now (engine thread only).
uint64_t searchNodesNow() { return nodeCount - searchStartNodes.load(std::memory_order_relaxed); }

}  // namespace

uint64_t searchNodesSoFar() {
    return searchProgress.nodes.load(std::memory_order_relaxed) -
           searchStartNodes.load(std::memory_order_relaxed);
}

void reportIteration(int depth, int score, const char* line, bool completed, int) {
    const bool analysing = analysisMode.load(std::memory_order_relaxed);
    if (analysing ? !completed : !postThinking.load(std::memory_order_relaxed)) return;
    // The line of a deep search is long; what does not fit is cut, never allocated.
    static char text[PV_TEXT_SIZE + 64];
    formatThinkingLine(text, sizeof text, depth, score, searchCentiseconds(), searchNodesNow(), line);
    sendLine(text);
}

void reportUciIteration(int depth, int score, const char* line, bool, int lineNumber) {
    static char text[PV_TEXT_SIZE + 160];
    // An iteration the table answered searched nothing, but its line is as deep as the iteration.
    const UciInfo info{depth,          std::max(depth, selectiveDepth), lineNumber,        score,
                       searchMilliseconds(), searchNodesNow(),           tablePermilleUsed()};
    formatUciInfoLine(text, sizeof text, info, line);
    sendLine(text);
}

void reportUciRootMove(int depth, Move move, int number) {
    const uint32_t ms = searchMilliseconds();
    if (ms < nextRootMoveReportMs) return;
    nextRootMoveReportMs = ms + ROOT_MOVE_REPORT_INTERVAL_MS;
    char text[64];
    int length = std::snprintf(text, sizeof text, "info depth %d currmove ", depth);
    char* end = formatCoordinateMove(text + length, move);
    std::snprintf(end, sizeof text - size_t(end - text), " currmovenumber %d\n", number);
    sendLine(text);
}

}  // namespace vostil
