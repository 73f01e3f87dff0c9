#include "protocol/input_reader.h"

#include <cctype>

namespace vostil {

bool InputReader::readWord(std::string& word) {
    if (hasPending_) {
        hasPending_ = false;
        word = pending_;
        return true;
    }
    word.clear();
    int c;
    do {
        c = std::getc(source_);
        if (c == EOF) return false;
    } while (std::isspace(c));
    while (c != EOF && !std::isspace(c)) {
        if (word.size() < MAX_KEPT_LENGTH) word.push_back(char(c));
        c = std::getc(source_);
    }
    // The word's terminator stays in the input, so "setboard" still sees its line end.
    if (c != EOF) std::ungetc(c, source_);
    return true;
}

void InputReader::pushBack(const std::string& word) {
    pending_ = word;
    hasPending_ = true;
}

bool InputReader::readRestOfLine(std::string& line, size_t keep) {
    line.clear();
    int c;
    while ((c = std::getc(source_)) != EOF) {
        if (line.size() < keep || c == '\n') line.push_back(char(c));
        if (c == '\n') break;
    }
    return !line.empty();
}

}  // namespace vostil
