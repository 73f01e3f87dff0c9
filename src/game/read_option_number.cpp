// The number in an option's value, as both protocols' option commands give it.
#include <charconv>
#include <limits>

#include "game/engine_options.h"

namespace vostil {

bool readOptionNumber(std::string_view value, long long& number) {
    while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\r')) value.remove_suffix(1);
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (value.empty() || error == std::errc::invalid_argument || end != value.data() + value.size()) return false;
    // Too large a number to read still means "as much as there may be" (or as little).
    if (error == std::errc::result_out_of_range)
        number = value.front() == '-' ? std::numeric_limits<long long>::min() : std::numeric_limits<long long>::max();
    return true;
}

}  // namespace vostil
