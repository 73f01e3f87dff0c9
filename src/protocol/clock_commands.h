// The arguments of "time", "level" and "st", read word by word from any reader that can read a
// word and put one back (the engine's standard input, or a test's text).
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "game/engine_control.h"

namespace vostil {

// A whole word as a decimal integer (clamped to 32 bits), as "%d" reads a number.
bool parseInteger(const std::string& word, long long& value);

// Reads the next word as a number; a word that is no number stays in the input.
template <class Reader>
bool readInteger(Reader& in, long long& value) {
    std::string word;
    if (!in.readWord(word)) return false;
    if (parseInteger(word, value)) return true;
    in.pushBack(word);
    return false;
}

// Reads the next word as a number of seconds, fractions allowed ("st"); a word that is no
// number stays in the input.
template <class Reader>
bool readSeconds(Reader& in, double& seconds) {
    std::string word;
    if (!in.readWord(word)) return false;
    char* end = nullptr;
    seconds = std::strtod(word.c_str(), &end);
    if (end != word.c_str() && *end == '\0') return true;
    in.pushBack(word);
    return false;
}

// "time T [otim O]": the new budget and clock from T (centiseconds). Only the opponent's-time
// command that belongs to it is consumed; any other word stays in the input.
template <class Reader>
void readTimeArguments(Reader& in, uint32_t increment, int32_t movesPerControl,
                       uint32_t& budgetMs, uint32_t& clock) {
    long long t;
    if (!readInteger(in, t)) return;
    budgetMs = budgetForClock(int32_t(t), increment, movesPerControl);
    clock = t <= 0 ? 0u : uint32_t(std::min<long long>(t * 10, CLOCK_UNKNOWN - 1));
    std::string next;
    if (!in.readWord(next)) return;
    if (next != "otim") {
        in.pushBack(next);
        return;
    }
    long long opponent;
    readInteger(in, opponent);
}

// A level's increment, whole or fractional seconds; a word that is no number stays in the input.
template <class Reader>
void readIncrement(Reader& in, uint32_t& increment) {
    std::string text;
    if (!in.readWord(text)) return;
    char* end = nullptr;
    const double inc = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || std::isnan(inc)) {
        in.pushBack(text);
        return;
    }
    increment = inc >= 0.001 ? uint32_t(std::min(inc, 3.6e6) * 1000.0 + 0.5) : 0u;
}

// "level M B I": B as minutes or minutes:seconds, I as whole or fractional seconds. A word
// that does not fit its place stays in the input. The base time is the engine's clock, and
// gives the budget, until a "time" says otherwise: an interface may send no clock at all.
template <class Reader>
void readLevelArguments(Reader& in, int32_t& movesPerControl, uint32_t& increment,
                        uint32_t& budgetMs, uint32_t& clock) {
    long long moves;
    if (!readInteger(in, moves)) return;
    movesPerControl = moves <= 0 ? 40 : int32_t(moves);

    std::string base;
    if (!in.readWord(base)) return;
    int minutes, seconds = 0;
    char tail;
    if (std::sscanf(base.c_str(), "%d:%d%c", &minutes, &seconds, &tail) != 2 &&
        std::sscanf(base.c_str(), "%d%c", &minutes, &tail) != 1) {
        in.pushBack(base);
        return;
    }
    readIncrement(in, increment);
    const int32_t t = int32_t(std::clamp<long long>((minutes * 60LL + seconds) * 100, 0, INT32_MAX));
    budgetMs = budgetForClock(t, increment, movesPerControl);
    clock = uint32_t(std::min<long long>(t * 10LL, CLOCK_UNKNOWN - 1));
}

}  // namespace vostil
