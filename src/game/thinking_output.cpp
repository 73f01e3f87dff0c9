// Thinking lines in the protocol's form, printed by the engine thread as each iteration ends.
#include "game/thinking_output.h"

#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "board/position.h"
#include "common/output.h"
#include "common/types.h"
#include "search/search.h"

namespace vostil {

std::atomic<bool> postThinking{false};
std::atomic<bool> analysisMode{false};

namespace {

using Clock = std::chrono::steady_clock;
// Written by the engine thread at each search start, read by the main thread for a status.
std::atomic<int64_t> searchStartTicks{0};
std::atomic<uint64_t> searchStartNodes{0};

constexpr int MATE_REPORT = 100000;
// A score this close to the mate score is a mate within the deepest line the search makes.
constexpr int MATE_THRESHOLD = MATE_SCORE - PLY_RECORD_COUNT;

}  // namespace

int thinkingScore(int score) {
    if (score >= MATE_THRESHOLD) return MATE_REPORT + (MATE_SCORE - score + 1) / 2;
    if (score <= -MATE_THRESHOLD) return -MATE_REPORT - (MATE_SCORE + score) / 2;
    return score;
}

void formatThinkingLine(char* out, size_t size, int depth, int score, uint32_t centiseconds,
                        uint64_t nodes, const char* line) {
    size_t length = std::strlen(line);
    while (length > 0 && line[length - 1] == ' ') --length;
    std::snprintf(out, size, "%d %d %" PRIu32 " %" PRIu64 " %.*s\n", depth, thinkingScore(score),
                  centiseconds, nodes, int(length), line);
}

void startSearchClock() {
    searchStartTicks.store(Clock::now().time_since_epoch().count(), std::memory_order_relaxed);
    searchStartNodes.store(nodeCount, std::memory_order_relaxed);
    searchProgress.nodes.store(nodeCount, std::memory_order_relaxed);
}

uint32_t searchCentiseconds() {
    const Clock::duration elapsed =
        Clock::now().time_since_epoch() - Clock::duration(searchStartTicks.load(std::memory_order_relaxed));
    return uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count() / 10);
}

uint64_t searchNodesSoFar() {
    return searchProgress.nodes.load(std::memory_order_relaxed) -
           searchStartNodes.load(std::memory_order_relaxed);
}

void reportIteration(int depth, int score, const char* line, bool completed) {
    const bool analysing = analysisMode.load(std::memory_order_relaxed);
    if (analysing ? !completed : !postThinking.load(std::memory_order_relaxed)) return;
    // The line of a deep search is long; what does not fit is cut, never allocated.
    static char text[PV_TEXT_SIZE + 64];
    formatThinkingLine(text, sizeof text, depth, score, searchCentiseconds(),
                       nodeCount - searchStartNodes.load(std::memory_order_relaxed), line);
    sendLine(text);
}

}  // namespace vostil
