// thinkAndMove: chooses the engine's move, plays it in the game and announces it with any
// result it brings.
#include "protocol/announce_move.h"

#include "board/position.h"
#include "common/log.h"
#include "common/move.h"
#include "common/move_text.h"
#include "common/output.h"
#include "game/choose_move.h"
#include "game/engine_control.h"
#include "game/play_game_move.h"
#include "movegen/legal_moves.h"
#include "search/draw_detection.h"

namespace vostil {

namespace {

void sendMove(Move m) {
    char line[16] = "move ";
    char* end = formatCoordinateMove(line + 5, m);
    end[0] = '\n';
    end[1] = '\0';
    sendLine(line);
}

// After our move: is the side now to move checkmated?
bool opponentIsMated() {
    return firstLegalMove() == 0 && currentPly->checkInfo.checkers != 0;
}

// The result line a chosen move brings, once it has been played (nullptr for none).
const char* resultAfter(const MoveChoice& choice) {
    if (choice.score == MATE_SCORE - 1 && opponentIsMated())
        return pos.sideToMove == BLACK ? "1-0 {Vostil mates 1}\n" : "0-1 {Vostil mates 1}\n";
    if (isDraw(ROOT_REPETITION_COUNT)) return "1/2-1/2 {Draw by ...(3)}\n";
    return nullptr;
}

}  // namespace

void thinkAndMove() {
    const MoveChoice choice = chooseMove();
    const Move m = choice.move;
    char text[8];

    if (choice.fromBook) {
        playGameMove(m);
        sendMove(m);
        formatCoordinateMove(text, m);
        logLine("-M: move(book): ", text);
        engineState = ENGINE_AWAITING_MOVE;
        return;
    }

    const char* result = nullptr;
    if (m == RESULT_MATED) {
        result = pos.sideToMove == BLACK ? "1-0 {Vostil mated 0}\n" : "0-1 {Vostil mated 0}\n";
    } else if (m == RESULT_STALEMATE) {
        result = "1/2-1/2 {Draw by stalemate (1)}\n";
    } else if (m == RESULT_REPETITION) {
        result = "1/2-1/2 {Draw by repetition (2)}\n";
    } else {
        playGameMove(m);
        sendMove(m);
        formatCoordinateMove(text, m);
        logLine("move ", text, "\tscore: ", choice.score);
        result = resultAfter(choice);
    }
    if (result) sendLine(result);

    engineState = ENGINE_AWAITING_MOVE;
    logLine("- NO ponder move");
    startEngine(NO_DEPTH_LIMIT);
}

}  // namespace vostil
