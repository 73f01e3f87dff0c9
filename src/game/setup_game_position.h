// A new game position: the board set up, the search's memory reset, the book loaded for the
// start position, an EPD operand resolved.
#pragma once

namespace vostil {

// True when the game has a position to play on (a setup succeeded since the last refusal).
extern bool gamePositionReady;

// Whether a book that cannot be loaded is told to the user or only logged.
enum class BookErrors { Tell, LogOnly };

// Sets up the game from FEN/EPD text. False when the text was refused (no game position is
// left) or when its EPD operand names no move (the position stands; a warning is sent).
bool setupGamePosition(const char* text, bool loadBook, BookErrors errors = BookErrors::Tell);
// The engine as every protocol starts it: the engine thread parked, the tables built and
// cleared, and the game at the initial position with its book (a missing one only logged;
// whether it was loaded is in the game record).
void prepareEngine();

}  // namespace vostil
