// classifyCommand: the dispatch order of the command loop, in one place.
#include "protocol/command.h"

#include <cstring>

#include "board/parse_coordinate_move.h"

namespace vostil {

namespace {

bool hasPrefix(const std::string& word, const char* prefix) {
    return word.compare(0, std::strlen(prefix), prefix) == 0;
}

// Commands that need no answer: pondering and the thinking's randomness are not the
// engine's to change, it has no hint or book to show, and a draw offer is declined by
// saying nothing.
constexpr const char* SILENT_WORDS[] = {"xboard", "hard", "easy", "random", "computer", "hint", "bk", "?", "draw"};

}  // namespace

Command classifyCommand(const std::string& word, Move& move) {
    move = 0;
    if (word.size() > WORD_LIMIT) return Command::Unknown;
    if (hasPrefix(word, "time")) return Command::Time;
    if ((move = parseCoordinateMove(word.c_str(), MoveSource::Root)) != 0) return Command::Move;
    if (hasPrefix(word, "go")) return Command::Go;
    if (hasPrefix(word, "new")) return Command::NewGame;
    if (hasPrefix(word, "result")) return Command::Result;
    if (hasPrefix(word, "level")) return Command::Level;
    if (hasPrefix(word, "force")) return Command::Force;
    if (hasPrefix(word, "setboard")) return Command::Setboard;
    if (hasPrefix(word, "quit")) return Command::Quit;
    if (hasPrefix(word, "white")) return Command::White;
    if (hasPrefix(word, "black")) return Command::Black;
    if (word == "benchmark") return Command::Benchmark;
    if (word == "accepted" || word == "rejected") return Command::FeatureAnswer;
    if (word == "test") return Command::Test;
    if (word == "undo") return Command::Undo;
    if (word == "remove") return Command::Remove;
    if (word == "ping") return Command::Ping;
    if (word == "st") return Command::FixedTime;
    if (word == "sd") return Command::FixedDepth;
    if (word == "name") return Command::Name;
    if (word == "rating") return Command::Rating;
    if (word == "ponder") return Command::Ponder;
    if (word == "post") return Command::Post;
    if (word == "nopost") return Command::NoPost;
    if (word == "analyze") return Command::Analyze;
    if (word == "exit") return Command::Exit;
    if (word == ".") return Command::Status;
    if (word == "protover") return Command::Protover;
    if (word == "otim") return Command::OpponentTime;
    if (word == "option") return Command::Option;
    for (const char* silent : SILENT_WORDS)
        if (word == silent) return Command::Silent;
    return Command::Unknown;
}

}  // namespace vostil
