// The command loop: start-up handshake, then one word at a time, dispatched in a fixed order.
#include "protocol/command_loop.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "board/position.h"
#include "board/tables.h"
#include "movegen/check.h"
#include "protocol/coordinate_move.h"
#include "protocol/engine_control.h"
#include "protocol/game_log.h"
#include "protocol/input_reader.h"
#include "protocol/output.h"
#include "search/transposition_table.h"

namespace vostil {

namespace {

constexpr size_t WORD_LIMIT = 255;      // what the command buffer holds
constexpr size_t SETBOARD_LIMIT = 254;  // the rest of a "setboard" line, line end included

InputReader input;

bool hasPrefix(const std::string& word, const char* prefix) {
    return word.compare(0, std::strlen(prefix), prefix) == 0;
}

// A whole word as a decimal integer (clamped to 32 bits), as "%d" reads a number.
bool parseInteger(const std::string& word, long long& value) {
    if (word.empty()) return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtoll(word.c_str(), &end, 10);
    if (end == word.c_str() || *end != '\0') return false;
    if (errno == ERANGE || value > INT32_MAX) value = value < 0 ? INT32_MIN : INT32_MAX;
    if (value < INT32_MIN) value = INT32_MIN;
    return true;
}

// Reads the next word as a number; a word that is no number stays in the input.
bool readInteger(long long& value) {
    std::string word;
    if (!input.readWord(word)) return false;
    if (parseInteger(word, value)) return true;
    input.pushBack(word);
    return false;
}

// "time T [otim O]": only the opponent's-time command that belongs to it is consumed.
void handleTime() {
    long long t;
    if (!readInteger(t)) return;
    moveBudgetMs = budgetForClock(int32_t(t), incrementMs, movesPerTimeControl);
    clockMs = t <= 0 ? 0u : uint32_t(std::min<long long>(t * 10, CLOCK_UNKNOWN - 1));
    std::string next;
    if (!input.readWord(next)) return;
    if (next != "otim") {
        input.pushBack(next);
        return;
    }
    long long opponent;
    readInteger(opponent);
}

// "level M B I": B as minutes or minutes:seconds, I as whole or fractional seconds.
void handleLevel() {
    long long moves;
    if (!readInteger(moves)) return;
    movesPerTimeControl = moves <= 0 ? 40 : int32_t(moves);

    std::string base;
    if (!input.readWord(base)) return;
    int minutes, seconds;
    char tail;
    if (std::sscanf(base.c_str(), "%d:%d%c", &minutes, &seconds, &tail) != 2 &&
        std::sscanf(base.c_str(), "%d%c", &minutes, &tail) != 1) {
        input.pushBack(base);
        return;
    }

    std::string increment;
    if (!input.readWord(increment)) return;
    char* end = nullptr;
    const double inc = std::strtod(increment.c_str(), &end);
    if (end == increment.c_str() || *end != '\0' || std::isnan(inc)) {
        input.pushBack(increment);
        return;
    }
    incrementMs = inc >= 0.001 ? uint32_t(std::min(inc, 3.6e6) * 1000.0 + 0.5) : 0u;
}

void handleSetboard() {
    stopEngine();
    std::string text;
    input.readRestOfLine(text);
    logLine("setboard ", text);
    const bool fits = text.size() <= SETBOARD_LIMIT;
    if (!fits || !setupPosition(text.c_str(), true)) {
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
    if (engineState == ENGINE_AWAITING_MOVE) {
        applyGameMove(m);
        thinkAndMove();
    } else {
        applyGameMove(m);
    }
}

void setUpStartPosition() {
    setupPosition(START_FEN, true);
}

void leaveLoop() {
    stopEngine();
    engineState = ENGINE_QUIT;
    startEngine(64);
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
