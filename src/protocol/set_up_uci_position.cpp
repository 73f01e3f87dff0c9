// setUpUciPosition: "startpos" or "fen" with its fields, then "moves" and the game's moves.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "board/position.h"
#include "common/next_word.h"
#include "common/output.h"
#include "game/set_up_game_line.h"
#include "protocol/uci_loop.h"

namespace vostil {

namespace {

// Longer than any FEN: the six fields of a full board run to about 90 characters.
constexpr size_t FEN_TEXT_LIMIT = 160;

void refuse(const char* what, std::string_view text) {
    char line[FEN_TEXT_LIMIT + 64];
    std::snprintf(line, sizeof line, "info string Illegal %s: %.*s\n", what,
                  int(std::min<size_t>(text.size(), FEN_TEXT_LIMIT)), text.data());
    sendLine(line);
}

// The FEN fields up to "moves", joined by single blanks into `fen`; false when too long.
bool takeFen(std::string_view& text, char (&fen)[FEN_TEXT_LIMIT + 1]) {
    size_t length = 0;
    for (;;) {
        std::string_view rest = text;
        const std::string_view word = nextWord(rest);
        if (word.empty() || word == "moves") break;
        if (length + (length ? 1 : 0) + word.size() > FEN_TEXT_LIMIT) return false;
        if (length) fen[length++] = ' ';
        std::memcpy(fen + length, word.data(), word.size());
        length += word.size();
        text = rest;
    }
    fen[length] = '\0';
    return length > 0;
}

}  // namespace

void setUpUciPosition(std::string_view arguments) {
    static char fen[FEN_TEXT_LIMIT + 1];
    const std::string_view given = arguments.substr(std::min(arguments.find_first_not_of(WORD_BLANKS), arguments.size()));
    const std::string_view kind = nextWord(arguments);
    const char* text = nullptr;
    if (kind == "startpos") {
        text = START_FEN;
    } else if (kind == "fen" && takeFen(arguments, fen)) {
        text = fen;
    } else {
        refuse("position", given);
        return;
    }
    // Only "moves" may follow the position; without it there are none.
    std::string_view moves;
    if (nextWord(arguments) == "moves") moves = arguments;

    const GameLineResult result = setUpGameLine(text, moves);
    if (result.outcome == GameLineOutcome::RefusedPosition) refuse("position", text);
    else if (result.outcome == GameLineOutcome::IllegalMove) refuse("move", result.refused);
}

}  // namespace vostil
