// The "MultiPV" option: how many lines each iteration tells.
#include <algorithm>
#include <charconv>

#include "game/engine_control.h"

namespace vostil {

bool setLineCountOption(std::string_view value) {
    while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\r')) value.remove_suffix(1);
    long long lines = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), lines);
    if (value.empty() || error == std::errc::invalid_argument || end != value.data() + value.size()) return false;
    // Too large a number to read still means "as many as there may be".
    if (error == std::errc::result_out_of_range) lines = value.front() == '-' ? 1 : MAX_LINE_COUNT;
    lineCount = int(std::clamp<long long>(lines, 1, MAX_LINE_COUNT));
    return true;
}

}  // namespace vostil
