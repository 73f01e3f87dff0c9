// The UCI loop: one command a line, read while the engine searches on the choosing thread.
#include "protocol/uci_loop.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "board/position.h"
#include "common/log.h"
#include "common/move.h"
#include "common/move_text.h"
#include "common/next_word.h"
#include "common/output.h"
#include "game/background_move_choice.h"
#include "game/engine_options.h"
#include "game/game_record.h"
#include "game/setup_game_position.h"
#include "game/thinking_output.h"
#include "search/search_control.h"
#include "search/transposition_table.h"

namespace vostil {

namespace {

// A line this long holds a game of some 200,000 plies; a longer one is refused, not cut.
constexpr size_t UCI_LINE_LIMIT = size_t(1) << 20;

// The table's size, its clearing and the book. No Threads (one search thread) and no Ponder
// (the engine never thinks on the opponent's time): an interface shows only what is there.
void sendTableAndBookOptions() {
    char line[96];
    std::snprintf(line, sizeof line, "option name Hash type spin default %u min %u max %u\n", unsigned(TT_DEFAULT_MB),
                  unsigned(TT_MIN_MB), unsigned(TT_MAX_MB));
    sendLine(line);
    sendLine("option name Clear Hash type button\n");
    sendLine("option name OwnBook type check default true\n");
}

void sendIdentity() {
    sendLine("id name Vostil\n");
    sendLine("id author the Vostil developers\n");
    sendTableAndBookOptions();
    // Options, one line each.
    static_assert(MAX_LINE_COUNT == 16, "the MultiPV line names the largest count");
    sendLine("option name MultiPV type spin default 1 min 1 max 16\n");
    sendLine("uciok\n");
}

// Carries out what the options asked of the table; the engine thread is parked or on its way.
void applyTableOptions() {
    if (const char* refusal = applyTableRequests())
        sendLine((std::string("info string ") + refusal + "\n").c_str());
}

// Between searches the options act at once; during one they wait for its end.
void applyTableOptionsUnlessSearching() {
    if (!moveChoiceUnderWay()) applyTableOptions();
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// "setoption name NAME [value VALUE]": a name of several words ("Clear Hash"), in any case.
// Unknown names and values that do not parse are passed over, as interfaces send options of
// other engines (scid's Ponder).
void setOption(std::string_view arguments) {
    if (nextWord(arguments) != "name") return;
    std::string name;
    std::string_view value;
    for (std::string_view word = nextWord(arguments); !word.empty(); word = nextWord(arguments)) {
        if (word == "value") {
            value = nextWord(arguments);
            break;
        }
        if (!name.empty()) name += ' ';
        name += word;
    }
    if (equalsIgnoringCase(name, "Hash")) {
        long long mb = 0;
        if (readOptionNumber(value, mb)) requestHashSize(mb);
    } else if (equalsIgnoringCase(name, "Clear Hash")) {
        requestHashClear();
    } else if (equalsIgnoringCase(name, "MultiPV")) {
        setLineCountOption(value);
        return;
    } else if (equalsIgnoringCase(name, "OwnBook")) {
        if (equalsIgnoringCase(value, "true")) ownBook = true;
        else if (equalsIgnoringCase(value, "false")) ownBook = false;
        return;
    } else {
        return;
    }
    applyTableOptionsUnlessSearching();
}

bool isVerdict(Move m) { return m == 0 || m == RESULT_MATED || m == RESULT_STALEMATE || m == RESULT_REPETITION; }

// The side to move has no legal move: the verdict where a line would stand, told at once, also
// when the move itself waits for a stop (choosing thread).
void announceVerdict(Move verdict) {
    sendLine(verdict == RESULT_MATED ? "info depth 0 score mate 0\n" : "info depth 0 score cp 0\n");
}

// Runs on the choosing thread, once its search has ended.
void announceBestMove(const MoveChoice& choice) {
    char line[32] = "bestmove ";
    const Move m = choice.move;
    if (!isVerdict(m)) formatCoordinateMove(line + 9, m);
    else std::strcpy(line + 9, "0000");
    if (choice.fromBook) {
        sendLine("info string book\n");
        logLine("-M: move(book): ", line + 9);
    } else {
        logLine("bestmove ", line + 9, "\tscore: ", choice.score);
    }
    std::strcat(line, "\n");
    sendLine(line);
}

void startNewGame() {
    setupGamePosition(START_FEN, true, BookErrors::LogOnly);
    if (!gameRecord.bookAtBase) sendLine("info string BOOK ERROR!\n");
}

void go(std::string_view arguments) {
    applySearchRequest(readGoArguments(arguments, pos.sideToMove));
    beginMoveChoice();
}

enum class UciCommand { None, Uci, IsReady, NewGame, Position, Go, Stop, Quit, SetOption, Ignored };

UciCommand classifyUciWord(std::string_view word) {
    if (word == "uci") return UciCommand::Uci;
    if (word == "isready") return UciCommand::IsReady;
    if (word == "ucinewgame") return UciCommand::NewGame;
    if (word == "position") return UciCommand::Position;
    if (word == "go") return UciCommand::Go;
    // The engine never ponders: a ponder hit ends the search it took for "go infinite", so
    // that the interface has its move at once.
    if (word == "stop" || word == "ponderhit") return UciCommand::Stop;
    if (word == "quit") return UciCommand::Quit;
    if (word == "setoption") return UciCommand::SetOption;
    // No debug output, nothing to register.
    if (word == "debug" || word == "register") return UciCommand::Ignored;
    return UciCommand::None;
}

// Acts on one line; false after "quit".
bool runUciLine(std::string_view line) {
    // A line whose first words are unknown is read from its first known one on.
    UciCommand command = UciCommand::None;
    while (command == UciCommand::None && !line.empty()) command = classifyUciWord(nextWord(line));

    switch (command) {
        case UciCommand::Uci: sendIdentity(); break;
        case UciCommand::IsReady:
            applyTableOptionsUnlessSearching();
            sendLine("readyok\n");
            break;
        case UciCommand::NewGame:
            endMoveChoice();
            applyTableOptions();
            startNewGame();
            break;
        case UciCommand::Position:
            endMoveChoice();
            applyTableOptions();
            setUpUciPosition(line);
            break;
        case UciCommand::Go:
            endMoveChoice();
            applyTableOptions();
            go(line);
            break;
        case UciCommand::SetOption: setOption(line); break;
        case UciCommand::Stop: endMoveChoice(); break;
        case UciCommand::Quit: return false;
        case UciCommand::Ignored:
        case UciCommand::None: break;
    }
    return true;
}

}  // namespace

bool choosesUci(std::string_view firstWord) {
    switch (classifyUciWord(firstWord)) {
        case UciCommand::Uci:
        case UciCommand::IsReady:
        case UciCommand::NewGame:
        case UciCommand::Position:
        case UciCommand::SetOption:
        case UciCommand::Ignored: return true;
        default: return false;
    }
}

void uciLoop(InputReader& input, const std::string& firstWord) {
    prepareEngine();
    // An interface that speaks UCI judges draws itself and wants a move in every position
    // that has one, and reads the lines in its own form.
    searchDrawnRoot = true;
    iterationReport = reportUciIteration;
    rootMoveReport = reportUciRootMove;
    createChooserThread(announceVerdict, announceBestMove);

    // Kept between lines: after the first long ones, reading a line allocates nothing.
    std::string line;
    line.reserve(4096);
    // The first line is the word already read and the rest of its line.
    std::string rest;
    input.readRestOfLine(rest, UCI_LINE_LIMIT + 1);
    line = firstWord + rest;
    do {
        std::string_view text = line;
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
        logLine("::cmd:: ", text);
        if (text.size() > UCI_LINE_LIMIT) {
            sendLine("info string Line too long\n");
            continue;
        }
        if (!runUciLine(text)) break;
    } while (input.readRestOfLine(line, UCI_LINE_LIMIT + 1));
    joinChooserThread();
    quitEngineThread();
}

}  // namespace vostil
