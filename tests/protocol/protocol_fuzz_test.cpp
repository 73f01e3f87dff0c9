// Random conversations with the engine binary: the protocol's commands in random order with
// random arguments, coordinate words, whole, broken and over-long FEN text, over-long words
// and lines, binary bytes, and "quit" or the end of input at random points. Every run must end
// by itself without a crash or sanitizer report, and every move the engine prints must be
// legal in the game the conversation implies. To know that game this process replays the
// conversation word by word with the engine's own library, taking the engine's moves from
// its output at the points where it had to think.
//
// Seeded and reproducible: VOSTIL_FUZZ_RUNS (default 480 conversations), VOSTIL_FUZZ_SEED
// (default 1) and VOSTIL_FUZZ_FIRST (index of the first conversation, to replay one alone).
// A failing conversation is also written to fuzz-failure-<seed>-<run>.txt in the working
// folder, ready to be piped into the engine.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <regex>
#include <string>
#include <unistd.h>
#include <vector>

#include "game/game_record.h"
#include "game/hand_move_to.h"
#include "protocol/command.h"
#include "protocol/input_reader.h"
#include "support/moves.h"
#include "game/setup_game_position.h"
#include "game/play_game_move.h"
#include "board/position.h"
#include "movegen/check.h"
#include "movegen/generators.h"
#include "protocol/clock_commands.h"
#include "board/parse_coordinate_move.h"
#include "common/move_text.h"
#include "movegen/legal_moves.h"
#include "game/engine_control.h"
#include "protocol/input_reader.h"
#include "protocol/uci_loop.h"
#include "common/next_word.h"
#include "search/draw_detection.h"
#include "support/engine_process.h"

using namespace vostil;
using vostil::testing::EngineProcess;
using vostil::testing::legalMoves;
using vostil::testing::moveText;

namespace {

// --- Settings -------------------------------------------------------------------------------

constexpr int DEFAULT_RUNS = 480;
constexpr uint64_t DEFAULT_SEED = 1;
// Four shards, so that the runs spread over the machine's cores under ctest -j.
constexpr int SHARDS = 4;
// Failures reported per shard before it gives up (each one prints its whole conversation).
constexpr int MAX_REPORTED_FAILURES = 3;

// Conversations are kept below one pipe buffer, so that writing one never waits for the
// engine to read.
constexpr size_t MAX_CONVERSATION_BYTES = 40000;
// Thinking time the clock commands of one conversation may grant, per move and in all; a
// conversation that would exceed them is drawn again.
constexpr uint32_t MAX_THINK_MS = 300;
constexpr uint32_t MAX_TOTAL_THINK_MS = 2500;
// Start-up, set-ups and slack under the sanitizers, on top of the thinking time.
constexpr int BASE_TIMEOUT_MS = 20000;

uint64_t environmentNumber(const char* name, uint64_t fallback) {
    const char* text = std::getenv(name);
    if (!text || !*text) return fallback;
    return std::strtoull(text, nullptr, 10);
}

// --- Random numbers: splitmix64, the same sequence on every platform ------------------------

class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return int(next() % uint64_t(n)); }
    int between(int low, int high) { return low + below(high - low + 1); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename T, size_t N>
    const T& pick(const T (&items)[N]) { return items[below(int(N))]; }

private:
    uint64_t state_;
};

// --- The game as the library sees it ----------------------------------------------------------

bool sideToMoveInCheck() {
    computeCheckInfo(*currentPly);
    return currentPly->checkInfo.checkers != 0;
}

std::string currentFen() {
    char text[96];
    positionToFen(text);
    return text;
}

// --- Conversation generator ---------------------------------------------------------------

const char* const POSITIONS[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R b KQkq - 0 1",
    "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3",
    "rnbqkbnr/pppp1ppp/8/8/3Pp3/8/PPP1PPPP/RNBQKBNR b KQkq d3 0 2",
    "6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1",          // mate in one
    "r5k1/8/8/8/8/8/5PPP/6K1 b - - 0 1",          // mate in one for black
    "R5k1/5ppp/8/8/8/8/8/6K1 b - - 0 1",          // black is mated
    "r5k1/8/8/8/8/8/5PPP/r5K1 w - - 0 1",         // white is mated
    "7k/5Q2/6K1/8/8/8/8/8 b - - 0 1",             // stalemate
    "4k3/8/8/8/8/8/4R3/4K3 b - - 0 1",            // black in check
    "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1",
    "r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1",
    "1r2k3/P7/8/8/8/8/8/4K3 w - - 0 1",           // promotion, with capture
    "4k3/8/8/8/8/8/p7/1R2K3 b - - 0 1",           // black promotes
    "8/8/4k3/8/8/4K3/8/8 w - - 0 1",              // bare kings
    "8/5k2/8/3pP3/8/8/5K2/8 w - d6 0 1",
    "1q5k/8/8/8/8/8/r7/5K2 w - - 0 1",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "6k1/5ppp/8/8/8/8/8/R5K1 w - - bm Ra8#;",     // EPD best move
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - am e4;",
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 1",  // pychess's spy engine starts so
};

// Commands the engine ignores, and words it answers as unknown commands, whose arguments
// are never commands.
const char* const IGNORED_COMMANDS[] = {
    "protover 2", "accepted setboard", "rejected usermove", "post", "nopost", "hard", "easy",
    "random", "computer", "name Some Body", "name new white", "rating 2100 1900", "rating go",
    "ponder off", "ponder", "?", "draw", "hint", "bk", "edit", "#", "Pe4", "c", ".", "ics -",
    "variant normal", "cores 1", "usermove", "playother", "analyze", "exit",
    "tests", "benchmarks", "xboard", "otim 5000", "1-0", "{Black resigns}", "nps 1", "foobar go",
    "exclude e2e4", "otim", "protover",
    // The table's size and the engine's options: they change no game; a wrong one is answered.
    "memory 64", "memory 3", "memory 20", "memory 0", "memory -7", "memory", "option OwnBook=0", "option OwnBook=1",
    "option Clear Hash", "option  Clear Hash ", "option Hash=16", "option OwnBook", "option", "option new", "option MultiPV=3", "option MultiPV=x",
};

// Words that begin with a command keyword: the engine compares only the prefix.
const char* const PREFIX_VARIANTS[] = {
    "newgame", "goto", "forcefully", "whitey", "blackout", "resultant", "leveled", "timed",
    "go", "new", "force", "white", "black", "benchmark",
};

const char JUNK_LETTERS[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ+-*/=#@!?:;,.{}[]()_~'\"";

class ConversationGenerator {
public:
    explicit ConversationGenerator(uint64_t seed) : rng_(seed) {}

    std::string make() {
        text_.clear();
        const int opening = rng_.below(100);
        if (opening < 88) add("xboard");
        else if (opening < 91) add("xboardish");
        else if (opening < 93) add(rng_.pick({"go", "quit"}));  // UCI's too, but xboard's: the handshake word
        else if (opening < 97) add(junkWord());
        // else: no handshake word at all; the engine's first word is whatever comes.
        if (rng_.chance(60)) add("protover 2");

        const int items = rng_.between(1, 40);
        for (int i = 0; i < items && text_.size() < MAX_CONVERSATION_BYTES - 6000; ++i) addItem();

        const int ending = rng_.below(100);
        if (ending < 45) add("quit");
        else if (ending < 55) {
            add("quit");
            addItem();  // nothing after "quit" may be acted on
        }
        if (rng_.chance(12)) text_.resize(rng_.below(int(text_.size()) + 1));
        return text_;
    }

private:
    // Separators: mostly line ends; "setboard" reads to the line end whatever they are.
    void add(const std::string& line) {
        text_ += line;
        const int r = rng_.below(100);
        text_ += r < 85 ? "\n" : r < 92 ? "\r\n" : r < 96 ? "\n\n" : " \t";
    }

    std::string junkWord() {
        std::string word;
        const int length = rng_.between(1, 12);
        for (int i = 0; i < length; ++i) {
            word.push_back(JUNK_LETTERS[rng_.below(int(sizeof JUNK_LETTERS) - 1)]);
            // Now and then a digit, but never a word made of digits only.
            if (rng_.chance(15)) word.push_back(char('0' + rng_.below(10)));
        }
        return word;
    }

    std::string letters(int length) {
        std::string word;
        for (int i = 0; i < length; ++i) word.push_back(char('a' + rng_.below(26)));
        return word;
    }

    std::string randomCoordinateWord() {
        std::string word;
        word.push_back(char('a' + rng_.below(rng_.chance(95) ? 8 : 10)));
        word.push_back(char('1' + rng_.below(rng_.chance(95) ? 8 : 9)));
        word.push_back(char('a' + rng_.below(rng_.chance(95) ? 8 : 10)));
        word.push_back(char('1' + rng_.below(rng_.chance(95) ? 8 : 9)));
        if (rng_.chance(20)) word.push_back("qnrbkx="[rng_.below(7)]);
        if (rng_.chance(5)) word += junkWord();
        return word;
    }

    // A move legal in the game as the generator believes it, played there.
    std::string believedMove() {
        if (!beliefKnown_ || !setupGamePosition(belief_.c_str(), false)) {
            beliefKnown_ = false;
            return randomCoordinateWord();
        }
        const std::vector<Move> moves = legalMoves();
        if (moves.empty()) return randomCoordinateWord();
        const Move m = moves[rng_.below(int(moves.size()))];
        std::string word = moveText(m);
        playGameMove(m);
        belief_ = currentFen();
        // A promotion without its letter, or with a letter that names no piece.
        if (word.size() == 5 && rng_.chance(10)) word.resize(4);
        if (rng_.chance(3)) word.push_back('k');
        return word;
    }

    // The engine has moved, but the generator cannot know what: it guesses that the other
    // side is now to move in an otherwise unchanged position.
    void engineMoved() {
        if (!beliefKnown_) return;
        const size_t space = belief_.find(' ');
        if (space == std::string::npos || space + 1 >= belief_.size()) {
            beliefKnown_ = false;
            return;
        }
        belief_[space + 1] = belief_[space + 1] == 'w' ? 'b' : 'w';
        // Whatever the engine's move was, no en-passant square stays.
        const size_t ep = belief_.rfind(' ');
        if (ep != std::string::npos && ep > space + 1) belief_ = belief_.substr(0, ep) + " -";
    }

    std::string mutatedFen(std::string fen) {
        const int edits = rng_.between(1, 3);
        for (int i = 0; i < edits && !fen.empty(); ++i) {
            const int at = rng_.below(int(fen.size()));
            switch (rng_.below(5)) {
                case 0: fen.resize(at); break;
                case 1: fen[at] = "pnbrqkPNBRQK12345678/ wb-KQkqacdefgh09x"[rng_.below(39)]; break;
                case 2: fen.insert(fen.begin() + at, "pnbrqkPNBRQK12345678/ -"[rng_.below(23)]); break;
                case 3: fen.erase(at, rng_.between(1, 4)); break;
                default: fen += " " + fen.substr(0, at); break;
            }
        }
        return fen;
    }

    std::string randomPlacementFen() {
        std::string fen;
        for (int row = 0; row < 8; ++row) {
            int empty = 0;
            for (int file = 0; file < 8; ++file) {
                if (rng_.chance(75)) {
                    ++empty;
                    continue;
                }
                if (empty) fen += char('0' + empty);
                empty = 0;
                fen += "pnbrqPNBRQ"[rng_.below(10)];
            }
            if (empty) fen += char('0' + empty);
            if (row < 7) fen += '/';
        }
        // Kings on random squares, usually one each: replace two placement letters.
        for (char king : {'K', 'k'}) {
            std::vector<size_t> letters;
            for (size_t i = 0; i < fen.size(); ++i)
                if (std::isalpha(static_cast<unsigned char>(fen[i]))) letters.push_back(i);
            if (!letters.empty() && rng_.chance(92)) fen[letters[rng_.below(int(letters.size()))]] = king;
        }
        fen += rng_.chance(50) ? " w " : " b ";
        fen += rng_.pick({"-", "KQkq", "Kq", "k"});
        fen += rng_.pick({" -", " e3", " d6", " a9", ""});
        return fen;
    }

    void addSetboard() {
        std::string fen;
        bool known = false;
        const int kind = rng_.below(100);
        if (kind < 40) {
            fen = rng_.pick(POSITIONS);
            known = true;
        } else if (kind < 65) {
            fen = mutatedFen(rng_.pick(POSITIONS));
        } else if (kind < 80) {
            fen = randomPlacementFen();
        } else if (kind < 90) {
            // Over-long: refused whole, whatever it starts with.
            fen = std::string(rng_.pick(POSITIONS)) + " " + letters(rng_.between(200, 3000));
        } else if (kind < 92) {
            fen = "8/8/8/8/8/8/8/8 w - - 0 1";  // pychess parks its analysers so
        } else if (kind < 95) {
            fen = std::string(rng_.pick(POSITIONS)).substr(0, rng_.between(0, 20));
        } else {
            for (int i = rng_.between(0, 60); i > 0; --i) {
                const char c = char(rng_.below(256));
                if (c != '\n') fen.push_back(c);
            }
        }
        const int form = rng_.below(100);
        if (form < 85) add("setboard " + fen);
        else if (form < 90) add("setboard\t" + fen);
        else if (form < 95) add("setboarding " + fen);
        else {
            add("setboard");  // its line is empty
            known = false;
        }
        beliefKnown_ = known;
        if (known) belief_ = fen;
        awaiting_ = false;
    }

    void addTime() {
        static const char* const CLOCKS[] = {"-50", "-1", "0", "1", "2", "5", "10", "20", "40",
                                             "60", "100", "120", "150", "199", "+7", "007"};
        static const char* const OPPONENT[] = {"0", "100", "99999999", "-5", "5x"};
        std::string keyword = rng_.chance(90) ? "time" : "timed";
        const int form = rng_.below(100);
        if (form < 80) {
            std::string line = keyword + " " + rng_.pick(CLOCKS);
            if (rng_.chance(70)) {
                add(line);
                add(std::string("otim ") + rng_.pick(OPPONENT));
            } else if (rng_.chance(50)) {
                add(line + " otim " + rng_.pick(OPPONENT));
            } else {
                add(line);
            }
        } else if (form < 88) {
            add(keyword);
        } else if (form < 94) {
            add(keyword + " " + junkWord());
        } else {
            add(keyword + " " + rng_.pick(CLOCKS) + " otim");
        }
    }

    void addLevel() {
        static const char* const MOVES[] = {"0", "20", "40", "60", "100", "-3", "x1"};
        static const char* const BASES[] = {"0", "1", "5", "0:20", "0:05", "5:30", "1:", "x"};
        static const char* const INCREMENTS[] = {"0", "0.01", "0.02", "0.05", "x", "-1", "0.0001"};
        std::string line = "level";
        const int words = rng_.chance(85) ? 3 : rng_.below(3);
        if (words > 0) line += std::string(" ") + rng_.pick(MOVES);
        if (words > 1) line += std::string(" ") + rng_.pick(BASES);
        if (words > 2) line += std::string(" ") + rng_.pick(INCREMENTS);
        add(line);
    }

    // Takebacks, pings and the fixed time and depth per move, with arguments good and bad.
    void addSettingOrTakeBack() {
        static const char* const PINGS[] = {"ping 7", "ping -1", "ping 99999999999", "ping", "ping x"};
        static const char* const TIMES[] = {"st 0", "st 0.1", "st 0.05", "st -2", "st x", "st"};
        static const char* const DEPTHS[] = {"sd 1", "sd 2", "sd 3", "sd 0", "sd 99", "sd -5", "sd x"};
        const int r = rng_.below(100);
        if (r < 45) {
            add(rng_.chance(60) ? "undo" : "remove");
            // The generator does not follow takebacks: its moves are guesses from here on.
            beliefKnown_ = false;
        } else if (r < 65) {
            add(rng_.pick(PINGS));
        } else if (r < 85) {
            add(rng_.pick(TIMES));
        } else {
            add(rng_.pick(DEPTHS));
        }
    }

    void addOverlongWord() {
        const int kind = rng_.below(4);
        std::string word = kind == 0 ? "e2e4" : kind == 1 ? "time" : kind == 2 ? "go" : "";
        // Exactly at the limit the word still counts; one more and it is ignored.
        const int length = rng_.chance(30) ? int(WORD_LIMIT) + rng_.below(2) : rng_.between(256, 4000);
        word += letters(std::max(0, length - int(word.size())));
        add(word);
    }

    void addBinary() {
        std::string bytes;
        for (int i = rng_.between(1, 300); i > 0; --i) bytes.push_back(char(rng_.below(256)));
        text_ += bytes;
        text_ += "\n";
    }

    void addItem() {
        const int r = rng_.below(1000);
        if (r < 230) {
            // The opponent's move: mostly one that is legal in the believed game.
            const std::string word = rng_.chance(80) ? believedMove() : randomCoordinateWord();
            add(word);
            if (awaiting_) engineMoved();
        } else if (r < 300) {
            add(rng_.chance(85) ? "new" : rng_.chance(50) ? "result 1-0 {White mates}" : "newgame");
            belief_ = POSITIONS[0];
            beliefKnown_ = true;
            awaiting_ = true;
        } else if (r < 370) {
            add("force");
            awaiting_ = false;
        } else if (r < 440) {
            add("go");
            engineMoved();
            awaiting_ = true;
        } else if (r < 530) {
            addTime();
        } else if (r < 570) {
            addLevel();
        } else if (r < 650) {
            addSetboard();
        } else if (r < 670) {
            const bool white = rng_.chance(50);
            add(white ? "white" : "black");
            awaiting_ = false;
            if (beliefKnown_) engineMovedTo(white ? 'w' : 'b');
        } else if (r < 690) {
            // xboard's way into a machine mode: the other colour, the clocks, the side on move
            // (as the generator believes it), go.
            const bool white = beliefKnown_ ? belief_[belief_.find(' ') + 1] == 'w' : rng_.chance(50);
            add(white ? "black" : "white");
            add(std::string("time ") + rng_.pick({"10", "20", "40"}) + "\notim 100");
            add(white ? "white" : "black");
            add("go");
            engineMoved();
            awaiting_ = true;
        } else if (r < 720) {
            // "test" thinks until the clock cap: only after a small clock.
            add(std::string("time ") + rng_.pick({"5", "10", "20"}));
            add("test");
            belief_ = POSITIONS[0];
            beliefKnown_ = true;
            engineMoved();
            awaiting_ = true;
        } else if (r < 740) {
            add(rng_.chance(70) ? "benchmark" : "benchmarks");
        } else if (r < 750) {
            add(rng_.pick(IGNORED_COMMANDS));
        } else if (r < 790) {
            // Analysis: entered, then left by exit, by a command that starts play, or by the
            // end of the conversation; moves, takebacks and set-ups come in between.
            add(rng_.chance(50) ? "post\nanalyze" : rng_.pick({"exit", "exit", ".", "nopost", "analyze"}));
        } else if (r < 810) {
            addSettingOrTakeBack();
        } else if (r < 850) {
            add(rng_.pick(PREFIX_VARIANTS));
        } else if (r < 900) {
            add(junkWord());
        } else if (r < 930) {
            addOverlongWord();
        } else if (r < 960) {
            addBinary();
        } else if (r < 975) {
            // A long line of many short words.
            std::string line;
            for (int i = rng_.between(50, 600); i > 0; --i) line += junkWord() + " ";
            add(line);
        } else if (r < 985) {
            add("quit");
        } else {
            add(randomCoordinateWord());
        }
    }

    void engineMovedTo(char side) {
        const size_t space = belief_.find(' ');
        if (space != std::string::npos && space + 1 < belief_.size()) belief_[space + 1] = side;
    }

    Random rng_;
    std::string text_;
    std::string belief_ = POSITIONS[0];
    bool beliefKnown_ = true;  // the engine starts in the initial position, as after "new"
    bool awaiting_ = true;
};

// --- Replaying a conversation as the engine reads it ----------------------------------------

// The conversation as the engine's own reader sees it, read from memory.
class ConversationInput {
public:
    explicit ConversationInput(const std::string& text)
        : stream_(fmemopen(const_cast<char*>(text.data()), text.size(), "r")), reader_(stream_) {}
    ~ConversationInput() {
        if (stream_) std::fclose(stream_);
    }
    ConversationInput(const ConversationInput&) = delete;
    ConversationInput& operator=(const ConversationInput&) = delete;

    bool readWord(std::string& word) { return stream_ && reader_.readWord(word); }
    void pushBack(const std::string& word) { reader_.pushBack(word); }
    std::string readRestOfLine() {
        std::string line;
        if (stream_) reader_.readRestOfLine(line);
        return line;
    }

private:
    std::FILE* stream_;
    InputReader reader_;
};

// What the engine prints that the conversation determines, in order.
struct Answer {
    enum Kind { MOVE, RESULT, REPLY } kind;
    std::string text;    // the move, the result line or the whole reply
    std::string result;  // a result line that follows a move
};

const char* const RESULTS_WITHOUT_MOVE[] = {
    "1-0 {Vostil mated 0}", "0-1 {Vostil mated 0}", "1/2-1/2 {Draw by stalemate (1)}",
    "1/2-1/2 {Draw by repetition (2)}",
};
const char* const RESULTS_AFTER_MOVE[] = {
    "1-0 {Vostil mates 1}", "0-1 {Vostil mates 1}", "1/2-1/2 {Draw by ...(3)}",
};

template <size_t N>
bool isOneOf(const std::string& line, const char* const (&texts)[N]) {
    return std::any_of(texts, texts + N, [&](const char* t) { return line == t; });
}

std::vector<Answer> parseAnswers(const std::string& output) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < output.size()) {
        size_t end = output.find('\n', start);
        if (end == std::string::npos) end = output.size();
        lines.push_back(output.substr(start, end - start));
        start = end + 1;
    }
    std::vector<Answer> answers;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.rfind("move ", 0) == 0) {
            Answer a{Answer::MOVE, line.substr(5), ""};
            if (i + 1 < lines.size() && isOneOf(lines[i + 1], RESULTS_AFTER_MOVE)) a.result = lines[++i];
            answers.push_back(a);
        } else if (isOneOf(line, RESULTS_WITHOUT_MOVE) || isOneOf(line, RESULTS_AFTER_MOVE)) {
            answers.push_back({Answer::RESULT, line, ""});
        } else if (line.rfind("Illegal move: ", 0) == 0 || line == "tellusererror Illegal position" ||
                   line.rfind("Error (", 0) == 0 || line == "Define __STAT" || line.rfind("pong ", 0) == 0) {
            answers.push_back({Answer::REPLY, line, ""});
        }
        // The handshake, the missing book and EPD warnings are not the conversation's.
    }
    return answers;
}

std::string describe(const Answer& a) {
    switch (a.kind) {
        case Answer::MOVE: return "move " + a.text + (a.result.empty() ? "" : " / " + a.result);
        case Answer::RESULT: return a.text;
        case Answer::REPLY: return a.text;
    }
    return "";
}

struct ReplayStats {
    int thinks = 0;
    int movesChecked = 0;
    int resultsChecked = 0;
    int refusedMoves = 0;
    int refusedPositions = 0;
    int analyses = 0;  // conversations that analysed
};

// Replays the conversation. Dry, it only bounds the thinking time the conversation can ask
// for (every word that could make the engine think counts); otherwise it follows the game
// with the library and checks the engine's answers against it.
class Replay {
public:
    Replay(const std::string& input, const std::vector<Answer>* answers)
        : in_(input), answers_(answers) {}

    std::string failure;
    ReplayStats stats;
    uint32_t longestThinkMs = 0;
    uint64_t totalThinkMs = 0;

    void run() {
        // The engine starts in the initial position; a dry run has none to follow.
        pos = Position{};
        gamePositionReady = false;
        if (!dry()) setupGamePosition(START_FEN, false);
        std::string word;
        in_.readWord(word);  // the handshake word is never dispatched
        awaiting_ = true;    // the engine answers the first move, as after "new"
        while (failure.empty() && in_.readWord(word)) {
            // The engine's own dispatch. A dry run has no position to read moves in, so every
            // coordinate-looking word counts as one.
            Move m = 0;
            Command command = classifyCommand(word, m);
            if (dry() && command == Command::Unknown && word.size() <= WORD_LIMIT &&
                looksLikeCoordinates(word))
                command = Command::Move;
            if (command == Command::Result) {
                in_.readRestOfLine();  // the result and its comment
                command = Command::NewGame;
            }
            if (analysing_ && analyse(command, word, m)) continue;
            switch (command) {
                case Command::Time: handleTime(); break;
                case Command::Move: handleReceivedMove(word, m); break;
                case Command::Go:
                    awaiting_ = false;
                    if (dry() || gamePositionReady) think();
                    break;
                case Command::NewGame:
                    if (!dry()) setupGamePosition(START_FEN, false);
                    awaiting_ = true;
                    depth_ = NO_DEPTH_LIMIT;
                    break;
                case Command::Level: handleLevel(); break;
                case Command::Force: awaiting_ = false; break;
                case Command::Setboard: handleSetboard(); break;
                case Command::Quit: return finish();
                case Command::White: handleSideToMove(WHITE); break;
                case Command::Black: handleSideToMove(BLACK); break;
                case Command::Benchmark: expect("Define __STAT"); break;
                case Command::FeatureAnswer: {
                    std::string feature;
                    in_.readWord(feature);  // the feature's name is no command
                    break;
                }
                case Command::Test:
                    awaiting_ = false;
                    if (!dry()) setupGamePosition(START_FEN, false);
                    budgetMs_ = testCommandBudget(incrementMs_, movesPerControl_);
                    think();
                    break;
                case Command::Undo: takeBack(1); break;
                case Command::Remove: takeBack(2); break;
                case Command::Ping: {
                    long long n;
                    if (readInteger(in_, n)) expect("pong " + std::to_string(n));
                    break;
                }
                case Command::FixedTime: {
                    double seconds;
                    if (readSeconds(in_, seconds)) fixedSeconds_ = seconds;
                    break;
                }
                case Command::FixedDepth: {
                    long long depth;  // without any clock the search goes to this depth
                    if (readInteger(in_, depth)) depth_ = int(std::clamp<long long>(depth, 2, 63));
                    break;
                }
                case Command::Name: in_.readRestOfLine(); break;
                case Command::Rating: {
                    long long rating;
                    if (readInteger(in_, rating)) readInteger(in_, rating);
                    break;
                }
                case Command::Ponder: {
                    std::string word;
                    if (in_.readWord(word) && word != "on" && word != "off") in_.pushBack(word);
                    break;
                }
                case Command::Analyze:
                    awaiting_ = false;
                    analysing_ = true;
                    if (!dry()) ++stats.analyses;
                    break;
                case Command::Post:
                case Command::NoPost:
                case Command::Exit:
                case Command::Status: break;  // thinking and status lines are not answers
                case Command::Protover:
                case Command::OpponentTime:
                case Command::Memory: {
                    long long number;
                    readInteger(in_, number);
                    break;
                }
                case Command::Option: handleOption(); break;
                case Command::Silent:
                case Command::Result: break;
                case Command::Unknown:
                    expect("Error (unknown command): " + std::string(word.substr(0, WORD_LIMIT).c_str()));
                    in_.readRestOfLine();  // its arguments
                    break;
            }
        }
        finish();
    }

    void finish() {
        if (failure.empty() && !dry() && next_ < answers_->size())
            failure = "the engine printed more than the conversation asks for: " +
                      describe((*answers_)[next_]);
    }

private:
    bool dry() const { return answers_ == nullptr; }

    static bool looksLikeCoordinates(const std::string& w) {
        return w.size() >= 4 && w[0] >= 'a' && w[0] <= 'h' && w[1] >= '1' && w[1] <= '8' &&
               w[2] >= 'a' && w[2] <= 'h' && w[3] >= '1' && w[3] <= '8';
    }

    // The engine's own readers of these arguments, so that the model spends the same time.
    void handleTime() { readTimeArguments(in_, incrementMs_, movesPerControl_, budgetMs_, clockMs_); }

    void handleLevel() {
        readLevelArguments(in_, movesPerControl_, incrementMs_, budgetMs_, clockMs_);
        fixedSeconds_ = NO_FIXED_TIME;
    }

    // The engine's analysis: it follows the game and never moves; commands that start play
    // leave it. True when the command was dealt with.
    bool analyse(Command command, const std::string& word, Move m) {
        switch (command) {
            case Command::Move:
                if (dry()) return true;
                if (!gamePositionReady || !isLegalMove(m)) {
                    ++stats.refusedMoves;
                    expect("Illegal move: " + std::string(word.c_str()));
                } else {
                    playGameMove(m);
                }
                return true;
            case Command::NewGame:
                if (!dry()) setupGamePosition(START_FEN, false);
                depth_ = NO_DEPTH_LIMIT;
                return true;
            case Command::Setboard:
                handleSetboard();
                return true;
            case Command::Exit: analysing_ = false; return true;
            case Command::Analyze: return true;
            case Command::Go:
            case Command::Force:
            case Command::White:
            case Command::Black:
            case Command::Test:
                analysing_ = false;
                return false;
            default: return false;
        }
    }

    // Only the options the handshake announced are known, written as the protocol does.
    void handleOption() {
        std::string text = in_.readRestOfLine();
        const size_t first = text.find_first_not_of(" \t"), last = text.find_last_not_of(" \t\r\n");
        text = first == std::string::npos ? "" : text.substr(first, last - first + 1);
        if (text != "OwnBook=0" && text != "OwnBook=1" && text != "Clear Hash" &&
            !std::regex_match(text, std::regex("MultiPV= *-?[0-9]+")))
            expect("Error (unknown option): " + std::string(text.c_str()));
    }

    void takeBack(int moves) {
        if (!dry() && gamePositionReady) takeBackMoves(moves);
    }

    void handleSetboard() {
        awaiting_ = false;
        const std::string text = in_.readRestOfLine();
        if (dry()) return;
        const SetboardOutcome outcome = setUpFromSetboardLine(text, false);
        if (outcome == SetboardOutcome::Refused || outcome == SetboardOutcome::EmptyBoard) {
            ++stats.refusedPositions;
            expect(outcome == SetboardOutcome::Refused ? "tellusererror Illegal position" : "Error (empty board): setboard");
        }
    }

    void handleSideToMove(int side) {
        awaiting_ = false;
        if (!dry()) handMoveTo(side);
    }

    void handleReceivedMove(const std::string& word, Move m) {
        if (dry()) {
            if (awaiting_) think();
            return;
        }
        if (!gamePositionReady || !isLegalMove(m)) {
            ++stats.refusedMoves;
            expect("Illegal move: " + std::string(word.c_str()));  // printed up to a zero byte, as C text
            return;
        }
        playGameMove(m);
        if (awaiting_) think();
    }

    // The engine's next answer is the reply `line`.
    void expect(const std::string& line) {
        if (dry()) return;
        const Answer wanted{Answer::REPLY, line, ""};
        if (next_ >= answers_->size()) {
            failure = "the engine stopped answering; expected: " + describe(wanted);
            return;
        }
        const Answer& got = (*answers_)[next_++];
        if (got.kind != Answer::REPLY || got.text != line)
            failure = "expected \"" + describe(wanted) + "\", the engine printed \"" + describe(got) + "\"";
    }

    // The engine thinks on the game's position and answers with a move or a result.
    void think() {
        awaiting_ = true;
        // A fixed time per move is spent whole, within the clock.
        const uint32_t cap = capFor(clockMs_, incrementMs_, fixedSeconds_);
        uint32_t spend = fixedSeconds_ == NO_FIXED_TIME ? std::min(budgetMs_, cap) : cap;
        // A depth without any clock is searched whole, however long: only a shallow one is
        // short for certain.
        if (clockMs_ == CLOCK_UNKNOWN && fixedSeconds_ == NO_FIXED_TIME && depth_ != NO_DEPTH_LIMIT)
            spend = depth_ <= 3 ? 50 : MAX_THINK_MS + 1;
        longestThinkMs = std::max(longestThinkMs, spend);
        totalThinkMs += spend;
        ++stats.thinks;
        if (dry()) return;

        const std::string fen = currentFen();
        if (next_ >= answers_->size()) {
            failure = "no move or result where the engine had to think, in " + fen;
            return;
        }
        const Answer& got = (*answers_)[next_++];
        if (got.kind == Answer::MOVE) {
            const Move m = parseCoordinateMove(got.text.c_str(), MoveSource::Root);
            if (!isLegalMove(m) || moveText(m) != got.text || !soundOnTheBoard(m)) {
                failure = "illegal move \"" + got.text + "\" in " + fen;
                return;
            }
            playGameMove(m);
            if (!positionIsConsistent()) {
                failure = "the move \"" + got.text + "\" left a broken board after " + fen;
                return;
            }
            ++stats.movesChecked;
            if (!got.result.empty()) checkResult(got.result, true);
        } else if (got.kind == Answer::RESULT) {
            checkResult(got.text, false);
        } else {
            failure = "expected a move or a result in " + fen + ", the engine printed \"" + describe(got) + "\"";
        }
    }

        // What the board itself says of a move, independent of the generators: the mover's own
    // piece leaves its square, no own piece is taken, and an en-passant capture takes an
    // enemy pawn that stands beside the moving pawn.
    static bool soundOnTheBoard(Move m) {
        if (m >= 0xC000) return true;  // castling: the generators' rights and squares decide
        const Square from = moveFrom(m), to = moveTo(m);
        const PieceCode mover = pos.board[from], target = pos.board[to];
        const int side = pos.sideToMove;
        if (mover == EMPTY || (isWhitePiece(mover) ? WHITE : BLACK) != side) return false;
        if (target != EMPTY && (isWhitePiece(target) ? WHITE : BLACK) == side) return false;
        if (moveKind(m) == MOVE_EN_PASSANT) {
            const Square victim = Square(8 * rowOf(from) + fileOf(to));
            const PieceCode enemyPawn = side == WHITE ? BLACK_PAWN : WHITE_PAWN;
            return target == EMPTY && pos.board[victim] == enemyPawn;
        }
        return true;
    }

    // A result line must say what a chess player sees on the board.
    void checkResult(const std::string& line, bool afterMove) {
        ++stats.resultsChecked;
        const std::string fen = currentFen();
        const bool blackToMove = pos.sideToMove == BLACK;
        const bool mated = sideToMoveInCheck() && legalMoves().empty();
        const bool stalemated = !sideToMoveInCheck() && legalMoves().empty();
        bool sound;
        if (line.find("stalemate") != std::string::npos) {
            sound = stalemated && !afterMove;
        } else if (line.find("mate") != std::string::npos) {
            // "mates 1" after the engine's move, "mated 0" before it: either way the side to
            // move now is mated, and the winner is the other side.
            const bool wantMove = line.find("mates 1") != std::string::npos;
            sound = mated && wantMove == afterMove && (line.rfind("1-0", 0) == 0) == blackToMove;
        } else {
            // Drawn by material, the fifty-move rule or a repetition.
            sound = isDraw(ROOT_REPETITION_COUNT);
        }
        if (!sound) failure = "result \"" + line + "\" does not hold in " + fen;
    }

    static uint32_t capFor(uint32_t clock, uint32_t increment, double fixedSeconds) {
        const uint32_t savedClock = clockMs, savedIncrement = incrementMs, savedFixed = fixedMoveTimeMs;
        clockMs = clock;
        incrementMs = increment;
        fixedMoveTimeMs = NO_FIXED_MOVE_TIME;
        if (fixedSeconds != NO_FIXED_TIME) setFixedMoveTime(fixedSeconds);
        const uint32_t cap = moveTimeCap();
        clockMs = savedClock;
        incrementMs = savedIncrement;
        fixedMoveTimeMs = savedFixed;
        return cap;
    }

    static constexpr double NO_FIXED_TIME = -1e300;

    ConversationInput in_;
    const std::vector<Answer>* answers_;
    size_t next_ = 0;
    bool awaiting_ = false;
    int32_t movesPerControl_ = 40;
    uint32_t incrementMs_ = 0;
    uint32_t budgetMs_ = 0;
    uint32_t clockMs_ = CLOCK_UNKNOWN;
    double fixedSeconds_ = NO_FIXED_TIME;
    int depth_ = NO_DEPTH_LIMIT;
    bool analysing_ = false;
};

// Conversations as text a reader can see: control and high bytes escaped, long ones cut.
std::string printable(const std::string& text, size_t limit = 4000) {
    std::string out;
    for (size_t i = 0; i < text.size() && out.size() < limit; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\n') out += "\\n\n";
        else if (c >= 32 && c < 127 && c != '\\') out += char(c);
        else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        }
    }
    if (out.size() >= limit) out += "... (" + std::to_string(text.size()) + " bytes in all)";
    return out;
}

// The library's own messages (an EPD move it cannot read) must not clutter the test output.
class QuietStandardOutput {
public:
    QuietStandardOutput() {
        std::fflush(stdout);
        saved_ = dup(1);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        close(null);
    }
    ~QuietStandardOutput() {
        std::fflush(stdout);
        dup2(saved_, 1);
        close(saved_);
    }

private:
    int saved_;
};

uint64_t runSeed(uint64_t seed, uint64_t run) {
    Random mix(seed * 0x100000001B3ull + run);
    return mix.next();
}

// One conversation: drawn (again, until its clocks keep the thinking short), played, checked.
std::string playConversation(uint64_t seed, uint64_t run, ReplayStats& totals, std::string& input) {
    Random draws(runSeed(seed, run));
    for (int attempt = 0;; ++attempt) {
        ConversationGenerator generator(draws.next());
        input = generator.make();
        Replay bound(input, nullptr);
        bound.run();
        if (bound.longestThinkMs <= MAX_THINK_MS && bound.totalThinkMs <= MAX_TOTAL_THINK_MS) {
            EngineProcess engine;
            engine.send(input);
            engine.closeInput();
            const int timeoutMs = BASE_TIMEOUT_MS + 4 * int(bound.totalThinkMs);
            if (!engine.waitForExit(timeoutMs))
                return "the engine did not end within " + std::to_string(timeoutMs) + " ms\n" +
                       "output:\n" + printable(engine.output()) + "\nerrors:\n" + engine.errors();
            if (!engine.exitedCleanly() || !engine.errors().empty())
                return "the engine ended badly\nerrors:\n" + engine.errors() + "\noutput:\n" +
                       printable(engine.output());

            const std::vector<Answer> answers = parseAnswers(engine.output());
            Replay replay(input, &answers);
            {
                QuietStandardOutput quiet;
                replay.run();
            }
            totals.thinks += replay.stats.thinks;
            totals.movesChecked += replay.stats.movesChecked;
            totals.resultsChecked += replay.stats.resultsChecked;
            totals.refusedMoves += replay.stats.refusedMoves;
            totals.refusedPositions += replay.stats.refusedPositions;
            totals.analyses += replay.stats.analyses > 0;
            if (!replay.failure.empty())
                return replay.failure + "\noutput:\n" + printable(engine.output());
            return "";
        }
        if (attempt == 50) return "no conversation with short enough clocks was drawn";
    }
}

void fuzzShard(int shard) {
    const uint64_t runs = environmentNumber("VOSTIL_FUZZ_RUNS", DEFAULT_RUNS);
    const uint64_t seed = environmentNumber("VOSTIL_FUZZ_SEED", DEFAULT_SEED);
    const uint64_t first = environmentNumber("VOSTIL_FUZZ_FIRST", 0);
    const auto start = std::chrono::steady_clock::now();

    ReplayStats totals;
    int played = 0, failures = 0;
    for (uint64_t run = first + uint64_t(shard); run < first + runs; run += SHARDS) {
        std::string input;
        const std::string failure = playConversation(seed, run, totals, input);
        ++played;
        if (failure.empty()) continue;
        const std::string file = "fuzz-failure-" + std::to_string(seed) + "-" + std::to_string(run) + ".txt";
        std::ofstream(file, std::ios::binary) << input;
        ADD_FAILURE() << "conversation " << run << " of seed " << seed
                      << " (again alone: VOSTIL_FUZZ_SEED=" << seed << " VOSTIL_FUZZ_FIRST=" << run
                      << " VOSTIL_FUZZ_RUNS=1; input saved as " << file << "):\n"
                      << failure << "\ninput:\n" << printable(input);
        if (++failures == MAX_REPORTED_FAILURES) break;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("shard %d: %d conversations in %.1f s (%d analysed); %d thinking answers, %d moves and "
                "%d results checked, %d moves and %d positions refused\n",
                shard, played, seconds, totals.analyses, totals.thinks, totals.movesChecked,
                totals.resultsChecked, totals.refusedMoves, totals.refusedPositions);
    // The generated games must reach the engine: most conversations make it move.
    if (played >= 40) {
        EXPECT_GT(totals.movesChecked, played / 2);
    }
}

// --- UCI conversations -----------------------------------------------------------------------
// The same engine spoken to in UCI: whole games, refused moves and FEN text, every limit of
// "go", stops, readiness questions, unknown lines, and "quit" or the end of input anywhere.
// Sent at once, so each line ends the search before it. Each "go" must get exactly one
// "bestmove", legal in the game the engine then holds (replayed with the library's own
// set-up), or "0000" where that game has no legal move.

// The legal moves of a game set up from a "position" line's arguments, as texts.
std::vector<std::string> legalMoveTextsAfter(const std::string& arguments) {
    QuietStandardOutput quiet;
    setUpUciPosition(arguments);
    std::vector<std::string> texts;
    for (const Move m : legalMoves()) texts.push_back(moveText(m));
    return texts;
}

class UciConversation {
public:
    explicit UciConversation(uint64_t seed) : rng_(seed) {}

    std::string make() {
        text_.clear();
        // Any command only UCI has opens a conversation; scid sends its options and a readiness
        // question before "uci".
        const int opening = rng_.below(100);
        if (opening < 75) add("uci");
        else if (opening < 85) add("setoption name Ponder value false\nisready");
        else add(rng_.pick({"isready", "ucinewgame", "debug off", "register later", "setoption name Hash value 1",
                            "setoption name OwnBook value false",
                             "setoption name MultiPV value 3"}));
        if (opening >= 85 && rng_.chance(50)) add(position());
        const int items = rng_.between(1, 30);
        for (int i = 0; i < items && text_.size() < MAX_CONVERSATION_BYTES - 12000; ++i) addItem();
        const int ending = rng_.below(100);
        if (ending < 45) add("quit");
        else if (ending < 55) {
            add("quit");
            addItem();  // nothing after "quit" may be acted on
        }
        return text_;
    }

private:
    void add(const std::string& line) { text_ += line + (rng_.chance(10) ? "\r\n" : "\n"); }

    // A game from `base`: up to `plies` random legal moves, sometimes one word more that may
    // be anything.
    std::string game(const std::string& base, int plies) {
        std::string moves;
        for (int i = 0; i < plies; ++i) {
            const std::vector<std::string> legal = legalMoveTextsAfter(base + " moves" + moves);
            if (legal.empty()) break;
            moves += " " + legal[size_t(rng_.below(int(legal.size())))];
        }
        if (rng_.chance(15)) moves += rng_.chance(50) ? " e2e5" : " " + std::string(1, char('a' + rng_.below(26))) + "7";
        return base + (moves.empty() && rng_.chance(50) ? "" : " moves" + moves);
    }

    std::string position() {
        const int kind = rng_.below(100);
        if (kind < 35) return "position " + game("startpos", rng_.between(0, 30));
        if (kind < 70) {
            std::string fen = rng_.pick(POSITIONS);
            if (fen.find(';') != std::string::npos) fen = POSITIONS[0];
            return "position " + game("fen " + fen, rng_.between(0, 12));
        }
        if (kind < 80) {  // a FEN cut anywhere, or fields out of place
            const std::string fen = rng_.pick(POSITIONS);
            return "position fen " + fen.substr(0, size_t(rng_.below(int(fen.size()) + 1))) + " moves e2e4";
        }
        if (kind < 88) {  // a game long past the history's length, a line past any word's
            std::string moves;
            const char* cycle[4] = {" g1f3", " g8f6", " f3g1", " f6g8"};
            for (int i = 0, n = rng_.between(100, 2400); i < n; ++i) moves += cycle[i % 4];
            return "position startpos moves" + moves;
        }
        const char* odd[] = {"position", "position fen", "position startpos moves", "position moves e2e4",
                             "position startpos e2e4", "position fen 8/8/8/8/8/8/8/8 w - - 0 1"};
        return rng_.pick(odd);
    }

    std::string go() {
        const char* words[] = {"infinite", "ponder", "depth", "movetime", "nodes", "wtime", "btime",
                               "winc", "binc", "movestogo", "mate", "searchmoves"};
        // Root choices legal in some positions and not in others, and words that are no moves.
        const char* choices[] = {"e2e4", "d2d4", "g1f3", "e7e5", "g8f6", "b1c3", "e1g1", "h7h8q", "a1a1", "0000", "x"};
        std::string line = "go";
        for (int i = 0, n = rng_.below(5); i < n; ++i) {
            line += std::string(" ") + rng_.pick(words);
            if (line.size() >= 11 && line.compare(line.size() - 11, 11, "searchmoves") == 0)
                for (int k = 0, m = rng_.below(4); k < m; ++k) line += std::string(" ") + rng_.pick(choices);
            const int r = rng_.below(100);
            if (r < 70) line += " " + std::to_string(rng_.between(0, 5000));
            else if (r < 80) line += " -" + std::to_string(rng_.between(1, 5000));
            else if (r < 85) line += " 99999999999999999999";
        }
        return line;
    }

    void addItem() {
        const int r = rng_.below(100);
        if (r < 30) add(position());
        else if (r < 60) add(go());
        else if (r < 68) add("stop");
        else if (r < 76) add("isready");
        else if (r < 80) add("ucinewgame");
        else if (r < 82) add("uci");
        else if (r < 85) add("ponderhit");
        else if (r < 90) {
            const char* other[] = {"setoption name Hash value 1", "debug on", "register later", "",
                                   "   ", "xboard", "new", "e2e4", "QUIT", "7", "\x01\xff",
                                   // The options, in and out of their limits, others' and none.
                                   "setoption name Hash value 16", "setoption name hash value 0",
                                   "setoption name Hash value -3", "setoption name Hash value x",
                                   "setoption name Hash value 1 value 2", "setoption name Hash",
                                   "setoption name Clear Hash", "setoption name Clear Hash value go",
                                   "setoption name OwnBook value false", "setoption name OwnBook value true",
                                   "setoption name OwnBook value maybe", "setoption name Threads value 2",
                                   "setoption name", "setoption", "setoption value 5 name Hash", "setoption name multipv value 99",
                                   "setoption name MultiPV value 0", "setoption name MultiPV value x"};
            add(rng_.pick(other));
        } else add(position() + "\n" + go());
    }

    Random rng_;
    std::string text_;
};

// Checks the engine's answers to one UCI conversation; "" when they are right.
std::string checkUciConversation(const std::string& input, const std::string& output, int& movesChecked) {
    std::vector<std::vector<std::string>> legalAtGo;
    int readiness = 0, identities = 0;
    legalMoveTextsAfter("startpos");
    size_t start = 0;
    while (start < input.size()) {
        size_t end = input.find('\n', start);
        if (end == std::string::npos) end = input.size();
        std::string line = input.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string_view rest = line;
        const std::string_view first = nextWord(rest);
        if (first == "quit") break;
        if (first == "uci") ++identities;
        else if (first == "isready") ++readiness;
        else if (first == "ucinewgame") legalMoveTextsAfter("startpos");
        else if (first == "position") legalMoveTextsAfter(std::string(rest));
        else if (first == "go") {
            legalAtGo.push_back(legalMoveTextsAfter("moves"));  // "moves" alone is refused: the game stays
            // The legal root choices: the move is one of them, where there are any.
            std::vector<std::string> chosen;
            std::string_view words = std::string_view(line).substr(std::min(line.find("searchmoves"), line.size()));
            for (std::string_view w = nextWord(words); !w.empty(); w = nextWord(words))
                if (std::count(legalAtGo.back().begin(), legalAtGo.back().end(), w)) chosen.emplace_back(w);
            if (!chosen.empty()) legalAtGo.back() = chosen;
        }
    }

    const std::regex info(R"(info depth \d+ (seldepth \d+ (multipv ([1-9]|1[0-6]) )?)?score (cp|mate) -?\d+)"
                          R"(( nodes \d+ time \d+ nps \d+ hashfull \d+( pv( [a-h][1-8][a-h][1-8][qrbn]?)+)?)?)"
                          R"(|info depth \d+ currmove [a-h][1-8][a-h][1-8][qrbn]? currmovenumber \d+)");
    size_t go = 0;
    int readyok = 0, uciok = 0;
    start = 0;
    while (start < output.size()) {
        size_t end = output.find('\n', start);
        if (end == std::string::npos) end = output.size();
        const std::string line = output.substr(start, end - start);
        start = end + 1;
        if (line == "readyok") ++readyok;
        else if (line == "uciok") ++uciok;
        else if (line.rfind("bestmove ", 0) == 0) {
            if (go == legalAtGo.size()) return "a bestmove without a go: " + line;
            const auto& legal = legalAtGo[go++];
            const std::string move = line.substr(9);
            if (legal.empty() ? move != "0000" : std::find(legal.begin(), legal.end(), move) == legal.end())
                return "bestmove " + move + " for go " + std::to_string(go) + ", which has " +
                       std::to_string(legal.size()) + " legal moves";
        } else if (!(line.rfind("id ", 0) == 0 || line.rfind("option name ", 0) == 0 || line.rfind("info string ", 0) == 0 ||
                     std::regex_match(line, info) || line.empty()))
            return "a line of no UCI form: " + line;
    }
    if (go != legalAtGo.size())
        return std::to_string(legalAtGo.size()) + " go, " + std::to_string(go) + " bestmove";
    movesChecked += int(go);
    if (readyok != readiness) return std::to_string(readiness) + " isready, " + std::to_string(readyok) + " readyok";
    if (uciok != identities) return std::to_string(identities) + " uci, " + std::to_string(uciok) + " uciok";
    return "";
}

void fuzzUci() {
    const uint64_t runs = environmentNumber("VOSTIL_FUZZ_RUNS", DEFAULT_RUNS) / SHARDS;
    const uint64_t seed = environmentNumber("VOSTIL_FUZZ_SEED", DEFAULT_SEED);
    const uint64_t first = environmentNumber("VOSTIL_FUZZ_FIRST", 0);
    int failures = 0, movesChecked = 0;
    for (uint64_t run = first; run < first + runs; ++run) {
        const std::string input = UciConversation(runSeed(seed, run) ^ 0x5543490000000000ull).make();
        EngineProcess engine;
        engine.send(input);
        engine.closeInput();
        std::string failure;
        if (!engine.waitForExit(BASE_TIMEOUT_MS)) failure = "the engine did not end";
        else if (!engine.exitedCleanly() || !engine.errors().empty()) failure = "the engine ended badly:\n" + engine.errors();
        else failure = checkUciConversation(input, engine.output(), movesChecked);
        if (failure.empty()) continue;
        const std::string file = "fuzz-failure-uci-" + std::to_string(seed) + "-" + std::to_string(run) + ".txt";
        std::ofstream(file, std::ios::binary) << input;
        ADD_FAILURE() << "UCI conversation " << run << " of seed " << seed << " (input saved as " << file
                      << "): " << failure << "\noutput:\n" << printable(engine.output()) << "\ninput:\n"
                      << printable(input);
        if (++failures == MAX_REPORTED_FAILURES) break;
    }
    // Most conversations make the engine move.
    if (runs >= 40) {
        EXPECT_GT(movesChecked, int(runs / 2));
    }
}

}  // namespace

// Found by the fuzz: "white" after 1. e4 handed white the en-passant square meant for black,
// so d2e3 "captured" a pawn that is not there and corrupted the board.
TEST(ProtocolFuzzFinds, SideToMoveCommandDropsTheOtherSidesEnPassantSquare) {
    auto run = vostil::testing::runEngine("xboard\nnew\nforce\ne2e4\nwhite\nd2e3\ntime 20\ngo\nquit\n");
    EXPECT_TRUE(run.exitedCleanly) << run.errors;
    EXPECT_NE(run.output.find("Illegal move: d2e3\n"), std::string::npos) << run.output;
    const std::vector<Answer> answers = parseAnswers(run.output);
    ASSERT_FALSE(answers.empty());
    // White moves again in the position after 1. e4, with no en-passant chance.
    ASSERT_TRUE(setupGamePosition("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 1", false));
    EXPECT_EQ(answers.back().kind, Answer::MOVE);
    EXPECT_TRUE(isLegalMove(parseCoordinateMove(answers.back().text.c_str(), MoveSource::Root)))
        << answers.back().text;
}

TEST(ProtocolFuzz, RandomConversationsShard0) { fuzzShard(0); }
TEST(ProtocolFuzz, RandomConversationsShard1) { fuzzShard(1); }
TEST(ProtocolFuzz, RandomConversationsShard2) { fuzzShard(2); }
TEST(ProtocolFuzz, RandomConversationsShard3) { fuzzShard(3); }
TEST(ProtocolFuzz, RandomUciConversations) { fuzzUci(); }
