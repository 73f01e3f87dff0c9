// readGoArguments: the words of "go" and the numbers after them.
#include <charconv>
#include <cstdint>

#include "board/parse_coordinate_move.h"
#include "common/next_word.h"
#include "common/types.h"
#include "movegen/legal_moves.h"
#include "protocol/uci_loop.h"

namespace vostil {

namespace {

// Takes a whole number off the front of `text`; false, and nothing taken, when the next
// word is not one.
bool takeNumber(std::string_view& text, int64_t& value) {
    std::string_view rest = text;
    const std::string_view word = nextWord(rest);
    int64_t number = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), number);
    if (word.empty() || error != std::errc() || end != word.data() + word.size()) return false;
    value = number;
    text = rest;
    return true;
}

// The legal move of the game position a word names, or 0.
Move legalMoveNamed(std::string_view word) {
    char text[8];
    if (word.size() >= sizeof text) return 0;
    word.copy(text, word.size());
    text[word.size()] = '\0';
    const Move m = parseCoordinateMove(text, MoveSource::Root);
    return m && isLegalMove(m) ? m : 0;
}

}  // namespace

SearchRequest readGoArguments(std::string_view arguments, int sideToMove) {
    SearchRequest request;
    const bool white = sideToMove == WHITE;
    int64_t n = 0;
    bool rootMoves = false;  // the words after "searchmoves"
    for (std::string_view word = nextWord(arguments); !word.empty(); word = nextWord(arguments)) {
        if (word == "searchmoves") {
            rootMoves = true;
        } else if (word == "infinite" || word == "ponder") {
            request.untilStopped = true;
        } else if (word == (white ? "wtime" : "btime")) {
            if (takeNumber(arguments, n)) {
                request.hasClock = true;
                request.clockMs = n;
            }
        } else if (word == (white ? "winc" : "binc")) {
            if (takeNumber(arguments, n)) request.incrementMs = n;
        } else if (word == "movestogo") {
            if (takeNumber(arguments, n)) request.movesToGo = n;
        } else if (word == "movetime") {
            if (takeNumber(arguments, n)) {
                request.hasMoveTime = true;
                request.moveTimeMs = n;
            }
        } else if (word == "depth") {
            if (takeNumber(arguments, n)) request.depth = n;
        } else if (word == "nodes") {
            if (takeNumber(arguments, n)) request.nodes = n > 0 ? uint64_t(n) : 0;
        } else if (rootMoves) {
            // Moves that are illegal here or no moves at all are passed over.
            const Move m = legalMoveNamed(word);
            if (m && request.searchMoveCount < MAX_ROOT_CHOICES) request.searchMoves[request.searchMoveCount++] = m;
        }
        // The opponent's clock, "mate" and their words play no part.
    }
    return request;
}

}  // namespace vostil
