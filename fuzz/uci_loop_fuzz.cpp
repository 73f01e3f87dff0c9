// A whole UCI conversation: the word "uci" (unless the input opens with another command only
// UCI has), then the input's bytes as its lines, read as the engine reads standard input, to
// "quit" or the end of input. The search runs on the engine thread, the choice on the chooser
// thread, while the loop goes on reading; this build's timed waits end at once
// (VOSTIL_INSTANT_WAITS), so every search is short.
// Afterwards both threads must have ended, every "go" must have had exactly one "bestmove" and
// every "isready" its "readyok", and the game position must be sound and the search unwound.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <dirent.h>
#include <string_view>
#include <sys/mman.h>
#include <sys/stat.h>
#include <thread>

#include "common/next_word.h"
#include "fuzz_support.h"
#include "game/engine_control.h"
#include "game/game_record.h"
#include "protocol/command_loop.h"
#include "protocol/uci_loop.h"
#include "search/search_control.h"

using namespace vostil;

namespace {

int conversation = -1;
int answers = -1;
std::string output;

// The threads of this process: the engine's two come and go with each conversation.
int threadCount() {
    DIR* tasks = opendir("/proc/self/task");
    if (!tasks) fuzz::fail("cannot list the threads");
    int count = 0;
    while (const dirent* entry = readdir(tasks))
        if (entry->d_name[0] != '.') ++count;
    closedir(tasks);
    return count;
}

// A joined thread may stay listed for a moment after it has ended.
bool threadsBackTo(int count) {
    for (int i = 0; i < 2000; ++i) {
        if (threadCount() == count) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

struct Asked {
    int goes = 0;
    int readiness = 0;
};

// The commands that must be answered, counted the way the loop reads its lines: a line's first
// known word is its command, and nothing after "quit" is read.
Asked countQuestions(std::string_view text) {
    static constexpr std::string_view KNOWN[] = {"uci", "isready", "ucinewgame", "position", "go", "stop",
                                                 "ponderhit", "quit", "setoption", "debug", "register"};
    Asked asked;
    while (!text.empty()) {
        const size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (line.size() > (size_t(1) << 20)) continue;  // refused as too long
        std::string_view word;
        do word = nextWord(line);
        while (!word.empty() && std::find(std::begin(KNOWN), std::end(KNOWN), word) == std::end(KNOWN));
        if (word == "quit") break;
        asked.goes += word == "go";
        asked.readiness += word == "isready";
    }
    return asked;
}

// The answers' lines that begin with `start`.
int countLines(std::string_view text, std::string_view start) {
    int count = 0;
    while (!text.empty()) {
        count += text.substr(0, start.size()) == start;
        text.remove_prefix(std::min(text.find('\n'), text.size() - 1) + 1);
    }
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::quietStartUp();
    conversation = memfd_create("conversation", 0);
    answers = memfd_create("answers", 0);
    if (conversation < 0 || answers < 0) fuzz::fail("no memory file for the conversation");
    dup2(answers, 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The conversation opens with "uci", unless the input's own first word chooses UCI (scid
    // opens with its options and a readiness question).
    static constexpr char FIRST_LINE[] = "uci\n";
    std::string_view opening(reinterpret_cast<const char*>(data), size);
    const size_t first = choosesUci(nextWord(opening)) ? 0 : sizeof FIRST_LINE - 1;
    if (ftruncate(conversation, 0) != 0 || pwrite(conversation, FIRST_LINE, first, 0) != ssize_t(first) ||
        pwrite(conversation, data, size, first) != ssize_t(size))
        fuzz::fail("could not write the conversation");
    dup2(conversation, 0);
    std::rewind(stdin);  // also drops what the last conversation left unread
    if (ftruncate(answers, 0) != 0 || lseek(1, 0, SEEK_SET) != 0) fuzz::fail("could not empty the answers");
    fuzz::freshEngineSettings();

    const int threadsBefore = threadCount();
    commandLoop();
    fuzz::require(threadsBackTo(threadsBefore), "the engine or the chooser thread outlived the conversation");

    struct stat written;
    if (fstat(answers, &written) != 0) fuzz::fail("could not read the answers");
    output.resize(size_t(written.st_size));
    if (pread(answers, output.data(), output.size(), 0) != ssize_t(output.size()))
        fuzz::fail("could not read the answers");
    fuzz::require(output.empty() || output.back() == '\n', "the last answer was cut off");
    const Asked asked = countQuestions(std::string_view(reinterpret_cast<const char*>(data), size));
    fuzz::require(countLines(output, "bestmove ") == asked.goes, "not exactly one bestmove per go");
    fuzz::require(countLines(output, "readyok\n") == asked.readiness, "not exactly one readyok per isready");

    fuzz::requireSoundGameAfterConversation();
    return 0;
}
