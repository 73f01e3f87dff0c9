// Shared by the fuzz targets: quiet start-up, a random legal game chosen by the input's
// first bytes, and the checks every target makes after every input.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include "board/make_move.h"
#include "board/position.h"
#include "board/tables.h"
#include "board/unmake_move.h"
#include "movegen/check.h"
#include "movegen/generators.h"
#include "board/parse_coordinate_move.h"
#include "common/log.h"
#include "common/move_text.h"
#include "eval/evaluate.h"
#include "game/engine_control.h"
#include "game/engine_options.h"
#include "game/game_record.h"
#include "game/play_game_move.h"
#include "game/setup_game_position.h"
#include "game/thinking_output.h"
#include "movegen/legal_moves.h"
#include "search/transposition_table.h"

namespace vostil::fuzz {

// Protocol lines and log lines would only slow the run; libFuzzer reports on standard error.
inline void quietStartUp() {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    close(null);
    closeGameLog();
    initTables();
    clearHash();
}

[[noreturn]] inline void fail(const char* what) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

inline void require(bool condition, const char* what) {
    if (!condition) fail(what);
}

// Every legal move of the side to move, in generator order.
inline int legalMoves(Move* out) {
    MoveEntry list[MAX_MOVES_PER_PLY];
    computeCheckInfo(*currentPly);
    MoveEntry* end = generateFullWidth(list, currentPly->checkInfo);
    int count = 0;
    for (MoveEntry* e = list; e != end; ++e)
        if (isLegalMove(e->move)) out[count++] = e->move;
    return count;
}

// Plays a game from the start position, one byte choosing each move, until the bytes run out
// (at most `plies` of them are used) or the game has no move left. Returns the bytes used.
inline size_t playRandomGame(const uint8_t* data, size_t size, size_t plies) {
    if (!setupGamePosition(START_FEN, false)) fail("the start position was refused");
    size_t used = 0;
    Move moves[MAX_MOVES_PER_PLY];
    while (used < size && used < plies) {
        const int count = legalMoves(moves);
        if (count == 0) break;
        playGameMove(moves[data[used++] % count]);
    }
    return used;
}

// Makes and takes back a legal move; every view must agree after each step and the position
// must come back bit for bit.
inline void makeAndTakeBack(Move m) {
    const Position before = pos;
    PlyRecord* const ply = currentPly;
    saveUndoState();
    makeMove(m);
    ++currentPly;
    require(positionIsConsistent(), "views disagree after makeMove");
    --currentPly;
    unmakeMove(m);
    require(currentPly == ply && pos == before, "unmakeMove did not restore the position");
    require(positionIsConsistent(), "views disagree after unmakeMove");
}

// Each conversation starts from a fresh engine's settings, so that a finding replays alone.
inline void freshEngineSettings() {
    gamePositionReady = false;
    movesPerTimeControl = 40;
    incrementMs = moveBudgetMs = 0;
    clockMs = CLOCK_UNKNOWN;
    fixedMoveTimeMs = NO_FIXED_MOVE_TIME;
    searchDepthCap = NO_DEPTH_LIMIT;
    unlimitedTime = searchUntilStopped = false;
    nodeLimit = 0;
    outsideStop = false;
    postThinking = false;
    resetEngineOptions();
    rootChoiceCount = 0;
}

// After a whole conversation: the search unwound, the game within its history and its
// takeback store, and the game position sound with no search move left on it.
inline void requireSoundGameAfterConversation() {
    require(currentPly == PlyRecords, "the search did not unwind its ply records");
    require(!tableFrozen && !pawnCacheFrozen, "the lower lines left the tables read-only");
    require(lineCount >= 1 && lineCount <= MAX_LINE_COUNT, "the number of lines is out of its range");
    require(historyTop - GameHistory <= GAME_HISTORY_LIMIT, "the game outgrew its history");
    const int recorded = int(std::count_if(gameRecord.moves, gameRecord.moves + gameRecord.moveCount,
                                           [](Move m) { return !isHandOver(m); }));
    require(recorded <= int(historyTop - GameHistory) - gameRecord.baseTop,
            "the takeback store holds moves the history does not");
    if (gamePositionReady) {
        require(positionIsConsistent(), "the game position is inconsistent");
        require(std::memcmp(pos.board, pos.rootBoard, sizeof pos.board) == 0, "the search left a move on the board");
    }
}

}  // namespace vostil::fuzz
