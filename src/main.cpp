// Program entry: the command loop runs the whole engine.
#include <csignal>

#include "protocol/command_loop.h"

int main() {
    // xboard interrupts its engines with SIGINT before many commands, and a vanished
    // interface must not kill the engine in the middle of a write.
    std::signal(SIGINT, SIG_IGN);
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_IGN);
#endif
    vostil::commandLoop();
    return 0;
}
