// The opening book: lines of moves from the start position, stored as table entries.
#pragma once

#include <cstdint>

#include "common/types.h"

namespace vostil {

constexpr const char* BOOK_FILE_NAME = "Vostil.book";
constexpr int BOOK_LINE_MAX = 64;

// Key that setup gives the start placement.
uint64_t startPositionKey();
bool loadOpeningBook(const char* fileName);
bool storeBookLine(const Move* moves, int count);

}  // namespace vostil
