// The UCI loop: one command a line, read while the engine searches on the choosing thread.
#include "protocol/uci_loop.h"

#include <cctype>
#include <cstring>
#include <string>

#include "board/position.h"
#include "common/log.h"
#include "common/move.h"
#include "common/move_text.h"
#include "common/next_word.h"
#include "common/output.h"
#include "game/background_move_choice.h"
#include "game/game_record.h"
#include "game/setup_game_position.h"
#include "game/thinking_output.h"
#include "search/search_control.h"

namespace vostil {

namespace {

// A line this long holds a game of some 200,000 plies; a longer one is refused, not cut.
constexpr size_t UCI_LINE_LIMIT = size_t(1) << 20;

void sendIdentity() {
    sendLine("id name Vostil\n");
    sendLine("id author the Vostil developers\n");
    // Options, one line each.
    static_assert(MAX_LINE_COUNT == 16, "the MultiPV line names the largest count");
    sendLine("option name MultiPV type spin default 1 min 1 max 16\n");
    sendLine("uciok\n");
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

bool sameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
    return true;
}

// "setoption name NAME [value VALUE]": the name may have several words, and the interfaces
// spell it in any case.
void setOption(std::string_view arguments) {
    if (nextWord(arguments) != "name") return;
    const size_t valueAt = arguments.find(" value ");
    std::string_view name = arguments.substr(0, valueAt);
    const std::string_view value = valueAt == std::string_view::npos ? std::string_view() : arguments.substr(valueAt + 7);
    while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    if (sameLetters(name, "MultiPV")) setLineCountOption(value);
}

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
        case UciCommand::IsReady: sendLine("readyok\n"); break;
        case UciCommand::NewGame:
            endMoveChoice();
            startNewGame();
            break;
        case UciCommand::Position:
            endMoveChoice();
            setUpUciPosition(line);
            break;
        case UciCommand::Go:
            endMoveChoice();
            go(line);
            break;
        case UciCommand::Stop: endMoveChoice(); break;
        case UciCommand::Quit: return false;
        case UciCommand::SetOption: setOption(line); break;
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
