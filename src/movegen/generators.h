// The three pseudo-legal generators, one per side each, reached through side-indexed tables.
#pragma once

#include "board/position.h"
#include "common/move.h"

namespace vostil {

using MoveGenerator = MoveEntry* (*)(MoveEntry* list);
using EvasionGenerator = MoveEntry* (*)(MoveEntry* list, const CheckInfo& info);

// Indexed by the side to move (BLACK 0, WHITE 1).
extern const MoveGenerator GENERATE_MOVES[2];
extern const MoveGenerator GENERATE_CAPTURES[2];
extern const EvasionGenerator GENERATE_EVASIONS[2];

// Every pseudo-legal move when not in check.
inline MoveEntry* generateMoves(MoveEntry* list) { return GENERATE_MOVES[pos.sideToMove](list); }
// Captures, en passant and the queen promotion push, losing ones dropped.
inline MoveEntry* generateCaptures(MoveEntry* list) {
    return GENERATE_CAPTURES[pos.sideToMove](list);
}
// Answers to a check; info.checkers must not be empty.
inline MoveEntry* generateEvasions(MoveEntry* list, const CheckInfo& info) {
    return GENERATE_EVASIONS[pos.sideToMove](list, info);
}

// The list of a full-width node: the answers to a check, or every move when not in check.
inline MoveEntry* generateFullWidth(MoveEntry* list, const CheckInfo& info) {
    return info.checkers ? generateEvasions(list, info) : generateMoves(list);
}

}  // namespace vostil
