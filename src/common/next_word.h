// Words of a line already read: blank-separated, taken off the front without copying.
#pragma once

#include <algorithm>
#include <string_view>

namespace vostil {

constexpr std::string_view WORD_BLANKS = " \t\r\n";

// The next word of `text`, taken off its front; empty at the end.
inline std::string_view nextWord(std::string_view& text) {
    const size_t start = std::min(text.find_first_not_of(WORD_BLANKS), text.size());
    const size_t end = std::min(text.find_first_of(WORD_BLANKS, start), text.size());
    const std::string_view word = text.substr(start, end - start);
    text.remove_prefix(end);
    return word;
}

}  // namespace vostil
