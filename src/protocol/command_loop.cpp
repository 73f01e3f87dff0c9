// The command loop: start-up handshake, then one word at a time, dispatched in a fixed order.
#include "protocol/command_loop.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "board/position.h"
#include "board/tables.h"
#include "common/log.h"
#include "common/output.h"
#include "game/analysis.h"
#include "game/engine_control.h"
#include "game/engine_options.h"
#include "game/game_record.h"
#include "game/hand_move_to.h"
#include "game/play_game_move.h"
#include "game/setup_game_position.h"
#include "game/thinking_output.h"
#include "movegen/legal_moves.h"
#include "protocol/announce_move.h"
#include "protocol/clock_commands.h"
#include "protocol/command.h"
#include "protocol/input_reader.h"
#include "protocol/uci_loop.h"
#include "search/transposition_table.h"

namespace vostil {

namespace {

InputReader input;

// Arguments that a command reads itself are logged like the words they are.
void logArgument(const std::string& word) { logLine("::cmd:: ", word); }

// The input as a command's argument parser reads it: the words it keeps are logged once it is
// done; a word it puts back is read again as a command, and logged then.
class LoggedArguments {
public:
    ~LoggedArguments() {
        for (int i = 0; i < kept_; ++i) logArgument(words_[i]);
    }
    bool readWord(std::string& word) {
        if (!input.readWord(word)) return false;
        if (kept_ < MAX_WORDS) words_[kept_++] = word;
        return true;
    }
    void pushBack(const std::string& word) {
        if (kept_ > 0) --kept_;
        input.pushBack(word);
    }

private:
    static constexpr int MAX_WORDS = 3;  // "level M B I", "time T otim O"
    std::string words_[MAX_WORDS];
    int kept_ = 0;
};

void handleTime() {
    LoggedArguments arguments;
    readTimeArguments(arguments, incrementMs, movesPerTimeControl, moveBudgetMs, clockMs);
}

void handleLevel() {
    LoggedArguments arguments;
    readLevelArguments(arguments, movesPerTimeControl, incrementMs, moveBudgetMs, clockMs);
    fixedMoveTimeMs = NO_FIXED_MOVE_TIME;  // a clock again
}

bool readNumberArgument(long long& value) {
    if (!readInteger(input, value)) return false;
    logArgument(std::to_string(value));
    return true;
}

void handlePing() {
    // Every command before it is done: the loop reads nothing while the engine thinks.
    long long n;
    if (!readNumberArgument(n)) return;
    char line[32];
    std::snprintf(line, sizeof line, "pong %lld\n", n);
    sendLine(line);
}

void handleFixedTime() {
    double seconds;
    if (!readSeconds(input, seconds)) return;
    char text[32];
    std::snprintf(text, sizeof text, "%g", seconds);
    logArgument(text);
    setFixedMoveTime(seconds);
}

void handleFixedDepth() {
    long long depth;
    if (readNumberArgument(depth)) setSearchDepth(depth);
}

void handleTakeBack(int moves) {
    if (gamePositionReady) takeBackMoves(moves);
}

// The rest of a line that holds a command's arguments (a name, a result and its comment, an
// unknown command's words), logged as one: they must not pass for commands, or an opponent
// called "newton" would start a new game.
void skipRestOfLine() {
    std::string rest;
    input.readRestOfLine(rest);
    const size_t first = rest.find_first_not_of(" \t");
    const size_t last = rest.find_last_not_of(" \t\r\n");
    if (first != std::string::npos && last != std::string::npos && last >= first)
        logArgument(rest.substr(first, last - first + 1));
}

void skipRatings() {
    long long rating;
    if (readNumberArgument(rating)) readNumberArgument(rating);
}

void skipPonderSetting() {
    std::string word;
    if (!input.readWord(word)) return;
    if (word == "on" || word == "off") logArgument(word);
    else input.pushBack(word);
}

void handleSetboard() {
    stopEngine();
    std::string text;
    input.readRestOfLine(text);
    logLine("setboard ", text);
    const SetboardOutcome outcome = setUpFromSetboardLine(text, true);
    if (outcome == SetboardOutcome::EmptyBoard) {
        // pychess parks its analysers so before each position: no window for the user.
        logLine("-M: Error (empty board): setboard");
        sendLine("Error (empty board): setboard\n");
    } else if (outcome != SetboardOutcome::Accepted) {
        logLine("-M: tellusererror Illegal position");
        // A sound position whose EPD move was not understood stays set up and is no error.
        if (outcome == SetboardOutcome::Refused) sendLine("tellusererror Illegal position\n");
    }
}

// A word that is no command of this engine's gets the protocol's error; the rest of its line
// holds its arguments, never commands.
void answerUnknownCommand(const std::string& word) {
    // Shown up to a zero byte, which would end the printed line before its line end.
    const std::string shown = word.substr(0, std::min(WORD_LIMIT, word.find('\0')));
    sendLine(("Error (unknown command): " + shown + "\n").c_str());
    skipRestOfLine();
}

void skipNumberArgument() {
    long long number;
    readNumberArgument(number);
}

// Carries out what "memory" and "option" asked of the table (the engine thread is parked).
void applyTableOptions() {
    if (const char* refusal = applyTableRequests())
        sendLine((std::string("telluser ") + refusal + "\n").c_str());
}

void handleMemory() {
    long long mb;
    if (!readNumberArgument(mb)) return;
    requestMemoryTotal(mb);
    applyTableOptions();
}

// "option NAME=VALUE", or "option NAME" for a button: the options of the features sent at
// the handshake.
void handleOption() {
    std::string text;
    input.readRestOfLine(text);
    const size_t first = text.find_first_not_of(" \t");
    const size_t last = text.find_last_not_of(" \t\r\n");
    text = first == std::string::npos ? "" : text.substr(first, last - first + 1);
    logArgument(text);
    const size_t equals = text.find('=');
    const std::string name = text.substr(0, equals);
    const std::string value = equals == std::string::npos ? "" : text.substr(equals + 1);
    if (name == "OwnBook" && (value == "0" || value == "1")) {
        ownBook = value == "1";
    } else if (name == "Clear Hash" && equals == std::string::npos) {
        requestHashClear();
        applyTableOptions();
    } else if (name != "MultiPV" || !setLineCountOption(value)) {
        // No option the handshake announced, or a value it cannot take. Shown up to a zero
        // byte, as an unknown command is.
        sendLine(("Error (unknown option): " + std::string(text.c_str()) + "\n").c_str());
    }
}

// Plays a received move when it is legal in the game, else refuses it; true when played.
bool playReceivedMove(const std::string& word, Move m) {
    if (gamePositionReady && isLegalMove(m)) {
        playGameMove(m);
        return true;
    }
    sendLine((std::string("Illegal move: ") + word.c_str() + "\n").c_str());  // up to a zero byte
    return false;
}

void handleReceivedMove(const std::string& word, Move m) {
    if (playReceivedMove(word, m) && engineState == ENGINE_AWAITING_MOVE) thinkAndMove();
}

void setUpStartPosition() {
    setupGamePosition(START_FEN, true);
}

// "new": the start position, and no depth limit any more.
void setUpNewGame() {
    setUpStartPosition();
    searchDepthCap = NO_DEPTH_LIMIT;
}

// While the engine analyses, the commands that change the game pause the search, change the
// game and analyse again; those that start play leave analysis first. True when the command
// has been dealt with.
bool handleInAnalysis(Command command, const std::string& word, Move m) {
    switch (command) {
        case Command::Move:
            pauseAnalysis();
            playReceivedMove(word, m);
            analysePosition();
            return true;
        case Command::Undo:
        case Command::Remove:
            pauseAnalysis();
            handleTakeBack(command == Command::Undo ? 1 : 2);
            analysePosition();
            return true;
        case Command::NewGame:
            pauseAnalysis();
            setUpNewGame();
            analysePosition();
            return true;
        case Command::Setboard:
            pauseAnalysis();
            handleSetboard();
            analysePosition();  // nothing to analyse after a refused position
            return true;
        case Command::Exit: leaveAnalysis(); return true;
        case Command::Status: {
            char line[96];
            formatAnalysisStatus(line, sizeof line);
            sendLine(line);
            return true;
        }
        case Command::Analyze: return true;  // already analysing
        case Command::Memory:
        case Command::Option:
            // The table changes only while no search runs, and further lines show from the
            // first iteration on.
            pauseAnalysis();
            command == Command::Memory ? handleMemory() : handleOption();
            analysePosition();
            return true;
        case Command::Go:
        case Command::Force:
        case Command::White:
        case Command::Black:
        case Command::Test:
            leaveAnalysis();
            return false;
        default: return false;  // settings, ping, quit and the ignored words as ever
    }
}

void leaveLoop() {
    if (analysisMode) leaveAnalysis();
    quitEngineThread();
}

}  // namespace

bool startUp(const std::string& first) {
    logLine("::cmd:: ", first);
    if (first.compare(0, 6, "xboard") != 0) sendLine("Engine works only with xboard protocol ver. 2\n");
    sendLine("\n");
    sendLine("feature done=0\n");
    sendLine("feature setboard=1\n");
    sendLine("feature ping=1\n");
    sendLine("feature myname=\"Vostil\"\n");
    sendLine("feature analyze=1\n");
    // What the engine cannot do is turned off, so that no interface counts on it: a node
    // rate instead of the clock, and other variants than chess.
    sendLine("feature nps=0\n");
    sendLine("feature variants=\"normal\"\n");
    // The table's size ("memory") and the options of the engine's settings dialog.
    sendLine("feature memory=1\n");
    sendLine("feature option=\"OwnBook -check 1\"\n");
    sendLine("feature option=\"Clear Hash -button\"\n");
    static_assert(MAX_LINE_COUNT == 16, "the MultiPV feature names the largest count");
    sendLine("feature option=\"MultiPV -spin 1 1 16\"\n");

    prepareEngine();
    sendLine("feature done=1\n");
    return true;
}

void commandLoop() {
    bookMovePlayed = false;
    engineState = ENGINE_AWAITING_MOVE;
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::setvbuf(stdin, nullptr, _IONBF, 0);
    std::fflush(nullptr);

    // The first word chooses the protocol: a command only UCI has chooses UCI, anything else
    // is taken for xboard.
    std::string first;
    input.readWord(first);
    if (choosesUci(first)) {
        uciLoop(input, first);
        return;
    }
    startUp(first);
    stopEngine();
    // As "new" leaves it: an interface that sends no "new" (knights) gets its first move answered.
    engineState = ENGINE_AWAITING_MOVE;

    std::string word;
    while (input.readWord(word)) {
        logLine("::cmd:: ", word);
        Move m;
        Command command = classifyCommand(word, m);
        if (command == Command::Result) {
            skipRestOfLine();  // the result and its comment
            command = Command::NewGame;
        }
        if (analysisMode && handleInAnalysis(command, word, m)) continue;
        switch (command) {
            case Command::Time: handleTime(); break;
            case Command::Move: handleReceivedMove(word, m); break;
            case Command::Go:
                stopEngine();
                if (gamePositionReady) thinkAndMove();
                break;
            case Command::NewGame:
                stopEngine();
                setUpNewGame();
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
            case Command::Undo: handleTakeBack(1); break;
            case Command::Remove: handleTakeBack(2); break;
            case Command::Ping: handlePing(); break;
            case Command::FixedTime: handleFixedTime(); break;
            case Command::FixedDepth: handleFixedDepth(); break;
            case Command::Name: skipRestOfLine(); break;
            case Command::Rating: skipRatings(); break;
            case Command::Ponder: skipPonderSetting(); break;
            case Command::Post: postThinking = true; break;
            case Command::NoPost: postThinking = false; break;
            case Command::Analyze:
                stopEngine();
                enterAnalysis();
                break;
            case Command::Exit:    // outside analysis there is nothing to leave
            case Command::Status:  // nor anything to report
                break;
            case Command::Protover:
            case Command::OpponentTime: skipNumberArgument(); break;
            case Command::Memory: handleMemory(); break;
            case Command::Option: handleOption(); break;
            case Command::Silent: break;
            case Command::Unknown: answerUnknownCommand(word); break;
            case Command::Result: break;  // read as a new game above
        }
    }
    leaveLoop();
}

}  // namespace vostil
