// A whole conversation through the command loop, from the handshake to "quit" or the end of
// input, as the engine reads it from standard input. This build's events never wait on the
// clock (the event is built with VOSTIL_INSTANT_WAITS), so a search gets a moment whatever
// the conversation's clocks say.
// Afterwards the game position must be sound and the search unwound.
#include <cstring>
#include <sys/mman.h>

#include "fuzz_support.h"
#include "protocol/command_loop.h"
#include "game/engine_control.h"
#include "game/game_record.h"
#include "game/thinking_output.h"
#include "game/setup_game_position.h"

using namespace vostil;

namespace {
int conversation = -1;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::quietStartUp();
    conversation = memfd_create("conversation", 0);
    if (conversation < 0) fuzz::fail("no memory file for the conversation");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (ftruncate(conversation, 0) != 0 || pwrite(conversation, data, size, 0) != ssize_t(size))
        fuzz::fail("could not write the conversation");
    dup2(conversation, 0);
    std::rewind(stdin);  // also drops what the last conversation left unread
    fuzz::freshEngineSettings();

    commandLoop();

    fuzz::require(!analysisMode, "the engine was still analysing after the conversation");
    fuzz::requireSoundGameAfterConversation();
    return 0;
}
