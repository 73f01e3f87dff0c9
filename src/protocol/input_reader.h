// Reads the protocol word by word from standard input (or any stream), as "%s" would,
// without any limit on the word's length (over-long words are the caller's to refuse).
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace vostil {

// Longer words and lines are consumed whole but only this much of them is kept.
constexpr size_t MAX_KEPT_LENGTH = 65536;

class InputReader {
public:
    explicit InputReader(std::FILE* source = stdin) : source_(source) {}
    // Skips white space and reads one word; false at the end of input.
    bool readWord(std::string& word);
    // Puts a word back to be read again next.
    void pushBack(const std::string& word);
    // Reads the rest of the current line, its line end included, keeping at most `keep`
    // characters before the line end; false at the end of input with nothing read.
    bool readRestOfLine(std::string& line, size_t keep = MAX_KEPT_LENGTH);

private:
    std::FILE* source_;
    std::string pending_;
    bool hasPending_ = false;
};

}  // namespace vostil
