// The command loop: start-up handshake, then one word at a time, dispatched in a fixed order.
#include "protocol/command_loop.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "board/parse_coordinate_move.h"
#include "board/position.h"
#include "board/tables.h"
#include "common/log.h"
#include "common/output.h"
#include "game/engine_control.h"
#include "game/play_game_move.h"
#include "game/setup_game_position.h"
#include "movegen/check.h"
#include "movegen/legal_moves.h"
#include "protocol/announce_move.h"
#include "protocol/clock_commands.h"
#include "protocol/input_reader.h"
#include "search/transposition_table.h"

namespace vostil {

namespace {

constexpr size_t WORD_LIMIT = 255;      // what the command buffer holds
constexpr size_t SETBOARD_LIMIT = 254;  // the rest of a "setboard" line, line end included

InputReader input;

bool hasPrefix(const std::string& word, const char* prefix) {
    return word.compare(0, std::strlen(prefix), prefix) == 0;
}

void handleTime() { readTimeArguments(input, incrementMs, movesPerTimeControl, moveBudgetMs, clockMs); }

void handleLevel() { readLevelArguments(input, movesPerTimeControl, incrementMs); }

void handleSetboard() {
    stopEngine();
    std::string text;
    input.readRestOfLine(text);
    logLine("setboard ", text);
    const bool fits = text.size() <= SETBOARD_LIMIT;
    if (!fits || !setupGamePosition(text.c_str(), true)) {
        if (!fits) gamePositionReady = false;
        logLine("-M: tellusererror Illegal position");
        // A sound position whose EPD move was not understood stays set up and is no error.
        if (!gamePositionReady) sendLine("tellusererror Illegal position\n");
    }
}

// "white"/"black" never hand the move to a side that could take the enemy king. An
// en-passant square belongs to the side that was to move: handed to the other side it would
// let a pawn "capture" onto its own side's double step and corrupt the board.
void handleSideToMove(int side) {
    stopEngine();
    const int previous = pos.sideToMove;
    pos.sideToMove = side;
    if (gamePositionReady && isKingAttacked(0, side ^ 1)) pos.sideToMove = previous;
    if (pos.sideToMove != previous) pos.epSquare = pos.rootEpSquare = 0;
}

void handleReceivedMove(const std::string& word, Move m) {
    if (!gamePositionReady || !isLegalMove(m)) {
        sendLine(("Illegal move: " + word + "\n").c_str());
        return;
    }
    playGameMove(m);
    if (engineState == ENGINE_AWAITING_MOVE) thinkAndMove();
}

void setUpStartPosition() {
    setupGamePosition(START_FEN, true);
}

void leaveLoop() {
    stopEngine();
    engineState = ENGINE_QUIT;
    startEngine(NO_DEPTH_LIMIT);
    joinEngineThread();
}

}  // namespace

bool startUp() {
    bookMovePlayed = false;
    engineState = ENGINE_AWAITING_MOVE;
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::setvbuf(stdin, nullptr, _IONBF, 0);
    std::fflush(nullptr);

    std::string first;
    input.readWord(first);
    if (first.compare(0, 6, "xboard") != 0) sendLine("Engine works only with xboard protocol ver. 2\n");
    sendLine("\n");
    sendLine("feature done=0\n");
    sendLine("feature setboard=1\n");

    currentPly = PlyRecords;
    createEngineThread();
    initTables();
    clearHash();
    sendLine("feature done=1\n");
    return true;
}

void commandLoop() {
    startUp();
    stopEngine();

    std::string word;
    while (input.readWord(word)) {
        logLine("::cmd:: ", word);
        if (word.size() > WORD_LIMIT) continue;  // beyond any command: logged and ignored

        if (hasPrefix(word, "time")) {
            handleTime();
        } else if (Move m = parseCoordinateMove(word.c_str(), MoveSource::Root)) {
            handleReceivedMove(word, m);
        } else if (hasPrefix(word, "go")) {
            stopEngine();
            if (gamePositionReady) thinkAndMove();
        } else if (hasPrefix(word, "new") || hasPrefix(word, "result")) {
            stopEngine();
            setUpStartPosition();
            engineState = ENGINE_AWAITING_MOVE;
        } else if (hasPrefix(word, "level")) {
            handleLevel();
        } else if (hasPrefix(word, "force")) {
            stopEngine();
        } else if (hasPrefix(word, "setboard")) {
            handleSetboard();
        } else if (hasPrefix(word, "quit")) {
            break;
        } else if (hasPrefix(word, "white")) {
            handleSideToMove(WHITE);
        } else if (hasPrefix(word, "black")) {
            handleSideToMove(BLACK);
        } else if (word == "benchmark") {
            sendLine("Define __STAT\n");
        } else if (word == "accepted" || word == "rejected") {
            // The interface's answer to a feature names the feature ("accepted setboard"):
            // that name is no command of its own.
            std::string feature;
            if (input.readWord(feature)) logLine("::cmd:: ", feature);
        } else if (word == "test") {
            stopEngine();
            setUpStartPosition();
            moveBudgetMs = incrementMs + (4123456689u / uint32_t(movesPerTimeControl)) * 10u;
            stopEngine();
            thinkAndMove();
        }
        // Anything else (the version command, names, unsupported commands) is ignored.
    }
    leaveLoop();
}

}  // namespace vostil
