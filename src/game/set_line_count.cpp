// The "MultiPV" option: how many lines each iteration tells.
#include <algorithm>

#include "game/engine_control.h"
#include "game/engine_options.h"

namespace vostil {

bool setLineCountOption(std::string_view value) {
    long long lines = 0;
    if (!readOptionNumber(value, lines)) return false;
    lineCount = int(std::clamp<long long>(lines, 1, MAX_LINE_COUNT));
    return true;
}

}  // namespace vostil
