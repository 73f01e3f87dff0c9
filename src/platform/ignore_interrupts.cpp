// xboard interrupts its engines with SIGINT before many commands, and a console sends Ctrl-C
// and Ctrl-Break to every program attached to it: none of these may end a game. A vanished
// interface must not kill the engine in the middle of a write either.
#include "platform/ignore_interrupts.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#endif

namespace vostil {

#ifdef _WIN32

namespace {

// Closing the console, logging off and shutting down still end the program as usual.
BOOL WINAPI ignoreControlKeys(DWORD event) {
    return event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT;
}

}  // namespace

void ignoreInterrupts() { SetConsoleCtrlHandler(ignoreControlKeys, TRUE); }

#else

void ignoreInterrupts() {
    std::signal(SIGINT, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
}

#endif

}  // namespace vostil
