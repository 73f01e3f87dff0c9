#include "protocol/clock_commands.h"

#include <cerrno>
#include <climits>

namespace vostil {

bool parseInteger(const std::string& word, long long& value) {
    if (word.empty()) return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtoll(word.c_str(), &end, 10);
    if (end == word.c_str() || *end != '\0') return false;
    if (errno == ERANGE || value > INT32_MAX) value = value < 0 ? INT32_MIN : INT32_MAX;
    if (value < INT32_MIN) value = INT32_MIN;
    return true;
}

}  // namespace vostil
