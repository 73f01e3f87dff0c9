// Coordinate move text (e2e4, e7e8q; castling as the king's move) and square text.
#pragma once

#include "common/types.h"

namespace vostil {

constexpr bool isFileLetter(char c) { return c >= 'a' && c <= 'h'; }
constexpr bool isRankDigit(char c) { return c >= '1' && c <= '8'; }
// The square a file letter and a rank digit name; both must have been checked.
constexpr Square squareOf(char file, char rank) { return (file - 'a') + 8 * ('8' - rank); }

// Writes the text and a terminating zero (buffer of at least 6 bytes); returns the zero's
// position so callers can append.
char* formatCoordinateMove(char* out, Move m);

}  // namespace vostil
