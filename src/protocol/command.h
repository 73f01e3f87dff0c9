// The commands of the protocol and the one order in which a word is tested against them.
#pragma once

#include <cstddef>
#include <string>

#include "common/types.h"

namespace vostil {

constexpr size_t WORD_LIMIT = 255;      // what the command buffer holds
constexpr size_t SETBOARD_LIMIT = 254;  // the rest of a "setboard" line, line end included

enum class Command {
    Unknown,        // no command of this engine's: answered with an error, its line skipped
    Silent,         // commands the engine has no use for and that need no answer
    Protover,       // the version command: its number follows
    Time,
    OpponentTime,   // "otim" on its own: its number follows
    Move,           // a coordinate word
    Go,
    NewGame,        // "new"
    Result,         // "result": a new game too, once its result and comment are skipped
    Level,
    Force,
    Setboard,
    Quit,
    White,
    Black,
    Benchmark,
    FeatureAnswer,  // "accepted"/"rejected": the feature's name follows
    Test,
    Undo,           // take back one move
    Remove,         // take back two moves: the same side moves again
    Ping,
    FixedTime,      // "st"
    FixedDepth,     // "sd"
    Name,           // the opponent's name: the rest of the line, ignored
    Rating,         // two ratings, ignored
    Ponder,         // "ponder on"/"ponder off": the engine never ponders
    Post,           // thinking lines on
    NoPost,         // and off
    Analyze,
    Exit,           // leave analysis
    Status,         // ".": where the analysis has got
    Option,         // "option NAME=VALUE": an option the engine announced, set
};

// What a word asks for, tested in the loop's fixed order (the first commands match by their
// prefix, so "timex" is "time" and "gox" is "go"; the later ones only as whole words). For
// Command::Move, `move` is the move the word names in the game position.
Command classifyCommand(const std::string& word, Move& move);

enum class SetboardOutcome { Accepted, UnrecognisedEpdMove, Refused, EmptyBoard };
// Sets the game up from the rest of a "setboard" line. Too long a line is refused whole;
// a refusal leaves no game position, an unrecognised EPD move leaves the position set up.
// A board without any piece is refused too, as EmptyBoard: an interface clears its engine so.
SetboardOutcome setUpFromSetboardLine(const std::string& text, bool loadBook);

}  // namespace vostil
