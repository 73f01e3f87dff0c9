// The command loop: start-up handshake, then one word at a time, dispatched in a fixed order.
#include "protocol/command_loop.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "board/position.h"
#include "board/tables.h"
#include "common/log.h"
#include "common/output.h"
#include "game/engine_control.h"
#include "game/hand_move_to.h"
#include "game/play_game_move.h"
#include "game/setup_game_position.h"
#include "movegen/legal_moves.h"
#include "protocol/announce_move.h"
#include "protocol/clock_commands.h"
#include "protocol/command.h"
#include "protocol/input_reader.h"
#include "search/transposition_table.h"

namespace vostil {

namespace {

InputReader input;

void handleTime() { readTimeArguments(input, incrementMs, movesPerTimeControl, moveBudgetMs, clockMs); }

void handleLevel() { readLevelArguments(input, movesPerTimeControl, incrementMs); }

void handleSetboard() {
    stopEngine();
    std::string text;
    input.readRestOfLine(text);
    logLine("setboard ", text);
    const SetboardOutcome outcome = setUpFromSetboardLine(text, true);
    if (outcome != SetboardOutcome::Accepted) {
        logLine("-M: tellusererror Illegal position");
        // A sound position whose EPD move was not understood stays set up and is no error.
        if (outcome == SetboardOutcome::Refused) sendLine("tellusererror Illegal position\n");
    }
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
        Move m;
        switch (classifyCommand(word, m)) {
            case Command::Time: handleTime(); break;
            case Command::Move: handleReceivedMove(word, m); break;
            case Command::Go:
                stopEngine();
                if (gamePositionReady) thinkAndMove();
                break;
            case Command::NewGame:
                stopEngine();
                setUpStartPosition();
                engineState = ENGINE_AWAITING_MOVE;
                break;
            case Command::Level: handleLevel(); break;
            case Command::Force: stopEngine(); break;
            case Command::Setboard: handleSetboard(); break;
            case Command::Quit: leaveLoop(); return;
            case Command::White:
                stopEngine();
                handMoveTo(WHITE);
                break;
            case Command::Black:
                stopEngine();
                handMoveTo(BLACK);
                break;
            case Command::Benchmark: sendLine("Define __STAT\n"); break;
            case Command::FeatureAnswer: {
                // The interface's answer to a feature names the feature ("accepted setboard"):
                // that name is no command of its own.
                std::string feature;
                if (input.readWord(feature)) logLine("::cmd:: ", feature);
                break;
            }
            case Command::Test:
                stopEngine();
                setUpStartPosition();
                moveBudgetMs = testCommandBudget(incrementMs, movesPerTimeControl);
                stopEngine();
                thinkAndMove();
                break;
            case Command::Ignored: break;  // version, names, unsupported or over-long words
        }
    }
    leaveLoop();
}

}  // namespace vostil
